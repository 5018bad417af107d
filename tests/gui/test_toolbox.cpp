// The toolbox: its eleven category descriptions, the pages the main window
// builds from them and the dispatch of their clicks.
#include "command/commandedit.h"
#include "core/messages.h"
#include "core/settings.h"
#include "gui/krogui.h"
#include "gui/toolboxcategories.h"
#include "plot/actionlabel.h"
#include "plot/arrowtable.h"
#include "plot/labeldesigner.h"
#include "plot/labeler.h"
#include "plot/linewidget.h"
#include "plot/plotter.h"
#include "tabs/plotterctrl.h"
#include "tabs/plotterquad.h"
#include "support/test_env.h"
#include "platform/tabwidgetex.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDockWidget>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolBox>
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

struct ButtonRow {
    int page;
    int index;
    const char* label;
    const char* tooltip;
    const char* slot;
    BTNGRPCAT group;
    int exclusiveIndex;
};

// Every button of the toolbox, page by page.
const ButtonRow kButtons[] = {
    {0, 0, "Print", "Send the plot directly to a print device.", "1printPlot()", NO_GROUP, 5},
    {0, 1, "Image Capture", "Instantly save the plot as an image file.\nNote: customize behavior via the Default Settings page.", "1screenShot()", NO_GROUP, 5},
    {0, 2, "Save Data", "Store the plot's data to a text file.", nullptr, PAGE_TOGGLE, 0},
    {0, 3, "Default Settings", "Toggle the Default Settings page opened and closed.", nullptr, PAGE_TOGGLE, 1},
    {0, 4, "Verbose Mode", "ToggleVerbose notification mode on and off.", "1verbose()", VERBOSE_MODE, 5},
    {1, 0, "Border", "Customize the plot's border color.", "1changeOutsideColor()", NO_GROUP, 5},
    {1, 1, "Background", "Customize the plot's background color.", "1changeInsideColor()", NO_GROUP, 5},
    {1, 2, "Gridline", "Customize the gridline color.", "1changeGridColor()", NO_GROUP, 5},
    {1, 3, "Gridline text", "Customize the gridlines' text color.", "1changeAxesMarkersColor()", NO_GROUP, 5},
    {1, 4, "Axes Labels", "Customize the x & y axes label colors.", "1changeAxesColor()", NO_GROUP, 5},
    {1, 5, "Title", "Customize the title color.", "1changeTitleColor()", NO_GROUP, 5},
    {1, 6, "Footnote", "Customize the footnote color.", "1changeFootnoteColor()", NO_GROUP, 5},
    {2, 0, "Title", "Open the title editor panel.\nClicking this is the same as clicking the title itself.", "1on_changeTitle()", NO_GROUP, 5},
    {2, 1, "X-Axis", "Open the X-Axis editor panel.\nClicking this is the same as clicking the x-axis label itself.", "1on_changeXLabel()", NO_GROUP, 5},
    {2, 2, "Y-Axis", "Open the Y-Axis editor panel.\nClicking this is the same as clicking the y-axis label itself.", "1on_changeYLabel()", NO_GROUP, 5},
    {2, 3, "Tick Font Size", "Adjust the font sizes of the x and y gridlines' text.", "1setTickFontSize()", NO_GROUP, 5},
    {2, 4, "Footnote", "Open the footnote editor panel.\nClicking this is the same as clicking the footnote itself.", "1on_changeFootnote()", NO_GROUP, 5},
    {2, 5, "Add Label", "Open the Custom Labels window.\nUse this to add customized text to your plots.", "1showLabeler()", NO_GROUP, 5},
    {2, 6, "Add Arrow", "Immediately add an arrow to the plot.\nMove and/or rotate the arrow by grabbing it with your mouse.\nFurther customize the arrow by right-clicking it.", "1addArrow()", NO_GROUP, 5},
    {3, 0, "Granularity of Vertical Grid", "Set the granularity of the vertical (x-axis) grid.", "1setXTickGranularity()", NO_GROUP, 5},
    {3, 1, "Granularity of Horizontal Grid", "Set the granularity of the horizontal (y-axis) grid.", "1setYTickGranularity()", NO_GROUP, 5},
    {3, 2, "Toggle Grid (On/Off)", "Click to toggle the gridlines on/off.\nNote: more control is provided by the \"grid\" command.\nType \"help grid\" for details.", "1on_togGrid()", TOGGLE_GRID, 5},
    {3, 3, "Set Domain span", "Manually set the domain span.\nNote: more control is provided by the \"spanx\" command.\nType \"help spanx\" for details.", "1promptDomain()", NO_GROUP, 5},
    {3, 4, "Set Range span", "Manually set the range span.\nNote: more control is provided by the \"spany\" command.\nType \"help spany\" for details.", "1promptRange()", NO_GROUP, 5},
    {3, 5, "Log X Scale", "Toggles the x-axis in and out of a logarithmic scale.", "1on_togLogScaleX()", LOG_X, 5},
    {3, 6, "Log Y Scale", "Toggles the y-axis in and out of a logarithmic scale.", "1on_togLogScaleY()", LOG_Y, 5},
    {3, 7, "Unix Time -> MJD", "Converts Unix timestamps to MJD, enabling the MJD -> Date/Time gridline option.\nNote: This will convert your x-axis values to MJD for Date/Time display.\nUnixTime = (MJD - 40587) x 86400\nIf desired, you can manually convert back to Unix time by executing the following\ncommands from the command window:\n  > subx 40587\n  > mulx 86400", "1on_convertFromUnixToMJD()", NO_GROUP, 5},
    {3, 8, "MJD -> Date/Time", "Toggles the x-axis gridline text from MJD to Calendar Date/Time and vice-versa.", "1on_togDateTimeAxis()", MJD_DATETIME, 5},
    {4, 0, "Point Size: Increase", "Click to increase the data point size radius by 1.\nNote: Use the \"pntrad\" command for more control.\nType \"help pntrad\" for details.", "1increasePntRadius()", NO_GROUP, 5},
    {4, 1, "Point Size: Decrease", "Click to decrease the data point size radius by 1.\nNote: Use the \"pntrad\" command for more control.\nType \"help pntrad\" for details.", "1decreasePntRadius()", NO_GROUP, 5},
    {4, 2, "Line Width: Increase", "Click to increase the line width size by 1.\nNote: Use the \"linewidth\" command for more control.\nType \"help linewidth\" for details.", "1increaseLineWidth()", NO_GROUP, 5},
    {4, 3, "Line Width: Decrease", "Click to decrease the line width size by 1.\nNote: Use the \"linewidth\" command for more control.\nType \"help linewidth\" for details.", "1decreaseLineWidth()", NO_GROUP, 5},
    {4, 4, "Curve Line", "Toggles the curves' lines on/off.\nNote: Use the \"line\" command for more control.\nType \"help line\" for details.", "1on_togLine()", CURVE_LINE, 5},
    {4, 5, "Reduced Line Intensity", "Click this to reduce the color intensity of\nthe line connecting the points within each curve.", "1on_togLineIntensity()", REDUCED_INTENSITY, 5},
    {4, 6, "Data Points", "Toggles the curves' points on/off.\nNote: Use the \"pnts\" command for more control.\nType \"help pnts\" for details.", "1on_togPnts()", DATA_POINTS, 5},
    {4, 7, "Bar Plot", "Toggles the display of the data from\nscatter or line plot to Bar plot.", "1on_togBar()", BAR_PLOT, 5},
    {5, 0, "Marker: Add Vertical", "Click to add a new vertical marker to the plot.\nNote: Use the \"marker\" command for more control.\nType \"help marker\" for details.", "1addVMarker()", NO_GROUP, 5},
    {5, 1, "Marker: Add Horizontal", "Click to add a new horizontal marker to the plot.\nNote: Use the \"hmarker\" command for more control.\nType \"help hmarker\" for details.", "1addHMarker()", NO_GROUP, 5},
    {5, 2, "Marker: Add Delta", "Click to add a new delta-marker to the plot.\nNote: Use the \"dmarker\" command for more control.\nType \"help dmarker\" for details.", "1addMarkerDiff()", NO_GROUP, 5},
    {5, 3, "Marker: Remove", "Click to remove a marker from the plot.\nNote: Use the \"remove\" command for more control.\nType \"help remove\" for details.", "1removeMarkers()", NO_GROUP, 5},
    {5, 4, "Pointer: x,y", "Enable mouse-tracking mode, displaying\nthe mouse's current (x,y) position.", "1toggleMouseXY()", POINTER_MODE, 2},
    {5, 5, "Pointer: date,y", "Enable mouse-tracking mode, displaying\nthe mouse's current (date,y) position.", "1toggleMouseDateY()", POINTER_MODE, 3},
    {5, 6, "Pointer: both", "Enable mouse-tracking mode, displaying\nthe mouse's current (x,y) and (date,y) position.", "1toggleMouseDateXY()", POINTER_MODE, 4},
    {6, 0, "+ - * /", "Open the Arithmetic Command Builder window.\nThis window assists in creating commands for\nperforming arithmetic operations on your curves.", "1arithDiag()", NO_GROUP, 5},
    {6, 1, "Expressions", "Open the Expressions window.\nThis window allows entry of expression commands.\nNote: the same commands can be entered directly\ninto the Command Window using the \"expr\" command.", "1expression()", NO_GROUP, 5},
    {6, 2, "log10(y)", "Perform a log10(y) operation on all data in the plot.", "1logData()", NO_GROUP, 5},
    {6, 3, "10^y", "Perform a 10^y operation on all data in the plot.", "1linData()", NO_GROUP, 5},
    {6, 4, "δθ/δτ", "Perform numerical differentiation on all data in the plot.\nNote: Identical to issuing the command \"diff\".\nType \"help diff\" for details.", "1differentiate()", NO_GROUP, 5},
    {6, 5, "Σyδθ", "Perform numerical integration on all data in the plot.", "1integrate()", NO_GROUP, 5},
    {6, 6, "Σy", "Perform a cumulative summation on all data in the plot.", "1cumulativeSum()", NO_GROUP, 5},
    {6, 7, "Remove Mean", "Remove the mean value of each curve from itself.\nNote: Identical to issuing the \"mean\" command.", "1removeMean()", NO_GROUP, 5},
    {6, 8, "Normalize", "Normalize the scale of each curve to fit within -1 and 1.\nNote: Same as using the command \"norm -1 1\".", "1normalize()", NO_GROUP, 5},
    {6, 9, "nth-Difference", "Perform an n-difference operator on the data.\nNote: for more control, use the \"diff<n>\" command.\nType \"help diff\" for details.", "1ndiff()", NO_GROUP, 5},
    {6, 10, "Unwrap", "Unwrap phase rolloevers in curve data.\nNote: for more control, use the \"unwrap\" command.\nType \"help unwrap\" for details.", "1unwrap()", NO_GROUP, 5},
    {6, 11, "Sort", "Sorts the data.\nEquivalent to the \"sort\" command.", "1sort()", NO_GROUP, 5},
    {6, 12, "Rotate", "Rotate a curve left or right by a given number of points.\nNote: Equivalent commands are \"rotl\" and \"rotr\".", "1rotateCurves()", NO_GROUP, 5},
    {6, 13, "Insert a point", "Manually insert a point into a curve.", "1on_addPoint()", NO_GROUP, 5},
    {6, 14, "Remove curve(s)", "Remove one or more curves from the plot.\nNote: Use the \"remove\" command for more control.\nType \"help remove\" for details.", "1removeCurves()", NO_GROUP, 5},
    {7, 0, "Detrend: Linear", "Detrends all curves using a linear fit.\nNote: Equivalent command \"poly1 detrend\".", "1detrendLin()", NO_GROUP, 5},
    {7, 1, "Detrend: Quadratic", "Detrends all curves using a quadratic fit.\nNote: Equivalent command \"poly2 detrend\".", "1detrendQuad()", NO_GROUP, 5},
    {7, 2, "Detrend: Cubic", "Detrends all curves using a cubic fit.\nNote: Equivalent command \"poly3 detrend\".", "1detrendCubic()", NO_GROUP, 5},
    {7, 3, "Detrend: Poly", "Detrends all curves using a polynomial fit of order n.\nNote: Equivalent command \"poly<n> detrend\",\nwhere <n> is replaced by the order of interest.", "1detrendPoly()", NO_GROUP, 5},
    {7, 4, "Model: Linear", "Models each curve using a linear fit.\nThe model may then be added as a new plot, replace the existing plot,\nor simply displayed as a model equation.\nNote: Equivalent command \"poly1 overlay\", \"poly1 replace\", or \"poly1 model\".", "1modelLin()", NO_GROUP, 5},
    {7, 5, "Model: Quadratic", "Models each curve using a quadratic fit.\nThe model may then be added as a new plot, replace the existing plot,\nor simply displayed as a model equation.\nNote: Equivalent command \"poly2 overlay\", \"poly2 replace\", or \"poly2 model\".", "1modelQuad()", NO_GROUP, 5},
    {7, 6, "Model: Cubic", "Models each curve using a cubic fit.\nThe model may then be added as a new plot, replace the existing plot,\nor simply displayed as a model equation.\nNote: Equivalent command \"poly3 overlay\", \"poly3 replace\", or \"poly3 model\".", "1modelCubic()", NO_GROUP, 5},
    {7, 7, "Model: Poly", "Models each curve using a polynomial fit of order n.\nThe model may then be added as a new plot, replace the existing plot,\nor simply displayed as a model equation.\nNote: Equivalent command \"poly<n> overlay\", \"poly<n> replace\", or \"poly<n> model\",\nwhere <n> is replaced by the order of interest.", "1modelPoly()", NO_GROUP, 5},
    {8, 0, "Power Spectral Density (PSD)", "Open the FFT Configuration window to compute\nthe Fast-Fourier Transform of each curve in the plot.\nResults are displayed in a Power Spectral Density (PSD) representation.", "1plotpsd()", NO_GROUP, 5},
    {8, 1, "iFFT", "Computes the Inverse Fast-Fourier Transform of the data in the plot.\nNOTE: This function assumes that the real and imaginary\ncomponents are given as the domain and range values, respectively.", "1plotifft()", NO_GROUP, 5},
    {8, 2, "Autocorrelation (ACF)", "Computes the Autocorrelation Function of each curve in the plot.\nResults are displayed in a new plotter.", "1plotacf()", NO_GROUP, 5},
    {8, 3, "Cross-correlation (XCF)", "Computes the Cross-correlation Function between two curves in the plot.\nResults are displayed in a new plotter.", "1plotxcf()", NO_GROUP, 5},
    {8, 4, "Convolution (CONV)", "Computes the Convolution between two curves in the plot.\nResults are displayed in a new plotter.", "1plotconv()", NO_GROUP, 5},
    {8, 5, "Histogram", "Geneates a Histogram for each curve in the plot.\nResults are display in a new plotter.", "1plothist()", NO_GROUP, 5},
    {9, 0, "Average Data", "Average Data: the data in each curve is grouped into bins of n points.\nEach bin is then replaced by the bin's average.", "1avgData()", NO_GROUP, 5},
    {9, 1, "Average Data Span", "Average Data Span: the data in each curve is grouped into bins encompassing a given data span.\nThe data within each span is then replaced by the span's average.", "1avgDataSpan()", NO_GROUP, 5},
    {9, 2, "Smooth Data", "Open the Filter Design window, defaulting the window's\nconfiguration to the Smooth filter type.", "1smooth_fir()", NO_GROUP, 5},
    {9, 3, "IIR", "Open the Filter Design window, defaulting the window's\nconfiguration to the IIR filter type.", "1butterworth()", NO_GROUP, 5},
    {9, 4, "FIR", "Open the Filter Design window, defaulting the window's\nconfiguration to the FIR filter type.", "1fir()", NO_GROUP, 5},
    {10, 0, "Allan Deviations", "Open the Allan Deviation window to compute\nADEV statistics on the curves in the plot.", "1plotAdev()", NO_GROUP, 5},
    {10, 1, "Oscillation Power", "Open the FFT Configuration window to compute\nthe Fast-Fourier Transform of each curve in the plot.\nResults are displayed in a Oscillation Power representation.", "1plotoscpwr()", NO_GROUP, 5},
    {10, 2, "Phase Noise Power", "Open the FFT Configuration window to compute\nthe Fast-Fourier Transform of each curve in the plot.\nResults are displayed in a Phase Noise Power representation.", "1plotphasenoise()", NO_GROUP, 5},
    {10, 3, "Noise Generator", "Open the Noise Generator window to\ncreate statiscally accurate sets of noise data.", "1buildNoise()", NO_GROUP, 5},
    {10, 4, "Time-Interval → Frac. Frequency", "Convert time-interval data to fractional-frequency.", "1timeintToFracfreq()", NO_GROUP, 5},
    {10, 5, "Frac. Frequency → Time-Interval", "Convert fractional-frequency data to time-interval.", "1fracFreqToTimeInt()", NO_GROUP, 5},
};

