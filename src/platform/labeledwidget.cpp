#include "platform/labeledwidget.h"

#include "platform/prompter.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>

namespace {

// Text of a double in the general format with six significant digits.
QString numberText(double value)
{
    return QCoreApplication::translate("LabeledWidget", "%1").arg(QString::number(value, 'g', 6));
}

// The readings of a text field: the text, its integer and double values.
LabeledValue textValue(const QString& text, bool* ok)
{
    LabeledValue v;
    v.text = text;
    v.number = text.trimmed().toInt(nullptr, 10);
    bool converted = false;
    v.real = text.trimmed().toDouble(&converted);
    if (ok)
        *ok = converted;
    return v;
}

} // namespace

// ---------------------------------------------------------------- base row

LabeledWidget::LabeledWidget(const QString& caption, QWidget* parent)
    : QWidget(parent), m_layout(new QHBoxLayout(this)), m_caption(new QLabel(caption, this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->addWidget(m_caption);
}

void LabeledWidget::addEditor(QWidget* editor, int stretch)
{
    m_layout->addWidget(editor, stretch);
    m_editors.append(editor);
}

void LabeledWidget::setBackgroundColor(const QColor& colour)
{
    auto paint = [&](QWidget* w) {
        QPalette pal = w->palette();
        pal.setColor(w->backgroundRole(), colour);
        w->setPalette(pal);
        w->setAutoFillBackground(true);
    };
    for (QWidget* w : m_editors)
        paint(w);
    paint(this);
}

void LabeledWidget::setOptions(const QStringList&, int) {}
void LabeledWidget::setDimensions(int, int, bool) {}
void LabeledWidget::setText(const QString&, bool) {}
void LabeledWidget::setColor(quint32, bool) {}
void LabeledWidget::setValue(double, bool) {}
void LabeledWidget::setValue(int, bool) {}
void LabeledWidget::select(bool, bool) {}

LabeledValue LabeledWidget::value(bool* ok) const
{
    if (ok)
        *ok = true;
    return LabeledValue();
}

void LabeledWidget::editorChanged()
{
    if (m_muted == 0)
        Q_EMIT valueChanged();
}

// ---------------------------------------------------------------- combo box

LabeledComboBox::LabeledComboBox(const QString& caption, QWidget* parent)
    : LabeledWidget(caption, parent), m_combo(new QComboBox(this))
{
    m_combo->setEditable(false);
    m_combo->setDuplicatesEnabled(false);
    addEditor(m_combo, 1);
    connect(m_combo, &QComboBox::activated, this, &LabeledComboBox::editorChanged);
}

void LabeledComboBox::setEditable(bool on)
{
    m_combo->setEditable(on);
    if (on)
        connect(m_combo, &QComboBox::editTextChanged, this, &LabeledComboBox::editorChanged, Qt::UniqueConnection);
}

QString LabeledComboBox::itemKey(const QString& itemText)
{
    const int bracket = itemText.indexOf(QLatin1Char('('));
    return (bracket >= 0 ? itemText.left(bracket) : itemText).trimmed();
}

void LabeledComboBox::setText(const QString& text, bool quiet)
{
    apply(quiet, [&] {
        for (int i = 0; i < m_combo->count(); ++i) {
            if (itemKey(m_combo->itemText(i)) == text) {
                m_combo->setCurrentIndex(i);
                return;
            }
        }
        if (m_combo->isEditable())
            m_combo->setEditText(text);
        else if (m_combo->count() == 0)
            m_combo->addItem(text);
        else
            m_combo->setItemText(m_combo->currentIndex() < 0 ? 0 : m_combo->currentIndex(), text);
    });
}

LabeledValue LabeledComboBox::value(bool* ok) const
{
    LabeledValue v;
    v.text = itemKey(m_combo->currentText());
    if (ok)
        *ok = true;
    return v;
}

// ---------------------------------------------------------------- colour

LabeledColorWheel::LabeledColorWheel(const QString& caption, QWidget* parent)
    : LabeledWidget(caption, parent), m_button(new QPushButton(tr("Set Color"), this))
{
    m_button->setFixedHeight(20);
    QFont f = font();
    f.setBold(false);
    m_button->setFont(f);
    addEditor(m_button, 1);
    connect(m_button, &QPushButton::clicked, this, &LabeledColorWheel::showColorDialog);
}

void LabeledColorWheel::setColor(quint32 rgb, bool quiet)
{
    apply(quiet, [&] {
        m_rgb = rgb & 0xFFFFFFu;
        const QColor c = QColor::fromRgb(m_rgb);
        QPalette pal = m_button->palette();
        pal.setColor(QPalette::Button, c);
        pal.setColor(QPalette::ButtonText, c.lightness() < 128 ? Qt::white : Qt::black);
        m_button->setPalette(pal);
        m_button->setText(tr("Set Color (0x%1)").arg(tr("%1").arg(m_rgb, 6, 16, QLatin1Char('0')).toUpper()));
    });
}

LabeledValue LabeledColorWheel::value(bool* ok) const
{
    LabeledValue v;
    v.colour = Rgb(m_rgb & 0xFFFFFFu);
    if (ok)
        *ok = true;
    return v;
}

void LabeledColorWheel::showColorDialog()
{
    const auto chosen = kro::prompter().getColor(QColor::fromRgb(m_rgb), this, tr("Select Color"));
    if (!chosen || !chosen->isValid())
        return;
    setColor(chosen->rgb() & 0xFFFFFFu, true);
    Q_EMIT valueChanged();
}

// ---------------------------------------------------------------- dimensions

LabeledDimensions::LabeledDimensions(const QString& caption, int maxWidth, int maxHeight, int width, int height,
                                     QWidget* parent)
    : LabeledWidget(caption, parent), m_width(new QSpinBox(this)), m_height(new QSpinBox(this))
{
    m_width->setRange(0, maxWidth);
    m_height->setRange(0, maxHeight);
    m_width->setSingleStep(1);
    m_height->setSingleStep(1);
    m_width->setValue(width);
    m_height->setValue(height);
    addEditor(m_width, 1);
    addEditor(new QLabel(QStringLiteral("x"), this));
    addEditor(m_height, 1);
    connect(m_width, &QSpinBox::valueChanged, this, &LabeledDimensions::editorChanged);
    connect(m_height, &QSpinBox::valueChanged, this, &LabeledDimensions::editorChanged);
}

void LabeledDimensions::setDimensions(int width, int height, bool quiet)
{
    apply(quiet, [&] {
        m_width->setValue(width);
        m_height->setValue(height);
    });
}

LabeledValue LabeledDimensions::value(bool* ok) const
{
    LabeledValue v;
    v.width = m_width->value();
    v.height = m_height->value();
    if (ok)
        *ok = true;
    return v;
}

// ---------------------------------------------------------------- line edit

LabeledEdit::LabeledEdit(const QString& caption, QWidget* parent)
    : LabeledWidget(caption, parent), m_edit(new QLineEdit(this))
{
    addEditor(m_edit, 1);
    connect(m_edit, &QLineEdit::textChanged, this, &LabeledEdit::editorChanged);
}

void LabeledEdit::setText(const QString& text, bool quiet)
{
    apply(quiet, [&] { m_edit->setText(text); });
}

void LabeledEdit::setValue(double value, bool quiet) { setText(numberText(value), quiet); }

void LabeledEdit::setValue(int value, bool quiet) { setText(QString::number(value), quiet); }

LabeledValue LabeledEdit::value(bool* ok) const { return textValue(m_edit->text(), ok); }

// ---------------------------------------------------------------- file entry

LabeledFileEntry::LabeledFileEntry(const QString& caption, int mode, QWidget* parent)
    : LabeledWidget(caption, parent),
      m_edit(new QLineEdit(this)),
      m_button(new QPushButton(QStringLiteral("..."), this)),
      m_mode(mode),
      m_filters({tr("Data (*.dat)"), tr("Comma-Separated (*.csv)"), tr("Time-Interval (*.tic)"), tr("Text (*.txt)"),
                 tr("All files (*)")})
{
    m_button->setFixedSize(30, 20);
    QFont f = m_button->font();
    f.setBold(true);
    m_button->setFont(f);
    addEditor(m_edit, 1);
    addEditor(m_button);
    connect(m_edit, &QLineEdit::textChanged, this, &LabeledFileEntry::editorChanged);
    connect(m_button, &QPushButton::clicked, this, &LabeledFileEntry::showFileDialog);
}

void LabeledFileEntry::setText(const QString& text, bool)
{
    // A chosen path is always reported, quiet or not.
    m_edit->setText(text);
}

LabeledValue LabeledFileEntry::value(bool* ok) const
{
    LabeledValue v;
    v.text = m_edit->text();
    if (ok)
        *ok = !v.text.isEmpty();
    return v;
}

QString LabeledFileEntry::filterExtension(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral(R"(\*(\.[^\s;,()*]*)?)"));
    const auto m = pattern.match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString LabeledFileEntry::withExtension(const QString& name, const QString& filter)
{
    const QString ext = filterExtension(filter);
    if (ext.isEmpty() || ext == QLatin1String(".") || name.endsWith(ext, Qt::CaseInsensitive))
        return name;
    return name + ext;
}

void LabeledFileEntry::showFileDialog()
{
    QString selected = m_filters.value(0);
    const QString filterText = m_filters.join(QStringLiteral(";;"));
    QString name;
    if (m_mode != 0)
        name = kro::prompter().getSaveFileName(nullptr, tr("Select a save file"), m_edit->text(), filterText,
                                               &selected);
    else
        name = kro::prompter().getOpenFileName(nullptr, tr("Open file"), m_edit->text(), filterText, &selected);
    if (name.isEmpty())
        return;
    // An opened file keeps its name; a saved one gets the filter's extension.
    setText(m_mode != 0 ? withExtension(name, selected) : name);
}

// ---------------------------------------------------------------- label

LabeledLabel::LabeledLabel(const QString& caption, QWidget* parent)
    : LabeledWidget(caption, parent), m_label(new QLabel(this))
{
    addEditor(m_label, 1);
}

void LabeledLabel::setText(const QString& text, bool) { m_label->setText(text); }
void LabeledLabel::setValue(double value, bool quiet) { setText(numberText(value), quiet); }
void LabeledLabel::setValue(int value, bool quiet) { setText(QString::number(value), quiet); }
LabeledValue LabeledLabel::value(bool* ok) const { return textValue(m_label->text(), ok); }

// ---------------------------------------------------------------- button options

LabeledButtonOpts::LabeledButtonOpts(const QString& caption, bool exclusive, QWidget* parent)
    : LabeledWidget(caption, parent),
      m_box(new QWidget(this)),
      m_grid(new QGridLayout(m_box)),
      m_group(new QButtonGroup(this)),
      m_exclusive(exclusive)
{
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_group->setExclusive(exclusive);
    addEditor(m_box, 1);
    connect(m_group, &QButtonGroup::buttonReleased, this, &LabeledButtonOpts::editorChanged);
}

int LabeledButtonOpts::optionCount() const { return static_cast<int>(m_group->buttons().size()); }

void LabeledButtonOpts::setOptions(const QStringList& options, int columns)
{
    for (QAbstractButton* b : m_group->buttons()) {
        m_group->removeButton(b);
        delete b;
    }
    const int cols = columns > 0 ? columns : std::max<int>(1, static_cast<int>(options.size()));
    for (int i = 0; i < options.size(); ++i) {
        QAbstractButton* b = m_exclusive ? static_cast<QAbstractButton*>(new QRadioButton(options[i], m_box))
                                         : static_cast<QAbstractButton*>(new QCheckBox(options[i], m_box));
        m_grid->addWidget(b, i / cols, i % cols);
        m_group->addButton(b, i);
    }
}

LabeledRadioOpts::LabeledRadioOpts(const QString& caption, QWidget* parent) : LabeledButtonOpts(caption, true, parent)
{
}

void LabeledRadioOpts::select(bool on, bool quiet) { setValue(on ? 1 : 0, quiet); }

void LabeledRadioOpts::setValue(int id, bool quiet)
{
    apply(quiet, [&] {
        if (QAbstractButton* b = group()->button(id))
            b->setChecked(true);
    });
}

LabeledValue LabeledRadioOpts::value(bool* ok) const
{
    LabeledValue v;
    v.number = group()->checkedId();
    v.flag = optionCount() == 2 && v.number != 0;
    if (ok)
        *ok = true;
    return v;
}

LabeledCheckOpts::LabeledCheckOpts(const QString& caption, QWidget* parent) : LabeledButtonOpts(caption, false, parent)
{
}

void LabeledCheckOpts::setValue(int mask, bool quiet)
{
    apply(quiet, [&] {
        for (int i = 0; i < optionCount() && i <= 30; ++i)
            group()->button(i)->setChecked((mask >> i) & 1);
    });
}

LabeledValue LabeledCheckOpts::value(bool* ok) const
{
    LabeledValue v;
    for (int i = 0; i < optionCount() && i <= 30; ++i)
        if (group()->button(i)->isChecked())
            v.number |= 1 << i;
    if (ok)
        *ok = true;
    return v;
}

// ---------------------------------------------------------------- spin box

LabeledSpinBox::LabeledSpinBox(const QString& caption, int minimum, int maximum, int value, QWidget* parent)
    : LabeledWidget(caption, parent), m_spin(new QSpinBox(this))
{
    m_spin->setRange(minimum, maximum);
    m_spin->setSingleStep(1);
    m_spin->setValue(value);
    addEditor(m_spin, 1);
    connect(m_spin, &QSpinBox::valueChanged, this, &LabeledSpinBox::editorChanged);
}

void LabeledSpinBox::setValue(int value, bool quiet)
{
    apply(quiet, [&] { m_spin->setValue(value); });
}

void LabeledSpinBox::setText(const QString& text, bool quiet) { setValue(text.trimmed().toInt(nullptr, 10), quiet); }

LabeledValue LabeledSpinBox::value(bool* ok) const
{
    LabeledValue v;
    v.number = m_spin->value();
    if (ok)
        *ok = true;
    return v;
}
