// Plotter: auto- and cross-correlation, convolution and histograms of the
// plot's curves in result plots.
#include <exception>

#include "analysis/correlation.h"
#include "core/fft.h"
#include "core/polyfit.h"
#include "platform/prompter.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"

void Plotter::plotacf()
{
    try {
        if (!usableForAnalysis(1, true))
            return;
        ResultPlotSetup spec;
        spec.name = "ACF";
        spec.copyLegend = true;
        spec.takeUndo = true;
        spec.refreshLegend = true;
        runResultAnalysis(spec, [&](Plotter& result, ResultPlotTexts& texts) {
            for (const auto& [id, c] : m_curves) {
                std::vector<double> acf;
                autocorrelation(yValues(c), acf);
                result.setCurveData(id, CurveData(centredLagPoints(acf)), false);
                QString title;
                if (m_curves.size() == 1)
                    title = tr("Auto-Correlation");
                else if (m_legend->findItem(id))
                    title = tr("Auto-Correlation (%1)").arg(m_legend->itemText(id));
                else
                    title = tr("Auto-Correlation (of C%1)").arg(id + 1);
                texts.legend[id] = title;
            }
            texts.title = QStringLiteral("ACF");
            texts.yLabel = QStringLiteral("Normalized Auto-Correlation");
            texts.xLabel = QStringLiteral("Lag");
        });
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void Plotter::plotxcf() { correlateTwoCurves(false); }

void Plotter::plotconv() { correlateTwoCurves(true); }

void Plotter::correlateTwoCurves(bool convolve)
{
    try {
        bool accepted = false;
        const IdArray ids = promptExactCurves(2, 2, &accepted,
                                             convolve ? tr("Convolution (CONV)") : tr("Cross-correlation (XCF)"));
        if (!accepted || ids.count() != 2) {
            Q_EMIT verbose(ZEVOVE::INFO, convolve ? tr("Convolution function canceled.")
                                                  : tr("Cross-correlation function canceled."));
            return;
        }
        if (!usableForAnalysis(1, true, ids.ids()))
            return;
        const std::vector<double> a = yValues(m_curves.at(ids.id(0)));
        const std::vector<double> b = yValues(m_curves.at(ids.id(1)));
        ResultPlotSetup spec;
        spec.name = convolve ? "CONV" : "XCF";
        spec.takeUndo = true;
        spec.refreshLegend = true;
        runResultAnalysis(spec, [&](Plotter& result, ResultPlotTexts& texts) {
            std::vector<double> out;
            if (convolve) {
                convolution(a, b, out);
                result.setCurveData(0, CurveData(indexedPoints(out)), false);
            } else {
                crossCorrelation(a, b, out);
                result.setCurveData(0, CurveData(centredLagPoints(out)), false);
            }
            texts.title = convolve ? QStringLiteral("Convolution") : QStringLiteral("XCF");
            texts.yLabel = convolve ? QStringLiteral("Normalized Convolution")
                                    : QStringLiteral("Normalized Cross-correlation");
            texts.xLabel = QStringLiteral("Lag");
            texts.legend[0] = convolve ? tr("Convolution") : tr("Cross-Correlation");
        });
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void Plotter::plothist()
{
    if (m_curves.empty())
        return;
    try {
        const std::optional<int> bins =
            kro::prompter().getInt(this, tr("Number of bins"), tr("# of bins:"), 25, 0, 2147483647, 1);
        if (!bins)
            return;
        if (*bins > kMaxHistogramBins) {
            Q_EMIT transcript(tr("Error: A histogram may have at most %1 bins; %2 were asked for.")
                                  .arg(kMaxHistogramBins)
                                  .arg(*bins));
            return;
        }
        for (const auto& [id, c] : m_curves)
            c.pointCount();  // an odd number of values is reported before any plot is made
        double lowest = 0, highest = 0;
        commonYRange(m_curves, lowest, highest);
        ResultPlotSetup spec;
        spec.name = "Histogram";
        spec.copyLegend = true;
        runResultAnalysis(spec, [&](Plotter& result, ResultPlotTexts& texts) {
            for (const auto& [id, c] : m_curves) {
                std::vector<double> out;
                histogram({{0.0, lowest}, {0.0, highest}}, c.values, out, *bins);
                result.setCurveData(id, CurveData(std::move(out)), false);
            }
            result.barMode(true, SET);
            result.barFloor(0.0, SET);
            texts.title = QStringLiteral("Histogram");
        });
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}
