// Plot tabs and quadrants: creating, finding, renaming and closing tabs,
// the quad and stacked layouts, the active plot and its indicator.
#include "tabs/plotterctrl.h"

#include "analysis/adevprompt.h"
#include "analysis/adevthread.h"
#include "core/exceptions.h"
#include "plot/actionlabel.h"
#include "plot/plotter.h"
#include "platform/scriptedprompter.h"
#include "tabs/plotterquad.h"
#include "tabs/progressbar.h"

#include <QApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cmath>

#include "support/qtprinters.h"

#include "support/test_env.h"

namespace {

class Tabs : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        prompter = new kro::ScriptedPrompter;
        previous = kro::installPrompter(std::unique_ptr<kro::Prompter>(prompter));
        ctrl = std::make_unique<PlotterCtrl>(nullptr, &bar, &undo);
        ctrl->resize(800, 600);
        connect();
    }
    void TearDown() override
    {
        ctrl.reset();
        kro::installPrompter(std::move(previous));
    }
    void connect()
    {
        QObject::connect(ctrl.get(), &PlotterCtrl::transcript, [this](const QString& t) { transcripts << t; });
        QObject::connect(ctrl.get(), &PlotterCtrl::verbose,
                         [this](ZEVOVE::TYPE, const QString& t) { verboses << t; });
    }
    QStringList labels() const
    {
        QStringList l;
        for (int i = 0; i < ctrl->count(); ++i)
            l << ctrl->tabText(i);
        return l;
    }

    ProgressBar bar;
    QToolButton undo;
    std::unique_ptr<PlotterCtrl> ctrl;
    kro::ScriptedPrompter* prompter = nullptr;
    std::unique_ptr<kro::Prompter> previous;
    QStringList transcripts;
    QStringList verboses;
};

} // namespace

TEST_F(Tabs, StartsWithOneTabOfOnePlot)
{
    EXPECT_EQ(labels(), QStringList{"Plot 1"});
    PlotterQuad* page = ctrl->currentQuad();
    ASSERT_EQ(page->plotCount(), 1);
    EXPECT_EQ(ctrl->currentPlotter()->objectName(), QStringLiteral("Plot 1_0"));
    EXPECT_FALSE(page->activeIndicator()->isVisibleTo(page));
    EXPECT_EQ(ctrl->findPlotter("Plot 1", 0), ctrl->currentPlotter());
    EXPECT_EQ(ctrl->findPlotter("Plot 1", 2), nullptr);
    EXPECT_EQ(ctrl->findPlotter("", 0), nullptr);
    EXPECT_THROW(page->plotter(2), kroexception);
}

TEST_F(Tabs, AddedPlotsBecomeActiveAndKeepQuadrantOrder)
{
    ctrl->show();
    Plotter* first = ctrl->currentPlotter();
    Plotter* second = ctrl->addPlotter(nullptr, "Plot 1");
    PlotterQuad* page = ctrl->currentQuad();
    EXPECT_EQ(second->objectName(), QStringLiteral("Plot 1_1"));
    EXPECT_EQ(page->plotter(0), second);
    EXPECT_EQ(page->plotter(1), first);
    EXPECT_EQ(page->plotter(2), second);
    QApplication::processEvents();
    ASSERT_TRUE(page->activeIndicator()->isVisible());
    EXPECT_TRUE(page->activeIndicator()->isChecked());
    const QPoint corner = second->mapTo(page, QPoint(0, second->height() - 1));
    EXPECT_EQ(page->activeIndicator()->geometry().left(), corner.x());
    EXPECT_EQ(page->activeIndicator()->geometry().bottom(), corner.y() - 3);

    // Clicking a plot makes it active; clicking the active plot does nothing.
    QSignalSpy shown(ctrl.get(), &PlotterCtrl::plotterShown);
    ctrl->metaObject()->invokeMethod(ctrl.get(), "on_plotterClicked", Q_ARG(Plotter*, second));
    EXPECT_EQ(shown.count(), 0);
    ctrl->metaObject()->invokeMethod(ctrl.get(), "on_plotterClicked", Q_ARG(Plotter*, first));
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(ctrl->currentPlotter(), first);
    QApplication::processEvents();
    const QPoint firstCorner = first->mapTo(page, QPoint(0, first->height() - 1));
    EXPECT_EQ(page->activeIndicator()->geometry().left(), firstCorner.x());

    // A plot already in the tab is only shown.
    ctrl->on_newTab("Other");
    EXPECT_EQ(ctrl->addPlotter(first, "Plot 1"), first);
    EXPECT_EQ(ctrl->tabText(ctrl->currentIndex()), QStringLiteral("Plot 1"));
    EXPECT_EQ(page->plotCount(), 2);
}

