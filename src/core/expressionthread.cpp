#include "core/expressionthread.h"

#include <QCoreApplication>
#include <QStringList>

#include <cmath>
#include <algorithm>
#include <exception>
#include <limits>
#include <system_error>
#include <thread>

ExpressionThread::ExpressionThread(QObject* receiver, const QString& expression, const QString& title,
                                   bool removeExisting, QObject* parent)
    : QThread(parent), m_receiver(receiver), m_expression(expression), m_title(title),
      m_removeExisting(removeExisting)
{
}

ExpressionThread::~ExpressionThread() { wait(); }

void ExpressionThread::addInput(const std::string& key, CurveData aligned)
{
    CurveData& stored = m_curves[key];
    stored = std::move(aligned);
    m_inputs[key] = ExpressionInput::over(stored);
}

std::size_t evaluateExpressionPart(const CompiledExpression& expression, std::vector<ExpressionInput> cursors,
                                   double* out, std::size_t capacity, int& errors, std::atomic<bool>& allZero)
{
    std::size_t written = 0;
    if (cursors.empty())
        return written;
    // Every input steps on together; the part ends with the first input
    // that has no point left, or when out is full.
    std::size_t points = std::numeric_limits<std::size_t>::max();
    for (const ExpressionInput& c : cursors) {
        if (c.atEnd())
            return written;
        points = std::min(points, static_cast<std::size_t>(c.end - c.x) / 2);
    }
    constexpr std::size_t kBlock = CompiledExpression::kBlock;
    std::vector<const double*> columns(2 * cursors.size(), nullptr);
    std::vector<double> values(kBlock);
    std::vector<unsigned char> ok(kBlock);
    ExpressionEvaluator evaluator;
    bool nonZero = false;
    for (std::size_t done = 0; done < points;) {
        const std::size_t n = std::min({kBlock, points - done, (capacity - written) / 2});
        if (n == 0)
            break;
        for (std::size_t i = 0; i < cursors.size(); ++i) {
            columns[2 * i] = cursors[i].x + 2 * done;
            columns[2 * i + 1] = cursors[i].y + 2 * done;
        }
        expression.evaluateBlock(columns.data(), 2, n, values.data(), ok.data(), &evaluator);
        const double* x = cursors.front().x + 2 * done;
        for (std::size_t j = 0; j < n; ++j) {
            const double value = values[j];
            // A value without ok (the scan stopped early) is no data point.
            if (ok[j] && std::isfinite(value)) {
                out[written] = x[2 * j];
                out[written + 1] = value;
                written += 2;
            } else {
                ++errors;
            }
            nonZero = nonZero || (ok[j] && value != 0);
        }
        done += n;
    }
    if (nonZero)
        allZero.store(false, std::memory_order_relaxed);
    return written;
}

void ExpressionThread::evaluateChunk(ExpressionThread* thread, const CompiledExpression* expression,
                                     std::map<std::string, ExpressionInput> inputs, int* errorCount, int part)
{
    *errorCount = 0;
    try {
        std::vector<ExpressionInput> cursors;
        for (const auto& [key, in] : inputs)
            cursors.push_back(in);
        const std::size_t p = static_cast<std::size_t>(part);
        thread->m_partWritten[p] =
            evaluateExpressionPart(*expression, std::move(cursors), thread->m_result.values.mut().data() + thread->m_partOffset[p],
                                   thread->m_partCapacity[p], *errorCount, thread->m_allZero);
    } catch (const std::exception& e) {
        thread->m_partFailures[static_cast<std::size_t>(part)] = QString::fromLocal8Bit(e.what());
    } catch (...) {
        thread->m_partFailures[static_cast<std::size_t>(part)] = QStringLiteral("Unknown error in an expression worker.");
    }
}

