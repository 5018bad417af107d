#pragma once
// PlotterCtrl: the plot area of the main window. A tab widget whose pages
// are PlotterQuads of one to four plots; the current plot is the active plot
// of the current page. It creates, finds, renames and closes tabs, forwards
// the plots' signals, keeps the undo button in step with the current plot,
// runs the plot command and takes over the loader's results, keeps the live
// links that feed plots with rows from instruments, web fetches and a host
// program's pipe, and copies and moves curves between plots and tabs.
#include "core/curvedata.h"
#include "core/messages.h"
#include "core/plotoptions.h"
#include "import/fileobject.h"
#include "plot/plottypes.h"
#include "platform/tabwidgetex.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

struct CurveIndexClaims;
class FileSetup;
class LivePlotter;
class ParsingThread;
class PlotOptionParser;
class Plotter;
class PlotterQuad;
class ProgressBar;

class PlotterCtrl : public TabWidgetEx {
    Q_OBJECT

public:
    PlotterCtrl(QWidget* parent, ProgressBar* progressBar, QWidget* undoButton);
    // Stops running loads and waits for them; the tabs go with the widgets.
    ~PlotterCtrl() override;
    // Stops every running load, waits for it and drops its results. The
    // owner of the progress bar calls this before the bar goes: a loader
    // posts its progress there.
    void stopLoaders();

    // The page of the first tab with this label; null for an empty label or
    // when no tab has it.
    PlotterQuad* findTab(const QString& label) const;
    // The plot of a quadrant (0: active) of the tab; null when absent.
    Plotter* findPlotter(const QString& label, unsigned quadrant) const;
    // The page of the tab, created when absent.
    PlotterQuad* findOrCreateTab(const QString& label);
    // The active plot of the current page (null without tabs).
    Plotter* currentPlotter() const;
    PlotterQuad* currentQuad() const;
    QString tabLabel(const PlotterQuad* page) const;
    // Clears one plot (the "clear" command, and a plot command that does
    // not append); a load still running into it is stopped and dropped.
    void clearPlot(Plotter* plot);
    // Applies an options record to the current plot.
    void applyPlotOptions(PlotOptions options);
    void applyPlotOptions(Plotter* plot, PlotOptions options);
    // A label text, or the contents of the label-template file it names.
    QString resolveLabelTemplate(const QString& text) const;
    // Describes data sources as one verbose message.
    void dumpFileObjects(const std::vector<FileObject>& files);

    // --- live links (plotterctrl_live.cpp) ---
    // The map key of a link label: "%1_internal_".
    static QString liveKey(const QString& label);
    // The label of a host-program link: "Live Plotter %1" with %1 the stop
    // descriptor halved, minus 1 ("Live Plotter -1" for the plot command).
    static QString linkedSessionLabel(int stopFd);
    // The link stored under a key; null when there is none.
    LivePlotter* findLivePlotter(const QString& key) const;
    // The first link, in key order, that feeds the plot; null when none.
    LivePlotter* livePlotterOf(const Plotter* plot) const;
    // Ends the link of a plot that is being closed: the host is told
    // ("kro closed"), its reader stopped, the link deleted.
    void releaseLivePlotter(Plotter* plot);
    // Gives the live plots of the current tab a common left margin.
    void alignLiveMargins();
    // Starts or reconfigures a host-program link from the text of a plot
    // command ("-linked" or "-piped"): rows are read from readFd, replies
    // written to replyFd (0: none); stopFd names the link.
    void startLinkedSession(const QString& text, int readFd, int replyFd, int stopFd);
    const std::map<QString, LivePlotter*>& livePlotters() const { return m_livePlotters; }

    // --- curve copy and move (plotterctrl_transfer.cpp) ---
    // The "copy" and "move" commands: sources [tab:][Qn:]Cn, the destination
    // tab[:Qn] last.
    void copyMoveCommand(const QString& arguments, bool move);
    // Copies (or moves) curves of a plot to a quadrant of a tab (0: its
    // active plot; a quadrant it lacks: a new plot; a tab that does not
    // exist: a new tab). numbers: curve numbers from 1, or a first INT_MAX
    // for every curve. Returns the destination plot, null when refused.
    Plotter* copyMoveCurves(Plotter* source, const std::vector<int>& numbers, const QString& tab, int quadrant,
                            bool move);


