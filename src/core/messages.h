#pragma once
// Kinds of user messages and the process-wide verbose flag.
#include <QObject>
#include <QString>

namespace ZEVOVE {
Q_NAMESPACE
enum TYPE {
    INFO = 1,
    WARNING = 2,
    ERROR = 4,
    CRITICAL = 8,
    BUG = 16,
};
Q_ENUM_NS(TYPE)
} // namespace ZEVOVE

namespace kro {

// "Info (verbose): ", "Warning (verbose): ", "Error: ", "Critical: ",
// "Bug: "; an empty text for any other value.
QString messagePrefix(ZEVOVE::TYPE type);
QString messagePrefix(int type);

// Verbose mode (setting "verbose"): one flag for the whole process, read and
// written safely from any thread. Loader threads copy it when they start.
bool isVerbose();
void setVerbose(bool on);

// Debug mode (the debug command): one flag for the whole process, cleared
// at start; the plot tabs report their diagnostics of live text while it is set.
bool isDebugMode();
void setDebugMode(bool on);

// True when a message of this kind is shown now: INFO and WARNING only in
// verbose mode, every other kind always.
bool isMessageShown(ZEVOVE::TYPE type);

} // namespace kro
