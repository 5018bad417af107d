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

// Whether every number or word of a value is the option's default.
bool holdsDefault(const QString& value, int option, const DefaultFormats& defaults)
{
    const OptionInfo& info = kOptions[std::size_t(option)];
    const QStringList pieces = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
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
    std::array<std::vector<Value>, COUNT> values;
    for (auto& v : values)
        v.resize(n);
    for (std::size_t f = 0; f < n; ++f) {
        const CommandSource& s = sources[f];
        QString ys, adds, subs, muls, divs;
        for (const ColumnSpec& entry : s.columns) {
            switch (entry.roleCode) {
            case ColumnSpec::X:
                values[X][f] = item(entry.column + 1);
                values[ADDX][f] = item(commandNumber(entry.add));
                values[SUBX][f] = item(commandNumber(entry.sub));
                values[MULX][f] = item(commandNumber(entry.mul));
                values[DIVX][f] = item(commandNumber(entry.div));
                break;
            case ColumnSpec::DATE:
                values[D][f] = item(entry.column + 1);
                values[DFORMAT][f] = item(entry.format);
                break;
            case ColumnSpec::DATETIME:
                values[DT][f] = item(entry.column + 1);
                values[DTFORMAT][f] = item(entry.format);
                break;
            case ColumnSpec::TIME:
                values[T][f] = item(entry.column + 1);
                values[TFORMAT][f] = item(entry.format);
                break;
            case ColumnSpec::Y:
                ys += item(entry.column + 1);
                adds += item(commandNumber(entry.add));
                subs += item(commandNumber(entry.sub));
                muls += item(commandNumber(entry.mul));
                divs += item(commandNumber(entry.div));
                break;
            default:
                break;
            }
        }
        if (!ys.isEmpty()) {
            values[Y][f] = ys;
            values[ADD][f] = adds;
            values[SUB][f] = subs;
            values[MUL][f] = muls;
            values[DIV][f] = divs;
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
        command += name.contains(QLatin1Char(' ')) ? QStringLiteral("\"%1\" ").arg(name) : item(name);
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
