// Copying and moving curves between plots, tabs and quadrants: the "copy"
// and "move" commands, the dialog that picks curves, tab and frame, and the
// live link that follows its curves.
#include "tabs/plotterctrl.h"

#include "plottabs_fixture.h"

#include "core/exceptions.h"
#include "plot/curvelistbox.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "platform/scriptedprompter.h"
#include "tabs/liveplotter.h"
#include "tabs/plotterquad.h"
#include "tabs/progressbar.h"
#include "tabs/sendcurvegui.h"

#include <QButtonGroup>
#include <QToolButton>
#include <gtest/gtest.h>

#include <climits>

#include "support/qtprinters.h"
#include "support/test_env.h"

namespace {

using Points = std::vector<double>;

class Transfer : public PlotTabsTest {
protected:
    void SetUp() override
    {
        PlotTabsTest::SetUp();
        source = ctrl->currentPlotter();
        // C1..C3 with distinct points; C2 has no title.
        for (int id = 0; id < 3; ++id)
            source->setCurveData(id, CurveData(Points{double(id), 10.0 * id, id + 1.0, 10.0 * id + 5}), false);
        source->setCurveTitle(0, "alpha");
        source->setCurveTitle(2, "gamma");
        source->title("Source title", SET);
        source->xLabel("time", SET);
        source->yLabel("volts", SET);
        source->footnote("note", SET);
        source->m_logY = true;
    }
    static Points points(const Plotter* p, int id)
    {
        const CurveData* c = p->curve(id);
        return c ? Points(c->values.begin(), c->values.end()) : Points{};
    }
    static std::vector<int> ids(const Plotter* p)
    {
        std::vector<int> v;
        for (const auto& [id, c] : p->curves())
            v.push_back(id);
        return v;
    }

    Plotter* source = nullptr;
};

} // namespace

