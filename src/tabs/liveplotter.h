#pragma once
// LivePlotter: one live link of the plot tabs. It feeds one plot with the
// rows of the texts that arrive for the link (from an instrument, the web
// fetch or a host program's pipe) and keeps what must survive from one text
// to the next: the unfinished last row, the curves of a keyed link, the
// column layout and options, the host's reply descriptor and pipe reader,
// the 10-second rescale clock and the pace of its drawing. PlotterCtrl owns
// the LivePlotters.
#include "core/plotoptions.h"
#include "import/fileobject.h"
#include "tabs/liveprotocol.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

class Plotter;
class QTimer;
class StdinNotify;

class LivePlotter : public QObject {
    Q_OBJECT

public:
    explicit LivePlotter(const QString& label, QObject* parent = nullptr);
    // Stops the pipe reader, if any, and waits for it.
    ~LivePlotter() override;

    // Stops the pipe reader without waiting ("addin: done").
    void stopReader();
    // Writes one reply to the host; nothing without a reply descriptor. A
    // host that does not read its replies for two seconds makes the link
    // drop replies (reported once) until it reads again.
    void reply(const std::string& text);
    // The pipe reader is still reading.
    bool readerRunning() const;
    // Writes the closing notice "kro closed\n" and its NUL (12 bytes) when
    // there is a reply descriptor.
    void sendClosingNotice();
    // Ends the use of the reply descriptor ("addin: done").
    void closeReplyChannel();
    // The curve ids of a key's y columns, at least count of them; new ones
    // are numbered on from the largest id given so far. Sets newIds when
    // ids were added.
    const std::vector<int>& keyCurveIds(const std::string& key, std::size_t count, std::vector<int>* added);
    // Forgets the keys ("clear").
    void forgetKeys();
    // Draws the plot's curves again for new points: at once when the last
    // drawing is at least DRAW_INTERVAL_MS old, else when that time is up,
    // so a link whose texts come faster is drawn once per interval.
    void redrawCurves();
    // The whole plot has just been drawn; a drawing still due is dropped.
    void plotDrawn();

    static constexpr int DRAW_INTERVAL_MS = 40;

    // The next text that yields points rescales the plot.
    bool m_rescalePending = true;
    // The unfinished row between texts.
    kro::live::RowCarry m_carry;
    // The out-of-data message has been shown since the last announcement.
    bool m_parseErrorShown = false;
    // The same for a date or time that its format cannot read.
    bool m_dateErrorShown = false;
    // A date or time format of the mapping that reads nothing: no row of the
    // link gives points while it is in force.
    QString m_unreadableFormat;
    // Reply descriptor of a host-program link; 0 = none.
    int m_replyFd = 0;
    // The left margin this live plot asks for.
    int m_leftMargin = 0;
    // The plot the link feeds (not owned).
    QPointer<Plotter> m_plotter;
    // Pipe reader of a host-program link, owned; null otherwise.
    std::unique_ptr<StdinNotify> m_reader;
    // "%1(%2)" of a key text and a y column number -> curve id.
    std::map<std::string, int> m_keyCurves;
    // Key text -> the curve ids of its y columns, in column order.
    std::map<std::string, std::vector<int>> m_keyIds;
    PlotOptions m_options;
    FileObject m_source;
    QTimer* m_rescaleTimer = nullptr;
    QString m_label;
    // Replies are dropped while the host does not read them.
    bool m_replyStalled = false;
    bool m_stallReported = false;

Q_SIGNALS:
    // A reply could not be written in time.
    void replyStalled();

private Q_SLOTS:
    void on_liveRescale();

private:
    void drawNow();

    int m_nextKeyCurve = 0;
    QElapsedTimer m_lastDraw;
    QTimer* m_drawTimer = nullptr;
};
