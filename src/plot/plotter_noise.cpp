// Plotter: power-law noise curves. The noise dialog (kept between uses)
// gives a magnitude per noise type; the types are generated from one random
// source seeded once per run, summed, given the rate offset and stored as
// a new curve "Noise".
#include <cmath>
#include <exception>
#include <stdexcept>

#include "analysis/noisegen.h"
#include "analysis/noisegendiag.h"
#include "platform/prompter.h"
#include "plot/plotter.h"

void Plotter::buildNoise()
{
    try {
        if (!m_noiseDialog)
            m_noiseDialog = new NoiseGenDiag(this);
        // The plot may be cleared (and the dialog dropped) while it is open.
        const QPointer<NoiseGenDiag> dialog = m_noiseDialog;
        if (kro::prompter().execDialog(dialog) != QDialog::Accepted || !dialog)
            return;
        showMessage(tr("Computing. Please Wait..."), -1);
        try {
            const NoiseGenDiag& d = *dialog;
            NoiseRandom random(noiseSeedFromClock());
            std::vector<double> y;
            for (int alpha = 2; alpha >= -2; --alpha) {
                const double magnitude = d.m_magnitude[alpha + 2];
                if (magnitude != 0.0)  // NaN counts as non-zero
                    generatePowerLawNoise(d.m_points, magnitude, y, double(alpha), random);
            }
            if (d.m_rateOffset != 0.0)
                for (std::size_t i = 0; i < y.size(); ++i)
                    y[i] += d.m_rateOffset * d.m_tau * double(i);
            CurveData curve;
            curve.values.reserve(2 * y.size());
            for (std::size_t i = 0; i < y.size() && i < std::size_t(std::max(d.m_points, 0)); ++i)
                curve.append(double(i) * d.m_tau, y[i]);
            const int id = nextFreeCurveId();
            setCurveTitle(id, "Noise");
            setCurveData(id, std::move(curve), true);
        } catch (const std::runtime_error& e) {
            Q_EMIT transcript(tr("Error: %1.").arg(QString::fromLocal8Bit(e.what())));
        }
        deleteMsg();
    } catch (const std::exception& e) {
        deleteMsg();
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}
