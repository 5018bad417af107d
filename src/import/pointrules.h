#pragma once
// How a parsed data line turns into the point of one y column: the column's
// fields, the z limit, the x, y and z limits and the remainders. Shared by
// the loader's reading in order and its reading of chunks on several cores.
#include "import/fileobject.h"
#include "import/lineparser.h"

#include <cmath>
#include <cstdint>
#include <sys/mman.h>
#include <vector>

namespace kro::import {

inline bool insideLimits(const FileObject& fo, double x, double y, double z)
{
    const auto& lim = fo.m_limits;
    const auto& set = fo.m_limitSet;
    return (!set[FileObject::X_MIN] || x >= lim[FileObject::X_MIN]) && (!set[FileObject::X_MAX] || x <= lim[FileObject::X_MAX])
        && (!set[FileObject::Y_MIN] || y >= lim[FileObject::Y_MIN]) && (!set[FileObject::Y_MAX] || y <= lim[FileObject::Y_MAX])
        && (!set[FileObject::Z_MIN] || z >= lim[FileObject::Z_MIN]) && (!set[FileObject::Z_MAX] || z <= lim[FileObject::Z_MAX]);
}

// The remainders of x and y by their moduli (none where a modulus is 0).
inline void takeRemainders(double& x, double& y, double xMod, double yMod)
{
    if (xMod != 0.0)
        x = std::fmod(x, xMod);
    if (yMod != 0.0)
        y = std::fmod(y, yMod);
}

// A z limit is set and the line has no z: no column of the line gives a point.
inline bool zMissing(const FileObject& fo, const LineParser& lp)
{
    const bool zLimited = fo.m_limitSet[FileObject::Z_MIN] || fo.m_limitSet[FileObject::Z_MAX];
    return zLimited && fo.m_zColumn >= 0 && !lp.zRead();
}

// The point of y column i of the line just parsed, x given (the line's x,
// or the number of a numbered point): false when the line gives the column
// no point (its fields are missing, its y is empty, z is missing under a z
// limit, or the point lies outside the limits). x and y take their
// remainders.
inline bool columnPoint(const FileObject& fo, const LineParser& lp, std::size_t i, bool noZ, double& x, double& y)
{
    const YColumn& yc = fo.m_yColumns[i];
    if (lp.m_fieldCount <= yc.column || (fo.m_xColumn >= 0 && lp.m_fieldCount <= fo.m_xColumn))
        return false;
    if (!lp.yRead(i) || noZ)
        return false;
    y = lp.m_y[i];
    const bool keep = insideLimits(fo, x, y, lp.m_z);
    takeRemainders(x, y, fo.m_xScale.mod, yc.mod);
    return keep;
}

// Large point buffers are filled front to back once: huge pages make the
// first touch of their memory much cheaper. Advises the room past the
// values a vector holds.
inline void adviseHugePages(std::vector<double>& v)
{
    constexpr std::uintptr_t huge = std::uintptr_t(2) << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(v.data() + v.size());
    const auto end = reinterpret_cast<std::uintptr_t>(v.data() + v.capacity());
    const std::uintptr_t first = (begin + huge - 1) & ~(huge - 1);
    const std::uintptr_t last = end & ~(huge - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

} // namespace kro::import
