#include "analysis/fftdialog.h"

#include <QComboBox>
#include <QDoubleValidator>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cfloat>
#include <cmath>

#include "core/linearfilter.h"
#include "core/specialsymbols.h"
#include "platform/prompter.h"

namespace {

QDoubleValidator* numberValidator(QObject* parent)
{
    auto* v = new QDoubleValidator(-DBL_MAX, DBL_MAX, 100, parent);
    v->setLocale(QLocale::c());
    v->setNotation(QDoubleValidator::ScientificNotation);
    return v;
}

bool acceptable(const QLineEdit* edit)
{
    if (!edit)
        return true;
    QString text = edit->text();
    int pos = 0;
    return edit->validator()->validate(text, pos) == QValidator::Acceptable;
}

// A group box whose captions stand above their fields.
QVBoxLayout* addGroup(QVBoxLayout* outer, QWidget* parent, const QString& title)
{
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    outer->addWidget(box);
    return layout;
}

QString helpText(bool phaseNoise)
{
    QString t = QStringLiteral("<u>FFT Options Dialog</u><br><br>");
    if (phaseNoise)
        t += QStringLiteral("<b>Carrier Frequency:<br></b>"
                            " Enter the center (carrier) frequency of the oscillator.<br>"
                            " This option is only available for Phase Noise plots.<br><br>");
    t += QStringLiteral(
        "<b>Sample Interval:<br></b>"
        " Enter the data sample period (/tau) in seconds, or the data sample rate<br>"
        " in the appropriate box.<br>"
        " The \"Sample Period\" and \"Sample Rate\" boxes are reciprocals. Entering a<br>"
        " value into one of them will automatically set the other.<br><br>"
        "<b>Averaging:<br></b>"
        " Enter the number of sets into which the data should be divided. The FFT will<br>"
        " be operated on each set, averaged, and then plotted as a single set.<br>"
        " The total number of FFT points used for each set will be displayed in<br>"
        " the \"Pnts per slice\" box.<br><br>"
        "<b>FFT Windowing:<br></b>"
        " Window weighting functions are commonly used in FFT analysis to reduce the <br>"
        " effects of spectral leakage, typical of transforms of finite-length data<br>"
        " sequences. KRO provides the most commonly used windows.<br>");
    return replaceSpecialSymbols(t);
}

QString reciprocalText(const QString& text) { return QString::number(1.0 / text.toDouble(), 'g', 10); }

} // namespace

SpinBoxSlices::SpinBoxSlices(QWidget* parent) : QSpinBox(parent)
{
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinBoxSlices::textChanged);
}

void SpinBoxSlices::textChanged()
{
    // The text counts as soon as it is typed, not only when editing ends.
    Q_EMIT valueChanged(valueFromText(cleanText()));
}

