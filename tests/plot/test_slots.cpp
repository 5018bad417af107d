// The plot's slots as an interface: every signature the toolbox and the tabs
// may invoke by text, and the small slots of the plot itself.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>

#include <cmath>

#include "platform/commanddialog.h"
#include "plot_fixture.h"
#include "plot_signals.h"

using namespace plottest;

namespace {

// An arithmetic dialog as far as the plot sees it.
class FakeCommandDialog : public CommandDialog {
public:
    bool accepted = false;
    QString text;
    bool acceptedCommand() const override { return accepted; }
    QString commandText() const override { return text; }
};

} // namespace

TEST(PlotSlots, EverySignatureResolves)
{
    const char* signatures[] = {
        "addArrow()", "addHMarker()", "addHMarker(double*)", "addHMarker(double*,bool)", "addMarkerDiff()",
        "addMarkerDiff(int)", "addMarkerDiff(int,int)", "addMarkerDiff(int,int,bool)", "addVMarker()",
        "addVMarker(const double*)", "addVMarker(const double*,bool)", "arithDiag()", "avgData()", "avgData(int)",
        "avgData(int,bool)", "avgDataSpan()", "avgDataSpan(double)", "avgDataSpan(double,bool)", "buildNoise()",
        "cache(int)", "cumulativeSum()", "cumulativeSum(IdArray)", "deleteMsg()", "detrendLin()", "detrendQuad()",
        "detrendCubic()", "detrendPoly()", "detrendPoly(int)", "differentiate()", "differentiate(IdArray)",
        "dockLegend(DockState)", "dockMarkerTable(DockState)", "expression()", "expression(QString)",
        "expression(QString,bool)", "integrate()", "integrate(IdArray)", "inMjdRange()", "linData()", "logData()",
        "logScaleX()", "logScaleX(bool)", "logScaleX(bool,SETGET)", "logScaleY()", "logScaleY(bool)",
        "logScaleY(bool,SETGET)", "modelLin()", "modelQuad()", "modelCubic()", "modelPoly()", "modelPoly(int)",
        "ndiff()", "ndiff(int)", "ndiff(int,IdArray)", "normalize()", "normalize(double)", "normalize(double,double)",
        "normalize(double,double,IdArray)", "on_convertFromUnixToMJD()", "on_changeTitle()", "on_changeXLabel()",
        "on_changeYLabel()", "on_changeFootnote()", "on_togBar()", "on_togDateTimeAxis()", "on_togGrid()",
        "on_togLine()", "on_togLineIntensity()", "on_togLogScaleX()", "on_togLogScaleY()", "on_togPnts()", "plot()",
        "plotacf()", "plotxcf()", "plotconv()", "plotAdev()", "plotfft(int)", "plothist()", "plotifft()",
        "plotoscpwr()", "plotphasenoise()", "plotpsd()", "poly()", "poly(int)", "poly(int,QString)",
        "poly(int,QString,IdArray)", "redrawCurves()", "removeMarkers()", "removeMarkers(IdArray)",
        "removeAllCurves()", "removeCurve(int)", "removeCurves()", "removeCurves(IdArray)", "removeMean()",
        "removeMean(IdArray)", "removeMeanAggr()", "removeMeanAggr(IdArray)", "rescale()", "rotateCurves()",
        "rotateCurves(int)", "rotateCurves(int,IdArray)", "rotateCurves(int,IdArray,bool)", "saveData()",
        "saveData(QString)", "setXTickGranularity()", "setXTickGranularity(double)", "setYTickGranularity()",
        "setYTickGranularity(double)", "showLabeler()", "showStatistics()", "smoothData()", "smoothData(int)",
        "smoothData(int,IdArray)", "smoothData(int,IdArray,bool)", "sort(IdArray)", "sort()", "sort(int)",
        "sort(int,bool)", "timeintToFracfreq()", "timeintToFracfreq(IdArray)", "fracFreqToTimeInt()",
        "fracFreqToTimeInt(IdArray)", "toggleMouseDateXY()", "toggleMouseDateY()", "toggleMouseXY()",
        "trimOutliers_n(bool)", "trimOutliers()", "trimOutliers(double)", "trimOutliers(double,bool)", "unwrap()",
        "unwrap(double)", "unwrap(double,IdArray)", "arithDiagClosed()", "butterworth()", "changeAxesColor()",
        "changeAxesMarkersColor()", "changeFootnoteColor()", "changeGridColor()", "changeInsideColor()",
        "changeOutsideColor()", "changeTitleColor()", "curveIdentifierItemClicked(CurveListItem*)",
        "decreaseLineWidth()", "decreasePntRadius()", "drawMarkerDifferences()", "fir()", "increaseLineWidth()",
        "increasePntRadius()", "labelDeleteReq(int)", "labelDragged(QPoint)", "labelTextChangeReq(int)",
        "labelTextChanged(QString)", "moveMarker(int,SearchType)", "moveCopyCurve()", "on_addPoint()",
        "paintLabel(int)", "promptDomain()", "promptRange()", "refreshPixmap()", "reshapeLabels()", "rotate3Dx()",
        "rotate3Dy()", "setTickFontSize()", "smooth_fir()", "updateMarkerLocation(int)", "setLineColor(int,Rgb)",
        "setPointShapeColor(int,Rgb)", "setPointFillColor(int,Rgb)",
        "setPointShape(int,Zavozi::CurveAttributes::PointStyle)",
    };
    const QMetaObject& mo = Plotter::staticMetaObject;
    for (const char* s : signatures)
        EXPECT_GE(mo.indexOfMethod(QMetaObject::normalizedSignature(s).constData()), 0) << s;

    const char* signalSignatures[] = {
        "adevstarted(const Plotter*)", "adevstopped(const Plotter*)", "autoCacheAvailable()", "autoCacheEmptied()",
        "dropfiles(QStringList)", "command(QString)", "mjdInRange(bool)", "mousePanEvent(int,int,QPoint)",
        "newPlotterBuilt(Plotter*)", "plotterClicked(Plotter*)", "plotterRateUpdate(Plotter*,double)",
        "plotterSettingsChanged(Plotter*)", "reqCurvesMove(Plotter*)", "transcript(QString)",
        "verbose(ZEVOVE::TYPE,QString)", "zoomBtnChanged(ZOOM)",
    };
    // Set-or-query operations the main window reaches by signature.
    for (const char* s : {"pointRadius(int,SETGET)", "lineWidth(int,SETGET)", "barMode(bool,SETGET)",
                          "barFloor(double,SETGET)", "tickFontSize(int,SETGET)", "tickFontFamily(QString,SETGET)",
                          "setLines(std::vector<int>,OPTSTATES::QUADSTATE)",
                          "setPoints(std::vector<int>,OPTSTATES::QUADSTATE)", "cycleCurveColors()",
                          "setLegendPosition(QString,int,bool)"})
        EXPECT_GE(mo.indexOfMethod(QMetaObject::normalizedSignature(s).constData()), 0) << s;
    for (const char* s : signalSignatures)
        EXPECT_GE(mo.indexOfSignal(QMetaObject::normalizedSignature(s).constData()), 0) << s;
}

