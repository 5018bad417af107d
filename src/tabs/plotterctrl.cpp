// PlotterCtrl: tabs, quadrants, the current plot and the plots' signals.
#include "tabs/plotterctrl.h"

#include "core/exceptions.h"
#include "core/plotoptions.h"
#include "import/filesetup.h"
#include "import/parsingthread.h"
#include "platform/prompter.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"
#include "plot/plotdiag.h"
#include "tabs/liveplotter.h"
#include "tabs/plotterquad.h"
#include "tabs/progressbar.h"

#include <QFile>
#include <QIcon>

PlotterCtrl::PlotterCtrl(QWidget* parent, ProgressBar* progressBar, QWidget* undoButton)
    : TabWidgetEx(parent, 3), m_progressBar(progressBar), m_undoButton(undoButton)
{
    if (QFile::exists(QStringLiteral(":/images/kro.png")))
        setWindowIcon(QIcon(QStringLiteral(":/images/kro.png")));
    QFont font = tabBar()->font();
    font.setFamily(QStringLiteral("cursive"));
    font.setStyleHint(QFont::Cursive);
    font.setItalic(false);
    tabBar()->setFont(font);
    connect(this, &TabWidgetEx::newClicked, this, qOverload<>(&PlotterCtrl::on_addPlotter));
    connect(this, &TabWidgetEx::closeClicked, this, qOverload<>(&PlotterCtrl::on_closeTab));
    connect(this, &QTabWidget::currentChanged, this, &PlotterCtrl::on_showPlotter);
    connect(this, &QTabWidget::currentChanged, this, [this](int) { on_tabSelect(); });
    connect(tabBarEx(), &TabBarEx::tabRightClicked, this, &PlotterCtrl::on_tabRightClicked);
    addPlotter(nullptr, QString());
}

PlotterCtrl::~PlotterCtrl()
{
    stopLoaders();
    for (const QPointer<FileSetup>& setup : m_fileSetups)
        delete setup.data();
    releaseAllLinks();
}

void PlotterCtrl::stopLoaders()
{
    // A running thread is never destroyed: stop each loader and wait for it.
    // Events it posted before it ended name no loader any more and are ignored.
    for (auto& [loader, target] : m_loaders) {
        loader->requestStop();
        loader->wait();
        delete loader;
    }
    m_loaders.clear();
    m_busy = false;
}

PlotterQuad* PlotterCtrl::findTab(const QString& label) const
{
    if (label.isEmpty())
        return nullptr;
    for (int i = 0; i < count(); ++i)
        if (tabText(i) == label)
            return static_cast<PlotterQuad*>(widget(i));
    return nullptr;
}

Plotter* PlotterCtrl::findPlotter(const QString& label, unsigned quadrant) const
{
    const PlotterQuad* page = findTab(label);
    if (!page || quadrant > unsigned(page->plotCount()))
        return nullptr;
    return page->plotter(quadrant);
}

QString PlotterCtrl::tabLabel(const PlotterQuad* page) const
{
    const int i = indexOf(const_cast<PlotterQuad*>(page));
    return i < 0 ? QString() : tabText(i);
}

PlotterQuad* PlotterCtrl::currentQuad() const { return static_cast<PlotterQuad*>(currentWidget()); }

Plotter* PlotterCtrl::currentPlotter() const
{
    const PlotterQuad* page = currentQuad();
    return page ? page->plotter(0) : nullptr;
}

QString PlotterCtrl::nextDefaultLabel()
{
    // A generated label never repeats a label in use.
    QString label = tr("Plot %1").arg(m_tabCount);
    while (findTab(label))
        label = tr("Plot %1").arg(++m_tabCount);
    return label;
}

PlotterQuad* PlotterCtrl::findOrCreateTab(const QString& label)
{
    if (PlotterQuad* page = findTab(label))
        return page;
    ++m_tabCount;
    const QString name = label.isEmpty() ? nextDefaultLabel() : label;
    auto* page = new PlotterQuad(this);
    addTab(page, name);
    Q_EMIT verbose(ZEVOVE::INFO, tr("New tab created: \"%1\".").arg(name));
    return page;
}

