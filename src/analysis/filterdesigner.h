#pragma once
// The "Filter Design" dialog: the user chooses a windowed-sinc FIR, a
// Butterworth IIR or a moving average ("Smooth"), a lowpass, bandpass or
// highpass response, the sample rate, cut-offs and order; the coefficients
// are recomputed after every change and kept when the dialog closes. The
// dialog also lists the coefficients in a window of their own (with an
// export) and plots the magnitude response in an embedded plot.
#include <QDialog>
#include <QLineEdit>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "analysis/filterdesign.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// A line edit that reports its text changes together with its id.
class IDLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit IDLineEdit(QWidget* parent = nullptr);
    int m_id = 0;

Q_SIGNALS:
    void textChanged(const QString& text, int id);

private Q_SLOTS:
    void slot_textChanged(const QString& text);
};

// The plot that shows a designer's frequency response. The plot library
// supplies one (the analyses sit below it); without one the designer offers
// no response plot.
class FilterResponseView {
public:
    virtual ~FilterResponseView() = default;
    // The widget, a child of the designer.
    virtual QWidget* widget() = 0;
    // Replaces the curve shown by the points (Hz, dB) interleaved, puts
    // vertical markers at the x values given (after removing all others),
    // sets the title and rescales.
    virtual void showResponse(const std::vector<double>& points, const std::vector<double>& markers,
                              const QString& title) = 0;
};
using FilterResponseViewFactory = std::function<std::unique_ptr<FilterResponseView>(QWidget* parent)>;

class FiltDesign : public QDialog {
    Q_OBJECT
public:
    explicit FiltDesign(FilterType type, FilterResponseViewFactory responseView = {}, QWidget* parent = nullptr);
    ~FiltDesign() override;

    // Field ids.
    enum Field { FS = 0, FC = 1, CENTRE = 2, BANDWIDTH = 3, FLO = 4, FHI = 5, ORDER = 6 };
    IDLineEdit* field(int id) const { return m_fields[static_cast<std::size_t>(id)]; }

    // Reads the fields and designs; on success replaces the coefficients.
    // On failure the previous coefficients stay and the reason is shown.
    bool computeCoefficients();
    // Opens a new window listing the coefficients of the last design.
    void showCoefficients();
    // Plots the magnitude response of the last design in the embedded plot.
    void showFrequencyResponse();
    // The reason the current inputs give no filter ("" when they do).
    QString problem() const;

    // The dialog's result, read by the caller after an accepted run.
    FilterType m_filterType = FIR;
    ResponseType m_responseType = LOWPASS;
    int m_windowType = 2;  // BOXCAR
    std::vector<double> m_b, m_a;
    int m_nb = 0, m_na = 0;
    int m_order = 0;
    double m_fs = 0, m_fc = 0, m_flo = 0, m_fhi = 0, m_band = 0, m_fcNorm = 0, m_fhiNorm = 0;
    bool m_overlay = false;
    bool m_removeDelay = true;
    QString m_exportPath;
    // The embedded response plot (null without a response view).
    std::unique_ptr<FilterResponseView> m_plot;

    // Widgets, for the caller and for tests.
    QButtonGroup* m_typeGroup = nullptr;
    QButtonGroup* m_responseGroup = nullptr;
    QCheckBox* m_overlayBox = nullptr;
    QCheckBox* m_removeDelayBox = nullptr;
    QComboBox* m_windowCombo = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_responseButton = nullptr;
    QPushButton* m_coeffsButton = nullptr;
    QLabel* m_problemLabel = nullptr;

public Q_SLOTS:
    void adjustSize();

protected:
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void on_ok();
    void on_showCoeffs();
    void on_showFrqResp();
    void on_window(const QString& name);
    void response_sel(int response);
    void type_sel(int type);
    void updateFields(const QString& text, int id);

private:
    void setButtonsEnabled(bool on);

    std::array<IDLineEdit*, 7> m_fields{};
    std::array<QLabel*, 7> m_captions{};
    QLabel* m_windowCaption = nullptr;
    QWidget* m_typeBox = nullptr;
    QWidget* m_responseBox = nullptr;
};
