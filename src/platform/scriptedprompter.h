#pragma once
// A Prompter that answers from a queue filled beforehand, for tests and for
// running without a screen. Each prompt takes the next answer; a prompt of
// another kind than the answer at the front, or a prompt with no answer
// left, is reported through the failure handler and answered as cancelled,
// so an unexpected dialog fails a test instead of blocking it.
//
//     auto* p = new kro::ScriptedPrompter;
//     p->answerInt(5);
//     p->answerMessage(QMessageBox::Yes);
//     kro::installPrompter(std::unique_ptr<kro::Prompter>(p));
#include "platform/prompter.h"

#include <QVariant>

#include <deque>
#include <functional>
#include <vector>

namespace kro {

class ScriptedPrompter final : public Prompter {
public:
    enum class Kind {
        Text, Int, Double, DoublePair, Item, Message, OpenFile, OpenFiles, SaveFile, Directory, Color, Font, Menu, Print, Dialog
    };
    // One prompt as it was asked.
    struct Asked {
        Kind kind;
        QString title;  // title or caption
        QString text;   // label or message text; for a menu its entries (see execMenu)
        MessageKind messageKind = MessageKind::Information;  // message boxes only
        // Number prompts only: the initial value, the bounds and the step
        // (decimals for getDouble).
        double initial = 0, minimum = 0, maximum = 0;
        int step = 0;
        // Message boxes only: the buttons offered and the default one.
        QMessageBox::StandardButtons buttons = QMessageBox::NoButton;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };
    using FailureHandler = std::function<void(const QString& problem)>;

    ScriptedPrompter();

    // Queue answers in the order the prompts will come. An empty optional
    // answers as if the user cancelled.
    void answerText(std::optional<QString> value);
    void answerInt(std::optional<int> value);
    void answerDouble(std::optional<double> value);
    void answerDoublePair(std::optional<std::pair<double, double>> values);
    void answerItem(std::optional<QString> value);
    void answerMessage(QMessageBox::StandardButton button);
    void answerOpenFile(const QString& path);
    void answerOpenFiles(const QStringList& paths);
    // The path chosen and, when not empty, the filter the user chose.
    void answerSaveFile(const QString& path, const QString& selectedFilter = QString());
    void answerDirectory(const QString& path);
    void answerColor(std::optional<QColor> color);
    void answerFont(std::optional<QFont> font);
    // The action of the menu whose text (without '&') equals actionText; an
    // empty text dismisses the menu. A disabled action cannot be chosen. The
    // prompt's text lists the menu's entries one per line: "-" a separator,
    // "*" before a checked entry, a disabled one in parentheses, a submenu's
    // entries after its title and " > " ("Sort > *Sort by Name").
    void answerMenu(const QString& actionText);
    void answerPrint(bool accepted);
    // Accepts the print dialog with the printer set to write a PDF file.
    void answerPrintToPdf(const QString& pdfPath);
    // A dialog answer: the function may fill the dialog's fields and
    // returns the result code.
    void answerDialog(std::function<int(QDialog*)> handler);
    void answerDialog(int resultCode);

    // Every prompt asked so far, in order.
    const std::vector<Asked>& asked() const { return m_asked; }
    // Answers queued but not used yet.
    int pending() const { return static_cast<int>(m_answers.size()); }
    // Problems seen (unexpected prompts), also passed to the failure handler.
    const QStringList& failures() const { return m_failures; }
    void setFailureHandler(FailureHandler handler) { m_onFailure = std::move(handler); }

    std::optional<QString> getText(QWidget* parent, const QString& title, const QString& label, const QString& text,
                                   QLineEdit::EchoMode echo) override;
    std::optional<int> getInt(QWidget* parent, const QString& title, const QString& label, int value, int min,
                              int max, int step) override;
    std::optional<double> getDouble(QWidget* parent, const QString& title, const QString& label, double value,
                                    double min, double max, int decimals) override;
    std::optional<QString> getItem(QWidget* parent, const QString& title, const QString& label,
                                   const QStringList& items, int current, bool editable) override;
    std::optional<std::pair<double, double>> getDoublePair(QWidget* parent, const QString& title,
                                                           const QString& label1, const QString& label2,
                                                           const QString& text, double value, double min,
                                                           double max) override;
    QMessageBox::StandardButton message(MessageKind kind, QWidget* parent, const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                            QString* selectedFilter) override;
    QStringList getOpenFileNames(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                                 QString* selectedFilter) override;
    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                            QString* selectedFilter) override;
    QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir) override;
    std::optional<QColor> getColor(const QColor& initial, QWidget* parent, const QString& title) override;
    std::optional<QFont> getFont(const QFont& initial, QWidget* parent, const QString& title) override;
    QAction* execMenu(QMenu* menu, const QPoint& globalPos) override;
    bool execPrintDialog(QPrinter* printer, QWidget* parent) override;
    int execDialog(QDialog* dialog) override;

    static QString kindName(Kind kind);

private:
    struct Answer {
        Kind kind;
        QVariant value;  // invalid: cancelled
        std::function<int(QDialog*)> dialog;
    };
    // The next answer when it is of the kind asked; records the prompt.
    std::optional<Answer> take(Kind kind, const QString& title, const QString& text,
                               MessageKind messageKind = MessageKind::Information);
    void push(Kind kind, QVariant value);
    // Records the initial value, bounds and step of the number prompt just taken.
    void noteBounds(double initial, double minimum, double maximum, int step);

    std::deque<Answer> m_answers;
    std::vector<Asked> m_asked;
    QStringList m_failures;
    FailureHandler m_onFailure;
};

} // namespace kro
