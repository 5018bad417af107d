#pragma once
// Window functions that taper a sequence, and the linear filter (direct
// form II) that carries its state from one call into the next.
#include <vector>

enum WindowType {
    BARTLETT = 0,
    BLACKMAN = 1,
    BOXCAR = 2,
    HAMMING = 3,
    HANNING = 4,
    WELCH = 5,
};

// "BARTLETT" ... "WELCH", exact and case-sensitive; any other text BOXCAR.
int windowFromName(const char* name);
// Multiplies the first N values of data by the window of length N. N is
// clamped to the length of data; N <= 0 and BOXCAR change nothing.
void applyWindow(int type, std::vector<double>& data, int N);
// Sum of p(i) q(i), i = 0 .. n-1, in index order; 0 for n <= 0.
double dotProduct(const double* p, const double* q, int n);
// Runs x through the filter b / a (a(0) taken as 1) and writes y. state holds
// the last nb - 1 values of the internal sequence, oldest first (empty:
// zeros; a shorter state is padded with zeros on its oldest side) and is
// replaced on return. y is resized to len(x) when shorter. Throws
// std::runtime_error unless nb >= 1 and na is 1 or nb.
void linearFilter(const double* b, const double* a, int nb, int na, const std::vector<double>& x,
                  std::vector<double>& state, std::vector<double>& y);
