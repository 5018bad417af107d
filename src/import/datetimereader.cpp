#include "import/datetimereader.h"

#include "core/exceptions.h"

#include <boost/date_time/posix_time/posix_time.hpp>

#include <cctype>
#include <cstring>
#include <locale>
#include <stdexcept>

namespace kro::import {
namespace {

inline bool isCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : days[m - 1];
}

// Exactly n digits (the facet's fixed-width fields); -1 when fewer follow.
int fixedDigits(const char*& p, const char* e, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (p == e || !isDigit(*p))
            return -1;
        v = v * 10 + (*p - '0');
        ++p;
    }
    return v;
}

void skipSpace(const char*& p, const char* e)
{
    while (p != e && isCSpace(*p))
        ++p;
}

// The digits after the decimal point: microseconds from the first six.
std::int64_t fractionDigits(const char*& p, const char* e)
{
    std::int64_t v = 0;
    int n = 0;
    while (p != e && isDigit(*p)) {
        if (n < 6) {
            v = v * 10 + (*p - '0');
            ++n;
        }
        ++p;
    }
    if (n == 0)
        return 0;
    for (; n < 6; ++n)
        v *= 10;
    return v;
}

} // namespace

bool isValidDateTimeFormat(const std::string& format)
{
    static const char* const kFlags = "aAbBdjmUWwyYHMSspPFzZ";
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        if (i + 1 >= format.size() || format[i + 1] == '\0' || !std::strchr(kFlags, format[i + 1]))
            return false;
        ++i;
    }
    return true;
}

QString formatDateTime(const QString& format, const std::string& timeText)
{
    using namespace boost::posix_time;
    const std::string fmt = format.toStdString();
    if (!isValidDateTimeFormat(fmt))
        throw kroexception("Date/time format specifier (\"%s\") is not valid.", fmt.c_str());
    const ptime t = timeText.empty() ? second_clock::local_time() : time_from_string(timeText);
    std::ostringstream out;
    out.imbue(std::locale(std::locale::classic(), new time_facet(fmt.c_str())));
    out << t;
    if (out.fail())
        return QStringLiteral("invalid specifier");
    return QString::fromStdString(out.str());
}

long mjdDatePart(int y, int m, int d)
{
    if (y < 1900)
        return 0;
    const long Y = y, M = m, D = d;
    return 367 * Y - 7 * (Y + (M + 9) / 12) / 4 - 3 * ((Y + (M - 9) / 7) / 100 + 1) / 4 + 275 * M / 9 + D - 678972;
}

double mjdFromCalendar(const CalendarTime& t)
{
    const double ms = static_cast<double>(t.microseconds / 1000);
    return static_cast<double>(mjdDatePart(t.year, t.month, t.day)) + t.hour / 24.0 + t.minute / 1440.0
        + t.second / 86400.0 + ms / 1000.0 / 86400.0;
}

void normalizeDateText(std::string& text)
{
    const std::size_t n = text.size();
    std::string out;
    out.reserve(n + 8);
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (isDigit(c) && (i == 0 || !isDigit(text[i - 1])) && (i + 1 == n || !isDigit(text[i + 1]))) {
            // A lone digit right after "<:><digits><.>" is the tenths of a
            // second and keeps its place value.
            bool fraction = false;
            if (i >= 2 && text[i - 1] == '.' && isDigit(text[i - 2])) {
                std::size_t j = i - 2;
                while (j > 0 && isDigit(text[j - 1]))
                    --j;
                fraction = j > 0 && text[j - 1] == ':';
            }
            if (!fraction)
                out.push_back('0');
        }
        out.push_back(c);
    }
    text.swap(out);
}

DateTimeReader::DateTimeReader() { setFormat("%Y-%m-%d %H:%M:%S%F"); }

DateTimeReader::DateTimeReader(const std::string& format) { setFormat(format); }

DateTimeReader::~DateTimeReader() = default;

