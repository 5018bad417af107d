#pragma once
// The default-settings page: one row per stored setting, each with "Stored
// Value", "Current Value" and "Apply && Save" and an indicator that is on
// once the row's value has been saved and goes off when the row changes or
// another value is shown. It is page 1 of the main window's central stack.
#include "core/plotoptions.h"

#include <QMetaType>
#include <QScrollArea>
#include <QString>
#include <QWidget>

#include <map>
#include <vector>

class AcceptedCheck;
class LabeledWidget;
class QGroupBox;
class QPushButton;

// The numbers of the settings the page shows. Numbers without a name (3,
// 11, 12, 14, 21-23, 26, 28, 32-34, 43, 47) have no setting.
enum class KROSettingsParam : int {
    ADEVINTERVAL = 0,
    ADEVSTATISTIC = 1,
    AUTOCONVERTMJDLIVE = 2,
    BACKGROUNDCOLOR = 4,
    BACKGROUNDIMAGE = 5,
    BACKGROUNDIMAGESTYLE = 6,
    BORDERCOLOR = 7,
    DATAFILEVIEWER = 8,
    DATEFORMAT = 9,
    DATETIMEFORMAT = 10,
    GRIDLINECOLOR = 13,
    HISTORY = 15,
    IMGBORDER = 16,
    IMGPATH = 17,
    IMGTIMESTAMP = 18,
    IMGTYPE = 19,
    IMGQUAL = 20,
    OFS = 24,
    OPATH = 25,
    PNTRAD = 27,
    QUICKSTART = 29,
    SCRIPTSPATH = 30,
    SIZE = 31,
    TICKFONTSIZE = 35,
    TICKFONTCOLOR = 36,
    TICKFONTFAMILY = 37,
    TIMEFORMAT = 38,
    TITLE = 39,
    TITLEFONTSIZE = 40,
    USESHORTTITLES = 41,
    VERBOSE = 42,
    WORKSPACEPATH = 44,
    XAXISFONTSIZE = 45,
    XLBL = 46,
    YAXISFONTSIZE = 48,
    YLBL = 49,
};
Q_DECLARE_METATYPE(KROSettingsParam)

// The settings key of a number ("width" for SIZE, which also writes
// "height"); empty for a number without a setting.
QString settingsKey(KROSettingsParam param);

// The three buttons of a row.
class SettingsButtons : public QWidget {
    Q_OBJECT

public:
    SettingsButtons(KROSettingsParam param, QWidget* parent);
    KROSettingsParam param() const { return m_param; }
    QPushButton* storedButton() const { return m_stored; }
    QPushButton* currentButton() const { return m_current; }
    QPushButton* applyButton() const { return m_apply; }

Q_SIGNALS:
    void apply_clicked(KROSettingsParam param);
    void current_clicked(KROSettingsParam param);
    void stored_clicked(KROSettingsParam param);

private Q_SLOTS:
    void on_apply();
    void on_current();
    void on_stored();

private:
    KROSettingsParam m_param;
    QPushButton* m_stored;
    QPushButton* m_current;
    QPushButton* m_apply;
};

class KROSettingsGUI : public QScrollArea {
    Q_OBJECT

public:
    // mainWindow: the window whose size "Current Value" of Program Size reads.
    KROSettingsGUI(QWidget* parent, QWidget* mainWindow);

    // The values in force (set by the main window when it opens the page)
    // and the stored values (read at construction; replaced on opening and
    // after each save).
    PlotOptions m_current;
    PlotOptions m_stored;

    // Puts the record's value for that number into its row.
    void showValue(KROSettingsParam param, const PlotOptions& record);

    // The parts of a row (null for a number without a row).
    LabeledWidget* row(KROSettingsParam param) const;
    SettingsButtons* buttons(KROSettingsParam param) const;
    AcceptedCheck* indicator(KROSettingsParam param) const;
    // The numbers that have rows, ascending.
    std::vector<KROSettingsParam> params() const;
    const std::vector<QGroupBox*>& groups() const { return m_groups; }

public Q_SLOTS:
    // Writes the row's value under its key; tells saved() when it was
    // written, reports a store that cannot be written.
    void on_apply(KROSettingsParam param);
    void on_current(KROSettingsParam param);
    void on_stored(KROSettingsParam param);

Q_SIGNALS:
    void saved(KROSettingsParam param);

private Q_SLOTS:
    void maybe_enable_shorttitles();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Every caption as wide as the widest one in the font in force.
    void alignCaptions();
    struct Row {
        LabeledWidget* widget = nullptr;
        SettingsButtons* buttons = nullptr;
        AcceptedCheck* indicator = nullptr;
    };
    const Row* rowOf(KROSettingsParam param) const;
    // Writes the row's value; false when the store could not be written.
    bool writeRow(KROSettingsParam param, const LabeledWidget& row);

    QWidget* m_mainWindow;
    std::map<int, Row> m_rows;
    std::vector<QGroupBox*> m_groups;
};
