#include "miscio/liveadvancedsetup.h"

#include "help/helpgui.h"
#include "import/datetimereader.h"
#include "platform/labeledwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <exception>

namespace {

constexpr int ROW_WIDTH = 250;
constexpr int CAPTION_WIDTH = 60;
constexpr int INDENT = 30;
constexpr int MAX_ROWS = 10000000;

// A row indented under its check box.
QWidget* indented(QWidget* row)
{
    auto* holder = new QWidget;
    auto* l = new QHBoxLayout(holder);
    l->setContentsMargins(INDENT, 0, 0, 0);
    l->addWidget(row);
    l->addStretch(1);
    return holder;
}

LabeledSpinBox* numberRow(const QString& caption, int minimum, int value)
{
    auto* row = new LabeledSpinBox(caption, minimum, MAX_ROWS, value);
    row->caption()->setFixedWidth(CAPTION_WIDTH);
    row->setFixedWidth(ROW_WIDTH);
    return row;
}

} // namespace

LiveAdvancedSetup::LiveAdvancedSetup()
    : QDialog(nullptr, Qt::Dialog | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                           Qt::WindowCloseButtonHint)
{
    setWindowTitle(tr("Live Plotting - Advanced Setup"));
    QFont f = font();
    f.setPointSize(8);
    f.setWeight(QFont::Light);
    setFont(f);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(2);

    m_slide = numberRow(tr("Slide: "), 1, 10000);
    m_slide->spinBox()->setSpecialValueText(tr("Off"));
    m_stayOnTop = new QCheckBox(tr("Stay on top"));
    auto* slideRow = new QHBoxLayout;
    slideRow->addWidget(m_slide);
    slideRow->addWidget(m_stayOnTop);
    slideRow->addStretch(1);
    layout->addLayout(slideRow);
    layout->addSpacing(10);

    m_replace = new QCheckBox(tr("Data replacement mode"));
    m_append = new QCheckBox(tr("Append data mode"));
    m_append->setChecked(true);
    layout->addWidget(m_replace);
    layout->addWidget(m_append);
    layout->addSpacing(10);

    addDateGroup(layout, tr("Use date column"),
                 {QStringLiteral("%Y-%m-%d"), QStringLiteral("%Y.%m.%d"), QStringLiteral("%Y-%b-%d"),
                  QStringLiteral("%m/%d/%y"), QStringLiteral("%m/%d/%Y")},
                 m_useDate, m_dateColumn, m_dateFormat, m_dateExample);
    addDateGroup(layout, tr("Use time column"), {QStringLiteral("%H:%M:%S%F"), QStringLiteral("%H:%M:%S")},
                 m_useTime, m_timeColumn, m_timeFormat, m_timeExample);
    addDateGroup(layout, tr("Use date/time column"),
                 {QStringLiteral("%Y%m%dT%H%M%S%F"), QStringLiteral("%Y%m%d%H%M%S"), QStringLiteral("%d%b%y_%H%M%S"),
                  QStringLiteral("%Y-%m-%d_%H%M%S")},
                 m_useDatetime, m_datetimeColumn, m_datetimeFormat, m_datetimeExample);
    m_headerRow = addCheckedRow(layout, tr("Use header row"), tr("Row: "), m_useHeader);
    m_keyColumn = addCheckedRow(layout, tr("Use key column"), tr("Column: "), m_useKey);
    m_skipRows = addCheckedRow(layout, tr("Skip rows"), tr("Rows: "), m_useSkip);

    layout->addSpacing(30);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* help = new QPushButton(tr("Help"));
    auto* ok = new QPushButton(tr("Ok"));
    help->setMaximumHeight(24);
    ok->setMaximumHeight(24);
    buttons->addWidget(help);
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    connect(m_useDate, &QCheckBox::toggled, this, &LiveAdvancedSetup::on_useDate);
    connect(m_useTime, &QCheckBox::toggled, this, &LiveAdvancedSetup::on_useTime);
    connect(m_useDatetime, &QCheckBox::toggled, this, &LiveAdvancedSetup::on_useDatetime);
    connect(m_dateFormat, &LabeledWidget::valueChanged, this, &LiveAdvancedSetup::on_changed_datefmt);
    connect(m_timeFormat, &LabeledWidget::valueChanged, this, &LiveAdvancedSetup::on_changed_timefmt);
    connect(m_datetimeFormat, &LabeledWidget::valueChanged, this, &LiveAdvancedSetup::on_changed_datetimefmt);
    connect(m_stayOnTop, &QCheckBox::clicked, this, &LiveAdvancedSetup::on_stayontop);
    connect(help, &QPushButton::clicked, this, &LiveAdvancedSetup::on_help);
    connect(ok, &QPushButton::clicked, this, &LiveAdvancedSetup::hide);

    on_changed_datefmt();
    on_changed_timefmt();
    on_changed_datetimefmt();
    recordEnableStates();
}

void LiveAdvancedSetup::addDateGroup(QVBoxLayout* layout, const QString& text, const QStringList& formats,
                                     QCheckBox*& box, LabeledSpinBox*& column, LabeledComboBox*& format,
                                     QLabel*& example)
{
    box = new QCheckBox(text);
    column = numberRow(tr("Column: "), 1, 1);
    format = new LabeledComboBox(tr("Format: "));
    format->setEditable(true);
    format->combo()->addItems(formats);
    format->combo()->setCurrentIndex(0);
    format->caption()->setFixedWidth(CAPTION_WIDTH);
    format->setFixedWidth(ROW_WIDTH);
    example = new QLabel;
    QPalette p = example->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 160));
    example->setPalette(p);
    auto* formatRow = new QWidget;
    auto* l = new QHBoxLayout(formatRow);
    l->setContentsMargins(INDENT, 0, 0, 0);
    l->addWidget(format);
    l->addWidget(example, 1);
    layout->addWidget(box);
    layout->addWidget(indented(column));
    layout->addWidget(formatRow);
    layout->addSpacing(10);
    enableDateControls(column, format, example, false);
}

