#pragma once
// Reading one text line of a delimited data file for one FileObject: the
// fields, the x, y and z values with their scaling, date and time fields as
// Modified Julian Dates, the point label and the key text; or, for the
// header row, the column titles.
#include "import/datetimereader.h"
#include "import/fileobject.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

// The failures of LineParser::parseLine, thrown by value.
class LineParserException : public std::exception {
public:
    enum Kind { OUT_OF_DATA = 1, NAN_VALUE = 2, INF_VALUE = 3, NO_NUMBER = 4 };
    LineParserException(int kind, std::string message) : m_kind(kind), m_message(std::move(message)) {}
    const char* what() const noexcept override { return m_message.c_str(); }
    int kind() const { return m_kind; }

private:
    int m_kind;
    std::string m_message;
};

class OutOfData : public LineParserException {
public:
    explicit OutOfData(std::string message) : LineParserException(OUT_OF_DATA, std::move(message)) {}
};
class NaNExcept : public LineParserException {
public:
    explicit NaNExcept(std::string message) : LineParserException(NAN_VALUE, std::move(message)) {}
};
class InfExcept : public LineParserException {
public:
    explicit InfExcept(std::string message) : LineParserException(INF_VALUE, std::move(message)) {}
};
// A line whose x and y fields hold text but no number (a comment or a
// repeated header row inside the data).
class NoNumberExcept : public LineParserException {
public:
    explicit NoNumberExcept(std::string message) : LineParserException(NO_NUMBER, std::move(message)) {}
};

// The point label of the current line, as read.
struct LineLabel {
    double x = 2147483647.0;
    double y = 2147483647.0;
    std::string text;
};

class LineParser {
public:
    // x and y of a label that no field set.
    static constexpr double NOT_SET = 2147483647.0;
    // Keys are cut to this many bytes.
    static constexpr std::size_t KEY_LIMIT = 1023;

    LineParser();
    explicit LineParser(const FileObject& source);

    // Prepares the parser for a data source (formats, field roles, y values).
    void setupDateTime(const FileObject& source);

    // One line as read from the file, its terminator included. Data mode
    // fills x, y, z, the label, the key and the field count, or throws
    // OutOfData, NaNExcept, InfExcept or NoNumberExcept; header mode fills
    // the titles. A field that does not start with a number reads 0, unless
    // no x or y field of the line (no y field when x comes from dates and
    // times) starts with one: then the line is no data (NoNumberExcept).
    void parseLine(const char* line, bool header);
    void parseLine(const char* begin, const char* end, bool header);

    // Data mode without exceptions: 0, or the LineParserException kind with
    // errorMessage() describing it. The loader uses this form.
    int parseData(const char* begin, const char* end);
    const char* errorMessage() const { return m_errorMessage; }

    void resetDateErrors();

    // The Modified Julian Date of a date-and-time text read with the
    // combined format; 0 (and one noted failure) when it cannot be read.
    double dateTimeToMjd(const std::string& text);

    // True when the line gave every value its points need: the x field (or
    // the date and time fields), the key, and no empty y field is used.
    bool lineComplete() const { return m_lineComplete; }
    bool yRead(std::size_t i) const { return m_yRead[i] != 0; }
    // True when the line held a non-empty z field.
    bool zRead() const { return m_zRead; }

    // Results of the last line.
    double m_x = 0.0;
    double m_z = 0.0;
    std::vector<double> m_y;
    int m_fieldCount = 0; // saturates past the last column any role uses
    LineLabel m_annotation;
    std::string m_key;

    // Titles of the header row.
    QStringList m_yTitles;
    QString m_xTitle;
    QString m_yTitle;

    // Date and time failures.
    int m_dateErrors = 0;
    std::string m_firstErrorFormat;
    std::string m_firstErrorText;
    bool m_lineDateError = false;

    int m_dateSeparators = 0;
    int m_datetimeSeparators = 0;
    int m_timeSeparators = 0;
    std::string m_combinedFormat;

private:
    enum Role : std::uint16_t { X = 1, Y = 2, DATE = 4, TIME = 8, DATETIME = 16, Z = 32, LABEL = 64, KEY = 128 };

    void noteDateError(const std::string& text);
    int fail(int kind, const char* message)
    {
        m_errorMessage = message;
        return kind;
    }
    double xFromDateTime(const std::string& text);
    // Collects a date or time text that may span sep separator characters;
    // false when the line ends inside it.
    static bool collect(const char* p, const char* end, int sep, std::string& out);
    // Sets the PM or 12-AM flag from a time text.
    void noteAmPm(const std::string& time);
    // After a date or a time piece: when the other piece came earlier (or
    // there is none), x is read from both; otherwise the piece waits for it.
    void completePiece(std::string& piece, const std::string& earlier, bool last, bool& xRead);
    void parseHeader(const char* begin, const char* end);

    const FileObject* m_source = nullptr;
    // The roles of a column and the y columns it feeds.
    struct ColumnRoles {
        int column;
        std::uint16_t roles;
        std::vector<int> ys;
    };
    std::vector<ColumnRoles> m_columns;       // columns with a role, in order
    int m_lastColumn = -1;                    // largest column with a role
    std::vector<unsigned char> m_yRead;
    bool m_xNeutral = true;                  // the x scaling changes nothing
    std::vector<unsigned char> m_yNeutral;   // the same per y column
    bool m_lineComplete = true;
    bool m_zRead = false;
    bool m_pm = false;
    bool m_am12 = false;
    std::string m_dateText;
    std::string m_timeText;
    std::string m_datetimeText;
    kro::import::DateTimeReader m_reader;
    const char* m_errorMessage = "";
};
