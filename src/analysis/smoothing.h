#pragma once
// Smoothing, averaging and linear filtering of a curve's points
// (interleaved x0, y0, x1, y1, ...).
#include <vector>

// The centred moving average over n points: output point k = 0 .. N - n has
// the x of the window's middle point, x(k + floor((n - 1) / 2)) (for even n
// the earlier of the two), and y = (y(k) + y(k+1) + ... + y(k+n-1)) / n,
// summed in that order. Empty when n < 1 or the curve has fewer than n
// points.
std::vector<double> centredMovingAverage(const std::vector<double>& points, int n);

// Means of consecutive groups of n points (x and y alike); a trailing group
// of fewer than n points is dropped. Empty for n < 1.
std::vector<double> blockMeans(const std::vector<double>& points, int n);

// Means of runs of consecutive points whose x fall into the same span
// [k span, (k + 1) span): a group ends where floor(x / span) changes. span
// must be a positive finite number (std::invalid_argument otherwise).
std::vector<double> spanMeans(const std::vector<double>& points, double span);

// Runs the y values through the filter b / a from rest (all earlier inputs
// zero) and pairs the outputs with the x values. With delay > 0 the first
// delay outputs are dropped and the points keep their x from the start, so
// the curve loses its last delay x values (no points at all when it has
// delay points or fewer). Long curves are filtered piece by piece, carrying
// the filter's state, with the same result as one pass.
std::vector<double> filterPoints(const std::vector<double>& points, const std::vector<double>& b,
                                 const std::vector<double>& a, int delay);
