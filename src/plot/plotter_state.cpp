// Plotter: construction, reset and destruction.
#include <QLabel>
#include <QThread>
#include <QTimer>

#include <cfloat>

#include "analysis/adevthread.h"
#include "analysis/noisegendiag.h"
#include "plot/actionlabel.h"
#include "plot/arrowtable.h"
#include "plot/labeler.h"
#include "plot/plotdiag.h"
#include "core/expressionthread.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"

Plotter::Plotter(QWidget* parent, const char* name) : QWidget(parent), m_barFloor(DBL_MAX)
{
    if (name)
        setObjectName(QString::fromUtf8(name));
    // The plot paints every pixel from its backing pixmap.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    m_rubberBand = QRect(0, 0, -1, -1);
    m_modeImageRect = QRect(0, 0, -1, -1);

    setFont(QFont("Times", 10, QFont::Normal));

    m_insideColor = Qt::white;
    m_outsideColor = Qt::white;
    m_axesMarkersColor = Qt::black;
    m_axesColor = QColor(53, 53, 80);
    m_titleColor = QColor(53, 53, 80);
    m_footnoteColor = QColor(103, 103, 140);
    m_gridColor = QColor(192, 192, 192);
    m_backgroundImage = QPixmap();

    m_marginTop = -1;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, m_outsideColor);
    pal.setColor(QPalette::Base, m_outsideColor);
    setPalette(pal);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::StrongFocus);

    m_coordLabel = new QLabel(this);
    m_coordLabel->hide();
    {
        QPalette cp = m_coordLabel->palette();
        cp.setColor(QPalette::Window, m_insideColor);
        m_coordLabel->setPalette(cp);
        m_coordLabel->setAutoFillBackground(true);
        m_coordLabel->setMouseTracking(true);
    }

    m_title = new ActionLabel("None", this);
    m_title->setFont(QFont("Times", 18, QFont::Bold));
    m_title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_title->setEditable(true);
    m_title->setToolTip(tr("Click to change text"));

    m_xLabel = new ActionLabel("X-Label", this);
    m_xLabel->setFont(QFont("Times", 14, QFont::Bold));
    m_xLabel->setColor(m_axesColor);
    m_xLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_xLabel->setEditable(true);
    m_xLabel->setToolTip(tr("Click to change text"));

    m_yLabel = new RotLabel("Y-Label", this, -90.0);
    m_yLabel->setFont(QFont("Times", 14, QFont::Bold));
    m_yLabel->setColor(m_axesColor);
    m_yLabel->setEditable(true);
    m_yLabel->setToolTip(tr("Click to change text\nRight-click to rotate"));

    m_footnote = new ActionLabel(" ", this);
    m_footnote->setFont(QFont("Times", 10, QFont::Normal));
    m_footnote->setColor(m_footnoteColor);
    m_footnote->setEditable(true);
    m_footnote->setAlignment(Qt::AlignRight);
    m_footnote->setToolTip(tr("Click to change text"));

    for (ActionLabel* label : {m_title, m_xLabel, static_cast<ActionLabel*>(m_yLabel), m_footnote})
        connect(label, &ActionLabel::markupRefused, this,
                [this](const QString& problem) { Q_EMIT verbose(ZEVOVE::ERROR, problem + QLatin1Char('.')); });

    resetSettings();

    m_tickFont = QFont("Times", 9);
    m_tickFontHeight = QFontMetrics(m_tickFont).height();
    m_yTickLabelWidth = 100;

    m_legend = new PlotDiag(this);
    m_legend->m_itemStyle = 2;
    m_legend->realign(ALIGN_HORIZONTAL);
    m_legend->hide();

    m_markerTable = new PlotDiag(this);
    m_markerTable->m_itemStyle = 0;
    m_markerTable->m_fixedColumns = 2;
    m_markerTable->m_dockOptions = DOCK_RIGHT | DOCK_FLOAT | DOCK_EMBED;
    m_markerTable->m_menuOptions = 8;
    m_markerTable->m_renameAllowed = false;
    m_markerTable->setDockState(DOCK_RIGHT);
    m_markerTable->hide();

    m_marginTop = QFontMetrics(m_title->font()).height() + 10;
    m_marginBottom = QFontMetrics(m_xLabel->font()).height() + m_tickFontHeight;
    m_marginRight = 40;
    m_marginLeft = QFontMetrics(m_yLabel->font()).height() + m_yTickLabelWidth;
    m_leftMarginOverride = -1;

    m_messageTimer = new QTimer(this);
    m_messageTimer->setSingleShot(true);
    m_refreshTimer = new QTimer(this);
    connect(m_refreshTimer, &QTimer::timeout, this, &Plotter::refreshPixmap);

    setMouseTracking(true);

    m_snapCircle = new ActionCircle(this);
    m_snapCircle->hide();
    // The circle sits under the pointer: moves must still reach the plot.
    m_snapCircle->setAttribute(Qt::WA_TransparentForMouseEvents);
    buildModeCursors();

    setAcceptDrops(true);

    connect(m_title, &ActionLabel::textSet, this, &Plotter::reshapeLabels);
    connect(m_title, &ActionLabel::textSet, this, &Plotter::refreshPixmap);
    connect(m_xLabel, &ActionLabel::textSet, this, &Plotter::reshapeLabels);
    connect(m_xLabel, &ActionLabel::textSet, this, &Plotter::refreshPixmap);
    connect(m_yLabel, &ActionLabel::textSet, this, &Plotter::refreshPixmap);
    connect(m_footnote, &ActionLabel::textSet, this, &Plotter::refreshPixmap);
    connect(m_messageTimer, &QTimer::timeout, this, &Plotter::deleteMsg);
    connect(m_legend, &PlotDiag::closed, this, &Plotter::refreshPixmap);
    connectPanels();

    setMinimumHeight(100);
}

