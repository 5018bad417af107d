#pragma once
// HelpGui: a small window beside a dialog showing one help page (helppages.h)
// with "Print", "Got it" and "Stay on top". It builds and shows itself at
// once; the opener keeps no pointer to it:
//
//     new HelpGui(tr("KRO - Datetime Format Specifiers"), 1, this);
//
// The window deletes itself when "Got it" is pressed or when the parent
// emits closed() (or is destroyed); closing it from its title bar only hides
// it. A null parent falls back to the main window; with none the window is
// placed by the window manager and lives until "Got it".
#include <QPointer>
#include <QString>
#include <QWidget>

class QCheckBox;
class QPrinter;
class QPushButton;
class QTextEdit;

class HelpGui : public QWidget {
    Q_OBJECT

public:
    HelpGui(const QString& caption, int page, QWidget* parent);

    QTextEdit* textView() const { return m_view; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* gotItButton() const { return m_gotIt; }
    QCheckBox* stayOnTopBox() const { return m_stayOnTop; }
    // The widget the window was placed beside (null when there was none).
    QWidget* opener() const { return m_opener; }

    // Where the window goes beside an opener whose frame is at framePos
    // (frameOnScreen: that position mapped to the screen once more, as the
    // opener's own coordinates would be), with the opener's size and the
    // window's height.
    static QPoint placement(const QPoint& framePos, const QPoint& frameOnScreen, const QSize& openerSize,
                            int windowHeight);

    // Prints the page on a printer that is already set up, with a 2 cm
    // margin and page numbers; the number of pages printed (0 on failure).
    int printOn(QPrinter& printer) const;

public Q_SLOTS:
    // Asks for a printer and prints the page on it.
    void print();
    void on_stayontop();

private:
    QTextEdit* m_view = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_gotIt = nullptr;
    QCheckBox* m_stayOnTop = nullptr;
    QPointer<QWidget> m_opener;
};
