#include "import/filetemplatepage.h"

#include "import/combotable.h"
#include "import/datetimeformattab.h"
#include "platform/labeledwidget.h"

#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char* const kMixed = "mixed";

} // namespace

FileTemplatePage::FileTemplatePage(QWidget* parent) : FileSettingsPage(tr("Default Page"), parent)
{
    table()->setPreviewRowCount(0);
    // Only the role row shows: the table keeps its height, the space below stays free.
    table()->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    table()->setFixedHeight(table()->roleRow()->height() + table()->preview()->maximumHeight());
    if (auto* box = qobject_cast<QVBoxLayout*>(layout()))
        box->addStretch(10);
    connect(this, &FileSettingsPage::columnSelected, this, &FileTemplatePage::on_columnSelected);
    connect(this, &FileSettingsPage::datetimeformatChanged, this, &FileTemplatePage::on_datetimeformatChanged);
    connect(this, &FileSettingsPage::getValueChanged, this, &FileTemplatePage::on_getValueChanged);
    connect(this, &FileSettingsPage::headerValueChanged, this, &FileTemplatePage::on_headerValueChanged);
    connect(this, &FileSettingsPage::skipValueChanged, this, &FileTemplatePage::on_skipValueChanged);
    connect(this, &FileSettingsPage::valueChangedAdd, this, &FileTemplatePage::on_valueChangedAdd);
    connect(this, &FileSettingsPage::valueChangedDiv, this, &FileTemplatePage::on_valueChangedDiv);
    connect(this, &FileSettingsPage::valueChangedMul, this, &FileTemplatePage::on_valueChangedMul);
    connect(this, &FileSettingsPage::valueChangedSub, this, &FileTemplatePage::on_valueChangedSub);
}

void FileTemplatePage::setColumnCount(int n)
{
    m_syncingRoles = true;
    for (auto it = roles().lower_bound(n); it != roles().end(); it = roles().lower_bound(n))
        FileSettingsPage::on_columnRemoved(it->first);
    m_syncingRoles = false;
    table()->setColumnCount(n);
    table()->rebuildRoleRow();
    table()->fitColumns(70);
    const FileSettingsPage* widest = nullptr;
    for (const FileSettingsPage* page : m_pages)
        if (!widest || page->table()->columnCount() > widest->table()->columnCount())
            widest = page;
    if (!widest)
        return;
    for (int i = 0; i < n; ++i)
        syncColumnSelections(i, widest->columnRole(i));
}

// ---------------------------------------------------------------- copying to the files

void FileTemplatePage::on_columnSelected(int column, const QString& role)
{
    if (m_syncingRoles)
        return;
    for (FileSettingsPage* page : m_pages)
        page->table()->setColumnRole(column, role, false);
}

void FileTemplatePage::on_datetimeformatChanged(const DateTimeFormatTab* tab)
{
    for (FileSettingsPage* page : m_pages)
        if (auto* own = qobject_cast<DateTimeFormatTab*>(page->tabFor(tab->kind())))
            own->setFormat(tab->format(), false);
}

void FileTemplatePage::copyCount(LabeledSpinBox* (FileSettingsPage::*box)() const, int value, bool reread)
{
    for (FileSettingsPage* page : m_pages) {
        (page->*box)()->setValue(value, true);
        if (reread)
            page->populateTable();
    }
}

void FileTemplatePage::on_getValueChanged(int value)
{
    copyCount(&FileSettingsPage::getBox, value, false);
    restoreSpecialText(getBox());
}

void FileTemplatePage::on_headerValueChanged(int value)
{
    copyCount(&FileSettingsPage::headerBox, value, true);
    restoreSpecialText(headerBox());
}

void FileTemplatePage::on_skipValueChanged(int value)
{
    copyCount(&FileSettingsPage::skipBox, value, true);
    restoreSpecialText(skipBox());
}

void FileTemplatePage::copyRow(const ScalingTab* tab, int row)
{
    const auto r = ScalingTab::Row(row);
    for (FileSettingsPage* page : m_pages)
        if (auto* own = qobject_cast<ScalingTab*>(page->tabFor(tab->name())))
            own->setRowText(r, tab->rowText(r), true);
}

