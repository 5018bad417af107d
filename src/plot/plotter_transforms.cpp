// Plotter: in-place transforms of the y values of chosen curves (scaling,
// mean removal, running sums, derivative, integral, n-th difference) and
// n-sigma trimming. Each asks for what it needs first, then takes the
// automatic undo copy, changes the curves, reports and rescales.
#include <exception>

#include "analysis/curvetransforms.h"
#include "analysis/trimming.h"
#include "analysis/timeunits.h"
#include "core/curvestats.h"
#include "platform/inputdialog.h"
#include "platform/prompter.h"
#include "plot/plotter.h"

#include <QSpinBox>

namespace {

// The curves a transform works on: the list given when it names curves;
// otherwise every curve, or the user's choice. Nothing when the user
// cancelled.
std::optional<IdArray> transformTargets(Plotter& plot, const IdArray* ids, bool everyCurve)
{
    IdArray resolved = ids ? plot.resolveCurveIds(*ids) : IdArray{0};
    if (!resolved.isEmpty())
        return resolved;
    if (everyCurve)
        return plot.resolveCurveIds(IdArray::all());
    bool accepted = true;
    IdArray asked = plot.promptCurves(true, &accepted);
    if (!accepted)
        return std::nullopt;
    return asked;
}

} // namespace

template <typename Change>
bool Plotter::transformCurves(const IdArray* ids, bool everyCurve, Change change)
{
    try {
        const std::optional<IdArray> list = transformTargets(*this, ids, everyCurve);
        if (!list)
            return false;
        cache(0);
        for (ListedCurve at; CurveData* c = nextListedCurve(*list, at);)
            change(at.id, *c);
        return true;
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
        return false;
    }
}

void Plotter::normalize(double lower, double upper) { normalize(lower, upper, IdArray{0}); }

void Plotter::normalize(double lower, double upper, const IdArray& ids)
{
    const bool done = transformCurves(&ids, true, [&](int, CurveData& c) {
        // A curve without spread (or without a number) cannot be scaled: it stays.
        if (c.values.size() >= 2)
            transforms::normalizeY(c.values.mut(), lower, upper);
    });
    if (done)
        rescale();
}

void Plotter::removeMean() { removeMean(IdArray{0}); }

void Plotter::removeMean(const IdArray& ids)
{
    QString report;
    transformCurves(&ids, true, [&](int id, CurveData& c) {
        if (c.pointCount() < 2)
            return;
        const double m = meanY(c.values);
        transforms::subtractY(c.values.mut(), m);
        report += tr("Removed %1 from C%2.\n").arg(QString::number(m, 'g', 6), QString::number(id + 1));
    });
    if (!report.isEmpty()) {
        Q_EMIT verbose(ZEVOVE::INFO, report);
        rescale();
    }
}

void Plotter::removeMeanAggr() { removeMeanAggr(IdArray{0}); }

void Plotter::removeMeanAggr(const IdArray& ids)
{
    QString report;
    const double m = sumOfCurve(m_curves, ALL_CURVES, 1) / double(pointCountOfAllCurves(m_curves));
    transformCurves(&ids, true, [&](int id, CurveData& c) {
        if (c.pointCount() < 2)
            return;
        transforms::subtractY(c.values.mut(), m);
        report += tr("Removed %1 from C%2.\n").arg(QString::number(m, 'g', 6), QString::number(id + 1));
    });
    if (!report.isEmpty()) {
        Q_EMIT verbose(ZEVOVE::INFO, report);
        rescale();
    }
}

void Plotter::cumulativeSum() { cumulativeSumOf(nullptr); }
void Plotter::cumulativeSum(const IdArray& ids) { cumulativeSumOf(&ids); }

void Plotter::cumulativeSumOf(const IdArray* ids)
{
    if (transformCurves(ids, false, [](int, CurveData& c) { transforms::cumulativeSumY(c.values.mut()); }))
        rescale();
}

void Plotter::differentiate() { differentiateOf(nullptr); }
void Plotter::differentiate(const IdArray& ids) { differentiateOf(&ids); }

void Plotter::differentiateOf(const IdArray* ids)
{
    const bool done = transformCurves(ids, false, [](int, CurveData& c) {
        if (c.pointCount() >= 3)
            transforms::differentiateY(c.values.mut());
    });
    if (done)
        rescale();
}

void Plotter::integrate() { integrateOf(nullptr); }
void Plotter::integrate(const IdArray& ids) { integrateOf(&ids); }

void Plotter::integrateOf(const IdArray* ids)
{
    const bool done = transformCurves(ids, false, [](int, CurveData& c) {
        if (c.pointCount() >= 2)
            transforms::integrateY(c.values.mut());
    });
    if (done)
        rescale();
}

void Plotter::ndiff(int order) { ndiffOf(order, nullptr); }

void Plotter::ndiff(int order, const IdArray& ids) { ndiffOf(order, &ids); }

void Plotter::ndiffOf(int order, const IdArray* ids)
{
    if (order == -1) {
        InputDialog dialog(tr("Order"),
                           tr("<b><u>nth-Difference Order</u></b><p>"
                              "The order of the difference relates to how many times the\n"
                              "difference iterates. Order 1 is a 1st-difference. Order 2\n"
                              "is a 2nd-difference, and so on.\n\n"
                              "Kro performs this operation by creating difference filter\n"
                              "coefficients to filter the data in a single pass, instead\n"
                              "of performing differences of differences. This yields a\n"
                              "large performance increase for orders larger than 1.\n"
                              "The performance is roughly equivalent for order 1.\n"),
                           this, 7);
        dialog.setWindowTitle(tr("n-Difference Order"));
        dialog.spinBox()->setRange(1, 2147483647);
        dialog.spinBox()->setValue(1);
        if (kro::prompter().execDialog(&dialog) != QDialog::Accepted) {
            Q_EMIT verbose(ZEVOVE::INFO, tr("ndiff canceled."));
            return;
        }
        order = dialog.spinBox()->value();
    }
    // Beyond this order the binomial coefficients overflow a double.
    if (order < 1 || order > transforms::kMaxDifferenceOrder) {
        Q_EMIT transcript(tr("Error: The difference order must be between 1 and %1.")
                              .arg(transforms::kMaxDifferenceOrder));
        return;
    }
    const std::vector<double> b = transforms::differenceCoefficients(order);
    QString report;
    const bool done = transformCurves(ids, false, [&](int id, CurveData& c) {
        c.values = CurveValues(transforms::nthDifference(c.values, b));
        report += tr("Curve C%1 replaced by its %2-order difference.\n").arg(QString::number(id + 1), ordinalText(order));
    });
    if (!report.isEmpty())
        Q_EMIT verbose(ZEVOVE::INFO, report);
    if (done)
        rescale();
}

void Plotter::trimOutliers(double sigma, bool flag)
{
    try {
        cache(0);
        const QString report = trimming::trimOutliers(m_curves, sigma, flag);
        Q_EMIT verbose(ZEVOVE::INFO, report);
        rescale();
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void Plotter::trimOutliers_n(bool flag)
{
    const std::optional<double> n =
        kro::prompter().getDouble(this, tr("n-Sigma"), tr("Enter a value for n: "), 3, 0, 100000, 5);
    if (n)
        trimOutliers(*n, flag);
}
