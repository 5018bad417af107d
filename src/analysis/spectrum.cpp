#include "analysis/spectrum.h"

#include <QCoreApplication>

#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>

#include "core/fft.h"
#include "core/linearfilter.h"

namespace {
constexpr double kTwoPi = 6.283185307179586476925286766559;

[[noreturn]] void refuse(const char* text) { throw std::invalid_argument(text); }
} // namespace

struct SpectrumEstimator::Impl {
    SpectrumSettings s;
    std::unique_ptr<FftPlan> plan;
    std::vector<double> window;   // w(i), i < N
    std::vector<double> power;    // accumulated |X_j|^2 per bin
    int first = 0;                // j0
    int bins = 0;                 // floor(N/2) - j0
    double scale = 0.0;           // factor on the accumulated power of a bin other than 0
};

SpectrumEstimator::SpectrumEstimator(const SpectrumSettings& settings) : d(new Impl)
{
    std::unique_ptr<Impl> guard(d);
    d->s = settings;
    if (!(settings.sampleRate > 0) || !std::isfinite(settings.sampleRate))
        refuse("The sample rate must be a positive number of Hz.");
    if (settings.slices < 1)
        refuse("The number of slices must be at least 1.");
    if (settings.type == SPECTRUM_PHASE_NOISE && !std::isfinite(settings.carrier))
        refuse("The carrier frequency must be a number of Hz.");
    const int n = settings.pointsPerSlice;
    d->plan = std::make_unique<FftPlan>(n, 0);

    d->window.assign(static_cast<std::size_t>(n), 1.0);
    applyWindow(settings.window, d->window, n);
    double sumSquares = 0.0;
    for (double w : d->window)
        sumSquares += w * w;

    d->first = settings.type == SPECTRUM_OSCILLATION_POWER ? 1 : 0;
    d->bins = std::max(0, n / 2 - d->first);
    d->power.assign(static_cast<std::size_t>(d->bins), 0.0);

    double factor = 1.0;
    if (settings.type == SPECTRUM_PHASE_NOISE) {
        const double w0 = kTwoPi * settings.carrier;
        factor = w0 * w0 / 2.0;
    }
    // A window of zeros only (a one-point Bartlett window, say) has no power:
    // every bin comes out zero instead of dividing by zero.
    d->scale = sumSquares > 0 ? 2.0 * factor / (settings.slices * settings.sampleRate * sumSquares) : 0.0;
    guard.release();
}

SpectrumEstimator::~SpectrumEstimator() { delete d; }

int SpectrumEstimator::binCount() const { return d->bins; }

SpectrumResult SpectrumEstimator::run(const double* values, std::size_t count, std::size_t stride)
{
    const SpectrumSettings& s = d->s;
    const std::size_t n = static_cast<std::size_t>(s.pointsPerSlice);
    if (count / static_cast<std::size_t>(s.slices) < n)
        refuse("The curve has fewer points than the slices times the points per slice.");

    std::fill(d->power.begin(), d->power.end(), 0.0);
    double* buf = d->plan->data();
    const double* w = d->window.data();
    for (int slice = 0; slice < s.slices; ++slice) {
        const double* in = values + static_cast<std::size_t>(slice) * n * stride;
        for (std::size_t i = 0; i < n; ++i) {
            buf[2 * i] = in[i * stride] * w[i];
            buf[2 * i + 1] = 0.0;
        }
        d->plan->execute();
        for (int b = 0; b < d->bins; ++b) {
            const std::size_t j = static_cast<std::size_t>(b + d->first);
            d->power[static_cast<std::size_t>(b)] += buf[2 * j] * buf[2 * j] + buf[2 * j + 1] * buf[2 * j + 1];
        }
    }

    SpectrumResult r;
    r.points.resize(2 * static_cast<std::size_t>(d->bins));
    double smallest = std::numeric_limits<double>::infinity();
    for (int b = 0; b < d->bins; ++b) {
        const int j = b + d->first;
        // The zero-frequency bin has no mirror image in the negative half.
        double p = d->power[static_cast<std::size_t>(b)] * (j == 0 ? d->scale / 2.0 : d->scale);
        d->power[static_cast<std::size_t>(b)] = p;
        if (p != 0.0) {
            const double l = std::log10(p);
            if (std::isfinite(l) && l < smallest)
                smallest = l;
        }
    }
    r.floorLog10 = std::isfinite(smallest) ? smallest : 0.0;

    const double fs = s.sampleRate;
    const double nd = static_cast<double>(n);
    for (int b = 0; b < d->bins; ++b) {
        const int j = b + d->first;
        const double p = d->power[static_cast<std::size_t>(b)];
        double db;
        if (p == 0.0) {
            db = 10.0 * r.floorLog10;
            ++r.zeroCount;
        } else {
            db = 10.0 * std::log10(p);
        }
        // The periods fall as j rises: the oscillation power is written from
        // the last bin back, so its periods ascend.
        const std::size_t at = s.type == SPECTRUM_OSCILLATION_POWER ? static_cast<std::size_t>(d->bins - 1 - b)
                                                                     : static_cast<std::size_t>(b);
        r.points[2 * at] = s.type == SPECTRUM_OSCILLATION_POWER ? nd / (fs * j) : fs / nd * j;
        r.points[2 * at + 1] = db;
    }
    return r;
}

bool allFinite(const double* values, std::size_t count, std::size_t stride)
{
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(values[i * stride]))
            return false;
    return true;
}

std::vector<double> inverseTransformPoints(const std::vector<double>& points)
{
    const std::size_t n = points.size() / 2;
    if (n < 1 || n > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw std::runtime_error("Unable to run FFT. Invalid size.");
    FftPlan plan(static_cast<int>(n), 1);
    std::copy(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(2 * n), plan.data());
    plan.execute();
    std::vector<double> out(2 * n);
    const double* buf = plan.data();
    for (std::size_t j = 0; j < n; ++j) {
        out[2 * j] = static_cast<double>(j);
        out[2 * j + 1] = buf[2 * j];
    }
    return out;
}

QString zeroPowerMessage(int id, const SpectrumResult& r)
{
    if (r.zeroCount == 0)
        return QString();
    if (r.allZero())
        return QCoreApplication::translate("Plotter", "FFT of curve C%1 has returned all 0-valued power points!")
            .arg(id + 1);
    return QCoreApplication::translate("Plotter", "FFT of curve C%1 returned %2 0-valued power points. These points "
                                                  "have been assigned power values of %3 (%4 dB).")
        .arg(id + 1)
        .arg(r.zeroCount)
        .arg(std::pow(10.0, r.floorLog10), 0, 'g', 6)
        .arg(10.0 * r.floorLog10, 0, 'g', 6);
}
