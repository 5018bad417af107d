// The arithmetic command builder: the command line each control makes,
// dragging and dropping curves, Ok and Cancel, and the painted curve rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include "analysis/arithdiag.h"

namespace {

std::unique_ptr<ArithDiag> builder(int curves)
{
    std::vector<int> ids;
    std::vector<QColor> colours;
    QStringList titles;
    for (int i = 0; i < curves; ++i) {
        ids.push_back(i);
        colours.push_back(QColor::fromHsv(30 * i, 255, 200));
        titles << QStringLiteral("T%1").arg(i + 1);
    }
    auto d = std::make_unique<ArithDiag>(nullptr, IdArray::fromIds(ids), colours, titles);
    d->show();
    QApplication::processEvents();
    return d;
}

QString command(const ArithDiag& d) { return d.commandEdit()->text(); }

} // namespace

TEST(ArithDiag, ControlsBuildTheCommand)
{
    auto d = builder(3);
    EXPECT_EQ(command(*d), QStringLiteral("add 0.0"));
    EXPECT_TRUE(d->okButton()->isEnabled());

    d->axisButton(0)->click();
    EXPECT_EQ(command(*d), QStringLiteral("addx 0.0"));
    d->axisButton(1)->click();

    // Div with a zero constant makes the constant 1.0.
    d->operationButton(3)->click();
    EXPECT_EQ(d->constantEdit()->text(), QStringLiteral("1.0"));
    EXPECT_EQ(command(*d), QStringLiteral("div 1.0"));
    d->operationButton(0)->click();
    EXPECT_EQ(command(*d), QStringLiteral("add 1.0"));
    // Clicking the selected button again keeps it selected.
    d->operationButton(0)->click();
    EXPECT_TRUE(d->operationButton(0)->isChecked());
    EXPECT_FALSE(d->operationButton(3)->isChecked());

    // Functions: aggregate over all curves, per curve, and back to the constant.
    d->operandButton(1)->click();
    EXPECT_FALSE(d->constantEdit()->isEnabled());
    EXPECT_TRUE(d->functionCombo()->isEnabled());
    EXPECT_EQ(d->functionCombo()->count(), 22);
    EXPECT_EQ(command(*d), QStringLiteral("add max(x)"));
    d->aggregateBox()->click();
    EXPECT_FALSE(d->functionCurvesEdit()->isEnabled());
    EXPECT_EQ(command(*d), QStringLiteral("add max(x, Cj)"));
    d->aggregateBox()->click();
    d->functionCombo()->setCurrentIndex(3);
    Q_EMIT d->functionCombo()->activated(3);
    d->functionCurvesEdit()->setText(QStringLiteral("c1,c3"));
    EXPECT_EQ(command(*d), QStringLiteral("add mean(y, c1 c3)"));
    d->operandButton(0)->click();
    EXPECT_EQ(command(*d), QStringLiteral("add 1.0"));

    // An emptied command line disables Ok until a control rebuilds it.
    d->commandEdit()->setText(QStringLiteral("  "));
    EXPECT_FALSE(d->okButton()->isEnabled());
    d->operationButton(2)->click();
    EXPECT_EQ(command(*d), QStringLiteral("mul 1.0"));
    EXPECT_TRUE(d->okButton()->isEnabled());
}

TEST(ArithDiag, DraggedCurvesAndDrops)
{
    auto d = builder(12);
    ArithDiagCurveList* list = d->curveList();
    ASSERT_EQ(list->count(), 13);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("All Curves"));
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("C2 - T2"));
    list->item(1)->setSelected(true);
    list->item(12)->setSelected(true);
    EXPECT_EQ(list->dragText(), QStringLiteral(" c1  c12 "));
    list->item(0)->setSelected(true);
    EXPECT_EQ(list->dragText(), QStringLiteral("All Curves"));

    d->operandCurvesEdit()->dropCurves(QStringLiteral("All Curves"), 0);
    EXPECT_EQ(d->operandCurvesEdit()->text(), QStringLiteral("All Curves"));
    EXPECT_EQ(command(*d), QStringLiteral("add 0.0"));
    d->operandCurvesEdit()->dropCurves(QStringLiteral(" c2  c12 "), 3);
    EXPECT_EQ(d->operandCurvesEdit()->text(), QStringLiteral("c2 c12"));
    EXPECT_EQ(command(*d), QStringLiteral("add 0.0 c2 c12"));
    d->operandCurvesEdit()->dropCurves(QStringLiteral(" c5 "), 0);
    EXPECT_EQ(command(*d), QStringLiteral("add 0.0 c5 c2 c12"));
}

TEST(ArithDiag, OneCurveHidesTheCurveFieldsAndCloseTellsHow)
{
    auto d = builder(1);
    EXPECT_FALSE(d->curveList()->isVisible());
    EXPECT_FALSE(d->operandCurvesBox()->isVisible());
    EXPECT_FALSE(d->functionCurvesEdit()->isVisible());

    QSignalSpy closed(d.get(), &CommandDialog::closed);
    d->cancelButton()->click();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(d->acceptedCommand());
    d->okButton()->click();
    EXPECT_EQ(closed.count(), 2);
    EXPECT_TRUE(d->acceptedCommand());
    EXPECT_EQ(d->commandText(), QStringLiteral("add 0.0"));
}

TEST(ArithDiag, CurveRowsShowTheirColourSwatch)
{
    auto d = builder(2);
    ArithDiagCurveList* list = d->curveList();
    const QRect row = list->visualItemRect(list->item(1));
    ASSERT_EQ(row.height(), CurveItem::kHeight);
    const QImage img = list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb swatch = QColor::fromHsv(0, 255, 200).rgb();
    // The bar: 20 x 4 pixels at x 5, y 11 of the row, and nowhere else.
    int inside = 0, outside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if ((img.pixel(x, y) & 0xFFFFFF) != (swatch & 0xFFFFFF))
                continue;
            const bool inBar = x >= row.left() + 5 && x < row.left() + 25 && y >= row.top() + 11 && y < row.top() + 15;
            (inBar ? inside : outside)++;
        }
    EXPECT_EQ(inside, 80);
    EXPECT_EQ(outside, 0);
}
