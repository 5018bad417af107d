#include "tabs/liveplotter.h"

#include "core/settings.h"
#include "import/stdinnotify.h"
#include "plot/plotter.h"
#include "platform/pipes.h"

#include <QTimer>

#include <cstdio>
#include <iostream>

namespace {

// How long a reply may wait for the host to read.
constexpr int kReplyTimeoutMs = 2000;

} // namespace

LivePlotter::LivePlotter(const QString& label, QObject* parent) : QObject(parent), m_label(label)
{
    loadPlotOptions(m_options);
    m_options.linked = false;
    m_options.piped = false;
    m_rescaleTimer = new QTimer(this);
    connect(m_rescaleTimer, &QTimer::timeout, this, &LivePlotter::on_liveRescale);
    m_rescaleTimer->start(10000);
    m_drawTimer = new QTimer(this);
    m_drawTimer->setSingleShot(true);
    connect(m_drawTimer, &QTimer::timeout, this, &LivePlotter::drawNow);
}

LivePlotter::~LivePlotter() = default; // the reader's destructor stops it and waits

void LivePlotter::on_liveRescale() { m_rescalePending = true; }

void LivePlotter::redrawCurves()
{
    if (m_drawTimer->isActive())
        return;
    const qint64 since = m_lastDraw.isValid() ? m_lastDraw.elapsed() : DRAW_INTERVAL_MS;
    if (since < DRAW_INTERVAL_MS)
        m_drawTimer->start(static_cast<int>(DRAW_INTERVAL_MS - since));
    else
        drawNow();
}

void LivePlotter::plotDrawn()
{
    m_drawTimer->stop();
    m_lastDraw.start();
}

void LivePlotter::drawNow()
{
    m_drawTimer->stop();
    if (m_plotter)
        m_plotter->redrawCurves();
    m_lastDraw.start();
}

void LivePlotter::stopReader()
{
    if (m_reader)
        m_reader->stop();
}

void LivePlotter::reply(const std::string& text)
{
    if (m_replyFd == 0 || text.empty())
        return;
    if (m_replyFd == 1) {
        // Text the program printed on standard output goes before the reply.
        std::cout.flush();
        std::fflush(stdout);
    }
    const auto result =
        kro::platform::writeAll(m_replyFd, text.data(), text.size(), m_replyStalled ? 0 : kReplyTimeoutMs);
    m_replyStalled = result == kro::platform::WriteResult::TimedOut;
    if (m_replyStalled && !m_stallReported) {
        m_stallReported = true;
        Q_EMIT replyStalled();
    }
}

bool LivePlotter::readerRunning() const { return m_reader && m_reader->isRunning(); }

void LivePlotter::sendClosingNotice()
{
    static const std::string notice("kro closed\n", 12); // with its terminating NUL
    reply(notice);
}

void LivePlotter::closeReplyChannel()
{
    if (m_replyFd == 0)
        return;
    if (m_replyFd == 1) {
        std::cout.flush();
        std::fflush(stdout);
    }
    kro::platform::retireDescriptor(m_replyFd);
    m_replyFd = 0;
}

const std::vector<int>& LivePlotter::keyCurveIds(const std::string& key, std::size_t count, std::vector<int>* added)
{
    std::vector<int>& ids = m_keyIds[key];
    while (ids.size() < count) {
        const int id = m_nextKeyCurve++;
        ids.push_back(id);
        m_keyCurves[key + "(" + std::to_string(ids.size()) + ")"] = id;
        if (added)
            added->push_back(id);
    }
    return ids;
}

void LivePlotter::forgetKeys()
{
    m_keyCurves.clear();
    m_keyIds.clear();
    m_nextKeyCurve = 0;
}
