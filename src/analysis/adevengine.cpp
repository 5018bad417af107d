#include "analysis/adevengine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>

QString adevTypeName(int type)
{
    switch (type) {
    case NORMAL:
        return QStringLiteral("Normal");
    case OVERLAPPING:
        return QStringLiteral("Overlapping");
    case MODIFIED:
        return QStringLiteral("Modified");
    case TIME:
        return QStringLiteral("Time");
    case HADAMARD:
        return QStringLiteral("Hadamard");
    case MTIE:
        return QStringLiteral("MTIE");
    default:
        return QStringLiteral("None");
    }
}

namespace {

// Sum of squares with four accumulators (less rounding, and the loop
// pipelines).
template <typename Term>
double sumOfSquares(std::size_t count, Term term)
{
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const double a = term(i), b = term(i + 1), c = term(i + 2), d = term(i + 3);
        s0 += a * a;
        s1 += b * b;
        s2 += c * c;
        s3 += d * d;
    }
    for (; i < count; ++i) {
        const double a = term(i);
        s0 += a * a;
    }
    return (s0 + s1) + (s2 + s3);
}

// The window sum A_j of the modified and time deviations, summed directly.
double windowSum(const double* x, std::size_t j, std::size_t u)
{
    double a = 0.0;
    for (std::size_t l = j; l < j + u; ++l)
        a += x[l + 2 * u] - 2.0 * x[l + u] + x[l];
    return a;
}

// Sum over j = 0..N-3u of A_j squared. A_(j+1) follows from A_j by one third
// difference; the recurrence is anchored anew by a direct sum every so many
// starts, so its rounding cannot build up over long curves (the direct sums
// cost at most as much as the recurrence).
double sumOfWindowSquares(const double* x, std::size_t n, std::size_t u)
{
    const std::size_t count = n - 3 * u + 1;
    const std::size_t anchorEvery = std::max<std::size_t>(u, 4096);
    double s0 = 0.0, s1 = 0.0;
    double a = 0.0;
    for (std::size_t j = 0; j < count; ++j) {
        if (j % anchorEvery == 0)
            a = windowSum(x, j, u);
        else
            a += x[j - 1 + 3 * u] - 3.0 * x[j - 1 + 2 * u] + 3.0 * x[j - 1 + u] - x[j - 1];
        if (j & 1)
            s1 += a * a;
        else
            s0 += a * a;
    }
    return s0 + s1;
}

} // namespace

AdevSum adevSum(int type, const double* x, std::size_t n, std::uint64_t u64, double tau0)
{
    AdevSum r;
    if (u64 == 0 || n == 0)
        return r;
    const std::size_t u = std::size_t(u64);
    switch (type) {
    case NORMAL: {
        // Non-overlapping second differences: ceil(N/u - 2) of them.
        if ((n - 1) / u < 2)
            return r;
        const std::size_t m = (n - 1) / u - 1;
        r.sum = sumOfSquares(m, [&](std::size_t i) { return x[u * (i + 2)] - 2.0 * x[u * (i + 1)] + x[u * i]; });
        r.count = double(m);
        return r;
    }
    case OVERLAPPING: {
        if (n <= 2 * u)
            return r;
        const std::size_t m = n - 2 * u;
        r.sum = sumOfSquares(m, [&](std::size_t i) { return x[i + 2 * u] - 2.0 * x[i + u] + x[i]; });
        r.count = double(m);
        return r;
    }
    case MODIFIED:
    case TIME: {
        if (n < 3 * u)
            return r;
        const double s = sumOfWindowSquares(x, n, u);
        r.count = double(n - 3 * u + 1);
        r.sum = type == MODIFIED ? s / double(u) / double(u) : tau0 * tau0 * (s / 3.0);
        return r;
    }
    case HADAMARD: {
        // Non-overlapping third differences: ceil(N/u - 3) of them.
        if ((n - 1) / u < 3)
            return r;
        const std::size_t m = (n - 1) / u - 2;
        r.sum = sumOfSquares(m,
                             [&](std::size_t i) {
                                 return x[u * (i + 3)] - 3.0 * x[u * (i + 2)] + 3.0 * x[u * (i + 1)] - x[u * i];
                             }) /
                3.0;
        r.count = double(m);
        return r;
    }
    default:
        return r;
    }
}

