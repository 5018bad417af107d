#pragma once
// Plotter: one plot. It owns a set of curves, the zoom history over them, the
// appearance settings, its label widgets and the undo caches, and draws
// everything into a backing pixmap that the paint event copies to the screen.
//
// The class is one class split across files by concern:
//   plotter_state.cpp    construction, reset, destruction
//   plotter_curves.cpp   the curve set, titles, undo caches, result plots
//   plotter_view.cpp     zoom history, ranges, log scales, rescale
//   plotter_mapping.cpp  data <-> pixel mapping and tick-label texts
//   plotter_axes.cpp     grid, ticks, tick labels and frame
//   plotter_drawcurves.cpp  lines, symbols, bars, 3-D, highlight
//   plotter_draw.cpp     the redraw pipeline, background, annotations, paint
//   plotter_labels.cpp   title, axis labels, footnote and the label layout
//   plotter_markers.cpp  markers, their widgets, differences and the marker table
//   plotter_mouse.cpp    mouse modes, rubber band, zoom to a rectangle, pan,
//                        readout, snap-to-curve, right-button menu, drops
//   plotter_keys.cpp     wheel and keys
//   plotter_crop.cpp     crop and erase of points by rectangle
//   plotter_results.cpp  result plots of analyses (the shared steps)
//   plotter_rotate.cpp   rotation of curves and its dialog
//   plotter_events.cpp   result events of worker threads
//   plotter_adev.cpp     the Allan-deviation run
//   plotter_noise.cpp    power-law noise curves
//   plotter_spectra.cpp  spectra and the inverse transform (result plots)
//   plotter_correlations.cpp  correlations, convolution, histograms
//   plotter_filters.cpp  filtering, smoothing, averaging; shared input checks
//   plotter_fits.cpp     polynomial fits, detrending and modelling
// Later families (appearance, legend docking, statistics, live data, export,
// markers, mouse tools, analyses) add their own files and members here.
#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QPolygon>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/curvedata.h"
#include "core/idarray.h"
#include "core/messages.h"
#include "core/settings.h"
#include "core/viewrect.h"
#include "command/optstates.h"
#include "plot/curvelistbox.h"
#include "plot/curveraster.h"
#include "plot/plottypes.h"

#include <QElapsedTimer>
#include <functional>
#include <optional>

class ActionLabel;
class ActionCircle;
class ArrowTable;
class ArrowWidget;
class Labeler;
class MarkerWidget;
class MarkerDiffWidget;
class NearestPointIndex;
class RotLabel;
class PlotDiag;
class QLabel;
class QPainter;
class QFontMetrics;
class QThread;
class QTimer;
class CommandDialog;
class ExpressionThread;
class AdevThread;
class AdevUpdateEvent;
class NoiseGenDiag;

// "\n" typed as the two characters backslash and n marks a line break in
// label texts from commands, options and live links: the parts between such
// marks, empty parts dropped, joined by "<br />".
QString toHtmlBreaks(const QString& text);

// One marker: a line across the plot area at a data position (data units
// also on logarithmic axes); orientation 0 vertical (at an x), 1 horizontal
// (at a y).
struct MarkerRecord {
    double position = 0.0;
    int orientation = 0;
};

// The rectangle spanned by the two corners of r whichever way it was
// dragged (QRect::normalized() of Qt 6 moves swapped edges by one pixel).
inline QRect cornerNormalized(const QRect& r)
{
    return QRect(QPoint(std::min(r.left(), r.right()), std::min(r.top(), r.bottom())),
                 QPoint(std::max(r.left(), r.right()), std::max(r.top(), r.bottom())));
}

// The cursors of one mouse mode and the image painted inside its rubber band.
struct ModeCursor {
    QCursor normal;
    QCursor pressed;
    QPixmap dragImage; // 32 x 32, or null for none
};

class Plotter : public QWidget {
    Q_OBJECT

public:
    explicit Plotter(QWidget* parent = nullptr, const char* name = nullptr);
    ~Plotter() override;

    // --- state (plotter_state.cpp) ---
    // Restores the per-plot defaults and rebuilds the base view.
    void resetSettings();

    // --- curve set, titles and caches (plotter_curves.cpp) ---
    // Stores a curve at an index, replacing any curve there (points and
    // attributes). With redraw the plot is rescaled and redrawn.
    void setCurveData(int index, CurveData&& curve, bool redraw = true);
    void setCurveData(int index, const CurveData& curve, bool redraw = true);
    // Resolves unset and palette colours of the stored curve.
    void applyDefaultAttributes(int index);
    void setCurveTitle(int index, const QString& title);
    // Titles that arrive in numbers (a load of many curves): the entry is
    // set at once, the legend laid out (and, with redraw, the plot redrawn)
    // once for all titles that arrive before the event loop is free again,
    // or at finishTitleBatch(), whichever comes first; there redraw false
    // lays the legend out without the redraw (the caller redraws anyway).
    void addCurveTitleToBatch(int index, const QString& title, bool redraw);
    void finishTitleBatch(bool redraw = true);
    void setLegendNames(const QStringList& names);
    void setLegendTexts(const std::vector<std::string>& texts);
    std::map<int, QString> curveTitles() const;
    // One text per curve, in id order: its legend text, or "" for a curve
    // without a legend entry (what the curve identification panel shows).
    QStringList curveDescriptors() const;
    void insertPoint(int index, double x, double y);
    // Removes the curve and its legend entry; returns the next curve.
    CurveMap::iterator eraseCurve(CurveMap::iterator it);
    // Empties the plot: markers, annotations, tables, curves, settings.
    void clearAll();
    void undo();
    Plotter* clonePlotter(const char* name, int logX, int logY, bool copyLegend);

