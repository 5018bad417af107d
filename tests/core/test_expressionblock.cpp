// Block evaluation of compiled expressions gives, bit for bit, what the
// point-by-point evaluation gives: every operator, every function, invalid
// values (division by zero, stray characters, missing operands) and blocks
// of every length up to the largest.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "core/expression.h"
#include "core/expressionthread.h"

namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

} // namespace

TEST(ExpressionBlock, SameValuesAsOnePointAtATime)
{
    const char* const texts[] = {
        "C1+C2",        "C1-C2*3",        "C1/C2",          "C2^2",           "2^C1^2",         "-C1^2",
        "C1*C2^2",      "C1/C2^0.5",      "C1^C2^0.5",      "-C1x+C2x",       "C1*(180/pi)",    "20*log10(sqrt(C1^2+C2^2))",
        "cos(C1)+sin(C2)-tan(C1x)", "acos(C1/10)+asin(C2/10)+atan(C1)", "cosh(C1)-sinh(C2)+tanh(C1)",
        "acosh(C1)+asinh(C2)+atanh(C1/10)", "abs(C2)+exp(C1)+log(C2)+log10(C1)", "sqrt(C2)+cbrt(C1)",
        "erf(C1)+erfc(C2)+gamma(C1)+gammaln(C2)", "C1/0", "C1$2", "C1*", "(C1+C2", "3 4", "C1 +C2",
    };
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> dist(-6.0, 6.0);
    const std::size_t n = 2 * CompiledExpression::kBlock + 37;
    std::vector<double> c1(2 * n), c2(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        c1[2 * i] = double(i) * 0.01;
        c2[2 * i] = double(i) * 0.02;
        // Some exact zeros and integers, so divisions by zero and poles occur.
        c1[2 * i + 1] = i % 17 == 0 ? 0.0 : (i % 11 == 0 ? -3.0 : dist(gen));
        c2[2 * i + 1] = i % 13 == 0 ? 0.0 : dist(gen);
    }
    for (const char* text : texts) {
        const CompiledExpression e = CompiledExpression::compile(QString::fromLatin1(text), {"C1", "C2"});
        ExpressionEvaluator ev;
        // Block lengths 1, a few and the largest, at varying offsets.
        for (std::size_t length : {std::size_t(1), std::size_t(5), CompiledExpression::kBlock}) {
            for (std::size_t start = 0; start + length <= n; start += length + 3) {
                const double* cols[] = {&c1[2 * start], &c1[2 * start + 1], &c2[2 * start], &c2[2 * start + 1]};
                std::vector<double> values(length);
                std::vector<unsigned char> ok(length);
                e.evaluateBlock(cols, 2, length, values.data(), ok.data(), &ev);
                for (std::size_t j = 0; j < length; ++j) {
                    const std::size_t i = start + j;
                    const double bound[] = {c1[2 * i], c1[2 * i + 1], c2[2 * i], c2[2 * i + 1]};
                    bool pointOk = false;
                    const double v = e.evaluate(bound, &pointOk, &ev);
                    ASSERT_TRUE(sameBits(values[j], v)) << text << " at " << i << ": " << values[j] << " vs " << v;
                    ASSERT_EQ(bool(ok[j]), pointOk) << text << " at " << i;
                }
            }
        }
    }
}

TEST(ExpressionBlock, PartsOverBlocksKeepPointOrderCountsAndZeros)
{
    // 1300 points of C1 = i - 600: "1/C1" is undefined once (i = 600).
    std::vector<double> c1;
    for (int i = 0; i < 1300; ++i) {
        c1.push_back(i);
        c1.push_back(i - 600);
    }
    const CompiledExpression e = CompiledExpression::compile(QStringLiteral("1/C1"), {"C1"});
    std::vector<double> out(c1.size());
    int errors = 0;
    std::atomic<bool> allZero{true};
    const std::size_t written = evaluateExpressionPart(e, {ExpressionInput::over(c1)}, out.data(), out.size(), errors,
                                                       allZero);
    ASSERT_EQ(written, 2u * 1299u);
    EXPECT_EQ(errors, 1);
    EXPECT_FALSE(allZero.load());
    std::size_t k = 0;
    for (int i = 0; i < 1300; ++i) {
        if (i == 600)
            continue;
        EXPECT_EQ(out[k], double(i));
        EXPECT_EQ(out[k + 1], 1.0 / double(i - 600));
        k += 2;
    }

    // A capacity smaller than the input stops the part when it is full.
    errors = 0;
    std::vector<double> small(10);
    EXPECT_EQ(evaluateExpressionPart(e, {ExpressionInput::over(c1)}, small.data(), small.size(), errors, allZero),
              10u);
    EXPECT_EQ(small[0], 0.0);
    EXPECT_EQ(small[8], 4.0);

    // Every value 0: allZero stays set.
    std::atomic<bool> zeros{true};
    const CompiledExpression zero = CompiledExpression::compile(QStringLiteral("C1*0"), {"C1"});
    evaluateExpressionPart(zero, {ExpressionInput::over(c1)}, out.data(), out.size(), errors, zeros);
    EXPECT_TRUE(zeros.load());
}
