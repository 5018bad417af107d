#pragma once
// Unit words of axis labels and ordinal numbers for messages.
#include <QString>

// The seconds one unit of an axis stands for, from its label text: the
// whole text, lower-cased, names the unit ("mjd" or "days", "hours",
// "minutes", "ns", "us", "ms" and their long forms; any text starting with
// the Greek letter mu counts as microseconds). Any other text counts 1 s.
double timeUnitSeconds(const QString& label);

// "1st", "2nd", "3rd", "4th" ... "11th", "12th", "13th", "21st", "111th".
QString ordinalText(int n);