const struct {
    const char* title;
    int buttons;
} kPages[] = {
    {"System", 5},           {"Plot Colors", 7},   {"Plot Annotations", 7}, {"Grid Adjustments", 9},
    {"Plot Style", 8},       {"Markers and Pointers", 7}, {"Basic Functions", 15}, {"Curve Fitting", 8},
    {"Signal Processing", 6}, {"Filters", 5},       {"Precision Timing", 6},
};

TEST(ToolboxCategories, PagesAndEveryButtonAsDescribed)
{
    const auto categories = makeToolboxCategories();
    ASSERT_EQ(categories.size(), std::size(kPages));
    for (std::size_t p = 0; p < categories.size(); ++p) {
        EXPECT_EQ(categories[p]->title(), QString::fromUtf8(kPages[p].title));
        EXPECT_EQ(categories[p]->buttonCount(), kPages[p].buttons) << kPages[p].title;
        EXPECT_FALSE(categories[p]->icon().isNull()) << kPages[p].title;
    }
    int rows = 0;
    for (const ButtonRow& b : kButtons) {
        SCOPED_TRACE(QStringLiteral("page %1 button %2").arg(b.page).arg(b.index).toStdString());
        const CategoryInterface& c = *categories[std::size_t(b.page)];
        EXPECT_EQ(c.label(b.index), QString::fromUtf8(b.label));
        EXPECT_EQ(c.tooltip(b.index), QString::fromUtf8(b.tooltip));
        const char* slot = c.slotName(b.index);
        if (b.slot)
            EXPECT_STREQ(slot, b.slot);
        else
            EXPECT_EQ(slot, nullptr);
        EXPECT_EQ(c.toggleKind(b.index), std::make_pair(b.group, b.group != NO_GROUP));
        EXPECT_EQ(c.exclusiveIndex(b.index), b.exclusiveIndex);
        ++rows;
    }
    int total = 0;
    for (const auto& p : kPages)
        total += p.buttons;
    EXPECT_EQ(rows, total);
}

