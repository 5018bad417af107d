#include "command/commandhelp.h"
#include "core/specialsymbols.h"
#include "core/stringutils.h"

#include <algorithm>

namespace {

// The body shared by the eight arithmetic entries, after their format line.
const char* const kArithmeticBody =
    R"~(Purpose : This command is part of the arithmetic method group:
            addx, addy, subx, suby, mulx, muly, divx, divy
          These commands provide convenient and computationally efficient methods
          for scaling plotted data.
Options : value    - a constant numerical value OR
          function - a curve function. Type "help function" for available functions.
          Cj       - An optional curve list (eg C1 C2 C3...).
Example : "Mult 1e9" multiply all curves by 1e9 (default y values).
          "Subx 53000 C3" subtracts 53000 from x on curve 3.
          "Subx mean(x)" removes the aggregate x-axis mean from all curves.
          "Subx mean(x, Cj)" removes each curve's x-axis mean from its own x-axis.
          "Div stdev(C5) C5" divides curve 5 by its standard deviation.
Notes   : addy, suby, muly, and divy are synonymous with add, sub, mul, and div,
          respectively.)~";

QString arithmetic(const char* command)
{
    return QStringLiteral("Format  : %1 <{value|function}> [Cj]\n").arg(QLatin1String(command))
           + QLatin1String(kArithmeticBody);
}

const char* const kGranText =
    R"~(Format  : Gran [{value|auto}] [{value|auto}]
          Granv [{value|auto}]
          Granh [{value|auto}]
Purpose : Sets or shows the tick granularity of the current plot: the spacing of the
          ticks (and grid lines) along an axis.
Options : value - the spacing between two ticks, in axis units
          auto  - the spacing follows the 1-2-5 rule for the range shown
          "gran" sets the vertical lines (x axis) with its first value and the horizontal
          lines (y axis) with its second; "granv" (or "granx") sets the x axis only and
          "granh" (or "grany") the y axis only.
          Without a value the granularity in use is shown.
Example : "gran" shows the granularity of both axes.
          "gran 5 auto" puts an x tick every 5 units and makes the y ticks automatic.
          "granh 0.1" puts a y tick every 0.1 units.
Notes   : The word auto must be written in lower case. "granv" and "granh" take one
          value only.)~";

const char* const kGridText =
    R"~(Format  : Grid [{horizontal|vertical}] <{on|off}>
          Gridh <{on|off}>
          Gridv <{on|off}>
Purpose : Switches the grid lines of the current plot on or off.
Options : horizontal - the horizontal grid lines (at the y ticks); "horiz" is accepted
          vertical   - the vertical grid lines (at the x ticks); "vert" is accepted
          on|off     - show or hide the lines
          Without a direction "grid" switches both sets of lines. "gridh" always
          switches the horizontal and "gridv" the vertical lines.
Example : "grid on" shows all grid lines.
          "grid vertical off" hides the vertical lines and keeps the horizontal ones.
          "gridh on" shows the horizontal lines.)~";

// The arrow of menu paths such as Toolsets→System→Default Settings.
const QString kArrow = QString(QChar(0x2192));

struct Entry {
    const char* name;
    const char* alias;
    QString text;
};

