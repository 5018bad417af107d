#pragma once
// Locale-independent number reading for data lines. readLeadingDouble has the
// prefix semantics of the C library's atof in the "C" locale: leading white
// space is skipped, reading stops at the first character that cannot continue
// a number, and a text without a number reads 0. It never consults the
// process or thread locale, so a decimal-comma user locale cannot turn "1.5"
// into 1.
namespace kro::import {

// Reads the number at the start of [p, end). Returns the position after the
// characters used (p itself when no number was found; value is then 0).
const char* readLeadingDouble(const char* p, const char* end, double& value);

inline double leadingDouble(const char* p, const char* end)
{
    double v = 0.0;
    readLeadingDouble(p, end, v);
    return v;
}

} // namespace kro::import
