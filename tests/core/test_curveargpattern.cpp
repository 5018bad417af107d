#include "core/curveargpattern.h"
#include "core/exceptions.h"

#include "support/kro_printers.h"

#include <gtest/gtest.h>

namespace {

CurveArgPattern cropGrammar()
{
    CurveArgPattern p(true);
    p.addReals(false, 2);
    p.addReals(true, 2);
    p.addCurveIds();
    p.addWord("all", true);
    return p;
}

CurveArgPattern phaseGrammar()
{
    CurveArgPattern p(true);
    p.addReal();
    p.addPiMultiple();
    p.addCurveIds();
    p.addWord("all", true);
    return p;
}

CurveArgPattern functionGrammar()
{
    CurveArgPattern p(false);
    p.addFunction(false);
    return p;
}

} // namespace

TEST(CurveArgPattern, MatchesWholeLinePartByPart)
{
    struct Case {
        const char* line;
        CurveArgPattern (*grammar)();
        bool match;
    } cases[] = {
        {"crop 10 20 C1 C3", cropGrammar, true},
        {"crop   1  2", cropGrammar, true},
        {"  crop 1,2 ", cropGrammar, true},
        {"crop 1 2 3.5 -4e3 all", cropGrammar, true},
        {"crop 1 2 junk", cropGrammar, false},
        {"crop 1", cropGrammar, false},
        {"crop 1 2 C1C2", cropGrammar, false},
        {"CROP 1 2 c1", cropGrammar, true},
        {"phase 2pi C1", phaseGrammar, true},
        {"phase 2*pi", phaseGrammar, true},
        {"phase -pi all", phaseGrammar, true},
        {"phase .5PI C2", phaseGrammar, true},
        {"phase 3 C2", phaseGrammar, true},
        {"phase 3 x", phaseGrammar, false},
        {"max(y C1 C2)", functionGrammar, true},
        {"max(x c1,c2)", functionGrammar, true},
        {"sum(y Cj)", functionGrammar, true},
        {"mean()", functionGrammar, true},
        {"max( ,C1)", functionGrammar, false},
        {"max(y all)", functionGrammar, false},
        {"max(y C1)+min(y C2)", functionGrammar, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.grammar().matches(c.line), c.match) << c.line;
}

TEST(CurveArgPattern, EmptyGrammarOrTextMatches)
{
    EXPECT_TRUE(CurveArgPattern(false).matches("anything at all"));
    EXPECT_TRUE(cropGrammar().matches(""));
    EXPECT_TRUE(cropGrammar().matches(QString()));
}

TEST(CurveArgPattern, ElementsAnchorAtStartOfRemainingText)
{
    // An alternation in a caller's element must still match only at the start.
    CurveArgPattern p(true);
    p.addPattern("a|b");
    EXPECT_TRUE(p.matches("cmd b"));
    EXPECT_FALSE(p.matches("cmd xb"));
    EXPECT_EQ(p.patternTexts().last(), "(^a|b)");
}

TEST(CurveArgPattern, ArgumentLimitCountsNonEmptyPartsAfterTheFirst)
{
    CurveArgPattern p(true);
    p.addWord("stacked", true);
    p.addWord("quad", true);
    p.setMaxArguments(1);
    EXPECT_TRUE(p.matches("layout quad"));
    EXPECT_TRUE(p.matches("layout stacked"));
    EXPECT_FALSE(p.matches("layout stacked quad"));
    p.setMaxArguments(-1);
    EXPECT_TRUE(p.matches("layout stacked quad"));
}

TEST(CurveArgPattern, Arguments)
{
    CurveArgPattern p(true);
    p.addReal();
    p.addCurveIds();
    const QString absent = p.argument("barfloor", 0);
    EXPECT_TRUE(absent.isNull());

    EXPECT_EQ(p.argument("barfloor   3.5 C1", 0), "3.5");
    EXPECT_EQ(p.argument("barfloor 3.5 C1 C2", 1), "C1 C2");
    EXPECT_EQ(p.argument("barfloor 3.5", -1), "barfloor");

    // A line an element refuses yields an empty, not null, text.
    const QString refused = CurveArgPattern(true).argument("+++", 0);
    EXPECT_TRUE(refused.isEmpty());
    EXPECT_FALSE(refused.isNull());
    EXPECT_FALSE(p.argument("", 0).isNull());
    EXPECT_FALSE(p.argument("barfloor 1", 5).isNull());
}

TEST(IdList, ParsesIdsWordsAndOutcome)
{
    struct Case {
        const char* line;
        int options;
        IdArray ids;
        int kind;
    } cases[] = {
        {"csum C1 C2", ID_ALL | ID_EMPTY_IS_ALL, {2, 0, 1}, IDS_LIST},
        {"csum C1,C2", ID_ALL | ID_EMPTY_IS_ALL, {2, 0, 1}, IDS_LIST},
        {"csum C1, C2", ID_ALL | ID_EMPTY_IS_ALL, {2, 0, 1}, IDS_LIST},
        {"csum c3", ID_ALL, {1, 2}, IDS_LIST},
        {"csum C0", ID_ALL, {1, -1}, IDS_LIST},
        {"csum C3 C1 C3", ID_ALL, {3, 2, 0, 2}, IDS_LIST},
        {"csum C1 all", ID_ALL, {2, 0, -1}, IDS_LIST},
        {"csum all", ID_ALL, {1, ALL_CURVES}, IDS_ALL},
        {"csum ALL", ID_ALL | ID_EMPTY_IS_ALL, {1, ALL_CURVES}, IDS_NONE},
        {"csum ALL", ID_ALL, {0}, IDS_NONE},
        {"csum", ID_EMPTY_IS_ALL, {1, ALL_CURVES}, IDS_NONE},
        {"csum", 0, {0}, IDS_NONE},
        {"dmark M2 M5", ID_MARKERS, {2, 2, 5}, IDS_LIST},
        {"legend on", ID_ON | ID_OFF, {1, ALL_CURVES}, IDS_ON},
        {"legend off", ID_ON | ID_OFF, {0}, IDS_OFF},
        // Too large for an int: an id no curve has, never "every curve".
        {"csum C99999999999", ID_ALL | ID_EMPTY_IS_ALL, {1, ALL_CURVES - 1}, IDS_LIST},
        {"csum C2 C99999999999", ID_ALL | ID_EMPTY_IS_ALL, {2, 1, ALL_CURVES - 1}, IDS_LIST},
        {"dmark M99999999999", ID_MARKERS, {1, ALL_CURVES - 1}, IDS_LIST},
    };
    for (const Case& c : cases) {
        IdArray ids{7, 7};
        int kind = -1;
        parseIdList(c.line, ids, standardIdPattern(c.options), c.options, &kind);
        EXPECT_EQ(ids, c.ids) << c.line;
        EXPECT_EQ(kind, c.kind) << c.line;
    }
}

TEST(IdList, MalformedLineThrowsAfterBuildingTheList)
{
    for (const char* line : {"csum C1C2", "csum C1 junk", "dmark C1"}) {
        const int options = QString(line).startsWith("dmark") ? ID_MARKERS : ID_ALL;
        IdArray ids;
        try {
            parseIdList(line, ids, standardIdPattern(options), options);
            ADD_FAILURE() << line;
        } catch (const kroexception& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("Command Info: The command \"") + line + "\" is not properly formatted.");
        }
    }
    IdArray ids;
    EXPECT_THROW(parseIdList("csum C1 junk", ids, standardIdPattern(ID_ALL), ID_ALL), kroexception);
    EXPECT_EQ(ids, (IdArray{1, 0}));
}

TEST(IdList, ValidateCommandKeepsLineExactly)
{
    try {
        validateCommand("  crop  x ", cropGrammar());
        FAIL();
    } catch (const kroexception& e) {
        EXPECT_STREQ(e.what(), "Command Info: The command \"  crop  x \" is not properly formatted.");
    }
    EXPECT_NO_THROW(validateCommand("crop 1 2", cropGrammar()));
}
