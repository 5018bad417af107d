// A plot's state, its curve set, titles and undo caches.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <QLabel>
#include <QPointer>
#include <QSettings>
#include <QTimer>

#include "analysis/adevthread.h"
#include "core/settings.h"
#include "plot/actionlabel.h"
#include "plot/plotdiag.h"
#include "plot/rotlabel.h"
#include "plot_fixture.h"

using namespace plottest;

namespace {

// Collects the plot's typed messages.
struct Messages {
    explicit Messages(Plotter& p)
    {
        QObject::connect(&p, &Plotter::verbose, [this](ZEVOVE::TYPE t, const QString& s) { list.push_back({t, s}); });
    }
    bool has(ZEVOVE::TYPE t, const QString& text) const
    {
        return std::any_of(list.begin(), list.end(), [&](const auto& m) { return m.first == t && m.second == text; });
    }
    std::vector<std::pair<ZEVOVE::TYPE, QString>> list;
};

TEST(PlotState, ANewPlotShowsTheSettingsTexts)
{
    auto p = makePlot();
    EXPECT_EQ(p->title(), "Default Title");
    EXPECT_EQ(p->xLabel(), "Default X-Axis");
    EXPECT_EQ(p->yLabel(), "Default Y-Axis");
    EXPECT_EQ(p->footnote(), "KRO - Version BETA");

    writeSetting("title", QString("Flux\\nDensity"));
    auto q = makePlot();
    EXPECT_EQ(q->title(QString(), GET, false, true), "Flux<br />Density");
    EXPECT_EQ(q->title(), "Flux\nDensity");
    writeSetting("title", QString("Default Title"));
}

TEST(PlotState, PointSizeFromTheSettingUnchanged)
{
    auto p = makePlot();
    EXPECT_EQ(p->m_pointDiameter, 5);
    writeSetting("pntrad", QString("7"));
    p->clearAll();
    EXPECT_EQ(p->m_pointDiameter, 7);
    writeSetting("pntrad", QString("5"));
}

TEST(PlotState, ClearAllResetsViewsAndKeepsTheCaches)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), true);
    p->cache(0);
    p->m_gridHorizontal = false;
    p->m_views.push_back(p->m_views[0]);
    p->m_viewIndex = 1;
    p->clearAll();
    EXPECT_TRUE(p->m_gridHorizontal && p->m_gridVertical);
    ASSERT_EQ(p->m_views.size(), 1u);
    EXPECT_EQ(p->m_viewIndex, 0);
    EXPECT_FALSE(p->m_views[0].userXInForce || p->m_views[0].userYInForce);
    EXPECT_FALSE(p->autoCacheFilled());
    EXPECT_EQ(p->m_autoCache.size(), 1u);
    EXPECT_TRUE(p->curves().empty());
    EXPECT_EQ(p->m_leftMarginOverride, 0);
}

TEST(PlotState, ThePlotOwnsItsPanelAndOverlay)
{
    QPointer<QWidget> panel;
    QPointer<QLabel> overlay;
    {
        auto p = makePlot();
        panel = p->curveIdPanel();
        ASSERT_TRUE(panel);
        EXPECT_EQ(panel->parentWidget(), nullptr);
        p->showMessage("Computing. Please Wait...", -1);
        overlay = p->m_message;
        ASSERT_TRUE(overlay);
        EXPECT_EQ(overlay->text(), "Computing. Please Wait...");
        EXPECT_FALSE(p->m_messageTimer->isActive());
        p->showMessage("done", 1);
        EXPECT_EQ(p->m_message.data(), overlay.data());
        EXPECT_TRUE(p->m_messageTimer->isActive());
        p->deleteMsg();
        EXPECT_FALSE(overlay);
    }
    EXPECT_FALSE(panel);
}

TEST(PlotState, DestroyingThePlotStopsItsResultThreads)
{
    // An all-tau run over 200000 points takes minutes; the plot's end
    // cancels it, waits for it and deletes it.
    CurveMap curves;
    CurveData c;
    for (int i = 0; i < 200000; ++i)
        c.append(i, std::sin(i * 0.37) + 1e-3 * i);
    curves[0] = c;
    QPointer<QObject> engineAlive;
    {
        auto p = makePlot();
        auto* engine = new AdevThread(p.get(), curves, {{0, 0, OVERLAPPING | MODIFIED, ALL_TAU, 1.0, "A"}}, 1.0);
        engineAlive = engine;
        p->m_adevThreads.push_back(engine);
        engine->start();
        EXPECT_TRUE(engine->isRunning());
    }
    EXPECT_FALSE(engineAlive);
}

