#include "platform/scriptedprompter.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QPrinter>
#include <QPointF>
#include <QtDebug>

namespace kro {

ScriptedPrompter::ScriptedPrompter()
    : m_onFailure([](const QString& problem) { qWarning().noquote() << problem; })
{
}

QString ScriptedPrompter::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Text: return QStringLiteral("text input");
    case Kind::Int: return QStringLiteral("integer input");
    case Kind::Double: return QStringLiteral("number input");
    case Kind::DoublePair: return QStringLiteral("two-number input");
    case Kind::Item: return QStringLiteral("item choice");
    case Kind::Message: return QStringLiteral("message box");
    case Kind::OpenFile: return QStringLiteral("open-file dialog");
    case Kind::OpenFiles: return QStringLiteral("open-files dialog");
    case Kind::SaveFile: return QStringLiteral("save-file dialog");
    case Kind::Directory: return QStringLiteral("directory dialog");
    case Kind::Color: return QStringLiteral("colour dialog");
    case Kind::Font: return QStringLiteral("font dialog");
    case Kind::Menu: return QStringLiteral("menu");
    case Kind::Print: return QStringLiteral("print dialog");
    case Kind::Dialog: return QStringLiteral("dialog");
    }
    return QStringLiteral("prompt");
}

void ScriptedPrompter::push(Kind kind, QVariant value) { m_answers.push_back(Answer{kind, std::move(value), {}}); }

void ScriptedPrompter::answerText(std::optional<QString> value)
{
    push(Kind::Text, value ? QVariant(*value) : QVariant());
}
void ScriptedPrompter::answerInt(std::optional<int> value) { push(Kind::Int, value ? QVariant(*value) : QVariant()); }
void ScriptedPrompter::answerDouble(std::optional<double> value)
{
    push(Kind::Double, value ? QVariant(*value) : QVariant());
}
void ScriptedPrompter::answerDoublePair(std::optional<std::pair<double, double>> values)
{
    push(Kind::DoublePair, values ? QVariant(QPointF(values->first, values->second)) : QVariant());
}
void ScriptedPrompter::answerItem(std::optional<QString> value)
{
    push(Kind::Item, value ? QVariant(*value) : QVariant());
}
void ScriptedPrompter::answerMessage(QMessageBox::StandardButton button)
{
    push(Kind::Message, QVariant(static_cast<int>(button)));
}
void ScriptedPrompter::answerOpenFile(const QString& path) { push(Kind::OpenFile, QVariant(path)); }
void ScriptedPrompter::answerOpenFiles(const QStringList& paths) { push(Kind::OpenFiles, QVariant(paths)); }
void ScriptedPrompter::answerSaveFile(const QString& path, const QString& selectedFilter)
{
    push(Kind::SaveFile, QVariant(QStringList{path, selectedFilter}));
}
void ScriptedPrompter::answerDirectory(const QString& path) { push(Kind::Directory, QVariant(path)); }
void ScriptedPrompter::answerColor(std::optional<QColor> color)
{
    push(Kind::Color, color ? QVariant(*color) : QVariant());
}
void ScriptedPrompter::answerFont(std::optional<QFont> font) { push(Kind::Font, font ? QVariant(*font) : QVariant()); }
void ScriptedPrompter::answerMenu(const QString& actionText) { push(Kind::Menu, QVariant(actionText)); }
void ScriptedPrompter::answerPrint(bool accepted) { push(Kind::Print, QVariant(accepted)); }
void ScriptedPrompter::answerPrintToPdf(const QString& pdfPath) { push(Kind::Print, QVariant(pdfPath)); }
void ScriptedPrompter::answerDialog(std::function<int(QDialog*)> handler)
{
    m_answers.push_back(Answer{Kind::Dialog, QVariant(), std::move(handler)});
}
void ScriptedPrompter::answerDialog(int resultCode)
{
    answerDialog([resultCode](QDialog*) { return resultCode; });
}

std::optional<ScriptedPrompter::Answer> ScriptedPrompter::take(Kind kind, const QString& title, const QString& text,
                                                               MessageKind messageKind)
{
    m_asked.push_back(Asked{kind, title, text, messageKind});
    QString problem;
    if (m_answers.empty()) {
        problem = QStringLiteral("Unexpected %1 \"%2\": %3").arg(kindName(kind), title, text);
    } else if (m_answers.front().kind != kind) {
        problem = QStringLiteral("Expected a %1 but got a %2 \"%3\": %4")
                      .arg(kindName(m_answers.front().kind), kindName(kind), title, text);
    }
    if (!problem.isEmpty()) {
        m_failures.append(problem);
        if (m_onFailure)
            m_onFailure(problem);
        return std::nullopt;
    }
    Answer answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer;
}

void ScriptedPrompter::noteBounds(double initial, double minimum, double maximum, int step)
{
    Asked& a = m_asked.back();
    a.initial = initial;
    a.minimum = minimum;
    a.maximum = maximum;
    a.step = step;
}

std::optional<QString> ScriptedPrompter::getText(QWidget*, const QString& title, const QString& label, const QString&,
                                                 QLineEdit::EchoMode)
{
    const auto a = take(Kind::Text, title, label);
    if (!a || !a->value.isValid())
        return std::nullopt;
    return a->value.toString();
}

std::optional<int> ScriptedPrompter::getInt(QWidget*, const QString& title, const QString& label, int value, int min,
                                            int max, int step)
{
    const auto a = take(Kind::Int, title, label);
    noteBounds(value, min, max, step);
    if (!a || !a->value.isValid())
        return std::nullopt;
    return a->value.toInt();
}

