// The instrument panel and the device-configuration file, on real files in
// temporary folders and loopback instruments.
#include <gtest/gtest.h>

#include "support/peers.h"
#include "miscio/deviceconfigfiler.h"
#include "miscio/deviceiotab.h"
#include "miscio/miscio.h"
#include "platform/labeledwidget.h"
#include "support/files.h"
#include "support/prompts.h"
#include "platform/tabwidgetex.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/stat.h>

using kro::test::readFile;
using kro::test::TcpPeer;
using kro::test::waitUntil;
using kro::test::writeFile;

namespace {

QStringList tabTexts(const QTabWidget& tabs)
{
    QStringList texts;
    for (int i = 0; i < tabs.count(); ++i)
        texts.append(tabs.tabText(i));
    return texts;
}

DeviceRecord serialRecord(const std::string& label)
{
    DeviceRecord r;
    r.label = label;
    r.comPort = "ttyUSB0";
    r.parity = "NONE";
    r.xColumns = {1};
    r.yColumns = {2};
    return r;
}

class Panel : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    DeviceIOSetupGUI& tabs() { return *panel.setupGUI(); }
    void showWith(const QStringList& ports)
    {
        panel.setPortProbe([ports] { return ports; });
        panel.show();
    }

    QTemporaryDir dir;
    MiscIO panel;
    kro::test::ScriptedPrompts prompts;
};

// ------------------------------------------------------------ first show

TEST_F(Panel, FirstShowWithoutPorts)
{
    EXPECT_TRUE(panel.isHidden());
    EXPECT_EQ(tabs().count(), 0);
    showWith({});
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.windowTitle(), QStringLiteral("Device Interface Control Panel"));
    EXPECT_EQ(tabTexts(tabs()), (QStringList{QStringLiteral("Instrument 1"), QString()}));
    ASSERT_EQ(tabs().pages().size(), 1u);
    EXPECT_EQ(tabs().pages()[0]->frame().m_mode, IOMode::TCP);
    QComboBox* ports = tabs().pages()[0]->portBox()->combo();
    ASSERT_EQ(ports->count(), 1);
    EXPECT_TRUE(ports->itemText(0).isEmpty());
    EXPECT_EQ(tabs().tabToolTip(1), QStringLiteral("Click here to build a new tab."));
    EXPECT_FALSE(tabs().tabIcon(1).isNull());
    EXPECT_EQ(tabs().tabBarEx()->m_fillColor, QColor(200, 200, 255));
}

TEST_F(Panel, FirstShowWithPortsAndThePlusTab)
{
    showWith({QStringLiteral("ttyS1"), QStringLiteral("ttyS3")});
    EXPECT_EQ(tabTexts(tabs()), (QStringList{QStringLiteral("Instrument 1"), QStringLiteral("Instrument 2"),
                                             QStringLiteral("Instrument 3"), QString()}));
    const std::vector<DeviceFrame*> frames = tabs().deviceFrames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0]->m_comPort, QStringLiteral("ttyS1"));
    EXPECT_EQ(frames[1]->m_comPort, QStringLiteral("ttyS3"));
    EXPECT_EQ(frames[2]->m_mode, IOMode::TCP);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(frames[static_cast<size_t>(i)]->m_instrument, i);

    tabs().tabClicked(0); // not the "+" tab
    EXPECT_EQ(tabs().count(), 4);
    tabs().tabClicked(3);
    EXPECT_EQ(tabTexts(tabs()), (QStringList{QStringLiteral("Instrument 1"), QStringLiteral("Instrument 2"),
                                             QStringLiteral("Instrument 3"), QStringLiteral("Instrument 4"), QString()}));
    EXPECT_EQ(tabs().currentIndex(), 3);
    EXPECT_EQ(tabs().deviceFrames()[3]->m_mode, IOMode::TCP);
    EXPECT_EQ(tabs().deviceFrames()[3]->m_instrument, 3);
    EXPECT_EQ(tabs().pages()[3]->portBox()->combo()->count(), 2);

    // A later show builds nothing more.
    panel.hide();
    panel.show();
    EXPECT_EQ(tabs().count(), 5);
}

