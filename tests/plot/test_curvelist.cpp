// Curve lists: item texts, selection limits, the all-curves item, presses on
// the empty area, the curve panel's colour menu, and the curve selector.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "plot/curvelistbox.h"
#include "support/prompts.h"

namespace {

std::map<int, Rgb> numbers(std::initializer_list<int> keys)
{
    std::map<int, Rgb> m;
    for (int k : keys)
        m[k] = Rgb(0x102030u * quint32(k > 0 ? k : 1));
    return m;
}

QStringList texts(const QListWidget& list)
{
    QStringList t;
    for (int i = 0; i < list.count(); ++i)
        t << list.item(i)->text();
    return t;
}

std::vector<int> selectedRows(const QListWidget& list)
{
    std::vector<int> rows;
    for (int i = 0; i < list.count(); ++i)
        if (list.item(i)->isSelected())
            rows.push_back(i);
    return rows;
}

void click(CurveListBox& list, int row, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const QPoint at = list.visualItemRect(list.item(row)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, mods, at);
}

// A list inside a shown window, so items have geometry.
struct ShownList {
    ShownList(int min, int max, QAbstractItemView::SelectionMode mode = QAbstractItemView::ExtendedSelection)
        : list(&window, min, max)
    {
        list.m_prefix = "Curve";
        list.setSelectionMode(mode);
        window.resize(300, 300);
        list.resize(300, 300);
        window.show();
    }
    QWidget window;
    CurveListBox list;
};

} // namespace

TEST(CurveListBox, ItemTextsFromPrefixAndNumbers)
{
    CurveListBox list(nullptr, 0, -1);
    list.m_prefix = "Curve";
    list.setCurves(numbers({-1, 1, 2}));
    EXPECT_EQ(texts(list), (QStringList{"All Curves", "Curve 1", "Curve 2"}));
    EXPECT_EQ(list.m_itemCount, 3u);

    list.m_prefix = "C";
    list.m_spacedIds = false;
    list.setCurves(numbers({1, 2}));
    EXPECT_EQ(texts(list), (QStringList{"C1", "C2"}));
    EXPECT_TRUE(list.selectedItems().isEmpty()) << "no minimum, nothing chosen";

    // The item colour keeps the 24-bit part of a palette colour.
    list.setCurves({{1, Rgb(0x40FF0000u)}});
    EXPECT_EQ(list.curveItem(0)->m_color, QColor(255, 0, 0));
}

TEST(CurveListBox, DescriptorsOfTheWrongLengthAreRefused)
{
    CurveListBox list(nullptr, 0, -1);
    list.m_descriptors = {"a"};
    try {
        list.setCurves(numbers({1, 2}));
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("CurveListBox descriptors length does not equal item count.", 0), 0u);
    }
    EXPECT_EQ(list.count(), 0);
}

TEST(CurveListBox, OneOfOneMovesTheChoice)
{
    ShownList s(1, 1, QAbstractItemView::SingleSelection);
    s.list.setCurves(numbers({1, 2, 3}));
    EXPECT_EQ(selectedRows(s.list), std::vector<int>{0}) << "a minimum chooses the first item";
    click(s.list, 1);
    EXPECT_EQ(selectedRows(s.list), std::vector<int>{1});
    click(s.list, 1);
    EXPECT_EQ(selectedRows(s.list), std::vector<int>{1}) << "the chosen item stays chosen";
}

TEST(CurveListBox, AboveTheMaximumTheLastClickedItemGivesWay)
{
    ShownList s(1, 2);
    s.list.setCurves(numbers({1, 2, 3, 4}));
    QSignalSpy valid(&s.list, &CurveListBox::selectionValid);
    click(s.list, 1);                      // {1}
    click(s.list, 2, Qt::ControlModifier); // {1, 2}
    click(s.list, 3, Qt::ControlModifier); // 3 chosen: 2, clicked last before, gives way
    EXPECT_EQ(selectedRows(s.list), (std::vector<int>{1, 3}));
    ASSERT_FALSE(valid.isEmpty());
    EXPECT_TRUE(valid.last().at(0).toBool());

    // The minimum keeps one item chosen.
    click(s.list, 3, Qt::ControlModifier);
    click(s.list, 1, Qt::ControlModifier);
    EXPECT_EQ(selectedRows(s.list), std::vector<int>{1});

    // A refill forgets the item clicked last, whose row is gone: a range
    // chosen above the maximum is reported, and nothing else is deselected.
    for (int refill = 0; refill < 2; ++refill) {
        if (refill == 0)
            s.list.setCurves(numbers({5, 6, 7, 8}));
        else
            s.list.setTexts({"a", "b", "c", "d"});
        s.list.setCurrentRow(0);
        click(s.list, 3, Qt::ShiftModifier);
        EXPECT_EQ(selectedRows(s.list), (std::vector<int>{0, 1, 2, 3})) << refill;
        EXPECT_FALSE(valid.last().at(0).toBool()) << refill;
        click(s.list, 3, Qt::ControlModifier);
        click(s.list, 2, Qt::ControlModifier);
        EXPECT_EQ(selectedRows(s.list), (std::vector<int>{0, 1})) << refill;
    }
}

