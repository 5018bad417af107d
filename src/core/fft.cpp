#include "core/fft.h"

#include <fftw3.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace {

// FFTW's planner is not thread-safe; execution of a plan is.
std::mutex& plannerMutex()
{
    static std::mutex m;
    return m;
}

[[noreturn]] void throwInvalidSize() { throw std::runtime_error("Unable to run FFT. Invalid size."); }

struct FftwFree {
    void operator()(fftw_complex* p) const { fftw_free(p); }
};
using ComplexBuffer = std::unique_ptr<fftw_complex[], FftwFree>;

int checkedSize(std::size_t n)
{
    if (n < 1 || n > static_cast<std::size_t>(INT_MAX))
        throwInvalidSize();
    return static_cast<int>(n);
}

// n complex values, aligned for SIMD, real parts from v (zero beyond it).
ComplexBuffer realBuffer(const std::vector<double>& v, int n)
{
    ComplexBuffer buf(fftw_alloc_complex(static_cast<std::size_t>(n)));
    if (!buf)
        throw std::runtime_error("Unable to run FFT. Not enough memory for the transform.");
    for (int i = 0; i < n; ++i) {
        buf[i][0] = static_cast<std::size_t>(i) < v.size() ? v[static_cast<std::size_t>(i)] : 0.0;
        buf[i][1] = 0.0;
    }
    return buf;
}

// out = re(k) / max |re|.
void normalisedRealParts(const fftw_complex* buf, int n, std::vector<double>& out)
{
    double m = 0.0;
    for (int i = 0; i < n; ++i)
        m = std::fmax(m, std::fabs(buf[i][0]));
    out.clear();
    out.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        out.push_back(buf[i][0] / m);
}

void inPlace(fftw_complex* buf, int n, int inverse)
{
    fft(reinterpret_cast<double*>(buf), reinterpret_cast<double*>(buf), n, inverse);
}

// Transforms a and b forward, forms the product of A with B (conjugated for
// the correlation) and transforms back.
void productOfTransforms(const std::vector<double>& a, const std::vector<double>& b, bool conjugate,
                         std::vector<double>& out)
{
    const int n = checkedSize(std::max(a.size(), b.size()));
    ComplexBuffer fa = realBuffer(a, n);
    ComplexBuffer fb = realBuffer(b, n);
    inPlace(fa.get(), n, 0);
    inPlace(fb.get(), n, 0);
    const double sign = conjugate ? -1.0 : 1.0;
    for (int k = 0; k < n; ++k) {
        const double ar = fa[k][0], ai = fa[k][1];
        const double br = fb[k][0], bi = sign * fb[k][1];
        fa[k][0] = ar * br - ai * bi;
        fa[k][1] = ar * bi + ai * br;
    }
    inPlace(fa.get(), n, 1);
    normalisedRealParts(fa.get(), n, out);
}

} // namespace

void fft(double* data, double* out, int n, int inverse)
{
    if (n < 1)
        throwInvalidSize();
    fftw_plan plan = nullptr;
    {
        std::lock_guard<std::mutex> lock(plannerMutex());
        plan = fftw_plan_dft_1d(n, reinterpret_cast<fftw_complex*>(data), reinterpret_cast<fftw_complex*>(out),
                                inverse == 0 ? FFTW_FORWARD : FFTW_BACKWARD, FFTW_ESTIMATE);
    }
    if (!plan)
        throwInvalidSize();
    fftw_execute(plan);
    std::lock_guard<std::mutex> lock(plannerMutex());
    fftw_destroy_plan(plan);
}

FftPlan::FftPlan(int n, int inverse) : m_n(n)
{
    if (n < 1)
        throwInvalidSize();
    m_data = reinterpret_cast<double*>(fftw_alloc_complex(static_cast<std::size_t>(n)));
    if (!m_data)
        throw std::runtime_error("Unable to run FFT. Not enough memory for the transform.");
    std::fill(m_data, m_data + 2 * static_cast<std::size_t>(n), 0.0);
    {
        std::lock_guard<std::mutex> lock(plannerMutex());
        m_plan = fftw_plan_dft_1d(n, reinterpret_cast<fftw_complex*>(m_data), reinterpret_cast<fftw_complex*>(m_data),
                                  inverse == 0 ? FFTW_FORWARD : FFTW_BACKWARD, FFTW_ESTIMATE);
    }
    if (!m_plan) {
        fftw_free(m_data);
        throwInvalidSize();
    }
}

FftPlan::~FftPlan()
{
    {
        std::lock_guard<std::mutex> lock(plannerMutex());
        fftw_destroy_plan(static_cast<fftw_plan>(m_plan));
    }
    fftw_free(m_data);
}

void FftPlan::execute() { fftw_execute(static_cast<fftw_plan>(m_plan)); }

void autocorrelation(const std::vector<double>& x, std::vector<double>& out)
{
    const int n = checkedSize(x.size());
    ComplexBuffer buf = realBuffer(x, n);
    inPlace(buf.get(), n, 0);
    for (int k = 0; k < n; ++k) {
        buf[k][0] = buf[k][0] * buf[k][0] + buf[k][1] * buf[k][1];
        buf[k][1] = 0.0;
    }
    inPlace(buf.get(), n, 1);
    normalisedRealParts(buf.get(), n, out);
}

void crossCorrelation(const std::vector<double>& a, const std::vector<double>& b, std::vector<double>& out)
{
    productOfTransforms(a, b, true, out);
}

void convolution(const std::vector<double>& a, const std::vector<double>& b, std::vector<double>& out)
{
    productOfTransforms(a, b, false, out);
}
