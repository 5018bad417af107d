#include "miscio/serialportio.h"

#include <QApplication>
#include <QCollator>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMutexLocker>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <exception>

namespace {

QSerialPort::Parity parityOf(int code)
{
    switch (code) {
    case 1: return QSerialPort::OddParity;
    case 2: return QSerialPort::EvenParity;
    case 3: return QSerialPort::MarkParity;
    case 4: return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits stopBitsOf(int code)
{
    switch (code) {
    case 1: return QSerialPort::OneAndHalfStop;
    case 2: return QSerialPort::TwoStop;
    default: return QSerialPort::OneStop;
    }
}

QSerialPort::FlowControl flowOf(int code)
{
    switch (code) {
    case 1: return QSerialPort::HardwareControl;
    case 2: return QSerialPort::SoftwareControl;
    default: return QSerialPort::NoFlowControl;
    }
}

// Appends Latin-1 bytes to the text, leaving out NUL bytes.
void appendWithoutNuls(QString& text, const char* data, qsizetype size)
{
    const char* end = data + size;
    while (data < end) {
        const void* nul = std::memchr(data, 0, static_cast<size_t>(end - data));
        const char* stop = nul ? static_cast<const char*>(nul) : end;
        text.append(QLatin1StringView(data, stop - data));
        data = stop + (nul ? 1 : 0);
    }
}

// Applies one setting to the open port; a refused one keeps the port's
// earlier value and says so on the debug output.
template <typename Setter>
void applySetting(QSerialPort& port, const char* what, int value, Setter setter)
{
    if (!setter()) {
        qWarning("Serial port %s: %s %d refused (%s); the earlier setting stays.", qPrintable(port.portName()),
                 what, value, qPrintable(port.errorString()));
        port.clearError();
    }
}

} // namespace

unsigned long modemBitsFromPinout(int pinoutSignals)
{
    unsigned long bits = 0;
    if (pinoutSignals & QSerialPort::ClearToSendSignal)
        bits |= MODEM_CTS;
    if (pinoutSignals & QSerialPort::DataSetReadySignal)
        bits |= MODEM_DSR;
    if (pinoutSignals & QSerialPort::DataCarrierDetectSignal)
        bits |= MODEM_DCD;
    if (pinoutSignals & QSerialPort::RingIndicatorSignal)
        bits |= MODEM_RI;
    return bits;
}

// ------------------------------------------------------------ worker

SerialPortIO::SerialPortIO(SerialPortController* controller) : m_controller(controller) {}

SerialPortIO::~SerialPortIO() { stopLoop(); }

void SerialPortIO::setSettings(const DeviceFrame& frame)
{
    QMutexLocker lock(&m_mutex);
    m_settings = frame;
}

void SerialPortIO::startLoop()
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_loopActive)
            return;
        m_loopActive = true;
    }
    wait(); // a loop that just ended has finished completely
    m_running.store(true);
    const bool opening = m_wantOpen.load();
    m_openTried.tryAcquire(m_openTried.available()); // no word of an earlier attempt
    start();
    if (opening)
        m_openTried.tryAcquire(1, 5000);
}

void SerialPortIO::stopLoop()
{
    m_running.store(false);
    wait();
}

void SerialPortIO::dropPendingWrite()
{
    QMutexLocker lock(&m_mutex);
    m_pending = false;
    m_pendingBytes.clear();
}

void SerialPortIO::setPendingWrite(const QByteArray& bytes)
{
    {
        QMutexLocker lock(&m_mutex);
        // Writes queue up: a key typed before the last one went out is sent
        // after it, not instead of it.
        if (!m_pending)
            m_pendingBytes.clear();
        m_pendingBytes += bytes;
        m_pending = true;
    }
    startLoop();
}

void SerialPortIO::requestLine(LineStatus line, bool on)
{
    QMutexLocker lock(&m_mutex);
    if (line == LineStatus::RTS)
        m_rts = on ? 1 : 0;
    else if (line == LineStatus::DTR)
        m_dtr = on ? 1 : 0;
}

void SerialPortIO::post(int type, const QString& text)
{
    QCoreApplication::postEvent(m_controller, new SerialRcvdEvent(type, text));
}