TEST_F(Tabs, QuadAndStackedLayouts)
{
    ctrl->show();
    std::vector<Plotter*> p{ctrl->currentPlotter()};
    for (int i = 0; i < 3; ++i)
        p.push_back(ctrl->addPlotter(nullptr, "Plot 1"));
    PlotterQuad* page = ctrl->currentQuad();
    QApplication::processEvents();
    auto pos = [&](int i) { return p[std::size_t(i)]->mapTo(page, QPoint(0, 0)); };
    // Quad: quadrants 1 and 3 share the top row, 2 and 4 the bottom row.
    EXPECT_EQ(pos(0).y(), pos(2).y());
    EXPECT_EQ(pos(1).y(), pos(3).y());
    EXPECT_LT(pos(0).y(), pos(1).y());
    EXPECT_LT(pos(0).x(), pos(2).x());
    EXPECT_EQ(page->mainSplitter()->orientation(), Qt::Vertical);
    EXPECT_EQ(page->m_firstSplitter->orientation(), Qt::Horizontal);

    page->m_quadLayout = 0;
    page->layoutStacked();
    QApplication::processEvents();
    for (int i = 0; i < 3; ++i)
        EXPECT_LT(pos(i).y(), pos(i + 1).y()) << i;
    EXPECT_EQ(page->m_firstSplitter->orientation(), Qt::Vertical);
    EXPECT_EQ(p[0]->minimumHeight(), page->height() / 4 - 5);

    // A fifth plot is refused.
    try {
        ctrl->addPlotter(nullptr, "Plot 1");
        ADD_FAILURE() << "no exception";
    } catch (const kroexception& e) {
        EXPECT_STREQ(e.what(), "Error: Cannot create another plot on \"Plot 1\".");
    }
    EXPECT_EQ(page->plotCount(), 4);
}

TEST_F(Tabs, ThreePlotsInQuadLayoutPutTheSecondAcrossTheBottom)
{
    ctrl->show();
    Plotter* p1 = ctrl->currentPlotter();
    Plotter* p2 = ctrl->addPlotter(nullptr, "Plot 1");
    Plotter* p3 = ctrl->addPlotter(nullptr, "Plot 1");
    QApplication::processEvents();
    PlotterQuad* page = ctrl->currentQuad();
    EXPECT_EQ(p1->mapTo(page, QPoint()).y(), p3->mapTo(page, QPoint()).y());
    EXPECT_GT(p2->mapTo(page, QPoint()).y(), p1->mapTo(page, QPoint()).y());
    EXPECT_GT(p2->width(), p1->width() + p3->width() / 2);
}

TEST_F(Tabs, TabLabelsAndCounters)
{
    ctrl->on_newTab("Data");
    ctrl->on_addPlotter();
    EXPECT_EQ(labels(), (QStringList{"Plot 1", "Data", "Plot 3"}));
    // A generated label never repeats a label in use.
    ctrl->on_newTab("Plot 5");
    ctrl->on_addPlotter();
    EXPECT_EQ(labels(), (QStringList{"Plot 1", "Data", "Plot 3", "Plot 5", "Plot 6"}));

    ctrl->on_newTab("Data");
    EXPECT_EQ(transcripts.last(), QStringLiteral("Error: \"Data\" already exists. Tab labels must be unique."));
    EXPECT_EQ(ctrl->tabText(ctrl->currentIndex()), QStringLiteral("Data"));

    ctrl->on_setTabLabel("Data");
    EXPECT_EQ(verboses.last(), QStringLiteral("Current tabel label already matches \"Data\""));
    ctrl->on_usingTab("Plot 1");
    ctrl->on_setTabLabel("Data");
    EXPECT_EQ(transcripts.last(), QStringLiteral("Error: \"Data\" already exists. Tab labels must be unique."));
    ctrl->on_setTabLabel("Raw");
    EXPECT_EQ(verboses.last(), QStringLiteral("Tab label changed from \"Plot 1\" to \"Raw\"."));
    EXPECT_EQ(ctrl->tabText(0), QStringLiteral("Raw"));

    // Renaming through the dialog: its own label is refused silently, a
    // cancelled dialog changes nothing, a new label is taken.
    const int before = transcripts.size();
    prompter->answerText(QStringLiteral("Raw"));
    ctrl->metaObject()->invokeMethod(ctrl.get(), "on_tabRightClicked", Q_ARG(int, 0));
    prompter->answerText(std::nullopt);
    ctrl->metaObject()->invokeMethod(ctrl.get(), "on_tabRightClicked", Q_ARG(int, 0));
    prompter->answerText(QStringLiteral("Data"));
    ctrl->metaObject()->invokeMethod(ctrl.get(), "on_tabRightClicked", Q_ARG(int, 0));
    EXPECT_EQ(transcripts.size(), before + 1);
    prompter->answerText(QStringLiteral("Cooked"));
    ctrl->metaObject()->invokeMethod(ctrl.get(), "on_tabRightClicked", Q_ARG(int, 0));
    EXPECT_EQ(ctrl->tabText(0), QStringLiteral("Cooked"));
    EXPECT_EQ(prompter->asked().size(), 4u);
    EXPECT_EQ(prompter->asked()[0].title, QStringLiteral("Set Tab Label"));

    // usingTab opens a tab that does not exist.
    ctrl->on_usingTab("Fresh");
    EXPECT_EQ(ctrl->tabText(ctrl->currentIndex()), QStringLiteral("Fresh"));
}

