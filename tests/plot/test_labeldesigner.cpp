// The label designer: its editor, the markup page, label template files
// (".etm") and the way a plot label opens it.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <csignal>
#include <sys/resource.h>

#include "../support/files.h"
#include "../support/peers.h"
#include "../support/prompts.h"
#include "../support/scratchmount.h"
#include "core/settings.h"
#include "core/richtext.h"
#include "platform/recentfilesmenu.h"
#include "plot/actionlabel.h"
#include "plot/labeldesigner.h"
#include "plot/rotlabel.h"
#include "plot_fixture.h"

using kro::ScriptedPrompter;
using kro::test::readFile;
using kro::test::writeFile;

namespace {

const QString kAlpha(QChar(0x03B1));
const QString kOmega(QChar(0x03A9));
const QString kArrowRight(QChar(0x2192));

// A designer owned by a plain label, as every plot label owns one.
struct DesignerFixture {
    QWidget home;
    ActionLabel* label = new ActionLabel("", &home);
    LabelDesigner* designer = new LabelDesigner(label);

    // Writes rich text with the editor's own operations: each run is
    // inserted with its format.
    void write(const std::vector<std::pair<QString, QTextCharFormat>>& runs)
    {
        designer->editor()->clear();
        QTextCursor c(designer->editor()->document());
        for (const auto& [text, format] : runs)
            c.insertText(text, format);
    }
    QString html() const { return stripDoctype(designer->editor()->toHtml()); }
};

QTextCharFormat plain() { return {}; }
QTextCharFormat vertical(QTextCharFormat::VerticalAlignment a)
{
    QTextCharFormat f;
    f.setVerticalAlignment(a);
    return f;
}
QTextCharFormat bold()
{
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    return f;
}
QTextCharFormat coloured(const QColor& c)
{
    QTextCharFormat f;
    f.setForeground(c);
    return f;
}

// The leading blanks of each line of a template.
std::vector<int> indents(const QStringList& lines)
{
    std::vector<int> out;
    for (const QString& l : lines) {
        int n = 0;
        while (n < l.size() && l.at(n) == ' ')
            ++n;
        out.push_back(n);
    }
    return out;
}

// While it lives, files of this process cannot grow beyond a size (a full
// disk, as far as the writer can tell).
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &m_signal);
        getrlimit(RLIMIT_FSIZE, &m_limit);
        rlimit limit = m_limit;
        limit.rlim_cur = rlim_t(bytes);
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_limit);
        sigaction(SIGXFSZ, &m_signal, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_limit{};
    struct sigaction m_signal {};
};

