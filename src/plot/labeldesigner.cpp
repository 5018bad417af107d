#include "plot/labeldesigner.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QStackedWidget>
#include <QStringDecoder>
#include <QTextCursor>
#include <QToolBar>

#include <exception>
#include <sstream>

#include "core/htmlparser.h"
#include "core/markupbounds.h"
#include "core/richtext.h"
#include "core/savefile.h"
#include "core/settings.h"
#include "platform/embeddedimages.h"
#include "platform/prompter.h"
#include "platform/recentfilesmenu.h"
#include "plot/actionlabel.h"

namespace {

const QString kTemplateFilter = QStringLiteral("LabelTemplate (*.etm)");
const QString kTemplateSuffix = QStringLiteral(".etm");

// A label template is a few kilobytes; anything far beyond is no template.
constexpr qint64 kMaxTemplateBytes = 16 * 1024 * 1024;

const char* const kReadError =
    "<b>Error</b>: Could not read file %1.\n\nPlease check that the file is valid, and that you have\n"
    "the appropriate read permissions";
const char* const kEmptyError = "<b>Error</b>: Empty file: %1.\n\nNo valid content was found.";
const char* const kWriteError =
    "<b>Error</b>: Could not write to file %1.\n\nPlease check that the file is valid, and that you have\n"
    "the appropriate write permissions";
const char* const kBinaryError = "<b>Error</b>: Not a label template: %1.\n\nThe file holds binary data.";
const char* const kTooLargeError =
    "<b>Error</b>: Not a label template: %1.\n\nThe file is far too large for a label template.";
const char* const kIncompleteError =
    "<b>Error</b>: Incomplete label template: %1.\n\nThe file ends before its markup does.";

bool isTrimmed(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Blanks and tabs at the edges of the text runs of the body become
// character references, which survive the trimming of template lines.
QString protectEdgeBlanks(const QString& markup)
{
    const qsizetype body = markup.indexOf(QLatin1String("<body"), 0, Qt::CaseInsensitive);
    if (body < 0)
        return markup;
    QString out = markup.left(body);
    out.reserve(markup.size() + 16);
    auto reference = [](QChar c) { return c == QLatin1Char('\t') ? QStringLiteral("&#9;") : QStringLiteral("&#32;"); };
    qsizetype i = body;
    while (i < markup.size()) {
        if (markup.at(i) == QLatin1Char('<')) {
            const qsizetype close = markup.indexOf(QLatin1Char('>'), i);
            const qsizetype end = close < 0 ? markup.size() : close + 1;
            out += QStringView(markup).mid(i, end - i);
            i = end;
            continue;
        }
        qsizetype runEnd = markup.indexOf(QLatin1Char('<'), i);
        if (runEnd < 0)
            runEnd = markup.size();
        qsizetype a = i, b = runEnd;
        while (a < b && (markup.at(a) == QLatin1Char(' ') || markup.at(a) == QLatin1Char('\t')))
            out += reference(markup.at(a++));
        QString tail;
        while (b > a && (markup.at(b - 1) == QLatin1Char(' ') || markup.at(b - 1) == QLatin1Char('\t')))
            tail.prepend(reference(markup.at(--b)));
        out += QStringView(markup).mid(a, b - a);
        out += tail;
        i = runEnd;
    }
    return out;
}

// The 16 x 16 dark red cross of the Cancel action.
QIcon cancelIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(QColor(0x80, 0x00, 0x00), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, 3), QPointF(13, 13));
    p.drawLine(QPointF(13, 3), QPointF(3, 13));
    return QIcon(pm);
}

// What a template's bytes say, or the error text for a file that is not a
// template. Bytes are Latin-1 up to the first zero byte; a file written by
// hand in UTF-8 is read as UTF-8.
bool decodeTemplate(const QByteArray& raw, QString& text, const char*& error)
{
    QByteArray bytes = raw;
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0) {
        // Zero bytes may only pad the end of a text.
        for (qsizetype i = zero; i < bytes.size(); ++i)
            if (bytes.at(i) != '\0') {
                error = kBinaryError;
                return false;
            }
        if (zero == 0) {
            error = kBinaryError;
            return false;
        }
        bytes.truncate(zero);
    }
    bool high = false;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) {
            error = kBinaryError;
            return false;
        }
        high = high || c >= 0x80;
    }
    if (high) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8.decode(bytes);
        if (!utf8.hasError()) {
            text = fromTemplateLatin1(toTemplateLatin1(decoded));
            return true;
        }
    }
    text = fromTemplateLatin1(bytes.toStdString());
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
// LabelEdit

