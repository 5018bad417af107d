// The legend and the marker table: position words, docking, the context
// menu, renaming, fonts, arrangement and dragging a floating panel.
#include <gtest/gtest.h>

#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "plot/plotdiag.h"
#include "plot_fixture.h"
#include "support/prompts.h"

using namespace plottest;

namespace {

std::unique_ptr<Plotter> plotWithTitles(int n)
{
    auto p = makePlot();
    for (int i = 0; i < n; ++i) {
        p->setCurveData(i, curveOf({{0, double(i)}, {1, double(i + 1)}}), false);
        p->setCurveTitle(i, QString("curve %1").arg(i));
    }
    return p;
}

// The texts of a menu's entries, submenu entries after "name:".
QStringList entries(QMenu& menu)
{
    QStringList t;
    for (QAction* a : menu.actions()) {
        if (a->menu()) {
            for (QAction* s : a->menu()->actions())
                t << a->text() + ":" + s->text();
        } else {
            t << a->text();
        }
    }
    return t;
}

QPoint itemCentre(const PlotDiag& panel, int index)
{
    int x = 0;
    for (int i = 0; i < index; ++i)
        x += panel.item(i)->width();
    return QPoint(x + 5, panel.item(index)->height() / 2);
}

void clickItem(PlotDiag& panel, int index, Qt::MouseButton button)
{
    const QPoint at = itemCentre(panel, index);
    QTest::mousePress(&panel, button, Qt::NoModifier, at);
    QTest::mouseRelease(&panel, button, Qt::NoModifier, at);
}

} // namespace

TEST(Legend, PositionWords)
{
    auto one = plotWithTitles(1);
    EXPECT_EQ(one->setLegendPosition("top", SET), "top");
    EXPECT_TRUE(one->legend()->isHidden()) << "one entry stays hidden";
    one->setLegendPosition("top", SET, true);
    EXPECT_FALSE(one->legend()->isHidden()) << "unless forced";

    auto p = plotWithTitles(2);
    EXPECT_EQ(p->setLegendPosition("top", SET), "top");
    EXPECT_FALSE(p->legend()->isHidden());
    EXPECT_EQ(p->legend()->alignState(), ALIGN_HORIZONTAL);
    EXPECT_EQ(p->setLegendPosition("Left", SET), "top") << "words are case-sensitive";
    EXPECT_EQ(p->setLegendPosition("left", GET), "top") << "a query changes nothing";
    EXPECT_EQ(p->setLegendPosition("left", SET), "left");
    EXPECT_EQ(p->legend()->alignState(), ALIGN_VERTICAL);
    EXPECT_EQ(p->setLegendPosition("off", SET), "off");
    EXPECT_TRUE(p->legend()->isHidden());
    p->legend()->setDockState(DOCK_FLOAT);
    EXPECT_EQ(p->setLegendPosition("nowhere", SET), "");
    EXPECT_EQ(p->legend()->dockState(), DOCK_FLOAT);
    // Through the signature the plot tabs use.
    QString answer;
    ASSERT_TRUE(QMetaObject::invokeMethod(p.get(), "setLegendPosition", Q_RETURN_ARG(QString, answer),
                                          Q_ARG(QString, "bottom"), Q_ARG(int, SET), Q_ARG(bool, true)));
    EXPECT_EQ(answer, "bottom");
}

// Above or below the plot a legend wider than the plot wraps into rows:
// every entry stays inside the plot, none over another.
TEST(Legend, AWideLegendWrapsIntoRows)
{
    auto p = makePlot(600, 400);
    for (int i = 0; i < 10; ++i) {
        p->setCurveData(i, curveOf({{0, double(i)}, {1, double(i + 1)}}), false);
        p->setCurveTitle(i, QString("measured curve %1").arg(i + 1));
    }
    int total = 0;
    for (int i = 0; i < 10; ++i)
        total += p->legend()->item(i)->width();
    ASSERT_GT(total, p->width()) << "one row would not fit";
    for (const char* where : {"bottom", "top"}) {
        SCOPED_TRACE(where);
        p->setLegendPosition(where, SET);
        PlotDiag* legend = p->legend();
        ASSERT_FALSE(legend->isHidden());
        EXPECT_TRUE(p->rect().contains(legend->geometry())) << "legend at " << legend->geometry().x() << " width "
                                                            << legend->width();
        const std::vector<QRect> rects = legend->itemRects();
        ASSERT_EQ(rects.size(), 10u);
        for (std::size_t i = 0; i < rects.size(); ++i) {
            EXPECT_TRUE(legend->rect().contains(rects[i])) << "entry " << i;
            EXPECT_GE(rects[i].width(), legend->item(int(i))->width()) << "entry " << i << " cut";
            for (std::size_t j = i + 1; j < rects.size(); ++j)
                EXPECT_FALSE(rects[i].intersects(rects[j])) << i << " and " << j;
        }
        // Reading order: left to right, then the next row.
        EXPECT_LT(rects[0].left(), rects[1].left());
        EXPECT_GT(rects[9].top(), rects[0].top());
        // The plot area makes room for the rows.
        const QRect area = p->plotArea();
        EXPECT_FALSE(area.intersects(legend->geometry()));
    }
    // Room enough again: one row.
    p->resize(2000, 400);
    p->refreshPixmap();
    EXPECT_EQ(p->legend()->height(), p->legend()->item(0)->height());
}