QImage rendered(const QString& labelText)
{
    QWidget home;
    home.resize(400, 120);
    auto* label = new ActionLabel(labelText, &home);
    label->move(0, 0);
    home.show();
    QApplication::processEvents();
    return label->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(LabelTemplateFormat, HelloIsAnIndentedTreeThatReadsBack)
{
    DesignerFixture f;
    f.designer->setText("Hello");
    const QByteArray bytes = LabelDesigner::templateBytes(f.html());
    ASSERT_TRUE(bytes.endsWith('\n'));
    EXPECT_FALSE(bytes.endsWith("\n\n"));
    EXPECT_FALSE(bytes.contains('\r'));
    const QStringList lines = QString::fromLatin1(bytes).chopped(1).split('\n');
    ASSERT_GE(lines.size(), 10);
    const std::vector<int> ind = indents(lines);
    // The document opens with html and head; what the toolkit writes into
    // the head is its own, one level deeper.
    EXPECT_EQ(lines[0], "<html>");
    EXPECT_EQ(lines[1], "    <head>");
    const int headEnd = int(lines.indexOf("    </head>"));
    ASSERT_GT(headEnd, 2);
    for (int i = 2; i < headEnd; ++i)
        EXPECT_GE(ind[size_t(i)], 8) << lines[i].toStdString();
    // The body: one paragraph holding the word.
    const QStringList body = lines.mid(headEnd + 1);
    ASSERT_EQ(body.size(), 6);
    EXPECT_TRUE(body[0].startsWith("    <body style=\"")) << body[0].toStdString();
    EXPECT_TRUE(body[1].startsWith("        <p")) << body[1].toStdString();
    EXPECT_EQ(body[2], "            Hello");
    EXPECT_EQ(body[3], "        </p>");
    EXPECT_EQ(body[4], "    </body>");
    EXPECT_EQ(body[5], "</html>");
    // Reading joins the trimmed lines back into the editor's markup.
    EXPECT_EQ(LabelDesigner::normalizedText(QString::fromLatin1(bytes)), LabelDesigner::normalizedText(f.html()));
}

TEST(LabelTemplateFormat, NormalizedTextTrimsEveryLine)
{
    struct Case {
        QString in, out;
    };
    const Case cases[] = {
        {"  <a>\r\n\t x \t\n</a>\n", "<a>x</a>"},
        {"one\ntwo", "onetwo"},
        {" \n\t\r\n  ", ""},
        {"", ""},
        {"inner  blanks stay", "inner  blanks stay"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LabelDesigner::normalizedText(c.in), c.out) << c.in.toStdString();
}

TEST(LabelTemplateFiles, RichLabelRoundTripsThroughAFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rich.etm");
    DesignerFixture a;
    a.write({{"U" + kAlpha + kOmega, plain()},
             {"2", vertical(QTextCharFormat::AlignSuperScript)},
             {" x", plain()},
             {"i", vertical(QTextCharFormat::AlignSubScript)},
             {" ", plain()},
             {"bold", bold()},
             {" A&B <c> ", coloured(QColor(200, 0, 0))},
             {kArrowRight + " end", plain()}});
    const QString written = a.html();
    ASSERT_TRUE(written.contains("&amp;") && written.contains("&lt;"));
    a.designer->saveTemplate(path);
    const QByteArray bytes = readFile(path);
    ASSERT_FALSE(bytes.isEmpty());
    // One byte per character: Greek letters and the arrow are written as
    // character references, never as question marks.
    EXPECT_TRUE(bytes.contains("&#945;&#937;")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("&#8594;"));
    EXPECT_FALSE(bytes.contains('?'));
    EXPECT_EQ(QString::fromLatin1(bytes).toLatin1(), bytes);

    DesignerFixture b;
    b.designer->loadTemplate(path);
    EXPECT_EQ(b.html(), written);
    EXPECT_EQ(b.designer->editor()->toPlainText(), a.designer->editor()->toPlainText());
    EXPECT_EQ(b.designer->templatePath(), path);
    EXPECT_EQ(b.designer->recentTemplates()->paths().last(), path);
    // What a label shows of it is the same, pixel for pixel.
    EXPECT_EQ(rendered(b.html()), rendered(written));
}

TEST(LabelTemplateFiles, BlanksAtTheEdgesOfRunsSurvive)
{
    // A blank between plain text and a formatted word is kept.
    QTemporaryDir dir;
    DesignerFixture a;
    a.write({{"speed ", plain()}, {"v", bold()}, {" m/s", plain()}});
    a.designer->saveTemplate(dir.filePath("edges.etm"));
    DesignerFixture b;
    b.designer->loadTemplate(dir.filePath("edges.etm"));
    EXPECT_EQ(b.designer->editor()->toPlainText(), "speed v m/s");
}

TEST(LabelTemplateFiles, OlderAndHandWrittenFilesLoad)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray bytes;
        QString plainText;
    };
    const Case cases[] = {
        // Latin-1 bytes, one per character; a question mark stays one.
        {"latin1.etm", "<html>\n    <body>\n        caf\xE9 ?\n    </body>\n</html>\n", QString::fromUtf8("café ?")},
        // Windows line ends.
        {"crlf.etm", "<html>\r\n<body>\r\nx&#946;y\r\n</body>\r\n</html>\r\n", "x" + QString(QChar(0x03B2)) + "y"},
        // Saved by hand in UTF-8.
        {"utf8.etm", "<html><body>\xCE\xB1 = 1</body></html>\n", kAlpha + " = 1"},
        // A zero byte ends the text.
        {"padded.etm", QByteArray("<html><body>z</body></html>\n\0\0\0", 32), "z"},
        // Only blanks and line ends: an empty label.
        {"blank.etm", "  \n\t\n", ""},
    };
    for (const Case& c : cases) {
        DesignerFixture f;
        f.designer->setText("before");
        writeFile(dir.filePath(c.name), c.bytes);
        f.designer->loadTemplate(dir.filePath(c.name));
        EXPECT_EQ(f.designer->editor()->toPlainText(), c.plainText) << c.name;
        EXPECT_EQ(f.designer->templatePath(), dir.filePath(c.name)) << c.name;
    }
}

