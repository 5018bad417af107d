#pragma once
// ParsingThread: the worker thread that loads the data files of one plot
// command into curves. It reads the files one after the other, reports
// progress to the progress receiver and titles, messages and warnings to the
// main receiver through posted events, and ends by posting the finished
// event (1002) that carries the thread itself. The receiver then takes the
// results out of the thread object, waits for the thread and deletes it.
#include "core/curvedata.h"
#include "core/fileutils.h"
#include "core/plotoptions.h"
#include "import/fileobject.h"
#include "import/lineparser.h"
#include "import/parsingevents.h"
#include "plot/plottypes.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// The curve indices that the loads running into one plot have taken, shared
// by those loads so that two of them never fill the same index.
struct CurveIndexClaims {
    std::mutex mutex;
    std::set<int> claimed;
};

class ParsingThread : public QThread {
    Q_OBJECT

public:
    // The y unit chosen with the y-offset flag.
    enum YUnit { PICO = 0, NANO = 1, MICRO = 2, MILLI = 3, NONE = 4 };

    ParsingThread(QObject* progressReceiver, QObject* mainReceiver);
    // Stops a running load and waits for it before the object goes.
    ~ParsingThread() override;

    // Set by the creator before start().
    void setFileObjects(const std::vector<FileObject>& files) { m_files = files; }
    void setPlotOptions(const PlotOptions& options) { m_options = options; }
    void setFirstCurveIndex(int index) { m_firstCurve = index; }
    // Curve indices the target plot already uses (appending): the loader's
    // curves take the free indices from the first curve index on and never
    // one of these.
    void setOccupiedIndices(std::vector<int> indices);
    // Indices claimed by the other loads into the same plot: each load
    // claims the indices it gives its curves and takes no claimed one.
    void setIndexClaims(std::shared_ptr<CurveIndexClaims> claims) { m_claims = std::move(claims); }
    const std::shared_ptr<CurveIndexClaims>& indexClaims() const { return m_claims; }
    void setVerbose(bool on) { m_verbose = on; }
    void setMerge(bool on) { m_merge = on; }
    void setXOffsetFlag(bool on) { m_xOffsetFlag = on; }
    void setYOffsetFlag(bool on) { m_yOffsetFlag = on; }
    // Files with at least this many bytes of data lines are read in parts on
    // several cores (32 MB unless set), each part at least a quarter of it.
    void setPartsFrom(std::int64_t bytes) { m_partsFrom = bytes; }
    // Asks a running load to stop soon; it still posts its finished event.
    void requestStop() { m_stop.store(true); }

    // Results, read after the finished event.
    CurveMap& curves() { return m_curves; }
    const CurveMap& curves() const { return m_curves; }
    const std::vector<PointAnnotation>& annotations() const { return m_annotations; }
    const std::map<int, bool>& meanMap() const { return m_meanMap; }
    int yUnit() const { return m_yUnit; }
    double xOffset() const { return m_xOffset; }
    const QString& missingFile() const { return m_missingFile; }
    const QStringList& yTitles() const { return m_yTitles; }
    const QString& xTitle() const { return m_xTitle; }
    const QString& yTitle() const { return m_yTitle; }
    const PlotOptions& plotOptions() const { return m_options; }
    const std::vector<FileObject>& fileObjects() const { return m_files; }
    int firstCurveIndex() const { return m_firstCurve; }

    // Posts a 1005 text, in verbose mode only.
    void postMessage(const QString& text);
    // A named stopwatch in microseconds; 0 outside verbose mode.
    long long timer(int id, int command);

protected:
    void run() override;

private:
    struct FileRun;
    void loadFile(const FileObject& source, int base);
    void readLines(FileRun& run);
    // Reads the data lines of a large file in chunks on several cores, with
    // the result of reading them in order (parsingthread_parallel.cpp);
    // false, with nothing changed, when the file or its options need the
    // reading in order.
    bool readLinesInParallel(FileRun& run);
    void addPoints(FileRun& run);
    // The curve index of a curve id of this run.
    int curveIndex(int id);
    void reportLineError(FileRun& run, int kind, const char* message, long long lineNumber);
    void postMain(QEvent* event);
    void postProgress(QEvent* event);

    QObject* m_progressReceiver = nullptr; // both outlive the thread: their owner waits for it
    QObject* m_mainReceiver = nullptr;
    int m_curvesCreated = 0;
    int m_firstCurve = 0;
    std::vector<int> m_occupied;    // sorted
    std::vector<int> m_freeIndices; // curve index of each id, filled as ids are used
    std::shared_ptr<CurveIndexClaims> m_claims;
    int m_nextId = 0; // lowest curve id no data source of this run has used
    long long m_runningPoint = 0;
    bool m_firstPoint = true;
    bool m_verbose = false;
    bool m_merge = false;
    int m_yUnit = NONE;
    QString m_missingFile = QStringLiteral(""); // empty: none missing; null: a source without a name
    QStringList m_yTitles;
    QString m_xTitle;
    QString m_yTitle;
    bool m_xOffsetFlag = false;
    bool m_yOffsetFlag = false;
    double m_xOffset = 0.0;
    std::vector<FileObject> m_files;
    // (key text, number of y columns) -> id of the key's first y column's curve
    std::map<std::pair<std::string, std::size_t>, int> m_keyMap;
    std::set<int> m_titled;              // keyed curves already titled in this run
    LineParser m_lineParser;
    std::map<int, bool> m_meanMap;
    CurveMap m_curves;
    std::vector<PointAnnotation> m_annotations;
    PlotOptions m_options;
    SCUtilities::StopwatchSet m_stopwatches;
    std::atomic<bool> m_stop{false};
    std::int64_t m_partsFrom = std::int64_t(32) << 20;
};
