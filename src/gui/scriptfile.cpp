#include "gui/scriptfile.h"

#include "command/scriptlines.h"
#include "core/typednames.h"
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
    // The text is held as pieces: plain text, which the search reads, and
    // inserted tokens, which it never enters. References never span pieces.
    struct Piece {
        QString text;
        bool token;
    };
    std::vector<Piece> pieces{{text, false}};
    static const QRegularExpression reference(QStringLiteral("(%\\d+)"));
    static const QRegularExpression space(QStringLiteral("\\s"));
    std::size_t at = 0;  // the piece searched
    qsizetype from = 0;  // where in it the search goes on
    bool replaced = false;
    while (at < pieces.size()) {
        if (pieces[at].token) {
            ++at;
            from = 0;
            continue;
        }
        const QRegularExpressionMatch m = reference.match(pieces[at].text, from);
        if (!m.hasMatch()) {
            ++at;
            from = 0;
            continue;
        }
        const QString ref = m.captured(1);
        bool ok = false;
        const int n = QStringView(ref).mid(1).toInt(&ok, 10);
        if (!ok) {
            from = m.capturedStart(1) + 1;
            continue;
        }
        if (n >= tokens.size())
            return n;
        QString replacement = tokens.at(n);
        if (replacement.contains(space))
            replacement = QLatin1Char('"') + replacement + QLatin1Char('"');

        // Every occurrence in every plain piece becomes the token; the
        // search goes on right after the one it found.
        std::vector<Piece> next;
        next.reserve(pieces.size() + 2);
        std::size_t resume = 0;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (pieces[i].token) {
                next.push_back(std::move(pieces[i]));
                continue;
            }
            const QString& t = pieces[i].text;
            qsizetype pos = 0;
            for (qsizetype k = t.indexOf(ref, 0); k >= 0; k = t.indexOf(ref, pos)) {
                next.push_back({t.mid(pos, k - pos), false});
                next.push_back({replacement, true});
                pos = k + ref.size();
                if (i == at && k == m.capturedStart(1))
                    resume = next.size();
            }
            next.push_back({t.mid(pos), false});
        }
        pieces = std::move(next);
        at = resume;
        from = 0;
        replaced = true;
    }
    if (replaced) {
        QString out;
        for (const Piece& piece : pieces)
            out += piece.text;
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
    // "%0" is the script's name as the call wrote it, also where the program
    // resolved the name itself.
    if (!tokens.isEmpty())
        tokens.first() = kro::typedName(tokens.first());
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
        out << it->text;
    return out;
}

void ScriptQueue::pushScript(const QStringList& commands, int depth)
{
    for (auto it = commands.crbegin(); it != commands.crend(); ++it)
        m_lines.push_back({*it, depth});
}

void ScriptQueue::pushHead(const QString& line) { m_lines.push_back({line, 0}); }

void ScriptQueue::replace(const QStringList& lastFirst)
{
    m_lines.clear();
    for (const QString& line : lastFirst)
        m_lines.push_back({line, 1});
}

std::optional<QString> ScriptQueue::takeNext(int* depth)
{
    while (!m_lines.empty() && m_lines.back().text.startsWith(QLatin1String("-->")))
        m_lines.pop_back();
    if (m_lines.empty())
        return std::nullopt;
    Line line = std::move(m_lines.back());
    m_lines.pop_back();
    if (depth)
        *depth = line.depth;
    return std::move(line.text);
}
