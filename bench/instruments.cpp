// Instruments: the user's path from an instrument to the page.
//   SerialIntoPage / TcpIntoPage: text lines written by an instrument on a
//     pseudo-terminal or a loopback TCP server, through the link, the page's
//     clean-up and its console, and (linked) handed to the live-plot
//     receiver. Reports bytes per second; goal at least 10 MB/s.
//   Vt100Plain / Vt100Coloured: removing VT-style sequences; goal at least
//     100 MB/s on plain text, and time linear in the size.
//   ConsoleAppend: one line into a console that already shows its maximum
//     number of lines: the cost stays the same however much came before.
#include <benchmark/benchmark.h>

#include "../tests/support/peers.h"
#include "miscio/deviceiotab.h"
#include "miscio/logedit.h"
#include "miscio/vt100parser.h"

#include <QPushButton>

#include <memory>

namespace {

using kro::test::PtyPair;
using kro::test::TcpPeer;
using kro::test::waitUntil;

// About 4 MB of instrument rows: time, frequency, phase.
QByteArray instrumentRows(qsizetype bytes)
{
    QByteArray rows;
    rows.reserve(bytes + 64);
    for (int i = 0; rows.size() < bytes; ++i)
        rows += QByteArray::number(60000.0 + i * 1e-5, 'f', 6) + " 10000000.00" + QByteArray::number(i % 97) +
                " -1.25e-9\n";
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