TEST_F(Panel, PagesAddedBeforeTheFirstShowComeFirst)
{
    tabs().tabClicked(0); // no "+" tab yet: nothing happens
    DeviceFrame f;
    f.m_mode = IOMode::TCP;
    f.m_label = QStringLiteral("Linked");
    EXPECT_EQ(tabs().addInstrument(f), 0);
    showWith({QStringLiteral("ttyS0")});
    EXPECT_EQ(tabTexts(tabs()), (QStringList{QStringLiteral("Linked"), QStringLiteral("Instrument 2"),
                                             QStringLiteral("Instrument 3"), QString()}));
    EXPECT_EQ(tabs().addInstrument(f), 3);
    EXPECT_EQ(tabs().tabText(3), QStringLiteral("Linked"));
    EXPECT_EQ(tabs().tabText(4), QString());
}

TEST_F(Panel, LabelChangeRetitlesItsOwnTab)
{
    showWith({QStringLiteral("ttyS0")});
    tabs().pages()[1]->labelEdit()->setText(QStringLiteral("Maser"));
    EXPECT_EQ(tabTexts(tabs()), (QStringList{QStringLiteral("Instrument 1"), QStringLiteral("Maser"), QString()}));
}

TEST_F(Panel, ButtonsSitAtTheBottomRightOfThePage)
{
    const QRect page(QPoint(0, 0), QPoint(399, 299));
    const std::vector<QRect> r = DeviceIOSetupGUI::buttonRects(page, {{75, 25}, {75, 25}, {75, 25}});
    EXPECT_EQ(r[2], QRect(399 - 75 - 2, 299 - 25 - 1, 75, 25));
    EXPECT_EQ(r[1], QRect(r[2].left() - 75 - 3, 299 - 25 - 1, 75, 25));
    EXPECT_EQ(r[0], QRect(r[1].left() - 75 - 3, 299 - 25 - 1, 75, 25));
    showWith({});
    for (auto key : {DeviceIOSetupGUI::SAVE, DeviceIOSetupGUI::LOAD, DeviceIOSetupGUI::CLOSE}) {
        EXPECT_EQ(tabs().button(key)->size(), QSize(75, 25));
        EXPECT_TRUE(tabs().currentWidget()->geometry().contains(tabs().button(key)->geometry()));
    }
    tabs().button(DeviceIOSetupGUI::CLOSE)->click();
    EXPECT_TRUE(panel.isHidden());
}

// ------------------------------------------------------------ save and load

TEST_F(Panel, SaveAddsTheExtensionOnce)
{
    showWith({});
    struct Case {
        const char* answer;
        const char* written;
    };
    for (const Case& c : {Case{"setup", "setup.json"}, Case{"CAPS.JSON", "CAPS.JSON"}}) {
        prompts->answerSaveFile(path(c.answer));
        tabs().on_save();
        EXPECT_TRUE(QFile::exists(path(c.written))) << c.written;
        EXPECT_FALSE(QFile::exists(path(c.written) + QStringLiteral(".json")));
    }
    EXPECT_EQ(prompts->asked()[0].title, QStringLiteral("Choose a save file"));
    prompts->answerSaveFile(QString()); // cancelled: nothing written
    tabs().on_save();
}

