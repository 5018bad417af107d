#include "import/parsingthread.h"

#include "core/filenames.h"
#include "core/exceptions.h"
#include "import/linereader.h"
#include "import/parsingrun.h"
#include "import/pointrules.h"
#include "import/lineregex.h"
#include "import/textcodec.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <new>
#include <unordered_map>

namespace {

const char* const kIndent = "\n               ";

// Lines between checks of the stop request.
constexpr long long kStopCheckLines = 1 << 16;

} // namespace

ParsingThread::ParsingThread(QObject* progressReceiver, QObject* mainReceiver)
    : m_progressReceiver(progressReceiver), m_mainReceiver(mainReceiver)
{
}

ParsingThread::~ParsingThread()
{
    requestStop();
    wait();
}

void ParsingThread::setOccupiedIndices(std::vector<int> indices)
{
    std::sort(indices.begin(), indices.end());
    m_occupied = std::move(indices);
}

int ParsingThread::curveIndex(int id)
{
    if (m_occupied.empty() && !m_claims)
        return m_firstCurve + id;
    if (std::size_t(id) < m_freeIndices.size())
        return m_freeIndices[std::size_t(id)];
    std::unique_lock<std::mutex> lock;
    if (m_claims)
        lock = std::unique_lock<std::mutex>(m_claims->mutex);
    auto taken = [&](int index) {
        return std::binary_search(m_occupied.begin(), m_occupied.end(), index)
            || (m_claims && m_claims->claimed.count(index));
    };
    while (m_freeIndices.size() <= std::size_t(id)) {
        int next = m_freeIndices.empty() ? m_firstCurve : m_freeIndices.back() + 1;
        while (taken(next))
            ++next;
        if (m_claims)
            m_claims->claimed.insert(next);
        m_freeIndices.push_back(next);
    }
    return m_freeIndices[std::size_t(id)];
}

void ParsingThread::postMain(QEvent* event)
{
    if (m_mainReceiver)
        QCoreApplication::postEvent(m_mainReceiver, event);
    else
        delete event;
}

void ParsingThread::postProgress(QEvent* event)
{
    if (m_progressReceiver)
        QCoreApplication::postEvent(m_progressReceiver, event);
    else
        delete event;
}

void ParsingThread::postMessage(const QString& text)
{
    if (m_verbose)
        postMain(new ParsingThreadUpdate(ParsingThreadUpdate::MESSAGE, this, 0, text));
}

long long ParsingThread::timer(int id, int command)
{
    if (!m_verbose)
        return 0;
    return SCUtilities::stopwatch(m_stopwatches, id, command);
}

void ParsingThread::run()
{
    std::fputs("\nprocessthread\n", stderr);
    try {
        m_lineParser.resetDateErrors();
        timer(0, 0);
        long long totalDateErrors = 0;
        for (const FileObject& fo : m_files) {
            if (m_stop.load())
                break;
            timer(1, 0);
            struct stat info {};
            const bool isFile = kro::statPath(fo.m_file, info) && S_ISREG(info.st_mode);
            const std::int64_t total = fo.m_get > 0 ? fo.m_get : (isFile ? std::int64_t(info.st_size) : 0);
            postProgress(new ProgressBarUpdate(ProgressBarUpdate::FILE_NAME, total, fo.m_file));
            int base = 0;
            if (!m_merge) {
                m_runningPoint = 0;
                base = m_nextId;
            }
            loadFile(fo, base);
            if (m_lineParser.m_dateErrors > 0) {
                postMain(new ParsingThreadUpdate(ParsingThreadUpdate::DATE_WARNING, this, 0, fo.m_file,
                                                 kro::import::textFromBytes(m_lineParser.m_firstErrorFormat),
                                                 kro::import::textFromBytes(m_lineParser.m_firstErrorText)));
                totalDateErrors += m_lineParser.m_dateErrors;
                m_lineParser.resetDateErrors();
            }
            postMessage(QStringLiteral("File %1 processed in %2 seconds.")
                            .arg(fo.m_file)
                            .arg(double(timer(1, 2)) / 1e6, 0, 'g'));
        }
        if (totalDateErrors > 0)
            postMain(new ParsingThreadUpdate(ParsingThreadUpdate::DATE_TOTAL, this,
                                             int(std::min<long long>(totalDateErrors, INT_MAX))));
        postMessage(QStringLiteral("Done. Completed in %1 seconds.").arg(double(timer(0, 1)) / 1e6, 0, 'g', 6));
    } catch (const std::bad_alloc&) {
        postMain(new ParsingThreadUpdate(ParsingThreadUpdate::OUT_OF_MEMORY, this));
    } catch (const std::exception& e) {
        postMain(new ParsingThreadUpdate(ParsingThreadUpdate::LINE_ERROR, this, 0,
                                         QStringLiteral("Error: The data loader stopped: %1\n%2")
                                             .arg(QString::fromLocal8Bit(e.what()),
                                                  QString::fromStdString(kro::reportRequest()))));
    } catch (...) {
        postMain(new ParsingThreadUpdate(ParsingThreadUpdate::LINE_ERROR, this, 0,
                                         QStringLiteral("Error: The data loader stopped for an unknown reason.\n%1")
                                             .arg(QString::fromStdString(kro::reportRequest()))));
    }
    postMain(new ParsingThreadUpdate(ParsingThreadUpdate::FINISHED, this));
}

