#include <gtest/gtest.h>

#include "miscio/logedit.h"
#include "support/files.h"
#include "support/prompts.h"
#include "support/test_env.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Captures what the process writes to its standard output meanwhile.
class StdoutCapture {
public:
    StdoutCapture() : m_path(m_dir.filePath(QStringLiteral("stdout")))
    {
        std::fflush(stdout);
        m_saved = dup(1);
        const int fd = ::open(m_path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 1);
        ::close(fd);
    }
    ~StdoutCapture() { restore(); }
    QByteArray text()
    {
        restore();
        return kro::test::readFile(m_path);
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stdout);
        dup2(m_saved, 1);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryDir m_dir;
    QString m_path;
    int m_saved = -1;
};

struct AppendCase {
    const char* name;
    int maxLines;
    std::vector<const char*> texts;
    const char* shown;
};

class ConsoleAppend : public ::testing::TestWithParam<AppendCase> {};

TEST_P(ConsoleAppend, ShowsTheTail)
{
    const AppendCase& c = GetParam();
    LogEdit console(nullptr, QStringLiteral("Log 0"));
    console.setMaxLines(c.maxLines);
    StdoutCapture bells; // keeps BEL characters off the test output
    for (const char* t : c.texts)
        console.append(QString::fromLatin1(t));
    EXPECT_EQ(console.shownText(), QString::fromLatin1(c.shown));
    console.flushDisplay();
    EXPECT_EQ(console.toPlainText(), QString::fromLatin1(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConsoleAppend,
    ::testing::Values(
        AppendCase{"OldestLineGoes", 3, {"a\nb\nc\n", "d\n"}, "b\nc\nd\n"},
        AppendCase{"LongTextKeepsTwoLineFeeds", 2, {"1\n2\n3\n4\n5"}, "3\n4\n5"},
        AppendCase{"BackspacePairsInOnePass", 20, {"ab\b\bc"}, "a\bc"},
        AppendCase{"BackspaceAfterLineBreakStays", 20, {"a\n\bb"}, "a\n\bb"},
        AppendCase{"LeadingFeedsDroppedAfterFeed", 20, {"a\n", "\n\nx"}, "a\nx"},
        AppendCase{"LeadingFeedsKeptAfterText", 20, {"y", "\n\nx"}, "y\n\nx"},
        AppendCase{"LeadingFeedsDroppedAtStart", 20, {"\n\nfirst"}, "first"},
        AppendCase{"BellsOnlyChangeNothingButTheLastCharacter", 20, {"a\n", "\a\a", "\nb"}, "a\n\nb"},
        AppendCase{"BellsRemoved", 20, {"x\ay\a"}, "xy"}));

TEST(Console, CodesApplyBeforeTheText)
{
    LogEdit console(nullptr, QStringLiteral("Log 0"));
    console.append(QStringLiteral("old\n"));
    console.appendLog(QStringLiteral("new"), {Vt100Code{{}, 3, Vt100Parser::ERASE_SCREEN}});
    EXPECT_EQ(console.shownText(), QStringLiteral("new"));
    EXPECT_EQ(console.lastCharacter(), 'w');

    struct Case {
        std::vector<int> params;
        QColor text, background;
    };
    const std::vector<Case> cases{
        {{31, 44}, QColor(255, 0, 0), QColor(0, 0, 255)},
        {{99}, QColor(255, 0, 0), QColor(0, 0, 255)}, // unknown parameters change nothing
        {{37, 40}, QColor(255, 255, 255), QColor(0, 0, 0)},
        {{0}, QColor(0, 0, 0), QColor(255, 255, 255)},
        {{32, 0, 36}, QColor(0, 255, 255), QColor(255, 255, 255)},
    };
    for (const Case& c : cases) {
        console.appendLog(QStringLiteral("."), {Vt100Code{c.params, 0, Vt100Parser::GRAPHIC_RENDITION}});
        EXPECT_EQ(console.textColor(), c.text);
        EXPECT_EQ(console.backgroundColor(), c.background);
        EXPECT_EQ(console.palette().color(QPalette::Base), c.background);
    }
}

TEST(Console, StaysBoundedWhateverArrives)
{
    LogEdit console(nullptr, QStringLiteral("Log 0"));
    for (int i = 0; i < 10000; ++i)
        console.append(QStringLiteral("%1 %2\n").arg(i).arg(i * 2));
    EXPECT_EQ(console.shownText().count(QLatin1Char('\n')), 20);
    EXPECT_TRUE(console.shownText().startsWith(QStringLiteral("9980 19960\n")));
    // A flood without line breaks keeps only its end.
    const QString flood(3 * LogEdit::MAX_SHOWN_CHARS, QLatin1Char('z'));
    console.append(flood + QStringLiteral("END"));
    EXPECT_EQ(console.shownText().size(), LogEdit::MAX_SHOWN_CHARS);
    EXPECT_TRUE(console.shownText().endsWith(QStringLiteral("zEND")));
}

TEST(Console, LogFileAndEchoGoOnWhileDisabled)
{
    kro::test::ScriptedPrompts prompts;
    QTemporaryDir dir;
    const QString log = kro::test::writeFile(dir.filePath(QStringLiteral("run.log")), "old content");
    LogEdit console(nullptr, QStringLiteral("Log 0"));
    prompts->answerSaveFile(log);
    console.setLogFile();
    EXPECT_EQ(console.logFileName(), log);
    EXPECT_TRUE(kro::test::readFile(log).isEmpty()); // emptied when chosen

    StdoutCapture out;
    console.toggleStdOut();
    console.append(QStringLiteral("\nshown\n"));
    console.setEnabled(false);
    console.append(QStringLiteral("\nhidden\a\b\n"));
    console.setEnabled(true);
    console.append(QString::fromUtf8("back\xC3\xA9\n"));
    // The leading line feed after "shown\n" goes; the bell goes out alone.
    EXPECT_EQ(out.text(), QByteArray("shown\n\ahidden\b\nback\xE9\n"));
    EXPECT_EQ(kro::test::readFile(log), QByteArray("shown\nhidden\b\nback\xE9\n"));
    EXPECT_EQ(console.shownText(), QString::fromUtf8("shown\nback\xC3\xA9\n"));

    console.toggleStdOut();
    EXPECT_FALSE(console.echo());
    console.resetLogFile();
    EXPECT_TRUE(kro::test::readFile(log).isEmpty());
    console.stopLogFile();
    console.append(QStringLiteral("more\n"));
    EXPECT_TRUE(kro::test::readFile(log).isEmpty());

    // Cancelling the dialog keeps the name.
    console.setLogFileName(log);
    prompts->answerSaveFile(QString());
    console.setLogFile();
    EXPECT_EQ(console.logFileName(), log);
}

TEST(Console, KeysGoToTheInstrument)
{
    LogEdit console(nullptr, QStringLiteral("Log 0"));
    console.append(QStringLiteral("text"));
    console.flushDisplay();
    QSignalSpy keys(&console, &LogEdit::userKey);
    QTest::keyClicks(&console, QStringLiteral("aZ"));
    for (const char16_t c : {u'\u00e9', u'\u20ac'}) { // Latin-1 goes, the euro sign cannot
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
        QApplication::sendEvent(&console, &press);
    }
    ASSERT_EQ(keys.count(), 3);
    EXPECT_EQ(keys.at(0).at(0).toInt(), 'a');
    EXPECT_EQ(keys.at(1).at(0).toInt(), 'Z');
    EXPECT_EQ(keys.at(2).at(0).toInt(), 0xE9);
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int code; // 0: nothing sent
    };
    const std::vector<Case> cases{
        {Qt::Key_Return, Qt::NoModifier, 13},    {Qt::Key_Backspace, Qt::NoModifier, 8},
        {Qt::Key_C, Qt::ControlModifier, 3},     {Qt::Key_Left, Qt::NoModifier, 0x445B1B},
        {Qt::Key_Up, Qt::NoModifier, 0x415B1B},  {Qt::Key_Right, Qt::NoModifier, 0x435B1B},
        {Qt::Key_Down, Qt::NoModifier, 0x425B1B}, {Qt::Key_F5, Qt::NoModifier, 0},
        {Qt::Key_Home, Qt::NoModifier, 0},
    };
    for (const Case& c : cases) {
        keys.clear();
        QTest::keyClick(&console, c.key, c.modifiers);
        if (c.code == 0) {
            EXPECT_EQ(keys.count(), 0) << c.key;
        } else {
            ASSERT_EQ(keys.count(), 1) << c.key;
            EXPECT_EQ(keys.at(0).at(0).toInt(), c.code) << c.key;
        }
    }
    EXPECT_EQ(console.toPlainText(), QStringLiteral("text"));
}

TEST(Console, ContextMenuActions)
{
    kro::test::ScriptedPrompts prompts;
    LogEdit console(nullptr, QStringLiteral("Log 0"));
    console.append(QStringLiteral("a\nb\nc\n"));
    auto openMenu = [&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), console.viewport()->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(console.viewport(), &event);
    };

    prompts->answerMenu(QStringLiteral("Copy all"));
    openMenu();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a\nb\nc\n"));

    prompts->answerMenu(QStringLiteral("Set maximum lines (20)..."));
    prompts->answerInt(2);
    openMenu();
    EXPECT_EQ(console.maxLines(), 2);
    ASSERT_GE(prompts->asked().size(), 3u);
    const auto& asked = prompts->asked()[2];
    EXPECT_EQ(asked.title, QStringLiteral("Maximum Visible Lines"));
    EXPECT_EQ(asked.text, QStringLiteral("Lines: "));
    EXPECT_EQ(asked.minimum, 1);
    EXPECT_EQ(asked.maximum, 2000);
    EXPECT_EQ(asked.initial, 20);

    prompts->answerMenu(QStringLiteral("Set maximum lines (2)..."));
    prompts->answerInt(std::nullopt); // cancelled: stays
    openMenu();
    EXPECT_EQ(console.maxLines(), 2);

    prompts->answerMenu(QStringLiteral("Clear screen"));
    openMenu();
    EXPECT_TRUE(console.shownText().isEmpty());
    EXPECT_TRUE(console.toPlainText().isEmpty());
}

