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
void Plotter::avgData(int, bool) { notAvailableYet("avgData"); }
void Plotter::avgDataSpan(double, bool) { notAvailableYet("avgDataSpan"); }
void Plotter::detrendLin() { notAvailableYet("detrendLin"); }
void Plotter::detrendQuad() { notAvailableYet("detrendQuad"); }
void Plotter::detrendCubic() { notAvailableYet("detrendCubic"); }
void Plotter::detrendPoly(int) { notAvailableYet("detrendPoly"); }
void Plotter::modelLin() { notAvailableYet("modelLin"); }
void Plotter::modelQuad() { notAvailableYet("modelQuad"); }
void Plotter::modelCubic() { notAvailableYet("modelCubic"); }
void Plotter::modelPoly(int) { notAvailableYet("modelPoly"); }
void Plotter::ndiff(int) { notAvailableYet("ndiff"); }
void Plotter::ndiff(int, const IdArray&) { notAvailableYet("ndiff"); }
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
void Plotter::showStatistics() { notAvailableYet("showStatistics"); }
void Plotter::smoothData(int) { notAvailableYet("smoothData"); }
void Plotter::smoothData(int, const IdArray&, bool) { notAvailableYet("smoothData"); }
void Plotter::timeintToFracfreq() { notAvailableYet("timeintToFracfreq"); }
void Plotter::timeintToFracfreq(const IdArray&) { notAvailableYet("timeintToFracfreq"); }
void Plotter::fracFreqToTimeInt() { notAvailableYet("fracFreqToTimeInt"); }
void Plotter::fracFreqToTimeInt(const IdArray&) { notAvailableYet("fracFreqToTimeInt"); }
void Plotter::unwrap(double) { notAvailableYet("unwrap"); }
void Plotter::unwrap(double, const IdArray&) { notAvailableYet("unwrap"); }
void Plotter::butterworth() { notAvailableYet("butterworth"); }
void Plotter::fir() { notAvailableYet("fir"); }
void Plotter::smooth_fir() { notAvailableYet("smooth_fir"); }
