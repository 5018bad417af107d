// Plotter: spectra of the plot's curves in a result plot (power spectral
// density, oscillation power, phase noise) and the inverse transform.
#include <algorithm>
#include <exception>
#include <limits>

#include "analysis/fftdialog.h"
#include "analysis/spectrum.h"
#include "plot/plotter.h"

namespace {

struct SpectrumTexts {
    const char* word;
    const char* xLabel;
    const char* yLabel;
};
const SpectrumTexts kSpectrumTexts[] = {
    {QT_TRANSLATE_NOOP("Plotter", "Power Spectral Density"), "Frequency (Hz)", "dB/Hz"},
    {QT_TRANSLATE_NOOP("Plotter", "Oscillation Power"), "Period (s)", "dB/Period"},
    {QT_TRANSLATE_NOOP("Plotter", "Phase Noise /scriptl(f)"), "Frequency (Hz)", "dBc/Hz"},
};

} // namespace

void Plotter::plotpsd() { plotfft(SPECTRUM_PSD); }
void Plotter::plotoscpwr() { plotfft(SPECTRUM_OSCILLATION_POWER); }
void Plotter::plotphasenoise() { plotfft(SPECTRUM_PHASE_NOISE); }

void Plotter::plotfft(int type)
{
    if (type < SPECTRUM_PSD || type > SPECTRUM_PHASE_NOISE)
        return;
    try {
        if (!usableForAnalysis(2))
            return;
        int fewest = std::numeric_limits<int>::max();
        for (const auto& [id, c] : m_curves)
            fewest = std::min<long long>(fewest, static_cast<long long>(c.pointCount()));
        warnUnevenSpacing();
        bool ok = false;
        const FftSettings s = promptFftSettings(fewest, sampleInterval(ALL_CURVES), type == SPECTRUM_PHASE_NOISE, &ok,
                                                this);
        if (!ok)
            return;
        SpectrumSettings settings;
        settings.type = type;
        settings.sampleRate = s.sampleRate;
        settings.carrier = s.carrier;
        settings.slices = s.slices;
        settings.pointsPerSlice = s.pointsPerSlice;
        settings.window = s.window;
        // One plan for every slice of every curve.
        SpectrumEstimator estimator(settings);
        const std::size_t used = static_cast<std::size_t>(s.slices) * static_cast<std::size_t>(s.pointsPerSlice);
        for (const auto& [id, c] : m_curves) {
            if (!allFinite(c.values.data() + 1, std::min(used, c.pointCount()), 2)) {
                Q_EMIT transcript(tr("Error: Curve C%1 holds values that are not finite numbers; no spectrum was "
                                     "computed.")
                                      .arg(id + 1));
                return;
            }
        }
        const SpectrumTexts& t = kSpectrumTexts[type];
        ResultPlotSetup spec;
        spec.name = "Fourier Transform";
        spec.logX = type != SPECTRUM_PSD;
        spec.copyLegend = true;
        spec.takeUndo = true;
        runResultAnalysis(spec, [&](Plotter& result, ResultPlotTexts& texts) {
            for (const auto& [id, c] : m_curves) {
                SpectrumResult r = estimator.run(c.values.data() + 1, c.pointCount(), 2);
                const QString note = zeroPowerMessage(id, r);
                result.setCurveData(id, CurveData(std::move(r.points)), false);
                if (!note.isEmpty()) {
                    if (kro::isVerbose())
                        Q_EMIT verbose(ZEVOVE::WARNING, note);
                    else
                        Q_EMIT transcript(note);
                }
            }
            const QString word = tr(t.word);
            texts.title = s.slices == 1 ? word : tr("%1 - Avg factor: %2").arg(word).arg(s.slices);
            texts.xLabel = QString::fromLatin1(t.xLabel);
            texts.yLabel = QString::fromLatin1(t.yLabel);
            texts.footnote = tr("FFT Window: %1").arg(s.windowName);
        });
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void Plotter::plotifft()
{
    if (m_curves.empty())
        return;
    try {
        if (!usableForAnalysis(1))
            return;
        ResultPlotSetup spec;
        spec.name = "Inverse Fourier Transform";
        spec.copyLegend = true;
        runResultAnalysis(spec, [&](Plotter& result, ResultPlotTexts& texts) {
            int i = 0;
            for (const auto& [id, c] : m_curves)
                result.setCurveData(i++, CurveData(inverseTransformPoints(c.values)), false);
            texts.title = tr("Inverse FFT");
            texts.xLabel = tr("points");
        });
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}
