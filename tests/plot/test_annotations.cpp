// Annotations of a plot: custom labels with their table, arrows with theirs.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>

#include <algorithm>
#include <stdexcept>

#include "../support/prompts.h"
#include "mouse_helpers.h"
#include "plot/actionlabel.h"
#include "plot/arrowtable.h"
#include "plot/annotationcells.h"
#include "plot/labeldesigner.h"
#include "plot/labeler.h"
#include "plot/linewidget.h"
#include "plot_fixture.h"

using namespace plottest;

namespace {

const QRgb kArrowInk = qRgb(10, 10, 10);
// A colour nothing else of a plot is drawn in.
const QRgb kMark = qRgb(1, 160, 70);
// The plot area of annotatedPlot().
const QRect kArea(100, 40, 600 - 100 - 40, 400 - 40 - 60);

// A 600 x 400 plot whose plot area starts at (100, 40), with one curve.
std::unique_ptr<Plotter> annotatedPlot()
{
    auto p = makePlot(600, 400);
    p->setCurveData(0, curveOf({{0, 0}, {10, 10}}), false);
    setGeometry(*p, 100, 40, 40, 60, {0, 10}, {0, 10});
    return p;
}

QImage shot(Plotter& p)
{
    QApplication::processEvents();
    return p.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Heights of the arrow's ink in the columns x (arrow heads are tall).
int inkHeightAt(const QImage& img, int x)
{
    const QRect box = boundsOf(img, QRect(x, kArea.top(), 1, kArea.height()), kArrowInk);
    return box.isNull() ? 0 : box.height();
}

template <typename W>
W* arrowCell(ArrowTable& t, int row, const char* header)
{
    return qobject_cast<W*>(t.cell(row, QString::fromLatin1(header)));
}

// ---------------------------------------------------------------------------
// Arrows

TEST(Arrows, ANewArrowRunsFromTheMiddleToTheRightWithOneHead)
{
    auto p = annotatedPlot();
    p->addArrow();
    ArrowTable* t = p->arrowTable();
    ASSERT_NE(t, nullptr);
    EXPECT_FALSE(t->isVisible());
    EXPECT_EQ(t->windowTitle(), "Arrow Table");
    EXPECT_EQ(t->parent(), nullptr);
    ASSERT_EQ(t->rowCount(), 1);
    EXPECT_EQ(t->headPoint(0), QPoint(300, 200));
    EXPECT_EQ(t->tailPoint(0), QPoint(450, 200));
    EXPECT_FALSE(t->arrowHeadEnabled(0));
    EXPECT_TRUE(t->arrowTailEnabled(0));
    EXPECT_EQ(arrowCell<QLineEdit>(*t, 0, "Text")->text(), "Arrow text");

    ASSERT_EQ(t->m_arrows.size(), 1u);
    ArrowWidget* a = t->m_arrows[0];
    EXPECT_EQ(a->m_number, 0);
    EXPECT_EQ(a->parentWidget(), p.get());
    EXPECT_TRUE(a->m_caption.isEmpty());
    EXPECT_EQ(a->geometry(), QRect(100, 40, 600 - 100 - 40, 400 - 40 - 60));

    const QImage img = shot(*p);
    const QRect ink = boundsOf(img, kArea, kArrowInk);
    EXPECT_NEAR(ink.left(), 300, 1);
    EXPECT_NEAR(ink.right(), 450, 2);
    EXPECT_NEAR(ink.center().y(), 200, 1);
    // One head, at the tail end.
    EXPECT_GE(inkHeightAt(img, 440), 6);
    EXPECT_LE(inkHeightAt(img, 310), 2);
}

TEST(Arrows, TableCellsEditTheArrow)
{
    auto p = annotatedPlot();
    p->addArrow();
    ArrowTable& t = *p->arrowTable();
    ArrowWidget* a = t.m_arrows[0];

    arrowCell<QLineEdit>(t, 0, "Text")->setText("/alpha rises");
    EXPECT_EQ(a->m_caption, QString(QChar(0x03B1)) + " rises");

    arrowCell<QCheckBox>(t, 0, "Text Rotation")->click();
    EXPECT_TRUE(a->m_rotateText);
    arrowCell<QCheckBox>(t, 0, "Text Frame")->click();
    EXPECT_TRUE(a->m_textFrame);

    // Line width 1 to 80, font size 2 to 80.
    struct Spin {
        const char* header;
        int set, expected;
    };
    for (const Spin& s : {Spin{"Line width", 0, 1}, Spin{"Line width", 99, 80}, Spin{"Line width", 4, 4},
                          Spin{"Font Size", 1, 2}, Spin{"Font Size", 81, 80}, Spin{"Font Size", 20, 20}}) {
        arrowCell<QSpinBox>(t, 0, s.header)->setValue(s.set);
        EXPECT_EQ(arrowCell<QSpinBox>(t, 0, s.header)->value(), s.expected) << s.header << " " << s.set;
    }
    EXPECT_EQ(a->m_lineWidth, 4);
    EXPECT_EQ(a->font().pointSize(), 20);
    EXPECT_TRUE(a->font().italic());

    // Head at both ends, only at the head end, at neither.
    arrowCell<QCheckBox>(t, 0, "Arrow Head")->click();
    EXPECT_TRUE(a->m_headAtP1 && a->m_headAtP2);
    arrowCell<QCheckBox>(t, 0, "Arrow Tail")->click();
    EXPECT_TRUE(a->m_headAtP1 && !a->m_headAtP2);
    arrowCell<QCheckBox>(t, 0, "Arrow Head")->click();
    EXPECT_FALSE(a->m_headAtP1 || a->m_headAtP2);

    // Positions are plot pixels; the arrow keeps them relative to the
    // plot area's corner.
    arrowCell<QSpinBox>(t, 0, "X Head")->setValue(150);
    arrowCell<QSpinBox>(t, 0, "Y Tail")->setValue(100);
    EXPECT_EQ(a->m_p1, QPoint(50, 160));
    EXPECT_EQ(a->m_p2, QPoint(350, 60));
    // Far outside the plot, the boxes hold the plot's edge.
    arrowCell<QSpinBox>(t, 0, "X Tail")->setValue(100000);
    EXPECT_EQ(t.tailPoint(0).x(), 600);
}

TEST(Arrows, HeadsAtBothEndsAndPlainLinesInThePicture)
{
    auto p = annotatedPlot();
    p->addArrow();
    ArrowTable& t = *p->arrowTable();
    arrowCell<QCheckBox>(t, 0, "Arrow Head")->click();
    QImage img = shot(*p);
    EXPECT_GE(inkHeightAt(img, 310), 6);
    EXPECT_GE(inkHeightAt(img, 440), 6);
    arrowCell<QCheckBox>(t, 0, "Arrow Head")->click();
    arrowCell<QCheckBox>(t, 0, "Arrow Tail")->click();
    img = shot(*p);
    EXPECT_LE(inkHeightAt(img, 310), 2);
    EXPECT_LE(inkHeightAt(img, 440), 2);
    EXPECT_GT(inkHeightAt(img, 375), 0);
}

TEST(Arrows, NothingIsDrawnOutsideThePlotArea)
{
    auto p = annotatedPlot();
    p->addArrow();
    ArrowTable& t = *p->arrowTable();
    t.m_arrows[0]->m_color = QColor(kMark);
    struct Ends {
        QPoint head, tail;
    };
    for (const Ends& e : {Ends{{0, 0}, {600, 400}}, Ends{{590, 10}, {10, 390}}, Ends{{250, 250}, {250, 250}}}) {
        arrowCell<QSpinBox>(t, 0, "X Head")->setValue(e.head.x());
        arrowCell<QSpinBox>(t, 0, "Y Head")->setValue(e.head.y());
        arrowCell<QSpinBox>(t, 0, "X Tail")->setValue(e.tail.x());
        arrowCell<QSpinBox>(t, 0, "Y Tail")->setValue(e.tail.y());
        arrowCell<QSpinBox>(t, 0, "Line width")->setValue(9);
        const QImage img = shot(*p);
        const QRect ink = boundsOf(img, img.rect(), kMark);
        EXPECT_FALSE(ink.isNull());
        EXPECT_TRUE(kArea.contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width() << "x"
                                                        << ink.height();
    }
}

TEST(Arrows, DraggingAnEndWritesThePositionsBack)
{
    auto p = annotatedPlot();
    p->addArrow();
    ArrowTable& t = *p->arrowTable();
    ArrowWidget* a = t.m_arrows[0];
    QSignalSpy released(a, &LineWidget::releaseEvent);
    drag(*p, {445, 200}, {500, 120}, 3);
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(t.headPoint(0), QPoint(300, 200));
    EXPECT_EQ(t.tailPoint(0), QPoint(500, 120));
    // The arrow stays where it was dropped.
    EXPECT_EQ(a->m_p1, QPoint(200, 160));
    EXPECT_EQ(a->m_p2, QPoint(400, 80));
    const QImage img = shot(*p);
    const QRect ink = boundsOf(img, kArea, kArrowInk);
    EXPECT_NEAR(ink.right(), 500, 2);
    EXPECT_NEAR(ink.top(), 120, 2);
}

TEST(Arrows, DeletingARowRenumbersTheArrows)
{
    auto p = annotatedPlot();
    for (int i = 0; i < 3; ++i)
        p->addArrow();
    ArrowTable& t = *p->arrowTable();
    ASSERT_EQ(t.rowCount(), 3);
    arrowCell<QLineEdit>(t, 1, "Text")->setText("one");
    arrowCell<QLineEdit>(t, 2, "Text")->setText("two");
    ArrowWidget* second = t.m_arrows[1];
    ArrowWidget* third = t.m_arrows[2];

    arrowCell<QPushButton>(t, 0, "")->click();
    ASSERT_EQ(t.rowCount(), 2);
    ASSERT_EQ(t.m_arrows.size(), 2u);
    EXPECT_EQ(t.m_arrows[0], second);
    EXPECT_EQ(t.m_arrows[1], third);
    EXPECT_EQ(second->m_number, 0);
    EXPECT_EQ(third->m_number, 1);
    EXPECT_EQ(p->findChildren<ArrowWidget*>().size(), 2);
    // The rows still edit their own arrows.
    arrowCell<QLineEdit>(t, 1, "Text")->setText("two, edited");
    EXPECT_EQ(third->m_caption, "two, edited");
    EXPECT_EQ(second->m_caption, "one");

    // "Customize..." opens the table at the arrow's row.
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMenu("Customize...");
        click(*p, {375, 200}, Qt::RightButton);
    }
    EXPECT_TRUE(t.isVisible());
    EXPECT_EQ(arrowCell<QLineEdit>(t, 1, "Text")->selectedText(), "two, edited");
    EXPECT_FALSE(arrowCell<QLineEdit>(t, 0, "Text")->hasSelectedText());
}

TEST(Arrows, ColumnsAreFoundByTheirHeadersWhereverTheUserPutsThem)
{
    auto p = annotatedPlot();
    p->addArrow();
    ArrowTable& t = *p->arrowTable();
    t.horizontalHeader()->moveSection(3, 0);
    t.horizontalHeader()->moveSection(12, 1);
    EXPECT_EQ(t.columnOf("line width"), 3);
    EXPECT_EQ(t.columnOf("LINE WIDTH"), 3);
    arrowCell<QSpinBox>(t, 0, "Line width")->setValue(7);
    EXPECT_EQ(t.m_arrows[0]->m_lineWidth, 7);
    try {
        t.columnOf("Nothing");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Entry column not found in ArrowTable.");
    }
    // The Delete button found the same way.
    p->addArrow();
    arrowCell<QPushButton>(t, 1, "")->click();
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_EQ(t.m_arrows.size(), 1u);
}

TEST(Arrows, ColourDialogAndContextMenu)
{
    auto p = annotatedPlot();
    p->addArrow();
    ArrowTable& t = *p->arrowTable();
    t.show();
    auto* swatch = arrowCell<ColorSwatch>(t, 0, "Color");
    ASSERT_NE(swatch, nullptr);
    EXPECT_EQ(swatch->color(), QColor(kArrowInk));
    kro::test::ScriptedPrompts prompts;
    prompts->answerColor(std::nullopt);
    QTest::mouseDClick(swatch, Qt::LeftButton);
    EXPECT_EQ(t.m_arrows[0]->m_color, QColor(kArrowInk));
    prompts->answerColor(QColor(220, 0, 0));
    QTest::mouseDClick(swatch, Qt::LeftButton);
    EXPECT_EQ(t.m_arrows[0]->m_color, QColor(220, 0, 0));
    EXPECT_EQ(arrowCell<ColorSwatch>(t, 0, "Color")->color(), QColor(220, 0, 0));
    const QImage img = shot(*p);
    EXPECT_GT(countColour(img, QRect(300, 190, 151, 21), qRgb(220, 0, 0)), 100);

    // "Add row" adds an arrow like the toolbox button; dismissing adds none.
    prompts->answerMenu("Add row");
    QMetaObject::invokeMethod(&t, "contextMenu", Q_ARG(int, 0), Q_ARG(int, 0), Q_ARG(QPoint, QPoint()));
    prompts->answerMenu("");
    QMetaObject::invokeMethod(&t, "contextMenu", Q_ARG(int, 0), Q_ARG(int, 0), Q_ARG(QPoint, QPoint()));
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.m_arrows.size(), 2u);
    EXPECT_EQ(t.m_arrows[1]->m_number, 1);
    EXPECT_TRUE(t.m_arrows[1]->isVisible());
}

TEST(Arrows, ClearingThePlotRemovesTheTableAndItsArrows)
{
    auto p = annotatedPlot();
    p->addArrow();
    p->addArrow();
    p->clearAll();
    EXPECT_EQ(p->arrowTable(), nullptr);
    EXPECT_TRUE(p->findChildren<ArrowWidget*>().isEmpty());
    p->addArrow();
    EXPECT_EQ(p->arrowTable()->rowCount(), 1);
    EXPECT_EQ(p->arrowTable()->m_arrows[0]->m_number, 0);
}

// ---------------------------------------------------------------------------
// Arrows and custom labels stay on their pixels while the view changes, and
// move with the plot area's corner when the margins change.

TEST(Annotations, StayInPlaceThroughZoomPanResizeAndUndo)
{
    auto p = annotatedPlot();
    p->addArrow();
    p->arrowTable()->m_arrows[0]->m_color = QColor(kMark);
    p->showLabeler();
    p->labeler()->xBox(0)->setValue(150);
    p->labeler()->yBox(0)->setValue(80);
    ActionLabel* label = p->customLabel(0);
    label->setText("note");
    const QImage before = shot(*p);
    const QRect arrowInk = boundsOf(before, before.rect(), kMark);
    const QPoint labelAt = label->pos();

    p->zoomToRect(QRect(QPoint(150, 100), QPoint(400, 300)), true);
    p->panBy(30, -20, QPoint());
    p->resize(800, 520);
    p->undo();
    p->refreshPixmap();
    const QImage after = shot(*p);
    EXPECT_EQ(p->m_marginLeft, p->arrowTable()->m_arrows[0]->m_origin.x());
    EXPECT_EQ(boundsOf(after, after.rect(), kMark).translated(-p->m_marginLeft, -p->m_marginTop),
              arrowInk.translated(-100, -40));
    EXPECT_EQ(label->pos(), labelAt);
    // The arrow's widget covers the larger plot area.
    EXPECT_EQ(p->arrowTable()->m_arrows[0]->size(),
              QSize(800 - p->m_marginLeft - p->m_marginRight, 520 - p->m_marginTop - p->m_marginBottom));
}

TEST(Annotations, ArrowsMoveWithThePlotAreaCorner)
{
    auto p = annotatedPlot();
    p->addArrow();
    ArrowTable& t = *p->arrowTable();
    ArrowWidget* a = t.m_arrows[0];
    const QPoint p1 = a->m_p1, p2 = a->m_p2;
    // A larger title takes more room at the top.
    p->refreshPixmap();
    const int topBefore = p->m_marginTop;
    p->titleLabel()->setFont(QFont("Times", 40, QFont::Bold));
    p->title("Tall title", SET);
    ASSERT_GT(p->m_marginTop, topBefore);
    EXPECT_EQ(a->pos(), QPoint(p->m_marginLeft, p->m_marginTop));
    EXPECT_EQ(a->m_origin, a->pos());
    EXPECT_EQ(a->m_p1, p1);
    EXPECT_EQ(a->m_p2, p2);
    EXPECT_EQ(t.headPoint(0), QPoint(300, 200));
    EXPECT_EQ(a->size(), QSize(p->width() - p->m_marginLeft - p->m_marginRight,
                               p->height() - p->m_marginTop - p->m_marginBottom));
}

// ---------------------------------------------------------------------------
// Custom labels

TEST(CustomLabels, ANewTableHasOneRowAndNoLabelYet)
{
    auto p = annotatedPlot();
    p->showLabeler();
    Labeler* t = p->labeler();
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->isVisible());
    EXPECT_EQ(t->parent(), nullptr);
    EXPECT_EQ(t->windowTitle(), "Custom Labels");
    ASSERT_EQ(t->rowCount(), 1);
    EXPECT_EQ(t->item(0, Labeler::TextColumn)->text(), "Click to open editor");
    EXPECT_EQ(t->rowPosition(0), QPoint(300, 200));
    EXPECT_EQ(t->rowColor(0), QColor(255, 255, 255));
    EXPECT_TRUE(t->isColumnHidden(Labeler::IdColumn));
    EXPECT_TRUE(p->m_customLabels.empty());
    // A second call shows the same table.
    p->showLabeler();
    EXPECT_EQ(p->labeler(), t);
}