std::optional<double> ScriptedPrompter::getDouble(QWidget*, const QString& title, const QString& label,
                                                  double value, double min, double max, int decimals)
{
    const auto a = take(Kind::Double, title, label);
    noteBounds(value, min, max, decimals);
    if (!a || !a->value.isValid())
        return std::nullopt;
    return a->value.toDouble();
}

std::optional<std::pair<double, double>> ScriptedPrompter::getDoublePair(QWidget*, const QString& title,
                                                                         const QString& label1,
                                                                         const QString& label2, const QString& text,
                                                                         double value, double min, double max)
{
    // The text asked is the help text over both labels.
    const auto a = take(Kind::DoublePair, title, text + QLatin1Char('\n') + label1 + QLatin1Char('\n') + label2);
    noteBounds(value, min, max, 0);
    if (!a || !a->value.isValid())
        return std::nullopt;
    const QPointF p = a->value.toPointF();
    return std::make_pair(p.x(), p.y());
}

std::optional<QString> ScriptedPrompter::getItem(QWidget*, const QString& title, const QString& label,
                                                 const QStringList&, int, bool)
{
    const auto a = take(Kind::Item, title, label);
    if (!a || !a->value.isValid())
        return std::nullopt;
    return a->value.toString();
}

QMessageBox::StandardButton ScriptedPrompter::message(MessageKind kind, QWidget*, const QString& title,
                                                      const QString& text, QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton defaultButton)
{
    const auto a = take(Kind::Message, title, text, kind);
    m_asked.back().buttons = buttons;
    m_asked.back().defaultButton = defaultButton;
    if (!a)
        return QMessageBox::NoButton;
    return static_cast<QMessageBox::StandardButton>(a->value.toInt());
}

QString ScriptedPrompter::getOpenFileName(QWidget*, const QString& caption, const QString&, const QString&, QString*)
{
    const auto a = take(Kind::OpenFile, caption, QString());
    return a ? a->value.toString() : QString();
}

QStringList ScriptedPrompter::getOpenFileNames(QWidget*, const QString& caption, const QString&, const QString&,
                                               QString*)
{
    const auto a = take(Kind::OpenFiles, caption, QString());
    return a ? a->value.toStringList() : QStringList();
}

QString ScriptedPrompter::getSaveFileName(QWidget*, const QString& caption, const QString&, const QString&,
                                          QString* selectedFilter)
{
    const auto a = take(Kind::SaveFile, caption, QString());
    if (!a)
        return QString();
    const QStringList answer = a->value.toStringList();
    if (selectedFilter && !answer.value(1).isEmpty())
        *selectedFilter = answer.value(1);
    return answer.value(0);
}

QString ScriptedPrompter::getExistingDirectory(QWidget*, const QString& caption, const QString&)
{
    const auto a = take(Kind::Directory, caption, QString());
    return a ? a->value.toString() : QString();
}

std::optional<QColor> ScriptedPrompter::getColor(const QColor&, QWidget*, const QString& title)
{
    const auto a = take(Kind::Color, title, QString());
    if (!a || !a->value.isValid())
        return std::nullopt;
    return a->value.value<QColor>();
}

std::optional<QFont> ScriptedPrompter::getFont(const QFont&, QWidget*, const QString& title)
{
    const auto a = take(Kind::Font, title, QString());
    if (!a || !a->value.isValid())
        return std::nullopt;
    return a->value.value<QFont>();
}

// The entries of a menu, one line each: "-" a separator, "*" before a
// checked entry, a disabled one in parentheses, submenu entries after
// their menu's title and " > ".
static void describeMenu(const QMenu* menu, const QString& prefix, QStringList& lines)
{
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            lines << prefix + QLatin1Char('-');
            continue;
        }
        QString text = QString(action->text()).remove(QLatin1Char('&'));
        if (action->menu()) {
            describeMenu(action->menu(), prefix + text + QStringLiteral(" > "), lines);
            continue;
        }
        if (action->isCheckable() && action->isChecked())
            text.prepend(QLatin1Char('*'));
        if (!action->isEnabled())
            text = QLatin1Char('(') + text + QLatin1Char(')');
        lines << prefix + text;
    }
}

QAction* ScriptedPrompter::execMenu(QMenu* menu, const QPoint&)
{
    QStringList entries;
    if (menu)
        describeMenu(menu, QString(), entries);
    const auto a = take(Kind::Menu, menu ? menu->title() : QString(), entries.join(QLatin1Char('\n')));
    if (!a || !menu)
        return nullptr;
    const QString wanted = a->value.toString();
    if (wanted.isEmpty())
        return nullptr;
    const QList<QAction*> actions = menu->findChildren<QAction*>() + menu->actions();
    for (QAction* action : actions) {
        if (!action->isSeparator() && QString(action->text()).remove(QLatin1Char('&')) == wanted) {
            // A user cannot choose a disabled entry either.
            if (!action->isEnabled())
                break;
            action->trigger();
            return action;
        }
    }
    const QString problem = QStringLiteral("Menu \"%1\" has no enabled action \"%2\"").arg(menu->title(), wanted);
    m_failures.append(problem);
    if (m_onFailure)
        m_onFailure(problem);
    return nullptr;
}

bool ScriptedPrompter::execPrintDialog(QPrinter* printer, QWidget*)
{
    const auto a = take(Kind::Print, QString(), QString());
    if (!a)
        return false;
    if (a->value.typeId() == QMetaType::QString) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(a->value.toString());
        return true;
    }
    return a->value.toBool();
}

int ScriptedPrompter::execDialog(QDialog* dialog)
{
    const auto a = take(Kind::Dialog, dialog ? dialog->windowTitle() : QString(), QString());
    if (!a || !a->dialog)
        return QDialog::Rejected;
    const int code = a->dialog(dialog);
    if (dialog)
        dialog->setResult(code);
    return code;
}

} // namespace kro
