#pragma once
// Texts of axis tick labels: fixed-point x labels with just enough decimals
// to tell neighbours apart, one shared fixed or exponent format for the y
// labels, decade labels of logarithmic axes and calendar labels of Modified
// Julian Dates. No widget code.
#include <QString>
#include <QStringList>

#include <vector>

#include "core/viewrect.h"

namespace ticklabels {

// The labels of ticks 0..count in fixed notation; the decimals of each tick
// grow until it differs from the next one, and never shrink from one tick to
// the next. The decimals in force after the last tick go to *decimals.
QStringList fixedLabels(const AxisTicks& ticks, int* decimals = nullptr);

// The one format ('f' or 'e') and precision of all y labels: fixed when its
// longest label is strictly shorter than the longest exponent label.
struct YFormat {
    char format = 'f';
    int precision = 0;
    QString longest;
};
YFormat chooseYFormat(const AxisTicks& ticks);

// One number in the chosen format.
QString formatNumber(double v, char format, int precision);

// Decades drawn on a logarithmic axis at most; a wider range is drawn
// without decade lines (they would merge into one grey area).
inline constexpr double kMaxDecades = 1000;

// The decade labels of a logarithmic axis range: for every whole d inside
// the range, "10" followed by the exponent d, or "-10" and -d on an axis of
// negative data (sign < 0).
QStringList decadeLabels(const AxisRange& range, int sign);
// The whole numbers d inside the range (none when it spans more than
// kMaxDecades or is not finite).
std::vector<int> decadesIn(const AxisRange& range);

// One grid position of a logarithmic axis: the axis coordinate of
// j x 10^d (positive data: d + log10 j; negative data: d - log10 j).
struct LogPosition {
    double coordinate;
    int decade;
    int multiple; // j, 1..9; 1 is the labelled decade itself
};
// The positions j = 1..9 of every decade that lie inside the range, in
// increasing decade order; none when the range is empty, not finite or
// spans more than kMaxDecades.
std::vector<LogPosition> logPositions(const AxisRange& range, int sign);
// The label's base ("10" or "-10") and exponent text at axis coordinate d.
QString decadeBase(int sign);
QString decadeExponent(int d, int sign);

// The dates that have a calendar text: from MJD 40587 (1970-01-01) up to,
// not including, 88069 (2100-01-01). NaN has none.
inline constexpr double kFirstDateMjd = 40587.0;
inline constexpr double kEndDateMjd = 88069.0;
inline bool hasDateText(double mjd) { return mjd >= kFirstDateMjd && mjd < kEndDateMjd; }

// The calendar label of a tick on a date axis: a time of day when every x
// lies in [0, 1]; the date and the time to milliseconds on two lines when
// ticks are less than a second apart; else the date "Mmm dd, yyyy". Values
// outside [40587, 88069) read "Out of bounds".
QString dateLabel(double mjd, double step, bool timeOfDay);

} // namespace ticklabels
