#pragma once
// Arranging circular correlations and convolutions (core/fft.h) as curves,
// and the common value range of histograms.
//
// Conventions (core/fft.h): with N the longer input length and the shorter
// input padded with zeros to N,
//   cross-correlation  c(k) = sum_j a((j + k) mod N) b(j),
//   convolution        c(k) = sum_j a(j) b((k - j) mod N),
//   auto-correlation   c(k) = sum_j a((j + k) mod N) a(j) (no mean removed),
// each divided by its largest magnitude. A positive lag k of the
// cross-correlation means a runs k samples ahead of b.
#include <utility>
#include <vector>

#include "core/curvedata.h"

// The points (lag, value) of a circular sequence with lag 0 first, turned so
// that the negative lags come first: the last c/2 values (c its length,
// integer division) take the lags -(c/2) .. -1, the others 0 .. c-1-(c/2).
std::vector<double> centredLagPoints(const std::vector<double>& circular);
// The points (k, value) k = 0, 1, ... of a sequence.
std::vector<double> indexedPoints(const std::vector<double>& values);
// The y values of a curve in point order.
std::vector<double> yValues(const CurveData& c);

// The smallest and largest finite y over every curve's points; false when
// no curve has one.
bool commonYRange(const CurveMap& curves, double& lowest, double& highest);
