#include "import/filesettingspage.h"

#include "import/combotable.h"
#include "import/datetimeformattab.h"
#include "import/datetimereader.h"
#include "import/fileoptionparser.h"
#include "platform/labeledwidget.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

bool isDateOrTime(const QString& role)
{
    return role == QLatin1String("date") || role == QLatin1String("time") || role == QLatin1String("datetime");
}

// A role the user can give a column: "x", "k", a date or time kind, or
// "y<N>" with N a positive number.
bool isRealRole(const QString& role)
{
    if (role == QLatin1String("x") || role == QLatin1String("k") || isDateOrTime(role))
        return true;
    bool ok = false;
    return role.startsWith(QLatin1Char('y')) && role.mid(1).toInt(&ok) > 0 && ok;
}

// Whether the format reads at least one of the texts as a load would (each
// normalised first). A format that cannot read back what it writes itself
// is not judged here; no texts: nothing to judge.
bool formatReadsAny(const QString& format, const QStringList& texts)
{
    if (texts.isEmpty())
        return true;
    kro::import::DateTimeReader reader(format.toStdString());
    kro::import::CalendarTime t;
    try {
        std::string own = kro::import::formatDateTime(format, "2024-03-01 12:34:56").toStdString();
        kro::import::normalizeDateText(own);
        if (!reader.read(own, t))
            return true;
    } catch (const std::exception&) {
        return true;
    }
    for (const QString& text : texts) {
        std::string s = text.toStdString();
        kro::import::normalizeDateText(s);
        if (reader.read(s, t))
            return true;
    }
    return false;
}

} // namespace

// ---------------------------------------------------------------- scaling tab

ScalingTab::ScalingTab(QWidget* parent, const QString& name) : QGroupBox(tr("Scaling"), parent), m_name(name)
{
    auto* layout = new QVBoxLayout(this);
    const QString captions[4] = {tr("Add:"), tr("Sub:"), tr("Mul:"), tr("Div:")};
    const char* initial[4] = {"0", "0", "1", "1"};
    const int captionWidth = fontMetrics().horizontalAdvance(tr("Add:")) + 5;
    for (int r = 0; r < 4; ++r) {
        m_rows[r] = new LabeledEdit(captions[r], this);
        m_rows[r]->caption()->setFixedWidth(captionWidth);
        m_rows[r]->setText(QString::fromLatin1(initial[r]), true);
        layout->addWidget(m_rows[r]);
    }
    layout->addStretch(1);
    connect(m_rows[ADD], &LabeledWidget::valueChanged, this, &ScalingTab::on_changed_add);
    connect(m_rows[SUB], &LabeledWidget::valueChanged, this, &ScalingTab::on_changed_sub);
    connect(m_rows[MUL], &LabeledWidget::valueChanged, this, &ScalingTab::on_changed_mul);
    connect(m_rows[DIV], &LabeledWidget::valueChanged, this, &ScalingTab::on_changed_div);
}

QString ScalingTab::rowText(Row r) const { return m_rows[r]->value().text; }

void ScalingTab::setRowText(Row r, const QString& text, bool quiet)
{
    m_rows[r]->setText(text, quiet);
    markRow(r);
}

ScalingValues ScalingTab::values() const
{
    auto read = [this](Row r) {
        double v = 0.0;
        return readsAsNumber(rowText(r).trimmed(), &v) ? v : 0.0;
    };
    return {read(ADD), read(SUB), read(MUL), read(DIV)};
}

bool ScalingTab::hasValidNumbers() const
{
    for (int r = 0; r < 4; ++r)
        if (!readsAsNumber(rowText(Row(r)).trimmed()))
            return false;
    return true;
}

void ScalingTab::markRow(Row r)
{
    const bool ok = readsAsNumber(rowText(r).trimmed());
    m_rows[r]->edit()->setStyleSheet(ok ? QString() : QStringLiteral("color: red"));
    m_rows[r]->edit()->setToolTip(ok ? QString() : tr("Enter a number here; the plot command cannot be built from this text."));
}

