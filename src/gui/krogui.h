#pragma once
// KROGui: the program's main window. It builds the toolbar "Plotter Tools",
// the docks "Toolsets", "Directory Browser", "Command Window" and "Curve
// Identifier", the central pages (plot tabs, default settings, save data),
// the menus and the status bar, connects the command console to the plots,
// runs the script queue, and captures, exports and prints plot pages.
//
// The class is split across files by concern:
//   krogui.cpp          construction, keys, about box, destruction
//   krogui_layout.cpp   window geometry, the dock layout file, panel visibility
//   krogui_script.cpp   the script queue and script calls
//   krogui_commands.cpp command slots on curve data and markers, sync mode
//   krogui_status.cpp   message sink, status bar, window state for a plot
//   krogui_capture.cpp  image capture, export and printing
//   krogui_files.cpp    working directory, listing, programs, chosen files
//   krogui_view.cpp     view and appearance command slots
//   krogui_instruments.cpp the instrument panel and its commands
//   krogui_toolbox.cpp  the toolbox pages, their dispatch and the settings page
#include "command/krseditor.h"
#include "command/optstates.h"
#include "core/idarray.h"
#include "core/messages.h"
#include "core/plotoptions.h"
#include "gui/categorybutton.h"
#include "gui/krosettingsgui.h"
#include "gui/quickstartguide.h"
#include "gui/scriptfile.h"
#include "plot/plottypes.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CategoryInterface;
class CommandEdit;
class DirBrowser;
class Plotter;
class SaveGUI;
class PlotterCtrl;
class PlotterQuad;
class ProgressBar;
class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QPainter;
class QPrinter;
class QStackedWidget;
class QTimer;
class QToolBar;
class QToolBox;
class RegexBuilder;
class TabWidgetEx;

class MiscIO;
class WebFetch;

class KROGui : public QMainWindow {
    Q_OBJECT

public:
    // arguments: the process's arguments, the program path first. When they
    // parse as a plot command or name a script, the constructor's last act
    // submits them to the command console.
    explicit KROGui(const QStringList& arguments, QWidget* parent = nullptr);
    ~KROGui() override;

    // --- parts of the window ---
    CommandEdit* console() const { return m_console; }
    CommandEdit* debugConsole() const { return m_debugConsole; }
    PlotterCtrl* plotterCtrl() const { return m_plotterCtrl; }
    QToolBar* toolbar() const { return m_toolbar; }
    QToolBox* toolbox() const { return m_toolbox; }
    QStackedWidget* centralStack() const { return m_centralStack; }
    KROSettingsGUI* settingsPage() const { return m_settingsPage; }
    // The toolbox categories in page order.
    const std::vector<std::unique_ptr<CategoryInterface>>& categories() const { return m_categories; }
    // The quick-start guide shown at start-up (null when it was not shown).
    QuickStartGuide* quickStartGuide() const { return m_quickStart; }
    // The script editor (null until it is first opened).
    KRSEditor* scriptEditor() const { return m_scriptEditor; }
    QLabel* messageLabel() const { return m_msgLabel; }
    QLabel* rightLabel() const { return m_rightLabel; }
    QMenu* viewMenu() const { return m_viewMenu; }
    TabWidgetEx* consoleTabs() const { return m_consoleTabs; }
    MutexBtnGroupHandler& buttonGroups() { return m_btnGroups; }
    QDockWidget* toolsetsDock() const { return m_toolsetsDock; }
    QDockWidget* dirBrowserDock() const { return m_dirBrowserDock; }
    // The directory browser in the "Directory Browser" dock; it follows the
    // working directory and reports the files the user opens.
    DirBrowser* dirBrowser() const { return m_dirBrowser; }
    QDockWidget* commandDock() const { return m_commandDock; }
    QDockWidget* curveIdDock() const { return m_curveIdDock; }
    CategoryButton* syncButton() const { return m_syncBtn; }
    CategoryButton* undoButton() const { return m_undoBtn; }
    CategoryButton* cacheButton() const { return m_cacheBtn; }
    CategoryButton* trimButton() const { return m_trimBtn; }
    CategoryButton* cropButton() const { return m_cropBtn; }
    CategoryButton* eraserButton() const { return m_eraserBtn; }
    CategoryButton* dataSelButton() const { return m_dataSelBtn; }
    CategoryButton* panButton() const { return m_panBtn; }
    CategoryButton* snapToButton() const { return m_snapToBtn; }
    CategoryButton* zoomInButton() const { return m_zoomInBtn; }
    CategoryButton* zoomOutButton() const { return m_zoomOutBtn; }
    CategoryButton* abortButton() const { return m_abortBtn; }
    // The instrument panel: made hidden with the window, shown from the
    // Tools menu, reached by the "link" and "loaddevices" commands.
    MiscIO* instrumentPanel() const { return m_miscio.get(); }
    // The web-fetch window: made on the first "Web Interface", null before.
    WebFetch* webFetch() const { return m_webFetch.get(); }

