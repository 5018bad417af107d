// Plotter: the Allan-deviation run of a plot. The dialog is preset from the
// curves, the result plot is cloned and labelled, and an engine computing
// on worker threads delivers its curves to the result plot, which owns it.
#include <exception>
#include <memory>

#include "analysis/adevprompt.h"
#include "analysis/adevthread.h"
#include "analysis/timeunits.h"
#include "core/exceptions.h"
#include "core/settings.h"
#include "platform/prompter.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"

namespace {

QString supportRequest()
{
    return Plotter::tr("Please report this error to %1.").arg(QString::fromLatin1(kro::kSupportAddress));
}

// The y-axis label and title for the statistics of a run.
std::pair<QString, QString> adevTexts(int types)
{
    switch (types) {
    case NORMAL:
        return {"Normal Allan Deviation", "Frequency Stability"};
    case OVERLAPPING:
        return {"Overlapping Allan Deviation", "Frequency Stability"};
    case MODIFIED:
        return {"Modified Allan Deviation", "Frequency Stability"};
    case TIME:
        return {"Time Deviation", "Time Stability"};
    case HADAMARD:
        return {"Hadamard Deviation", "Frequency Stability"};
    case MTIE:
        return {"MTIE (sec)", "Time Stability"};
    default:
        return {"Deviations", "Stability"};
    }
}

QString legendWord(DockState state)
{
    switch (state) {
    case DOCK_OFF:
        return "off";
    case DOCK_LEFT:
        return "left";
    case DOCK_RIGHT:
        return "right";
    case DOCK_TOP:
        return "top";
    case DOCK_BOTTOM:
        return "bottom";
    default:
        return QString();
    }
}

} // namespace

void Plotter::plotAdev()
{
    try {
        std::vector<int> ids;
        std::vector<QColor> colours;
        QStringList tooShort;
        for (const auto& [id, c] : m_curves) {
            // A curve needs two points for a sample spacing and a result.
            if (c.values.size() < 4) {
                tooShort << tr("C%1 has too few points for the Allan deviations (%2; at least 2 are needed).")
                                .arg(id + 1)
                                .arg(c.values.size() / 2);
                continue;
            }
            ids.push_back(id);
            colours.push_back(QColor(QRgb(c.attributes.lineColor.rgb())));
        }
        if (!tooShort.isEmpty())
            Q_EMIT transcript(tooShort.join(QLatin1Char('\n')));
        if (ids.empty() && !tooShort.isEmpty())
            return;
        const IdArray list = IdArray::fromIds(ids);
        std::unique_ptr<ADevPrompt> dialog;
        try {
            dialog = std::make_unique<ADevPrompt>(&list, colours, this);
        } catch (const kroexception& e) {
            Q_EMIT transcript(QString::fromLocal8Bit(e.what()));
            return;
        }
        const int types = readSettingInt("adevstatistic", 1);
        const int interval = readSettingInt("adevinterval", 1);
        for (int id : ids) {
            dialog->setTau(sampleInterval(id), id);
            dialog->setTypes(types, id);
            dialog->setAFInterval(interval, id);
            if (!dialog->m_errors.isEmpty()) {
                Q_EMIT transcript(QString("%1\n%2").arg(dialog->m_errors, supportRequest()));
                return;
            }
        }
        if (kro::prompter().execDialog(dialog.get()) != QDialog::Accepted)
            return;

        Plotter* result = clonePlotter("Allan Deviation", 1, 1, false);
        result->xLabel(tr("Averaging Time, /tau, Seconds"), SET);
        result->pointRadius(2, SET);

        std::vector<AdevRequest> requests = dialog->requests();
        int allTypes = 0;
        for (AdevRequest& r : requests) {
            r.name = m_legend->findItem(r.curve) ? m_legend->itemText(r.curve) : QString("");
            allTypes |= r.types;
        }
        const QString word = legendWord(m_legend->dockState());
        if (!word.isNull())
            result->setLegendPosition(word, SET);
        const auto [yText, titleText] = adevTexts(allTypes);
        result->yLabel(tr(yText.toUtf8().constData()), SET);
        result->title(tr(titleText.toUtf8().constData()), SET);
        dialog.reset();

        auto* engine = new AdevThread(result, m_curves, std::move(requests), timeUnitSeconds(m_yLabel->plainText()));
        result->m_adevThreads.push_back(engine);
        engine->start();
        Q_EMIT adevstarted(result);
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}
