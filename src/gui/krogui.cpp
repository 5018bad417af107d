// Construction of the main window, its keys, the about box and destruction.
#include "gui/krogui.h"

#include "base/dirbrowser.h"
#include "command/commandedit.h"
#include "core/mjd.h"
#include "core/settings.h"
#include "platform/embeddedimages.h"
#include "gui/kroguicalls.h"
#include "gui/quickstartguide.h"
#include "gui/toolboxcategories.h"
#include "gui/startup.h"
#include "import/regexbuilder.h"
#include "miscio/miscio.h"
#include "miscio/webfetch.h"
#include "platform/prompter.h"
#include "plot/actionlabel.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"
#include "tabs/plotterctrl.h"
#include "tabs/plotterquad.h"
#include "tabs/progressbar.h"
#include "tabs/savegui.h"
#include "platform/tabwidgetex.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolBox>

#include <iostream>

KROGui::KROGui(const QStringList& arguments, QWidget* parent) : QMainWindow(parent)
{
    // The first command: relative time stamps, parsed options, working folder.
    QStringList args = arguments;
    kro::expandNowArguments(args, currentMjdHighRes());
    kro::StartupCommand start = kro::buildStartupCommand(args);
    m_startOptions = start.options;
    m_workingDir = start.workingDir;
    if (start.submits())
        m_startupCommand = start.text;
    else
        m_startupError = start.error;

    std::cout << "\nkrogui";
    m_version = getVersion();
    m_buildDate = getBuildDate();
    setObjectName(QStringLiteral("KROGui"));
    setWindowTitle(tr("KRO - %1").arg(m_version));
    setWindowIcon(embeddedIcon(QStringLiteral("kro.png")));
    QApplication::setFont(QFont(QStringLiteral("Times"), 12));
    writeBoolSetting(QStringLiteral("doduvurede"), true);

    buildStatusBar();
    buildToolbar();
    buildDocks();
    buildCentralStack();
    connectPlotTabs();
    buildInstrumentPanel();
    connectConsole();
    buildMenus();

    connect(&m_btnGroups, &MutexBtnGroupHandler::btnToggled, this,
            qOverload<BTNGRPCAT, bool>(&KROGui::exclusiveBtnToggle));
    statusBarMessage(0, tr("Welcome to KRO!"), 8);

    setCurrentPath(m_workingDir);
    setVerboseFlag(m_startOptions.verbose);
    restoreLayout(m_startOptions.width, m_startOptions.height);
    if (m_startOptions.compact)
        hideAllDockables();

    if (readSettingBool(QStringLiteral("quickstart"), true)) {
        m_quickStart = new QuickStartGuide(this);
        m_quickStart->show();
    }

    if (!m_startupError.isEmpty())
        say(tr("Start-up arguments ignored: %1").arg(m_startupError));
    if (!m_startupCommand.isEmpty())
        m_console->command(m_startupCommand, true);
}

KROGui::~KROGui()
{
    // The instrument panel and the web-fetch window close their links
    // before the plot tabs go; the web-fetch window writes its history.
    m_miscio.reset();
    m_webFetch.reset();
    // Loads end before the window's parts go: a loader posts its progress to
    // the status bar's progress bar, which may be deleted before the tabs.
    if (m_plotterCtrl)
        m_plotterCtrl->stopLoaders();
    if (!m_startOptions.compact)
        writeLayout();
    delete m_quickStart.data();
    // The script editor asks about unsaved scripts while the window still stands.
    delete m_scriptEditor.data();
    // The curve identifier panel belongs to its plot; give it back before
    // the dock goes.
    if (m_curveIdWidget && m_curveIdDock && m_curveIdDock->widget() == m_curveIdWidget) {
        m_curveIdDock->setWidget(nullptr);
        m_curveIdWidget->setParent(nullptr);
    }
    delete m_regexTool;
}

// ------------------------------------------------------------ construction