    const CurveMap& curves() const { return m_curves; }
    const CurveData* curve(int index) const;
    bool autoCacheFilled() const { return m_autoCacheFilled; }

    // Curve extremes over one curve or ALL_CURVES (0 without curves).
    double minX(int index = ALL_CURVES) const;
    double maxX(int index = ALL_CURVES) const;
    double minY(int index = ALL_CURVES) const;
    double maxY(int index = ALL_CURVES) const;
    // The four extremes over all curves in one pass over the points:
    // (minX, maxX) and (minY, maxY), each 0 without a finite value.
    std::pair<AxisRange, AxisRange> extremes() const;
    // The smallest id not in use.
    int nextFreeCurveId() const;
    // False, with the ERROR "Invalid parameter. C%1 does not exist." or
    // "... does not have enough data points.", for an id without a curve or
    // with no complete point; ALL_CURVES always exists.
    bool curveExists(int index);
    // The id of the curve whose values are that very object, or -1.
    int curveIdOf(const CurveValues& values) const;
    // The sample spacing of a curve (or of all curves) in seconds: the mean
    // x spacing without outliers beyond three standard deviations, times
    // the seconds of the x-axis label's unit. NaN without any spacing.
    double sampleInterval(int index) const;

    // --- views (plotter_view.cpp) ---
    void setBaseView(const ViewRect& source, bool redraw);
    void autoDomain();
    void autoRange();
    void setDomain(const AxisRange& r);
    void setRange(const AxisRange& r);
    void updateLogScale(int xMode, int yMode);
    const ViewRect& view() const { return m_views.at(std::size_t(m_viewIndex)); }
    ViewRect& view() { return m_views.at(std::size_t(m_viewIndex)); }
    const std::vector<ViewRect>& views() const { return m_views; }
    int viewIndex() const { return m_viewIndex; }
    int zoomState() const { return m_zoomState; }

    // --- mapping and tick labels (plotter_mapping.cpp) ---
    QPoint dataToPixel(double x, double y, bool raw = false) const;
    QPointF pixelToData(const QPoint& p) const;
    // Chooses the y-label format and precision; returns the longest label.
    QString tickLabel(char& format, int& precision) const;
    int tickLabelHeight(bool raw) const;
    // Width of the widest y tick label as drawn; on a logarithmic axis the
    // decade base and the widest exponent of the decades in range.
    int yTickLabelWidth() const;
    int logYExponentWidth(const QFontMetrics& fm) const;
    // The x tick label texts of the view in force, one per tick 0..count,
    // and the decimals in force after the last.
    QStringList xTickLabels(int* decimals = nullptr) const;
    // The plot area: edges inclusive.
    QRect plotArea() const;

    // --- drawing (plotter_draw.cpp, plotter_axes.cpp, plotter_drawcurves.cpp) ---
    void drawAxes(QPainter& painter);
    void drawCurves(QPainter& painter);
    void drawHighlightedCurve(QPainter& painter);
    static void drawPointShape(QPainter& painter, const QPoint& centre, int diameter, int style);
    static void pointShapePolygon(QPainter& painter, const QPoint& centre, int corners, double radius);
    // The corners of that polygon: corner 0 straight above the centre, the
    // others clockwise on the screen; the last repeats the first.
    static QPolygon regularPolygon(const QPoint& centre, int corners, double radius);
    void drawBackground(QPainter& painter);
    void drawAnnotations(QPainter& painter);
    void loadBackgroundImage(const QString& fileName);
    void setBackgroundImageStyle(int style);
    void addAnnotation(const PointAnnotation& a);
    // Starts the blinking highlight of one curve (the curve panel's click).
    void highlightCurve(int index);
    // The backing pixmap, drawn for the plot as it is.
    const QPixmap& pixmap() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // --- labels (plotter_labels.cpp) ---
    QString title(const QString& text = QString(), SETGET mode = GET, bool redraw = true, bool raw = false);
    QString xLabel(const QString& text = QString(), SETGET mode = GET, bool redraw = true, bool raw = false);
    QString yLabel(const QString& text = QString(), SETGET mode = GET, bool redraw = true, bool raw = false);
    QString footnote(const QString& text = QString(), SETGET mode = GET);
    ActionLabel* titleLabel() const { return m_title; }
    ActionLabel* xLabelWidget() const { return m_xLabel; }
    RotLabel* yLabelWidget() const { return m_yLabel; }
    ActionLabel* footnoteLabel() const { return m_footnote; }
    PlotDiag* legend() const { return m_legend; }
    PlotDiag* markerTable() const { return m_markerTable; }
    int marginLeft() const { return m_marginLeft; }
    int marginRight() const { return m_marginRight; }
    int marginTop() const { return m_marginTop; }
    int marginBottom() const { return m_marginBottom; }