// Titles that arrive together (a load of many curves) are laid out once,
// when the event loop is free again or the load hands its curves over.
TEST(Legend, TitlesOfOneBatchAreLaidOutOnce)
{
    auto p = makePlot(600, 400);
    p->setLegendPosition("right", SET, true);
    for (int i = 0; i < 300; ++i)
        p->addCurveTitleToBatch(i, QString("c%1").arg(i), true);
    PlotDiag* legend = p->legend();
    ASSERT_EQ(legend->count(), 300);
    EXPECT_EQ(legend->findItem(299)->text(), "c299");
    EXPECT_NE(legend->size(), legend->contentSize()) << "nothing laid out yet";
    QCoreApplication::processEvents();
    EXPECT_EQ(legend->size(), legend->contentSize());
    EXPECT_FALSE(legend->isHidden());

    // Handed over before the event loop ran: laid out at once.
    p->addCurveTitleToBatch(300, QString("a much longer title %1").arg(300), false);
    p->finishTitleBatch(false);
    EXPECT_EQ(legend->size(), legend->contentSize());
}

TEST(Legend, MenusOfferWhatApplies)
{
    auto p = plotWithTitles(2);
    QMenu table;
    p->markerTable()->fillContextMenu(table);
    EXPECT_EQ(entries(table), (QStringList{"Set font", "Docking...:Float", "Close"}));
    p->markerTable()->setDockState(DOCK_FLOAT);
    QMenu floating;
    p->markerTable()->fillContextMenu(floating);
    EXPECT_EQ(entries(floating), (QStringList{"Set font", "Docking...:Embed here", "Docking...:Right", "Close"}));

    p->setLegendPosition("top", SET);
    QMenu legend;
    p->legend()->fillContextMenu(legend);
    EXPECT_EQ(entries(legend),
              (QStringList{"Arrange Vertically", "Arrange Horizontally", "Change text", "Set font", "Docking...:Float",
                           "Docking...:Left", "Docking...:Right", "Docking...:Bottom", "Close"}));
}