TEST(ToolboxCategories, IndicesOutsideAPageAreEmpty)
{
    const auto categories = makeToolboxCategories();
    for (const auto& c : categories)
        for (int index : {-1, c->buttonCount(), 100}) {
            EXPECT_TRUE(c->label(index).isEmpty());
            EXPECT_TRUE(c->tooltip(index).isEmpty());
            EXPECT_EQ(c->slotName(index), nullptr);
            EXPECT_EQ(c->toggleKind(index), std::make_pair(NO_GROUP, false));
            EXPECT_EQ(c->exclusiveIndex(index), 5);
        }
}

TEST(ToolboxCategories, AnIdNamesTheButtonAfterTheOffset)
{
    const int before = CategoryInterface::constructedCount();
    const auto categories = makeToolboxCategories();
    const int n = CategoryInterface::constructedCount();
    EXPECT_EQ(n, before + 11);
    CategoryInterface& plotStyle = *categories[4];
    EXPECT_EQ(plotStyle.idOffset(), n);
    std::vector<std::optional<std::string>> emitted;
    QObject::connect(&plotStyle, &CategoryInterface::signal, [&](const char* slot) {
        emitted.push_back(slot ? std::optional<std::string>(slot) : std::nullopt);
    });
    plotStyle.setCurrentCategory(n + 7);  // "Bar Plot"
    plotStyle.setCurrentCategory(0);      // below the offset: no slot
    plotStyle.setCurrentCategory(n + 8);  // past the last button
    // A later window's categories leave these ids alone.
    const auto later = makeToolboxCategories();
    plotStyle.setCurrentCategory(n + 7);
    const std::vector<std::optional<std::string>> expected = {"1on_togBar()", std::nullopt, std::nullopt,
                                                              "1on_togBar()"};
    EXPECT_EQ(emitted, expected);
}

