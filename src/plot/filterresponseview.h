#pragma once
// The filter designer's response plot: a small plot embedded in the
// designer that shows the magnitude response with markers at the cut-offs.
#include <memory>

#include "analysis/filterdesigner.h"

class Plotter;

// A response view over a new Plotter child of parent.
std::unique_ptr<FilterResponseView> makeFilterResponseView(QWidget* parent);
// The plot inside a view made by makeFilterResponseView (null for others).
Plotter* responsePlot(FilterResponseView* view);
