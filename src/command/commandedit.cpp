// The console side of CommandEdit: prompt, keys, printing, copy and paste,
// file-name completion, history and log. The dispatcher is in
// commanddispatch.cpp.
#include "command/commandedit.h"
#include "core/exceptions.h"
#include "core/fileutils.h"
#include "core/settings.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>

namespace {
const QString kPrompt = QStringLiteral("> ");
constexpr int kPromptLength = 2;

// The names of the files and folders of a folder, in path order; none when
// it is no folder or cannot be listed.
QStringList entryNames(const QString& directory)
{
    QStringList names;
    if (!QFileInfo(directory).isDir())
        return names;
    try {
        for (const SCUtilities::FileInfo& entry :
             SCUtilities::listDirectory(directory.toStdString(), SCUtilities::LIST_FILES | SCUtilities::LIST_DIRECTORIES))
            names << QString::fromStdString(entry.name);
    } catch (const SCUtilities::scexception&) {
        names.clear();
    }
    return names;
}
} // namespace

CommandEdit::CommandEdit(const QString& banner, QWidget* parent)
    : QPlainTextEdit(parent), m_help(buildCommandHelp()), m_history(readSettingInt(QStringLiteral("history"), 30) + 1)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    setFont(font);

    QTextCursor c(document());
    c.movePosition(QTextCursor::End);
    if (!banner.isEmpty()) {
        c.insertText(banner);
        if (!banner.endsWith(QLatin1Char('\n')))
            c.insertText(QStringLiteral("\n"));
    }
    c.insertText(kPrompt);
    setTextCursor(c);
    recordPromptPosition();
    m_firstInputBlock = m_promptBlock;
}

CommandEdit::~CommandEdit()
{
    if (m_kind != PlainConsole)
        m_history.save(historyFilePath());
}

void CommandEdit::setConsoleKind(int kind)
{
    m_kind = kind;
    switch (kind) {
    case CommandConsole:
        m_log.setLabel(QStringLiteral("Command log "));
        break;
    case DebugConsole:
        m_log.setLabel(QStringLiteral("Debug log "));
        break;
    default:
        m_log.setLabel(QString());
        break;
    }
    if (kind != PlainConsole)
        m_history.load(historyFilePath());
}

QString CommandEdit::historyFilePath() const
{
    QString name = m_log.label();
    name.remove(QStringLiteral(" log"));
    name = name.trimmed().toLower();
    if (name.isEmpty())
        return QString();
    return QDir(getAppPath()).filePath(name + QStringLiteral(".hist"));
}

void CommandEdit::addHistory(const QString& line) { m_history.add(line); }

// ---------------------------------------------------------------------------
// Positions

QTextCursor CommandEdit::cursorAt(int block, int index) const
{
    QTextBlock b = document()->findBlockByNumber(block);
    if (!b.isValid())
        b = document()->lastBlock();
    QTextCursor c(b);
    c.setPosition(b.position() + std::clamp(index, 0, b.length() - 1));
    return c;
}

void CommandEdit::recordPromptPosition()
{
    const QTextCursor c = textCursor();
    m_promptBlock = c.blockNumber();
    m_promptIndex = c.positionInBlock();
}

void CommandEdit::scrollToLeft()
{
    horizontalScrollBar()->setValue(0);
    ensureCursorVisible();
    horizontalScrollBar()->setValue(0);
}

bool CommandEdit::cursorOnPromptLine() const { return textCursor().blockNumber() == m_promptBlock; }

// ---------------------------------------------------------------------------
// Output and submission

