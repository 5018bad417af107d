#include "core/plotoptions.h"

#include <limits>

void loadPlotOptions(PlotOptions& o)
{
    // All reads share one settings object (keepOpen); the footnote's default
    // reads the version, which closes it, and the reads after the footnote
    // share a second one. The object is closed at the end in any case.
    constexpr bool keep = true;
    auto text = [](const char* key, const QString& def) { return readSettingText(QString::fromLatin1(key), def, keep); };
    auto number = [](const char* key, int def) { return readSettingInt(QString::fromLatin1(key), def, keep); };
    auto flag = [](const char* key, bool def) { return readSettingBool(QString::fromLatin1(key), def, keep); };
    auto color = [](const char* key, quint32 def) {
        return Rgb(readSettingColor(QString::fromLatin1(key), def, keep) & 0xFFFFFFu);
    };

    o.adevinterval = number("adevinterval", 1);
    o.adevstatistic = number("adevstatistic", 1);
    o.autoconvertmjdlive = flag("autoconvertmjdlive", true);
    o.barfloor = readSettingDouble(QStringLiteral("barfloor"), std::numeric_limits<double>::max(), keep);
    o.backgroundcolor = color("backgroundcolor", 0xFFFFFFu);
    o.backgroundimage = getBackgroundImage(keep);
    o.backgroundimagestyle = getBackgroundImageStyle(keep);
    o.bordercolor = color("bordercolor", 0xF0F0F0u);
    o.datafileviewer = getDataFileViewer(keep);
    o.footnote = getFootnote(keep);
    o.gridlinecolor = color("gridlinecolor", 0xC0C0C0u);
    o.height = number("height", 0);
    o.history = number("history", 30);
    o.imgborder = flag("imgborder", false);
    o.imgpath = getImgPath(keep);
    o.imgtimestamp = text("imgtimestamp", QStringLiteral("MJD"));
    o.imgtype = getImgType(keep);
    o.imgqual = number("imgqual", 0);
    o.legendpos = text("legendpos", QStringLiteral("bottom"));
    o.linewidth = number("linewidth", -1);
    o.noline = flag("noline", false);
    o.nooverlay = flag("nooverlay", false);
    o.ofs = getOfs(keep);
    o.opath = getOpath(keep);
    o.pers = flag("pers", true);
    o.pntrad = number("pntrad", 5);
    o.pnts = flag("pnts", false);
    o.quickstart = flag("quickstart", true);
    o.scriptspath = getScriptsPath(keep);
    o.slide = number("slide", -1);
    o.smooth = number("smooth", 0);
    o.sort = flag("sort", false);
    o.tickfontsize = number("tickfontsize", 9);
    o.tickfontcolor = color("tickfontcolor", 0x000000u);
    o.tickfontfamily = getTickFontFamily(keep);
    o.title = getTitle(keep);
    o.titlefontsize = number("titlefontsize", 18);
    o.useshorttitles = flag("useshorttitles", false);
    o.verbose = flag("verbose", false);
    o.width = number("width", 0);
    o.workspacepath = text("workspacepath", QString());
    o.xaxisfontsize = number("xaxisfontsize", 14);
    o.xlbl = getXlbl(keep);
    o.xoffset = flag("xoffset", false);
    o.yaxisfontsize = number("yaxisfontsize", 14);
    o.ylbl = getYlbl(keep);
    o.yoffset = flag("yoffset", false);
    closeSettings();
}