TEST(LabelTemplateFiles, BadFilesAreReportedAndChangeNothing)
{
    QTemporaryDir dir;
    const QByteArray good = "<html><body>ok</body></html>\n";
    struct Case {
        const char* name;
        QByteArray bytes;  // null: no such file
        const char* message;
    };
    const Case cases[] = {
        {"missing.etm", QByteArray(), "<b>Error</b>: Could not read file %1.\n\nPlease check that the file is valid, "
                                      "and that you have\nthe appropriate read permissions"},
        {"empty.etm", QByteArray(""), "<b>Error</b>: Empty file: %1.\n\nNo valid content was found."},
        {"binary.etm", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "Not a label template"},
        {"zerofirst.etm", QByteArray("\0<html>", 7), "Not a label template"},
        {"truncated.etm", "<html>\n    <head>\n    </head>\n    <body style=\"\">\n        <p>\n            Hel",
         "Incomplete label template"},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(c.name);
        if (!c.bytes.isNull())
            writeFile(path, c.bytes);
        DesignerFixture f;
        const QString before = f.designer->templatePath();
        f.designer->setText("kept " + kAlpha);
        const QString html = f.html();
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::Cancel);
        f.designer->loadTemplate(path);
        ASSERT_EQ(prompts->asked().size(), 1u) << c.name;
        const auto& asked = prompts->asked()[0];
        EXPECT_EQ(asked.messageKind, kro::Prompter::MessageKind::Critical);
        EXPECT_EQ(asked.title, "File error");
        const QString expected = QString::fromLatin1(c.message);
        if (expected.contains("%1"))
            EXPECT_EQ(asked.text, expected.arg(path)) << c.name;
        else
            EXPECT_TRUE(asked.text.contains(expected) && asked.text.contains(path)) << asked.text.toStdString();
        EXPECT_EQ(f.html(), html) << c.name;
        EXPECT_EQ(f.designer->templatePath(), before) << c.name;
        EXPECT_TRUE(f.designer->recentTemplates()->paths().isEmpty() ||
                    f.designer->recentTemplates()->paths().last() != path);
    }
    // A folder is no template either.
    DesignerFixture f;
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::Cancel);
    f.designer->loadTemplate(dir.path());
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_TRUE(prompts->asked()[0].text.startsWith("<b>Error</b>: Could not read file"));
    (void)good;
}

TEST(LabelTemplateFiles, FailedSavesLeaveTheOldTemplateWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("old.etm");
    DesignerFixture f;
    f.designer->setText("old");
    f.designer->saveTemplate(path);
    const QByteArray old = readFile(path);
    ASSERT_FALSE(old.isEmpty());
    const QString savedPath = f.designer->templatePath();

    // A long label over a file system that takes no more than a few bytes
    // per file: the write fails part way.
    f.designer->setText(QString(10000, QChar('x')));
    {
        const FileSizeLimit limit(old.size());
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::Cancel);
        f.designer->saveTemplate(path);
        ASSERT_EQ(prompts->asked().size(), 1u);
        EXPECT_EQ(prompts->asked()[0].title, "File error");
        EXPECT_EQ(prompts->asked()[0].text,
                  QString("<b>Error</b>: Could not write to file %1.\n\nPlease check that the file is valid, and "
                          "that you have\nthe appropriate write permissions")
                      .arg(path));
    }
    EXPECT_EQ(readFile(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.etm"});
    EXPECT_EQ(f.designer->templatePath(), savedPath);

    // A folder that does not exist, and a folder in place of the file.
    for (const QString& bad : {dir.filePath("no/such/folder/t.etm"), dir.path()}) {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::Cancel);
        f.designer->saveTemplate(bad);
        ASSERT_EQ(prompts->asked().size(), 1u);
        EXPECT_TRUE(prompts->asked()[0].text.startsWith("<b>Error</b>: Could not write to file"));
        EXPECT_EQ(f.designer->templatePath(), savedPath);
    }
    EXPECT_EQ(f.designer->recentTemplates()->paths().last(), path);
}

