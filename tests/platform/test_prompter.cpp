// The replaceable prompt interface: scripted answers in order, and an
// unexpected prompt reported instead of blocking.
#include "platform/prompter.h"
#include "platform/scriptedprompter.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <gtest/gtest.h>

#include "support/prompts.h"

using kro::ScriptedPrompter;

TEST(ScriptedPrompter, AnswersComeInQueueOrder)
{
    kro::test::ScriptedPrompts prompts;
    prompts->answerText(QString("hello"));
    prompts->answerInt(42);
    prompts->answerDouble(std::nullopt);
    prompts->answerItem(QString("two"));
    prompts->answerMessage(QMessageBox::No);
    prompts->answerOpenFile("/tmp/a.dat");
    prompts->answerOpenFiles({"/tmp/a", "/tmp/b"});
    prompts->answerSaveFile("/tmp/out.txt");
    prompts->answerDirectory("/tmp");
    prompts->answerColor(QColor(1, 2, 3));
    prompts->answerFont(std::nullopt);
    prompts->answerPrint(true);

    kro::Prompter& p = kro::prompter();
    EXPECT_EQ(p.getText(nullptr, "T", "Name:"), QString("hello"));
    EXPECT_EQ(p.getInt(nullptr, "T", "Count:"), 42);
    EXPECT_EQ(p.getDouble(nullptr, "T", "Value:"), std::nullopt);
    EXPECT_EQ(p.getItem(nullptr, "T", "Pick:", {"one", "two"}), QString("two"));
    EXPECT_EQ(p.question(nullptr, "Sure?", "Delete it?"), QMessageBox::No);
    EXPECT_EQ(p.getOpenFileName(nullptr, "Open"), "/tmp/a.dat");
    EXPECT_EQ(p.getOpenFileNames(nullptr, "Open"), QStringList({"/tmp/a", "/tmp/b"}));
    EXPECT_EQ(p.getSaveFileName(nullptr, "Save"), "/tmp/out.txt");
    EXPECT_EQ(p.getExistingDirectory(nullptr, "Dir"), "/tmp");
    EXPECT_EQ(p.getColor(Qt::red, nullptr, "Colour"), QColor(1, 2, 3));
    EXPECT_EQ(p.getFont(QFont(), nullptr, "Font"), std::nullopt);
    EXPECT_TRUE(p.execPrintDialog(nullptr, nullptr));

    ASSERT_EQ(prompts->asked().size(), 12u);
    EXPECT_EQ(prompts->asked()[4].kind, ScriptedPrompter::Kind::Message);
    EXPECT_EQ(prompts->asked()[4].messageKind, kro::Prompter::MessageKind::Question);
    EXPECT_EQ(prompts->asked()[4].text, "Delete it?");
}

TEST(ScriptedPrompter, UnexpectedPromptIsReportedAndCancelled)
{
    ScriptedPrompter p;
    QStringList problems;
    p.setFailureHandler([&](const QString& problem) { problems << problem; });

    EXPECT_EQ(p.getInt(nullptr, "Smooth", "Points:", 5, 1, 10, 1), std::nullopt);
    p.answerMessage(QMessageBox::Ok);
    EXPECT_EQ(p.getText(nullptr, "Title", "Text:", QString(), QLineEdit::Normal), std::nullopt);
    EXPECT_EQ(p.pending(), 1) << "a wrong-kind prompt leaves the queued answer in place";
    EXPECT_EQ(p.information(nullptr, "Note", "Done"), QMessageBox::Ok);

    ASSERT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems[0].contains("Unexpected integer input \"Smooth\"")) << problems[0].toStdString();
    EXPECT_TRUE(problems[1].contains("Expected a message box but got a text input")) << problems[1].toStdString();
    EXPECT_EQ(p.failures(), problems);
}

TEST(ScriptedPrompter, MenuAnswerTriggersTheNamedAction)
{
    kro::test::ScriptedPrompts prompts;
    QMenu menu;
    QAction* copy = menu.addAction("&Copy");
    menu.addSeparator();
    menu.addAction("Paste");
    int copied = 0;
    QObject::connect(copy, &QAction::triggered, [&] { ++copied; });

    prompts->answerMenu("Copy");
    prompts->answerMenu("");
    EXPECT_EQ(kro::prompter().execMenu(&menu, QPoint(0, 0)), copy);
    EXPECT_EQ(copied, 1);
    EXPECT_EQ(kro::prompter().execMenu(&menu, QPoint(0, 0)), nullptr);
}

TEST(ScriptedPrompter, DialogHandlerFillsTheDialogAndSetsItsResult)
{
    kro::test::ScriptedPrompts prompts;
    QDialog dialog;
    auto* edit = new QLineEdit(&dialog);
    prompts->answerDialog([edit](QDialog*) {
        edit->setText("42");
        return int(QDialog::Accepted);
    });
    prompts->answerDialog(QDialog::Rejected);

    EXPECT_EQ(kro::prompter().execDialog(&dialog), QDialog::Accepted);
    EXPECT_EQ(edit->text(), "42");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(kro::prompter().execDialog(&dialog), QDialog::Rejected);
}

TEST(Prompter, InstallReturnsThePreviousAndNullRestoresTheQtDialogs)
{
    auto* mine = new ScriptedPrompter;
    std::unique_ptr<kro::Prompter> previous = kro::installPrompter(std::unique_ptr<kro::Prompter>(mine));
    EXPECT_EQ(&kro::prompter(), mine);
    std::unique_ptr<kro::Prompter> back = kro::installPrompter(std::move(previous));
    EXPECT_EQ(back.get(), mine);
    EXPECT_NE(&kro::prompter(), mine);
}
