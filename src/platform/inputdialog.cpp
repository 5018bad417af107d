#include "platform/inputdialog.h"

#include "platform/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <memory>

namespace {

QDoubleValidator* numberValidator(double minimum, double maximum, int decimals, QObject* parent)
{
    auto* v = new QDoubleValidator(minimum, maximum, decimals, parent);
    v->setLocale(QLocale::c());
    return v;
}

// The two pieces of a two-part label (the second may be empty).
std::pair<QString, QString> splitLabel(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return {parts.value(0), parts.value(1)};
}

} // namespace

InputDialog::InputDialog(const QString& label, const QString& helpText, QWidget* parent, int type)
    : QDialog(parent), m_helpText(helpText), m_type(type)
{
    setModal(true);
    const bool twoPart = type == 3 || type == 5 || type == 6;
    const auto [first, second] = splitLabel(label);

    auto* vbox = new QVBoxLayout(this);
    vbox->setContentsMargins(7, 7, 7, 7);
    vbox->setSpacing(7);
    m_label = new QLabel(twoPart ? first : label, this);
    vbox->addWidget(m_label);

    m_stack = new QStackedWidget(this);
    vbox->addWidget(m_stack);
    if (type != 3) {
        m_spin = new QSpinBox(m_stack);
        m_stack->addWidget(m_spin);
    }
    m_edit = new QLineEdit(m_stack);
    m_stack->addWidget(m_edit);
    m_combo = new QComboBox(m_stack);
    m_combo->setEditable(false);
    m_stack->addWidget(m_combo);
    m_editableCombo = new QComboBox(m_stack);
    m_editableCombo->setEditable(true);
    m_stack->addWidget(m_editableCombo);

    if (type == 3) {
        m_check = new QCheckBox(second, this);
        vbox->addWidget(m_check);
    }
    if (type == 5 || type == 6) {
        m_label2 = new QLabel(second, this);
        vbox->addWidget(m_label2);
        m_edit2 = new QLineEdit(this);
        vbox->addWidget(m_edit2);
    }

    auto* row = new QHBoxLayout;
    row->setSpacing(7);
    vbox->addLayout(row, 2);
    row->addStretch();
    m_help = new QPushButton(tr("Help"), this);
    m_help->setObjectName(QStringLiteral("qt_help_btn"));
    m_help->setAutoDefault(false);
    m_help->setDefault(false);
    row->addWidget(m_help);
    m_help->setVisible(!helpText.isEmpty());
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setObjectName(QStringLiteral("qt_ok_btn"));
    m_ok->setDefault(true);
    row->addWidget(m_ok);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("qt_cancel_btn"));
    m_cancel->setAutoDefault(false);
    row->addWidget(m_cancel);
    const QSize a = m_ok->sizeHint(), b = m_cancel->sizeHint();
    const QSize common(std::max(a.width(), b.width()), std::max(a.height(), b.height()));
    m_ok->setFixedSize(common);
    m_cancel->setFixedSize(common);

    // Return in the first line edit goes to tryAccept only; the dialog's
    // default button must not accept past it.
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textChanged, this, &InputDialog::textChanged);
    if (m_edit2)
        connect(m_edit2, &QLineEdit::textChanged, this, &InputDialog::text2Changed);
    connect(m_help, &QPushButton::clicked, this, &InputDialog::showHelp);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    setType(type);

    const int w = std::max(400, sizeHint().width());
    const int h = vbox->hasHeightForWidth() ? vbox->heightForWidth(w) : sizeHint().height();
    resize(w, std::max(h, sizeHint().height()));
}

void InputDialog::setType(int type)
{
    QWidget* input = nullptr;
    switch (type) {
    case 0:
        input = m_combo;
        break;
    case 1:
        input = m_editableCombo;
        break;
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
        input = m_edit;
        break;
    case 7:
        input = m_spin;
        break;
    default:
        qWarning("InputDialog::setType: Invalid type");
        return;
    }
    m_stack->setCurrentWidget(input);
    m_stack->setFixedHeight(input->sizeHint().height());
    input->setFocus();
    m_label->setBuddy(input);
    if (m_edit2) {
        m_edit2->setFixedHeight(m_edit2->sizeHint().height());
        m_label2->setBuddy(m_edit2);
    }
}

bool InputDialog::acceptable(const QLineEdit* edit)
{
    const QValidator* v = edit->validator();
    if (!v)
        return true;
    QString text = edit->text();
    int pos = edit->cursorPosition();
    return v->validate(text, pos) == QValidator::Acceptable;
}

void InputDialog::textChanged(const QString& text)
{
    bool on = true;
    if (m_edit->validator())
        on = acceptable(m_edit);
    else if (m_type != 2 && m_type != 4)
        on = !text.isEmpty();
    if (m_type == 5 && on && m_edit2->validator())
        on = acceptable(m_edit2);
    if (m_type == 6) {
        const QSignalBlocker quiet(m_edit2);
        m_edit2->setText(formatNumber(1.0 / readNumber(text)));
    }
    m_ok->setEnabled(on);
}

