// The plot options record and its loading from the settings store.
#include "core/plotoptions.h"

#include "platform/platform.h"

#include <QDir>
#include <QSettings>
#include <gtest/gtest.h>

#include <limits>

#include "support/test_env.h"

namespace {

class PlotOptionsLoad : public ::testing::Test {
protected:
    void SetUp() override { kro::test::clearSettingsStore(); }
    void TearDown() override { kro::test::clearSettingsStore(); }
};

} // namespace

TEST(PlotOptionsRecord, FreshRecordHasDefinedValues)
{
    const PlotOptions o;
    EXPECT_EQ(o.granv, -1);
    EXPECT_EQ(o.granh, -1);
    EXPECT_EQ(o.pntrad, 0);
    EXPECT_EQ(o.domainMin, 0);
    EXPECT_FALSE(o.bar);
    EXPECT_FALSE(o.firstDiff);
    EXPECT_FALSE(o.linked);
    for (Rgb c : {o.tickfontcolor, o.backgroundcolor, o.bordercolor, o.gridlinecolor})
        EXPECT_EQ(quint32(c), 0x80000000u);
    EXPECT_TRUE(o.title.isNull());
    EXPECT_TRUE(o.outputFile.isNull());
    EXPECT_TRUE(o.legend.isEmpty());
    EXPECT_TRUE(o.hmarkers.empty());
}

TEST_F(PlotOptionsLoad, EmptyStoreGivesTheDefaults)
{
    PlotOptions o;
    loadPlotOptions(o);
    const QString kro = QDir::homePath() + "/KRO/";

    EXPECT_EQ(o.adevinterval, 1);
    EXPECT_EQ(o.adevstatistic, 1);
    EXPECT_TRUE(o.autoconvertmjdlive);
    EXPECT_EQ(o.barfloor, std::numeric_limits<double>::max());
    EXPECT_EQ(o.barfloor, 1.7976931348623157e308);
    EXPECT_EQ(quint32(o.tickfontcolor), 0x000000u);
    EXPECT_EQ(quint32(o.backgroundcolor), 0xFFFFFFu);
    EXPECT_EQ(quint32(o.bordercolor), 0xF0F0F0u);
    EXPECT_EQ(quint32(o.gridlinecolor), 0xC0C0C0u);
    EXPECT_EQ(o.backgroundimagestyle, CENTERED);
    EXPECT_EQ(o.footnote, "KRO - Version BETA");
    EXPECT_EQ(o.height, 0);
    EXPECT_EQ(o.width, 0);
    EXPECT_EQ(o.history, 30);
    EXPECT_FALSE(o.imgborder);
    EXPECT_EQ(o.imgpath, kro + "images");
    EXPECT_EQ(o.opath, kro + "data");
    EXPECT_EQ(o.scriptspath, kro + "scripts");
    EXPECT_EQ(o.imgtimestamp, "MJD");
    EXPECT_EQ(o.imgtype, "png");
    EXPECT_EQ(o.imgqual, 0);
    EXPECT_EQ(o.legendpos, "bottom");
    EXPECT_EQ(o.linewidth, -1);
    EXPECT_FALSE(o.noline);
    EXPECT_FALSE(o.nooverlay);
    EXPECT_EQ(o.ofs, "comma");
    EXPECT_TRUE(o.pers);
    EXPECT_EQ(o.pntrad, 5);
    EXPECT_FALSE(o.pnts);
    EXPECT_TRUE(o.quickstart);
    EXPECT_EQ(o.slide, -1);
    EXPECT_EQ(o.smooth, 0);
    EXPECT_FALSE(o.sort);
    EXPECT_EQ(o.xaxisfontsize, 14);
    EXPECT_EQ(o.yaxisfontsize, 14);
    EXPECT_EQ(o.titlefontsize, 18);
    EXPECT_EQ(o.tickfontsize, 9);
    EXPECT_EQ(o.tickfontfamily, "Times");
    EXPECT_EQ(o.title, "Default Title");
    EXPECT_EQ(o.xlbl, "Default X-Axis");
    EXPECT_EQ(o.ylbl, "Default Y-Axis");
    EXPECT_FALSE(o.useshorttitles);
    EXPECT_FALSE(o.verbose);
    EXPECT_FALSE(o.xoffset);
    EXPECT_FALSE(o.yoffset);
    // null versus empty texts
    EXPECT_TRUE(o.workspacepath.isNull());
    EXPECT_FALSE(o.backgroundimage.isNull());
    EXPECT_TRUE(o.backgroundimage.isEmpty());
    EXPECT_FALSE(o.datafileviewer.isNull());
    EXPECT_TRUE(o.datafileviewer.isEmpty());
}

TEST_F(PlotOptionsLoad, StoredValuesAreLoadedAndColoursMasked)
{
    auto s = kro::platform::openProgramSettings();
    s->setValue("title", "Oven 3");
    s->setValue("pntrad", 7);
    s->setValue("barfloor", "-2.5e300");
    s->setValue("verbose", "true");
    s->setValue("backgroundimagestyle", true);
    s->setValue("workspacepath", "/data/run");
    s->setValue("version", "Version 9");
    s->setValue("backgroundcolor", "4279383126");  // 0xFF123456 written unsigned
    s->setValue("gridlinecolor", -15584170);        // 0xFF123456 written signed
    s->setValue("bordercolor", 0x40ABCDEF);         // palette bit
    s.reset();

    PlotOptions o;
    loadPlotOptions(o);
    EXPECT_EQ(o.title, "Oven 3");
    EXPECT_EQ(o.pntrad, 7);
    EXPECT_EQ(o.barfloor, -2.5e300);
    EXPECT_TRUE(o.verbose);
    EXPECT_EQ(o.backgroundimagestyle, TILED);
    EXPECT_EQ(o.workspacepath, "/data/run");
    EXPECT_EQ(o.footnote, "KRO - Version 9");
    EXPECT_EQ(quint32(o.backgroundcolor), 0x123456u);
    EXPECT_EQ(quint32(o.gridlinecolor), 0x123456u);
    EXPECT_EQ(quint32(o.bordercolor), 0xABCDEFu);
}

TEST_F(PlotOptionsLoad, FieldsWithoutAKeyKeepTheirValues)
{
    PlotOptions o;
    o.legend = QStringList{"a", "b"};
    o.expressions = QStringList{"C1*2"};
    o.hmarkers = {1.5};
    o.firstDiff = true;
    o.granv = 0.25;
    o.outputFile = "out.txt";
    o.bar = true;
    o.domainSet = true;
    o.domainMin = -3;
    loadPlotOptions(o);
    EXPECT_EQ(o.legend, QStringList({"a", "b"}));
    EXPECT_EQ(o.expressions, QStringList{"C1*2"});
    EXPECT_EQ(o.hmarkers, std::vector<double>{1.5});
    EXPECT_TRUE(o.firstDiff);
    EXPECT_EQ(o.granv, 0.25);
    EXPECT_EQ(o.granh, -1);
    EXPECT_EQ(o.outputFile, "out.txt");
    EXPECT_TRUE(o.bar);
    EXPECT_TRUE(o.domainSet);
    EXPECT_EQ(o.domainMin, -3);
}

TEST_F(PlotOptionsLoad, SharedObjectIsClosedAfterwardsEvenWhenItWasOpen)
{
    PlotOptions o;
    openSettings();
    loadPlotOptions(o);
    EXPECT_EQ(sharedSettings(), nullptr);
    loadPlotOptions(o);
    EXPECT_EQ(sharedSettings(), nullptr);
}
