#pragma once
// A small modal dialog asking for one or two values. The type chooses the
// input:
//   0 read-only combo box        4 line edit (as type 2)
//   1 editable combo box         5 two line edits, each may be validated
//   2 line edit                  6 two line edits showing each other's reciprocal
//   3 line edit and a check box  7 spin box
// For types 3, 5 and 6 the label text's first line labels the first input
// and its second line the check box or the second input.
//
// OK follows the validators; Return in the first line edit accepts only
// when the text is not empty and OK is enabled. Every run goes through the
// installed prompter (kro::prompter().execDialog), so tests script it.
#include <QDialog>
#include <QString>

#include <utility>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;

class InputDialog : public QDialog {
    Q_OBJECT

public:
    InputDialog(const QString& label, const QString& helpText = QString(), QWidget* parent = nullptr,
                int type = 2);

    int type() const { return m_type; }
    QLabel* label() const { return m_label; }
    QLabel* secondLabel() const { return m_label2; }
    QLineEdit* lineEdit() const { return m_edit; }
    QLineEdit* secondLineEdit() const { return m_edit2; }
    QSpinBox* spinBox() const { return m_spin; }
    QCheckBox* checkBox() const { return m_check; }
    QComboBox* comboBox() const { return m_combo; }
    QComboBox* editableComboBox() const { return m_editableCombo; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* helpButton() const { return m_help; }
    QPushButton* cancelButton() const { return m_cancel; }
    QStackedWidget* inputStack() const { return m_stack; }

    // Line edit and check box: the text when accepted (else empty) and the
    // box's state in either case.
    static std::pair<QString, bool> getTextAndFlag(const QString& caption, const QString& label,
                                                   const QString& checkText, const QString& helpText,
                                                   bool* ok = nullptr, QWidget* parent = nullptr);
    // A validated number as text (10 decimals); the field's text whether
    // accepted or not.
    static QString getNumberText(const QString& caption, const QString& label, const QString& helpText, double value,
                                 double minimum, double maximum, bool* ok = nullptr, QWidget* parent = nullptr);
    // A number and its reciprocal side by side; the first field as a double
    // (0 when it is no number) whether accepted or not.
    static double getDouble(const QString& caption, const QString& label1, const QString& label2,
                            const QString& helpText, double value, double minimum, double maximum,
                            bool* ok = nullptr);
    // Two validated numbers; both fields as doubles (0 when empty or no
    // number) whether accepted or not.
    static std::pair<double, double> getDoublePair(const QString& caption, const QString& label1,
                                                   const QString& label2, const QString& helpText, double value,
                                                   double minimum, double maximum, bool* ok = nullptr,
                                                   QWidget* parent = nullptr);

    // Makes getDoublePair the two-number dialog of the Qt prompter, so the
    // plot's two-number prompts show this dialog.
    static void installAsTwoNumberPrompt();

    // "%1\n%2" with both parts.
    static QString twoLines(const QString& first, const QString& second);
    // A number with 10 significant digits, fixed or exponent form.
    static QString formatNumber(double value);
    // The text as a double; 0 when it is no number.
    static double readNumber(const QString& text);

private Q_SLOTS:
    void textChanged(const QString& text);
    void text2Changed(const QString& text);
    void tryAccept();
    void showHelp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setType(int type);
    static bool acceptable(const QLineEdit* edit);

    QLabel* m_label = nullptr;
    QLabel* m_label2 = nullptr;
    QString m_helpText;
    QLineEdit* m_edit = nullptr;
    QLineEdit* m_edit2 = nullptr;
    QSpinBox* m_spin = nullptr;
    QCheckBox* m_check = nullptr;
    QComboBox* m_combo = nullptr;
    QComboBox* m_editableCombo = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_help = nullptr;
    QPushButton* m_cancel = nullptr;
    QStackedWidget* m_stack = nullptr;
    int m_type = 2;
};
