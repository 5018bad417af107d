#include "analysis/statstable.h"

#include "core/specialsymbols.h"

#include <QCoreApplication>
#include <QStringList>

#include <cmath>

namespace statstable {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("Plotter", text); }

QString general(double v) { return QString::asprintf("%.*g", statisticPrecision(v), v); }

} // namespace

int statisticPrecision(double value)
{
    const QString text = QString::asprintf("%.30g", value);
    const qsizetype p = text.indexOf(QLatin1Char('.'));
    // Whole numbers (12, 1e+20) and non-numbers keep six digits: one digit
    // would print 12 as 1e+01.
    if (p < 0)
        return 6;
    if (p == 1 && text.startsWith(QLatin1Char('0')))
        return int(p) + 3;
    return int(p) + 4;
}

Units rateUnits(const QString& xLabel, const QString& yLabel, double sx, double sy)
{
    const QString xl = xLabel.toLower(), yl = yLabel.toLower();
    QString xWord = replaceSpecialSymbols(QStringLiteral("/deltax"));
    QString yWord = replaceSpecialSymbols(QStringLiteral("/deltay"));
    if (sx != 1 || xl == QLatin1String("seconds") || xl == QLatin1String("s"))
        xWord = QStringLiteral("second");
    if (sy != 1 || yl == QLatin1String("s") || yl == QLatin1String("seconds"))
        yWord = QStringLiteral("seconds");
    return {QStringLiteral("%1/%2").arg(yWord, xWord), QStringLiteral("%1/%2^2").arg(yWord, xWord)};
}

QStringList formatRow(const Row& row)
{
    QStringList cells;
    cells << row.curve << QString::number(row.start, 'f', 5) << QString::number(row.stop, 'f', 5);
    const double m = std::fabs(row.mean);
    const bool fixed = m >= 0.001 && m < 100000;
    for (double v : {row.min, row.max, row.mean, row.median, row.max - row.min})
        cells << (fixed ? QString::number(v, 'f', 4) : general(v));
    cells << general(row.stdev);
    cells << (row.rate ? general(*row.rate) : QStringLiteral("N/A"));
    cells << (row.drift ? general(*row.drift) : QStringLiteral("N/A"));
    cells << QString::number(row.points);
    return cells;
}

QString formatTable(const std::vector<Row>& rows, const Units& units)
{
    const QStringList headers = {QStringLiteral("Curve"),
                                 QStringLiteral("Start"),
                                 QStringLiteral("Stop"),
                                 QStringLiteral("Min"),
                                 QStringLiteral("Max"),
                                 QStringLiteral("Mean"),
                                 QStringLiteral("Median"),
                                 QStringLiteral("Pk-Pk"),
                                 QStringLiteral("Stdev"),
                                 tr("Rate (%1)").arg(units.rate),
                                 tr("Drift (%1)").arg(units.drift),
                                 QStringLiteral("Points")};
    const int columns = int(headers.size());
    std::vector<QStringList> cells;
    for (const Row& r : rows)
        cells.push_back(formatRow(r));

    // Each cell spans the widest value of its column plus its two blanks,
    // at least its header plus two.
    std::vector<qsizetype> width(std::size_t(columns), 0);
    for (int k = 0; k < columns; ++k) {
        width[std::size_t(k)] = headers[k].size() + 2;
        for (const QStringList& c : cells)
            width[std::size_t(k)] = std::max(width[std::size_t(k)], c[k].size() + 2);
    }
    QString separator, header;
    for (int k = 0; k < columns; ++k) {
        const qsizetype w = width[std::size_t(k)];
        separator += QLatin1Char('+') + QString(w, QLatin1Char('-'));
        header += QStringLiteral("| ") + headers[k] + QString(w - headers[k].size() - 1, QLatin1Char(' '));
    }
    separator += QStringLiteral("+\n");
    header += QStringLiteral("|\n");

    QStringList lines;
    for (const QStringList& c : cells) {
        QString line;
        for (int k = 0; k < columns; ++k)
            line += QStringLiteral("| ") + c[k] + QString(width[std::size_t(k)] - c[k].size() - 1, QLatin1Char(' '));
        lines << line + QLatin1Char('|');
    }
    return separator + header + separator + lines.join(QLatin1Char('\n')) + QLatin1Char('\n') + separator
           + QLatin1Char('\n');
}

} // namespace statstable
