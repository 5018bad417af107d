#pragma once
// One page of the plot tabs: one to four plots in splitters, in a quad or a
// stacked layout, with the active plot marked by a check indicator.
#include <QWidget>

#include <vector>

class AcceptedCheck;
class Plotter;
class QSplitter;
class QVBoxLayout;

class PlotterQuad : public QWidget {
public:
    static constexpr int MAX_PLOTS = 4;

    explicit PlotterQuad(QWidget* parent);
    ~PlotterQuad() override;

    // 0: the active plot (null before the first plot); 1..count: the plot
    // added in that position. A larger number raises kroexception.
    Plotter* plotter(unsigned quadrant) const;
    int plotCount() const { return static_cast<int>(m_plotters.size()); }
    bool holds(const Plotter* plot) const;
    // Appends a plot (re-parented into the page) and lays the page out anew.
    void appendPlotter(Plotter* plot);

    // Makes a plot active and moves the indicator to its lower-left corner.
    void setActivePlotter(Plotter* plot);
    // Rebuild the splitters for the current plots.
    void layoutQuad();
    void layoutStacked();
    // layoutQuad or layoutStacked, as m_quadLayout says.
    void relayout();

    AcceptedCheck* activeIndicator() const { return m_activeIndicator; }
    QSplitter* mainSplitter() const { return m_mainSplitter; }

    std::vector<Plotter*> m_plotters;
    QSplitter* m_mainSplitter = nullptr;
    QSplitter* m_firstSplitter = nullptr;
    QSplitter* m_secondSplitter = nullptr;
    QVBoxLayout* m_layout = nullptr;
    Plotter* m_activePlotter = nullptr;
    AcceptedCheck* m_activeIndicator = nullptr;
    int m_quadLayout = 1; // 1 quad, 0 stacked

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layout(bool quad);
    // Puts the indicator at the active plot's lower-left corner.
    void placeIndicator();
};
