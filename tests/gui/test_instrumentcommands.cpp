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
#include "miscio/webfetch.h"
#include "plot/plotter.h"
#include "support/test_env.h"
#include "tabs/plotterctrl.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
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

// Whether the plot tabs take live links (the slots of the live-data part).
bool plotTabsTakeLiveLinks(const PlotterCtrl& tabs)
{
    const QMetaObject* mo = tabs.metaObject();
    for (int i = 0; i < mo->methodCount(); ++i)
        if (mo->method(i).name() == "on_newDeviceString")
            return true;
    return false;
}

TEST_F(InstrumentCommands, LinkedInstrumentStreamsIntoALivePlot)
{
    if (!plotTabsTakeLiveLinks(*window->plotterCtrl()))
        GTEST_SKIP() << "the plot tabs take no live links in this build";
    // The panel's signals must reach them: the receiver sets the ready flag.
    bool ready = false;
    Q_EMIT window->instrumentPanel()->newDeviceString(QStringLiteral("Probe"), QString(), ready);
    EXPECT_TRUE(ready) << "the panel's newDeviceString is not connected to the plot tabs";

    TcpPeer peer;
    run(QStringLiteral("link 127.0.0.1 %1 Counter").arg(peer.port()));
    ASSERT_TRUE(peer.waitConnected());
    QByteArray rows;
    for (int i = 1; i <= 1000; ++i)
        rows += QByteArray::number(i) + " " + QByteArray::number(2 * i) + "\r\n";
    peer.write(rows);
    // The first line is dropped while the link waits for a complete line.
    const auto points = [&]() -> std::size_t {
        const Plotter* plot = window->plotterCtrl()->findPlotter(QStringLiteral("Counter"), 0);
        if (!plot || plot->curves().empty())
            return 0;
        return plot->curves().begin()->second.pointCount();
    };
    ASSERT_TRUE(waitUntil([&] { return points() == 999; })) << points();
    const CurveData& curve = window->plotterCtrl()->findPlotter(QStringLiteral("Counter"), 0)->curves().begin()->second;
    EXPECT_EQ(curve.x(0), 2.0);
    EXPECT_EQ(curve.x(998), 1000.0);
    EXPECT_EQ(curve.values[2 * 998 + 1], 2000.0);
}

TEST_F(InstrumentCommands, WebInterfaceShowsOneWebFetchWindow)
{
    QAction* entry = nullptr;
    for (QAction* menu : window->menuBar()->actions())
        if (menu->menu())
            for (QAction* a : menu->menu()->actions())
                if (a->text() == QStringLiteral("Web Interface"))
                    entry = a;
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(window->webFetch(), nullptr);
    entry->trigger();
    WebFetch* web = window->webFetch();
    ASSERT_NE(web, nullptr);
    EXPECT_TRUE(web->isVisible());
    EXPECT_EQ(web->windowTitle(), QStringLiteral("KRO - web fetch"));
    web->hide();
    entry->trigger();
    EXPECT_EQ(window->webFetch(), web);
    EXPECT_TRUE(web->isVisible());
}

TEST_F(InstrumentCommands, WebFetchFeedsALivePlot)
{
    if (!plotTabsTakeLiveLinks(*window->plotterCtrl()))
        GTEST_SKIP() << "the plot tabs take no live links in this build";
    QTemporaryDir data;
    QFile file(data.filePath(QStringLiteral("feed.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int i = 1; i <= 100; ++i)
        file.write(QByteArray::number(i) + " " + QByteArray::number(3 * i) + "\n");
    file.close();
    window->on_showwget();
    WebFetchWidget& w = *window->webFetch()->widget();
    w.setAddress(QStringLiteral("file://") + file.fileName());
    w.linkBox()->setChecked(true);
    w.connectButton()->click();
    const auto points = [&]() -> std::size_t {
        const Plotter* plot = window->plotterCtrl()->findPlotter(file.fileName(), 0);
        if (!plot || plot->curves().empty())
            return 0;
        return plot->curves().begin()->second.pointCount();
    };
    ASSERT_TRUE(waitUntil([&] { return points() == 100; })) << points();
    const CurveData& curve = window->plotterCtrl()->findPlotter(file.fileName(), 0)->curves().begin()->second;
    EXPECT_EQ(curve.x(99), 100.0);
    EXPECT_EQ(curve.values[2 * 99 + 1], 300.0);
}

} // namespace