void InputDialog::text2Changed(const QString& text)
{
    if (m_type == 6) {
        const QSignalBlocker quiet(m_edit);
        m_edit->setText(formatNumber(1.0 / readNumber(text)));
    } else if (m_type == 5) {
        bool on = acceptable(m_edit);
        if (m_edit2->validator())
            on = acceptable(m_edit2);
        m_ok->setEnabled(on);
    }
}

void InputDialog::tryAccept()
{
    if (!m_edit->text().isEmpty() && m_ok->isEnabled())
        accept();
}

void InputDialog::showHelp() { kro::prompter().information(this, tr("Help"), m_helpText); }

bool InputDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            tryAccept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString InputDialog::twoLines(const QString& first, const QString& second)
{
    return tr("%1\n%2").arg(first, second);
}

QString InputDialog::formatNumber(double value) { return QString::number(value, 'g', 10); }

double InputDialog::readNumber(const QString& text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? v : 0.0;
}

std::pair<QString, bool> InputDialog::getTextAndFlag(const QString& caption, const QString& label,
                                                     const QString& checkText, const QString& helpText, bool* ok,
                                                     QWidget* parent)
{
    auto dlg = std::make_unique<InputDialog>(twoLines(label, checkText), helpText, parent, 3);
    dlg->setWindowTitle(caption);
    dlg->lineEdit()->setEchoMode(QLineEdit::Normal);
    dlg->lineEdit()->clear();
    const bool accepted = kro::prompter().execDialog(dlg.get()) == QDialog::Accepted;
    if (ok)
        *ok = accepted;
    return {accepted ? dlg->lineEdit()->text() : QString(), dlg->checkBox()->isChecked()};
}

QString InputDialog::getNumberText(const QString& caption, const QString& label, const QString& helpText,
                                   double value, double minimum, double maximum, bool* ok, QWidget* parent)
{
    auto dlg = std::make_unique<InputDialog>(label, helpText, parent, 2);
    dlg->setWindowTitle(caption);
    dlg->lineEdit()->setValidator(numberValidator(minimum, maximum, 10, dlg->lineEdit()));
    dlg->lineEdit()->setText(QString::number(value, 'f', 10));
    dlg->lineEdit()->selectAll();
    const bool accepted = kro::prompter().execDialog(dlg.get()) == QDialog::Accepted;
    if (ok)
        *ok = accepted;
    return dlg->lineEdit()->text();
}

double InputDialog::getDouble(const QString& caption, const QString& label1, const QString& label2,
                              const QString& helpText, double value, double minimum, double maximum, bool* ok)
{
    auto dlg = std::make_unique<InputDialog>(twoLines(label1, label2), helpText, nullptr, 6);
    dlg->setWindowTitle(caption);
    dlg->lineEdit()->setValidator(numberValidator(minimum, maximum, 100, dlg->lineEdit()));
    dlg->lineEdit()->setText(formatNumber(value));
    dlg->lineEdit()->selectAll();
    const bool accepted = kro::prompter().execDialog(dlg.get()) == QDialog::Accepted;
    if (ok)
        *ok = accepted;
    return readNumber(dlg->lineEdit()->text());
}

void InputDialog::installAsTwoNumberPrompt()
{
    kro::setDoublePairDialog([](QWidget* parent, const QString& title, const QString& label1, const QString& label2,
                                const QString& text, double value, double min,
                                double max) -> std::optional<std::pair<double, double>> {
        bool ok = false;
        const auto values = getDoublePair(title, label1, label2, text, value, min, max, &ok, parent);
        return ok ? std::optional(values) : std::nullopt;
    });
}

std::pair<double, double> InputDialog::getDoublePair(const QString& caption, const QString& label1,
                                                     const QString& label2, const QString& helpText, double value,
                                                     double minimum, double maximum, bool* ok, QWidget* parent)
{
    auto dlg = std::make_unique<InputDialog>(twoLines(label1, label2), helpText, parent, 5);
    dlg->setWindowTitle(caption);
    dlg->lineEdit()->setValidator(numberValidator(minimum, maximum, 8, dlg->lineEdit()));
    dlg->secondLineEdit()->setValidator(numberValidator(minimum, maximum, 8, dlg->secondLineEdit()));
    dlg->lineEdit()->setText(formatNumber(value));
    dlg->lineEdit()->selectAll();
    const bool accepted = kro::prompter().execDialog(dlg.get()) == QDialog::Accepted;
    if (ok)
        *ok = accepted;
    return {readNumber(dlg->lineEdit()->text()), readNumber(dlg->secondLineEdit()->text())};
}
