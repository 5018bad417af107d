// The web fetch feeding real live plots: a loopback HTTP server, a real FTP
// server and files in temporary folders on one side, the plot tabs' live
// links on the other, wired as the main window wires them. What counts is
// what the plot holds in the end.
#include "plottabs_fixture.h"

#include "miscio/liveadvancedsetup.h"
#include "miscio/webfetch.h"
#include "platform/analogtimer.h"
#include "plot/plotter.h"
#include "tabs/liveplotter.h"

#include "support/files.h"
#include "support/webpeers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>

#include "platform/labeledwidget.h"

using kro::test::FtpServer;
using kro::test::HttpPeer;
using kro::test::httpOk;
using kro::test::waitUntil;

namespace {

// Rows "i 2i" for i = 1 .. n.
QByteArray numberedRows(int n)
{
    QByteArray out;
    for (int i = 1; i <= n; ++i)
        out += QByteArray::number(i) + ' ' + QByteArray::number(2 * i) + '\n';
    return out;
}

class WebFetchLive : public PlotTabsTest {
protected:
    void SetUp() override
    {
        PlotTabsTest::SetUp();
        QFile::remove(WebFetchWidget::historyPath());
        widget = std::make_unique<WebFetchWidget>();
        widget->setTiming({5000, 1, 100});
        QObject::connect(widget.get(), &WebFetchWidget::linkStatusChanged, ctrl.get(),
                         &PlotterCtrl::on_linkStatusChanged);
        QObject::connect(widget.get(), &WebFetchWidget::newWebString, ctrl.get(), &PlotterCtrl::on_newDeviceString,
                         Qt::DirectConnection);
        QObject::connect(widget.get(), &WebFetchWidget::status, [this](const QString& t) { statuses << t; });
        widget->linkBox()->setChecked(true);
    }
    void TearDown() override
    {
        widget.reset();
        PlotTabsTest::TearDown();
    }

    void fetch(const QString& address)
    {
        widget->setAddress(address);
        widget->connectButton()->click();
    }
    // Waits until the status says the transfer has finished.
    bool finished()
    {
        return waitUntil([this] {
            return !statuses.isEmpty() && statuses.last().startsWith(QLatin1String("Transfer finished")) &&
                   widget->queuedJobs() == 0;
        });
    }
    std::vector<double> points(const QString& label) const
    {
        Plotter* plot = ctrl->findPlotter(label, 0);
        const CurveData* c = plot ? plot->curve(0) : nullptr;
        return c ? std::vector<double>(c->values.begin(), c->values.end()) : std::vector<double>{};
    }

    std::unique_ptr<WebFetchWidget> widget;
    QStringList statuses;
};

TEST_F(WebFetchLive, SkipRowsApplyOncePerFetchedTextHoweverItIsFed)
{
    // 200,000 rows reach the plot in several blocks (an HTTP body spooled to
    // a file, and a local file); each fetch skips its first 3 rows only.
    const int n = 200000;
    const QByteArray data = numberedRows(n);
    QTemporaryDir dir;
    const QString path = kro::test::writeFile(dir.filePath(QStringLiteral("rows.txt")), data);
    HttpPeer peer;
    peer.answer(httpOk(data));
    struct Case {
        const char* name;
        QString address;
        QString label;
    };
    const Case cases[] = {
        {"HTTP body", QStringLiteral("http://127.0.0.1:%1/rows.txt").arg(peer.port()), QStringLiteral("127.0.0.1")},
        {"local file", QStringLiteral("file://") + path, path},
    };
    widget->advancedSetup()->skipBox()->setChecked(true);
    widget->advancedSetup()->skipRowsBox()->setValue(3);
    widget->advancedSetup()->slideBox()->setValue(1); // keep every point
    widget->setBlockSize(qsizetype(1) << 18);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Fetched twice, appended: the second text skips its 3 rows again.
        for (int round = 1; round <= 2; ++round) {
            statuses.clear();
            fetch(c.address);
            ASSERT_TRUE(finished()) << qPrintable(statuses.join(QLatin1Char('|')));
            const std::vector<double> p = points(c.label);
            ASSERT_EQ(p.size(), std::size_t(2 * round * (n - 3)));
            const std::size_t first = std::size_t(2 * (round - 1) * (n - 3));
            EXPECT_EQ(p[first], 4.0);
            EXPECT_EQ(p[first + 1], 8.0);
            EXPECT_EQ(p[p.size() - 2], double(n));
            // No row is missing inside the text either.
            std::size_t gaps = 0;
            for (std::size_t i = first + 2; i < p.size(); i += 2)
                gaps += p[i] != p[i - 2] + 1;
            EXPECT_EQ(gaps, 0u);
        }
    }
}

TEST_F(WebFetchLive, FtpTextsWithoutFinalLineBreakKeepTheirLastRowAndNeverRunTogether)
{
    QTemporaryDir dir;
    // Ten rows "0 0" .. "9 81", the last without line break.
    QByteArray data;
    for (int i = 0; i < 10; ++i)
        data += QByteArray::number(i) + ' ' + QByteArray::number(i * i) + (i < 9 ? "\n" : "");
    kro::test::writeFile(dir.filePath(QStringLiteral("pub/squares.txt")), data);
    FtpServer server(dir.path());
    if (!server.python())
        GTEST_SKIP() << "python3 is not installed, so there is no FTP server to fetch from";
    ASSERT_TRUE(server.ready()) << qPrintable(server.output());

    qint64 now = 0;
    widget->countdown()->setClock([&now] { return now; });
    widget->continuousButton()->click();
    fetch(QStringLiteral("ftp://127.0.0.1:%1/pub/squares.txt").arg(server.port()));
    std::vector<double> expected;
    for (int fetchNo = 1; fetchNo <= 3; ++fetchNo) {
        for (int i = 0; i < 10; ++i)
            expected.insert(expected.end(), {double(i), double(i * i)});
        ASSERT_TRUE(waitUntil([&] { return points(QStringLiteral("127.0.0.1")).size() >= expected.size(); }))
            << qPrintable(statuses.join(QLatin1Char('|')));
        ASSERT_TRUE(finished());
        EXPECT_EQ(points(QStringLiteral("127.0.0.1")), expected);
        now += 5 * 60 * 1000; // the next period
    }
    widget->connectButton()->click(); // Stop
}

