// The instrument panel from the main window: the Tools menu entry and the
// commands "link" and "loaddevices", with a loopback instrument.
#include <gtest/gtest.h>

#include "support/peers.h"
#include "command/commandedit.h"
#include "core/settings.h"
#include "gui/krogui.h"
#include "miscio/deviceconfigfiler.h"
#include "miscio/deviceiotab.h"
#include "miscio/miscio.h"
#include "support/test_env.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

using kro::test::TcpPeer;
using kro::test::waitUntil;

namespace {

class InstrumentCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        writeSetting(QStringLiteral("quickstart"), QVariant(false));
        ASSERT_TRUE(dir.isValid());
        window = std::make_unique<KROGui>(QStringList{QStringLiteral("kro")});
        window->instrumentPanel()->setPortProbe([] { return QStringList(); });
    }
    // The console text a command line added.
    QString run(const QString& line)
    {
        const qsizetype before = window->console()->toPlainText().size();
        window->console()->command(line, true);
        return window->console()->toPlainText().mid(before);
    }
    DeviceIOSetupGUI& panel() { return *window->instrumentPanel()->setupGUI(); }

    QTemporaryDir dir;
    std::unique_ptr<KROGui> window;
};

TEST_F(InstrumentCommands, ToolsMenuShowsThePanel)
{
    QAction* entry = nullptr;
    for (QAction* menu : window->menuBar()->actions())
        if (menu->menu())
            for (QAction* a : menu->menu()->actions())
                if (a->text() == QStringLiteral("Device Interface"))
                    entry = a;
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isEnabled());
    EXPECT_TRUE(window->instrumentPanel()->isHidden());
    entry->trigger();
    EXPECT_TRUE(window->instrumentPanel()->isVisible());
    EXPECT_EQ(panel().count(), 2); // one TCP page and "+"
}

TEST_F(InstrumentCommands, LinkOpensATcpInstrumentOnce)
{
    TcpPeer peer;
    const QString line = QStringLiteral("link 127.0.0.1 %1 Counter").arg(peer.port());
    run(line);
    ASSERT_TRUE(peer.waitConnected());
    ASSERT_EQ(panel().pages().size(), 1u);
    DeviceIOTab* page = panel().pages()[0];
    EXPECT_EQ(panel().tabText(0), QStringLiteral("Counter"));
    EXPECT_EQ(page->frame().m_mode, IOMode::TCP);
    EXPECT_TRUE(page->connectButton()->isChecked());
    EXPECT_TRUE(page->linkButton()->isChecked());

    EXPECT_TRUE(run(line).contains(QStringLiteral("Link \"Counter\" is already established.")));
    EXPECT_EQ(panel().pages().size(), 1u);

    // The pages of the first show come after it.
    window->on_showmiscio();
    EXPECT_EQ(panel().tabText(0), QStringLiteral("Counter"));
    EXPECT_EQ(panel().tabText(1), QStringLiteral("Instrument 2"));
}

TEST_F(InstrumentCommands, LoadDevices)
{
    DeviceRecord a;
    a.label = "A";
    a.tcp = true;
    a.xColumns = {1};
    a.yColumns = {2};
    DeviceRecord b = a;
    b.label = "B";
    DeviceConfigFiler filer(dir.filePath(QStringLiteral("lab devices.json")));
    filer.records() = {a, b};
    ASSERT_TRUE(filer.save());

    run(QStringLiteral("loaddevices %1").arg(filer.path()));
    ASSERT_EQ(panel().pages().size(), 2u);
    EXPECT_EQ(panel().tabText(1), QStringLiteral("B"));

    const QString out = run(QStringLiteral("loaddevices %1").arg(dir.filePath(QStringLiteral("none.json"))));
    EXPECT_TRUE(out.contains(QStringLiteral("is not accessible."))) << qPrintable(out);
    EXPECT_EQ(panel().pages().size(), 2u);
}

} // namespace
