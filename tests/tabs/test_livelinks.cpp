// Live links of the plot tabs: texts announced and delivered the way the
// instrument panel and the web fetch do it (linkStatusChanged and
// newDeviceString), their rows turned into points of the link's plot, and
// the link commands that rows may carry.
#include "tabs/plotterctrl.h"

#include "plottabs_fixture.h"

#include "core/messages.h"
#include "plot/actionlabel.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "platform/scriptedprompter.h"
#include "tabs/liveplotter.h"
#include "tabs/plotterquad.h"
#include "tabs/progressbar.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>


#include "support/qtprinters.h"
#include "support/test_env.h"

namespace {

using Points = std::vector<double>;

FileObject columns(int x, std::vector<int> ys, int key = -1)
{
    FileObject f(QStringLiteral("%Y-%m-%d"), QStringLiteral("%Y-%m-%d %H:%M:%S"), QStringLiteral("%H:%M:%S"));
    f.m_xColumn = x;
    f.m_yColumns.clear();
    for (int y : ys) {
        YColumn c;
        c.column = y;
        f.m_yColumns.push_back(c);
    }
    f.m_keyColumn = key;
    return f;
}

class LiveLinks : public PlotTabsTest {
protected:
    void TearDown() override
    {
        PlotTabsTest::TearDown();
        kro::setDebugMode(false);
    }

    void announce(const FileObject& f, int slide = -1, bool linked = true, const QString& label = "Scope")
    {
        ctrl->on_linkStatusChanged(label, f, slide, linked);
    }
    void send(const QString& text, const QString& label = "Scope")
    {
        bool ready = false;
        ctrl->on_newDeviceString(label, text, ready);
        EXPECT_TRUE(ready);
    }
    Plotter* plot(const QString& label = "Scope") const { return ctrl->findPlotter(label, 0); }
    Points points(int id, const QString& label = "Scope") const
    {
        const CurveData* c = plot(label) ? plot(label)->curve(id) : nullptr;
        return c ? Points(c->values.begin(), c->values.end()) : Points{};
    }
    QString curveTitle(int id) const { return plot()->legend()->itemText(id); }
    LivePlotter* link(const QString& label = "Scope") const
    {
        return ctrl->findLivePlotter(PlotterCtrl::liveKey(label));
    }
};

} // namespace

TEST_F(LiveLinks, AnnouncingALinkMakesItsTabAndPlot)
{
    announce(columns(0, {1}));
    ASSERT_NE(plot(), nullptr);
    EXPECT_EQ(ctrl->tabText(ctrl->currentIndex()), "Scope");
    EXPECT_EQ(link()->m_plotter, plot());
    EXPECT_EQ(ctrl->livePlotterOf(plot()), link());
    EXPECT_EQ(link()->m_options.slide, -1);
    EXPECT_FALSE(link()->m_options.linked || link()->m_options.piped);

    // A link whose tab exists feeds the tab's active plot; a text without
    // announcement makes its link too.
    ctrl->on_newTab("Bench");
    Plotter* bench = ctrl->currentPlotter();
    send("1 5\n", "Bench");
    EXPECT_EQ(link("Bench")->m_plotter, bench);
    EXPECT_EQ(points(0, "Bench"), (Points{1, 5}));
    EXPECT_EQ(ctrl->count(), 3);
}

TEST_F(LiveLinks, RowsBecomePointsPerYColumnAcrossTexts)
{
    announce(columns(0, {1, 2}));
    send("1 10 100\n2 20");
    EXPECT_EQ(points(0), (Points{1, 10}));
    EXPECT_EQ(points(1), (Points{1, 100}));
    // The unfinished row is completed by the next text.
    send("0 200\n3,30;300\n");
    EXPECT_EQ(points(0), (Points{1, 10, 2, 200, 3, 30}));
    EXPECT_EQ(points(1), (Points{1, 100, 2, 200, 3, 300}));
    // A curve without a title is "Live_" and its number.
    EXPECT_EQ(curveTitle(0), "Live_1");
    EXPECT_EQ(curveTitle(1), "Live_2");
    // Re-announcing with linked false drops the kept row ("5 5" would have
    // become the complete row "5 50 500").
    send("4 40 400\n5 5");
    announce(columns(0, {1, 2}), -1, false);
    send("0 500\n6 60 600\n");
    EXPECT_EQ(points(0), (Points{1, 10, 2, 200, 3, 30, 4, 40}));
}