TEST(CustomLabels, PositionBoxesCreateAndMoveTheLabel)
{
    auto p = annotatedPlot();
    p->showLabeler();
    Labeler* t = p->labeler();
    t->xBox(0)->setValue(120);
    ASSERT_EQ(p->m_customLabels.size(), 1u);
    ActionLabel* label = p->m_customLabels[0];
    EXPECT_EQ(label->id(), 0);
    EXPECT_EQ(label->parentWidget(), p.get());
    EXPECT_EQ(label->pos(), QPoint(120, 200));
    EXPECT_TRUE(label->isVisible());
    EXPECT_TRUE(label->isMovable() && label->isDetachable() && label->isEditable());
    t->yBox(0)->setValue(60);
    EXPECT_EQ(label->pos(), QPoint(120, 60));
    EXPECT_EQ(p->m_customLabels.size(), 1u);
}

TEST(CustomLabels, DraggingTheLabelWritesItsPositionBack)
{
    auto p = annotatedPlot();
    p->showLabeler();
    Labeler* t = p->labeler();
    t->xBox(0)->setValue(200);
    ActionLabel* label = p->customLabel(0);
    label->setText("drag me");
    QSignalSpy changed(t, &Labeler::itemChanged);
    const QPoint grab = label->geometry().center();
    // The label's corner follows the pointer.
    drag(*p, grab, grab + QPoint(40, -30), 3);
    const QPoint dropped = grab + QPoint(40, -30);
    EXPECT_EQ(label->pos(), dropped);
    EXPECT_EQ(t->rowPosition(0), dropped);
    EXPECT_EQ(changed.count(), 0);
    // Beyond the boxes' range they show the limit; the label stays put.
    Q_EMIT label->labelMoveEvent(QPoint(900, -5));
    EXPECT_EQ(t->rowPosition(0), QPoint(600, 0));
    EXPECT_EQ(label->pos(), dropped);
}

