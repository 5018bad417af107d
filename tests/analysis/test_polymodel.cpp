// Polynomial models: exact polynomials come back, high orders keep their
// precision, residuals are orthogonal to the fitted powers, points that are
// not numbers are left out, and the equation text.
#include <gtest/gtest.h>

#include <QStringList>

#include <cmath>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <vector>

#include "analysis/polymodel.h"

namespace {
using V = std::vector<double>;

// Points of sum c(i) x^i at the given x values.
V sampled(const V& xs, const V& c)
{
    V p;
    for (double x : xs) {
        double y = 0, xp = 1;
        for (double ci : c) {
            y += ci * xp;
            xp *= x;
        }
        p.push_back(x);
        p.push_back(y);
    }
    return p;
}

V range(double from, double step, int n)
{
    V x;
    for (int i = 0; i < n; ++i)
        x.push_back(from + step * i);
    return x;
}
} // namespace

TEST(PolynomialModel, ExactPolynomialsComeBack)
{
    struct Case {
        const char* name;
        V xs;
        V c;  // coefficients of x^0 .. x^n
    } cases[] = {
        {"line", range(0, 1, 3), {1, 2}},
        {"parabola", range(-5, 0.5, 21), {-3, 0.5, 2}},
        {"cubic", range(1, 1, 7), {0, -1, 0, 1}},
        {"quartic", range(-2, 0.1, 41), {1, -2, 0.5, 0.25, -1}},
        {"order 6, uneven x", {-1, -0.9, -0.5, 0, 0.2, 0.3, 0.7, 0.8, 0.95, 1, 1.1}, {2, 0, -1, 3, 0.5, -0.5, 1}},
        {"order 8", range(-1, 0.05, 41), {1, 1, -1, 1, -1, 1, -1, 1, 0.5}},
    };
    for (const Case& c : cases) {
        const int n = static_cast<int>(c.c.size()) - 1;
        const PolynomialModel m = fitPolynomial(sampled(c.xs, c.c), n);
        ASSERT_EQ(m.plain.size(), c.c.size()) << c.name;
        for (std::size_t i = 0; i < c.c.size(); ++i)
            EXPECT_NEAR(m.plain[i], c.c[i], 1e-9) << c.name << " x^" << i;
        for (double x : c.xs) {
            double y = 0, xp = 1;
            for (double ci : c.c) {
                y += ci * xp;
                xp *= x;
            }
            EXPECT_NEAR(m(x), y, 1e-9) << c.name << " at " << x;
        }
    }
}

TEST(PolynomialModel, HighOrdersFarFromTheOriginKeepTheirPrecision)
{
    // x around 1000, order 10: the normal equations would square a condition
    // number of about 1e13; the scaled QR keeps the fitted values to 1e-9.
    const V xs = range(995, 0.1, 101);
    V p;
    for (double x : xs) {
        const double u = (x - 1000) / 5;
        double y = 0;
        for (int i = 0; i <= 10; ++i)
            y += std::pow(u, i) * (i % 2 ? -1.0 : 1.0) / (i + 1);
        p.push_back(x);
        p.push_back(y);
    }
    const PolynomialModel m = fitPolynomial(p, 10);
    for (std::size_t i = 0; i < p.size(); i += 2)
        EXPECT_NEAR(m(p[i]), p[i + 1], 1e-9) << "x " << p[i];
}

TEST(PolynomialModel, ResidualsAreOrthogonalToTheFittedPowers)
{
    std::mt19937 gen(17);
    std::normal_distribution<double> noise(0, 1);
    for (int n : {1, 2, 3, 5}) {
        V p;
        for (int i = 0; i < 200; ++i) {
            const double x = 10 + 0.05 * i;
            p.push_back(x);
            p.push_back(std::sin(x) + noise(gen));
        }
        const PolynomialModel m = fitPolynomial(p, n);
        for (int k = 0; k <= n; ++k) {
            double dot = 0, scale = 0;
            for (std::size_t i = 0; i < p.size(); i += 2) {
                const double u = std::pow(p[i] - m.t, k);
                dot += (p[i + 1] - m(p[i])) * u;
                scale += std::fabs(p[i + 1] * u);
            }
            EXPECT_LT(std::fabs(dot), 1e-10 * scale) << "order " << n << " power " << k;
        }
    }
}

TEST(PolynomialModel, PointsThatAreNotNumbersAreLeftOut)
{
    const double nan = std::nan("");
    V p = sampled(range(0, 1, 6), {1, 2});
    p.insert(p.begin() + 4, {nan, 5.0, 7.0, INFINITY});
    const PolynomialModel m = fitPolynomial(p, 1);
    EXPECT_NEAR(m.plain[0], 1, 1e-12);
    EXPECT_NEAR(m.plain[1], 2, 1e-12);
}

