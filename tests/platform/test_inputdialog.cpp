#include <gtest/gtest.h>

#include "support/qtprinters.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "platform/inputdialog.h"
#include "platform/prompter.h"
#include "support/prompts.h"

namespace {

// Types into a line edit as a user would (each key raises textChanged).
void typeInto(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

int pressReturn(QDialog* dlg, QLineEdit* edit)
{
    dlg->setResult(QDialog::Rejected);
    QTest::keyClick(edit, Qt::Key_Return);
    return dlg->result();
}

} // namespace

TEST(InputDialog, TypeTwoWithoutValidatorKeepsOkButReturnNeedsText)
{
    InputDialog dlg("Name:", QString(), nullptr, 2);
    dlg.show();
    EXPECT_TRUE(dlg.okButton()->isEnabled());
    EXPECT_EQ(pressReturn(&dlg, dlg.lineEdit()), QDialog::Rejected);
    typeInto(dlg.lineEdit(), "x");
    EXPECT_TRUE(dlg.okButton()->isEnabled());
    EXPECT_EQ(pressReturn(&dlg, dlg.lineEdit()), QDialog::Accepted);
}

TEST(InputDialog, ReciprocalFieldsFollowEachOther)
{
    kro::test::ScriptedPrompts prompts;
    QString first, second, afterSecond, clearedSecond;
    prompts->answerDialog([&](QDialog* d) {
        auto* dlg = static_cast<InputDialog*>(d);
        first = dlg->lineEdit()->text();
        second = dlg->secondLineEdit()->text();
        typeInto(dlg->secondLineEdit(), "4");
        afterSecond = dlg->lineEdit()->text();
        dlg->lineEdit()->clear();
        clearedSecond = dlg->secondLineEdit()->text();
        typeInto(dlg->lineEdit(), "8");
        return int(QDialog::Accepted);
    });
    bool ok = false;
    const double v = InputDialog::getDouble("Rate", "Period:", "Frequency:", QString(), 2, 0, 1e9, &ok);
    EXPECT_EQ(first, "2");
    EXPECT_EQ(second, "0.5");
    EXPECT_EQ(afterSecond, "0.25");
    EXPECT_EQ(clearedSecond, "inf");
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(v, 8.0);
}

TEST(InputDialog, PairOutOfRangeDisablesOkAndReturnCannotBypassIt)
{
    struct Row {
        const char* a;
        const char* b;
        bool okEnabled;
    };
    const Row rows[] = {{"11", "1", false}, {"1", "11", false}, {"-3", "9.5", true}, {"1", "", false},
                        {"-10", "10", true}};
    for (const Row& r : rows) {
        kro::test::ScriptedPrompts prompts;
        bool enabled = false;
        int returnResult = -1;
        prompts->answerDialog([&](QDialog* d) {
            auto* dlg = static_cast<InputDialog*>(d);
            typeInto(dlg->secondLineEdit(), r.b);
            typeInto(dlg->lineEdit(), r.a);
            enabled = dlg->okButton()->isEnabled();
            returnResult = pressReturn(dlg, dlg->lineEdit());
            return returnResult;
        });
        bool ok = true;
        const auto [x, y] = InputDialog::getDoublePair("Span", "From:", "To:", QString(), 0, -10, 10, &ok);
        EXPECT_EQ(enabled, r.okEnabled) << r.a << " " << r.b;
        EXPECT_EQ(returnResult == QDialog::Accepted, r.okEnabled) << r.a << " " << r.b;
        EXPECT_EQ(ok, r.okEnabled);
        // The fields come back whether accepted or not.
        EXPECT_DOUBLE_EQ(x, InputDialog::readNumber(r.a));
        EXPECT_DOUBLE_EQ(y, InputDialog::readNumber(r.b));
    }
}

TEST(InputDialog, IsTheProgramsTwoNumberPrompt)
{
    kro::test::ScriptedPrompts prompts;
    InputDialog::installAsTwoNumberPrompt();
    const std::unique_ptr<kro::Prompter> qt = kro::makeQtPrompter();
    QString caption;
    prompts->answerDialog([&](QDialog* d) {
        auto* dlg = static_cast<InputDialog*>(d);
        caption = dlg->windowTitle();
        EXPECT_EQ(dlg->lineEdit()->text(), "0");
        typeInto(dlg->lineEdit(), "1.5");
        typeInto(dlg->secondLineEdit(), "-2");
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(qt->getDoublePair(nullptr, "Insert Point", "x", "y", "Enter x and y, and click ok.", 0, -1e9, 1e9),
              std::pair(1.5, -2.0));
    EXPECT_EQ(caption, "Insert Point");
    prompts->answerDialog(QDialog::Rejected);
    EXPECT_EQ(qt->getDoublePair(nullptr, "Insert Point", "x", "y", QString(), 0, -1e9, 1e9), std::nullopt);
    kro::setDoublePairDialog({});
}

TEST(InputDialog, TextAndFlagOnCancelGivesEmptyTextAndTheBoxState)
{
    kro::test::ScriptedPrompts prompts;
    QString label, boxText;
    prompts->answerDialog([&](QDialog* d) {
        auto* dlg = static_cast<InputDialog*>(d);
        label = dlg->label()->text();
        boxText = dlg->checkBox()->text();
        EXPECT_EQ(dlg->spinBox(), nullptr);
        typeInto(dlg->lineEdit(), "typed");
        dlg->checkBox()->setChecked(true);
        return int(QDialog::Rejected);
    });
    bool ok = true;
    const auto [text, flag] = InputDialog::getTextAndFlag("Title", "Legend text:", "Apply to all", QString(), &ok);
    EXPECT_EQ(label, "Legend text:");
    EXPECT_EQ(boxText, "Apply to all");
    EXPECT_EQ(text, "");
    EXPECT_TRUE(flag);
    EXPECT_FALSE(ok);

    prompts->answerDialog([&](QDialog* d) {
        typeInto(static_cast<InputDialog*>(d)->lineEdit(), "kept");
        return int(QDialog::Accepted);
    });
    const auto accepted = InputDialog::getTextAndFlag("Title", "Legend text:", "Apply to all", QString(), &ok);
    EXPECT_EQ(accepted.first, "kept");
    EXPECT_FALSE(accepted.second);
    EXPECT_TRUE(ok);
}

TEST(InputDialog, NumberTextReturnsTheFieldEvenWhenCancelled)
{
    kro::test::ScriptedPrompts prompts;
    QString shown;
    prompts->answerDialog([&](QDialog* d) {
        auto* dlg = static_cast<InputDialog*>(d);
        shown = dlg->lineEdit()->text();
        EXPECT_TRUE(dlg->okButton()->isEnabled());
        typeInto(dlg->lineEdit(), "500");
        EXPECT_FALSE(dlg->okButton()->isEnabled());
        return int(QDialog::Rejected);
    });
    bool ok = true;
    EXPECT_EQ(InputDialog::getNumberText("Floor", "Bar floor:", QString(), 2.5, 0, 100, &ok), "500");
    EXPECT_EQ(shown, "2.5000000000");
    EXPECT_FALSE(ok);
}

TEST(InputDialog, HelpButtonShowsOnlyWithAHelpText)
{
    InputDialog plain("Value:");
    EXPECT_TRUE(plain.helpButton()->isHidden());
    EXPECT_FALSE(plain.okButton()->isHidden());
    EXPECT_EQ(plain.okButton()->size(), plain.cancelButton()->size());
    EXPECT_TRUE(plain.okButton()->isDefault());

    kro::test::ScriptedPrompts prompts;
    InputDialog helped("Value:", "Enter a number of points.");
    EXPECT_FALSE(helped.helpButton()->isHidden());
    prompts->answerMessage(QMessageBox::Ok);
    helped.helpButton()->click();
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].title, "Help");
    EXPECT_EQ(prompts->asked()[0].text, "Enter a number of points.");
    EXPECT_GE(helped.width(), 400);
}

namespace {
QStringList g_warnings;
void collect(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    if (type == QtWarningMsg)
        g_warnings << msg;
}
} // namespace

TEST(InputDialog, InvalidTypeWarnsAndSelectsNoInput)
{
    g_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collect);
    InputDialog bad("x", QString(), nullptr, 9);
    qInstallMessageHandler(previous);
    EXPECT_TRUE(g_warnings.contains("InputDialog::setType: Invalid type"));
    EXPECT_EQ(bad.label()->buddy(), nullptr);

    const struct {
        int type;
        int stackIndex;  // spin 0, line edit 1, combo 2, editable combo 3
    } rows[] = {{0, 2}, {1, 3}, {2, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 0}};
    for (auto r : rows) {
        InputDialog d("a\nb", QString(), nullptr, r.type);
        EXPECT_EQ(d.inputStack()->currentIndex(), r.stackIndex) << r.type;
    }
}