std::vector<Entry> entries(const QString& symbolText)
{
    return {
        {"Add", "Addy", arithmetic("Add(y)")},
        {"Addx", "", arithmetic("Addx")},
        {"Div", "Divy", arithmetic("Div(y)")},
        {"Divx", "", arithmetic("Divx")},
        {"Mul", "Muly", arithmetic("Mul(y)")},
        {"Mulx", "", arithmetic("Mulx")},
        {"Sub", "Suby", arithmetic("Sub(y)")},
        {"Subx", "", arithmetic("Subx")},
        {"\\", "", QStringLiteral(R"~(Format  : \n
Purpose : \ is used as \n in labeling to indicate a new line)~")},
        {"Bar", "", QStringLiteral(R"~(Format  : Bar [{on|off}]
Purpose : Switches the bar style of the current plot: every point is drawn as a bar
          that rises from the bar floor (see "help barfloor").
Options : on  - draw the curves as bars
          off - draw the curves as lines and points again
          Without an option the bar style is toggled.
Example : "bar" toggles the bar style.
          "bar on" draws the curves of the current plot as bars.
Notes   : The words on and off must be written in lower case.)~")},
        {"Barfloor", "", QStringLiteral(R"~(Format  : Barfloor [{value|auto}]
Purpose : Sets the level from which the bars of a bar plot rise, or shows the level in use.
Options : value - the y value at which every bar starts
          auto  - the bar floor is chosen automatically
          Without an option the bar floor in use is shown.
Example : "barfloor 0" lets the bars rise from y = 0.
          "barfloor auto" makes the bar floor automatic again.
Notes   : The word auto must be written in lower case.)~")},
        {"Cache", "", QStringLiteral(R"~(Format  : Cache
Purpose : Stores a copy of the curves of the current plot in the plot's user data cache,
          from which "cacher" restores them later.
Example : "cache" keeps the curves before trying filters or fits on them.
Notes   : The plot keeps one user cache; a new "cache" replaces its contents.
          Text after the command word is ignored.)~")},
        {"Cacher", "cacheretrieve", QStringLiteral(R"~(Format  : Cacher
          Cacheretrieve
Purpose : Replaces the curves of the current plot by the copy held in its user data cache
          (see "help cache") and rescales the plot.
Example : "cacher" brings back the curves cached with "cache".
Notes   : The cache keeps its contents, so it can be retrieved again.
          Text after the command word is ignored.)~")},
        {"Cd", "", QStringLiteral(R"~(Format  : Cd [path]
Purpose : Changes the working directory, against which relative file names of commands
          and scripts are resolved.
Options : path - the new working directory, absolute or relative to the current one
          Without a path the workspace path is used (Toolsets%1System%2Default Settings),
          or the current directory when no workspace path has been set.
Example : "cd ~/KRO/data" makes that folder the working directory.
          "cd .." moves one folder up.
Notes   : "pwd" shows the working directory; "ls" lists it.)~")
                       .arg(kArrow, kArrow)},
        {"Clear", "", QStringLiteral(R"~(Format  : Clear
Purpose : Removes every curve from the current plot (from every plot of the tab in
          sync mode).
Example : "clear" empties the plot before new data are plotted.
Notes   : A live plot only loses its points. Text after the command word is ignored.)~")},
        {"Closeall", "", QStringLiteral(R"~(Format  : Closeall
Purpose : Closes every plot tab and opens one fresh, empty tab.
Example : "closeall" starts over with a single empty tab.
Notes   : Text after the command word is ignored.)~")},
        {"Closetab", "close", QStringLiteral(R"~(Format  : Closetab [label]
          Close [label]
Purpose : Closes the plot tab with the given label, or the current tab.
Options : label - the label of the tab to close, as shown on the tab
Example : "close" closes the current tab.
          "closetab Thermal" closes the tab labelled Thermal.
Notes   : The last remaining tab is never closed.)~")},
        {"Copy", "", QStringLiteral(R"~(Format  : Copy <source> [source ...] <destination>
Purpose : Copies curves to another plot tab or quadrant. The curves stay where they are.
Options : source      - a curve, written [tab:][Qn:]Cn; without a tab the current tab,
                        without a quadrant the active plot
          destination - a tab label, optionally followed by a quadrant: tab[:Qn]
Example : "copy C1 C2 Results" copies curves 1 and 2 of the active plot to the tab Results.
Example : "copy Thermal:Q2:C1 Results:Q3" copies curve 1 of the second plot of the tab
          Thermal to the third plot of the tab Results.
Notes   : Quadrants are numbered down the left column first: Q1 top left, Q2 bottom left,
          Q3 top right, Q4 bottom right. "move" moves curves instead of copying them.)~")},
        {"Crop", "", QStringLiteral(R"~(Format  : Crop <xmin> <xmax> [ymin ymax] [{Cj|all*}]
Purpose : Keeps only the points inside the given limits and removes all others.
Options : xmin xmax - the x range to keep
          ymin ymax - the y range to keep as well (optional)
          Cj        - the curves to crop (eg C1 C2); all curves when none are given
          all       - every curve
Example : "crop 10 20" keeps the points with x from 10 to 20 on every curve.
          "crop 0 100 -5 5 C2" keeps the points of curve 2 inside both ranges.
Notes   : The values may be separated by blanks or commas.)~")},
        {"Csum", "cumulativesum", QStringLiteral(R"~(Format  : Csum [Cj]
Purpose : Replaces the y values of the curves by their cumulative sum.
Options : Cj  - the curves to sum (eg C1 C3); all curves when none are given
          all - every curve
Example : "csum" sums every curve of the current plot.
          "csum C2" sums curve 2 only.)~")},
        {"Diff", "", QStringLiteral(R"~(Format  : Diff [Cj]
          Diff<n> [Cj]
Purpose : Without an order, replaces each curve by its numerical derivative (central
          differences, dy/dx). With an order n, replaces it by its n-th order difference;
          the curve then loses its last n points.
Options : n   - the order of the difference, written directly after the word (diff2)
          Cj  - the curves to difference (eg C1 C2); all curves when none are given
          all - every curve
Example : "diff" differentiates every curve.
          "diff3 C2" takes the third-order difference of curve 2.
Notes   : The order must be larger than 0 and must not be separated from the word:
          "diff 2" is not valid.)~")},
        {"Dmark", "dmarker", QStringLiteral(R"~(Format  : Dmark <Mi> <Mj>
          Dmarker <Mi> <Mj>
Purpose : Adds a delta marker between two markers of the current plot, showing their
          distance.
Options : Mi Mj - exactly two marker identifiers (eg M1 M3)
Example : "dmark M1 M2" shows the distance from marker 1 to marker 2.
Notes   : Markers are created with "vmarker" and "hmarker".)~")},
        {"Exec", "execute", QStringLiteral(R"~(Format  : Exec <program> [arguments]
          Execute <program> [arguments]
Purpose : Starts an external program without waiting for it to end.
Options : program   - the program to start
          arguments - its arguments; write an argument with blanks in double quotes
Example : "exec gedit notes.txt" opens notes.txt in a text editor.
          "exec logger mean(C1)" passes the mean of curve 1 as an argument.
Notes   : Curve functions in the text are replaced by their values first (see
          "help function"); the per-curve form "Cj" is not allowed here.)~")},
        {"Exit", "", QStringLiteral(R"~(Format  : Exit
Purpose : Closes the main window and ends KRO.
Example : "exit" as the last line of a script ends the program when the script is done.
Notes   : Text after the command word is ignored.)~")},
        {"Kro", "", QStringLiteral(R"~(Format  : Kro <-f file [file ...]> [options]
          Kro <{-linked|-piped}> [options]
Purpose : Plots data from text files (or from a program's pipe) in the current plot.
Options : -f files      - the data files; wildcards (*) are allowed
          -x n          - the x column (columns count from 1; 0 numbers the points)
          -y n [n ...]  - the y columns, one curve each; repeat -y for each further file
          -d n, -t n, -dt n  - date, time or date-time column(s) that give x as an MJD
          -dformat f, -tformat f, -dtformat f - their formats (eg %Y-%m-%d)
          -k n          - a key column: every distinct key becomes its own curve
          -header [n]   - the n-th line holds the column titles (default 1)
          -skip n, -get n - lines to skip after the header, data lines to read
          -regex r      - read only the lines that match r as a whole
          -add, -sub, -mult, -div v [v ...] - scale the y columns; -addx ... -divx v for x
          -limitxmin v ... -limitymax v  - keep only the points inside these limits
          -append       - add the curves to those already plotted
          -merge        - put the same column of every file into one curve
          -title t, -xlbl t, -ylbl t, -legend t [t ...] - titles, labels, legend texts
          -domain a b, -range a b - fix the x and y ranges
          -vmarker v [v ...], -hmarker v [v ...] - vertical and horizontal markers
          -bar, -pnts, -noline, -logx, -logy - plot styles
          -linked, -piped - read the data rows from the standard input
Example : "kro -f mydata.dat -x 1 -y 3 4 -mult 10" plots columns 3 and 4 against column 1,
          multiplied by 10.
          "kro -f "run 1.txt" -d 1 -t 2 -y 3 -dformat %d.%m.%Y" plots column 3 against
          the date and time read from columns 1 and 2.
Notes   : Write a file name with blanks in double quotes. The options not given take
          their values from Toolsets%1System%2Default Settings.)~")
                        .arg(kArrow, kArrow)},
        {"Expr", "expression", QStringLiteral(R"~(Format  : Expr <expression>
          Expression <expression>
Purpose : Builds a new curve from an expression over the curves of the current plot.
Options : expression - arithmetic with numbers, curves (C1, C2 ...), the operators
                       + - * / ^, parentheses, functions such as sin, cos, exp, log,
                       sqrt and abs, and the constant pi
Example : "expr C1*2+sin(C2)" adds the curve C1*2+sin(C2).
          "expr (C1-C2)/C2" adds the relative difference of curves 1 and 2.
Notes   : The curves used are first brought onto common x values.)~")},
        {"Footnote", "", QStringLiteral(R"~(Format  : Footnote [text]
Purpose : Sets the footnote of the current plot, the small text below the plot area.
Options : text - the new footnote; without text the footnote is removed
Example : "footnote Measured on 2021-08-01" sets the footnote.
Notes   : Special symbols such as /alpha may be used (see "help /").)~")},
        {"/", "", symbolText},
        {"Function", "", QStringLiteral(R"~(Format  : <function>([{x|y*}], [{Cj|"Cj"}])
Options : Ok, we know the format above looks confusing, but it is really pretty simple...
          <function> is replaced with one of these:
           * max, min, minview, maxview, mean, median, rms, stdev, sum, var, or kurtosis
          This list will grow in future releases.
          Then, in parentheses, the first argument [{x|y*}] is optional and is either x or y (default).
          The second argument [{Cj|"Cj"}], also optional, is either a list of curves for the function
          to operate on, or is literally "Cj" (without the quotation marks).
          If you provide a list of curves (eg. C1 C4 C5) the function will operate on the aggregate of
          these curves. If you pass "Cj" instead, the function will operate on every available curve
          independently.
Example : "max(x)"           - returns the maximum x-axis value considering all curves in the plot
          "max(x, Cj)"       - returns a list of maximum x-axis values, one for each individual curve in the plot
          "min()"            - returns the minimum (y-axis) value considering all curves in the plot
          "stdev(C2)"        - returns the standard deviation (y-axis) of curve 2
          "var(Cj)"          - returns a list of the (y-axis) variances, one for each individual curve in the plot
          "sum(C1 C4)"       - returns the aggregate sum of C1 and C4 (ie. the sum of all values in C1 and C4)
          "median(x, C5 C6)" - returns the median x-axis values for the aggregate of curves C5 and C6
Notes   : Functions can be used directly in the command window to view the returned outputs, or they can
          be embedded in arithmetic commands: "sub mean(Cj)" removes individual means from each curve.)~")},
        {"Gran", "granv", QLatin1String(kGranText)},
        {"Granh", "", QLatin1String(kGranText)},
        {"Grid", "", QLatin1String(kGridText)},
        {"Gridh", "", QLatin1String(kGridText)},
        {"Gridv", "", QLatin1String(kGridText)},
        {"Help", "", QStringLiteral(R"~(Format  : Help [command]
Purpose : Displays a list of the commands available to KRO, or usage information for
          a specific command.
Example : "Help" prints a list of available commands to the command window.
          "Help linewidth" prints usage information regarding the command "linewidth".
Notes   : The following formatting is used in command help:
             ()  - Implied syntax. Example: add(y) means the command "add" is an abbreviated form of "addy".
             <>  - Mandatory parameters
             []  - Optional parameters
             {}  - Enumerated list of parameters
            <{}> - Mandatory enumeration
            [{}] - Optional enumeration
              *  - An asterisk is used to indicate a default selection in an optional enumeration.
              |  - Used to separate enumerated items where only 1 option may be chosen (ie. OR)
              &  - Used to separate enumerated items where more than 1 option may be chosen (ie. AND)
          For example: "help legendpos" will show "Legendpos <{off|top|bottom|left|right}>"
                       which means the command "Legendpos" must be followed by one of the items
                       in the list (i.e. off, top, bottom, left, or right))~")},
        {"History", "hist", QStringLiteral(R"~(Format  : History [clear]
          Hist [clear]
Purpose : Lists the commands entered in this window, numbered from the oldest, or clears
          the list.
Options : clear - empties the history
Example : "history" lists the commands entered so far.
          "history clear" forgets them.
Notes   : The Up and Down keys recall earlier commands. The history is kept between
          sessions; its length is set in Toolsets%1System%2Default Settings.)~")
                                .arg(kArrow, kArrow)},
        {"Hmarker", "hmark", QStringLiteral(R"~(Format  : Hmarker <value> [value ...]
          Hmark <value> [value ...]
Purpose : Adds horizontal markers to the current plot at the given y values.
Options : value - a y value; several values are separated by blanks, commas or semicolons
Example : "hmarker 0" draws a horizontal marker at y = 0.
          "hmark 1.5, 2.5" draws two markers.
Notes   : Values that are not numbers are skipped. "remove Mn" removes a marker.)~")},
        {"Layout", "", QStringLiteral(R"~(Format  : Layout [{stacked|quad}]
Purpose : Arranges the plots of the current tab, or shows the arrangement in use.
Options : stacked - the plots are stacked one above the other
          quad    - the plots are arranged in two columns
          Without an option the layout in use is shown.
Example : "layout quad" puts four plots in a two-by-two grid.)~")},
        {"Legend", "", QStringLiteral(R"~(Format  : Legend <entry> [entry ...]
Purpose : Sets the legend texts of the curves of the current plot, in curve order.
Options : entry - the legend text of the next curve; write a text with blanks in
                  double quotes
Example : "legend Run1 Run2" names curve 1 Run1 and curve 2 Run2.
          "legend "First run" Run2" names curve 1 First run.
Notes   : Special symbols such as /alpha may be used (see "help /").)~")},
        {"Legendpos", "Legendposition", QStringLiteral(R"~(Format  : Legendpos <{off|top|bottom|left|right}>
          Legendposition <{off|top|bottom|left|right}>
Purpose : Places the legend of the current plot on one side of the plot, or hides it.
Options : off    - hide the legend
          top, bottom, left, right - the side of the plot that shows the legend
Example : "legendpos bottom" shows the legend below the plot.
Notes   : "legenddock" is accepted as well.)~")},
        {"Line", "", QStringLiteral(R"~(Format  : Line [{on|off}] [Cj]
          Lines [{on|off}] [Cj]
Purpose : Shows or hides the lines that join the points of curves.
Options : on  - show the lines
          off - hide the lines
          Cj  - the curves (eg C1 C2); all curves when none are given
          Without on or off the lines are toggled.
Example : "lines off" hides the lines of every curve.
          "line on C2" shows the line of curve 2.
Notes   : The words on and off must be written in lower case. "pnts" shows the points.)~")},
        {"Linewidth", "linew", QStringLiteral(R"~(Format  : Linewidth [width]
          Linew [width]
Purpose : Sets the width of the curve lines of the current plot, or shows the width in use.
Options : width - the line width in pixels, 0 or more
Example : "linewidth 2" draws the curves with lines two pixels wide.
          "linew" shows the line width.)~")},
        {"Link", "", QStringLiteral(R"~(Format  : Link <address> <port> <label>
Purpose : Opens a TCP link to an instrument and adds it to the instrument panel; the data
          it sends can be plotted live.
Options : address - the instrument's IPv4 address (eg 192.168.0.10)
          port    - its TCP port
          label   - the name of the link; the rest of the line
Example : "link 192.168.0.10 5025 Counter" connects to port 5025 and names the link Counter.
Notes   : A link whose label is already connected is not opened twice.)~")},
        {"LoadDevices", "", QStringLiteral(R"~(Format  : LoadDevices <file.json>
Purpose : Loads a device-configuration file into the instrument panel, replacing the
          instruments shown there.
Options : file.json - the device-configuration file; its name must end in .json and may
                      contain blanks
Example : "loaddevices devices.json" loads the instruments saved in devices.json.)~")},
        {"Ls", "", QStringLiteral(R"~(Format  : Ls [-l] [path]
          Dir [-l] [path]
Purpose : Lists the files and folders of the working directory, of another folder, or
          those that match a pattern.
Options : -l   - long listing: permissions, size and time of the last change
          path - a folder, a file or a pattern with wildcards (eg *.dat)
Example : "ls" lists the working directory.
          "ls -l *.dat" lists the data files of the working directory with their details.
Notes   : A line ending in a name with ".krs" runs that script, so "ls *.krs" is taken as
          a script call; "ls *.krs*" lists the scripts.)~")},
        {"Mean", "", QStringLiteral(R"~(Format  : Mean [Cj]
Purpose : Removes the mean from each curve: every y value minus that curve's own mean.
Options : Cj  - the curves (eg C1 C2); all curves when none are given
          all - every curve
Example : "mean" removes the mean of every curve.
          "mean C3" removes the mean of curve 3.
Notes   : "mean(C1)" with parentheses is the curve function that shows the mean (see
          "help function"). "meanaggr" removes one common mean.)~")},
        {"Meanaggr", "", QStringLiteral(R"~(Format  : Meanaggr [Cj]
Purpose : Removes the aggregate mean of the curves: the mean of all their y values taken
          together is subtracted from every curve.
Options : Cj  - the curves (eg C1 C2); all curves when none are given
          all - every curve
Example : "meanaggr C1 C2" subtracts the common mean of curves 1 and 2 from both.)~")},
        {"Move", "", QStringLiteral(R"~(Format  : Move <source> [source ...] <destination>
Purpose : Moves curves to another plot tab or quadrant: they are removed where they were.
Options : source      - a curve, written [tab:][Qn:]Cn
          destination - a tab label, optionally followed by a quadrant: tab[:Qn]
Example : "move C2 Results:Q2" moves curve 2 of the active plot to the second plot of
          the tab Results.
Notes   : See "help copy" for the notation.)~")},
        {"Newtab", "", QStringLiteral(R"~(Format  : Newtab [label]
Purpose : Opens a new plot tab and makes it the current tab.
Options : label - the label of the new tab; labels must be unique
Example : "newtab Thermal" opens a tab labelled Thermal.)~")},
        {"Norm", "", QStringLiteral(R"~(Format  : Norm(alize) [<a> <b>] [Cj]
Purpose : Scales the y values of the curves linearly into the range from a to b.
Options : a b     - the new range (default -1 1)
          Cj      - the curves (eg C1 C2); all curves when none are given
Example : "norm" scales every curve into the range -1 to 1.
          "norm 0 10 C1" scales curve 1 into the range 0 to 10.)~")},
        {"Pntrad", "", QStringLiteral(R"~(Format  : Pntrad [radius]
Purpose : Sets the radius of the points of the current plot, or shows the radius in use.
Options : radius - the point radius in pixels, from 1 to 100
Example : "pntrad 3" draws points with a radius of 3 pixels.
Notes   : The points are only drawn where they are switched on (see "help pnts").
Notes   : "pntrad" alone shows the radius in use.)~")},
        {"Pnts", "", QStringLiteral(R"~(Format  : Pnts [{on|off}] [Cj]
          Pnt, Point, Points [{on|off}] [Cj]
Purpose : Shows or hides the points of curves.
Options : on  - show the points
          off - hide the points
          Cj  - the curves (eg C1 C2); all curves when none are given
          Without on or off the points are toggled.
Example : "pnts on" shows the points of every curve.
          "points off C1" hides the points of curve 1.
Notes   : The words on and off must be written in lower case. "pntrad" sets their size.)~")},
        {"Poly", "", QStringLiteral(R"~(Format  : Poly<n> [{model|overlay*|replace|detrend}] [Cj]
Purpose : Fits a polynomial of order n to curves by least squares and reports the fitted
          equation of each curve.
Options : n       - the order, written directly after the word (poly2), larger than 0
          model   - only report the equation; the curves stay as they are
          overlay - add the fit as a new curve drawn over the data (default)
          replace - replace the curve's y values by the fitted values
          detrend - subtract the fitted values from the curve
          Cj      - the curves (eg C1 C2); all curves when none are given
Example : "poly1 detrend" removes a linear trend from every curve.
          "poly3 model C2" reports the cubic that fits curve 2.)~")},
        {"Pwd", "", QStringLiteral(R"~(Format  : Pwd
Purpose : Shows the working directory.
Example : "pwd" prints the working directory in the command window.
Notes   : "cd" changes it.)~")},
        {"Remove", "", QStringLiteral(R"~(Format  : Remove <{Cj|Mj|all}>
Purpose : Removes curves or markers from the current plot.
Options : Cj  - the curves to remove (eg C1 C3)
          Mj  - the markers to remove (eg M1 M2)
          all - every curve
Example : "remove C2" removes curve 2.
          "remove M1 M3" removes markers 1 and 3.
          "remove all" removes every curve.)~")},
        {"Rescale", "", QStringLiteral(R"~(Format  : Rescale
Purpose : Recomputes the ranges of the current plot so that all of its data are shown.
Example : "rescale" after a zoom shows the whole plot again.
Notes   : Text after the command word is ignored.)~")},
        {"Rotl", "", QStringLiteral(R"~(Format  : Rotl <n> [Cj|all*]
Purpose : Rotates the y values of curves n points to the left: the first n values move to
          the end.
Options : n   - the number of points, larger than 0
          Cj  - the curves (eg C1 C2); all curves when none are given
          all - every curve
Example : "rotl 1000" rotates every curve by 1000 points.
          "rotl 10 C1 C3" rotates curves 1 and 3.
Notes   : The count must be separated from the word by a blank. "rotr" rotates to the right.)~")},
        {"Rotr", "", QStringLiteral(R"~(Format  : Rotr <n> [Cj|all*]
Purpose : Rotates the y values of curves n points to the right: the last n values move to
          the start.
Options : n   - the number of points, larger than 0
          Cj  - the curves (eg C1 C2); all curves when none are given
          all - every curve
Example : "rotr 1000" rotates every curve by 1000 points.
Notes   : The count must be separated from the word by a blank. "rotl" rotates to the left.)~")},
        {"Sink", "", QStringLiteral(R"~(Format  : Sink [{file|on|enable|off|disable}]
Options : file           - the log file; it is created, or appended to when it exists
          on, enable     - resume logging to the log file set before
          off, disable   - stop logging
          Without an option the state of the log file is shown.
Purpose : Copies everything typed in and printed by this window into a log file, each
          entry stamped with the date and time.
Example : "sink session.log" starts a log in session.log.
          "sink off" stops logging; "sink on" resumes it.
Notes   : The log lasts until KRO ends; set it again after the next start.)~")},
        {"Smooth", "", QStringLiteral(R"~(Format  : Smooth <n> [{Cj|all*}] [{overlay|replace*}]
Purpose : Smooths curves with a moving average over n points.
Options : n       - the number of points averaged, larger than 2
          Cj      - the curves (eg C1 C2); all curves when none are given
          all     - every curve
          overlay - add the smoothed curve and keep the original
          replace - replace the curve by its smoothed form (default)
Example : "smooth 5" smooths every curve over 5 points.
          "smooth 11 C1 overlay" adds a smoothed copy of curve 1.)~")},
        {"Sort", "", QStringLiteral(R"~(Format  : Sort [{Cj|all*}]
Purpose : Sorts the points of curves by their x values.
Options : Cj  - the curves (eg C1 C2); all curves when none are given
          all - every curve
Example : "sort" sorts every curve of the current plot.)~")},
        {"Spanx", "domain", QStringLiteral(R"~(Format  : Spanx <{value1 value2|auto}>
          Domain <{value1 value2|auto}>
Purpose : Fixes the x range shown by the current plot, or makes it automatic again.
Options : value1 value2 - the smallest and the largest x shown, value1 < value2
          auto          - the x range follows the data
Example : "spanx 0 10" shows x from 0 to 10.
          "domain auto" shows the whole x range of the data.)~")},
        {"Spany", "range", QStringLiteral(R"~(Format  : Spany <{value1 value2|auto}>
          Range <{value1 value2|auto}>
Purpose : Fixes the y range shown by the current plot, or makes it automatic again.
Options : value1 value2 - the smallest and the largest y shown, value1 < value2
          auto          - the y range follows the data
Example : "spany -1 1" shows y from -1 to 1.
          "range auto" shows the whole y range of the data.)~")},
        {"Stats", "", QStringLiteral(R"~(Format  : Stats
Purpose : Displays a data statistics table.)~")},
        {"Tablabel", "", QStringLiteral(R"~(Format  : Tablabel <label>
          Tablbl <label>
Purpose : Renames the current plot tab.
Options : label - the new label; labels must be unique
Example : "tablabel Thermal" labels the current tab Thermal.)~")},
        {"Title", "", QStringLiteral(R"~(Format  : Title [text]
Purpose : Sets the title of the current plot.
Options : text - the title; \n starts a new line. When the text names a label template
                 in the label template folder, the template is used.
Example : "title Frequency stability" sets the title.
          "title Run 1\nAugust" sets a title of two lines.
Notes   : Special symbols such as /alpha may be used (see "help /").)~")},
        {"Undo", "", QStringLiteral(R"~(Format  : Undo
Purpose : Undoes the last change of the data of the current plot (of every plot of the tab
          in sync mode).
Example : "undo" after "crop 10 20" brings back the cropped points.
Notes   : One step can be undone. Text after the command word is ignored.)~")},
        {"Unwrap", "", QStringLiteral(R"~(Format  : Unwrap [phase] [Cj]
Purpose : Unwraps curves whose values roll over (phases, counters): from every jump of at
          least half the rollover size on, the rollover size is added or subtracted, so
          the curve continues smoothly.
Options : phase - the rollover size, a number (eg 360) or a multiple of pi: pi, -pi, 2pi,
                  2*pi, .5pi. Without it the size is recognised from the data (pi or 2pi)
                  or asked for.
          Cj    - the curves (eg C1 C2); all curves when none are given
          all   - every curve
Example : "unwrap 2pi" unwraps phases given in radians.
          "unwrap 360 C2" unwraps curve 2, given in degrees.)~")},
        {"Usingtab", "using", QStringLiteral(R"~(Format  : Usingtab <label>
          Using <label>
Purpose : Makes the plot tab with the given label the current tab; a tab with that label
          is opened when there is none.
Options : label - the label of the tab
Example : "using Thermal" continues in the tab Thermal.)~")},
        {"Vmarker", "marker", QStringLiteral(R"~(Format  : Vmarker <value> [value ...]
          Marker, Vmark, Mark <value> [value ...]
Purpose : Adds vertical markers to the current plot at the given x values.
Options : value - an x value; several values are separated by blanks or commas
Example : "vmarker 10" draws a vertical marker at x = 10.
          "mark 1.5, 2.5" draws two markers.
Notes   : "dmark" measures between two markers; "remove Mn" removes one.)~")},
        {"Verbose", "v", QStringLiteral(R"~(Format  : Verbose [{on|off}]
          V [{on|off}]
Purpose : Switches verbose mode: informational messages and warnings are shown in the
          command window as well.
Options : on  - show them
          off - show errors only
          Without an option verbose mode is toggled.
Example : "v" toggles verbose mode.
Notes   : The words on and off must be written in lower case.)~")},
        {"Version", "ver", QStringLiteral(R"~(Format  : Version
          Ver
Purpose : Shows the version and the build date of KRO.
Example : "ver" prints the version.)~")},
        {"Xlbl", "", QStringLiteral(R"~(Format  : Xlbl [text]
          Xlabel [text]
Purpose : Sets the x-axis label of the current plot.
Options : text - the label; \n starts a new line
Example : "xlbl Time (MJD)" labels the x axis.
Notes   : Special symbols such as /alpha may be used (see "help /").)~")},
        {"Ylbl", "", QStringLiteral(R"~(Format  : Ylbl [text]
          Ylabel [text]
Purpose : Sets the y-axis label of the current plot.
Options : text - the label; \n starts a new line
Example : "ylbl /sigma_y(/tau)" labels the y axis.
Notes   : Special symbols such as /alpha may be used (see "help /").)~")},
    };
}

} // namespace

bool CommandHelp::matches(const std::string& word) const
{
    const std::string w = SCUtilities::toLower(word);
    if (w == SCUtilities::toLower(name))
        return true;
    return !alias.empty() && w == SCUtilities::toLower(alias);
}

std::vector<CommandHelp> buildCommandHelp(const std::vector<HelpSymbol>& symbols)
{
    std::vector<CommandHelp> table;
    for (Entry& e : entries(symbolHelpText(symbols)))
        table.push_back(CommandHelp{e.name, e.alias, std::move(e.text)});
    return table;
}

std::vector<CommandHelp> buildCommandHelp()
{
    std::vector<HelpSymbol> symbols;
    for (const SpecialSymbol& s : specialSymbols())
        symbols.push_back(HelpSymbol{s.name, s.character});
    return buildCommandHelp(symbols);
}

const CommandHelp* findCommandHelp(const std::vector<CommandHelp>& table, const std::string& word)
{
    for (const CommandHelp& entry : table)
        if (entry.matches(word))
            return &entry;
    return nullptr;
}

QString commandHelpList(const std::vector<CommandHelp>& table)
{
    std::vector<std::string> names;
    names.reserve(table.size());
    for (const CommandHelp& entry : table)
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    size_t longest = 0;
    for (const std::string& n : names)
        longest = std::max(longest, n.size());
    const int width = int(longest) + 1;
    const QString rule(6 * width, QLatin1Char('-'));

    QString text = QStringLiteral("Available Commands\n") + rule;
    for (size_t k = 0; k < names.size(); ++k) {
        if (k % 6 == 0)
            text += QLatin1Char('\n');
        text += QString::fromStdString(names[k]).leftJustified(width, QLatin1Char(' '));
    }
    text += QLatin1Char('\n') + rule + QStringLiteral("\nType: help <command> for specified command details.\n");
    return text;
}

QString symbolHelpText(const std::vector<HelpSymbol>& symbols)
{
    QString text = QStringLiteral("Format  : /symbol\n"
                                  "Purpose : / is used in KRO labeling to indicate a special character.\n"
                                  "          The following symbols are available...\n")
                   + QString(68, QLatin1Char('-')) + QLatin1Char('\n');
    qsizetype longest = 0;
    for (const HelpSymbol& s : symbols)
        longest = std::max(longest, s.name.size());
    int column = 0;
    for (const HelpSymbol& s : symbols) {
        text += QStringLiteral("/%1 ").arg(s.name);
        text += QString(longest - s.name.size(), QLatin1Char(' '));
        text += QStringLiteral("- %1  ").arg(s.character);
        if (++column % 4 == 0)
            text += QLatin1Char('\n');
    }
    return text;
}