bool SerialPortIO::openPort(QSerialPort& port)
{
    DeviceFrame settings;
    {
        QMutexLocker lock(&m_mutex);
        settings = m_settings;
    }
    port.setPortName(settings.m_comPort.trimmed());
    if (settings.m_comPort.trimmed().isEmpty() || !port.open(QIODevice::ReadWrite)) {
        post(SERIAL_PORT_NOT_OPEN,
             QCoreApplication::translate("SerialPortController", "Serial error: cannot open %1: %2\n")
                 .arg(settings.m_comPort, settings.m_comPort.trimmed().isEmpty()
                                              ? QCoreApplication::translate("SerialPortController", "no port given")
                                              : port.errorString()));
        return false;
    }
    // In the order baud rate, data bits, flow control, stop bits, parity.
    applySetting(port, "baud rate", settings.m_baud, [&] { return port.setBaudRate(settings.m_baud); });
    applySetting(port, "data bits", settings.m_dataBits, [&] {
        return settings.m_dataBits >= 5 && settings.m_dataBits <= 8 &&
               port.setDataBits(static_cast<QSerialPort::DataBits>(settings.m_dataBits));
    });
    applySetting(port, "flow control", settings.m_flow, [&] { return port.setFlowControl(flowOf(settings.m_flow)); });
    applySetting(port, "stop bits", settings.m_stopBits,
                 [&] { return port.setStopBits(stopBitsOf(settings.m_stopBits)); });
    applySetting(port, "parity", settings.m_parity, [&] { return port.setParity(parityOf(settings.m_parity)); });
    port.clearError();
    return true;
}

void SerialPortIO::applyLineRequests(QSerialPort& port)
{
    int rts = -1;
    int dtr = -1;
    {
        QMutexLocker lock(&m_mutex);
        std::swap(rts, m_rts);
        std::swap(dtr, m_dtr);
    }
    if (rts >= 0)
        port.setRequestToSend(rts == 1);
    if (dtr >= 0)
        port.setDataTerminalReady(dtr == 1);
    port.clearError(); // lines a device lacks are no reason to stop
}

void SerialPortIO::run()
{
    try {
        m_status.store(SERIAL_RUNNING);
        std::unique_ptr<QSerialPort> port;
        const bool opening = m_wantOpen.load();
        if (opening) {
            port = std::make_unique<QSerialPort>();
            if (openPort(*port)) {
                m_portOpen.store(true);
            } else {
                port.reset();
                m_status.store(SERIAL_PORT_NOT_OPEN);
            }
            m_openTried.release();
        }
        if (!opening || port)
            serve(port.get());
        if (port)
            port->close();
    } catch (const std::exception& e) {
        m_status.store(SERIAL_ERROR);
        post(SERIAL_ERROR, QCoreApplication::translate("SerialPortController", "Serial error: %1\n")
                               .arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        m_status.store(SERIAL_ERROR);
        post(SERIAL_ERROR, QCoreApplication::translate("SerialPortController", "Serial error: unknown failure.\n"));
    }
    m_portOpen.store(false);
    m_modem.store(0);
    m_held.store(0);
    QMutexLocker lock(&m_mutex);
    m_loopActive = false;
}

void SerialPortIO::serve(QSerialPort* port)
{
    QByteArray buffer(m_bufferSize.load(), '\0');
    QString text;
    QElapsedTimer lineClock;
    lineClock.start();
    std::atomic<bool>& ready = m_controller->frame().m_ready;

    for (;;) {
        QByteArray bytes;
        bool writing = false;
        {
            QMutexLocker lock(&m_mutex);
            if (m_pending) {
                bytes = m_pendingBytes;
                m_pending = false;
                writing = true;
            }
        }
        if (writing) {
            if (!port || !port->isOpen()) {
                m_status.store(SERIAL_PORT_NOT_OPEN);
                post(SERIAL_PORT_NOT_OPEN,
                     QCoreApplication::translate("SerialPortController", "Serial error: the port is not open.\n"));
                return;
            }
            const qint64 written = bytes.isEmpty() ? 0 : port->write(bytes);
            bool ok = written == bytes.size();
            while (ok && port->bytesToWrite() > 0)
                ok = port->waitForBytesWritten(WRITE_TIMEOUT_MS);
            m_status.store(SERIAL_WRITE_DONE);
            if (!ok || (port->error() != QSerialPort::NoError && port->error() != QSerialPort::TimeoutError)) {
                m_status.store(SERIAL_ERROR);
                post(SERIAL_ERROR, QCoreApplication::translate("SerialPortController", "Serial error: write failed: %1\n")
                                       .arg(port->errorString()));
                return;
            }
            port->clearError();
        }

        qint64 n = 0;
        if (port) {
            port->waitForReadyRead(PASS_MS);
            const QSerialPort::SerialPortError error = port->error();
            if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError) {
                // The device went away or failed: deliver what came before.
                const QString reason = port->errorString();
                n = port->bytesAvailable();
                if (n > 0) {
                    const QByteArray rest = port->read(n);
                    appendWithoutNuls(text, rest.constData(), rest.size());
                }
                if (!text.isEmpty())
                    post(SERIAL_DATA, text);
                m_status.store(SERIAL_ERROR);
                post(SERIAL_ERROR,
                     QCoreApplication::translate("SerialPortController", "Serial error: the port %1 failed: %2\n")
                         .arg(port->portName(), reason));
                return;
            }
            port->clearError();
            n = port->bytesAvailable();
        } else {
            msleep(PASS_MS);
        }

        // The consumer's flag, read once per pass, after the wait: a text it
        // took meanwhile lets this pass deliver.
        const bool readyNow = ready.load();
        if (n > 0 || (readyNow && !text.isEmpty())) {
            m_status.store(SERIAL_DATA);
            if (n >= buffer.size()) {
                buffer.resize(static_cast<qsizetype>(2 * n));
                m_bufferSize.store(static_cast<int>(std::min<qint64>(2 * n, INT_MAX)));
            }
            if (n > 0) {
                const qint64 got = port->read(buffer.data(), n);
                if (got > 0)
                    appendWithoutNuls(text, buffer.constData(), static_cast<qsizetype>(got));
            }
            if (readyNow && !text.isEmpty()) {
                ready.store(false);
                post(SERIAL_DATA, text);
                text = QString();
            }
            m_held.store(text.size());
        }

        if (port && lineClock.elapsed() >= LINE_POLL_MS) {
            lineClock.restart();
            applyLineRequests(*port);
            m_modem.store(modemBitsFromPinout(static_cast<int>(port->pinoutSignals())));
            port->clearError();
        }

        if (!m_running.load())
            return;
    }
}

