// PlotterCtrl: live links. Texts of instruments, web fetches and a host
// program's pipe become points of the link's plot; rows beginning with
// "cmd:" are link commands, answered on the host's reply descriptor.
#include "tabs/plotterctrl.h"

#include "core/exceptions.h"
#include "core/messages.h"
#include "import/datetimereader.h"
#include "import/fileoptionparser.h"
#include "import/linereader.h"
#include "import/lineparser.h"
#include "import/textcodec.h"
#include "import/plotoptionparser.h"
#include "import/stdinnotify.h"
#include "platform/pipes.h"
#include "plot/actionlabel.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "tabs/liveplotter.h"
#include "tabs/plotterquad.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <unordered_map>

namespace {

using kro::live::LinkCommand;

// The points of one text, gathered by curve id before any reaches the plot.
class LiveBatch {
public:
    std::vector<double>& curve(int id)
    {
        if (id != m_lastId || !m_last) {
            m_last = &m_curves[id];
            m_lastId = id;
        }
        return *m_last;
    }
    std::map<int, std::vector<double>>& curves() { return m_curves; }
    bool empty() const
    {
        return std::all_of(m_curves.begin(), m_curves.end(), [](const auto& c) { return c.second.empty(); });
    }
    void clear()
    {
        m_curves.clear();
        m_last = nullptr;
    }

private:
    std::map<int, std::vector<double>> m_curves;
    std::vector<double>* m_last = nullptr;
    int m_lastId = 0;
};

// The state of one text while its rows are read.
struct TextState {
    LiveBatch batch;
    // Titles of two or more y columns from a title row.
    QStringList columnTitles;
    bool titlesRead = false;
    // Some rows of the text gave points (also rows stored before a restart).
    bool anyPoints = false;
    // A row lacked its fields: no point of the text reaches the plot, and
    // only its command rows still run.
    bool abandoned = false;
};

QString fromBytes(std::string_view s) { return QString::fromLatin1(s.data(), qsizetype(s.size())); }

// The first format of a date, time or date/time column in use that reads
// nothing (an unknown '%' flag); empty when every one is sound.
QString unreadableFormat(const FileObject& f)
{
    const std::pair<int, const QString*> used[] = {
        {f.m_dateColumn, &f.m_dateFormat}, {f.m_timeColumn, &f.m_timeFormat}, {f.m_datetimeColumn, &f.m_datetimeFormat}};
    for (const auto& [column, format] : used)
        if (column >= 0 && !kro::import::isValidDateTimeFormat(format->toStdString()))
            return *format;
    return {};
}

} // namespace

QString PlotterCtrl::liveKey(const QString& label)
{
    return QCoreApplication::translate("PlotterCtrl", "%1_internal_").arg(label);
}

QString PlotterCtrl::linkedSessionLabel(int stopFd) { return tr("Live Plotter %1").arg(stopFd / 2 - 1); }

LivePlotter* PlotterCtrl::findLivePlotter(const QString& key) const
{
    const auto it = m_livePlotters.find(key);
    return it == m_livePlotters.end() ? nullptr : it->second;
}

LivePlotter* PlotterCtrl::livePlotterOf(const Plotter* plot) const
{
    if (!plot)
        return nullptr;
    for (const auto& [key, link] : m_livePlotters)
        if (link->m_plotter == plot)
            return link;
    return nullptr;
}

void PlotterCtrl::bindLivePlot(LivePlotter* link)
{
    try {
        Plotter* plot = findPlotter(link->m_label, 0);
        if (!plot)
            plot = addPlotter(nullptr, link->m_label);
        link->m_plotter = plot;
    } catch (const kroexception& e) {
        Q_EMIT transcript(QString::fromLocal8Bit(e.what()));
    }
}

LivePlotter* PlotterCtrl::liveLinkFor(const QString& label)
{
    const QString key = liveKey(label);
    LivePlotter* link = findLivePlotter(key);
    if (!link) {
        link = new LivePlotter(label, this);
        m_livePlotters[key] = link;
        connect(link, &LivePlotter::replyStalled, this, [this, label] {
            Q_EMIT transcript(tr("Warning: The host program of \"%1\" does not read its replies; replies are "
                                 "dropped until it reads again.")
                                  .arg(label));
        });
    }
    if (!link->m_plotter)
        bindLivePlot(link);
    return link;
}

