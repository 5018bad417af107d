// Message sink, status bar and the window state that follows the plots.
#include "gui/krogui.h"
#include "core/markupbounds.h"
#include "analysis/adevthread.h"

#include "base/dirbrowser.h"
#include "command/commandedit.h"
#include "core/settings.h"
#include "gui/kroguicalls.h"
#include "gui/windowtexts.h"
#include "platform/platform.h"
#include "plot/plotter.h"
#include "tabs/plotterctrl.h"
#include "tabs/savegui.h"
#include "platform/tabwidgetex.h"

#include <QAction>
#include <QCoreApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolBox>

void KROGui::verbose(ZEVOVE::TYPE type, const QString& text)
{
    const QString shown = formatUserMessage(type, text);
    if (!shown.isNull())
        say(shown);
}

void KROGui::on_verbosestate(OPTSTATES::QUADSTATE state)
{
    auto word = [](bool on) { return on ? tr("enabled") : tr("disabled"); };
    const bool now = kro::isVerbose();
    if ((state == OPTSTATES::ON && now) || (state == OPTSTATES::OFF && !now)) {
        say(tr("Verbose mode %1.").arg(word(now)));
        return;
    }
    say(tr("Verbose mode %1.").arg(word(!now)));
    setVerboseFlag(!now);
}

void KROGui::statusBarMessage(int loc, const QString& text, int seconds)
{
    if (loc == 1) {
        m_rightTimer->stop();
        disconnect(m_rightTimer, &QTimer::timeout, nullptr, nullptr);
        if (seconds <= 0) {
            connect(m_rightTimer, &QTimer::timeout, this, &KROGui::updateStatusBarRight);
            m_rightTimer->setSingleShot(false);
            m_rightTimer->start(1000);
            updateStatusBarRight();
        } else {
            m_rightLabel->setText(kro::boundedRichText(text));
            connect(m_rightTimer, &QTimer::timeout, this, [this] { statusBarMessage(); });
            m_rightTimer->setSingleShot(true);
            m_rightTimer->start(seconds * 1000);
        }
        return;
    }
    m_msgTimer->stop();
    disconnect(m_msgTimer, &QTimer::timeout, nullptr, nullptr);
    m_msgLabel->setText(kro::boundedRichText(text));
    connect(m_msgTimer, &QTimer::timeout, m_msgLabel, &QLabel::clear);
    m_msgTimer->setSingleShot(true);
    m_msgTimer->start(std::max(0, seconds) * 1000);
}

void KROGui::updateStatusBarRight()
{
    m_rightLabel->setText(statusBarRightText(m_pointRate, kro::platform::availableMemoryBytes()));
}

void KROGui::resizeEvent(QResizeEvent* event)
{
    if (m_msgTimer && m_rightTimer)
        statusBarMessage(1, QStringLiteral("%1x%2").arg(event->size().width()).arg(event->size().height()), 3);
    QMainWindow::resizeEvent(event);
}

void KROGui::on_plotterRateUpdate(double rate) { m_pointRate = rate; }

void KROGui::on_cmdExecuted() { on_plotterShown(activePlotter()); }

void KROGui::setButtonQuietly(QAbstractButton* button, bool on)
{
    if (!button || button->isChecked() == on)
        return;
    const QSignalBlocker quiet(button);
    button->setChecked(on);
}

void KROGui::setToolVisible(QWidget* button, bool visible)
{
    const auto it = m_toolActions.find(button);
    if (it != m_toolActions.end())
        it->second->setVisible(visible);
    else if (button)
        button->setVisible(visible);
}

void KROGui::setGroupButton(BTNGRPCAT group, int exclusiveIndex, bool on)
{
    setButtonQuietly(m_btnGroups.button(group, exclusiveIndex), on);
}

void KROGui::on_plotterShown(Plotter* plot)
{
    if (!plot)
        return;
    const bool anyCurve = !plot->m_curves.empty();
    setGroupButton(TOGGLE_GRID, 5, plot->m_gridHorizontal || plot->m_gridVertical);
    setGroupButton(LOG_X, 5, plot->m_logX);
    setGroupButton(LOG_Y, 5, plot->m_logY);
    setGroupButton(POINTER_MODE, 2, plot->m_readoutXY);
    setGroupButton(POINTER_MODE, 3, plot->m_readoutDateY);
    setGroupButton(POINTER_MODE, 4, plot->m_readoutDateXY);
    setGroupButton(CURVE_LINE, 5, anyCurve && plot->allLinesShown());
    setGroupButton(REDUCED_INTENSITY, 5, plot->m_lineIntensity);
    setGroupButton(BAR_PLOT, 5, plot->m_barMode);
    setGroupButton(DATA_POINTS, 5, anyCurve && plot->allPointsShown());
    setGroupButton(MJD_DATETIME, 5, plot->m_dateTimeAxis);

    setButtonQuietly(m_snapToBtn, plot->m_snapToCurve);
    setButtonQuietly(m_cropBtn, plot->m_mouseMode == 1);
    setButtonQuietly(m_eraserBtn, plot->m_mouseMode == 2);
    setButtonQuietly(m_dataSelBtn, plot->m_mouseMode == 4);
    setButtonQuietly(m_panBtn, plot->m_mouseMode == 8);
    // The zoom buttons follow the zoom history of the plot shown: the plot
    // announces changes of its own history only.
    on_showZoomBtns(ZOOM(plot->zoomState()));

    bool running = false;
    for (AdevThread* t : plot->m_adevThreads)
        running = running || (t && t->isRunning());
    setToolVisible(m_abortBtn, running);
    on_enableDateTimeAxisBtn(plot->m_mjdInRange);

    // The Curve Identifier shows the panel of the plot shown.
    if (plot->m_curveIdPanel && plot->m_curveIdPanel != m_curveIdWidget) {
        if (m_curveIdWidget && m_curveIdDock->widget() == m_curveIdWidget) {
            m_curveIdDock->setWidget(nullptr);
            m_curveIdWidget->hide();
            m_curveIdWidget->setParent(nullptr);
        }
        m_curveIdWidget = plot->m_curveIdPanel;
        m_curveIdDock->setWidget(m_curveIdWidget);
        m_curveIdWidget->show();
    }
}

