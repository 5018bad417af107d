#pragma once
// Pieces shared by the program's small top-level windows (help window,
// quick-start guide): their bottom row of buttons and switching a window's
// stay-on-top hint.
#include <QString>

class QCheckBox;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace kro {

// [leading] stretch "Print" <dismiss> stretch "Stay on top": both buttons
// 100 pixels wide and at most 24 high, the box at most 24 high.
struct PrintDismissRow {
    QHBoxLayout* layout;
    QPushButton* print;
    QPushButton* dismiss;
    QCheckBox* stayOnTop;
};
PrintDismissRow makePrintDismissRow(QWidget* window, const QString& dismissText, QWidget* leading = nullptr);

// Shows a top-level window again with its stay-on-top hint inverted, at the
// place where it was.
void toggleStaysOnTop(QWidget* window);

} // namespace kro
