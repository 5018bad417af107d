#pragma once
// Rotating the y values of a curve against its x values.
#include <vector>

// Rotates the y values of interleaved points (x0, y0, x1, y1, ...) by n
// places, the x values staying where they are: to the left y'[i] =
// y[(i + n) mod N], to the right y'[i] = y[(i - n) mod N]. A curve without
// points is left alone.
void rotateYValues(std::vector<double>& points, long long n, bool left);