void ParsingThread::loadFile(const FileObject& fo, int base)
{
    FileRun r(fo);
    r.name = fo.m_file;
    r.base = base;
    if (fo.m_file.isEmpty()) {
        m_missingFile = QString();
        return;
    }
    if (!kro::pathExists(fo.m_file)) {
        m_missingFile = fo.m_file;
        return;
    }
    QString reason;
    r.reader.setStopFlag(&m_stop);
    if (!r.reader.open(fo.m_file, &reason)) {
        std::fprintf(stderr, "Error opening file %s: %s\n", qPrintable(fo.m_file), qPrintable(reason));
        postMain(new ParsingThreadUpdate(ParsingThreadUpdate::LINE_ERROR, this, 0,
                                         QStringLiteral("Error opening file %1: %2").arg(fo.m_file, reason)));
        return;
    }
    if (r.reader.startsWithUtf16Mark()) {
        postMain(new ParsingThreadUpdate(ParsingThreadUpdate::LINE_ERROR, this, 0,
                                         QStringLiteral("Error: The file %1 holds UTF-16 text, which cannot be read as "
                                                        "data. Save it as UTF-8 or plain text and load it again.")
                                             .arg(fo.m_file)));
        return;
    }
    if (!fo.m_regex.isEmpty()) {
        std::string error;
        if (!r.regex.compile(fo.m_regex.toStdString(), &error)) {
            postMain(new ParsingThreadUpdate(
                ParsingThreadUpdate::LINE_ERROR, this, 0,
                QStringLiteral("Error: The regular expression \"%1\" is invalid: %2%3File: %4 was not read.")
                    .arg(fo.m_regex, QString::fromLocal8Bit(error.c_str()), QLatin1String(kIndent), fo.m_file)));
            return;
        }
        r.hasRegex = true;
    }
    r.size = r.reader.fileSize();
    r.progressTotal = fo.m_get > 0 ? fo.m_get : r.size;
    r.keyed = fo.m_keyColumn >= 0;
    if (!r.keyed) {
        for (std::size_t i = 0; i < r.ny; ++i)
            r.yIds.push_back(base + int(i));
        m_nextId = std::max(m_nextId, base + int(r.ny));
    }
    r.counters.assign(r.ny, 0);
    r.yCurves.assign(r.ny, nullptr);
    postMessage(QStringLiteral("Loading %1...").arg(fo.m_file));

    readLines(r);
    r.reader.close();
    if (!r.reader.error().isEmpty())
        postMain(new ParsingThreadUpdate(ParsingThreadUpdate::LINE_ERROR, this, 0,
                                         QStringLiteral("Error reading file %1: %2").arg(fo.m_file, r.reader.error())));
    if (r.reader.lineTooLong())
        postMain(new ParsingThreadUpdate(
            ParsingThreadUpdate::LINE_ERROR, this, 0,
            kro::import::lineTooLongText(
                static_cast<unsigned long long>(r.linesRead + 1 + std::max(fo.m_header, 0) + (long long)fo.m_skip),
                QStringLiteral("the file %1").arg(fo.m_file), r.reader.maxLineLength()) +
                QStringLiteral(" The rest of the file was not read; the %1 rows before it were kept.").arg(r.dataLines)));
    if (r.reader.truncated() || r.cut)
        postMain(new ParsingThreadUpdate(
            ParsingThreadUpdate::LINE_ERROR, this, 0,
            QStringLiteral("Warning: The file %1 became shorter while it was read (%2 of %3 bytes were read). The %4 "
                           "rows read were kept; load the file again for its present content.")
                .arg(fo.m_file)
                .arg(r.bytesRead)
                .arg(r.size)
                .arg(r.dataLines)));
    postMessage(QStringLiteral("Lines read: %1").arg(r.dataLines));

    // Trim reservations that the estimate overshot by much.
    for (CurveData* c : r.yCurves) {
        if (!c)
            continue;
        std::vector<double>& v = c->values.mut();
        if (v.capacity() > v.size() + v.size() / 4 + 1024)
            v.shrink_to_fit();
    }

    if (!r.keyed) {
        for (const int i : r.usedOrder) {
            const int index = curveIndex(r.yIds[std::size_t(i)]);
            postMain(new ParsingThreadUpdate(
                ParsingThreadUpdate::CURVE_TITLE, this, index,
                QStringLiteral("%1:%2").arg(fo.shownName()).arg(fo.m_yColumns[std::size_t(i)].column + 1)));
            ++m_curvesCreated;
        }
    } else {
        // One curve per key and y column: titled with the key alone when
        // there is one y column, else "key(n)" with the y column's number n.
        // A curve is titled once per run, when it first holds points.
        for (const std::string& key : r.keyOrder) {
            const int id = r.fileKeys.at(key);
            m_keyMap.emplace(std::make_pair(key, r.ny), id);
            const QString text = kro::import::textFromBytes(key);
            for (std::size_t n = 0; n < r.ny; ++n) {
                const int index = curveIndex(id + int(n));
                if (!m_curves.count(index) || !m_titled.insert(index).second)
                    continue;
                postMain(new ParsingThreadUpdate(ParsingThreadUpdate::CURVE_TITLE, this, index,
                                                 r.ny == 1 ? text : QStringLiteral("%1(%2)").arg(text).arg(n + 1)));
                ++m_curvesCreated;
            }
        }
    }
}

