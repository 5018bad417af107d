#pragma once
// "Noise Generator": a magnitude for each power-law noise type, the number
// of points, the sample spacing tau and a rate offset.
#include <QDialog>

class QLineEdit;

class NoiseGenDiag : public QDialog {
    Q_OBJECT

public:
    explicit NoiseGenDiag(QWidget* parent = nullptr);

    // Read by the plot after acceptance; the magnitudes by alpha + 2.
    double m_magnitude[5] = {0, 0, 0, 0, 0};
    int m_points = 32768;
    double m_tau = 1.0;
    double m_rateOffset = 0.0;

    // The fields, magnitudes by alpha + 2 (tests fill them).
    QLineEdit* m_magnitudeEdits[5] = {};
    QLineEdit* m_pointsEdit = nullptr;
    QLineEdit* m_tauEdit = nullptr;
    QLineEdit* m_rateEdit = nullptr;

protected Q_SLOTS:
    // Reads the fields (a text that does not parse reads as 0) and accepts,
    // unless every magnitude is 0 or the points are more than can be made.
    void accept() override;
};
