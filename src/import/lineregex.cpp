#include "import/lineregex.h"

#include <algorithm>

namespace kro::import {

QString blanksAsWhitespace(QString pattern)
{
    pattern.replace(QLatin1Char(' '), QLatin1String("\\s"));
    return pattern;
}

bool LineRegex::compile(const std::string& pattern, std::string* error)
{
    try {
        m_regex.assign(pattern);
        m_valid = true;
    } catch (const std::exception& e) {
        m_valid = false;
        if (error)
            *error = e.what();
    }
    return m_valid;
}

bool LineRegex::matchesLine(const char* begin, const char* end)
{
    while (end > begin && (end[-1] == '\n' || end[-1] == '\r'))
        --end;
    if (std::find(begin, end, '\r') != end || std::find(begin, end, '\n') != end) {
        m_scratch.assign(begin, end);
        m_scratch.erase(std::remove_if(m_scratch.begin(), m_scratch.end(),
                                       [](char c) { return c == '\r' || c == '\n'; }),
                        m_scratch.end());
        return boost::regex_match(m_scratch, m_regex);
    }
    return boost::regex_match(begin, end, m_regex);
}

std::vector<TextMatch> searchText(const boost::regex& regex, const std::string& text, const std::atomic<bool>* cancel)
{
    std::vector<TextMatch> found;
    const auto first = text.begin();
    auto from = first;
    boost::smatch m;
    while (from != text.end() || from == first) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            break;
        auto flags = boost::match_not_dot_newline;
        if (from != first)
            flags |= boost::match_prev_avail;
        if (!boost::regex_search(from, text.end(), m, regex, flags))
            break;
        const auto begin = m[0].first;
        const auto end = m[0].second;
        if (end != begin) {
            found.push_back({std::size_t(begin - first), std::size_t(end - begin)});
            from = end;
        } else {
            if (begin == text.end())
                break;
            from = begin + 1;
        }
    }
    return found;
}

RegexSearchOutcome runRegexSearch(const boost::regex& search, LineRegex line, const std::string& text,
                                  const std::atomic<bool>* cancel)
{
    RegexSearchOutcome outcome;
    try {
        outcome.matches = searchText(search, text, cancel);
    } catch (const std::exception& e) {
        outcome.matches.clear();
        outcome.error = e.what();
        return outcome;
    }
    long long read = 0;
    bool known = line.isValid();
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ++outcome.lines;
        if (known && cancel && cancel->load(std::memory_order_relaxed))
            known = false;
        if (known) {
            try {
                if (line.matchesLine(text.data() + start, text.data() + end))
                    ++read;
            } catch (const std::exception&) {
                known = false;
            }
        }
        start = end + 1;
    }
    outcome.linesRead = known ? read : -1;
    return outcome;
}

namespace {

inline bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

} // namespace

std::vector<TextMatch> highlightRanges(const std::string& text, const std::vector<TextMatch>& matches)
{
    std::vector<TextMatch> ranges;
    ranges.reserve(matches.size());
    std::size_t done = 0;
    for (const TextMatch& m : matches) {
        std::size_t begin = std::max(m.offset, done);
        std::size_t end = std::min(m.offset + m.length, text.size());
        while (begin > done && begin < text.size() && isContinuation(static_cast<unsigned char>(text[begin])))
            --begin;
        while (end < text.size() && isContinuation(static_cast<unsigned char>(text[end])))
            ++end;
        if (end <= begin)
            continue;
        ranges.push_back({begin, end - begin});
        done = end;
    }
    return ranges;
}

} // namespace kro::import