TEST(ConsolePrint, PagesStayInsideTheirFrame)
{
    QString text;
    for (int i = 1; i <= 150; ++i)
        text += QStringLiteral("line %1 of the instrument log\n").arg(i);
    QImage page(600, 800, QImage::Format_RGB32);
    page.setDotsPerMeterX(3780); // 96 dpi
    page.setDotsPerMeterY(3780);
    QTextDocument document;
    const LogEdit::PrintLayout layout = LogEdit::layoutForPrint(document, text, QFont(), page.size(), page);
    EXPECT_EQ(layout.margin, static_cast<int>(96 * 2 / 2.54));
    ASSERT_GE(layout.pageCount, 2);

    const QFontMetrics metrics(document.defaultFont(), &page);
    const QRect numberStrip(layout.body.left(), layout.body.bottom() + 1, layout.body.width(), 5 + metrics.height());
    for (int p = 0; p < layout.pageCount; ++p) {
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            LogEdit::paintPrintPage(painter, document, layout, p);
        }
        int inside = 0;
        int numberInk = 0;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                if (page.pixel(x, y) == qRgb(255, 255, 255))
                    continue;
                const QPoint at(x, y);
                if (layout.body.contains(at))
                    ++inside;
                else if (numberStrip.contains(at))
                    ++numberInk;
                else
                    ADD_FAILURE() << "ink outside the frame at " << x << "," << y << " on page " << p;
            }
        }
        EXPECT_GT(inside, 0) << p;
        EXPECT_GT(numberInk, 0) << p;
    }
}

TEST(ConsolePrint, PrintsEveryPage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.pdf"));
    QString text;
    for (int i = 1; i <= 400; ++i)
        text += QStringLiteral("%1\n").arg(i);
    {
        QPdfWriter pdf(path);
        pdf.setResolution(300);
        LogEdit::printText(pdf, text, QFont());
    }
    const QByteArray bytes = kro::test::readFile(path);
    const int pages = static_cast<int>(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"));
    QTextDocument document;
    QPdfWriter probe(dir.filePath(QStringLiteral("probe.pdf")));
    probe.setResolution(300);
    QPainter painter(&probe);
    const auto layout = LogEdit::layoutForPrint(document, text, QFont(), painter.viewport().size(), probe);
    EXPECT_GE(layout.pageCount, 2);
    EXPECT_EQ(pages, layout.pageCount);
}

} // namespace
