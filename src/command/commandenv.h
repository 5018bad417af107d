#pragma once
// What the console takes from the rest of the program: folders and texts
// from the settings store, directory listings, menus through the prompt
// interface, tokenising and expression evaluation.
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QPoint;

namespace commandenv {
// The application folder (setting "apppath").
QString appPath();
// The scripts folder (setting "scriptspath").
QString scriptsPath();
// The setting "history": how many lines the history keeps, less one.
int historySetting();
// The settings "version" and "builddate".
QString versionText();
QString buildDateText();
// The names of the entries of a folder, files and folders, in path order.
QStringList listNames(const QString& directory);
// The process-wide debug flag, set and cleared by the debug command.
bool isDebugMode();
void setDebugMode(bool on);
// Pops a menu up; the action chosen or nullptr.
QAction* execMenu(QMenu* menu, const QPoint& globalPos);
// Blank-separated tokens; double quotes group words and are removed.
std::vector<std::string> splitQuoted(const std::string& line);
// The value of an arithmetic expression, or nothing when it is none.
std::optional<double> evaluate(const QString& expression);
} // namespace commandenv