TEST(PlotSlots, LogScaleQueriesUnlessSet)
{
    auto p = makePlot();
    const qint64 before = p->pixmap().cacheKey();
    bool answer = true;
    ASSERT_TRUE(QMetaObject::invokeMethod(p.get(), "logScaleX", Q_RETURN_ARG(bool, answer), Q_ARG(bool, true)));
    EXPECT_FALSE(answer);
    EXPECT_FALSE(p->m_logX);
    ASSERT_TRUE(QMetaObject::invokeMethod(p.get(), "logScaleX", Q_RETURN_ARG(bool, answer), Q_ARG(bool, true),
                                          Q_ARG(SETGET, SET)));
    EXPECT_TRUE(answer);
    EXPECT_TRUE(p->m_logX);
    EXPECT_TRUE(p->logScaleY(true, SET));
    EXPECT_EQ(p->pixmap().cacheKey(), before) << "no redraw";
}

TEST(PlotSlots, LogAndLinData)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 100}, {1, -3}, {2, 0}, {3, 0.001}, {4, -0.0}}), false);
    p->setCurveData(1, CurveData(), false);
    p->setCurveData(2, curveOf({{0, -1}, {1, 0}}), false);
    p->setCurveData(3, curveOf({{5, 1e-300}, {6, 1000}}), false);
    Reports reports(*p);
    QSignalSpy cached(p.get(), &Plotter::autoCacheAvailable);
    p->logData();
    // Points at or below 0 (-0 too, the last point too) are left out and counted.
    EXPECT_EQ(p->curve(0)->values, (std::vector<double>{0, 2, 3, -3}));
    EXPECT_EQ(p->curve(2)->values, (std::vector<double>{0, -1, 1, 0})) << "nothing left: unchanged";
    EXPECT_EQ(p->curve(3)->values, (std::vector<double>{5, -300, 6, 3}));
    EXPECT_EQ(reports.lines, QStringList{"log10(y): 3 point(s) of C1 at or below 0 were left out.\n"
                                         "log10(y): every value of C3 is at or below 0; C3 was left as it is."});
    EXPECT_EQ(cached.size(), 1);
    p->undo();
    EXPECT_EQ(p->curve(0)->pointCount(), 5u);
    p->logData();
    p->linData();
    EXPECT_EQ(p->curve(0)->values, (std::vector<double>{0, 100, 3, std::pow(10.0, -3.0)}));
    EXPECT_TRUE(p->curve(1)->values.empty());
}