TEST_F(LiveLinks, SlideWindowKeepsTheNewestPoints)
{
    announce(columns(0, {1}), 3);
    send("1 1\n2 2\n");
    send("3 3\n4 4\n5 5\n");
    EXPECT_EQ(points(0), (Points{3, 3, 4, 4, 5, 5}));
}

TEST_F(LiveLinks, HeaderAndSkipCounts)
{
    FileObject f = columns(0, {1, 2});
    f.m_header = 2;
    f.m_skip = 1;
    announce(f);
    // Row 1 is no data, row 2 the titles, row 3 skipped, data from row 4.
    send("junk line\ntime, left, right\n9 9 9\n1 10 100\n2 20 200\n");
    EXPECT_EQ(points(0), (Points{1, 10, 2, 20}));
    EXPECT_EQ(plot()->xLabelWidget()->plainText(), "time");
    EXPECT_EQ(curveTitle(0), "left");
    EXPECT_EQ(curveTitle(1), "right");
    EXPECT_EQ(link()->m_source.m_header, -1);
    // Later texts have no title row; the skip count applies to each text.
    send("8 8 8\n3 30 300\n");
    EXPECT_EQ(points(0), (Points{1, 10, 2, 20, 3, 30}));
}

TEST_F(LiveLinks, KeyedRowsGetACurvePerKeyAndColumn)
{
    announce(columns(1, {2, 3}, 0));
    send("A 1 10 100\nB 1 11 110\nA 2 20 200\n");
    EXPECT_EQ(curveTitle(0), "A(1)");
    EXPECT_EQ(curveTitle(1), "A(2)");
    EXPECT_EQ(curveTitle(2), "B(1)");
    EXPECT_EQ(curveTitle(3), "B(2)");
    EXPECT_EQ(points(0), (Points{1, 10, 2, 20}));
    EXPECT_EQ(points(1), (Points{1, 100, 2, 200}));
    EXPECT_EQ(points(3), (Points{1, 110}));

    // One y column: the key is the title. A key that reads like another
    // key's curve name ("A(1)") is a key of its own.
    announce(columns(1, {2}, 0), -1, true, "Keys");
    send("A 1 5\nA(1) 1 6\nA 2 7\n", "Keys");
    Plotter* keys = plot("Keys");
    EXPECT_EQ(keys->legend()->itemText(0), "A");
    EXPECT_EQ(keys->legend()->itemText(1), "A(1)");
    EXPECT_EQ(points(0, "Keys"), (Points{1, 5, 2, 7}));
    EXPECT_EQ(points(1, "Keys"), (Points{1, 6}));

    // "clear" forgets the keys: they get ids from 0 again.
    send("cmd: clear\nB 3 8\n", "Keys");
    EXPECT_EQ(points(0, "Keys"), (Points{3, 8}));
    EXPECT_EQ(keys->legend()->itemText(0), "B");
}

TEST_F(LiveLinks, WithoutXColumnPointsAreNumbered)
{
    announce(columns(-1, {0}));
    send("5\n6\n7\n");
    send("8\n9\n");
    EXPECT_EQ(points(0), (Points{0, 5, 1, 6, 2, 7, 3, 8, 4, 9}));
}

TEST_F(LiveLinks, MergingEqualXOverwritesTheFirstMatch)
{
    FileObject f = columns(0, {1});
    f.m_mergeEqualX = true;
    announce(f);
    send("1 10\n2 11\n3 12\n2 13\n");
    // Within one text nothing merges; against the plot's points it does.
    EXPECT_EQ(points(0), (Points{1, 10, 2, 11, 3, 12, 2, 13}));
    send("2 20\n5 50\n");
    EXPECT_EQ(points(0), (Points{1, 10, 2, 20, 3, 12, 2, 13, 5, 50}));
}

TEST_F(LiveLinks, ReplacementModeReplacesOnlyWithAWholeText)
{
    FileObject f = columns(0, {1, 2});
    f.m_append = false;
    announce(f);
    send("1 10 100\n2 20 200\n");
    send("3 30 300\n");
    EXPECT_EQ(points(0), (Points{3, 30}));
    EXPECT_EQ(points(1), (Points{3, 300}));
    // A text of commands only, and an abandoned text, leave the points.
    send("cmd: title: Only a title\n");
    send("4 40 400\n5\n");
    EXPECT_EQ(points(0), (Points{3, 30}));
    EXPECT_EQ(plot()->title(), "Only a title");
}

