#pragma once
// Composing the plot command of the import setup window: the data files
// with the columns, formats, scaling and line counts chosen for each, written
// as the options a user could type ("kro -f data.txt -y 3 -header 1 ").
#include <QString>

#include <vector>

// One entry of the column list from which a file's part of the command is written.
struct ColumnSpec {
    // What the entry stands for.
    enum RoleCode { DATE = 0, DATETIME = 1, TIME = 2, UNASSIGNED = 3, X = 4, Y = 5 };

    int column = -1; // zero-based; -1 none
    double add = 0.0;
    double sub = 0.0;
    double mul = 1.0;
    double div = 1.0;
    QString format;
    int roleCode = UNASSIGNED;
};

namespace kro::import {

// One data file of the command: its name as written, its column
// entries (x, date, datetime and time entries first, then the y
// entries in order), its key column (-1 none) and its line counts (the
// Header value is the 1-based line number of the header line, 0 none).
struct CommandSource {
    QString file;
    std::vector<ColumnSpec> columns;
    int keyColumn = -1;
    int get = 0;
    int skip = 0;
    int header = 0;
};

// The date, time and date-and-time formats a load uses when the command
// names none (the stored settings).
struct DefaultFormats {
    QString date;
    QString datetime;
    QString time;
    static DefaultFormats fromSettings();
};

// The plot command for the sources, "kro " first and a blank last, with
// "-append " at the end when append is set. An option whose value for a file
// equals the previous file's is left out (the loader repeats the last value
// for the remaining files), and an option is left out altogether when every
// file holds its default. A file that does not use an option another file
// uses gets the value with which it reads as it would alone, so that values
// are never handed to the wrong file.
QString composePlotCommand(const std::vector<CommandSource>& sources, bool append, const DefaultFormats& defaults);

// A scaling number as the command writes it: like printf's "%g" (six
// significant digits) when that reads back as the same number, otherwise
// with as many digits as the number needs to read back exactly.
QString commandNumber(double value);

// Why a plot command cannot carry the file name: a double quote ends the
// quoted name, a line break ends the command, and '*' or '?' makes the name a
// pattern for other files too. Empty when the name can be written.
QString fileNameProblem(const QString& name);

// A dropped or chosen file name as a path: a "file:" URL becomes its local
// path (percent escapes decoded); any other name is kept.
QString cleanDroppedName(const QString& name);

} // namespace kro::import
