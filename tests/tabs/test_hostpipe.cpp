// Host-program links inside one process: the plot command's link started on
// real pipes (rows in, replies out), its reader's batches, the replies and
// the closing notice, a restart with new options, and the end of input.
#include "tabs/plotterctrl.h"

#include "plottabs_fixture.h"

#include "import/stdinnotify.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "platform/scriptedprompter.h"
#include "tabs/liveplotter.h"
#include "tabs/plotterquad.h"
#include "tabs/progressbar.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <functional>
#include <thread>

#include "support/qtprinters.h"
#include "support/test_env.h"

namespace {

using Points = std::vector<double>;

class HostPipe : public PlotTabsTest {
protected:
    void SetUp() override
    {
        PlotTabsTest::SetUp();
        ASSERT_EQ(::pipe2(rows, O_CLOEXEC), 0);
        ASSERT_EQ(::pipe2(replies, O_CLOEXEC), 0);
        ::fcntl(replies[0], F_SETFL, O_NONBLOCK);
    }
    void TearDown() override
    {
        PlotTabsTest::TearDown();
        if (rows[1] >= 0)
            ::close(rows[1]);
        if (replyWriteEndOpen)
            ::close(replies[1]);
        ::close(replies[0]);
    }

    // The plot command's link on our pipes (the reader owns the read end).
    void startLink(const QString& command)
    {
        ctrl->startLinkedSession(command, rows[0], replies[1], 0);
        ASSERT_NE(link(), nullptr);
        ASSERT_NE(link()->m_reader, nullptr);
    }
    LivePlotter* link() const { return ctrl->findLivePlotter(PlotterCtrl::liveKey("Live Plotter -1")); }
    Plotter* plot() const { return ctrl->findPlotter("Live Plotter -1", 0); }
    Points points(int id) const
    {
        const CurveData* c = plot() ? plot()->curve(id) : nullptr;
        return c ? Points(c->values.begin(), c->values.end()) : Points{};
    }
    void write(const QByteArray& bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(rows[1], bytes.constData() + done, std::size_t(bytes.size() - done));
            ASSERT_GT(n, 0);
            done += n;
        }
    }
    void closeRows()
    {
        ::close(rows[1]);
        rows[1] = -1;
    }
    // Runs the event loop until the condition holds; false after 20 s.
    static bool until(const std::function<bool()>& done)
    {
        QDeadlineTimer deadline(20000);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }
    QByteArray readReplies()
    {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(replies[0], buffer, sizeof buffer)) > 0)
            received.append(buffer, n);
        replyEof = n == 0;
        return received;
    }
    bool replied(const QByteArray& text)
    {
        return until([&] { return readReplies().contains(text); });
    }
    int colouredPixels() const
    {
        const QImage image = plot()->pixmap().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += std::abs(c.red() - c.blue()) > 100 || std::abs(c.green() - c.blue()) > 100;
            }
        return n;
    }

    int rows[2] = {-1, -1};
    int replies[2] = {-1, -1};
    bool replyWriteEndOpen = true;
    QByteArray received;
    bool replyEof = false;
};

} // namespace

TEST_F(HostPipe, ThePlotCommandsLinkHasItsTabOptionsAndReader)
{
    startLink("kro -linked -x 1 -y 2 3 -title Host -domain 0 50 -range -1 1 -logx -bar -slide 4");
    EXPECT_EQ(ctrl->tabText(ctrl->currentIndex()), "Live Plotter -1");
    EXPECT_EQ(ctrl->currentPlotter(), plot());
    EXPECT_EQ(plot()->title(), "Host");
    EXPECT_TRUE(plot()->views().at(0).userXInForce);
    EXPECT_EQ(plot()->views().at(0).userX.max, 50);
    EXPECT_EQ(plot()->views().at(0).userY.min, -1);
    EXPECT_TRUE(plot()->m_logX);
    EXPECT_FALSE(plot()->m_logY);
    EXPECT_TRUE(plot()->m_barMode);
    EXPECT_EQ(link()->m_options.slide, 4);
    EXPECT_EQ(link()->m_replyFd, replies[1]);
    EXPECT_EQ(link()->m_source.m_yColumns.size(), 2u);
    EXPECT_TRUE(link()->m_reader->isRunning());

    write("1 10 100\n2 20 200\n3 30 300\n4 40 400\n5 50 500\ncmd: title?\n");
    ASSERT_TRUE(replied("Host\n"));
    ASSERT_TRUE(until([&] { return points(1).size() == 8; }));
    EXPECT_EQ(points(1), (Points{2, 200, 3, 300, 4, 400, 5, 500}));
    // A bad plot command starts nothing.
    transcripts.clear();
    ctrl->startLinkedSession("kro -linked -x", rows[0], replies[1], 2);
    EXPECT_EQ(ctrl->findLivePlotter(PlotterCtrl::liveKey("Live Plotter 0")), nullptr);
    EXPECT_EQ(transcripts.size(), 1);
}

TEST_F(HostPipe, RepliesInRowOrderAndCommandsAfterABadRow)
{
    startLink("kro -linked -x 1 -y 2");
    write("cmd: size?\n1 5\n");
    ASSERT_TRUE(replied("0\n"));
    // Points reach the plot at the end of their text: a query in the same
    // text counts the points stored before it.
    write("2 6\n3\ncmd: xlbl: after\ncmd: size?\n");
    ASSERT_TRUE(replied("0\n1\n"));
    EXPECT_EQ(plot()->xLabel(), "after");
    EXPECT_EQ(points(0), (Points{1, 5}));
    write("cmd: title: A\\nB\ncmd: title?\ncmd: size?\n");
    ASSERT_TRUE(replied("0\n1\nA\nB\n1\n"));
    // A title of any length is answered whole.
    const QByteArray title(5000, 'T');
    write("cmd: title: " + title + "\ncmd: title?\n");
    ASSERT_TRUE(replied("A\nB\n1\n" + title + "\n"));
}

