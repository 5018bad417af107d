#pragma once
// TEMPORARY: stand-ins for core services not on main yet (line-colour list,
// MJD text). Removed as soon as the core versions land.
#include <ctime>
#include <string>
#include <vector>

#include "core/curvedata.h"

namespace pending {
const std::vector<Rgb>& lineColors();
std::tm& mjdToTm(std::tm& out, double mjd, bool round);
std::string mjdToText(double mjd);
} // namespace pending
using pending::lineColors;
using pending::mjdToTm;
using pending::mjdToText;
