// Plotter: slots of the plot's interface whose operations are built by
// later families (annotations, markers, mouse tools, analyses). Each reports
// that the operation is not available yet; the family that builds one
// replaces its line here with the real body in its own file.
#include "plot/plotter.h"

void Plotter::notAvailableYet(const char* slot)
{
    Q_EMIT transcript(tr("Error: %1 is not available yet.").arg(QLatin1String(slot)));
}

void Plotter::addArrow() { notAvailableYet("addArrow"); }
void Plotter::showLabeler() { notAvailableYet("showLabeler"); }
void Plotter::labelDeleteReq(int) { notAvailableYet("labelDeleteReq"); }
void Plotter::labelDragged(const QPoint&) { notAvailableYet("labelDragged"); }
void Plotter::labelTextChangeReq(int) { notAvailableYet("labelTextChangeReq"); }
void Plotter::labelTextChanged(const QString&) { notAvailableYet("labelTextChanged"); }
void Plotter::paintLabel(int) { notAvailableYet("paintLabel"); }
void Plotter::buildNoise() { notAvailableYet("buildNoise"); }
void Plotter::arithmeticCommand(const QString&) { notAvailableYet("arithmeticCommand"); }
void Plotter::arithDiag() { notAvailableYet("arithDiag"); }
void Plotter::avgData(int, bool) { notAvailableYet("avgData"); }
void Plotter::avgDataSpan(double, bool) { notAvailableYet("avgDataSpan"); }
void Plotter::cumulativeSum() { notAvailableYet("cumulativeSum"); }
void Plotter::cumulativeSum(const IdArray&) { notAvailableYet("cumulativeSum"); }
void Plotter::detrendLin() { notAvailableYet("detrendLin"); }
void Plotter::detrendQuad() { notAvailableYet("detrendQuad"); }
void Plotter::detrendCubic() { notAvailableYet("detrendCubic"); }
void Plotter::detrendPoly(int) { notAvailableYet("detrendPoly"); }
void Plotter::differentiate() { notAvailableYet("differentiate"); }
void Plotter::differentiate(const IdArray&) { notAvailableYet("differentiate"); }
void Plotter::expression(const QString&, bool) { notAvailableYet("expression"); }
void Plotter::integrate() { notAvailableYet("integrate"); }
void Plotter::integrate(const IdArray&) { notAvailableYet("integrate"); }
void Plotter::modelLin() { notAvailableYet("modelLin"); }
void Plotter::modelQuad() { notAvailableYet("modelQuad"); }
void Plotter::modelCubic() { notAvailableYet("modelCubic"); }
void Plotter::modelPoly(int) { notAvailableYet("modelPoly"); }
void Plotter::ndiff(int) { notAvailableYet("ndiff"); }
void Plotter::ndiff(int, const IdArray&) { notAvailableYet("ndiff"); }
void Plotter::normalize(double, double) { notAvailableYet("normalize"); }
void Plotter::normalize(double, double, const IdArray&) { notAvailableYet("normalize"); }
void Plotter::plotacf() { notAvailableYet("plotacf"); }
void Plotter::plotxcf() { notAvailableYet("plotxcf"); }
void Plotter::plotconv() { notAvailableYet("plotconv"); }
void Plotter::plotAdev() { notAvailableYet("plotAdev"); }
void Plotter::plotfft(int) { notAvailableYet("plotfft"); }
void Plotter::plothist() { notAvailableYet("plothist"); }
void Plotter::plotifft() { notAvailableYet("plotifft"); }
void Plotter::plotoscpwr() { notAvailableYet("plotoscpwr"); }
void Plotter::plotphasenoise() { notAvailableYet("plotphasenoise"); }
void Plotter::plotpsd() { notAvailableYet("plotpsd"); }
void Plotter::poly(int, const QString&) { notAvailableYet("poly"); }
void Plotter::poly(int, const QString&, const IdArray&) { notAvailableYet("poly"); }
void Plotter::removeMean() { notAvailableYet("removeMean"); }
void Plotter::removeMean(const IdArray&) { notAvailableYet("removeMean"); }
void Plotter::removeMeanAggr() { notAvailableYet("removeMeanAggr"); }
void Plotter::removeMeanAggr(const IdArray&) { notAvailableYet("removeMeanAggr"); }
void Plotter::rotateCurves(int) { notAvailableYet("rotateCurves"); }
void Plotter::rotateCurves(int, const IdArray&, bool) { notAvailableYet("rotateCurves"); }
void Plotter::showStatistics() { notAvailableYet("showStatistics"); }
void Plotter::smoothData(int) { notAvailableYet("smoothData"); }
void Plotter::smoothData(int, const IdArray&, bool) { notAvailableYet("smoothData"); }
void Plotter::sort(const IdArray&) { notAvailableYet("sort"); }
void Plotter::timeintToFracfreq() { notAvailableYet("timeintToFracfreq"); }
void Plotter::timeintToFracfreq(const IdArray&) { notAvailableYet("timeintToFracfreq"); }
void Plotter::fracFreqToTimeInt() { notAvailableYet("fracFreqToTimeInt"); }
void Plotter::fracFreqToTimeInt(const IdArray&) { notAvailableYet("fracFreqToTimeInt"); }
void Plotter::trimOutliers_n(bool) { notAvailableYet("trimOutliers_n"); }
void Plotter::trimOutliers(double, bool) { notAvailableYet("trimOutliers"); }
void Plotter::unwrap(double) { notAvailableYet("unwrap"); }
void Plotter::unwrap(double, const IdArray&) { notAvailableYet("unwrap"); }
void Plotter::butterworth() { notAvailableYet("butterworth"); }
void Plotter::fir() { notAvailableYet("fir"); }
void Plotter::smooth_fir() { notAvailableYet("smooth_fir"); }