TEST_F(Panel, ThreePagesRoundTrip)
{
    showWith({});
    tabs().tabClicked(1);
    tabs().tabClicked(2);
    ASSERT_EQ(tabs().pages().size(), 3u);
    DeviceIOTab* serial = tabs().pages()[0];
    serial->slot_changeIOMode(static_cast<int>(IOMode::SERIAL));
    serial->changeCOM(QStringLiteral("ttyUSB0"));
    serial->changeStopBits(1);  // 1.5
    serial->changeParity(3);    // MARK
    serial->changeFlow(2);      // XONXOFF
    serial->changeBaud(9);
    serial->labelEdit()->setText(QStringLiteral("7"));
    serial->keyEdit()->setText(QStringLiteral("-3"));
    serial->yEdit()->setText(QStringLiteral("2, 3,4"));
    DeviceIOTab* tcp = tabs().pages()[1];
    tcp->labelEdit()->setText(QString::fromUtf8("Maser \"H2\" \\ Zürich"));
    tcp->tcpSpecs()->ipEdit()->setText(QStringLiteral("10.0.0.5"));
    tcp->tcpSpecs()->portEdit()->setText(QStringLiteral("5025"));
    tcp->xEdit()->setText(QStringLiteral("0"));
    tcp->slideEdit()->setText(QStringLiteral("250"));
    DeviceIOTab* third = tabs().pages()[2];
    third->labelEdit()->setText(QStringLiteral("true"));

    const QString file = path("Geräte.json");
    ASSERT_TRUE(tabs().saveDeviceConfiguration(file));
    const QByteArray saved = readFile(file);
    EXPECT_TRUE(saved.contains("\"Stop\" : 1.5")) << saved.constData();
    EXPECT_TRUE(saved.contains("\"Parity\" : \"MARK\""));
    EXPECT_TRUE(saved.contains("\"Flow\" : \"XONXOFF\""));
    EXPECT_TRUE(saved.contains("\"Label\" : \"7\""));

    // Something else on the pages, then load: the saved pages come back.
    tabs().tabClicked(3);
    ASSERT_TRUE(tabs().loadDeviceConfiguration(file));
    ASSERT_EQ(tabs().pages().size(), 3u);
    EXPECT_EQ(tabTexts(tabs()), (QStringList{QStringLiteral("7"), QString::fromUtf8("Maser \"H2\" \\ Zürich"),
                                             QStringLiteral("true"), QString()}));
    EXPECT_EQ(tabs().currentIndex(), 0);
    const DeviceFrame& s = tabs().pages()[0]->frame();
    EXPECT_EQ(s.m_mode, IOMode::SERIAL);
    EXPECT_EQ(s.m_comPort, QStringLiteral("ttyUSB0"));
    EXPECT_EQ(s.m_stopBits, 1);
    EXPECT_EQ(s.m_parity, 3);
    EXPECT_EQ(s.m_flow, 2);
    EXPECT_EQ(s.m_baud, 115200);
    EXPECT_EQ(tabs().pages()[0]->keyColumn(), -3);
    EXPECT_EQ(tabs().pages()[0]->yEdit()->value().text, QStringLiteral("2 3 4 "));
    EXPECT_EQ(tabs().pages()[0]->stopBitsBox()->combo()->currentText(), QStringLiteral("1.5"));
    const DeviceFrame& t = tabs().pages()[1]->frame();
    EXPECT_EQ(t.m_mode, IOMode::TCP);
    EXPECT_EQ(t.m_ip, QStringLiteral("10.0.0.5"));
    EXPECT_EQ(t.m_tcpPort, 5025);
    EXPECT_EQ(tabs().pages()[1]->xColumn(), 0);
    EXPECT_EQ(tabs().pages()[1]->slide(), 250);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(tabs().deviceFrames()[static_cast<size_t>(i)]->m_instrument, i);

    // Saving the loaded pages gives the same file.
    const QString again = path("again.json");
    ASSERT_TRUE(tabs().saveDeviceConfiguration(again));
    EXPECT_EQ(readFile(again), saved);
}

TEST_F(Panel, LoadsConnectedAndLinkedDevices)
{
    TcpPeer peer;
    DeviceRecord r;
    r.label = "Counter";
    r.tcp = true;
    r.tcpPort = peer.port();
    r.connected = true;
    r.linked = true;
    r.slide = 100;
    r.xColumns = {1};
    r.yColumns = {2, 3};
    DeviceConfigFiler filer(path("live.json"));
    filer.records() = {r};
    ASSERT_TRUE(filer.save());

    QSignalSpy links(&panel, &MiscIO::linkStatusChanged);
    ASSERT_TRUE(tabs().loadDeviceConfiguration(filer.path()));
    ASSERT_TRUE(peer.waitConnected());
    DeviceIOTab* page = tabs().pages()[0];
    EXPECT_TRUE(page->connectButton()->isChecked());
    EXPECT_TRUE(page->linkButton()->isChecked());
    ASSERT_EQ(links.count(), 1);
    EXPECT_EQ(links.at(0).at(0).toString(), QStringLiteral("Counter"));
    EXPECT_EQ(links.at(0).at(2).toInt(), 100);
    EXPECT_TRUE(links.at(0).at(3).toBool());

    // Removing the pages switches the link off first.
    tabs().removeAllInstruments();
    EXPECT_TRUE(tabs().pages().empty());
    ASSERT_TRUE(waitUntil([&] { return !peer.connected(); }));
}

