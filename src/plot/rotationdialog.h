#pragma once
// The dialog of a curve rotation: the number of points, the direction and
// the curves (the all-curves entry first).
#include <QDialog>

#include <map>

#include "core/curvedata.h"

class CurveListBox;
class LabeledRadioOpts;
class LabeledSpinBox;

class RotationDialog : public QDialog {
    Q_OBJECT

public:
    // curves: curve number (id + 1) to line colour.
    RotationDialog(QWidget* parent, const std::map<int, Rgb>& curves);

    int points() const;
    bool left() const;
    // The chosen curve ids (0-based); a first ALL_CURVES for the
    // all-curves entry.
    std::vector<int> chosenIds() const;

    LabeledSpinBox* m_points;
    LabeledRadioOpts* m_direction;
    CurveListBox* m_curves;
};
