#pragma once
// The lines of a script as they run: comment lines (starting with "-->")
// dropped, a line ending in "..." continued on the next line that is kept
// (the dots removed, nothing inserted).
#include <QString>
#include <QStringList>

// Joins continued lines of a script, in file order; comments and lines left
// empty are dropped.
QStringList joinScriptLines(const QStringList& lines);

// What the script editor runs of a text, last line first (the order the
// script queue takes): every line trimmed first (no-break spaces count as
// white space), then joined, and no-break spaces inside a line turned into
// blanks. No argument substitution.
QStringList scriptRunLines(const QString& text);
