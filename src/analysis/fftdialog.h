#pragma once
// The "FFT Configuration" dialog of the spectral analyses: sample period and
// rate (kept reciprocal), the number of slices to average with the points per
// slice they leave, the window, and for phase noise the carrier frequency.
#include <QDialog>
#include <QSpinBox>
#include <QString>

class QComboBox;
class QLineEdit;
class QPushButton;

struct FftSettings {
    double samplePeriod = 0.0;  // seconds, as typed
    double sampleRate = 0.0;    // 1 / samplePeriod, Hz
    double carrier = 0.0;       // Hz (phase noise only)
    int slices = 1;
    int pointsPerSlice = 0;
    int window = 3;             // WindowType (HAMMING)
    QString windowName;
};

// A spin box whose every edit of its text counts as a change of value at once.
class SpinBoxSlices : public QSpinBox {
    Q_OBJECT
public:
    explicit SpinBoxSlices(QWidget* parent = nullptr);

protected Q_SLOTS:
    void textChanged();
};

class FFTInputDialog : public QDialog {
    Q_OBJECT
public:
    explicit FFTInputDialog(bool phaseNoise, QWidget* parent = nullptr);

    // True when the period, the rate (and for phase noise the carrier) are
    // numbers the fields accept, the rate is a positive finite number, and
    // each slice holds at least two points.
    bool validate() const;
    // Shows the points per slice for the total count and the slices chosen.
    void setTotalPoints(int count);
    // Sets the period text to the period with up to 10 significant digits
    // and the rate from it.
    void setSamplePeriod(double seconds);
    // The answers; meaningful after the dialog was accepted.
    FftSettings settings() const;

    QLineEdit* m_carrierEdit = nullptr;  // phase noise only
    QLineEdit* m_periodEdit = nullptr;
    QLineEdit* m_rateEdit = nullptr;
    SpinBoxSlices* m_slicesSpin = nullptr;
    QLineEdit* m_pointsEdit = nullptr;
    int m_totalPoints = 0;
    QComboBox* m_windowCombo = nullptr;
    QPushButton* m_okButton = nullptr;
    QString m_helpText;

private Q_SLOTS:
    void on_carfrqChanged(const QString& text);
    void on_periodChanged(const QString& text);
    void on_rateChanged(const QString& text);
    void on_showHelp();
    void on_updatePntsPerSlice(int slices);

private:
    void updateOk();
};

// Runs the dialog for totalPoints points (the shortest curve's) and a sample
// period in seconds. ok is true when the dialog was accepted with a usable
// sample rate.
FftSettings promptFftSettings(int totalPoints, double samplePeriod, bool phaseNoise, bool* ok,
                              QWidget* parent = nullptr);
