#pragma once
// Start-up of the program: the version texts, the relative time stamps of
// the command line and the first command built from the arguments.
#include "core/plotoptions.h"

#include <QString>
#include <QStringList>

namespace kro {

// "Version (Linux): " and the program's version; stored as the settings
// "version" and, once the agreement is accepted, "eula".
QString versionString();
// "Build date: " followed by the build's date and time and a line break.
QString buildDateString();

// An argument holding "now-" (in any letter case) becomes the current MJD
// minus the number left after removing every "now-" (0 when the rest is no
// number), with 6 decimals. An argument that names an existing file is kept
// as it is, so files such as "snow-depth.dat" survive.
QString expandNowArgument(const QString& argument, double nowMjd);
// The same for every argument after the program path (index 0 is kept).
void expandNowArguments(QStringList& arguments, double nowMjd);

// The first command of a run, built from the process arguments (the program
// path first).
struct StartupCommand {
    QString text;          // "kro " and the arguments, or the script call
    bool valid = false;    // the arguments parse as data sources, or call a script
    bool scriptCall = false;
    QString workingDir;    // absolute folder of the first existing data file or of the script
    PlotOptions options;   // the plot options of the arguments (settings first)
    QString error;         // why arguments that are given do not form a command
    // Submitted when there are arguments and they are valid.
    bool submits() const { return valid && !text.isEmpty(); }
};
StartupCommand buildStartupCommand(const QStringList& arguments);

} // namespace kro
