// PlotterCtrl: the plot command, the loader's events and the plot options.
#include "tabs/plotterctrl.h"

#include "core/curvewalks.h"
#include "core/filenames.h"
#include "core/fileutils.h"
#include "core/idarray.h"
#include "core/settings.h"
#include "core/stringutils.h"
#include "import/fileoptionparser.h"
#include "import/filesetup.h"
#include "import/linereader.h"
#include "import/parsingthread.h"
#include "import/plotoptionparser.h"
#include "import/stdinnotify.h"
#include "plot/actionlabel.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"
#include "tabs/plotterquad.h"
#include "tabs/progressbar.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>

#include <algorithm>

namespace {

// A label template larger than this is no label.
constexpr qint64 kMaxLabelTemplateBytes = 1 << 20;

QColor colorOf(Rgb c) { return QColor(QRgb(c.rgb())); }

// Fields of a waterfall line: runs of tab, blank, comma and semicolon
// separate them; the line's terminator is no field, while separators ending
// a line without one count as one more field.
int countFields(const char* p, const char* end)
{
    auto isSep = [](char c) { return c == ' ' || c == '\t' || c == ',' || c == ';'; };
    if (end > p && end[-1] == '\n') {
        --end;
        if (end > p && end[-1] == '\r')
            --end;
        // The terminator is not a field even after trailing separators.
        while (end > p && isSep(end[-1]))
            --end;
    }
    int n = 0;
    while (p < end) {
        while (p < end && isSep(*p))
            ++p;
        ++n;
        while (p < end && !isSep(*p))
            ++p;
    }
    return n;
}

} // namespace

template <typename... Args>
bool PlotterCtrl::callPlot(Plotter* plot, const char* signature, const char* name, Args... args)
{
    if (plot->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(signature).constData()) < 0) {
        Q_EMIT verbose(ZEVOVE::WARNING, tr("This plot cannot carry out %1 yet.").arg(QLatin1String(name)));
        return false;
    }
    return QMetaObject::invokeMethod(plot, name, Qt::DirectConnection, args...);
}

bool PlotterCtrl::parsePlotText(PlotOptionParser& parser, const QString& text)
{
    if (parser.status() != PlotOptionParser::OK) {
        Q_EMIT transcript(tr("Command processing error: One or more invalid characters was found in the command "
                             "argument.\nNote that copying text from outside KRO can sometimes lead to wide-character "
                             "representations which are not\ncurrently supported. The argument string resolved "
                             "to:\n%1")
                              .arg(QString::fromLatin1(text.toLatin1())));
        return false;
    }
    parser.parse();
    return true;
}

