// Working directory, listings, external programs, chosen files and the
// tool windows.
#include "gui/krogui.h"

#include "base/dirbrowser.h"
#include "command/commandedit.h"
#include "command/krseditor.h"
#include "core/exceptions.h"
#include "core/fileutils.h"
#include "core/settings.h"
#include "core/statfunctions.h"
#include "core/stringutils.h"
#include "gui/kroguicalls.h"
#include "gui/windowtexts.h"
#include "import/regexbuilder.h"
#include "platform/desktopopen.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "plot/plotter.h"
#include "tabs/plotterctrl.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDockWidget>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

void KROGui::setCurrentPath(const QString& path)
{
    QString p = path;
    if (p.isEmpty())
        p = readSettingText(QStringLiteral("workspacepath"), QString());
    if (p.isEmpty())
        p = QDir::currentPath();
    p.remove(QLatin1Char('"'));
    p = kro::platform::expandHome(p);
    if (!QDir::setCurrent(p)) {
        say(tr("Error: Working directory could not be changed to %1.").arg(p));
        return;
    }
    // The directory browser follows the working directory; a directory
    // entered there is the browser's already and does not bounce back.
    if (m_dirBrowser && QDir(m_dirBrowser->dirPath()) != QDir(QDir::currentPath())) {
        verbose(ZEVOVE::INFO, tr("Working directory set to %1.").arg(p));
        disconnect(m_dirBrowser, &DirBrowser::dirEntered, this, &KROGui::setCurrentPath);
        m_dirBrowser->setDir(QDir::currentPath());
        connect(m_dirBrowser, &DirBrowser::dirEntered, this, &KROGui::setCurrentPath);
    }
}

void KROGui::setWorkspacePath()
{
    const QString start = m_dirBrowser ? m_dirBrowser->dirPath() : QDir::currentPath();
    const QString dir = kro::prompter().getExistingDirectory(this, tr("Set Workspace Path"), start);
    if (dir.isEmpty())
        return;
    if (m_dirBrowser)
        m_dirBrowser->setUrl(QUrl::fromLocalFile(dir + QLatin1Char('/')));
    writeStringSetting(QStringLiteral("workspacepath"), dir);
    setCurrentPath(dir);
    say(tr("Workspace path set to %1.").arg(dir));
}

void KROGui::on_showDir() { say(QDir::currentPath()); }

void KROGui::on_ls(const QString& path, bool longListing)
{
    QString pattern = kro::platform::expandHome(path);
    if (pattern.isEmpty())
        pattern = QStringLiteral("*");
    else if (QFileInfo(pattern).isDir())
        pattern = QDir(pattern).filePath(QStringLiteral("*"));
    try {
        const auto entries = SCUtilities::listMatching(pattern.toStdString(),
                                                       SCUtilities::LIST_FILES | SCUtilities::LIST_DIRECTORIES);
        // An empty listing would print nothing at all.
        if (entries.empty())
            say(tr("No file matches %1.").arg(path.isEmpty() ? pattern : path));
        else
            say(directoryListing(entries, longListing));
    } catch (const std::exception& e) {
        say(QString::fromStdString(e.what()));
    }
}

// Starts a program without waiting; false when it cannot start.
static bool startProgram(const std::vector<std::string>& tokens)
{
    if (tokens.empty())
        return false;
    QStringList args;
    for (std::size_t i = 1; i < tokens.size(); ++i)
        args << QString::fromStdString(tokens[i]);
    return QProcess::startDetached(QString::fromStdString(tokens.front()), args);
}

void KROGui::on_exec(const QString& commandLine)
{
    if (!functionsFreeOfCurveOperator(commandLine)) {
        say(tr("The exec command must not include compound functions.\nFunctions must not include the \"cj\" "
               "operator."));
        return;
    }
    QString text = commandLine;
    try {
        if (Plotter* p = activePlotter())
            text = substituteStatistics(p->m_curves, p->view(), commandLine);
    } catch (const std::exception& e) {
        say(QString::fromStdString(e.what()));
        return;
    }
    say(tr("Executing: %1").arg(text));
    std::vector<std::string> tokens;
    try {
        tokens = SCUtilities::splitQuoted(text.toStdString());
    } catch (const std::exception& e) {
        say(QString::fromStdString(e.what()));
        return;
    }
    if (tokens.empty())
        return;
    if (!startProgram(tokens))
        verbose(ZEVOVE::ERROR, tr("Failed to start: %1").arg(QString::fromStdString(tokens.front())));
}

void KROGui::on_datafileView(const QString& path)
{
    const QString viewer = getDataFileViewer();
    if (!viewer.isEmpty()) {
        // The viewer setting may carry its own options; the file is one
        // more argument, so no shell is needed.
        std::vector<std::string> tokens = SCUtilities::splitQuoted(viewer.toStdString());
        tokens.push_back(path.toStdString());
        if (!startProgram(tokens))
            verbose(ZEVOVE::ERROR, tr("Failed to start: %1").arg(viewer + QLatin1Char(' ') + path));
        return;
    }
    if (!kro::platform::openWithDefaultProgram(path))
        verbose(ZEVOVE::ERROR, tr("Failed to start: %1").arg(path));
}

void KROGui::on_fileSelected(const QString& path)
{
    static const QRegularExpression script(QStringLiteral("(^.+\\.krs$)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression image(QStringLiteral("(^.+\\.png$)|(^.+\\.jpg$)|(^.+\\.bmp$)|(^.+\\.gif$)"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (script.match(path).hasMatch()) {
        say(tr("Running KroScript: %1").arg(path));
        on_kroscript(path);
    } else if (image.match(path).hasMatch()) {
        if (!kro::platform::openWithDefaultProgram(path))
            verbose(ZEVOVE::ERROR, tr("Failed to start: %1").arg(path));
    } else {
        callPlotTabs("on_dropfiles(QStringList)", Q_ARG(QStringList, QStringList{path}));
    }
}

KRSEditor* KROGui::makeScriptEditor(const QString& file)
{
    m_scriptEditor = new KRSEditor(file);
    connect(m_scriptEditor, &KRSEditor::run, this, &KROGui::on_krsrun);
    connect(m_scriptEditor, &KRSEditor::newFileSaved, this, &KROGui::on_newScriptSaved);
    return m_scriptEditor;
}

static void bringToFront(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

void KROGui::on_showKRSEditor()
{
    if (!m_scriptEditor)
        makeScriptEditor(QString());
    bringToFront(m_scriptEditor);
}

void KROGui::on_kroscriptEdit(const QString& path)
{
    if (!m_scriptEditor) {
        makeScriptEditor(path);
    } else if (KRSEdit* tab = m_scriptEditor->tabOf(path)) {
        m_scriptEditor->tabWidget()->setCurrentWidget(tab);
    } else {
        m_scriptEditor->loadFileContents(path);
    }
    bringToFront(m_scriptEditor);
}

void KROGui::on_newScriptSaved(const QString&)
{
    // Whatever folder the browser shows is read again: the script may have
    // gone into it under another spelling of its path (a link), or into a
    // folder below it that the save dialog created.
    if (m_dirBrowser)
        m_dirBrowser->rereadDir();
}

void KROGui::on_regextest()
{
    if (!m_regexTool)
        m_regexTool = new RegexBuilder;
    m_regexTool->show();
    m_regexTool->raise();
    m_regexTool->activateWindow();
}

