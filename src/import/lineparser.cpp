#include "import/lineparser.h"

#include "core/stringutils.h"
#include "import/numparse.h"
#include "import/textcodec.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Separators between fields.
inline bool isFieldSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == ';'; }
// Separators inside a date or time text.
inline bool isDateSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == ',' || c == ';';
}
// Characters that end a key or label text.
inline bool endsWord(char c) { return isFieldSeparator(c) || c == '\r' || c == '\n'; }
// A field that holds nothing: the line ends here or only its terminator is left.
inline bool isEmptyField(const char* p, const char* end) { return p == end || *p == '\r' || *p == '\n'; }

// The number a field starts with, and whether the field started with a
// number at all; a field written in double quotes, as spreadsheet exports
// write them, is read inside its quote. Returns where the number ended.
inline const char* number(const char* p, const char* end, double& v, bool& found)
{
    const char* from = p < end && *p == '"' ? p + 1 : p;
    const char* q = kro::import::readLeadingDouble(from, end, v);
    found = q != from;
    return q;
}

inline double number(const char* p, const char* end)
{
    double v = 0;
    bool found;
    number(p, end, v, found);
    return v;
}

// value * mul / div + add - sub; with the neutral scaling only the sum
// remains (which turns -0 into +0 as the full formula does).
template <typename Scale>
inline double scaled(double v, const Scale& s, bool neutral)
{
    return neutral ? v + 0.0 : v * s.mul / s.div + s.add - s.sub;
}

// A key or label text, without the double quotes around it.
inline void assignWord(std::string& out, const char* p, const char* q)
{
    if (q - p >= 2 && *p == '"' && q[-1] == '"') {
        ++p;
        --q;
    }
    out.assign(p, q);
}

int countFormatSeparators(const std::string& format)
{
    return static_cast<int>(std::count_if(format.begin(), format.end(), [](char c) {
        return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\r' || c == '\n';
    }));
}

const FileObject& unsetSource()
{
    static const FileObject source(QStringLiteral("%Y-%m-%d"), QStringLiteral("%Y-%m-%d %H:%M:%S%F"),
                                   QStringLiteral("%H:%M:%S%F"));
    return source;
}

const char* const kNaNx = "Parsing Error: NaN value read in x column. This data point will be discarded.";
const char* const kInfx = "Parsing Error: Inf value read in x column. This data point will be discarded.";
const char* const kNaNy = "Parsing Error: NaN value read in y column. This data point will be discarded.";
const char* const kInfy = "Parsing Error: Inf value read in y column. This data point will be discarded.";
const char* const kOutDate = "Parsing Error: Out of data while reading date column.";
const char* const kOutTime = "Parsing Error: Out of data while reading time column.";
const char* const kOutDatetime = "Parsing Error: Out of data while reading datetime column.";
const char* const kNoNumber = "Parsing Error: No number read in x or y columns. This line will be discarded.";

} // namespace

LineParser::LineParser() { setupDateTime(unsetSource()); }

LineParser::LineParser(const FileObject& source) { setupDateTime(source); }

