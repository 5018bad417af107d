#include "analysis/filterdesign.h"

#include <QCoreApplication>

#include <cmath>
#include <complex>
#include <limits>

#include "core/linearfilter.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
using Complex = std::complex<double>;

Complex at(const std::vector<double>& v, int k) { return {v[2 * k], v[2 * k + 1]}; }
void put(std::vector<double>& v, int k, Complex z)
{
    v[2 * k] = z.real();
    v[2 * k + 1] = z.imag();
}

QString tr(const char* text) { return QCoreApplication::translate("FiltDesign", text); }

// True when every root of a(0) z^m + ... + a(m) lies inside the unit
// circle (the step-down recursion of the Schur-Cohn test).
bool stableDenominator(std::vector<double> a)
{
    for (int i = static_cast<int>(a.size()) - 1; i >= 1; --i) {
        for (int j = i; j >= 0; --j)
            a[j] /= a[0];
        const double k = a[i];
        if (!(std::fabs(k) < 1.0))
            return false;
        std::vector<double> next(static_cast<std::size_t>(i));
        for (int j = 0; j < i; ++j)
            next[j] = (a[j] - k * a[i - j]) / (1.0 - k * k);
        a = std::move(next);
    }
    return true;
}

// |B/A| at the angular frequency w.
double gainAt(const std::vector<double>& b, const std::vector<double>& a, double w)
{
    Complex B, A;
    for (std::size_t k = 0; k < b.size(); ++k)
        B += b[k] * std::polar(1.0, -w * static_cast<double>(k));
    for (std::size_t k = 0; k < a.size(); ++k)
        A += a[k] * std::polar(1.0, -w * static_cast<double>(k));
    return std::abs(B / A);
}

// The largest difference between the magnitude response of the designed
// Butterworth coefficients and the magnitude the design stands for,
// 1 / sqrt(1 + L^2n) with L the prewarped frequency of the lowpass
// prototype, over frequencies spread across (0, pi).
double responseDeviation(const FilterDesign& d, int response, int n)
{
    constexpr int kSteps = 1024;
    const double c1 = std::tan(kPi * d.fcNorm / 2), c2 = std::tan(kPi * d.fhiNorm / 2);
    double worst = 0.0;
    for (int i = 1; i < kSteps; ++i) {
        const double w = kPi * i / kSteps;
        const double t = std::tan(w / 2);
        double l;
        if (response == LOWPASS)
            l = t / c1;
        else if (response == HIGHPASS)
            l = c1 / t;
        else
            l = (t * t - c1 * c2) / (t * (c2 - c1));
        const double ideal = 1.0 / std::sqrt(1.0 + std::pow(l * l, n));
        const double e = std::fabs(gainAt(d.b, d.a, w) - ideal);
        if (!std::isfinite(e))
            return std::numeric_limits<double>::infinity();
        worst = std::max(worst, e);
    }
    return worst;
}

FilterDesign failed(FilterDesign d, const QString& problem)
{
    d.ok = false;
    d.problem = problem;
    d.b.clear();
    d.a.clear();
    return d;
}

std::vector<double> firTaps(int response, int n, double u, double u2)
{
    std::vector<double> h(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) {
        const double d = i - n / 2.0;
        double v;
        if (d == 0) {
            v = response == LOWPASS ? u : response == HIGHPASS ? 1.0 - u : u2 - u;
        } else {
            const double dp = d * kPi;
            if (response == LOWPASS)
                v = std::sin(dp * u) / dp;
            else if (response == HIGHPASS)
                v = (std::sin(dp) - std::sin(dp * u)) / dp;
            else
                v = (std::sin(dp * u2) - std::sin(dp * u)) / dp;
        }
        h[static_cast<std::size_t>(i)] = v;
    }
    return h;
}
} // namespace

std::vector<double> binomialMult(int n, const double* p)
{
    std::vector<double> a(2 * static_cast<std::size_t>(n), 0.0);
    for (int i = 0; i < n; ++i) {
        const Complex pi(p[2 * i], p[2 * i + 1]);
        for (int j = i; j > 0; --j)
            put(a, j, at(a, j) + pi * at(a, j - 1));
        put(a, 0, at(a, 0) + pi);
    }
    return a;
}

