#include "analysis/arithdiag.h"

#include "help/helpgui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

const QString kCurvesMime = QStringLiteral("text/x-curves");
const QString kAllCurves = QStringLiteral("All Curves");
constexpr int kColourRole = Qt::UserRole + 1;

} // namespace

// ---------------------------------------------------------------------------
// MutexButtonGroup

void MutexButtonGroup::addButton(QAbstractButton* button, int id)
{
    m_buttons.emplace_back(button, id);
    connect(button, &QAbstractButton::clicked, this, &MutexButtonGroup::buttonClicked);
}

void MutexButtonGroup::setSelected(int id)
{
    for (auto& [button, bid] : m_buttons)
        if (bid == id && !button->isChecked())
            button->toggle();
    m_selected = id;
}

void MutexButtonGroup::buttonClicked()
{
    // The button just turned on: on, and not the one selected before.
    int chosen = -1;
    bool found = false;
    for (const auto& [button, id] : m_buttons)
        if (button->isChecked() && id != m_selected) {
            chosen = id;
            found = true;
        }
    for (auto& [button, id] : m_buttons) {
        if (!found && id == m_selected) {
            // A click that turned the selected button off turns it back on.
            if (!button->isChecked())
                button->toggle();
        } else if ((!found || id != chosen) && button->isChecked()) {
            button->toggle();
        }
    }
    if (found) {
        m_selected = chosen;
        Q_EMIT selectionChanged(chosen);
    }
}

// ---------------------------------------------------------------------------
// Curve rows

CurveItem::CurveItem(const QColor& colour, const QString& text) : QListWidgetItem(text), m_color(colour), m_text(text)
{
    setData(kColourRole, colour);
    setSizeHint(QSize(kWidth, kHeight));
}

void CurveItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    const QRect row = option.rect;
    if (option.state & QStyle::State_Selected)
        painter->fillRect(row, option.palette.highlight());
    const QColor colour = index.data(kColourRole).value<QColor>();
    painter->fillRect(QRect(row.left() + 5, row.top() + CurveItem::kHeight / 2 - 2, 20, 4), colour);
    painter->setPen(option.palette.color(QPalette::Active, (option.state & QStyle::State_Selected)
                                                                ? QPalette::HighlightedText
                                                                : QPalette::Text));
    painter->drawText(QPoint(row.left() + 30, row.top() + CurveItem::kHeight / 2 + 4),
                      index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.initFrom(option.widget);
        focus.rect = row;
        option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
    painter->restore();
}

QSize CurveItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return QSize(CurveItem::kWidth, CurveItem::kHeight);
}

ArithDiagCurveList::ArithDiagCurveList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setFocusPolicy(Qt::NoFocus);
    setItemDelegate(new CurveItemDelegate(this));
}

QString ArithDiagCurveList::dragText() const
{
    if (count() == 0)
        return QString();
    if (item(0)->isSelected() && item(0)->text() == kAllCurves)
        return kAllCurves;
    QString text;
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected())
            text += QStringLiteral(" %1 ").arg(item(i)->text().section(QStringLiteral(" - "), 0, 0).toLower());
    return text;
}

void ArithDiagCurveList::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_pressPos = event->position().toPoint();
    QListWidget::mousePressEvent(event);
}

void ArithDiagCurveList::mouseMoveEvent(QMouseEvent* event)
{
    if ((event->buttons() & Qt::LeftButton)
        && (event->position().toPoint() - m_pressPos).manhattanLength() > QApplication::startDragDistance()) {
        const QString text = dragText();
        if (!text.isEmpty()) {
            auto* drag = new QDrag(this);
            auto* mime = new QMimeData;
            mime->setData(kCurvesMime, text.toUtf8());
            drag->setMimeData(mime);
            drag->exec(Qt::CopyAction);
            return;
        }
    }
    QListWidget::mouseMoveEvent(event);
}

ArithDiagCurveEdit::ArithDiagCurveEdit(QWidget* parent) : QLineEdit(parent) { setAcceptDrops(true); }

void ArithDiagCurveEdit::dropCurves(const QString& dropped, int position)
{
    if (dropped == kAllCurves) {
        setText(kAllCurves);
        return;
    }
    QString t = text();
    if (t.contains(kAllCurves)) {
        t.clear();
        position = 0;
    }
    t.insert(std::clamp(position, 0, int(t.size())), dropped);
    setText(t.simplified());
}

void ArithDiagCurveEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(kCurvesMime))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ArithDiagCurveEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(kCurvesMime))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ArithDiagCurveEdit::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasFormat(kCurvesMime)) {
        event->ignore();
        return;
    }
    dropCurves(QString::fromUtf8(event->mimeData()->data(kCurvesMime)), cursorPositionAt(event->position().toPoint()));
    event->acceptProposedAction();
}

// ---------------------------------------------------------------------------
// ArithDiag

const QStringList& ArithDiag::functionNames()
{
    static const QStringList names = {QStringLiteral("Max"),     QStringLiteral("Mean"),  QStringLiteral("Median"),
                                      QStringLiteral("Min"),     QStringLiteral("Rms"),   QStringLiteral("Stdev"),
                                      QStringLiteral("Sum"),     QStringLiteral("Var"),   QStringLiteral("Kurtosis"),
                                      QStringLiteral("Minview"), QStringLiteral("Maxview")};
    return names;
}

ArithDiag::ArithDiag(QWidget* parent, const IdArray& ids, const std::vector<QColor>& colours,
                     const QStringList& titles)
    : CommandDialog(parent)
{
    setObjectName(QStringLiteral("ArithDiag"));
    setWindowTitle(tr("Arithmetic Command Builder"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(10, 10, 10, 10);
    top->setSpacing(5);
    auto* upper = new QHBoxLayout;
    auto* boxes = new QVBoxLayout;
    upper->addLayout(boxes);

    auto fixedLabel = [this](const QString& text) {
        auto* l = new QLabel(text, this);
        l->setFixedWidth(65);
        return l;
    };

    // Operation.
    auto* opBox = new QGroupBox(tr("Operation"), this);
    auto* opRow = new QHBoxLayout(opBox);
    m_operationGroup = new MutexButtonGroup(this);
    const char* opNames[] = {"Add", "Sub", "Mul", "Div"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(tr(opNames[i]), opBox);
        b->setAutoExclusive(false);
        opRow->addWidget(b);
        m_operationGroup->addButton(b, i);
        m_operations.push_back(b);
    }
    m_operationGroup->setSelected(0);
    boxes->addWidget(opBox);

    // Operand (Value).
    auto* valueBox = new QGroupBox(tr("Operand (Value)"), this);
    auto* valueCol = new QVBoxLayout(valueBox);
    valueCol->setSpacing(10);
    auto* kindRow = new QHBoxLayout;
    m_constantRadio = new QRadioButton(tr("Constant"), valueBox);
    m_functionRadio = new QRadioButton(tr("Function"), valueBox);
    for (QRadioButton* b : {m_constantRadio, m_functionRadio}) {
        b->setAutoExclusive(false);
        kindRow->addWidget(b);
    }
    m_operandGroup = new MutexButtonGroup(this);
    m_operandGroup->addButton(m_constantRadio, 0);
    m_operandGroup->addButton(m_functionRadio, 1);
    m_operandGroup->setSelected(0);
    valueCol->addLayout(kindRow);
    auto* constRow = new QHBoxLayout;
    constRow->addWidget(fixedLabel(tr("Constant")));
    m_constant = new QLineEdit(QStringLiteral("0.0"), valueBox);
    m_constant->setAcceptDrops(false);
    m_constant->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("([pP][iI])|([-+]?[0-9]*\\.?[0-9]+([eE][-+]?[0-9]+)?([pP][iI])?)")),
        m_constant));
    constRow->addWidget(m_constant);
    valueCol->addLayout(constRow);
    auto* fnRow = new QHBoxLayout;
    fnRow->setSpacing(10);
    fnRow->addWidget(fixedLabel(tr("Function")));
    m_function = new QComboBox(valueBox);
    for (const QString& name : functionNames())
        m_function->addItems({name + QStringLiteral("(x)"), name + QStringLiteral("(y)")});
    m_function->setEnabled(false);
    fnRow->addWidget(m_function);
    valueCol->addLayout(fnRow);
    auto* fnCurvesRow = new QWidget(valueBox);
    auto* fnCurvesLayout = new QHBoxLayout(fnCurvesRow);
    fnCurvesLayout->setContentsMargins(0, 0, 0, 0);
    fnCurvesLayout->addWidget(fixedLabel(tr("Curve(s)")));
    m_fnCurves = new ArithDiagCurveEdit(fnCurvesRow);
    m_fnCurves->setEnabled(false);
    fnCurvesLayout->addWidget(m_fnCurves);
    m_aggregate = new QCheckBox(tr("Aggregate"), fnCurvesRow);
    m_aggregate->setChecked(true);
    m_aggregate->setEnabled(false);
    fnCurvesLayout->addWidget(m_aggregate);
    valueCol->addWidget(fnCurvesRow);
    boxes->addWidget(valueBox);

    // Axis of Operation.
    auto* axisBox = new QGroupBox(tr("Axis of Operation"), this);
    auto* axisRow = new QHBoxLayout(axisBox);
    m_xAxis = new QRadioButton(tr("X-Axis"), axisBox);
    m_yAxis = new QRadioButton(tr("Y-Axis"), axisBox);
    for (QRadioButton* b : {m_xAxis, m_yAxis}) {
        b->setAutoExclusive(false);
        axisRow->addWidget(b);
    }
    m_axisGroup = new MutexButtonGroup(this);
    m_axisGroup->addButton(m_xAxis, 0);
    m_axisGroup->addButton(m_yAxis, 1);
    m_axisGroup->setSelected(1);
    boxes->addWidget(axisBox);

    // Operand (Curves).
    m_opCurvesBox = new QGroupBox(tr("Operand (Curves)"), this);
    auto* opCurvesRow = new QHBoxLayout(m_opCurvesBox);
    opCurvesRow->addWidget(new QLabel(tr("Curve(s)"), m_opCurvesBox));
    m_opCurves = new ArithDiagCurveEdit(m_opCurvesBox);
    opCurvesRow->addWidget(m_opCurves);
    boxes->addWidget(m_opCurvesBox);

    // The curve list.
    m_curveList = new ArithDiagCurveList(this);
    upper->addWidget(m_curveList);
    if (colours.size() >= 2) {
        m_curveList->addItem(new CurveItem(Qt::black, kAllCurves));
        const std::vector<int> list = ids.ids();
        const bool withTitles = titles.size() == qsizetype(colours.size());
        for (std::size_t i = 0; i < colours.size() && i < list.size(); ++i) {
            const int number = list[i] + 1;
            const QString title = withTitles ? titles[qsizetype(i)] : tr("Curve %1").arg(number);
            m_curveList->addItem(new CurveItem(colours[i], tr("C%1 - %2").arg(QString::number(number), title)));
        }
    } else {
        m_curveList->hide();
        m_opCurvesBox->hide();
        fnCurvesRow->hide();
    }
    top->addLayout(upper);

    // The command line.
    auto* cmdRow = new QHBoxLayout;
    cmdRow->setSpacing(10);
    cmdRow->addWidget(new QLabel(tr("Command"), this));
    m_command = new QLineEdit(this);
    m_command->setAcceptDrops(false);
    cmdRow->addWidget(m_command);
    top->addLayout(cmdRow);
    top->addSpacing(10);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(20);
    buttons->addStretch();
    m_ok = new QPushButton(tr("Ok"), this);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_help = new QPushButton(tr("Help"), this);
    for (QPushButton* b : {m_ok, m_cancel, m_help}) {
        b->setFixedWidth(100);
        b->setMaximumHeight(24);
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    top->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &ArithDiag::accept);
    connect(m_cancel, &QPushButton::clicked, this, &ArithDiag::reject);
    connect(m_help, &QPushButton::clicked, this, &ArithDiag::help);

    m_constant->setFocus();
    QWidget* order[] = {m_constant, m_function, m_fnCurves, m_aggregate, m_xAxis, m_yAxis, m_opCurves,
                        m_command,  m_ok,       m_cancel,   m_help,      m_operations[0], m_constantRadio};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    m_parts = {QStringLiteral("add"), QStringLiteral("y"), QStringLiteral("0.0"), QString()};
    updateCommand();

    connect(m_operationGroup, &MutexButtonGroup::selectionChanged, this, &ArithDiag::operationChanged);
    connect(m_operandGroup, &MutexButtonGroup::selectionChanged, this, &ArithDiag::operandChanged);
    connect(m_axisGroup, &MutexButtonGroup::selectionChanged, this, &ArithDiag::axisChanged);
    connect(m_constant, &QLineEdit::textChanged, this, &ArithDiag::constantChanged);
    connect(m_function, &QComboBox::activated, this, &ArithDiag::functionChanged);
    connect(m_fnCurves, &QLineEdit::textChanged, this, &ArithDiag::fncurvesChanged);
    connect(m_aggregate, &QCheckBox::clicked, this, &ArithDiag::aggregateChanged);
    connect(m_opCurves, &QLineEdit::textChanged, this, &ArithDiag::opcurvesChanged);
    connect(m_command, &QLineEdit::textChanged, this, &ArithDiag::commandChanged);
    commandChanged();
}

