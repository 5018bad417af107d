#pragma once
// Statistic function calls inside command texts, such as "max(y C1 C2)" or
// "mean(x)": the name of a statistic, then in parentheses an optional axis
// letter and an optional list of curve ids (none: every curve). The exec
// command replaces every call by its value before it starts a program.
#include "core/curvedata.h"
#include "core/viewrect.h"

#include <QRegularExpression>
#include <QString>

#include <string>
#include <vector>

namespace StatisticFunction {
// One bit each; NONE for any name that is not one of the eleven.
enum Code : int {
    MAX = 1,
    MEAN = 2,
    MEDIAN = 4,
    MIN = 8,
    RMS = 16,
    STDEV = 32,
    SUM = 64,
    VAR = 128,
    KURTOSIS = 256,
    MINVIEW = 512,
    MAXVIEW = 1024,
    NONE = 2048,
};
} // namespace StatisticFunction

// "Max", "Mean", "Median", "Min", "Rms", "Stdev", "Sum", "Var", "Kurtosis",
// "Minview", "Maxview" exactly (case-sensitive); NONE otherwise.
int statisticFromName(const std::string& name);
int statisticFromName(const QString& name);

// The keys of the map in ascending order when ids starts with ALL_CURVES;
// otherwise ids unchanged.
std::vector<int> expandCurveList(const CurveMap& curves, const std::vector<int>& ids);

// The recogniser of calls, shared by the whole program: a statistic name,
// '(' and the shortest text up to a ')' that is followed by white space or
// the end of the text. Case-insensitive. Capture 1 is the call.
const QRegularExpression& statisticCallRegExp();

// False when any call's argument part holds the per-curve operators "ci",
// "cj" or "cn" (in any letter case).
bool functionsFreeOfCurveOperator(const QString& text);

// Replaces every call by its value (20 significant digits). Raises
// kroexception "Command Info: The command \"<call>\" is not properly
// formatted." for a call whose arguments do not fit, std::runtime_error
// "Warning: Function has not been implemented." for an unknown name, and the
// curve statistics' errors for missing curves; the caller's text is then
// unchanged.
QString substituteStatistics(const CurveMap& curves, const ViewRect& view, const QString& text);

// The statistic function (a Code) along axis (0 x, 1 y) over the listed
// curves (empty: every curve); MINVIEW and MAXVIEW give the view's range in
// force on the axis.
double evaluateStatistic(const CurveMap& curves, int function, int axis, const ViewRect& view,
                         const std::vector<int>& ids);