TEST(CustomLabels, TheTableShowsAShortFormOfTheText)
{
    auto p = annotatedPlot();
    p->showLabeler();
    ActionLabel* label = p->customLabel(0);
    struct Case {
        QString text, shown;
    };
    const QString forty = "abcdefghij0123456789ABCDEFGHIJklmnopqrst";
    const Case cases[] = {
        {forty, forty.left(30) + "..."},
        {"two<br />lines", "two lines"},
        {"exactly thirty characters here", "exactly thirty characters here"},
        {QString(10000, 'w'), QString(30, 'w') + "..."},
        {"/alpha", QString(QChar(0x03B1))},
    };
    for (const Case& c : cases) {
        label->setText(c.text);
        Q_EMIT label->textSet(c.text);
        EXPECT_EQ(p->labeler()->item(0, Labeler::TextColumn)->text(), c.shown) << c.text.left(40).toStdString();
    }
}

TEST(CustomLabels, TheTextCellOpensTheLabelsDesigner)
{
    auto p = annotatedPlot();
    p->showLabeler();
    Labeler* t = p->labeler();
    // A real click on the text cell, even after the user moved the columns
    // around (the hidden number column included).
    t->horizontalHeader()->moveSection(Labeler::TextColumn, 3);
    t->horizontalHeader()->moveSection(Labeler::IdColumn, 0);
    t->resize(700, 200);
    QApplication::processEvents();
    const QRect cell = t->visualRect(t->model()->index(0, Labeler::TextColumn));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(p->m_customLabels.size(), 1u);
    ActionLabel* label = p->m_customLabels[0];
    LabelDesigner* d = label->designer();
    EXPECT_TRUE(d->isVisible());
    d->editor()->setPlainText("Peak /beta");
    QMetaObject::invokeMethod(d, "on_done");
    EXPECT_EQ(label->plainText(), "Peak " + QString(QChar(0x03B2)));
    EXPECT_EQ(t->item(0, Labeler::TextColumn)->text(), "Peak " + QString(QChar(0x03B2)));
    EXPECT_EQ(label->pos(), QPoint(300, 200));
}

