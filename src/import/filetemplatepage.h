#pragma once
// FileTemplatePage: the Default Page ("All Files") of the import setup
// window with two or more files. It is a settings page without a file whose
// changes are copied to every file page, and which shows, for each setting,
// the value all files share or "mixed" ("Mixed" for a column role).
#include "import/filesettingspage.h"

#include <vector>

class FileTemplatePage : public FileSettingsPage {
    Q_OBJECT

public:
    explicit FileTemplatePage(QWidget* parent = nullptr);

    // The file pages, in list order.
    void addFilePage(FileSettingsPage* page) { m_pages.push_back(page); }
    // Offers roles for n columns and takes them from the file pages.
    void setColumnCount(int n);
    // The Default Page has no file: nothing is read.
    void populateTable() override {}

public Q_SLOTS:
    void on_columnSelected(int column, const QString& role);
    void on_datetimeformatChanged(const DateTimeFormatTab* tab);
    void on_getValueChanged(int value);
    void on_headerValueChanged(int value);
    void on_skipValueChanged(int value);
    void on_valueChangedAdd(const ScalingTab* tab);
    void on_valueChangedDiv(const ScalingTab* tab);
    void on_valueChangedMul(const ScalingTab* tab);
    void on_valueChangedSub(const ScalingTab* tab);
    void syncAdd(const ScalingTab* tab);
    void syncColumnSelections(int column, const QString& role);
    void syncDatetimeFormat(const DateTimeFormatTab* tab);
    void syncDiv(const ScalingTab* tab);
    void syncGetValue(int value);
    void syncHeaderValue(int value);
    void syncSkipValue(int value);
    void syncMul(const ScalingTab* tab);
    void syncSub(const ScalingTab* tab);

private:
    void copyRow(const ScalingTab* tab, int row);
    void syncRow(const ScalingTab* tab, int row);
    // Get, Header or Skip: the common value or "mixed".
    void syncCount(LabeledSpinBox* own, LabeledSpinBox* (FileSettingsPage::*box)() const, int value);
    // Get, Header or Skip of every file page set silently.
    void copyCount(LabeledSpinBox* (FileSettingsPage::*box)() const, int value, bool reread);
    void restoreSpecialText(LabeledSpinBox* own);

    std::vector<FileSettingsPage*> m_pages;
    // Set while roles are taken from the file pages: nothing is copied back.
    bool m_syncingRoles = false;
};
