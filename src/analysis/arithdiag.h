#pragma once
// The arithmetic command builder: a non-modal dialog that composes one
// arithmetic command line ("add 0.0", "mulx 2pi c1 c3", "sub mean(y, Cj)")
// from radio buttons, a constant, a statistic function and curves dragged
// from its curve list. On Ok the plot runs the line as a typed command; the
// dialog itself never changes curves.
#include "core/idarray.h"
#include "platform/commanddialog.h"

#include <QColor>
#include <QLineEdit>
#include <QListWidget>
#include <QListWidgetItem>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QStyledItemDelegate>

#include <utility>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// Makes toggle buttons mutually exclusive and reports the chosen id.
class MutexButtonGroup : public QObject {
    Q_OBJECT
public:
    explicit MutexButtonGroup(QObject* parent = nullptr) : QObject(parent) {}
    void addButton(QAbstractButton* button, int id);
    // Turns on every button of that id, without a signal.
    void setSelected(int id);
    int selected() const { return m_selected; }

Q_SIGNALS:
    void selectionChanged(int id);

public Q_SLOTS:
    void buttonClicked();

private:
    std::vector<std::pair<QAbstractButton*, int>> m_buttons;
    int m_selected = -1;
};

// One row of the curve list: a colour swatch and a text.
class CurveItem : public QListWidgetItem {
public:
    CurveItem(const QColor& colour, const QString& text);
    QColor colour() const { return m_color; }
    QString curveText() const { return m_text; }
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 26;

private:
    QColor m_color;
    QString m_text;
};

// Paints curve rows: the selection, the swatch and the text.
class CurveItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The curve list: dragging selected rows gives their curve ids as text of
// type "text/x-curves".
class ArithDiagCurveList : public QListWidget {
public:
    explicit ArithDiagCurveList(QWidget* parent = nullptr);
    // The text a drag of the selection carries ("" starts no drag).
    QString dragText() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPoint m_pressPos;
};

// A line edit that takes dropped curve ids.
class ArithDiagCurveEdit : public QLineEdit {
public:
    explicit ArithDiagCurveEdit(QWidget* parent = nullptr);
    // What a drop of text at a character position does to the edit.
    void dropCurves(const QString& text, int position);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

class ArithDiag : public CommandDialog {
    Q_OBJECT
public:
    // ids: the plot's curve ids in ascending order; colours and titles in
    // the same order (titles may be fewer: then "Curve n" is shown).
    ArithDiag(QWidget* parent, const IdArray& ids, const std::vector<QColor>& colours, const QStringList& titles);

    bool acceptedCommand() const override { return m_accepted == 1; }
    QString commandText() const override;

    static const QStringList& functionNames();

    // The parts of the command: operation word, axis, operand, curves.
    const QStringList& parts() const { return m_parts; }
    QLineEdit* constantEdit() const { return m_constant; }
    QLineEdit* commandEdit() const { return m_command; }
    QComboBox* functionCombo() const { return m_function; }
    QCheckBox* aggregateBox() const { return m_aggregate; }
    ArithDiagCurveEdit* functionCurvesEdit() const { return m_fnCurves; }
    ArithDiagCurveEdit* operandCurvesEdit() const { return m_opCurves; }
    ArithDiagCurveList* curveList() const { return m_curveList; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* helpButton() const { return m_help; }
    QRadioButton* operationButton(int id) const { return m_operations[std::size_t(id)]; }
    QRadioButton* operandButton(int id) const { return id == 0 ? m_constantRadio : m_functionRadio; }
    QRadioButton* axisButton(int id) const { return id == 0 ? m_xAxis : m_yAxis; }
    QGroupBox* operandCurvesBox() const { return m_opCurvesBox; }

public Q_SLOTS:
    void accept() override;
    void reject() override;

private Q_SLOTS:
    void aggregateChanged();
    void axisChanged(int id);
    void commandChanged();
    void constantChanged();
    void help();
    void fncurvesChanged();
    void functionChanged();
    void opcurvesChanged();
    void operandChanged(int id);
    void operationChanged(int id);

private:
    void operationWord(int id);
    QString operandText() const;
    void updateCommand();

    QStringList m_parts;
    int m_accepted = 0;
    std::vector<QRadioButton*> m_operations;
    QRadioButton* m_constantRadio = nullptr;
    QRadioButton* m_functionRadio = nullptr;
    QLineEdit* m_constant = nullptr;
    QComboBox* m_function = nullptr;
    ArithDiagCurveEdit* m_fnCurves = nullptr;
    QCheckBox* m_aggregate = nullptr;
    QRadioButton* m_xAxis = nullptr;
    QRadioButton* m_yAxis = nullptr;
    QGroupBox* m_opCurvesBox = nullptr;
    ArithDiagCurveEdit* m_opCurves = nullptr;
    QLineEdit* m_command = nullptr;
    ArithDiagCurveList* m_curveList = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_help = nullptr;
    MutexButtonGroup* m_operationGroup = nullptr;
    MutexButtonGroup* m_operandGroup = nullptr;
    MutexButtonGroup* m_axisGroup = nullptr;
};
