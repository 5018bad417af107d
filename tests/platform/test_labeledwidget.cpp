#include <gtest/gtest.h>

#include "support/qtprinters.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "platform/labeledwidget.h"
#include "support/prompts.h"

TEST(LabeledRadioOpts, NoneOnReadsMinusOneAndTheTwoOptionFlagFollowsTheId)
{
    struct Row {
        int options;
        int turnOn;  // -1: none
        int number;
        bool flag;
    };
    const Row rows[] = {
        {2, -1, -1, true}, {2, 0, 0, false}, {2, 1, 1, true},
        {3, -1, -1, false}, {3, 1, 1, false}, {3, 2, 2, false},
    };
    for (const Row& r : rows) {
        LabeledRadioOpts radio("Choice");
        QStringList opts;
        for (int i = 0; i < r.options; ++i)
            opts << QString("opt%1").arg(i);
        radio.setOptions(opts);
        if (r.turnOn >= 0)
            radio.setValue(r.turnOn);
        const LabeledValue v = radio.value();
        EXPECT_EQ(v.number, r.number) << r.options << " options, on " << r.turnOn;
        EXPECT_EQ(v.flag, r.flag) << r.options << " options, on " << r.turnOn;
    }
}

TEST(LabeledRadioOpts, SelectReachesOnlyIdsZeroAndOneAndUnknownIdsChangeNothing)
{
    LabeledRadioOpts radio("Choice");
    radio.setOptions({"a", "b", "c"}, 2);
    radio.setValue(2);
    radio.select(true);
    EXPECT_EQ(radio.value().number, 1);
    radio.select(false);
    EXPECT_EQ(radio.value().number, 0);
    radio.setValue(7);
    EXPECT_EQ(radio.value().number, 0);
}

TEST(LabeledCheckOpts, MaskCoversOnlyExistingBoxesUpToBitThirty)
{
    struct Row {
        int boxes;
        int mask;
        int readBack;
    };
    const Row rows[] = {
        {3, 0b101, 0b101},
        {3, 0b11111, 0b111},           // bits beyond the boxes are ignored
        {3, 0, 0},                     // a mask of 0 clears every box
        {32, -1, 0x7FFFFFFF},          // bit 31 never reaches a box
        {32, 1 << 30, 1 << 30},
    };
    for (const Row& r : rows) {
        LabeledCheckOpts checks("Bits");
        QStringList opts;
        for (int i = 0; i < r.boxes; ++i)
            opts << QString::number(i);
        checks.setOptions(opts, 4);
        checks.setValue(0x7FFFFFFF);  // everything on first, so clearing shows
        checks.setValue(r.mask);
        EXPECT_EQ(checks.value().number, r.readBack) << r.boxes << " boxes, mask " << r.mask;
    }
    LabeledCheckOpts checks("Bits");
    checks.setOptions({"a", "b", "c"});
    checks.setValue(0b011);
    EXPECT_FALSE(checks.group()->button(2)->isChecked());
    EXPECT_TRUE(checks.group()->button(1)->isChecked());
}

TEST(LabeledColorWheel, ButtonNamesTheColourInSixUpperCaseDigits)
{
    struct Row {
        quint32 rgb;
        const char* text;
    };
    const Row rows[] = {{0x00FF00, "Set Color (0x00FF00)"}, {0, "Set Color (0x000000)"},
                        {0xabcdef, "Set Color (0xABCDEF)"}, {0xFF123456, "Set Color (0x123456)"}};
    for (const Row& r : rows) {
        LabeledColorWheel wheel("Colour");
        wheel.setColor(r.rgb);
        EXPECT_EQ(wheel.button()->text(), r.text);
        EXPECT_EQ(wheel.value().colour.value, r.rgb & 0xFFFFFFu);
    }
    // Other kinds leave the colour "not set".
    LabeledEdit edit("x");
    EXPECT_FALSE(edit.value().colour.isSet());
}

TEST(LabeledColorWheel, DialogChoiceSetsTheColourAndReportsCancelDoesNot)
{
    kro::test::ScriptedPrompts prompts;
    LabeledColorWheel wheel("Colour");
    wheel.setColor(0x102030, true);
    QSignalSpy changed(&wheel, &LabeledWidget::valueChanged);
    prompts->answerColor(std::nullopt);
    wheel.button()->click();
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(wheel.value().colour.value, 0x102030u);
    prompts->answerColor(QColor(0x11, 0x22, 0x33));
    wheel.button()->click();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(wheel.value().colour.value, 0x112233u);
}

TEST(LabeledComboBox, MatchesTheTextBeforeTheBracketAndRenamesWhenNothingMatches)
{
    LabeledComboBox combo("Axis");
    combo.combo()->addItems({"Index", "MJD (56293.50000)", "Unix time"});
    combo.setText("MJD");
    EXPECT_EQ(combo.combo()->currentText(), "MJD (56293.50000)");
    EXPECT_EQ(combo.value().text, "MJD");
    combo.setText("Seconds");
    EXPECT_EQ(combo.combo()->count(), 3);
    EXPECT_EQ(combo.combo()->itemText(1), "Seconds");
    EXPECT_EQ(combo.value().text, "Seconds");

    LabeledComboBox editable("Free");
    editable.setEditable(true);
    editable.combo()->addItems({"a", "b"});
    QSignalSpy changed(&editable, &LabeledWidget::valueChanged);
    editable.setText("typed", true);
    EXPECT_EQ(editable.value().text, "typed");
    EXPECT_EQ(changed.count(), 0);
    editable.setText("again");
    EXPECT_GE(changed.count(), 1);
}

