#include "core/mjd.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kUnixEpochMjd = 40587.0;
constexpr long long kMsPerDay = 86400000LL;
constexpr double kFirstTextMjd = 40587.0;  // 1970-01-01
constexpr double kEndTextMjd = 88069.0;    // 2100-01-01

// Seconds since the Unix epoch and the milliseconds of that second. The day
// fraction is rounded once, to whole milliseconds, or to whole seconds when
// toSeconds (so 0.4999 s never rounds up twice); a rounding that reaches
// midnight carries into the next day.
struct SplitTime {
    long long seconds;
    int ms;
};

bool splitMjd(double mjd, bool toSeconds, SplitTime& out)
{
    if (!std::isfinite(mjd) || std::fabs(mjd) > 1e8)
        return false;
    const long long unitsPerDay = toSeconds ? 86400LL : kMsPerDay;
    long long day = static_cast<long long>(std::floor(mjd));
    long long units = std::llround((mjd - static_cast<double>(day)) * static_cast<double>(unitsPerDay));
    if (units >= unitsPerDay) {
        ++day;
        units -= unitsPerDay;
    }
    const long long msOfDay = toSeconds ? units * 1000 : units;
    out.seconds = (day - static_cast<long long>(kUnixEpochMjd)) * 86400LL + msOfDay / 1000;
    out.ms = static_cast<int>(msOfDay % 1000);
    return true;
}

void fieldsOf(long long seconds, std::tm& out)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm fields{};
    if (gmtime_r(&t, &fields) == nullptr) {
        const std::time_t epoch = 0;
        gmtime_r(&epoch, &fields);
    }
    out = fields;
}

double mjdNowToMs()
{
    using namespace std::chrono;
    const long long ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    // Whole milliseconds; days and the fraction are formed separately so the
    // millisecond survives the addition of 40587.
    const long long days = ms >= 0 ? ms / kMsPerDay : -((-ms + kMsPerDay - 1) / kMsPerDay);
    const long long rest = ms - days * kMsPerDay;
    return static_cast<double>(days) + kUnixEpochMjd + static_cast<double>(rest) / static_cast<double>(kMsPerDay);
}

} // namespace

std::tm& mjdToTm(std::tm& out, double mjd, bool round)
{
    SplitTime t{0, 0};
    if (!splitMjd(mjd, round, t))
        t = SplitTime{0, 0};
    fieldsOf(t.seconds, out);
    return out;
}

double currentMjdHighRes() { return mjdNowToMs(); }

double currentMjd() { return mjdNowToMs(); }

std::string mjdToText(double mjd)
{
    if (!(mjd >= kFirstTextMjd && mjd < kEndTextMjd))
        return "Out of bounds";
    SplitTime t{0, 0};
    splitMjd(mjd, false, t);
    std::tm f{};
    fieldsOf(t.seconds, f);
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* const weekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    char text[64];
    std::snprintf(text, sizeof text, "%s %2d, %04d\n%s %02d:%02d:%02d.%03d", months[f.tm_mon % 12], f.tm_mday,
                  f.tm_year + 1900, weekdays[f.tm_wday % 7], f.tm_hour, f.tm_min, f.tm_sec, t.ms);
    return text;
}
