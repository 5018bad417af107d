#pragma once
// DateTimeFormatTab: the page of the import setup in which the user says how
// a date, time or date-and-time column is written, as a format of the
// date-and-time library ("%Y-%m-%d"). It offers presets, checks every change
// and shows the present moment written with the format as an example.
#include <QGroupBox>
#include <QString>
#include <QStringList>

class LabeledComboBox;
class LabeledLabel;
class QLabel;
class QPushButton;

class DateTimeFormatTab : public QGroupBox {
    Q_OBJECT

public:
    // kind: "date", "time" or "datetime" (any other text counts as
    // "datetime"); it also labels the tab.
    DateTimeFormatTab(QWidget* parent, const QString& kind);

    // The presets offered for a kind.
    static QStringList presets(const QString& kind);

    const QString& kind() const { return m_kind; }
    // The format box's value: its text before any "(", stripped.
    QString format() const;
    // Puts the text into the format box: as a user's edit (checked, the
    // example renewed, formatChanged when valid) when verify is false; set
    // silently and only checked and shown when verify is true.
    void setFormat(const QString& text, bool verify);
    // Checks the text; the example turns red "Format error" when it is
    // invalid. Emits formatVerified with the result.
    bool verifyFormat(const QString& text);
    // The result of the last check.
    bool isValid() const { return m_valid; }

    LabeledComboBox* formatBox() const { return m_formatBox; }
    LabeledLabel* example() const { return m_example; }
    QLabel* usingLabel() const { return m_using; }
    QPushButton* helpButton() const { return m_help; }

public Q_SLOTS:
    void on_formatChanged();
    void on_formatHelp();

Q_SIGNALS:
    void closed();
    void formatChanged(const DateTimeFormatTab* tab);
    void formatVerified(bool valid);

private:
    QString m_kind;
    LabeledComboBox* m_formatBox;
    QPushButton* m_help;
    LabeledLabel* m_example;
    QLabel* m_using;
    bool m_valid = true;
};