void KROGui::buildStatusBar()
{
    m_progressBar = new ProgressBar(this);
    m_msgTimer = new QTimer(this);
    m_rightTimer = new QTimer(this);
    m_msgLabel = new QLabel(this);
    m_rightLabel = new QLabel(this);
    m_msgLabel->setFixedWidth(200);
    statusBar()->addWidget(m_msgLabel, 1);
    statusBar()->addWidget(m_progressBar, 2);
    statusBar()->addPermanentWidget(m_rightLabel, 0);
    m_progressBar->hide();
    m_dockVisibility[statusBar()] = 2;
}

void KROGui::buildToolbar()
{
    m_toolbar = addToolBar(tr("Plotter Tools"));
    m_toolbar->setObjectName(QStringLiteral("Plotter Tools"));
    m_toolbar->setMovable(true);
    m_toolbar->setIconSize(QSize(22, 22));
    auto add = [&](const QString& tip, const char* icon, bool toggle) {
        auto* b = new CategoryButton(m_toolbar, 5);
        b->setToolTip(tip);
        b->setIcon(embeddedIcon(QString::fromLatin1(icon)));
        b->setAutoRaise(true);
        b->setCheckable(toggle);
        b->setObjectName(QString::fromLatin1(icon).section(QLatin1Char('.'), 0, 0));
        m_toolActions[b] = m_toolbar->addWidget(b);
        return b;
    };

    m_cacheBtn = add(tr("This button allows you to cache the current data set,\nor retrieve the previous cache. KRO "
                        "automatically caches\nthe first data set(s) plotted on cleared plotters, and\nnew sets which "
                        "completely replace existing sets."),
                     "cache.png", false);
    connect(m_cacheBtn, &QToolButton::clicked, this, &KROGui::cacheReq);
    auto* stats = add(tr("Show data statistics. If multiple data sets exist,\nsuccessive clicks of this button cycles "
                         "through each plot."),
                      "stats.png", false);
    connect(stats, &QToolButton::clicked, this, &KROGui::on_stats);
    m_trimBtn = add(tr("Trim data outliers. If multiple data sets exist, the data sets may\nbe operated on "
                       "independently or treated as a concatenated set."),
                    "2sigma.png", false);
    connect(m_trimBtn, &QToolButton::clicked, this, &KROGui::trimReq);
    m_toolbar->addSeparator();

    m_syncBtn = add(tr("This button toggles sync mode.\nEnable sync mode when you want your actions to affect all\nof "
                       "the plotters on the current tab. When there is only one\nplotter, this mode does "
                       "nothing.\nNote: some actions (such as setting labels) are excluded."),
                    "sync_off.png", false);
    connect(m_syncBtn, &QToolButton::pressed, this, &KROGui::on_syncmode);
    m_cropBtn = add(tr("This button toggles the crop mode on/off enabling you\nto discard data outside the "
                       "rubberband. It may be useful\nto set the cache prior to using this function."),
                    "crop.png", true);
    m_eraserBtn = add(tr("This button toggles the erase mode on/off enabling you\nto discard data inside the "
                         "rubberband. It may be useful\nto set the cache prior to using this function."),
                      "eraser.png", true);
    m_dataSelBtn = add(tr("This button allows you to move a selection of data\nto its own curve."), "datasel.png", true);
    m_panBtn = add(tr("This button toggles pan mode on/off.\nWhen enabled, use the mouse to \"grab\"\nthe plot to "
                      "scroll through your data."),
                   "pan_grab.png", true);
    for (CategoryButton* b : {m_cropBtn, m_eraserBtn, m_dataSelBtn, m_panBtn})
        connect(b, &QToolButton::pressed, this, qOverload<>(&KROGui::exclusiveBtnToggle));
    connect(m_cropBtn, &QToolButton::toggled, this, &KROGui::on_setCrop);
    connect(m_eraserBtn, &QToolButton::toggled, this, &KROGui::on_setEraser);
    connect(m_dataSelBtn, &QToolButton::toggled, this, &KROGui::on_setDataSel);
    connect(m_panBtn, &QToolButton::toggled, this, &KROGui::on_setPan);
    m_toolbar->addSeparator();

    m_undoBtn = add(tr("Click this button to undo the last executed data operation.\nFor example, this will undo "
                       "smoothing, fit removals, etc, but\nnot marker placements, label changes, etc."),
                    "undo.png", false);
    m_undoBtn->setEnabled(false);
    connect(m_undoBtn, &QToolButton::clicked, this, &KROGui::on_undo);
    m_snapToBtn = add(tr("This button allows you enable the Snap-to mouse pointers.\nIf more than one curve is "
                         "plotted, a list is presented to\nchoose the focus curve."),
                      "snapto.png", true);
    connect(m_snapToBtn, &QToolButton::toggled, this, &KROGui::on_snapTo);
    m_toolbar->addSeparator();

    auto* rescale = add(tr("Re-zooms the plot to full scale,\nor to the fixed domain/range settings."), "rescale.png",
                        false);
    connect(rescale, &QToolButton::clicked, this, &KROGui::on_autoScale);
    m_zoomInBtn = add(tr("Click and draw a rubberband to zoom in"), "zoomin.png", false);
    connect(m_zoomInBtn, &QToolButton::clicked, this, &KROGui::zoomInClicked);
    m_zoomOutBtn = add(tr("Click to zoom out to the previous zoom settings"), "zoomout.png", false);
    connect(m_zoomOutBtn, &QToolButton::clicked, this, &KROGui::zoomOutClicked);
    m_abortBtn = add(tr("Abort Allan Deviation computation"), "kill.png", false);
    connect(m_abortBtn, &QToolButton::clicked, this, &KROGui::on_abortAdev);

    // Buttons hidden until the plots ask for them. A button inside a tool
    // bar is shown and hidden through its action.
    for (CategoryButton* b : {m_snapToBtn, m_zoomInBtn, m_zoomOutBtn, m_abortBtn})
        setToolVisible(b, false);
    m_dockVisibility[m_toolbar] = 2;
}

