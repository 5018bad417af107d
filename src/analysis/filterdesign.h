#pragma once
// Filter design: windowed-sinc FIR filters, Butterworth IIR filters by the
// bilinear transform with prewarped cut-offs, and moving averages, as the
// numerator b and denominator a of a transfer function B(z)/A(z) with
// a(0) = 1; and the magnitude response of such a filter.
//
// Frequencies are normalised to half the sample rate: u = f / (fs / 2).
#include <QString>

#include <optional>
#include <vector>

enum FilterType { FIR = 0, IIR = 1, SMOOTH = 2 };
enum ResponseType { LOWPASS = 0, BANDPASS = 1, HIGHPASS = 2 };

// Largest orders accepted: FIR and moving-average filters run as direct
// sums over their taps; Butterworth filters beyond a few tens of poles
// cannot be held as one polynomial in double precision.
inline constexpr int kMaxFirOrder = 10000;
inline constexpr int kMaxIirOrder = 24;

// Complex sequences are interleaved re0, im0, re1, im1, ...
// The coefficients of the product over k < n of (1 + p_k x): entry j
// (complex) is the coefficient of x^(j+1). 2n doubles.
std::vector<double> binomialMult(int n, const double* p);
// The coefficients of the product over k < n of (1 + b_k x + c_k x^2):
// entry j (complex) is the coefficient of x^(j+1). 4n doubles.
std::vector<double> trinomialMult(int n, const double* b, const double* c);
// 2n doubles whose first n + 1 are the denominator of a lowpass or highpass
// Butterworth filter of order n with the cut-off u.
std::vector<double> butterworthDenominatorLowpass(int n, double u);
// 4n doubles whose first 2n + 1 are the denominator of a bandpass
// Butterworth filter of order n between u1 and u2.
std::vector<double> butterworthDenominatorBandpass(int n, double u1, double u2);
// The binomial coefficients of order n (n + 1 values).
std::vector<long long> butterworthNumerator(int n);

// The inputs of a design as the designer reads them: a field that did not
// parse is empty.
struct FilterInputs {
    int type = FIR;
    int response = LOWPASS;
    int window = 2;  // WindowType of the FIR taps (BOXCAR)
    std::optional<double> fs, fc, flo, fhi;
    std::optional<int> order;
};

struct FilterDesign {
    // False when the inputs give no filter; problem then says why.
    bool ok = false;
    QString problem;
    std::vector<double> b, a;
    // The order used: a moving average of odd order and a highpass FIR of
    // odd order (whose response is zero at half the sample rate) are raised
    // by one.
    int order = 0;
    double fs = 0, fc = 0, flo = 0, fhi = 0;
    double band = 0;     // fc, or fhi - flo for a bandpass
    double fcNorm = 0;   // fc (bandpass: flo) over fs / 2
    double fhiNorm = 0;  // fhi over fs / 2 (bandpass)
};

// Designs the filter. Checks: an order above 0 (and within the limits
// above), a sample rate that is a positive number, cut-offs strictly between
// 0 and fs / 2 (bandpass: low below high), and for IIR filters a denominator
// that is stable with unit gain in the pass band, as the transfer function
// holds it in double precision.
FilterDesign designFilter(const FilterInputs& in);

// The magnitude response of b/a at points frequencies w_i = i pi / points,
// i = 0 .. points - 1: the points (f_i, dB_i) interleaved with f_i = fs w_i /
// (2 pi) and dB_i = 10 log10(|B|^2 / |A|^2).
std::vector<double> frequencyResponse(const std::vector<double>& b, const std::vector<double>& a, double fs,
                                      int points = 4096);