// ------------------------------------------------------------ in the main window

class Toolbox : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        writeSetting(QStringLiteral("quickstart"), QVariant(false));
        m_verbose = kro::isVerbose();
        m_window = std::make_unique<KROGui>(QStringList{QStringLiteral("kro")});
    }
    void TearDown() override
    {
        m_window.reset();
        kro::setVerbose(m_verbose);
    }
    // The toolbox button with that text on a page.
    QAbstractButton* button(int page, const QString& text) const
    {
        auto* area = qobject_cast<QScrollArea*>(m_window->toolbox()->widget(page));
        if (!area)
            return nullptr;
        for (auto* b : area->widget()->findChildren<QAbstractButton*>())
            if (b->text() == text)
                return b;
        return nullptr;
    }
    int shownPage() const { return m_window->centralStack()->currentIndex(); }
    // Whether the toolbar shows its snap-to button.
    bool snapToShown() const
    {
        for (QAction* a : m_window->toolbar()->actions())
            if (m_window->toolbar()->widgetForAction(a) == m_window->snapToButton())
                return a->isVisible();
        return false;
    }

    std::unique_ptr<KROGui> m_window;
    bool m_verbose = false;
};

TEST_F(Toolbox, EveryPlotSlotAButtonNamesExistsOnThePlot)
{
    Plotter* plot = m_window->activePlotter();
    ASSERT_NE(plot, nullptr);
    const QStringList ownSlots = {QStringLiteral("1printPlot()"), QStringLiteral("1screenShot()"),
                                  QStringLiteral("1verbose()")};
    QStringList missing;
    for (const ButtonRow& b : kButtons) {
        if (!b.slot || ownSlots.contains(QString::fromLatin1(b.slot)))
            continue;
        const QByteArray signature = QMetaObject::normalizedSignature(b.slot + 1);
        if (plot->metaObject()->indexOfMethod(signature.constData()) < 0)
            missing << QString::fromLatin1(signature);
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QLatin1Char(' ')).toStdString();
}

