#pragma once
// Time as a Modified Julian Date: days since 1858-11-17 00:00 UTC as a
// double, the time of day being the fraction (MJD 40587 is 1970-01-01).
// Every conversion is UTC.
#include <ctime>
#include <string>

// Calendar fields (UTC) of an MJD, to the second. With round the time of day
// is rounded to the nearest second (carrying into the date); without, it is
// rounded to whole milliseconds and the milliseconds dropped, as mjdToText
// shows it. A NaN or infinite MJD, or one beyond
// +/-10^8 days, gives the fields of 1970-01-01 00:00:00.
std::tm& mjdToTm(std::tm& out, double mjd, bool round);

// The current time as an MJD, to the millisecond (one clock reading).
double currentMjdHighRes();
double currentMjd();

// Two lines, 29 characters: "Jan  1, 1970\nThu 12:00:00.000"; "Out of
// bounds" outside [40587, 88069) or for NaN.
std::string mjdToText(double mjd);
