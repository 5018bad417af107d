#pragma once
// The arithmetic command: "add", "sub", "mul" or "div" (with an optional x
// or y) and one operand, applied to the x or y values of curves. The operand
// is a number, a multiple of pi, or a statistic of curves: one value for all
// targets ("mean(x C1 C2)") or one value per curve ("mean(x, Cj)").
//
// parseArithmeticCommand reads a line without touching any curve; the plot
// then applies the result with applyArithmeticToValues per target curve.
#include "core/idarray.h"

#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace arith {

enum Operation : int { ADD = 1, SUB = 2, MUL = 4, DIV = 8 };
enum Axis : int { X_AXIS = 0, Y_AXIS = 1 };

// Applies one operation with value to the chosen values (axis 1: y, any
// other: x) of interleaved points. Another operation code changes nothing.
// An odd number of values raises the corrupt-curve error.
void applyArithmeticToValues(std::vector<double>& values, double value, int operation, int axis);

// The statistics a command may ask the plot for. aggregate: one statistic
// (a StatisticFunction code) over the listed curves pooled, on y when overY
// (it may throw the curve errors); perCurve: the same for every curve.
struct StatisticSource {
    std::function<double(int code, bool overY, const IdArray& ids)> aggregate;
    std::function<std::map<int, double>(int code, bool overY)> perCurve;
};

// A command line read.
struct ArithmeticCommand {
    int operation = ADD;
    int axis = Y_AXIS;
    // The value for every target, unless perCurve holds one per curve id.
    double value = 0.0;
    std::optional<std::map<int, double>> perCurve;
    // The targets as written (not resolved; {1, ALL_CURVES} for none).
    IdArray targets;
    // When the shown form of the command differs from the text typed: the
    // INFO text "Operation ... converted to -> ...".
    QString conversion;
};

// What reading a line gave: the command, or the transcript text that
// refuses it.
struct ArithmeticParse {
    std::optional<ArithmeticCommand> command;
    QString error;
};

// Reads one command line. Nothing is changed; statistics are taken from
// source when the operand is a function.
ArithmeticParse parseArithmeticCommand(const QString& line, const StatisticSource& source);

// The value of a multiple of pi as written ("2pi", "-pi", "2*pi", ".5pi"):
// the number times pi (full precision); pi alone, negated after a "-".
double piMultipleValue(const QString& text);

// "%1" filled with a number in general notation and 6 significant digits.
QString shortNumber(double value);

} // namespace arith