Plotter* PlotterCtrl::addPlotter(Plotter* plot, const QString& label)
{
    PlotterQuad* page = findOrCreateTab(label);
    if (plot && page->holds(plot)) {
        showTab(tabLabel(page));
        return plot;
    }
    if (page->plotCount() >= PlotterQuad::MAX_PLOTS)
        throw kroexception("Error: Cannot create another plot on \"%s\".", label.toLatin1().constData());
    if (!plot) {
        const QByteArray name = tr("%1_%2").arg(tabLabel(page)).arg(page->plotCount()).toUtf8();
        plot = new Plotter(page, name.constData());
    }
    page->appendPlotter(plot);

    connect(plot, &Plotter::adevstarted, this, &PlotterCtrl::adevstarted, Qt::UniqueConnection);
    connect(plot, &Plotter::adevstopped, this, &PlotterCtrl::adevstopped, Qt::UniqueConnection);
    connect(plot, &Plotter::autoCacheAvailable, this, &PlotterCtrl::on_autoCacheAvailable, Qt::UniqueConnection);
    connect(plot, &Plotter::autoCacheEmptied, this, &PlotterCtrl::on_autoCacheEmptied, Qt::UniqueConnection);
    connect(plot, &Plotter::command, this, &PlotterCtrl::command, Qt::UniqueConnection);
    connect(plot, &Plotter::mjdInRange, this, &PlotterCtrl::mjdInRange, Qt::UniqueConnection);
    connect(plot, &Plotter::mousePanEvent, this, &PlotterCtrl::mousePanEvent, Qt::UniqueConnection);
    connect(plot, &Plotter::newPlotterBuilt, this, qOverload<Plotter*>(&PlotterCtrl::on_addPlotter),
            Qt::UniqueConnection);
    connect(plot, &Plotter::transcript, this, &PlotterCtrl::transcript, Qt::UniqueConnection);
    connect(plot, &Plotter::verbose, this, &PlotterCtrl::verbose, Qt::UniqueConnection);
    connect(plot, &Plotter::plotterSettingsChanged, this, &PlotterCtrl::on_plotterChanged, Qt::UniqueConnection);
    connect(plot, &Plotter::plotterClicked, this, &PlotterCtrl::on_plotterClicked, Qt::UniqueConnection);
    connect(plot, &Plotter::plotterRateUpdate, this, &PlotterCtrl::on_plotterRateUpdate, Qt::UniqueConnection);
    connect(plot, &Plotter::zoomBtnChanged, this, &PlotterCtrl::zoomBtnState, Qt::UniqueConnection);
    connect(plot, &Plotter::dropfiles, this, &PlotterCtrl::on_dropfiles, Qt::UniqueConnection);
    connect(plot, &Plotter::reqCurvesMove, this, &PlotterCtrl::on_reqCurvesMove, Qt::UniqueConnection);

    showTab(tabLabel(page));
    PlotOptions options;
    loadPlotOptions(options);
    applyPlotOptions(plot, options);
    return plot;
}

void PlotterCtrl::addPlotterReporting(Plotter* plot, const QString& label)
{
    try {
        addPlotter(plot, label);
    } catch (const kroexception& e) {
        Q_EMIT transcript(QString::fromLocal8Bit(e.what()));
    }
}

void PlotterCtrl::on_addPlotter() { addPlotterReporting(nullptr, QString()); }

void PlotterCtrl::on_addPlotter(Plotter* plot) { addPlotterReporting(plot, QString()); }

bool PlotterCtrl::showTab(const QString& label)
{
    if (label.isEmpty())
        return false;
    if (PlotterQuad* page = findTab(label)) {
        setCurrentWidget(page);
        return true;
    }
    return false;
}

void PlotterCtrl::on_newTab(const QString& label)
{
    if (findTab(label)) {
        Q_EMIT transcript(tr("Error: \"%1\" already exists. Tab labels must be unique.").arg(label));
        on_usingTab(label);
        return;
    }
    addPlotterReporting(nullptr, label);
}

void PlotterCtrl::on_usingTab(const QString& label)
{
    if (!showTab(label))
        addPlotterReporting(nullptr, label);
}

void PlotterCtrl::closePage(int index)
{
    auto* page = static_cast<PlotterQuad*>(widget(index));
    // Loads bound for its plots are dropped when they finish; live links
    // end with their plots.
    for (Plotter* plot : page->m_plotters)
        releaseLivePlotter(plot);
    removeTab(index);
    delete page;
}

void PlotterCtrl::on_closeTab() { on_closeTab(QString()); }

void PlotterCtrl::on_closeTab(const QString& label)
{
    int index = currentIndex();
    QString name = label;
    if (!label.isEmpty()) {
        PlotterQuad* page = findTab(label);
        if (!page) {
            Q_EMIT verbose(ZEVOVE::INFO, tr("Could not close plot tab %1. Tab not found.").arg(label));
            return;
        }
        index = indexOf(page);
    } else {
        name = tabText(index);
    }
    if (count() <= 1) {
        Q_EMIT verbose(ZEVOVE::INFO, tr("Cannot close the last remaining plot tab."));
        return;
    }
    Q_EMIT verbose(ZEVOVE::INFO, tr("Tab \"%1\" closed.").arg(name));
    closePage(index);
}

