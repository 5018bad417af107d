#pragma once
// Spectra of evenly sampled values: the averaged, windowed periodogram
// behind the power spectral density, the oscillation power over the period
// and the phase noise of an oscillator, and the inverse transform of a
// curve's points.
//
// Scaling: the one-sided power spectral density of the slices s = 0..L-1 of
// N values each, windowed by w,
//     S(f_j) = c_j / (L fs sum_i w_i^2) * sum_s |X_s(j)|^2,  f_j = j fs / N,
// with c_j = 1 for the zero-frequency bin and 2 for the others, so that the
// sum of S over the bins times fs / N is the mean square of the values for
// every window. Bins j = j0 .. floor(N/2) - 1 are given (j0 = 1 for the
// oscillation power, which leaves out the zero frequency, else 0). The
// phase noise is L(f) = S_phi(f) / 2 with S_phi = (2 pi f0)^2 S of the time
// values. Results are in decibels: 10 log10 S.
#include <QString>

#include <cstddef>
#include <vector>

enum SpectrumType {
    SPECTRUM_PSD = 0,
    SPECTRUM_OSCILLATION_POWER = 1,
    SPECTRUM_PHASE_NOISE = 2,
};

struct SpectrumSettings {
    int type = SPECTRUM_PSD;
    double sampleRate = 1.0;    // fs in Hz
    double carrier = 0.0;       // f0 in Hz (phase noise only)
    int slices = 1;             // L
    int pointsPerSlice = 0;     // N, the transform length
    int window = 2;             // WindowType (BOXCAR)
};

struct SpectrumResult {
    // Points (x, dB) interleaved: frequencies ascending, or for the
    // oscillation power the periods ascending.
    std::vector<double> points;
    // Bins whose power was zero, shown at the floor 10 K dB, where K is the
    // smallest log10 of the non-zero powers (0 when every power is zero).
    int zeroCount = 0;
    double floorLog10 = 0.0;
    bool allZero() const { return zeroCount > 0 && zeroCount * 2 == static_cast<int>(points.size()); }
};

// Computes spectra of one settings for any number of value sequences,
// planning the transform once and reusing its buffer for every slice.
class SpectrumEstimator {
public:
    // Throws std::invalid_argument with a user text for settings that give
    // no spectrum (sample rate not a positive number, no slice, non-finite
    // carrier) and std::runtime_error "Unable to run FFT. Invalid size." for
    // a transform length below 1.
    explicit SpectrumEstimator(const SpectrumSettings& settings);
    ~SpectrumEstimator();
    SpectrumEstimator(const SpectrumEstimator&) = delete;
    SpectrumEstimator& operator=(const SpectrumEstimator&) = delete;

    // The spectrum of count values read at values[0], values[stride], ...
    // (stride 2 with the values of a curve + 1 reads its y values). Only the
    // first L N values count; fewer than that throws std::invalid_argument.
    SpectrumResult run(const double* values, std::size_t count, std::size_t stride = 1);

    // Points per result: floor(N/2) - j0.
    int binCount() const;

private:
    struct Impl;
    Impl* d;
};

// True when every one of count values read with that stride is finite.
bool allFinite(const double* values, std::size_t count, std::size_t stride = 1);

// The inverse transform (without division by n) of a curve's points taken as
// complex values x + i y: the points (j, real part of element j), j = 0 ..
// n-1. No points throw std::runtime_error "Unable to run FFT. Invalid size.".
std::vector<double> inverseTransformPoints(const std::vector<double>& points);

// The message about bins of zero power of curve id (0-based), or "" when
// there were none.
QString zeroPowerMessage(int id, const SpectrumResult& r);
