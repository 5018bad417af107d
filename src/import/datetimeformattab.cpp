#include "import/datetimeformattab.h"

#include "core/settings.h"
#include "help/helpgui.h"
#include "import/datetimereader.h"
#include "platform/labeledwidget.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using kro::import::formatDateTime;
using kro::import::isValidDateTimeFormat;

namespace {

QString initialFormat(const QString& kind)
{
    if (kind == QLatin1String("date"))
        return getDateFormat();
    if (kind == QLatin1String("time"))
        return getTimeFormat();
    return getDateTimeFormat();
}

} // namespace

QStringList DateTimeFormatTab::presets(const QString& kind)
{
    if (kind == QLatin1String("date"))
        return {QStringLiteral("%Y-%m-%d"), QStringLiteral("%Y.%m.%d"),     QStringLiteral("%Y-%b-%d"),
                QStringLiteral("%m/%d/%y"), QStringLiteral("%m/%d/%Y"),     QStringLiteral("%a %b %d, %Y"),
                QStringLiteral("%A %b %d, %Y")};
    if (kind == QLatin1String("time"))
        return {QStringLiteral("%H:%M:%s"), QStringLiteral("%H:%M:%S"), QStringLiteral("%H:%M:%S%p")};
    return {QStringLiteral("%Y%m%dT%H%M%s"), QStringLiteral("%Y%m%d%H%M%S"), QStringLiteral("%d%b%y_%H%M%S"),
            QStringLiteral("%Y-%m-%d_%H%M%S"), QStringLiteral("%a %b %d, %Y %H%M%S")};
}

DateTimeFormatTab::DateTimeFormatTab(QWidget* parent, const QString& kind)
    : QGroupBox(tr("Field Definition"), parent), m_kind(kind)
{
    auto* layout = new QVBoxLayout(this);
    const int captionWidth = fontMetrics().horizontalAdvance(tr("Example:")) + 5;

    auto* row = new QWidget(this);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    m_formatBox = new LabeledComboBox(tr("Format:"), row);
    m_formatBox->combo()->addItems(presets(kind));
    m_formatBox->setEditable(true);
    m_formatBox->combo()->setInsertPolicy(QComboBox::NoInsert);
    // What is typed stays as typed: completing "%H:%M" to a preset would put
    // a format into the command that the user never wrote.
    m_formatBox->combo()->setCompleter(nullptr);
    m_formatBox->caption()->setFixedWidth(captionWidth);
    rowLayout->addWidget(m_formatBox, 1);
    m_help = new QPushButton(tr("More specifiers"), row);
    m_help->setFlat(true);
    QFont linkFont = m_help->font();
    linkFont.setUnderline(true);
    m_help->setFont(linkFont);
    QPalette pal = m_help->palette();
    pal.setColor(QPalette::ButtonText, QColor(63, 72, 204));
    pal.setColor(QPalette::Button, palette().color(backgroundRole()));
    m_help->setPalette(pal);
    m_help->setCursor(Qt::PointingHandCursor);
    rowLayout->addWidget(m_help);
    layout->addWidget(row);
    connect(m_help, &QPushButton::clicked, this, &DateTimeFormatTab::on_formatHelp);

    auto* gap = new QLabel(this);
    gap->setFixedHeight(25);
    layout->addWidget(gap);

    m_example = new LabeledLabel(tr("Example:"), this);
    m_example->caption()->setFixedWidth(captionWidth);
    layout->addWidget(m_example);

    QString now;
    try {
        now = formatDateTime(QStringLiteral("%a %b %d, %Y, %H:%M:%S"), std::string());
    } catch (const std::exception& e) {
        now = QString::fromLocal8Bit(e.what());
    }
    m_using = new QLabel(tr("(using: %1)").arg(now), this);
    QFont small = font();
    small.setPointSize(9);
    m_using->setFont(small);
    layout->addWidget(m_using);
    layout->addStretch(1);

    connect(m_formatBox, &LabeledWidget::valueChanged, this, &DateTimeFormatTab::on_formatChanged);
    m_formatBox->setText(initialFormat(kind), true);
    on_formatChanged();
}

QString DateTimeFormatTab::format() const { return m_formatBox->value().text; }

void DateTimeFormatTab::setFormat(const QString& text, bool verify)
{
    if (!verify) {
        m_formatBox->setText(text, false);
        return;
    }
    m_formatBox->setText(text, true);
    if (verifyFormat(format())) {
        try {
            m_example->setText(formatDateTime(format(), std::string()));
        } catch (const std::exception& e) {
            m_example->setText(QString::fromLocal8Bit(e.what()));
        }
    }
}

bool DateTimeFormatTab::verifyFormat(const QString& text)
{
    m_valid = isValidDateTimeFormat(text.toStdString());
    if (m_valid) {
        m_example->label()->setStyleSheet(QStringLiteral("color: black"));
    } else {
        m_example->label()->setStyleSheet(QStringLiteral("color: red"));
        m_example->setText(tr("Format error"));
    }
    Q_EMIT formatVerified(m_valid);
    return m_valid;
}

void DateTimeFormatTab::on_formatChanged()
{
    const QString text = format();
    if (!verifyFormat(text))
        return;
    try {
        m_example->setText(formatDateTime(text, std::string()));
    } catch (const std::exception& e) {
        m_example->setText(QString::fromLocal8Bit(e.what()));
    }
    Q_EMIT formatChanged(this);
}

void DateTimeFormatTab::on_formatHelp()
{
    // The window shows itself beside the active window and deletes itself.
    new HelpGui(tr("KRO - Datetime Format Specifiers"), 1, QApplication::activeWindow());
}
