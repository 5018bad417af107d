#pragma once
// Least-squares polynomial models of a curve's points and their equation
// text.
#include <QString>

#include <vector>

// The highest order a fit accepts.
inline constexpr int kMaxFitOrder = 100;

struct PolynomialModel {
    int order = 0;
    double t = 0.0;               // the mean of the x values fitted
    std::vector<double> centred;  // coefficients of (x - t)^i
    std::vector<double> plain;    // coefficients of x^i
    // f(x) = sum of centred(i) (x - t)^i.
    double operator()(double x) const;
};

// Fits order n to the points whose x and y are both finite, in four passes:
// each pass fits what the earlier ones left over, and the model is the sum
// of the passes. Throws std::invalid_argument when fewer than n + 1 distinct
// finite x values are there to fit.
PolynomialModel fitPolynomial(const std::vector<double>& points, int n);

// "C<id+1>: Polynomial equation: f(x) = 2x + 1" (with removed "Removed
// polynomial equation"): the plain coefficients, each in the shortest form
// that reads back as the same double, highest power first.
QString polynomialEquation(int id, const PolynomialModel& model, bool removed);
