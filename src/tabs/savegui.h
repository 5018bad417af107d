#pragma once
// The save-data page: which curves of the current plot are written as text,
// into one file or one file per curve, in which of the two layouts, with
// which header. Built from a scrolling column of keyed rows (ScrollList)
// and its two kinds: the curve check boxes (CurveSelectorList) and the
// per-curve file entries (SaveFileList).
#include "core/curvedata.h"

#include <QScrollArea>
#include <QString>

#include <map>
#include <vector>

class LabeledFileEntry;
class QButtonGroup;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QVBoxLayout;

// A scrolling column of rows, each under a key, in key order.
class ScrollList : public QScrollArea {
    Q_OBJECT

public:
    explicit ScrollList(QWidget* parent = nullptr);
    ~ScrollList() override;

    // Stores the row under the key (a row already there is deleted), adds
    // it to the column and shows it.
    void addRow(int key, QWidget* row);
    // Deletes every row.
    void clearRows();
    const std::map<int, QWidget*>& rows() const { return m_rows; }

protected:
    std::map<int, QWidget*> m_rows;
    QWidget* m_frame;
    QVBoxLayout* m_layout;
};

// One check box per curve ("C1", "C2", ... in the curve's line colour) and,
// with two or more curves, a tristate "Select All" on top (key 0).
class CurveSelectorList : public ScrollList {
    Q_OBJECT

public:
    explicit CurveSelectorList(QWidget* parent = nullptr);

    // curve number (id + 1) -> line colour.
    void setCurves(const std::map<int, Rgb>& curves);
    // The numbers of the checked curves, ascending.
    std::vector<int> selectedCurves() const;
    QCheckBox* curveBox(int number) const;
    QCheckBox* selectAllBox() const;
    bool hasSelectAll() const { return m_hasSelectAll; }

public Q_SLOTS:
    void on_curveSelected();
    void on_selectAll();

Q_SIGNALS:
    // At least one curve is checked.
    void selectionMade(bool any);

private:
    bool m_hasSelectAll = false;
};

// One "Save File (Cn):" entry per curve, each with a default file name.
class SaveFileList : public ScrollList {
    Q_OBJECT

public:
    explicit SaveFileList(QWidget* parent = nullptr);

    void setCurves(const std::vector<int>& numbers);
    // curve number -> the text of its entry.
    std::map<int, QString> fileNames() const;
    LabeledFileEntry* entry(int number) const;

    // The default output path: the data folder ("opath"; the home folder
    // when it does not exist), "krodata_", then name and "_" when name is
    // not null, then the current Modified Julian Date with five decimals
    // and ".dat". The folder is remembered for the rest of the run.
    static QString defaultFileName(const QString& name);
    // Forgets the remembered folder (the next name reads "opath" again).
    static void forgetFolder();
};

class SaveGUI : public QScrollArea {
    Q_OBJECT

public:
    explicit SaveGUI(QWidget* parent = nullptr);

    // Fills the page from a plot's curves: curve number -> line colour.
    void setCurves(const std::map<int, Rgb>& curves);
    // curve number -> output path, for every checked curve.
    std::map<int, QString> fileNames() const;
    // The layout flags of the curve export: 2 style 1, 4 style 2; plus 1
    // when a header is written.
    int styleFlags() const;
    // The header text when "Write header info" is checked, else null.
    QString headerText() const;

    QRadioButton* singleFileButton() const { return m_single; }
    QRadioButton* uniqueFilesButton() const { return m_unique; }
    QRadioButton* style1Button() const { return m_style1; }
    QRadioButton* style2Button() const { return m_style2; }
    QCheckBox* writeHeaderBox() const { return m_writeHeader; }
    QPlainTextEdit* headerEditor() const { return m_header; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* closeButton() const { return m_close; }
    CurveSelectorList* selector() const { return m_selector; }
    SaveFileList* fileList() const { return m_fileList; }
    LabeledFileEntry* singleFile() const { return m_singleFile; }
    QStackedWidget* fileStack() const { return m_fileStack; }
    QStackedWidget* style1Pictures() const { return m_style1Pictures; }
    QStackedWidget* style2Pictures() const { return m_style2Pictures; }

public Q_SLOTS:
    void raiseMultipleFileOutput();
    void raiseSingleFileOutput();
    void on_headerToggled(bool on);
    void on_closeClicked();
    void on_headerChanged();
    void on_saveClicked();

Q_SIGNALS:
    // true: Save; false: Close.
    void closeClicked(bool save);

private:
    QButtonGroup* m_output;
    QRadioButton* m_single;
    QRadioButton* m_unique;
    CurveSelectorList* m_selector;
    QStackedWidget* m_fileStack;
    LabeledFileEntry* m_singleFile;
    SaveFileList* m_fileList;
    QStackedWidget* m_style1Pictures;
    QStackedWidget* m_style2Pictures;
    QRadioButton* m_style1;
    QRadioButton* m_style2;
    QCheckBox* m_writeHeader;
    QPlainTextEdit* m_header;
    QPushButton* m_save;
    QPushButton* m_close;
};
