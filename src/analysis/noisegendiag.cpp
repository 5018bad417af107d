#include "analysis/noisegendiag.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "analysis/noisegen.h"
#include "platform/prompter.h"
#include "platform/buttonrow.h"

namespace {
double number(const QLineEdit* e)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(e->text().trimmed(), &ok);
    return ok ? v : 0.0;
}
} // namespace

NoiseGenDiag::NoiseGenDiag(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Noise Generator"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(2);

    auto* numberValidator =
        new QRegularExpressionValidator(QRegularExpression("^[-+]?[0-9]*\\.?[0-9]+([eE][-+]?[0-9]+)?$"), this);

    auto* parameters = new QGroupBox(tr("Noise Parameters"), this);
    auto* grid = new QGridLayout(parameters);
    grid->addWidget(new QLabel(tr("Magnitude"), parameters), 0, 0);
    grid->addWidget(new QLabel(tr("Alpha"), parameters), 0, 1);
    grid->addWidget(new QLabel(tr("Type"), parameters), 0, 2);
    const struct {
        const char* alpha;
        const char* type;
        int index;
    } rows[] = {
        {"  -2", "Random Walk FM", 0}, {"  -1", "Flicker FM", 1}, {"   0", "White FM", 2},
        {"   1", "Flicker PM", 3},     {"   2", "White PM", 4},
    };
    for (int r = 0; r < 5; ++r) {
        auto* edit = new QLineEdit("0.00E-00", parameters);
        edit->setValidator(numberValidator);
        m_magnitudeEdits[rows[r].index] = edit;
        grid->addWidget(edit, r + 1, 0);
        grid->addWidget(new QLabel(rows[r].alpha, parameters), r + 1, 1);
        grid->addWidget(new QLabel(tr(rows[r].type), parameters), r + 1, 2);
    }
    layout->addWidget(parameters);

    auto* settings = new QGroupBox(tr("Settings"), this);
    auto* form = new QGridLayout(settings);
    m_pointsEdit = new QLineEdit("32768", settings);
    auto* pointsValidator = new QIntValidator(settings);
    pointsValidator->setBottom(0);
    m_pointsEdit->setValidator(pointsValidator);
    m_tauEdit = new QLineEdit("1", settings);
    m_tauEdit->setValidator(numberValidator);
    m_rateEdit = new QLineEdit("0.00E-00", settings);
    m_rateEdit->setValidator(numberValidator);
    form->addWidget(new QLabel(tr("Points"), settings), 0, 0);
    form->addWidget(m_pointsEdit, 0, 1);
    form->addWidget(new QLabel(tr("Tau"), settings), 1, 0);
    form->addWidget(m_tauEdit, 1, 1);
    form->addWidget(new QLabel(tr("Rate Offset (s/s)"), settings), 2, 0);
    form->addWidget(m_rateEdit, 2, 1);
    layout->addWidget(settings);

    layout->addLayout(kro::platform::okCancelRow(static_cast<QDialog*>(this)));
}

void NoiseGenDiag::accept()
{
    bool anyNonZero = false;
    for (int i = 0; i < 5; ++i) {
        m_magnitude[i] = number(m_magnitudeEdits[i]);
        anyNonZero = anyNonZero || m_magnitude[i] != 0.0;  // NaN counts as non-zero
    }
    bool ok = false;
    const qlonglong points = m_pointsEdit->text().trimmed().toLongLong(&ok, 10);
    const bool tooMany = ok && points > kMaxNoisePoints;
    m_points = ok && !tooMany ? int(points) : 0;
    m_tau = number(m_tauEdit);
    m_rateOffset = number(m_rateEdit);
    if (!anyNonZero) {
        kro::prompter().warning(this, tr("Noise level too low"),
                                tr("You must enter a non-zero magnitude for at least\none noise type."));
        return;
    }
    if (tooMany) {
        kro::prompter().warning(this, tr("Noise Generator"),
                                tr("At most %1 points can be generated.").arg(kMaxNoisePoints));
        return;
    }
    QDialog::accept();
}