void PlotterCtrl::on_kroplot(const QString& text)
{
    PlotOptionParser plotParser(text);
    if (!parsePlotText(plotParser, text))
        return;
    PlotOptions options = plotParser.options();

    if (options.linked || options.piped) {
        // Rows come from standard input, replies go to standard output.
        startLinkedSession(text, 0, 1, 0);
        return;
    }
    if (options.script) {
        static const QRegularExpression blanks(QStringLiteral("[ \t]+"));
        const QRegularExpressionMatch first = blanks.match(text);
        const QRegularExpressionMatch second =
            first.hasMatch() ? blanks.match(text, first.capturedStart() + 1) : QRegularExpressionMatch();
        const QString script = second.hasMatch() ? text.mid(second.capturedEnd()).trimmed() : QString();
        if (script.isEmpty()) {
            Q_EMIT transcript(tr("Command processing error: -script must be followed by the name of a script."));
            return;
        }
        Q_EMIT kroscript(script);
        return;
    }
    if (options.build)
        Q_EMIT transcript(getVersion() + QLatin1Char('\n') + getBuildDate());
    if (!plotParser.warnings().isEmpty()) {
        for (const QString& w : plotParser.warnings())
            Q_EMIT transcript(w);
        return;
    }
    Plotter* plot = currentPlotter();
    if (!plot)
        return;

    // Everything is checked before the plot changes: a refused command
    // leaves the plot as it was.
    FileOptionParser fileParser(text);
    if (!fileParser.parse()) {
        if (!options.build)
            Q_EMIT transcript(fileParser.errorText());
        return;
    }
    std::vector<FileObject> files = fileParser.fileObjects();
    // A command none of whose files exists would only empty the plot: refuse
    // it (a mistyped name must not cost the curves plotted so far). When some
    // files exist the load runs and names the missing one on the plot.
    if (!files.empty() && std::none_of(files.begin(), files.end(), [](const FileObject& f) {
            return kro::pathExists(f.m_file);
        })) {
        for (const FileObject& f : files)
            Q_EMIT transcript(f.m_file.isEmpty()
                                  ? tr("Error: Input file missing. Check your input parameters.")
                                  : tr("Error: The file %1 does not exist.").arg(f.m_file));
        return;
    }
    if (options.threeD && !files.empty() && !waterfallColumns(files.front()))
        return;
    const bool blueScale = options.threeD && plotParser.arguments().indexOf(QStringLiteral("-bluescale"), 1);

    int firstCurve = 0;
    if (!options.append) {
        clearPlot(plot);
        Q_EMIT plotterCleared(plot);
    } else {
        firstCurve = plot->nextFreeCurveId();
    }
    dumpFileObjects(files);
    applyPlotOptions(plot, options);
    if (options.domainSet)
        plot->setDomain(AxisRange(options.domainMin, options.domainMax));
    if (options.rangeSet)
        plot->setRange(AxisRange(options.rangeMin, options.rangeMax));
    if (!options.append) {
        plot->m_logX = options.logx || options.logxy;
        plot->m_logY = options.logy || options.logxy;
    }
    plot->m_barMode = options.bar;
    if (options.threeD) {
        plot->m_threeD = true;
        callPlot(plot, "setLegendPosition(QString,int,bool)", "setLegendPosition", Q_ARG(QString, QStringLiteral("off")),
                 Q_ARG(int, 0), Q_ARG(bool, true));
        if (blueScale)
            plot->m_blueScale = true;
    }

    // The automatic title: the data file's name, or "Multiple Files".
    if (options.title == getTitle() && !options.append) {
        auto shown = [&](const QString& name) {
            return options.useshorttitles ? QString::fromStdString(SCUtilities::fileName(name.toStdString())) : name;
        };
        QString title;
        bool automatic = true;
        if (!files.empty()) {
            title = shown(files.front().shownName());
            for (std::size_t k = 1; k < files.size(); ++k) {
                const QString n = shown(files[k].shownName());
                if (n.isEmpty())
                    continue;
                if (title.isNull()) {
                    title = n;
                } else if (title != n) {
                    title = tr("Multiple Files");
                    break;
                }
            }
        }
        if (title.isNull()) {
            title = getTitle();
            automatic = false;
        }
        plot->title(title, SET, true, automatic);
    }
    if (!files.empty() && std::all_of(files.begin(), files.end(), [](const FileObject& f) { return f.hasDateOrTime(); }))
        plot->m_dateTimeAxis = true;

    auto* loader = new ParsingThread(m_progressBar, this);
    loader->setFileObjects(files);
    loader->setPlotOptions(options);
    loader->setFirstCurveIndex(firstCurve);
    // Loads into one plot share their claims on curve indices: an append
    // started while earlier loads into the plot still run takes neither the
    // plot's curves nor theirs. A command that cleared the plot starts afresh.
    std::shared_ptr<CurveIndexClaims> claims;
    if (options.append) {
        std::vector<int> occupied;
        for (const auto& [id, c] : plot->curves())
            occupied.push_back(id);
        loader->setOccupiedIndices(std::move(occupied));
        for (const auto& [running, target] : m_loaders)
            if (target.plot == plot && running->indexClaims())
                claims = running->indexClaims();
    }
    loader->setIndexClaims(claims ? claims : std::make_shared<CurveIndexClaims>());
    loader->setVerbose(kro::isVerbose());
    loader->setMerge(options.merge);
    loader->setXOffsetFlag(options.xoffset);
    loader->setYOffsetFlag(options.yoffset);
    m_loaders[loader] = {plot};
    m_busy = true;
    if (m_progressBar) {
        m_progressBar->arm();
        m_progressBar->show();
    }
    loader->start();
}

bool PlotterCtrl::waterfallColumns(FileObject& source)
{
    kro::import::LineReader reader(std::size_t(1) << 16);
    if (!reader.open(source.m_file)) {
        Q_EMIT transcript(tr("Warning: Input file \"%1\" cannot be read.").arg(source.m_file));
        return false;
    }
    const char* b = nullptr;
    const char* e = nullptr;
    for (int i = 0; i < source.m_skip; ++i) {
        if (!reader.next(b, e)) {
            Q_EMIT transcript(tr("Warning: Skip parameter (%1) too large. Not enough points to continue.")
                                  .arg(source.m_skip));
            return false;
        }
    }
    if (!reader.next(b, e)) {
        Q_EMIT transcript(tr("Warning: File \"%1\" does not contain plottable data.").arg(source.m_file));
        return false;
    }
    const int fields = countFields(b, e);
    int c = source.m_xColumn != -1 ? 1 : 0;
    for (std::size_t k = 0; c < fields; ++c, ++k) {
        if (source.m_yColumns.size() < k + 1)
            source.m_yColumns.push_back(YColumn{});
        source.m_yColumns[k].column = c;
    }
    return true;
}

