// Plotter: phase unwrap of chosen curves. The rollover is given, recognised
// as pi or 2 pi from the range of the data, or asked for as the frequency
// of the measured signal.
#include <exception>

#include "analysis/timeunits.h"
#include "analysis/unwrap.h"
#include "platform/inputdialog.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"

void Plotter::unwrap(double phase) { unwrapOf(phase, nullptr); }

void Plotter::unwrap(double phase, const IdArray& ids) { unwrapOf(phase, &ids); }

void Plotter::unwrapOf(double phase, const IdArray* ids)
{
    try {
        IdArray list = ids ? resolveCurveIds(*ids) : IdArray{0};
        if (list.isEmpty()) {
            bool accepted = true;
            list = promptCurves(true, &accepted, tr("Unwrap"));
            if (!accepted)
                return;
        }
        cache(0);
        const double seconds = timeUnitSeconds(m_yLabel->plainText());
        for (ListedCurve at; CurveData* c = nextListedCurve(list, at);) {
            unwrapping::Plan plan = unwrapping::planUnwrap(c->values, phase);
            if (plan.kind == unwrapping::Rollover::Skip)
                continue;
            if (plan.kind == unwrapping::Rollover::Ask) {
                const double suggested = unwrapping::suggestedRollover(c->values, plan.range);
                bool ok = false;
                const double f = InputDialog::getDouble(tr("kro"), tr("Signal frequency (Hz):"),
                                                        tr("Sample period (s):"), QString(), 1 / (seconds * suggested),
                                                        2.2250738585072014e-308, 1.7976931348623157e+308, &ok);
                if (!ok || !(f > 0))
                    continue;
                plan.rollover = 1 / (f * seconds);
            }
            unwrapping::unwrapY(c->values.mut(), plan);
        }
        rescale();
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}
