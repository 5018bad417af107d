#include "import/commandcomposer.h"

#include "core/settings.h"

#include <QCoreApplication>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <optional>

namespace kro::import {
namespace {

// The options the command may carry, in the order in which they are written.
enum Option { D, DFORMAT, DT, DTFORMAT, T, TFORMAT, X, Y, K, ADDX, SUBX, MULX, DIVX, ADD, SUB, MUL, DIV, GET, SKIP, HEADER, COUNT };

struct OptionInfo {
    const char* word;
    bool numeric;
    double defaultNumber; // numeric options
};

constexpr std::array<OptionInfo, COUNT> kOptions{{
    {"-d ", true, -1},
    {"-dateformat ", false, 0},
    {"-dt ", true, -1},
    {"-datetimeformat ", false, 0},
    {"-t ", true, -1},
    {"-timeformat ", false, 0},
    {"-x ", true, 1},
    {"-y ", true, 2},
    {"-k ", true, 0},
    {"-addx ", true, 0},
    {"-subx ", true, 0},
    {"-mulx ", true, 1},
    {"-divx ", true, 1},
    {"-add ", true, 0},
    {"-sub ", true, 0},
    {"-mul ", true, 1},
    {"-div ", true, 1},
    {"-get ", true, 0},
    {"-skip ", true, 0},
    {"-header ", true, 0},
}};

using Value = std::optional<QString>;

QString item(const QString& text) { return QStringLiteral("%1 ").arg(text); }
QString item(int number) { return item(QString::number(number)); }

// The value a file that does not use the option gets when another file
// does: the one with which it reads as it would without the option.
QString neutralValue(int option, const DefaultFormats& defaults)
{
    switch (option) {
    case D: case DT: case T: return item(0);
    case DFORMAT: return item(defaults.date);
    case DTFORMAT: return item(defaults.datetime);
    case TFORMAT: return item(defaults.time);
    case Y: return item(2);
    case ADD: case SUB: return item(0);
    default: return item(1); // MUL, DIV
    }
}

QString defaultText(int option, const DefaultFormats& defaults)
{
    switch (option) {
    case DFORMAT: return defaults.date;
    case DTFORMAT: return defaults.datetime;
    default: return defaults.time;
    }
}

// Whether leaving the option out reads the same as the value: a single
// default number or format. The scaling options hand their last number on to
// the further y columns, so a run of defaults there is the default too; the
// y column list is not: "2 2" plots column 2 twice, "2" once.
bool holdsDefault(const QString& value, int option, const DefaultFormats& defaults)
{
    const OptionInfo& info = kOptions[std::size_t(option)];
    const QStringList pieces = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const bool perY = option == ADD || option == SUB || option == MUL || option == DIV;
    if (pieces.size() != 1 && !perY)
        return false;
    for (const QString& piece : pieces) {
        if (info.numeric ? piece.toDouble() != info.defaultNumber : piece != defaultText(option, defaults))
            return false;
    }
    return true;
}

// Leaves out the values that the loader would repeat anyway, and the whole
// option when every file holds its default.
void prune(std::vector<Value>& values, int option, const DefaultFormats& defaults)
{
    if (values.empty())
        return;
    std::size_t i = values.size() - 1;
    while (i > 0 && values[i] == values[i - 1]) {
        values[i].reset();
        --i;
    }
    for (const Value& v : values)
        if (v && !holdsDefault(*v, option, defaults))
            return;
    for (Value& v : values)
        v.reset();
}

using Values = std::array<std::vector<Value>, COUNT>;

// Appends a column (1-based) to the value of the column option and its four
// scaling numbers to the values of the options from `scaling` on (add, sub,
// mul, div); a file's y columns thus line up in one text each.
void appendScaled(Values& values, std::size_t f, int columnOption, int scaling, const ColumnSpec& entry)
{
    auto append = [&](int option, const QString& text) {
        Value& v = values[std::size_t(option)][f];
        v = v.value_or(QString()) + item(text);
    };
    append(columnOption, QString::number(entry.column + 1));
    const double numbers[4] = {entry.add, entry.sub, entry.mul, entry.div};
    for (int k = 0; k < 4; ++k)
        append(scaling + k, commandNumber(numbers[k]));
}

QString formatWord(const QString& value)
{
    const QString f = value.trimmed();
    return f.contains(QLatin1Char(' ')) ? QStringLiteral("\"%1\" ").arg(f) : item(f);
}

} // namespace

DefaultFormats DefaultFormats::fromSettings() { return {getDateFormat(), getDateTimeFormat(), getTimeFormat()}; }

QString commandNumber(double value)
{
    char buffer[64];
    for (int precision = 6; precision <= 17; ++precision) {
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision).ptr;
        double back = 0.0;
        std::from_chars(buffer, end, back);
        if (back == value || precision == 17)
            return QString::fromLatin1(buffer, int(end - buffer));
    }
    return QString();
}

