#pragma once
// The quick-start guide: the quick-start picture under a title, with "Print"
// and "Got it!", a check box that decides whether the guide shows at the
// next start (the setting "quickstart") and one that keeps it above other
// windows. The main window shows it at start-up while the setting is on;
// "Got it!" hides it.
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QPaintDevice;
class QPrinter;
class QPushButton;

class QuickStartGuide : public QWidget {
    Q_OBJECT

public:
    // parent: the window that opens the guide (its icon, its placement);
    // the guide is a top-level window of its own. The caller shows it.
    explicit QuickStartGuide(QWidget* parent);

    QCheckBox* showOnStartupBox() const { return m_showOnStartup; }
    QCheckBox* stayOnTopBox() const { return m_stayOnTop; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* gotItButton() const { return m_gotIt; }

    // Where the guide goes over an opener whose client area is `client`,
    // for a picture of that size.
    static QPoint placement(const QRect& client, const QSize& picture);
    // Draws the picture on a page: between 2 cm margins, as wide as the
    // page allows in its own proportions, with the page number 1 below it.
    static void printPicture(QPaintDevice& page, const QPixmap& picture);

public Q_SLOTS:
    void on_showonstartup(bool on);
    void on_stayontop();
    void print();

private:
    QPointer<QWidget> m_opener;
    QCheckBox* m_showOnStartup;
    QCheckBox* m_stayOnTop;
    QPushButton* m_print;
    QPushButton* m_gotIt;
};
