#pragma once
// The statistics table of a plot's curves as aligned text: one row per
// curve (after a row for all curves together when there are several), with
// extremes, mean, median, spread, the least-squares rate and drift, and the
// point count.
#include <QString>

#include <optional>
#include <vector>

namespace statstable {

struct Row {
    QString curve;  // "All 3" or the curve number
    double start = 0, stop = 0;
    double min = 0, max = 0, mean = 0, median = 0, stdev = 0;
    std::optional<double> rate, drift;  // none: "N/A"
    long long points = 0;
};

// The significant digits a value is shown with: the digits before the
// decimal point of its 30-digit text plus 4 (plus 3 for a value below 1
// written 0.xxx); 6 when the text has no decimal point.
int statisticPrecision(double value);

// The rate and drift units from the axis labels' plain texts and their
// seconds per unit: "seconds/second" style for time axes, else "δy/δx".
struct Units {
    QString rate;
    QString drift;
};
Units rateUnits(const QString& xLabel, const QString& yLabel, double sx, double sy);

// The cells of a row, formatted as the table shows them.
QStringList formatRow(const Row& row);

// The whole table: separator, header, separator, rows, separator, and an
// empty line.
QString formatTable(const std::vector<Row>& rows, const Units& units);

} // namespace statstable