void PlotterCtrl::dumpFileObjects(const std::vector<FileObject>& files)
{
    const QString dashes = QStringLiteral("--------------------------------------\n");
    auto g = [](double v) { return QString::number(v, 'g', 6); };
    QString text = QStringLiteral("FileObjects:\n") + dashes;
    int n = 0;
    for (const FileObject& f : files) {
        ++n;
        text += QStringLiteral("FileObject #%1\n").arg(n);
        text += QStringLiteral("--------------\n");
        text += QStringLiteral("File: %1\n").arg(QString::fromLatin1(f.m_file.toLatin1()));
        text += QStringLiteral("Expression ID: C%1\n").arg(n);
        text += QStringLiteral("D-Column   : %1\n").arg(f.m_dateColumn + 1);
        text += QStringLiteral("DT-Column  : %1\n").arg(f.m_datetimeColumn + 1);
        text += QStringLiteral("T-Column   : %1\n").arg(f.m_timeColumn + 1);
        text += QStringLiteral("X-Column   : %1\n").arg(f.m_xColumn + 1);
        text += QStringLiteral("Y-Column(s): ");
        for (const YColumn& y : f.m_yColumns)
            text += QStringLiteral("%1 ").arg(y.column + 1);
        text += QLatin1Char('\n');
        text += QStringLiteral("Z-Column   : %1\n").arg(f.m_zColumn + 1);
        text += QStringLiteral("Date     format: %1\n").arg(f.m_dateFormat);
        text += QStringLiteral("Datetime format: %1\n").arg(f.m_datetimeFormat);
        text += QStringLiteral("Time     format: %1\n").arg(f.m_timeFormat);
        static const char* const filters[] = {"X Min-Filter: %1\n", "X Max-Filter: %1\n", "Y Min-Filter: %1\n",
                                              "Y Max-Filter: %1\n", "Z Min-Filter: %1\n", "Z Max-Filter: %1\n"};
        for (int i = 0; i < 6; ++i)
            if (f.m_limitSet[std::size_t(i)])
                text += QString::fromLatin1(filters[i]).arg(g(f.m_limits[std::size_t(i)]));
        if (f.m_keyColumn >= 0)
            text += QStringLiteral("Key: %1\n").arg(f.m_keyColumn + 1);
        if (!f.m_regex.isNull())
            text += QStringLiteral("Regex: %1\n").arg(f.m_regex);
        text += QStringLiteral("X Add: %1\n").arg(g(f.m_xScale.add));
        text += QStringLiteral("X Sub: %1\n").arg(g(f.m_xScale.sub));
        text += QStringLiteral("X Mul: %1\n").arg(g(f.m_xScale.mul));
        text += QStringLiteral("X Div: %1\n").arg(g(f.m_xScale.div));
        const std::pair<const char*, double YColumn::*> scales[] = {
            {"Y Add:", &YColumn::add}, {"\nY Sub:", &YColumn::sub}, {"\nY Mul:", &YColumn::mul}, {"\nY Div:", &YColumn::div}};
        for (const auto& [label, field] : scales) {
            text += QLatin1String(label);
            for (const YColumn& y : f.m_yColumns)
                text += QStringLiteral(" %1").arg(g(y.*field));
        }
        text += QLatin1Char('\n');
    }
    text += dashes;
    Q_EMIT verbose(ZEVOVE::INFO, text);
}

QString PlotterCtrl::resolveLabelTemplate(const QString& text) const
{
    if (text.isEmpty())
        return text;
    const QFileInfo info(QDir(getLabelTemplatePath()).filePath(text));
    if (!info.isFile() || info.size() > kMaxLabelTemplateBytes)
        return text;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return text;
    const QString content = QString::fromLatin1(file.readAll());
    QString joined;
    for (QString line : content.split(QLatin1Char('\n'))) {
        std::string bytes = line.toStdString();
        joined += QString::fromStdString(SCUtilities::trimWhitespace(bytes));
    }
    return joined;
}

