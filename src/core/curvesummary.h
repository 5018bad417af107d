#pragma once
// What rescaling and drawing need to know of a curve's values without
// reading them all again: the extremes of each axis, whether x only
// increases, and a level-of-detail pyramid of blocks of consecutive points
// with the extremes of their drawable points and where those lie.
//
// A summary belongs to one version of the values: CurveValues builds it on
// first use and drops it when the values change, so a curve that did not
// change is never read again for its extremes or its drawing.
#include <cstddef>
#include <cstdint>
#include <vector>

struct CurveSummary {
    // The smallest and largest of a set of values; any is false for none.
    struct Extent {
        double min = 0.0;
        double max = 0.0;
        bool any = false;
    };

    // Blocks of consecutive points. Extremes and positions cover the
    // points whose x and y are both finite (the "usable" points; the others
    // never draw), positions counted from the block's first point. A block
    // without usable point has firstUsable == kNone and no extremes.
    struct Block {
        double xMin, xMax, yMin, yMax;
        std::uint32_t yMinAt, yMaxAt;          // first point of the smallest and of the largest y
        std::uint32_t firstUsable, lastUsable; // first and last usable point
    };
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    // Level l holds the whole blocks of 64^(l + 1) points from the first
    // point on; a block of level l + 1 is 64 blocks of level l.
    static constexpr int kLevelShift = 6;
    static constexpr std::size_t kFanOut = std::size_t(1) << kLevelShift;
    // Curves with fewer points get no levels (reading them is as quick).
    static constexpr std::size_t kLevelsFrom = 4096;

    std::size_t points = 0;
    // Extremes of the finite values of each axis, each axis on its own
    // (a point with a finite x and an undefined y counts for x).
    Extent x, y;
    // Smallest and largest magnitude of the finite values other than zero.
    Extent absX, absY;
    // Every x is a finite number.
    bool allXFinite = true;
    // Every x is finite and none is smaller than the one before it.
    bool xAscending = true;
    std::vector<std::vector<Block>> levels;

    static constexpr std::size_t blockPoints(std::size_t level)
    {
        return std::size_t(1) << (kLevelShift * (level + 1));
    }

    // The summary of `points` interleaved points (x0, y0, x1, y1, ...).
    // Large curves are read on several threads.
    static CurveSummary of(const double* xy, std::size_t points);
};
