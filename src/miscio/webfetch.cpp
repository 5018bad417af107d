#include "miscio/webfetch.h"
#include "core/markupbounds.h"

#include "core/settings.h"
#include "help/helpgui.h"
#include "import/textcodec.h"
#include "miscio/ftpfetch.h"
#include "miscio/liveadvancedsetup.h"
#include "miscio/livecolumns.h"
#include "miscio/webprotocol.h"
#include "platform/analogtimer.h"
#include "platform/labeledwidget.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSaveFile>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QTextEdit>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>

#include <cstring>
#include <exception>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The most of a body or file the views show (and a linked HTTP body kept in
// memory before it goes to a spool file).
constexpr qsizetype MAX_KEPT = 32767;

QFont lightFont(QFont f)
{
    f.setPointSize(8);
    f.setWeight(QFont::Light);
    return f;
}

bool endsWithBreak(const QString& text)
{
    return text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
}

} // namespace

// ================================================================ widget

WebFetchWidget::WebFetchWidget(QWidget* parent) : QWidget(parent), m_advanced(std::make_unique<LiveAdvancedSetup>())
{
    setFont(lightFont(font()));
    m_advanced->hide();
    buildControls();
    loadHistory();

    m_noResponse = new QTimer(this);
    m_noResponse->setSingleShot(true);
    connect(m_noResponse, &QTimer::timeout, this, &WebFetchWidget::on_noResp);
    m_retry = new QTimer(this);
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, &WebFetchWidget::get);
    m_feed = new QTimer(this);
    m_feed->setSingleShot(true);
    connect(m_feed, &QTimer::timeout, this, &WebFetchWidget::shuffleFilesOut);

    connect(m_connect, &QPushButton::clicked, this, &WebFetchWidget::on_connectClicked);
    connect(m_address, &LabeledWidget::valueChanged, this, &WebFetchWidget::on_addressChanged);
    connect(m_timer, &AnalogTimer::timerExpired, this, &WebFetchWidget::get);
    connect(m_advancedButton, &QPushButton::clicked, m_advanced.get(), &LiveAdvancedSetup::show);
    connect(m_advanced.get(), &LiveAdvancedSetup::dateTimeEnabled, m_xEdit, &QWidget::setDisabled);
    connect(m_singleShot, &QRadioButton::clicked, m_timer, qOverload<>(&AnalogTimer::setSingleShot));
    connect(m_continuous, &QRadioButton::clicked, m_timer, qOverload<>(&AnalogTimer::setContinuous));
    connect(m_set, &QPushButton::clicked, m_timer, &AnalogTimer::promptTime);
    connect(m_opGroup, &QButtonGroup::idClicked, this, &WebFetchWidget::on_opMode);
    connect(m_details, &QCheckBox::toggled, this, &WebFetchWidget::on_showDetails);
    on_addressChanged();
}

WebFetchWidget::~WebFetchWidget()
{
    abort();
    try {
        saveHistory();
    } catch (const std::exception&) {
    }
}