    // The message overlay (created on first use), centred on the plot area;
    // it goes after the given seconds, or stays until removed for -1.
    void showMessage(const QString& text, int seconds);

    // --- result plots (plotter_results.cpp) ---
    // How an analysis with a result plot makes that plot.
    struct ResultPlotSetup {
        const char* name = "";
        bool logX = false;
        bool logY = false;
        // The source's legend text of every curve id goes to the result.
        bool copyLegend = false;
        // The automatic undo copy of the result curves is taken.
        bool takeUndo = false;
        // The legend is refreshed and the labels placed anew at the end.
        bool refreshLegend = false;
    };
    // The texts an analysis gives its result plot; a null text leaves the
    // label as the new plot has it.
    struct ResultPlotTexts {
        QString title, xLabel, yLabel, footnote;
        std::map<int, QString> legend;
    };
    // The steps shared by the analyses whose results go to a new plot: the
    // result plot is cloned from this one and announced (newPlotterBuilt),
    // shows "Computing. Please Wait..." while compute stores the result
    // curves on it (setCurveData without redraw) and fills the texts; then
    // the undo copy when asked, the texts, the message removed, rescale,
    // and plotterSettingsChanged(result) from this plot. An exception from
    // compute is reported as "Error: %1" on the transcript; the result plot
    // then stays as far as it was filled, with its message. Ask for the
    // parameters before calling: a cancelled analysis makes no plot.
    Plotter* runResultAnalysis(const ResultPlotSetup& setup,
                               const std::function<void(Plotter& result, ResultPlotTexts& texts)>& compute);

    // --- filtering and fits (plotter_filters.cpp, plotter_fits.cpp) ---
    // Opens the filter designer for a FilterType with the plot's sample rate
    // and filters every curve with the accepted design (in place, or as new
    // curves with overlay).
    void filterCurves(int type);
    // The fit mode of a word ("overlay" 0, "replace" 1, "model" 2, "detrend"
    // 3, ignoring case; -1 for any other); a null word asks in a message box
    // (-1 for Esc).
    int promptFitMode(const QString& word);

    // --- curve selections (plotter_select.cpp) ---
    // Where a walk over a selection stands: the list position and the curve
    // id reached. Start with a default-constructed one.
    struct ListedCurve {
        int position = -1;
        int id = -1;
    };
    // Asks for curves (the all-curves entry first when offerAll) in a
    // dialog titled with the asking tool's name; a plot with exactly one
    // curve answers {1, its id} without asking. Cancelled: {0} and accepted
    // false. A plot without curves opens no dialog: the transcript says so
    // and the answer is {0} with accepted false. The answer is resolved
    // (resolveCurveIds).
    IdArray promptCurves(bool offerAll, bool* accepted = nullptr, const QString& title = QString());
    // Asks for exactly count (up to maxCount) curves; a plot holding exactly
    // count curves answers with all of them without asking, one holding
    // fewer opens no dialog and says so.
    IdArray promptExactCurves(int count, int maxCount, bool* accepted = nullptr, const QString& title = QString());
    // False, after telling the transcript, when fewer than needed items
    // (named by noun, "curve" or "marker") are there to choose from.
    bool enoughToChoose(const QString& title, const QString& noun, int available, int needed);
    // A selection starting with ALL_CURVES becomes every curve in ascending
    // order; an empty selection stays empty; other ids pass unchecked.
    IdArray resolveCurveIds(const IdArray& ids) const;
    std::vector<int> resolveCurveIdVector(const std::vector<int>& ids) const;
    // The next curve of a selection in list order, or nullptr at the end.
    // The first listed id is checked on every call and every later one when
    // it is reached (curveExists reports a missing or empty curve, and the
    // walk ends there). A curve listed twice is visited twice.
    CurveData* nextListedCurve(const IdArray& ids, ListedCurve& at);
    // The selection given, resolved; or, without one, the user's answer.
    IdArray selectionOrPrompt(const IdArray* ids, bool offerAll = true);