void KROGui::on_plotterCleared(Plotter*)
{
    if (m_snapToBtn->isChecked())
        m_snapToBtn->setChecked(false);
}

void KROGui::on_adevstarted(const Plotter* const plot)
{
    if (plot && plot == activePlotter())
        setToolVisible(m_abortBtn, true);
}

void KROGui::on_adevstopped(const Plotter* const plot)
{
    if (plot && plot == activePlotter())
        setToolVisible(m_abortBtn, false);
}

void KROGui::on_abortAdev()
{
    Plotter* plot = activePlotter();
    if (!plot)
        return;
    for (AdevThread* t : plot->m_adevThreads)
        if (t)
            t->cancel();
    Q_EMIT plot->adevstopped(plot);
}

void KROGui::on_showZoomBtns(ZOOM state)
{
    const bool any = (state & (ZOOM_IN | ZOOM_OUT)) != 0;
    setToolVisible(m_zoomInBtn, any);
    setToolVisible(m_zoomOutBtn, any);
    m_zoomInBtn->setEnabled(state & ZOOM_IN);
    m_zoomOutBtn->setEnabled(state & ZOOM_OUT);
}

void KROGui::on_enableDateTimeAxisBtn(bool on)
{
    if (CategoryButton* mjd = m_btnGroups.button(MJD_DATETIME, 5))
        mjd->setVisible(on);
}

void KROGui::exclusiveBtnToggle()
{
    QObject* source = sender();
    for (CategoryButton* b : {m_cropBtn, m_eraserBtn, m_dataSelBtn, m_panBtn})
        if (b != source && b->isChecked())
            b->setChecked(false);  // reports its toggle, so the plots leave that mode
}

void KROGui::exclusiveBtnToggle(BTNGRPCAT group, bool on)
{
    if (group == NO_GROUP)
        exclusiveBtnToggle();
    else if (group == POINTER_MODE)
        setToolVisible(m_snapToBtn, on);
}

void KROGui::on_enabledebug(bool on)
{
    if (on) {
        m_consoleTabs->showTabBar(true);
        if (!m_debugPageAdded) {
            m_consoleTabs->addTab(m_debugConsole, tr("Debug Log"));
            m_debugPageAdded = true;
        }
        m_debugConsole->show();
    } else {
        if (m_debugPageAdded) {
            m_consoleTabs->removeTab(m_consoleTabs->indexOf(m_debugConsole));
            m_consoleTabs->showTabBar(false);
            m_debugPageAdded = false;
        }
        m_debugConsole->hide();
    }
}

void KROGui::on_viewmenu()
{
    m_viewMenu->clear();
    auto addToggle = [&](QWidget* w, const QString& label) {
        QAction* a = m_viewMenu->addAction(label);
        a->setCheckable(true);
        a->setChecked(!w->isHidden());
        connect(a, &QAction::triggered, w, [w](bool on) { w->setVisible(on); });
        return a;
    };
    addToggle(m_toolbar, tr("Toolbar"));
    m_viewMenu->addSeparator();
    for (QDockWidget* dock : {m_toolsetsDock, m_dirBrowserDock, m_commandDock, m_curveIdDock}) {
        QAction* a = addToggle(dock, dock->windowTitle());
        // A panel whose content is not part of the program yet stays closed.
        a->setEnabled(dock->widget() != nullptr);
        // The browser hides itself on Escape inside its dock; showing the
        // dock shows it again.
        if (dock == m_dirBrowserDock && m_dirBrowser) {
            DirBrowser* browser = m_dirBrowser;
            a->setChecked(!dock->isHidden() && !browser->isHidden());
            connect(a, &QAction::triggered, browser, [browser](bool on) {
                if (on)
                    browser->show();
            });
        }
    }
    m_viewMenu->addSeparator();
    addToggle(statusBar(), tr("Status bar"));

    bool anyRecorded = false, anyShown = false;
    for (const auto& [w, shown] : m_dockVisibility) {
        anyRecorded = anyRecorded || shown == 1;
        anyShown = anyShown || !w->isHidden();
    }
    if (anyRecorded) {
        m_viewMenu->addSeparator();
        if (anyShown)
            m_viewMenu->addAction(tr("Hide all panels"), this, &KROGui::hideAllDockables);
        else
            m_viewMenu->addAction(tr("Restore panels"), this, &KROGui::unhideDockables);
    }
}

void KROGui::showSaveDataPage()
{
    m_centralStack->setCurrentIndex(2);
    const Plotter* plot = activePlotter();
    m_saveData->setCurves(plot ? lineColorById(plot->curves()) : std::map<int, Rgb>{});
}

void KROGui::on_saveClose(bool save)
{
    setGroupButton(PAGE_TOGGLE, 0, false);
    m_centralStack->setCurrentIndex(0);
    QCoreApplication::processEvents();
    if (!save)
        return;
    if (Plotter* plot = activePlotter()) {
        try {
            plot->writeCurveFiles(m_saveData->styleFlags(), m_saveData->fileNames(), m_saveData->headerText());
        } catch (const std::exception& e) {
            say(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
        }
    }
}
