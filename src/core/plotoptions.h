#pragma once
// Every option of one plot: filled from the stored settings by
// loadPlotOptions, then overridden by the options of a plot command.
#include "core/curvedata.h"
#include "core/settings.h"

#include <QString>
#include <QStringList>

#include <vector>

struct PlotOptions {
    int adevinterval = 0;            // AFInterval value
    int adevstatistic = 0;           // AdevType bits
    bool build = false;              // "-build" / "-version"
    bool help = false;               // "-h" / "-help" / "-?"
    bool defaults = false;           // "-defaults"
    bool compact = false;            // "-compact"
    int history = 0;                 // command-history entries
    int height = 0;                  // main window height
    int width = 0;                   // main window width
    QString title;
    QString xlbl;
    QString ylbl;
    QString footnote;
    double domainMin = 0;
    double domainMax = 0;
    double rangeMin = 0;
    double rangeMax = 0;
    bool domainSet = false;
    bool rangeSet = false;
    bool xoffset = false;
    bool yoffset = false;
    bool firstDiff = false;          // "-1stdiff"
    bool logx = false;
    bool logy = false;
    bool logxy = false;
    double granv = -1;               // vertical grid step, -1 automatic
    double granh = -1;               // horizontal grid step, -1 automatic
    QStringList expressions;         // "-expr"
    QStringList legend;
    bool exprOnly = false;           // "-expr_only"
    bool linked = false;             // rows from standard input, drawn per batch
    bool piped = false;              // rows from standard input, drawn at its end
    bool script = false;             // "-script"
    bool noline = false;
    bool pnts = false;
    bool quickstart = false;
    int pntrad = 0;                  // point radius
    int linewidth = 0;               // -1 not set
    bool bar = false;
    double barfloor = 0;             // largest finite double: automatic
    int smooth = 0;
    bool nooverlay = false;
    bool verbose = false;
    std::vector<double> hmarkers;
    std::vector<double> vmarkers;
    QString legendpos;               // "top", "bottom", "left", "right" or "off"
    bool append = false;
    bool merge = false;
    bool sort = false;
    bool jpg = false;
    bool pers = false;
    bool threeD = false;             // "-3d"
    bool imgborder = false;
    int slide = 0;                   // live window size, -1 none
    bool autoconvertmjdlive = false;
    int xaxisfontsize = 0;
    int yaxisfontsize = 0;
    int titlefontsize = 0;
    int tickfontsize = 0;
    Rgb tickfontcolor;
    Rgb backgroundcolor;
    Rgb bordercolor;
    Rgb gridlinecolor;
    QString tickfontfamily;
    BackgroundImageStyle backgroundimagestyle = CENTERED;
    QString backgroundimage;
    QString imgpath;
    QString workspacepath;
    QString scriptspath;
    QString imgtype;                 // "png", "jpg" or "bmp"
    QString datafileviewer;
    int imgqual = 0;                 // 0 High, 1 Medium, 2 Low
    QString imgtimestamp;            // "MJD" or a date-and-time format
    QString outputFile;              // "-o"
    QString opath;
    QString ofs;                     // "comma", "semicolon", "space" or "tab"
    bool useshorttitles = false;
};

// Replaces every field that has a settings key with the stored value (or its
// default); fields without a key keep what they held. Returns with the shared
// settings object closed.
void loadPlotOptions(PlotOptions& options);