    // --- curve appearance and plot colours (plotter_appearance.cpp) ---
    // Set-or-query operations: the value is stored only under SET; each
    // returns the value in force. None of them redraws unless noted.
    // Invokable by signature (the main window applies them to every plot of
    // a tab in sync mode).
    Q_INVOKABLE int pointRadius(int radius, SETGET mode);
    Q_INVOKABLE int lineWidth(int width, SETGET mode);
    Q_INVOKABLE bool barMode(bool on, SETGET mode);
    Q_INVOKABLE double barFloor(double floor, SETGET mode);
    // These two redraw under SET.
    Q_INVOKABLE int tickFontSize(int size, SETGET mode);
    Q_INVOKABLE QString tickFontFamily(const QString& family, SETGET mode);
    const QColor& setGridColor(const QColor& colour);
    const QColor& setInsideColor(const QColor& colour);
    // Queries only with mode GET (1).
    const QColor& outsideColor(const QColor& colour, int mode);
    // Switches one curve's line (points false) or points; a curve never ends
    // with both off.
    void setLinesOrPoints(int id, bool points, OPTSTATES::QUADSTATE state);
    void applyLinesOrPoints(const std::vector<int>& ids, bool points, OPTSTATES::QUADSTATE state);
    // The "lines" and "pnts" commands: ids as the console lists them (a
    // first ALL_CURVES means every curve).
    Q_INVOKABLE void setLines(const std::vector<int>& ids, OPTSTATES::QUADSTATE state);
    Q_INVOKABLE void setPoints(const std::vector<int>& ids, OPTSTATES::QUADSTATE state);
    bool allPointsShown() const;
    bool allLinesShown() const;
    // Each curve takes the colours of the next; the last those of the first.
    Q_INVOKABLE void cycleCurveColors();
    void refreshCurveIdPanel();
    CurveIDPanel* curveIdPanel() const { return m_curveIdPanel; }

    // --- curve statistics (plotter_stats.cpp) ---
    // A StatisticFunction::Code over the points of the listed curves pooled
    // (an empty list: every curve); axis 0 x, 1 y.
    double aggregateStatistic(int function, int axis, const IdArray& ids) const;
    // The statistic of each curve on its own, by curve id.
    std::map<int, double> curveStatistics(int function, int axis) const;

    // --- live data (plotter_live.cpp) ---
    // Appends a batch of interleaved points to a curve, keeping at most the
    // newest maxPoints points (-1: no limit), and widens the base view.
    // rescale: recompute the y range from all curves instead of only
    // widening it. Does not redraw.
    void appendLiveData(int id, const std::vector<double>& points, int maxPoints, bool rescale);
    double pointRate() const { return m_pointRate; }

    // --- curve data export (plotter_export.cpp) ---
    // flags: 2 curves one after another, 4 side by side (1: a header was
    // asked for). files: curve number (id + 1) to path.
    void writeCurveFiles(int flags, const std::map<int, QString>& files, const QString& header);

    // --- legend and marker table (plotter_legend.cpp) ---
    // The legend position by word ("off", "top", "bottom", "left", "right");
    // returns the word in force ("" when floating or embedded).
    // mode: a SETGET value.
    Q_INVOKABLE QString setLegendPosition(const QString& word, int mode, bool force = false);

    // --- markers (plotter_markers.cpp) ---
    // The widget of a marker or difference number; null when there is none.
    MarkerWidget* markerWidget(int number) const;
    MarkerDiffWidget* markerDiffWidget(int number) const;
    // Removes every marker and difference and restarts the numbering at M1;
    // no message, no redraw.
    void removeAllMarkers();
    // Creates and positions the marker and difference widgets (redraw).
    void placeMarkers();
    // Fills the marker table with each curve's value at each vertical marker.
    void updateMarkerTable();
    // The date text of a marker or the readout: the 24-character calendar
    // time of an MJD (seconds rounded), "Out of bounds" outside the MJD range.
    static QString mjdDateText(double mjd);

    // --- mouse tools (plotter_mouse.cpp) ---
    // The main window calls these by signature.
    Q_INVOKABLE bool setCropMode(bool on, SETGET mode = SET);
    Q_INVOKABLE bool setEraserMode(bool on, SETGET mode = SET);
    Q_INVOKABLE bool setDataSelectMode(bool on, SETGET mode = SET);
    Q_INVOKABLE bool setPanMode(bool on, SETGET mode = SET);
    // Snaps the readout to the nearest point of one curve (asked for).
    Q_INVOKABLE bool snapTo(bool on, SETGET mode = SET);
    // The snap curve's point nearest to pos on screen (data values, without
    // the x offset); moves the snap circle there. (0, 0) without points.
    QPointF nearestPoint(const QPoint& pos);
    // Shifts the view in force by a pixel displacement; no redraw.
    Q_INVOKABLE void panBy(int dx, int dy, const QPoint& origin);
    // A new view of the zoom history from a rectangle in widget pixels.
    void zoomToRect(const QRect& rect, bool forward);
    // Schedules the repaint of the rubber band's outline and image square.
    void drawRubberBand();
    // The readout text for a data point in the format in force ("" when off).
    QString readoutText(const QPointF& p) const;
    int mouseMode() const { return m_mouseMode; }
    int snapCurveId() const { return m_snapCurveId; }
    QLabel* coordLabel() const { return m_coordLabel; }
    ActionCircle* snapCircle() const { return m_snapCircle; }

