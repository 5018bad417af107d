#pragma once
// Every modal prompt of the program (input dialogs, message boxes, file,
// colour and font dialogs, menu popups, the print dialog and the program's
// own dialogs) goes through the installed Prompter. The program runs with
// the Qt dialogs; tests install a ScriptedPrompter (scriptedprompter.h) whose
// answers they queue, so nothing ever blocks on a dialog.
//
//     if (auto n = kro::prompter().getInt(this, tr("Smooth"), tr("Points:"), 5, 1, 1000))
//         smooth(*n);
//     if (kro::prompter().question(this, title, text) == QMessageBox::Yes) ...
#include <QColor>
#include <QFont>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QPrinter;
class QWidget;

namespace kro {

class Prompter {
public:
    enum class MessageKind { Information, Warning, Critical, Question };

    virtual ~Prompter() = default;

    // Input dialogs: the value entered, or nothing when cancelled.
    virtual std::optional<QString> getText(QWidget* parent, const QString& title, const QString& label,
                                           const QString& text = QString(),
                                           QLineEdit::EchoMode echo = QLineEdit::Normal) = 0;
    virtual std::optional<int> getInt(QWidget* parent, const QString& title, const QString& label, int value = 0,
                                      int min = -2147483647, int max = 2147483647, int step = 1) = 0;
    virtual std::optional<double> getDouble(QWidget* parent, const QString& title, const QString& label,
                                            double value = 0, double min = -2147483647, double max = 2147483647,
                                            int decimals = 1) = 0;
    virtual std::optional<QString> getItem(QWidget* parent, const QString& title, const QString& label,
                                           const QStringList& items, int current = 0, bool editable = true) = 0;
    // Two numbers in one dialog (x and y of a point, say): the first starts
    // at value, the second empty; both within [min, max].
    virtual std::optional<std::pair<double, double>> getDoublePair(QWidget* parent, const QString& title,
                                                                   const QString& label1, const QString& label2,
                                                                   const QString& text, double value, double min,
                                                                   double max) = 0;

    // A message box; returns the button pressed (NoButton or the escape
    // button when it was closed).
    virtual QMessageBox::StandardButton message(MessageKind kind, QWidget* parent, const QString& title,
                                                const QString& text, QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) = 0;

    QMessageBox::StandardButton information(QWidget* parent, const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
    {
        return message(MessageKind::Information, parent, title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton warning(QWidget* parent, const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
    {
        return message(MessageKind::Warning, parent, title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton critical(QWidget* parent, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                         QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
    {
        return message(MessageKind::Critical, parent, title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
                                         QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
    {
        return message(MessageKind::Question, parent, title, text, buttons, defaultButton);
    }

    // File dialogs: an empty result when cancelled.
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir = QString(),
                                    const QString& filter = QString(), QString* selectedFilter = nullptr) = 0;
    virtual QStringList getOpenFileNames(QWidget* parent, const QString& caption, const QString& dir = QString(),
                                         const QString& filter = QString(), QString* selectedFilter = nullptr) = 0;
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir = QString(),
                                    const QString& filter = QString(), QString* selectedFilter = nullptr) = 0;
    virtual QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir = QString()) = 0;

    // Colour and font dialogs: nothing when cancelled.
    virtual std::optional<QColor> getColor(const QColor& initial, QWidget* parent, const QString& title) = 0;
    virtual std::optional<QFont> getFont(const QFont& initial, QWidget* parent, const QString& title) = 0;

    // Pops a menu up at a global position; the action chosen, or nullptr.
    virtual QAction* execMenu(QMenu* menu, const QPoint& globalPos) = 0;
    // The print dialog for a printer; true when the user accepted it.
    virtual bool execPrintDialog(QPrinter* printer, QWidget* parent) = 0;
    // Runs one of the program's own dialogs modally; its result code
    // (QDialog::Accepted or QDialog::Rejected, or what the dialog returned).
    virtual int execDialog(QDialog* dialog) = 0;
};

// The installed prompter (the Qt dialogs unless something else is installed).
Prompter& prompter();
// Installs a prompter and returns the one it replaces; nullptr puts the Qt
// dialogs back. Install from the GUI thread only.
std::unique_ptr<Prompter> installPrompter(std::unique_ptr<Prompter> replacement);

// The implementation over the Qt dialogs.
std::unique_ptr<Prompter> makeQtPrompter();

// The dialog the Qt prompter shows for two numbers; the program puts its
// own input dialog here (arguments as Prompter::getDoublePair). Without one,
// the Qt prompter asks for the two numbers one after the other.
using DoublePairDialog = std::function<std::optional<std::pair<double, double>>(
    QWidget* parent, const QString& title, const QString& label1, const QString& label2, const QString& text,
    double value, double min, double max)>;
void setDoublePairDialog(DoublePairDialog dialog);

} // namespace kro