void PlotterCtrl::applyPlotOptions(PlotOptions options)
{
    if (Plotter* plot = currentPlotter())
        applyPlotOptions(plot, std::move(options));
}

void PlotterCtrl::applyPlotOptions(Plotter* plot, PlotOptions o)
{
    plot->xLabelWidget()->fontPointSize(o.xaxisfontsize);
    plot->yLabelWidget()->fontPointSize(o.yaxisfontsize);
    plot->titleLabel()->fontPointSize(o.titlefontsize);
    if (o.tickfontsize > 0)
        plot->m_tickFont.setPointSize(o.tickfontsize);
    plot->m_tickFontHeight = QFontMetrics(plot->m_tickFont).height();
    if (!o.tickfontfamily.isEmpty())
        plot->m_tickFont.setFamily(o.tickfontfamily);
    plot->m_tickFontHeight = QFontMetrics(plot->m_tickFont).height();
    plot->m_barFloor = o.barfloor;
    plot->footnote(o.footnote, SET);
    callPlot(plot, "setLegendPosition(QString,int,bool)", "setLegendPosition", Q_ARG(QString, o.legendpos),
             Q_ARG(int, 0), Q_ARG(bool, true));
    if (o.linewidth >= 0)
        plot->m_lineWidth = o.linewidth;
    plot->m_fillPlotArea = o.pers;
    plot->m_pointDiameter = std::clamp(2 * o.pntrad + 1, 3, 201);
    bool redraw = false;
    if (o.backgroundcolor.isSet() && colorOf(o.backgroundcolor) != plot->m_insideColor) {
        plot->m_insideColor = colorOf(o.backgroundcolor);
        if (plot->m_coordLabel) {
            QPalette pal = plot->m_coordLabel->palette();
            pal.setColor(QPalette::Window, plot->m_insideColor);
            plot->m_coordLabel->setPalette(pal);
        }
        redraw = true;
    }
    if (o.bordercolor.isSet() && colorOf(o.bordercolor) != plot->m_outsideColor) {
        plot->m_outsideColor = colorOf(o.bordercolor);
        redraw = true;
    }
    if (o.gridlinecolor.isSet() && colorOf(o.gridlinecolor) != plot->m_gridColor) {
        plot->m_gridColor = colorOf(o.gridlinecolor);
        redraw = true;
    }
    if (o.tickfontcolor.isSet() && colorOf(o.tickfontcolor) != plot->m_axesMarkersColor) {
        plot->m_axesMarkersColor = colorOf(o.tickfontcolor);
        redraw = true;
    }
    plot->loadBackgroundImage(o.backgroundimage);
    plot->m_backgroundImageStyle = o.backgroundimagestyle;

    o.title = resolveLabelTemplate(o.title);
    o.xlbl = resolveLabelTemplate(o.xlbl);
    if (!o.append || o.title != getTitle())
        plot->title(o.title, SET);
    if (!o.append || o.xlbl != getXlbl())
        plot->xLabel(o.xlbl, SET);
    if (!o.append || o.ylbl != getYlbl())
        plot->yLabel(o.ylbl, SET, true, false);
    if (redraw)
        plot->refreshPixmap();
}

Plotter* PlotterCtrl::loaderTarget(ParsingThread* loader) const
{
    const auto it = m_loaders.find(loader);
    return it == m_loaders.end() ? nullptr : it->second.plot.data();
}

