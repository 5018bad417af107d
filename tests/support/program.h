#pragma once
// The built program (kro) as a process for tests: started on the offscreen
// platform with a home folder of its own (settings under <home>/config, data
// under <home>/data), working in that folder.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kro::test {

// The path of the built program next to the tests; empty when it is not built.
QString programPath();
// Starts the program; a program that does not start fails the test.
void startProgram(QProcess& process, const QString& home, const QStringList& arguments);
// Ends a program still running (terminate, then kill).
void stopProgram(QProcess& process);

} // namespace kro::test
