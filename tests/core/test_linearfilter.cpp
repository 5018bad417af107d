#include "core/linearfilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

using V = std::vector<double>;

TEST(Window, NamesAreExact)
{
    struct {
        const char* name;
        int type;
    } cases[] = {{"BARTLETT", BARTLETT}, {"BLACKMAN", BLACKMAN}, {"HAMMING", HAMMING}, {"HANNING", HANNING},
                 {"WELCH", WELCH},       {"BOXCAR", BOXCAR},     {"Hamming", BOXCAR},  {"", BOXCAR},
                 {"BOXCAR ", BOXCAR},    {nullptr, BOXCAR}};
    for (const auto& c : cases)
        EXPECT_EQ(windowFromName(c.name), c.type) << (c.name ? c.name : "(null)");
}

TEST(Window, Weights)
{
    struct Case {
        int type;
        int n;
        V weights;
    } cases[] = {
        {BARTLETT, 4, {0, 2.0 / 3, 2.0 / 3, 0}},
        {BARTLETT, 5, {0, 0.5, 1, 0.5, 0}},
        {HANNING, 3, {0, 1, 0}},
        {HAMMING, 3, {0.08, 1, 0.08}},
        {BLACKMAN, 3, {0, 1, 0}},
        {WELCH, 5, {5.0 / 9, 8.0 / 9, 1, 8.0 / 9, 5.0 / 9}},
        {WELCH, 1, {1}},
        {BOXCAR, 3, {1, 1, 1}},
        {17, 3, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        V data(c.weights.size(), 1.0);
        applyWindow(c.type, data, c.n);
        for (std::size_t i = 0; i < data.size(); ++i)
            EXPECT_NEAR(data[i], c.weights[i], 1e-13) << "type " << c.type << " n " << c.n << " i " << i;
    }
    for (int t : {BARTLETT, BLACKMAN, HAMMING, HANNING}) {
        V one = {3};
        applyWindow(t, one, 1);
        EXPECT_TRUE(std::isnan(one[0])) << t;
    }
}

TEST(Window, LengthLimitsTheWindowedValues)
{
    V data = {2, 2, 2, 2, 2};
    applyWindow(HANNING, data, 3);
    EXPECT_EQ(data, (V{0, 2, 0, 2, 2}));
    // A window longer than the data is clamped to it, never written past it.
    V shortData = {2, 2, 2};
    applyWindow(HANNING, shortData, 50);
    EXPECT_NEAR(shortData[1], 2, 1e-12);
    EXPECT_NEAR(shortData[2], 0, 1e-12);
    V unchanged = {2, 2};
    applyWindow(HANNING, unchanged, 0);
    applyWindow(HANNING, unchanged, -4);
    EXPECT_EQ(unchanged, (V{2, 2}));
}

TEST(LinearFilter, FirAndIirExamples)
{
    const double diff[] = {1, -1};
    const double one[] = {1};
    V state, y;
    linearFilter(diff, one, 2, 1, {1, 4, 9}, state, y);
    EXPECT_EQ(y, (V{1, 3, 5}));
    EXPECT_EQ(state, (V{9}));

    state = {2};
    linearFilter(diff, one, 2, 1, {1, 4, 9}, state, y);
    EXPECT_EQ(y, (V{-1, 3, 5}));

    const double b[] = {1, 0};
    const double a[] = {1, -0.5};
    state.clear();
    linearFilter(b, a, 2, 2, {1, 0, 0}, state, y);
    EXPECT_EQ(y, (V{1, 0.5, 0.25}));
    EXPECT_EQ(state, (V{0.25}));
}

TEST(LinearFilter, StateCarriesAcrossPieces)
{
    const double b[] = {0.25, 0.5, 0.25};
    const double a[] = {1, -0.3, 0.1};
    const V x = {1, -2, 3, 0.5, 4, -1, 2};
    V whole, sw;
    linearFilter(b, a, 3, 3, x, sw, whole);

    V state, y1, y2;
    linearFilter(b, a, 3, 3, V(x.begin(), x.begin() + 3), state, y1);
    linearFilter(b, a, 3, 3, V(x.begin() + 3, x.end()), state, y2);
    y1.insert(y1.end(), y2.begin(), y2.end());
    EXPECT_EQ(y1, whole);
    EXPECT_EQ(state, sw);
}

TEST(LinearFilter, EdgeShapes)
{
    const double diff[] = {1, -1};
    const double one[] = {1};
    // Empty input: y untouched, the state comes back (zeros when empty).
    V state, y = {7, 7};
    linearFilter(diff, one, 2, 1, {}, state, y);
    EXPECT_EQ(y, (V{7, 7}));
    EXPECT_EQ(state, (V{0}));
    state = {5};
    linearFilter(diff, one, 2, 1, {}, state, y);
    EXPECT_EQ(state, (V{5}));

    // A longer y keeps its length and its tail.
    y = {0, 0, 0, 0, 42};
    state.clear();
    linearFilter(diff, one, 2, 1, {1, 4, 9}, state, y);
    EXPECT_EQ(y, (V{1, 3, 5, 0, 42}));

    // nb = 1: the state comes back empty.
    const double gain[] = {2};
    state = {3};
    linearFilter(gain, one, 1, 1, {1, 2}, state, y);
    EXPECT_TRUE(state.empty());

    // A state shorter than nb - 1 holds the newest values, zeros before it.
    const double d2[] = {1, -2, 1};
    state = {4};
    y.clear();
    linearFilter(d2, one, 3, 1, {9}, state, y);
    EXPECT_EQ(y, (V{9 - 2 * 4 + 0}));
    EXPECT_EQ(state, (V{4, 9}));

    // Other denominator lengths are refused.
    const double a3[] = {1, 0.5, 0.25};
    EXPECT_THROW(linearFilter(diff, a3, 2, 3, {1}, state, y), std::runtime_error);
    EXPECT_THROW(linearFilter(diff, one, 0, 1, {1}, state, y), std::runtime_error);
}
