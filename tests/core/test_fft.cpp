#include "core/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "support/textbook.h"

using V = std::vector<double>;

namespace {
void expectNear(const V& got, const V& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(got[i], want[i], 1e-12) << "index " << i;
}
} // namespace

TEST(Fft, ForwardThenInverseGivesNTimesInput)
{
    V data = {1, 0, 2, -1, -3, 0.5, 4, 0, 0.25, 2};
    const V original = data;
    fft(data.data(), data.data(), 5, 0);
    EXPECT_NEAR(data[0], 1 + 2 - 3 + 4 + 0.25, 1e-12); // X(0) is the sum
    fft(data.data(), data.data(), 5, 1);
    for (std::size_t i = 0; i < data.size(); ++i)
        EXPECT_NEAR(data[i], 5 * original[i], 1e-12);
}

TEST(Fft, InvalidSizeThrowsAndLeavesOutputAlone)
{
    double d[2] = {1, 2};
    EXPECT_THROW(fft(d, d, 0, 0), std::runtime_error);
    const V sentinel = {42};
    struct Case {
        const char* name;
        void (*run)(V&);
    } cases[] = {
        {"auto", [](V& out) { autocorrelation({}, out); }},
        {"cross", [](V& out) { crossCorrelation({}, {}, out); }},
        {"conv", [](V& out) { convolution({}, {}, out); }},
    };
    for (const Case& c : cases) {
        V out = sentinel;
        try {
            c.run(out);
            ADD_FAILURE() << c.name;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Unable to run FFT. Invalid size.") << c.name;
        }
        EXPECT_EQ(out, sentinel) << c.name;
    }
}

TEST(Fft, CorrelationAndConvolutionExamples)
{
    V out;
    autocorrelation({1, 2}, out);
    expectNear(out, {1, 0.8});

    convolution({1, 1}, {1, 1}, out); // circular: wraps at N = 2
    expectNear(out, {1, 1});

    const V a = {1, 2, 3};
    const V b = {1};
    crossCorrelation(a, b, out);
    expectNear(out, {1.0 / 3, 2.0 / 3, 1});
    convolution(a, b, out);
    expectNear(out, {1.0 / 3, 2.0 / 3, 1});

    crossCorrelation({0, 1, 0}, {1, 0, 0}, out);
    expectNear(out, {0, 1, 0});
    crossCorrelation({1, 0, 0}, {0, 1, 0}, out);
    expectNear(out, {0, 0, 1});

    crossCorrelation({-2}, {3}, out);
    expectNear(out, {-1});

    autocorrelation({0, 0, 0}, out);
    ASSERT_EQ(out.size(), 3u);
    for (double v : out)
        EXPECT_TRUE(std::isnan(v));
}

TEST(Fft, CrossCorrelationMatchesDefinitionForUnequalLengths)
{
    const V a = {0.5, -1, 2, 3, -0.25, 1, 4};
    const V b = {1, 2, -1, 0.5};
    V out;
    crossCorrelation(a, b, out);
    expectNear(out, textbook::circularSum(a, b, false));
}