void ScalingTab::on_changed_add()
{
    markRow(ADD);
    Q_EMIT changed_add(this);
}
void ScalingTab::on_changed_div()
{
    markRow(DIV);
    Q_EMIT changed_div(this);
}
void ScalingTab::on_changed_mul()
{
    markRow(MUL);
    Q_EMIT changed_mul(this);
}
void ScalingTab::on_changed_sub()
{
    markRow(SUB);
    Q_EMIT changed_sub(this);
}

// ---------------------------------------------------------------- file page

FileSettingsPage::FileSettingsPage(const QString& fileName, QWidget* parent) : QWidget(parent), m_fileName(fileName)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    m_title = new QLabel(tr("Settings for file: %1").arg(fileName), this);
    m_title->setTextFormat(Qt::PlainText);
    layout->addWidget(m_title);
    m_problemLabel = new QLabel(this);
    m_problemLabel->setTextFormat(Qt::PlainText);
    m_problemLabel->setStyleSheet(QStringLiteral("color: red"));
    m_problemLabel->setWordWrap(true);
    m_problemLabel->hide();
    layout->addWidget(m_problemLabel);

    auto* row = new QHBoxLayout;
    m_tabs = new QTabWidget(this);
    m_tabs->setContentsMargins(5, 5, 5, 5);
    // The tabs take the width the page gives them: a wide format tab must
    // not widen the page and move the columns of the preview below.
    m_tabs->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(m_tabs, 1);
    auto* other = new QGroupBox(tr("Other Options"), this);
    auto* otherLayout = new QVBoxLayout(other);
    m_header = new LabeledSpinBox(tr("Header"), 0, INT_MAX, 0, other);
    m_skip = new LabeledSpinBox(tr("Skip"), 0, INT_MAX, 0, other);
    m_get = new LabeledSpinBox(tr("Get"), 0, INT_MAX, 0, other);
    m_header->spinBox()->setSpecialValueText(tr("Off"));
    m_header->spinBox()->setPrefix(tr("Row "));
    m_skip->spinBox()->setSpecialValueText(tr("None"));
    m_get->spinBox()->setSpecialValueText(tr("All"));
    const int captionWidth = fontMetrics().horizontalAdvance(tr("Header")) + 5;
    for (LabeledSpinBox* box : {m_header, m_skip, m_get}) {
        box->caption()->setFixedWidth(captionWidth);
        otherLayout->addWidget(box);
    }
    otherLayout->addStretch(1);
    row->addWidget(other);
    layout->addLayout(row);

    m_table = new ComboTable(this);
    m_table->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(m_table, 10);

    connect(m_get, &LabeledWidget::valueChanged, this, &FileSettingsPage::on_getValueChanged);
    connect(m_header, &LabeledWidget::valueChanged, this, &FileSettingsPage::on_headerValueChanged);
    connect(m_skip, &LabeledWidget::valueChanged, this, &FileSettingsPage::on_skipValueChanged);
    connect(m_table, &ComboTable::columnRemoved, this, &FileSettingsPage::on_columnRemoved);
    connect(m_table, &ComboTable::columnSelected, this, &FileSettingsPage::on_columnSelected);
    connect(m_table, &ComboTable::fileReadError, this, &FileSettingsPage::fileReadError);

    addScalingTab(QStringLiteral("x"));
    m_tabs->setCurrentWidget(addScalingTab(tr("y%1").arg(1)));
    connect(this, &FileSettingsPage::inputsChecked, this, &FileSettingsPage::showReadProblem);
}

int FileSettingsPage::headerValue() const { return m_header->value().number; }
int FileSettingsPage::skipValue() const { return m_skip->value().number; }
int FileSettingsPage::getValue() const { return m_get->value().number; }

ScalingTab* FileSettingsPage::addScalingTab(const QString& role)
{
    auto* tab = new ScalingTab(m_tabs, role);
    connect(tab, &ScalingTab::changed_add, this, &FileSettingsPage::valueChangedAdd);
    connect(tab, &ScalingTab::changed_div, this, &FileSettingsPage::valueChangedDiv);
    connect(tab, &ScalingTab::changed_mul, this, &FileSettingsPage::valueChangedMul);
    connect(tab, &ScalingTab::changed_sub, this, &FileSettingsPage::valueChangedSub);
    for (auto signal : {&ScalingTab::changed_add, &ScalingTab::changed_div, &ScalingTab::changed_mul,
                        &ScalingTab::changed_sub})
        connect(tab, signal, this, &FileSettingsPage::inputsChecked);
    m_tabs->addTab(tab, role);
    return tab;
}

