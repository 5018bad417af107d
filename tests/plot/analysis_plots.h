#pragma once
// Helpers for the tests of analyses with result plots: the result plots a
// plot announces and curves from functions.
#include <QObject>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "plot/plotter.h"
#include "plot_fixture.h"

namespace plottest {

// Owns every result plot the source announces while it lives.
struct ResultPlots {
    explicit ResultPlots(Plotter& source)
        : link(QObject::connect(&source, &Plotter::newPlotterBuilt, [this](Plotter* p) { made.emplace_back(p); }))
    {
    }
    ~ResultPlots() { QObject::disconnect(link); }
    ResultPlots(const ResultPlots&) = delete;
    ResultPlots& operator=(const ResultPlots&) = delete;
    Plotter* last() const { return made.empty() ? nullptr : made.back().get(); }
    QMetaObject::Connection link;
    std::vector<std::unique_ptr<Plotter>> made;
};

// A curve of n points at x = x0 + i dx with y = f(i).
inline CurveData sampledCurve(int n, const std::function<double(int)>& f, double dx = 1.0, double x0 = 0.0)
{
    CurveData c;
    for (int i = 0; i < n; ++i)
        c.append(x0 + i * dx, f(i));
    return c;
}

inline std::vector<double> ysOf(const CurveData& c)
{
    std::vector<double> y;
    for (std::size_t i = 1; i < c.values.size(); i += 2)
        y.push_back(c.values[i]);
    return y;
}

inline std::vector<double> xsOf(const CurveData& c)
{
    std::vector<double> x;
    for (std::size_t i = 0; i < c.values.size(); i += 2)
        x.push_back(c.values[i]);
    return x;
}

} // namespace plottest
