// Plotter: appending live points with a sliding window, the arrival-rate
// meter, and the conversion of Unix time stamps to Modified Julian Dates.
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "plot/plotter.h"
#include "plot/ticklabels.h"

namespace {

constexpr double kUnixEpochMjd = 40587.0;
// Windows up to this many values are reserved whole when they start to fill.
constexpr std::size_t kReserveLimit = std::size_t(1) << 26;

// The batch's largest x and smallest and largest y, finite values only.
struct BatchExtremes {
    double maxX = -std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();
};

BatchExtremes extremesOf(const std::vector<double>& v)
{
    BatchExtremes e;
    for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
        const double x = v[i], y = v[i + 1];
        if (std::isfinite(x) && x > e.maxX)
            e.maxX = x;
        if (std::isfinite(y)) {
            if (y < e.minY)
                e.minY = y;
            if (y > e.maxY)
                e.maxY = y;
        }
    }
    return e;
}

// The previous values followed by the batch, cut to the newest maxPoints
// points (a negative maxPoints: no limit). Once the curve is full the batch
// replaces the oldest points in place, without reallocating.
void appendSliding(std::vector<double>& values, const std::vector<double>& batch, int maxPoints)
{
    if (maxPoints < 0) {
        values.insert(values.end(), batch.begin(), batch.end());
        return;
    }
    const std::size_t window = 2 * std::size_t(maxPoints);
    // A filling window gets its memory once instead of growing (and copying
    // its points) step by step; pages are only touched as points arrive.
    if (values.capacity() < window && values.size() + batch.size() > values.capacity() && window <= kReserveLimit) {
        try {
            values.reserve(window);
        } catch (const std::bad_alloc&) {
            // Grow as needed instead.
        }
    }
    if (batch.size() >= window) {
        values.assign(batch.end() - std::ptrdiff_t(window), batch.end());
        return;
    }
    if (values.size() == window) {
        const std::size_t keep = window - batch.size();
        std::memmove(values.data(), values.data() + batch.size(), keep * sizeof(double));
        std::memcpy(values.data() + keep, batch.data(), batch.size() * sizeof(double));
        return;
    }
    values.insert(values.end(), batch.begin(), batch.end());
    if (values.size() > window)
        values.erase(values.begin(), values.end() - std::ptrdiff_t(window));
}

} // namespace

qint64 Plotter::rateClockMs() const
{
    if (m_rateClockSource)
        return m_rateClockSource();
    return m_rateClock ? m_rateClock->elapsed() : 0;
}

bool Plotter::inMjdRange() { return m_mjdInRange; }

void Plotter::appendLiveData(int id, const std::vector<double>& points, int maxPoints, bool rescale)
{
    if (points.size() < 2)
        return;
    if (points.size() % 2 != 0) {
        Q_EMIT transcript(tr("Warning: Data passed to plotter is invalid. X and Y vector sizes are mismatched."));
        return;
    }
    m_liveData = true;

    // Rate meter.
    if (m_rateClock) {
        const qint64 now = rateClockMs();
        m_ratePointCount += points.size() / 2;
        if (now - m_rateLastMs >= 1000) {
            const double rate = double(m_ratePointCount) / (double(now - m_rateLastMs) / 1000.0);
            m_pointRate += (rate - m_pointRate) * 2.0 / 3.0;
            m_rateLastMs = now;
            m_ratePointCount = 0;
            Q_EMIT plotterRateUpdate(this, m_pointRate);
            Q_EMIT mjdInRange(m_mjdInRange);
            if (m_autoConvertMjdLive) {
                m_dateTimeAxis = m_mjdInRange;
                if (now > 1000 && now < 2000)
                    plot();
            }
        }
    }

    // Five pixels of y at the current scale.
    double margin = pixelToData(QPoint(0, 0)).y() - pixelToData(QPoint(5, 5)).y();
    if (!std::isfinite(margin))
        margin = 0.0;
    const BatchExtremes e = extremesOf(points);
    const bool hasX = std::isfinite(e.maxX);
    const bool hasY = std::isfinite(e.minY);
    const double by0 = e.minY - margin, by1 = e.maxY + margin;

    ViewRect& base = m_views.at(0);
    const auto existing = m_curves.find(id);
    if (existing == m_curves.end() || existing->second.values.size() < 2) {
        if (pointCountOfAllCurves(m_curves) == 0) {
            if (hasX)
                base.autoX.max = e.maxX;
            if (hasY)
                base.autoY = AxisRange(by0, by1);
        } else {
            base.autoX.max = maxX();
            if (!rescale)
                base.autoY = AxisRange(minY(), maxY());
        }
    }
    if (hasX && e.maxX > base.xRange().max)
        base.autoX.max = e.maxX;
    if (!rescale && hasY) {
        if (by0 < base.yRange().min)
            base.autoY.min = by0;
        if (by1 > base.yRange().max)
            base.autoY.max = by1;
    }

    // A curve created here takes its palette colours at once.
    CurveData& c = m_curves[id];
    appendSliding(c.values.mut(), points, maxPoints);
    applyDefaultAttributes(id);

    if (c.values.size() >= 2) {
        base.autoX.min = minX();
        if (rescale)
            base.autoY = AxisRange(minY() - margin, maxY() + margin);
        if (m_yGranularity < 1 && m_viewIndex == 0) {
            int n = (height() - m_marginTop - m_marginBottom) / (m_tickFontHeight + 50);
            if (n <= 0)
                n = 5;
            else if (n == 1)
                n = 2;
            base.yTicks.wanted = n;
        }
        computeAxisTicks(base, 0);
        computeAxisTicks(base, 1);
    }

    if (!m_rateClock) {
        m_rateLastMs = 0;
        m_ratePointCount = 0;
        m_pointRate = 0.0;
        m_rateClock.emplace();
        m_rateClock->start();
    }
}

void Plotter::on_convertFromUnixToMJD()
{
    cache(0);
    if (!m_dateTimeAxis) {
        // Check everything before anything changes: a curve with an odd
        // number of values or a time stamp outside the date range leaves
        // every curve as it was.
        bool inRange = true;
        for (const auto& [id, c] : m_curves) {
            c.pointCount();
            for (std::size_t i = 0; i < c.values.size(); i += 2) {
                if (!ticklabels::hasDateText(c.values[i] / 86400.0 + kUnixEpochMjd)) {
                    inRange = false;
                    break;
                }
            }
            if (!inRange)
                break;
        }
        if (!inRange) {
            Q_EMIT verbose(ZEVOVE::ERROR, tr("Conversion from Unix timestamp to MJD failed. Values fell out of range."));
            return;
        }
        for (auto& [id, c] : m_curves) {
            std::vector<double>& v = c.values.mut();
            for (std::size_t i = 0; i < v.size(); i += 2)
                v[i] = v[i] / 86400.0 + kUnixEpochMjd;
        }
    }
    plot();
    rescale();
}
