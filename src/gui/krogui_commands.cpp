// Command slots on curve data, markers and statistics, and sync mode.
#include "gui/krogui.h"

#include "command/commandedit.h"
#include "core/specialsymbols.h"
#include "core/statfunctions.h"
#include "platform/embeddedimages.h"
#include "gui/kroguicalls.h"
#include "gui/windowtexts.h"
#include "platform/prompter.h"
#include "plot/plotter.h"
#include "tabs/plotterctrl.h"

#include <QApplication>
#include <QLocale>
#include <QMenu>
#include <QRegularExpression>

#include <stdexcept>

void KROGui::addMarkers(const QString& values, const char* signature)
{
    static const QRegularExpression separators(QStringLiteral("[, ;]"));
    const std::vector<Plotter*> plots = targetPlotters();
    const bool constPosition = QByteArray(signature).contains("const double*");
    bool offered = true;
    for (const QString& piece : values.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        double v = QLocale::c().toDouble(piece, &ok);
        if (!ok)
            continue;
        // addVMarker takes a pointer to const, addHMarker a plain pointer.
        const double* cv = &v;
        for (Plotter* p : plots)
            offered = (constPosition ? callPlot(p, signature, Q_ARG(const double*, cv), Q_ARG(bool, false))
                                     : callPlot(p, signature, Q_ARG(double*, &v), Q_ARG(bool, false))) &&
                      offered;
    }
    if (offered)
        for (Plotter* p : plots)
            p->plot();
}

void KROGui::on_addhmarker(const QString& values) { addMarkers(values, "addHMarker(double*,bool)"); }

void KROGui::on_addvmarker(const QString& values) { addMarkers(values, "addVMarker(const double*,bool)"); }

void KROGui::on_adddmarker(int first, int second)
{
    callTargetsThenPlot("addMarkerDiff(int,int,bool)", Q_ARG(int, first), Q_ARG(int, second), Q_ARG(bool, false));
}

void KROGui::on_addmult(const QString& line) { callTargets("arithmeticCommand(QString)", Q_ARG(QString, line)); }

void KROGui::on_cacheReq(int request)
{
    if (Plotter* p = activePlotter())
        p->cache(request);
}

void KROGui::cacheReq()
{
    QMenu menu(this);
    menu.addAction(tr("Cache current data set"))->setData(1);
    menu.addAction(tr("Retrieve cached data set"))->setData(2);
    if (QAction* chosen = kro::prompter().execMenu(&menu, m_cacheBtn->mapToGlobal(QPoint(0, m_cacheBtn->height()))))
        on_cacheReq(chosen->data().toInt());
}

void KROGui::on_clear()
{
    for (Plotter* p : targetPlotters())
        m_plotterCtrl->clearPlot(p);
    verbose(ZEVOVE::INFO, m_syncMode ? tr("All plots cleared.") : tr("Plot cleared."));
}

void KROGui::on_crop(std::vector<double> limits, const IdArray& ids)
{
    callTargets("crop(std::vector<double>,std::vector<int>)", Q_ARG(std::vector<double>, limits),
                Q_ARG(std::vector<int>, toIdVector(ids)));
}

void KROGui::on_csum(const IdArray& ids) { callPlot(activePlotter(), "cumulativeSum(IdArray)", Q_ARG(IdArray, ids)); }

void KROGui::on_differentiate(const IdArray& ids)
{
    callPlot(activePlotter(), "differentiate(IdArray)", Q_ARG(IdArray, ids));
}

void KROGui::on_expr(const QString& expression)
{
    const bool running = !m_scriptQueue.isEmpty();
    callTargets("expression(QString,bool)", Q_ARG(QString, expression), Q_ARG(bool, running));
}

void KROGui::on_function(const QString& name, char axis, bool perCurve, const IdArray& ids)
{
    const int function = statisticFromName(name);
    if (function == StatisticFunction::NONE) {
        say(tr("Error: %1 was reported as undefined. Please report this to the KRO issue tracker.").arg(name));
        return;
    }
    Plotter* plot = activePlotter();
    if (!plot)
        return;
    const int axisIndex = axis == 'x' ? 0 : 1;
    const char axisChar = axis == 'x' ? 'x' : 'y';
    try {
        if (perCurve) {
            std::map<int, double> values;
            for (const auto& [id, curve] : plot->m_curves)
                values[id] = evaluateStatistic(plot->m_curves, function, axisIndex, plot->view(), {id});
            say(perCurveStatisticReport(name, axisChar, values));
        } else {
            std::vector<int> list = ids.ids();
            const std::vector<int> curves =
                list.empty() || list.front() == ALL_CURVES ? std::vector<int>() : list;
            const double v = evaluateStatistic(plot->m_curves, function, axisIndex, plot->view(), curves);
            say(statisticReport(name, axisChar, list.empty() ? std::vector<int>{ALL_CURVES} : list, v));
        }
    } catch (const std::exception& e) {
        say(QString::fromLocal8Bit(e.what()));
    }
}

void KROGui::on_mean(const IdArray& ids) { callPlot(activePlotter(), "removeMean(IdArray)", Q_ARG(IdArray, ids)); }

