#pragma once
// Watches a CommandEdit: every signal it emits (with its arguments written
// out as text) and every message it prints for one submitted line.
#include "command/commandedit.h"

#include <QSignalSpy>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace kro::test {

// One emitted signal as text, e.g. crop([1,2],{1,ALL}) or title("x").
// Strings are quoted (a null string reads null), doubles in their shortest
// round-trip form, id arrays as {count,ids...} with ALL for every curve.
QString describeCall(const QMetaMethod& method, const QList<QVariant>& arguments);

class ConsoleProbe {
public:
    explicit ConsoleProbe(CommandEdit& console);

    struct Result {
        QStringList calls;    // signals other than cmdExecuted, in order
        int executed = 0;     // cmdExecuted() emissions
        QString printed;      // messages printed, prompts and indents removed
    };

    // Submits the line with command(line, history) and reports what happened.
    Result run(const QString& line, bool history = false);
    // The messages printed since the given console text.
    static QString printedSince(const QString& before, const QString& after);

private:
    CommandEdit& m_console;
    std::vector<std::pair<QMetaMethod, std::unique_ptr<QSignalSpy>>> m_spies;
    std::unique_ptr<QSignalSpy> m_executed;
};

} // namespace kro::test
