#pragma once
// PlotterCtrl: the plot area of the main window. A tab widget whose pages
// are PlotterQuads of one to four plots; the current plot is the active plot
// of the current page. It creates, finds, renames and closes tabs, forwards
// the plots' signals, keeps the undo button in step with the current plot,
// runs the plot command and takes over the loader's results.
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

class FileSetup;
class ParsingThread;
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
    // addPlotter with its refusal shown in the transcript.
    void addPlotterReporting(Plotter* plot, const QString& label);
    QString nextDefaultLabel();
    // The loader events: the target plot of the loader that sent them.
    Plotter* loaderTarget(ParsingThread* loader) const;
    void loadFinished(ParsingThread* loader);
    void endLoad(ParsingThread* loader);
    // Reads the waterfall columns of the first source; false (reported) when
    // its file cannot be used.
    bool waterfallColumns(FileObject& source);
    // Calls a plot method that the plot may not offer yet; false (with a
    // verbose warning) when it does not.
    template <typename... Args>
    bool callPlot(Plotter* plot, const char* signature, const char* name, Args... args);

    // A running loader's plot; an abandoned loader's plot was cleared by a
    // later command: the loader is stopped and its results are dropped.
    struct LoadTarget {
        QPointer<Plotter> plot;
        bool abandoned = false;
    };
    std::map<ParsingThread*, LoadTarget> m_loaders;
    // Import setup windows still open (they have no parent).
    std::vector<QPointer<FileSetup>> m_fileSetups;
};
