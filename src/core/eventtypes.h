#pragma once
// The custom event types that worker threads post to their receivers.
#include <QEvent>

namespace KroEvent {
enum Type : int {
    PROGRESS = 1000,          // ProgressBarUpdate: progress
    PARSE_TITLE = 1001,       // ParsingThreadUpdate: curve title
    PARSE_FINISHED = 1002,    // ParsingThreadUpdate: finished, carries the loader
    PARSE_OUT_OF_MEMORY = 1003,
    PARSE_TEXT = 1005,
    PROGRESS_FILE = 1006,     // ProgressBarUpdate: file name
    PARSE_DATE_WARNING = 1008,
    PARSE_TIME_WARNING = 1009,
    PARSE_LINE_ERROR = 1010,
    SERIAL_IDLE = 1011,
    SERIAL_WRITTEN = 1012,
    SERIAL_NOT_OPEN = 1013,
    SERIAL_RECEIVED = 1014,   // SerialRcvdEvent: received text
    SERIAL_ERROR = 1015,
    SERIAL_RUNNING = 1017,
    ADEV_RESULT = 1019,       // AdevUpdateEvent: one result curve
    ADEV_PROGRESS = 1020,
    ADEV_DONE = 1021,
    EXPRESSION_DONE = 1022,   // ExpressionThreadDone
    STDIN_STRING = 8776,      // StdinStr
    STDIN_CLOSED = 8777,      // StdinClosed
};

constexpr QEvent::Type qtType(Type t) { return static_cast<QEvent::Type>(t); }
} // namespace KroEvent
