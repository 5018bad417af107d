#include "command/krseditor.h"

#include "core/settings.h"
#include "platform/embeddedimages.h"
#include "platform/prompter.h"
#include "platform/recentfilesmenu.h"
#include "platform/tabwidgetex.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QToolBar>

namespace {

const QChar kNoBreakSpace(0x00A0);

// The comment markers at the start of a line and the one blank after each:
// the blanks before them are the line's own (group 1).
const QRegularExpression& leadingMarkers()
{
    static const QRegularExpression re(QStringLiteral("\\A([ \\x{A0}]*)(?:-->[ \\x{A0}]?)+"));
    return re;
}

const QString kEditorCaption = QStringLiteral("KroScript Editor");

} // namespace

bool isCommentLine(const QString& line)
{
    static const QRegularExpression re(QStringLiteral("\\A[ \\t\\x{A0}]*-->"));
    return re.match(line).hasMatch();
}

// ------------------------------------------------------------ KRSHighlighter

KRSHighlighter::KRSHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

void KRSHighlighter::highlightBlock(const QString& text)
{
    if (isCommentLine(text))
        setFormat(0, int(text.size()), commentColour());
}

// ------------------------------------------------------------ KRSEdit

KRSEdit::KRSEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    QFont mono(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    setFont(mono);
    new KRSHighlighter(document());
}

void KRSEdit::commentSelection(int mode)
{
    const QTextCursor selection = textCursor();
    const int first = document()->findBlock(selection.selectionStart()).blockNumber();
    const int last = document()->findBlock(selection.selectionEnd()).blockNumber();
    QTextCursor edit(document());
    edit.beginEditBlock();
    for (int number = first; number <= last; ++number) {
        const QTextBlock block = document()->findBlockByNumber(number);
        const QString text = block.text();
        const QRegularExpressionMatch marker = leadingMarkers().match(text);
        // The replaced span and its replacement; the line's own leading
        // blanks stay either way.
        int length = 0;
        QString replacement;
        if (mode == Uncomment) {
            if (!marker.hasMatch())
                continue;
            length = int(marker.capturedLength());
            replacement = marker.captured(1);
        } else if (!isCommentLine(text)) {
            replacement = QStringLiteral("--> ");
        } else {
            // Already a comment: its markers become one "--> ".
            length = int(marker.capturedLength());
            replacement = marker.captured(1) + QStringLiteral("--> ");
            if (text.left(length) == replacement)
                continue;
        }
        edit.setPosition(block.position());
        edit.setPosition(block.position() + length, QTextCursor::KeepAnchor);
        edit.insertText(replacement);
    }
    edit.endEditBlock();
}

void KRSEdit::keyPressEvent(QKeyEvent* event)
{
    QPlainTextEdit::keyPressEvent(event);
    const QTextBlock block = textCursor().block();
    if (!isCommentLine(block.text()))
        return;
    if (event->text() == QLatin1String(">")) {
        commentSelection(Comment);
    } else if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        // Right after deleting the blank of "--> " the line turns normal.
        const int column = textCursor().position() - block.position();
        commentSelection(column == 3 && block.text().startsWith(QLatin1String("-->")) ? Uncomment : Comment);
    }
}

// ------------------------------------------------------------ KRSEditor

KRSEditor::KRSEditor(const QString& file)
{
    setWindowTitle(kEditorCaption);
    setMinimumWidth(800);
    setAttribute(Qt::WA_QuitOnClose, false);
    m_tabs = new TabWidgetEx(this, 0);
    m_tabs->tabBarEx()->m_fillColor = Qt::white;
    setCentralWidget(m_tabs);
    connect(m_tabs, &TabWidgetEx::newClicked, this, &KRSEditor::on_new);
    connect(m_tabs, &TabWidgetEx::closeClicked, this, &KRSEditor::on_closeTab);
    buildMenus();
    if (file.isNull())
        on_new();
    else
        loadFileContents(file);
}

KRSEditor::~KRSEditor()
{
    bool broughtBack = false;
    for (int i = 0; i < m_tabs->count(); ++i) {
        KRSEdit* tab = edit(i);
        if (!isModified(tab))
            continue;
        if (!broughtBack) {
            if (isMinimized())
                showNormal();
            if (!isVisible())
                show();
            raise();
            activateWindow();
            broughtBack = true;
        }
        m_tabs->setCurrentWidget(tab);
        // A save that fails gets one more chance under another name.
        if (!askToSave(tab))
            on_saveFileAs();
    }
}