TEST(PolynomialModel, TooFewDistinctXAreRefused)
{
    struct Case {
        const char* name;
        V points;
        int n;
    } cases[] = {
        {"no points", {}, 1},
        {"one point", {1, 2}, 1},
        {"three points for a cubic", sampled({0, 1, 2}, {1, 1}), 3},
        {"repeated x", {1, 1, 1, 2, 1, 3, 2, 4}, 2},
        {"order 0", sampled({0, 1, 2}, {1, 1}), 0},
    };
    for (const Case& c : cases)
        EXPECT_THROW(fitPolynomial(c.points, c.n), std::invalid_argument) << c.name;
}

namespace {
// The value at x of the equation printed after "f(x) = ", read term by term
// ("c", "cx", "cx^k", joined by " + " and " - ") and summed in long double;
// the coefficients read go to coefficients[k].
long double evaluatePrinted(const QString& text, long double x, std::vector<double>& coefficients)
{
    const QStringList words = text.mid(text.indexOf("f(x) = ") + 7).split(' ');
    long double sum = 0;
    double sign = 1;
    for (const QString& w : words) {
        if (w == "+" || w == "-") {
            sign = w == "+" ? 1 : -1;
            continue;
        }
        const qsizetype at = w.indexOf('x');
        const double c = sign * std::strtod(w.left(at < 0 ? w.size() : at).toLatin1().constData(), nullptr);
        const int k = at < 0 ? 0 : (w.size() > at + 1 ? w.mid(at + 2).toInt() : 1);
        if (coefficients.size() <= std::size_t(k))
            coefficients.resize(std::size_t(k) + 1);
        coefficients[std::size_t(k)] = c;
        sum += c * std::pow(x, (long double)k);
    }
    return sum;
}
} // namespace

TEST(PolynomialModel, PrintedEquationGivesTheFittedValuesFarFromTheOrigin)
{
    // Ten days of MJD-like x and an exact cubic in (x - 60005): the printed
    // equation must give the cubic's values again (with six digits per
    // coefficient it missed by about 1e4).
    auto f = [](double x) {
        const double u = x - 60005;
        return 1 + 2e-3 * u - 3e-4 * u * u + 5e-5 * u * u * u;
    };
    V points;
    for (int i = 0; i <= 1000; ++i) {
        const double x = 60000 + 0.01 * i;
        points.push_back(x);
        points.push_back(f(x));
    }
    const PolynomialModel m = fitPolynomial(points, 3);
    const QString text = polynomialEquation(0, m, false);
    std::vector<double> printed;
    for (std::size_t i = 0; i < points.size(); i += 2) {
        printed.clear();
        EXPECT_NEAR(double(evaluatePrinted(text, points[i], printed)), points[i + 1], 1e-4)
            << text.toStdString() << " at x = " << points[i];
    }
    // Each printed coefficient reads back as exactly the fitted one.
    ASSERT_EQ(printed.size(), 4u);
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(printed[k], m.plain[k]) << k;
}

TEST(PolynomialModel, EquationText)
{
    auto model = [](V plain) {
        PolynomialModel m;
        m.order = static_cast<int>(plain.size()) - 1;
        m.plain = std::move(plain);
        return m;
    };
    struct Case {
        V plain;
        int id;
        bool removed;
        const char* text;
    } cases[] = {
        {{1, 2}, 0, false, "C1: Polynomial equation: f(x) = 2x + 1"},
        {{-0.5, 3}, 1, false, "C2: Polynomial equation: f(x) = 3x - 0.5"},
        {{4, 0, -1.5, -2}, 2, true, "C3: Removed polynomial equation: f(x) = -2x^3 - 1.5x^2 + 0x + 4"},
        // Every digit a coefficient needs, and no more.
        {{1e-7, 123456789, 1}, 0, false, "C1: Polynomial equation: f(x) = 1x^2 + 123456789x + 1e-07"},
        {{0.1, 1.0 / 3, -2.5e-12}, 0, false,
         "C1: Polynomial equation: f(x) = -2.5e-12x^2 + 0.3333333333333333x + 0.1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(polynomialEquation(c.id, model(c.plain), c.removed), c.text);
    // Through a fit: the points (0, 1), (1, 3), (2, 5).
    EXPECT_EQ(polynomialEquation(0, fitPolynomial({0, 1, 1, 3, 2, 5}, 1), false),
              "C1: Polynomial equation: f(x) = 2x + 1");
}
