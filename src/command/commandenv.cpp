#include "command/commandenv.h"

#include <QDir>
#include <QMenu>
#include <QSettings>
#include "platform/platform.h"
#include "platform/prompter.h"

#include <atomic>

namespace commandenv {

namespace {
QVariant setting(const QString& key, const QVariant& fallback)
{
    return kro::platform::openProgramSettings()->value(key, fallback);
}
} // namespace

QString appPath()
{
    return setting(QStringLiteral("apppath"), kro::platform::commonAppDataFolder()).toString();
}

QString scriptsPath()
{
    return setting(QStringLiteral("scriptspath"), kro::platform::userFolder(kro::platform::UserFolder::Scripts)).toString();
}

int historySetting() { return setting(QStringLiteral("history"), 30).toInt(); }

QString versionText() { return setting(QStringLiteral("version"), QStringLiteral("Version BETA")).toString(); }

QString buildDateText() { return setting(QStringLiteral("builddate"), QStringLiteral("Build date: N/A")).toString(); }

QStringList listNames(const QString& directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                     QDir::Name);
}

namespace {
std::atomic<bool> g_debug{false};
}
bool isDebugMode() { return g_debug.load(); }
void setDebugMode(bool on) { g_debug.store(on); }

QAction* execMenu(QMenu* menu, const QPoint& globalPos) { return kro::prompter().execMenu(menu, globalPos); }

std::vector<std::string> splitQuoted(const std::string& line)
{
    std::vector<std::string> out;
    std::string current;
    bool quoted = false;
    bool any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (any || !current.empty())
                out.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
        }
    }
    if (any || !current.empty())
        out.push_back(current);
    return out;
}

std::optional<double> evaluate(const QString& expression)
{
    bool ok = false;
    const double v = expression.toDouble(&ok);
    if (ok)
        return v;
    return std::nullopt;
}

} // namespace commandenv
