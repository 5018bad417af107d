#pragma once
// Text of data files: UTF-8, or Latin-1 when the bytes are not valid UTF-8.
#include <QString>

#include <string>
#include <string_view>

namespace kro::import {

QString textFromBytes(std::string_view bytes);
inline QString textFromBytes(const std::string& bytes) { return textFromBytes(std::string_view(bytes)); }

} // namespace kro::import
