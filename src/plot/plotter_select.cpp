// Plotter: turning a curve selection, or the absence of one, into curves.
#include "core/statfunctions.h"
#include "platform/prompter.h"
#include "plot/plotter.h"

#include <algorithm>

bool Plotter::enoughToChoose(const QString& title, const QString& noun, int available, int needed)
{
    if (available >= needed && available > 0)
        return true;
    const QString what = needed <= 1 ? tr("a %1").arg(noun) : tr("%1 %2s").arg(needed).arg(noun);
    const QString has = available == 0 ? tr("none") : tr("only %1").arg(available);
    Q_EMIT transcript(tr("%1 needs %2; the plot has %3.").arg(title, what, has));
    return false;
}

IdArray Plotter::runCurveSelector(int minSelected, int maxSelected, bool offerAll, bool* accepted,
                                  const QString& title)
{
    const QString caption = title.isEmpty() ? tr("Choose Curves") : title;
    if (!enoughToChoose(caption, tr("curve"), int(m_curves.size()), std::max(minSelected, 1))) {
        if (accepted)
            *accepted = false;
        return IdArray{0};
    }
    CurveSelector dialog(this, QStringLiteral("Curve"), minSelected, maxSelected, caption);
    std::map<int, Rgb> items = lineColorById(m_curves);
    if (offerAll)
        items.emplace(-1, Rgb(Rgb::NotSet));
    dialog.list()->setCurves(items);
    if (kro::prompter().execDialog(&dialog) != QDialog::Accepted) {
        if (accepted)
            *accepted = false;
        return IdArray{0};
    }
    std::vector<int> ids;
    for (int number : dialog.list()->selectedIds())
        ids.push_back(number - 1);
    if (!ids.empty() && ids.front() < 0)
        ids.front() = ALL_CURVES;
    return resolveCurveIds(IdArray::fromIds(ids));
}

IdArray Plotter::promptCurves(bool offerAll, bool* accepted, const QString& title)
{
    if (accepted)
        *accepted = true;
    if (m_curves.size() == 1)
        return IdArray{1, m_curves.begin()->first};
    return runCurveSelector(1, -1, offerAll, accepted, title);
}

IdArray Plotter::promptExactCurves(int count, int maxCount, bool* accepted, const QString& title)
{
    if (accepted)
        *accepted = true;
    if (int(m_curves.size()) == count)
        return resolveCurveIds(IdArray::all());
    return runCurveSelector(count, maxCount, false, accepted, title);
}

IdArray Plotter::resolveCurveIds(const IdArray& ids) const
{
    if (ids.isEmpty())
        return IdArray{0};
    if (!ids.isAll())
        return ids;
    return IdArray::fromIds(expandCurveList(m_curves, {ALL_CURVES}));
}

std::vector<int> Plotter::resolveCurveIdVector(const std::vector<int>& ids) const
{
    return expandCurveList(m_curves, ids);
}

CurveData* Plotter::nextListedCurve(const IdArray& ids, ListedCurve& at)
{
    const std::vector<int> list = ids.ids();
    if (list.empty())
        return nullptr;
    if (!curveExists(list.front()))
        return nullptr;
    if (list.front() == ALL_CURVES) {
        const auto it = at.position < 0 ? m_curves.begin() : m_curves.upper_bound(at.id);
        if (it == m_curves.end())
            return nullptr;
        at.position = 0;
        at.id = it->first;
        return &it->second;
    }
    // Walking by list position: a curve listed twice is visited twice and
    // the walk still ends.
    const int next = at.position + 1;
    if (next >= int(list.size()))
        return nullptr;
    const int id = list[std::size_t(next)];
    if (next > 0 && !curveExists(id))
        return nullptr;
    const auto it = m_curves.find(id);
    if (it == m_curves.end())
        return nullptr;
    at.position = next;
    at.id = id;
    return &it->second;
}

IdArray Plotter::selectionOrPrompt(const IdArray* ids, bool offerAll)
{
    return ids ? resolveCurveIds(*ids) : promptCurves(offerAll);
}
