#pragma once
// A shown 1200 x 800 plot holding one curve of n points of noisy data over
// x 0..1000, rescaled to it: the plot benchmarks' common subject.
#include <QRandomGenerator>

#include <cmath>
#include <memory>

#include "plot/plotter.h"

inline std::unique_ptr<Plotter> noisyPlot(std::size_t n, bool line = true, bool symbols = false)
{
    auto p = std::make_unique<Plotter>(nullptr, "bench");
    p->resize(1200, 800);
    p->show();
    QRandomGenerator rng(7);
    CurveData c;
    std::vector<double>& v = c.values.mut();
    v.resize(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const double x = 1000.0 * double(i) / double(n);
        v[2 * i] = x;
        v[2 * i + 1] = std::sin(x / 50.0) + 0.5 * (rng.generateDouble() - 0.5);
    }
    c.attributes.showLine = line;
    c.attributes.showPoints = symbols;
    p->setCurveData(0, std::move(c), false);
    p->rescale();
    return p;
}