void WebFetchWidget::buildControls()
{
    const int captionWidth = QFontMetrics(font()).horizontalAdvance(tr("HTTP Ver:  "));
    m_address = new LabeledComboBox(tr("Address: "));
    m_address->setEditable(true);
    m_address->combo()->setInsertPolicy(QComboBox::NoInsert);
    m_address->caption()->setFixedWidth(captionWidth);

    m_port = new LabeledEdit(tr("Port: "));
    m_port->edit()->setValidator(new QIntValidator(1, 65535, m_port));
    m_port->setValue(80, true);
    m_port->caption()->setFixedWidth(captionWidth);
    m_port->setFixedWidth(120 + captionWidth);
    m_version = new LabeledComboBox(tr("HTTP Ver: "));
    m_version->combo()->addItems({QStringLiteral("1.0"), QStringLiteral("1.1")});
    m_version->combo()->setCurrentIndex(1);
    m_version->caption()->setFixedWidth(captionWidth);
    m_version->setFixedWidth(120 + captionWidth);
    m_port->hide();
    m_version->hide();

    m_columns = new QGroupBox(tr("Plot Columns"));
    m_xEdit = new LabeledEdit(tr("X-Axis "));
    m_xEdit->edit()->setValidator(new QIntValidator(0, 2147483647, m_xEdit));
    m_xEdit->setValue(1, true);
    m_xEdit->caption()->setFixedWidth(35);
    m_yEdit = new LabeledEdit(tr("Y-Axis "));
    m_yEdit->edit()->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("(\\d+[ ,]?)*")), m_yEdit));
    m_yEdit->setText(QStringLiteral("2"), true);
    m_yEdit->caption()->setFixedWidth(35);
    auto* columnsLayout = new QVBoxLayout(m_columns);
    columnsLayout->addWidget(m_xEdit);
    columnsLayout->addWidget(m_yEdit);

    auto* opBox = new QGroupBox(tr("Operation"));
    m_opGroup = new QButtonGroup(this);
    m_singleShot = new QRadioButton(tr("Single-shot"));
    m_continuous = new QRadioButton(tr("Continuous"));
    m_opGroup->addButton(m_singleShot, 0);
    m_opGroup->addButton(m_continuous, 1);
    m_singleShot->setChecked(true);
    auto* opLayout = new QHBoxLayout(opBox);
    opLayout->addWidget(m_singleShot);
    opLayout->addWidget(m_continuous);

    m_link = new QCheckBox(tr("Link to Plotter"));
    m_connect = new QPushButton(tr("Connect"));
    m_connect->setFixedSize(80, 24);
    m_advancedButton = new QPushButton(tr("Advanced\nSetup"));
    m_timer = new AnalogTimer;
    m_timer->setFixedSize(56, 56);
    m_timer->setTime(QTime(0, 5, 0));
    m_timer->setSingleShot();
    m_timer->hide();
    m_set = new QPushButton(tr("set"));
    QFont small = font();
    small.setPointSize(8);
    m_set->setFont(small);
    m_set->setFixedSize(25, 15);
    m_set->hide();

    m_headerView = new QTextEdit;
    m_headerView->setReadOnly(true);
    m_headerView->setAcceptRichText(false);
    m_headerView->hide();
    m_bodyView = new QTextEdit;
    m_bodyView->setReadOnly(true);
    m_bodyView->setAcceptRichText(false);
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(m_headerView);
    splitter->addWidget(m_bodyView);
    m_request = new QLineEdit;
    m_request->setReadOnly(true);
    m_request->hide();
    m_details = new QCheckBox(tr("Show Transfer Details"));
    auto* help = new QPushButton(tr("Help"));
    help->setMaximumHeight(24);
    auto* hide = new QPushButton(tr("Hide"));
    hide->setMaximumHeight(24);
    connect(help, &QPushButton::clicked, this, &WebFetchWidget::on_dispHelp);
    connect(hide, &QPushButton::clicked, this, &WebFetchWidget::hidden);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_address);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(m_port);
    portRow->addWidget(m_version);
    portRow->addStretch(1);
    layout->addLayout(portRow);
    auto* controls = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(m_columns);
    left->addWidget(opBox);
    auto* linkRow = new QHBoxLayout;
    linkRow->addWidget(m_link);
    linkRow->addWidget(m_connect);
    linkRow->addStretch(1);
    left->addLayout(linkRow);
    auto* right = new QVBoxLayout;
    right->addWidget(m_advancedButton);
    right->addWidget(m_timer, 0, Qt::AlignHCenter);
    right->addWidget(m_set, 0, Qt::AlignHCenter);
    right->addStretch(1);
    controls->addLayout(left);
    controls->addLayout(right);
    controls->addStretch(1);
    layout->addLayout(controls);
    layout->addWidget(splitter, 1);
    layout->addWidget(m_request);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_details);
    bottom->addStretch(1);
    bottom->addWidget(help);
    bottom->addWidget(hide);
    layout->addLayout(bottom);
}

// ------------------------------------------------------------ state

bool WebFetchWidget::continuous() const { return m_continuous->isChecked(); }

bool WebFetchWidget::linked() const { return m_link->isChecked(); }

QStringList WebFetchWidget::spoolFiles() const
{
    QStringList files;
    if (m_spool)
        files << m_spool->fileName();
    for (const WebFileJob& job : m_jobs)
        if (auto* t = qobject_cast<QTemporaryFile*>(job.source.get()))
            files << t->fileName();
    return files;
}