TEST_F(LiveLinks, ARowWithoutItsFieldsAbandonsTheTextAndIsReportedOnce)
{
    announce(columns(0, {1}));
    send("1 10\n");
    send("2 20\n3\n4 40\n");
    send("5\n6 60\n");
    EXPECT_EQ(points(0), (Points{1, 10}));
    EXPECT_EQ(transcripts, QStringList{"Parsing Error: Parsing Error: Out of data while reading y column.\nPlease "
                                       "check your input parameters."});
    // Announcing the link again shows it again; NaN rows only drop themselves.
    announce(columns(0, {1}));
    send("7\n");
    send("8 nan\n9 90\ninf 1\n");
    EXPECT_EQ(transcripts.size(), 2);
    EXPECT_EQ(points(0), (Points{1, 10, 9, 90}));
}

TEST_F(LiveLinks, CommandsOfAnInstrumentLink)
{
    announce(columns(0, {1}));
    send("1 10\ncmd: clear\n2 20\ncmd: title: Pressure\\nkPa\ncmd: xlbl: t\ncmd: ylbl: p\n"
         "cmd: message: Hello\n");
    // "clear" drops the points of the rows before it; the curve stays.
    EXPECT_EQ(points(0), (Points{2, 20}));
    EXPECT_EQ(plot()->title(), "Pressure\nkPa");
    EXPECT_EQ(plot()->xLabel(), "t");
    EXPECT_EQ(plot()->yLabel(), "p");
    ASSERT_TRUE(plot()->m_message);
    EXPECT_EQ(plot()->m_message->text(), "Hello");

    struct Case {
        const char* row;
        bool set;
        double min;
        double max;
    };
    const Case cases[] = {{"cmd: domain: 5\n", false, 0, 0},
                          {"cmd: domain: 1 2\n", true, 1, 2},
                          // "abc" reads as 0; the plot puts the ends in order.
                          {"cmd: domain: 1 abc\n", true, 0, 1},
                          {"cmd: domain: \n", true, 0, 1}};
    for (const Case& c : cases) {
        send(c.row);
        const ViewRect& base = plot()->views().at(0);
        EXPECT_EQ(base.userXInForce, c.set) << c.row;
        if (c.set) {
            EXPECT_EQ(base.userX.min, c.min) << c.row;
            EXPECT_EQ(base.userX.max, c.max) << c.row;
        }
    }
    send("cmd: range: -3 3\n");
    EXPECT_TRUE(plot()->views().at(0).userYInForce);
    EXPECT_EQ(plot()->views().at(0).userY.max, 3);
    // A plot whose domain runs backwards still draws.
    plot()->refreshPixmap();

    // The host-pipe commands mean nothing on an instrument link; an unknown
    // command word is a data row.
    send("cmd: addin: done\ncmd: arguments: -x 1 -y 2\n3 30\n");
    EXPECT_EQ(points(0), (Points{2, 20, 3, 30}));
    EXPECT_EQ(link()->m_source.m_yColumns.front().column, 1);
    // An instrument cannot end the program: the command is refused and
    // named, and the rows after it count.
    QSignalSpy exits(ctrl.get(), &PlotterCtrl::exit);
    send("cmd: exit\n4 40\n");
    EXPECT_EQ(exits.count(), 0);
    EXPECT_EQ(points(0), (Points{2, 20, 3, 30, 4, 40}));
    EXPECT_EQ(transcripts.last(), "Warning: The command \"cmd: exit\" from \"Scope\" was refused: only the host "
                                  "program of a linked session can end KRO.");
}

TEST_F(LiveLinks, ClearingALivePlotKeepsItsCurves)
{
    announce(columns(0, {1, 2}));
    send("1 10 100\n");
    plot()->setCurveTitle(1, "second");
    ctrl->clearPlot(plot());
    ASSERT_EQ(plot()->curves().size(), 2u);
    EXPECT_TRUE(points(0).empty());
    EXPECT_EQ(curveTitle(1), "second");
    EXPECT_GT(link()->m_leftMargin, 0);
}

// Curve pixels of the plot's picture (the frame and grid are grey).
int colouredPixels(const Plotter& plot)
{
    const QImage image = plot.pixmap().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - c.blue()) > 100 || std::abs(c.green() - c.blue()) > 100;
        }
    return n;
}