LabelEdit::LabelEdit(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(true);
    connect(this, &QTextEdit::currentCharFormatChanged, this,
            [this](const QTextCharFormat& f) { on_verticalAlignmentChanged(f.verticalAlignment()); });
}

void LabelEdit::on_verticalAlignmentChanged(QTextCharFormat::VerticalAlignment alignment)
{
    Q_EMIT verticalAlignmentChanged(int(alignment));
}

void LabelEdit::keyPressEvent(QKeyEvent* e)
{
    // A line break at the cursor, inside the paragraph: nothing else of the
    // text changes, however many paragraphs the document has.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        textCursor().insertText(QString(QChar(QChar::LineSeparator)));
        ensureCursorVisible();
        e->accept();
        return;
    }
    QTextEdit::keyPressEvent(e);
}

// ---------------------------------------------------------------------------
// LabelDesigner

LabelDesigner::LabelDesigner(QWidget* label) : QMainWindow(label, Qt::Window), m_label(label)
{
    setWindowTitle(tr("Label Editor"));
    m_templatePath = getLabelTemplatePath();
    if (!QFileInfo::exists(m_templatePath))
        QDir().mkdir(m_templatePath);

    m_stack = new QStackedWidget(this);
    m_editor = new LabelEdit(m_stack);
    m_markupView = new QTextEdit(m_stack);
    m_markupView->setAcceptRichText(false);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(10);
    mono.setWeight(QFont::Normal);
    mono.setItalic(false);
    m_markupView->setFont(mono);
    m_stack->addWidget(m_editor);
    m_stack->addWidget(m_markupView);
    m_stack->setCurrentWidget(m_editor);

    buildMenus();

    connect(m_editor, &QTextEdit::currentCharFormatChanged, this, [this](const QTextCharFormat& f) {
        fontChanged(f.font());
        colorChanged(m_editor->textColor());
    });
    connect(m_editor, &QTextEdit::cursorPositionChanged, this,
            [this] { alignmentChanged(int(m_editor->alignment())); });
    connect(m_editor, &LabelEdit::verticalAlignmentChanged, this, &LabelDesigner::verticalAlignmentChanged);

    m_editor->setFocus();
    setCentralWidget(m_stack);
    setMinimumWidth(800);
}

LabelDesigner::~LabelDesigner() = default;