DateTimeFormatTab* FileSettingsPage::addFormatTab(const QString& role)
{
    auto* tab = new DateTimeFormatTab(m_tabs, role);
    connect(tab, &DateTimeFormatTab::formatChanged, this, &FileSettingsPage::datetimeformatChanged);
    connect(tab, &DateTimeFormatTab::formatVerified, this, &FileSettingsPage::datetimeformatVerified);
    connect(tab, &DateTimeFormatTab::formatVerified, this, &FileSettingsPage::inputsChecked);
    m_tabs->addTab(tab, role);
    return tab;
}

QString FileSettingsPage::columnRole(int column) const { return m_table->headerSelection(column); }

QWidget* FileSettingsPage::tabFor(const QString& role) const
{
    for (int i = 0; i < m_tabs->count(); ++i)
        if (m_tabs->tabText(i) == role)
            return m_tabs->widget(i);
    return nullptr;
}

ScalingValues FileSettingsPage::scalingFor(const QString& role) const
{
    const auto* tab = qobject_cast<const ScalingTab*>(tabFor(role));
    return tab ? tab->values() : ScalingValues();
}

QString FileSettingsPage::formatFor(const QString& role) const
{
    const auto* tab = qobject_cast<const DateTimeFormatTab*>(tabFor(role));
    return tab ? tab->format() : QString();
}

template <typename Tab>
std::vector<Tab*> FileSettingsPage::tabsOf() const
{
    std::vector<Tab*> tabs;
    for (int i = 0; i < m_tabs->count(); ++i)
        if (auto* tab = qobject_cast<Tab*>(m_tabs->widget(i)))
            tabs.push_back(tab);
    return tabs;
}

std::vector<DateTimeFormatTab*> FileSettingsPage::formatTabs() const { return tabsOf<DateTimeFormatTab>(); }
std::vector<ScalingTab*> FileSettingsPage::scalingTabs() const { return tabsOf<ScalingTab>(); }

QStringList FileSettingsPage::previewTexts(int column, int pieces) const
{
    // A format with separators in it reads as many preview fields as it
    // has pieces; they are put back together with blanks.
    QStringList texts;
    const QTableWidget* preview = m_table->preview();
    for (int r = 0; r < preview->rowCount(); ++r) {
        QStringList parts;
        for (int c = column; c < column + pieces && c < preview->columnCount(); ++c)
            if (const QTableWidgetItem* item = preview->item(r, c))
                parts << item->text();
        if (!parts.isEmpty())
            texts << parts.join(QLatin1Char(' '));
    }
    return texts;
}

QString FileSettingsPage::formatProblem() const
{
    for (const auto& [column, role] : m_roles) {
        if (!isDateOrTime(role))
            continue;
        const auto* tab = qobject_cast<const DateTimeFormatTab*>(tabFor(role));
        if (!tab || !tab->isValid())
            continue;
        const QString format = tab->format();
        const int pieces = 1 + int(std::count_if(format.begin(), format.end(), [](QChar c) {
                               return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char(',') ||
                                      c == QLatin1Char(';');
                           }));
        const QStringList texts = previewTexts(column, pieces);
        if (!formatReadsAny(format, texts))
            return tr("The %1 format \"%2\" reads none of the lines shown in column %3 (such as \"%4\"). "
                      "Choose the format in which that column is written.")
                .arg(role, format)
                .arg(column + 1)
                .arg(texts.first());
    }
    return QString();
}

bool FileSettingsPage::inputsValid() const
{
    for (const DateTimeFormatTab* tab : formatTabs())
        if (!tab->isValid())
            return false;
    for (const ScalingTab* tab : scalingTabs())
        if (!tab->hasValidNumbers())
            return false;
    return formatProblem().isEmpty();
}

QString FileSettingsPage::readProblem() const { return m_table->readProblem(); }

bool FileSettingsPage::hasNoData() const { return m_table->readFailed() || m_table->columnCount() == 0; }

QString FileSettingsPage::nameProblem() const { return kro::import::fileNameProblem(m_fileName); }

