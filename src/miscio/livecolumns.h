#pragma once
// The y columns of a live link as the instrument pages and the web-fetch
// tool take them from their "Y-Axis" text.
#include "import/fileobject.h"

#include <QString>

#include <vector>

// The numbers of a text split at blanks and commas, empty parts dropped,
// each read as a decimal integer (0 when it is none).
std::vector<int> columnNumbers(const QString& text);

// One YColumn per one-based column number n: column n - 1, title
// "Column n", multiplier and divisor 1, the rest 0.
std::vector<YColumn> liveYColumns(const std::vector<int>& numbers);
