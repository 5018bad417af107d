#pragma once
// An instrument link: the settings record DeviceFrame, the small enumerations
// the instrument classes share, and DeviceInterface, the base of the serial
// and TCP links. A link is opened, closed and written from the GUI thread;
// it reports received text and its own status messages through stringReady.
#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QString>

#include <atomic>

enum class IOMode { SERIAL = 0, TCP = 1 };

// Modem control lines, in the order of the instrument page's line names.
// Only RTS and DTR can be set; the other four are read.
enum class LineStatus { RTS = 0, CTS = 1, DSR = 2, DTR = 3, DCD = 4, RI = 5 };
Q_DECLARE_METATYPE(IOMode)
Q_DECLARE_METATYPE(LineStatus)

// The settings of one link. Copying copies every field; m_ready is atomic
// because the serial worker clears it while the GUI thread sets it.
struct DeviceFrame {
    bool m_connected = false;  // the user switched the link on
    int m_instrument = 0;      // position of the page in the instrument panel
    IOMode m_mode = IOMode::SERIAL;
    int m_tcpPort = 23;
    int m_flow = 0;            // 0 none, 1 hardware, 2 XON/XOFF
    int m_parity = 0;          // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int m_dataBits = 8;        // 5 to 8
    int m_stopBits = 0;        // 0 one, 1 one and a half, 2 two
    int m_baud = 19200;
    std::atomic<bool> m_ready{true}; // the consumer took the last delivered text
    QString m_comPort;
    QString m_label;
    QString m_ip = QStringLiteral("127.0.0.1");
    QString m_password;        // kept, never sent or saved
    QString m_user;            // kept, never sent or saved

    DeviceFrame() = default;
    DeviceFrame(const DeviceFrame& other) { *this = other; }
    DeviceFrame& operator=(const DeviceFrame& other);
};

// "NONE" 0, "ODD" 1, "EVEN" 2, "MARK" 3, "SPACE" 4 (exact); anything else 0.
int parityFromName(const QString& name);
// The word of a parity code; codes outside 1..4 give "NONE".
QString parityName(int code);
// "NONE" 0, "HARDWARE" 1, "XONXOFF" 2 (exact); anything else 0.
int flowFromName(const QString& name);
// The word of a flow code; codes other than 1 and 2 give "NONE".
QString flowName(int code);
// Stop bits as a number: s <= 1.2 gives 0 (one), 1.2 < s < 1.8 gives 1
// (one and a half), 1.8 < s < 2.5 gives 2 (two), anything else 0.
int stopBitsFromNumber(double s);
// 1.5 for code 1, 2.0 for code 2, 1.0 for any other code.
double stopBitsNumber(int code);

// The bytes of a key code: the int's bytes from the lowest up to, and not
// including, its first zero byte (0 to 4 bytes). 0x445B1B gives ESC [ D.
QByteArray keyCodeBytes(int code);

class DeviceInterface : public QObject {
    Q_OBJECT

public:
    explicit DeviceInterface(QObject* parent = nullptr) : QObject(parent) {}

    DeviceFrame& frame() { return m_frame; }
    const DeviceFrame& frame() const { return m_frame; }

    // Opens the link with the frame's settings (true) or closes it (false).
    // Success and failure are reported through signals.
    virtual void openPort(bool open) = 0;
    virtual bool isPortOpen() const = 0;
    // Sends the text's characters as Latin-1 bytes; whether it was handed over.
    virtual bool sendString(const QString& text) = 0;
    // Sends the bytes of a key code (keyCodeBytes).
    virtual bool sendAscii(int code) = 0;

public Q_SLOTS:
    void onSendString(const QString& text) { sendString(text); }
    void onSendAscii(int code) { sendAscii(code); }

Q_SIGNALS:
    // Received text, and the link's own status messages.
    void stringReady(const QString& text);
    void readTimeout();
    void portOpened();
    // The serial port could not be opened (or was not open for a write).
    void invalidPort();
    // A serial write failed or the port failed while open.
    void writeError();

protected:
    DeviceFrame m_frame;
};