QString ArithDiag::commandText() const { return m_command->text(); }

void ArithDiag::accept()
{
    m_accepted = 1;
    hide();
    Q_EMIT closed();
}

void ArithDiag::reject()
{
    m_accepted = 0;
    hide();
    Q_EMIT closed();
}

void ArithDiag::aggregateChanged()
{
    m_fnCurves->setEnabled(m_aggregate->isChecked() && m_aggregate->isEnabled());
    m_parts[2] = operandText();
    updateCommand();
}

void ArithDiag::axisChanged(int id)
{
    m_parts[1] = m_xAxis->isChecked() && id == 0 ? QStringLiteral("x") : QStringLiteral("y");
    updateCommand();
}

void ArithDiag::commandChanged() { m_ok->setEnabled(!m_command->text().simplified().isEmpty()); }

void ArithDiag::constantChanged()
{
    if (m_operandGroup->selected() == 0) {
        m_parts[2] = m_constant->text();
        updateCommand();
    }
}

void ArithDiag::help() { new HelpGui(tr("KRO - Command Builder Help"), 0, this); }

void ArithDiag::fncurvesChanged()
{
    m_parts[2] = operandText();
    updateCommand();
}

void ArithDiag::functionChanged()
{
    m_parts[2] = operandText();
    updateCommand();
}

