#pragma once
// Calls by signature from the main window to the plots and the plot tabs.
// An operation that the receiver does not offer (yet) as a slot or
// invokable method is reported instead of failing silently.
#include "gui/krogui.h"
#include "plot/plotter.h"

#include <QByteArray>
#include <QMetaObject>
#include <QTimer>

// Whether the object offers a method of that signature, such as
// "addHMarker(double*,bool)".
inline bool offersMethod(const QObject* target, const char* signature)
{
    return target && target->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(signature).constData()) >= 0;
}

// The method name of a signature: the text before "(".
inline QByteArray methodName(const char* signature)
{
    const QByteArray s(signature);
    const int open = s.indexOf('(');
    return open < 0 ? s : s.left(open);
}

// Invokes the method when the object offers it; false otherwise. The
// reporter gets the message of a missing method.
template <typename Report, typename... Args>
bool invokeOffered(QObject* target, const char* signature, Report&& report, Args... args)
{
    if (!offersMethod(target, signature)) {
        report(QStringLiteral("The plot cannot carry out %1 yet.").arg(QString::fromLatin1(methodName(signature))));
        return false;
    }
    return QMetaObject::invokeMethod(target, methodName(signature).constData(), Qt::DirectConnection, args...);
}

template <typename... Args>
bool KROGui::callPlot(Plotter* plot, const char* signature, Args... args)
{
    if (!plot)
        return false;
    return invokeOffered(
        plot, signature,
        [this, signature](const QString& message) {
            // One report per operation and command, also in sync mode.
            const QString key = QString::fromLatin1(signature);
            if (m_missingReported.contains(key))
                return;
            if (m_missingReported.isEmpty())
                QTimer::singleShot(0, this, [this] { m_missingReported.clear(); });
            m_missingReported << key;
            verbose(ZEVOVE::ERROR, message);
        },
        args...);
}

template <typename... Args>
bool KROGui::callPlotTabs(const char* signature, Args... args)
{
    return invokeOffered(
        m_plotterCtrl, signature, [this](const QString& message) { verbose(ZEVOVE::ERROR, message); }, args...);
}

template <typename... Args>
bool KROGui::callTargets(const char* signature, Args... args)
{
    bool all = true;
    for (Plotter* p : targetPlotters())
        all = callPlot(p, signature, args...) && all;
    return all;
}

template <typename... Args>
bool KROGui::callTargetsThenPlot(const char* signature, Args... args)
{
    // Every plot changes first, then each redraws once.
    if (!callTargets(signature, args...))
        return false;
    applyToPlotters([](Plotter* p) { p->plot(); });
    return true;
}
