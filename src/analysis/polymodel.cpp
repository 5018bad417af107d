#include "analysis/polymodel.h"

#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

#include "core/polyfit.h"

double PolynomialModel::operator()(double x) const
{
    const double u = x - t;
    double f = 0.0;
    for (std::size_t i = centred.size(); i-- > 0;)
        f = f * u + centred[i];
    return f;
}

PolynomialModel fitPolynomial(const std::vector<double>& points, int n)
{
    std::vector<double> work;
    work.reserve(points.size());
    std::vector<double> xs;
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        if (std::isfinite(points[i]) && std::isfinite(points[i + 1])) {
            work.push_back(points[i]);
            work.push_back(points[i + 1]);
            xs.push_back(points[i]);
        }
    }
    std::sort(xs.begin(), xs.end());
    const auto distinct = std::unique(xs.begin(), xs.end()) - xs.begin();
    if (n < 1 || distinct < n + 1)
        throw std::invalid_argument("A polynomial of order " + std::to_string(n) + " needs at least "
                                    + std::to_string(n + 1) + " points with different x; the curve has "
                                    + std::to_string(distinct) + ".");

    PolynomialModel m;
    m.order = n;
    m.centred.assign(static_cast<std::size_t>(n) + 1, 0.0);
    m.plain.assign(static_cast<std::size_t>(n) + 1, 0.0);
    std::vector<double> centred, plain;
    for (int pass = 0; pass < 4; ++pass) {
        m.t = polynomialFit(work, centred, plain, n);
        PolynomialModel step;
        step.t = m.t;
        step.centred = centred;
        for (std::size_t i = 0; i + 1 < work.size(); i += 2)
            work[i + 1] -= step(work[i]);
        for (std::size_t i = 0; i <= static_cast<std::size_t>(n); ++i) {
            m.centred[i] += centred[i];
            m.plain[i] += plain[i];
        }
    }
    return m;
}

QString polynomialEquation(int id, const PolynomialModel& model, bool removed)
{
    // Each coefficient as the shortest text that reads back as exactly that
    // double: far from x = 0 the terms cancel, and fewer digits would give
    // an equation that no longer evaluates to the fitted values.
    auto g = [](double v) {
        char buf[64];
        const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v + 0.0);
        return QString::fromLatin1(buf, static_cast<qsizetype>(r.ptr - buf));
    };
    const int n = model.order;
    const std::vector<double>& D = model.plain;
    QString text = QCoreApplication::translate("Plotter", "C%1: %2olynomial equation: f(x) = ")
                       .arg(id + 1)
                       .arg(removed ? QStringLiteral("Removed p") : QStringLiteral("P"));
    if (n == 1)
        text += g(D[1]) + QLatin1Char('x');
    else
        text += g(D[n]) + QStringLiteral("x^") + QString::number(n);
    for (int k = n - 1; k >= 0; --k) {
        text += D[k] < 0 ? QStringLiteral(" - ") + g(std::fabs(D[k])) : QStringLiteral(" + ") + g(D[k]);
        if (k >= 1)
            text += QLatin1Char('x');
        if (k >= 2)
            text += QLatin1Char('^') + QString::number(k);
    }
    return text;
}
