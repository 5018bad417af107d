#include "plot/rotationdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/labeledwidget.h"
#include "plot/curvelistbox.h"

RotationDialog::RotationDialog(QWidget* parent, const std::map<int, Rgb>& curves) : QDialog(parent)
{
    setModal(true);
    setWindowTitle(tr("Rotate Curves"));

    m_points = new LabeledSpinBox(tr("Points: "), 1, 2147483647, 1, this);
    m_points->spinBox()->setSingleStep(1);
    m_points->setToolTip(tr("Enter the number of rotation points."));
    m_points->caption()->setFixedWidth(80);

    m_direction = new LabeledRadioOpts(tr("Direction: "), this);
    m_direction->setOptions({tr("Right"), tr("Left")});
    m_direction->setValue(0, true);
    m_direction->setToolTip(tr("Enter the direction of rotation."));
    m_direction->caption()->setFixedWidth(80);

    auto* leftColumn = new QVBoxLayout;
    leftColumn->addWidget(m_points);
    leftColumn->addSpacing(10);
    leftColumn->addWidget(m_direction);
    leftColumn->addStretch();

    m_curves = new CurveListBox(this, 1, -1);
    m_curves->m_prefix = QStringLiteral("Curve");
    m_curves->setSelectionMode(QAbstractItemView::ExtendedSelection);
    std::map<int, Rgb> items = curves;
    items.emplace(-1, Rgb(Rgb::NotSet));
    m_curves->setCurves(items);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(10);
    columns->addLayout(leftColumn);
    columns->addWidget(m_curves);

    auto* ok = new QPushButton(tr("Ok"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    ok->setFixedHeight(24);
    cancel->setFixedHeight(24);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(10, 10, 10, 10);
    top->addLayout(columns);
    top->addSpacing(30);
    top->addLayout(buttons);
}

int RotationDialog::points() const { return m_points->value().number; }

bool RotationDialog::left() const { return m_direction->value().number == 1; }

std::vector<int> RotationDialog::chosenIds() const
{
    std::vector<int> ids;
    for (int number : m_curves->selectedIds())
        ids.push_back(number <= 0 ? ALL_CURVES : number - 1);
    return ids;
}