    // --- crop and erase (plotter_crop.cpp) ---
    // Keeps, in the listed curves, the points inside the limits (x low, x
    // high[, y low, y high]); every pair is put in order first.
    Q_INVOKABLE void crop(const std::vector<double>& limits, const std::vector<int>& ids);
    // Keeps the points inside the rectangle (corner 1 top-left, corner 2
    // bottom-right, data values) in the listed curves.
    void cropToRect(const QPointF& topLeft, const QPointF& bottomRight, const std::vector<int>& ids);
    // Removes the points inside the rectangle from every curve.
    void erasePointsInRect(const QPointF& topLeft, const QPointF& bottomRight);

    // --- arithmetic and expressions (plotter_arith.cpp, plotter_expression.cpp) ---
    // One add, sub, mul or div command line applied to the curves.
    Q_INVOKABLE void arithmeticCommand(const QString& line);
    // One operation (arith::Operation) with one value on the x (axis 0) or
    // y (axis 1) values of a curve, or of every curve for ALL_CURVES. No
    // undo point, no redraw; a missing curve is reported and left alone.
    void applyArithmetic(double value, int curveId, int operation, int axis);
    // Stores the result of an expression worker, reports and deletes it.
    void expressionFinished(ExpressionThread* worker);
    // --- custom labels (plotter_annotations.cpp) ---
    // The custom label of a number, created (and placed at its table row's
    // position) when there is none.
    ActionLabel* customLabel(int id);
    Labeler* labeler() const { return m_labeler; }
    ArrowTable* arrowTable() const { return m_arrowTable; }

    // Expression workers still running for this plot.
    const std::vector<ExpressionThread*>& expressionWorkers() const { return m_expressionThreads; }

public Q_SLOTS:
    void cache(int mode);
    void removeCurve(int index);
    void removeCurves(const IdArray& ids);
    void removeAllCurves();
    void deleteMsg();
    void plot();
    void rescale();
    void zoomOut();
    void zoomIn();
    void promptDomain();
    void promptRange();
    void setXTickGranularity(double g = 0.0);
    void setYTickGranularity(double g = 0.0);
    void on_togLogScaleX();
    void on_togLogScaleY();
    void on_changeTitle();
    void on_changeXLabel();
    void on_changeYLabel();
    void on_changeFootnote();
    void redrawCurves();
    void refreshPixmap();
    void reshapeLabels();

    // --- Plot widget II: slots with their bodies ---
    // Asks for the curves to remove.
    void removeCurves();
    // Asks for curves and a point, and inserts the point into each.
    void on_addPoint();
    void dockLegend(DockState state);
    void dockMarkerTable(DockState state);
    bool inMjdRange();
    void linData();
    void logData();
    bool logScaleX(bool on = false, SETGET mode = GET);
    bool logScaleY(bool on = false, SETGET mode = GET);
    void on_convertFromUnixToMJD();
    void on_togBar();
    void on_togDateTimeAxis();
    void on_togGrid();
    void on_togLine();
    void on_togLineIntensity();
    void on_togPnts();
    void saveData(const QString& path = QString());
    void sort(int index = ALL_CURVES, bool redraw = true);
    void arithDiagClosed();
    void changeAxesColor();
    void changeAxesMarkersColor();
    void changeFootnoteColor();
    void changeGridColor();
    // These two swap to the dark scheme for black and back for white.
    void changeInsideColor();
    void changeOutsideColor();
    void changeTitleColor();
    void curveIdentifierItemClicked(CurveListItem* item);
    void decreaseLineWidth();
    void decreasePntRadius();
    void increaseLineWidth();
    void increasePntRadius();
    void moveCopyCurve();
    void rotate3Dx();
    void rotate3Dy();
    void setTickFontSize();
    void setLineColor(int id, Rgb colour);
    void setPointShapeColor(int id, Rgb colour);
    void setPointFillColor(int id, Rgb colour);
    void setPointShape(int id, Zavozi::CurveAttributes::PointStyle shape);

