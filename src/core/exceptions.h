#pragma once
// The program's own exception types. kroexception, SCUtilities::scexception
// and std::runtime_error are distinct: catch sites select by type.
#include <QString>

#include <cstdio>
#include <exception>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace kro {
// Where users report internal-consistency failures.
inline constexpr const char* kSupportAddress = "the KRO issue tracker";
// "Please report this error to the KRO issue tracker."
std::string reportRequest();

// printf-style formatting into a buffer that starts at 256 bytes and doubles
// until the whole text fits.
template <typename... Args>
std::string formatPrintf(const char* format, Args... args)
{
    static_assert(((std::is_arithmetic_v<Args> || std::is_pointer_v<Args> || std::is_enum_v<Args>) && ...),
                  "printf arguments must be numbers or C strings (use .c_str() / qPrintable)");
    if (format == nullptr)
        return std::string();
    std::vector<char> buffer(256, '\0');
    for (;;) {
        const int n = std::snprintf(buffer.data(), buffer.size(), format, args...);
        if (n < 0)
            return std::string("Zavozi exception: the message could not be formatted.");
        if (static_cast<size_t>(n) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(n));
        buffer.assign(buffer.size() * 2, '\0');
    }
}
} // namespace kro

class kroexception : public std::exception {
public:
    kroexception() : m_message("Zavozi exception: Undefined cause.") {}
    // A finished text (no arguments) is taken unchanged: a '%' inside a file
    // name or device name is never read as a directive.
    explicit kroexception(const char* text) : m_message(text ? text : "") {}
    explicit kroexception(std::string text) : m_message(std::move(text)) {}
    explicit kroexception(const QString& text) : m_message(text.toStdString()) {}
    // A format with arguments, formatted by the printf conventions.
    template <typename A0, typename... Args>
    kroexception(const char* format, A0 a0, Args... args)
        : m_message(kro::formatPrintf(format, a0, args...)) {}

    ~kroexception() override = default;
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

namespace SCUtilities {
class scexception : public std::exception {
public:
    explicit scexception(const char* text) : m_message(text ? text : "") {}
    explicit scexception(std::string text) : m_message(std::move(text)) {}
    explicit scexception(const QString& text) : m_message(text.toStdString()) {}
    ~scexception() override = default;
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};
} // namespace SCUtilities

// A std::exception carrying a text, thrown for malformed markup and device
// configuration failures.
class textexception : public std::exception {
public:
    explicit textexception(std::string text) : m_message(std::move(text)) {}
    explicit textexception(const QString& text) : m_message(text.toStdString()) {}
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};