TEST(PlotSlots, SortTakesAnUndoCopyEvenForAMissingCurve)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{2, 20}, {1, 10}}), false);
    p->setCurveData(1, curveOf({{5, 1}, {4, 2}}), false);
    QSignalSpy cached(p.get(), &Plotter::autoCacheAvailable);
    ASSERT_TRUE(QMetaObject::invokeMethod(p.get(), "sort", Q_ARG(int, 7)));
    EXPECT_EQ(cached.size(), 1);
    EXPECT_EQ(p->curve(0)->x(0), 2);
    p->sort(0);
    EXPECT_EQ(p->curve(0)->values, (std::vector<double>{1, 10, 2, 20}));
    EXPECT_EQ(p->curve(1)->x(0), 5);
    p->sort();
    EXPECT_EQ(p->curve(1)->values, (std::vector<double>{4, 2, 5, 1}));
}

TEST(PlotSlots, ArithmeticDialogClosing)
{
    auto p = makePlot();
    QSignalSpy commands(p.get(), &Plotter::command);
    auto* cancelled = new FakeCommandDialog;
    cancelled->text = "add 1 C1";
    p->m_arithDialog = cancelled;
    QPointer<FakeCommandDialog> watch(cancelled);
    p->arithDiagClosed();
    EXPECT_TRUE(commands.isEmpty());
    EXPECT_FALSE(p->m_arithDialog);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(watch) << "deleted later";

    auto* accepted = new FakeCommandDialog;
    accepted->accepted = true;
    accepted->text = "mult 2 C1";
    p->m_arithDialog = accepted;
    p->arithDiagClosed();
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands.at(0).at(0).toString(), "mult 2 C1");
}

TEST(PlotSlots, SmallSlots)
{
    auto p = makePlot();
    p->setCurveData(0, curveOf({{0, 0}, {1, 1}}), false);
    p->setCurveData(1, curveOf({{0, 1}, {1, 0}}), false);
    QSignalSpy moves(p.get(), &Plotter::reqCurvesMove);
    ASSERT_TRUE(QMetaObject::invokeMethod(p.get(), "moveCopyCurve"));
    ASSERT_EQ(moves.size(), 1);
    EXPECT_EQ(moves.at(0).at(0).value<Plotter*>(), p.get());

    ASSERT_TRUE(QMetaObject::invokeMethod(p.get(), "on_togDateTimeAxis"));
    EXPECT_TRUE(p->m_dateTimeAxis);
    ASSERT_TRUE(QMetaObject::invokeMethod(p.get(), "on_togBar"));
    EXPECT_TRUE(p->m_barMode);

    p->refreshPixmap();
    p->curveIdentifierItemClicked(p->curveIdPanel()->curveItem(1));
    EXPECT_EQ(p->m_highlightedCurve, 1) << "the panel numbers curves from 1";

}