TEST_F(Panel, FilesWithoutDevicesChangeNothing)
{
    showWith({});
    const QString empty = writeFile(path("empty.json"), "{\n}\n");
    EXPECT_FALSE(tabs().loadDeviceConfiguration(empty));
    EXPECT_EQ(tabs().count(), 2);

    // Unreadable content: the box says why, the pages stay.
    for (const QByteArray& bad : {QByteArray(), QByteArray("{ \"Device\" : { \"Label\" : "), QByteArray("\x89PNG\r\n")}) {
        const QString file = writeFile(path("bad.json"), bad);
        prompts->answerMessage(QMessageBox::Ok);
        EXPECT_FALSE(tabs().loadDeviceConfiguration(file));
        EXPECT_EQ(tabs().count(), 2);
        EXPECT_EQ(prompts->asked().back().title, QStringLiteral("Cannot load config file."));
        EXPECT_TRUE(prompts->asked().back().text.startsWith(QStringLiteral("The config file contains an error.\n")));
    }
    prompts->answerMessage(QMessageBox::Ok);
    EXPECT_FALSE(tabs().loadDeviceConfiguration(path("missing.json")));
}

TEST_F(Panel, FailedSaveKeepsTheFileOnDisk)
{
    showWith({});
    const QString file = writeFile(path("devices.json"), "old devices\n");
    // A folder where the temporary file cannot be made.
    const QString locked = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    const QString lockedFile = writeFile(locked + QStringLiteral("/devices.json"), "old devices\n");
    ::chmod(locked.toLocal8Bit().constData(), 0500);
    const bool asRoot = geteuid() == 0;
    if (!asRoot) {
        prompts->answerMessage(QMessageBox::Ok);
        EXPECT_FALSE(tabs().saveDeviceConfiguration(lockedFile));
        EXPECT_EQ(prompts->asked().back().title, QStringLiteral("Cannot save config file."));
        EXPECT_EQ(readFile(lockedFile), QByteArray("old devices\n"));
    }
    ::chmod(locked.toLocal8Bit().constData(), 0700);

    // A path that names a folder cannot be written, whoever we are.
    prompts->answerMessage(QMessageBox::Ok);
    EXPECT_FALSE(tabs().saveDeviceConfiguration(locked));
    EXPECT_TRUE(prompts->asked().back().text.startsWith(QStringLiteral("Cannot save the config file.\n")));
    EXPECT_TRUE(prompts->asked().back().text.endsWith(QStringLiteral("contact\nthe KRO issue tracker")));
    EXPECT_EQ(readFile(file), QByteArray("old devices\n"));
}

// ------------------------------------------------------------ the file

TEST(DeviceFile, WritesTheKnownLayout)
{
    DeviceRecord com = serialRecord("Counter");
    com.key = 2;
    com.slide = 10000;
    com.stopBits = 2.0;
    com.yColumns = {2, 3};
    DeviceRecord tcp;
    tcp.label = "Net";
    tcp.tcp = true;
    tcp.ip = "10.0.0.5";
    tcp.tcpPort = 23;
    tcp.connected = true;
    tcp.xColumns = {0};
    std::ostringstream out;
    json::writeJsonDocument(out, DeviceConfigFiler::toDocument({com, tcp}));
    const std::string expected = R"({
    "Device" : {
        "Label" : "Counter",
        "Key" : 2,
        "Slide" : 10000,
        "Connected" : false,
        "Linked" : false,
        "COM" : {
            "Port" : "ttyUSB0",
            "Baud" : 115200,
            "Data" : 8,
            "Parity" : "NONE",
            "Stop" : 2.0,
            "Flow" : "NONE"
        },
        "X-Columns" : [
            1
        ],
        "Y-Columns" : [
            2,
            3
        ]
    },
    "Device" : {
        "Label" : "Net",
        "Key" : 0,
        "Slide" : 0,
        "Connected" : true,
        "Linked" : false,
        "TCPIP" : {
            "IP" : "10.0.0.5",
            "Port" : 23
        },
        "X-Columns" : [
            0
        ],
        "Y-Columns" : [
        ]
    }
}
)";
    EXPECT_EQ(out.str(), expected);
}

