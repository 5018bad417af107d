#include "plot/arrowtable.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <stdexcept>

#include "core/specialsymbols.h"
#include "platform/prompter.h"
#include "plot/annotationcells.h"
#include "plot/linewidget.h"
#include "plot/plotter.h"

namespace {

const QString kText = QStringLiteral("Text");
const QString kTextRotation = QStringLiteral("Text Rotation");
const QString kTextFrame = QStringLiteral("Text Frame");
const QString kLineWidth = QStringLiteral("Line width");
const QString kColor = QStringLiteral("Color");
const QString kFontSize = QStringLiteral("Font Size");
const QString kXHead = QStringLiteral("X Head");
const QString kYHead = QStringLiteral("Y Head");
const QString kXTail = QStringLiteral("X Tail");
const QString kYTail = QStringLiteral("Y Tail");
const QString kArrowHead = QStringLiteral("Arrow Head");
const QString kArrowTail = QStringLiteral("Arrow Tail");
const QString kDelete = QString();

struct ColumnDef {
    const QString* header;
    int width;
};
const ColumnDef kColumns[] = {
    {&kText, 200},  {&kTextRotation, 100}, {&kTextFrame, 90}, {&kLineWidth, 75}, {&kColor, 80},
    {&kFontSize, 70}, {&kXHead, 60},       {&kYHead, 60},     {&kXTail, 60},     {&kYTail, 60},
    {&kArrowHead, 90}, {&kArrowTail, 85},  {&kDelete, 60},
};
constexpr int kColumnCount = int(std::size(kColumns));

const QColor kArrowColour(10, 10, 10);

// The arrows' text font: fixed pitch, normal weight, italic.
QFont arrowFont(int points)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSize(points);
    f.setWeight(QFont::Normal);
    f.setItalic(true);
    return f;
}

} // namespace

ArrowTable::ArrowTable(Plotter* plot) : QTableWidget(0, kColumnCount, nullptr), m_plotter(plot)
{
    setObjectName(QStringLiteral("Arrow Table"));
    horizontalHeader()->setSectionsMovable(true);
    QStringList headers;
    for (const ColumnDef& c : kColumns)
        headers << *c.header;
    setHorizontalHeaderLabels(headers);
    for (int c = 0; c < kColumnCount; ++c)
        setColumnWidth(c, kColumns[c].width);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = indexAt(at);
        contextMenu(index.row(), index.column(), viewport()->mapToGlobal(at));
    });
    setWindowTitle(tr("Arrow Table"));
}

ArrowTable::~ArrowTable()
{
    for (ArrowWidget* a : m_arrows)
        delete a;
    m_arrows.clear();
}