TEST_F(HostPipe, ClosingTheTabTellsTheHostOnce)
{
    startLink("kro -linked -x 1 -y 2");
    ctrl->on_newTab("Other");
    write("1 5\ncmd: size?\n");
    ASSERT_TRUE(replied("0\n"));
    ctrl->on_closeTab("Live Plotter -1");
    EXPECT_EQ(link(), nullptr);
    readReplies();
    EXPECT_EQ(received, QByteArray("0\nkro closed\n", 13) + '\0');
    EXPECT_TRUE(ctrl->livePlotters().empty());
    // The reader has stopped and closed its end: the host's writes fail
    // (the test, like the program, ignores broken pipes).
    EXPECT_EQ(::write(rows[1], "2 6\n", 4), -1);
}

TEST_F(HostPipe, AddinDoneEndsTheRepliesAndTheReader)
{
    startLink("kro -linked -x 1 -y 2");
    write("1 5\ncmd: addin: done\ncmd: size?\n2 6\n");
    ASSERT_TRUE(until([&] { return !link()->m_reader->isRunning(); }));
    EXPECT_EQ(link()->m_replyFd, 0);
    replyWriteEndOpen = false; // the link closed it
    ASSERT_TRUE(until([&] {
        readReplies();
        return replyEof;
    }));
    EXPECT_TRUE(received.isEmpty());
    EXPECT_EQ(points(0), (Points{1, 5, 2, 6}));
    // No closing notice either.
    ctrl->on_newTab("Other");
    ctrl->on_closeTab("Live Plotter -1");
    EXPECT_EQ(link(), nullptr);
}

TEST_F(HostPipe, ArgumentsRestartTheLinkWithinTheSameText)
{
    startLink("kro -linked -x 1 -y 2");
    write("1 10 100\ncmd: arguments: -x 1 -y 3 -title Second\n2 20 200\ncmd: title?\n");
    ASSERT_TRUE(replied("Second\n"));
    ASSERT_TRUE(until([&] { return points(0).size() == 4; }));
    // The row before the restart was read with -y 2, the row after with -y 3.
    EXPECT_EQ(points(0), (Points{1, 10, 2, 200}));
    EXPECT_EQ(link()->m_source.m_yColumns.front().column, 2);
    EXPECT_EQ(ctrl->livePlotters().size(), 1u);
}

TEST_F(HostPipe, EndOfInputShowsTheNoticeAndPipedRedrawsOnlyThen)
{
    startLink("kro -piped -x 1 -y 2");
    ctrl->show();
    QByteArray text;
    for (int i = 0; i < 50; ++i)
        text += QByteArray::number(i) + " " + QByteArray::number(i % 7) + "\n";
    write(text + "cmd: title?\n");
    ASSERT_TRUE(replied("\n"));
    ASSERT_TRUE(until([&] { return points(0).size() == 100; }));
    const int before = colouredPixels();
    // The last row has no line feed: the end of input completes it.
    write("50 3");
    closeRows();
    ASSERT_TRUE(until([&] { return plot()->m_message && plot()->m_message->text() == "Notice: Pipe closed."; }));
    EXPECT_EQ(points(0).size(), 102u);
    EXPECT_FALSE(link()->m_rescaleTimer->isActive());
    EXPECT_GT(colouredPixels(), before + 50);
}

TEST_F(HostPipe, ManyRowsArriveWholeAndInOrder)
{
    startLink("kro -linked -x 1 -y 2");
    constexpr int count = 1000000;
    std::thread host([&] {
        QByteArray text;
        for (int i = 0; i < count; ++i) {
            text += QByteArray::number(i) + " " + QByteArray::number(count - i) + "\n";
            if (text.size() > 100000) {
                write(text);
                text.clear();
            }
        }
        write(text + "cmd: size?\n");
    });
    const bool done = until([&] { return points(0).size() == 2 * count; });
    host.join();
    ASSERT_TRUE(done);
    const Points p = points(0);
    bool ordered = true;
    for (int i = 0; i < count && ordered; ++i)
        ordered = p[2 * std::size_t(i)] == i && p[2 * std::size_t(i) + 1] == count - i;
    EXPECT_TRUE(ordered);
}

TEST_F(HostPipe, BatchesOfAReleasedReaderAreDropped)
{
    startLink("kro -linked -x 1 -y 2");
    const quint64 stale = link()->m_reader->serial() + 1000;
    QCoreApplication::postEvent(ctrl.get(), new StdinStr("7 7\n", 0, 0, "Live Plotter -1", stale));
    QCoreApplication::postEvent(ctrl.get(), new StdinClosed(0, 0, "Live Plotter -1", stale));
    QCoreApplication::postEvent(ctrl.get(), new StdinStr("8 8\n", 0, 0, "Live Plotter 5", stale));
    QCoreApplication::processEvents();
    EXPECT_TRUE(points(0).empty());
    EXPECT_EQ(ctrl->livePlotters().size(), 1u);
    EXPECT_TRUE(link()->m_rescaleTimer->isActive());
    EXPECT_TRUE(transcripts.isEmpty());
}

TEST_F(HostPipe, TheProgramsEndTellsTheHost)
{
    startLink("kro -linked -x 1 -y 2");
    write("cmd: size?\n");
    ASSERT_TRUE(replied("0\n"));
    ctrl.reset();
    readReplies();
    EXPECT_EQ(received, QByteArray("0\nkro closed\n", 13) + '\0');
}
