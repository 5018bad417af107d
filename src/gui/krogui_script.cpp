// The script queue: script calls, pasted lines, the script editor's run and
// the pump that submits one line at a time.
#include "gui/krogui.h"

#include "command/commandedit.h"
#include "core/exceptions.h"
#include "core/settings.h"
#include "import/fileoptionparser.h"
#include "tabs/plotterctrl.h"

#include <QScopedValueRollback>
#include <QTimer>

namespace {
constexpr int kPumpMs = 5;
}

void KROGui::on_kroscript()
{
    if (m_scriptQueue.isEmpty())
        return;
    if (m_plotterCtrl->m_busy) {
        // A loader started by an earlier line is still working.
        QTimer::singleShot(kPumpMs, this, qOverload<>(&KROGui::on_kroscript));
        return;
    }
    int depth = 0;
    const std::optional<QString> line = m_scriptQueue.takeNext(&depth);
    if (!line)
        return;
    // A script called by this line nests one deeper.
    {
        const QScopedValueRollback<int> nesting(m_runningLineDepth, depth);
        m_console->command(*line, false);
    }
    QTimer::singleShot(kPumpMs, this, qOverload<>(&KROGui::on_kroscript));
}

void KROGui::on_kroscript(const QString& call)
{
    if (call.isNull()) {
        on_kroscript();
        return;
    }
    QStringList tokens;
    try {
        tokens = splitArguments(call).words();
    } catch (const std::exception& e) {
        say(QString::fromLocal8Bit(e.what()));
        return;
    }
    const int depth = m_runningLineDepth + 1;
    if (depth > kMaxScriptNesting) {
        say(tr("KroScript Error: Scripts may call scripts at most %1 levels deep; %2 was not run.")
                .arg(kMaxScriptNesting)
                .arg(tokens.isEmpty() ? call : tokens.first()));
        return;
    }
    const ScriptLoad load = loadScript(call, tokens, getScriptsPath());
    if (load.entersHistory())
        m_console->addHistory(call);
    if (load.status != ScriptLoad::Loaded) {
        say(load.message);
        return;
    }
    const bool wasEmpty = m_scriptQueue.isEmpty();
    m_scriptQueue.pushScript(load.commands, depth);
    if (wasEmpty)
        on_kroscript();
}

void KROGui::on_enqueueScriptItem(const QString& line) { m_scriptQueue.pushHead(line); }

void KROGui::on_krsrun(const QStringList& lastFirst)
{
    m_scriptQueue.replace(lastFirst);
    on_kroscript();
}
