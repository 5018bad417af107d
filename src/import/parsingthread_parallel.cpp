// ParsingThread: the data lines of one large file read on several cores.
//
// The lines after the header and skipped lines are cut into chunks at line
// ends. Each chunk is first counted, so every chunk knows the line number
// it starts at; then each is parsed by its own worker straight into the
// curves, chunk k's points of a column from the place of its first line
// on. Lines that give a column no point leave holes, which are closed in
// line order at the end. The result is the one the reading in order gives:
// the same points in the same order, the same curves made in the same
// order.
//
// Only sources whose points depend on nothing but their own line take this
// way (an x column, no key, dates, expression, labels, row limit, offsets or
// merging). A line that would need a message (a bad line, an overlong one)
// sends the whole file back to the reading in order, which says it.
#include "core/filenames.h"
#include "import/parsingrun.h"
#include "import/pointrules.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

// Lines between looks at the stop request and updates of the progress.
constexpr long long kCheckLines = 1 << 14;

struct Chunk {
    std::int64_t begin = 0, end = 0; // bytes of the file
    long long lines = 0;             // lines in it
    long long firstLine = 0;         // number of its first line among the data lines
    long long linesDone = 0;         // lines parsed
    std::vector<std::size_t> written;   // points per y column
    std::vector<long long> firstPoint;  // line (within the chunk) of each column's first point; -1: none
    bool complete = false;           // every line of the chunk was read
    bool needsOrder = false;         // a line the reading in order must handle
    bool cut = false;                // the file ended inside the chunk
};

// The start of the line at or after `at`: just after the first line feed at
// or after at - 1. -1 when there is none within the longest line.
std::int64_t lineStartFrom(int fd, std::int64_t at, std::int64_t fileEnd)
{
    std::vector<char> window(1 << 16);
    std::int64_t pos = at - 1;
    while (pos < fileEnd && pos < at + std::int64_t(kro::import::kMaxLineLength)) {
        const ssize_t n = ::pread(fd, window.data(), window.size(), off_t(pos));
        if (n <= 0)
            return -1;
        if (const void* lf = std::memchr(window.data(), '\n', std::size_t(n)))
            return pos + (static_cast<const char*>(lf) - window.data()) + 1;
        pos += n;
    }
    return -1;
}

// Runs one job per chunk on its own thread and waits for all of them,
// calling `tick` every few milliseconds meanwhile. Every job catches
// everything: a failed job only marks its chunk.
template <typename Job, typename Tick>
void runOnThreads(std::vector<Chunk>& chunks, Job job, Tick tick)
{
    std::mutex mutex;
    std::condition_variable done;
    std::size_t finished = 0;
    std::vector<std::thread> threads;
    threads.reserve(chunks.size());
    for (Chunk& c : chunks) {
        try {
            threads.emplace_back([&, chunk = &c] {
                try {
                    job(*chunk);
                } catch (...) {
                    chunk->needsOrder = true;
                }
                const std::lock_guard<std::mutex> lock(mutex);
                ++finished;
                done.notify_one();
            });
        } catch (...) {
            // No thread for this chunk: the file goes to the reading in order.
            c.needsOrder = true;
        }
    }
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!done.wait_for(lock, std::chrono::milliseconds(50), [&] { return finished == threads.size(); })) {
            lock.unlock();
            tick();
            lock.lock();
        }
    }
    for (std::thread& t : threads)
        t.join();
}

} // namespace

