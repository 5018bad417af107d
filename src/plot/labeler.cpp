#include "plot/labeler.h"

#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>

#include "platform/prompter.h"
#include "plot/annotationcells.h"
#include "plot/plotter.h"

namespace {
const char* const kNoText = "Click to open editor";
}

Labeler::Labeler(Plotter* plot) : QTableWidget(0, 6, nullptr), m_plotter(plot)
{
    setObjectName(QStringLiteral("Custom Labels"));
    horizontalHeader()->setSectionsMovable(true);
    setHorizontalHeaderLabels({tr("Label text"), tr("Fill Color"), tr("X Pos"), tr("Y Pos"), QString(), tr("ID")});
    const int widths[] = {200, 80, 60, 60, 60};
    for (int c = 0; c < 5; ++c)
        setColumnWidth(c, widths[c]);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    addRow();
    connect(this, &QTableWidget::cellClicked, this, &Labeler::cellClicked);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = indexAt(at);
        contextMenu(index.row(), index.column(), viewport()->mapToGlobal(at));
    });
    setToolTip(tr("Right-click to add additional custom labels."));
    setWindowTitle(tr("Custom Labels"));
}

void Labeler::show()
{
    QTableWidget::show();
    int width = verticalHeader()->width() + 12;
    for (int c = TextColumn; c <= DeleteColumn; ++c)
        width += columnWidth(c);
    resize(width, height());
}

void Labeler::addRow()
{
    const int r = rowCount();
    insertRow(r);
    auto* text = new QTableWidgetItem(tr(kNoText));
    text->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(r, TextColumn, text);

    auto* swatch = new ColorSwatch(Qt::white, true);
    swatch->setToolTip(tr("Click to change background color"));
    connect(swatch, &ColorSwatch::clicked, this, [this] {
        const int row = senderRow();
        if (row >= 0)
            cellClicked(row, ColorColumn);
    });
    setCellWidget(r, ColorColumn, swatch);

    const int w = m_plotter ? m_plotter->width() : 0;
    const int h = m_plotter ? m_plotter->height() : 0;
    auto spin = [this](int maximum, int value, const QString& tip) {
        auto* box = new QSpinBox;
        box->setRange(0, maximum);
        box->setSingleStep(5);
        box->setValue(value);
        box->setToolTip(tip);
        connect(box, &QSpinBox::valueChanged, this, &Labeler::setPositionDFlag);
        return box;
    };
    setCellWidget(r, XColumn, spin(w, int(w * 0.5), tr("Manually set horizontal position of the label")));
    setCellWidget(r, YColumn, spin(h, int(h * 0.5), tr("Manually set vertical position of the label")));

    auto* remove = new QPushButton(tr("Delete"));
    remove->setObjectName(QString::number(r));
    remove->setToolTip(tr("Click to delete this label"));
    connect(remove, &QPushButton::clicked, this, &Labeler::removeCurrentRow);
    setCellWidget(r, DeleteColumn, remove);

    auto* id = new QTableWidgetItem(QString::number(m_nextId++));
    id->setFlags(Qt::ItemIsEnabled);
    setItem(r, IdColumn, id);
    setColumnHidden(IdColumn, true);
}

int Labeler::rowId(int row) const
{
    const QTableWidgetItem* it = row >= 0 && row < rowCount() ? item(row, IdColumn) : nullptr;
    if (!it)
        return -1;
    bool ok = false;
    const int id = it->text().toInt(&ok, 10);
    return ok ? id : -1;
}

int Labeler::rowOfId(int id) const
{
    for (int r = 0; r < rowCount(); ++r)
        if (rowId(r) == id)
            return r;
    return -1;
}

QSpinBox* Labeler::xBox(int row) const { return qobject_cast<QSpinBox*>(cellWidget(row, XColumn)); }

QSpinBox* Labeler::yBox(int row) const { return qobject_cast<QSpinBox*>(cellWidget(row, YColumn)); }

QPoint Labeler::rowPosition(int row) const
{
    const QSpinBox* x = xBox(row);
    const QSpinBox* y = yBox(row);
    return x && y ? QPoint(x->value(), y->value()) : QPoint();
}

void Labeler::setRowColor(int row, const QColor& colour)
{
    if (auto* swatch = qobject_cast<ColorSwatch*>(cellWidget(row, ColorColumn)))
        swatch->setColor(colour);
}

QColor Labeler::rowColor(int row) const
{
    const auto* swatch = qobject_cast<ColorSwatch*>(cellWidget(row, ColorColumn));
    return swatch ? swatch->color() : QColor();
}

int Labeler::senderRow() const
{
    const QObject* from = sender();
    if (!from)
        return -1;
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (cellWidget(r, c) == from)
                return r;
    return -1;
}

void Labeler::cellClicked(int row, int column)
{
    if (rowCount() == 0 || row < 0 || row >= rowCount())
        return;
    if (column == TextColumn) {
        Q_EMIT textChangeRequest(rowId(row));
    } else if (column == ColorColumn) {
        const std::optional<QColor> chosen = kro::prompter().getColor(rowColor(row), this, QString());
        if (!chosen || !chosen->isValid())
            return;
        setRowColor(row, *chosen);
        m_changeKind = ColorChange;
        Q_EMIT itemChanged(rowId(row));
    }
}

void Labeler::contextMenu(int, int, const QPoint& globalPos)
{
    if (askAddRow(this, globalPos))
        addRow();
}

void Labeler::removeCurrentRow()
{
    m_changeKind = DeleteChange;
    const int row = senderRow();
    if (row < 0)
        return;
    Q_EMIT labelDeleteReq(rowId(row));
    removeRow(row);
}

void Labeler::setPositionDFlag()
{
    m_changeKind = PositionChange;
    const int row = senderRow();
    if (row >= 0)
        Q_EMIT itemChanged(rowId(row));
}
