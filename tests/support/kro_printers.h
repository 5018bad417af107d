#pragma once
// gtest printers for the program's value types, so failures show contents.
#include "core/idarray.h"

#include <ostream>

inline void PrintTo(const IdArray& a, std::ostream* os)
{
    *os << "{";
    for (std::size_t i = 0; i < a.size(); ++i)
        *os << (i ? ", " : "") << a[i];
    *os << "}";
}