double adevValue(const AdevSum& s, double tau, double yScale)
{
    return yScale * std::sqrt((s.sum / s.count) * 0.5 / (tau * tau));
}

std::uint64_t nextAveragingFactor(int interval, std::uint64_t u, std::size_t n, std::uint64_t k)
{
    switch (interval) {
    case OCTAVE:
        return u * 2;
    case DECADE:
        return u * 10;
    case MANY_TAU:
        if (n <= 1000)
            return u + 1;
        return u + std::uint64_t(double(k) / 100.0 + 0.5) + 1;
    case ALL_TAU:
        return u + 1;
    default:
        return u;
    }
}

namespace {
std::uint64_t minimumMultiple(int type) { return type == MTIE ? 1 : 4; }
bool knownInterval(int interval)
{
    return interval == OCTAVE || interval == DECADE || interval == MANY_TAU || interval == ALL_TAU;
}
} // namespace

std::vector<std::uint64_t> averagingFactors(int type, int interval, std::size_t n)
{
    std::vector<std::uint64_t> factors;
    const std::uint64_t m = minimumMultiple(type);
    std::uint64_t u = 1, k = 1;
    while (m * u < n) {
        factors.push_back(u);
        // Without a known step u would never change: one factor only.
        if (!knownInterval(interval))
            break;
        u = nextAveragingFactor(interval, u, n, k++);
    }
    return factors;
}

double adevProgressStep(int type, int interval, std::size_t n)
{
    if ((interval == MANY_TAU || interval == ALL_TAU) && type != NORMAL && type != HADAMARD) {
        if (n >= 2000000)
            return interval == ALL_TAU ? 0.1 : 0.2;
        if (n >= 1000000)
            return interval == ALL_TAU ? 0.2 : 1.0;
        if (n >= 500000)
            return 1.0;
    }
    return 5.0;
}

// ---------------------------------------------------------------------------
// MTIE

MtieWindows::MtieWindows(const std::vector<double>& x) : m_x(x), m_min(x), m_max(x)
{
    m_nan = std::any_of(x.begin(), x.end(), [](double v) { return std::isnan(v); });
}

void MtieWindows::combine(std::size_t offset, std::size_t count)
{
    double* lo = m_min.data();
    double* hi = m_max.data();
    for (std::size_t i = 0; i < count; ++i) {
        lo[i] = std::min(lo[i], lo[i + offset]);
        hi[i] = std::max(hi[i], hi[i + offset]);
    }
}

double MtieWindows::advance(std::uint64_t u)
{
    const std::size_t n = m_x.size();
    const std::size_t target = std::size_t(u) + 1;
    if (m_nan)
        return std::numeric_limits<double>::quiet_NaN();
    if (target > n || target < m_width)
        return 0.0;
    // Window i of w samples and window i + d together cover w + d samples
    // when d <= w; double the windows until one step reaches the target.
    while (2 * m_width < target) {
        combine(m_width, n - 2 * m_width + 1);
        m_width *= 2;
    }
    if (target > m_width) {
        combine(target - m_width, n - target + 1);
        m_width = target;
    }
    double best = 0.0;
    const std::size_t windows = n - m_width + 1;
    for (std::size_t i = 0; i < windows; ++i) {
        const double r = m_max[i] - m_min[i];
        best = r > best ? r : best;
    }
    return best;
}

// ---------------------------------------------------------------------------
// One job

namespace {

// The progress rule: at most one report per factor; the threshold rises by
// one step per report however far the percentage jumped.
class ProgressRule {
public:
    ProgressRule(double step, const std::atomic<bool>* cancel, const std::function<void(double)>& report)
        : m_step(step), m_cancel(cancel), m_report(report)
    {
    }
    void passed(double percent)
    {
        if (percent > m_threshold) {
            if (m_report && !cancelled())
                m_report(percent);
            m_threshold += m_step;
        }
    }
    bool cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }

private:
    double m_step;
    double m_threshold = 0.0;
    const std::atomic<bool>* m_cancel;
    const std::function<void(double)>& m_report;
};

struct FactorValue {
    double value = 0.0;
    bool zero = false;
    bool done = false;
};

FactorValue factorValue(int type, const std::vector<double>& x, std::uint64_t u, double tau0, double yScale,
                        MtieWindows* mtie)
{
    FactorValue f;
    f.done = true;
    const double tau = double(u) * tau0;
    if (type == MTIE) {
        const double range = mtie->advance(u);
        f.zero = range == 0.0;
        f.value = yScale * range;
        return f;
    }
    const AdevSum s = adevSum(type, x.data(), x.size(), u, tau0);
    f.zero = s.sum == 0.0;
    f.value = adevValue(s, tau, yScale);
    return f;
}

} // namespace

AdevCurve computeAdevCurve(const std::vector<double>& x, int type, int interval, double tau0, double yScale,
                           const std::atomic<bool>* cancel, const std::function<void(double)>& progress,
                           int helpers)
{
    AdevCurve out;
    const std::size_t n = x.size();
    const std::uint64_t m = minimumMultiple(type);
    const std::vector<std::uint64_t> factors = averagingFactors(type, interval, n);
    ProgressRule rule(adevProgressStep(type, interval, n), cancel, progress);
    // The factor that follows factor i (the percentage is taken there).
    auto following = [&](std::size_t i) {
        return i + 1 < factors.size() ? factors[i + 1]
                                      : nextAveragingFactor(interval, factors[i], n, std::uint64_t(i + 1));
    };
    std::vector<FactorValue> values(factors.size());

    const bool spread = helpers > 1 && type != MTIE && factors.size() > 1 &&
                        (interval == MANY_TAU || interval == ALL_TAU);
    if (!spread) {
        std::unique_ptr<MtieWindows> mtie;
        if (type == MTIE && !factors.empty())
            mtie = std::make_unique<MtieWindows>(x);
        for (std::size_t i = 0; i < factors.size() && !rule.cancelled(); ++i) {
            values[i] = factorValue(type, x, factors[i], tau0, yScale, mtie.get());
            rule.passed(100.0 * double(m * following(i)) / double(n));
        }
    } else {
        // Factors are independent for the deviations: threads take them in
        // turn; the progress counts the factors finished.
        std::atomic<std::size_t> next{0};
        std::mutex progressMutex;
        std::size_t finished = 0;
        auto work = [&]() {
            for (;;) {
                if (rule.cancelled())
                    return;
                const std::size_t i = next.fetch_add(1);
                if (i >= factors.size())
                    return;
                values[i] = factorValue(type, x, factors[i], tau0, yScale, nullptr);
                std::lock_guard<std::mutex> lock(progressMutex);
                const std::size_t k = finished++;
                rule.passed(100.0 * double(m * following(k)) / double(n));
            }
        };
        std::vector<std::thread> threads;
        for (int h = 1; h < helpers; ++h) {
            try {
                threads.emplace_back(work);
            } catch (const std::system_error&) {
                break;  // fewer helpers: this thread does the rest
            }
        }
        work();
        for (std::thread& t : threads)
            t.join();
    }

    out.points.reserve(2 * values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i].done)
            continue;
        if (values[i].zero) {
            ++out.zeroSums;
            continue;
        }
        out.points.push_back(double(factors[i]) * tau0);
        out.points.push_back(values[i].value);
    }
    out.finished = !rule.cancelled();
    if (out.finished && progress)
        progress(100.0);
    return out;
}