TEST(LabeledEdit, NumbersAndTheirReadings)
{
    LabeledEdit edit("Value");
    edit.setValue(2.5);
    EXPECT_EQ(edit.value().text, "2.5");
    edit.setValue(1234567.0);
    EXPECT_EQ(edit.value().text, "1.23457e+06");
    edit.setValue(42);
    bool ok = false;
    LabeledValue v = edit.value(&ok);
    EXPECT_EQ(v.number, 42);
    EXPECT_DOUBLE_EQ(v.real, 42.0);
    EXPECT_TRUE(ok);
    edit.setText("2,5");  // never read in a locale with a decimal comma
    v = edit.value(&ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(v.number, 0);
}

TEST(LabeledWidgets, QuietSettersDoNotReportAndLoudOnesFollowTheirEditor)
{
    LabeledEdit edit("e");
    LabeledSpinBox spin("s", 0, 100, 5);
    LabeledDimensions dims("d", 2560, 1440, 800, 600);
    LabeledRadioOpts radio("r");
    radio.setOptions({"a", "b"});
    QSignalSpy editSpy(&edit, &LabeledWidget::valueChanged);
    QSignalSpy spinSpy(&spin, &LabeledWidget::valueChanged);
    QSignalSpy dimsSpy(&dims, &LabeledWidget::valueChanged);
    QSignalSpy radioSpy(&radio, &LabeledWidget::valueChanged);

    edit.setText("quiet", true);
    spin.setValue(7, true);
    dims.setDimensions(10, 20, true);
    radio.select(true, true);
    EXPECT_EQ(editSpy.count() + spinSpy.count() + dimsSpy.count() + radioSpy.count(), 0);

    edit.setText("loud");
    spin.setValue(8);
    radio.select(false);  // a button group reports only what the user does
    EXPECT_EQ(editSpy.count(), 1);
    EXPECT_EQ(spinSpy.count(), 1);
    EXPECT_EQ(radioSpy.count(), 0);

    radio.group()->button(1)->click();
    EXPECT_EQ(radioSpy.count(), 1);
    EXPECT_EQ(radio.value().number, 1);
    EXPECT_EQ(dims.value().width, 10);
    EXPECT_EQ(dims.value().height, 20);
}

TEST(LabeledSpinBox, TextThatIsNoNumberReadsAsZeroThenClamped)
{
    struct Row {
        int min, max;
        const char* text;
        int shown;
    };
    const Row rows[] = {{5, 50, "abc", 5}, {-5, 50, "abc", 0}, {-50, -5, "abc", -5}, {0, 100, "42", 42},
                        {0, 100, "4000", 100}};
    for (const Row& r : rows) {
        LabeledSpinBox spin("s", r.min, r.max, r.min);
        spin.setText(r.text);
        EXPECT_EQ(spin.value().number, r.shown) << r.text << " in " << r.min << ".." << r.max;
    }
}

TEST(LabeledFileEntry, SaveModeAppendsTheFiltersWholeExtensionOpenModeNever)
{
    struct Row {
        int mode;
        const char* filter;
        const char* answer;
        const char* entry;
    };
    const Row rows[] = {
        {1, "Text (*.txt)", "/tmp/out", "/tmp/out.txt"},
        {1, "Text (*.txt)", "/tmp/out.txt", "/tmp/out.txt"},
        {1, "All files (*)", "/tmp/out", "/tmp/out"},
        {1, "Images (*.jpeg)", "/tmp/pic", "/tmp/pic.jpeg"},
        {1, "Archives (*.tar.gz)", "/tmp/a", "/tmp/a.tar.gz"},
        {0, "Images (*.png)", "/tmp/bg.jpg", "/tmp/bg.jpg"},  // opening a file never renames it
        {0, "Text (*.txt)", "/tmp/notes", "/tmp/notes"},
    };
    for (const Row& r : rows) {
        kro::test::ScriptedPrompts prompts;
        LabeledFileEntry entry("File", r.mode);
        entry.setFilters({r.filter, "All files (*)"});
        if (r.mode)
            prompts->answerSaveFile(r.answer);
        else
            prompts->answerOpenFile(r.answer);
        QSignalSpy changed(&entry, &LabeledWidget::valueChanged);
        entry.button()->click();
        EXPECT_EQ(entry.value().text, r.entry) << r.filter << " " << r.answer;
        EXPECT_EQ(changed.count(), 1);
        ASSERT_EQ(prompts->asked().size(), 1u);
        EXPECT_EQ(prompts->asked()[0].title, r.mode ? "Select a save file" : "Open file");
    }
}

TEST(LabeledFileEntry, CancelLeavesTheEntryAndSetTextAlwaysReports)
{
    kro::test::ScriptedPrompts prompts;
    LabeledFileEntry entry("File", 1);
    entry.setText("/data/keep.dat", true);
    QSignalSpy changed(&entry, &LabeledWidget::valueChanged);
    prompts->answerSaveFile(QString());
    entry.button()->click();
    EXPECT_EQ(entry.value().text, "/data/keep.dat");
    EXPECT_EQ(changed.count(), 0);
    entry.setText("/data/other.dat", true);  // quiet or not, a path change reports
    EXPECT_EQ(changed.count(), 1);
    bool ok = true;
    entry.setText("");
    entry.value(&ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(entry.filters().first(), "Data (*.dat)");
}

TEST(LabeledWidget, EditorsAreListedInLayoutOrder)
{
    LabeledFileEntry entry("File", 0);
    ASSERT_EQ(entry.editors().size(), 2);
    EXPECT_EQ(entry.editors()[0], entry.edit());
    EXPECT_EQ(entry.editors()[1], entry.button());
    auto* extra = new QPushButton("Apply");
    entry.addEditor(extra);
    EXPECT_EQ(entry.editors().last(), extra);
    EXPECT_EQ(extra->parentWidget(), &entry);
}