TEST_F(Toolbox, PagesHoldTheCategoriesButtons)
{
    QToolBox* box = m_window->toolbox();
    ASSERT_EQ(box->count(), int(std::size(kPages)));
    EXPECT_FALSE(m_window->toolsetsDock()->isHidden());
    for (int p = 0; p < box->count(); ++p)
        EXPECT_EQ(box->itemText(p), QString::fromUtf8(kPages[p].title));
    for (const ButtonRow& b : kButtons) {
        QAbstractButton* shown = button(b.page, QString::fromUtf8(b.label));
        ASSERT_NE(shown, nullptr) << b.label;
        EXPECT_EQ(shown->toolTip(), QString::fromUtf8(b.tooltip)) << b.label;
        EXPECT_EQ(shown->isCheckable(), b.group != NO_GROUP) << b.label;
    }
    // "MJD -> Date/Time" waits for a plot with MJD values.
    EXPECT_TRUE(button(3, QStringLiteral("MJD -> Date/Time"))->isHidden());
}

TEST_F(Toolbox, PageTogglesShowTheirPagesExclusively)
{
    QAbstractButton* save = button(0, QStringLiteral("Save Data"));
    QAbstractButton* settings = button(0, QStringLiteral("Default Settings"));
    ASSERT_TRUE(save && settings);
    settings->click();
    EXPECT_EQ(shownPage(), 1);
    save->click();
    EXPECT_FALSE(settings->isChecked());
    EXPECT_EQ(shownPage(), 2);
    save->click();
    EXPECT_EQ(shownPage(), 0);

    // With "Default Settings" toggled last, a plain button shows its page
    // again and reloads the stored record before its slot runs.
    settings->click();
    Plotter* plot = m_window->activePlotter();
    const int diameter = plot->m_pointDiameter;
    m_window->centralStack()->setCurrentIndex(0);
    writeSetting(QStringLiteral("workspacepath"), QStringLiteral("/tmp/kro-elsewhere"));
    button(4, QStringLiteral("Point Size: Increase"))->click();
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(m_window->settingsPage()->m_stored.workspacepath, QStringLiteral("/tmp/kro-elsewhere"));
    EXPECT_GT(plot->m_pointDiameter, diameter);

    // Once another group's button was toggled, plain clicks leave the pages.
    button(3, QStringLiteral("Log X Scale"))->click();
    EXPECT_TRUE(plot->m_logX);
    m_window->centralStack()->setCurrentIndex(0);
    button(4, QStringLiteral("Point Size: Increase"))->click();
    EXPECT_EQ(shownPage(), 0);
}