void PlotterCtrl::customEvent(QEvent* event)
{
    const int type = int(event->type());
    if (type == STDINSTRING::STDINSTR || type == STDINSTRING::STDINCLOSED) {
        stdinEvent(event);
        return;
    }
    auto* update = dynamic_cast<ParsingThreadUpdate*>(event);
    if (!update)
        return;
    const auto it = m_loaders.find(update->thread());
    if (it == m_loaders.end())
        return;
    ParsingThread* loader = update->thread();
    // A dropped load only needs to end.
    if (it->second.abandoned) {
        if (int(event->type()) == ParsingThreadUpdate::FINISHED)
            endLoad(loader);
        return;
    }
    switch (int(event->type())) {
    case ParsingThreadUpdate::OUT_OF_MEMORY:
        Q_EMIT transcript(tr("Warning: Not enough program memory to load all data."));
        break;
    case ParsingThreadUpdate::DATE_WARNING:
        Q_EMIT transcript(tr("Warning: Date/time parser unable to convert value. File: %1\n         Format specifier : "
                             "%2\n         Input value      : %3")
                              .arg(update->text1(), update->text2(), update->text3()));
        break;
    case ParsingThreadUpdate::DATE_TOTAL:
        Q_EMIT transcript(tr("Total date/time parser warnings: %1").arg(update->value()));
        break;
    case ParsingThreadUpdate::MESSAGE:
        Q_EMIT verbose(ZEVOVE::INFO, update->text1());
        break;
    case ParsingThreadUpdate::LINE_ERROR:
        Q_EMIT transcript(update->text1());
        break;
    case ParsingThreadUpdate::CURVE_TITLE:
        if (loaderTarget(loader)) {
            QString title = update->text1().isNull() ? QStringLiteral("") : update->text1();
            if (loader->plotOptions().useshorttitles)
                title = QString::fromStdString(SCUtilities::fileName(title.toStdString()));
            // Kept until the curves are stored: only then is it known which
            // ids they take.
            it->second.titles.emplace_back(update->value(), title);
            it->second.titlesRedraw = it->second.titlesRedraw || !loader->plotOptions().merge;
        }
        break;
    case ParsingThreadUpdate::FINISHED:
        loadFinished(loader);
        break;
    default:
        break;
    }
}

std::map<int, int> PlotterCtrl::idsAtStore(const Plotter* plot, const CurveMap& loaded, CurveIndexClaims* claims)
{
    std::unique_lock<std::mutex> lock;
    if (claims)
        lock = std::unique_lock<std::mutex>(claims->mutex);
    std::map<int, int> ids;
    std::set<int> given;
    std::vector<int> moved;
    for (const auto& [id, curve] : loaded) {
        if (plot->curves().count(id)) {
            moved.push_back(id);
        } else {
            ids[id] = id;
            given.insert(id);
        }
    }
    int next = 0;
    for (const int id : moved) {
        while (plot->curves().count(next) || given.count(next) || loaded.count(next) ||
               (claims && claims->claimed.count(next)))
            ++next;
        ids[id] = next;
        given.insert(next);
        if (claims)
            claims->claimed.insert(next);
    }
    return ids;
}