TEST(CurveListBox, AllCurvesItemGivesIdZeroAndEmptyPressesKeepTheChoice)
{
    ShownList s(1, -1);
    s.list.setCurves(numbers({-1, 1, 2}));
    click(s.list, 2, Qt::ControlModifier);
    EXPECT_EQ(s.list.selectedIds(), (std::vector<int>{0, 2}));

    const QPoint below(10, s.list.viewport()->height() - 3);
    ASSERT_EQ(s.list.itemAt(below), nullptr);
    QTest::mouseClick(s.list.viewport(), Qt::LeftButton, Qt::NoModifier, below);
    EXPECT_EQ(s.list.selectedIds(), (std::vector<int>{0, 2}));
}

TEST(CurveIDPanel, MenuChoicesReachThePlotByCurveId)
{
    kro::test::ScriptedPrompts prompts;
    QWidget window;
    CurveIDPanel panel(&window);
    panel.m_prefix = "C";
    panel.m_spacedIds = false;
    panel.setCurves({{1, Rgb(0xFF0000u)}, {2, Rgb(0x00FF00u)}});
    QSignalSpy shape(&panel, &CurveIDPanel::shape_color_selected);
    QSignalSpy fill(&panel, &CurveIDPanel::fill_color_selected);
    QSignalSpy shapes(&panel, &CurveIDPanel::point_shape_selected);

    auto openMenu = [&](const QString& entry, std::optional<std::optional<QColor>> colour = std::nullopt) {
        prompts->answerMenu(entry);
        if (colour)
            prompts->answerColor(*colour);
        panel.slot_panel_clicked(2, panel.item(1), QPoint());
    };
    openMenu("Set point shape color...", QColor(0, 0, 255));
    ASSERT_EQ(shape.size(), 1);
    EXPECT_EQ(shape.at(0).at(0).toInt(), 1) << "the id is the curve number - 1";
    EXPECT_EQ(shape.at(0).at(1).value<Rgb>().value, 0x0000FFu);

    // A cancelled dialog emits nothing. The dialog of a curve starts from
    // its line colour, later from the colour chosen for it.
    openMenu("Set point shape color...", std::optional<QColor>());
    EXPECT_EQ(shape.size(), 1);
    EXPECT_EQ(panel.m_shapeColors.at(1).value, 0x0000FFu);
    prompts->answerMenu("Set point shape color...");
    prompts->answerColor(std::nullopt);
    panel.slot_panel_clicked(2, panel.item(0), QPoint());
    EXPECT_EQ(panel.m_shapeColors.at(0).value, 0xFF0000u);
    openMenu("Set point fill color...", QColor(1, 2, 3));
    EXPECT_EQ(fill.at(0).at(1).value<Rgb>().value, 0x010203u);

    // The plot refills the panel on every redraw, also while a menu is open.
    prompts->answerMenu("Hexagon");
    panel.slot_panel_clicked(2, panel.item(1), QPoint());
    panel.setCurves({{1, Rgb(0xFF0000u)}, {2, Rgb(0x00FF00u)}});
    panel.setPointShape_square_menu_slot();
    ASSERT_EQ(shapes.size(), 2);
    EXPECT_EQ(shapes.at(1).at(0).toInt(), 1);
    EXPECT_EQ(shapes.at(0).at(1).value<Zavozi::CurveAttributes::PointStyle>(), Zavozi::CurveAttributes::HEXAGON);
    EXPECT_EQ(panel.m_shapeColors.at(1).value, 0x0000FFu);
}

TEST(CurveSelector, OkFollowsTheMinimum)
{
    CurveSelector two(nullptr, "Curve", 2, 2);
    two.list()->setCurves(numbers({1, 2, 3}));
    EXPECT_FALSE(two.okButton()->isEnabled());
    CurveSelector one(nullptr, "Curve", 1, -1);
    EXPECT_TRUE(one.okButton()->isEnabled());
}