void LabelDesigner::buildMenus()
{
    auto make = [this](const QString& text, const char* shortcut, const char* image, const char* name) {
        auto* a = new QAction(text, this);
        if (shortcut)
            a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        if (image)
            a->setIcon(embeddedIcon(QString::fromLatin1(image)));
        if (name)
            a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    auto toggle = [&](const QString& text, const char* shortcut, const char* image, const char* name) {
        QAction* a = make(text, shortcut, image, name);
        a->setCheckable(true);
        return a;
    };

    // File: the recent-templates menu with two entries before the list and
    // two after it.
    m_recentTemplates = new RecentFilesMenu(this, 2, 2, QDir(getAppPath()).filePath(QStringLiteral("customlabels.ini")));
    m_recentTemplates->setTitle(tr("&File"));
    QAction* open = make(tr("Open template..."), nullptr, "fileopen.xpm", nullptr);
    QAction* save = make(tr("Save as template..."), nullptr, "filesave.xpm", nullptr);
    QAction* accept = make(tr("Accept"), "Ctrl+Return", nullptr, nullptr);
    accept->setIcon(QIcon(AcceptedCheck::checkImage()));
    accept->setIconVisibleInMenu(false);
    QAction* cancel = make(tr("Cancel"), "Escape", nullptr, nullptr);
    cancel->setIcon(cancelIcon());
    cancel->setIconVisibleInMenu(false);
    connect(open, &QAction::triggered, this, &LabelDesigner::on_load);
    connect(save, &QAction::triggered, this, &LabelDesigner::on_save);
    connect(accept, &QAction::triggered, this, &LabelDesigner::on_done);
    connect(cancel, &QAction::triggered, this, &LabelDesigner::on_cancel);
    m_recentTemplates->addAction(open);
    m_recentTemplates->addAction(save);
    m_recentTemplates->addAction(accept);
    m_recentTemplates->addAction(cancel);
    menuBar()->addMenu(m_recentTemplates);
    connect(m_recentTemplates, &RecentFilesMenu::fileclicked, this, &LabelDesigner::loadTemplate);
    connect(m_recentTemplates, &RecentFilesMenu::fileerror, this,
            [this](const QString& text) { kro::prompter().critical(this, tr("File error"), text, QMessageBox::Cancel); });
    m_recentTemplates->addFile(QString());

    // Edit: the editor's own operations, whichever page shows.
    QMenu* editMenu = menuBar()->addMenu(tr("&Edit"));
    QToolBar* editBar = addToolBar(tr("Edit Actions"));
    QAction* undo = make(tr("&Undo"), "Ctrl+Z", "editundo.xpm", "editUndo");
    QAction* redo = make(tr("&Redo"), "Ctrl+Y", "editredo.xpm", "editRedo");
    QAction* copy = make(tr("&Copy"), "Ctrl+C", "editcopy.xpm", "editCopy");
    QAction* cut = make(tr("Cu&t"), "Ctrl+X", "editcut.xpm", "editCut");
    QAction* paste = make(tr("&Paste"), "Ctrl+V", "editpaste.xpm", "editPaste");
    connect(undo, &QAction::triggered, m_editor, &QTextEdit::undo);
    connect(redo, &QAction::triggered, m_editor, &QTextEdit::redo);
    connect(copy, &QAction::triggered, m_editor, &QTextEdit::copy);
    connect(cut, &QAction::triggered, m_editor, &QTextEdit::cut);
    connect(paste, &QAction::triggered, m_editor, &QTextEdit::paste);
    editMenu->addAction(undo);
    editMenu->addAction(redo);
    editMenu->addSeparator();
    editMenu->addAction(copy);
    editMenu->addAction(cut);
    editMenu->addAction(paste);
    editBar->addActions({undo, redo, copy, cut, paste});

    // View: the two pages, one at a time.
    QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
    auto* views = new QActionGroup(this);
    views->setExclusive(true);
    QAction* markup = toggle(tr("&Markup"), "Ctrl+M", "markup.xpm", "viewmarkup");
    QAction* richtext = toggle(tr("Rich&text"), "Ctrl+T", "richtext.xpm", "viewrichtext");
    richtext->setChecked(true);
    views->addAction(markup);
    views->addAction(richtext);
    connect(markup, &QAction::triggered, this, &LabelDesigner::viewMarkup);
    connect(richtext, &QAction::triggered, this, &LabelDesigner::viewRichtext);
    viewMenu->addAction(markup);
    viewMenu->addAction(richtext);

    // Format.
    QToolBar* formatBar = addToolBar(tr("Format Actions"));
    m_comboFont = new QComboBox(formatBar);
    m_comboFont->setEditable(true);
    m_comboFont->addItems(QFontDatabase::families());
    m_comboFont->setEditText(QApplication::font().family());
    connect(m_comboFont, &QComboBox::textActivated, this, &LabelDesigner::textFamily);
    formatBar->addWidget(m_comboFont);
    m_comboSize = new QComboBox(formatBar);
    m_comboSize->setEditable(true);
    for (const int size : QFontDatabase::standardSizes())
        m_comboSize->addItem(QString::number(size));
    m_comboSize->setEditText(QString::number(QApplication::font().pointSize()));
    connect(m_comboSize, &QComboBox::textActivated, this, &LabelDesigner::textSize);
    formatBar->addWidget(m_comboSize);

    QMenu* formatMenu = menuBar()->addMenu(tr("F&ormat"));
    m_actionSuperscript = toggle(tr("Superscript"), "Ctrl+=", "superscript.xpm", "textSuper");
    m_actionSubscript = toggle(tr("Subscript"), "Ctrl+Shift+=", "subscript.xpm", "textSub");
    m_actionTextBold = toggle(tr("&Bold"), "Ctrl+B", "textbold.xpm", "textBold");
    m_actionTextItalic = toggle(tr("&Italic"), "Ctrl+I", "textitalic.xpm", "textItalic");
    m_actionTextUnderline = toggle(tr("&Underline"), "Ctrl+U", "textunder.xpm", "textUnderline");
    connect(m_actionSuperscript, &QAction::triggered, this, &LabelDesigner::textSuperscript);
    connect(m_actionSubscript, &QAction::triggered, this, &LabelDesigner::textSubscript);
    connect(m_actionTextBold, &QAction::triggered, this, &LabelDesigner::textBold);
    connect(m_actionTextItalic, &QAction::triggered, this, &LabelDesigner::textItalic);
    connect(m_actionTextUnderline, &QAction::triggered, this, &LabelDesigner::textUnderline);
    for (QAction* a : {m_actionSuperscript, m_actionSubscript, m_actionTextBold, m_actionTextItalic,
                       m_actionTextUnderline}) {
        formatMenu->addAction(a);
        formatBar->addAction(a);
    }
    formatMenu->addSeparator();

    auto* alignment = new QActionGroup(this);
    alignment->setExclusive(true);
    m_actionAlignLeft = toggle(tr("&Left"), "Ctrl+L", "textleft.xpm", "textLeft");
    m_actionAlignCenter = toggle(tr("C&enter"), "Ctrl+E", "textcenter.xpm", "textCenter");
    m_actionAlignRight = toggle(tr("&Right"), "Ctrl+R", "textright.xpm", "textRight");
    m_actionAlignJustify = toggle(tr("&Justify"), "Ctrl+J", "textjustify.xpm", "textjustify");
    for (QAction* a : {m_actionAlignLeft, m_actionAlignCenter, m_actionAlignRight, m_actionAlignJustify}) {
        alignment->addAction(a);
        formatMenu->addAction(a);
        formatBar->addAction(a);
    }
    connect(alignment, &QActionGroup::triggered, this, &LabelDesigner::textAlign);
    formatMenu->addSeparator();

    QPixmap black(16, 16);
    black.fill(Qt::black);
    m_actionTextColor = make(tr("&Color..."), nullptr, nullptr, "textColor");
    m_actionTextColor->setIcon(QIcon(black));
    connect(m_actionTextColor, &QAction::triggered, this, &LabelDesigner::textColor);
    formatMenu->addAction(m_actionTextColor);
    formatBar->addAction(m_actionTextColor);

    // Done: docked at the right edge.
    auto* doneBar = new QToolBar(tr("Done Actions"), this);
    addToolBar(Qt::RightToolBarArea, doneBar);
    doneBar->addAction(accept);
    doneBar->addAction(cancel);
}

QString LabelDesigner::normalizedText(const QString& text)
{
    QString joined;
    joined.reserve(text.size());
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        qsizetype a = 0, b = line.size();
        while (a < b && isTrimmed(line.at(a)))
            ++a;
        while (b > a && isTrimmed(line.at(b - 1)))
            --b;
        joined += line.mid(a, b - a);
    }
    return joined;
}

