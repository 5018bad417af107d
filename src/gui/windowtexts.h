#pragma once
// Texts the main window shows, kept apart from the widgets so they can be
// checked directly: typed console messages, the status bar's right label,
// statistic reports, directory listings, capture file names.
#include "core/fileutils.h"
#include "core/messages.h"

#include <QString>

#include <map>
#include <vector>

// A typed message as the console shows it: the kind's prefix, continuation
// lines indented by the prefix's length. A null string when the message is
// not shown (INFO and WARNING outside verbose mode).
QString formatUserMessage(ZEVOVE::TYPE type, const QString& text);

// The status bar's right label: "%1 points/second   " when the rate is 0
// or more, then "Avail memory: %1 MB" (3 decimals) when the free memory is
// known (bytes >= 0).
QString statusBarRightText(double pointsPerSecond, long long availableBytes);

// The report of a statistic over a curve list: "%1(%2)%3: %4" with the curve
// part " of C2", " of {C1, C2, C3}", or nothing when ids start with
// ALL_CURVES; the value in the general format with 20 significant digits.
QString statisticReport(const QString& name, char axis, const std::vector<int>& ids, double value);
// One line per curve: "%1(%2) of C%3: %4\n".
QString perCurveStatisticReport(const QString& name, char axis, const std::map<int, double>& values);

// A directory listing. Short form: names in rows of three, each padded to
// the longest name + 2 (the third of a row ends the line instead). Long form:
// permissions ("?????????? " when unknown), the size right-aligned in a column
// at least 3 wide, the local last-write time ("Wed Jan 02 02:03:55 1980") or
// the entry's error text, and the name, one line per entry.
QString directoryListing(const std::vector<SCUtilities::FileInfo>& entries, bool longListing);

// A number in the general format with the given significant digits.
QString generalNumber(double value, int digits);
