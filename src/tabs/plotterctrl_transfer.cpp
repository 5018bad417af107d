// PlotterCtrl: copying and moving curves between plots, tabs and quadrants,
// from the "copy" and "move" commands and from the plot's dialog.
#include "tabs/plotterctrl.h"

#include "core/curvefqn.h"
#include "core/exceptions.h"
#include "platform/prompter.h"
#include "plot/plotter.h"
#include "tabs/liveplotter.h"
#include "tabs/plotterquad.h"
#include "tabs/sendcurvegui.h"

#include <climits>
#include <stdexcept>

void PlotterCtrl::on_copycommand(const QString& arguments) { copyMoveCommand(arguments, false); }

void PlotterCtrl::on_movecommand(const QString& arguments) { copyMoveCommand(arguments, true); }

void PlotterCtrl::copyMoveCommand(const QString& arguments, bool move)
{
    const QString name = move ? QStringLiteral("move") : QStringLiteral("copy");
    try {
        const CurveCommandArgs args(tabText(currentIndex()).toStdString(), arguments.toStdString());
        const QString destination = QString::fromStdString(args.destination.tab);
        const int quadrant = args.destination.quadrant;
        if (args.sources.empty()) {
            Plotter* source = currentPlotter();
            if (!source)
                return;
            std::vector<int> all;
            for (const auto& [id, c] : source->curves())
                all.push_back(id + 1);
            copyMoveCurves(source, all, destination, quadrant, move);
            return;
        }
        for (const CurveSourceFQN& s : args.sources) {
            const QString tab = QString::fromStdString(s.tab);
            PlotterQuad* page = tab.isEmpty() ? currentQuad() : findTab(tab);
            if (!page) {
                Q_EMIT transcript(tr("Error in %1 command. Source tab \"%2\" doesn't exist.").arg(name, tab));
                return;
            }
            if (s.quadrant < 0 || s.quadrant > page->plotCount()) {
                Q_EMIT transcript(tr("Error in %1 command. Source quadrant %2 does not exist in tab \"%3\".")
                                      .arg(name)
                                      .arg(s.quadrant)
                                      .arg(tabLabel(page)));
                return;
            }
            if (!copyMoveCurves(page->plotter(unsigned(s.quadrant)), {s.curve}, destination, quadrant, move))
                return;
        }
    } catch (const kroexception& e) {
        Q_EMIT transcript(QString::fromStdString(e.what()));
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error in %1 command. Likely cause: invalid source curve ID(s).\nActual error "
                             "returned: %2\n")
                              .arg(name, QString::fromStdString(e.what())) +
                          tr("Please report this error message to: %1").arg(QLatin1String(kro::kSupportAddress)));
    }
}

Plotter* PlotterCtrl::copyMoveCurves(Plotter* source, const std::vector<int>& numbers, const QString& tab,
                                     int quadrant, bool move)
{
    if (!source)
        return nullptr;
    // Every curve is checked before anything changes.
    std::vector<int> ids;
    if (!numbers.empty() && numbers.front() == INT_MAX) {
        for (const auto& [id, c] : source->curves())
            ids.push_back(id);
    } else {
        for (const int n : numbers) {
            const int id = n - 1;
            if (!source->curve(id))
                throw std::out_of_range("C" + std::to_string(n) + " does not exist in the source plot.");
            if (std::find(ids.begin(), ids.end(), id) == ids.end())
                ids.push_back(id);
        }
    }

    Plotter* destination = nullptr;
    bool fresh = false;
    try {
        PlotterQuad* page = findTab(tab);
        if (!page) {
            QString label = tab;
            label.remove(QStringLiteral(" (New)"));
            destination = addPlotter(nullptr, label);
            fresh = true;
        } else if (quadrant >= 0 && quadrant <= page->plotCount()) {
            destination = page->plotter(unsigned(quadrant));
            destination->cache(0);
        } else {
            destination = addPlotter(nullptr, tab);
            fresh = true;
        }
    } catch (const kroexception& e) {
        Q_EMIT transcript(QString::fromStdString(e.what()));
        return nullptr;
    }
    if (fresh) {
        destination->title(source->title(QString(), GET, false, true), SET, false, true);
        destination->yLabel(source->yLabel(QString(), GET, false, true), SET, false, true);
        destination->xLabel(source->xLabel(QString(), GET, false, true), SET, false, true);
        destination->footnote(source->footnote(), SET);
        destination->m_logX = source->m_logX;
        destination->m_logY = source->m_logY;
    }
    if (move)
        if (LivePlotter* link = livePlotterOf(source))
            link->m_plotter = destination;

    const std::map<int, QString> sourceTitles = source->curveTitles();
    const std::map<int, QString> destinationTitles = destination->curveTitles();
    auto titleTaken = [&](const QString& title) {
        for (const auto& [id, t] : destinationTitles)
            if (t == title)
                return true;
        return false;
    };
    for (const int id : ids) {
        const int newId = destination->nextFreeCurveId();
        // The copy shares the source's values until one of them changes.
        destination->setCurveData(newId, *source->curve(id), false);
        const auto found = sourceTitles.find(id);
        const QString title = found == sourceTitles.end() ? QString() : found->second;
        if (titleTaken(title))
            destination->setCurveTitle(newId, tr("%1 (copy)").arg(title));
        else if (!title.isEmpty())
            destination->setCurveTitle(newId, title);
        else
            destination->setCurveTitle(newId, (move ? tr("C%1 (Moved)") : tr("C%1 (Copy)")).arg(newId + 1));
        if (move)
            source->removeCurve(id);
    }
    destination->rescale();
    if (move && source != destination)
        source->rescale();

    for (int i = 0; i < count(); ++i) {
        auto* page = static_cast<PlotterQuad*>(widget(i));
        if (page->holds(destination)) {
            setCurrentWidget(page);
            page->setActivePlotter(destination);
            break;
        }
    }
    Q_EMIT plotterShown(destination);
    return destination;
}

void PlotterCtrl::on_reqCurvesMove(Plotter* const plot)
{
    if (!plot)
        return;
    try {
        std::map<QString, int> tabs;
        for (int i = 0; i < count(); ++i)
            tabs[tabText(i)] = static_cast<PlotterQuad*>(widget(i))->plotCount();
        tabs[tr("Plot %1 (New)").arg(m_tabCount + 1)] = 0;
        SendCurveGUI dialog(this, lineColorById(plot->curves()), tabs);
        if (kro::prompter().execDialog(&dialog) != QDialog::Accepted) {
            Q_EMIT verbose(ZEVOVE::INFO, tr("Move/Copy canceled."));
            return;
        }
        copyMoveCurves(plot, dialog.selectedCurves(), dialog.destinationTab(), dialog.quadrantNumber(),
                       dialog.moveChosen());
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromStdString(e.what())));
    }
}
