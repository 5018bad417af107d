// Plotter: curve expressions. The expression is prepared and its curves
// aligned here; an ExpressionThread evaluates it (in parallel parts for long
// curves) and the result becomes a new curve when the worker is done. The
// plot owns its workers: its destructor waits for them.
#include <QCoreApplication>
#include <QEvent>

#include <algorithm>
#include <exception>

#include "analysis/expressionprep.h"
#include "core/expressionthread.h"
#include "platform/inputdialog.h"
#include "plot/plotter.h"

namespace {
QString checkYourExpression(const QString& warning, const QString& text)
{
    return warning + QCoreApplication::translate("Plotter", "\nPlease check your expression: %1").arg(text);
}
} // namespace

void Plotter::expression(const QString& text, bool wait)
{
    try {
        QString entered = text;
        bool removeExisting = false;
        if (text.isNull()) {
            if (m_curves.empty())
                return;
            std::map<int, quint32> colours;
            for (const auto& [id, c] : m_curves)
                colours.emplace(id, c.attributes.lineColor.value);
            bool ok = false;
            const auto [answer, flag] =
                InputDialog::getTextAndFlag(tr("Expression"), expressions::expressionPrompt(colours),
                                            tr("Remove existing curves?"), expressions::expressionHelp(), &ok, this);
            if (!ok)
                return;
            entered = answer;
            removeExisting = flag;
        }

        const std::optional<QString> prepared = expressions::prepareExpression(entered);
        if (!prepared) {
            Q_EMIT transcript(checkYourExpression(tr("Warning: Uh oh... no valid points were returned."), entered));
            return;
        }
        std::map<std::string, const CurveData*> inputs;
        for (const expressions::Reference& r : expressions::curveReferences(*prepared)) {
            if (!curveExists(r.id))
                return;
            inputs[r.text.toLatin1().toStdString()] = &m_curves.at(r.id);
        }
        if (inputs.empty()) {
            Q_EMIT transcript(
                tr("Warning: You must express curves to operate on using \"Cn\"\nwhere n is the curve number."));
            return;
        }
        // A text that is not one whole expression is refused before any
        // point is evaluated.
        QStringList keys;
        for (const auto& [key, c] : inputs)
            keys << QString::fromStdString(key);
        const QString problem =
            describeExpressionProblem(CompiledExpression::compile(*prepared, keys), &expressions::expressionTitle);
        if (!problem.isEmpty()) {
            Q_EMIT transcript(checkYourExpression(tr("Error: %1").arg(problem), entered));
            return;
        }
        std::map<std::string, CurveData> aligned = expressions::alignInputs(inputs);

        showMessage(tr("Running expression. Please wait..."), -1);
        auto* worker = new ExpressionThread(this, *prepared, entered, removeExisting);
        for (auto& [key, c] : aligned)
            worker->addInput(key, std::move(c));
        worker->setNotify(!wait);
        m_expressionThreads.push_back(worker);
        worker->start();
        if (wait) {
            // A script goes on only once the new curve is there.
            worker->wait();
            expressionFinished(worker);
        }
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void Plotter::expressionFinished(ExpressionThread* worker)
{
    const auto it = std::find(m_expressionThreads.begin(), m_expressionThreads.end(), worker);
    if (it == m_expressionThreads.end())
        return;
    m_expressionThreads.erase(it);
    worker->wait();
    try {
        const CurveData& result = worker->result();
        if (!worker->failure().isEmpty()) {
            Q_EMIT transcript(tr("Error: %1").arg(worker->failure()));
        } else if (result.empty()) {
            Q_EMIT transcript(
                checkYourExpression(tr("Warning: Uh oh... no valid points were returned."), worker->title()));
        } else if (worker->allZero()) {
            Q_EMIT transcript(
                checkYourExpression(tr("Warning: Uh oh... the expression returned all 0s."), worker->title()));
        } else {
            if (worker->errorCount() != 0)
                Q_EMIT verbose(ZEVOVE::WARNING,
                               tr("Warning: A total of %1 points resulted in an undefined value.\nThis is typically "
                                  "due to divide-by-0 situations. These points have been removed.")
                                   .arg(worker->errorCount()));
            // The undo copy holds the curves as they were just before the
            // new one arrives.
            cache(0);
            if (worker->removeExisting())
                removeAllCurves();
            const int id = nextFreeCurveId();
            setCurveTitle(id, expressions::expressionTitle(worker->expression()));
            setCurveData(id, CurveData(result), false);
            // One redraw: the rescale's.
            rescale();
            Q_EMIT verbose(ZEVOVE::INFO, tr("Expression computation time: %1")
                                             .arg(double(worker->elapsedMs()) / 1000.0, 0, 'f', 3));
        }
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
    delete worker;
    deleteMsg();
}

