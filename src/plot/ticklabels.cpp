#include "plot/ticklabels.h"

#include <cmath>

#include "core/mjd.h"

namespace ticklabels {

QString formatNumber(double v, char format, int precision)
{
    return QString::number(v, format, std::max(precision, 0));
}

namespace {

constexpr int kMaxDecimals = 40;

// The decimals search shared by the x labels and both y formats: for each
// tick, p grows while the texts of the tick and the next one (with p + 1
// decimals) agree once their last character is dropped; the tick's label
// takes p + labelExtra decimals; p drops by one before the next search, so
// it never shrinks from one tick to the next.
template <typename Visit>
int searchDecimals(const AxisTicks& t, char format, int labelExtra, Visit visit)
{
    int p = -1;
    for (int i = 0; i <= t.count; ++i) {
        if (i < t.count) {
            QString a, b;
            while (a.chopped(a.isEmpty() ? 0 : 1) == b.chopped(b.isEmpty() ? 0 : 1) && p < kMaxDecimals) {
                ++p;
                a = formatNumber(t.value(i), format, p + 1);
                b = formatNumber(t.value(i + 1), format, p + 1);
            }
        }
        if (p >= kMaxDecimals)
            p = 3;
        visit(i, formatNumber(t.value(i), format, p + labelExtra));
        if (i + 1 < t.count)
            --p;
    }
    return p;
}

} // namespace

QStringList fixedLabels(const AxisTicks& t, int* decimals)
{
    QStringList labels;
    if (t.count <= 0 || !t.hasStep()) {
        if (t.hasStep() || t.count == 0)
            labels << formatNumber(t.first, 'f', 0);
        if (decimals)
            *decimals = 0;
        return labels;
    }
    const int p = searchDecimals(t, 'f', 0, [&](int, const QString& s) { labels << s; });
    if (decimals)
        *decimals = std::max(p, 0);
    return labels;
}

YFormat chooseYFormat(const AxisTicks& t)
{
    YFormat out;
    if (t.count <= 0 || !t.hasStep()) {
        out.format = 'f';
        out.precision = 0;
        out.longest = formatNumber(t.first, 'f', 0);
        return out;
    }
    QString longestF, longestE;
    const int pf = searchDecimals(t, 'f', 0, [&](int, const QString& s) {
        if (s.size() > longestF.size())
            longestF = s;
    });
    const int pe = searchDecimals(t, 'e', 1, [&](int, const QString& s) {
        if (s.size() > longestE.size())
            longestE = s;
    });
    if (longestF.size() < longestE.size()) {
        out.format = 'f';
        out.precision = std::max(pf, 0);
        out.longest = longestF;
    } else {
        out.format = 'e';
        out.precision = std::max(pe + 1, 0);
        out.longest = longestE;
    }
    return out;
}

QString decadeBase(int sign) { return sign < 0 ? QStringLiteral("-10") : QStringLiteral("10"); }

QString decadeExponent(int d, int sign) { return QString::number(sign < 0 ? -d : d); }

namespace {
// Decade numbers stay far inside an int (a user range may be anything).
bool decadeNumbersFit(double lo, double hi) { return std::fabs(lo) < 1e7 && std::fabs(hi) < 1e7; }
} // namespace

std::vector<int> decadesIn(const AxisRange& r)
{
    std::vector<int> out;
    if (!std::isfinite(r.min) || !std::isfinite(r.max))
        return out;
    const double lo = std::ceil(r.min), hi = std::floor(r.max);
    if (hi - lo > kMaxDecades || !decadeNumbersFit(lo, hi))
        return out;
    for (double d = lo; d <= hi; ++d)
        out.push_back(int(d));
    return out;
}

QStringList decadeLabels(const AxisRange& r, int sign)
{
    QStringList out;
    for (int d : decadesIn(r))
        out << decadeBase(sign) + decadeExponent(d, sign);
    return out;
}

std::vector<LogPosition> logPositions(const AxisRange& r, int sign)
{
    std::vector<LogPosition> out;
    if (!std::isfinite(r.min) || !std::isfinite(r.max) || !(r.max > r.min) || r.max - r.min > kMaxDecades)
        return out;
    // Positive data fill (d, d + 1) above each decade, negative data
    // (d - 1, d) below it: the first and last decades may lie just outside
    // the range and still place positions inside it.
    const double lo = sign < 0 ? std::ceil(r.min) : std::floor(r.min);
    const double hi = sign < 0 ? std::ceil(r.max) : std::floor(r.max);
    if (!decadeNumbersFit(lo, hi))
        return out;
    for (double d = lo; d <= hi; ++d) {
        for (int j = 1; j <= 9; ++j) {
            const double step = std::log10(double(j));
            const double c = sign < 0 ? d - step : d + step;
            if (c >= r.min && c <= r.max)
                out.push_back({c, int(d), j});
        }
    }
    return out;
}

QString dateLabel(double v, double step, bool timeOfDay)
{
    if (timeOfDay) {
        const double frac = v - std::floor(v);
        return QString::fromStdString(mjdToText(50000.0 + frac)).right(13);
    }
    if (step * 86400.0 < 1.0)
        return QString::fromStdString(mjdToText(v));
    if (!hasDateText(v))
        return QStringLiteral("Out of bounds");
    std::tm t{};
    mjdToTm(t, v, true);
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return QStringLiteral("%1 %2, %3")
        .arg(QLatin1String(months[std::clamp(t.tm_mon, 0, 11)]))
        .arg(t.tm_mday, 2, 10, QLatin1Char('0'))
        .arg(t.tm_year + 1900, 4, 10, QLatin1Char('0'));
}

} // namespace ticklabels
