// Instruments: the user's path from an instrument to the page.
//   SerialIntoPage / TcpIntoPage: text lines written by an instrument on a
//     pseudo-terminal or a loopback TCP server, through the link, the page's
//     clean-up and its console, and (linked) handed to the live-plot
//     receiver. Reports bytes per second; goal at least 10 MB/s.
//   SerialIntoLivePlot / TcpIntoLivePlot: the same instruments on a page of
//     the instrument panel whose link is on, wired to the plot tabs as the
//     main window wires them: from the first byte the instrument writes to
//     the last row stored in the live plot's curve (sliding window of the
//     page's default size, the plot redrawn after every text). Goal at
//     least 10 MB/s.
//   Vt100Plain / Vt100Coloured: removing VT-style sequences; goal at least
//     100 MB/s on plain text, and time linear in the size.
//   ConsoleAppend: one line into a console that already shows its maximum
//     number of lines: the cost stays the same however much came before.
#include <benchmark/benchmark.h>

#include "../tests/support/peers.h"
#include "miscio/deviceiotab.h"
#include "miscio/logedit.h"
#include "miscio/miscio.h"
#include "miscio/vt100parser.h"
#include "plot/plotter.h"
#include "tabs/plotterctrl.h"
#include "tabs/progressbar.h"

#include <QPushButton>
#include <QToolButton>

#include <cmath>
#include <memory>

namespace {

using kro::test::PtyPair;
using kro::test::TcpPeer;
using kro::test::waitUntil;

// Instrument rows of about the given size: time, frequency, phase. The
// times count on from the given row number.
QByteArray instrumentRows(qsizetype bytes, qint64 firstRow = 0)
{
    QByteArray rows;
    rows.reserve(bytes + 64);
    for (qint64 i = firstRow; rows.size() < bytes; ++i)
        rows += QByteArray::number(60000.0 + double(i) * 1e-5, 'f', 6) + " 10000000.00" +
                QByteArray::number(i % 97) + " -1.25e-9\n";
    return rows;
}

// A page for the frame; counts what its link delivered (after the page
// handled it) and what reached the live-plot receiver.
struct PageUnderTest {
    explicit PageUnderTest(const DeviceFrame& frame, bool linked)
        : page(std::make_unique<DeviceIOTab>(nullptr, 0, QStringList(), frame))
    {
        QObject::connect(page.get(), &DeviceIOTab::newDeviceString,
                         [this](const QString&, const QString& text, bool& ready) {
                             toPlot += text.size();
                             ready = true;
                         });
        page->applyFrame();
        QObject::connect(page->link(), &DeviceInterface::stringReady,
                         [this](const QString& text) { delivered += text.size(); });
        page->linkButton()->setChecked(linked);
    }
    std::unique_ptr<DeviceIOTab> page;
    qsizetype delivered = 0;
    qsizetype toPlot = 0;
};

// Sends the rows once per iteration and waits until the page has them all.
template <typename Send>
void measure(benchmark::State& state, PageUnderTest& t, Send send)
{
    const QByteArray rows = instrumentRows(4 << 20);
    for (auto _ : state) {
        const qsizetype target = t.delivered + rows.size();
        send(rows);
        if (!waitUntil([&] { return t.delivered >= target; }, 60000))
            state.SkipWithError("not everything arrived");
    }
    state.SetBytesProcessed(state.iterations() * rows.size());
    state.counters["plotted_MB"] = static_cast<double>(t.toPlot) / 1e6;
}

DeviceFrame connectedFrame()
{
    DeviceFrame frame;
    frame.m_label = QStringLiteral("counter");
    frame.m_connected = true;
    return frame;
}

void SerialIntoPage(benchmark::State& state)
{
    PtyPair pty;
    DeviceFrame frame = connectedFrame();
    frame.m_comPort = pty.slavePath();
    PageUnderTest t(frame, state.range(0) != 0);
    measure(state, t, [&](const QByteArray& rows) { pty.write(rows); });
}
BENCHMARK(SerialIntoPage)->ArgName("linked")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void TcpIntoPage(benchmark::State& state)
{
    TcpPeer peer;
    DeviceFrame frame = connectedFrame();
    frame.m_mode = IOMode::TCP;
    frame.m_tcpPort = peer.port();
    PageUnderTest t(frame, state.range(0) != 0);
    peer.waitConnected();
    measure(state, t, [&](const QByteArray& rows) { peer.write(rows); });
}
BENCHMARK(TcpIntoPage)->ArgName("linked")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The instrument panel and the plot tabs, connected as the main window
// connects them, with one page for the frame; its link is switched on.
struct LinkedPanel {
    explicit LinkedPanel(const DeviceFrame& frame)
        : tabs(std::make_unique<PlotterCtrl>(nullptr, &bar, &undo))
    {
        tabs->resize(1200, 800);
        tabs->show();
        QObject::connect(&panel, &MiscIO::linkStatusChanged, tabs.get(), &PlotterCtrl::on_linkStatusChanged,
                         Qt::DirectConnection);
        QObject::connect(&panel, &MiscIO::newDeviceString, tabs.get(), &PlotterCtrl::on_newDeviceString,
                         Qt::DirectConnection);
        panel.setPortProbe([] { return QStringList(); });
        const int position = panel.setupGUI()->addInstrument(frame);
        for (DeviceIOTab* p : panel.setupGUI()->pages())
            if (p->frame().m_instrument == position)
                page = p;
        page->linkButton()->setChecked(true);
    }
    // The x of the newest point of the live plot's curve (NaN while empty).
    double lastX() const
    {
        const Plotter* plot = tabs->findPlotter(page->label(), 0);
        if (!plot || plot->curves().empty() || plot->curves().begin()->second.pointCount() == 0)
            return std::nan("");
        const CurveData& curve = plot->curves().begin()->second;
        return curve.x(curve.pointCount() - 1);
    }
    ProgressBar bar;
    QToolButton undo;
    MiscIO panel;
    std::unique_ptr<PlotterCtrl> tabs;
    DeviceIOTab* page = nullptr;
};

// Sends new rows every iteration and waits until the plot's curve ends with
// the last of them.
template <typename Send>
void measureIntoPlot(benchmark::State& state, LinkedPanel& t, Send send)
{
    constexpr qsizetype kBytes = 4 << 20;
    qint64 firstRow = 0;
    qsizetype sent = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QByteArray rows = instrumentRows(kBytes, firstRow);
        const qint64 count = rows.count('\n');
        const double last = QByteArray::number(60000.0 + double(firstRow + count - 1) * 1e-5, 'f', 6).toDouble();
        firstRow += count;
        state.ResumeTiming();
        send(rows);
        if (!waitUntil([&] { return std::abs(t.lastX() - last) < 5e-7; }, 120000)) {
            state.SkipWithError("the last row did not reach the plot");
            return;
        }
        sent += rows.size();
    }
    state.SetBytesProcessed(sent);
}

