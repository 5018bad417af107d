// Window geometry at start, the dock layout file and panel visibility.
#include "gui/krogui.h"

#include "core/settings.h"
#include "gui/windowgeometry.h"
#include "platform/tabwidgetex.h"

#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QToolBox>

namespace {
// Version number of the saved dock arrangement.
constexpr int kLayoutVersion = 1;
} // namespace

QString KROGui::dockFilePath() { return getAppPath() + QStringLiteral("docksettings.ini"); }

void KROGui::restoreLayout(int width, int height)
{
    show();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    setGeometry(initialWindowGeometry(pos(), available, width, height));

    bool restored = false;
    const QString path = dockFilePath();
    if (QFileInfo(path).isFile()) {
        QSettings file(path, QSettings::IniFormat);
        const QByteArray state = QByteArray::fromBase64(file.value(QStringLiteral("state")).toByteArray());
        restored = !state.isEmpty() && restoreState(state, kLayoutVersion);
    }
    if (!restored) {
        // First start: the Curve Identifier (closed) to the right of the
        // Command Window, which keeps three quarters of its width.
        m_curveIdDock->setFloating(false);
        splitDockWidget(m_commandDock, m_curveIdDock, Qt::Horizontal);
        m_curveIdDock->hide();
        resizeDocks({m_commandDock}, {int(m_commandDock->width() * 0.75)}, Qt::Horizontal);
        resizeDocks({m_commandDock}, {std::max(120, this->height() / 4)}, Qt::Vertical);
        // The browser opens wide enough for its Name, Size, Type and Date
        // columns, but never over half the window.
        if (m_dirBrowserDock->widget())
            resizeDocks({m_dirBrowserDock},
                        {std::min(m_dirBrowserDock->sizeHint().width(), this->width() / 2)}, Qt::Horizontal);
    }
    // Panels whose content does not exist stay closed whatever was saved.
    if (!m_dirBrowserDock->widget())
        m_dirBrowserDock->hide();
    rememberDockVisibility();
}

void KROGui::recordLayout() { m_layoutAtClose = saveState(kLayoutVersion); }

bool KROGui::writeLayout() const
{
    const QByteArray state = m_layoutAtClose.isEmpty() ? saveState(kLayoutVersion) : m_layoutAtClose;
    QSettings file(dockFilePath(), QSettings::IniFormat);
    file.setValue(QStringLiteral("state"), QString::fromLatin1(state.toBase64()));
    file.sync();
    return file.status() == QSettings::NoError;
}

void KROGui::rememberDockVisibility()
{
    for (auto& [widget, shown] : m_dockVisibility)
        shown = widget->isHidden() ? 0 : 1;
}

void KROGui::hideAllDockables()
{
    rememberDockVisibility();
    for (auto& [widget, shown] : m_dockVisibility)
        widget->hide();
}

void KROGui::unhideDockables()
{
    for (auto& [widget, shown] : m_dockVisibility)
        widget->setVisible(shown == 1);
}
