#include "tabs/liveprotocol.h"

#include "import/numparse.h"

#include <array>
#include <utility>

namespace kro::live {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view skipBlanks(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return s.substr(i);
}

} // namespace

void splitRows(std::string_view text, RowCarry& carry, Rows& out)
{
    out.rows.clear();
    out.head.clear();
    out.tooLong.clear();
    std::size_t start = 0;
    if (carry.dropping || !carry.partial.empty()) {
        // The carried row goes on with this text.
        const std::size_t feed = text.find('\n');
        const std::size_t piece = feed == std::string_view::npos ? text.size() : feed;
        if (!carry.dropping && carry.partial.size() + piece > carry.maxRow) {
            out.tooLong.push_back(carry.lines + 1);
            carry.dropping = true;
            std::string().swap(carry.partial); // its memory goes too
        }
        if (feed == std::string_view::npos) {
            if (!carry.dropping)
                carry.partial.append(text);
            return;
        }
        if (!carry.dropping) {
            out.head = std::move(carry.partial);
            out.head.append(text.substr(0, feed));
            if (!out.head.empty())
                out.rows.push_back(out.head);
        }
        carry.partial.clear();
        carry.dropping = false;
        ++carry.lines;
        start = feed + 1;
    }
    while (start < text.size()) {
        const std::size_t feed = text.find('\n', start);
        const std::size_t end = feed == std::string_view::npos ? text.size() : feed;
        const std::size_t length = end - start;
        if (length > carry.maxRow) {
            out.tooLong.push_back(carry.lines + 1);
            carry.dropping = feed == std::string_view::npos;
        } else if (feed == std::string_view::npos) {
            carry.partial.assign(text.substr(start));
        } else if (length > 0) {
            out.rows.push_back(text.substr(start, length));
        }
        if (feed == std::string_view::npos)
            break;
        ++carry.lines;
        start = feed + 1;
    }
}

ParsedCommand parseLinkCommand(std::string_view row)
{
    static constexpr std::string_view prefix = "cmd:";
    if (row.substr(0, prefix.size()) != prefix)
        return {};
    const std::string_view rest = skipBlanks(row.substr(prefix.size()));
    static constexpr std::array<std::pair<std::string_view, LinkCommand>, 12> words{{
        {"addin: done", LinkCommand::AddinDone},
        {"arguments: ", LinkCommand::Arguments},
        {"clear", LinkCommand::Clear},
        {"exit", LinkCommand::Exit},
        {"title: ", LinkCommand::Title},
        {"title?", LinkCommand::TitleQuery},
        {"xlbl: ", LinkCommand::XLabel},
        {"ylbl: ", LinkCommand::YLabel},
        {"domain: ", LinkCommand::Domain},
        {"range: ", LinkCommand::Range},
        {"size?", LinkCommand::SizeQuery},
        {"message: ", LinkCommand::Message},
    }};
    for (const auto& [word, command] : words)
        if (rest.substr(0, word.size()) == word)
            return {command, skipBlanks(rest.substr(word.size()))};
    return {};
}

bool readNumberPair(std::string_view argument, double& first, double& second)
{
    const std::string_view a = skipBlanks(argument);
    std::size_t end = 0;
    while (end < a.size() && !isBlank(a[end]))
        ++end;
    const std::string_view b = skipBlanks(a.substr(end));
    if (a.empty() || b.empty())
        return false;
    first = import::leadingDouble(a.data(), a.data() + a.size());
    second = import::leadingDouble(b.data(), b.data() + b.size());
    return true;
}

} // namespace kro::live