void KROGui::on_meanaggr(const IdArray& ids)
{
    callPlot(activePlotter(), "removeMeanAggr(IdArray)", Q_ARG(IdArray, ids));
}

void KROGui::on_ndiff(int order, const IdArray& ids)
{
    callPlot(activePlotter(), "ndiff(int,IdArray)", Q_ARG(int, order), Q_ARG(IdArray, ids));
}

void KROGui::on_norm(double lower, double upper, const IdArray& ids)
{
    callPlot(activePlotter(), "normalize(double,double,IdArray)", Q_ARG(double, lower), Q_ARG(double, upper),
             Q_ARG(IdArray, ids));
}

void KROGui::on_poly(int order, const QString& mode, const IdArray& ids)
{
    callPlot(activePlotter(), "poly(int,QString,IdArray)", Q_ARG(int, order), Q_ARG(QString, mode),
             Q_ARG(IdArray, ids));
}

void KROGui::on_removeCurves(const IdArray& ids)
{
    if (Plotter* p = activePlotter())
        p->removeCurves(ids);
}

void KROGui::on_removeMarkers(const IdArray& ids)
{
    callPlot(activePlotter(), "removeMarkers(IdArray)", Q_ARG(IdArray, ids));
}

void KROGui::on_rotl(int points, const IdArray& ids)
{
    callPlot(activePlotter(), "rotateCurves(int,IdArray,bool)", Q_ARG(int, points), Q_ARG(IdArray, ids),
             Q_ARG(bool, true));
}

void KROGui::on_rotr(int points, const IdArray& ids)
{
    callPlot(activePlotter(), "rotateCurves(int,IdArray,bool)", Q_ARG(int, points), Q_ARG(IdArray, ids),
             Q_ARG(bool, false));
}

void KROGui::on_smooth(int points, const IdArray& ids, bool replace)
{
    callPlot(activePlotter(), "smoothData(int,IdArray,bool)", Q_ARG(int, points), Q_ARG(IdArray, ids),
             Q_ARG(bool, !replace));
}

void KROGui::on_sort(const IdArray& ids) { callPlot(activePlotter(), "sort(IdArray)", Q_ARG(IdArray, ids)); }

void KROGui::on_stats() { callPlot(activePlotter(), "showStatistics()"); }

void KROGui::on_trimReq(int id)
{
    for (Plotter* p : targetPlotters()) {
        if (id >= 1 && id <= 3)
            callPlot(p, "trimOutliers(double,bool)", Q_ARG(double, id), Q_ARG(bool, false));
        else if (id == 4)
            callPlot(p, "trimOutliers_n(bool)", Q_ARG(bool, false));
        else if (id >= 5 && id <= 7)
            callPlot(p, "trimOutliers(double,bool)", Q_ARG(double, id - 4), Q_ARG(bool, true));
        else if (id >= 8)
            callPlot(p, "trimOutliers_n(bool)", Q_ARG(bool, true));
    }
}

void KROGui::fillTrimMenu(QMenu& menu, int curveCount)
{
    auto fill = [](QMenu* m, int firstId) {
        const char* items[] = {"1/sigma", "2/sigma", "3/sigma", "n/sigma"};
        for (int i = 0; i < 4; ++i)
            m->addAction(replaceSpecialSymbols(QString::fromLatin1(items[i])))->setData(firstId + i);
    };
    if (curveCount == 1) {
        fill(&menu, 1);
    } else {
        fill(menu.addMenu(tr("Independent sets...")), 1);
        fill(menu.addMenu(tr("Concatenated set...")), 5);
    }
}

void KROGui::trimReq()
{
    Plotter* plot = activePlotter();
    if (!plot)
        return;
    QMenu menu(this);
    fillTrimMenu(menu, int(plot->m_curves.size()));
    if (QAction* chosen = kro::prompter().execMenu(&menu, m_trimBtn->mapToGlobal(QPoint(0, m_trimBtn->height()))))
        on_trimReq(chosen->data().toInt());
}

void KROGui::on_undo()
{
    for (Plotter* p : targetPlotters())
        p->undo();
}

void KROGui::on_unwrap(double phase, const IdArray& ids)
{
    callPlot(activePlotter(), "unwrap(double,IdArray)", Q_ARG(double, phase), Q_ARG(IdArray, ids));
}

void KROGui::on_syncmode()
{
    m_syncMode = !m_syncMode;
    m_syncBtn->setIcon(embeddedIcon(m_syncMode ? QStringLiteral("sync_on.png") : QStringLiteral("sync_off.png")));
}

void KROGui::on_synchronizePan(int dx, int dy, QPoint origin)
{
    const std::vector<Plotter*> plots = targetPlotters();
    bool offered = true;
    for (Plotter* p : plots)
        offered = callPlot(p, "panBy(int,int,QPoint)", Q_ARG(int, dx), Q_ARG(int, dy), Q_ARG(QPoint, origin)) && offered;
    if (!offered)
        return;
    QApplication::processEvents();
    for (Plotter* p : plots)
        p->redrawCurves();
}
