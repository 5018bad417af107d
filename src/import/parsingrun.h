#pragma once
// The state of the loader while it reads one file; shared by the files of
// ParsingThread (reading in order, and in chunks on several cores).
#include "import/linereader.h"
#include "import/lineregex.h"
#include "import/parsingthread.h"

#include <string>
#include <unordered_map>
#include <vector>

struct ParsingThread::FileRun {
    explicit FileRun(const FileObject& source) : fo(source), ny(source.m_yColumns.size()) {}

    const FileObject& fo;
    QString name;
    kro::import::LineReader reader;
    int base = 0;
    std::size_t ny;
    bool keyed = false;
    std::int64_t size = 0;

    // Without a key column: the curve of each y column.
    std::vector<int> yIds;
    std::vector<long long> counters;
    std::vector<CurveData*> yCurves;
    std::vector<int> usedOrder; // y columns in the order of their first point

    // With a key column: the ids given in this file, and the keys in the
    // order of their first point.
    std::unordered_map<std::string, int> fileKeys;
    std::vector<std::string> keyOrder;

    long long linesRead = 0; // every line read after the header lines, skipped lines excepted
    long long dataLines = 0;
    std::int64_t bytesRead = 0;
    std::int64_t progressTotal = 0;
    int progressCounter = 0;
    bool errorShown[LineParserException::NO_NUMBER + 1] = {}; // by failure kind
    bool hasRegex = false;
    kro::import::LineRegex regex;
    bool stop = false;
    bool cut = false; // the file became shorter while it was read
};

