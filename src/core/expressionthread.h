#pragma once
// Evaluates an expression over aligned curves away from the GUI thread: one
// part, or six parts on six threads when the first input has 10,000 points
// or more. The finite results are gathered in point order into one curve and
// ExpressionThreadDone (1022) is posted to the receiver as the thread's last
// act. The receiver owns the thread: it deletes it after the event (the
// destructor waits for the body to return).
#include "core/curvedata.h"
#include "core/eventtypes.h"
#include "core/expression.h"
#include "core/expressioninput.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QString>
#include <QThread>

#include <atomic>
#include <map>
#include <string>
#include <vector>

class ExpressionThread;

// The work of one part: evaluates expression at every point of the cursors
// (ordered as the keys the expression was compiled with) until the first of
// them runs out or out is full, writing (x of the first cursor, value) for
// every finite value to out and counting the others in errors; returns the
// number of values written. Clears allZero when a value is valid and not 0.
// A part in which some cursor has no point evaluates nothing.
std::size_t evaluateExpressionPart(const CompiledExpression& expression, std::vector<ExpressionInput> cursors,
                                   double* out, std::size_t capacity, int& errors, std::atomic<bool>& allZero);

inline constexpr int EXPRESSIONDONE = KroEvent::EXPRESSION_DONE;

class ExpressionThreadDone : public QEvent {
public:
    explicit ExpressionThreadDone(ExpressionThread* thread)
        : QEvent(KroEvent::qtType(KroEvent::EXPRESSION_DONE)), m_thread(thread)
    {
    }
    ExpressionThread* thread() const { return m_thread; }

private:
    ExpressionThread* m_thread;
};

class ExpressionThread : public QThread {
    Q_OBJECT
public:
    // The number of points from which the work is split into six parts.
    static constexpr long long kSplitThreshold = 10000;
    static constexpr int kParts = 6;

    // expression: the text to evaluate, prepared by the creator; title: the
    // expression as the user entered it.
    ExpressionThread(QObject* receiver, const QString& expression, const QString& title, bool removeExisting,
                     QObject* parent = nullptr);
    // Waits for the body when it is still running.
    ~ExpressionThread() override;

    // Adds a referenced curve under its reference as written ("C1", "c1"),
    // as an aligned copy that the thread keeps. Before start() only.
    void addInput(const std::string& key, CurveData aligned);
    // When set (the default), run() posts ExpressionThreadDone at its end.
    void setNotify(bool notify) { m_notify = notify; }

    // The cursors of the inputs, in key order.
    const std::map<std::string, ExpressionInput>& inputs() const { return m_inputs; }
    const QString& expression() const { return m_expression; }
    const QString& title() const { return m_title; }
    bool removeExisting() const { return m_removeExisting; }
    QObject* receiver() const { return m_receiver; }

    // Results, valid after the event (or once the thread has finished).
    const CurveData& result() const { return m_result; }
    int errorCount() const { return m_errorCount; }
    bool allZero() const { return m_allZero.load(); }
    qint64 elapsedMs() const { return m_elapsedMs; }
    // Why the run produced nothing, when it failed (empty otherwise).
    const QString& failure() const { return m_failure; }
    // The number of parts used for a first input of n points.
    static int partCount(long long n) { return n < kSplitThreshold ? 1 : kParts; }
    // The number of valid points each part delivered, in part order.
    const std::vector<long long>& partPoints() const { return m_partPoints; }

    // One worker: evaluates the points of one part.
    static void evaluateChunk(ExpressionThread* thread, const CompiledExpression* expression,
                              std::map<std::string, ExpressionInput> inputs, int* errorCount, int part);

protected:
    void run() override;

private:
    QObject* m_receiver;
    std::map<std::string, CurveData> m_curves;
    std::map<std::string, ExpressionInput> m_inputs;
    // Where each part writes in the result's values, and how many it wrote.
    std::vector<std::size_t> m_partOffset;
    std::vector<std::size_t> m_partCapacity;
    std::vector<std::size_t> m_partWritten;
    std::vector<long long> m_partPoints;
    QString m_expression;
    QString m_title;
    QElapsedTimer m_timer;
    CurveData m_result;
    int m_errorCount = 0;
    std::atomic<bool> m_allZero{true};
    bool m_removeExisting;
    bool m_notify = true;
    qint64 m_elapsedMs = 0;
    QString m_failure;
    std::vector<QString> m_partFailures;
};