TEST(CurveSet, StoringReplacesPointsAndAttributesKeepsTheTitle)
{
    auto p = makePlot();
    CurveData a = curveOf({{0, 0}, {1, 1}});
    a.attributes.showPoints = true;
    p->setCurveData(0, std::move(a), true);
    p->setCurveTitle(0, "first");
    p->setCurveData(0, curveOf({{0, 5}, {1, 6}, {2, 7}}), true);
    ASSERT_NE(p->curve(0), nullptr);
    EXPECT_EQ(p->curve(0)->pointCount(), 3u);
    EXPECT_FALSE(p->curve(0)->attributes.showPoints);
    EXPECT_EQ(p->curveTitles().at(0), "first");
}

TEST(CurveSet, UnsetColoursComeFromTheLineColourList)
{
    auto p = makePlot();
    CurveData c = curveOf({{0, 0}, {1, 1}});
    c.attributes.lineColor = Rgb(Rgb::NotSet);
    c.attributes.pointShapeColor = Rgb(Rgb::NotSet);
    c.attributes.pointFillColor = Rgb(Rgb::NotSet);
    p->setCurveData(9, CurveData(c), false);
    // Index 9 of the 8-entry list is entry 1, bit 30 kept; the fill stays unset.
    EXPECT_EQ(quint32(p->curve(9)->attributes.lineColor), 0x40FF0000u);
    EXPECT_EQ(quint32(p->curve(9)->attributes.pointShapeColor), 0x40FF0000u);
    EXPECT_EQ(quint32(p->curve(9)->attributes.pointFillColor), Rgb::NotSet);
    p->setCurveData(-1, CurveData(c), false);
    EXPECT_EQ(quint32(p->curve(-1)->attributes.lineColor), Rgb::NotSet);
    // A palette colour follows the curve to its new index.
    CurveData moved = *p->curve(9);
    p->setCurveData(2, std::move(moved), false);
    EXPECT_EQ(quint32(p->curve(2)->attributes.lineColor), 0x4000D200u);
    // An explicit colour stays.
    c.attributes.lineColor = Rgb(0x123456);
    p->setCurveData(3, std::move(c), false);
    EXPECT_EQ(quint32(p->curve(3)->attributes.lineColor), 0x123456u);
}

TEST(CurveSet, OneDescriptorPerCurveTitledOrNot)
{
    auto p = makePlot();
    for (int id : {0, 1, 2})
        p->setCurveData(id, curveOf({{0, 0}, {1, 1}}), false);
    p->setCurveTitle(1, "one");
    // Curves restored from a cache or created live may have no title.
    EXPECT_EQ(p->curveDescriptors(), QStringList({"", "one", ""}));
    p->refreshPixmap();
}

TEST(CurveSet, TitlesAndLegendVisibility)
{
    auto p = makePlot();
    p->legend()->setDockState(DOCK_TOP);
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), false);
    p->setCurveTitle(0, QString());
    EXPECT_EQ(p->curveTitles().at(0), "Curve 0");
    EXPECT_TRUE(p->legend()->isHidden());
    p->setCurveData(1, curveOf({{0, 1}, {1, 0}}), false);
    p->setCurveTitle(1, "");
    EXPECT_EQ(p->curveTitles().at(1), "");
    EXPECT_FALSE(p->legend()->isHidden());
    p->legend()->setDockState(DOCK_OFF);
    p->setCurveTitle(1, "two");
    EXPECT_TRUE(p->legend()->isHidden());
}

TEST(CurveSet, LegendNamesRetitleTheLowestCurves)
{
    auto p = makePlot();
    for (int id : {0, 2, 4, 6, 8}) {
        p->setCurveData(id, curveOf({{0, 0}, {1, 1}}), false);
        p->setCurveTitle(id, "old");
    }
    p->setLegendNames({"a", "/alpha", "c"});
    const auto t = p->curveTitles();
    EXPECT_EQ(t.at(0), "a");
    EXPECT_EQ(t.at(2), QString(QChar(0x03B1)));
    EXPECT_EQ(t.at(4), "c");
    EXPECT_EQ(t.at(6), "old");
    // Texts of the legend command: a curve without a title uses one up.
    p->setCurveData(1, curveOf({{0, 0}, {1, 1}}), false);
    p->setLegendTexts({"x", "y", "z"});
    const auto u = p->curveTitles();
    EXPECT_EQ(u.at(0), "x");
    EXPECT_EQ(u.count(1), 0u);
    EXPECT_EQ(u.at(2), "z");
}

