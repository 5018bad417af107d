#pragma once
// One Allan-deviation run over the curves of a plot: the requests (one per
// curve) become jobs of one curve and one statistic, which worker threads
// compute at the same time; each job's result curve of (averaging time,
// deviation) points reaches the receiving object as a posted event.
#include <QEvent>
#include <QMutex>
#include <QThread>

#include <atomic>
#include <map>
#include <vector>

#include "analysis/adevengine.h"
#include "core/curvedata.h"
#include "core/eventtypes.h"

class AdevThread;

namespace ADEVEVENT {
enum Type : int {
    RESULT = KroEvent::ADEV_RESULT,      // one result curve is stored
    PROGRESS = KroEvent::ADEV_PROGRESS,  // the progress texts changed
    DONE = KroEvent::ADEV_DONE,          // the run is over
};
}

// The event an engine posts to its receiver.
class AdevUpdateEvent : public QEvent {
public:
    AdevUpdateEvent(ADEVEVENT::Type type, AdevThread* thread, const CurveData* result = nullptr,
                    const QString& title = QString(), int key = 0)
        : QEvent(KroEvent::qtType(KroEvent::Type(type))), thread(thread), result(result), title(title), key(key)
    {
    }

    AdevThread* thread;
    // RESULT only: the stored curve (valid while the engine lives), the job
    // title and the key of the curve among the results.
    const CurveData* result;
    QString title;
    int key;
    // RESULT only: averaging times left out because their deviation is 0,
    // and the text of an error that ended the job early (empty: none).
    int zeroSums = 0;
    QString error;
    // RESULT only: the source curve's id, the statistic, the number of
    // samples, and whether
    // the job ran through all its averaging times (not cancelled).
    int curve = -1;
    int type = 0;
    std::size_t samples = 0;
    bool finished = false;
};

class AdevThread : public QThread {
public:
    // Builds the jobs (all normal-deviation jobs first, in request order,
    // then the overlapping ones, and so on), their result keys (request by
    // request, each request's statistics in the order Normal .. MTIE) and
    // their progress texts; starts nothing. Only the curves the requests name
    // are kept.
    AdevThread(QObject* receiver, const CurveMap& curves, std::vector<AdevRequest> requests, double yScale);
    // Cancels a running engine and waits for it.
    ~AdevThread() override;

    // Every job stops before its next averaging factor; results computed so
    // far are still delivered, followed by DONE.
    void cancel() { m_cancel.store(true); }
    bool cancelled() const { return m_cancel.load(); }

    const std::vector<AdevRequest>& jobs() const { return m_jobs; }
    // The progress texts of all jobs in job order, one per line (read under
    // the mutex).
    QString progressText() const;
    // The number of jobs computed at the same time (at most the number of
    // cores); tests may lower it before start().
    void setMaxWorkers(int n) { m_maxWorkers = n; }

    // The body of one job: a copy of its curve and of the job.
    static void computeJob(AdevThread* engine, CurveData curve, AdevRequest job);

    QObject* m_receiver;
    CurveMap m_curves;
    // Keyed in the order of the requests, statistic by statistic within a
    // curve (not in the order jobs finish), so result curves keep their ids
    // from run to run.
    std::map<int, CurveData> m_results;
    // The result key of each job, by job number.
    std::vector<int> m_resultKeys;
    double m_yScale;
    std::vector<AdevRequest> m_jobs;
    std::map<int, QString> m_progress;
    mutable QMutex m_mutex;
    std::atomic<bool> m_cancel{false};

protected:
    void run() override;

private:
    void setProgress(const AdevRequest& job, double percent);
    int m_maxWorkers = 0;
    int m_helpersPerJob = 1;
};
