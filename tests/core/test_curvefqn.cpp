#include "core/curvefqn.h"
#include "core/exceptions.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string errorOf(const std::string& text)
{
    try {
        CurveCommandArgs args("Current", text);
    } catch (const kroexception& e) {
        return e.what();
    }
    return "(no error)";
}
} // namespace

TEST(CurveCommandArgs, ParsesDestinationAndSources)
{
    const CurveCommandArgs empty("Current", "");
    EXPECT_TRUE(empty.sources.empty());
    EXPECT_EQ(empty.destination.tab, "");
    EXPECT_EQ(empty.destination.quadrant, 0);

    const CurveCommandArgs alone("Current", "Archive");
    EXPECT_EQ(alone.destination.tab, "Archive");
    EXPECT_EQ(alone.destination.quadrant, 0);
    EXPECT_TRUE(alone.sources.empty());

    const CurveCommandArgs a("Current", "C1 C2 Archive:Q3");
    EXPECT_EQ(a.destination.tab, "Archive");
    EXPECT_EQ(a.destination.quadrant, 3);
    ASSERT_EQ(a.sources.size(), 2u);
    EXPECT_EQ(a.sources[0].curve, 2); // the source written last comes first
    EXPECT_EQ(a.sources[1].curve, 1);
    for (const CurveSourceFQN& s : a.sources) {
        EXPECT_EQ(s.tab, "Current");
        EXPECT_EQ(s.quadrant, 0);
    }

    // The destination alone is always a tab, whatever it looks like.
    EXPECT_EQ(CurveCommandArgs("Current", "C1 Q2").destination.tab, "Q2");
}

TEST(CurveCommandArgs, SourceForms)
{
    struct Case {
        const char* token;
        const char* tab;
        int quadrant;
        int curve;
    } cases[] = {
        {"C5", "Current", 0, 5},      {"c12", "Current", 0, 12},     {"Q2:C5", "", 2, 5},
        {"Thermal:C5", "Thermal", 0, 5}, {"Thermal:Q:C5", "Thermal", -1, 5}, {"Thermal:q4:c1", "Thermal", 4, 1},
        {"C", "Current", 0, -1},      {"Cx5", "Current", 0, 5},      {"\"My tab\":Q1:C2", "My tab", 1, 2},
    };
    for (const Case& c : cases) {
        const CurveCommandArgs a("Current", std::string(c.token) + " Dest");
        ASSERT_EQ(a.sources.size(), 1u) << c.token;
        EXPECT_EQ(a.sources[0].tab, c.tab) << c.token;
        EXPECT_EQ(a.sources[0].quadrant, c.quadrant) << c.token;
        EXPECT_EQ(a.sources[0].curve, c.curve) << c.token;
    }
    const CurveCommandArgs quoted("Current", "C1 \"Long tab name\":Q2");
    EXPECT_EQ(quoted.destination.tab, "Long tab name");
    EXPECT_EQ(quoted.destination.quadrant, 2);
    EXPECT_EQ(quoted.tokens.back(), "\"Long tab name\":Q2");
}

TEST(CurveCommandArgs, ErrorMessages)
{
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"C1 Archive:C2",
         "Error in command: Destination field {Archive:C2} is invalid.\nExpected a quadrant identifier 'Q' but "
         "received 'C'\nPerhaps you have your fields backwards?\n"},
        {"Thermal:X1:C5 Dest", "Error in command: Source field {Thermal:X1:C5} is invalid.\n"},
        {"C1 A:Q1:Q2", "Error in command: Destination field {A:Q1:Q2} is invalid.\n"},
        {"Q1 Archive",
         "Error in command: Source field {Q1} is invalid.\nExpected a curve identifier 'C' but received "
         "'Q'\nPerhaps you have your fields backwards?\n"},
        {"C1 tab: Q2",
         "Error in command: Source field {tab:} is invalid.\nPlease ensure that the field separator ':' has no "
         "surrounding spaces.\n"},
        {"T1:C1 X:y", "Error in command: Destination field {X:y} is invalid.\nExpected a quadrant identifier 'Q' "
                      "but received 'y'\n"},
        // Four fields are refused like a three-field destination.
        {"a:b:Q1:C2 Dest", "Error in command: Source field {a:b:Q1:C2} is invalid.\n"},
        // Numbers beyond an int are a field error, never a wrapped number.
        {"C4294967297 Dest", "Error in command: Source field {C4294967297} is invalid.\n"},
        {"C99999999999999999999999 Dest", "Error in command: Source field {C99999999999999999999999} is invalid.\n"},
        {"C1 Archive:Q2147483648", "Error in command: Destination field {Archive:Q2147483648} is invalid.\n"},
        {"C1 ::", "Error in command: Destination field {::} is invalid.\nPlease ensure that the field separator "
                  "':' has no surrounding spaces.\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorOf(c.text), c.message) << c.text;
    EXPECT_EQ(CurveCommandArgs("T", "C2147483647 D").sources[0].curve, 2147483647);
}

TEST(CurveCommandArgs, FieldHelpers)
{
    EXPECT_TRUE(hasBlankAroundColon("a :b"));
    EXPECT_TRUE(hasBlankAroundColon("a: b"));
    EXPECT_FALSE(hasBlankAroundColon("a:b"));
    for (const char* f : {"q", "Q", "Q12", "q0"})
        EXPECT_TRUE(isQuadrantField(f)) << f;
    for (const char* f : {"", "X1", "Q1a", "QQ", "C1"})
        EXPECT_FALSE(isQuadrantField(f)) << f;
}