    // --- custom labels and arrows (plotter_annotations.cpp) ---
    // Adds an arrow at once (the table is not shown).
    void addArrow();
    // Fits an arrow to the plot area: origin at the area's top-left corner,
    // drag bounds and size of the area. Runs on every full redraw.
    void arrowInit(ArrowWidget* arrow);
    // Opens the custom-labels table (created on first use).
    void showLabeler();
    // The table's requests, by label number.
    void labelDeleteReq(int id);
    void labelTextChangeReq(int id);
    void paintLabel(int id);
    // From the custom label that sent them: written back into its row.
    void labelDragged(const QPoint& at);
    void labelTextChanged(const QString& text);
    // Result plots.
    void buildNoise();
    // Analyses and data operations.
    void arithDiag();
    void avgData(int points = 0, bool overlay = true);
    void avgDataSpan(double span = 0.0, bool overlay = true);
    void cumulativeSum();
    void cumulativeSum(const IdArray& ids);
    void detrendLin();
    void detrendQuad();
    void detrendCubic();
    void detrendPoly(int order = 0);
    void differentiate();
    void differentiate(const IdArray& ids);
    void expression(const QString& text = QString(), bool flag = false);
    void integrate();
    void integrate(const IdArray& ids);
    void modelLin();
    void modelQuad();
    void modelCubic();
    void modelPoly(int order = 0);
    void ndiff(int order = -1);
    void ndiff(int order, const IdArray& ids);
    void normalize(double lower = 0.0, double upper = 0.0);
    void normalize(double lower, double upper, const IdArray& ids);
    void plotacf();
    void plotxcf();
    void plotconv();
    void plotAdev();
    void plotfft(int type);
    void plothist();
    void plotifft();
    void plotoscpwr();
    void plotphasenoise();
    void plotpsd();
    void poly(int order = 0, const QString& mode = QString());
    void poly(int order, const QString& mode, const IdArray& ids);
    void removeMean();
    void removeMean(const IdArray& ids);
    void removeMeanAggr();
    void removeMeanAggr(const IdArray& ids);
    // Rotates the y values of the listed curves by points places (x values
    // stay); points 0 or less asks in a dialog and emits the command.
    void rotateCurves(int points = 0);
    void rotateCurves(int points, const IdArray& ids, bool left = true);
    void showStatistics();
    void smoothData(int points = 0);
    void smoothData(int points, const IdArray& ids, bool overlay = true);
    // Sorts the listed curves by x, stopping at the first id without a
    // usable curve, and rescales.
    void sort(const IdArray& ids);
    void timeintToFracfreq();
    void timeintToFracfreq(const IdArray& ids);
    void fracFreqToTimeInt();
    void fracFreqToTimeInt(const IdArray& ids);
    void trimOutliers_n(bool flag);
    void trimOutliers(double sigma = 2.0, bool flag = false);
    void unwrap(double phase = 0.0);
    void unwrap(double phase, const IdArray& ids);
    void butterworth();
    void fir();
    void smooth_fir();

    // --- markers (plotter_markers.cpp) ---
    // Without a position the user is asked and a command is emitted.
    void addVMarker(const double* const position = nullptr, bool redraw = true);
    void addHMarker(double* position = nullptr, bool redraw = true);
    // 0, 0 asks for two markers (unless the plot holds exactly two).
    void addMarkerDiff(int first = 0, int second = 0, bool redraw = true);
    // Asks which markers to remove and emits the command.
    void removeMarkers();
    // Marker numbers; a first number 0 removes every marker.
    void removeMarkers(const IdArray& numbers);

    // --- mouse tools (plotter_mouse.cpp) ---
    void toggleMouseXY();
    void toggleMouseDateY();
    void toggleMouseDateXY();

Q_SIGNALS:
    void adevstarted(const Plotter* const);
    void adevstopped(const Plotter* const);
    void autoCacheAvailable();
    void autoCacheEmptied();
    void dropfiles(QStringList);
    void command(const QString&);
    void mjdInRange(bool);
    void mousePanEvent(int, int, QPoint);
    void newPlotterBuilt(Plotter*);
    void plotterClicked(Plotter*);
    void plotterRateUpdate(Plotter*, double);
    void plotterSettingsChanged(Plotter*);
    void reqCurvesMove(Plotter* const);
    void transcript(const QString&);
    void verbose(ZEVOVE::TYPE, const QString&);
    void zoomBtnChanged(ZOOM);

private Q_SLOTS:
    // --- markers (plotter_markers.cpp) ---
    void moveMarker(int number, SearchType type);
    void updateMarkerLocation(int number);
    void drawMarkerDifferences();

protected:
    // Results of worker threads (plotter_events.cpp): the Allan-deviation
    // engines' results, progress and completion, the expression workers'
    // completion.
    void customEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // --- mouse tools (plotter_mouse.cpp) ---
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // --- wheel and keys (plotter_keys.cpp) ---
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

public:
    // ---- state; every member with its value after construction ----
    // Curve set and undo caches.
    CurveMap m_curves;
    CurveMap m_autoCache;
    std::map<int, QString> m_autoCacheTitles;
    // The y label the undo copy goes with, when the operation after it
    // changed the label (a unit conversion): undo restores both.
    std::optional<QString> m_autoCacheYLabel;
    bool m_autoCacheFilled = false;
    // A cache that has been filled at least once may be restored; restoring
    // one never filled would empty the plot.
    bool m_autoCacheValid = false;
    CurveMap m_userCache;
    std::map<int, QString> m_userCacheTitles;
    bool m_userCacheValid = false;

    // View and axes.
    std::vector<ViewRect> m_views;
    int m_viewIndex = 0;
    int m_zoomState = 0;
    double m_xGranularity = -1.0;
    double m_yGranularity = -1.0;
    bool m_logX = false;
    bool m_logY = false;
    int m_logXSign = 0;
    int m_logYSign = 0;
    bool m_dateTimeAxis = false;
    double m_xOffset = 0.0;
    QFont m_tickFont;
    int m_tickFontHeight = 0;
    int m_yTickLabelWidth = 100;
    // Titles added since the legend was last laid out (addCurveTitleToBatch).
    struct TitleBatch {
        bool pending = false;
        bool redraw = false;
    } m_titleBatch;
    int m_xTickDecimals = 0;