TEST(DeviceFile, ReadErrorsAndDefaults)
{
    kro::test::ScriptedPrompts prompts;
    QTemporaryDir dir;
    const char* good = R"("Device" : { "Label" : "A", "Key" : 0, "Slide" : 9, "Connected" : false, "Linked" : false,
                           "COM" : { "Port" : "ttyS0", "Baud" : 9600, "Data" : 7, "Parity" : "EVEN", "Stop" : 1.0, "Flow" : "NONE" },
                           "X-Columns" : [1], "Y-Columns" : [2] })";
    struct Case {
        const char* name;
        std::string body;       // top-level members
        size_t records;         // loaded before the error (or all)
        const char* error;      // empty: no error
    };
    const std::vector<Case> cases{
        {"TwoDevicesWithOneKey", std::string(good) + "," + good, 2, ""},
        {"NotADevice", std::string(good) + R"(, "Devices" : { "Label" : "B" })", 1,
         R"(Exception (DeviceConfigFiler 47): "Devices" is not a valid device.)"},
        {"NeitherComNorTcp",
         R"("Device" : { "Label" : "A", "Key" : 0, "Slide" : 9, "Connected" : false, "Linked" : false, "X-Columns" : [1], "Y-Columns" : [2] })",
         0, R"(Exception (Group::get() 300): "TCPIP" is not a valid group.)"},
        {"MissingYColumns",
         std::string(good) +
             R"(, "Device" : { "Label" : "B", "Key" : 0, "Slide" : 9, "Connected" : true, "Linked" : false, "TCPIP" : { "IP" : "1.2.3.4", "Port" : 7 }, "X-Columns" : [1] })",
         1, R"(Exception (Group::get() 300): "Y-Columns" is not a valid group.)"},
        {"KeyOfAnotherType",
         R"("Device" : { "Label" : "A", "Key" : "one", "Slide" : 9, "Connected" : false, "Linked" : false, "TCPIP" : {}, "X-Columns" : [1], "Y-Columns" : [2] })",
         0, R"(Exception (Scalar::get() 145): "Key" is not of type int.)"},
        {"BaudOfAnotherType",
         R"("Device" : { "Label" : "A", "Key" : 1, "Slide" : 9, "Connected" : false, "Linked" : false, "COM" : { "Baud" : "fast" }, "X-Columns" : [1], "Y-Columns" : [2] })",
         0, R"(Exception (List::get() 170): "Baud" is not of type int.)"},
        {"ColumnNotANumber",
         R"("Device" : { "Label" : "A", "Key" : 1, "Slide" : 9, "Connected" : false, "Linked" : false, "TCPIP" : {}, "X-Columns" : ["x"], "Y-Columns" : [2] })",
         0, R"(Exception (Array::get() 204): "X-Columns" is not of type list of int.)"},
    };
    for (const Case& c : cases) {
        const QString file = writeFile(dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".json")),
                                       QByteArray::fromStdString("{" + c.body + "}"));
        DeviceConfigFiler filer(file);
        if (*c.error)
            prompts->answerMessage(QMessageBox::Ok);
        EXPECT_EQ(filer.load(), !*c.error) << c.name;
        EXPECT_EQ(filer.records().size(), c.records) << c.name;
        if (*c.error) {
            EXPECT_EQ(prompts->asked().back().title, QStringLiteral("Cannot load config file."));
            EXPECT_EQ(prompts->asked().back().text,
                      QStringLiteral("The config file contains an error.\n%1\n\nFor help with this error please "
                                     "contact\nthe KRO issue tracker")
                          .arg(QString::fromLatin1(c.error)))
                << c.name;
        }
    }

    // Both objects: COM wins; missing COM members read as empty and 0; a
    // TCP device keeps the defaults in its COM part; "Stop" as a whole number.
    const QString mixed = writeFile(dir.filePath(QStringLiteral("mixed.json")), R"({
        "Device" : { "Label" : "A", "Key" : -4, "Slide" : 9, "Connected" : false, "Linked" : true,
                     "TCPIP" : { "IP" : "1.2.3.4", "Port" : 7 }, "COM" : { "Port" : "ttyS1", "Stop" : 2 },
                     "X-Columns" : [], "Y-Columns" : [2, 3] },
        "Device" : { "Label" : "B", "Key" : 0, "Slide" : 9, "Connected" : false, "Linked" : false,
                     "TCPIP" : { "IP" : "1.2.3.4" }, "X-Columns" : [1], "Y-Columns" : [2] } })");
    DeviceConfigFiler filer(mixed);
    ASSERT_TRUE(filer.load());
    ASSERT_EQ(filer.records().size(), 2u);
    const DeviceRecord& a = filer.records()[0];
    EXPECT_FALSE(a.tcp);
    EXPECT_EQ(a.comPort, "ttyS1");
    EXPECT_EQ(a.baud, 0);
    EXPECT_EQ(a.dataBits, 0);
    EXPECT_EQ(a.parity, "");
    EXPECT_EQ(a.stopBits, 2.0);
    EXPECT_EQ(a.flow, "");
    EXPECT_EQ(a.ip, "127.0.0.1");
    EXPECT_EQ(a.key, -4);
    EXPECT_TRUE(a.linked);
    EXPECT_TRUE(a.xColumns.empty());
    EXPECT_EQ(a.yColumns, (std::vector<int>{2, 3}));
    const DeviceRecord& b = filer.records()[1];
    EXPECT_TRUE(b.tcp);
    EXPECT_EQ(b.ip, "1.2.3.4");
    EXPECT_EQ(b.tcpPort, 0);
    EXPECT_EQ(b.baud, 115200);
    EXPECT_EQ(b.dataBits, 8);
    EXPECT_EQ(b.stopBits, 1.0);
    EXPECT_EQ(b.flow, "NONE");
}

