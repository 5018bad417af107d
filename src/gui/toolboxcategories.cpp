#include "gui/toolboxcategories.h"

#include "platform/embeddedimages.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
int g_constructed = 0;
}

CategoryInterface::CategoryInterface(const char* title, const char* iconName, std::vector<Button> buttons)
    : m_title(title), m_iconName(iconName), m_buttons(std::move(buttons))
{
    ++g_constructed;
}

int CategoryInterface::constructedCount() { return g_constructed; }

const CategoryInterface::Button* CategoryInterface::button(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_buttons.size()))
        return nullptr;
    return &m_buttons[static_cast<std::size_t>(index)];
}

int CategoryInterface::exclusiveIndex(int index) const
{
    const Button* b = button(index);
    return b ? b->exclusiveIndex : 5;
}

QString CategoryInterface::title() const { return QString::fromUtf8(m_title); }

const char* CategoryInterface::slotName(int index) const
{
    const Button* b = button(index);
    return b ? b->slot : nullptr;
}

QIcon CategoryInterface::icon() const
{
    const QString name = QString::fromLatin1(m_iconName);
    const QIcon embedded = embeddedIcon(name);
    if (!embedded.isNull())
        return embedded;
    return QFileInfo::exists(name) ? QIcon(name) : QIcon();
}

int CategoryInterface::buttonCount() const { return static_cast<int>(m_buttons.size()); }

QString CategoryInterface::label(int index) const
{
    const Button* b = button(index);
    if (!b)
        return QString();
    QString text = QCoreApplication::translate("CategoryInterface", b->label);
    if (b->fill)
        for (const char16_t* c = b->fill; *c; ++c)
            text = text.arg(QChar(*c));
    return text;
}

std::pair<BTNGRPCAT, bool> CategoryInterface::toggleKind(int index) const
{
    const Button* b = button(index);
    if (!b || b->group == NO_GROUP)
        return {NO_GROUP, false};
    return {b->group, true};
}

QString CategoryInterface::tooltip(int index) const
{
    const Button* b = button(index);
    return b ? QCoreApplication::translate("CategoryInterface", b->tooltip) : QString();
}

void CategoryInterface::setCurrentCategory(int id) { Q_EMIT signal(slotName(id - m_idOffset)); }

// ------------------------------------------------------------ the eleven pages

