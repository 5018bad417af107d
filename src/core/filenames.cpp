#include "core/filenames.h"

#include <fcntl.h>
#include <unistd.h>

namespace kro {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at b[0], 0 when it is not one
// (overlong forms, encoded surrogates and values past U+10FFFF are not).
int validSequence(const unsigned char* b, qsizetype left, char32_t& code)
{
    const unsigned char c = b[0];
    int n = 0;
    char32_t min = 0;
    if (c < 0x80) {
        code = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        n = 2, code = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3, code = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4, code = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (left < n)
        return 0;
    for (int i = 1; i < n; ++i) {
        if ((b[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (b[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return n;
}

void appendUtf8(QByteArray& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

QByteArray encodeFileName(const QString& name)
{
    QByteArray out;
    out.reserve(name.size());
    const char16_t* s = reinterpret_cast<const char16_t*>(name.utf16());
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = s[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF) {
            out += char(u - kEscapeBase); // a byte kept from a name that was not UTF-8
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            appendUtf8(out, 0xFFFD); // a lone surrogate no name can hold
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

QString decodeFileName(const char* bytes, qsizetype size)
{
    QString out;
    out.reserve(size);
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    for (qsizetype i = 0; i < size;) {
        char32_t code = 0;
        const int n = validSequence(b + i, size - i, code);
        if (n == 0) {
            out += QChar(char16_t(kEscapeBase + b[i]));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            out += QChar(char16_t(0xD800 + ((code - 0x10000) >> 10)));
            out += QChar(char16_t(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            out += QChar(char16_t(code));
        }
        i += n;
    }
    return out;
}

QString decodeFileName(const QByteArray& bytes) { return decodeFileName(bytes.constData(), bytes.size()); }

bool statPath(const QString& path, struct stat& st)
{
    return !path.isEmpty() && ::stat(encodeFileName(path).constData(), &st) == 0;
}

bool pathExists(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::lstat(encodeFileName(path).constData(), &st) == 0;
}

bool isDirectory(const QString& path)
{
    struct stat st {};
    return statPath(path, st) && S_ISDIR(st.st_mode);
}

int openForReading(const QString& path)
{
    return ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

} // namespace kro