TEST(CustomLabels, FillColourFromTheColourCell)
{
    auto p = annotatedPlot();
    p->showLabeler();
    Labeler* t = p->labeler();
    t->xBox(0)->setValue(150);
    ActionLabel* label = p->customLabel(0);
    label->setText("<b>filled</b>");
    auto* swatch = qobject_cast<ColorSwatch*>(t->cellWidget(0, Labeler::ColorColumn));
    ASSERT_NE(swatch, nullptr);
    kro::test::ScriptedPrompts prompts;
    prompts->answerColor(std::nullopt);
    QTest::mouseClick(swatch, Qt::LeftButton);
    EXPECT_EQ(t->rowColor(0), QColor(Qt::white));
    prompts->answerColor(QColor(250, 230, 0));
    QTest::mouseClick(swatch, Qt::LeftButton);
    EXPECT_EQ(t->rowColor(0), QColor(250, 230, 0));
    EXPECT_EQ(t->m_changeKind, Labeler::ColorChange);
    // The swatch: the colour inside a two-pixel grey frame.
    const QImage cellPicture = swatch->grab().toImage();
    EXPECT_EQ(QColor(cellPicture.pixel(0, 0)), QColor(180, 180, 180));
    EXPECT_EQ(QColor(cellPicture.pixel(cellPicture.width() / 2, cellPicture.height() / 2)), QColor(250, 230, 0));
    // The label shows the colour behind its text, where it stands.
    const QImage img = shot(*p);
    const QRect fill = boundsOf(img, img.rect(), qRgb(250, 230, 0));
    EXPECT_EQ(fill, label->geometry());
}