TEST(LabelTemplateFiles, UnusableTemplateFolders)
{
    QTemporaryDir dir;
    const QString before = getLabelTemplatePath();
    // A template folder that cannot be made (a file stands in its path):
    // the designer opens all the same and its dialogs start there.
    writeFile(dir.filePath("plain"), "x");
    const QString unmade = dir.filePath("plain/templates/");
    writeSetting(QStringLiteral("labeltemplatepath"), unmade);
    {
        DesignerFixture f;
        EXPECT_EQ(f.designer->templatePath(), unmade);
        f.designer->setText("kept");
        kro::test::ScriptedPrompts prompts;
        prompts->answerSaveFile(unmade + "t");
        prompts->answerMessage(QMessageBox::Cancel);
        QMetaObject::invokeMethod(f.designer, "on_save");
        ASSERT_EQ(prompts->asked().size(), 2u);
        EXPECT_TRUE(prompts->asked()[1].text.startsWith("<b>Error</b>: Could not write to file")) << prompts->asked()[1].text.toStdString();
        EXPECT_EQ(f.designer->templatePath(), unmade);
    }
    writeSetting(QStringLiteral("labeltemplatepath"), before);

    // A folder that cannot be written, which even root cannot: the template
    // in it stays as it was.
    kro::test::ScratchMount mount(dir.filePath("readonly"), QStringLiteral("size=1m"));
    if (!mount.ok())
        GTEST_SKIP() << mount.error().toStdString();
    const QString path = dir.filePath("readonly/old.etm");
    DesignerFixture f;
    f.designer->setText("old");
    f.designer->saveTemplate(path);
    const QByteArray old = readFile(path);
    ASSERT_FALSE(old.isEmpty());
    ASSERT_TRUE(mount.makeReadOnly());
    f.designer->setText("new");
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::Cancel);
    f.designer->saveTemplate(path);
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_TRUE(prompts->asked()[0].text.startsWith("<b>Error</b>: Could not write to file"));
    EXPECT_EQ(readFile(path), old);
}

TEST(LabelTemplateFiles, SaveDialogAppendsTheExtension)
{
    QTemporaryDir dir;
    struct Case {
        QString chosen, saved;
    };
    const Case cases[] = {
        {"plain", "plain.etm"},
        {"CAPS.ETM", "CAPS.ETM"},
        {"mixed.Etm", "mixed.Etm"},
        {"two.etm.bak", "two.etm.bak.etm"},
    };
    DesignerFixture f;
    f.designer->setText("t");
    for (const Case& c : cases) {
        kro::test::ScriptedPrompts prompts;
        prompts->answerSaveFile(dir.filePath(c.chosen));
        QMetaObject::invokeMethod(f.designer, "on_save");
        EXPECT_TRUE(QFile::exists(dir.filePath(c.saved))) << c.chosen.toStdString();
        EXPECT_EQ(f.designer->templatePath(), dir.filePath(c.saved));
    }
    // A cancelled dialog writes nothing.
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    kro::test::ScriptedPrompts prompts;
    prompts->answerSaveFile(QString());
    QMetaObject::invokeMethod(f.designer, "on_save");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before);
    // The open dialog starts where the last save went and loads the choice.
    kro::test::ScriptedPrompts open;
    open->answerOpenFile(dir.filePath("plain.etm"));
    f.designer->setText("other");
    QMetaObject::invokeMethod(f.designer, "on_load");
    EXPECT_EQ(f.designer->editor()->toPlainText(), "t");
}