QString WebFetchWidget::historyPath() { return getAppPath() + tr("webhistory.ini"); }

void WebFetchWidget::loadHistory()
{
    QFile file(historyPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const QString text = kro::import::textFromBytes(file.readAll().toStdString());
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    m_address->combo()->addItems(lines);
}

void WebFetchWidget::saveHistory() const
{
    QDir().mkpath(getAppPath());
    QSaveFile file(historyPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QByteArray text;
    for (int i = 0; i < m_address->combo()->count(); ++i)
        text += m_address->combo()->itemText(i).toUtf8() + '\n';
    file.write(text);
    file.commit();
}

void WebFetchWidget::setAddress(const QString& text)
{
    m_address->combo()->setEditText(text);
    on_addressChanged();
}

// ------------------------------------------------------------ controls

void WebFetchWidget::on_addressChanged()
{
    const WebAddress a = parseWebAddress(m_address->combo()->currentText());
    m_scheme = static_cast<int>(a.scheme);
    m_host = a.host;
    m_path = a.path;
    m_directory = a.directory;
    m_addressPort = a.port;
    m_addressError = a.error;
    const bool http = a.scheme == WebScheme::HTTP;
    m_version->setVisible(http && m_details->isChecked());
    m_request->setVisible(http && m_details->isChecked());
    // A port written in the address fills the Port field; an address
    // without one goes back to its scheme's default unless the field holds a
    // port of the user's own.
    const bool portFromAddress = m_portFromAddress > 0 && m_port->value().number == m_portFromAddress;
    if (a.port > 0) {
        m_port->setValue(a.port, true);
        m_portFromAddress = a.port;
    } else {
        if (m_scheme != m_lastScheme || portFromAddress)
            m_port->setValue(defaultWebPort(a.scheme), true);
        m_portFromAddress = 0;
    }
    m_lastScheme = m_scheme;
}

void WebFetchWidget::on_opMode(int id)
{
    m_connect->setText(tr("Connect"));
    m_connect->setChecked(false);
    enableControls(true);
    const bool cont = id != 0;
    m_connect->setCheckable(cont);
    m_timer->setVisible(cont);
    m_set->setVisible(cont);
    // A countdown left running (or waiting for a transfer) would fetch once
    // more in single-shot mode.
    if (m_timer->isPaused())
        m_timer->pause(false);
    m_timer->stop();
    m_pausedForTransfer = false;
    m_retry->stop();
}

void WebFetchWidget::on_showDetails(bool on)
{
    if (m_scheme == static_cast<int>(WebScheme::HTTP)) {
        m_version->setVisible(on);
        m_request->setVisible(on);
    }
    m_headerView->setVisible(on);
    m_port->setVisible(on);
}

void WebFetchWidget::enableControls(bool on)
{
    m_xEdit->setEnabled(!m_advanced->dateTimeUsed());
    m_address->setEnabled(on);
    m_version->setEnabled(on);
    m_columns->setEnabled(on);
    m_advanced->setEnabled(on);
}

void WebFetchWidget::on_dispHelp() { new HelpGui(tr("KRO - web fetch help"), 3, window()); }

// ------------------------------------------------------------ connect and fetch

void WebFetchWidget::on_connect()
{
    m_state = TransferState::Idle;
    m_retry->stop();
    if (m_timer->isPaused())
        m_timer->pause(false);
    m_pausedForTransfer = false;
    m_timer->reset();
    on_addressChanged();
    const bool starting = continuous() && m_connect->text() == tr("Connect");
    if (!m_addressError.isEmpty()) {
        // Nothing to fetch: the tool stays (or becomes) stopped.
        enableControls(true);
        m_connect->setText(tr("Connect"));
        m_connect->setChecked(false);
        m_timer->stop();
        return; // get() right after says what is wrong
    }

    const LiveAdvancedSetup& adv = *m_advanced;
    m_mapping.m_xColumn = m_xEdit->value().number - 1;
    m_mapping.m_yColumns = liveYColumns(columnNumbers(m_yEdit->value().text));
    m_mapping.m_append = adv.appendBox()->isChecked();
    m_mapping.m_mergeEqualX = adv.replaceBox()->isChecked();
    const auto column = [](const QCheckBox* used, const LabeledSpinBox* box) {
        return used->isChecked() ? box->value().number - 1 : -2;
    };
    m_mapping.m_dateColumn = column(adv.useDateBox(), adv.dateColumnBox());
    m_mapping.m_datetimeColumn = column(adv.useDatetimeBox(), adv.datetimeColumnBox());
    m_mapping.m_timeColumn = column(adv.useTimeBox(), adv.timeColumnBox());
    m_mapping.m_keyColumn = column(adv.useKeyBox(), adv.keyColumnBox());
    m_mapping.m_header = adv.useHeaderBox()->isChecked() ? adv.headerRowBox()->value().number : 0;
    m_mapping.m_skip = adv.skipBox()->isChecked() ? adv.skipRowsBox()->value().number : 0;
    m_mapping.m_dateFormat = adv.dateFormat();
    m_mapping.m_datetimeFormat = adv.datetimeFormat();
    m_mapping.m_timeFormat = adv.timeFormat();

    Q_EMIT linkStatusChanged(m_host, m_mapping, adv.slide(), starting || !continuous());

    m_connect->setCheckable(continuous());
    if (starting) {
        enableControls(false);
        m_connect->setText(tr("Stop"));
        m_connect->setChecked(true);
        m_timer->start();
    } else {
        enableControls(true);
        m_connect->setText(tr("Connect"));
        m_connect->setChecked(false);
        m_timer->stop();
    }
    if (continuous() && !starting)
        Q_EMIT status(tr("Stopped."));
    else
        Q_EMIT status(tr("Attempting to connect..."));

    const QString text = m_address->combo()->currentText();
    if (m_address->combo()->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        m_address->combo()->addItem(text);
}

void WebFetchWidget::on_connectClicked()
{
    if (!continuous() && transferRunning()) {
        abort();
        Q_EMIT status(tr("Transfer cancelled; nothing was delivered."));
        return;
    }
    on_connect();
    get();
}

bool WebFetchWidget::transferRunning() const { return m_socket || m_ftp; }

void WebFetchWidget::transferStarted()
{
    if (!continuous()) {
        m_connect->setText(tr("Cancel"));
        return;
    }
    // The countdown waits for the transfer.
    if (m_timer->isRunning()) {
        m_timer->pause();
        m_pausedForTransfer = true;
    }
}

void WebFetchWidget::get()
{
    try {
        if (m_socket || m_ftp)
            abort();
        if (continuous() && m_connect->text() == tr("Connect"))
            return;
        if (m_state != TransferState::Idle) {
            m_state = TransferState::Paused;
            m_timer->pause();
            Q_EMIT status(tr("Fetching paused after an error: press Stop and Connect to try again."));
            return;
        }
        if (!m_addressError.isEmpty()) {
            Q_EMIT status(m_addressError);
            return;
        }
        switch (static_cast<WebScheme>(m_scheme)) {
        case WebScheme::HTTP:
            startHttp();
            break;
        case WebScheme::FTP:
            startFtp();
            break;
        case WebScheme::FILE:
            readFile();
            break;
        }
    } catch (const std::exception& e) {
        abort();
        Q_EMIT status(tr("Error: %1").arg(QString::fromUtf8(e.what())));
    }
}

void WebFetchWidget::abort()
{
    m_noResponse->stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    if (m_ftp) {
        // The worker ends soon after the cancel; it is deleted once it has.
        m_ftp->disconnect(this);
        m_ftp->cancel();
        connect(m_ftp, &QThread::finished, m_ftp, &QObject::deleteLater);
        if (m_ftp->isFinished())
            m_ftp->deleteLater();
        m_ftp = nullptr;
    }
    m_response.reset();
    m_requestBytes.clear();
    m_spool.reset();
    m_state = TransferState::Idle;
    if (!continuous())
        m_connect->setText(tr("Connect"));
    if (m_pausedForTransfer) {
        m_pausedForTransfer = false;
        m_timer->resume();
    }
}

void WebFetchWidget::failTransfer(QString text)
{
    // The text often lives in the response or FTP worker that abort() frees,
    // so it is held by value.
    abort();
    Q_EMIT status(text);
}

void WebFetchWidget::resumeAfterTransfer()
{
    if (!m_timer->isPaused())
        return;
    m_timer->resume();
    if (continuous())
        get();
}

void WebFetchWidget::showBody(const QString& text, bool cut)
{
    QString shown = text;
    if (cut) {
        if (!endsWithBreak(shown))
            shown += QLatin1Char('\n');
        shown += QStringLiteral("...");
    }
    m_bodyView->setPlainText(shown);
}

// ------------------------------------------------------------ HTTP

void WebFetchWidget::startHttp()
{
    const int port = m_port->value().number;
    const QString request = httpRequestText(m_path, m_version->combo()->currentText(), m_host, port);
    m_request->setText(request);
    m_requestBytes = request.toLatin1();
    m_body.clear();
    m_bodyCut = m_binary = m_tooLarge = false;
    m_headerView->clear();
    m_response = std::make_unique<HttpResponseReader>([this](const char* d, qsizetype n) { takeBody(d, n); });
    m_socket = new QTcpSocket;
    connect(m_socket, &QTcpSocket::connected, this, &WebFetchWidget::on_socketconnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &WebFetchWidget::on_readyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &WebFetchWidget::on_disconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &WebFetchWidget::on_socketError);
    m_state = TransferState::Requested;
    transferStarted();
    m_socket->connectToHost(m_host, static_cast<quint16>(port));
    m_noResponse->start(m_timing.noResponseMs);
}

void WebFetchWidget::on_socketconnected()
{
    if (!m_socket)
        return;
    Q_EMIT status(tr("Socket: Connected to host."));
    m_noResponse->start(m_timing.noResponseMs);
    m_socket->write(m_requestBytes);
    m_socket->flush();
}

void WebFetchWidget::takeBody(const char* data, qsizetype size)
{
    if (m_tooLarge)
        return;
    if (!m_binary && std::memchr(data, 0, static_cast<size_t>(size)))
        m_binary = true;
    const qint64 total = m_response->bodyBytes(); // this piece included
    if (linked()) {
        if (total > m_bodyLimit) {
            m_tooLarge = true;
            return;
        }
        if (!m_spool && total > MAX_KEPT) {
            // Too large to keep: the body goes to a spool file, starting
            // with what was kept so far.
            QDir().mkpath(getAppPath());
            auto spool =
                std::make_unique<QTemporaryFile>(QDir(getAppPath()).filePath(QStringLiteral("webfetch-XXXXXX.spool")));
            if (!spool->open()) {
                m_tooLarge = true;
                return;
            }
            spool->write(m_body);
            m_spool = std::move(spool);
        }
        if (m_spool && m_spool->write(data, size) != size) {
            m_tooLarge = true;
            return;
        }
    }
    const qsizetype room = MAX_KEPT - m_body.size();
    if (room > 0)
        m_body.append(data, std::min(room, size));
    if (size > room)
        m_bodyCut = true;
}

void WebFetchWidget::on_readyRead()
{
    if (!m_socket || !m_response)
        return;
    m_noResponse->start(m_timing.noResponseMs);
    const bool hadHeader = m_response->headerComplete();
    m_response->feed(m_socket->readAll());
    Q_EMIT status(tr("Bytes Received: %1").arg(m_response->bytesReceived()));
    if (!hadHeader && m_response->headerComplete())
        m_headerView->setPlainText(QString::fromLatin1(m_response->header()));
    if (m_tooLarge) {
        failTransfer(m_spool || m_response->bodyBytes() > m_bodyLimit
                         ? tr("HTTP error: the body is larger than %1 bytes; nothing was delivered.").arg(m_bodyLimit)
                         : tr("HTTP error: the spool file in %1 could not be written; nothing was delivered.")
                               .arg(getAppPath()));
        return;
    }
    if (m_response->failed())
        failTransfer(m_response->error());
    else if (m_response->complete())
        completeHttp();
}

void WebFetchWidget::on_disconnected()
{
    if (!m_socket || !m_response)
        return;
    if (m_socket->bytesAvailable() > 0)
        on_readyRead();
    if (!m_response)
        return; // the last bytes completed or ended the transfer
    m_response->finish();
    if (m_response->complete())
        completeHttp();
    else
        failTransfer(m_response->error());
}

void WebFetchWidget::completeHttp()
{
    m_noResponse->stop();
    const HttpResponseReader& r = *m_response;
    QString body = kro::import::textFromBytes(std::string_view(m_body.constData(), static_cast<size_t>(m_body.size())));
    if (!body.endsWith(QLatin1Char('\n')))
        body += QLatin1Char('\n');
    showBody(body, m_bodyCut);

    QString problem;
    if (r.statusCode() < 200 || r.statusCode() > 299) {
        problem = tr("HTTP error: %1; nothing was delivered.").arg(r.statusText());
        const QByteArray location = r.field("Location");
        if (!location.isEmpty())
            problem = tr("HTTP error: %1, moved to %2; nothing was delivered.")
                          .arg(r.statusText(), QString::fromLatin1(location));
    } else if (m_binary) {
        problem = tr("HTTP error: the body is binary data; nothing was delivered.");
    }
    if (!problem.isEmpty()) {
        failTransfer(problem);
        resumeAfterTransfer();
        return;
    }

    if (linked()) {
        if (m_spool) {
            m_spool->flush();
            m_spool->seek(0);
            queueJob(std::move(m_spool));
        } else {
            QByteArray bytes = m_body;
            if (!bytes.endsWith('\n'))
                bytes += '\n';
            deliver(bytes, body);
        }
    } else {
        Q_EMIT status(tr("Transfer finished: %1 bytes of body received; \"Link to Plotter\" is not ticked, so "
                         "nothing was plotted.")
                          .arg(r.bodyBytes()));
    }
    abort();
    resumeAfterTransfer();
}

void WebFetchWidget::on_socketError()
{
    if (!m_socket)
        return;
    const QAbstractSocket::SocketError e = m_socket->error();
    if (e == QAbstractSocket::RemoteHostClosedError) {
        on_disconnected();
        return;
    }
    abort();
    switch (e) {
    case QAbstractSocket::ConnectionRefusedError:
        // Tried again only while fetching continuously, after a pause.
        if (continuous() && m_connect->text() == tr("Stop")) {
            Q_EMIT status(tr("Socket Error: Connection refused. Trying again..."));
            m_retry->start(m_timing.retryMs);
            return;
        }
        Q_EMIT status(tr("Socket Error: Connection refused."));
        break;
    case QAbstractSocket::HostNotFoundError:
        Q_EMIT status(tr("Socket Error: Host not found."));
        break;
    case QAbstractSocket::NetworkError:
    case QAbstractSocket::SocketAccessError:
    case QAbstractSocket::SocketResourceError:
        Q_EMIT status(tr("Socket Error: Socket read error."));
        break;
    default:
        Q_EMIT status(tr("Socket Error: Error unknown."));
        break;
    }
    m_state = TransferState::Failed;
}

void WebFetchWidget::on_noResp()
{
    Q_EMIT status(tr("Communications Error: No connection or response to/from host."));
    abort();
}

// ------------------------------------------------------------ FTP

void WebFetchWidget::startFtp()
{
    const QString file = m_path.mid(m_path.lastIndexOf(QLatin1Char('/')) + 1);
    if (file.isEmpty()) {
        Q_EMIT status(tr("FTP error: the address names no file."));
        return;
    }
    m_ftp = new FtpFetch(m_host, m_port->value().number, m_directory, file, m_bodyLimit, m_timing.noResponseMs, this);
    connect(m_ftp, &FtpFetch::stateChanged, this, &WebFetchWidget::ftp_stateChanged);
    connect(m_ftp, &QThread::finished, this, &WebFetchWidget::ftp_readFinished);
    m_state = TransferState::Requested;
    transferStarted();
    m_ftp->start();
}

void WebFetchWidget::ftp_stateChanged(int state)
{
    static const char* const names[] = {QT_TR_NOOP("ftp://%1 > Unconnected"), QT_TR_NOOP("ftp://%1 > Host lookup"),
                                        QT_TR_NOOP("ftp://%1 > Connecting"),  QT_TR_NOOP("ftp://%1 > Connected"),
                                        QT_TR_NOOP("ftp://%1 > Logged in"),   QT_TR_NOOP("ftp://%1 > Closing")};
    if (state < 0 || state > 5) {
        Q_EMIT status(QString());
        return;
    }
    Q_EMIT status(tr(names[state]).arg(m_host));
}

void WebFetchWidget::ftp_readFinished()
{
    FtpFetch* ftp = m_ftp;
    if (!ftp || sender() != ftp)
        return;
    if (!ftp->error().isEmpty()) {
        failTransfer(tr("FTP error: %1").arg(ftp->error()));
        return;
    }
    QByteArray data = ftp->data();
    abort();
    // Each fetched text ends with a line break, like HTTP bodies and files:
    // its last row is complete and never runs into the next fetch.
    if (!data.isEmpty() && !data.endsWith('\n'))
        data += '\n';
    const QString text = kro::import::textFromBytes(std::string_view(data.constData(), static_cast<size_t>(data.size())));
    showBody(text.left(MAX_KEPT), text.size() > MAX_KEPT);
    if (linked()) {
        if (data.contains('\0'))
            Q_EMIT status(tr("FTP error: the file is binary data; nothing was delivered."));
        else
            deliver(data, text);
    } else {
        Q_EMIT status(tr("Transfer finished: %1 bytes received; \"Link to Plotter\" is not ticked, so nothing was "
                         "plotted.")
                          .arg(data.size()));
    }
    resumeAfterTransfer();
}

// ------------------------------------------------------------ files

void WebFetchWidget::readFile()
{
    // Opened without waiting for a writer (a FIFO would otherwise hold the
    // GUI thread until one comes); only a regular file is read.
    const int fd = ::open(QFile::encodeName(m_host).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        Q_EMIT status(tr("Error opening file: %1").arg(m_host));
        return;
    }
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        Q_EMIT status(tr("Error: %1 is not a regular file (a pipe, a device or a folder); only regular files can be "
                         "fetched.")
                          .arg(m_host));
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        Q_EMIT status(tr("Error opening file: %1").arg(m_host));
        return;
    }
    Q_EMIT status(tr("Connected to file: %1").arg(m_host));
    QByteArray preview;
    while (preview.size() < MAX_KEPT && !file->atEnd())
        preview += file->readLine(10000);
    const bool cut = !file->atEnd();
    showBody(kro::import::textFromBytes(std::string_view(preview.constData(), static_cast<size_t>(preview.size()))),
             cut);
    if (!linked()) {
        Q_EMIT status(tr("Transfer finished: %1 bytes in the file; \"Link to Plotter\" is not ticked, so nothing was "
                         "plotted.")
                          .arg(file->size()));
        return;
    }
    if (preview.contains('\0')) {
        Q_EMIT status(tr("Error: %1 holds binary data; nothing was delivered.").arg(m_host));
        return;
    }
    file->seek(0);
    queueJob(std::move(file));
}

// ------------------------------------------------------------ feeding the live plot

namespace {

// The rows of a text that can reach the plot: its lines that hold more than
// a line break.
qint64 rowCount(const QString& text)
{
    qint64 rows = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype feed = text.indexOf(QLatin1Char('\n'), start);
        if (feed < 0)
            feed = text.size();
        const qsizetype length = feed - start;
        if (length > 1 || (length == 1 && text.at(start) != QLatin1Char('\r')))
            ++rows;
        start = feed + 1;
    }
    return rows;
}

} // namespace

void WebFetchWidget::reportFinished(qint64 rows)
{
    Q_EMIT status(tr("Transfer finished: %1 rows handed to the plot.").arg(rows));
}

void WebFetchWidget::deliver(const QByteArray& bytes, const QString& text)
{
    if (!m_jobs.empty()) {
        // Earlier texts are still being fed: this one waits its turn.
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(bytes);
        buffer->open(QIODevice::ReadOnly);
        queueJob(std::move(buffer));
        return;
    }
    Q_EMIT newWebString(m_host, text, m_ready);
    reportFinished(rowCount(text));
}

void WebFetchWidget::queueJob(std::unique_ptr<QIODevice> source)
{
    WebFileJob job;
    job.label = m_host;
    job.source = std::move(source);
    job.mapping = m_mapping;
    job.slide = m_advanced->slide();
    job.append = m_mapping.m_append;
    m_jobs.push_back(std::move(job));
    if (!m_feed->isActive())
        m_feed->start(1);
}

void WebFetchWidget::shuffleFilesOut()
{
    if (m_jobs.empty())
        return;
    try {
        // The oldest job first, so texts reach the plot in the order they
        // were fetched.
        WebFileJob& job = m_jobs.front();
        QIODevice* source = job.source.get();
        if (!job.continued && source->pos() != 0) {
            // The rest of the text continues the first block: it is added
            // to the plot, and its header row and skipped rows, which only
            // begin a text, are behind.
            job.continued = true;
            job.append = true;
            FileObject m = job.mapping;
            m.m_append = true;
            m.m_header = -1;
            m.m_skip = 0;
            Q_EMIT linkStatusChanged(job.label, m, job.slide, true);
        }
        QByteArray block;
        while (block.size() <= m_blockSize / 2 && !source->atEnd())
            block += source->readLine(m_blockSize - 1);
        const bool atEnd = source->atEnd();
        QString text = kro::import::textFromBytes(std::string_view(block.constData(), static_cast<size_t>(block.size())));
        if (atEnd && !text.endsWith(QLatin1Char('\n')))
            text += QLatin1Char('\n');
        job.rows += rowCount(text);
        Q_EMIT newWebString(job.label, text, m_ready);
        if (atEnd) {
            if (job.continued) {
                // The next text begins anew: it skips its rows again and, for
                // a replacing link, replaces the plot's data.
                job.mapping.m_header = -1;
                Q_EMIT linkStatusChanged(job.label, job.mapping, job.slide, true);
            }
            reportFinished(job.rows);
            m_jobs.pop_front(); // a spool file is removed with its job
        }
    } catch (const std::exception& e) {
        m_jobs.pop_front();
        Q_EMIT status(tr("Error: %1").arg(QString::fromUtf8(e.what())));
    }
    if (!m_jobs.empty())
        m_feed->start(m_timing.feedMs);
}

// ================================================================ window

WebFetch::WebFetch()
    : QMainWindow(nullptr, Qt::Dialog | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                               Qt::WindowCloseButtonHint),
      m_widget(new WebFetchWidget(this)), m_status(new QLabel(QStringLiteral(" "))), m_animation(new QTimer(this))
{
    setWindowTitle(tr("KRO - web fetch"));
    setCentralWidget(m_widget);
    m_status->setFont(lightFont(m_status->font()));
    QPalette p = m_status->palette();
    p.setColor(QPalette::Window, QColor(252, 252, 252));
    m_status->setAutoFillBackground(true);
    m_status->setPalette(p);
    statusBar()->setAutoFillBackground(true);
    statusBar()->setPalette(p);
    statusBar()->addWidget(m_status, 0);

    connect(m_widget, &WebFetchWidget::linkStatusChanged, this, &WebFetch::linkStatusChanged);
    connect(m_widget, &WebFetchWidget::newWebString, this, &WebFetch::newWebString, Qt::DirectConnection);
    connect(m_widget, &WebFetchWidget::hidden, this, &WebFetch::on_hidden);
    connect(m_widget, &WebFetchWidget::status, this, &WebFetch::updateStatus);
    connect(this, &WebFetch::hidden, this, &WebFetch::closed);
    connect(m_animation, &QTimer::timeout, this, &WebFetch::on_animation);
    m_animation->start(1000);
    show();
}

void WebFetch::show()
{
    if (isMinimized())
        showNormal();
    if (isHidden() || !isActiveWindow()) {
        QMainWindow::show();
        activateWindow();
    }
    if (m_firstSizing) {
        resize(600, 480);
        m_firstSizing = false;
    }
}

void WebFetch::hide()
{
    Q_EMIT hidden();
    QMainWindow::hide();
}

void WebFetch::closeEvent(QCloseEvent* event)
{
    Q_EMIT hidden();
    event->accept();
}

void WebFetch::on_hidden() { hide(); }

void WebFetch::updateStatus(const QString& text)
{
    // A text ending in "..." shows its dots moving until the next text.
    m_animationBase = text.endsWith(QLatin1String("...")) ? text.chopped(3) : QString();
    m_dots = 3;
    m_status->setText(kro::boundedRichText(text));
    statusBar()->repaint();
}

void WebFetch::on_animation()
{
    if (m_animationBase.isNull())
        return;
    m_dots = m_dots % 3 + 1;
    m_status->setText(m_animationBase + QString(m_dots, QLatin1Char('.')));
}
