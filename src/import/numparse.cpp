#include "import/numparse.h"

#include <charconv>
#include <cstdint>
#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace kro::import {
namespace {

inline bool isCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Characters that may belong to a number in any form strtod accepts.
inline bool isNumberChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '+'
        || c == '-' || c == '(' || c == ')' || c == '_';
}

locale_t cLocale()
{
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

// Hexadecimal numbers and values beyond the double range: the C library in
// the "C" locale decides (overflow gives infinity, underflow 0 or a
// subnormal, as atof does).
const char* readWithStrtod(const char* p, const char* end, double& value, const char* failPos)
{
    const char* q = p;
    while (q < end && isNumberChar(*q))
        ++q;
    const std::string text(p, q);
    char* stop = nullptr;
    value = strtod_l(text.c_str(), &stop, cLocale());
    if (stop == text.c_str()) {
        value = 0.0;
        return failPos;
    }
    return p + (stop - text.c_str());
}

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Plain decimals ("-12.5", "3e-4") whose significand fits in 53 bits and
// whose power of ten is exact: the product or quotient of two exact doubles
// is correctly rounded, so the result equals the full conversion's.
// Returns nullptr when the text needs the full conversion.
const char* readSimpleDecimal(const char* p, const char* end, double& value)
{
    static const double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* q = p;
    bool negative = false;
    if (q < end && *q == '-') {
        negative = true;
        ++q;
    }
    std::uint64_t m = 0;
    int digits = 0; // significant digits taken into m
    int exponent = 0;
    bool any = false;
    for (; q < end && isDigit(*q); ++q) {
        any = true;
        if (m == 0 && *q == '0')
            continue;
        if (++digits > 19)
            return nullptr;
        m = m * 10 + std::uint64_t(*q - '0');
    }
    if (q < end && *q == '.') {
        ++q;
        for (; q < end && isDigit(*q); ++q) {
            any = true;
            --exponent;
            if (m == 0 && *q == '0')
                continue;
            if (++digits > 19)
                return nullptr;
            m = m * 10 + std::uint64_t(*q - '0');
        }
    }
    if (!any)
        return nullptr;
    if (q < end && (*q == 'e' || *q == 'E')) {
        const char* r = q + 1;
        bool negExp = false;
        if (r < end && (*r == '+' || *r == '-')) {
            negExp = *r == '-';
            ++r;
        }
        if (r < end && isDigit(*r)) {
            int e = 0;
            for (; r < end && isDigit(*r); ++r) {
                if (e > 10000)
                    return nullptr;
                e = e * 10 + (*r - '0');
            }
            exponent += negExp ? -e : e;
            q = r;
        }
    }
    if (m > (std::uint64_t(1) << 53) || exponent < -22 || exponent > 22)
        return m == 0 ? (value = negative ? -0.0 : 0.0, q) : nullptr;
    double v = double(m);
    v = exponent < 0 ? v / powers[-exponent] : v * powers[exponent];
    value = negative ? -v : v;
    return q;
}

} // namespace

const char* readLeadingDouble(const char* p, const char* end, double& value)
{
    if (p < end && (isDigit(*p) || *p == '-' || *p == '.')) {
        const char* d = *p == '-' ? p + 1 : p;
        const bool hex = end - d >= 2 && d[0] == '0' && (d[1] == 'x' || d[1] == 'X');
        if (!hex) {
            if (const char* stop = readSimpleDecimal(p, end, value))
                return stop;
        }
    }
    const char* const start = p;
    value = 0.0;
    while (p < end && isCSpace(*p))
        ++p;
    const char* q = p;
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
        if (q < end && (*q == '+' || *q == '-'))
            return start;
    }
    if (end - q >= 2 && q[0] == '0' && (q[1] == 'x' || q[1] == 'X'))
        return readWithStrtod(p, end, value, start);
    const auto r = std::from_chars(q, end, value, std::chars_format::general);
    if (r.ec == std::errc()) {
        if (negative)
            value = -value;
        return r.ptr;
    }
    if (r.ec == std::errc::result_out_of_range)
        return readWithStrtod(p, end, value, start);
    value = 0.0;
    return start;
}

} // namespace kro::import