TEST(LabelTemplateFiles, LongLabelsSaveAndLoad)
{
    QTemporaryDir dir;
    DesignerFixture a;
    QString text;
    for (int i = 0; i < 1000; ++i)
        text += QString("w%1 ").arg(i % 10) + kAlpha + "<&>";
    text.truncate(10000);
    a.write({{text, plain()}});
    a.designer->saveTemplate(dir.filePath("long.etm"));
    DesignerFixture b;
    b.designer->loadTemplate(dir.filePath("long.etm"));
    EXPECT_EQ(b.designer->editor()->toPlainText(), a.designer->editor()->toPlainText());
}

TEST(LabelEditor, ReturnPutsALineBreakIntoTheParagraph)
{
    struct Case {
        const char* name;
        QString html;  // the document before
        int cursor;    // position of the cursor
        int returns;
        QString plainAfter;
        int paragraphs;
    };
    const QString ls(QChar::LineSeparator);
    const QString ps(QChar::ParagraphSeparator);
    const Case cases[] = {
        {"end of one line", "one line", 8, 1, "one line" + ls, 1},
        {"twice", "one line", 8, 2, "one line" + ls + ls, 1},
        {"middle", "ab", 1, 1, "a" + ls + "b", 1},
        // A document of several paragraphs (pasted, loaded or edited as
        // markup) keeps every character.
        {"several paragraphs", "<p>first</p><p>second</p><p>third</p>", 9, 1, "first" + ps + "sec" + ls + "ond" + ps + "third",
         3},
    };
    for (const Case& c : cases) {
        DesignerFixture f;
        f.designer->setText(c.html);
        QTextCursor cur = f.designer->editor()->textCursor();
        cur.setPosition(c.cursor);
        f.designer->editor()->setTextCursor(cur);
        for (int i = 0; i < c.returns; ++i)
            QTest::keyClick(f.designer->editor(), i % 2 ? Qt::Key_Enter : Qt::Key_Return);
        EXPECT_EQ(f.designer->editor()->document()->toRawText(), c.plainAfter) << c.name;
        EXPECT_EQ(f.designer->editor()->document()->blockCount(), c.paragraphs) << c.name;
        EXPECT_EQ(f.designer->editor()->textCursor().position(), c.cursor + c.returns) << c.name;
    }
}