TEST_F(WebFetchLive, APageCannotEndTheProgram)
{
    HttpPeer peer;
    peer.answer(httpOk("1 2\ncmd: exit\ncmd: title: Fetched\n3 4\n"));
    QSignalSpy exits(ctrl.get(), &PlotterCtrl::exit);
    fetch(QStringLiteral("http://127.0.0.1:%1/page").arg(peer.port()));
    ASSERT_TRUE(finished()) << qPrintable(statuses.join(QLatin1Char('|')));
    EXPECT_EQ(exits.count(), 0);
    EXPECT_TRUE(transcripts.contains(QStringLiteral("Warning: The command \"cmd: exit\" from \"127.0.0.1\" was "
                                                    "refused: only the host program of a linked session can end "
                                                    "KRO.")))
        << qPrintable(transcripts.join(QLatin1Char('|')));
    // The rows and the other commands around it still count.
    EXPECT_EQ(points(QStringLiteral("127.0.0.1")), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(ctrl->findPlotter(QStringLiteral("127.0.0.1"), 0)->title(), QStringLiteral("Fetched"));
}

TEST_F(WebFetchLive, ADateFormatThatReadsNothingIsReportedAndPlotsNothing)
{
    QTemporaryDir dir;
    const QString path =
        kro::test::writeFile(dir.filePath(QStringLiteral("dated.txt")), "2024-03-01 5\n2024-03-02 6\n");
    LiveAdvancedSetup& adv = *widget->advancedSetup();
    adv.useDateBox()->setChecked(true);
    adv.dateColumnBox()->setValue(1);
    adv.dateFormatBox()->combo()->setEditText(QStringLiteral("%Q"));
    fetch(QStringLiteral("file://") + path);
    ASSERT_TRUE(finished()) << qPrintable(statuses.join(QLatin1Char('|')));
    EXPECT_TRUE(points(path).empty());
    ASSERT_EQ(transcripts.size(), 1) << qPrintable(transcripts.join(QLatin1Char('|')));
    EXPECT_EQ(transcripts[0], QStringLiteral("Error: The date/time format \"%Q\" of the live link \"%1\" reads nothing "
                                             "(after each '%' one of a A b B d j m U W w y Y H M S s p P F z Z is "
                                             "needed); its rows are not plotted.")
                                  .arg(path));

    // A sound format that cannot read the file's dates: those rows give no
    // point at x = 0, and the transcript says which value failed.
    transcripts.clear();
    adv.dateFormatBox()->combo()->setEditText(QStringLiteral("%d.%m.%Y"));
    fetch(QStringLiteral("file://") + path);
    ASSERT_TRUE(finished()) << qPrintable(statuses.join(QLatin1Char('|')));
    EXPECT_TRUE(points(path).empty()) << points(path).size();
    ASSERT_EQ(transcripts.size(), 1) << qPrintable(transcripts.join(QLatin1Char('|')));
    EXPECT_TRUE(transcripts[0].startsWith(QStringLiteral("Warning: Date/time parser unable to convert value. Link: ") +
                                          path))
        << qPrintable(transcripts[0]);
    EXPECT_TRUE(transcripts[0].contains(QStringLiteral("2024-03-01"))) << qPrintable(transcripts[0]);
}

TEST_F(WebFetchLive, ARowPastTheFileReadersCapIsDroppedWithItsMessage)
{
    // A link that sends digits and never a line feed (a host pipe, an
    // instrument or a fetched file alike): past 64 MB the row is dropped, the
    // link's memory stays bounded, and the rows after it count.
    FileObject f(QStringLiteral("%Y-%m-%d"), QStringLiteral("%Y-%m-%d %H:%M:%S"), QStringLiteral("%H:%M:%S"));
    f.m_xColumn = 0;
    f.m_yColumns.resize(1);
    f.m_yColumns[0].column = 1;
    ctrl->on_linkStatusChanged(QStringLiteral("Pipe"), f, -1, true);
    const QString digits(8 << 20, QLatin1Char('7'));
    bool ready = false;
    ctrl->on_newDeviceString(QStringLiteral("Pipe"), QStringLiteral("1 2\n"), ready);
    for (int i = 0; i < 9; ++i)
        ctrl->on_newDeviceString(QStringLiteral("Pipe"), digits, ready);
    LivePlotter* link = ctrl->findLivePlotter(PlotterCtrl::liveKey(QStringLiteral("Pipe")));
    ASSERT_NE(link, nullptr);
    EXPECT_LE(link->m_carry.partial.capacity(), std::size_t(64) << 20);
    ctrl->on_newDeviceString(QStringLiteral("Pipe"), digits + QStringLiteral("\n3 4\n"), ready);
    EXPECT_EQ(transcripts, QStringList{QStringLiteral("Error: Line 2 of the link \"Pipe\" is longer than 64 MB. The "
                                                      "line was dropped; the lines after it are read.")});
    EXPECT_EQ(points(QStringLiteral("Pipe")), (std::vector<double>{1, 2, 3, 4}));
}

} // namespace