void ParsingThread::readLines(FileRun& r)
{
    const FileObject& fo = r.fo;
    LineParser& lp = m_lineParser;
    const char* b = nullptr;
    const char* e = nullptr;

    for (int i = 0; i < fo.m_header; ++i) {
        if (!r.reader.next(b, e)) {
            postMessage(QStringLiteral("Error. Header parameter too large. Not enough data rows to continue."));
            return;
        }
        r.bytesRead += e - b;
    }
    lp.setupDateTime(fo);
    if (fo.m_header != -1) {
        if (!r.reader.next(b, e))
            return;
        ++r.linesRead;
        r.bytesRead += e - b;
        lp.m_yTitles.clear();
        lp.m_xTitle = QString();
        lp.m_yTitle = QString();
        lp.parseLine(b, e, true);
        m_xTitle = lp.m_xTitle;
        m_yTitle = lp.m_yTitle;
        m_yTitles = lp.m_yTitles;
    }
    for (int i = 0; i < fo.m_skip; ++i) {
        if (!r.reader.next(b, e)) {
            postMessage(QStringLiteral("Error. Skip parameter too large. Not enough data rows to continue."));
            return;
        }
        r.bytesRead += e - b;
    }
    if (fo.m_skip > 0)
        postMessage(QStringLiteral("Starting read at line %1.")
                        .arg(qint64(std::max(fo.m_header, 0)) + (fo.m_header != -1 ? 1 : 0) + fo.m_skip));
    const long long lineOffset = std::max(fo.m_header, 0) + (long long)fo.m_skip;

    // Progress: data lines of the row limit, or bytes of the file; every
    // line read counts, also one the regular expression passes over.
    auto reportProgress = [&] {
        const std::int64_t value = fo.m_get > 0 ? r.dataLines : r.bytesRead;
        if (r.progressTotal > 0 && value * 100 >= std::int64_t(r.progressCounter + 1) * r.progressTotal) {
            postProgress(new ProgressBarUpdate(ProgressBarUpdate::PROGRESS, value));
            ++r.progressCounter;
        }
    };
    if (readLinesInParallel(r))
        return;
    while (r.reader.next(b, e)) {
        ++r.linesRead;
        r.bytesRead += e - b;
        if ((r.linesRead & (kStopCheckLines - 1)) == 0 && m_stop.load())
            break;
        if (r.hasRegex) {
            bool matched = false;
            try {
                matched = r.regex.matchesLine(b, e);
            } catch (const std::exception& ex) {
                postMain(new ParsingThreadUpdate(
                    ParsingThreadUpdate::LINE_ERROR, this, 0,
                    QStringLiteral("Error: The regular expression \"%1\" failed: %2%3File: %4, Line %5. The rest of "
                                   "the file was not read.")
                        .arg(fo.m_regex, QString::fromLocal8Bit(ex.what()), QLatin1String(kIndent), r.name)
                        .arg(r.linesRead + lineOffset)));
                break;
            }
            if (!matched) {
                reportProgress();
                continue;
            }
        }
        const int failure = lp.parseData(b, e);
        if (failure) {
            // A line that gives no point still has its number: with
            // numbered x the next points keep the x of their lines.
            if (fo.m_xColumn == -1 && !m_merge)
                for (long long& counter : r.counters)
                    ++counter;
            reportLineError(r, failure, lp.errorMessage(), r.linesRead + lineOffset);
            reportProgress();
            continue;
        }
        if (!lp.m_lineDateError)
            addPoints(r);
        if (r.stop)
            break;
        ++r.dataLines;
        if (fo.m_get > 0 && r.dataLines >= fo.m_get)
            break;
        reportProgress();
    }
}