void PlotterCtrl::on_linkStatusChanged(const QString& label, const FileObject& columns, int slide, bool linked)
{
    try {
        LivePlotter* link = liveLinkFor(label);
        link->m_source = columns;
        link->m_options.slide = slide;
        if (!linked)
            link->m_carry.clear();
        link->m_parseErrorShown = false;
        link->m_dateErrorShown = false;
        link->m_unreadableFormat = unreadableFormat(columns);
        if (!link->m_unreadableFormat.isEmpty())
            Q_EMIT transcript(tr("Error: The date/time format \"%1\" of the live link \"%2\" reads nothing (after "
                                 "each '%' one of a A b B d j m U W w y Y H M S s p P F z Z is needed); its rows are "
                                 "not plotted.")
                                  .arg(link->m_unreadableFormat, label));
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

void PlotterCtrl::on_newDeviceString(const QString& label, const QString& text, bool& ready)
{
    try {
        if (!text.isEmpty()) {
            const QByteArray bytes = text.toLatin1();
            processLiveText(liveLinkFor(label), bytes.constData(), std::size_t(bytes.size()));
        }
    } catch (const std::exception& e) {
        Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
    }
    ready = true;
}

void PlotterCtrl::processLiveText(LivePlotter* link, const char* data, std::size_t size)
{
    kro::live::Rows split;
    kro::live::splitRows(std::string_view(data, size), link->m_carry, split);
    for (const std::uint64_t line : split.tooLong)
        Q_EMIT transcript(kro::import::lineTooLongText(line, tr("the link \"%1\"").arg(link->m_label),
                                                       link->m_carry.maxRow) +
                          tr(" The line was dropped; the lines after it are read."));
    QPointer<Plotter> plot = link->m_plotter;
    // Without a plot (none could be made) the text is dropped.
    if (!plot)
        return;
    QPointer<LivePlotter> alive(link);
    TextState text;

    // Stores the gathered points in the plot (without redrawing).
    auto store = [&] {
        if (text.batch.empty())
            return;
        text.anyPoints = true;
        auto& curves = text.batch.curves();
        if (!link->m_source.m_append) {
            // Replacement: the text's points replace every point of the plot.
            clearPlot(plot);
            for (auto& [id, values] : curves)
                plot->setCurveData(id, CurveData(std::move(values)), false);
            plot->rescale();
        } else {
            if (link->m_source.m_mergeEqualX)
                for (auto& [id, values] : curves) {
                    const auto existing = plot->m_curves.find(id);
                    if (existing == plot->m_curves.end() || existing->second.values.empty())
                        continue;
                    // x -> the first point with that x.
                    const CurveValues& old = existing->second.values;
                    std::unordered_map<double, std::size_t> firstAt;
                    for (std::size_t i = 0; i + 1 < old.size(); i += 2)
                        firstAt.emplace(old[i], i);
                    std::vector<double>* oldValues = nullptr;
                    std::size_t kept = 0;
                    for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
                        const auto hit = firstAt.find(values[i]);
                        if (hit == firstAt.end()) {
                            values[kept++] = values[i];
                            values[kept++] = values[i + 1];
                            continue;
                        }
                        if (!oldValues)
                            oldValues = &existing->second.values.mut();
                        (*oldValues)[hit->second + 1] = values[i + 1];
                    }
                    values.resize(kept);
                }
            const int slide = link->m_options.slide > 0 ? link->m_options.slide : -1;
            for (auto& [id, values] : curves)
                if (!values.empty())
                    plot->appendLiveData(id, values, slide, link->m_rescalePending);
        }
        for (const auto& [id, values] : curves)
            if (!plot->legend()->findItem(id))
                plot->setCurveTitle(id, QStringLiteral("Live_%1").arg(id + 1));
        text.batch.clear();
    };

    std::size_t row = 0;
    const std::vector<std::string_view>& rows = split.rows;
    bool restarted = false;
    do {
        restarted = false;
        const FileObject& source = link->m_source;
        const int H = std::max(0, source.m_header);
        const int S = std::max(0, source.m_skip);
        const int N = H + S;
        bool titlePending = H > 0;
        int counter = 0;
        LineParser parser(source);
        const std::size_t yCount = source.m_yColumns.size();
        const bool keyed = source.m_keyColumn >= 0;
        const bool numbered = source.m_xColumn < 0 && !source.hasDateOrTime();

        for (; row < rows.size(); ++row) {
            const std::string_view r = rows[row];
            if (r == "\r" && (H == 0 || counter >= H))
                continue;
            if (r.substr(0, 4) == "cmd:") {
                const kro::live::ParsedCommand c = kro::live::parseLinkCommand(r);
                if (c.command != LinkCommand::None) {
                    switch (c.command) {
                    case LinkCommand::AddinDone:
                        if (link->m_reader) {
                            link->closeReplyChannel();
                            link->stopReader();
                        }
                        break;
                    case LinkCommand::Arguments:
                        if (link->m_reader) {
                            // The rows so far belong to the old layout; the
                            // rest of the text is read with the new one.
                            store();
                            const kro::live::RowCarry carry = link->m_carry;
                            startLinkedSession(QStringLiteral("kro -linked ") + fromBytes(c.argument),
                                               link->m_reader->readFd(), link->m_replyFd, link->m_reader->stopFd());
                            if (!alive || !plot)
                                return;
                            link->m_carry = carry;
                            ++row;
                            restarted = true;
                        }
                        break;
                    case LinkCommand::Clear:
                        clearPlot(plot);
                        link->forgetKeys();
                        text.batch.clear();
                        break;
                    case LinkCommand::Exit:
                        // Only the host program on the pipe may end the
                        // program; a page or an instrument may not.
                        if (link->m_reader) {
                            Q_EMIT exit();
                            return;
                        }
                        Q_EMIT transcript(tr("Warning: The command \"cmd: exit\" from \"%1\" was refused: only "
                                             "the host program of a linked session can end KRO.")
                                              .arg(link->m_label));
                        break;
                    case LinkCommand::Title:
                        plot->title(fromBytes(c.argument), SET, false, false);
                        break;
                    case LinkCommand::TitleQuery:
                        link->reply(plot->titleLabel()->plainText().toLatin1().toStdString() + '\n');
                        break;
                    case LinkCommand::XLabel:
                        plot->xLabel(fromBytes(c.argument), SET, false, false);
                        break;
                    case LinkCommand::YLabel:
                        plot->yLabel(fromBytes(c.argument), SET, false, false);
                        break;
                    case LinkCommand::Domain:
                    case LinkCommand::Range: {
                        double a = 0, b = 0;
                        if (kro::live::readNumberPair(c.argument, a, b)) {
                            if (c.command == LinkCommand::Domain)
                                plot->setDomain(AxisRange(a, b));
                            else
                                plot->setRange(AxisRange(a, b));
                        }
                        break;
                    }
                    case LinkCommand::SizeQuery:
                        link->reply(std::to_string(pointCountOfAllCurves(plot->curves())) + '\n');
                        break;
                    case LinkCommand::Message:
                        plot->showMessage(fromBytes(c.argument), 5);
                        break;
                    case LinkCommand::None:
                        break;
                    }
                    if (restarted)
                        break;
                    continue;
                }
            }

            if (text.abandoned || !link->m_unreadableFormat.isEmpty())
                continue;
            ++counter;
            if (titlePending && counter == H) {
                parser.parseLine(r.data(), r.data() + r.size(), true);
                if (!parser.m_xTitle.isNull()) {
                    plot->xLabelWidget()->setText(toHtmlBreaks(parser.m_xTitle));
                    plot->xLabelWidget()->update();
                    plot->refreshPixmap();
                }
                if (parser.m_yTitles.size() >= 2) {
                    text.columnTitles = parser.m_yTitles;
                    text.titlesRead = true;
                }
                titlePending = false;
                link->m_source.m_header = -1;
                continue;
            }
            if (counter <= N)
                continue;

            const int rc = parser.parseData(r.data(), r.data() + r.size());
            bool yMissing = false;
            for (std::size_t k = 0; rc == 0 && k < yCount; ++k)
                yMissing = yMissing || !parser.yRead(k);
            if (rc == LineParserException::OUT_OF_DATA || (rc == 0 && yMissing)) {
                // A row without its fields: the whole text is abandoned.
                if (!link->m_parseErrorShown) {
                    link->m_parseErrorShown = true;
                    const QString message = rc == 0 ? QStringLiteral("Parsing Error: Out of data while reading y column.")
                                                    : QString::fromLatin1(parser.errorMessage());
                    Q_EMIT transcript(tr("Parsing Error: %1\nPlease check your input parameters.").arg(message));
                }
                text.abandoned = true;
                text.batch.clear();
                continue;
            }
            if (parser.m_lineDateError) {
                // A date or time the format cannot read gives no point.
                if (!link->m_dateErrorShown) {
                    link->m_dateErrorShown = true;
                    Q_EMIT transcript(tr("Warning: Date/time parser unable to convert value. Link: %1\n         "
                                         "Format specifier : %2\n         Input value      : %3\n         Rows "
                                         "whose date or time cannot be read are not plotted.")
                                          .arg(link->m_label, kro::import::textFromBytes(parser.m_firstErrorFormat),
                                               kro::import::textFromBytes(parser.m_firstErrorText)));
                }
                continue;
            }
            // Rows with NaN or infinite values, rows without numbers and rows
            // lacking their x or key field are dropped.
            if (rc != 0 || !parser.lineComplete())
                continue;

            const std::vector<int>* keyIds = nullptr;
            if (keyed) {
                std::vector<int> added;
                keyIds = &link->keyCurveIds(parser.m_key, yCount, &added);
                const QString key = QString::fromLatin1(parser.m_key.data(), qsizetype(parser.m_key.size()));
                for (std::size_t n = 0; n < added.size(); ++n) {
                    const std::size_t column = keyIds->size() - added.size() + n + 1;
                    plot->setCurveTitle(added[n], yCount == 1 && column == 1
                                                      ? key
                                                      : QStringLiteral("%1(%2)").arg(key).arg(column));
                }
            }
            for (std::size_t k = 0; k < yCount; ++k) {
                const int id = keyIds ? (*keyIds)[k] : int(k);
                std::vector<double>& points = text.batch.curve(id);
                double x = parser.m_x;
                if (numbered) {
                    const double c = double(points.size() / 2);
                    const CurveData* existing = plot->curve(id);
                    if (!link->m_source.m_append || !existing || existing->values.size() < 2)
                        x = c;
                    else
                        x = existing->values[existing->values.size() - 2] + 1 + c;
                }
                points.push_back(x);
                points.push_back(parser.m_y[k]);
            }
        }
    } while (restarted);

    if (text.abandoned)
        return;
    if (link->m_rescalePending && kro::isDebugMode())
        Q_EMIT debugmsg(tr("Live Plotter (%1) %2 Node count: %3")
                            .arg(link->m_label)
                            .arg(QChar(0x2192))
                            .arg(rows.size()));
    store();
    alignLiveMargins();
    if (text.titlesRead)
        for (int k = 0; k < text.columnTitles.size(); ++k)
            plot->setCurveTitle(k, text.columnTitles[k]);
    if (!link->m_options.piped) {
        if (link->m_rescalePending || text.titlesRead) {
            plot->plot();
            link->plotDrawn();
        } else {
            link->redrawCurves();
        }
    }
    if (link->m_rescalePending && text.anyPoints)
        link->m_rescalePending = false;
}

void PlotterCtrl::alignLiveMargins()
{
    const PlotterQuad* page = currentQuad();
    if (!page)
        return;
    std::vector<std::pair<Plotter*, LivePlotter*>> live;
    int margin = 0;
    for (Plotter* plot : page->m_plotters) {
        if (LivePlotter* link = livePlotterOf(plot)) {
            live.emplace_back(plot, link);
            margin = std::max({margin, plot->m_marginLeft, link->m_leftMargin});
        }
    }
    for (auto& [plot, link] : live) {
        link->m_leftMargin = std::max(link->m_leftMargin, margin);
        if (plot->m_marginLeft < margin)
            plot->m_leftMarginOverride = margin;
    }
}

void PlotterCtrl::releaseLivePlotter(Plotter* plot)
{
    for (auto it = m_livePlotters.begin(); it != m_livePlotters.end(); ++it) {
        if (it->second->m_plotter != plot)
            continue;
        LivePlotter* link = it->second;
        if (link->readerRunning())
            link->sendClosingNotice();
        m_livePlotters.erase(it);
        delete link;
        return;
    }
}

void PlotterCtrl::releaseAllLinks()
{
    // Every reader is told to stop first, so they all end together; the
    // hosts of those that were still reading hear that the program closed.
    std::vector<LivePlotter*> reading;
    for (auto& [key, link] : m_livePlotters) {
        if (link->readerRunning())
            reading.push_back(link);
        link->stopReader();
    }
    for (auto& [key, link] : m_livePlotters)
        if (link->m_reader)
            link->m_reader->wait();
    for (LivePlotter* link : reading)
        link->sendClosingNotice();
    for (auto& [key, link] : m_livePlotters)
        delete link;
    m_livePlotters.clear();
}

void PlotterCtrl::startLinkedSession(const QString& text, int readFd, int replyFd, int stopFd)
{
    PlotOptionParser plotParser(text);
    if (!parsePlotText(plotParser, text))
        return;
    const PlotOptions options = plotParser.options();
    FileOptionParser fileParser(text);
    if (!fileParser.parse() || fileParser.fileObjects().empty()) {
        if (!options.build)
            Q_EMIT transcript(fileParser.errorText());
        return;
    }
    const QString label = linkedSessionLabel(stopFd);
    on_linkStatusChanged(label, fileParser.fileObjects().front(), options.slide, false);
    LivePlotter* link = findLivePlotter(liveKey(label));
    if (!link)
        return;
    if (!link->m_plotter)
        bindLivePlot(link);
    Plotter* plot = link->m_plotter;
    if (!plot)
        return;
    link->m_replyFd = replyFd;
    link->m_options = options;
    // The options go to the link's plot, also when a restart arrives while
    // another tab is shown.
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
    if (!link->m_reader) {
        kro::platform::ignoreBrokenPipe();
        link->m_reader = std::make_unique<StdinNotify>(readFd, stopFd, this, label);
        link->m_reader->start(QThread::LowPriority);
    }
}

void PlotterCtrl::stdinEvent(QEvent* event)
{
    const bool closed = int(event->type()) == STDINSTRING::STDINCLOSED;
    try {
        if (!closed) {
            auto* batch = static_cast<StdinStr*>(event);
            LivePlotter* link = findLivePlotter(liveKey(batch->label()));
            // A batch of a reader that is gone (its tab was closed) is dropped.
            if (!link || !link->m_reader || link->m_reader->serial() != batch->reader())
                return;
            StdinNotify* reader = link->m_reader.get();
            QPointer<LivePlotter> alive(link);
            try {
                processLiveText(link, batch->text().constData(), std::size_t(batch->text().size()));
            } catch (const std::exception& e) {
                Q_EMIT transcript(tr("Error: %1").arg(QString::fromLocal8Bit(e.what())));
            }
            // The link may have been released while its text ran (a tab closed
            // from a command row); its reader went with it.
            if (alive && link->m_reader.get() == reader)
                reader->setReady();
            return;
        }
        auto* end = static_cast<StdinClosed*>(event);
        LivePlotter* link = findLivePlotter(liveKey(end->label()));
        // The end of a reader that is gone with its tab means nothing more.
        if (!link || !link->m_reader || link->m_reader->serial() != end->reader())
            return;
        if (!end->error().isEmpty())
            Q_EMIT transcript(tr("Error: Reading the pipe of \"%1\" failed: %2").arg(end->label(), end->error()));
        if (Plotter* plot = link->m_plotter) {
            plot->showMessage(tr("Notice: Pipe closed."), 5);
            plot->plot();
        }
        link->m_rescaleTimer->stop();
    } catch (const std::exception& e) {
        Q_EMIT transcript(
            QCoreApplication::translate("PlotterCtrl",
                                        "Critical Error: You have discovered a bug in plotterctrl %1 event.\nActual "
                                        "error: %2\nPlease report this error message to: ")
                .arg(closed ? QStringLiteral("STDINSTRING::STDINCLOSED") : QStringLiteral("STDINSTRING::STDINSTR"),
                     QString::fromLocal8Bit(e.what())) +
            QLatin1String(kro::kSupportAddress));
    }
}
