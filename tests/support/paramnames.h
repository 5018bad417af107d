#pragma once
// Names for parameterised test cases: the case's own text with every
// character GoogleTest does not accept in a name turned into "_".
#include <cctype>
#include <string>

namespace kro::test {

inline std::string caseName(std::string name)
{
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
}

} // namespace kro::test
