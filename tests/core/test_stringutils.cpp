// Token splitting, trimming, lowering and hexadecimal digits.
#include "core/stringutils.h"

#include "core/exceptions.h"

#include <gtest/gtest.h>

#include <thread>

using namespace SCUtilities;
using Tokens = std::vector<std::string>;

TEST(SplitQuoted, Cases)
{
    const struct {
        std::string line;
        Tokens tokens;
    } cases[] = {
        {R"(kro -f "my data.txt" -x 1)", {"kro", "-f", "my data.txt", "-x", "1"}},
        {"a  b", {"a", "b"}},
        {"", {}},
        {"   ", {}},
        {" \ta\t\tb \r\n", {"a", "b"}},
        {R"("a b"c)", {"a b", "c"}},
        {R"(x"a b")", {"x\"a", "b\""}},
        {R"("abc)", {"\"abc"}},
        {R"("a b)", {"\"a", "b"}},
        {R"("")", {"\"\""}},
        {R"("say \"hi\"")", {"say \"hi\""}},
        {R"(a\"b)", {"a\"b"}},
        {R"("C:\dir\" x)", {"\"C:\\dir\"", "x"}},
        {R"(a\\"b)", {"a\\\"b"}},
        {"caf\xc3\xa9 na\xc3\xafve", {"caf\xc3\xa9", "na\xc3\xafve"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitQuoted(c.line), c.tokens) << "line: " << c.line;
}

TEST(SplitQuotedRegex, Cases)
{
    const struct {
        std::string line;
        std::string separator;
        Tokens tokens;
    } cases[] = {
        {"1,2;3", "[,;]", {"1", "2", "3"}},
        {"a,,b,", "[,;]", {"a", "b"}},
        {R"("a,b",c)", "[,;]", {"a,b", "c"}},
        {"1.5, 2.5 ,3.5", "[,;]", {"1.5", "2.5", "3.5"}},
        {",,,", "[,;]", {}},
        {"Tab1:Q2:C3", ":", {"Tab1", "Q2", "C3"}},
        {R"("x:y":C1)", ":", {"x:y", "C1"}},
        {"a1b22c", "[0-9]+", {"a", "b", "c"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(splitQuotedRegex(c.line, c.separator), c.tokens) << c.line << " / " << c.separator;
        EXPECT_EQ(splitQuotedRegex(c.line, compileRegex(c.separator)), c.tokens) << c.line << " / " << c.separator;
    }
}

TEST(SplitQuotedRegex, BadSeparatorRaisesScexception)
{
    EXPECT_THROW(splitQuotedRegex("a,b", "[,"), scexception);
    EXPECT_THROW(compileRegex("(a"), scexception);
    // A good pattern after a bad one on the same thread still works.
    EXPECT_EQ(splitQuotedRegex("a,b", ","), (Tokens{"a", "b"}));
    EXPECT_THROW(splitQuotedRegex("a,b", "[,"), scexception);
}

TEST(SplitQuotedRegex, ThreadsWithDifferentSeparatorsDoNotInterfere)
{
    Tokens a, b;
    std::thread t1([&] {
        for (int i = 0; i < 2000; ++i)
            a = splitQuotedRegex("1,2;3:4", "[,;]");
    });
    std::thread t2([&] {
        for (int i = 0; i < 2000; ++i)
            b = splitQuotedRegex("1,2;3:4", ":");
    });
    t1.join();
    t2.join();
    EXPECT_EQ(a, (Tokens{"1", "2", "3:4"}));
    EXPECT_EQ(b, (Tokens{"1,2;3", "4"}));
}

TEST(SplitRegex, KeepsInnerAndLeadingEmptyFields)
{
    const boost::regex comma(",");
    EXPECT_EQ(splitRegex(",a", comma), (Tokens{"", "a"}));
    EXPECT_EQ(splitRegex("a,,b,", comma), (Tokens{"a", "", "b"}));
    EXPECT_EQ(splitRegex("", comma), Tokens{});
    EXPECT_EQ(splitRegex("abc", comma), Tokens{"abc"});
}

TEST(StringEdits, RemoveTrimLower)
{
    std::string line = "1,2\r\n";
    removeChar(line, '\r');
    EXPECT_EQ(removeChar(line, '\n'), "1,2");
    std::string none = "abc";
    EXPECT_EQ(removeChar(none, 'x'), "abc");

    std::string padded = "\r\n\t a  b ";
    EXPECT_EQ(trimWhitespace(padded), "a  b");
    std::string blank = " \t\r\n";
    EXPECT_EQ(trimWhitespace(blank), "");
    std::string empty;
    EXPECT_EQ(trimWhitespace(empty), "");

    EXPECT_EQ(toLower("ABC xyz 1_Z"), "abc xyz 1_z");
    const std::string high = "\xc3\x89\xe9\xff";
    EXPECT_EQ(toLower(high), high);
}

TEST(HexDigitValue, DigitsAndErrors)
{
    const std::string digits = "0123456789abcdefABCDEF";
    const int values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
    for (std::size_t i = 0; i < digits.size(); ++i)
        EXPECT_EQ(hexDigitValue(digits[i]), values[i]) << digits[i];

    const struct {
        char c;
        const char* message;
    } bad[] = {
        {'G', "BitOps exception! Cannot convert invalid hex value 71 to uint32."},
        {'x', "BitOps exception! Cannot convert invalid hex value 120 to uint32."},
        {'g', "BitOps exception! Cannot convert invalid hex value 103 to uint32."},
        {'\xe9', "BitOps exception! Cannot convert invalid hex value -23 to uint32."},
        {' ', "BitOps exception! Cannot convert invalid hex value 32 to uint32."},
    };
    for (const auto& b : bad) {
        try {
            hexDigitValue(b.c);
            ADD_FAILURE() << "no error for " << int(b.c);
        } catch (const scexception& e) {
            EXPECT_STREQ(e.what(), b.message);
        }
    }
}

TEST(SplitQuotedRegex, SeparatorFlagsAreHonoured)
{
    // A case-insensitive or otherwise flagged separator is matched as an expression.
    EXPECT_EQ(splitQuotedRegex("1x2X3", boost::regex("[x]", boost::regex::icase)), (Tokens{"1", "2", "3"}));
    EXPECT_EQ(splitQuotedRegex("1x2X3", boost::regex("[x]")), (Tokens{"1", "2X3"}));
    EXPECT_EQ(splitQuotedRegex("a.b", "."), Tokens{}) << "'.' matches every byte";
    EXPECT_EQ(splitQuotedRegex("a-b,c", "[-,]"), (Tokens{"a", "b", "c"}));
    EXPECT_EQ(splitQuotedRegex("a^b,c", "[^,]"), Tokens{","}) << "a negated bracket splits at every other byte";
    EXPECT_EQ(splitQuotedRegex(R"(a\"b,c)", ","), (Tokens{"a\"b", "c"}));
}
