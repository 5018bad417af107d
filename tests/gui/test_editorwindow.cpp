// The script editor as the main window opens and uses it.
#include "command/krseditor.h"
#include "command/commandedit.h"
#include "core/settings.h"
#include "gui/krogui.h"
#include "platform/tabwidgetex.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"
#include "support/files.h"
#include "support/prompts.h"
#include "support/test_env.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        writeSetting(QStringLiteral("quickstart"), QVariant(false));
        ASSERT_TRUE(m_dir.isValid());
        m_window = std::make_unique<KROGui>(QStringList{QStringLiteral("kro")});
    }
    QAction* toolsEntry(const QString& text) const
    {
        for (QAction* menu : m_window->menuBar()->actions())
            if (menu->text() == QLatin1String("&Tools"))
                for (QAction* a : menu->menu()->actions())
                    if (a->text() == text)
                        return a;
        return nullptr;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<KROGui> m_window;
};

TEST_F(EditorWindow, ToolsMenuOpensOneEditor)
{
    QAction* entry = toolsEntry(QStringLiteral("KroScript Editor"));
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isEnabled());
    EXPECT_EQ(m_window->scriptEditor(), nullptr);
    entry->trigger();
    KRSEditor* editor = m_window->scriptEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    editor->hide();
    entry->trigger();
    EXPECT_EQ(m_window->scriptEditor(), editor);
    EXPECT_TRUE(editor->isVisible());
}

TEST_F(EditorWindow, EditingAFileFindsItsTabOrLoadsIt)
{
    const QString a = kro::test::writeFile(m_dir.filePath("a.krs"), "title a");
    const QString b = kro::test::writeFile(m_dir.filePath("b.krs"), "title b");
    m_window->on_kroscriptEdit(a);
    KRSEditor* editor = m_window->scriptEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->tabWidget()->count(), 1);
    EXPECT_EQ(editor->currentEdit()->toPlainText(), QStringLiteral("title a"));
    m_window->on_kroscriptEdit(b);
    m_window->on_kroscriptEdit(a);
    EXPECT_EQ(editor->tabWidget()->count(), 2);
    EXPECT_EQ(editor->pathOf(editor->currentEdit()), a);
}

TEST_F(EditorWindow, RunFeedsTheScriptQueue)
{
    m_window->on_showKRSEditor();
    KRSEditor* editor = m_window->scriptEditor();
    editor->currentEdit()->setPlainText(QStringLiteral("--> a title\ntitle From ...\n the editor\n"));
    editor->action(QStringLiteral("&Run"))->trigger();
    Plotter* plot = m_window->activePlotter();
    EXPECT_TRUE(QTest::qWaitFor([&] { return plot->m_title->text().contains(QLatin1String(">From the editor<")); }, 10000))
        << plot->m_title->text().toStdString() << "\n" << m_window->console()->toPlainText().toStdString();
    // The window asks about the unsaved script when it goes.
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::No);
    m_window.reset();
    EXPECT_EQ(prompts->asked().size(), 1u);
}

} // namespace