namespace {

class SystemCategory : public CategoryInterface {
public:
    SystemCategory()
        : CategoryInterface("System", "system.png",
                            {
                                {"Print", "Send the plot directly to a print device.", "1printPlot()", NO_GROUP, 5},
                                {"Image Capture", "Instantly save the plot as an image file.\nNote: customize behavior via the Default Settings page.", "1screenShot()", NO_GROUP, 5},
                                {"Save Data", "Store the plot's data to a text file.", nullptr, PAGE_TOGGLE, 0},
                                {"Default Settings", "Toggle the Default Settings page opened and closed.", nullptr, PAGE_TOGGLE, 1},
                                {"Verbose Mode", "ToggleVerbose notification mode on and off.", "1verbose()", VERBOSE_MODE, 5},
                            })
    {
    }
};

class PlotColorsCategory : public CategoryInterface {
public:
    PlotColorsCategory()
        : CategoryInterface("Plot Colors", "colors.png",
                            {
                                {"Border", "Customize the plot's border color.", "1changeOutsideColor()", NO_GROUP, 5},
                                {"Background", "Customize the plot's background color.", "1changeInsideColor()", NO_GROUP, 5},
                                {"Gridline", "Customize the gridline color.", "1changeGridColor()", NO_GROUP, 5},
                                {"Gridline text", "Customize the gridlines' text color.", "1changeAxesMarkersColor()", NO_GROUP, 5},
                                {"Axes Labels", "Customize the x & y axes label colors.", "1changeAxesColor()", NO_GROUP, 5},
                                {"Title", "Customize the title color.", "1changeTitleColor()", NO_GROUP, 5},
                                {"Footnote", "Customize the footnote color.", "1changeFootnoteColor()", NO_GROUP, 5},
                            })
    {
    }
};

class PlotLabelsCategory : public CategoryInterface {
public:
    PlotLabelsCategory()
        : CategoryInterface("Plot Annotations", "labels.png",
                            {
                                {"Title", "Open the title editor panel.\nClicking this is the same as clicking the title itself.", "1on_changeTitle()", NO_GROUP, 5},
                                {"X-Axis", "Open the X-Axis editor panel.\nClicking this is the same as clicking the x-axis label itself.", "1on_changeXLabel()", NO_GROUP, 5},
                                {"Y-Axis", "Open the Y-Axis editor panel.\nClicking this is the same as clicking the y-axis label itself.", "1on_changeYLabel()", NO_GROUP, 5},
                                {"Tick Font Size", "Adjust the font sizes of the x and y gridlines' text.", "1setTickFontSize()", NO_GROUP, 5},
                                {"Footnote", "Open the footnote editor panel.\nClicking this is the same as clicking the footnote itself.", "1on_changeFootnote()", NO_GROUP, 5},
                                {"Add Label", "Open the Custom Labels window.\nUse this to add customized text to your plots.", "1showLabeler()", NO_GROUP, 5},
                                {"Add Arrow", "Immediately add an arrow to the plot.\nMove and/or rotate the arrow by grabbing it with your mouse.\nFurther customize the arrow by right-clicking it.", "1addArrow()", NO_GROUP, 5},
                            })
    {
    }
};

class GridAdjustCategory : public CategoryInterface {
public:
    GridAdjustCategory()
        : CategoryInterface("Grid Adjustments", "grid.png",
                            {
                                {"Granularity of Vertical Grid", "Set the granularity of the vertical (x-axis) grid.", "1setXTickGranularity()", NO_GROUP, 5},
                                {"Granularity of Horizontal Grid", "Set the granularity of the horizontal (y-axis) grid.", "1setYTickGranularity()", NO_GROUP, 5},
                                {"Toggle Grid (On/Off)", "Click to toggle the gridlines on/off.\nNote: more control is provided by the \"grid\" command.\nType \"help grid\" for details.", "1on_togGrid()", TOGGLE_GRID, 5},
                                {"Set Domain span", "Manually set the domain span.\nNote: more control is provided by the \"spanx\" command.\nType \"help spanx\" for details.", "1promptDomain()", NO_GROUP, 5},
                                {"Set Range span", "Manually set the range span.\nNote: more control is provided by the \"spany\" command.\nType \"help spany\" for details.", "1promptRange()", NO_GROUP, 5},
                                {"Log X Scale", "Toggles the x-axis in and out of a logarithmic scale.", "1on_togLogScaleX()", LOG_X, 5},
                                {"Log Y Scale", "Toggles the y-axis in and out of a logarithmic scale.", "1on_togLogScaleY()", LOG_Y, 5},
                                {"Unix Time -> MJD", "Converts Unix timestamps to MJD, enabling the MJD -> Date/Time gridline option.\nNote: This will convert your x-axis values to MJD for Date/Time display.\nUnixTime = (MJD - 40587) x 86400\nIf desired, you can manually convert back to Unix time by executing the following\ncommands from the command window:\n  > subx 40587\n  > mulx 86400", "1on_convertFromUnixToMJD()", NO_GROUP, 5},
                                {"MJD -> Date/Time", "Toggles the x-axis gridline text from MJD to Calendar Date/Time and vice-versa.", "1on_togDateTimeAxis()", MJD_DATETIME, 5},
                            })
    {
    }
};

class PlotStyleCategory : public CategoryInterface {
public:
    PlotStyleCategory()
        : CategoryInterface("Plot Style", "style.png",
                            {
                                {"Point Size: Increase", "Click to increase the data point size radius by 1.\nNote: Use the \"pntrad\" command for more control.\nType \"help pntrad\" for details.", "1increasePntRadius()", NO_GROUP, 5},
                                {"Point Size: Decrease", "Click to decrease the data point size radius by 1.\nNote: Use the \"pntrad\" command for more control.\nType \"help pntrad\" for details.", "1decreasePntRadius()", NO_GROUP, 5},
                                {"Line Width: Increase", "Click to increase the line width size by 1.\nNote: Use the \"linewidth\" command for more control.\nType \"help linewidth\" for details.", "1increaseLineWidth()", NO_GROUP, 5},
                                {"Line Width: Decrease", "Click to decrease the line width size by 1.\nNote: Use the \"linewidth\" command for more control.\nType \"help linewidth\" for details.", "1decreaseLineWidth()", NO_GROUP, 5},
                                {"Curve Line", "Toggles the curves' lines on/off.\nNote: Use the \"line\" command for more control.\nType \"help line\" for details.", "1on_togLine()", CURVE_LINE, 5},
                                {"Reduced Line Intensity", "Click this to reduce the color intensity of\nthe line connecting the points within each curve.", "1on_togLineIntensity()", REDUCED_INTENSITY, 5},
                                {"Data Points", "Toggles the curves' points on/off.\nNote: Use the \"pnts\" command for more control.\nType \"help pnts\" for details.", "1on_togPnts()", DATA_POINTS, 5},
                                {"Bar Plot", "Toggles the display of the data from\nscatter or line plot to Bar plot.", "1on_togBar()", BAR_PLOT, 5},
                            })
    {
    }
};

class MarkersPointersCategory : public CategoryInterface {
public:
    MarkersPointersCategory()
        : CategoryInterface("Markers and Pointers", "mouse.png",
                            {
                                {"Marker: Add Vertical", "Click to add a new vertical marker to the plot.\nNote: Use the \"marker\" command for more control.\nType \"help marker\" for details.", "1addVMarker()", NO_GROUP, 5},
                                {"Marker: Add Horizontal", "Click to add a new horizontal marker to the plot.\nNote: Use the \"hmarker\" command for more control.\nType \"help hmarker\" for details.", "1addHMarker()", NO_GROUP, 5},
                                {"Marker: Add Delta", "Click to add a new delta-marker to the plot.\nNote: Use the \"dmarker\" command for more control.\nType \"help dmarker\" for details.", "1addMarkerDiff()", NO_GROUP, 5},
                                {"Marker: Remove", "Click to remove a marker from the plot.\nNote: Use the \"remove\" command for more control.\nType \"help remove\" for details.", "1removeMarkers()", NO_GROUP, 5},
                                {"Pointer: x,y", "Enable mouse-tracking mode, displaying\nthe mouse's current (x,y) position.", "1toggleMouseXY()", POINTER_MODE, 2},
                                {"Pointer: date,y", "Enable mouse-tracking mode, displaying\nthe mouse's current (date,y) position.", "1toggleMouseDateY()", POINTER_MODE, 3},
                                {"Pointer: both", "Enable mouse-tracking mode, displaying\nthe mouse's current (x,y) and (date,y) position.", "1toggleMouseDateXY()", POINTER_MODE, 4},
                            })
    {
    }
};

class BasicFunctionsCategory : public CategoryInterface {
public:
    BasicFunctionsCategory()
        : CategoryInterface("Basic Functions", "basicmath.png",
                            {
                                {"+ - * /", "Open the Arithmetic Command Builder window.\nThis window assists in creating commands for\nperforming arithmetic operations on your curves.", "1arithDiag()", NO_GROUP, 5},
                                {"Expressions", "Open the Expressions window.\nThis window allows entry of expression commands.\nNote: the same commands can be entered directly\ninto the Command Window using the \"expr\" command.", "1expression()", NO_GROUP, 5},
                                {"log10(y)", "Perform a log10(y) operation on all data in the plot.", "1logData()", NO_GROUP, 5},
                                {"10^y", "Perform a 10^y operation on all data in the plot.", "1linData()", NO_GROUP, 5},
                                {"%1%2/%3%4", "Perform numerical differentiation on all data in the plot.\nNote: Identical to issuing the command \"diff\".\nType \"help diff\" for details.", "1differentiate()", NO_GROUP, 5, u"\u03B4\u03B8\u03B4\u03C4"},
                                {"%1y%2%3", "Perform numerical integration on all data in the plot.", "1integrate()", NO_GROUP, 5, u"\u03A3\u03B4\u03B8"},
                                {"%1y", "Perform a cumulative summation on all data in the plot.", "1cumulativeSum()", NO_GROUP, 5, u"\u03A3"},
                                {"Remove Mean", "Remove the mean value of each curve from itself.\nNote: Identical to issuing the \"mean\" command.", "1removeMean()", NO_GROUP, 5},
                                {"Normalize", "Normalize the scale of each curve to fit within -1 and 1.\nNote: Same as using the command \"norm -1 1\".", "1normalize()", NO_GROUP, 5},
                                {"nth-Difference", "Perform an n-difference operator on the data.\nNote: for more control, use the \"diff<n>\" command.\nType \"help diff\" for details.", "1ndiff()", NO_GROUP, 5},
                                {"Unwrap", "Unwrap phase rolloevers in curve data.\nNote: for more control, use the \"unwrap\" command.\nType \"help unwrap\" for details.", "1unwrap()", NO_GROUP, 5},
                                {"Sort", "Sorts the data.\nEquivalent to the \"sort\" command.", "1sort()", NO_GROUP, 5},
                                {"Rotate", "Rotate a curve left or right by a given number of points.\nNote: Equivalent commands are \"rotl\" and \"rotr\".", "1rotateCurves()", NO_GROUP, 5},
                                {"Insert a point", "Manually insert a point into a curve.", "1on_addPoint()", NO_GROUP, 5},
                                {"Remove curve(s)", "Remove one or more curves from the plot.\nNote: Use the \"remove\" command for more control.\nType \"help remove\" for details.", "1removeCurves()", NO_GROUP, 5},
                            })
    {
    }
};

class CurveFittingCategory : public CategoryInterface {
public:
    CurveFittingCategory()
        : CategoryInterface("Curve Fitting", "curvefit.png",
                            {
                                {"Detrend: Linear", "Detrends all curves using a linear fit.\nNote: Equivalent command \"poly1 detrend\".", "1detrendLin()", NO_GROUP, 5},
                                {"Detrend: Quadratic", "Detrends all curves using a quadratic fit.\nNote: Equivalent command \"poly2 detrend\".", "1detrendQuad()", NO_GROUP, 5},
                                {"Detrend: Cubic", "Detrends all curves using a cubic fit.\nNote: Equivalent command \"poly3 detrend\".", "1detrendCubic()", NO_GROUP, 5},
                                {"Detrend: Poly", "Detrends all curves using a polynomial fit of order n.\nNote: Equivalent command \"poly<n> detrend\",\nwhere <n> is replaced by the order of interest.", "1detrendPoly()", NO_GROUP, 5},
                                {"Model: Linear", "Models each curve using a linear fit.\nThe model may then be added as a new plot, replace the existing plot,\nor simply displayed as a model equation.\nNote: Equivalent command \"poly1 overlay\", \"poly1 replace\", or \"poly1 model\".", "1modelLin()", NO_GROUP, 5},
                                {"Model: Quadratic", "Models each curve using a quadratic fit.\nThe model may then be added as a new plot, replace the existing plot,\nor simply displayed as a model equation.\nNote: Equivalent command \"poly2 overlay\", \"poly2 replace\", or \"poly2 model\".", "1modelQuad()", NO_GROUP, 5},
                                {"Model: Cubic", "Models each curve using a cubic fit.\nThe model may then be added as a new plot, replace the existing plot,\nor simply displayed as a model equation.\nNote: Equivalent command \"poly3 overlay\", \"poly3 replace\", or \"poly3 model\".", "1modelCubic()", NO_GROUP, 5},
                                {"Model: Poly", "Models each curve using a polynomial fit of order n.\nThe model may then be added as a new plot, replace the existing plot,\nor simply displayed as a model equation.\nNote: Equivalent command \"poly<n> overlay\", \"poly<n> replace\", or \"poly<n> model\",\nwhere <n> is replaced by the order of interest.", "1modelPoly()", NO_GROUP, 5},
                            })
    {
    }
};

class SignalProcessing : public CategoryInterface {
public:
    SignalProcessing()
        : CategoryInterface("Signal Processing", "signalproc.png",
                            {
                                {"Power Spectral Density (PSD)", "Open the FFT Configuration window to compute\nthe Fast-Fourier Transform of each curve in the plot.\nResults are displayed in a Power Spectral Density (PSD) representation.", "1plotpsd()", NO_GROUP, 5},
                                {"iFFT", "Computes the Inverse Fast-Fourier Transform of the data in the plot.\nNOTE: This function assumes that the real and imaginary\ncomponents are given as the domain and range values, respectively.", "1plotifft()", NO_GROUP, 5},
                                {"Autocorrelation (ACF)", "Computes the Autocorrelation Function of each curve in the plot.\nResults are displayed in a new plotter.", "1plotacf()", NO_GROUP, 5},
                                {"Cross-correlation (XCF)", "Computes the Cross-correlation Function between two curves in the plot.\nResults are displayed in a new plotter.", "1plotxcf()", NO_GROUP, 5},
                                {"Convolution (CONV)", "Computes the Convolution between two curves in the plot.\nResults are displayed in a new plotter.", "1plotconv()", NO_GROUP, 5},
                                {"Histogram", "Geneates a Histogram for each curve in the plot.\nResults are display in a new plotter.", "1plothist()", NO_GROUP, 5},
                            })
    {
    }
};

class FilterCategory : public CategoryInterface {
public:
    FilterCategory()
        : CategoryInterface("Filters", "filter.png",
                            {
                                {"Average Data", "Average Data: the data in each curve is grouped into bins of n points.\nEach bin is then replaced by the bin's average.", "1avgData()", NO_GROUP, 5},
                                {"Average Data Span", "Average Data Span: the data in each curve is grouped into bins encompassing a given data span.\nThe data within each span is then replaced by the span's average.", "1avgDataSpan()", NO_GROUP, 5},
                                {"Smooth Data", "Open the Filter Design window, defaulting the window's\nconfiguration to the Smooth filter type.", "1smooth_fir()", NO_GROUP, 5},
                                {"IIR", "Open the Filter Design window, defaulting the window's\nconfiguration to the IIR filter type.", "1butterworth()", NO_GROUP, 5},
                                {"FIR", "Open the Filter Design window, defaulting the window's\nconfiguration to the FIR filter type.", "1fir()", NO_GROUP, 5},
                            })
    {
    }
};

class PrecTimingCategory : public CategoryInterface {
public:
    PrecTimingCategory()
        : CategoryInterface("Precision Timing", "clock.png",
                            {
                                {"Allan Deviations", "Open the Allan Deviation window to compute\nADEV statistics on the curves in the plot.", "1plotAdev()", NO_GROUP, 5},
                                {"Oscillation Power", "Open the FFT Configuration window to compute\nthe Fast-Fourier Transform of each curve in the plot.\nResults are displayed in a Oscillation Power representation.", "1plotoscpwr()", NO_GROUP, 5},
                                {"Phase Noise Power", "Open the FFT Configuration window to compute\nthe Fast-Fourier Transform of each curve in the plot.\nResults are displayed in a Phase Noise Power representation.", "1plotphasenoise()", NO_GROUP, 5},
                                {"Noise Generator", "Open the Noise Generator window to\ncreate statiscally accurate sets of noise data.", "1buildNoise()", NO_GROUP, 5},
                                {"Time-Interval %1 Frac. Frequency", "Convert time-interval data to fractional-frequency.", "1timeintToFracfreq()", NO_GROUP, 5, u"\u2192"},
                                {"Frac. Frequency %1 Time-Interval", "Convert fractional-frequency data to time-interval.", "1fracFreqToTimeInt()", NO_GROUP, 5, u"\u2192"},
                            })
    {
    }
};

} // namespace

std::vector<std::unique_ptr<CategoryInterface>> makeToolboxCategories()
{
    std::vector<std::unique_ptr<CategoryInterface>> list;
    list.push_back(std::make_unique<SystemCategory>());
    list.push_back(std::make_unique<PlotColorsCategory>());
    list.push_back(std::make_unique<PlotLabelsCategory>());
    list.push_back(std::make_unique<GridAdjustCategory>());
    list.push_back(std::make_unique<PlotStyleCategory>());
    list.push_back(std::make_unique<MarkersPointersCategory>());
    list.push_back(std::make_unique<BasicFunctionsCategory>());
    list.push_back(std::make_unique<CurveFittingCategory>());
    list.push_back(std::make_unique<SignalProcessing>());
    list.push_back(std::make_unique<FilterCategory>());
    list.push_back(std::make_unique<PrecTimingCategory>());
    for (auto& c : list)
        c->setIdOffset(CategoryInterface::constructedCount());
    return list;
}