TEST(LabelEditor, FormatActionsFollowTheCursorAndSetTheFormat)
{
    DesignerFixture f;
    f.write({{"ab", plain()}, {"2", vertical(QTextCharFormat::AlignSuperScript)}, {"c", bold()}});
    LabelEdit* ed = f.designer->editor();
    QTextCursor cur = ed->textCursor();
    cur.setPosition(3);  // after the superscript 2
    ed->setTextCursor(cur);
    EXPECT_TRUE(f.designer->m_actionSuperscript->isChecked());
    EXPECT_FALSE(f.designer->m_actionSubscript->isChecked());
    cur.setPosition(4);  // after the bold c
    ed->setTextCursor(cur);
    EXPECT_FALSE(f.designer->m_actionSuperscript->isChecked());
    EXPECT_TRUE(f.designer->m_actionTextBold->isChecked());

    // Subscript switches superscript off, and back to normal.
    cur.setPosition(0);
    cur.setPosition(2, QTextCursor::KeepAnchor);
    ed->setTextCursor(cur);
    f.designer->m_actionSuperscript->trigger();
    EXPECT_EQ(ed->textCursor().charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
    f.designer->m_actionSubscript->trigger();
    EXPECT_FALSE(f.designer->m_actionSuperscript->isChecked());
    EXPECT_EQ(ed->textCursor().charFormat().verticalAlignment(), QTextCharFormat::AlignSubScript);
    f.designer->m_actionSubscript->trigger();
    EXPECT_EQ(ed->textCursor().charFormat().verticalAlignment(), QTextCharFormat::AlignNormal);

    // Alignment: one action at a time, and the paragraph takes it.
    const std::pair<QAction*, Qt::Alignment> aligns[] = {{f.designer->m_actionAlignCenter, Qt::AlignHCenter},
                                                         {f.designer->m_actionAlignRight, Qt::AlignRight},
                                                         {f.designer->m_actionAlignJustify, Qt::AlignJustify},
                                                         {f.designer->m_actionAlignLeft, Qt::AlignLeft}};
    for (const auto& [action, alignment] : aligns) {
        action->trigger();
        EXPECT_TRUE(ed->alignment() & alignment) << action->objectName().toStdString();
        EXPECT_TRUE(action->isChecked());
    }
}

TEST(LabelEditor, ColourDialogNeverGivesPureBlack)
{
    DesignerFixture f;
    f.designer->setText("abc");
    LabelEdit* ed = f.designer->editor();
    ed->selectAll();
    const QColor before = ed->textColor();
    kro::test::ScriptedPrompts prompts;
    prompts->answerColor(std::nullopt);
    f.designer->m_actionTextColor->trigger();
    EXPECT_EQ(ed->textColor(), before);
    prompts->answerColor(QColor(0, 0, 0));
    f.designer->m_actionTextColor->trigger();
    EXPECT_EQ(ed->textColor(), QColor(0, 0, 1));
    prompts->answerColor(QColor(10, 120, 30));
    f.designer->m_actionTextColor->trigger();
    EXPECT_EQ(ed->textColor(), QColor(10, 120, 30));
    // The swatch of the action shows the colour inside a grey frame.
    const QImage icon = f.designer->m_actionTextColor->icon().pixmap(16, 16).toImage();
    EXPECT_EQ(QColor(icon.pixel(0, 0)), QColor(180, 180, 180));
    EXPECT_EQ(QColor(icon.pixel(8, 8)), QColor(10, 120, 30));
}

TEST(LabelDesignerWindow, AcceptAndCancel)
{
    DesignerFixture f;
    f.designer->show();
    f.designer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.designer));
    f.designer->setText("first");
    QSignalSpy closed(f.designer, &LabelDesigner::closed);
    // Cancel and Escape hide the window and announce nothing.
    QMetaObject::invokeMethod(f.designer, "on_cancel");
    EXPECT_FALSE(f.designer->isVisible());
    f.designer->show();
    f.designer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.designer));
    QTest::keyClick(f.designer->editor(), Qt::Key_Escape);
    EXPECT_FALSE(f.designer->isVisible());
    EXPECT_EQ(closed.count(), 0);
    // Accept (Ctrl+Return) announces the text once and hides the window.
    f.designer->show();
    f.designer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.designer));
    QTest::keyClick(f.designer->editor(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(f.designer->isVisible());
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(LabelDesigner::normalizedText(closed[0][0].toString()), LabelDesigner::normalizedText(f.html()));
    EXPECT_FALSE(closed[0][0].toString().startsWith("<!DOCTYPE"));
}

TEST(LabelDesignerWindow, MarkupPage)
{
    QTemporaryDir dir;
    DesignerFixture f;
    f.designer->setText("one");
    QAction* markup = f.designer->findChild<QAction*>("viewmarkup");
    QAction* richtext = f.designer->findChild<QAction*>("viewrichtext");
    ASSERT_TRUE(markup && richtext);
    markup->trigger();
    EXPECT_EQ(f.designer->stack()->currentWidget(), f.designer->markupView());
    EXPECT_FALSE(f.designer->m_actionTextBold->isEnabled());
    EXPECT_EQ(f.designer->markupView()->toPlainText(), LabelDesigner::indentedMarkup(f.html()));

    // Edits on the markup page: a save writes the editor's document, not
    // the edits; Accept takes the edits.
    QString edited = f.designer->markupView()->toPlainText();
    edited.replace("one", "two");
    f.designer->markupView()->setPlainText(edited);
    f.designer->saveTemplate(dir.filePath("m.etm"));
    EXPECT_TRUE(readFile(dir.filePath("m.etm")).contains("one"));
    QSignalSpy closed(f.designer, &LabelDesigner::closed);
    QMetaObject::invokeMethod(f.designer, "on_done");
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(f.designer->editor()->toPlainText(), "two");

    // Back to the editor: the markup page's text becomes the document.
    f.designer->markupView()->setPlainText(edited.replace("two", "three"));
    richtext->trigger();
    EXPECT_EQ(f.designer->stack()->currentWidget(), f.designer->editor());
    EXPECT_TRUE(f.designer->m_actionTextBold->isEnabled());
    EXPECT_EQ(f.designer->editor()->toPlainText(), "three");
}

TEST(LabelDesignerWindow, PlotTitleOpensTheDesignerAndTakesItsText)
{
    auto plot = plottest::makePlot(600, 400);
    ActionLabel* title = plot->m_title;
    ASSERT_NE(title, nullptr);
    title->setText("Old /alpha");
    title->openDesigner();
    auto* d = qobject_cast<LabelDesigner*>(title->designer());
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->editor()->toPlainText(), "Old " + kAlpha);
    EXPECT_EQ(d->editor()->textCursor().selectedText(), "Old " + kAlpha);
    // One designer per label.
    title->openDesigner();
    EXPECT_EQ(title->designer(), d);
    EXPECT_EQ(title->findChildren<LabelDesigner*>().size(), 1);

    QSignalSpy textSet(title, &ActionLabel::textSet);
    d->editor()->setPlainText("New /beta");
    QMetaObject::invokeMethod(d, "on_done");
    EXPECT_EQ(textSet.count(), 1);
    EXPECT_EQ(title->plainText(), "New " + QString(QChar(0x03B2)));
}

