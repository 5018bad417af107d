#pragma once
// The dialog "Live Plotting - Advanced Setup" of the web-fetch tool: the
// options of its live link beyond the x and y columns (append or replace,
// merge equal x, slide width, header row, rows to skip, key column, and a
// date, time or date/time column with its format). The tool reads the
// controls at every Connect; the dialog never acts on data itself.
//
// A date/time column excludes the separate date and time columns and either
// of those excludes the date/time column. While the tool fetches
// continuously it disables the options through setEnabled(false);
// setEnabled(true) gives every option back the state recorded last.
#include <QDialog>

#include <utility>
#include <vector>

class LabeledComboBox;
class LabeledSpinBox;
class QCheckBox;
class QLabel;
class QVBoxLayout;

class LiveAdvancedSetup : public QDialog {
    Q_OBJECT

public:
    LiveAdvancedSetup();

    // The slide width, or -1 when it is below 2 ("Off").
    int slide() const;

    LabeledSpinBox* slideBox() const { return m_slide; }
    QCheckBox* stayOnTopBox() const { return m_stayOnTop; }
    QCheckBox* replaceBox() const { return m_replace; }
    QCheckBox* appendBox() const { return m_append; }
    QCheckBox* useDateBox() const { return m_useDate; }
    QCheckBox* useTimeBox() const { return m_useTime; }
    QCheckBox* useDatetimeBox() const { return m_useDatetime; }
    QCheckBox* useHeaderBox() const { return m_useHeader; }
    QCheckBox* useKeyBox() const { return m_useKey; }
    QCheckBox* skipBox() const { return m_useSkip; }
    LabeledSpinBox* dateColumnBox() const { return m_dateColumn; }
    LabeledSpinBox* timeColumnBox() const { return m_timeColumn; }
    LabeledSpinBox* datetimeColumnBox() const { return m_datetimeColumn; }
    LabeledSpinBox* headerRowBox() const { return m_headerRow; }
    LabeledSpinBox* keyColumnBox() const { return m_keyColumn; }
    LabeledSpinBox* skipRowsBox() const { return m_skipRows; }
    LabeledComboBox* dateFormatBox() const { return m_dateFormat; }
    LabeledComboBox* timeFormatBox() const { return m_timeFormat; }
    LabeledComboBox* datetimeFormatBox() const { return m_datetimeFormat; }
    QLabel* dateExample() const { return m_dateExample; }
    QLabel* timeExample() const { return m_timeExample; }
    QLabel* datetimeExample() const { return m_datetimeExample; }
    QString dateFormat() const;
    QString timeFormat() const;
    QString datetimeFormat() const;
    // Whether a date, time or date/time column is in use.
    bool dateTimeUsed() const;
    // The controls whose enabled state the dialog records (21).
    std::vector<QWidget*> optionControls() const;

    // The current local time in the format, or the error the formatting
    // reports for a format it does not accept.
    static QString example(const QString& format);

public Q_SLOTS:
    void hide();
    void reject() override;
    // Enables every option with its recorded state, or disables them all.
    // The dialog itself and Stay on top, Help and Ok stay as they are.
    void setEnabled(bool on);
    void show();

Q_SIGNALS:
    // Whether a date, time or date/time column is in use.
    void dateTimeEnabled(bool on);
    void closed();

private Q_SLOTS:
    void on_changed_datefmt();
    void on_changed_datetimefmt();
    void on_changed_timefmt();
    void on_help();
    void on_stayontop();
    void on_useDate(bool on);
    void on_useDatetime(bool on);
    void on_useTime(bool on);
    void recordEnableStates();

private:
    // One "Use ... column" group: check box, "Column: " row, "Format: " row
    // with its example label.
    void addDateGroup(QVBoxLayout* layout, const QString& text, const QStringList& formats, QCheckBox*& box,
                      LabeledSpinBox*& column, LabeledComboBox*& format, QLabel*& example);
    LabeledSpinBox* addCheckedRow(QVBoxLayout* layout, const QString& text, const QString& caption,
                                  QCheckBox*& box);
    void enableDateControls(LabeledSpinBox* column, LabeledComboBox* format, QLabel* example, bool on);

    LabeledSpinBox* m_slide;
    QCheckBox* m_stayOnTop;
    QCheckBox* m_replace;
    QCheckBox* m_append;
    QCheckBox* m_useDate = nullptr;
    QCheckBox* m_useTime = nullptr;
    QCheckBox* m_useDatetime = nullptr;
    QCheckBox* m_useHeader = nullptr;
    QCheckBox* m_useKey = nullptr;
    QCheckBox* m_useSkip = nullptr;
    LabeledSpinBox* m_dateColumn = nullptr;
    LabeledSpinBox* m_timeColumn = nullptr;
    LabeledSpinBox* m_datetimeColumn = nullptr;
    LabeledSpinBox* m_headerRow = nullptr;
    LabeledSpinBox* m_keyColumn = nullptr;
    LabeledSpinBox* m_skipRows = nullptr;
    LabeledComboBox* m_dateFormat = nullptr;
    LabeledComboBox* m_timeFormat = nullptr;
    LabeledComboBox* m_datetimeFormat = nullptr;
    QLabel* m_dateExample = nullptr;
    QLabel* m_timeExample = nullptr;
    QLabel* m_datetimeExample = nullptr;
    std::vector<std::pair<QWidget*, bool>> m_enableStates;
};
