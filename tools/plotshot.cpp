// plotshot: renders a plot with given curves to a PNG, offscreen.
//
//   plotshot [options] --out picture.png
//
// Curves come from a text file of rows "x y1 y2 ..." (--in FILE, one curve per
// y column) or from a generator (--gen NAME[:POINTS], repeatable): sine,
// cosine, noise, ramp, mjd (a day of samples as Modified Julian Dates),
// decades (x from 1e-3 to 1e3 with y = x^2), bars (ten bars), flat, single.
// Options: --size WxH, --title TEXT, --xlabel TEXT, --ylabel TEXT,
// --footnote TEXT, --logx, --logy, --date, --bar, --barfloor V, --points,
// --nolines, --shape N (point style), --pntrad D, --linewidth N, --3d,
// --bluescale, --framed, --bg IMAGE, --tiled, --legend top|bottom|left|right,
// --domain MIN,MAX, --range MIN,MAX, --xgran G, --ygran G, --annotate X,Y,TEXT,CURVE,
// --inside COLOR, --outside COLOR.
#include <QApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <functional>
#include <QTextStream>

#include <cmath>
#include <cstdio>

#include "platform/platform.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"

namespace {

std::vector<CurveData> readColumns(const QString& path)
{
    std::vector<CurveData> curves;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "plotshot: cannot read %s\n", qPrintable(path));
        return curves;
    }
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(QRegularExpression("[\\s,;]+"), Qt::SkipEmptyParts);
        if (fields.size() < 2)
            continue;
        const double x = QLocale::c().toDouble(fields[0]);
        if (curves.size() < std::size_t(fields.size() - 1))
            curves.resize(std::size_t(fields.size() - 1));
        for (int i = 1; i < fields.size(); ++i)
            curves[std::size_t(i - 1)].append(x, QLocale::c().toDouble(fields[i]));
    }
    return curves;
}

CurveData generate(const QString& spec)
{
    const QStringList parts = spec.split(':');
    const QString name = parts.value(0);
    const int n = parts.size() > 1 ? parts[1].toInt() : 500;
    CurveData c;
    QRandomGenerator rng(42);
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / std::max(n - 1, 1);
        if (name == "sine")
            c.append(t * 10, std::sin(t * 4 * M_PI));
        else if (name == "cosine")
            c.append(t * 10, 0.5 * std::cos(t * 6 * M_PI));
        else if (name == "noise")
            c.append(t * 10, std::sin(t * 2 * M_PI) + 0.3 * (rng.generateDouble() - 0.5));
        else if (name == "ramp")
            c.append(t * 10, t * 3 - 1);
        else if (name == "mjd")
            c.append(60000.25 + t * 0.5, 20 + 3 * std::sin(t * 2 * M_PI));
        else if (name == "decades")
            c.append(std::pow(10.0, -3 + 6 * t), std::pow(10.0, -6 + 12 * t));
        else if (name == "bars")
            c.append(i % 10 + 1, 1 + (i * 7) % 5);
        else if (name == "flat")
            c.append(t * 10, 3.0);
        else if (name == "single") {
            c.append(5, 5);
            break;
        }
    }
    if (name == "bars")
        c.values.resize(std::min<std::size_t>(c.values.size(), 20));
    return c;
}

