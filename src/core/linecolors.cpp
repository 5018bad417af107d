#include "core/linecolors.h"

#include "core/exceptions.h"
#include "core/fileutils.h"
#include "core/settings.h"
#include "core/stringutils.h"

#include <cstdio>
#include <fstream>

namespace {

std::vector<Rgb>& list()
{
    static std::vector<Rgb> colors;
    return colors;
}

// One line of the file: an optional two-character prefix ("0x"), then
// hexadecimal digits of which the last six count. False for a line that is
// not a colour.
bool parseColorLine(std::string line, quint32& color)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.empty())
        return false;
    std::size_t start = 0;
    if (line.size() >= 3 && (line[1] == 'x' || line[1] == 'X'))
        start = 2;
    quint32 accumulator = 0;
    try {
        for (std::size_t i = start; i < line.size(); ++i)
            accumulator = (accumulator << 4) | static_cast<quint32>(SCUtilities::hexDigitValue(line[i]));
    } catch (const SCUtilities::scexception&) {
        return false;
    }
    color = accumulator & 0xFFFFFFu;
    return true;
}

void writeDefaults(const std::string& path)
{
    std::ofstream out(path, std::ios::trunc);
    if (!out)
        return;  // the defaults are used all the same
    char text[16];
    for (Rgb c : defaultLineColors()) {
        std::snprintf(text, sizeof text, "0x%06x\n", static_cast<unsigned>(c.rgb()));
        out << text;
    }
}

} // namespace

const std::vector<Rgb>& defaultLineColors()
{
    static const std::vector<Rgb> colors = {0x0000FFu, 0xFF0000u, 0x00D200u, 0x800080u,
                                            0x00D2D2u, 0xFF00FFu, 0x353550u, 0x808000u};
    return colors;
}

const std::vector<Rgb>& lineColors() { return list(); }

void loadLineColorsFrom(const std::string& path)
{
    std::vector<Rgb> colors;
    if (SCUtilities::pathExists(path)) {
        std::ifstream in(path);
        std::string line;
        quint32 color = 0;
        while (std::getline(in, line)) {
            if (parseColorLine(line, color))
                colors.emplace_back(color);
        }
        // A file without a single colour (empty, unreadable, all lines bad)
        // falls back to the defaults; the file is left as it is.
        if (colors.empty())
            colors = defaultLineColors();
    } else {
        colors = defaultLineColors();
        writeDefaults(path);
    }
    for (Rgb& c : colors)
        c = Rgb(c.value | Rgb::Palette);
    list().swap(colors);
}

void loadLineColors() { loadLineColorsFrom(commonDataDirectory() + "linecolors.cfg"); }

Rgb paletteColor(int curveIndex)
{
    const std::vector<Rgb>& colors = list().empty() ? defaultLineColors() : list();
    const long long n = static_cast<long long>(colors.size());
    long long i = static_cast<long long>(curveIndex) % n;
    if (i < 0)
        i += n;
    const Rgb c = colors[static_cast<std::size_t>(i)];
    return Rgb(c.value | Rgb::Palette);
}
