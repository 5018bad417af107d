// Plotter: least-squares polynomial fits drawn over the data, replacing it,
// reported only, or subtracted from it; and the buttons that ask for the
// order and mode and run the equivalent command.
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cmath>
#include <exception>

#include "analysis/polymodel.h"
#include "core/exceptions.h"
#include "platform/prompter.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"

namespace {
const char* const kFitWords[] = {"overlay", "replace", "model", "detrend"};
enum FitMode { FIT_OVERLAY = 0, FIT_REPLACE = 1, FIT_MODEL = 2, FIT_DETREND = 3 };

} // namespace

int Plotter::promptFitMode(const QString& word)
{
    if (word.isNull()) {
        QMessageBox box(QMessageBox::Question, tr("Model Polynomial"), tr("Choose or press Esc"), QMessageBox::NoButton,
                        this);
        QPushButton* buttons[3] = {box.addButton(tr("Overlay"), QMessageBox::AcceptRole),
                                   box.addButton(tr("Replace"), QMessageBox::AcceptRole),
                                   box.addButton(tr("Model Only"), QMessageBox::AcceptRole)};
        // Esc needs a button to press: one that is never shown.
        QAbstractButton* escape = box.addButton(QMessageBox::Cancel);
        escape->hide();
        box.setEscapeButton(escape);
        box.setDefaultButton(buttons[0]);
        kro::prompter().execDialog(&box);
        for (int i = 0; i < 3; ++i)
            if (box.clickedButton() == buttons[i])
                return i;
        return -1;
    }
    const QString w = word.toLower();
    for (int i = 0; i < 4; ++i)
        if (w == QLatin1String(kFitWords[i]))
            return i;
    return -1;
}

void Plotter::detrendLin() { detrendPoly(1); }
void Plotter::detrendQuad() { detrendPoly(2); }
void Plotter::detrendCubic() { detrendPoly(3); }
void Plotter::modelLin() { modelPoly(1); }
void Plotter::modelQuad() { modelPoly(2); }
void Plotter::modelCubic() { modelPoly(3); }

namespace {
std::optional<int> askFitOrder(QWidget* parent)
{
    return kro::prompter().getInt(parent, QCoreApplication::translate("Plotter", "Polynomial order"),
                                  QCoreApplication::translate("Plotter", "Order"), 4, 1, kMaxFitOrder, 1);
}
} // namespace

void Plotter::detrendPoly(int order)
{
    if (order == 0) {
        const std::optional<int> n = askFitOrder(this);
        if (!n) {
            Q_EMIT verbose(ZEVOVE::INFO, tr("Curve detrend canceled."));
            return;
        }
        order = *n;
    }
    Q_EMIT command(QStringLiteral("poly%1 detrend").arg(order));
}

void Plotter::modelPoly(int order)
{
    const int mode = promptFitMode(QString());
    bool confirmed = mode >= 0;
    if (order == 0 && confirmed) {
        const std::optional<int> n = askFitOrder(this);
        confirmed = n.has_value();
        order = n.value_or(0);
    }
    if (!confirmed) {
        Q_EMIT verbose(ZEVOVE::INFO, tr("Curve fit canceled."));
        return;
    }
    Q_EMIT command(QStringLiteral("poly%1 %2").arg(order).arg(QLatin1String(kFitWords[mode])));
}

void Plotter::poly(int order, const QString& mode) { fitCurves(order, mode, nullptr); }

void Plotter::poly(int order, const QString& mode, const IdArray& ids) { fitCurves(order, mode, &ids); }

void Plotter::fitCurves(int order, const QString& word, const IdArray* given)
{
    try {
        const int mode = promptFitMode(word);
        if (mode < 0 && word.isNull()) {
            Q_EMIT verbose(ZEVOVE::INFO, tr("Curve fit canceled."));
            return;
        }
        if (mode < 0) {
            Q_EMIT transcript(tr("Error: \"%1\" is not a fit mode; use overlay, replace, model or detrend.").arg(word));
            return;
        }
        if (order < 1) {
            Q_EMIT transcript(tr("Error: The order of a polynomial fit must be at least 1; %1 was given.").arg(order));
            return;
        }
        if (order > kMaxFitOrder) {
            Q_EMIT transcript(tr("Error: The order of a polynomial fit may be at most %1.").arg(kMaxFitOrder));
            return;
        }
        if (mode != FIT_MODEL)
            cache(0);
        const IdArray ids = given ? resolveCurveIds(*given)
                                  : promptCurves(true, nullptr, mode == FIT_DETREND ? tr("Detrend") : tr("Model"));
        QStringList report;
        ListedCurve at;
        while (CurveData* c = nextListedCurve(ids, at)) {
            const int id = at.id;
            PolynomialModel model;
            try {
                model = fitPolynomial(c->values, order);
            } catch (const std::invalid_argument& e) {
                Q_EMIT transcript(tr("Error: C%1 was not fitted: %2").arg(id + 1).arg(QString::fromLocal8Bit(e.what())));
                continue;
            }
            if (mode == FIT_OVERLAY) {
                std::vector<double> fitted;
                fitted.reserve(c->values.size());
                for (std::size_t i = 0; i + 1 < c->values.size(); i += 2) {
                    fitted.push_back(c->values[i]);
                    fitted.push_back(model(c->values[i]));
                }
                const QString source = m_legend->findItem(id) ? m_legend->itemText(id) : QString();
                const int target = nextFreeCurveId();
                setCurveData(target, CurveData(std::move(fitted)), false);
                setCurveTitle(target, tr("poly%1(%2)").arg(order).arg(source));
            } else if (mode == FIT_REPLACE || mode == FIT_DETREND) {
                std::vector<double>& v = c->values.mut();
                for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
                    // A point without a usable x keeps its value.
                    if (!std::isfinite(v[i]))
                        continue;
                    v[i + 1] = mode == FIT_REPLACE ? model(v[i]) : v[i + 1] - model(v[i]);
                }
            }
            report << polynomialEquation(id, model, mode == FIT_DETREND);
        }
        if (report.isEmpty())
            return;
        if (mode == FIT_DETREND) {
            Q_EMIT verbose(ZEVOVE::INFO, report.join(QLatin1Char('\n')));
            rescale();
        } else {
            Q_EMIT transcript(report.join(QLatin1Char('\n')));
            plot();
        }
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}