std::vector<double> trinomialMult(int n, const double* b, const double* c)
{
    std::vector<double> a(4 * static_cast<std::size_t>(n), 0.0);
    if (n < 1)
        return a;
    put(a, 0, Complex(b[0], b[1]));
    put(a, 1, Complex(c[0], c[1]));
    for (int i = 1; i < n; ++i) {
        const Complex bi(b[2 * i], b[2 * i + 1]);
        const Complex ci(c[2 * i], c[2 * i + 1]);
        put(a, 2 * i + 1, at(a, 2 * i + 1) + ci * at(a, 2 * i - 1));
        for (int j = 2 * i; j > 1; --j)
            put(a, j, at(a, j) + bi * at(a, j - 1) + ci * at(a, j - 2));
        put(a, 1, at(a, 1) + bi * at(a, 0) + ci);
        put(a, 0, at(a, 0) + bi);
    }
    return a;
}

std::vector<double> butterworthDenominatorLowpass(int n, double u)
{
    const double theta = kPi * u;
    const double s = std::sin(theta), c = std::cos(theta);
    std::vector<double> poles(2 * static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const double phi = kPi * (2.0 * k + 1.0) / (2.0 * n);
        const double d = 1.0 + s * std::sin(phi);
        poles[2 * k] = -c / d;
        poles[2 * k + 1] = -s * std::cos(phi) / d;
    }
    std::vector<double> prod = binomialMult(n, poles.data());
    // a(0) = 1, a(k) = the real part of entry k - 1, moved within the array.
    std::vector<double> a(2 * static_cast<std::size_t>(n), 0.0);
    if (n >= 1) {
        a[0] = 1.0;
        for (int k = 1; k <= n; ++k)
            a[k] = prod[2 * (k - 1)];
    }
    return a;
}

std::vector<double> butterworthDenominatorBandpass(int n, double u1, double u2)
{
    const double cp = std::cos(kPi * (u2 + u1) / 2.0);
    const double theta = kPi * (u2 - u1) / 2.0;
    const double s = std::sin(theta), c = std::cos(theta);
    const double s2 = 2.0 * s * c, c2 = 2.0 * c * c - 1.0;
    std::vector<double> r(2 * static_cast<std::size_t>(n)), t(2 * static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const double phi = kPi * (2.0 * k + 1.0) / (2.0 * n);
        const double d = 1.0 + s2 * std::sin(phi);
        r[2 * k] = c2 / d;
        r[2 * k + 1] = s2 * std::cos(phi) / d;
        t[2 * k] = -2.0 * cp * (c + s * std::sin(phi)) / d;
        t[2 * k + 1] = -2.0 * cp * s * std::cos(phi) / d;
    }
    std::vector<double> prod = trinomialMult(n, t.data(), r.data());
    std::vector<double> a(4 * static_cast<std::size_t>(n), 0.0);
    if (n >= 1) {
        a[0] = 1.0;
        for (int k = 1; k <= 2 * n; ++k)
            a[k] = prod[2 * (k - 1)];
    }
    return a;
}

std::vector<long long> butterworthNumerator(int n)
{
    if (n < 1)
        return {1};
    std::vector<long long> c(static_cast<std::size_t>(n) + 1, 0);
    c[0] = 1;
    c[1] = n;
    for (int i = 2; i <= n / 2; ++i) {
        c[i] = c[i - 1] * (n - i + 1) / i;
        c[n - i] = c[i];
    }
    c[n - 1] = n;
    c[n] = 1;
    return c;
}