QString fileNameProblem(const QString& name)
{
    const char* what = nullptr;
    if (name.contains(QLatin1Char('"')))
        what = QT_TRANSLATE_NOOP("FileSetup", "a double quote");
    else if (name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r')))
        what = QT_TRANSLATE_NOOP("FileSetup", "a line break");
    else if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
        what = QT_TRANSLATE_NOOP("FileSetup", "a wildcard ('*' or '?')");
    if (!what)
        return QString();
    return QCoreApplication::translate("FileSetup",
                                       "The file name holds %1, which a plot command cannot carry. Rename the file "
                                       "to plot it.")
        .arg(QCoreApplication::translate("FileSetup", what));
}

QString cleanDroppedName(const QString& name)
{
    if (name.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(name);
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return name;
}

QString composePlotCommand(const std::vector<CommandSource>& sources, bool append, const DefaultFormats& defaults)
{
    const std::size_t n = sources.size();
    Values values;
    for (auto& v : values)
        v.resize(n);
    for (std::size_t f = 0; f < n; ++f) {
        const CommandSource& s = sources[f];
        for (const ColumnSpec& entry : s.columns) {
            switch (entry.roleCode) {
            case ColumnSpec::X:
                appendScaled(values, f, X, ADDX, entry);
                break;
            case ColumnSpec::Y:
                appendScaled(values, f, Y, ADD, entry);
                break;
            case ColumnSpec::DATE:
            case ColumnSpec::DATETIME:
            case ColumnSpec::TIME: {
                // The column option, then its format option.
                const int option = entry.roleCode == ColumnSpec::DATE ? D : entry.roleCode == ColumnSpec::DATETIME ? DT : T;
                values[std::size_t(option)][f] = item(entry.column + 1);
                values[std::size_t(option) + 1][f] = item(entry.format);
                break;
            }
            default:
                break;
            }
        }
        values[K][f] = item(s.keyColumn + 1);
        values[GET][f] = item(s.get);
        values[SKIP][f] = item(s.skip);
        values[HEADER][f] = item(s.header);
    }
    for (int o = 0; o < COUNT; ++o) {
        std::vector<Value>& v = values[std::size_t(o)];
        const bool used = std::any_of(v.begin(), v.end(), [](const Value& x) { return x.has_value(); });
        if (used)
            for (Value& x : v)
                if (!x)
                    x = neutralValue(o, defaults);
        prune(v, o, defaults);
    }

    QString command = QCoreApplication::translate("FileSetup", "kro ");
    for (std::size_t f = 0; f < n; ++f) {
        const QString& name = sources[f].file;
        command += QStringLiteral("-f ");
        const bool blank = std::any_of(name.begin(), name.end(), [](QChar c) { return c.isSpace(); });
        command += blank ? QStringLiteral("\"%1\" ").arg(name) : item(name);
        for (int o = 0; o < COUNT; ++o) {
            const Value& v = values[std::size_t(o)][f];
            if (!v)
                continue;
            command += QLatin1String(kOptions[std::size_t(o)].word);
            command += kOptions[std::size_t(o)].numeric ? *v : formatWord(*v);
        }
    }
    if (append)
        command += QCoreApplication::translate("FileSetup", "-append ");
    return command;
}

} // namespace kro::import
