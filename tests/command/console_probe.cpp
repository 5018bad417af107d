#include "console_probe.h"

#include <QMetaMethod>

#include <charconv>
#include <string>

namespace kro::test {

namespace {

QString number(double v)
{
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return QString::fromLatin1(buffer, int(r.ptr - buffer));
}

QString quoted(const QString& s) { return s.isNull() ? QStringLiteral("null") : QLatin1Char('"') + s + QLatin1Char('"'); }

QString describeValue(const QVariant& v)
{
    const QMetaType type = v.metaType();
    if (type == QMetaType::fromType<QString>())
        return quoted(v.toString());
    if (type == QMetaType::fromType<double>())
        return number(v.toDouble());
    if (type == QMetaType::fromType<bool>())
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (type == QMetaType::fromType<char>())
        return QStringLiteral("'%1'").arg(QChar::fromLatin1(v.value<char>()));
    if (type == QMetaType::fromType<int>() || type == QMetaType::fromType<uint>())
        return v.toString();
    if (type == QMetaType::fromType<IdArray>()) {
        const IdArray ids = v.value<IdArray>();
        QStringList parts{QString::number(ids.count())};
        for (int id : ids.ids())
            parts << (id == ALL_CURVES ? QStringLiteral("ALL") : QString::number(id));
        return QLatin1Char('{') + parts.join(QLatin1Char(',')) + QLatin1Char('}');
    }
    if (type == QMetaType::fromType<std::vector<double>>()) {
        QStringList parts;
        for (double d : v.value<std::vector<double>>())
            parts << number(d);
        return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
    }
    if (type == QMetaType::fromType<std::vector<std::string>>()) {
        QStringList parts;
        for (const std::string& s : v.value<std::vector<std::string>>())
            parts << quoted(QString::fromStdString(s));
        return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
    }
    if (type == QMetaType::fromType<std::pair<double, double>>()) {
        const auto p = v.value<std::pair<double, double>>();
        return QStringLiteral("(%1,%2)").arg(number(p.first), number(p.second));
    }
    if (type == QMetaType::fromType<OPTSTATES::QUADSTATE>())
        return QString::number(int(v.value<OPTSTATES::QUADSTATE>()));
    if (type == QMetaType::fromType<OPTSTATES::DIMENSION_QUERY>())
        return QString::number(int(v.value<OPTSTATES::DIMENSION_QUERY>()));
    if (type == QMetaType::fromType<PDESIGN::GRIDLINES>())
        return QString::number(int(v.value<PDESIGN::GRIDLINES>()));
    return QStringLiteral("<%1>").arg(QString::fromLatin1(type.name()));
}

} // namespace

QString describeCall(const QMetaMethod& method, const QList<QVariant>& arguments)
{
    QStringList parts;
    for (const QVariant& a : arguments)
        parts << describeValue(a);
    return QString::fromLatin1(method.name()) + QLatin1Char('(') + parts.join(QLatin1Char(',')) + QLatin1Char(')');
}

ConsoleProbe::ConsoleProbe(CommandEdit& console) : m_console(console)
{
    const QMetaObject* mo = console.metaObject();
    for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
        const QMetaMethod method = mo->method(i);
        if (method.methodType() != QMetaMethod::Signal)
            continue;
        if (method.name() == "cmdExecuted")
            m_executed = std::make_unique<QSignalSpy>(&console, method);
        else
            m_spies.emplace_back(method, std::make_unique<QSignalSpy>(&console, method));
    }
}

QString ConsoleProbe::printedSince(const QString& before, const QString& after)
{
    // The prompt line is always the last line. The submitted line was echoed
    // on it; every message stands after a prompt of its own, continuation
    // lines after two blanks; the new prompt line comes last.
    const qsizetype promptLine = before.count(QLatin1Char('\n'));
    QStringList lines = after.split(QLatin1Char('\n'));
    if (lines.size() < promptLine + 2)
        return QString();
    lines = lines.mid(promptLine + 1, lines.size() - promptLine - 2);
    for (QString& line : lines)
        line.remove(0, 2);
    return lines.join(QLatin1Char('\n'));
}

ConsoleProbe::Result ConsoleProbe::run(const QString& line, bool history)
{
    for (auto& [method, spy] : m_spies)
        spy->clear();
    m_executed->clear();
    const QString before = m_console.toPlainText();
    m_console.command(line, history);
    Result result;
    for (auto& [method, spy] : m_spies)
        for (const QList<QVariant>& args : *spy)
            result.calls << describeCall(method, args);
    result.executed = int(m_executed->count());
    result.printed = printedSince(before, m_console.toPlainText());
    return result;
}

} // namespace kro::test