void LineParser::setupDateTime(const FileObject& source)
{
    m_source = &source;
    const std::string dateFormat = source.m_dateFormat.toStdString();
    const std::string timeFormat = source.m_timeFormat.toStdString();
    const std::string datetimeFormat = source.m_datetimeFormat.toStdString();
    const int d = source.m_dateColumn;
    const int t = source.m_timeColumn;
    if (d < 0 && t < 0)
        m_combinedFormat = datetimeFormat;
    else if (d >= 0 && (t < 0 || d < t))
        m_combinedFormat = t < 0 ? dateFormat : dateFormat + ' ' + timeFormat;
    else
        m_combinedFormat = d < 0 ? timeFormat : timeFormat + ' ' + dateFormat;
    m_dateSeparators = countFormatSeparators(dateFormat);
    m_datetimeSeparators = countFormatSeparators(datetimeFormat);
    m_timeSeparators = countFormatSeparators(timeFormat);
    m_reader.setFormat(m_combinedFormat);

    const std::size_t ny = source.m_yColumns.size();
    const XScale& xs = source.m_xScale;
    m_xNeutral = xs.mul == 1 && xs.div == 1 && xs.add == 0 && xs.sub == 0;
    m_yNeutral.clear();
    for (const YColumn& y : source.m_yColumns)
        m_yNeutral.push_back(y.mul == 1 && y.div == 1 && y.add == 0 && y.sub == 0);
    m_y.assign(ny, 0.0);
    m_yRead.assign(ny, 0);

    // Roles by column.
    m_lastColumn = -1;
    auto widen = [&](int c) { m_lastColumn = std::max(m_lastColumn, c); };
    widen(source.m_xColumn);
    widen(source.m_zColumn);
    widen(source.m_dateColumn);
    widen(source.m_timeColumn);
    widen(source.m_datetimeColumn);
    widen(source.m_labelColumn);
    widen(source.m_keyColumn);
    for (const YColumn& y : source.m_yColumns)
        widen(y.column);
    // Only the columns with a role are listed, in column order: a column
    // number far out costs nothing but the fields a line holds.
    m_columns.clear();
    auto entry = [&](int c) -> ColumnRoles& {
        auto it = std::lower_bound(m_columns.begin(), m_columns.end(), c,
                                   [](const ColumnRoles& e, int column) { return e.column < column; });
        if (it == m_columns.end() || it->column != c)
            it = m_columns.insert(it, ColumnRoles{c, 0, {}});
        return *it;
    };
    auto mark = [&](int c, Role r) {
        if (c >= 0)
            entry(c).roles |= r;
    };
    mark(source.m_xColumn, X);
    for (std::size_t i = 0; i < ny; ++i) {
        const int c = source.m_yColumns[i].column;
        if (c >= 0) {
            ColumnRoles& e = entry(c);
            e.roles |= Y;
            e.ys.push_back(static_cast<int>(i));
        }
    }
    mark(source.m_dateColumn, DATE);
    mark(source.m_timeColumn, TIME);
    mark(source.m_datetimeColumn, DATETIME);
    mark(source.m_zColumn, Z);
    mark(source.m_labelColumn, LABEL);
    mark(source.m_keyColumn, KEY);
}

void LineParser::resetDateErrors()
{
    m_dateErrors = 0;
    m_firstErrorFormat.clear();
    m_firstErrorText.clear();
}

void LineParser::noteDateError(const std::string& text)
{
    if (m_dateErrors == 0) {
        m_firstErrorFormat = m_combinedFormat;
        m_firstErrorText = text;
    }
    m_lineDateError = true;
    ++m_dateErrors;
}

double LineParser::dateTimeToMjd(const std::string& text)
{
    kro::import::CalendarTime t;
    if (!m_reader.read(text, t)) {
        noteDateError(text);
        return 0.0;
    }
    return kro::import::mjdFromCalendar(t);
}

double LineParser::xFromDateTime(const std::string& text)
{
    double v = dateTimeToMjd(text);
    if (m_pm)
        v += 0.5;
    if (m_am12)
        v -= 0.5;
    const XScale& s = m_source->m_xScale;
    return v * s.mul / s.div + s.add - s.sub;
}

void LineParser::noteAmPm(const std::string& time)
{
    // The hour is the first run of digits as collected.
    const auto digit = std::find_if(time.begin(), time.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digit == time.end())
        return;
    const auto digitsEnd = std::find_if(digit, time.end(), [](char c) { return c < '0' || c > '9'; });
    const bool twelve = std::string(digit, digitsEnd) == "12";
    if (time.find("PM") != std::string::npos || time.find("pm") != std::string::npos)
        m_pm = !twelve;
    else if (time.find("AM") != std::string::npos || time.find("am") != std::string::npos)
        m_am12 = twelve;
}

