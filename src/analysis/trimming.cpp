#include "analysis/trimming.h"

#include "core/curvestats.h"
#include "core/specialsymbols.h"

#include <QCoreApplication>

#include <cmath>

namespace trimming {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("Plotter", text); }
QString num(double v) { return QString::number(v, 'g', 6); }

struct Bounds {
    double s = 0, m = 0, lower = 0, upper = 0;
};

Bounds boundsOf(double variance, double sum, double count, double n)
{
    Bounds b;
    b.s = std::sqrt(variance);
    b.m = sum / count;
    b.upper = b.m + n * b.s;
    b.lower = b.m - n * b.s;
    return b;
}

} // namespace

QString trimOutliers(CurveMap& curves, double n, bool concatenated)
{
    const QString sigma = replaceSpecialSymbols(QStringLiteral("/sigma"));
    const QString mu = replaceSpecialSymbols(QStringLiteral("/mu"));
    const long long total = pointCountOfAllCurves(curves);
    QString report;
    Bounds bounds;
    if (concatenated) {
        bounds = boundsOf(varianceOfCurve(curves, ALL_CURVES, 1), sumOfCurve(curves, ALL_CURVES, 1),
                          double(total), n);
        report += tr("Concatenated data: %1 = %2, %3 = %4, Upper Bound = %5, Lower Bound = %6\n")
                      .arg(sigma, num(bounds.s), mu, num(bounds.m), num(bounds.upper), num(bounds.lower));
    }
    long long removedTotal = 0;
    for (auto& [id, curve] : curves) {
        const long long count = static_cast<long long>(curve.pointCount());
        long long removed = 0;
        if (count >= 2) {
            if (!concatenated) {
                bounds = boundsOf(varianceOfCurve(curves, id, 1), sumOfCurve(curves, id, 1), double(count), n);
                report += tr("C%1: %2 = %3, %4 = %5, Upper Bound = %6, Lower Bound = %7\n")
                              .arg(QString::number(id + 1), sigma, num(bounds.s), mu, num(bounds.m),
                                   num(bounds.upper), num(bounds.lower));
            }
            const std::vector<double>& old = curve.values;
            std::vector<double> kept;
            kept.reserve(old.size());
            for (std::size_t i = 0; i + 1 < old.size(); i += 2) {
                const double y = old[i + 1];
                if (bounds.lower > y || y > bounds.upper) {
                    ++removed;
                    continue;
                }
                kept.push_back(old[i]);
                kept.push_back(y);
            }
            if (removed > 0)
                curve.values = CurveValues(std::move(kept));
        }
        removedTotal += removed;
        report += tr("C%1 Trimmed: %2 points (%3%).\n")
                      .arg(QString::number(id + 1), QString::number(removed),
                           QString::number(100.0 * double(removed) / double(count), 'f', 3));
    }
    report += tr("Total trimmed: %1 points (%2%).")
                  .arg(QString::number(removedTotal), num(100.0 * double(removedTotal) / double(total)));
    return report;
}

} // namespace trimming