template <typename Body>
void ArrowTable::guarded(Body body)
{
    try {
        body();
    } catch (const std::exception& e) {
        Q_EMIT m_plotter->transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

int ArrowTable::columnOf(const QString& text) const
{
    for (int c = 0; c < columnCount(); ++c) {
        const QTableWidgetItem* h = horizontalHeaderItem(c);
        if (h && h->text().compare(text, Qt::CaseInsensitive) == 0)
            return c;
    }
    throw std::runtime_error("Entry column not found in ArrowTable.");
}

QWidget* ArrowTable::cell(int row, const QString& header) const { return cellWidget(row, columnOf(header)); }

int ArrowTable::spinValue(int row, const QString& header) const
{
    const auto* box = qobject_cast<QSpinBox*>(cell(row, header));
    return box ? box->value() : 0;
}

bool ArrowTable::checked(int row, const QString& header) const
{
    const auto* box = qobject_cast<QCheckBox*>(cell(row, header));
    return box && box->isChecked();
}

QPoint ArrowTable::headPoint(int row) const { return {spinValue(row, kXHead), spinValue(row, kYHead)}; }

QPoint ArrowTable::tailPoint(int row) const { return {spinValue(row, kXTail), spinValue(row, kYTail)}; }

bool ArrowTable::arrowHeadEnabled(int row) const { return checked(row, kArrowHead); }

bool ArrowTable::arrowTailEnabled(int row) const { return checked(row, kArrowTail); }

ArrowWidget* ArrowTable::arrow(int number) const
{
    for (ArrowWidget* a : m_arrows)
        if (a->m_number == number)
            return a;
    return nullptr;
}

bool ArrowTable::senderArrow(const QString& header, int& row, ArrowWidget*& found) const
{
    const QObject* from = sender();
    const int column = columnOf(header);
    for (int r = 0; r < rowCount(); ++r)
        if (from && cellWidget(r, column) == from) {
            row = r;
            found = arrow(r);
            return found != nullptr;
        }
    return false;
}

void ArrowTable::addRow()
{
    guarded([this] {
        const int r = rowCount();
        insertRow(r);
        const int w = m_plotter->width();
        const int h = m_plotter->height();

        auto* text = new QLineEdit(tr("Arrow text"));
        connect(text, &QLineEdit::textChanged, this, &ArrowTable::updateText);
        setCellWidget(r, columnOf(kText), text);

        auto check = [this](bool on, void (ArrowTable::*slot)()) {
            auto* box = new QCheckBox(tr("Enable"));
            box->setChecked(on);
            connect(box, &QCheckBox::clicked, this, slot);
            return box;
        };
        auto spin = [this](int minimum, int maximum, int step, int value, void (ArrowTable::*slot)()) {
            auto* box = new QSpinBox;
            box->setRange(minimum, maximum);
            box->setSingleStep(step);
            box->setValue(value);
            connect(box, &QSpinBox::valueChanged, this, slot);
            return box;
        };
        setCellWidget(r, columnOf(kTextRotation), check(false, &ArrowTable::updateTextRotation));
        setCellWidget(r, columnOf(kTextFrame), check(false, &ArrowTable::updateTextFrame));
        setCellWidget(r, columnOf(kLineWidth), spin(1, 80, 1, 1, &ArrowTable::updateLineWidth));
        auto* swatch = new ColorSwatch(kArrowColour, false);
        connect(swatch, &ColorSwatch::doubleClicked, this, [this, swatch] {
            for (int row = 0; row < rowCount(); ++row)
                if (cellWidget(row, columnOf(kColor)) == swatch)
                    cellDoubleClicked(row, columnOf(kColor));
        });
        setCellWidget(r, columnOf(kColor), swatch);
        setCellWidget(r, columnOf(kFontSize), spin(2, 80, 1, 10, &ArrowTable::updateFontSize));
        setCellWidget(r, columnOf(kXHead), spin(0, w, 5, int(w * 0.5), &ArrowTable::updateXPosHead));
        setCellWidget(r, columnOf(kYHead), spin(0, h, 5, int(h * 0.5), &ArrowTable::updateYPosHead));
        setCellWidget(r, columnOf(kXTail), spin(0, w, 5, int(w * 3 * 0.25), &ArrowTable::updateXPosTail));
        setCellWidget(r, columnOf(kYTail), spin(0, h, 5, int(h * 0.5), &ArrowTable::updateYPosTail));
        setCellWidget(r, columnOf(kArrowHead), check(false, &ArrowTable::updateArrowHeadState));
        setCellWidget(r, columnOf(kArrowTail), check(true, &ArrowTable::updateArrowTailState));
        auto* remove = new QPushButton(tr("Delete"));
        remove->setObjectName(QString::number(r));
        connect(remove, &QPushButton::clicked, this, &ArrowTable::removeCurrentRow);
        setCellWidget(r, columnOf(kDelete), remove);

        auto* a = new ArrowWidget(r, m_plotter);
        a->m_isDifference = true;
        a->m_orientation = 2;
        a->m_lineWidth = 1;
        a->m_rotateText = false;
        a->m_textFrame = false;
        a->m_headAtP1 = false;
        a->m_headAtP2 = true;
        a->m_color = kArrowColour;
        a->setFont(arrowFont(10));
        a->m_origin = QPoint(m_plotter->m_marginLeft, m_plotter->m_marginTop);
        a->m_p1 = headPoint(r) - a->m_origin;
        a->m_p2 = tailPoint(r) - a->m_origin;
        a->hide();
        connect(a, &LineWidget::releaseEvent, this, &ArrowTable::arrowDragged);
        connect(a, &ArrowWidget::customize, this, qOverload<int>(&ArrowTable::show));
        m_arrows.push_back(a);
        a->setToolTip(tr("Right-click to customize"));
        Q_EMIT arrowBuilt(a);
    });
}

int ArrowTable::tableWidth() const
{
    int width = verticalHeader()->width() + 12;
    for (int c = 0; c < columnCount(); ++c)
        width += columnWidth(c);
    return width;
}

void ArrowTable::show()
{
    QTableWidget::show();
    resize(tableWidth(), height());
}

void ArrowTable::show(int number)
{
    guarded([this, number] {
        resize(tableWidth(), height());
        clearSelection();
        const int textColumn = columnOf(kText);
        for (int r = 0; r < rowCount(); ++r)
            if (auto* edit = qobject_cast<QLineEdit*>(cellWidget(r, textColumn)))
                edit->deselect();
        if (isMinimized())
            showNormal();
        if (isHidden() || !isVisible()) {
            QTableWidget::show();
            activateWindow();
        }
        if (auto* edit = number >= 0 && number < rowCount() ? qobject_cast<QLineEdit*>(cellWidget(number, textColumn))
                                                             : nullptr) {
            edit->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
        }
    });
}

void ArrowTable::arrowDragged(int number)
{
    guarded([this, number] {
        ArrowWidget* a = arrow(number);
        if (!a || number >= rowCount())
            return;
        // Copies: each change below moves the arrow through its update slot.
        const QPoint head = a->m_origin + a->m_p1;
        const QPoint tail = a->m_origin + a->m_p2;
        const std::pair<const QString*, int> values[] = {
            {&kXHead, head.x()}, {&kYHead, head.y()}, {&kXTail, tail.x()}, {&kYTail, tail.y()}};
        for (const auto& [header, value] : values)
            if (auto* box = qobject_cast<QSpinBox*>(cell(number, *header)))
                box->setValue(value);
    });
}

void ArrowTable::cellDoubleClicked(int row, int column)
{
    guarded([this, row, column] {
        if (column != columnOf(kColor))
            return;
        auto* swatch = qobject_cast<ColorSwatch*>(cellWidget(row, column));
        ArrowWidget* a = arrow(row);
        if (!swatch || !a)
            return;
        const std::optional<QColor> chosen = kro::prompter().getColor(swatch->color(), this, QString());
        if (!chosen || !chosen->isValid())
            return;
        swatch->setColor(*chosen);
        a->m_color = *chosen;
        a->refresh();
    });
}

void ArrowTable::contextMenu(int, int, const QPoint& globalPos)
{
    if (askAddRow(this, globalPos))
        addRow();
}

void ArrowTable::removeCurrentRow()
{
    guarded([this] {
        const int column = columnOf(kDelete);
        int row = -1;
        for (int r = 0; r < rowCount() && row < 0; ++r)
            if (sender() && cellWidget(r, column) == sender())
                row = r;
        if (row < 0)
            return;
        removeRow(row);
        ArrowWidget* gone = nullptr;
        for (auto it = m_arrows.begin(); it != m_arrows.end();) {
            if ((*it)->m_number == row && !gone) {
                gone = *it;
                it = m_arrows.erase(it);
                continue;
            }
            if ((*it)->m_number > row)
                --(*it)->m_number;
            ++it;
        }
        delete gone;
    });
}

template <typename Apply>
void ArrowTable::updateFrom(const QString& header, Apply apply)
{
    guarded([&] {
        int row = -1;
        ArrowWidget* a = nullptr;
        if (!senderArrow(header, row, a))
            return;
        apply(row, *a);
        a->refresh();
    });
}

void ArrowTable::updateText()
{
    updateFrom(kText, [this](int row, ArrowWidget& a) {
        a.m_caption = replaceSpecialSymbols(qobject_cast<QLineEdit*>(cell(row, kText))->text());
    });
}

void ArrowTable::updateTextRotation()
{
    updateFrom(kTextRotation, [this](int row, ArrowWidget& a) { a.m_rotateText = checked(row, kTextRotation); });
}

void ArrowTable::updateTextFrame()
{
    updateFrom(kTextFrame, [this](int row, ArrowWidget& a) { a.m_textFrame = checked(row, kTextFrame); });
}

void ArrowTable::updateLineWidth()
{
    updateFrom(kLineWidth, [this](int row, ArrowWidget& a) { a.m_lineWidth = spinValue(row, kLineWidth); });
}

void ArrowTable::updateFontSize()
{
    updateFrom(kFontSize, [this](int row, ArrowWidget& a) { a.setFont(arrowFont(spinValue(row, kFontSize))); });
}

void ArrowTable::updateArrowHeadState() { updateFrom(kArrowHead, [this](int row, ArrowWidget& a) { setHeads(row, a); }); }

void ArrowTable::updateArrowTailState() { updateFrom(kArrowTail, [this](int row, ArrowWidget& a) { setHeads(row, a); }); }

void ArrowTable::setHeads(int row, ArrowWidget& a) const
{
    a.m_headAtP1 = arrowHeadEnabled(row);
    a.m_headAtP2 = arrowTailEnabled(row);
}

void ArrowTable::updateXPosHead() { updateFrom(kXHead, [this](int row, ArrowWidget& a) { a.m_p1 = headPoint(row) - a.m_origin; }); }

void ArrowTable::updateYPosHead() { updateFrom(kYHead, [this](int row, ArrowWidget& a) { a.m_p1 = headPoint(row) - a.m_origin; }); }

void ArrowTable::updateXPosTail() { updateFrom(kXTail, [this](int row, ArrowWidget& a) { a.m_p2 = tailPoint(row) - a.m_origin; }); }

void ArrowTable::updateYPosTail() { updateFrom(kYTail, [this](int row, ArrowWidget& a) { a.m_p2 = tailPoint(row) - a.m_origin; }); }