TEST(DeviceFile, RecordsRoundTrip)
{
    QTemporaryDir dir;
    DeviceRecord odd = serialRecord("007");
    odd.key = -1;
    odd.slide = 2147483647;
    odd.parity = "SPACE";
    odd.stopBits = 1.5;
    odd.flow = "HARDWARE";
    odd.comPort = "/dev/serial/by-id/usb-\"x\"";
    odd.yColumns = {2, 3, 4};
    DeviceRecord words = serialRecord("false");
    words.comPort = "1234";
    DeviceRecord net;
    net.label = "Résumé \\ ünïcödé ✓";
    net.tcp = true;
    net.ip = "instrument.lab";
    net.tcpPort = 65535;
    net.connected = true;
    net.linked = true;
    net.xColumns = {0};
    DeviceConfigFiler out(dir.filePath(QStringLiteral("round.json")));
    out.records() = {odd, words, net};
    ASSERT_TRUE(out.save());
    DeviceConfigFiler in(out.path());
    ASSERT_TRUE(in.load());
    EXPECT_EQ(in.records(), out.records());
}

} // namespace

TEST_F(Panel, AFileWithMoreDevicesThanThePanelHoldsIsRefusedWhole)
{
    showWith({});
    const int before = tabs().count();
    auto fileOf = [&](int devices, const char* name) {
        DeviceConfigFiler filer(path(name));
        for (int i = 0; i < devices; ++i)
            filer.records().push_back(serialRecord("Device " + std::to_string(i + 1)));
        EXPECT_TRUE(filer.save());
        return filer.path();
    };

    // One more than the panel holds: the box says so, no page is built.
    const QString tooMany = fileOf(DeviceConfigFiler::kMaxDevices + 1, "many.json");
    prompts->answerMessage(QMessageBox::Ok);
    EXPECT_FALSE(tabs().loadDeviceConfiguration(tooMany));
    ASSERT_FALSE(prompts->asked().empty());
    EXPECT_EQ(prompts->asked().back().title, QStringLiteral("Cannot load config file."));
    EXPECT_TRUE(prompts->asked().back().text.contains(
        QStringLiteral("%1 holds %2 devices; the panel holds at most %3.")
            .arg(tooMany)
            .arg(DeviceConfigFiler::kMaxDevices + 1)
            .arg(DeviceConfigFiler::kMaxDevices)))
        << prompts->asked().back().text.toStdString();
    EXPECT_EQ(tabs().count(), before);

    // A file far beyond any device file is not even read whole.
    QByteArray huge = "{ \"Device\" : { \"Label\" : \"";
    huge += QByteArray(DeviceConfigFiler::kMaxFileBytes, 'x');
    huge += "\" } }";
    const QString hugeFile = writeFile(path("huge.json"), huge);
    prompts->answerMessage(QMessageBox::Ok);
    EXPECT_FALSE(tabs().loadDeviceConfiguration(hugeFile));
    EXPECT_TRUE(prompts->asked().back().text.contains("is no device file")) << prompts->asked().back().text.toStdString();
    EXPECT_EQ(tabs().count(), before);

    // As many as the panel holds load, one page each, in file order.
    const QString full = fileOf(DeviceConfigFiler::kMaxDevices, "full.json");
    const std::size_t asked = prompts->asked().size();
    ASSERT_TRUE(tabs().loadDeviceConfiguration(full));
    EXPECT_EQ(prompts->asked().size(), asked);
    ASSERT_EQ(tabs().pages().size(), std::size_t(DeviceConfigFiler::kMaxDevices));
    EXPECT_EQ(tabs().tabText(0), QStringLiteral("Device 1"));
    EXPECT_EQ(tabs().tabText(DeviceConfigFiler::kMaxDevices - 1),
              QStringLiteral("Device %1").arg(DeviceConfigFiler::kMaxDevices));
}