void DateTimeReader::setFormat(const std::string& format)
{
    m_format = format;
    // The facet is costly to build; it is made when a text first needs it.
    m_facetReady = false;

    m_ops.clear();
    m_fast = true;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            m_ops.push_back(Op::Literal);
            continue;
        }
        if (++i == format.size())
            break; // a trailing '%' ends the format
        switch (format[i]) {
        case '%': m_ops.push_back(Op::Percent); break;
        case 'Y': m_ops.push_back(Op::Year4); break;
        case 'y': m_ops.push_back(Op::Year2); break;
        case 'm': m_ops.push_back(Op::Month); break;
        case 'd': m_ops.push_back(Op::Day); break;
        case 'H': m_ops.push_back(Op::Hour); break;
        case 'M': m_ops.push_back(Op::Minute); break;
        case 'S': m_ops.push_back(Op::Second); break;
        case 's': m_ops.push_back(Op::SecondFrac); break;
        case 'f': m_ops.push_back(Op::Frac); break;
        case 'F': m_ops.push_back(Op::OptFrac); break;
        // Names, weekdays, day of year, variable-width days and zones: the
        // facet's own business.
        case 'B': case 'b': case 'a': case 'A': case 'w': case 'j': case 'e': case 'Z':
            m_fast = false;
            break;
        default: m_ops.push_back(Op::Ignore); break; // the facet ignores it too
        }
    }
}

int DateTimeReader::readFast(std::string_view text, CalendarTime& out) const
{
    const char* p = text.data();
    const char* const e = p + text.size();
    skipSpace(p, e);
    if (p == e)
        return 0;
    CalendarTime t;
    bool useCurrent = false;
    for (const Op op : m_ops) {
        if (p == e)
            break;
        switch (op) {
        case Op::Literal:
            if (useCurrent)
                useCurrent = false;
            else
                ++p;
            break;
        case Op::Percent: ++p; break;
        case Op::Ignore: break;
        case Op::Year4:
            skipSpace(p, e);
            t.year = fixedDigits(p, e, 4);
            if (t.year < 1400 || t.year > 9999)
                return 0;
            break;
        case Op::Year2: {
            skipSpace(p, e);
            const int v = fixedDigits(p, e, 2);
            if (v < 0)
                return 0;
            t.year = 2000 + v;
            break;
        }
        case Op::Month: {
            skipSpace(p, e);
            int v = -1, n = 0;
            while (p != e && n < 2 && isDigit(*p)) {
                v = (v < 0 ? 0 : v * 10) + (*p - '0');
                ++p;
                ++n;
            }
            if (v < 1 || v > 12)
                return 0;
            t.month = v;
            break;
        }
        case Op::Day:
            skipSpace(p, e);
            t.day = fixedDigits(p, e, 2);
            if (t.day < 1 || t.day > 31)
                return 0;
            break;
        case Op::Hour:
            t.hour = fixedDigits(p, e, 2);
            if (t.hour < 0 || t.hour > 23)
                return 0;
            break;
        case Op::Minute:
            t.minute = fixedDigits(p, e, 2);
            if (t.minute < 0 || t.minute > 59)
                return 0;
            break;
        case Op::Second:
        case Op::SecondFrac:
            t.second = fixedDigits(p, e, 2);
            if (t.second < 0 || t.second > 59)
                return 0;
            if (op == Op::Second || p == e)
                break;
            [[fallthrough]];
        case Op::Frac:
            if (*p != '.')
                return 0;
            ++p;
            t.microseconds = fractionDigits(p, e);
            useCurrent = true;
            break;
        case Op::OptFrac:
            if (*p == '.') {
                ++p;
                t.microseconds = fractionDigits(p, e);
            }
            useCurrent = true;
            break;
        }
    }
    if (t.day > daysInMonth(t.year, t.month))
        return 0;
    out = t;
    return 1;
}

bool DateTimeReader::readWithFacet(std::string_view text, CalendarTime& out)
{
    if (!m_facetReady) {
        auto* facet = new boost::posix_time::time_input_facet(m_format);
        facet->time_duration_format("%O:%M:%S%F");
        m_stream.imbue(std::locale(std::locale::classic(), facet));
        m_facetReady = true;
    }
    m_stream.clear();
    m_stream.str(std::string(text));
    boost::posix_time::ptime pt;
    m_stream >> pt;
    const bool failed = m_stream.fail();
    m_stream.clear();
    if (failed || pt.is_special())
        return false;
    const auto d = pt.date();
    const auto td = pt.time_of_day();
    out.year = d.year();
    out.month = d.month();
    out.day = d.day();
    out.hour = static_cast<int>(td.hours());
    out.minute = static_cast<int>(td.minutes());
    out.second = static_cast<int>(td.seconds());
    out.microseconds = td.fractional_seconds() * 1000000 / boost::posix_time::time_duration::ticks_per_second();
    return true;
}

bool DateTimeReader::read(std::string_view text, CalendarTime& out)
{
    if (m_fast && readFast(text, out))
        return true;
    return readWithFacet(text, out);
}

} // namespace kro::import
