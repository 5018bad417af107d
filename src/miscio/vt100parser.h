#pragma once
// Vt100Parser: removes VT-style terminal control sequences from received
// instrument text and reports the ones it knows as Vt100Codes. The matching
// state lives across texts, so a sequence split between two received texts
// is still recognised: the part that arrived first is held back and not shown.
//
// Control sequences are read by their standard shape: ESC [ then parameter
// bytes (0x30-0x3F), intermediate bytes (0x20-0x2F) and one final byte
// (0x40-0x7E). The parameters and final byte are looked up as a whole first
// ("2J" is erase screen), else the final byte alone with the numbers read from
// the parameters ("31m" is graphic rendition with 31). Unknown sequences are
// removed without a code; a control character inside a sequence, or a
// sequence longer than 64 bytes, ends it and gives its bytes back as text.
// The two-byte escapes ESC c, 7, 8, D, M, h are codes of their own; ESC ( and
// ESC ) take one designator character with them. ESC followed by anything
// else stays in the text.
#include <QByteArray>

#include <string>
#include <vector>

struct Vt100Code {
    std::vector<int> params;
    int position = 0; // index in the cleaned text where the sequence stood
    int id = 0;       // the table entry

    bool operator==(const Vt100Code&) const = default;
};

class Vt100Parser {
public:
    // One known sequence: ESC, the lead character, then the tail (for "["
    // leads: the parameters and final byte as they are matched whole).
    struct Entry {
        char lead;
        const char* tail;
        int id;
    };
    // The known sequences, ids 0 to 39 without 38.
    static const std::vector<Entry>& table();

    // Ids the console acts on.
    static constexpr int ERASE_SCREEN = 33;
    static constexpr int GRAPHIC_RENDITION = 39;
    // The longest sequence that is held before it is given back as text.
    static constexpr int MAX_SEQUENCE = 64;

    Vt100Parser() = default;

    // Removes the recognised sequences from the text (and the unfinished end
    // of one that continues in the next text) and appends one code per
    // recognised sequence, in text order. Linear in the text's length.
    void parse(QByteArray& text);

    const std::vector<Vt100Code>& codes() const { return m_codes; }
    void clearCodes() { m_codes.clear(); }
    // Forgets a sequence in progress (its held bytes are dropped).
    void reset();
    // Whether a sequence is in progress (its beginning held back).
    bool holding() const { return m_state != State::Text; }

private:
    enum class State { Text, Escape, Designator, Csi };

    // An ESC starts a sequence.
    void begin();
    // Handles one byte of a sequence in progress; the byte may end it.
    void sequenceByte(char c, QByteArray& out);
    void complete(int id, std::vector<int> params, const QByteArray& out);
    // The held bytes go back to the text; the state returns to Text.
    void release(QByteArray& out);
    void finishCsi(const QByteArray& out);

    State m_state = State::Text;
    QByteArray m_held; // the sequence so far, ESC included
    std::vector<Vt100Code> m_codes;
};

// The numbers of a parameter text: read an integer (leading blanks skipped,
// optional sign, digits); while that succeeds keep it, skip exactly one
// character and read the next. "12;40" gives 12 and 40, "12;;40" 12 only.
std::vector<int> vt100Parameters(const QByteArray& text);
std::vector<int> vt100Parameters(const char* text, qsizetype size);
