// Plotter: conversion of time-interval data to fractional frequency (first
// difference over the sample spacing) and back (sum of frequency times the
// x step), with x counted in days for Modified Julian Dates.
#include <exception>

#include "analysis/arithmetic.h"
#include "analysis/timeconversion.h"
#include "analysis/timeunits.h"
#include "platform/prompter.h"
#include "plot/actionlabel.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"

namespace {
constexpr double kSecondsPerDay = 86400;
}

bool Plotter::xCountsAsDays()
{
    // A label that names MJD means days, whatever else it says.
    if (m_xLabel->plainText().contains(QLatin1String("mjd"), Qt::CaseInsensitive))
        return true;
    if (!timeconversion::isMjd(minX(ALL_CURVES)) || !timeconversion::isMjd(maxX(ALL_CURVES)))
        return false;
    return kro::prompter().question(this, tr("Convert from MJD"),
                                    tr("Your x-axis is in a valid MJD range,\nbut your x-axis label is not marked "
                                       "with \"MJD\".\nWould you like to treat your x-axis values as MJD times?"),
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

namespace {
// The curves to convert: the list given, or the user's choice; empty after
// reporting the cancel.
IdArray conversionCurves(Plotter& plot, const IdArray* ids, const QString& title)
{
    IdArray list;
    bool accepted = true;
    if (ids)
        list = plot.resolveCurveIds(*ids);
    else
        list = plot.promptCurves(true, &accepted, title);
    if (!accepted || list.isEmpty()) {
        Q_EMIT plot.verbose(ZEVOVE::INFO, Plotter::tr("Conversion canceled."));
        return IdArray{0};
    }
    return list;
}
} // namespace

void Plotter::timeintToFracfreq() { timeintToFracfreqOf(nullptr); }
void Plotter::timeintToFracfreq(const IdArray& ids) { timeintToFracfreqOf(&ids); }

void Plotter::timeintToFracfreqOf(const IdArray* ids)
{
    try {
        const IdArray list = conversionCurves(*this, ids, tr("Time-Interval %1 Frac. Frequency").arg(QChar(0x2192)));
        if (list.isEmpty())
            return;
        const bool days = xCountsAsDays();
        const double ux = timeUnitSeconds(m_xLabel->plainText());
        const double uy = timeUnitSeconds(m_yLabel->plainText());
        const QString label = yLabel(QString(), GET, false, true);
        std::map<int, std::size_t> counts;
        for (int id : list.ids())
            if (const CurveData* c = curve(id))
                counts[id] = c->pointCount();
        ndiffOf(1, &list);
        m_autoCacheYLabel = label;
        for (int id : list.ids()) {
            // Only the curves the difference took (one point fewer).
            const auto it = m_curves.find(id);
            if (it == m_curves.end() || it->second.values.size() < 2 || !counts.count(id)
                || it->second.pointCount() + 1 != counts[id])
                continue;
            double tau = sampleInterval(id);
            // Days count 86400 s whatever unit the label names.
            if (days && ux != kSecondsPerDay)
                tau = tau / ux * kSecondsPerDay;
            applyArithmetic(uy / tau, id, arith::MUL, arith::Y_AXIS);
        }
        yLabel(tr("Fractional Frequency"), SET);
        rescale();
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void Plotter::fracFreqToTimeInt() { fracFreqToTimeIntOf(nullptr); }
void Plotter::fracFreqToTimeInt(const IdArray& ids) { fracFreqToTimeIntOf(&ids); }

void Plotter::fracFreqToTimeIntOf(const IdArray* ids)
{
    try {
        const IdArray list = conversionCurves(*this, ids, tr("Frac. Frequency %1 Time-Interval").arg(QChar(0x2192)));
        if (list.isEmpty())
            return;
        const double ux = xCountsAsDays() ? kSecondsPerDay : timeUnitSeconds(m_xLabel->plainText());
        const QString label = yLabel(QString(), GET, false, true);
        cache(0);
        m_autoCacheYLabel = label;
        for (ListedCurve at; CurveData* c = nextListedCurve(list, at);)
            if (c->pointCount() >= 2)
                timeconversion::fractionalFrequencyToTimeInterval(c->values.mut(), ux);
        yLabel(tr("Seconds"), SET);
        rescale();
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}