void KROGui::buildDocks()
{
    auto makeDock = [&](const QString& caption, Qt::DockWidgetAreas allowed) {
        auto* dock = new QDockWidget(caption, this);
        dock->setObjectName(caption);
        dock->setAllowedAreas(allowed);
        dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                          QDockWidget::DockWidgetFloatable);
        m_dockVisibility[dock] = 2;
        return dock;
    };

    // Toolsets: one toolbox page per category.
    m_toolsetsDock = makeDock(tr("Toolsets"), Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    // The toolbox scrolls as a whole when the dock is shorter than its page
    // titles, so it never holds the window's height up.
    auto* toolboxArea = new QScrollArea(m_toolsetsDock);
    toolboxArea->setFrameShape(QFrame::NoFrame);
    toolboxArea->setWidgetResizable(true);
    toolboxArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_toolbox = new QToolBox(toolboxArea);
    toolboxArea->setWidget(m_toolbox);
    m_toolsetsDock->setWidget(toolboxArea);
    addDockWidget(Qt::RightDockWidgetArea, m_toolsetsDock);
    buildToolboxPages();

    // Directory Browser: the browser in the working directory, detail view,
    // several files selectable; what the user opens there comes here.
    m_dirBrowserDock = makeDock(tr("Directory Browser"), Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    m_dirBrowser = new DirBrowser(m_workingDir);
    m_dirBrowser->setMode(DirBrowser::ExistingFiles);
    m_dirBrowser->setModal(false);
    m_dirBrowser->setSizeGripEnabled(false);
    m_dirBrowser->setViewMode(DirBrowser::Detail);
    m_dirBrowser->reparent(m_dirBrowserDock, Qt::Widget, QPoint(), false);
    m_dirBrowser->installEventFilter(this);
    connect(m_dirBrowser, &DirBrowser::fileSelected, this, &KROGui::on_fileSelected);
    connect(m_dirBrowser, &DirBrowser::dirEntered, this, &KROGui::setCurrentPath);
    connect(m_dirBrowser, &DirBrowser::fileEditRequest, this, &KROGui::on_kroscriptEdit);
    connect(m_dirBrowser, &DirBrowser::fileViewRequest, this, &KROGui::on_datafileView);
    m_dirBrowserDock->setWidget(m_dirBrowser);
    addDockWidget(Qt::LeftDockWidgetArea, m_dirBrowserDock);

    // Command Window: the console and, in debug mode, the debug log.
    m_commandDock = makeDock(tr("Command Window"),
                             Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    m_consoleTabs = new TabWidgetEx(m_commandDock, 0);
    m_consoleTabs->setTabPosition(QTabWidget::South);
    const QString dashes = QStringLiteral("-----------------------------\n");
    m_console = new CommandEdit(QStringLiteral("Command Window\n") + dashes, m_consoleTabs);
    m_console->setConsoleKind(CommandEdit::CommandConsole);
    m_debugConsole = new CommandEdit(tr("Debug Window\n%1").arg(dashes), m_consoleTabs);
    m_debugConsole->setConsoleKind(CommandEdit::DebugConsole);
    m_debugConsole->hide();
    m_consoleTabs->addTab(m_console, tr("Command"));
    m_consoleTabs->showTabBar(false);
    m_commandDock->setWidget(m_consoleTabs);
    addDockWidget(Qt::BottomDockWidgetArea, m_commandDock);
    m_console->installEventFilter(this);
    m_debugConsole->installEventFilter(this);

    // Curve Identifier: floating and closed; it shows the current plot's panel.
    m_curveIdDock = makeDock(tr("Curve Identifier"), Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
    addDockWidget(Qt::BottomDockWidgetArea, m_curveIdDock);
    m_curveIdDock->setFloating(true);
    m_curveIdDock->hide();
}

void KROGui::buildCentralStack()
{
    m_centralStack = new QStackedWidget(this);
    m_plotterCtrl = new PlotterCtrl(this, m_progressBar, m_undoBtn);
    // Page 1 the default-settings page, page 2 the save-data page.
    m_settingsPage = new KROSettingsGUI(m_centralStack, this);
    connect(m_settingsPage, &KROSettingsGUI::saved, this, &KROGui::on_optionSaved);
    m_saveData = new SaveGUI(m_centralStack);
    connect(m_saveData, &SaveGUI::closeClicked, this, qOverload<bool>(&KROGui::on_saveClose));
    m_centralStack->addWidget(m_plotterCtrl);
    m_centralStack->addWidget(m_settingsPage);
    m_centralStack->addWidget(m_saveData);
    m_centralStack->setCurrentIndex(0);
    setCentralWidget(m_centralStack);
}

void KROGui::connectPlotTabs()
{
    PlotterCtrl* c = m_plotterCtrl;
    connect(this, &KROGui::zoomInClicked, c, &PlotterCtrl::on_zoomInClicked);
    connect(this, &KROGui::zoomOutClicked, c, &PlotterCtrl::on_zoomOutClicked);
    connect(c, &PlotterCtrl::adevstarted, this, &KROGui::on_adevstarted);
    connect(c, &PlotterCtrl::adevstopped, this, &KROGui::on_adevstopped);
    connect(c, &PlotterCtrl::command, m_console, [this](const QString& text) { m_console->command(text, true); });
    connect(c, &PlotterCtrl::debugmsg, m_debugConsole, &CommandEdit::transcript);
    connect(c, &PlotterCtrl::exit, this, &QWidget::close);
    connect(c, &PlotterCtrl::kroscript, this, qOverload<const QString&>(&KROGui::on_kroscript));
    connect(c, &PlotterCtrl::mjdInRange, this, &KROGui::on_enableDateTimeAxisBtn);
    connect(c, &PlotterCtrl::mousePanEvent, this, &KROGui::on_synchronizePan);
    connect(c, &PlotterCtrl::plotterCleared, this, &KROGui::on_plotterCleared);
    connect(c, &PlotterCtrl::plotterRateUpdate, this, &KROGui::on_plotterRateUpdate);
    connect(c, &PlotterCtrl::plotterShown, this, &KROGui::on_plotterShown);
    connect(c, &PlotterCtrl::screenShotReq, this, &KROGui::on_screenShot);
    connect(c, &PlotterCtrl::transcript, m_console, &CommandEdit::transcript);
    connect(c, &PlotterCtrl::verbose, this, &KROGui::verbose);
    connect(c, &PlotterCtrl::zoomBtnState, this, &KROGui::on_showZoomBtns);
}

void KROGui::connectConsole()
{
    CommandEdit* e = m_console;
    PlotterCtrl* c = m_plotterCtrl;
    connect(e, &CommandEdit::cache, this, &KROGui::on_cacheReq);
    connect(e, &CommandEdit::cd, this, [this](const QString& p) { setCurrentPath(p); });
    connect(e, &CommandEdit::clearplot, this, &KROGui::on_clear);
    connect(e, &CommandEdit::debug, this, &KROGui::on_enabledebug);
    connect(e, &CommandEdit::exit, this, &QWidget::close);
    connect(e, &CommandEdit::pwd, this, &KROGui::on_showDir);
    connect(e, &CommandEdit::scriptItem, this, &KROGui::on_enqueueScriptItem);
    connect(e, &CommandEdit::scriptReady, this, qOverload<>(&KROGui::on_kroscript));
    connect(e, &CommandEdit::closeall, c, &PlotterCtrl::on_closeAll);
    connect(e, &CommandEdit::closetab, c, qOverload<const QString&>(&PlotterCtrl::on_closeTab));
    connect(e, &CommandEdit::kroplot, c, &PlotterCtrl::on_kroplot);
    connect(e, &CommandEdit::newtab, c, &PlotterCtrl::on_newTab);
    connect(e, &CommandEdit::tablabel, c, &PlotterCtrl::on_setTabLabel);
    connect(e, &CommandEdit::usingtab, c, &PlotterCtrl::on_usingTab);
    connect(e, &CommandEdit::copycurves, c, &PlotterCtrl::on_copycommand);
    connect(e, &CommandEdit::movecurves, c, &PlotterCtrl::on_movecommand);

    // Every other command X goes to the slot on_X.
    connect(e, &CommandEdit::addhmarker, this, &KROGui::on_addhmarker);
    connect(e, &CommandEdit::adddmarker, this, &KROGui::on_adddmarker);
    connect(e, &CommandEdit::addmult, this, &KROGui::on_addmult);
    connect(e, &CommandEdit::addvmarker, this, &KROGui::on_addvmarker);
    connect(e, &CommandEdit::bar, this, &KROGui::on_bar);
    connect(e, &CommandEdit::barfloor, this, &KROGui::on_barfloor);
    connect(e, &CommandEdit::cmdExecuted, this, &KROGui::on_cmdExecuted);
    connect(e, &CommandEdit::crop, this, &KROGui::on_crop);
    connect(e, &CommandEdit::csum, this, &KROGui::on_csum);
    connect(e, &CommandEdit::differentiate, this, &KROGui::on_differentiate);
    connect(e, &CommandEdit::exec, this, &KROGui::on_exec);
    connect(e, &CommandEdit::expr, this, &KROGui::on_expr);
    connect(e, &CommandEdit::kroscript, this, qOverload<const QString&>(&KROGui::on_kroscript));
    connect(e, &CommandEdit::footnote, this, &KROGui::on_footnote);
    connect(e, &CommandEdit::function, this, &KROGui::on_function);
    connect(e, &CommandEdit::gran, this, &KROGui::on_gran);
    connect(e, &CommandEdit::grid, this, &KROGui::on_grid);
    connect(e, &CommandEdit::layout, this, &KROGui::on_layout);
    connect(e, &CommandEdit::legend, this, &KROGui::on_legend);
    connect(e, &CommandEdit::legendpos, this, &KROGui::on_legendpos);
    connect(e, &CommandEdit::lines, this, &KROGui::on_lines);
    connect(e, &CommandEdit::linewidth, this, &KROGui::on_linewidth);
    connect(e, &CommandEdit::link, this, &KROGui::on_link);
    connect(e, &CommandEdit::loaddevices, this, &KROGui::on_loaddevices);
    connect(e, &CommandEdit::ls, this, &KROGui::on_ls);
    connect(e, &CommandEdit::mean, this, &KROGui::on_mean);
    connect(e, &CommandEdit::meanaggr, this, &KROGui::on_meanaggr);
    connect(e, &CommandEdit::ndiff, this, &KROGui::on_ndiff);
    connect(e, &CommandEdit::norm, this, &KROGui::on_norm);
    connect(e, &CommandEdit::pntrad, this, &KROGui::on_pntrad);
    connect(e, &CommandEdit::pnts, this, &KROGui::on_pnts);
    connect(e, &CommandEdit::poly, this, &KROGui::on_poly);
    connect(e, &CommandEdit::removeCurves, this, &KROGui::on_removeCurves);
    connect(e, &CommandEdit::removeMarkers, this, &KROGui::on_removeMarkers);
    connect(e, &CommandEdit::rescale, this, &KROGui::on_rescale);
    connect(e, &CommandEdit::rotl, this, &KROGui::on_rotl);
    connect(e, &CommandEdit::rotr, this, &KROGui::on_rotr);
    connect(e, &CommandEdit::smooth, this, &KROGui::on_smooth);
    connect(e, &CommandEdit::sort, this, &KROGui::on_sort);
    connect(e, &CommandEdit::span, this, &KROGui::on_span);
    connect(e, &CommandEdit::stats, this, &KROGui::on_stats);
    connect(e, &CommandEdit::title, this, &KROGui::on_title);
    connect(e, &CommandEdit::undo, this, &KROGui::on_undo);
    connect(e, &CommandEdit::unwrap, this, &KROGui::on_unwrap);
    connect(e, &CommandEdit::verbosestate, this, &KROGui::on_verbosestate);
    connect(e, &CommandEdit::xlabel, this, &KROGui::on_xlabel);
    connect(e, &CommandEdit::ylabel, this, &KROGui::on_ylabel);
}

void KROGui::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* workspace = file->addAction(tr("Workspace &Directory"), this, &KROGui::setWorkspacePath);
    workspace->setShortcut(QKeySequence(tr("Ctrl+D")));
    QAction* exit = file->addAction(tr("&Exit"), this, &QWidget::close);
    exit->setShortcut(QKeySequence(tr("Ctrl+Q")));

    m_viewMenu = menuBar()->addMenu(tr("View"));
    connect(m_viewMenu, &QMenu::aboutToShow, this, &KROGui::on_viewmenu);

    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    tools->addAction(tr("KroScript Editor"), this, &KROGui::on_showKRSEditor);
    tools->addAction(tr("Device Interface"), this, &KROGui::on_showmiscio);
    tools->addAction(tr("Web Interface"), this, &KROGui::on_showwget);
    tools->addAction(tr("Regex Testing"), this, &KROGui::on_regextest);

    QMenu* info = menuBar()->addMenu(tr("&Info"));
    info->addAction(tr("About"), this, &KROGui::about);
}

// ------------------------------------------------------------ keys

bool KROGui::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_F1) {
        toggleFullScreenPanels();
        return true;
    }
    if (key == Qt::Key_F2) {
        callTargets("cycleCurveColors()");
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void KROGui::toggleFullScreenPanels()
{
    if (isFullScreen()) {
        unhideDockables();
        showNormal();
    } else {
        hideAllDockables();
        showFullScreen();
    }
}

void KROGui::keyPressEvent(QKeyEvent* event)
{
    // In full screen the consoles are hidden with the other panels: F1
    // reaches the window from the widget that has the focus then (the plot),
    // and the second F1 still restores the panels.
    if (event->key() == Qt::Key_F1 && isFullScreen()) {
        toggleFullScreenPanels();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void KROGui::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        // The layout as the user leaves it: quitting closes the floating
        // docks too before the window goes.
        recordLayout();
        Q_EMIT closed();
    }
}

// ------------------------------------------------------------ about and options

void KROGui::about()
{
    kro::prompter().information(this, tr("KRO Contact Information"),
                                tr("<h2>%1 (64-bit)</h2>"
                                   "<p>KRO, a program for plotting and analysing data series.<br>"
                                   "Questions and problem reports: the KRO issue tracker.</p>"
                                   "<p><small><i>%2</i></small></p>")
                                    .arg(m_version.toHtmlEscaped(), m_buildDate.trimmed().toHtmlEscaped()));
}

Plotter* KROGui::activePlotter() const { return m_plotterCtrl ? m_plotterCtrl->currentPlotter() : nullptr; }

std::vector<Plotter*> KROGui::targetPlotters() const
{
    std::vector<Plotter*> plots;
    if (m_syncMode) {
        if (PlotterQuad* quad = m_plotterCtrl->currentQuad())
            for (Plotter* p : quad->m_plotters)
                if (p)
                    plots.push_back(p);
    }
    if (plots.empty())
        if (Plotter* p = activePlotter())
            plots.push_back(p);
    return plots;
}

void KROGui::applyToPlotters(const std::function<void(Plotter*)>& f) const
{
    for (Plotter* p : targetPlotters())
        f(p);
}

PlotOptions KROGui::currentPlotOptions() const
{
    PlotOptions o;
    loadPlotOptions(o);
    o.workspacepath = QDir::currentPath();
    o.height = height();
    o.width = width();
    if (Plotter* p = activePlotter()) {
        if (p->m_title) {
            o.title = p->m_title->text();
            o.titlefontsize = p->m_title->font().pointSize();
        }
        if (p->m_xLabel) {
            o.xlbl = p->m_xLabel->text();
            o.xaxisfontsize = p->m_xLabel->font().pointSize();
        }
        if (p->m_yLabel) {
            o.ylbl = p->m_yLabel->text();
            o.yaxisfontsize = p->m_yLabel->font().pointSize();
        }
        o.tickfontsize = p->m_tickFont.pointSize();
        o.barfloor = p->m_barFloor;
        o.linewidth = p->m_lineWidth;
        o.noline = !p->allLinesShown();
        o.pnts = !p->m_curves.empty() && p->allPointsShown();
        o.pntrad = p->m_pointDiameter / 2;
        o.pers = p->m_fillPlotArea;
        // The plot's word for its legend position; a floating legend has none.
        const QString position = p->setLegendPosition(QString(), GET);
        o.legendpos = position.isEmpty() ? QString() : position;
    }
    o.verbose = kro::isVerbose();
    return o;
}

void KROGui::setVerboseFlag(bool on)
{
    kro::setVerbose(on);
    setGroupButton(VERBOSE_MODE, 5, on);
}

std::vector<int> KROGui::toIdVector(const IdArray& ids) { return ids.ids(); }

bool KROGui::writeStringSetting(const QString& key, const QString& text) { return writeSetting(key, text); }

bool KROGui::writeBoolSetting(const QString& key, bool flag) { return writeSetting(key, QVariant(flag)); }

void KROGui::say(const QString& text) { m_console->transcript(text); }