TEST(CurveSet, UndoReturnsToTheCopyEveryTime)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), false);
    p->setCurveTitle(0, "before");
    p->cache(0);
    p->setCurveData(0, curveOf({{0, 9}, {1, 9}, {2, 9}}), false);
    p->setCurveData(1, curveOf({{0, 0}, {1, 1}}), false);
    p->setCurveTitle(0, "after");
    for (int round = 0; round < 2; ++round) {
        p->undo();
        ASSERT_EQ(p->curves().size(), 1u);
        EXPECT_EQ(p->curve(0)->pointCount(), 2u);
        EXPECT_EQ(p->curveTitles().at(0), "before");
        EXPECT_FALSE(p->autoCacheFilled());
    }
}

TEST(CurveSet, CachesShareTheCurvesUntilAChangeAndUndoRestoresThemBitForBit)
{
    auto p = makePlot();
    const CurveData original = curveOf({{0, 0.1}, {1, -2.5e-300}, {2, 3e300}, {3, 4}});
    p->setCurveData(0, original, false);
    EXPECT_TRUE(p->curve(0)->values.sharesDataWith(original.values)) << "storing a curve copies nothing";
    p->cache(0);
    p->cache(1);
    EXPECT_TRUE(p->m_autoCache.at(0).values.sharesDataWith(p->curve(0)->values)) << "the undo copy copies nothing";
    EXPECT_TRUE(p->m_userCache.at(0).values.sharesDataWith(p->curve(0)->values));

    p->crop({0.5, 2.5}, {0});
    ASSERT_EQ(p->curve(0)->pointCount(), 2u);
    EXPECT_FALSE(p->m_autoCache.at(0).values.sharesDataWith(p->curve(0)->values));
    EXPECT_EQ(p->m_autoCache.at(0).values.vec(), original.values.vec()) << "the change left the undo copy alone";

    p->undo();
    ASSERT_NE(p->curve(0), nullptr);
    EXPECT_EQ(0, std::memcmp(p->curve(0)->values.data(), original.values.data(), 8 * sizeof(double)));
    p->cache(2);
    EXPECT_EQ(p->curve(0)->values.vec(), original.values.vec());
}

TEST(CurveSet, RestoringACacheNeverFilledChangesNothing)
{
    auto p = makePlot();
    Messages m(*p);
    QSignalSpy emptied(p.get(), &Plotter::autoCacheEmptied);
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), false);
    p->cache(3);
    p->cache(2);
    EXPECT_EQ(p->curves().size(), 1u);
    EXPECT_EQ(emptied.count(), 0);
    EXPECT_FALSE(m.has(ZEVOVE::INFO, "Auto data-cache empty."));
    // Once filled, the user cache restores as often as asked.
    p->cache(1);
    EXPECT_TRUE(m.has(ZEVOVE::INFO, "User data-cache populated."));
    p->removeAllCurves();
    p->cache(2);
    p->cache(2);
    EXPECT_EQ(p->curves().size(), 1u);
}

TEST(CurveSet, CacheSignalsAndMessages)
{
    auto p = makePlot();
    Messages m(*p);
    QSignalSpy available(p.get(), &Plotter::autoCacheAvailable);
    p->cache(0);
    EXPECT_EQ(available.count(), 1);
    EXPECT_TRUE(p->autoCacheFilled());
    EXPECT_TRUE(m.has(ZEVOVE::INFO, "Auto data-cache available."));
    p->undo();
    EXPECT_TRUE(m.has(ZEVOVE::INFO, "Undo."));
    EXPECT_TRUE(m.has(ZEVOVE::INFO, "Auto data-cache empty."));
    p->cache(7); // nothing
}

TEST(CurveSet, RemovingCurves)
{
    auto p = makePlot();
    Messages m(*p);
    p->removeCurve(7);
    EXPECT_TRUE(m.has(ZEVOVE::ERROR, "Could not remove curve C8 - it does not exist."));
    for (int id : {0, 1, 2})
        p->setCurveData(id, curveOf({{0, 0}, {1, 1}}), false);
    p->setCurveTitle(1, "one");
    QSignalSpy available(p.get(), &Plotter::autoCacheAvailable);
    p->removeCurves(IdArray{2, 1, 5}); // 5 does not exist: skipped silently
    EXPECT_EQ(available.count(), 1);
    EXPECT_EQ(p->curves().size(), 2u);
    EXPECT_EQ(p->legend()->findItem(1), nullptr);
    p->removeCurves(IdArray{0}); // empty selection: nothing removed, copy taken
    EXPECT_EQ(p->curves().size(), 2u);
    EXPECT_EQ(available.count(), 2);
    p->removeCurves(IdArray::all());
    EXPECT_TRUE(p->curves().empty());
}