void ArithDiag::opcurvesChanged()
{
    const QString t = m_opCurves->text();
    m_parts[3] = t.contains(kAllCurves) ? QString() : t;
    updateCommand();
}

void ArithDiag::operandChanged(int id)
{
    m_constant->setEnabled(id == 0);
    m_function->setEnabled(id == 1);
    m_aggregate->setEnabled(id == 1);
    m_fnCurves->setEnabled(m_aggregate->isChecked() && m_aggregate->isEnabled());
    m_parts[2] = id == 0 ? m_constant->text() : operandText();
    updateCommand();
}

void ArithDiag::operationChanged(int id) { operationWord(id); }

void ArithDiag::operationWord(int id)
{
    static const char* const words[] = {"add", "sub", "mul", "div"};
    if (id < 0 || id > 3)
        return;
    m_parts[0] = QString::fromLatin1(words[id]);
    if (id == 3) {
        bool ok = false;
        const double v = QLocale::c().toDouble(m_constant->text(), &ok);
        if (!ok || v == 0)
            m_constant->setText(QStringLiteral("1.0"));
    }
    updateCommand();
}

QString ArithDiag::operandText() const
{
    QString text = m_function->currentText().toLower();
    const qsizetype close = text.lastIndexOf(QLatin1Char(')'));
    if (!m_aggregate->isChecked()) {
        text.insert(close, QStringLiteral(", Cj"));
        return text;
    }
    QString curves = m_fnCurves->text();
    curves.replace(QLatin1Char(','), QLatin1Char(' '));
    curves = curves.simplified();
    if (curves == kAllCurves)
        curves.clear();
    if (!curves.isEmpty())
        text.insert(close, QStringLiteral(", ") + curves);
    return text;
}

void ArithDiag::updateCommand()
{
    QString line = m_parts[0];
    if (m_parts[1] == QLatin1String("x"))
        line += QLatin1Char('x');
    line += QLatin1Char(' ') + m_parts[2] + QLatin1Char(' ') + m_parts[3];
    m_command->setText(line.simplified());
}