void KRSEditor::buildMenus()
{
    auto make = [this](const QString& text, const char* shortcut, const char* icon, const char* name,
                       auto slot) {
        auto* a = new QAction(text, this);
        if (shortcut)
            a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        if (icon)
            a->setIcon(embeddedIcon(QString::fromLatin1(icon)));
        if (name)
            a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };

    // The File menu is the recent-scripts menu: five items, the list, Exit.
    m_recent = new RecentFilesMenu(this, 5, 1, QDir(getAppPath()).filePath(QStringLiteral("kroscript.ini")));
    m_recent->setTitle(tr("&File"));
    QAction* open = make(tr("&Open"), "Ctrl+O", "load.png", nullptr, &KRSEditor::on_openFile);
    QAction* save = make(tr("&Save"), "Ctrl+S", "save.png", nullptr, &KRSEditor::on_saveFile);
    m_recent->addAction(make(tr("&New"), "Ctrl+N", nullptr, nullptr, &KRSEditor::on_new));
    m_recent->addAction(open);
    m_recent->addAction(save);
    m_recent->addAction(make(tr("Save &As..."), nullptr, nullptr, nullptr, &KRSEditor::on_saveFileAs));
    m_recent->addAction(make(tr("&Close Script"), "Ctrl+K", nullptr, nullptr, &KRSEditor::on_closeTab));
    m_recent->addAction(make(tr("&Exit"), nullptr, nullptr, nullptr, &QWidget::hide));
    menuBar()->addMenu(m_recent);
    connect(m_recent, &RecentFilesMenu::fileclicked, this, qOverload<const QString&>(&KRSEditor::loadFileContents));
    connect(m_recent, &RecentFilesMenu::fileerror, this, &KRSEditor::reportError);
    m_recent->addFile(QString());
    QToolBar* fileBar = addToolBar(tr("File Actions"));
    fileBar->addAction(open);
    fileBar->addAction(save);

    QMenu* editMenu = menuBar()->addMenu(tr("&Edit"));
    QToolBar* editBar = addToolBar(tr("Edit Actions"));
    QAction* undo = make(tr("&Undo"), "Ctrl+Z", "editundo.xpm", "editUndo", &KRSEditor::on_undo);
    QAction* redo = make(tr("&Redo"), "Ctrl+Y", "editredo.xpm", "editRedo", &KRSEditor::on_redo);
    editMenu->addAction(undo);
    editMenu->addAction(redo);
    editMenu->addSeparator();
    for (QAction* a : {undo, redo})
        editBar->addAction(a);
    for (QAction* a : {make(tr("&Copy"), "Ctrl+C", "editcopy.xpm", "editCopy", &KRSEditor::on_copy),
                       make(tr("Cu&t"), "Ctrl+X", "editcut.xpm", "editCut", &KRSEditor::on_cut),
                       make(tr("&Paste"), "Ctrl+V", "editpaste.xpm", "editPaste", &KRSEditor::on_paste)}) {
        editMenu->addAction(a);
        editBar->addAction(a);
    }

    QMenu* commentMenu = menuBar()->addMenu(tr("C&omment"));
    QToolBar* commentBar = addToolBar(tr("Comment Actions"));
    for (QAction* a :
         {make(tr("&Comment Line"), "Ctrl+R", "comment_add.png", "commentAdd", &KRSEditor::on_commentAdd),
          make(tr("&Uncomment Line"), "Ctrl+T", "comment_delete.png", "commentDelete", &KRSEditor::on_commentDelete)}) {
        commentMenu->addAction(a);
        commentBar->addAction(a);
    }

    QMenu* runMenu = menuBar()->addMenu(tr("&Run"));
    QAction* runAction = make(tr("&Run"), "F5", "run.png", nullptr, &KRSEditor::on_run);
    runMenu->addAction(runAction);
    addToolBar(tr("Run"))->addAction(runAction);
}

QAction* KRSEditor::action(const QString& objectOrText) const
{
    for (QAction* a : findChildren<QAction*>())
        if (!a->menu() && (a->objectName() == objectOrText || a->text() == objectOrText))
            return a;
    return nullptr;
}