TEST_F(Transfer, CopyToANewTabTakesThePlotsLabelsAndTransfersLastWrittenFirst)
{
    ctrl->on_copycommand("c1 c3 NewTab");
    Plotter* dest = ctrl->findPlotter("NewTab", 0);
    ASSERT_NE(dest, nullptr);
    EXPECT_EQ(ctrl->currentPlotter(), dest);
    // C3 went first and got id 0.
    EXPECT_EQ(points(dest, 0), points(source, 2));
    EXPECT_EQ(points(dest, 1), points(source, 0));
    EXPECT_EQ(dest->legend()->itemText(0), "gamma");
    EXPECT_EQ(dest->legend()->itemText(1), "alpha");
    EXPECT_EQ(dest->title(), "Source title");
    EXPECT_EQ(dest->xLabel(), "time");
    EXPECT_EQ(dest->yLabel(), "volts");
    EXPECT_EQ(dest->footnote(), "note");
    EXPECT_TRUE(dest->m_logY);
    EXPECT_FALSE(dest->m_logX);
    // A copy leaves the source as it was and shares the values.
    EXPECT_EQ(ids(source), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(dest->curve(0)->values.sharesDataWith(source->curve(2)->values));
    EXPECT_TRUE(transcripts.isEmpty());
}

TEST_F(Transfer, CopyWithoutSourcesTakesEveryCurveOfTheActivePlot)
{
    ctrl->on_copycommand("Other");
    Plotter* dest = ctrl->findPlotter("Other", 0);
    ASSERT_NE(dest, nullptr);
    EXPECT_EQ(ids(dest), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(dest->legend()->itemText(1), "C2 (Copy)");
    // Into the same plot: a title the plot has already gets "(copy)".
    ctrl->on_copycommand("\"Plot 1\":c1 \"Plot 1\"");
    EXPECT_EQ(ids(source), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(source->legend()->itemText(3), "alpha (copy)");
    EXPECT_EQ(points(source, 3), points(source, 0));
    // A move into its own plot loses nothing: the curve takes the next free
    // id and leaves its old one.
    const Points second = points(source, 1);
    ctrl->on_movecommand("c2 \"Plot 1\"");
    EXPECT_EQ(ids(source), (std::vector<int>{0, 2, 3, 4}));
    EXPECT_EQ(points(source, 4), second);
    EXPECT_TRUE(transcripts.isEmpty());
}

TEST_F(Transfer, MoveRemovesFromTheSourceAndTakesTheLiveLinkAlong)
{
    ctrl->on_newTab("Dest");
    ctrl->showTab("Plot 1");
    ctrl->on_movecommand("c2 Dest:q1");
    Plotter* dest = ctrl->findPlotter("Dest", 1);
    EXPECT_EQ(ids(source), (std::vector<int>{0, 2}));
    EXPECT_EQ(ids(dest), (std::vector<int>{0}));
    EXPECT_EQ(dest->legend()->itemText(0), "C1 (Moved)");
    EXPECT_TRUE(dest->autoCacheFilled());

    // A moved live plot's later rows follow its curves.
    FileObject f(QStringLiteral("%Y-%m-%d"), QStringLiteral("%Y-%m-%d %H:%M:%S"), QStringLiteral("%H:%M:%S"));
    ctrl->on_linkStatusChanged("Scope", f, -1, true);
    bool ready = false;
    ctrl->on_newDeviceString("Scope", "1 10\n", ready);
    Plotter* live = ctrl->findPlotter("Scope", 0);
    ctrl->on_movecommand("Scope:c1 Archive");
    Plotter* target = ctrl->findPlotter("Archive", 0);
    EXPECT_EQ(ctrl->findLivePlotter(PlotterCtrl::liveKey("Scope"))->m_plotter, target);
    EXPECT_TRUE(live->curves().empty());
    ctrl->on_newDeviceString("Scope", "2 20\n", ready);
    EXPECT_EQ(points(target, 0), (Points{1, 10, 2, 20}));
    EXPECT_TRUE(live->curves().empty());
}

TEST_F(Transfer, RefusedCommandsReportAndKeepWhatWasDone)
{
    struct Case {
        const char* command;
        bool move;
        const char* message;
    };
    const Case cases[] = {
        {"Nowhere:c1 X", false, "Error in copy command. Source tab \"Nowhere\" doesn't exist."},
        {"q3:c1 X", true, "Error in move command. Source quadrant 3 does not exist in tab \"Plot 1\"."},
        {"c9 X", false,
         "Error in copy command. Likely cause: invalid source curve ID(s).\nActual error returned: C9 does not "
         "exist in the source plot.\nPlease report this error message to: the KRO issue tracker"},
    };
    for (const Case& c : cases) {
        transcripts.clear();
        if (c.move)
            ctrl->on_movecommand(c.command);
        else
            ctrl->on_copycommand(c.command);
        EXPECT_EQ(transcripts, QStringList{c.message}) << c.command;
        EXPECT_EQ(ids(source), (std::vector<int>{0, 1, 2})) << c.command;
        EXPECT_EQ(ctrl->findTab("X"), nullptr) << c.command;
    }
    // A syntax error is the argument parser's.
    transcripts.clear();
    ctrl->on_copycommand("c1 : X");
    ASSERT_EQ(transcripts.size(), 1);
    EXPECT_TRUE(transcripts.front().startsWith("Error in command: "));

    // A bad curve after a good one: the good one is moved, the bad one
    // changes nothing (sources are taken last-written first).
    transcripts.clear();
    ctrl->on_movecommand("c7 c1 Y");
    EXPECT_EQ(ids(source), (std::vector<int>{1, 2}));
    EXPECT_EQ(ids(ctrl->findPlotter("Y", 0)), (std::vector<int>{0}));
    EXPECT_EQ(transcripts.size(), 1);

    // A full tab refuses a new plot.
    for (int i = 0; i < 3; ++i)
        ctrl->addPlotter(nullptr, "Y");
    transcripts.clear();
    ctrl->on_copycommand("\"Plot 1\":c2 Y:q5");
    EXPECT_EQ(transcripts, QStringList{"Error: Cannot create another plot on \"Y\"."});
}

TEST(SendCurveDialog, FramesOfEachTabSizeAndTheirQuadrants)
{
    struct Case {
        unsigned plots;
        QStringList frames;
        std::vector<int> quadrants;
    };
    const Case cases[] = {
        {0, {"Center (New)"}, {1}},
        {1, {"Center", "Bottom (New)"}, {1, 2}},
        {2, {"Top", "Top Right (New)", "Bottom"}, {1, 3, 2}},
        {3, {"Top Left", "Top Right", "Bottom", "Bottom Right (New)"}, {1, 3, 2, 4}},
        {4, {"Top Left", "Top Right", "Bottom Left", "Bottom Right"}, {1, 3, 2, 4}},
    };
    SendCurveGUI dialog(nullptr, {{1, Rgb(0xff0000)}}, {{"A", 1}});
    for (const Case& c : cases) {
        dialog.populateQuadrant(c.plots);
        QStringList texts;
        for (int i = 0; i < dialog.frameList()->count(); ++i)
            texts << dialog.frameList()->item(i)->text();
        EXPECT_EQ(texts, c.frames) << c.plots;
        EXPECT_TRUE(dialog.frameList()->item(0)->isSelected());
        for (int i = 0; i < dialog.frameList()->count(); ++i) {
            dialog.frameList()->clearSelection();
            dialog.frameList()->item(i)->setSelected(true);
            EXPECT_EQ(dialog.quadrantNumber(), c.quadrants[std::size_t(i)]) << c.frames[i].toStdString();
        }
    }
    EXPECT_THROW(dialog.populateQuadrant(5), kroexception);
    dialog.frameList()->clearSelection();
    EXPECT_EQ(dialog.quadrantNumber(), -1);
}

TEST(SendCurveDialog, CurveChoices)
{
    SendCurveGUI dialog(nullptr, {{1, Rgb(0xff0000)}, {2, Rgb(0x00ff00)}, {3, Rgb(0x0000ff)}},
                        {{"B", 2}, {"A", 1}, {"Plot 3 (New)", 0}});
    EXPECT_EQ(dialog.windowTitle(), "KRO - Move/Copy Curve");
    CurveListBox* curves = dialog.curveList();
    ASSERT_EQ(curves->count(), 4);
    EXPECT_EQ(curves->item(0)->text(), "All Curves");
    EXPECT_EQ(curves->item(3)->text(), "Curve 3");
    // The tab list is sorted; the frames follow the first tab.
    EXPECT_EQ(dialog.tabList()->item(0)->text(), "A");
    EXPECT_EQ(dialog.destinationTab(), "A");
    EXPECT_EQ(dialog.frameList()->count(), 2);
    EXPECT_FALSE(dialog.moveChosen());

    curves->clearSelection();
    curves->item(1)->setSelected(true);
    curves->item(3)->setSelected(true);
    EXPECT_EQ(dialog.selectedCurves(), (std::vector<int>{1, 3}));
    // "All Curves" with others is every curve once.
    curves->item(0)->setSelected(true);
    EXPECT_EQ(dialog.selectedCurves(), (std::vector<int>{INT_MAX}));
    curves->clearSelection();
    EXPECT_TRUE(dialog.selectedCurves().empty());

    // One curve offers no "All Curves".
    SendCurveGUI single(nullptr, {{4, Rgb(0)}}, {{"A", 1}});
    ASSERT_EQ(single.curveList()->count(), 1);
    EXPECT_EQ(single.curveList()->item(0)->text(), "Curve 4");
}

TEST_F(Transfer, TheDialogRunsTheChosenTransfer)
{
    ctrl->addPlotter(nullptr, "Plot 1");
    Plotter* first = ctrl->findPlotter("Plot 1", 1);
    ASSERT_EQ(first, source);
    // A tab of two plots offers Top, Top Right (New), Bottom; choosing the
    // new frame adds a third plot; the curves are moved.
    prompter->answerDialog([](QDialog* d) {
        auto* dialog = static_cast<SendCurveGUI*>(d);
        dialog->tabList()->clearSelection();
        for (int i = 0; i < dialog->tabList()->count(); ++i)
            if (dialog->tabList()->item(i)->text() == "Plot 1") {
                dialog->tabList()->item(i)->setSelected(true);
                Q_EMIT dialog->tabList()->itemClicked(dialog->tabList()->item(i));
            }
        EXPECT_EQ(dialog->frameList()->count(), 3);
        dialog->frameList()->clearSelection();
        dialog->frameList()->item(1)->setSelected(true);
        dialog->curveList()->clearSelection();
        dialog->curveList()->item(2)->setSelected(true); // Curve 2
        dialog->operation()->button(1)->setChecked(true);
        return int(QDialog::Accepted);
    });
    QMetaObject::invokeMethod(source, "moveCopyCurve");
    PlotterQuad* page = ctrl->findTab("Plot 1");
    ASSERT_EQ(page->plotCount(), 3);
    Plotter* third = ctrl->findPlotter("Plot 1", 3);
    EXPECT_EQ(ctrl->currentPlotter(), third);
    EXPECT_EQ(ids(third), (std::vector<int>{0}));
    EXPECT_EQ(ids(source), (std::vector<int>{0, 2}));

    // The new-tab entry makes "Plot n" without " (New)"; cancelling reports.
    prompter->answerDialog([](QDialog* d) {
        auto* dialog = static_cast<SendCurveGUI*>(d);
        dialog->tabList()->clearSelection();
        for (int i = 0; i < dialog->tabList()->count(); ++i)
            if (dialog->tabList()->item(i)->text().endsWith(" (New)"))
                dialog->tabList()->item(i)->setSelected(true);
        return int(QDialog::Accepted);
    });
    QMetaObject::invokeMethod(source, "moveCopyCurve");
    EXPECT_NE(ctrl->findPlotter("Plot 2", 0), nullptr);
    prompter->answerDialog([](QDialog*) { return int(QDialog::Rejected); });
    QMetaObject::invokeMethod(source, "moveCopyCurve");
    EXPECT_EQ(verboses.back(), "Move/Copy canceled.");
}