TEST(LabelDesignerWindow, DoubleClickOnAPlotLabelOpensItsDesigner)
{
    auto plot = plottest::makePlot(600, 400);
    plot->title("Title", SET);
    plot->xLabel("Time", SET);
    plot->yLabel("Volts", SET);
    QApplication::processEvents();
    struct Case {
        const char* name;
        ActionLabel* label;
        QString text;
    };
    const Case cases[] = {
        {"title", plot->titleLabel(), "Title"},
        {"x label", plot->xLabelWidget(), "Time"},
        {"y label", plot->yLabelWidget(), "Volts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.label->isVisible());
        ASSERT_EQ(c.label->findChild<LabelDesigner*>(), nullptr);
        // A double click as the window system delivers it: press, release,
        // press, double click, release.
        const QPoint at = c.label->rect().center();
        QTest::mousePress(c.label, Qt::LeftButton, {}, at);
        QTest::mouseRelease(c.label, Qt::LeftButton, {}, at);
        QTest::mousePress(c.label, Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at), c.label->mapToGlobal(QPointF(at)), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.label, &dbl);
        QTest::mouseRelease(c.label, Qt::LeftButton, {}, at);
        ASSERT_TRUE(kro::test::waitUntil([&] { return c.label->findChild<LabelDesigner*>() != nullptr; }, 3000));
        LabelDesigner* d = c.label->designer();
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->editor()->toPlainText(), c.text);
        d->editor()->setPlainText(c.text + " /mu");
        QMetaObject::invokeMethod(d, "on_done");
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(c.label->plainText(), c.text + " " + QString(QChar(0x03BC)));
    }
}

} // namespace

TEST(LabelTemplateFiles, ATemplateBeyondTheMarkupBoundsLoadsWithoutItsMarkup)
{
    QTemporaryDir dir;
    QByteArray deep = "<html><body>";
    for (int i = 0; i < 100; ++i)
        deep += "<b>";
    deep += "deep";
    for (int i = 0; i < 100; ++i)
        deep += "</b>";
    deep += "</body></html>\n";
    const QString path = writeFile(dir.filePath("deep.etm"), deep);
    DesignerFixture f;
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::Ok);
    f.designer->loadTemplate(path);
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].messageKind, kro::Prompter::MessageKind::Warning);
    EXPECT_TRUE(prompts->asked()[0].text.startsWith("The markup is nested more than 32 levels deep"))
        << prompts->asked()[0].text.toStdString();
    EXPECT_EQ(f.designer->editor()->toPlainText(), "deep");
    EXPECT_FALSE(f.designer->editor()->grab().isNull());
}
