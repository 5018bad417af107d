#include "gui/startup.h"

#include "core/typednames.h"
#include "import/fileoptionparser.h"
#include "import/plotoptionparser.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QLocale>

namespace kro {

QString versionString() { return QStringLiteral("Version (Linux): %1").arg(QStringLiteral(KRO_VERSION_TEXT)); }

QString buildDateString() { return QStringLiteral("Build date: " __DATE__ " " __TIME__ "\n"); }

QString expandNowArgument(const QString& argument, double nowMjd)
{
    QString lower = argument.toLower();
    if (!lower.contains(QLatin1String("now-")) || QFileInfo::exists(argument))
        return argument;
    lower.remove(QLatin1String("now-"));
    bool ok = false;
    const double days = QLocale::c().toDouble(lower.trimmed(), &ok);
    return QString::number(nowMjd - (ok ? days : 0.0), 'f', 6);
}

void expandNowArguments(QStringList& arguments, double nowMjd)
{
    for (qsizetype i = 1; i < arguments.size(); ++i)
        arguments[i] = expandNowArgument(arguments[i], nowMjd);
}

namespace {

// Whether the arguments are only the options that shape the main window
// ("-verbose", "-compact", "-width n", "-height n"): a start without data
// that runs nothing and ignores nothing.
bool windowOptionsOnly(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("-verbose") || a == QLatin1String("-compact"))
            continue;
        if ((a == QLatin1String("-width") || a == QLatin1String("-height")) && i + 1 < arguments.size()) {
            bool ok = false;
            arguments.at(i + 1).toInt(&ok, 10);
            if (ok) {
                ++i;
                continue;
            }
        }
        return false;
    }
    return arguments.size() > 1;
}

} // namespace

StartupCommand buildStartupCommand(const QStringList& arguments)
{
    StartupCommand start;
    if (arguments.isEmpty())
        return start;
    // The program path stands where a typed plot command has its command word.
    const ArgumentList list(arguments);
    FileOptionParser files(list);
    PlotOptionParser plot(list);
    start.valid = files.parse();
    plot.parse();
    start.options = plot.options();
    for (const FileObject& source : files.fileObjects()) {
        const QFileInfo info(source.m_file);
        if (info.isFile()) {
            start.workingDir = info.absolutePath();
            break;
        }
    }
    if (arguments.size() < 2)
        return start;
    static const QRegularExpression script(QStringLiteral("\\A(?:(^.+\\.krs)(?=\\s|$))"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QString& first = arguments.at(1);
    if (script.match(first).hasMatch()) {
        start.scriptCall = true;
        start.valid = true;
    }
    if (QFileInfo(first).isFile())
        start.workingDir = QFileInfo(first).absolutePath();
    // The command runs in the new working directory: names of existing files
    // given relative to the directory the program started in become
    // absolute (for a plot command: the data files after "-f" and paths
    // holding a separator; for a script call: the script and every argument).
    // A command starting with "-script" runs in the default working
    // directory (the workspace path when one is set), so its names too.
    const bool scriptOption = first == QLatin1String("-script");
    QStringList words = arguments;
    if (scriptOption || (!start.workingDir.isEmpty() && QDir(start.workingDir) != QDir::current())) {
        bool fileValues = false;
        for (qsizetype i = 1; i < words.size(); ++i) {
            const QString& a = words.at(i);
            if (a.startsWith(QLatin1Char('-'))) {
                fileValues = a == QLatin1String("-f");
                continue;
            }
            const bool candidate = start.scriptCall || scriptOption || fileValues || a.contains(QLatin1Char('/'));
            if (candidate && QFileInfo(a).isRelative() && QFileInfo(a).isFile()) {
                words[i] = QFileInfo(a).absoluteFilePath();
                // Titles, legends and "%0" still show the name as written.
                kro::rememberTypedName(words[i], a);
            }
        }
    }
    QString text = start.scriptCall ? QString() : QStringLiteral("kro ");
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& a = words.at(i);
        text += a.contains(QLatin1Char(' ')) ? QLatin1Char('"') + a + QLatin1Char('"') : a;
        text += QLatin1Char(' ');
    }
    start.text = text;
    if (!start.valid && !windowOptionsOnly(arguments))
        start.error = files.errorText().isEmpty()
                          ? QStringLiteral("The arguments are neither plot options nor a script call.")
                          : files.errorText();
    return start;
}

} // namespace kro
