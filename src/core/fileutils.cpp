#include "core/fileutils.h"

#include "core/exceptions.h"

#include <boost/filesystem.hpp>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <vector>

namespace fs = boost::filesystem;

namespace SCUtilities {

namespace {

[[noreturn]] void throwFs(const std::string& text) { throw scexception("FileSystem Exception: " + text); }

std::string genericText(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool missingOrError(const fs::file_status& s)
{
    return s.type() == fs::file_not_found || s.type() == fs::status_error;
}

// A UTF-8 continuation byte (10xxxxxx).
bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

bool wildcardAt(const std::string& name, std::size_t n, const std::string& pat, std::size_t p)
{
    // Iterative matching with back-tracking to the last '*'.
    std::size_t starP = std::string::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pat.size() && pat[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pat.size() && pat[p] == '?') {
            ++p;
            ++n;
            while (n < name.size() && isContinuation(static_cast<unsigned char>(name[n])))
                ++n;
        } else if (p < pat.size() && pat[p] == name[n]) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == '*')
        ++p;
    return p == pat.size();
}

} // namespace

FileInfo fileInfo(const std::string& pathText)
{
    const fs::path p(pathText.empty() ? std::string(".") : pathText);
    FileInfo info;
    try {
        boost::system::error_code ec;
        const fs::file_status linkStatus = fs::symlink_status(p, ec);
        fs::file_status st = fs::status(p, ec);
        const bool isLink = linkStatus.type() == fs::symlink_file;
        if (missingOrError(st)) {
            if (!isLink)
                throwFs(genericText(p.string()) + " does not exist.");
            st = linkStatus;  // a dangling link: describe the link itself
        }
        const fs::path absolute = fs::absolute(p);
        info.path = absolute.string();
        info.name = p.filename().string();
        info.parent = absolute.parent_path().string();
        info.isDirectory = st.type() == fs::directory_file;
        info.isRegularFile = st.type() == fs::regular_file;
        info.isSymlink = isLink;
        info.size = info.isRegularFile ? static_cast<std::uint64_t>(fs::file_size(p)) : 0;
        info.permissions = static_cast<int>(st.permissions());
        boost::system::error_code timeError;
        const std::time_t written = fs::last_write_time(p, timeError);
        if (timeError) {
            info.error = true;
            info.errorText = timeError.message();
            info.lastWriteTime = -1;
        } else {
            info.lastWriteTime = static_cast<std::int64_t>(written);
        }
    } catch (const fs::filesystem_error& e) {
        throwFs(e.what());
    }
    return info;
}

std::vector<FileInfo> listDirectory(const std::string& pathText, int flags)
{
    std::vector<FileInfo> result;
    try {
        boost::system::error_code ec;
        fs::path folder(pathText.empty() ? std::string(".") : pathText);
        if (fs::status(folder, ec).type() != fs::directory_file) {
            folder = folder.parent_path();
            if (folder.empty())
                folder = ".";
        }
        if (missingOrError(fs::status(folder, ec)))
            return result;
        std::vector<fs::path> entries;
        for (fs::directory_iterator it(folder), end; it != end; ++it)
            entries.push_back(it->path());
        std::sort(entries.begin(), entries.end());
        for (const fs::path& entry : entries) {
            FileInfo info;
            try {
                info = fileInfo(entry.string());
            } catch (const scexception&) {
                continue;  // vanished since the listing
            }
            if (info.isDirectory ? (flags & LIST_DIRECTORIES) : (flags & LIST_FILES))
                result.push_back(std::move(info));
        }
    } catch (const fs::filesystem_error& e) {
        throwFs(e.what());
    }
    return result;
}

bool matchesWildcard(const std::string& name, const std::string& pattern) { return wildcardAt(name, 0, pattern, 0); }

std::vector<FileInfo> listMatching(const std::string& wildcardPath, int flags)
{
    const std::string path = genericText(wildcardPath);
    const std::string pattern = fileName(path);
    std::vector<FileInfo> matching;
    for (FileInfo& info : listDirectory(path, flags)) {
        if (matchesWildcard(info.name, pattern))
            matching.push_back(std::move(info));
    }
    return matching;
}

void copyFile(const std::string& source, const std::string& destination)
{
    std::ifstream in(source, std::ios::binary);
    if (!in)
        throwFs("cannot open " + source + " for reading: " + std::strerror(errno));
    boost::system::error_code ec;
    if (fs::exists(destination, ec) && fs::equivalent(source, destination, ec))
        throwFs("cannot copy " + source + " onto itself.");

    // Write beside the destination and rename over it only when complete, so
    // a failed copy leaves the old destination as it was.
    const fs::path target(destination);
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    const fs::path temporary = folder / fs::unique_path(".kro-copy-%%%%-%%%%-%%%%.part");
    {
        std::ofstream out(temporary.string(), std::ios::binary | std::ios::trunc);
        if (!out)
            throwFs("cannot create " + destination + ": " + std::strerror(errno));
        std::vector<char> buffer(1 << 16);
        while (in && out) {
            in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            if (in.gcount() > 0)
                out.write(buffer.data(), in.gcount());
        }
        const bool readFailed = in.bad() || !in.eof();
        out.close();
        if (readFailed || out.fail()) {
            fs::remove(temporary, ec);
            throwFs("cannot copy " + source + " to " + destination + ".");
        }
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        fs::remove(temporary, ec);
        throwFs("cannot write " + destination + ": " + ec.message());
    }
}

std::string directoryOf(const std::string& pathText)
{
    boost::system::error_code ec;
    const fs::path p(pathText);
    fs::path result = fs::status(p, ec).type() == fs::directory_file ? p : p.parent_path();
    if (result.empty())
        result = ".";
    return result.string();
}

bool pathExists(const std::string& pathText)
{
    if (pathText.empty())
        return false;
    boost::system::error_code ec;
    return !missingOrError(fs::status(fs::path(pathText), ec));
}

bool isRegularFile(const std::string& pathText)
{
    boost::system::error_code ec;
    return fs::status(fs::path(pathText), ec).type() == fs::regular_file;
}

std::string fileName(const std::string& pathText) { return fs::path(pathText).filename().string(); }

std::int64_t stopwatch(StopwatchSet& set, int id, int command)
{
    using namespace std::chrono;
    const std::int64_t nowNs = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    auto found = set.find(id);
    if (found == set.end()) {
        Stopwatch w;
        w.origin = nowNs;
        w.state = (command == STOPWATCH_RUN || command == STOPWATCH_RESTART) ? command : STOPWATCH_PAUSE;
        set.emplace(id, w);
        return 0;
    }
    Stopwatch& w = found->second;
    auto apply = [&](int cmd) {
        const std::int64_t now = (nowNs - w.origin) / 1000;
        if (w.state == STOPWATCH_PAUSE)
            w.pausedTotal += now - w.pauseStart;
        if (cmd == STOPWATCH_PAUSE)
            w.pauseStart = now;
        w.state = cmd;
        w.elapsed = now - w.pausedTotal;
        return w.elapsed;
    };
    if (command == STOPWATCH_RESTART) {
        const std::int64_t reading = apply(w.state);
        const int state = w.state;
        w = Stopwatch();
        w.origin = nowNs;
        w.state = state;
        return reading;
    }
    return apply(command);
}

} // namespace SCUtilities