// ------------------------------------------------------------ controller

SerialPortController::SerialPortController(QObject* parent)
    : DeviceInterface(parent), m_worker(std::make_unique<SerialPortIO>(this)), m_lineTimer(new QTimer(this))
{
    connect(m_lineTimer, &QTimer::timeout, this, &SerialPortController::on_lineStatusTimer);
    m_lineTimer->start(SerialPortIO::LINE_POLL_MS);
}

SerialPortController::~SerialPortController()
{
    // The worker refers to this controller: it ends before the controller goes.
    m_worker->stopLoop();
}

void SerialPortController::openPort(bool open)
{
    // A loop still running (from a send, or the last opening) ends first,
    // so the port is closed before it is opened again.
    m_worker->setWantOpen(false);
    m_worker->stopLoop();
    m_worker->dropPendingWrite(); // what was not sent before closing is not sent later
    if (!open)
        return;
    m_errorText.clear();
    m_worker->setSettings(m_frame);
    m_worker->setWantOpen(true);
    m_worker->startLoop();
}

bool SerialPortController::isPortOpen() const { return m_worker->portOpen(); }

bool SerialPortController::send(const QByteArray& bytes)
{
    m_worker->setPendingWrite(bytes);
    return true;
}

bool SerialPortController::sendString(const QString& text) { return send(text.toLatin1()); }

bool SerialPortController::sendAscii(int code) { return send(keyCodeBytes(code)); }

void SerialPortController::customEvent(QEvent* event)
{
    auto* received = dynamic_cast<SerialRcvdEvent*>(event);
    if (!received)
        return;
    switch (static_cast<int>(event->type())) {
    case SERIAL_DATA:
        Q_EMIT stringReady(received->text());
        break;
    case SERIAL_PORT_NOT_OPEN:
        m_errorText = received->text();
        Q_EMIT invalidPort();
        break;
    case SERIAL_ERROR:
        m_errorText = received->text();
        Q_EMIT writeError();
        break;
    default:
        break;
    }
}

void SerialPortController::on_reqLineStatus(LineStatus line, bool on) { m_worker->requestLine(line, on); }

void SerialPortController::on_lineStatusTimer() { Q_EMIT currentLineStatus(m_worker->modemStatus()); }

// ------------------------------------------------------------ probe

QStringList probeComPorts()
{
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names.append(info.portName());
    return probeComPorts(names);
}

QStringList probeComPorts(const QStringList& candidates)
{
    QStringList names = candidates;
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });

    auto* label = new QLabel;
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont font = label->font();
    font.setPointSize(8);
    font.setWeight(QFont::Light);
    label->setFont(font);
    QStringList lines;
    for (const QString& name : names)
        lines.append(QCoreApplication::translate("SerialPortController", "%1:\t").arg(name));
    auto show = [&] {
        label->setText(QCoreApplication::translate("SerialPortController", "Probing COM ports...\n\n") +
                       lines.join(QLatin1Char('\n')));
        label->adjustSize();
        label->repaint();
    };
    show();
    label->show();

    QStringList available;
    for (qsizetype i = 0; i < names.size(); ++i) {
        QSerialPort port;
        port.setPortName(names[i]);
        const bool ok = port.open(QIODevice::ReadWrite);
        if (ok) {
            port.close();
            available.append(names[i]);
        }
        lines[i] += ok ? QCoreApplication::translate("SerialPortController", "  Available   ")
                       : QCoreApplication::translate("SerialPortController", "  Not Available   ");
        show();
    }
    label->deleteLater();
    return available;
}