    // Layout.
    int m_marginTop = -1;
    int m_marginBottom = 0;
    int m_marginRight = 40;
    int m_marginLeft = 0;
    int m_leftMarginOverride = -1;

    // Appearance.
    QColor m_insideColor;
    QColor m_outsideColor;
    QColor m_gridColor;
    QColor m_axesColor;
    QColor m_axesMarkersColor;
    QColor m_titleColor;
    QColor m_footnoteColor;
    int m_lineWidth = 0;
    int m_pointDiameter = 5;
    bool m_lineIntensity = false;
    bool m_barMode = false;
    double m_barFloor;
    bool m_gridHorizontal = true;
    bool m_gridVertical = true;
    bool m_threeD = false;
    bool m_blueScale = false;
    double m_depthX = 6.0;
    double m_depthY = 3.0;
    bool m_fillPlotArea = false;
    QPixmap m_backgroundImage;
    int m_backgroundImageStyle = CENTERED;

    // Drawing buffers.
    QPixmap m_pixmap;
    QPixmap m_highlightPixmap;
    int m_highlightedCurve = -1;
    int m_highlightDrawCount = 0;
    QTimer* m_refreshTimer = nullptr;
    // A redraw asked for while the plot's tab was not shown.
    bool m_drawWhenShown = false;

    // Labels, panels and overlays.
    ActionLabel* m_title = nullptr;
    ActionLabel* m_xLabel = nullptr;
    RotLabel* m_yLabel = nullptr;
    ActionLabel* m_footnote = nullptr;
    QLabel* m_coordLabel = nullptr;
    QPointer<QLabel> m_message;
    QTimer* m_messageTimer = nullptr;
    PlotDiag* m_legend = nullptr;
    PlotDiag* m_markerTable = nullptr;
    // The curve identification panel has no parent widget; the plot owns it.
    CurveIDPanel* m_curveIdPanel = nullptr;
    ActionCircle* m_snapCircle = nullptr;
    std::vector<ActionLabel*> m_customLabels;
    // The annotation tables: top-level windows without parent, created on
    // first use, deleted when the plot is cleared or destroyed. Deleting the
    // arrow table deletes its arrows; the custom labels are the plot's own.
    Labeler* m_labeler = nullptr;
    ArrowTable* m_arrowTable = nullptr;
    std::vector<PointAnnotation> m_annotations;

    // Markers (plotter_markers.cpp). The widgets are children of the plot,
    // deleted when their marker or difference goes.
    std::map<int, MarkerRecord> m_markers;
    std::map<int, std::pair<int, int>> m_markerDiffs;
    std::vector<MarkerWidget*> m_markerWidgets;
    std::vector<MarkerDiffWidget*> m_markerDiffWidgets;
    int m_nextMarkerNumber = 1;
    // Difference numbers are unique in the process: never reset.
    static int s_nextMarkerDiffNumber;

    // Mouse tools (plotter_mouse.cpp).
    int m_mouseMode = 0;
    std::map<int, ModeCursor> m_modeCursors;
    bool m_rubberBandShown = false;
    QRect m_rubberBand;
    QRect m_modeImageRect;
    QPoint m_panOrigin;
    bool m_readoutXY = false;
    bool m_readoutDateY = false;
    bool m_readoutDateXY = false;
    bool m_snapToCurve = false;
    // The curve the readout snaps to, by id (-1 none): a removed curve
    // simply stops the snap.
    int m_snapCurveId = -1;
    // Nearest-point search over the snap curve, rebuilt after each redraw.
    std::shared_ptr<NearestPointIndex> m_snapIndex;
    // The window whose moves a floating legend follows.
    QPointer<QWidget> m_watchedWindow;

    // Drawing keeps only what can change the picture (see curveraster.h);
    // false draws every segment and symbol (for comparisons).
    bool m_reduceDrawing = true;
    // The line paths of the curve being drawn, kept so that the many
    // redraws of a live plot reuse their memory.
    curveraster::Polylines m_linePaths;
    // The date-range check of the x values runs until it fails once in a redraw.
    bool m_mjdRangeTestOn = true;

    // Live data.
    bool m_liveData = false;
    bool m_mjdInRange = false;
    bool m_autoConvertMjdLive = true;

    // Live rate meter: the clock starts with the first live batch; the rate
    // is a smoothed number of points per second.
    std::optional<QElapsedTimer> m_rateClock;
    // Milliseconds of the rate meter's clock; tests put a fake clock here.
    std::function<qint64()> m_rateClockSource;
    qint64 m_rateLastMs = 0;
    quint64 m_ratePointCount = 0;
    double m_pointRate = 0.0;

    // The arithmetic command dialog while it is open.
    QPointer<CommandDialog> m_arithDialog;