FFTInputDialog::FFTInputDialog(bool phaseNoise, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("FFT Configuration"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(7, 7, 7, 7);
    outer->setSpacing(7);

    if (phaseNoise) {
        QVBoxLayout* g = addGroup(outer, this, tr("Carrier Frequency"));
        g->addWidget(new QLabel(tr("Enter Freq (Hz): "), this));
        m_carrierEdit = new QLineEdit(QStringLiteral("10e6"), this);
        m_carrierEdit->setValidator(numberValidator(m_carrierEdit));
        g->addWidget(m_carrierEdit);
        connect(m_carrierEdit, &QLineEdit::textChanged, this, &FFTInputDialog::on_carfrqChanged);
    }

    QVBoxLayout* interval = addGroup(outer, this, tr("Sample Interval"));
    interval->addWidget(new QLabel(tr("Sample Period (s): "), this));
    m_periodEdit = new QLineEdit(this);
    m_periodEdit->setValidator(numberValidator(m_periodEdit));
    interval->addWidget(m_periodEdit);
    interval->addWidget(new QLabel(tr("Sample Rate (Hz): "), this));
    m_rateEdit = new QLineEdit(this);
    m_rateEdit->setValidator(numberValidator(m_rateEdit));
    interval->addWidget(m_rateEdit);
    connect(m_periodEdit, &QLineEdit::textChanged, this, &FFTInputDialog::on_periodChanged);
    connect(m_rateEdit, &QLineEdit::textChanged, this, &FFTInputDialog::on_rateChanged);

    QVBoxLayout* averaging = addGroup(outer, this, tr("Averaging"));
    averaging->addWidget(new QLabel(tr("Number Of Slices: "), this));
    m_slicesSpin = new SpinBoxSlices(this);
    m_slicesSpin->setRange(1, 2147483647);
    m_slicesSpin->setSingleStep(1);
    m_slicesSpin->setValue(1);
    averaging->addWidget(m_slicesSpin);
    averaging->addWidget(new QLabel(tr("Pnts Per Slice: "), this));
    m_pointsEdit = new QLineEdit(this);
    m_pointsEdit->setReadOnly(true);
    averaging->addWidget(m_pointsEdit);
    connect(m_slicesSpin, &QSpinBox::valueChanged, this, &FFTInputDialog::on_updatePntsPerSlice);

    QVBoxLayout* windowing = addGroup(outer, this, tr("FFT Windowing: "));
    windowing->addWidget(new QLabel(tr("Windows: "), this));
    m_windowCombo = new QComboBox(this);
    m_windowCombo->addItems({QStringLiteral("Bartlett"), QStringLiteral("Blackman"), QStringLiteral("Boxcar"),
                             QStringLiteral("Hamming"), QStringLiteral("Hanning"), QStringLiteral("Welch")});
    m_windowCombo->setCurrentIndex(3);
    windowing->addWidget(m_windowCombo);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* help = new QPushButton(tr("Help"), this);
    help->setAutoDefault(false);
    m_okButton = new QPushButton(tr("OK"), this);
    m_okButton->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    const QSize a = m_okButton->sizeHint(), b = cancel->sizeHint();
    const QSize common(std::max(a.width(), b.width()), std::max(a.height(), b.height()));
    m_okButton->setFixedSize(common);
    cancel->setFixedSize(common);
    buttons->addWidget(help);
    buttons->addWidget(m_okButton);
    buttons->addWidget(cancel);
    outer->addLayout(buttons, 2);
    connect(help, &QPushButton::clicked, this, &FFTInputDialog::on_showHelp);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_helpText = helpText(phaseNoise);
    resize(std::max(400, sizeHint().width()), sizeHint().height());
    updateOk();
}

bool FFTInputDialog::validate() const
{
    if (!acceptable(m_periodEdit) || !acceptable(m_rateEdit) || !acceptable(m_carrierEdit))
        return false;
    // A rate of 0, below 0 or infinite gives no spectrum; nor does a slice of
    // fewer than two points.
    const double rate = m_rateEdit->text().toDouble();
    return rate > 0 && std::isfinite(rate) && m_pointsEdit->text().toLongLong() >= 2;
}

void FFTInputDialog::updateOk() { m_okButton->setEnabled(validate()); }

void FFTInputDialog::on_periodChanged(const QString& text)
{
    {
        const QSignalBlocker quiet(m_rateEdit);
        m_rateEdit->setText(reciprocalText(text));
    }
    updateOk();
}

void FFTInputDialog::on_rateChanged(const QString& text)
{
    {
        const QSignalBlocker quiet(m_periodEdit);
        m_periodEdit->setText(reciprocalText(text));
    }
    updateOk();
}

void FFTInputDialog::on_carfrqChanged(const QString&) { updateOk(); }

void FFTInputDialog::on_updatePntsPerSlice(int slices)
{
    const double per = slices > 0 ? static_cast<double>(m_totalPoints) / slices : 0.0;
    m_pointsEdit->setText(QString::number(static_cast<long long>(std::trunc(per))));
    updateOk();
}

void FFTInputDialog::on_showHelp() { kro::prompter().information(this, tr("Help"), m_helpText); }

void FFTInputDialog::setTotalPoints(int count)
{
    m_totalPoints = count;
    on_updatePntsPerSlice(m_slicesSpin->value());
}

void FFTInputDialog::setSamplePeriod(double seconds)
{
    const QString text = QString::number(seconds, 'g', 10);
    {
        const QSignalBlocker quiet(m_periodEdit);
        m_periodEdit->setText(text);
    }
    on_periodChanged(text);
}

FftSettings FFTInputDialog::settings() const
{
    FftSettings s;
    s.slices = m_slicesSpin->value();
    s.samplePeriod = m_periodEdit->text().toDouble();
    if (m_carrierEdit)
        s.carrier = m_carrierEdit->text().toDouble();
    s.sampleRate = 1.0 / s.samplePeriod;
    s.pointsPerSlice = m_pointsEdit->text().toInt(nullptr, 10);
    s.windowName = m_windowCombo->currentText();
    s.window = windowFromName(s.windowName.toUpper().toLatin1().constData());
    return s;
}

FftSettings promptFftSettings(int totalPoints, double samplePeriod, bool phaseNoise, bool* ok, QWidget* parent)
{
    FFTInputDialog dialog(phaseNoise, parent);
    dialog.setTotalPoints(totalPoints);
    dialog.setSamplePeriod(samplePeriod);
    const bool accepted = kro::prompter().execDialog(&dialog) == QDialog::Accepted;
    FftSettings s;
    if (accepted)
        s = dialog.settings();
    const bool usable = accepted && s.sampleRate > 0 && std::isfinite(s.sampleRate) && s.pointsPerSlice >= 1;
    if (ok)
        *ok = usable;
    return s;
}
