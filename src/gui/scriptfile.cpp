#include "gui/scriptfile.h"

#include "command/scriptlines.h"

#include "import/textcodec.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <vector>

QString scriptTextFromBytes(const QByteArray& bytes)
{
    QString text = kro::import::textFromBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

std::optional<int> substituteScriptParameters(QString& text, const QStringList& tokens)
{
    // Inserted tokens are held aside behind a marker: a character the text
    // does not contain, followed by two characters giving the token's
    // place. Markers hold no '%' and no digit, so the search never enters
    // them; they are expanded once every reference is gone.
    QChar marker;
    for (char16_t c = 0xE000; c < 0xF8FF; ++c) {
        if (!text.contains(QChar(c))) {
            marker = QChar(c);
            break;
        }
    }
    std::vector<QString> inserted;
    static const QRegularExpression reference(QStringLiteral("(%\\d+)"));
    qsizetype start = 0;
    for (;;) {
        const QRegularExpressionMatch m = reference.match(text, start);
        if (!m.hasMatch())
            break;
        const QString ref = m.captured(1);
        bool ok = false;
        const int n = QStringView(ref).mid(1).toInt(&ok, 10);
        if (!ok) {
            start = m.capturedStart(1) + 1;
            continue;
        }
        if (n >= tokens.size())
            return n;
        QString replacement = tokens.at(n);
        static const QRegularExpression space(QStringLiteral("\\s"));
        if (replacement.contains(space))
            replacement = QLatin1Char('"') + replacement + QLatin1Char('"');
        const int k = static_cast<int>(inserted.size());
        inserted.push_back(replacement);
        QString placeholder = marker;
        placeholder += QChar(char16_t(0xE000 + (k >> 12)));
        placeholder += QChar(char16_t(0xE000 + (k & 0xFFF)));
        text.replace(ref, placeholder);
        start = m.capturedStart(1);
    }
    if (!inserted.empty()) {
        QString out;
        out.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == marker && i + 2 < text.size()) {
                const int k = ((text[i + 1].unicode() - 0xE000) << 12) | (text[i + 2].unicode() - 0xE000);
                out += inserted[std::size_t(k)];
                i += 2;
            } else {
                out += text[i];
            }
        }
        text = out;
    }
    return std::nullopt;
}

QStringList scriptCommands(const QString& text)
{
    return joinScriptLines(text.split(QLatin1Char('\n'), Qt::SkipEmptyParts));
}

ScriptLoad loadScript(const QString& call, QStringList tokens, const QString& scriptsPath)
{
    ScriptLoad load;
    // A call that names a file as a whole (a path holding blanks, as the
    // directory browser passes it) is that file without arguments.
    const bool wholeCallIsFile = QFileInfo(call).isFile();
    if (wholeCallIsFile && tokens.size() > 1)
        tokens = QStringList{call};
    QString name = kro::platform::expandHome(wholeCallIsFile || tokens.isEmpty() ? call : tokens.first());
    if (!QFileInfo::exists(name) && name == QFileInfo(name).fileName() && !scriptsPath.isEmpty())
        name = QDir(QDir::fromNativeSeparators(scriptsPath)).filePath(name);
    load.path = name;
    if (!QFileInfo::exists(name)) {
        load.status = ScriptLoad::NotFound;
        load.message = QStringLiteral("KroScript file %1 does not exist").arg(name);
        return load;
    }
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        load.status = ScriptLoad::Unreadable;
        load.message = QStringLiteral("Could not open file for reading: %1").arg(file.errorString());
        return load;
    }
    QString text = scriptTextFromBytes(file.readAll());
    if (const auto missing = substituteScriptParameters(text, tokens)) {
        load.status = ScriptLoad::MissingParameter;
        load.message = QStringLiteral("KroScript Error: Parameter %1 was not found on input.").arg(*missing);
        return load;
    }
    load.status = ScriptLoad::Loaded;
    load.commands = scriptCommands(text);
    return load;
}

QStringList ScriptQueue::pending() const
{
    QStringList out;
    for (auto it = m_lines.crbegin(); it != m_lines.crend(); ++it)
        out << *it;
    return out;
}

void ScriptQueue::pushScript(const QStringList& commands)
{
    for (auto it = commands.crbegin(); it != commands.crend(); ++it)
        m_lines.append(*it);
}

void ScriptQueue::pushHead(const QString& line) { m_lines.append(line); }

void ScriptQueue::replace(const QStringList& lastFirst) { m_lines = lastFirst; }

std::optional<QString> ScriptQueue::takeNext()
{
    while (!m_lines.isEmpty() && m_lines.last().startsWith(QLatin1String("-->")))
        m_lines.removeLast();
    if (m_lines.isEmpty())
        return std::nullopt;
    return m_lines.takeLast();
}
