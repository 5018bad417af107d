// Plotter: rotating the y values of curves against their x values.
#include "analysis/rotation.h"
#include "platform/prompter.h"
#include "plot/plotter.h"
#include "plot/rotationdialog.h"

void Plotter::rotateCurves(int points)
{
    // A count without a curve list rotates nothing.
    if (points <= 0)
        promptRotation();
}

void Plotter::rotateCurves(int points, const IdArray& ids, bool left)
{
    if (points <= 0) {
        promptRotation();
        return;
    }
    const IdArray list = resolveCurveIds(ids);
    if (list.isEmpty())
        return;
    cache(0);
    for (int id : list.ids()) {
        auto it = m_curves.find(id);
        if (it == m_curves.end() || it->second.values.size() < 2)
            continue;
        rotateYValues(it->second.values.mut(), points, left);
    }
    rescale();
}

void Plotter::promptRotation()
{
    RotationDialog dialog(this, lineColorById(m_curves));
    if (kro::prompter().execDialog(&dialog) != QDialog::Accepted) {
        Q_EMIT verbose(ZEVOVE::INFO, tr("Rotation cancelled."));
        return;
    }
    const std::vector<int> chosen = resolveCurveIdVector(dialog.chosenIds());
    if (chosen.empty()) {
        Q_EMIT verbose(ZEVOVE::INFO, tr("Rotation cancelled."));
        return;
    }
    QString text = QStringLiteral("%1 %2 ").arg(dialog.left() ? QStringLiteral("rotl") : QStringLiteral("rotr"))
                       .arg(dialog.points());
    if (chosen.size() != m_curves.size()) {
        for (int id : chosen)
            text += QStringLiteral("c%1 ").arg(id + 1);
    }
    Q_EMIT command(text);
}
