// Plotter: the arithmetic command on the plot's curves and its builder dialog.
#include <cmath>
#include <exception>

#include "analysis/arithdiag.h"
#include "analysis/arithmetic.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"

void Plotter::arithmeticCommand(const QString& line)
{
    try {
        const arith::StatisticSource source{
            [this](int code, bool overY, const IdArray& ids) { return aggregateStatistic(code, overY ? 1 : 0, ids); },
            [this](int code, bool overY) { return curveStatistics(code, overY ? 1 : 0); }};
        const arith::ArithmeticParse parsed = arith::parseArithmeticCommand(line, source);
        if (!parsed.command) {
            Q_EMIT transcript(parsed.error);
            return;
        }
        const arith::ArithmeticCommand& cmd = *parsed.command;
        if (!cmd.conversion.isEmpty())
            Q_EMIT verbose(ZEVOVE::INFO, cmd.conversion);

        cache(0);
        const QString mark = cmd.axis == arith::Y_AXIS ? QStringLiteral("(y)") : QStringLiteral("(x)");
        for (int id : resolveCurveIds(cmd.targets).ids()) {
            if (!curveExists(id)) {
                Q_EMIT transcript(tr("Warning (arithemtic): Curve %1 does not exists.").arg(id + 1));
                continue;
            }
            double value = cmd.value;
            if (cmd.perCurve) {
                const auto it = cmd.perCurve->find(id);
                value = it == cmd.perCurve->end() ? std::nan("") : it->second;
                // A statistic that could not be taken (one point has no
                // deviation) would turn the whole curve into non-numbers.
                if (!std::isfinite(value)) {
                    Q_EMIT transcript(tr("Warning (arithmetic): No valid value for C%1.").arg(id + 1));
                    continue;
                }
            }
            if (cmd.operation == arith::DIV && value == 0) {
                Q_EMIT transcript(tr("Warning (arithemtic): Cannot divide C%1 by 0.").arg(id + 1));
                continue;
            }
            applyArithmetic(value, id, cmd.operation, cmd.axis);
            const QString v = arith::shortNumber(value);
            const QString c = QString::number(id + 1);
            switch (cmd.operation) {
            case arith::ADD:
                Q_EMIT verbose(ZEVOVE::INFO, tr("Added %1 to C%2%3").arg(v, c, mark));
                break;
            case arith::SUB:
                Q_EMIT verbose(ZEVOVE::INFO, tr("Subtracted %1 from C%2%3").arg(v, c, mark));
                break;
            case arith::MUL:
                Q_EMIT verbose(ZEVOVE::INFO, tr("Multiplied C%2 by %1%3").arg(v, c, mark));
                break;
            default:
                Q_EMIT verbose(ZEVOVE::INFO, tr("Divided C%2 by %1%3").arg(v, c, mark));
                break;
            }
        }
        rescale();
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void Plotter::applyArithmetic(double value, int curveId, int operation, int axis)
{
    if (!curveExists(curveId))
        return;
    if (curveId == ALL_CURVES) {
        for (auto& [id, c] : m_curves)
            arith::applyArithmeticToValues(c.values.mut(), value, operation, axis);
        return;
    }
    arith::applyArithmeticToValues(m_curves[curveId].values.mut(), value, operation, axis);
}

void Plotter::arithDiag()
{
    try {
        delete m_arithDialog;
        std::vector<int> ids;
        std::vector<QColor> colours;
        QStringList titles;
        for (const auto& [id, c] : m_curves) {
            ids.push_back(id);
            colours.push_back(QColor::fromRgb(c.attributes.lineColor.rgb()));
            if (m_legend && m_legend->findItem(id))
                titles << m_legend->itemText(id);
        }
        auto* dialog = new ArithDiag(this, IdArray::fromIds(ids), colours, titles);
        m_arithDialog = dialog;
        connect(dialog, &ArithDiag::closed, this, &Plotter::arithDiagClosed);
        dialog->show();
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}