TEST(CustomLabels, DeletingRowsAndLabels)
{
    auto p = annotatedPlot();
    p->showLabeler();
    Labeler* t = p->labeler();
    t->addRow();
    t->addRow();
    for (int r = 0; r < 3; ++r)
        t->xBox(r)->setValue(100 + 50 * r);
    ASSERT_EQ(p->m_customLabels.size(), 3u);
    QSignalSpy deleted(t, &Labeler::labelDeleteReq);
    qobject_cast<QPushButton*>(t->cellWidget(0, Labeler::DeleteColumn))->click();
    ASSERT_EQ(deleted.count(), 1);
    EXPECT_EQ(deleted[0][0].toInt(), 0);
    ASSERT_EQ(t->rowCount(), 2);
    EXPECT_EQ(t->rowId(0), 1);
    EXPECT_EQ(t->rowId(1), 2);
    ASSERT_EQ(p->m_customLabels.size(), 2u);
    EXPECT_EQ(p->m_customLabels[0]->id(), 1);
    const QList<ActionLabel*> all = p->findChildren<ActionLabel*>();
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](ActionLabel* l) { return l->id() == 0; }), 0);
    t->addRow();
    EXPECT_EQ(t->rowId(2), 3);
    EXPECT_EQ(t->rowOfId(0), -1);
    EXPECT_EQ(t->rowOfId(3), 2);
    // The remaining rows still move their own labels.
    t->yBox(1)->setValue(33);
    EXPECT_EQ(p->customLabel(2)->pos(), QPoint(200, 33));
}

