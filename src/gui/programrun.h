#pragma once
// The run of the program once the application object is set up: the
// version settings, the splash (only without arguments), the agreement, then
// the main window and the event loop.
#include <QStringList>

class QApplication;

namespace kro {

// Returns the program's exit code: -1 when the agreement is declined (the
// main window is then never built and nothing is stored), else the event
// loop's code.
int runProgram(QApplication& app, const QStringList& arguments);

} // namespace kro