    // --- state ---
    const PlotOptions& startOptions() const { return m_startOptions; }
    const QString& startupCommand() const { return m_startupCommand; }
    // Why the start-up arguments were not submitted (empty when they were,
    // or when there were none).
    const QString& startupError() const { return m_startupError; }
    const ScriptQueue& scriptQueue() const { return m_scriptQueue; }
    bool syncMode() const { return m_syncMode; }
    const std::map<QWidget*, int>& dockVisibility() const { return m_dockVisibility; }

    // The active plot of the current tab.
    Plotter* activePlotter() const;
    // Raises the save-data page, filled from the current plot's curves.
    void showSaveDataPage();
    SaveGUI* saveDataPage() const { return m_saveData; }
    // The current tab's plots in sync mode (quadrant order), else the active plot.
    std::vector<Plotter*> targetPlotters() const;
    // Calls f on each target plot: every plot of the tab in sync mode.
    void applyToPlotters(const std::function<void(Plotter*)>& f) const;

    // The options the default-settings page shows as current values.
    PlotOptions currentPlotOptions() const;
    // Sets the process-wide verbose flag and the toolbox's Verbose Mode button.
    void setVerboseFlag(bool on);
    // The curve indices of a selection (empty for none).
    static std::vector<int> toIdVector(const IdArray& ids);
    // The trim pop-up: four items (ids 1-4) for one curve, else the
    // sub-menus "Independent sets..." (ids 1-4) and "Concatenated set..." (5-8).
    static void fillTrimMenu(QMenu& menu, int curveCount);

    // --- layout (krogui_layout.cpp) ---
    // "<apppath>docksettings.ini".
    static QString dockFilePath();
    void restoreLayout(int width, int height);
    void rememberDockVisibility();
    // F1: panels hidden and full screen, or both undone.
    void toggleFullScreenPanels();
    // Writes the window and dock arrangement to the layout file.
    bool writeLayout() const;
    // Keeps the dock arrangement of the moment for writeLayout.
    void recordLayout();

    // --- capture and print (krogui_capture.cpp) ---
    // The current page's plots as they appear, without the active-plot
    // indicator; with whiteBorder the area around each plot is white.
    QPixmap grabPlotPixmap(bool whiteBorder);
    // "<imgpath>/<time stamp>_kroCapture.<type>"; an existing name gets
    // "_1", "_2", ... Sets error (and returns nothing) for a time-stamp
    // format that cannot be used.
    QString captureFileName(const QString& type, QString* error = nullptr) const;
    // Prints the page on a printer that is already set up.
    bool printPlotOn(QPrinter& printer);

    // --- settings ---
    static bool writeStringSetting(const QString& key, const QString& text);
    static bool writeBoolSetting(const QString& key, bool flag);

public Q_SLOTS:
    // Working directory (krogui_files.cpp).
    void setCurrentPath(const QString& path = QString());
    void setWorkspacePath();
    void hideAllDockables();
    void unhideDockables();
    // The message sink (krogui_status.cpp).
    void verbose(ZEVOVE::TYPE type, const QString& text);
    void about();

    // Script queue (krogui_script.cpp): the pump, a script call, one line at
    // the head, and the script editor's run.
    void on_kroscript();
    void on_kroscript(const QString& call);
    void on_enqueueScriptItem(const QString& line);
    void on_krsrun(const QStringList& lastFirst);

    // Curve data and markers (krogui_commands.cpp).
    void on_addhmarker(const QString& values);
    void on_addvmarker(const QString& values);
    void on_adddmarker(int first, int second);
    void on_addmult(const QString& line);
    void on_cacheReq(int request);
    void cacheReq();
    void on_clear();
    void on_crop(std::vector<double> limits, const IdArray& ids);
    void on_csum(const IdArray& ids);
    void on_differentiate(const IdArray& ids);
    void on_expr(const QString& expression);
    void on_function(const QString& name, char axis, bool perCurve, const IdArray& ids);
    void on_mean(const IdArray& ids);
    void on_meanaggr(const IdArray& ids);
    void on_ndiff(int order, const IdArray& ids);
    void on_norm(double lower, double upper, const IdArray& ids);
    void on_poly(int order, const QString& mode, const IdArray& ids);
    void on_removeCurves(const IdArray& ids);
    void on_removeMarkers(const IdArray& ids);
    void on_rotl(int points, const IdArray& ids);
    void on_rotr(int points, const IdArray& ids);
    void on_smooth(int points, const IdArray& ids, bool replace);
    void on_sort(const IdArray& ids);
    void on_stats();
    void on_trimReq(int id);
    void trimReq();
    void on_undo();
    void on_unwrap(double phase, const IdArray& ids);
    void on_syncmode();
    void on_synchronizePan(int dx, int dy, QPoint origin);