void ExpressionThread::run()
{
    m_timer.start();
    try {
        m_result.values.clear();
        m_errorCount = 0;
        if (m_inputs.empty())
            throw std::runtime_error("No curve was given to the expression.");
        QStringList keys;
        for (const auto& [key, in] : m_inputs)
            keys << QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
        const CompiledExpression compiled = CompiledExpression::compile(m_expression, keys);

        const ExpressionInput& first = m_inputs.begin()->second;
        const long long n = (first.end - first.begin) / 2;
        const int parts = partCount(n);
        const long long d = parts == 1 ? n : n / parts;

        // Every part writes into its own stretch of the result, two values
        // per point; the stretches are closed up afterwards.
        m_result.values.assign(static_cast<std::size_t>(2 * std::max(n, 0LL)), 0.0);
        m_partOffset.assign(static_cast<std::size_t>(parts), 0);
        m_partCapacity.assign(static_cast<std::size_t>(parts), 0);
        m_partWritten.assign(static_cast<std::size_t>(parts), 0);
        m_partFailures.assign(static_cast<std::size_t>(parts), {});
        std::vector<int> errors(static_cast<std::size_t>(parts), 0);
        std::vector<std::map<std::string, ExpressionInput>> partInputs;
        for (int i = 0; i < parts; ++i) {
            const long long points = i + 1 < parts ? d : n - d * (parts - 1);
            const long long e = i * d;
            m_partOffset[static_cast<std::size_t>(i)] = static_cast<std::size_t>(2 * e);
            m_partCapacity[static_cast<std::size_t>(i)] = static_cast<std::size_t>(2 * std::max(points, 0LL));
            std::map<std::string, ExpressionInput> copy = m_inputs;
            for (auto& [key, c] : copy) {
                if (2 * e < c.end - c.y) {
                    c.x += 2 * e;
                    c.y += 2 * e;
                } else {
                    c.x = c.y = c.end;
                }
                if (i + 1 < parts) {
                    c.begin = c.x;
                    if (c.x != c.end) {
                        c.y = c.x + 1;
                        if (2 * d < c.end - (c.x + 1))
                            c.end = c.x + 2 * d;
                    }
                }
            }
            partInputs.push_back(std::move(copy));
        }

        std::vector<std::thread> workers;
        std::vector<int> here;
        for (int i = 0; i < parts; ++i) {
            try {
                workers.emplace_back(&ExpressionThread::evaluateChunk, this, &compiled,
                                     partInputs[static_cast<std::size_t>(i)], &errors[static_cast<std::size_t>(i)], i);
            } catch (const std::system_error&) {
                // No thread to be had: this part runs here instead.
                here.push_back(i);
            }
        }
        for (int i : here)
            evaluateChunk(this, &compiled, partInputs[static_cast<std::size_t>(i)], &errors[static_cast<std::size_t>(i)],
                          i);
        for (std::thread& w : workers)
            w.join();

        for (const QString& f : m_partFailures)
            if (!f.isEmpty())
                throw std::runtime_error(f.toStdString());
        std::size_t total = 0;
        m_partPoints.clear();
        double* values = m_result.values.mut().data();
        for (int i = 0; i < parts; ++i) {
            const std::size_t p = static_cast<std::size_t>(i);
            m_errorCount += errors[p];
            m_partPoints.push_back(static_cast<long long>(m_partWritten[p] / 2));
            if (m_partOffset[p] != total)
                std::copy(values + m_partOffset[p], values + m_partOffset[p] + m_partWritten[p], values + total);
            total += m_partWritten[p];
        }
        m_result.values.resize(total);
        m_result.values.shrink_to_fit();
    } catch (const std::exception& e) {
        m_failure = QString::fromLocal8Bit(e.what());
        m_result.values.clear();
    } catch (...) {
        m_failure = QStringLiteral("Unknown error while evaluating the expression.");
        m_result.values.clear();
    }
    m_elapsedMs = m_timer.elapsed();
    if (m_notify && m_receiver)
        QCoreApplication::postEvent(m_receiver, new ExpressionThreadDone(this));
}
