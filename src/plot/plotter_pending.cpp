// Plotter: slots of the plot's interface whose operations are built by
// later families (annotations, markers, mouse tools, analyses). Each reports
// that the operation is not available yet; the family that builds one
// replaces its line here with the real body in its own file.
#include "plot/plotter.h"

void Plotter::notAvailableYet(const char* slot)
{
    Q_EMIT transcript(tr("Error: %1 is not available yet.").arg(QLatin1String(slot)));
}