TEST_F(Tabs, ClosingTheTabOfARunningAllanDeviationStopsItsEngine)
{
    // An all-tau run over 200000 points takes minutes.
    Plotter* source = ctrl->currentPlotter();
    CurveData c;
    for (int i = 0; i < 200000; ++i)
        c.append(i, std::sin(i * 0.37) + 1e-3 * i);
    source->setCurveData(0, std::move(c), false);
    prompter->answerDialog([](QDialog* d) {
        ADevPromptPage* page = static_cast<ADevPrompt*>(d)->page(0);
        page->m_typeBoxes.at(OVERLAPPING)->setState(2);
        page->m_intervalButtons.at(ALL_TAU)->setState(2);
        return int(QDialog::Accepted);
    });
    QPointer<Plotter> result;
    QObject::connect(source, &Plotter::newPlotterBuilt, [&](Plotter* r) { result = r; });
    source->plotAdev();
    ASSERT_TRUE(result);
    ASSERT_EQ(result->m_adevThreads.size(), 1u);
    QPointer<AdevThread> engine = result->m_adevThreads[0];
    EXPECT_TRUE(engine->isRunning());
    int index = -1;
    for (int i = 0; i < ctrl->count(); ++i)
        if (ctrl->widget(i)->isAncestorOf(result))
            index = i;
    ASSERT_GE(index, 0);
    ctrl->on_closeTab(ctrl->tabText(index));
    EXPECT_FALSE(result);
    EXPECT_FALSE(engine);
    QApplication::processEvents();  // events still posted to the plot are dropped
    EXPECT_TRUE(ctrl->currentPlotter());
}

TEST_F(Tabs, ClosingTabs)
{
    ctrl->on_closeTab();
    EXPECT_EQ(verboses.last(), QStringLiteral("Cannot close the last remaining plot tab."));
    EXPECT_EQ(ctrl->count(), 1);
    ctrl->on_newTab("A");
    ctrl->on_newTab("B");
    ctrl->on_closeTab("nope");
    EXPECT_EQ(verboses.last(), QStringLiteral("Could not close plot tab nope. Tab not found."));
    ctrl->on_closeTab("A");
    EXPECT_EQ(verboses.filter("closed").last(), QStringLiteral("Tab \"A\" closed."));
    EXPECT_EQ(labels(), (QStringList{"Plot 1", "B"}));
    ctrl->on_newTab("C");
    verboses.clear();
    ctrl->on_closeAll();
    EXPECT_EQ(labels(), QStringList{"New Tab"});
    EXPECT_EQ(verboses.filter("closed"),
              (QStringList{"Tab \"C\" closed.", "Tab \"B\" closed.", "Tab \"Plot 1\" closed."}));
    // The close button closes the current tab.
    ctrl->on_newTab("D");
    ctrl->tabControls()->closeButton()->click();
    EXPECT_EQ(labels(), QStringList{"New Tab"});
    ctrl->tabControls()->newButton()->click();
    EXPECT_EQ(ctrl->count(), 2);
}

TEST_F(Tabs, ResultPlotsGetTabsOfTheirOwnAndTheUndoButtonFollowsTheCurrentPlot)
{
    auto* result = new Plotter(nullptr, "result");
    ctrl->on_addPlotter(result);
    EXPECT_EQ(ctrl->currentPlotter(), result);
    EXPECT_EQ(ctrl->tabText(ctrl->currentIndex()), QStringLiteral("Plot 2"));
    EXPECT_EQ(result->parentWidget()->parentWidget() ? result->parentWidget() : result->parentWidget(),
              static_cast<QWidget*>(ctrl->currentQuad()));

    CurveData c;
    c.append(1, 2);
    c.append(2, 3);
    result->setCurveData(0, c);
    result->cache(0);
    EXPECT_TRUE(undo.isEnabled());
    ctrl->on_usingTab("Plot 1");
    EXPECT_FALSE(undo.isEnabled());
    ctrl->on_usingTab("Plot 2");
    EXPECT_TRUE(undo.isEnabled());

    ctrl->clearPlot(result);
    EXPECT_TRUE(result->curves().empty());
}
