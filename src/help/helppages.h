#pragma once
// The help pages of the program's dialogs: rich-text documents kept in one
// table keyed by page number and built on first demand.
//
//   page 0  the arithmetic command builder
//   page 1  date and time format specifiers
//   page 2  live plotting, advanced setup
//   page 3  the web-fetch tool
//
// Every blank of a page is a no-break space, so indentation and alignment
// survive the rich-text layout. GUI thread only.
#include <QMap>
#include <QString>

// The text of a page. The first call for a number the table does not hold
// builds all four pages (a page already present is kept); a number without a
// page yields an empty text and leaves an empty entry under that number.
QString helpPageText(int page);

// The table as it stands (for inspection).
const QMap<int, QString>& helpPageTable();

// How many pages have been built so far in this run.
int helpPageBuildCount();
