#pragma once
// The web-fetch tool: reads a text over HTTP (its own GET client), over FTP
// (anonymous) or from a local file, once per Connect or again at every
// period of its countdown, shows what arrived and, with "Link to Plotter"
// ticked, hands the text to a live plot: linkStatusChanged announces the
// link and its column mapping (on every Connect), newWebString delivers
// whole lines.
//
// Linked texts go out through a queue of jobs served oldest first, in blocks
// that end at a line end, so every fetched text reaches the plot once and in
// order. A large HTTP body is spooled to a temporary file in the application
// folder, which is removed once it has been fed. For a link that replaces
// the plot's data the first block of a job replaces it and the following
// blocks are added; after the job the link is back in replacement mode.
//
// WebFetchWidget holds the controls and does the work; WebFetch is its
// top-level window with the status bar. Everything runs on the GUI thread
// except the FTP transfer, which runs on a worker (FtpFetch).
#include "import/fileobject.h"

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <deque>
#include <memory>

class AnalogTimer;
class FtpFetch;
class HttpResponseReader;
class LabeledComboBox;
class LabeledEdit;
class LiveAdvancedSetup;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QIODevice;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTcpSocket;
class QTemporaryFile;
class QTextEdit;
class QTimer;

// One text to be fed to the live plot in blocks.
struct WebFileJob {
    QString label;                     // first argument of its newWebString
    std::unique_ptr<QIODevice> source; // open for reading
    FileObject mapping;                // the link's mapping when the job was made
    int slide = -1;
    bool append = true;                // starts as mapping.m_append
    bool continued = false;            // a block has gone out: the rest continues it
    qint64 rows = 0;                   // rows handed to the plot so far
};

class WebFetchWidget : public QWidget {
    Q_OBJECT

public:
    enum class TransferState { Idle, Requested, Failed, Paused };

    // The waits of the tool in milliseconds (tests shorten them).
    struct Timing {
        int noResponseMs = 10000; // silence that ends a transfer
        int feedMs = 10;          // between two blocks fed to the plot
        int retryMs = 1000;       // before a refused connection is tried again
    };

    explicit WebFetchWidget(QWidget* parent = nullptr);
    // Writes the address history.
    ~WebFetchWidget() override;

    // The address history file "webhistory.ini" in the application folder.
    static QString historyPath();

    void setTiming(const Timing& timing) { m_timing = timing; }
    const Timing& timing() const { return m_timing; }
    // The largest block fed at once is half of this (a power of two).
    void setBlockSize(qsizetype bytes) { m_blockSize = bytes; }
    // The largest body kept: a linked HTTP body or FTP file beyond it is
    // refused and nothing of it is delivered.
    void setBodyLimit(qint64 bytes) { m_bodyLimit = bytes; }
    qint64 bodyLimit() const { return m_bodyLimit; }

    TransferState state() const { return m_state; }
    const FileObject& mapping() const { return m_mapping; }
    bool continuous() const;
    bool linked() const;
    // Spool files in use (queued or being written).
    QStringList spoolFiles() const;
    qsizetype queuedJobs() const { return static_cast<qsizetype>(m_jobs.size()); }

    LabeledComboBox* addressBox() const { return m_address; }
    LabeledEdit* portEdit() const { return m_port; }
    LabeledComboBox* versionBox() const { return m_version; }
    QGroupBox* columnsGroup() const { return m_columns; }
    LabeledEdit* xEdit() const { return m_xEdit; }
    LabeledEdit* yEdit() const { return m_yEdit; }
    QRadioButton* singleShotButton() const { return m_singleShot; }
    QRadioButton* continuousButton() const { return m_continuous; }
    QCheckBox* linkBox() const { return m_link; }
    QPushButton* connectButton() const { return m_connect; }
    QPushButton* advancedButton() const { return m_advancedButton; }
    AnalogTimer* countdown() const { return m_timer; }
    QPushButton* setButton() const { return m_set; }
    QTextEdit* headerView() const { return m_headerView; }
    QTextEdit* bodyView() const { return m_bodyView; }
    QLineEdit* requestLine() const { return m_request; }
    QCheckBox* detailsBox() const { return m_details; }
    LiveAdvancedSetup* advancedSetup() const { return m_advanced.get(); }