TEST_F(Toolbox, PointerModesAreExclusiveAndBringTheSnapButton)
{
    QAbstractButton* xy = button(5, QStringLiteral("Pointer: x,y"));
    QAbstractButton* dateY = button(5, QStringLiteral("Pointer: date,y"));
    QAbstractButton* both = button(5, QStringLiteral("Pointer: both"));
    xy->click();
    EXPECT_TRUE(xy->isChecked());
    EXPECT_TRUE(snapToShown());
    dateY->click();
    EXPECT_TRUE(dateY->isChecked());
    EXPECT_FALSE(xy->isChecked());
    EXPECT_FALSE(both->isChecked());
    EXPECT_TRUE(snapToShown());
    dateY->click();
    EXPECT_FALSE(dateY->isChecked());
    EXPECT_FALSE(snapToShown());
}

TEST_F(Toolbox, VerboseModeInvertsTheFlagOnEveryClick)
{
    kro::setVerbose(false);
    QAbstractButton* verbose = button(0, QStringLiteral("Verbose Mode"));
    for (bool expected : {true, false, true}) {
        verbose->click();
        EXPECT_EQ(kro::isVerbose(), expected);
        EXPECT_EQ(verbose->isChecked(), expected);
    }
    // Turning it off brings the console page to the front.
    m_window->console()->command(QStringLiteral("debug on"), false);
    m_window->consoleTabs()->setCurrentIndex(1);
    verbose->click();
    EXPECT_FALSE(kro::isVerbose());
    EXPECT_EQ(m_window->consoleTabs()->currentIndex(), 0);
    // The setting is not written.
    EXPECT_FALSE(readSettingBool(QStringLiteral("verbose"), false));
}

