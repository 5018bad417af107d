#pragma once
// Getting a curve expression ready for the expression worker: the text to
// evaluate, the curves it names, their alignment onto common x values, the
// title of the new curve, and the texts of the expression prompt.
#include "core/curvedata.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <string>

namespace expressions {

// The text to evaluate: blanks removed, "2pi" read as 2*pi, pi written as
// the full double, "//" and "++" as single operators and "--" as "+".
// Nothing when the text holds "**", which is no operator.
std::optional<QString> prepareExpression(const QString& text);

// The distinct curve references ("C3", "c3") of a prepared text in the order
// they first appear, with the curve index each names (n - 1).
struct Reference {
    QString text;
    int id = -1;
};
std::vector<Reference> curveReferences(const QString& prepared);

// The title of the new curve: the prepared text with pi (and a "*" before
// it) shown as the Greek letter.
QString expressionTitle(const QString& prepared);

// Brings the referenced curves (by reference text) onto the x values of the
// one with the most points in the common x range, by linear interpolation
// without extrapolation. The reference curve itself and any input naming
// the same curve keep their own values.
std::map<std::string, CurveData> alignInputs(const std::map<std::string, const CurveData*>& inputs);

// The prompt of the expression dialog: the curves by number in their line
// colours (line colours by curve id, palette already applied).
QString expressionPrompt(const std::map<int, quint32>& lineColours);
// The help text of the expression dialog.
QString expressionHelp();

} // namespace expressions