FilterDesign designFilter(const FilterInputs& in)
{
    FilterDesign d;
    if (!in.order || *in.order <= 0)
        return failed(d, tr("Enter the order, a whole number above 0."));
    if (!in.fs || !(*in.fs > 0) || !std::isfinite(*in.fs))
        return failed(d, tr("Enter the sample rate, a number of Hz above 0."));
    int n = *in.order;
    d.fs = *in.fs;
    d.fc = in.fc.value_or(0.0);
    d.flo = in.flo.value_or(0.0);
    d.fhi = in.fhi.value_or(0.0);
    const int maxOrder = in.type == IIR ? kMaxIirOrder : kMaxFirOrder;
    if (n > maxOrder)
        return failed(d, tr("The order may be at most %1 for this filter type.").arg(maxOrder));

    if (in.type == SMOOTH) {
        if (n % 2)
            ++n;
        d.order = n;
        d.a = {1.0};
        d.b.assign(static_cast<std::size_t>(n) + 1, 1.0 / (n + 1));
        d.ok = true;
        return d;
    }

    const double half = d.fs / 2.0;
    const bool bandpass = in.response == BANDPASS;
    if (bandpass) {
        if (!in.flo || !in.fhi)
            return failed(d, tr("Enter both band edges (or the centre and the bandwidth)."));
        d.band = d.fhi - d.flo;
        if (!(d.flo > 0 && d.flo < d.fhi && d.fhi < half))
            return failed(d, tr("The band edges must lie between 0 and half the sample rate (%1 Hz), the low "
                                "edge below the high edge.")
                                 .arg(half, 0, 'g', 6));
        d.fcNorm = d.flo / half;
        d.fhiNorm = d.fhi / half;
    } else {
        if (!in.fc)
            return failed(d, tr("Enter the cut-off frequency."));
        d.band = d.fc;
        if (!(d.fc > 0 && d.fc < half))
            return failed(d, tr("The cut-off must lie between 0 and half the sample rate (%1 Hz).").arg(half, 0, 'g', 6));
        d.fcNorm = d.fc / half;
    }
    const double u = d.fcNorm, u2 = d.fhiNorm;

    if (in.type == FIR) {
        // An odd order gives an even number of taps, whose response is zero at
        // half the sample rate: no highpass can be built from them.
        if (in.response == HIGHPASS && n % 2)
            ++n;
        d.order = n;
        d.a = {1.0};
        d.b = firTaps(in.response, n, u, u2);
        applyWindow(in.window, d.b, static_cast<int>(d.b.size()));
        d.ok = true;
        return d;
    }

    d.order = n;
    std::vector<long long> binom = butterworthNumerator(n);
    if (bandpass) {
        std::vector<double> den = butterworthDenominatorBandpass(n, u, u2);
        d.a.assign(den.begin(), den.begin() + 2 * n + 1);
        const double t = 1.0 / std::tan(kPi * (u2 - u) / 2.0);
        double r = 1.0, s = 0.0;
        for (int k = 0; k < n; ++k) {
            const double phi = kPi * (2.0 * k + 1.0) / (2.0 * n);
            const double p = t + std::sin(phi), q = std::cos(phi);
            const double e1 = (r + s) * (p - q), e2 = r * p, e3 = -s * q;
            r = e2 - e3;
            s = e1 - e2 - e3;
        }
        const double g = 1.0 / r;
        d.b.assign(static_cast<std::size_t>(2 * n) + 1, 0.0);
        for (int k = 0; k <= n; ++k)
            d.b[2 * static_cast<std::size_t>(k)] = ((k % 2) ? -1.0 : 1.0) * static_cast<double>(binom[k]) * g;
    } else {
        std::vector<double> den = butterworthDenominatorLowpass(n, u);
        d.a.assign(den.begin(), den.begin() + n + 1);
        const double w = kPi * u;
        double P = 1.0;
        for (int k = 0; k < n / 2; ++k)
            P *= 1.0 + std::sin(w) * std::sin((2.0 * k + 1.0) * kPi / (2.0 * n));
        if (n % 2)
            P *= std::sin(w / 2.0) + std::cos(w / 2.0);
        const double g = std::pow(in.response == LOWPASS ? std::sin(w / 2.0) : std::cos(w / 2.0), n) / P;
        d.b.resize(static_cast<std::size_t>(n) + 1);
        for (int k = 0; k <= n; ++k)
            d.b[k] = ((in.response == HIGHPASS && k % 2) ? -1.0 : 1.0) * static_cast<double>(binom[k]) * g;
    }

    // Where the poles crowd together, rounding the polynomial moves them
    // (outside the unit circle, or far enough to change the response): such
    // a transfer function would not filter as designed.
    if (!stableDenominator(d.a) || !(responseDeviation(d, in.response, n) < 1e-3))
        return failed(d, tr("A Butterworth filter of order %1 at these frequencies cannot be held as one transfer "
                            "function in double precision; lower the order, or move the cut-offs apart and away "
                            "from 0 and half the sample rate.")
                             .arg(n));
    d.ok = true;
    return d;
}

std::vector<double> frequencyResponse(const std::vector<double>& b, const std::vector<double>& a, double fs,
                                      int points)
{
    std::vector<double> out;
    out.reserve(2 * static_cast<std::size_t>(std::max(points, 0)));
    for (int i = 0; i < points; ++i) {
        const double w = i * kPi / points;
        double bre = 0, bim = 0, are = 0, aim = 0;
        for (std::size_t k = 0; k < b.size(); ++k) {
            bre += b[k] * std::cos(static_cast<double>(k) * w);
            bim += b[k] * std::sin(static_cast<double>(k) * w);
        }
        for (std::size_t k = 0; k < a.size(); ++k) {
            are += a[k] * std::cos(static_cast<double>(k) * w);
            aim += a[k] * std::sin(static_cast<double>(k) * w);
        }
        out.push_back(fs * 0.5 * w / kPi);
        out.push_back(10.0 * std::log10((bre * bre + bim * bim) / (are * are + aim * aim)));
    }
    return out;
}