TEST_F(Toolbox, ASlotThePlotLacksChangesNothing)
{
    const QString before = m_window->console()->toPlainText();
    m_window->emitfuntion("1noSuchOperation()");
    m_window->emitfuntion(nullptr);
    EXPECT_EQ(m_window->console()->toPlainText(), before);
    EXPECT_EQ(shownPage(), 0);
}

TEST_F(Toolbox, AnnotationButtonsPlaceArrowsAndLabelsThatTheCaptureShows)
{
    m_window->resize(1600, 1000);
    m_window->show();
    QApplication::processEvents();
    Plotter* p = m_window->activePlotter();
    ASSERT_NE(p, nullptr);
    ASSERT_GT(p->width(), 400);
    button(2, QStringLiteral("Add Arrow"))->click();
    ASSERT_NE(p->arrowTable(), nullptr);
    ASSERT_EQ(p->arrowTable()->m_arrows.size(), 1u);
    EXPECT_FALSE(p->arrowTable()->isVisible());
    button(2, QStringLiteral("Add Label"))->click();
    ASSERT_NE(p->labeler(), nullptr);
    EXPECT_TRUE(p->labeler()->isVisible());

    // A label written in its designer: Greek, sub- and superscript, bold,
    // colour and the characters markup treats specially.
    p->labeler()->xBox(0)->setValue(p->m_marginLeft + 10);
    p->labeler()->yBox(0)->setValue(p->m_marginTop + 10);
    ActionLabel* label = p->customLabel(0);
    LabelDesigner* d = label->designer();
    d->editor()->setHtml("U<sub>i</sub> = 3 &alpha;<sup>2</sup> <b>bold</b> &amp; &lt; "
                         "<span style=\"color:#c00000\">red</span>");
    QMetaObject::invokeMethod(d, "on_done");
    QApplication::processEvents();
    ASSERT_GT(label->width(), 20);

    // The capture shows the label exactly as the screen does, and the arrow.
    QWidget* quad = m_window->plotterCtrl()->currentQuad();
    const QImage capture = m_window->grabPlotPixmap(false).toImage().convertToFormat(QImage::Format_RGB32);
    const QRect where(label->mapTo(quad, QPoint(0, 0)), label->size());
    ASSERT_TRUE(QRect(QPoint(0, 0), p->size()).contains(label->geometry()));
    EXPECT_EQ(capture.copy(where), label->grab().toImage().convertToFormat(QImage::Format_RGB32));
    const ArrowWidget* arrow = p->arrowTable()->m_arrows[0];
    const QPoint middle = arrow->mapTo(quad, (arrow->m_p1 + arrow->m_p2) / 2);
    int ink = 0;
    for (int x = middle.x() - 10; x <= middle.x() + 10; ++x)
        ink += capture.pixelColor(x, middle.y()) == QColor(10, 10, 10);
    EXPECT_EQ(ink, 21);
}

} // namespace