void CommandEdit::transcript(const QString& text)
{
    if (text.isEmpty())
        return;
    QString out = text;
    if (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    out.replace(QLatin1Char('\n'), QStringLiteral("\n  "));

    QTextCursor c = cursorAt(m_promptBlock, kPromptLength);
    c.insertText(out);
    c.insertText(QStringLiteral("\n") + kPrompt);
    setTextCursor(c);
    recordPromptPosition();
    scrollToLeft();
    logCommand(out);
}

void CommandEdit::command(const QString& text, bool addToHistory)
{
    QTextCursor c = cursorAt(m_promptBlock, kPromptLength);
    c.insertText(text);
    c.insertText(QStringLiteral("\n") + kPrompt);
    setTextCursor(c);
    if (addToHistory)
        m_history.add(text);
    recordPromptPosition();
    scrollToLeft();
    logCommand(text);
    if (dispatch(text))
        runPendingCall();
}

void CommandEdit::on_returnPressed()
{
    // The key handler has split the prompt line at its end: the line typed
    // is the previous block, the cursor stands at the start of the new one.
    const QString line = document()->findBlockByNumber(m_promptBlock).text().mid(kPromptLength);
    m_history.add(line);
    logCommand(line);
    QTextCursor c = textCursor();
    c.insertText(kPrompt);
    setTextCursor(c);
    recordPromptPosition();
    scrollToLeft();
    if (dispatch(line))
        runPendingCall();
}

void CommandEdit::runPendingCall()
{
    // A receiver may submit further lines (a script pump, a prompt that lets
    // the event loop run); they replace m_pendingCall, never this copy.
    const std::function<void()> call = m_pendingCall;
    if (call)
        call();
    Q_EMIT cmdExecuted();
}

void CommandEdit::insertBreak()
{
    QTextCursor c = cursorAt(m_promptBlock, 0);
    c.movePosition(QTextCursor::EndOfBlock);
    c.insertText(QStringLiteral("\n") + kPrompt);
    setTextCursor(c);
    recordPromptPosition();
    scrollToLeft();
}

void CommandEdit::clear()
{
    QPlainTextEdit::clear();
    QTextCursor c(document());
    c.insertText(kPrompt);
    setTextCursor(c);
    m_promptBlock = 0;
    m_promptIndex = kPromptLength;
    m_firstInputBlock = 0;
    endCompletion();
}

// ---------------------------------------------------------------------------
// Log

void CommandEdit::logCommand(const QString& text)
{
    const QString error = m_log.write(text);
    if (!error.isNull())
        transcript(error);
}

void CommandEdit::setLogFile(const QString& name) { transcript(m_log.setFile(name)); }

void CommandEdit::enableLogFile(bool on)
{
    transcript(m_log.enable(on));
    if (!on)
        m_log.disable();
}

void CommandEdit::reportLogState() { transcript(m_log.stateReport()); }

// ---------------------------------------------------------------------------
// Keys

void CommandEdit::restrictSelectionToInput()
{
    QTextCursor c = textCursor();
    if (!c.hasSelection())
        return;
    const QTextBlock endBlock = document()->findBlock(c.selectionEnd());
    if (endBlock.blockNumber() < m_promptBlock) {
        c.clearSelection();
        setTextCursor(c);
        return;
    }
    // A selection starting in the output or in the prompt itself starts at
    // the input instead: deleting or typing over the prompt would leave a
    // line without its "> ".
    const int inputStart = cursorAt(m_promptBlock, kPromptLength).position();
    if (c.selectionStart() < inputStart) {
        const int end = c.selectionEnd();
        c.setPosition(inputStart);
        if (end > inputStart)
            c.setPosition(end, QTextCursor::KeepAnchor);
        setTextCursor(c);
    }
}

void CommandEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key != Qt::Key_Tab)
        endCompletion();

    // The clipboard and undo keys: copy and cut never change the console,
    // paste follows the paste rules, undo undoes on the plot.
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        cut();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        restrictSelectionToInput();
        paste();
        return;
    }
    if (event->matches(QKeySequence::Undo)) {
        Q_EMIT undo();
        return;
    }
    if (event->matches(QKeySequence::Redo))
        return;

    const bool modifierOnly = key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt
                              || key == Qt::Key_Meta || key == Qt::Key_AltGr;
    if (!modifierOnly && !event->matches(QKeySequence::SelectAll))
        restrictSelectionToInput();

    QTextCursor c = textCursor();
    const bool onPrompt = cursorOnPromptLine();
    const int index = c.positionInBlock();

    // Deleting keys are known by what they do, not only by their key: the
    // X11 bindings also delete with Ctrl+D (a character) and Ctrl+K (to the
    // end of the line). None may touch printed output or the prompt.
    const bool deletesForward = key == Qt::Key_Delete || event->matches(QKeySequence::Delete)
                                || event->matches(QKeySequence::DeleteEndOfWord)
                                || event->matches(QKeySequence::DeleteEndOfLine);
    if (event->matches(QKeySequence::DeleteCompleteLine))
        return;  // the whole line would take the prompt with it
    if (deletesForward && key != Qt::Key_Delete) {
        if (onPrompt && (index >= kPromptLength || c.hasSelection()))
            QPlainTextEdit::keyPressEvent(event);
        return;
    }

    switch (key) {
    case Qt::Key_Tab:
        if (onPrompt)
            completeFileName();
        return;
    case Qt::Key_Backtab:
        return;
    case Qt::Key_Backspace:
        if (!onPrompt || (index <= kPromptLength && !c.hasSelection()))
            return;
        if (event->matches(QKeySequence::DeleteStartOfWord) && !c.hasSelection()) {
            // A word back, but never into the prompt (blanks after "> "
            // would otherwise take the prompt with them).
            c.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
            const int inputStart = cursorAt(m_promptBlock, kPromptLength).position();
            if (c.position() < inputStart)
                c.setPosition(inputStart, QTextCursor::KeepAnchor);
            c.removeSelectedText();
            setTextCursor(c);
            return;
        }
        break;
    case Qt::Key_Delete:
        if (!onPrompt || (index < kPromptLength && !c.hasSelection()))
            return;
        break;
    case Qt::Key_Left:
        if (index <= kPromptLength)
            return;
        break;
    case Qt::Key_Right:
        if (c.atBlockEnd())
            return;
        break;
    case Qt::Key_Home:
        if (onPrompt && !(event->modifiers() & Qt::ControlModifier)) {
            c.setPosition(cursorAt(m_promptBlock, kPromptLength).position(),
                          (event->modifiers() & Qt::ShiftModifier) ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
            setTextCursor(c);
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        c.clearSelection();
        c = cursorAt(m_promptBlock, 0);
        c.movePosition(QTextCursor::EndOfBlock);
        c.insertText(QStringLiteral("\n"));
        setTextCursor(c);
        on_returnPressed();
        return;
    }
    case Qt::Key_Up:
        if (!m_history.isEmpty())
            recallHistory(true);
        return;
    case Qt::Key_Down:
        if (!m_history.isEmpty())
            recallHistory(false);
        return;
    default:
        if (!event->text().isEmpty() && event->text().at(0).isPrint())
            moveToInput();
        break;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CommandEdit::moveToInput()
{
    // Typing always goes to the prompt line, never into the output or into
    // the prompt itself.
    if (!cursorOnPromptLine())
        setTextCursor(cursorAt(m_promptBlock, m_promptIndex));
    else if (textCursor().positionInBlock() < kPromptLength)
        setTextCursor(cursorAt(m_promptBlock, kPromptLength));
}

void CommandEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // Text composed by an input method (dead keys, compose) arrives here
    // instead of as a key press: it goes to the input line all the same.
    if (!event->commitString().isEmpty() || !event->preeditString().isEmpty()) {
        restrictSelectionToInput();
        moveToInput();
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void CommandEdit::resetPromptLine()
{
    QTextCursor c = cursorAt(m_promptBlock, 0);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    c.insertText(kPrompt);
    setTextCursor(c);
    recordPromptPosition();
}

void CommandEdit::recallHistory(bool previous)
{
    resetPromptLine();
    const QString entry = previous ? m_history.recallPrevious() : m_history.recallNext();
    QTextCursor c = textCursor();
    c.insertText(entry);
    setTextCursor(c);
}

// ---------------------------------------------------------------------------
// File-name completion

void CommandEdit::endCompletion() { m_completion = Completion{}; }

void CommandEdit::completeFileName()
{
    const QTextBlock block = document()->findBlockByNumber(m_promptBlock);
    const QString lineText = block.text();
    const int cursorIndex = textCursor().positionInBlock();
    if (cursorIndex < kPromptLength)
        return;

    if (!m_completion.active) {
        if (cursorIndex > kPromptLength && lineText.at(cursorIndex - 1).isSpace()) {
            endCompletion();
            return;
        }
        if (cursorIndex == kPromptLength)
            return;
        const QString before = lineText.mid(kPromptLength, cursorIndex - kPromptLength);
        // Inside an open double quote the word starts after that quote;
        // otherwise (no quote, or every quote closed) after the last blank.
        const bool inQuote = before.count(QLatin1Char('"')) % 2 == 1;
        const int start = int(inQuote ? before.lastIndexOf(QLatin1Char('"')) : before.lastIndexOf(QLatin1Char(' ')));
        m_completion.active = true;
        m_completion.stem = lineText.mid(kPromptLength);
        while (!m_completion.stem.isEmpty() && m_completion.stem.back().isSpace())
            m_completion.stem.chop(1);
        m_completion.wordStart = start;
        m_completion.wordEnd = int(before.size());
        m_completion.word = before.mid(start + 1);
        m_completion.counter = 0;
    }

    const QString& word = m_completion.word;
    const int slash = int(word.lastIndexOf(QLatin1Char('/')));
    const QString directoryPart = slash >= 0 ? word.left(slash + 1) : QString();
    // A word that ends with a separator names no entry: only dot names match.
    const QString last = slash >= 0 ? word.mid(slash + 1) : word;
    const QString prefix = (slash >= 0 && last.isEmpty()) ? QStringLiteral(".") : last;

    const QStringList names = entryNames(directoryPart.isEmpty() ? QStringLiteral(".") : directoryPart);
    const int n = int(names.size());
    for (int tried = 0; tried < n; ++tried) {
        const QString& name = names.at(m_completion.counter % n);
        ++m_completion.counter;
        if (!name.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString completed = directoryPart + name;
        QString working = m_completion.stem;
        working.replace(m_completion.wordStart + 1, m_completion.wordEnd - m_completion.wordStart - 1, completed);
        const int wordEnd = m_completion.wordStart + 1 + int(completed.size());

        QTextCursor c = cursorAt(m_promptBlock, 0);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        c.insertText(kPrompt + working);
        c = cursorAt(m_promptBlock, kPromptLength + wordEnd);
        setTextCursor(c);
        recordPromptPosition();
        return;
    }
}

// ---------------------------------------------------------------------------
// Copy and paste

QString CommandEdit::selectionWithoutPrompts() const
{
    const QTextCursor c = textCursor();
    if (!c.hasSelection())
        return QString();
    const QTextDocument* doc = document();
    QTextBlock startBlock = doc->findBlock(c.selectionStart());
    const QTextBlock endBlock = doc->findBlock(c.selectionEnd());
    if (endBlock.blockNumber() < m_firstInputBlock)
        return c.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    int startIndex = c.selectionStart() - startBlock.position();
    if (startBlock.blockNumber() < m_firstInputBlock) {
        startBlock = doc->findBlockByNumber(m_firstInputBlock);
        startIndex = kPromptLength;
    }
    const int endIndex = c.selectionEnd() - endBlock.position();
    if (startBlock == endBlock) {
        const int from = std::max(startIndex, kPromptLength);
        return startBlock.text().mid(from, std::max(endIndex - from, 0));
    }

    QString out;
    for (QTextBlock b = startBlock; b.isValid() && b != endBlock; b = b.next())
        out += b.text().mid(kPromptLength).simplified() + QLatin1Char('\n');
    const QString last = endBlock.text().left(endIndex).mid(kPromptLength).simplified();
    if (!last.isEmpty())
        out += last;
    if (endIndex == endBlock.length() - 1)
        out += QLatin1Char('\n');
    return out;
}

void CommandEdit::copy()
{
    if (!textCursor().hasSelection()) {
        insertBreak();
        return;
    }
    QApplication::clipboard()->setText(selectionWithoutPrompts());
}

void CommandEdit::cut() { copy(); }

QMimeData* CommandEdit::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    data->setText(selectionWithoutPrompts());
    return data;
}

void CommandEdit::paste() { pasteText(QApplication::clipboard()->text()); }

bool CommandEdit::canInsertFromMimeData(const QMimeData* source) const { return source && source->hasText(); }

void CommandEdit::insertFromMimeData(const QMimeData* source)
{
    if (source && source->hasText())
        pasteText(source->text());
}

void CommandEdit::dropEvent(QDropEvent* event)
{
    // Text dragged within the console is copied, never moved: printed output
    // and the prompt stay as they are.
    if (event->source() == this || event->source() == viewport())
        event->setDropAction(Qt::CopyAction);
    QPlainTextEdit::dropEvent(event);
}

void CommandEdit::pasteText(const QString& text)
{
    // Every line break (CR LF, CR or LF) ends a piece and stays on it.
    static const QRegularExpression afterBreak(QStringLiteral("(?<=\n)"));
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList pieces = lines.split(afterBreak, Qt::SkipEmptyParts);

    bool emitted = false;
    for (auto it = pieces.crbegin(); it != pieces.crend(); ++it) {
        QString piece = *it;
        if (piece.endsWith(QLatin1Char('\n'))) {
            piece.remove(QLatin1Char('\n'));
            Q_EMIT scriptItem(piece);
            emitted = true;
        } else {
            // Text replaces a selection only on the input line (the menu's
            // Paste and drops come here without the key handler's check).
            restrictSelectionToInput();
            QTextCursor c = textCursor();
            if (c.blockNumber() != m_promptBlock)
                c = cursorAt(m_promptBlock, m_promptIndex);
            else if (c.positionInBlock() < kPromptLength && !c.hasSelection())
                c = cursorAt(m_promptBlock, kPromptLength);
            c.insertText(piece);
            setTextCursor(c);
        }
    }
    if (emitted)
        Q_EMIT scriptReady();
}

void CommandEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copyAction = menu.addAction(tr("&Copy"));
    copyAction->setEnabled(textCursor().hasSelection());
    QAction* pasteAction = menu.addAction(tr("&Paste"));
    pasteAction->setEnabled(!QApplication::clipboard()->text().isEmpty());
    menu.addSeparator();
    QAction* clearAction = menu.addAction(tr("C&lear"));
    QAction* selectAllAction = menu.addAction(tr("Select &All"));
    QAction* chosen = kro::prompter().execMenu(&menu, event->globalPos());
    if (chosen == copyAction)
        copy();
    else if (chosen == pasteAction)
        paste();
    else if (chosen == clearAction)
        clear();
    else if (chosen == selectAllAction)
        selectAll();
}
