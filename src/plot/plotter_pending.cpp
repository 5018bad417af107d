// Plotter: slots of the plot's interface whose operations are built by
// later families (annotations, markers, mouse tools, analyses). Each reports
// that the operation is not available yet; the family that builds one
// replaces its line here with the real body in its own file.
#include "plot/plotter.h"

void Plotter::notAvailableYet(const char* slot)
{
    Q_EMIT transcript(tr("Error: %1 is not available yet.").arg(QLatin1String(slot)));
}

void Plotter::buildNoise() { notAvailableYet("buildNoise"); }
void Plotter::ndiff(int) { notAvailableYet("ndiff"); }
void Plotter::ndiff(int, const IdArray&) { notAvailableYet("ndiff"); }
void Plotter::plotAdev() { notAvailableYet("plotAdev"); }
void Plotter::showStatistics() { notAvailableYet("showStatistics"); }
void Plotter::timeintToFracfreq() { notAvailableYet("timeintToFracfreq"); }
void Plotter::timeintToFracfreq(const IdArray&) { notAvailableYet("timeintToFracfreq"); }
void Plotter::fracFreqToTimeInt() { notAvailableYet("fracFreqToTimeInt"); }
void Plotter::fracFreqToTimeInt(const IdArray&) { notAvailableYet("fracFreqToTimeInt"); }
void Plotter::unwrap(double) { notAvailableYet("unwrap"); }
void Plotter::unwrap(double, const IdArray&) { notAvailableYet("unwrap"); }