void LineParser::completePiece(std::string& piece, const std::string& earlier, bool last, bool& xRead)
{
    if (!last) {
        piece.push_back(' ');
        return;
    }
    m_datetimeText = earlier + piece;
    m_x = xFromDateTime(m_datetimeText);
    xRead = true;
}

bool LineParser::collect(const char* p, const char* end, int sep, std::string& out)
{
    int seen = 0;
    for (; p < end; ++p) {
        const char c = *p;
        const bool isSep = isDateSeparator(c);
        if (isSep && seen >= sep)
            return true;
        out.push_back(c);
        if (isSep)
            ++seen;
    }
    // The line ended: the text is complete when it holds all its pieces and
    // does not end in a separator (the last line of a file often has no
    // terminator). A text of nothing at all is left to the date reader,
    // which fails on it.
    return out.empty() || (seen >= sep && !isDateSeparator(out.back()));
}

void LineParser::parseLine(const char* line, bool header) { parseLine(line, line + std::strlen(line), header); }

void LineParser::parseLine(const char* begin, const char* end, bool header)
{
    if (header) {
        parseHeader(begin, end);
        return;
    }
    switch (parseData(begin, end)) {
    case LineParserException::OUT_OF_DATA: throw OutOfData(m_errorMessage);
    case LineParserException::NAN_VALUE: throw NaNExcept(m_errorMessage);
    case LineParserException::INF_VALUE: throw InfExcept(m_errorMessage);
    case LineParserException::NO_NUMBER: throw NoNumberExcept(m_errorMessage);
    default: break;
    }
}

