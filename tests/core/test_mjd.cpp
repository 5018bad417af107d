// Modified Julian Dates: calendar fields, text and the clock.
#include "core/mjd.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

namespace {

struct Fields {
    int year, month, day, hour, minute, second, weekday, yearDay;
};

Fields fieldsOf(double mjd, bool round)
{
    std::tm t{};
    mjdToTm(t, mjd, round);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_wday, t.tm_yday};
}

bool operator==(const Fields& a, const Fields& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second && a.weekday == b.weekday && a.yearDay == b.yearDay;
}

std::ostream& operator<<(std::ostream& os, const Fields& f)
{
    return os << f.year << '-' << f.month << '-' << f.day << ' ' << f.hour << ':' << f.minute << ':' << f.second
              << " wd" << f.weekday << " yd" << f.yearDay;
}

constexpr double second = 1.0 / 86400;

} // namespace

TEST(MjdToTm, CalendarFields)
{
    const struct {
        double mjd;
        bool round;
        Fields expected;
    } cases[] = {
        {40587, false, {1970, 1, 1, 0, 0, 0, 4, 0}},
        {88069 - second, false, {2099, 12, 31, 23, 59, 59, 4, 364}},
        {88069 - 0.4 * second, true, {2100, 1, 1, 0, 0, 0, 5, 0}},   // 23:59:59.6 rounds into the next year
        {88069 - 0.4 * second, false, {2099, 12, 31, 23, 59, 59, 4, 364}},
        {51544, false, {2000, 1, 1, 0, 0, 0, 6, 0}},
        {51604, false, {2000, 3, 1, 0, 0, 0, 3, 60}},                // leap day before
        {55000 + 120 * second, false, {2009, 6, 18, 0, 2, 0, 4, 168}},
        {55000 + 0.4999 * second, true, {2009, 6, 18, 0, 0, 0, 4, 168}},
        {0, false, {1858, 11, 17, 0, 0, 0, 3, 320}},                 // before 1970: no local-time gap
        {-1.5, false, {1858, 11, 15, 12, 0, 0, 1, 318}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fieldsOf(c.mjd, c.round), c.expected) << "mjd " << c.mjd << " round " << c.round;
}

TEST(MjdToTm, EveryWholeMinuteOfADayReadsExactly)
{
    // Successive truncation of the fraction would print many of these a
    // second early.
    int wrong = 0;
    for (int minute = 0; minute < 1440; ++minute) {
        const Fields f = fieldsOf(55000 + minute * 60 * second, false);
        if (f.hour * 60 + f.minute != minute || f.second != 0)
            ++wrong;
    }
    EXPECT_EQ(wrong, 0);
}

TEST(MjdToTm, NonFiniteInputGivesTheEpoch)
{
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), 1e300})
        EXPECT_EQ(fieldsOf(bad, true), (Fields{1970, 1, 1, 0, 0, 0, 4, 0})) << bad;
}

TEST(MjdToText, Cases)
{
    const struct {
        double mjd;
        const char* text;
    } cases[] = {
        {40587.5, "Jan  1, 1970\nThu 12:00:00.000"},
        {40587, "Jan  1, 1970\nThu 00:00:00.000"},
        {40591.25, "Jan  5, 1970\nMon 06:00:00.000"},
        {55000 + 120 * second, "Jun 18, 2009\nThu 00:02:00.000"},
        {40587.5 + 0.9996 * second, "Jan  1, 1970\nThu 12:00:01.000"},  // the carry reaches the seconds
        {40587.5 + 0.25 * second, "Jan  1, 1970\nThu 12:00:00.250"},
        {88069 - second, "Dec 31, 2099\nThu 23:59:59.000"},
        {88069, "Out of bounds"},
        {40587 - 1e-9, "Out of bounds"},
        {std::nan(""), "Out of bounds"},
        {-std::numeric_limits<double>::infinity(), "Out of bounds"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mjdToText(c.mjd), c.text) << c.mjd;
    EXPECT_EQ(mjdToText(60000.123).size(), 29u);
}

TEST(CurrentMjd, MatchesTheSystemClockToTheMillisecond)
{
    using namespace std::chrono;
    const double before = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    const double a = currentMjd();
    const double b = currentMjdHighRes();
    const double after = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    for (double mjd : {a, b}) {
        const double ms = std::round((mjd - 40587) * 86400000.0);
        EXPECT_GE(ms, before);
        EXPECT_LE(ms, after);
        // Whole milliseconds: the fraction of a millisecond is only rounding noise.
        EXPECT_NEAR((mjd - 40587) * 86400000.0, ms, 0.01);
    }
    EXPECT_LE(a, b);
}