bool ParsingThread::readLinesInParallel(FileRun& r)
{
    const FileObject& fo = r.fo;
    const bool plain = !r.keyed && fo.m_xColumn >= 0 && !fo.hasDateOrTime() && !r.hasRegex && fo.m_labelColumn < 0 &&
                       fo.m_get <= 0 && !m_merge && !m_xOffsetFlag && !m_yOffsetFlag &&
                       r.reader.terminator() == '\n' && r.ny > 0;
    const std::int64_t dataStart = r.reader.position();
    const std::int64_t dataBytes = r.size - dataStart;
    const int cores = int(std::min(std::thread::hardware_concurrency(), 16u));
    if (!plain || dataBytes < m_partsFrom || cores < 2)
        return false;

    // Chunks of about equal size, cut at line ends; a quarter of the least
    // size at least.
    const int wanted = int(std::min<std::int64_t>(cores, dataBytes / std::max<std::int64_t>(m_partsFrom / 4, 1)));
    std::vector<Chunk> chunks;
    {
        const int fd = kro::openForReading(fo.m_file);
        if (fd < 0)
            return false;
        std::int64_t begin = dataStart;
        for (int k = 1; k <= wanted && begin < r.size; ++k) {
            std::int64_t end = r.size;
            if (k < wanted) {
                end = lineStartFrom(fd, dataStart + dataBytes * k / wanted, r.size);
                if (end < 0)
                    end = r.size;
            }
            if (end > begin) {
                Chunk c;
                c.begin = begin;
                c.end = end;
                chunks.push_back(c);
                begin = end;
            }
        }
        ::close(fd);
    }
    if (chunks.size() < 2)
        return false;
    for (Chunk& c : chunks) {
        c.written.assign(r.ny, 0);
        c.firstPoint.assign(r.ny, -1);
    }

    // Progress: the bytes parsed so far, after the header lines.
    std::atomic<std::int64_t> parsedBytes{0};
    auto reportProgress = [&] {
        const std::int64_t value = dataStart + parsedBytes.load();
        while (r.progressTotal > 0 && value * 100 >= std::int64_t(r.progressCounter + 1) * r.progressTotal) {
            postProgress(new ProgressBarUpdate(ProgressBarUpdate::PROGRESS, value));
            ++r.progressCounter;
        }
    };

    // A chunk that cannot be opened is read in order instead.
    auto openChunk = [&](kro::import::LineReader& reader, Chunk& c) {
        reader.setStopFlag(&m_stop);
        if (!reader.openRange(fo.m_file, c.begin, c.end)) {
            c.needsOrder = true;
            return false;
        }
        return true;
    };

    // 1. Count the lines of every chunk.
    runOnThreads(
        chunks,
        [&](Chunk& c) {
            kro::import::LineReader reader;
            if (!openChunk(reader, c))
                return;
            const char* b = nullptr;
            const char* e = nullptr;
            while (reader.next(b, e))
                ++c.lines;
            // An overlong line, a read error or a file cut short: the reading
            // in order says so.
            c.needsOrder = reader.lineTooLong() || !reader.error().isEmpty() || reader.position() < c.end;
        },
        [] {});
    if (m_stop.load())
        return true; // the load ends; nothing of this file is kept
    long long totalLines = 0;
    for (Chunk& c : chunks) {
        if (c.needsOrder)
            return false;
        c.firstLine = totalLines;
        totalLines += c.lines;
    }

    // 2. Room for a point of every column on every line, then the points.
    std::vector<std::vector<double>> columns(r.ny);
    for (std::vector<double>& v : columns) {
        v.reserve(2 * std::size_t(totalLines));
        kro::import::adviseHugePages(v);
        v.resize(2 * std::size_t(totalLines));
    }
    runOnThreads(
        chunks,
        [&](Chunk& c) {
            kro::import::LineReader reader;
            if (!openChunk(reader, c))
                return;
            LineParser lp(fo);
            std::vector<double*> at(r.ny);
            for (std::size_t i = 0; i < r.ny; ++i)
                at[i] = columns[i].data() + 2 * std::size_t(c.firstLine);
            const char* b = nullptr;
            const char* e = nullptr;
            std::int64_t bytes = 0;
            long long line = 0;
            while (line < c.lines && reader.next(b, e)) {
                bytes += e - b;
                if (lp.parseData(b, e) != 0) {
                    c.needsOrder = true;
                    return;
                }
                if (lp.lineComplete()) {
                    const bool noZ = kro::import::zMissing(fo, lp);
                    for (std::size_t i = 0; i < r.ny; ++i) {
                        double x = lp.m_x, y = 0.0;
                        if (!kro::import::columnPoint(fo, lp, i, noZ, x, y))
                            continue;
                        if (c.firstPoint[i] < 0)
                            c.firstPoint[i] = line;
                        *at[i]++ = x;
                        *at[i]++ = y;
                        ++c.written[i];
                    }
                }
                ++line;
                if ((line & (kCheckLines - 1)) == 0) {
                    parsedBytes += bytes;
                    bytes = 0;
                    if (m_stop.load())
                        break;
                }
            }
            parsedBytes += bytes;
            c.linesDone = line;
            c.complete = line == c.lines;
            c.needsOrder = c.needsOrder || reader.lineTooLong() || !reader.error().isEmpty();
            c.cut = c.cut || (!c.complete && !reader.stopped());
        },
        reportProgress);
    for (const Chunk& c : chunks)
        if (c.needsOrder)
            return false;

    // 3. The points of each column closed up in line order. A chunk the stop
    // or a cut file left unfinished is the last one kept.
    std::vector<std::size_t> points(r.ny, 0);
    std::vector<long long> firstLine(r.ny, -1);
    for (const Chunk& c : chunks) {
        for (std::size_t i = 0; i < r.ny; ++i) {
            if (c.written[i] == 0)
                continue;
            if (firstLine[i] < 0)
                firstLine[i] = c.firstLine + c.firstPoint[i];
            double* const from = columns[i].data() + 2 * std::size_t(c.firstLine);
            double* const to = columns[i].data() + 2 * points[i];
            if (from != to)
                std::memmove(to, from, 2 * c.written[i] * sizeof(double));
            points[i] += c.written[i];
        }
        r.linesRead += c.linesDone;
        r.dataLines += c.linesDone;
        r.cut = r.cut || c.cut;
        if (!c.complete)
            break;
    }
    r.bytesRead = dataStart + parsedBytes.load();

    // 4. The curves, made in the order of their first points (within one
    // line, in column order), as the reading in order makes them.
    for (std::size_t i = 0; i < r.ny; ++i)
        if (points[i] > 0)
            r.usedOrder.push_back(int(i));
    std::stable_sort(r.usedOrder.begin(), r.usedOrder.end(),
                     [&](int a, int b) { return firstLine[std::size_t(a)] < firstLine[std::size_t(b)]; });
    for (const int i : r.usedOrder) {
        const std::size_t column = std::size_t(i);
        const int index = curveIndex(r.yIds[column]);
        std::vector<double>& v = columns[column];
        v.resize(2 * points[column]);
        CurveData& curve = m_curves[index];
        curve.values = CurveValues(std::move(v));
        r.yCurves[column] = &curve;
        m_meanMap[index] = fo.m_mean;
        m_firstPoint = false;
    }
    reportProgress();
    postMessage(QStringLiteral("Read in %1 parts at once.").arg(chunks.size()));
    return true;
}