void ParsingThread::reportLineError(FileRun& r, int kind, const char* message, long long lineNumber)
{
    const QString text = QString::fromLatin1(message);
    if (m_verbose) {
        postMain(new ParsingThreadUpdate(ParsingThreadUpdate::LINE_ERROR, this, 0,
                                         QStringLiteral("%1\n               File: %2, Line %3")
                                             .arg(text, r.name)
                                             .arg(lineNumber)));
        return;
    }
    if (kind < 1 || kind > LineParserException::NO_NUMBER || r.errorShown[kind])
        return;
    r.errorShown[kind] = true;
    postMain(new ParsingThreadUpdate(ParsingThreadUpdate::LINE_ERROR, this, 0,
                                     QStringLiteral("%1\n               File: %2\n               For display of "
                                                    "line numbers, enable verbose mode and run again.")
                                         .arg(text, r.name)));
}

namespace {

// Room for the points still to come, from the bytes left and the mean line
// length, so that a large file is read without repeated reallocation.
void reserveFor(std::vector<double>& v, std::int64_t bytesLeft, double lineLength, long long limit)
{
    long long lines = lineLength > 0 ? static_cast<long long>(double(bytesLeft) / lineLength * 1.02) + 64 : 1024;
    if (limit > 0)
        lines = std::min(lines, limit + 1);
    v.reserve(v.size() + 2 * std::size_t(std::max(lines, 16LL)));
    kro::import::adviseHugePages(v);
}

// The factor of each y unit (pico, nano, micro, milli, none).
constexpr double kUnitFactors[] = {1e12, 1e9, 1e6, 1e3, 1.0};

int unitOf(double y)
{
    const double a = std::fabs(y);
    if (a < 1e-9)
        return ParsingThread::PICO;
    if (a < 1e-6)
        return ParsingThread::NANO;
    if (a < 1e-3)
        return ParsingThread::MICRO;
    if (a < 1)
        return ParsingThread::MILLI;
    return ParsingThread::NONE;
}

} // namespace

