#pragma once
// SendCurveGUI: the "Move/Copy Curve" dialog of a plot. The user picks
// curves of the plot, a destination tab (or a new one) and a frame of that
// tab (an existing plot, or a new one where the tab has room), and copy or
// move; the plot tabs run the transfer.
#include "core/curvedata.h"

#include <QDialog>
#include <QString>

#include <map>
#include <vector>

class CurveListBox;
class QButtonGroup;
class QListWidgetItem;

class SendCurveGUI : public QDialog {
    Q_OBJECT

public:
    // curves: curve number (from 1) -> line colour; tabs: tab label -> the
    // number of plots of the tab (0 for a tab still to be made).
    SendCurveGUI(QWidget* parent, std::map<int, Rgb> curves, std::map<QString, int> tabs);

    // Fills the frame list for a tab of that many plots (0 to 4); raises
    // kroexception for any other count.
    void populateQuadrant(unsigned plotCount);
    // The quadrant of the chosen frame (a frame marked "(New)" names the
    // quadrant the tab does not have yet); -1 when none is chosen.
    int quadrantNumber() const;
    // The chosen curve numbers in list order; INT_MAX alone for "All Curves".
    std::vector<int> selectedCurves() const;
    // The chosen destination tab label; null when none.
    QString destinationTab() const;
    // True when "Move" is chosen.
    bool moveChosen() const;

    CurveListBox* curveList() const { return m_curveList; }
    CurveListBox* tabList() const { return m_tabList; }
    CurveListBox* frameList() const { return m_frameList; }
    QButtonGroup* operation() const { return m_operation; }

private Q_SLOTS:
    void destClicked(QListWidgetItem* item);

private:
    std::map<int, Rgb> m_curves;
    std::map<QString, int> m_tabs;
    CurveListBox* m_curveList = nullptr;
    CurveListBox* m_tabList = nullptr;
    CurveListBox* m_frameList = nullptr;
    QButtonGroup* m_operation = nullptr;
};