TEST(Legend, ClosingTheMarkerTableFromItsMenu)
{
    kro::test::ScriptedPrompts prompts;
    auto p = plotWithTitles(2);
    PlotDiag* table = p->markerTable();
    new LegendItem(table, "Position", Qt::black, 0);
    table->show();
    prompts->answerMenu("Close");
    QTest::mouseClick(table, Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(table->dockState(), DOCK_OFF);
    EXPECT_TRUE(table->isHidden());
}

TEST(Legend, RenamingAnEntry)
{
    kro::test::ScriptedPrompts prompts;
    auto p = plotWithTitles(2);
    p->setLegendPosition("top", SET);
    PlotDiag* legend = p->legend();
    QSignalSpy docked(legend, &PlotDiag::dockChanged);

    // A left click asks at once; symbol codes become their characters.
    prompts->answerText(QString("/alpha decay"));
    clickItem(*legend, 1, Qt::LeftButton);
    EXPECT_EQ(prompts->asked().back().title, "Text Change");
    EXPECT_EQ(legend->itemText(1), QString::fromUtf8("α decay"));
    EXPECT_EQ(docked.size(), 1);

    // A right click asks only through "Change text".
    prompts->answerMenu("");
    clickItem(*legend, 0, Qt::RightButton);
    EXPECT_EQ(legend->itemText(0), "curve 0");
    prompts->answerMenu("Change text");
    prompts->answerText(QString("renamed"));
    clickItem(*legend, 0, Qt::RightButton);
    EXPECT_EQ(legend->itemText(0), "renamed");

    // The marker table never renames.
    PlotDiag* table = p->markerTable();
    new LegendItem(table, "Value", Qt::black, 0);
    table->show();
    clickItem(*table, 0, Qt::LeftButton);
    EXPECT_EQ(table->itemText(0), "Value");
}

TEST(Legend, FontAndArrangement)
{
    kro::test::ScriptedPrompts prompts;
    auto p = plotWithTitles(3);
    p->setLegendPosition("bottom", SET);
    PlotDiag* legend = p->legend();
    QSignalSpy docked(legend, &PlotDiag::dockChanged);
    QFont big("Times", 20);
    prompts->answerFont(big);
    legend->setFont();
    EXPECT_EQ(legend->item(2)->m_font, big);
    EXPECT_EQ(docked.size(), 1);
    EXPECT_EQ(legend->size(), legend->contentSize());

    // Resizing by hand drops the arrangement, so choosing it again applies.
    legend->resize(40, 200);
    EXPECT_EQ(legend->alignState(), ALIGN_NONE);
    legend->realign(ALIGN_HORIZONTAL);
    EXPECT_EQ(legend->alignState(), ALIGN_HORIZONTAL);
    EXPECT_EQ(legend->size(), legend->contentSize());
}

TEST(Legend, DockingColours)
{
    auto p = plotWithTitles(2);
    p->setInsideColor(Qt::yellow);
    p->outsideColor(QColor(Qt::cyan), SET);
    PlotDiag* legend = p->legend();
    legend->setDockState(DOCK_RIGHT);
    EXPECT_EQ(legend->background(), QColor(Qt::cyan));
    EXPECT_EQ(legend->alignState(), ALIGN_VERTICAL);

    legend->setDockState(DOCK_FLOAT);
    legend->setDockState(DOCK_EMBED);
    legend->move(p->marginLeft() + 10, p->marginTop() + 10);
    p->dockLegend(DOCK_EMBED);
    EXPECT_EQ(legend->background(), QColor(Qt::yellow)) << "inside the plot area";
    legend->move(1, 1);
    p->dockLegend(DOCK_EMBED);
    EXPECT_EQ(legend->background(), QColor(Qt::cyan));

    p->markerTable()->setDockState(DOCK_FLOAT);
    EXPECT_EQ(p->markerTable()->background(), QColor(Qt::yellow));

    // Floating: a separate window without title bar; the legend's border
    // can be resized, the marker table's not.
    legend->setDockState(DOCK_FLOAT);
    EXPECT_TRUE(legend->isWindow());
    EXPECT_FALSE(legend->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(legend->windowFlags() & Qt::WindowTitleHint);
    EXPECT_TRUE(p->markerTable()->windowFlags() & Qt::FramelessWindowHint);
}

TEST(Legend, ItemTextColourFollowsBlackAndWhiteBackgrounds)
{
    auto p = plotWithTitles(2);
    PlotDiag* legend = p->legend();
    for (const auto& [back, text] : std::vector<std::pair<QColor, QColor>>{
             {Qt::black, Qt::white}, {Qt::gray, Qt::white}, {Qt::white, Qt::black}, {Qt::gray, Qt::black}}) {
        legend->setBackground(back);
        EXPECT_EQ(legend->item(0)->m_textColor, text) << back.name().toStdString();
    }
}

TEST(Legend, EntriesAddedOnABlackBackgroundAreWhite)
{
    // The dark scheme first, then new legend entries and marker rows.
    auto p = plotWithTitles(2);
    p->legend()->setDockState(DOCK_RIGHT);
    p->outsideColor(QColor(Qt::black), SET);
    p->setCurveData(2, curveOf({{0, 5}, {1, 6}}), false);
    p->setCurveTitle(2, "added later");
    const double x = 0.5;
    p->addVMarker(&x, false);
    p->refreshPixmap();
    for (PlotDiag* panel : {p->legend(), p->markerTable()}) {
        ASSERT_EQ(panel->background(), QColor(Qt::black));
        ASSERT_GT(panel->count(), 2);
        for (int i = 0; i < panel->count(); ++i)
            EXPECT_EQ(panel->item(i)->m_textColor, QColor(Qt::white)) << panel->itemText(panel->item(i)->m_id).toStdString();
    }
}

TEST(Legend, DraggingAFloatingPanelStaysInside)
{
    auto p = plotWithTitles(2);
    p->move(100, 100);
    QApplication::processEvents();
    PlotDiag* legend = p->legend();
    legend->setDockState(DOCK_FLOAT);
    legend->show();
    const QSize size = legend->size();
    const QRect page(p->mapToGlobal(QPoint(0, 0)), p->size());

    legend->dragFloating(page.topLeft() + QPoint(50, 40));
    EXPECT_EQ(legend->pos(), page.topLeft() + QPoint(50, 40));
    legend->dragFloating(QPoint(page.left() - 30, page.top() + 40));
    EXPECT_EQ(legend->geometry().left(), page.left() + 2);
    EXPECT_EQ(legend->size(), size);
    legend->dragFloating(QPoint(page.right() - 5, page.bottom() + 50));
    EXPECT_EQ(legend->geometry().right(), page.right() - 2);
    EXPECT_EQ(legend->geometry().bottom(), page.bottom() - 2);
    EXPECT_EQ(legend->size(), size);
}

TEST(MarkerTable, EmptiedAndPutAwayWhenOnlyHorizontalMarkersRemain)
{
    auto p = plotWithTitles(1);
    const double x = 0.5, y = 0.5;
    p->addVMarker(&x, false);
    p->addHMarker(const_cast<double*>(&y), false);
    p->refreshPixmap();
    PlotDiag* table = p->markerTable();
    ASSERT_FALSE(table->isHidden());
    EXPECT_EQ(table->itemText(0), "Position");
    EXPECT_EQ(table->count(), 4);

    p->removeMarkers(IdArray{1, 1});
    p->refreshPixmap();
    EXPECT_EQ(table->count(), 0) << "no rows of the removed vertical marker stay";
    EXPECT_TRUE(table->isHidden());
    EXPECT_NE(table->dockState(), DOCK_OFF);

    // A new vertical marker shows the table again; one the user closed stays closed.
    p->addVMarker(&x, true);
    EXPECT_FALSE(table->isHidden());
    table->setDockState(DOCK_OFF);
    p->addVMarker(&x, true);
    EXPECT_TRUE(table->isHidden());
}
