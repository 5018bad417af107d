#pragma once
// Reading date and time texts of data files with a date-and-time format in
// the language of Boost.Date_Time's time input facet ("%Y-%m-%d %H:%M:%S%F").
//
// DateTimeReader gives exactly the facet's results. Formats made of the
// common numeric specifiers (%Y %y %m %d %H %M %S %s %f %F, %% and literal
// characters) are read by a direct scanner that mirrors the facet step by
// step; whenever that scanner meets anything it does not decide itself (a
// failure, an out-of-range field, a special value) the facet reads the text.
// Other formats always go through the facet.
#include <QString>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace kro::import {

// Calendar fields of one time point as the facet yields them.
struct CalendarTime {
    int year = 1400;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::int64_t microseconds = 0; // fraction of the second
};

// The date part of a Modified Julian Date from a Gregorian date: the integer
// formula with divisions truncating toward zero; 0 for years before 1900.
long mjdDatePart(int year, int month, int day);

// The Modified Julian Date of calendar fields: the date part plus the time
// of day, the fraction of the second cut to whole milliseconds.
double mjdFromCalendar(const CalendarTime& t);

// Inserts a '0' before every digit that has no digit on either side, so that
// 8/1/2021 9:5:3 becomes 08/01/2021 09:05:03. The one digit of a fraction of
// a second after "H:M:S." is not padded: ".5" stays half a second.
void normalizeDateText(std::string& text);

// Whether every '%' of the format is followed by one of the 21 flags the
// program offers: a A b B d j m U W w y Y H M S s p P F z Z. A '%' at the
// end, "%%" and a '%' before any other character make it invalid; a format
// without '%' (also an empty one) is valid.
bool isValidDateTimeFormat(const std::string& format);

// The time written with the format through the library's time output facet
// in the classic locale: timeText is a time of the form
// "2021-08-01 12:30:00[.fraction]"; an empty text stands for the present
// local time to the second. Raises kroexception for an invalid format and
// lets the library's error pass when the time text cannot be read; a
// failed write gives "invalid specifier".
QString formatDateTime(const QString& format, const std::string& timeText);

class DateTimeReader {
public:
    DateTimeReader();
    explicit DateTimeReader(const std::string& format);
    ~DateTimeReader();
    DateTimeReader(const DateTimeReader&) = delete;
    DateTimeReader& operator=(const DateTimeReader&) = delete;

    void setFormat(const std::string& format);
    const std::string& format() const { return m_format; }
    // True when the direct scanner handles this format.
    bool hasFastPath() const { return m_fast; }

    // Reads the text; false when the facet reports a failure (or yields a
    // special value such as not-a-date-time).
    bool read(std::string_view text, CalendarTime& out);
    // The facet alone, for comparison in tests.
    bool readWithFacet(std::string_view text, CalendarTime& out);

private:
    enum class Op : std::uint8_t { Literal, Percent, Year4, Year2, Month, Day, Hour, Minute, Second, SecondFrac, Frac, OptFrac, Ignore };
    // 1: read, 0: the facet must decide.
    int readFast(std::string_view text, CalendarTime& out) const;

    std::string m_format;
    std::vector<Op> m_ops;
    bool m_fast = false;
    bool m_facetReady = false; // m_stream reads with the facet of m_format
    std::istringstream m_stream;
};

} // namespace kro::import