void FileTemplatePage::on_valueChangedAdd(const ScalingTab* tab) { copyRow(tab, ScalingTab::ADD); }
void FileTemplatePage::on_valueChangedDiv(const ScalingTab* tab) { copyRow(tab, ScalingTab::DIV); }
void FileTemplatePage::on_valueChangedMul(const ScalingTab* tab) { copyRow(tab, ScalingTab::MUL); }
void FileTemplatePage::on_valueChangedSub(const ScalingTab* tab) { copyRow(tab, ScalingTab::SUB); }

// ---------------------------------------------------------------- showing what the files share

void FileTemplatePage::syncRow(const ScalingTab* tab, int row)
{
    const auto r = ScalingTab::Row(row);
    auto* own = qobject_cast<ScalingTab*>(tabFor(tab->name()));
    if (!own)
        return;
    const QString v = tab->rowText(r);
    if (own->rowText(r) == v)
        return;
    QString shown = v;
    for (const FileSettingsPage* page : m_pages) {
        const auto* other = qobject_cast<const ScalingTab*>(page->tabFor(tab->name()));
        if (other && other->rowText(r) != v) {
            shown = QString::fromLatin1(kMixed);
            break;
        }
    }
    own->setRowText(r, shown, true);
}

void FileTemplatePage::syncAdd(const ScalingTab* tab) { syncRow(tab, ScalingTab::ADD); }
void FileTemplatePage::syncDiv(const ScalingTab* tab) { syncRow(tab, ScalingTab::DIV); }
void FileTemplatePage::syncMul(const ScalingTab* tab) { syncRow(tab, ScalingTab::MUL); }
void FileTemplatePage::syncSub(const ScalingTab* tab) { syncRow(tab, ScalingTab::SUB); }

void FileTemplatePage::restoreSpecialText(LabeledSpinBox* own)
{
    QSpinBox* spin = own->spinBox();
    if (own == headerBox()) {
        spin->setSpecialValueText(tr("Off"));
        spin->setPrefix(tr("Row "));
    } else if (own == skipBox()) {
        spin->setSpecialValueText(tr("None"));
    } else {
        spin->setSpecialValueText(tr("All"));
    }
}

void FileTemplatePage::syncCount(LabeledSpinBox* own, LabeledSpinBox* (FileSettingsPage::*box)() const, int value)
{
    // The common value shows only when every file holds it; a value equal
    // to the one shown is checked as well, since "mixed" shows as 0.
    bool common = true;
    for (const FileSettingsPage* page : m_pages)
        if ((page->*box)()->value().number != value)
            common = false;
    if (common) {
        restoreSpecialText(own);
        own->setValue(value, true);
        return;
    }
    own->spinBox()->setSpecialValueText(QString::fromLatin1(kMixed));
    if (own == headerBox())
        own->spinBox()->setPrefix(QString());
    own->setValue(0, true);
}

void FileTemplatePage::syncGetValue(int value) { syncCount(getBox(), &FileSettingsPage::getBox, value); }
void FileTemplatePage::syncHeaderValue(int value) { syncCount(headerBox(), &FileSettingsPage::headerBox, value); }
void FileTemplatePage::syncSkipValue(int value) { syncCount(skipBox(), &FileSettingsPage::skipBox, value); }

void FileTemplatePage::syncDatetimeFormat(const DateTimeFormatTab* tab)
{
    auto* own = qobject_cast<DateTimeFormatTab*>(tabFor(tab->kind()));
    if (!own)
        return;
    const QString v = tab->format();
    if (own->format() == v)
        return;
    QString shown = v;
    for (const FileSettingsPage* page : m_pages) {
        const auto* other = qobject_cast<const DateTimeFormatTab*>(page->tabFor(tab->kind()));
        if (other && other->format() != v) {
            shown = QString::fromLatin1(kMixed);
            break;
        }
    }
    own->setFormat(shown, true);
}

void FileTemplatePage::syncColumnSelections(int column, const QString& role)
{
    if (column >= table()->columnCount())
        return;
    struct Guard {
        bool& flag;
        bool previous;
        explicit Guard(bool& f) : flag(f), previous(f) { flag = true; }
        ~Guard() { flag = previous; }
    } guard(m_syncingRoles);
    if (table()->headerSelection(column) == role)
        return;
    for (const FileSettingsPage* page : m_pages) {
        if (column < page->table()->columnCount() && page->columnRole(column) != role) {
            FileSettingsPage::on_columnRemoved(column);
            table()->setColumnRole(column, ComboTable::mixedRole(), true);
            return;
        }
    }
    table()->removeRoleEntry(column, ComboTable::mixedRole());
    table()->setColumnRole(column, role, false);
}