KRSEdit* KRSEditor::currentEdit() const { return qobject_cast<KRSEdit*>(m_tabs->currentWidget()); }

KRSEdit* KRSEditor::edit(int index) const { return qobject_cast<KRSEdit*>(m_tabs->widget(index)); }

QString KRSEditor::pathOf(KRSEdit* tab) const { return m_state.value(tab).path; }
bool KRSEditor::isModified(KRSEdit* tab) const { return m_state.value(tab).modified; }
bool KRSEditor::isUntitled(KRSEdit* tab) const { return m_state.value(tab).untitled; }

KRSEdit* KRSEditor::tabOf(const QString& path) const
{
    for (auto it = m_state.begin(); it != m_state.end(); ++it)
        if (!it->path.isEmpty() && QFileInfo(it->path) == QFileInfo(path))
            return it.key();
    return nullptr;
}

KRSEdit* KRSEditor::addTab(const QString& label)
{
    auto* tab = new KRSEdit(m_tabs);
    m_tabs->addTab(tab, label);
    return tab;
}

void KRSEditor::setLabel(KRSEdit* tab, const QString& label)
{
    const int index = m_tabs->indexOf(tab);
    if (index >= 0)
        m_tabs->setTabText(index, label);
}

QString KRSEditor::startFolder(KRSEdit* tab) const
{
    const QString path = pathOf(tab);
    return path.isEmpty() ? getScriptsPath() : path;
}

void KRSEditor::reportError(const QString& text) { kro::prompter().warning(this, kEditorCaption, text); }

void KRSEditor::on_new()
{
    static const QRegularExpression numbered(QStringLiteral("\\Anew (\\d+)\\*?\\z"));
    int highest = 0;
    for (int i = 0; i < m_tabs->count(); ++i) {
        const QRegularExpressionMatch m = numbered.match(m_tabs->tabText(i));
        if (m.hasMatch())
            highest = std::max(highest, m.captured(1).toInt());
    }
    KRSEdit* tab = addTab(tr("new %1").arg(highest + 1));
    m_tabs->setCurrentWidget(tab);
    tab->setFocus();
    m_state[tab] = TabState{QString(), false, true};
    connect(tab, &QPlainTextEdit::textChanged, this, &KRSEditor::on_textChanged);
}

void KRSEditor::loadFileContents() { loadFileContents(QString()); }

void KRSEditor::loadFileContents(const QString& path)
{
    const QFileInfo info(path);
    if (info.isFile() && info.size() > kMaxScriptBytes) {
        reportError(tr("%1 is not opened: a script of %2 MB is larger than the editor takes (%3 MB).")
                        .arg(path)
                        .arg(double(info.size()) / (1024 * 1024), 0, 'f', 1)
                        .arg(kMaxScriptBytes / (1024 * 1024)));
        return;
    }
    KRSEdit* tab = currentEdit();
    if (tab && tab->document()->isEmpty()) {
        disconnect(tab, &QPlainTextEdit::textChanged, this, &KRSEditor::on_textChanged);
        setLabel(tab, info.fileName());
    } else {
        tab = addTab(info.fileName());
    }
    QFile file(path);
    if (path.isEmpty() || !info.isFile() || !file.open(QIODevice::ReadOnly)) {
        tab->setPlainText(tr("Error. Could not read file %1").arg(path));
    } else {
        const QByteArray bytes = file.readAll();
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8.decode(bytes);
        if (utf8.hasError()) {
            text = QString::fromLatin1(bytes);
            statusBar()->showMessage(
                tr("%1 is not UTF-8 text: it was read as Latin-1 and will be saved as UTF-8.").arg(info.fileName()));
        }
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        tab->setPlainText(text);
        m_state[tab] = TabState{path, false, false};
    }
    m_tabs->setCurrentWidget(tab);
    tab->setFocus();
    connect(tab, &QPlainTextEdit::textChanged, this, &KRSEditor::on_textChanged, Qt::UniqueConnection);
}

