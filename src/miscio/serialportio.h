#pragma once
// The serial link: SerialPortController (a DeviceInterface) and its worker
// thread SerialPortIO, which alone touches the port: it opens it, reads what
// arrives, performs the pending write, reads the modem lines and sets RTS and
// DTR. Received text reaches the GUI thread only inside a posted
// SerialRcvdEvent, paced by the frame's ready flag: while the consumer has
// not taken the last text, new text accumulates in the worker, so at most
// one received-text event is in flight per link.
//
// Port names are Linux device names ("ttyUSB0", or a full path such as a
// pseudo-terminal's "/dev/pts/3").
#include "miscio/deviceinterface.h"

#include <QByteArray>
#include <QEvent>
#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <memory>

class QSerialPort;
class QTimer;
class SerialPortController;

// The worker's status word; received-text events carry the same numbers as
// their event type.
enum SERIALEVENT {
    SERIAL_IDLE = 1011,
    SERIAL_WRITE_DONE = 1012,
    SERIAL_PORT_NOT_OPEN = 1013,
    SERIAL_DATA = 1014,
    SERIAL_ERROR = 1015,
    SERIAL_RUNNING = 1017,
};

// Posted by the worker to its controller: received text (SERIAL_DATA), or
// the reason the worker ended (SERIAL_PORT_NOT_OPEN, SERIAL_ERROR).
class SerialRcvdEvent : public QEvent {
public:
    SerialRcvdEvent(int type, QString text) : QEvent(static_cast<QEvent::Type>(type)), m_text(std::move(text)) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// Modem status bits as the line-status signal carries them.
enum ModemBits : unsigned long { MODEM_CTS = 1, MODEM_DSR = 2, MODEM_DCD = 4, MODEM_RI = 8 };

class SerialPortIO : public QThread {
    Q_OBJECT

public:
    // Read buffer size at start; it grows (to twice the waiting byte count)
    // when a larger batch arrives and never shrinks.
    static constexpr int INITIAL_BUFFER = 1024;
    // How long one pass waits for input, and how long a write may take.
    static constexpr int PASS_MS = 2;
    static constexpr int WRITE_TIMEOUT_MS = 1000;
    static constexpr int LINE_POLL_MS = 10;

    explicit SerialPortIO(SerialPortController* controller);
    ~SerialPortIO() override;

    int status() const { return m_status.load(); }
    int bufferSize() const { return m_bufferSize.load(); }
    bool portOpen() const { return m_portOpen.load(); }
    unsigned long modemStatus() const { return m_modem.load(); }
    // Characters received and not delivered yet (held while the consumer is busy).
    qsizetype heldCharacters() const { return m_held.load(); }

    // Settings used the next time the worker opens the port.
    void setSettings(const DeviceFrame& frame);
    // Whether the worker is to open the port when it starts.
    void setWantOpen(bool open) { m_wantOpen.store(open); }
    bool wantOpen() const { return m_wantOpen.load(); }
    // Starts the loop; when it is to open the port, waits until it tried.
    void startLoop();
    // Ends the loop and waits for it (the port is closed by then).
    void stopLoop();
    // Forgets a write not taken yet.
    void dropPendingWrite();
    // Adds the bytes to the pending write (after those not taken yet).
    void setPendingWrite(const QByteArray& bytes);
    // A request to set or clear RTS or DTR, applied by the loop.
    void requestLine(LineStatus line, bool on);

protected:
    void run() override;

private:
    // The loop's body once the port is open (or not wanted).
    void serve(QSerialPort* port);
    void post(int type, const QString& text);
    bool openPort(QSerialPort& port);
    void applyLineRequests(QSerialPort& port);

    SerialPortController* m_controller;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_wantOpen{false};
    std::atomic<bool> m_portOpen{false};
    std::atomic<int> m_status{SERIAL_IDLE};
    std::atomic<int> m_bufferSize{INITIAL_BUFFER};
    std::atomic<unsigned long> m_modem{0};
    std::atomic<qsizetype> m_held{0};
    QSemaphore m_openTried;

    QMutex m_mutex; // guards the fields below
    bool m_loopActive = false; // a loop was started and has not ended
    int m_rts = -1;            // requested RTS (0 or 1), -1 none
    int m_dtr = -1;
    bool m_pending = false;
    QByteArray m_pendingBytes;
    DeviceFrame m_settings;
};

class SerialPortController : public DeviceInterface {
    Q_OBJECT

public:
    explicit SerialPortController(QObject* parent = nullptr);
    ~SerialPortController() override;

    void openPort(bool open) override;
    bool isPortOpen() const override;
    bool sendString(const QString& text) override;
    // The code's bytes as they are: no carriage-return expansion.
    bool sendAscii(int code) override;

    SerialPortIO* worker() const { return m_worker.get(); }
    // Why the worker last ended with an error (empty when it did not).
    const QString& errorText() const { return m_errorText; }

public Q_SLOTS:
    void on_reqLineStatus(LineStatus line, bool on);
    void on_lineStatusTimer();

Q_SIGNALS:
    void currentLineStatus(unsigned long bits);

protected:
    void customEvent(QEvent* event) override;

private:
    bool send(const QByteArray& bytes);

    std::unique_ptr<SerialPortIO> m_worker;
    QTimer* m_lineTimer;
    QString m_errorText;
};

// The modem status bits of Qt's pinout signals (CTS 1, DSR 2, DCD 4, RI 8).
unsigned long modemBitsFromPinout(int pinoutSignals);

// The serial ports of this machine that can be opened now, in natural order
// of their names ("ttyS2" before "ttyS10"). Shows a small window listing
// each port as available or not while it probes.
QStringList probeComPorts();
// The same over given candidates (names or paths).
QStringList probeComPorts(const QStringList& candidates);
