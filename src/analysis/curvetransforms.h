#pragma once
// Transforms of the y values of one curve in place (points interleaved x0,
// y0, x1, y1, ...): scaling into a range, removing a mean, running sums, the
// numerical derivative and integral, and the n-th order difference.
#include <vector>

namespace transforms {

// Maps the finite y values linearly so that the smallest becomes a and the
// largest b (a == b: into [-1, 1]); non-finite values go through the same
// formula. False, with nothing changed, when there is no finite y or all
// finite y are equal (the scale would divide by zero).
bool normalizeY(std::vector<double>& points, double a, double b);

// Subtracts m from every y.
void subtractY(std::vector<double>& points, double m);

// y_k becomes y_0 + ... + y_k.
void cumulativeSumY(std::vector<double>& points);

// Every y becomes the central difference (y_{i+1} - y_{i-1}) / (x_{i+1} -
// x_{i-1}); each end uses one neighbour extrapolated one spacing beyond it
// by the least-squares parabola through the three points at that end.
// Curves of fewer than 3 points are left alone (false).
bool differentiateY(std::vector<double>& points);

// The trapezoid integral from x_0: y_0 becomes 0, y_k the integral up to
// x_k. Curves of fewer than 2 points are left alone (false).
bool integrateY(std::vector<double>& points);

// The largest difference order offered: beyond it the binomial
// coefficients no longer fit a double.
inline constexpr int kMaxDifferenceOrder = 1000;

// (-1)^k C(n, k) for k = 0..n, by Pascal's rule (n >= 1).
std::vector<double> differenceCoefficients(int n);

// The n-th difference: the points (x_i, sum_k b_k y_{i+n-k}) for i = 0..N-n-1
// with b = differenceCoefficients(n); empty for N <= n.
std::vector<double> nthDifference(const std::vector<double>& points, const std::vector<double>& b);

} // namespace transforms