LabeledSpinBox* LiveAdvancedSetup::addCheckedRow(QVBoxLayout* layout, const QString& text, const QString& caption,
                                                 QCheckBox*& box)
{
    box = new QCheckBox(text);
    LabeledSpinBox* row = numberRow(caption, 1, 1);
    row->setEnabled(false);
    layout->addWidget(box);
    layout->addWidget(indented(row));
    layout->addSpacing(10);
    connect(box, &QCheckBox::toggled, row, &QWidget::setEnabled);
    connect(box, &QCheckBox::clicked, this, &LiveAdvancedSetup::recordEnableStates);
    return row;
}

void LiveAdvancedSetup::enableDateControls(LabeledSpinBox* column, LabeledComboBox* format, QLabel* example, bool on)
{
    column->setEnabled(on);
    format->setEnabled(on);
    example->setEnabled(on);
}

int LiveAdvancedSetup::slide() const
{
    const int v = m_slide->spinBox()->value();
    return v < 2 ? -1 : v;
}

QString LiveAdvancedSetup::dateFormat() const { return m_dateFormat->combo()->currentText(); }
QString LiveAdvancedSetup::timeFormat() const { return m_timeFormat->combo()->currentText(); }
QString LiveAdvancedSetup::datetimeFormat() const { return m_datetimeFormat->combo()->currentText(); }

bool LiveAdvancedSetup::dateTimeUsed() const
{
    return m_useDate->isChecked() || m_useTime->isChecked() || m_useDatetime->isChecked();
}

std::vector<QWidget*> LiveAdvancedSetup::optionControls() const
{
    return {m_append,     m_replace,        m_useDate,        m_useDatetime,   m_useHeader,       m_useKey,
            m_useSkip,    m_useTime,        m_dateFormat,     m_timeFormat,    m_datetimeFormat,  m_dateExample,
            m_timeExample, m_datetimeExample, m_dateColumn,   m_timeColumn,    m_datetimeColumn,  m_headerRow,
            m_keyColumn,  m_skipRows,       m_slide};
}

QString LiveAdvancedSetup::example(const QString& format)
{
    try {
        return kro::import::formatDateTime(format, std::string());
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

void LiveAdvancedSetup::recordEnableStates()
{
    m_enableStates.clear();
    for (QWidget* w : optionControls())
        m_enableStates.emplace_back(w, !w->testAttribute(Qt::WA_ForceDisabled));
}

void LiveAdvancedSetup::setEnabled(bool on)
{
    for (const auto& [w, state] : m_enableStates)
        w->setEnabled(on && state);
}

void LiveAdvancedSetup::on_useDate(bool on)
{
    enableDateControls(m_dateColumn, m_dateFormat, m_dateExample, on);
    if (m_useDatetime->isChecked())
        m_useDatetime->setChecked(false);
    recordEnableStates();
    Q_EMIT dateTimeEnabled(on || m_useTime->isChecked() || m_useDatetime->isChecked());
}

void LiveAdvancedSetup::on_useTime(bool on)
{
    enableDateControls(m_timeColumn, m_timeFormat, m_timeExample, on);
    if (m_useDatetime->isChecked())
        m_useDatetime->setChecked(false);
    recordEnableStates();
    Q_EMIT dateTimeEnabled(on || m_useDate->isChecked() || m_useDatetime->isChecked());
}

void LiveAdvancedSetup::on_useDatetime(bool on)
{
    enableDateControls(m_datetimeColumn, m_datetimeFormat, m_datetimeExample, on);
    if (on) {
        // Untick the separate columns without running their own slots.
        const std::pair<QCheckBox*, void (LiveAdvancedSetup::*)(bool)> others[] = {
            {m_useDate, &LiveAdvancedSetup::on_useDate}, {m_useTime, &LiveAdvancedSetup::on_useTime}};
        for (const auto& [box, slot] : others) {
            if (!box->isChecked())
                continue;
            disconnect(box, &QCheckBox::toggled, this, slot);
            box->setChecked(false);
            connect(box, &QCheckBox::toggled, this, slot);
        }
        enableDateControls(m_dateColumn, m_dateFormat, m_dateExample, false);
        enableDateControls(m_timeColumn, m_timeFormat, m_timeExample, false);
    }
    recordEnableStates();
    Q_EMIT dateTimeEnabled(m_useDate->isChecked() || on || m_useTime->isChecked());
}

void LiveAdvancedSetup::on_changed_datefmt() { m_dateExample->setText(example(dateFormat())); }
void LiveAdvancedSetup::on_changed_timefmt() { m_timeExample->setText(example(timeFormat())); }
void LiveAdvancedSetup::on_changed_datetimefmt() { m_datetimeExample->setText(example(datetimeFormat())); }

void LiveAdvancedSetup::on_help() { new HelpGui(tr("Advanced Setup - Help"), 2, this); }

void LiveAdvancedSetup::on_stayontop()
{
    const QPoint at = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, !(windowFlags() & Qt::WindowStaysOnTopHint));
    move(at);
    QDialog::show();
}

void LiveAdvancedSetup::show()
{
    if (isMinimized())
        showNormal();
    if (isHidden() || !isActiveWindow()) {
        QDialog::show();
        activateWindow();
    }
}

void LiveAdvancedSetup::hide()
{
    Q_EMIT closed();
    QDialog::hide();
}

void LiveAdvancedSetup::reject()
{
    Q_EMIT closed();
    QDialog::reject();
}
