#pragma once
// The first lines of a text file, read for a preview (the import setup
// window and the regular-expression tool): whatever the file's size, only
// the lines asked for are read, no line is kept longer than a bound, and a
// file that is not text is refused before anything of it is shown.
#include <QFile>
#include <QString>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kro::import {

// Why a file cannot be previewed as text.
enum class TextProblem { None, Missing, Folder, Unreadable, Binary, Utf16 };

class PreviewReader {
public:
    // Bytes kept of one line; the rest of a longer line is passed over.
    static constexpr std::size_t kMaxLineBytes = std::size_t(1) << 20;

    PreviewReader();
    // Opens the file and looks at its first bytes; false when it cannot be
    // read as text (see problem() and reason()).
    bool open(const QString& path);
    TextProblem problem() const { return m_problem; }
    // A sentence for the user saying why the file cannot be shown.
    const QString& reason() const { return m_reason; }
    // True when the file holds nothing but perhaps a byte order mark.
    bool isEmpty() const { return m_empty; }

    // The next line without its line feed (and without a carriage return
    // before it). Lines end in a line feed, or in a carriage return in a
    // file whose first block holds no line feed. False at the end of the
    // file, on a read error, and at a NUL byte: binary data after the text
    // ends it.
    bool next(std::string& line);

private:
    bool fill();

    QFile m_file;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    bool m_eof = false;
    bool m_empty = false;
    char m_terminator = '\n';
    TextProblem m_problem = TextProblem::None;
    QString m_reason;
};

// The fields of a preview line, in column order. Tabs, blanks, commas and
// semicolons separate fields (a run of them counts once). A field's text
// ends at a separator, a carriage return, a line feed, an apostrophe or a
// caret, and what follows inside the field is dropped; a field that begins
// with an apostrophe or a caret is empty but still takes its column. A text
// keeps at most 1023 bytes (cut at a character boundary).
std::vector<std::string> splitPreviewFields(std::string_view line);

} // namespace kro::import
