#pragma once
// Curve references of the "copy" and "move" commands: the argument text
// "C1 Thermal:Q2:C4 Q3:C2 Archive:Q1" is zero or more sources (a curve,
// optionally qualified by tab and quadrant) and one destination (a tab,
// optionally qualified by a quadrant). A tab label with blanks is written in
// double quotes, directly followed by the colon and the other fields.
#include <string>
#include <vector>

// A place in the plot tabs.
class CurveFQN {
public:
    virtual ~CurveFQN() = default;
    std::string tab; // empty when the reference names none
    // 1-4 in the order the tab's plots were created; 0 when not given (the
    // tab's active plot); -1 for a bare "Q".
    int quadrant = 0;
};

// The target: tab or tab:Qn.
class CurveDestinationFQN : public CurveFQN {};

// One curve: Cn, Qn:Cn, tab:Cn or tab:Qn:Cn.
class CurveSourceFQN : public CurveFQN {
public:
    int curve = 0; // the number as typed (C1 is 1); -1 for a bare "C"
};

class CurveCommandArgs {
public:
    // Parses at once; every malformed field raises kroexception with a text
    // that names the field and why it is wrong.
    CurveCommandArgs(const std::string& currentTab, const std::string& command);

    std::string command;
    std::string currentTab;
    std::vector<std::string> tokens;
    CurveDestinationFQN destination;
    // In reverse text order: the source written last comes first.
    std::vector<CurveSourceFQN> sources;

    // Splits command into tokens (quoted tokens keep their quotes); returns
    // the number of tokens.
    int tokenize();

private:
    enum Kind { SOURCE = 0, DESTINATION = 1, SYNTAX = 2 };
    void parseSources();
    // The number at the end of a field whose first letter must be letter;
    // -1 when the field ends in no digit.
    int fieldNumber(const std::string& field, char letter, int kind);
    [[noreturn]] void throwFieldError(const std::string& text, int kind);

    std::size_t m_cursor = 0;
    std::string m_token; // the token being parsed
};

// True when text holds " :" or ": ".
bool hasBlankAroundColon(const std::string& text);
// True for "q" or "Q" followed by nothing but digits (possibly none).
bool isQuadrantField(const std::string& field);
