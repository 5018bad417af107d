#pragma once
// Files and directories (UTF-8 paths) and the named stopwatches of the
// loader. Errors are SCUtilities::scexception with texts that begin
// "FileSystem Exception: ".
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace SCUtilities {

// One file or directory as seen at the moment of the call.
struct FileInfo {
    std::string name;       // last element of the given path
    std::string path;       // absolute form of the given path
    std::string parent;     // parent of the absolute path
    std::string errorText;  // why the last-write time could not be read
    bool isDirectory = false;
    bool isRegularFile = false;
    bool isSymlink = false;  // the entry itself is a symbolic link
    bool error = false;      // the last-write time could not be read
    int permissions = 0;
    std::int64_t lastWriteTime = -1;  // seconds since 1970-01-01 UTC
    std::uint64_t size = 0;           // bytes, regular files only
};

// Listing flags: 1 includes everything that is not a directory, 2 includes
// directories.
enum ListFlags { LIST_FILES = 1, LIST_DIRECTORIES = 2 };

// An empty path stands for ".". A missing path raises
// "FileSystem Exception: <path> does not exist.". A dangling symbolic link is
// described as a link (neither directory nor regular file).
FileInfo fileInfo(const std::string& path);

// The entries of a directory (of the path's folder when the path is not a
// directory), sorted by name bytes; a missing folder gives no entries.
// Entries that vanish while being listed are left out.
std::vector<FileInfo> listDirectory(const std::string& path, int flags);

// The entries of the folder whose names match the last element of the path
// as a whole: '*' matches any run, '?' one character, everything else
// itself (case-sensitive).
std::vector<FileInfo> listMatching(const std::string& wildcardPath, int flags);
// The wildcard test used by listMatching.
bool matchesWildcard(const std::string& name, const std::string& pattern);

// Copies the bytes of source to destination. The source is opened first;
// the destination is replaced only when the whole copy succeeded. Raises on
// any failure.
void copyFile(const std::string& source, const std::string& destination);

// The path itself when it is a directory, else its parent; "." when empty.
std::string directoryOf(const std::string& path);
// False for an empty path and whenever the path cannot be examined.
bool pathExists(const std::string& path);
bool isRegularFile(const std::string& path);
// The last element of the path ("." for a path ending in '/').
std::string fileName(const std::string& path);

// A stopwatch (microseconds, monotonic clock).
struct Stopwatch {
    std::int64_t pausedTotal = 0;  // microseconds spent paused since the origin
    std::int64_t elapsed = 0;      // running time at the last command
    std::int64_t pauseStart = 0;   // microseconds since the origin when the pause began
    int state = 0;                 // the last command; 1 paused, anything else running
    std::int64_t origin = 0;       // monotonic clock, nanoseconds
};
using StopwatchSet = std::map<int, Stopwatch>;

enum StopwatchCommand { STOPWATCH_RUN = 0, STOPWATCH_PAUSE = 1, STOPWATCH_RESTART = 2 };

// Applies a command to the stopwatch id of the set (creating it on first
// use, reading 0) and returns its running time in microseconds: 0 runs (or
// resumes) and reads, 1 pauses and reads, 2 reads and restarts from zero
// keeping its running or paused state.
std::int64_t stopwatch(StopwatchSet& set, int id, int command);

} // namespace SCUtilities
