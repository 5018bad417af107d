#pragma once
// Collects what a plot reports: typed messages and transcript lines.
#include <QObject>
#include <QStringList>

#include <algorithm>
#include <utility>
#include <vector>

#include "plot/plotter.h"

namespace plottest {

struct Reports {
    explicit Reports(Plotter& p)
    {
        QObject::connect(&p, &Plotter::verbose, [this](ZEVOVE::TYPE t, const QString& s) { typed.push_back({t, s}); });
        QObject::connect(&p, &Plotter::transcript, [this](const QString& s) { lines << s; });
    }
    bool has(ZEVOVE::TYPE t, const QString& text) const
    {
        return std::any_of(typed.begin(), typed.end(), [&](const auto& m) { return m.first == t && m.second == text; });
    }
    int count(ZEVOVE::TYPE t) const
    {
        return int(std::count_if(typed.begin(), typed.end(), [&](const auto& m) { return m.first == t; }));
    }
    // The texts of the typed messages in order.
    QStringList texts() const
    {
        QStringList out;
        for (const auto& m : typed)
            out << m.second;
        return out;
    }
    void clear()
    {
        typed.clear();
        lines.clear();
    }
    std::vector<std::pair<ZEVOVE::TYPE, QString>> typed;
    QStringList lines;
};

} // namespace plottest