    // Status bar and window state (krogui_status.cpp).
    void on_verbosestate(OPTSTATES::QUADSTATE state);
    // loc 1: the right label (0 seconds: back to the periodic refresh);
    // any other: the left label.
    void statusBarMessage(int loc = 1, const QString& text = QString(), int seconds = 0);
    void updateStatusBarRight();
    void on_plotterRateUpdate(double rate);
    void on_cmdExecuted();
    void on_plotterShown(Plotter* plot);
    void on_plotterCleared(Plotter* plot);
    void on_adevstarted(const Plotter* const plot);
    void on_adevstopped(const Plotter* const plot);
    void on_abortAdev();
    void on_showZoomBtns(ZOOM state);
    void on_enableDateTimeAxisBtn(bool on);
    void exclusiveBtnToggle();
    void exclusiveBtnToggle(BTNGRPCAT group, bool on = false);
    void on_enabledebug(bool on);
    void on_viewmenu();
    void on_saveClose(bool save = false);
    // The default-settings page has just written one setting.
    void on_optionSaved(KROSettingsParam param);

    // The toolbox (krogui_toolbox.cpp): a button's slot name, such as
    // "1plotpsd()"; null only runs the page toggles.
    void emitfuntion(const char* slotName);

    // Capture, export and print (krogui_capture.cpp).
    void on_screenShot();
    void printPlot();

    // Files and programs (krogui_files.cpp).
    void on_showDir();
    void on_ls(const QString& path, bool longListing);
    void on_exec(const QString& commandLine);
    void on_datafileView(const QString& path);
    void on_fileSelected(const QString& path);
    void on_showKRSEditor();
    void on_kroscriptEdit(const QString& path);
    // A script was saved: the browser lists it when it shows that folder.
    void on_newScriptSaved(const QString& path);
    void on_regextest();
    void on_showmiscio();
    void on_showwget();
    void on_link(const QString& address, uint port, const QString& label);
    void on_loaddevices(const QString& path);

    // View and appearance (krogui_view.cpp).
    void on_autoScale();
    void on_rescale();
    void on_span(std::pair<double, double> limits, bool xAxis);
    void on_gran(double x, double y, OPTSTATES::DIMENSION_QUERY flags);
    void on_grid(PDESIGN::GRIDLINES lines, bool on);
    void on_bar(OPTSTATES::QUADSTATE state);
    void on_barfloor(double value, bool query);
    void on_linewidth(int width);
    void on_pntrad(int radius);
    void on_lines(const IdArray& ids, OPTSTATES::QUADSTATE state);
    void on_pnts(const IdArray& ids, OPTSTATES::QUADSTATE state);
    void on_layout(const QString& word);
    void on_legend(const std::vector<std::string>& texts);
    void on_legendpos(const QString& position);
    void on_title(const QString& text);
    void on_xlabel(const QString& text);
    void on_ylabel(const QString& text);
    void on_footnote(const QString& text);
    void on_tickfontfamily(const QString& family);
    void on_tickfontsize(int size);
    void on_backgroundimage(const QString& path);
    void on_backgroundimagestyle(int style);
    void on_setCrop(bool on);
    void on_setEraser(bool on);
    void on_setDataSel(bool on);
    void on_setPan(bool on);
    void on_snapTo(bool on);

Q_SIGNALS:
    void zoomInClicked();
    void zoomOutClicked();
    // The window was closed: the program ends.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Docks and the toolbar have no context menu.
    QMenu* createPopupMenu() override { return nullptr; }

private:
    void buildStatusBar();
    void buildToolbar();
    void buildDocks();
    void buildCentralStack();
    void connectPlotTabs();
    void connectConsole();
    void buildMenus();
    void buildInstrumentPanel();
    // One toolbox page of a category: its buttons in a column.
    QWidget* buildToolbox(CategoryInterface* category);
    void buildToolboxPages();
    // Creates the script editor (on a file, or with a new tab) and connects it.
    KRSEditor* makeScriptEditor(const QString& file);

