#include "tabs/plotterquad.h"

#include "core/exceptions.h"
#include "plot/actionlabel.h"
#include "plot/plotter.h"

#include <QCoreApplication>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

PlotterQuad::PlotterQuad(QWidget* parent) : QWidget(parent)
{
    m_activeIndicator = new AcceptedCheck(this);
    m_activeIndicator->setWindowFlags(m_activeIndicator->windowFlags() | Qt::CustomizeWindowHint
                                      | Qt::FramelessWindowHint);
    m_activeIndicator->setUnchecked();
    m_activeIndicator->setFixedSize(21, 16);
    if (parent) {
        QPalette pal = m_activeIndicator->palette();
        pal.setColor(QPalette::Window, parent->palette().color(QPalette::Window));
        m_activeIndicator->setPalette(pal);
    }
    m_activeIndicator->setToolTip(QCoreApplication::translate("PlotterCtrl",
                                                              "Indicates that this plot is active for operations."));
    m_activeIndicator->hide();
}

PlotterQuad::~PlotterQuad()
{
    if (m_activePlotter)
        m_activePlotter->removeEventFilter(this);
    m_activePlotter = nullptr;
    for (Plotter* p : m_plotters)
        delete p;
    m_plotters.clear();
}

Plotter* PlotterQuad::plotter(unsigned quadrant) const
{
    if (quadrant == 0)
        return m_activePlotter;
    if (quadrant <= m_plotters.size())
        return m_plotters[quadrant - 1];
    throw kroexception(QCoreApplication::translate("PlotterQuad",
                                                   "Error: Bug found in PlotterQuad::plotter(...).\nQuadrant "
                                                   "passed: %1. ")
                           .arg(quadrant)
                       + QString::fromStdString(kro::reportRequest()));
}

bool PlotterQuad::holds(const Plotter* plot) const
{
    return std::find(m_plotters.begin(), m_plotters.end(), plot) != m_plotters.end();
}

void PlotterQuad::appendPlotter(Plotter* plot)
{
    if (plot->parentWidget() != this) {
        plot->setParent(this);
        plot->move(0, 0);
    }
    m_plotters.push_back(plot);
    relayout();
    setActivePlotter(plot);
}

void PlotterQuad::relayout()
{
    if (m_quadLayout)
        layoutQuad();
    else
        layoutStacked();
}

void PlotterQuad::layoutQuad() { layout(true); }

void PlotterQuad::layoutStacked() { layout(false); }

namespace {

QSplitter* splitter(Qt::Orientation o, std::initializer_list<Plotter*> panes)
{
    auto* s = new QSplitter(o);
    for (Plotter* p : panes) {
        s->addWidget(p);
        p->show();
    }
    return s;
}

// Both panes of a splitter get half of their current total.
void equalise(QSplitter* s)
{
    if (!s)
        return;
    const QList<int> sizes = s->sizes();
    int sum = 0;
    for (int v : sizes)
        sum += v;
    const int half = sum > 0 ? sum / 2 : 1;
    s->setSizes(QList<int>(sizes.size(), half));
}

} // namespace

void PlotterQuad::layout(bool quad)
{
    delete m_layout;
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    QSplitter* const oldMain = m_mainSplitter;
    m_mainSplitter = m_firstSplitter = m_secondSplitter = nullptr;

    const std::size_t n = m_plotters.size();
    Plotter* const P1 = n > 0 ? m_plotters[0] : nullptr;
    Plotter* const P2 = n > 1 ? m_plotters[1] : nullptr;
    Plotter* const P3 = n > 2 ? m_plotters[2] : nullptr;
    Plotter* const P4 = n > 3 ? m_plotters[3] : nullptr;
    if (n == 1) {
        m_layout->addWidget(P1);
        P1->show();
    } else if (n >= 2) {
        m_mainSplitter = new QSplitter(Qt::Vertical, this);
        const Qt::Orientation nested = quad ? Qt::Horizontal : Qt::Vertical;
        if (n == 2) {
            m_mainSplitter->addWidget(P1);
            m_mainSplitter->addWidget(P2);
            P1->show();
            P2->show();
        } else if (n == 3) {
            m_firstSplitter = quad ? splitter(nested, {P1, P3}) : splitter(nested, {P1, P2});
            m_mainSplitter->addWidget(m_firstSplitter);
            Plotter* const below = quad ? P2 : P3;
            m_mainSplitter->addWidget(below);
            below->show();
        } else {
            m_firstSplitter = quad ? splitter(nested, {P1, P3}) : splitter(nested, {P1, P2});
            m_secondSplitter = quad ? splitter(nested, {P2, P4}) : splitter(nested, {P3, P4});
            m_mainSplitter->addWidget(m_firstSplitter);
            m_mainSplitter->addWidget(m_secondSplitter);
        }
        m_layout->addWidget(m_mainSplitter);
        m_mainSplitter->show();
        if (!quad && n >= 3)
            for (Plotter* p : m_plotters)
                p->setMinimumHeight(std::max(0, height() / int(n) - 5));
        equalise(m_firstSplitter);
        equalise(m_secondSplitter);
        equalise(m_mainSplitter);
    }
    delete oldMain;
    m_activeIndicator->raise();
}

void PlotterQuad::setActivePlotter(Plotter* plot)
{
    if (m_activePlotter)
        m_activePlotter->removeEventFilter(this);
    m_activePlotter = plot;
    if (m_plotters.size() < 2 || !plot)
        return;
    if (m_layout)
        m_layout->activate();
    QCoreApplication::sendPostedEvents(this, QEvent::LayoutRequest);
    m_activeIndicator->show();
    m_activeIndicator->setChecked();
    m_activeIndicator->repaint();
    placeIndicator();
    // The plot moves and resizes with its splitters and the window; the
    // indicator follows its corner.
    plot->installEventFilter(this);
}

void PlotterQuad::placeIndicator()
{
    if (!m_activePlotter || m_plotters.size() < 2)
        return;
    const QPoint corner = m_activePlotter->mapTo(this, QPoint(0, m_activePlotter->height() - 1));
    m_activeIndicator->move(corner.x(), corner.y() - m_activeIndicator->height() + 1 - 3);
    m_activeIndicator->raise();
}

bool PlotterQuad::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_activePlotter && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeIndicator();
    return QWidget::eventFilter(watched, event);
}