TEST_F(LiveLinks, ATextRightAfterAnotherIsDrawnToo)
{
    ctrl->show();
    announce(columns(0, {1}));
    send("0 0\n10 10\n"); // the first text scales and draws the plot
    const int before = colouredPixels(*plot());
    EXPECT_GT(before, 0);
    // Texts that follow each other closely are drawn together, but drawn.
    send("0 5\n");
    send("10 0\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return colouredPixels(*plot()) > before + 50; }, 5000));
}

TEST_F(LiveLinks, ClosingTheTabEndsTheLink)
{
    announce(columns(0, {1}));
    send("1 10\n");
    ASSERT_NE(link(), nullptr);
    ctrl->on_closeTab("Scope");
    EXPECT_EQ(link(), nullptr);
    EXPECT_TRUE(ctrl->livePlotters().empty());
    // A later text opens the link again on a new tab.
    send("2 20\n");
    EXPECT_EQ(points(0), (Points{2, 20}));
}

TEST_F(LiveLinks, LivePlotsOfATabShareTheirLeftMargin)
{
    announce(columns(0, {1}), -1, true, "Pair");
    Plotter* first = plot("Pair");
    ctrl->addPlotter(nullptr, "Pair");
    Plotter* second = ctrl->findPlotter("Pair", 2);
    // The second plot gets its own link by binding it to another label's
    // link record.
    announce(columns(0, {1}), -1, true, "Other");
    link("Other")->m_plotter = second;
    ctrl->showTab("Pair");
    first->m_marginLeft = 80;
    second->m_marginLeft = 50;
    ctrl->alignLiveMargins();
    EXPECT_EQ(second->m_leftMarginOverride, 80);
    EXPECT_EQ(link("Other")->m_leftMargin, 80);
    EXPECT_EQ(link("Pair")->m_leftMargin, 80);
}

TEST_F(LiveLinks, DebugModeNamesTheRowCountWhenTheViewIsRefitted)
{
    kro::setDebugMode(true);
    announce(columns(0, {1}));
    send("1 10\ncmd: xlbl: x\n2 20\n");
    send("3 30\n");
    EXPECT_EQ(debugs, QStringList{QStringLiteral("Live Plotter (Scope) \u2192 Node count: 3")});
    // The 10-second clock asks for the next refit.
    QMetaObject::invokeMethod(link(), "on_liveRescale");
    send("4 40\n");
    EXPECT_EQ(debugs.size(), 2);
}

TEST_F(LiveLinks, AnAppendLoadTakesItsCurveIdsWhenItStoresThem)
{
    // The load's curves are stored only when the plot tabs handle its end,
    // after the link's rows below have made curve 0: the loaded curve must
    // not replace it.
    QTemporaryDir dir;
    const QString file = dir.filePath("rows.dat");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("10 100\n20 200\n");
    out.close();
    announce(columns(0, {1}));
    ASSERT_EQ(ctrl->currentPlotter(), plot());
    ctrl->on_kroplot(QStringLiteral("kro -f %1 -x 1 -y 2 -append").arg(file));
    ASSERT_TRUE(ctrl->m_busy);
    send("1 5\n2 6\n");
    ASSERT_EQ(points(0), (Points{1, 5, 2, 6}));
    QElapsedTimer t;
    t.start();
    while (ctrl->m_busy && t.elapsed() < 20000)
        QTest::qWait(10);
    ASSERT_FALSE(ctrl->m_busy);

    EXPECT_EQ(points(0), (Points{1, 5, 2, 6})) << "the live curve survives the load";
    EXPECT_EQ(points(1), (Points{10, 100, 20, 200})) << "the loaded curve takes the next free id";
    EXPECT_EQ(curveTitle(0), "Live_1");
    EXPECT_EQ(curveTitle(1), file + ":2");
    // Later rows still go to the link's own curve.
    send("3 7\n");
    EXPECT_EQ(points(0), (Points{1, 5, 2, 6, 3, 7}));
    EXPECT_EQ(points(1), (Points{10, 100, 20, 200}));
}

TEST_F(LiveLinks, ALinksTitleBeyondTheMarkupBoundsIsShownWithoutItsMarkup)
{
    announce(columns(0, {1}));
    QString title;
    for (int i = 0; i < 600; ++i)
        title += QStringLiteral("<table><tr><td>");
    send("cmd: title: " + title + "Scope\n1 2\n");
    EXPECT_EQ(plot()->titleLabel()->storedText(), "Scope");
    EXPECT_FALSE(verboses.filter("The markup nests tables more than 4 deep").isEmpty()) << verboses.join('|').toStdString();
    EXPECT_FALSE(plot()->grab().isNull());
    EXPECT_EQ(points(0), (Points{1, 2}));
}