    // Writes a console line.
    void say(const QString& text);
    // Calls a plot operation by its signature, such as "addHMarker(double*,bool)",
    // when the plot offers it; reports that it cannot be done otherwise.
    template <typename... Args>
    bool callPlot(Plotter* plot, const char* signature, Args... args);
    // Calls an operation of the plot tabs by its signature when they offer
    // it; reports that it cannot be done otherwise.
    template <typename... Args>
    bool callPlotTabs(const char* signature, Args... args);
    // The same on every target plot; false when the plots lack the operation.
    template <typename... Args>
    bool callTargets(const char* signature, Args... args);
    // callTargets, then every target plot redraws.
    template <typename... Args>
    bool callTargetsThenPlot(const char* signature, Args... args);
    // Switches the toggle of a group's button with that exclusive index.
    void setGroupButton(BTNGRPCAT group, int exclusiveIndex, bool on);
    void setButtonQuietly(QAbstractButton* button, bool on);
    // Shows or hides a toolbar button (through its toolbar action).
    void setToolVisible(QWidget* button, bool visible);
    // Adds a marker per number of the list on the targets, then redraws.
    void addMarkers(const QString& values, const char* signature);

    // Parts of the window.
    QToolBar* m_toolbar = nullptr;
    QToolBox* m_toolbox = nullptr;
    QMenu* m_viewMenu = nullptr;
    PlotterCtrl* m_plotterCtrl = nullptr;
    QStackedWidget* m_centralStack = nullptr;
    KROSettingsGUI* m_settingsPage = nullptr;
    SaveGUI* m_saveData = nullptr;
    CategoryButton* m_syncBtn = nullptr;
    CategoryButton* m_cacheBtn = nullptr;
    CategoryButton* m_undoBtn = nullptr;
    CategoryButton* m_trimBtn = nullptr;
    CategoryButton* m_cropBtn = nullptr;
    CategoryButton* m_eraserBtn = nullptr;
    CategoryButton* m_dataSelBtn = nullptr;
    CategoryButton* m_panBtn = nullptr;
    CategoryButton* m_snapToBtn = nullptr;
    CategoryButton* m_zoomInBtn = nullptr;
    CategoryButton* m_zoomOutBtn = nullptr;
    CategoryButton* m_abortBtn = nullptr;
    QTimer* m_msgTimer = nullptr;
    QTimer* m_rightTimer = nullptr;
    QLabel* m_msgLabel = nullptr;
    QLabel* m_rightLabel = nullptr;
    TabWidgetEx* m_consoleTabs = nullptr;
    CommandEdit* m_console = nullptr;
    CommandEdit* m_debugConsole = nullptr;
    bool m_debugPageAdded = false;
    MutexBtnGroupHandler m_btnGroups;
    ProgressBar* m_progressBar = nullptr;
    QDockWidget* m_toolsetsDock = nullptr;
    QByteArray m_layoutAtClose;  // the arrangement when the window closed
    QDockWidget* m_dirBrowserDock = nullptr;
    DirBrowser* m_dirBrowser = nullptr;
    QDockWidget* m_commandDock = nullptr;
    QDockWidget* m_curveIdDock = nullptr;
    QPointer<QWidget> m_curveIdWidget;
    std::unique_ptr<MiscIO> m_miscio;
    std::unique_ptr<WebFetch> m_webFetch;
    std::map<QWidget*, QAction*> m_toolActions;
    std::vector<std::unique_ptr<CategoryInterface>> m_categories;
    QPointer<QuickStartGuide> m_quickStart;
    // The regular-expression tool: made on first use, deleted with the window.
    RegexBuilder* m_regexTool = nullptr;
    QPointer<KRSEditor> m_scriptEditor;

    // State.
    std::map<QWidget*, int> m_dockVisibility;
    ScriptQueue m_scriptQueue;
    int m_runningLineDepth = 0; // nesting depth of the queued line running now
    QString m_version;
    QString m_buildDate;
    PlotOptions m_startOptions;
    QString m_workingDir;
    QString m_startupCommand;
    QString m_startupError;
    double m_pointRate = -1.0;
    bool m_syncMode = false;
    // Operations reported as missing during the command running now.
    QStringList m_missingReported;
};

// Copies a background image into the background-template folder and stores
// it as the setting "backgroundimage" (nothing when the copy exists already).
void importBackgroundImage(const QString& path);
// Creates every folder of the path; true when the folder exists at the end.
bool createPath(const QString& path);
// Where a printed picture goes: below and right of the margin, as wide as
// the page allows with its own proportions, shortened (keeping them) when
// it would run into the bottom margin and the room kept below it.
QRect printTargetRect(const QSize& page, int margin, const QSize& picture, int below);
// Prints a picture on the painter's page: 2 cm margins, the picture as wide
// as the page allows in its own proportions (printTargetRect), the page
// number 1 right-aligned 5 pixels below it. Returns where the picture went.
QRect printPictureWithPageNumber(QPainter& painter, const QPixmap& picture);