void Plotter::resetSettings()
{
    m_xGranularity = -1;
    m_yGranularity = -1;
    m_barFloor = DBL_MAX;
    m_gridHorizontal = true;
    m_gridVertical = true;
    m_barMode = false;
    m_mjdInRange = false;
    m_logXSign = 0;
    m_logYSign = 0;
    m_logX = false;
    m_logY = false;
    m_dateTimeAxis = false;
    m_lineIntensity = false;
    m_threeD = false;
    m_liveData = false;

    m_autoConvertMjdLive = readSettingBool("autoconvertmjdlive", true);

    m_blueScale = false;
    m_autoCacheFilled = false;
    m_xOffset = 0;
    m_depthX = 6.0;
    m_depthY = 3.0;
    m_rubberBandShown = false;
    m_nextMarkerNumber = 1;
    m_snapCurveId = -1;
    m_highlightedCurve = -1;
    m_highlightDrawCount = 0;

    // The point size is stored as read: 5 means a 5-pixel symbol.
    m_pointDiameter = readSettingInt("pntrad", 5);
    m_lineWidth = 0;
    m_leftMarginOverride = 0;

    m_title->setText(toHtmlBreaks(getTitle()));
    m_xLabel->setText(toHtmlBreaks(getXlbl()));
    m_yLabel->setText(toHtmlBreaks(getYlbl()));
    m_footnote->setText(toHtmlBreaks(getFootnote()));
    if (m_yLabel)
        m_yLabel->adjustSize();

    m_views.clear();
    m_views.emplace_back();
    computeAxisTicks(m_views[0], 0);
    computeAxisTicks(m_views[0], 1);
    m_viewIndex = 0;
}

Plotter::~Plotter()
{
    for (AdevThread* t : m_adevThreads) {
        t->cancel();
        t->wait();
        delete t;
    }
    m_adevThreads.clear();
    // An expression worker only computes: let it end, then drop it with its
    // result (its event to this plot goes with the plot).
    for (ExpressionThread* t : m_expressionThreads) {
        t->wait();
        delete t;
    }
    m_expressionThreads.clear();
    // The annotation tables have no parent; the arrow table takes its
    // arrows (children of this plot) with it, before the children go.
    delete m_labeler;
    m_labeler = nullptr;
    delete m_arrowTable;
    m_arrowTable = nullptr;
    delete m_curveIdPanel;
    m_curveIdPanel = nullptr;
}
