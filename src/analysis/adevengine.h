#pragma once
// The Allan-deviation family of frequency-stability statistics over phase
// (time-error) samples x[0..N-1] spaced by tau0: normal and overlapping
// Allan deviation, modified Allan deviation, time deviation, Hadamard
// deviation and MTIE. Free functions without widgets; the engine thread
// (adevthread.h) runs them for the curves of a plot.
#include <QString>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The statistics, as bits (several in a request, one in a job).
enum AdevType : int {
    NORMAL = 1,
    OVERLAPPING = 2,
    MODIFIED = 4,
    TIME = 8,
    HADAMARD = 16,
    MTIE = 32,
};
constexpr int ADEV_ALL_TYPES = NORMAL | OVERLAPPING | MODIFIED | TIME | HADAMARD | MTIE;

// How the averaging factor u steps (tau = u tau0); u starts at 1.
enum AFInterval : int {
    OCTAVE = 1,    // u * 2
    DECADE = 2,    // u * 10
    MANY_TAU = 4,  // u + 1 up to 1000 points, then growing steps
    ALL_TAU = 8,   // u + 1
    NO_INTERVAL = 16,
};

// The display word of one statistic bit ("Normal" ... "MTIE"); "None" for
// anything else.
QString adevTypeName(int type);

// One request (a curve and its statistics) or one job (one statistic).
struct AdevRequest {
    int curve = 0;          // curve id (C1 is 0)
    int job = 0;            // job number, 0 in a request
    int types = 0;          // AdevType bits
    int interval = OCTAVE;  // AFInterval
    double tau = 0.0;       // tau0 in seconds
    QString name;           // legend text of the curve, or the job title
};

// The sum S and count M of a statistic at averaging factor u, such that
// the deviation is sqrt(S / M * 0.5 / tau^2) with tau = u tau0 (MTIE has
// none). M is 0 when the samples are too few for the factor.
struct AdevSum {
    double sum = 0.0;
    double count = 0.0;
};
AdevSum adevSum(int type, const double* x, std::size_t n, std::uint64_t u, double tau0);
// yScale * sqrt(S / M * 0.5 / tau^2).
double adevValue(const AdevSum& s, double tau, double yScale);

// The averaging factors a job visits, in order: from 1 while m u < n
// (m = 1 for MTIE, else 4). Without an interval (NO_INTERVAL or an unknown
// value) only the first factor is visited.
std::vector<std::uint64_t> averagingFactors(int type, int interval, std::size_t n);
// The factor after u; k counts the steps taken so far (1 at the first).
std::uint64_t nextAveragingFactor(int interval, std::uint64_t u, std::size_t n, std::uint64_t k);

// The percentage steps at which a job reports progress.
double adevProgressStep(int type, int interval, std::size_t n);

// Maximum time interval error, factor after factor: the minima and maxima
// of all windows of u + 1 samples are carried from one factor to the next
// (each new window combines two of the previous ones, doubling the window
// where the factor grows faster), so every value equals a scan of the
// windows exactly.
class MtieWindows {
public:
    explicit MtieWindows(const std::vector<double>& x);
    // The largest range (max - min) over the windows x[i..i+u], u >= the
    // previous u, u < n. NaN samples make the value NaN.
    double advance(std::uint64_t u);

private:
    void combine(std::size_t offset, std::size_t count);
    // combine() that also returns the largest range of the new windows.
    double combineRange(std::size_t offset, std::size_t count);
    const std::vector<double>& m_x;
    std::vector<double> m_min, m_max;
    std::size_t m_width = 1;  // samples per window
    bool m_nan = false;
};

// One job's result: (tau, value) pairs in factor order. Factors whose sum is
// exactly zero have a deviation of 0, which a log axis cannot show: they
// are left out and counted.
struct AdevCurve {
    std::vector<double> points;
    int zeroSums = 0;
    bool finished = false;  // all factors computed (not cancelled)
};

// Computes one statistic over the samples. cancel (may be null) is read
// before every factor; progress (may be empty) receives the percentage as
// the progress rule passes each step. helpers > 1 spreads the factors of
// the many-tau and all-tau lists over that many threads (same values).
AdevCurve computeAdevCurve(const std::vector<double>& x, int type, int interval, double tau0, double yScale,
                           const std::atomic<bool>* cancel, const std::function<void(double)>& progress,
                           int helpers = 1);
