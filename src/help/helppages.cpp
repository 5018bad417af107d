#include "help/helppages.h"

#include "core/specialsymbols.h"

#include <QStringList>

namespace {

QMap<int, QString>& helpPages()
{
    static QMap<int, QString> pages;
    return pages;
}

int g_buildCount = 0;

// A page under construction: the lines of its rich text.
class PageText {
public:
    explicit PageText(const QString& title) { m_lines << QStringLiteral("<h3>%1</h3><hr>").arg(title); }
    PageText& heading(const QString& text)
    {
        m_lines << QStringLiteral("<h4>%1</h4>").arg(text);
        return *this;
    }
    PageText& line(const QString& text = QString())
    {
        m_lines << text + QStringLiteral("<br>");
        return *this;
    }
    PageText& raw(const QString& text)
    {
        m_lines << text;
        return *this;
    }
    // The finished page: every blank a no-break space (no tag carries
    // attributes, so markup stays intact).
    QString text() const
    {
        QString t = m_lines.join(QLatin1Char('\n'));
        t.replace(QLatin1Char(' '), QChar(0x00A0));
        return t;
    }

private:
    QStringList m_lines;
};

QString arithmeticPage()
{
    PageText p(QStringLiteral("Arithmetic Command Builder"));
    p.line(QStringLiteral("This window builds commands that add, subtract, multiply or divide"))
        .line(QStringLiteral("curves by a constant or by a function of curves."))
        .heading(QStringLiteral("Operation:"))
        .line(QStringLiteral("Choose <b>Add</b>, <b>Sub</b>, <b>Mul</b> or <b>Div</b>."))
        .heading(QStringLiteral("Operand (Value):"))
        // The symbol code turns into the Greek letter.
        .line(replaceSpecialSymbols(
            QStringLiteral("<i>Constant</i>: a number, or /pi or a multiple of it such as 2/pi (typed pi, 2pi).")))
        .line(QStringLiteral("<i>Function</i>: a curve function such as mean(y)."))
        .line(QStringLiteral("   Func(x) works on the abscissae and Func(y) on the ordinates,"))
        .line(QStringLiteral("   whatever the axis of operation."))
        .line(QStringLiteral("<i>Curve(s)</i>: shown only when the plot holds more than one curve."))
        .line(QStringLiteral("   Curve designators C<sub>i</sub>, separated by commas or blanks,"))
        .line(QStringLiteral("   typed or dragged from the curve panel; empty for all curves."))
        .line(QStringLiteral("<i>Aggregate</i>: when ticked, one value for all listed curves together;"))
        .line(QStringLiteral("   otherwise one value per curve, applied to that curve."))
        .heading(QStringLiteral("Axis of Operation:"))
        .line(QStringLiteral("<b>X-Axis</b> changes the abscissae, <b>Y-Axis</b> the ordinates."))
        .heading(QStringLiteral("Operand (Curves):"))
        .line(QStringLiteral("The curves to change: designators C<sub>i</sub> as above,"))
        .line(QStringLiteral("typed or dragged; empty for all curves."))
        .heading(QStringLiteral("Command:"))
        .line(QStringLiteral("The command line is composed as the form changes and is sent"))
        .line(QStringLiteral("to the command window on <b>Ok</b>. Edits made by hand are undone"))
        .line(QStringLiteral("by later changes of the form."))
        .line(QStringLiteral("Tips: type <i>help add</i> and <i>help function</i> in the command window"))
        .line(QStringLiteral("for the full syntax; functions may also be typed there directly."));
    return p.text();
}

struct SpecifierRow {
    const char* specifier;
    const char* description;
    const char* example;
};

void specifierTable(PageText& p, std::initializer_list<SpecifierRow> rows)
{
    p.raw(QStringLiteral("<table>"));
    // A row is one line of the page, so the window is as wide as the
    // widest row.
    auto row = [&](const QString& a, const QString& b, const QString& c) {
        QString line = QStringLiteral("   <tr>");
        for (const QString& cell : {a, b, c})
            line += QStringLiteral("      <td>") + cell + QStringLiteral("</td>");
        p.raw(line + QStringLiteral("   </tr>"));
    };
    row(QStringLiteral("<u>Specifier</u>"), QStringLiteral("<u>Description</u>"), QStringLiteral("<u>Example/Note</u>"));
    for (const SpecifierRow& r : rows)
        row(QString::fromUtf8(r.specifier), QString::fromUtf8(r.description), QString::fromUtf8(r.example));
    p.raw(QStringLiteral("</table>"));
}

QString dateTimePage()
{
    PageText p(QStringLiteral("Date/Time Format Specifiers"));
    p.heading(QStringLiteral("Date specifiers"));
    specifierTable(p, {
                          {"%a", "Abbreviated weekday name", "Mon"},
                          {"%A", "Full weekday name", "Monday"},
                          {"%b", "Abbreviated month name", "Feb"},
                          {"%B", "Full month name", "February"},
                          {"%d", "Day of month as decimal 01 to 31", "---"},
                          {"%j", "Day of year as decimal 001 to 366", "366 for leap years only"},
                          {"%m", "Month as a decimal 01 to 12", "01 => January"},
                          {"%U", "Week number of year as a decimal 00 to 53", "1<sup>st</sup> Sunday begins week 01"},
                          {"%W", "Week number of year as a decimal 00 to 53", "1<sup>st</sup> Monday begins week 01"},
                          {"%w", "Weekday as a decimal 0 to 6", "0 => Sunday"},
                          {"%y", "Two digit year", "05 => 2005"},
                          {"%Y", "Four digit year", "2005"},
                          {"%Y%m%d", "ISO format", "20050401"},
                          {"%Y-%m-%d", "ISO extended format", "2005-04-01"},
                      });
    p.heading(QStringLiteral("Time specifiers"));
    specifierTable(p, {
                          {"%H", "Hours, range 00 to 24", "---"},
                          {"%M", "Minutes, range 00 to 59", "---"},
                          {"%S", "Seconds, range 00 to 59", "30"},
                          {"%s", "Fractional seconds", "15.956445"},
                          {"%p", "am or pm", "---"},
                          {"%P", "AM or PM", "---"},
                          {"%f", "Fractional seconds with their point, always", ".956445"},
                          {"%F", "Fractional seconds with their point, when not zero", ".956445 or nothing"},
                          {"%H:%M:%S", "Standard 24-hour format", "13:14:15"},
                          {"%H:%M:%S%F", "Standard 24-hour format (fraction when present)", "13:14:15.956445"},
                          {"%H:%M:%s", "Standard 24-hour format (fractional)", "13:14:15.956445"},
                          {"%H:%M:%S %P", "Standard 12-hour format", "01:14:15 PM"},
                          {"%H:%M:%s %P", "Standard 12-hour format (fractional)", "01:14:15.956445 PM"},
                      });
    return p.text();
}

QString liveSetupPage()
{
    PageText p(QStringLiteral("Live Plotting - Advanced Setup"));
    p.heading(QStringLiteral("Slide:"))
        .line(QStringLiteral("The maximum number of points shown per curve."))
        .line(QStringLiteral("With <i>Append Data Mode</i> the data slides to the left once this"))
        .line(QStringLiteral("number is reached; without it each received set is plotted up to"))
        .line(QStringLiteral("this many points and the rest is ignored."))
        .line(QStringLiteral("Too high a value risks missed data or running out of memory."))
        .heading(QStringLiteral("Data Replacement Mode:"))
        .line(QStringLiteral("A new point replaces an existing one with an equal abscissa,"))
        .line(QStringLiteral("so every abscissa stays unique."))
        .line(QStringLiteral("   Example: points at 3, 4 and 10, then at 3, 8 and 10, give 4 points"))
        .line(QStringLiteral("   with this mode and 6 without it."))
        .line(QStringLiteral("Useful only together with <i>Append Data Mode</i>."))
        .heading(QStringLiteral("Append Data Mode:"))
        .line(QStringLiteral("New data is appended at each iteration; otherwise the plot is"))
        .line(QStringLiteral("cleared for every data set. On by default."))
        .heading(QStringLiteral("Use date column:"))
        .line(QStringLiteral("The column holding a date, and its format."))
        .line(QStringLiteral("The example beside the format box shows today's date in that format."))
        .heading(QStringLiteral("Use time column:"))
        .line(QStringLiteral("The column holding a time of day, and its format."))
        .line(QStringLiteral("The example beside the format box shows the present time in that format."))
        .line(QStringLiteral("Time is read in 24-hour form by default; AM stands in for AM or PM."))
        .heading(QStringLiteral("Use date/time column:"))
        .line(QStringLiteral("One column holding date and time together, and its format,"))
        .line(QStringLiteral("for values such as 2014-05-13T08:30:00."))
        .line(QStringLiteral("The example beside the format box shows the present date and time in that format."))
        .heading(QStringLiteral("Use header row:"))
        .line(QStringLiteral("The row that holds the column titles; rows before it are skipped."))
        .heading(QStringLiteral("Skip rows:"))
        .line(QStringLiteral("Rows skipped at the start, or after the header row when one is set."))
        .heading(QStringLiteral("Use key column:"))
        .line(QStringLiteral("A column whose values sort the rows into curves;"))
        .line(QStringLiteral("see the user manual for details."));
    return p.text();
}

QString webFetchPage()
{
    PageText p(QStringLiteral("KRO - Web Fetch"));
    p.heading(QStringLiteral("Address:"))
        .line(QStringLiteral("An HTTP or FTP address or a local file. \"http://\" may be left out;"))
        .line(QStringLiteral("an address beginning \"ftp://\" is fetched with FTP, one beginning"))
        .line(QStringLiteral("\"file://\" reads a file on this computer. A port follows the host"))
        .line(QStringLiteral("after a colon (host:port); without one the scheme's default is used."))
        .line(QStringLiteral("HTTPS, SFTP and FTPS are not supported."))
        .line(QStringLiteral("   Example: http://www.example.com/data/clock.dat"))
        .line(QStringLiteral("   Example: http://127.0.0.1:8080/feed.txt"))
        .line(QStringLiteral("   Example: file:///home/me/data/clock.dat"))
        .heading(QStringLiteral("Plot Columns:"))
        .line(QStringLiteral("<i>X-Axis</i>: one integer; 0 uses the row count as abscissa."))
        .line(QStringLiteral("<i>Y-Axis</i>: one or more integers greater than 0, separated by"))
        .line(QStringLiteral("blanks or commas."))
        .heading(QStringLiteral("Advanced Setup:"))
        .line(QStringLiteral("Opens the advanced live-plotting options."))
        .heading(QStringLiteral("Operation:"))
        .line(QStringLiteral("<i>Single-shot</i>: one retrieval."))
        .line(QStringLiteral("<i>Continuous</i>: a new retrieval each time the countdown timer"))
        .line(QStringLiteral("reaches zero. The \"set\" button sets its delay (5 minutes by"))
        .line(QStringLiteral("default). The timer pauses while a retrieval is still in progress."))
        .heading(QStringLiteral("Link to Plotter:"))
        .line(QStringLiteral("Plots the data received; the plot tab is labelled with the host name."))
        .heading(QStringLiteral("Connect:"))
        .line(QStringLiteral("Connects and transfers. In single-shot mode tick <i>Link to Plotter</i>"))
        .line(QStringLiteral("first for the data to be plotted. While a single-shot transfer runs"))
        .line(QStringLiteral("the button reads <i>Cancel</i> and ends it."))
        .heading(QStringLiteral("Show Transfer Details:"))
        .line(QStringLiteral("Shows the HTTP header, body and query or the FTP status, and"))
        .line(QStringLiteral("unlocks the port and the HTTP version."))
        .heading(QStringLiteral("Port:"))
        .line(QStringLiteral("Defaults: HTTP 80, FTP 21."))
        .heading(QStringLiteral("HTTP Ver:"))
        .line(QStringLiteral("Protocol version 1.1 is the default; 1.0 serves older servers."));
    return p.text();
}

void buildPages()
{
    using Builder = QString (*)();
    static const Builder builders[] = {arithmeticPage, dateTimePage, liveSetupPage, webFetchPage};
    QMap<int, QString>& pages = helpPages();
    for (int page = 0; page < 4; ++page) {
        if (pages.contains(page))
            continue;
        pages.insert(page, builders[page]());
        ++g_buildCount;
    }
}

} // namespace

QString helpPageText(int page)
{
    QMap<int, QString>& pages = helpPages();
    if (!pages.contains(page))
        buildPages();
    return pages[page];  // an empty entry for a number without a page
}

const QMap<int, QString>& helpPageTable() { return helpPages(); }

int helpPageBuildCount() { return g_buildCount; }
