// Preparing a curve expression: the text to evaluate, the curves it names,
// the title, and the alignment of the curves onto common x values.
#include <gtest/gtest.h>

#include "analysis/expressionprep.h"

using namespace expressions;

TEST(ExpressionPrep, TextToEvaluate)
{
    const QString pi = QStringLiteral("3.1415926535897931");
    const std::pair<const char*, QString> cases[] = {
        {"C1 * 2", QStringLiteral("C1*2")},
        {"2pi*C1", QStringLiteral("2*") + pi + QStringLiteral("*C1")},
        {"C1*PI", QStringLiteral("C1*") + pi},
        {"C1--C2", QStringLiteral("C1+C2")},
        {"C1---C2", QStringLiteral("C1+-C2")},
        {"C1//2++C2", QStringLiteral("C1/2+C2")},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(prepareExpression(QString::fromLatin1(text)), expected) << text;
    EXPECT_FALSE(prepareExpression(QStringLiteral("C1**2")));
}

TEST(ExpressionPrep, ReferencesAndTitle)
{
    const std::vector<Reference> refs = curveReferences(QStringLiteral("C1+c1+C10*C1x+C2"));
    ASSERT_EQ(refs.size(), 4u);
    EXPECT_EQ(refs[0].text, QStringLiteral("C1"));
    EXPECT_EQ(refs[1].text, QStringLiteral("c1"));
    EXPECT_EQ(refs[1].id, 0);
    EXPECT_EQ(refs[2].text, QStringLiteral("C10"));
    EXPECT_EQ(refs[2].id, 9);
    EXPECT_EQ(refs[3].id, 1);

    EXPECT_EQ(expressionTitle(*prepareExpression(QStringLiteral("C1*pi"))), QString::fromUtf8("C1\u03c0"));
    EXPECT_EQ(expressionTitle(*prepareExpression(QStringLiteral("2pi"))), QString::fromUtf8("2\u03c0"));
}

TEST(ExpressionPrep, AlignmentOntoTheDensestCurve)
{
    // C1 = x^2 at 0..4, C2 = x at 1.5..4.5 every 0.5: C2 is the reference;
    // C1 is interpolated at its x values as far as C1 reaches.
    CurveData c1, c2;
    for (int x = 0; x <= 4; ++x)
        c1.append(x, x * x);
    for (double x = 1.5; x <= 4.5; x += 0.5)
        c2.append(x, x);
    const auto aligned = alignInputs({{"C1", &c1}, {"C2", &c2}});
    EXPECT_EQ(aligned.at("C2").values.vec(), c2.values.vec());
    const std::vector<double> expected = {1.5, 2.5, 2, 4, 2.5, 6.5, 3, 9, 3.5, 12.5, 4, 16};
    EXPECT_EQ(aligned.at("C1").values.vec(), expected);

    // One curve, or two names of one curve: its own values, nothing copied.
    const auto self = alignInputs({{"C1", &c1}, {"c1", &c1}});
    EXPECT_TRUE(self.at("C1").values.sharesDataWith(c1.values));
    EXPECT_TRUE(self.at("c1").values.sharesDataWith(c1.values));
}

TEST(ExpressionPrep, PromptListsTheCurvesInTheirColours)
{
    std::map<int, quint32> colours;
    for (int i = 0; i < 9; ++i)
        colours[i] = 0x40000000u | quint32(0x10 * i);
    const QString prompt = expressionPrompt(colours);
    EXPECT_TRUE(prompt.startsWith(QStringLiteral("Expression -- Construct a new curve from existing ones...<hr>")));
    EXPECT_TRUE(prompt.contains(QStringLiteral("<span style = \"color:#000010\">C2 </span>")));
    // Eight curves on the first line.
    EXPECT_TRUE(prompt.contains(QStringLiteral("C8 </span><br><span")));
    EXPECT_FALSE(prompt.contains(QStringLiteral("C7 </span><br>")));
}
