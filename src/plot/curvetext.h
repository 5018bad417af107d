#pragma once
// The saved curve data text: one point per line (or several curves side by
// side), 8-bit text with line-feed endings. x is written in fixed-point
// notation with 15 decimals, y with 15 significant digits in the shorter of
// fixed-point and exponent form as printf's "%.15g" chooses it; numbers never
// depend on the user's locale.
#include <QString>

#include <string>

#include "core/curvedata.h"

class QSaveFile;

namespace curvetext {

// The field separator for the "ofs" setting word: "comma" ",", "semicolon"
// ";", "space" " ", "tab" TAB (any letter case); any other word is used as it
// stands, in Latin-1. An empty word gives "," (an empty separator would run
// the numbers together).
std::string separatorFromOfs(const QString& ofs);

void appendX(std::string& out, double x);
void appendY(std::string& out, double y);
// "x<sep>y"
void appendCell(std::string& out, double x, double y, const std::string& sep);
// "-----------<sep>-----------": the cell of a curve that has no point at a
// row of the side-by-side layout.
std::string emptyCell(const std::string& sep);

// Writes text to a file in large blocks. The text goes to a temporary file
// next to the target, which replaces the target only once all of it was
// written: a failure (open, write, disk full) leaves a file that was already
// there as it was. Every failure is remembered; ok() tells whether all the
// text reached the file.
class FileSink {
public:
    explicit FileSink(const QString& path);
    ~FileSink();
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    bool isOpen() const;
    bool ok() const { return m_ok; }
    // Appends to the buffer and writes it out once it is large.
    std::string& buffer() { return m_buffer; }
    void flushIfLarge();
    // Writes what is buffered and, when everything was written, puts the
    // file in place; returns ok(). A sink destroyed without close() leaves
    // the target as it was.
    bool close();

    // One line "x<sep>y" per point, each followed by suffix (which starts
    // with the separator when not empty) and a line feed.
    void writePointLines(const CurveData& curve, const std::string& sep, const std::string& suffix);

private:
    void flush();

    QSaveFile* m_file;
    std::string m_buffer;
    bool m_ok = true;
};

} // namespace curvetext
