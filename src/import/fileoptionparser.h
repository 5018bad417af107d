#pragma once
// The data-source options of the plot command: tokenising of the command
// text and the parser that turns it into FileObjects.
#include "import/fileobject.h"

#include <QString>
#include <QStringList>

#include <vector>

// The argument words of one command text, in order; index 0 is the command
// word itself.
class ArgumentList {
public:
    ArgumentList() = default;
    explicit ArgumentList(QStringList words) : m_words(std::move(words)) {}

    // The index of the first argument at or after start that equals word
    // ignoring letter case (whole argument); 0 when there is none, so the
    // command word never counts as a match.
    int indexOf(const QString& word, int start) const;

    int size() const { return static_cast<int>(m_words.size()); }
    bool isEmpty() const { return m_words.isEmpty(); }
    const QString& at(int i) const { return m_words.at(i); }
    const QString& operator[](int i) const { return m_words.at(i); }
    const QStringList& words() const { return m_words; }
    void append(const QString& word) { m_words.append(word); }

private:
    QStringList m_words;
};

// Splits a command text into words: blanks separate words, double quotes
// group them. Every word after an exact "-f" up to the next word beginning
// with '-' names files: a word holding '*' or '?' is replaced by the absolute
// paths of the regular files it matches (none when nothing matches); any other
// name is kept as written, so a missing file is reported by the loader
// instead of silently shifting the following files' options. Raises
// kroexception when the text does not survive conversion to the local
// 8-bit encoding or a pattern cannot be expanded.
ArgumentList splitArguments(const QString& text);

// Whether an option word is a finite number, and its value (left as it was
// otherwise). "nan" and "inf" are no values: a limit, scale, range, marker
// or floor of either would turn every point into an error or keep none.
bool readsAsNumber(const QString& word, double* value = nullptr);

class FileOptionParser {
public:
    enum Status { OK = 0, FAILED = 1, ABSENT = 7, BAD_TEXT = 8 };

    // Tokenises the command text; status BAD_TEXT when that fails.
    explicit FileOptionParser(const QString& text);
    // Works on ready arguments (no tokenising or pattern expansion).
    explicit FileOptionParser(ArgumentList arguments);

    // Fills the FileObject list; on false the error text holds the message.
    bool parse();

    void addFile(const QString& name);

    const std::vector<FileObject>& fileObjects() const { return m_files; }
    int fileCount() const { return m_fileCount; }
    const ArgumentList& arguments() const { return m_arguments; }
    const QString& errorText() const { return m_error; }
    int status() const { return m_status; }

    // Collects the values of the option named by the ';'-separated alias
    // list into values(): the first alias that occurs is the option's word,
    // other aliases are ignored. A numeric value is a word that reads as a
    // real number, a text value a word that does not begin with '-'.
    // Per occurrence, the values of each occurrence form one list. Returns
    // false (with the error text) when the word occurs without any value.
    bool collectValues(const QString& aliases, bool perOccurrence, bool numeric);
    const std::vector<QStringList>& values() const { return m_values; }

    // One row of the option table.
    enum class Kind { Text, Column, Number, PerY };
    struct OptionRow;
    bool parseOption(const OptionRow& row);

private:
    QString noValidArguments(const QString& aliases) const;
    bool parseYColumns();

    std::vector<FileObject> m_files;
    int m_fileCount = 0;
    ArgumentList m_arguments;
    QString m_error;
    int m_status = OK;
    // The values collected for the option in hand: one list per value, or
    // one list per occurrence for per-occurrence options.
    std::vector<QStringList> m_values;
};