void ParsingThread::addPoints(FileRun& r)
{
    const FileObject& fo = r.fo;
    const LineParser& lp = m_lineParser;
    if (!lp.lineComplete())
        return;

    int keyId = -1;
    if (r.keyed) {
        auto it = r.fileKeys.find(lp.m_key);
        if (it != r.fileKeys.end())
            keyId = it->second;
    }
    const bool noZ = kro::import::zMissing(fo, lp);
    const XScale& xs = fo.m_xScale;
    bool labelCurveKnown = !r.keyed;
    // The x offset and the y unit, once the first point has set them.
    auto shift = [this](double& x, double& y) {
        x -= m_xOffset;
        if (m_yOffsetFlag)
            y *= kUnitFactors[m_yUnit];
    };

    for (std::size_t i = 0; i < r.ny; ++i) {
        double x;
        if (fo.m_xColumn == -1) {
            if (!m_merge)
                x = double(r.counters[i]++);
            else
                x = double(m_runningPoint++) * xs.mul / xs.div + xs.add - xs.sub;
        } else {
            x = lp.m_x;
        }
        double y = 0.0;
        if (!kro::import::columnPoint(fo, lp, i, noZ, x, y))
            continue;
        if (m_firstPoint) {
            if (m_xOffsetFlag)
                m_xOffset = std::trunc(x);
            if (m_yOffsetFlag)
                m_yUnit = unitOf(y);
            m_firstPoint = false;
        }
        shift(x, y);

        CurveData* curve = nullptr;
        int index = 0;
        if (!r.keyed) {
            curve = r.yCurves[i];
            if (!curve) {
                index = curveIndex(r.yIds[i]);
                curve = &m_curves[index];
                r.yCurves[i] = curve;
                r.usedOrder.push_back(int(i));
                m_meanMap[index] = fo.m_mean;
                const long long limit = fo.m_get > 0 ? fo.m_get : -1;
                reserveFor(curve->values.mut(), r.size - r.bytesRead + 1, r.reader.sampleLineLength(), limit);
            }
        } else {
            if (keyId < 0) {
                auto run = m_keyMap.find(std::make_pair(lp.m_key, r.ny));
                if (run != m_keyMap.end()) {
                    keyId = run->second;
                } else {
                    keyId = m_nextId;
                    m_nextId += int(r.ny);
                }
                r.fileKeys.emplace(lp.m_key, keyId);
                r.keyOrder.push_back(lp.m_key);
            }
            labelCurveKnown = true;
            index = curveIndex(keyId + int(i));
            curve = &m_curves[index];
            m_meanMap[index] = fo.m_mean;
        }
        try {
            auto& v = curve->values.mut();
            if (v.size() + 2 > v.capacity() && !r.keyed && r.linesRead > 0) {
                const double mean = double(r.bytesRead) / double(r.linesRead);
                reserveFor(v, r.size - r.bytesRead + 1, mean, -1);
            }
            v.push_back(x);
            v.push_back(y);
        } catch (const std::bad_alloc&) {
            if (curve->values.size() % 2)
                curve->values.mut().pop_back();
            postMain(new ParsingThreadUpdate(ParsingThreadUpdate::OUT_OF_MEMORY, this));
            r.stop = true;
            return;
        }
    }

    if (fo.m_labelColumn >= 0 && lp.m_annotation.x != LineParser::NOT_SET && lp.m_annotation.y != LineParser::NOT_SET
        && !lp.m_annotation.text.empty() && labelCurveKnown) {
        // The label sits where its point is drawn: the point's remainders,
        // x offset and y unit apply to it too.
        PointAnnotation a;
        a.x = lp.m_annotation.x;
        a.y = lp.m_annotation.y;
        kro::import::takeRemainders(a.x, a.y, xs.mod, fo.m_yColumns.back().mod);
        shift(a.x, a.y);
        a.text = kro::import::textFromBytes(lp.m_annotation.text);
        a.curveId = curveIndex(r.keyed ? keyId + int(r.ny) - 1 : r.yIds.back());
        m_annotations.push_back(std::move(a));
    }
}
