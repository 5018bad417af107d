#pragma once
// Descriptors shared with a host program: replies written whole without
// blocking the caller for long, a broken pipe that ends no process, and
// standard descriptors that are never handed back to the system.
#include <cstddef>

namespace kro::platform {

// A write to a pipe whose reader has gone fails with EPIPE instead of
// ending the program with SIGPIPE. Safe to call more than once.
void ignoreBrokenPipe();

enum class WriteResult { Written, Failed, TimedOut };

// Writes every byte, waiting at most timeoutMs in all for the reader to
// make room (0: only what fits now; -1: no limit). Interrupted calls are
// repeated.
WriteResult writeAll(int fd, const char* data, std::size_t size, int timeoutMs);

// Ends the program's use of a descriptor. Above 2 it is closed; the
// standard descriptors 0-2 are pointed at /dev/null instead, so the peer
// sees the end of the stream while the number is never reused by a later
// open (which would send standard output into that file).
void retireDescriptor(int fd);

} // namespace kro::platform
