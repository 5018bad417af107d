#include "platform/prompter.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMenu>
#include <QPrintDialog>

#include "core/markupbounds.h"

namespace kro {

namespace {

DoublePairDialog& doublePairDialog()
{
    static DoublePairDialog dialog;
    return dialog;
}

class QtPrompter final : public Prompter {
public:
    std::optional<QString> getText(QWidget* parent, const QString& title, const QString& label, const QString& text,
                                   QLineEdit::EchoMode echo) override
    {
        bool ok = false;
        const QString value = QInputDialog::getText(parent, title, kro::boundedRichText(label), echo, text, &ok);
        return ok ? std::optional<QString>(value) : std::nullopt;
    }

    std::optional<int> getInt(QWidget* parent, const QString& title, const QString& label, int value, int min,
                              int max, int step) override
    {
        bool ok = false;
        const int v = QInputDialog::getInt(parent, title, kro::boundedRichText(label), value, min, max, step, &ok);
        return ok ? std::optional<int>(v) : std::nullopt;
    }

    std::optional<double> getDouble(QWidget* parent, const QString& title, const QString& label, double value,
                                    double min, double max, int decimals) override
    {
        bool ok = false;
        const double v = QInputDialog::getDouble(parent, title, kro::boundedRichText(label), value, min, max, decimals, &ok);
        return ok ? std::optional<double>(v) : std::nullopt;
    }

    std::optional<QString> getItem(QWidget* parent, const QString& title, const QString& label,
                                   const QStringList& items, int current, bool editable) override
    {
        bool ok = false;
        const QString v = QInputDialog::getItem(parent, title, kro::boundedRichText(label), items, current, editable, &ok);
        return ok ? std::optional<QString>(v) : std::nullopt;
    }

    std::optional<std::pair<double, double>> getDoublePair(QWidget* parent, const QString& title,
                                                           const QString& label1, const QString& label2,
                                                           const QString& text, double value, double min,
                                                           double max) override
    {
        if (const DoublePairDialog& dialog = doublePairDialog())
            return dialog(parent, title, label1, label2, text, value, min, max);
        const auto first = getDouble(parent, title, text + QLatin1Char('\n') + label1, value, min, max, 8);
        if (!first)
            return std::nullopt;
        const auto second = getDouble(parent, title, text + QLatin1Char('\n') + label2, 0.0, min, max, 8);
        if (!second)
            return std::nullopt;
        return std::make_pair(*first, *second);
    }

    QMessageBox::StandardButton message(MessageKind kind, QWidget* parent, const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        // Messages carry names and texts from outside: the box shows them
        // within the bounds of the toolkit's rich text.
        const QString shown = kro::boundedRichText(text);
        switch (kind) {
        case MessageKind::Information:
            return QMessageBox::information(parent, title, shown, buttons, defaultButton);
        case MessageKind::Warning:
            return QMessageBox::warning(parent, title, shown, buttons, defaultButton);
        case MessageKind::Critical:
            return QMessageBox::critical(parent, title, shown, buttons, defaultButton);
        case MessageKind::Question:
            break;
        }
        return QMessageBox::question(parent, title, shown, buttons, defaultButton);
    }

    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                            QString* selectedFilter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter, selectedFilter);
    }

    QStringList getOpenFileNames(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                                 QString* selectedFilter) override
    {
        return QFileDialog::getOpenFileNames(parent, caption, dir, filter, selectedFilter);
    }

    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                            QString* selectedFilter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
    }

    QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir) override
    {
        return QFileDialog::getExistingDirectory(parent, caption, dir);
    }

    std::optional<QColor> getColor(const QColor& initial, QWidget* parent, const QString& title) override
    {
        const QColor c = QColorDialog::getColor(initial, parent, title);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    }

    std::optional<QFont> getFont(const QFont& initial, QWidget* parent, const QString& title) override
    {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, initial, parent, title);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    }

    QAction* execMenu(QMenu* menu, const QPoint& globalPos) override
    {
        return menu ? menu->exec(globalPos) : nullptr;
    }

    bool execPrintDialog(QPrinter* printer, QWidget* parent) override
    {
        QPrintDialog dialog(printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }

    int execDialog(QDialog* dialog) override { return dialog ? dialog->exec() : QDialog::Rejected; }
};

std::unique_ptr<Prompter>& installed()
{
    static std::unique_ptr<Prompter> current = makeQtPrompter();
    return current;
}

} // namespace

std::unique_ptr<Prompter> makeQtPrompter() { return std::make_unique<QtPrompter>(); }

void setDoublePairDialog(DoublePairDialog dialog) { doublePairDialog() = std::move(dialog); }

Prompter& prompter() { return *installed(); }

std::unique_ptr<Prompter> installPrompter(std::unique_ptr<Prompter> replacement)
{
    std::unique_ptr<Prompter> previous = std::move(installed());
    installed() = replacement ? std::move(replacement) : makeQtPrompter();
    return previous;
}

} // namespace kro