void PlotterCtrl::on_closeAll()
{
    while (count() > 0) {
        const int last = count() - 1;
        Q_EMIT verbose(ZEVOVE::INFO, tr("Tab \"%1\" closed.").arg(tabText(last)));
        closePage(last);
    }
    on_newTab(QStringLiteral("New Tab"));
}

void PlotterCtrl::on_setTabLabel(const QString& label)
{
    if (PlotterQuad* page = findTab(label)) {
        if (page == currentQuad())
            Q_EMIT verbose(ZEVOVE::INFO, tr("Current tabel label already matches \"%1\"").arg(label));
        else
            Q_EMIT transcript(tr("Error: \"%1\" already exists. Tab labels must be unique.").arg(label));
        return;
    }
    Q_EMIT verbose(ZEVOVE::INFO, tr("Tab label changed from \"%1\" to \"%2\".").arg(tabText(currentIndex()), label));
    setTabText(currentIndex(), label);
}

void PlotterCtrl::on_tabRightClicked(int index)
{
    const QString old = tabText(index);
    const auto text = kro::prompter().getText(this, tr("Set Tab Label"), tr("Label:"), old, QLineEdit::Normal);
    if (!text)
        return;
    if (!text->isEmpty() && findTab(*text)) {
        if (*text != old)
            Q_EMIT transcript(tr("Error: \"%1\" already exists. Tab labels must be unique.").arg(*text));
        return;
    }
    Q_EMIT verbose(ZEVOVE::INFO, tr("Tab label changed from \"%1\" to \"%2\".").arg(old, *text));
    setTabText(index, *text);
}

void PlotterCtrl::on_showPlotter()
{
    if (currentIndex() < 0)
        return;
    Q_EMIT verbose(ZEVOVE::INFO, tr("Tab changed to \"%1\".").arg(tabText(currentIndex())));
    Q_EMIT plotterShown(currentPlotter());
    if (!livePlotterOf(currentPlotter()))
        Q_EMIT plotterRateUpdate(-1);
}

void PlotterCtrl::on_tabSelect(QWidget*)
{
    const Plotter* plot = currentPlotter();
    if (m_undoButton)
        m_undoButton->setEnabled(plot && plot->autoCacheFilled());
}

void PlotterCtrl::on_autoCacheAvailable()
{
    if (m_undoButton)
        m_undoButton->setEnabled(true);
}

void PlotterCtrl::on_autoCacheEmptied()
{
    if (m_undoButton)
        m_undoButton->setEnabled(false);
}

void PlotterCtrl::on_plotterChanged(Plotter* plot)
{
    if (plot == currentPlotter())
        Q_EMIT plotterShown(plot);
}

void PlotterCtrl::on_plotterClicked(Plotter* plot)
{
    if (plot == currentPlotter())
        return;
    PlotterQuad* page = currentQuad();
    if (!page || !page->holds(plot))
        return;
    page->setActivePlotter(plot);
    Q_EMIT plotterShown(plot);
    if (!livePlotterOf(plot))
        Q_EMIT plotterRateUpdate(-1);
}

void PlotterCtrl::on_plotterRateUpdate(Plotter* plot, double rate)
{
    if (!livePlotterOf(plot))
        Q_EMIT plotterRateUpdate(-1);
    else if (plot == currentPlotter())
        Q_EMIT plotterRateUpdate(rate);
}

void PlotterCtrl::on_zoomInClicked()
{
    if (Plotter* plot = currentPlotter())
        plot->zoomIn();
}

void PlotterCtrl::on_zoomOutClicked()
{
    if (Plotter* plot = currentPlotter())
        plot->zoomOut();
}

void PlotterCtrl::clearPlot(Plotter* plot)
{
    if (!plot)
        return;
    // A load still running into the plot would bring back what was cleared
    // (or land over a new plot command's data): it is stopped and its
    // results are dropped.
    for (auto& [running, target] : m_loaders) {
        if (target.plot == plot) {
            running->requestStop();
            target = LoadTarget{};
            target.abandoned = true;
        }
    }
    LivePlotter* link = livePlotterOf(plot);
    if (!link) {
        plot->clearAll();
        return;
    }
    // A live plot keeps its curves, titles and colours; only the points go.
    for (auto& [id, c] : plot->m_curves)
        c.values.clear();
    int margin = plot->yLabelWidget()->rotatedWidth() + plot->m_yTickLabelWidth + 15;
    if (plot->legend() && plot->legend()->dockState() == DOCK_LEFT && !plot->legend()->isHidden())
        margin += plot->legend()->width() + 5;
    if (margin != plot->m_marginLeft) {
        plot->m_leftMarginOverride = margin;
        plot->plot();
    }
    link->m_leftMargin = margin;
}