QColor colourArg(const QString& s) { return QColor(s); }

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kro::platform::setUpApplication();

    QStringList args = app.arguments();
    args.removeFirst();
    auto value = [&](int& i) { return i + 1 < args.size() ? args[++i] : QString(); };

    QSize size(800, 500);
    QString out = "plot.png";
    std::vector<CurveData> curves;
    Plotter plot(nullptr, "plotshot");
    bool points = false, nolines = false;
    int shape = 1;
    QString legend;
    QStringList annotations;
    std::vector<std::function<void()>> after;

    for (int i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        if (a == "--size") {
            const QStringList wh = value(i).split('x');
            size = QSize(wh.value(0).toInt(), wh.value(1).toInt());
        } else if (a == "--out") {
            out = value(i);
        } else if (a == "--in") {
            for (CurveData& c : readColumns(value(i)))
                curves.push_back(std::move(c));
        } else if (a == "--gen") {
            curves.push_back(generate(value(i)));
        } else if (a == "--title") {
            const QString t = value(i);
            after.push_back([&plot, t] { plot.title(t, SET, false); });
        } else if (a == "--xlabel") {
            const QString t = value(i);
            after.push_back([&plot, t] { plot.xLabel(t, SET, false); });
        } else if (a == "--ylabel") {
            const QString t = value(i);
            after.push_back([&plot, t] { plot.yLabel(t, SET, false); });
        } else if (a == "--footnote") {
            const QString t = value(i);
            after.push_back([&plot, t] { plot.footnote(t, SET); });
        } else if (a == "--logx") {
            plot.m_logX = true;
        } else if (a == "--logy") {
            plot.m_logY = true;
        } else if (a == "--date") {
            plot.m_dateTimeAxis = true;
        } else if (a == "--bar") {
            plot.m_barMode = true;
        } else if (a == "--barfloor") {
            plot.m_barFloor = value(i).toDouble();
        } else if (a == "--points") {
            points = true;
        } else if (a == "--nolines") {
            nolines = true;
        } else if (a == "--shape") {
            shape = value(i).toInt();
        } else if (a == "--pntrad") {
            plot.m_pointDiameter = value(i).toInt();
        } else if (a == "--linewidth") {
            plot.m_lineWidth = value(i).toInt();
        } else if (a == "--3d") {
            plot.m_threeD = true;
        } else if (a == "--bluescale") {
            plot.m_blueScale = true;
        } else if (a == "--framed") {
            plot.m_fillPlotArea = true;
        } else if (a == "--bg") {
            plot.loadBackgroundImage(value(i));
        } else if (a == "--tiled") {
            plot.setBackgroundImageStyle(TILED);
        } else if (a == "--legend") {
            legend = value(i);
        } else if (a == "--domain" || a == "--range") {
            const QStringList mm = value(i).split(',');
            const AxisRange r(mm.value(0).toDouble(), mm.value(1).toDouble());
            after.push_back([&plot, a, r] { a == "--domain" ? plot.setDomain(r) : plot.setRange(r); });
        } else if (a == "--xgran") {
            plot.m_xGranularity = value(i).toDouble();
        } else if (a == "--ygran") {
            plot.m_yGranularity = value(i).toDouble();
        } else if (a == "--annotate") {
            annotations << value(i);
        } else if (a == "--inside") {
            plot.setInsideColor(colourArg(value(i)));
        } else if (a == "--outside") {
            plot.outsideColor(colourArg(value(i)), SET);
        } else {
            std::fprintf(stderr, "plotshot: unknown option %s\n", qPrintable(a));
            return 2;
        }
    }

    QObject::connect(&plot, &Plotter::transcript, [](const QString& s) { std::fprintf(stderr, "%s\n", qPrintable(s)); });
    plot.resize(size);
    plot.show();
    for (std::size_t k = 0; k < curves.size(); ++k) {
        CurveData& c = curves[k];
        c.attributes.showPoints = points;
        c.attributes.showLine = !nolines;
        c.attributes.pointStyle = static_cast<Zavozi::CurveAttributes::PointStyle>(shape);
        if (points && k % 2 == 1)
            c.attributes.pointFillColor = Rgb(0xFFFF80);
        plot.setCurveData(int(k), std::move(c), false);
        plot.setCurveTitle(int(k), QString());
    }
    for (const QString& s : annotations) {
        const QStringList f = s.split(',');
        plot.addAnnotation({f.value(0).toDouble(), f.value(1).toDouble(), f.value(2), f.value(3).toInt()});
    }
    for (auto& f : after)
        f();
    plot.setLegendPosition(legend.isEmpty() ? QStringLiteral("off") : legend, SET);
    plot.m_views[0].xGranularity = plot.m_xGranularity;
    plot.m_views[0].yGranularity = plot.m_yGranularity;
    plot.rescale();
    app.processEvents();
    plot.refreshPixmap();
    app.processEvents();
    if (!plot.grab().save(out)) {
        std::fprintf(stderr, "plotshot: cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}