QString LabelDesigner::indentedMarkup(const QString& html)
{
    const QString oneLine = protectEdgeBlanks(normalizedText(stripDoctype(html)));
    // The parser reads bytes: characters beyond Latin-1 travel as references.
    HtmlElement root = parseElement(toTemplateLatin1(oneLine), 0);
    root.parseChildren();
    std::ostringstream out;
    writeElementTree(out, root);
    return fromTemplateLatin1(out.str());
}

QByteArray LabelDesigner::templateBytes(const QString& html)
{
    const std::string bytes = toTemplateLatin1(indentedMarkup(html));
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

QString LabelDesigner::editorHtml() const { return stripDoctype(m_editor->toHtml()); }

void LabelDesigner::fileError(const QString& text, const QString& path)
{
    kro::prompter().critical(this, tr("File error"), text.arg(path), QMessageBox::Cancel);
}

void LabelDesigner::setText(const QString& text)
{
    const QFont f = m_label ? m_label->font() : font();
    m_editor->setFont(f);
    m_editor->setCurrentFont(f);
    m_comboFont->setEditText(f.family());
    m_comboSize->setEditText(QString::number(f.pointSize()));
    m_actionTextBold->setChecked(f.weight() > QFont::Normal);
    m_actionTextItalic->setChecked(f.italic());
    colorChanged(m_editor->textColor());
    setEditorHtml(text);
    m_editor->selectAll();
}

void LabelDesigner::setEditorHtml(const QString& text)
{
    QString problem;
    const QString bounded = kro::boundedRichText(text, &problem);
    if (!problem.isEmpty())
        kro::prompter().warning(this, windowTitle(), problem + QLatin1Char('.'));
    m_editor->setHtml(bounded);
}

void LabelDesigner::alignmentChanged(int alignment)
{
    if (alignment == 0 || (alignment & Qt::AlignLeft))
        m_actionAlignLeft->setChecked(true);
    else if (alignment & Qt::AlignHCenter)
        m_actionAlignCenter->setChecked(true);
    else if (alignment & Qt::AlignRight)
        m_actionAlignRight->setChecked(true);
    else if (alignment & Qt::AlignJustify)
        m_actionAlignJustify->setChecked(true);
}

void LabelDesigner::colorChanged(const QColor& colour)
{
    QPixmap swatch(16, 16);
    swatch.fill(QColor(180, 180, 180));
    QPainter p(&swatch);
    p.fillRect(2, 2, 12, 12, colour);
    p.end();
    m_actionTextColor->setIcon(QIcon(swatch));
}

void LabelDesigner::fontChanged(const QFont& font)
{
    m_comboFont->setEditText(font.family());
    m_comboSize->setEditText(QString::number(font.pointSize()));
    m_actionTextBold->setChecked(font.weight() > QFont::Normal);
    m_actionTextItalic->setChecked(font.italic());
    m_actionTextUnderline->setChecked(font.underline());
}

void LabelDesigner::loadTemplate(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        fileError(tr(kReadError), path);
        return;
    }
    const QByteArray raw = file.read(kMaxTemplateBytes + 1);
    file.close();
    if (raw.isEmpty()) {
        fileError(tr(kEmptyError), path);
        return;
    }
    if (raw.size() > kMaxTemplateBytes) {
        fileError(tr(kTooLargeError), path);
        return;
    }
    QString text;
    const char* error = nullptr;
    if (!decodeTemplate(raw, text, error)) {
        fileError(tr(error), path);
        return;
    }
    const QString markup = normalizedText(text);
    // A file cut short: its document does not end, or a tag does not close.
    bool complete = !markup.startsWith(QLatin1String("<html"), Qt::CaseInsensitive) ||
                    markup.endsWith(QLatin1String("</html>"), Qt::CaseInsensitive);
    try {
        indentedMarkup(markup);
    } catch (const std::exception&) {
        complete = false;
    }
    if (!complete) {
        fileError(tr(kIncompleteError), path);
        return;
    }
    setText(markup);
    QTextCursor cursor = m_editor->textCursor();
    cursor.clearSelection();
    m_editor->setTextCursor(cursor);
    m_templatePath = path;
    m_recentTemplates->addFile(path);
}