void SerialIntoLivePlot(benchmark::State& state)
{
    PtyPair pty;
    DeviceFrame frame = connectedFrame();
    frame.m_comPort = pty.slavePath();
    LinkedPanel t(frame);
    if (!t.page->link()->isPortOpen()) {
        state.SkipWithError("the pseudo-terminal did not open");
        return;
    }
    measureIntoPlot(state, t, [&](const QByteArray& rows) { pty.write(rows); });
}
BENCHMARK(SerialIntoLivePlot)->Unit(benchmark::kMillisecond)->UseRealTime();

void TcpIntoLivePlot(benchmark::State& state)
{
    TcpPeer peer;
    DeviceFrame frame = connectedFrame();
    frame.m_mode = IOMode::TCP;
    frame.m_tcpPort = peer.port();
    LinkedPanel t(frame);
    if (!peer.waitConnected()) {
        state.SkipWithError("the link did not connect");
        return;
    }
    measureIntoPlot(state, t, [&](const QByteArray& rows) { peer.write(rows); });
}
BENCHMARK(TcpIntoLivePlot)->Unit(benchmark::kMillisecond)->UseRealTime();

void Vt100Plain(benchmark::State& state)
{
    const QByteArray text = instrumentRows(state.range(0));
    Vt100Parser parser;
    for (auto _ : state) {
        QByteArray copy = text;
        parser.parse(copy);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(Vt100Plain)->RangeMultiplier(4)->Range(1 << 20, 16 << 20)->Unit(benchmark::kMillisecond);

void Vt100Coloured(benchmark::State& state)
{
    // Every row in colour, the screen cleared now and then.
    QByteArray text;
    const QByteArray rows = instrumentRows(state.range(0));
    int n = 0;
    for (const QByteArray& row : rows.split('\n')) {
        text += (++n % 100 == 0 ? "\x1b[2J\x1b[H" : "") + QByteArray("\x1b[32m") + row + "\x1b[0m\r\n";
    }
    Vt100Parser parser;
    for (auto _ : state) {
        QByteArray copy = text;
        parser.clearCodes();
        parser.parse(copy);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(Vt100Coloured)->RangeMultiplier(4)->Range(1 << 20, 16 << 20)->Unit(benchmark::kMillisecond);

void ConsoleAppend(benchmark::State& state)
{
    LogEdit console(nullptr, QStringLiteral("Log 0"));
    console.setMaxLines(static_cast<int>(state.range(0)));
    const QString line = QStringLiteral("60321.123456789 10000000.0012 -1.25e-9\n");
    for (int i = 0; i < 3 * state.range(0); ++i)
        console.append(line);
    for (auto _ : state)
        console.append(line);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ConsoleAppend)->Arg(20)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace
