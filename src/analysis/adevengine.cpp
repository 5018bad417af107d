#include "analysis/adevengine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
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

// The window sum A_j of the modified and time deviations, summed directly
// (four partial sums: long windows are not one chain of dependent adds).
double windowSum(const double* x, std::size_t j, std::size_t u)
{
    double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0;
    const double* p = x + j;
    std::size_t l = 0;
    for (; l + 4 <= u; l += 4) {
        a0 += p[l + 2 * u] - 2.0 * p[l + u] + p[l];
        a1 += p[l + 1 + 2 * u] - 2.0 * p[l + 1 + u] + p[l + 1];
        a2 += p[l + 2 + 2 * u] - 2.0 * p[l + 2 + u] + p[l + 2];
        a3 += p[l + 3 + 2 * u] - 2.0 * p[l + 3 + u] + p[l + 3];
    }
    for (; l < u; ++l)
        a0 += p[l + 2 * u] - 2.0 * p[l + u] + p[l];
    return (a0 + a1) + (a2 + a3);
}

// A_(j+1) - A_j: one third difference.
inline double windowStep(const double* x, std::size_t j, std::size_t u)
{
    return x[j + 3 * u] - 3.0 * x[j + 2 * u] + 3.0 * x[j + u] - x[j];
}

// Sum of A_j squared for j in [begin, end): A_(j+1) follows from A_j by one
// third difference, anchored anew by a direct sum every `block` starts.
double windowSquaresChain(const double* x, std::size_t u, std::size_t begin, std::size_t end, std::size_t block)
{
    double s = 0.0;
    for (std::size_t b = begin; b < end; b += block) {
        double a = windowSum(x, b, u);
        s += a * a;
        const std::size_t stop = std::min(end, b + block);
        for (std::size_t j = b + 1; j < stop; ++j) {
            a += windowStep(x, j - 1, u);
            s += a * a;
        }
    }
    return s;
}

// Sum over j = 0..N-3u of A_j squared, in O(N) whatever u. The recurrence
// is anchored anew by a direct sum every so many starts, so its rounding
// cannot build up over long curves (the direct sums cost at most as much as
// the recurrence). Four quarters of the starts run side by side, so the
// additions of one quarter do not wait on each other.
double sumOfWindowSquares(const double* x, std::size_t n, std::size_t u)
{
    const std::size_t count = n - 3 * u + 1;
    const std::size_t block = std::max<std::size_t>(u, 4096);
    constexpr std::size_t lanes = 4;
    const std::size_t len = count / lanes;
    if (len < 16)
        return windowSquaresChain(x, u, 0, count, block);
    double a[lanes], s[lanes] = {};
    for (std::size_t t0 = 0; t0 < len; t0 += block) {
        const std::size_t t1 = std::min(len, t0 + block);
        for (std::size_t k = 0; k < lanes; ++k) {
            a[k] = windowSum(x, k * len + t0, u);
            s[k] += a[k] * a[k];
        }
        for (std::size_t t = t0 + 1; t < t1; ++t) {
            for (std::size_t k = 0; k < lanes; ++k) {
                a[k] += windowStep(x, k * len + t - 1, u);
                s[k] += a[k] * a[k];
            }
        }
    }
    const double rest = windowSquaresChain(x, u, lanes * len, count, block);
    return ((s[0] + s[1]) + (s[2] + s[3])) + rest;
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
    if (interval == ALL_TAU && n > 0)
        factors.reserve(std::size_t((n - 1) / m));
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
    // Window i + offset is read before window i + offset is replaced.
#pragma GCC ivdep
    for (std::size_t i = 0; i < count; ++i) {
        lo[i] = std::min(lo[i], lo[i + offset]);
        hi[i] = std::max(hi[i], hi[i + offset]);
    }
}

double MtieWindows::combineRange(std::size_t offset, std::size_t count)
{
    double* lo = m_min.data();
    double* hi = m_max.data();
    // Two largest ranges side by side; the larger of them is the same
    // number in any order (the samples hold no NaN here).
    double best0 = 0.0, best1 = 0.0;
    std::size_t i = 0;
#pragma GCC ivdep
    for (; i + 2 <= count; i += 2) {
        const double l0 = std::min(lo[i], lo[i + offset]), h0 = std::max(hi[i], hi[i + offset]);
        const double l1 = std::min(lo[i + 1], lo[i + 1 + offset]), h1 = std::max(hi[i + 1], hi[i + 1 + offset]);
        lo[i] = l0;
        hi[i] = h0;
        lo[i + 1] = l1;
        hi[i + 1] = h1;
        best0 = std::max(best0, h0 - l0);
        best1 = std::max(best1, h1 - l1);
    }
    for (; i < count; ++i) {
        lo[i] = std::min(lo[i], lo[i + offset]);
        hi[i] = std::max(hi[i], hi[i + offset]);
        best0 = std::max(best0, hi[i] - lo[i]);
    }
    return std::max(best0, best1);
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
        const std::size_t offset = target - m_width;
        m_width = target;
        return combineRange(offset, n - target + 1);
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

// The factors of a job: all-tau lists (1, 2, 3, ...) are not stored, so a
// run over millions of them starts at once.
class FactorList {
public:
    FactorList(int type, int interval, std::size_t n)
        : m_allTau(interval == ALL_TAU),
          m_listed(m_allTau ? std::vector<std::uint64_t>() : averagingFactors(type, interval, n)),
          m_count(m_allTau ? (n > 0 ? std::size_t((n - 1) / minimumMultiple(type)) : 0) : m_listed.size())
    {
    }
    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    std::uint64_t operator[](std::size_t i) const { return m_allTau ? std::uint64_t(i) + 1 : m_listed[i]; }

private:
    bool m_allTau;
    std::vector<std::uint64_t> m_listed;
    std::size_t m_count;
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
    const FactorList factors(type, interval, n);
    std::size_t reach = 0;  // factors below this index may have been computed
    ProgressRule rule(adevProgressStep(type, interval, n), cancel, progress);
    // The factor that follows factor i (the percentage is taken there).
    auto following = [&](std::size_t i) {
        return i + 1 < factors.size() ? factors[i + 1]
                                      : nextAveragingFactor(interval, factors[i], n, std::uint64_t(i + 1));
    };
    // Zeroed memory straight from the system (all-zero is "not computed"):
    // pages of the millions of all-tau factors are only touched as they
    // are computed, so a cancelled run does not wait for them.
    const std::unique_ptr<FactorValue[], void (*)(void*)> values(
        static_cast<FactorValue*>(std::calloc(std::max<std::size_t>(factors.size(), 1), sizeof(FactorValue))),
        std::free);
    if (!values)
        throw std::bad_alloc();

    const bool spread = helpers > 1 && factors.size() > 1 && (interval == MANY_TAU || interval == ALL_TAU);
    if (!spread) {
        std::unique_ptr<MtieWindows> mtie;
        if (type == MTIE && !factors.empty())
            mtie = std::make_unique<MtieWindows>(x);
        for (std::size_t i = 0; i < factors.size() && !rule.cancelled(); ++i) {
            values[i] = factorValue(type, x, factors[i], tau0, yScale, mtie.get());
            reach = i + 1;
            rule.passed(100.0 * double(m * following(i)) / double(n));
        }
    } else {
        // Threads take runs of factors in turn; the progress counts the
        // factors finished. The deviations' factors are independent: a run
        // is one factor. MTIE carries its windows from factor to factor: a
        // run is a stretch of consecutive factors of about equal work (a
        // factor u costs about N - u), whose thread builds the windows of
        // the run's first factor by doubling and carries them from there,
        // so every value is the one the single thread finds.
        std::vector<std::size_t> runStarts;
        if (type == MTIE) {
            // Each MTIE thread holds two copies of the samples: at most
            // about 1 GB of them.
            const std::size_t budget = std::size_t(1) << 30;
            const std::size_t perThread = std::max<std::size_t>(1, 2 * n * sizeof(double));
            helpers = int(std::clamp<std::size_t>(budget / perThread, 1, std::size_t(helpers)));
            double total = 0.0;
            for (std::size_t i = 0; i < factors.size(); ++i)
                total += double(n - factors[i]);
            const double share = total / double(4 * helpers);
            double work = share;
            for (std::size_t i = 0; i < factors.size(); ++i) {
                if (work >= share) {
                    runStarts.push_back(i);
                    work = 0.0;
                }
                work += double(n - factors[i]);
            }
        }
        runStarts.push_back(factors.size());

        std::atomic<std::size_t> next{0};
        std::mutex progressMutex;
        std::size_t finished = 0;
        std::exception_ptr failure;  // the first error of a thread, raised here
        std::atomic<bool> failed{false};
        auto runs = [&]() {
            for (;;) {
                if (rule.cancelled() || failed.load())
                    return;
                const std::size_t run = next.fetch_add(1);
                const std::size_t runs = type == MTIE ? runStarts.size() - 1 : factors.size();
                if (run >= runs)
                    return;
                const std::size_t first = type == MTIE ? runStarts[run] : run;
                const std::size_t last = type == MTIE ? runStarts[run + 1] : run + 1;
                std::unique_ptr<MtieWindows> mtie;
                if (type == MTIE) {
                    mtie = std::make_unique<MtieWindows>(x);
                    // The windows of the run's first factor, one doubling
                    // at a time, so that a cancel is seen in between.
                    for (std::uint64_t w = 1; 2 * w < factors[first] + 1; w *= 2) {
                        if (rule.cancelled())
                            return;
                        mtie->advance(2 * w - 1);
                    }
                }
                for (std::size_t i = first; i < last; ++i) {
                    if (rule.cancelled())
                        return;
                    values[i] = factorValue(type, x, factors[i], tau0, yScale, mtie.get());
                    std::lock_guard<std::mutex> lock(progressMutex);
                    const std::size_t k = finished++;
                    rule.passed(100.0 * double(m * following(k)) / double(n));
                }
            }
        };
        auto work = [&]() {
            try {
                runs();
            } catch (...) {
                std::lock_guard<std::mutex> lock(progressMutex);
                if (!failure)
                    failure = std::current_exception();
                failed.store(true);
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
        const std::size_t taken = std::min(next.load(), type == MTIE ? runStarts.size() - 1 : factors.size());
        reach = type == MTIE ? runStarts[taken] : taken;
        if (failure)
            std::rethrow_exception(failure);
    }

    std::size_t done = 0;
    for (std::size_t i = 0; i < reach; ++i)
        done += values[i].done;
    out.points.reserve(2 * done);
    for (std::size_t i = 0; i < reach; ++i) {
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