void LabelDesigner::on_cancel() { close(); }

void LabelDesigner::on_done()
{
    if (m_stack->currentWidget() == m_markupView)
        setEditorHtml(normalizedText(m_markupView->toPlainText()));
    Q_EMIT closed(editorHtml());
    close();
}

void LabelDesigner::on_load()
{
    const QString name =
        kro::prompter().getOpenFileName(this, tr("Open template..."), m_templatePath, kTemplateFilter);
    if (!name.isEmpty())
        loadTemplate(name);
}

void LabelDesigner::on_save()
{
    QString name = kro::prompter().getSaveFileName(this, tr("Save as template..."), m_templatePath, kTemplateFilter);
    if (name.isEmpty())
        return;
    if (!name.endsWith(kTemplateSuffix, Qt::CaseInsensitive))
        name += kTemplateSuffix;
    saveTemplate(name);
}

void LabelDesigner::saveTemplate(const QString& path)
{
    QByteArray bytes;
    try {
        bytes = templateBytes(editorHtml());
    } catch (const std::exception&) {
        fileError(tr(kWriteError), path);
        return;
    }
    // The old file stays whole until the new one is complete.
    if (!kro::writeFileReplacing(path, bytes)) {
        fileError(tr(kWriteError), path);
        return;
    }
    m_templatePath = path;
    m_recentTemplates->addFile(path);
}

