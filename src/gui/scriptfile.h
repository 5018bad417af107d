#pragma once
// Script files (".krs") and the queue of command lines they feed.
//
// A script is one command per line. A line whose first three characters are
// "-->" is a comment; a line ending in "..." continues on the next
// non-comment line (the dots removed, nothing inserted); "%N" is the N-th
// token of the call ("%0" the script name as written, "%1" the first
// argument), replaced over the whole text before the lines are split.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The text of a script file: UTF-8, or Latin-1 when the bytes are not valid
// UTF-8; CR LF line ends become LF.
QString scriptTextFromBytes(const QByteArray& bytes);

// Replaces every parameter reference "%N" by token N (enclosed in double
// quotes when it holds white space). The first reference met is replaced
// everywhere at once, also inside a longer reference ("%1" inside "%12");
// text that came from a token is never searched again, so a token holding
// "%N" stays as it is. Returns the number of the first reference without a
// token, or nothing when every reference was replaced.
std::optional<int> substituteScriptParameters(QString& text, const QStringList& tokens);

// The command lines of a script text, in file order: comments and empty
// lines dropped, continued lines joined.
QStringList scriptCommands(const QString& text);

// Reading one script call.
struct ScriptLoad {
    enum Status {
        Loaded,            // commands hold the script's lines
        NotFound,          // no such file, also not in the scripts folder
        Unreadable,        // the file could not be opened
        MissingParameter,  // a reference beyond the call's arguments; nothing runs
    };
    Status status = NotFound;
    QString path;          // the file read (or the last name tried)
    QString message;       // the console message of a failure
    QStringList commands;
    // The call goes into the command history once the file has been opened.
    bool entersHistory() const { return status == Loaded || status == MissingParameter; }
};

// Loads the script of a call. tokens are the call's words (the script name
// first); the name is the whole call when that names a file (a path with
// blanks, as the directory browser passes it), else the first token. A bare
// name that is not found is looked up in scriptsPath.
ScriptLoad loadScript(const QString& call, QStringList tokens, const QString& scriptsPath);

// Scripts called from scripts nest at most this deep; a script that calls
// itself stops there with an error instead of running for ever.
inline constexpr int kMaxScriptNesting = 32;

// The pending command lines of the main window. The line that runs next is
// the head; a script's lines go before everything queued, first line first.
// Each line keeps its nesting depth: 0 for typed and pasted lines, 1 for the
// lines of a script called from those, one more for each script call within.
class ScriptQueue {
public:
    bool isEmpty() const { return m_lines.empty(); }
    int size() const { return static_cast<int>(m_lines.size()); }
    // The lines in the order they will run.
    QStringList pending() const;

    // Puts a script's commands (in file order) at the head.
    void pushScript(const QStringList& commands, int depth = 1);
    // Puts one line at the head (pasted lines arrive last line first).
    void pushHead(const QString& line);
    // Replaces the whole queue with the lines of a script run from the
    // editor; lines are given last line first, as the editor sends them.
    void replace(const QStringList& lastFirst);
    // Removes and returns the next line, dropping comment lines at the head;
    // nothing when no line is left. *depth takes the line's depth.
    std::optional<QString> takeNext(int* depth = nullptr);
    void clear() { m_lines.clear(); }

private:
    struct Line {
        QString text;
        int depth;
    };
    std::vector<Line> m_lines;  // the head is the last element
};