TEST(CurveSet, InsertingPoints)
{
    auto p = makePlot();
    p->insertPoint(0, 3, 4);
    EXPECT_EQ(p->m_views[0].autoX, AxisRange(3, 3));
    EXPECT_EQ(p->m_views[0].autoY, AxisRange(4, 4));
    p->insertPoint(0, 1, 10);
    p->insertPoint(0, 2, -1);
    EXPECT_EQ(p->curve(0)->values, (std::vector<double>{1, 10, 2, -1, 3, 4}));
    EXPECT_EQ(p->m_views[0].autoX, AxisRange(1, 3));
    EXPECT_EQ(p->m_views[0].autoY, AxisRange(-1, 10));
    p->m_barMode = true;
    p->insertPoint(0, 2, 7);
    p->insertPoint(0, 0, 5);
    EXPECT_EQ(p->curve(0)->values, (std::vector<double>{1, 10, 2, 7, 3, 4, 0, 5}));
}

TEST(CurveSet, ExtremesAndIds)
{
    auto p = makePlot();
    EXPECT_EQ(p->maxX(), 0);
    EXPECT_EQ(p->extremes(), std::make_pair(AxisRange(0, 0), AxisRange(0, 0)));
    EXPECT_EQ(p->nextFreeCurveId(), 0);
    p->setCurveData(0, curveOf({{1, NAN}, {5, 2}, {INFINITY, -3}}), false);
    p->setCurveData(2, curveOf({{-2, 8}}), false);
    EXPECT_EQ(p->minX(), -2);
    EXPECT_EQ(p->maxX(), 5);
    EXPECT_EQ(p->minY(), -3);
    EXPECT_EQ(p->maxY(0), 2);
    EXPECT_EQ(p->maxY(7), 0);
    EXPECT_EQ(p->nextFreeCurveId(), 1);
    // The one-pass extremes agree with the four separate ones.
    EXPECT_EQ(p->extremes(), std::make_pair(AxisRange(-2, 5), AxisRange(-3, 8)));
    // A curve without a finite x still gives its y; an odd last value is no point.
    CurveData noX = curveOf({{NAN, 20}, {INFINITY, -9}});
    noX.values.push_back(-100);
    p->setCurveData(3, noX, false);
    EXPECT_EQ(p->extremes(), std::make_pair(AxisRange(-2, 5), AxisRange(-9, 20)));
    p->removeCurve(3);
    // Infinities and NaN anywhere in a curve never win.
    p->setCurveData(5, curveOf({{NAN, 0}, {3, 0}, {-INFINITY, 0}, {1, 0}, {INFINITY, 0}, {NAN, 0}, {2, 0}}), false);
    EXPECT_EQ(p->minX(5), 1);
    EXPECT_EQ(p->maxX(5), 3);
    p->removeCurve(5);
    Messages m(*p);
    p->setCurveData(4, CurveData(), false);
    EXPECT_TRUE(p->curveExists(ALL_CURVES));
    EXPECT_FALSE(p->curveExists(3));
    EXPECT_FALSE(p->curveExists(4));
    EXPECT_TRUE(m.has(ZEVOVE::ERROR, "Invalid parameter. C4 does not exist."));
    EXPECT_TRUE(m.has(ZEVOVE::ERROR, "Invalid parameter. C5 does not have enough data points."));
}

TEST(CurveSet, ResultPlotLooksLikeItsSource)
{
    QWidget page;
    auto* p = new Plotter(&page, "source");
    p->resize(500, 300);
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), false);
    p->setCurveTitle(0, "zero");
    p->setCurveData(3, curveOf({{0, 0}, {1, 1}}), false);
    p->setCurveTitle(3, "three");
    p->m_fillPlotArea = true;
    p->m_insideColor = Qt::black;
    p->titleLabel()->fontPointSize(24);
    QSignalSpy built(p, &Plotter::newPlotterBuilt);
    Plotter* q = p->clonePlotter("result", 1, 0, true);
    ASSERT_EQ(built.count(), 1);
    EXPECT_EQ(q->parentWidget(), &page);
    EXPECT_EQ(q->objectName(), "result");
    EXPECT_TRUE(q->m_fillPlotArea);
    EXPECT_EQ(q->m_insideColor, QColor(Qt::black));
    EXPECT_EQ(q->titleLabel()->fontPointSize(0), 24);
    EXPECT_TRUE(q->m_logX);
    EXPECT_FALSE(q->m_logY);
    EXPECT_EQ(q->size(), p->size());
    EXPECT_EQ(q->legend()->itemText(3), "three");
    EXPECT_TRUE(q->curves().empty());
}

} // namespace
