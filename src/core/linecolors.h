#pragma once
// The line colours that curves without a colour of their own take: loaded
// once at start-up from "linecolors.cfg" in the common application folder
// (created with eight defaults when missing), read-only afterwards. Every
// entry carries the palette bit (0x40000000).
#include "core/curvedata.h"

#include <string>
#include <vector>

// The list; never empty once loadLineColors has run.
const std::vector<Rgb>& lineColors();

// Fills the list from commonDataDirectory() + "linecolors.cfg". Called by
// the program's start-up before any plot exists.
void loadLineColors();
// The same from a given file (used by loadLineColors and by tests).
void loadLineColorsFrom(const std::string& path);

// The palette colour for a curve index: the entry at index modulo the list's
// length (the eight defaults if the list was never loaded).
Rgb paletteColor(int curveIndex);

// The eight defaults, without the palette bit.
const std::vector<Rgb>& defaultLineColors();
