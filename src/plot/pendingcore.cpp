#include "plot/pendingcore.h"

#include <cmath>
#include <cstdio>

namespace pending {
const std::vector<Rgb>& lineColors()
{
    static const std::vector<Rgb> colours = [] {
        std::vector<Rgb> c;
        for (quint32 v : {0x0000FFu, 0xFF0000u, 0x00D200u, 0x800080u, 0x00D2D2u, 0xFF00FFu, 0x353550u, 0x808000u})
            c.emplace_back(v | Rgb::Palette);
        return c;
    }();
    return colours;
}

std::tm& mjdToTm(std::tm& out, double mjd, bool round)
{
    if (!std::isfinite(mjd))
        mjd = 40587;
    double days = std::floor(mjd);
    long long ms = std::llround((mjd - days) * 86400000.0);
    long long secs = ms / 1000;
    if (round && ms % 1000 >= 500)
        ++secs;
    std::time_t t = static_cast<std::time_t>((days - 40587) * 86400 + secs);
    gmtime_r(&t, &out);
    return out;
}

std::string mjdToText(double mjd)
{
    if (!(mjd >= 40587 && mjd < 88069))
        return "Out of bounds";
    std::tm tm{};
    mjdToTm(tm, mjd, false);
    double days = std::floor(mjd);
    long long ms = std::llround((mjd - days) * 86400000.0) % 1000;
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* wd[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s %2d, %04d\n%s %02d:%02d:%02d.%03lld", months[tm.tm_mon], tm.tm_mday,
                  tm.tm_year + 1900, wd[tm.tm_wday], tm.tm_hour, tm.tm_min, tm.tm_sec, ms);
    return buf;
}
} // namespace pending