void PlotterCtrl::loadFinished(ParsingThread* loader)
{
    loader->wait();
    Plotter* plot = loaderTarget(loader);
    if (!plot) {
        Q_EMIT transcript(tr("Warning: The plot that asked for the data was closed before the data arrived; the "
                             "data was discarded."));
        endLoad(loader);
        return;
    }
    const PlotOptions& o = loader->plotOptions();
    // The curves take their ids now: a curve that reached the plot while the
    // load ran (a live link's, another command's) keeps its id, and a loaded
    // curve whose id it holds moves to a free one.
    const std::map<int, int> ids = idsAtStore(plot, loader->curves(), loader->indexClaims().get());
    std::vector<int> loadedIds;
    for (auto& [id, curve] : loader->curves()) {
        loadedIds.push_back(ids.at(id));
        plot->setCurveData(ids.at(id), std::move(curve), false);
    }
    loader->curves().clear();
    auto storedId = [&](int id) {
        const auto found = ids.find(id);
        return found == ids.end() ? id : found->second;
    };
    LoadTarget& target = m_loaders[loader];
    // Many titles arrive at once: the legend is laid out once for them.
    for (const auto& [id, title] : target.titles)
        plot->addCurveTitleToBatch(storedId(id), title, target.titlesRedraw);
    plot->finishTitleBatch(false);
    if (o.merge || o.sort) {
        plot->cache(0);
        sortCurvesByX(plot->m_curves, ALL_CURVES);
    }
    if (o.firstDiff)
        callPlot(plot, "ndiff(int,IdArray)", "ndiff", Q_ARG(int, 1), Q_ARG(IdArray, IdArray::all()));
    std::vector<int> meanIds;
    for (const auto& [id, mean] : loader->meanMap())
        if (mean)
            meanIds.push_back(storedId(id));
    if (!meanIds.empty())
        callPlot(plot, "removeMean(IdArray)", "removeMean", Q_ARG(IdArray, IdArray::fromIds(meanIds)));
    for (PointAnnotation a : loader->annotations()) {
        a.curveId = storedId(a.curveId);
        plot->addAnnotation(a);
    }
    if (loader->xOffset() != 0) {
        plot->m_xOffset = loader->xOffset();
        plot->xLabel(tr("Offset from %1").arg(loader->xOffset(), 0, 'f', 0), SET);
        plot->refreshPixmap();
    }
    plot->setXTickGranularity(o.granv);
    plot->setYTickGranularity(o.granh);
    if (o.smooth > 2)
        callPlot(plot, "smoothData(int,IdArray,bool)", "smoothData", Q_ARG(int, o.smooth),
                 Q_ARG(IdArray, IdArray::all()), Q_ARG(bool, !o.nooverlay));
    for (double v : o.hmarkers)
        callPlot(plot, "addHMarker(double*,bool)", "addHMarker", Q_ARG(double*, &v), Q_ARG(bool, false));
    for (double v : o.vmarkers)
        callPlot(plot, "addVMarker(const double*,bool)", "addVMarker", Q_ARG(const double*, &v), Q_ARG(bool, false));
    static const char* const units[] = {"pico", "nano", "micro", "milli"};
    if (loader->yUnit() >= 0 && loader->yUnit() < 4)
        plot->yLabel(QString::fromLatin1(units[loader->yUnit()]), SET, true, false);
    if (!loader->missingFile().isEmpty())
        plot->showMessage(tr("The file %1 does not exist.").arg(loader->missingFile()), 10);
    else if (loader->missingFile().isNull())
        plot->showMessage(tr("Warning: An incomplete FileObject was created.\nInput file missing. Check your input "
                             "parameters."),
                          10);
    if (m_loaders.size() == 1 && m_progressBar) {
        m_progressBar->setValue(0);
        m_progressBar->hide();
    }
    if (!o.expressions.isEmpty()) {
        std::vector<int> loaded;
        for (const auto& [id, c] : plot->curves())
            loaded.push_back(id);
        // Each new curve is there before the next expression, the legend
        // names and a requested output file see the curves.
        for (const QString& e : o.expressions)
            if (!e.isEmpty())
                callPlot(plot, "expression(QString,bool)", "expression", Q_ARG(QString, e), Q_ARG(bool, true));
        if (o.exprOnly)
            plot->removeCurves(IdArray::fromIds(loaded));
    }
    plot->setLegendNames(o.legend);
    if (!loader->yTitles().isEmpty() && plot->legend()) {
        // The header's names go to the loaded curves, not to curves the plot
        // held before.
        auto title = loader->yTitles().begin();
        for (auto id = loadedIds.begin(); id != loadedIds.end() && title != loader->yTitles().end(); ++id, ++title)
            if (plot->curve(*id))
                plot->legend()->setItemText(*id, *title);
    }
    if (!loader->xTitle().isNull())
        plot->xLabel(loader->xTitle(), SET);
    if (!loader->yTitle().isNull())
        plot->yLabel(loader->yTitle(), SET, true, false);
    if (o.threeD) {
        plot->m_threeD = true;
        if (plot->legend())
            plot->legend()->hide();
        plot->refreshPixmap();
    }
    plot->window()->activateWindow();
    plot->rescale();
    if (o.jpg)
        Q_EMIT screenShotReq();
    if (!o.outputFile.isNull())
        callPlot(plot, "saveData(QString)", "saveData", Q_ARG(QString, o.outputFile));
    plot->cache(1);
    Q_EMIT plotterShown(plot);
    endLoad(loader);
}

void PlotterCtrl::endLoad(ParsingThread* loader)
{
    loader->wait();
    m_loaders.erase(loader);
    delete loader;
    m_busy = !m_loaders.empty();
    if (!m_busy && m_progressBar) {
        m_progressBar->setValue(0);
        m_progressBar->hide();
    }
}

// ---------------------------------------------------------------------------
// The import setup window

void PlotterCtrl::on_dropfiles(const QStringList& files)
{
    auto* setup = new FileSetup;
    connect(setup, &FileSetup::transcript, this, &PlotterCtrl::transcript);
    connect(setup, qOverload<FileSetup*, bool>(&FileSetup::closed), this, &PlotterCtrl::on_fileSetupClosed);
    std::erase_if(m_fileSetups, [](const QPointer<FileSetup>& s) { return s.isNull(); });
    m_fileSetups.emplace_back(setup);
    QStringList sorted = files;
    sorted.sort();
    setup->setFiles(sorted);
    setup->show();
}

void PlotterCtrl::on_fileSetupClosed(FileSetup* setup, bool accepted)
{
    if (!setup)
        return;
    if (accepted)
        Q_EMIT command(setup->buildCommand());
    // The window is inside its own signal: it goes once that has returned.
    setup->hide();
    setup->deleteLater();
}