    // Sets the address text and reads it.
    void setAddress(const QString& text);

public Q_SLOTS:
    // Starts a transfer of the address (after Connect, at every period and
    // when a refused connection is tried again).
    void get();
    // The Connect button: Connect (or Stop) and fetch; while a single-shot
    // transfer runs the button reads "Cancel" and ends it.
    void on_connectClicked();
    void on_addressChanged();
    // The Connect (or Stop) button.
    void on_connect();
    void on_dispHelp();
    void on_opMode(int id);
    void on_showDetails(bool on);
    void enableControls(bool on);
    // Feeds one block of the oldest queued job to the live plot.
    void shuffleFilesOut();

Q_SIGNALS:
    void hidden();
    void linkStatusChanged(const QString& label, const FileObject& mapping, int slide, bool linked);
    void newWebString(const QString& label, const QString& text, bool& ready);
    void status(const QString& text);

private Q_SLOTS:
    void on_socketconnected();
    void on_readyRead();
    void on_disconnected();
    void on_socketError();
    void on_noResp();
    void ftp_stateChanged(int state);
    void ftp_readFinished();

private:
    void buildControls();
    void startHttp();
    void startFtp();
    void readFile();
    // Takes the body bytes of the running HTTP transfer.
    void takeBody(const char* data, qsizetype size);
    void completeHttp();
    // Ends a transfer that went wrong: status text, nothing delivered.
    void failTransfer(QString text);
    void abort();
    // Queues a text for the live plot and starts feeding.
    void queueJob(std::unique_ptr<QIODevice> source);
    // Hands a whole fetched text to the plot (through the queue when texts
    // wait there) and says so when it has gone.
    void deliver(const QByteArray& bytes, const QString& text);
    // A single-shot transfer or a continuous one whose countdown waits.
    void transferStarted();
    void reportFinished(qint64 rows);
    bool transferRunning() const;
    // After a completed transfer: a paused countdown resumes and, in
    // continuous mode, fetches at once.
    void resumeAfterTransfer();
    void showBody(const QString& text, bool cut);
    void loadHistory();
    void saveHistory() const;

    // Controls.
    LabeledComboBox* m_address = nullptr;
    LabeledEdit* m_port = nullptr;
    LabeledComboBox* m_version = nullptr;
    QGroupBox* m_columns = nullptr;
    LabeledEdit* m_xEdit = nullptr;
    LabeledEdit* m_yEdit = nullptr;
    QButtonGroup* m_opGroup = nullptr;
    QRadioButton* m_singleShot = nullptr;
    QRadioButton* m_continuous = nullptr;
    QCheckBox* m_link = nullptr;
    QPushButton* m_connect = nullptr;
    QPushButton* m_advancedButton = nullptr;
    AnalogTimer* m_timer = nullptr;
    QPushButton* m_set = nullptr;
    QTextEdit* m_headerView = nullptr;
    QTextEdit* m_bodyView = nullptr;
    QLineEdit* m_request = nullptr;
    QCheckBox* m_details = nullptr;
    std::unique_ptr<LiveAdvancedSetup> m_advanced;

    // The address as last read.
    int m_scheme = 0;     // WebScheme
    int m_lastScheme = 0; // the scheme at the previous address change
    QString m_host;
    QString m_path;
    QString m_directory;
    int m_addressPort = 0;
    QString m_addressError;
    // The port of the last address that named one, while the Port field
    // still holds it.
    int m_portFromAddress = 0;

    FileObject m_mapping;
    Timing m_timing;
    qsizetype m_blockSize = qsizetype(1) << 20;
    qint64 m_bodyLimit = qint64(64) << 20;
    TransferState m_state = TransferState::Idle;
    bool m_ready = true; // handed to the receiver; never read back

    // The running HTTP transfer.
    QPointer<QTcpSocket> m_socket;
    std::unique_ptr<HttpResponseReader> m_response;
    QByteArray m_requestBytes;
    QByteArray m_body;                       // kept body (linked, or what the view shows)
    std::unique_ptr<QTemporaryFile> m_spool; // a large linked body
    bool m_bodyCut = false;                  // the view shows only the start
    bool m_binary = false;
    bool m_tooLarge = false;
    QTimer* m_noResponse = nullptr;
    QTimer* m_retry = nullptr; // a refused connection is tried again
    // The countdown was paused because a transfer started; it goes on when
    // the transfer ends, so a slow server is never cut off by the period.
    bool m_pausedForTransfer = false;
    // The running FTP transfer.
    QPointer<FtpFetch> m_ftp;

    std::deque<WebFileJob> m_jobs;
    QTimer* m_feed = nullptr;
};

class WebFetch : public QMainWindow {
    Q_OBJECT

public:
    WebFetch();

    WebFetchWidget* widget() const { return m_widget; }
    QLabel* statusLabel() const { return m_status; }


public Q_SLOTS:
    void hide();
    void show();
    // Shows the text; one ending in "..." then shows one, two, three, one
    // ... dots, a step a second.
    void updateStatus(const QString& text);

Q_SIGNALS:
    void closed();
    void hidden();
    void linkStatusChanged(const QString& label, const FileObject& mapping, int slide, bool linked);
    void newWebString(const QString& label, const QString& text, bool& ready);

protected:
    void closeEvent(QCloseEvent* event) override;

private Q_SLOTS:
    void on_animation();
    void on_hidden();

public:
    // One step of the status animation (the window's timer runs it every
    // second).
    void animate() { on_animation(); }

private:
    WebFetchWidget* m_widget;
    QLabel* m_status;
    QTimer* m_animation;
    QString m_animationBase; // null when the status text does not move
    int m_dots = 3;
    bool m_firstSizing = true;
};
