#include "core/curvefqn.h"

#include "core/exceptions.h"
#include "core/stringutils.h"

#include <boost/regex.hpp>

#include <cctype>
#include <charconv>
#include <climits>

namespace {

std::vector<std::string> fieldsOf(const std::string& token) { return SCUtilities::splitQuotedRegex(token, ":"); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string fieldErrorText(const std::string& text, int kind)
{
    std::string m = "Error in command: ";
    m += kind == 2 ? "Syntax " : kind == 1 ? "Destination field " : "Source field ";
    if (text.empty())
        m += "does not appear to be valid.\n";
    else
        m += "{" + text + "} is invalid.\n";
    if (hasBlankAroundColon(text) || (!text.empty() && (text.front() == ':' || text.back() == ':')))
        m += "Please ensure that the field separator ':' has no surrounding spaces.\n";
    return m;
}

} // namespace

bool hasBlankAroundColon(const std::string& text)
{
    return text.find(" :") != std::string::npos || text.find(": ") != std::string::npos;
}

bool isQuadrantField(const std::string& field)
{
    if (field.empty() || (field[0] != 'q' && field[0] != 'Q'))
        return false;
    for (std::size_t i = 1; i < field.size(); ++i)
        if (!isDigit(field[i]))
            return false;
    return true;
}

CurveCommandArgs::CurveCommandArgs(const std::string& currentTab_, const std::string& command_)
    : command(command_), currentTab(currentTab_)
{
    try {
        tokenize();
    } catch (const std::runtime_error&) {
        // The regular-expression library gave up on the text.
        throwFieldError(command, SYNTAX);
    }
    if (tokens.empty())
        return;

    m_token = tokens.back();
    const std::vector<std::string> fields = fieldsOf(m_token);
    if (fields.empty() || fields.size() > 2)
        throwFieldError(m_token, DESTINATION);
    if (fields.size() == 2)
        destination.quadrant = fieldNumber(fields[1], 'q', DESTINATION);
    destination.tab = fields[0];

    m_cursor = tokens.size() - 1;
    parseSources();
}

int CurveCommandArgs::tokenize()
{
    static const boost::regex pattern(R"((".*?"\S*)(?:\s?)|(\S*?)(?:\s|$))");
    tokens.clear();
    for (boost::sregex_iterator it(command.begin(), command.end(), pattern), end; it != end; ++it) {
        const boost::smatch& m = *it;
        if (m[1].matched && m[1].length() > 0)
            tokens.push_back(m[1].str());
        else if (m[2].matched && m[2].length() > 0)
            tokens.push_back(m[2].str());
    }
    return static_cast<int>(tokens.size());
}

void CurveCommandArgs::parseSources()
{
    for (; m_cursor > 0; --m_cursor) {
        m_token = tokens[m_cursor - 1];
        const std::vector<std::string> fields = fieldsOf(m_token);
        // A source has one to three fields; four or more are refused as the
        // destination refuses more than two.
        if (fields.empty() || fields.size() > 3)
            throwFieldError(m_token, SOURCE);
        CurveSourceFQN source;
        source.curve = fieldNumber(fields.back(), 'c', SOURCE);
        if (fields.size() == 1) {
            source.tab = currentTab;
        } else if (fields.size() == 2) {
            if (isQuadrantField(fields[0]))
                source.quadrant = fieldNumber(fields[0], 'q', SOURCE);
            else
                source.tab = fields[0];
        } else {
            if (!isQuadrantField(fields[1]))
                throwFieldError(m_token, SOURCE);
            source.quadrant = fieldNumber(fields[1], 'q', SOURCE);
            source.tab = fields[0];
        }
        sources.push_back(std::move(source));
    }
}

int CurveCommandArgs::fieldNumber(const std::string& field, char letter, int kind)
{
    const char first = field.empty() ? '\0' : field[0];
    if (std::tolower(static_cast<unsigned char>(first)) != letter) {
        std::string m = fieldErrorText(m_token, kind);
        if (!hasBlankAroundColon(command)) {
            m += "Expected a ";
            m += letter == 'c' ? "curve identifier 'C' " : "quadrant identifier 'Q' ";
            m += "but received '";
            m += first;
            m += "'\n";
            const char other = letter == 'c' ? 'q' : 'c';
            if (std::tolower(static_cast<unsigned char>(first)) == other)
                m += "Perhaps you have your fields backwards?\n";
        }
        throw kroexception(m);
    }
    std::size_t start = field.size();
    while (start > 0 && isDigit(field[start - 1]))
        --start;
    if (start == field.size())
        return -1;
    // Characters between the letter and the final digits are passed over.
    unsigned long long value = 0;
    const auto r = std::from_chars(field.data() + start, field.data() + field.size(), value);
    if (r.ec != std::errc() || value > static_cast<unsigned long long>(INT_MAX))
        throwFieldError(m_token, kind);
    return static_cast<int>(value);
}

void CurveCommandArgs::throwFieldError(const std::string& text, int kind) { throw kroexception(fieldErrorText(text, kind)); }
