#include "core/exceptions.h"

namespace kro {
std::string reportRequest()
{
    return std::string("Please report this error to ") + kSupportAddress + ".";
}
} // namespace kro