    // The Allan-deviation engines that deliver results to this plot. The
    // plot owns them; each goes when its DONE event has been handled, and
    // the destructor cancels, waits for and deletes those still running.
    std::vector<AdevThread*> m_adevThreads;
    // The noise generator's dialog, made on first use; it keeps its entries.
    NoiseGenDiag* m_noiseDialog = nullptr;
    // The expression workers delivering to this plot; owned the same way.
    std::vector<ExpressionThread*> m_expressionThreads;
    QString m_outputPath;

private:
    // The Allan-deviation engine events (plotter_events.cpp).
    void adevResult(AdevUpdateEvent* event);
    void adevProgress(AdevUpdateEvent* event);
    void adevDone(AdevUpdateEvent* event);
    // Shared parts of the drawing.
    bool curveMapping(curveraster::Mapping& m, int place, int curveCount) const;
    QColor curveColor(const CurveData& c, int place, int curveCount) const;
    void drawOneCurve(QPainter& painter, const CurveData& c, int place, int curveCount, int barSlot,
                      const QColor& colour, bool highlightPhase, bool highlight, bool* mjdSeen);
    void composeInto(QPainter& painter);
    // The redraw of refreshPixmap(), also for a plot that is not shown.
    void drawPixmapNow();
    void widenFor3D();
    void restoreCache(const CurveMap& source, const std::map<int, QString>& titles);
    bool takeCache(CurveMap& target, std::map<int, QString>& titles);
    void emitZoomState(int state);
    // Markers: shared geometry of placement and differences.
    struct MarkerFrame;
    MarkerFrame markerFrame() const;
    void setMarkerValueText(MarkerWidget* w, const MarkerRecord& m) const;
    double viewBoundToData(int axis, double bound) const;
    // Deletes every marker and difference widget.
    void deleteMarkerWidgets();
    // Adding a marker of an orientation (0 vertical, 1 horizontal).
    void addMarker(int orientation, const double* position, bool redraw);
    // Asks for marker numbers (the all-markers entry is number 0).
    std::vector<int> promptMarkers(const QString& title, int minSelected, int maxSelected, bool offerAll,
                                   bool* accepted);
    // Mouse tools: under SET switches tool `which` on (or every tool off);
    // tells whether `which` is in force.
    bool mouseMode(int which, bool on, SETGET mode);
    void buildModeCursors();
    void selectDataInRect(const QRect& band);
    // Wheel and keys: shifts the range in force of one axis by a number of
    // tick steps and recomputes its ticks.
    void scrollAxis(int axis, double steps);
    double depthX() const;
    double depthY() const;

    // The rotation dialog; emits the rotation command it composes.
    void promptRotation();

    // The legend entry of a curve title, and the legend's size and showing.
    void placeCurveTitle(int index, const QString& title);
    void layOutLegend();

    // Plot widget II helpers.
    void connectPanels();
    qint64 rateClockMs() const;
    bool pickColour(QColor& colour);
    void setCurveColour(int id, Rgb Zavozi::CurveAttributes::*which, Rgb colour);
    IdArray runCurveSelector(int minSelected, int maxSelected, bool offerAll, bool* accepted, const QString& title);

    // In-place transforms (plotter_transforms.cpp): the listed curves (or,
    // without a list, every curve or the user's choice) each go through
    // change(id, curve) after the automatic undo copy; false when nothing
    // ran (cancelled or failed). The title names the tool in the curve
    // prompt.
    template <typename Change>
    bool transformCurves(const IdArray* ids, bool everyCurve, Change change, const QString& title = QString());
    void cumulativeSumOf(const IdArray* ids);
    void differentiateOf(const IdArray* ids);
    void integrateOf(const IdArray* ids);
    void ndiffOf(int order, const IdArray* ids);
    void unwrapOf(double phase, const IdArray* ids);
    // Time-interval and fractional-frequency conversions (plotter_timeconv.cpp).
    void timeintToFracfreqOf(const IdArray* ids);
    void fracFreqToTimeIntOf(const IdArray* ids);
    // Whether x counts as days (Modified Julian Dates); asks when the x
    // values look like dates but the label does not say so.
    bool xCountsAsDays();
    // Analyses II helpers.
    // False, after an error line naming the curve, when the plot has no
    // curves or one of them (of ids, when given) has fewer than minPoints
    // points or, with finiteY, a y value that is not a finite number.
    bool usableForAnalysis(int minPoints, bool finiteY = false, const std::vector<int>& ids = {});
    // A warning for each curve whose x values are not evenly spaced.
    void warnUnevenSpacing();
    void correlateTwoCurves(bool convolve);
    void smoothCurves(int n, const IdArray* ids, bool overlay);
    // The averaging frame: the curve choice, the undo copy, one result per
    // chosen curve (none when average gives nothing), titles with overlay.
    void averageCurves(bool overlay,
                       const std::function<std::optional<std::vector<double>>(const CurveData&)>& average,
                       const QString& title);
    void fitCurves(int order, const QString& word, const IdArray* ids);
};