TEST(CustomLabels, ClearingThePlotKeepsTheLabels)
{
    auto p = annotatedPlot();
    p->showLabeler();
    p->labeler()->xBox(0)->setValue(111);
    ActionLabel* label = p->customLabel(0);
    p->clearAll();
    EXPECT_EQ(p->labeler(), nullptr);
    ASSERT_EQ(p->m_customLabels.size(), 1u);
    EXPECT_EQ(p->m_customLabels[0], label);
    EXPECT_EQ(label->pos(), QPoint(111, 200));
    // A new table's row 0 takes the remaining label over.
    p->showLabeler();
    p->labeler()->yBox(0)->setValue(50);
    EXPECT_EQ(p->m_customLabels.size(), 1u);
    EXPECT_EQ(label->pos(), QPoint(300, 50));
}

} // namespace

// ---------------------------------------------------------------------------
// What the screen shows: the window's backing store, not a fresh rendering.

namespace {
QImage onScreen(QWidget& w)
{
    QApplication::processEvents();
    QWidget* top = w.window();
    const QPixmap all = top->screen()->grabWindow(top->winId());
    return all.toImage().convertToFormat(QImage::Format_RGB32).copy(QRect(w.mapTo(top, QPoint()), w.size()));
}
} // namespace

TEST(Annotations, DraggingAnArrowAcrossALabelLeavesNoStrokesBehind)
{
    for (bool labelFirst : {true, false}) {
        auto p = annotatedPlot();
        if (!labelFirst)
            p->addArrow();
        p->showLabeler();
        p->labeler()->hide();
        // A wide filled label right across the arrow's line at y = 200.
        p->labeler()->xBox(0)->setValue(330);
        p->labeler()->yBox(0)->setValue(185);
        ActionLabel* label = p->customLabel(0);
        label->setText("<b>a label the arrow crosses</b>");
        if (labelFirst)
            p->addArrow();
        ArrowWidget* a = p->arrowTable()->m_arrows[0];
        a->m_lineWidth = 3;
        a->m_color = QColor(kMark);
        a->refresh();
        ASSERT_TRUE(a->geometry().intersects(label->geometry()));
        QImage img = onScreen(*p);
        if (labelFirst) {
            ASSERT_GT(countColour(img, label->geometry(), kMark), 0) << "the arrow is drawn over the label";
        }

        // Drag the whole arrow by its middle up above the label, then down
        // through it and out below; then one end across it.
        QPoint at(375, 200);
        approach(*p, at);
        press(*p, at);
        for (const QPoint step : {QPoint(0, -7), QPoint(0, 9), QPoint(3, 11)}) {
            for (int i = 0; i < 12; ++i) {
                at += step;
                moveTo(*p, at);
                if (i % 3 == 0)
                    QApplication::processEvents();
            }
        }
        release(*p, at);
        QApplication::processEvents();
        const QPoint end = a->mapTo(p.get(), a->m_p2);
        approach(*p, end);
        press(*p, end);
        for (int i = 1; i <= 10; ++i)
            moveTo(*p, end + QPoint(-8 * i, -14 * i));
        for (int i = 9; i >= 0; --i)
            moveTo(*p, end + QPoint(-80, -14 * i));
        release(*p, end + QPoint(-80, 0));
        img = onScreen(*p);
        if (const QString out = qEnvironmentVariable("KRO_PICTURES"); !out.isEmpty())
            img.save(QStringLiteral("%1/arrow-drag-%2.png").arg(out).arg(labelFirst));
        const QRect box = label->geometry();
        EXPECT_EQ(countColour(img, box, kMark), 0) << "stale arrow strokes in the label, label first: " << labelFirst;
        // The screen agrees with a fresh rendering everywhere.
        const QImage fresh = shot(*p);
        int differing = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                differing += img.pixel(x, y) != fresh.pixel(x, y);
        EXPECT_EQ(differing, 0) << "label first: " << labelFirst;
    }
}
