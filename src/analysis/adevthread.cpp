#include "analysis/adevthread.h"

#include <QCoreApplication>
#include <QMutexLocker>

#include <algorithm>
#include <exception>
#include <set>
#include <thread>

namespace {
QString progressLine(const AdevRequest& job, const QString& percent)
{
    return QStringLiteral("C%1 - %2 : %3%").arg(job.curve + 1).arg(adevTypeName(job.types), percent);
}
} // namespace

AdevThread::AdevThread(QObject* receiver, const CurveMap& curves, std::vector<AdevRequest> requests, double yScale)
    : m_receiver(receiver), m_yScale(yScale)
{
    std::set<int> wanted;
    for (const AdevRequest& r : requests)
        if (r.types & ADEV_ALL_TYPES)
            wanted.insert(r.curve);
    for (int id : wanted) {
        auto it = curves.find(id);
        if (it != curves.end())
            m_curves.emplace(id, it->second);  // shares the values: nothing is copied
    }
    // The result key of a (request, statistic) pair: its place when the
    // requests are taken in order, each with its statistics in order.
    std::vector<int> firstKey;
    int keys = 0;
    for (const AdevRequest& r : requests) {
        firstKey.push_back(keys);
        for (int bit = NORMAL; bit <= MTIE; bit <<= 1)
            keys += (r.types & bit) ? 1 : 0;
    }
    for (int bit = NORMAL; bit <= MTIE; bit <<= 1) {
        for (std::size_t ri = 0; ri < requests.size(); ++ri) {
            const AdevRequest& r = requests[ri];
            if (!(r.types & bit))
                continue;
            int key = firstKey[ri];
            for (int lower = NORMAL; lower < bit; lower <<= 1)
                key += (r.types & lower) ? 1 : 0;
            m_resultKeys.push_back(key);
            AdevRequest job = r;
            job.types = bit;
            job.job = int(m_jobs.size());
            job.name = QStringLiteral("%1 (%2)").arg(r.name, adevTypeName(bit));
            m_progress[job.job] = progressLine(job, QStringLiteral("0"));
            m_jobs.push_back(std::move(job));
        }
    }
}

AdevThread::~AdevThread()
{
    cancel();
    wait();
}

QString AdevThread::progressText() const
{
    QMutexLocker lock(&m_mutex);
    QString text;
    for (const auto& [job, line] : m_progress) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += line;
    }
    return text;
}

void AdevThread::setProgress(const AdevRequest& job, double percent)
{
    {
        QMutexLocker lock(&m_mutex);
        m_progress[job.job] = progressLine(job, QString::number(percent, 'f', 1));
    }
    QCoreApplication::postEvent(m_receiver, new AdevUpdateEvent(ADEVEVENT::PROGRESS, this));
}

void AdevThread::computeJob(AdevThread* engine, CurveData curve, AdevRequest job)
{
    AdevCurve result;
    QString error;
    const std::size_t samples = curve.values.size() / 2;
    try {
        // The y values are the phase samples; the x values are not used.
        const std::vector<double>& v = curve.values.vec();
        // Copied in parts, so that a cancel need not wait for a long copy.
        std::vector<double> x;
        const std::size_t count = v.size() / 2;
        x.reserve(count);
        for (std::size_t part = 0; part < count && !engine->cancelled(); part += std::size_t(1) << 18) {
            const std::size_t end = std::min(count, part + (std::size_t(1) << 18));
            for (std::size_t i = part; i < end; ++i)
                x.push_back(v[2 * i + 1]);
        }
        curve.values.clear();
        if (x.size() < count)
            x.clear();  // cancelled while copying: nothing to compute
        result = computeAdevCurve(
            x, job.types, job.interval, job.tau, engine->m_yScale, &engine->m_cancel,
            [&](double percent) { engine->setProgress(job, percent); }, engine->m_helpersPerJob);
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
        result.points.clear();
    } catch (...) {
        error = QStringLiteral("Unknown error in %1.").arg(job.name);
        result.points.clear();
    }

    const CurveData* stored = nullptr;
    const int key = engine->m_resultKeys[std::size_t(job.job)];
    {
        QMutexLocker lock(&engine->m_mutex);
        CurveData& c = engine->m_results[key];
        c.values = CurveValues(std::move(result.points));
        stored = &c;
    }
    auto* event = new AdevUpdateEvent(ADEVEVENT::RESULT, engine, stored, job.name, key);
    event->zeroSums = result.zeroSums;
    event->error = error;
    event->curve = job.curve;
    event->type = job.types;
    event->samples = samples;
    event->finished = result.finished;
    QCoreApplication::postEvent(engine->m_receiver, event);
}

void AdevThread::run()
{
    try {
        const int cores = std::max(1, int(std::thread::hardware_concurrency()));
        const int limit = m_maxWorkers > 0 ? m_maxWorkers : cores;
        const int jobs = int(m_jobs.size());
        const int workers = std::min(limit, jobs);
        // Cores left over when there are fewer jobs than cores go to the
        // factors of the jobs with many averaging times.
        m_helpersPerJob = jobs > 0 ? std::max(1, limit / jobs) : 1;

        std::atomic<int> next{0};
        auto work = [this, &next]() {
            for (;;) {
                const int i = next.fetch_add(1);
                if (i >= int(m_jobs.size()))
                    return;
                const AdevRequest& job = m_jobs[std::size_t(i)];
                auto it = m_curves.find(job.curve);
                computeJob(this, it != m_curves.end() ? it->second : CurveData(), job);
            }
        };
        std::vector<std::thread> pool;
        for (int w = 1; w < workers; ++w) {
            try {
                pool.emplace_back(work);
            } catch (const std::system_error&) {
                break;  // the engine thread and the workers started do the rest
            }
        }
        work();
        for (std::thread& t : pool)
            t.join();
    } catch (...) {
        // computeJob catches its own errors; nothing else can throw here
        // but thread bookkeeping, and DONE must follow in any case.
    }
    QCoreApplication::postEvent(m_receiver, new AdevUpdateEvent(ADEVEVENT::DONE, this));
}
