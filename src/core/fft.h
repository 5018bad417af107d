#pragma once
// The program's one gateway to FFTW, and the circular correlation and
// convolution measures built on it.
#include <vector>

// Transforms n complex values (interleaved re, im) from data into out
// (which may be data itself): forward for inverse == 0, backward otherwise,
// unnormalised. Throws std::runtime_error "Unable to run FFT. Invalid size."
// when no transform of that size can be planned (n < 1).
void fft(double* data, double* out, int n, int inverse);

// Circular autocorrelation of x, divided by its largest magnitude; lag 0
// first, index k > N/2 standing for the negative lag k - N.
void autocorrelation(const std::vector<double>& x, std::vector<double>& out);
// c(k) = sum_j a((j+k) mod N) b(j), N = max(len a, len b), the shorter input
// padded with zeros to N, divided by the largest magnitude.
void crossCorrelation(const std::vector<double>& a, const std::vector<double>& b, std::vector<double>& out);
// c(k) = sum_j a(j) b((k-j) mod N), circular at the longer length, divided by
// the largest magnitude.
void convolution(const std::vector<double>& a, const std::vector<double>& b, std::vector<double>& out);