void FileSettingsPage::showReadProblem()
{
    QString problem = nameProblem();
    if (problem.isEmpty())
        problem = m_table->readProblem();
    if (problem.isEmpty())
        problem = formatProblem();
    m_problemLabel->setText(problem);
    m_problemLabel->setVisible(!problem.isEmpty());
}

void FileSettingsPage::on_getValueChanged() { Q_EMIT getValueChanged(getValue()); }

void FileSettingsPage::on_headerValueChanged()
{
    Q_EMIT headerValueChanged(headerValue());
    populateTable();
}

void FileSettingsPage::on_skipValueChanged()
{
    Q_EMIT skipValueChanged(skipValue());
    populateTable();
}

void FileSettingsPage::populateTable()
{
    m_table->readFile(m_fileName, headerValue(), skipValue());
    showReadProblem();
    Q_EMIT inputsChecked();
}

void FileSettingsPage::on_columnRemoved(int column)
{
    const auto it = m_roles.find(column);
    if (it == m_roles.end())
        return;
    const QString role = it->second;
    if (!role.startsWith(QLatin1Char('x'))) {
        while (QWidget* tab = tabFor(role)) {
            m_tabs->removeTab(m_tabs->indexOf(tab));
            delete tab;
        }
    }
    m_roles.erase(column);
    Q_EMIT columnSelected(column, QStringLiteral("-"));
    Q_EMIT inputsChecked();
}

void FileSettingsPage::on_columnSelected(int column, const QString& role)
{
    if (role == QLatin1String("-") || !isRealRole(role))
        return;
    const auto it = m_roles.find(column);
    if (it != m_roles.end()) {
        if (it->second == role)
            return;
        on_columnRemoved(column);
    }
    Q_EMIT columnSelected(column, role);
    m_roles[column] = role;
    if (tabFor(role) || role == QLatin1String("k"))
        return;
    QWidget* tab = isDateOrTime(role) ? static_cast<QWidget*>(addFormatTab(role)) : addScalingTab(role);
    m_tabs->setCurrentWidget(tab);
    Q_EMIT inputsChecked();
}

std::vector<ColumnSpec> FileSettingsPage::columnSpecs() const
{
    std::map<int, ColumnSpec> entries;
    auto scaled = [this](const QString& role, int column, int code) {
        const ScalingValues v = scalingFor(role);
        ColumnSpec entry;
        entry.column = column;
        entry.add = v.add;
        entry.sub = v.sub;
        entry.mul = v.mul;
        entry.div = v.div;
        entry.roleCode = code;
        return entry;
    };
    for (int key = 0; key < 4; ++key)
        entries[key] = ColumnSpec();
    entries[0] = scaled(QStringLiteral("x"), -1, ColumnSpec::X);
    for (const auto& [column, role] : m_roles) {
        if (isDateOrTime(role)) {
            entries[0].column = 0;
            const int key = role == QLatin1String("date") ? 1 : role == QLatin1String("datetime") ? 2 : 3;
            ColumnSpec& entry = entries[key];
            entry.column = column;
            entry.format = formatFor(role);
            entry.roleCode = key == 1 ? ColumnSpec::DATE : key == 2 ? ColumnSpec::DATETIME : ColumnSpec::TIME;
        } else if (role == QLatin1String("x")) {
            entries[0] = scaled(role, column, ColumnSpec::X);
        } else if (role.startsWith(QLatin1Char('y'))) {
            entries[role.mid(1).toInt() + 3] = scaled(role, column, ColumnSpec::Y);
        }
    }
    std::vector<ColumnSpec> columns;
    for (const auto& [key, entry] : entries)
        columns.push_back(entry);
    return columns;
}

int FileSettingsPage::keyColumn() const
{
    for (const auto& [column, role] : m_roles)
        if (role == QLatin1String("k"))
            return column;
    return -1;
}

kro::import::CommandSource FileSettingsPage::commandSource() const
{
    kro::import::CommandSource source;
    source.file = m_fileName;
    source.columns = columnSpecs();
    source.keyColumn = keyColumn();
    source.get = getValue();
    source.skip = skipValue();
    source.header = headerValue();
    return source;
}
