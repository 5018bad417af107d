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
    if (text.empty())
        return;
    const bool unfinished = carry.lastChar != 0 && carry.lastChar != '\n';
    const bool endsWithFeed = text.back() == '\n';
    carry.lastChar = text.back();

    if (unfinished && text.front() != '\n') {
        const std::size_t feed = text.find('\n');
        if (feed == std::string_view::npos) {
            // Still no end of the row: it grows in place.
            carry.partial.append(text);
            return;
        }
        out.head = std::move(carry.partial);
        out.head.append(text.substr(0, feed));
        carry.partial.clear();
        text.remove_prefix(feed + 1);
        out.rows.push_back(out.head);
    } else if (unfinished) {
        out.head = std::move(carry.partial);
        carry.partial.clear();
        if (!out.head.empty())
            out.rows.push_back(out.head);
    }

    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t feed = text.find('\n', start);
        if (feed == std::string_view::npos)
            feed = text.size();
        if (feed > start)
            out.rows.push_back(text.substr(start, feed - start));
        start = feed + 1;
    }
    if (!out.rows.empty())
        carry.partial.assign(out.rows.back());
    else
        carry.partial.clear();
    if (!endsWithFeed && !out.rows.empty())
        out.rows.pop_back();
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
