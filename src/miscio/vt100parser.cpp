#include "miscio/vt100parser.h"

#include <climits>
#include <cstring>

namespace {
constexpr char ESC = 27;

bool isParameterByte(char c) { return c >= 0x30 && c <= 0x3F; }
bool isIntermediateByte(char c) { return c >= 0x20 && c <= 0x2F; }
bool isFinalByte(char c) { return c >= 0x40 && c <= 0x7E; }

// The id of a two-byte escape (ESC and the lead), or -1.
int shortEscapeId(char lead)
{
    for (const Vt100Parser::Entry& e : Vt100Parser::table())
        if (e.lead == lead && e.lead != '[' && e.lead != '(' && e.lead != ')')
            return e.id;
    return -1;
}

// The id of a "[" entry whose tail is exactly the text, or -1.
int csiTailId(const char* text, qsizetype size)
{
    for (const Vt100Parser::Entry& e : Vt100Parser::table())
        if (e.lead == '[' && static_cast<qsizetype>(std::strlen(e.tail)) == size &&
            std::memcmp(e.tail, text, static_cast<size_t>(size)) == 0)
            return e.id;
    return -1;
}
} // namespace

const std::vector<Vt100Parser::Entry>& Vt100Parser::table()
{
    static const std::vector<Entry> entries{
        {'[', "c", 0},   {'[', "0c", 1},  {'[', "5n", 2},  {'[', "0n", 3},  {'[', "3n", 4},
        {'[', "6n", 5},  {'[', "R", 6},   {'c', "", 7},    {'[', "7h", 8},  {'[', "7l", 9},
        {'(', "", 10},   {')', "", 11},   {'[', "H", 12},  {'[', "A", 13},  {'[', "B", 14},
        {'[', "C", 15},  {'[', "D", 16},  {'[', "f", 17},  {'[', "s", 18},  {'[', "u", 19},
        {'7', "", 20},   {'8', "", 21},   {'[', "r", 22},  {'D', "", 23},   {'M', "", 24},
        {'h', "", 25},   {'[', "g", 26},  {'[', "3g", 27}, {'[', "K", 28},  {'[', "1K", 29},
        {'[', "2K", 30}, {'[', "J", 31},  {'[', "1J", 32}, {'[', "2J", 33}, {'[', "i", 34},
        {'[', "1i", 35}, {'[', "4i", 36}, {'[', "5i", 37}, {'[', "m", 39},
    };
    return entries;
}

std::vector<int> vt100Parameters(const QByteArray& text) { return vt100Parameters(text.constData(), text.size()); }

std::vector<int> vt100Parameters(const char* text, qsizetype n)
{
    std::vector<int> params;
    qsizetype i = 0;
    for (;;) {
        while (i < n && text[i] == ' ')
            ++i;
        bool negative = false;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            negative = text[i++] == '-';
        if (i >= n || text[i] < '0' || text[i] > '9')
            return params;
        long long value = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            value = value * 10 + (text[i++] - '0');
            if (value > INT_MAX)
                value = INT_MAX;
        }
        params.push_back(static_cast<int>(negative ? -value : value));
        ++i; // exactly one separator
    }
}

void Vt100Parser::reset()
{
    m_state = State::Text;
    m_held.resize(0); // keeps its capacity for the next sequence
}

void Vt100Parser::begin()
{
    m_held.resize(0);
    m_held.append(ESC);
    m_state = State::Escape;
}

void Vt100Parser::complete(int id, std::vector<int> params, const QByteArray& out)
{
    m_codes.push_back(Vt100Code{std::move(params), static_cast<int>(out.size()), id});
    reset();
}

void Vt100Parser::release(QByteArray& out)
{
    out += m_held;
    reset();
}

void Vt100Parser::finishCsi(const QByteArray& out)
{
    // m_held is ESC [ body, the body ending in its final byte.
    const char* body = m_held.constData() + 2;
    const qsizetype size = m_held.size() - 2;
    const int whole = csiTailId(body, size);
    if (whole >= 0) {
        complete(whole, {}, out);
        return;
    }
    const int byFinal = csiTailId(body + size - 1, 1);
    if (byFinal >= 0) {
        complete(byFinal, vt100Parameters(body, size - 1), out);
        return;
    }
    reset(); // an unknown sequence is removed without a code
}

void Vt100Parser::sequenceByte(char c, QByteArray& out)
{
    switch (m_state) {
    case State::Text:
        break;
    case State::Escape:
        if (c == '[' || c == '(' || c == ')') {
            m_held += c;
            m_state = c == '[' ? State::Csi : State::Designator;
            return;
        }
        if (const int id = shortEscapeId(c); id >= 0) {
            complete(id, {}, out);
            return;
        }
        // Not a sequence: the ESC stays in the text and c is read as text.
        release(out);
        break;
    case State::Designator: {
        const int id = m_held[1] == '(' ? 10 : 11;
        const bool takesIt = c >= 0x20 && c <= 0x7E;
        complete(id, {}, out);
        if (takesIt)
            return;
        break;
    }
    case State::Csi:
        if (isParameterByte(c) || isIntermediateByte(c)) {
            m_held += c;
            if (m_held.size() > MAX_SEQUENCE)
                release(out);
            return;
        }
        if (isFinalByte(c)) {
            m_held += c;
            finishCsi(out);
            return;
        }
        // A control character (or a byte outside the sequence's set) ends
        // it: what was held goes back to the text and c is read as text.
        release(out);
        break;
    }
    // c is text (or the start of a new sequence).
    if (c == ESC) {
        begin();
    } else {
        out += c;
    }
}

void Vt100Parser::parse(QByteArray& text)
{
    const char* data = text.constData();
    const qsizetype n = text.size();
    if (m_state == State::Text && std::memchr(data, ESC, static_cast<size_t>(n)) == nullptr)
        return; // plain text: nothing to remove

    QByteArray out;
    out.reserve(n + m_held.size());
    qsizetype i = 0;
    while (i < n) {
        if (m_state == State::Text) {
            // Copy the run of plain text up to the next ESC in one step.
            const void* hit = std::memchr(data + i, ESC, static_cast<size_t>(n - i));
            const qsizetype stop = hit ? static_cast<const char*>(hit) - data : n;
            out.append(data + i, stop - i);
            i = stop;
            if (i < n) {
                begin();
                ++i;
            }
            continue;
        }
        sequenceByte(data[i++], out);
    }
    text = std::move(out);
}