    // A loader started by the plot command is running; the script queue
    // waits while it is set.
    bool m_busy = false;
    int m_tabCount = 0;
    ProgressBar* m_progressBar = nullptr;
    QWidget* m_undoButton = nullptr;

public Q_SLOTS:
    void on_autoCacheAvailable();
    void on_autoCacheEmptied();
    void on_kroplot(const QString& text);
    void on_tabSelect(QWidget* page = nullptr);
    void on_zoomInClicked();
    void on_zoomOutClicked();
    // The tab commands.
    void on_closeAll();
    void on_closeTab();
    void on_closeTab(const QString& label);
    void on_newTab(const QString& label);
    void on_setTabLabel(const QString& label);
    void on_usingTab(const QString& label);
    // Adds a plot (a new one when null) to the tab of the label (a new tab
    // "Plot n" for a null label); raises kroexception when the tab is full.
    Plotter* addPlotter(Plotter* plot, const QString& label = QString());
    bool showTab(const QString& label);
    void on_addPlotter();
    void on_addPlotter(Plotter* plot);
    // Opens the import setup window for data files (dropped on a plot or
    // chosen elsewhere); on Ok its plot command runs through the console.
    void on_dropfiles(const QStringList& files);
    void on_fileSetupClosed(FileSetup* setup, bool accepted);
    // Announces (or re-announces) a live link: its column layout, its slide
    // window, and whether a kept unfinished row survives (linked).
    void on_linkStatusChanged(const QString& label, const FileObject& columns, int slide, bool linked);
    // One text of a live link; ready is true on every return.
    void on_newDeviceString(const QString& label, const QString& text, bool& ready);
    void on_copycommand(const QString& arguments);
    void on_movecommand(const QString& arguments);
    // Shows the copy-and-move dialog for a plot and runs the transfer chosen.
    void on_reqCurvesMove(Plotter* const plot);

private Q_SLOTS:
    void on_plotterChanged(Plotter* plot);
    void on_plotterClicked(Plotter* plot);
    void on_plotterRateUpdate(Plotter* plot, double rate);
    void on_showPlotter();
    void on_tabRightClicked(int index);

Q_SIGNALS:
    void adevstarted(const Plotter* const);
    void adevstopped(const Plotter* const);
    void command(const QString&);
    void debugmsg(const QString&);
    void exit();
    void kroscript(const QString&);
    void mjdInRange(bool);
    void mousePanEvent(int, int, QPoint);
    void plotterShown(Plotter*);
    void plotterCleared(Plotter*);
    void plotterRateUpdate(double);
    void screenShotReq();
    void transcript(const QString&);
    void verbose(ZEVOVE::TYPE, const QString&);
    void zoomBtnState(ZOOM);

protected:
    void customEvent(QEvent* event) override;

private:
    void closePage(int index);
    // Reads the plot command's options; false (reported) when the text
    // holds characters the parser refuses.
    bool parsePlotText(PlotOptionParser& parser, const QString& text);
    // addPlotter with its refusal shown in the transcript.
    void addPlotterReporting(Plotter* plot, const QString& label);
    QString nextDefaultLabel();
    // The loader events: the target plot of the loader that sent them.
    Plotter* loaderTarget(ParsingThread* loader) const;
    // The ids the curves of a finished load take in the plot: each its own
    // while the plot has no curve there, else the lowest id neither the plot,
    // the load nor another load into the plot (claims) uses.
    static std::map<int, int> idsAtStore(const Plotter* plot, const CurveMap& loaded, CurveIndexClaims* claims);
    void loadFinished(ParsingThread* loader);
    void endLoad(ParsingThread* loader);
    // Reads the waterfall columns of the first source; false (reported) when
    // its file cannot be used.
    bool waterfallColumns(FileObject& source);
    // Calls a plot method that the plot may not offer yet; false (with a
    // verbose warning) when it does not.
    template <typename... Args>
    bool callPlot(Plotter* plot, const char* signature, const char* name, Args... args);

    // Live links.
    // The link of a label, created (with its plot) when missing.
    LivePlotter* liveLinkFor(const QString& label);
    // Gives a link without plot the plot of its label's tab (a new tab
    // when there is none); a refusal is reported.
    void bindLivePlot(LivePlotter* link);
    // Splits, interprets and plots one text of a link.
    void processLiveText(LivePlotter* link, const char* data, std::size_t size);
    void stdinEvent(QEvent* event);
    // Stops every pipe reader, tells the hosts, deletes the links.
    void releaseAllLinks();

    // A running loader's plot; an abandoned loader's plot was cleared by a
    // later command: the loader is stopped and its results are dropped.
    struct LoadTarget {
        QPointer<Plotter> plot;
        bool abandoned = false;
        // Curve titles of the load by the loader's curve ids, given to the
        // plot with the curves.
        std::vector<std::pair<int, QString>> titles;
        bool titlesRedraw = false;
    };
    std::map<ParsingThread*, LoadTarget> m_loaders;
    // Import setup windows still open (they have no parent).
    std::vector<QPointer<FileSetup>> m_fileSetups;
    // The live links by key; owned.
    std::map<QString, LivePlotter*> m_livePlotters;
};
