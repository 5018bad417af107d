#pragma once
// The program's one gateway to FFTW, and the circular correlation and
// convolution measures built on it.
#include <vector>

// Transforms n complex values (interleaved re, im) from data into out
// (which may be data itself): forward for inverse == 0, backward otherwise,
// unnormalised. Throws std::runtime_error "Unable to run FFT. Invalid size."
// when no transform of that size can be planned (n < 1).
void fft(double* data, double* out, int n, int inverse);

// One transform size planned once and run as often as needed, in place over
// the plan's own aligned buffer of n complex values (interleaved re, im):
// an analysis that transforms many slices or curves of one length plans
// once. The constructor throws as fft() does for n < 1.
class FftPlan {
public:
    FftPlan(int n, int inverse);
    ~FftPlan();
    FftPlan(const FftPlan&) = delete;
    FftPlan& operator=(const FftPlan&) = delete;

    int size() const { return m_n; }
    // The 2 n doubles the transform reads and overwrites.
    double* data() { return m_data; }
    const double* data() const { return m_data; }
    // Transforms the buffer in place (unnormalised).
    void execute();

private:
    int m_n;
    double* m_data = nullptr;
    void* m_plan = nullptr;
};

// Circular autocorrelation of x, divided by its largest magnitude; lag 0
// first, index k > N/2 standing for the negative lag k - N.
void autocorrelation(const std::vector<double>& x, std::vector<double>& out);
// c(k) = sum_j a((j+k) mod N) b(j), N = max(len a, len b), the shorter input
// padded with zeros to N, divided by the largest magnitude.
void crossCorrelation(const std::vector<double>& a, const std::vector<double>& b, std::vector<double>& out);
// c(k) = sum_j a(j) b((k-j) mod N), circular at the longer length, divided by
// the largest magnitude.
void convolution(const std::vector<double>& a, const std::vector<double>& b, std::vector<double>& out);
