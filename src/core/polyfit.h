#pragma once
// Least-squares polynomial fits with the small dense-matrix toolkit they
// solve with, and the histogram of a curve's y values. Points are
// interleaved x0, y0, x1, y1, ... as in CurveData.
#include <utility>
#include <vector>

// rows x cols of doubles, every row of the same length.
using Matrix = std::vector<std::vector<double>>;

// A rows x cols matrix of zeros; a negative count throws std::bad_alloc.
Matrix allocateMatrix(int rows, int cols);
// dest = the cols values of row number row.
void copyMatrixRow(const Matrix& matrix, std::vector<double>& dest, int rows, int cols, int row);
// matrix becomes its cols x rows transpose.
void transposeMatrix(Matrix& matrix, int rows, int cols);
// A = lower * upper: lower triangular with a general diagonal, upper with a
// unit diagonal; no pivoting. lower and upper are n x n on return.
void luDecompose(const Matrix& A, int n, Matrix& lower, Matrix& upper);
// Solves lower * upper * out = rhs for n values.
void luSolve(const Matrix& lower, const Matrix& upper, const std::vector<double>& rhs, int n,
             std::vector<double>& out);
// out = x0, y0, x1, y1, ... up to the shorter of the two arrays.
void interleavePoints(const std::vector<double>& xs, const std::vector<double>& ys, std::vector<double>& out);

// coeffs = the coefficients of 1, x, x^2 of the least-squares parabola.
void quadraticFit(const std::vector<double>& points, std::vector<double>& coeffs);
// Fits a polynomial of order d >= 1. centred(j) is the coefficient of
// (x - m)^j, plain(j) that of x^j; returns the mean m of the x values.
// Orders up to 3 solve the normal equations, higher orders a QR
// factorisation of the Vandermonde matrix in (x - m) scaled to [-1, 1]. A
// singular system is not reported: the coefficients come out non-finite.
double polynomialFit(const std::vector<double>& points, std::vector<double>& centred, std::vector<double>& plain,
                     int d);

// The largest bin count histogram accepts.
inline constexpr int kMaxHistogramBins = 10'000'000;
// Appends (centre, count) of each of bins equal bins between the y values of
// range.first (lowest) and range.second (highest). Each y goes into the first
// bin whose upper edge is above it; finite values at or above the last edge
// go into the last bin; non-finite values are not counted. bins <= 0 appends
// nothing; more than kMaxHistogramBins throws std::runtime_error.
void histogram(const std::pair<std::pair<double, double>, std::pair<double, double>>& range,
               const std::vector<double>& points, std::vector<double>& out, int bins);