int LineParser::parseData(const char* p, const char* const end)
{
    const FileObject& src = *m_source;
    m_dateText.clear();
    m_timeText.clear();
    m_datetimeText.clear();
    m_lineDateError = false;
    m_pm = m_am12 = false;
    m_annotation.x = m_annotation.y = NOT_SET;
    m_annotation.text.clear();
    m_fieldCount = 0;
    std::fill(m_yRead.begin(), m_yRead.end(), 0);
    m_zRead = false;
    const bool needsX = src.m_xColumn >= 0 || src.m_xColumn == FileObject::X_FROM_DATETIME;
    bool xRead = false;
    bool keyRead = src.m_keyColumn < 0;
    const bool labelled = src.m_labelColumn >= 0;
    // Whether an x or y field started with a number, and whether one held
    // something else.
    bool numberSeen = false;
    bool textSeen = false;
    const int dateErrorsBefore = m_dateErrors;

    int field = 0;
    auto nextRoles = m_columns.cbegin();
    while (p < end) {
        while (p < end && isFieldSeparator(*p))
            ++p;
        if (field > m_lastColumn)
            break; // no role beyond here; the count only needs to pass every column
        std::uint16_t roles = 0;
        const std::vector<int>* ys = nullptr;
        if (nextRoles != m_columns.cend() && nextRoles->column == field) {
            roles = nextRoles->roles;
            ys = &nextRoles->ys;
            ++nextRoles;
        }
        // Where the scan for the next separator may start: past a number
        // read here (numbers hold no separators).
        const char* scanFrom = p;
        if (roles) {
            const bool empty = isEmptyField(p, end);
            if (roles & X) {
                if (!empty) {
                    double v;
                    bool found;
                    scanFrom = number(p, end, v, found);
                    numberSeen |= found;
                    textSeen |= !found;
                    m_x = scaled(v, src.m_xScale, m_xNeutral);
                    if (std::isnan(m_x))
                        return fail(LineParserException::NAN_VALUE, kNaNx);
                    if (std::isinf(m_x))
                        return fail(LineParserException::INF_VALUE, kInfx);
                    xRead = true;
                    if (labelled)
                        m_annotation.x = m_x;
                }
            }
            if ((roles & Y) && !empty) {
                double v;
                bool found;
                scanFrom = number(p, end, v, found);
                numberSeen |= found;
                textSeen |= !found;
                for (const int i : *ys) {
                    const double y = scaled(v, src.m_yColumns[std::size_t(i)], m_yNeutral[std::size_t(i)]);
                    if (std::isnan(y))
                        return fail(LineParserException::NAN_VALUE, kNaNy);
                    if (std::isinf(y))
                        return fail(LineParserException::INF_VALUE, kInfy);
                    m_y[std::size_t(i)] = y;
                    m_yRead[std::size_t(i)] = 1;
                    if (labelled)
                        m_annotation.y = y;
                }
            }
            if (roles & DATE) {
                if (!collect(p, end, m_dateSeparators, m_dateText))
                    return fail(LineParserException::OUT_OF_DATA, kOutDate);
                kro::import::normalizeDateText(m_dateText);
                completePiece(m_dateText, m_timeText, src.m_timeColumn < src.m_dateColumn, xRead);
            }
            if (roles & TIME) {
                if (!collect(p, end, m_timeSeparators, m_timeText))
                    return fail(LineParserException::OUT_OF_DATA, kOutTime);
                noteAmPm(m_timeText);
                kro::import::normalizeDateText(m_timeText);
                completePiece(m_timeText, m_dateText, src.m_dateColumn < src.m_timeColumn, xRead);
            }
            if (roles & DATETIME) {
                if (!collect(p, end, m_datetimeSeparators, m_datetimeText))
                    return fail(LineParserException::OUT_OF_DATA, kOutDatetime);
                kro::import::normalizeDateText(m_datetimeText);
                m_x = xFromDateTime(m_datetimeText);
                xRead = true;
            }
            if ((roles & Z) && !empty) {
                m_z = number(p, end);
                m_zRead = true;
            }
            if (roles & LABEL) {
                const char* q = p;
                while (q < end && !endsWord(*q))
                    ++q;
                assignWord(m_annotation.text, p, q);
            }
            if (roles & KEY) {
                const char* q = p;
                while (q < end && !endsWord(*q) && std::size_t(q - p) < KEY_LIMIT)
                    ++q;
                assignWord(m_key, p, q);
                keyRead = !m_key.empty();
            }
        }
        if (scanFrom > p && !isDateSeparator(*p))
            p = scanFrom;
        while (p < end && !isFieldSeparator(*p))
            ++p;
        ++field;
    }
    m_fieldCount = field;
    if (textSeen && !numberSeen) {
        // Not a data line: its date or time text failing to read is no
        // date error either.
        m_dateErrors = dateErrorsBefore;
        if (m_dateErrors == 0) {
            m_firstErrorFormat.clear();
            m_firstErrorText.clear();
        }
        m_lineDateError = false;
        m_lineComplete = false;
        return fail(LineParserException::NO_NUMBER, kNoNumber);
    }
    m_lineComplete = (!needsX || xRead) && keyRead;
    return 0;
}

void LineParser::parseHeader(const char* begin, const char* end)
{
    const FileObject& src = *m_source;
    // A separator right before an opening quote becomes a blank, so that
    // every title of a row such as "a","b";"c" is read as one quoted word.
    std::string line(begin, end);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"' && (i == 0 || line[i - 1] != '\\'))
            quoted = !quoted;
        else if (!quoted && (line[i] == ',' || line[i] == ';') && i + 1 < line.size() && line[i + 1] == '"')
            line[i] = ' ';
    }
    const std::vector<std::string> words = SCUtilities::splitQuotedRegex(line, "[,;]");
    const int n = static_cast<int>(words.size());
    if (src.m_xColumn >= 0 && src.m_xColumn < n)
        m_xTitle = kro::import::textFromBytes(words[std::size_t(src.m_xColumn)]);
    const bool single = src.m_yColumns.size() == 1;
    for (const YColumn& y : src.m_yColumns) {
        if (y.column < 0 || y.column >= n)
            continue;
        const QString title = kro::import::textFromBytes(words[std::size_t(y.column)]);
        if (single)
            m_yTitle = title;
        else
            m_yTitles << title;
    }
    if (src.hasDateOrTime())
        m_xTitle = QStringLiteral("Time");
}
