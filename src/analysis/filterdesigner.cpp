#include "analysis/filterdesigner.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "analysis/coeffedit.h"
#include "core/linearfilter.h"

IDLineEdit::IDLineEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(this, qOverload<const QString&>(&QLineEdit::textChanged), this, &IDLineEdit::slot_textChanged);
}

void IDLineEdit::slot_textChanged(const QString& text) { Q_EMIT textChanged(text, m_id); }

namespace {

struct FieldText {
    const char* firCaption;
    const char* iirCaption;
    const char* tip;
};

const FieldText kFields[7] = {
    {"<qt>f<sub>sample</sub></qt>", "<qt>f<sub>sample</sub></qt>",
     "Sample rate of input data.\nNote, for the smooth filter-type this field is not\nstrictly necessary, but setting "
     "it will allow the\nfrequency response plot to be scaled properly."},
    {"<qt>f<sub>6dB</sub></qt>", "<qt>f<sub>3dB</sub></qt>", "Frequency cutoff."},
    {"<qt>f<sub>center</sub></qt>", "<qt>f<sub>center</sub></qt>", "Filter center frequency."},
    {"<qt>BW</qt>", "<qt>BW</qt>", "Filter bandwidth."},
    {"<qt>f<sub>6dB,lo</sub></qt>", "<qt>f<sub>3dB,lo</sub></qt>", "Low cutoff frequency."},
    {"<qt>f<sub>6dB,hi</sub></qt>", "<qt>f<sub>3dB,hi</sub></qt>", "High cutoff frequency."},
    {"<qt>order</qt>", "<qt>order</qt>",
     "Order of the filter.\nNote, for the smooth filter-type, the order should be even\n(if an odd value is entered, "
     "it will be incremented)"},
};

std::optional<double> parseDouble(const QLineEdit* e)
{
    bool ok = false;
    const double v = e->text().toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

QRadioButton* addRadio(QButtonGroup* group, QLayout* layout, QWidget* parent, const QString& text, int id,
                       const QString& tip = QString(), bool focus = false)
{
    auto* b = new QRadioButton(text, parent);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    if (!focus)
        b->setFocusPolicy(Qt::NoFocus);
    group->addButton(b, id);
    layout->addWidget(b);
    return b;
}

} // namespace

FiltDesign::FiltDesign(FilterType type, FilterResponseViewFactory responseView, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Filter Design"));
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->setSpacing(2);
    auto* left = new QVBoxLayout;
    outer->addLayout(left);

    auto* groups = new QHBoxLayout;
    auto* typeBox = new QGroupBox(tr("Filter Type"), this);
    auto* typeLayout = new QVBoxLayout(typeBox);
    m_typeGroup = new QButtonGroup(this);
    m_typeGroup->setExclusive(true);
    addRadio(m_typeGroup, typeLayout, typeBox, tr("FIR"), FIR, tr("Finite Impulse Response (FIR)\nWindow: Rectangular"));
    addRadio(m_typeGroup, typeLayout, typeBox, tr("IIR"), IIR, tr("Infinite Impulse Response (IIR)\nType: Butterworth"));
    addRadio(m_typeGroup, typeLayout, typeBox, tr("Smooth"), SMOOTH, tr("Smooth (FIR)\nType: Moving average"), true);
    auto* responseBox = new QGroupBox(tr("Response Type"), this);
    auto* responseLayout = new QVBoxLayout(responseBox);
    m_responseGroup = new QButtonGroup(this);
    m_responseGroup->setExclusive(true);
    addRadio(m_responseGroup, responseLayout, responseBox, tr("Lowpass"), LOWPASS);
    addRadio(m_responseGroup, responseLayout, responseBox, tr("Bandpass"), BANDPASS);
    addRadio(m_responseGroup, responseLayout, responseBox, tr("Highpass"), HIGHPASS);
    groups->addWidget(typeBox);
    groups->addWidget(responseBox);
    left->addLayout(groups);
    m_typeBox = typeBox;
    m_responseBox = responseBox;

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(5);
    grid->setVerticalSpacing(5);
    for (int id = 0; id < 7; ++id) {
        auto* caption = new QLabel(QString::fromLatin1(kFields[id].firCaption), this);
        auto* edit = new IDLineEdit(this);
        edit->m_id = id;
        const QString tip = tr(kFields[id].tip);
        caption->setToolTip(tip);
        edit->setToolTip(tip);
        grid->addWidget(caption, id, 0);
        grid->addWidget(edit, id, 1);
        m_captions[static_cast<std::size_t>(id)] = caption;
        m_fields[static_cast<std::size_t>(id)] = edit;
    }
    m_windowCaption = new QLabel(QStringLiteral("<qt>window</qt>"), this);
    m_windowCombo = new QComboBox(this);
    m_windowCombo->addItems({QStringLiteral("Bartlett"), QStringLiteral("Blackman"), QStringLiteral("Boxcar"),
                             QStringLiteral("Hamming"), QStringLiteral("Hanning"), QStringLiteral("Welch")});
    m_windowCombo->setCurrentIndex(BOXCAR);
    m_windowCaption->setToolTip(tr("FIR Windowing"));
    m_windowCombo->setToolTip(tr("FIR Windowing"));
    grid->addWidget(m_windowCaption, 7, 0);
    grid->addWidget(m_windowCombo, 7, 1);
    left->addLayout(grid);

    m_removeDelayBox = new QCheckBox(tr("Remove FIR filter delay"), this);
    m_removeDelayBox->setChecked(true);
    m_removeDelayBox->setToolTip(
        tr("Because the FIR is a linear-phase filter, its delay can\nbe ideally removed from the resultant data. Check "
           "this\nbox to automatically remove the delay from the results.\nNote, the delay is always removed for the "
           "smooth-type filter."));
    m_overlayBox = new QCheckBox(tr("Overlay filtered data"), this);
    m_overlayBox->setToolTip(
        tr("Check this button to overlay the filtered results\n(ie. to create new curves with the filtered "
           "results),\nor leave unchecked to replace the original data with\nthe filtered data."));
    left->addWidget(m_removeDelayBox);
    left->addWidget(m_overlayBox);

    // Why the inputs give no filter, while they do not.
    m_problemLabel = new QLabel(this);
    m_problemLabel->setWordWrap(true);
    m_problemLabel->setStyleSheet(QStringLiteral("color: #b00000"));
    left->addWidget(m_problemLabel);

    auto* buttons = new QHBoxLayout;
    m_okButton = new QPushButton(tr("Ok"), this);
    m_responseButton = new QPushButton(tr("Response"), this);
    m_responseButton->setToolTip(tr("Plot the frequency response of this filter.\nSubsequent clicks refresh the plot "
                                    "with updated input values."));
    m_coeffsButton = new QPushButton(tr("Coeffs"), this);
    m_coeffsButton->setToolTip(tr("Display the computed filter coefficients."));
    auto* cancel = new QPushButton(tr("Cancel"), this);
    for (QPushButton* b : {m_okButton, m_responseButton, m_coeffsButton, cancel})
        buttons->addWidget(b);
    left->addLayout(buttons);
    setButtonsEnabled(false);

    if (responseView) {
        m_plot = responseView(this);
        if (m_plot) {
            outer->addWidget(m_plot->widget());
            m_plot->widget()->hide();
        }
    }
    m_responseButton->setVisible(m_plot != nullptr);

    connect(m_typeGroup, &QButtonGroup::idClicked, this, &FiltDesign::type_sel);
    connect(m_responseGroup, &QButtonGroup::idClicked, this, &FiltDesign::response_sel);
    for (IDLineEdit* e : m_fields)
        connect(e, qOverload<const QString&, int>(&IDLineEdit::textChanged), this, &FiltDesign::updateFields);
    connect(m_windowCombo, &QComboBox::textActivated, this, &FiltDesign::on_window);
    connect(m_okButton, &QPushButton::clicked, this, &FiltDesign::on_ok);
    connect(m_responseButton, &QPushButton::clicked, this, &FiltDesign::on_showFrqResp);
    connect(m_coeffsButton, &QPushButton::clicked, this, &FiltDesign::on_showCoeffs);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_typeGroup->button(type)->setChecked(true);
    m_responseGroup->button(LOWPASS)->setChecked(true);
    m_windowType = BOXCAR;
    type_sel(type);
}

// The view goes before the widgets: its widget is a child of this dialog.
FiltDesign::~FiltDesign() = default;

void FiltDesign::setButtonsEnabled(bool on)
{
    m_okButton->setEnabled(on);
    m_responseButton->setEnabled(on);
    m_coeffsButton->setEnabled(on);
}

void FiltDesign::type_sel(int type)
{
    m_filterType = static_cast<FilterType>(type);
    const bool iir = type == IIR;
    if (iir) {
        m_removeDelayBox->setChecked(false);
        m_removeDelayBox->setEnabled(false);
    } else {
        if (type == SMOOTH)
            m_removeDelayBox->setChecked(true);
        m_removeDelayBox->setEnabled(true);
    }
    for (int id : {FC, FLO, FHI})
        m_captions[static_cast<std::size_t>(id)]->setText(
            QString::fromLatin1(iir ? kFields[id].iirCaption : kFields[id].firCaption));
    m_windowCaption->setVisible(type == FIR);
    m_windowCombo->setVisible(type == FIR);
    if (type == SMOOTH) {
        m_responseGroup->button(LOWPASS)->setChecked(true);
        m_responseBox->setEnabled(false);
    } else {
        m_responseBox->setEnabled(true);
    }
    response_sel(m_responseGroup->checkedId());
}

void FiltDesign::response_sel(int response)
{
    const bool smooth = m_filterType == SMOOTH;
    for (int id = FC; id <= FHI; ++id) {
        bool shown = false;
        if (!smooth)
            shown = response == BANDPASS ? id != FC : id == FC;
        m_fields[static_cast<std::size_t>(id)]->setVisible(shown);
        m_captions[static_cast<std::size_t>(id)]->setVisible(shown);
    }
    m_responseType = static_cast<ResponseType>(response);
    setButtonsEnabled(computeCoefficients());
    adjustSize();
}

void FiltDesign::updateFields(const QString&, int id)
{
    const std::optional<double> centre = parseDouble(field(CENTRE));
    const std::optional<double> width = parseDouble(field(BANDWIDTH));
    const std::optional<double> lo = parseDouble(field(FLO));
    const std::optional<double> hi = parseDouble(field(FHI));
    {
        // The writes below must not come back here.
        const QSignalBlocker b2(field(CENTRE)), b3(field(BANDWIDTH)), b4(field(FLO)), b5(field(FHI));
        auto write = [this](int target, double v) { field(target)->setText(QString::number(v, 'g', 6)); };
        if ((id == CENTRE && width) || (id == BANDWIDTH && centre)) {
            const double c = centre.value_or(0.0), w = width.value_or(0.0);
            write(FLO, c - w / 2);
            write(FHI, c + w / 2);
        }
        if ((id == FLO && hi) || (id == FHI && lo)) {
            const double l = lo.value_or(0.0), h = hi.value_or(0.0);
            write(CENTRE, (h + l) / 2);
            write(BANDWIDTH, h - l);
        }
    }
    setButtonsEnabled(computeCoefficients());
}

void FiltDesign::on_window(const QString& name)
{
    m_windowType = windowFromName(name.toUpper().toLatin1().constData());
    computeCoefficients();
}

bool FiltDesign::computeCoefficients()
{
    FilterInputs in;
    in.type = m_filterType;
    in.response = m_responseType;
    in.window = m_windowType;
    in.fs = parseDouble(field(FS));
    in.fc = parseDouble(field(FC));
    in.flo = parseDouble(field(FLO));
    in.fhi = parseDouble(field(FHI));
    bool ok = false;
    const int order = field(ORDER)->text().toInt(&ok, 10);
    if (ok)
        in.order = order;

    const FilterDesign d = designFilter(in);
    m_fs = d.fs;
    m_fc = d.fc;
    m_flo = d.flo;
    m_fhi = d.fhi;
    m_band = d.band;
    m_problemLabel->setText(d.problem);
    m_problemLabel->setVisible(!d.ok);
    if (!d.ok)
        return false;
    m_order = d.order;
    m_fcNorm = d.fcNorm;
    m_fhiNorm = d.fhiNorm;
    m_b = d.b;
    m_a = d.a;
    m_nb = static_cast<int>(m_b.size());
    m_na = static_cast<int>(m_a.size());
    return true;
}

QString FiltDesign::problem() const { return m_problemLabel->text(); }

void FiltDesign::on_ok()
{
    if (computeCoefficients()) {
        m_overlay = m_overlayBox->isChecked();
        m_removeDelay = m_removeDelayBox->isChecked();
        accept();
    } else {
        reject();
    }
}

void FiltDesign::on_showCoeffs() { showCoefficients(); }

void FiltDesign::on_showFrqResp() { showFrequencyResponse(); }

void FiltDesign::showCoefficients()
{
    FilterDesign d;
    d.fs = m_fs;
    d.fc = m_fc;
    d.flo = m_flo;
    d.fhi = m_fhi;
    d.fcNorm = m_fcNorm;
    d.fhiNorm = m_fhiNorm;
    d.order = m_order;
    d.b = m_b;
    d.a = m_a;
    auto* window = new QDialog(this);
    window->setWindowTitle(tr("Filter Coefficients"));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new CoeffEdit(this, window);
    view->setHtml(coefficientDocument(m_filterType, m_responseType, m_windowType, d));
    layout->addWidget(view);
    window->setMinimumSize(380, 470);
    window->show();
}

void FiltDesign::showFrequencyResponse()
{
    if (!m_plot)
        return;
    const std::vector<double> points = frequencyResponse(m_b, m_a, m_fs);
    m_plot->widget()->show();
    adjustSize();
    std::vector<double> markers;
    if (m_filterType != SMOOTH) {
        if (m_responseType == BANDPASS)
            markers = {m_flo, m_fhi};
        else
            markers = {m_fc};
    }
    static const char* const titles[] = {"Frequency Response (FIR)", "Frequency Response (IIR)",
                                         "Frequency Response (Smooth)"};
    m_plot->showResponse(points, markers, tr(titles[m_filterType]));
}

void FiltDesign::adjustSize()
{
    if (!isVisible() || !sizeHint().isValid()) {
        QDialog::adjustSize();
        return;
    }
    if (layout())
        layout()->activate();
    resize(width(), sizeHint().height());
}

void FiltDesign::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_plot)
        m_plot->widget()->setMinimumWidth(2 * width());
}