void KRSEditor::on_textChanged()
{
    auto* tab = qobject_cast<KRSEdit*>(sender());
    if (!tab)
        tab = currentEdit();
    if (!tab)
        return;
    const int index = m_tabs->indexOf(tab);
    if (index >= 0 && !m_tabs->tabText(index).endsWith(QLatin1Char('*')))
        m_tabs->setTabText(index, m_tabs->tabText(index) + QLatin1Char('*'));
    m_state[tab].modified = true;
}

bool KRSEditor::saveTo(KRSEdit* tab, const QString& path)
{
    QString text = tab->toPlainText();
    text.replace(kNoBreakSpace, QLatin1Char(' '));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        reportError(tr("The script was not saved: %1 cannot be written (%2).\nIts text stays in the editor.")
                        .arg(path, file.errorString()));
        return false;
    }
    return true;
}

bool KRSEditor::on_saveFile()
{
    KRSEdit* tab = currentEdit();
    if (!tab)
        return false;
    if (isUntitled(tab))
        return on_saveFileAs();
    const QString path = pathOf(tab).isEmpty() ? getScriptsPath() : pathOf(tab);
    if (!saveTo(tab, path))
        return false;
    setLabel(tab, QFileInfo(path).fileName());
    TabState& state = m_state[tab];
    state.modified = false;
    state.untitled = false;
    return true;
}

bool KRSEditor::on_saveFileAs()
{
    KRSEdit* tab = currentEdit();
    if (!tab)
        return false;
    QString name = kro::prompter().getSaveFileName(this, tr("Save As"), startFolder(tab), tr("KroScript (*.krs)"));
    if (name.isEmpty())
        return false;
    if (!name.toLower().endsWith(QLatin1String(".krs")))
        name += QLatin1String(".krs");
    // The tab takes the new name only once the file is written.
    if (!saveTo(tab, name))
        return false;
    m_state[tab] = TabState{name, false, false};
    setLabel(tab, QFileInfo(name).fileName());
    Q_EMIT newFileSaved(name);
    return true;
}

void KRSEditor::on_openFile()
{
    const QString path =
        kro::prompter().getOpenFileName(this, tr("Open"), startFolder(currentEdit()), tr("KroScript (*.krs)"));
    if (path.isEmpty())
        return;
    loadFileContents(path);
    m_recent->addFile(path);
}

bool KRSEditor::askToSave(KRSEdit* tab)
{
    QString name = pathOf(tab);
    if (isUntitled(tab)) {
        name = m_tabs->tabText(m_tabs->indexOf(tab));
        if (name.endsWith(QLatin1Char('*')))
            name.chop(1);
    }
    const auto answer = kro::prompter().question(this, kEditorCaption, tr("Save changes to %1?").arg(name),
                                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes)
        return true;
    m_tabs->setCurrentWidget(tab);
    return on_saveFile();
}

void KRSEditor::on_closeTab()
{
    KRSEdit* tab = currentEdit();
    if (!tab)
        return;
    // A tab whose save was asked for but failed stays open.
    if (isModified(tab) && !askToSave(tab))
        return;
    m_state.remove(tab);
    m_tabs->removeTab(m_tabs->indexOf(tab));
    delete tab;
    if (m_tabs->count() == 0)
        on_new();
    if (KRSEdit* next = currentEdit())
        next->setFocus();
}

template <typename F>
void KRSEditor::onCurrentTab(F&& f)
{
    if (KRSEdit* tab = currentEdit())
        f(tab);
}

void KRSEditor::on_commentAdd() { onCurrentTab([](KRSEdit* t) { t->commentSelection(KRSEdit::Comment); }); }
void KRSEditor::on_commentDelete() { onCurrentTab([](KRSEdit* t) { t->commentSelection(KRSEdit::Uncomment); }); }
void KRSEditor::on_copy() { onCurrentTab([](KRSEdit* t) { t->copy(); }); }
void KRSEditor::on_cut() { onCurrentTab([](KRSEdit* t) { t->cut(); }); }
void KRSEditor::on_paste() { onCurrentTab([](KRSEdit* t) { t->paste(); }); }
void KRSEditor::on_undo() { onCurrentTab([](KRSEdit* t) { t->undo(); }); }
void KRSEditor::on_redo() { onCurrentTab([](KRSEdit* t) { t->redo(); }); }
void KRSEditor::on_run() { onCurrentTab([this](KRSEdit* t) { Q_EMIT run(scriptRunLines(t->toPlainText())); }); }