void LabelDesigner::textAlign(QAction* action)
{
    if (action == m_actionAlignLeft)
        m_editor->setAlignment(Qt::AlignLeft);
    else if (action == m_actionAlignCenter)
        m_editor->setAlignment(Qt::AlignHCenter);
    else if (action == m_actionAlignRight)
        m_editor->setAlignment(Qt::AlignRight);
    else if (action == m_actionAlignJustify)
        m_editor->setAlignment(Qt::AlignJustify);
}

void LabelDesigner::textBold() { m_editor->setFontWeight(m_actionTextBold->isChecked() ? QFont::Bold : QFont::Normal); }

void LabelDesigner::textColor()
{
    const std::optional<QColor> chosen = kro::prompter().getColor(m_editor->textColor(), this, QString());
    if (!chosen || !chosen->isValid())
        return;
    QColor colour = *chosen;
    // Pure black would read as "no colour" in the label's document.
    if (colour.red() == 0 && colour.green() == 0 && colour.blue() == 0)
        colour = QColor(0, 0, 1);
    m_editor->setTextColor(colour);
    colorChanged(colour);
}

void LabelDesigner::textFamily(const QString& family) { m_editor->setFontFamily(family); }

void LabelDesigner::textItalic() { m_editor->setFontItalic(m_actionTextItalic->isChecked()); }

void LabelDesigner::textSize(const QString& size)
{
    bool ok = false;
    const int points = size.toInt(&ok, 10);
    if (ok && points > 0)
        m_editor->setFontPointSize(points);
}

void LabelDesigner::setVerticalAlignment(QAction* chosen, QAction* other, int alignment)
{
    QTextCharFormat f;
    if (chosen->isChecked()) {
        other->setChecked(false);
        f.setVerticalAlignment(QTextCharFormat::VerticalAlignment(alignment));
    } else {
        f.setVerticalAlignment(QTextCharFormat::AlignNormal);
    }
    m_editor->mergeCurrentCharFormat(f);
}

void LabelDesigner::textSubscript()
{
    setVerticalAlignment(m_actionSubscript, m_actionSuperscript, QTextCharFormat::AlignSubScript);
}

void LabelDesigner::textSuperscript()
{
    setVerticalAlignment(m_actionSuperscript, m_actionSubscript, QTextCharFormat::AlignSuperScript);
}

void LabelDesigner::textUnderline() { m_editor->setFontUnderline(m_actionTextUnderline->isChecked()); }

void LabelDesigner::viewMarkup()
{
    // Choosing the page already shown keeps the edits made on it.
    if (m_stack->currentWidget() == m_markupView)
        return;
    m_actionTextBold->setEnabled(false);
    m_actionTextItalic->setEnabled(false);
    m_actionTextUnderline->setEnabled(false);
    QString shown;
    try {
        shown = indentedMarkup(editorHtml());
    } catch (const std::exception&) {
        // Markup the tree cannot hold is shown on one line, all of it.
        shown = normalizedText(editorHtml());
    }
    m_markupView->setPlainText(shown);
    m_stack->setCurrentWidget(m_markupView);
}

void LabelDesigner::viewRichtext()
{
    if (m_stack->currentWidget() == m_editor)
        return;
    m_actionTextBold->setEnabled(true);
    m_actionTextItalic->setEnabled(true);
    m_actionTextUnderline->setEnabled(true);
    setEditorHtml(normalizedText(m_markupView->toPlainText()));
    m_stack->setCurrentWidget(m_editor);
}

void LabelDesigner::verticalAlignmentChanged(int alignment)
{
    m_actionSubscript->setChecked(alignment == 2);
    m_actionSuperscript->setChecked(alignment == 1);
}
