#pragma once
// DeviceIOTab: the page of one instrument in the instrument panel. The user
// chooses serial or TCP, sets the connection, watches and sets the modem
// lines, connects, watches what the instrument sends in the console, types
// to it, and links it to a live plot.
//
// Received text takes this path: link, on_newstring (VT-style sequences
// removed when asked, line breaks cleaned up, optional MJD time stamps),
// console, and while linked the plot tabs through newDeviceString. The
// column mapping goes to the plot tabs through linkStatusChanged each time
// the link to the plot is switched on or off.
#include "import/fileobject.h"
#include "miscio/deviceinterface.h"
#include "miscio/vt100parser.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class LabeledComboBox;
class LabeledEdit;
class LogEdit;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// IP address, port, user name and password of a TCP instrument. The user
// name and password rows are never shown.
class TCPSpecs : public QWidget {
    Q_OBJECT

public:
    explicit TCPSpecs(QWidget* parent = nullptr);

    QLineEdit* ipEdit() const { return m_ip; }
    QLineEdit* portEdit() const { return m_port; }
    QLineEdit* userEdit() const { return m_user; }
    QLineEdit* passwordEdit() const { return m_password; }
    // Writes the number only when the edit's number differs.
    void setPort(int port);
    // Shows the address rows and hides the account rows, or hides all.
    void showAddressRows(bool show);
    void setAddressEnabled(bool on);

public Q_SLOTS:
    void portStrChanged(const QString& text);

Q_SIGNALS:
    void ipChanged(const QString& ip);
    void portChanged(int port);
    void usrChanged(const QString& user);
    void pwdChanged(const QString& password);

private:
    QLabel* m_ipCaption;
    QLabel* m_portCaption;
    QLabel* m_userCaption;
    QLabel* m_passwordCaption;
    QLineEdit* m_ip;
    QLineEdit* m_port;
    QLineEdit* m_user;
    QLineEdit* m_password;
};

class DeviceIOTab : public QWidget {
    Q_OBJECT

public:
    DeviceIOTab(QWidget* parent, int number, const QStringList& ports, const DeviceFrame& frame);
    ~DeviceIOTab() override;

    // Sets the controls from the link's frame; a frame marked connected
    // switches the Connect button on, which opens the link.
    void applyFrame();

    DeviceInterface* link() const { return m_link; }
    // The live settings: the link's frame.
    DeviceFrame& frame() const;
    LogEdit* console() const { return m_console; }
    Vt100Parser& parser() { return m_parser; }
    const FileObject& fileObject() const { return m_fileObject; }
    TCPSpecs* tcpSpecs() const { return m_tcpSpecs; }

    QPushButton* connectButton() const { return m_connect; }
    QPushButton* linkButton() const { return m_linkButton; }
    QAbstractButton* modeButton(IOMode mode) const;
    QCheckBox* vt100Box() const { return m_vt100; }
    QCheckBox* timestampBox() const { return m_timestamp; }
    // A line box by its line.
    QCheckBox* lineBox(LineStatus line) const;
    LabeledComboBox* portBox() const { return m_portBox; }
    LabeledComboBox* baudBox() const { return m_baudBox; }
    LabeledComboBox* dataBitsBox() const { return m_dataBitsBox; }
    LabeledComboBox* parityBox() const { return m_parityBox; }
    LabeledComboBox* stopBitsBox() const { return m_stopBitsBox; }
    LabeledComboBox* flowBox() const { return m_flowBox; }
    LabeledEdit* labelEdit() const { return m_labelEdit; }
    LabeledEdit* xEdit() const { return m_xEdit; }
    LabeledEdit* yEdit() const { return m_yEdit; }
    LabeledEdit* slideEdit() const { return m_slideEdit; }
    LabeledEdit* keyEdit() const { return m_keyEdit; }
    QGroupBox* communicationGroup() const { return m_commGroup; }

    int keyColumn() const;
    int xColumn() const;
    // The "Y-Axis " text split at blanks and commas, empty parts dropped,
    // each part read as a decimal number (0 when it is none).
    std::vector<int> yColumns() const;
    int slide() const;
    QString label() const;

    // Where the time stamps take the current MJD from (the system clock
    // unless set).
    void setClock(std::function<double()> clock) { m_clock = std::move(clock); }

public Q_SLOTS:
    void changeIOMode(IOMode mode);
    void updateLineStatus(unsigned long bits);
    void changeCOM(const QString& port);
    void changeBaud(int index);
    void changeBaudRate(int rate);
    void changeDataBits(int index);
    void changeDataBitsNumber(int bits);
    void changeParity(int index);
    void changeStopBits(int index);
    void changeFlow(int index);
    void changeInstrLabel();
    void changeConnectState(bool on);
    void changeIPAddress(const QString& ip);
    void changeIPPort(int port);
    void changeUsername(const QString& user);
    void changePassword(const QString& password);
    // Six states in the order RTS, DTR, CTS, DSR, DCD, RI.
    void changeLineStatus(const bool* states);
    void slot_changeIOMode(int id);
    void statusToggled(bool on);
    void tcperror(int code);
    void on_linkstatus(bool on);
    void on_newstring(const QString& text);

Q_SIGNALS:
    void connectToggled(bool on, const DeviceFrame* const frame);
    void instrLabelChanged(const DeviceFrame* const frame);
    void lineStatusChanged(LineStatus line, bool on);
    void linkStatusChanged(const QString& label, const FileObject& mapping, int slide, bool linked);
    // The receiver sets ready to true when it has taken the text.
    void newDeviceString(const QString& label, const QString& text, bool& ready);

private Q_SLOTS:
    void reportLinkError();

private:
    void buildControls(int number, const QStringList& ports);
    void createController(const DeviceFrame& frame);
    void releaseController();
    // Enables the setting controls for the mode and the connected state.
    void refreshEnabled();
    QString timeStamp() const;

    DeviceInterface* m_link = nullptr;
    LogEdit* m_console = nullptr;
    TCPSpecs* m_tcpSpecs = nullptr;
    Vt100Parser m_parser;
    FileObject m_fileObject;
    QString m_held;
    bool m_synchronised = false;
    int m_lastStampChar = 0;
    // The previous text ended in a carriage return: a line feed that opens the
    // next text ends the same line.
    bool m_pendingCR = false;
    std::function<double()> m_clock;

    QButtonGroup* m_modeGroup = nullptr;
    QCheckBox* m_vt100 = nullptr;
    QCheckBox* m_timestamp = nullptr;
    QGroupBox* m_commGroup = nullptr;
    QGroupBox* m_lineWriteGroup = nullptr;
    QGroupBox* m_lineReadGroup = nullptr;
    LabeledComboBox* m_portBox = nullptr;
    LabeledComboBox* m_baudBox = nullptr;
    LabeledComboBox* m_dataBitsBox = nullptr;
    LabeledComboBox* m_parityBox = nullptr;
    LabeledComboBox* m_stopBitsBox = nullptr;
    LabeledComboBox* m_flowBox = nullptr;
    LabeledEdit* m_labelEdit = nullptr;
    LabeledEdit* m_xEdit = nullptr;
    LabeledEdit* m_yEdit = nullptr;
    LabeledEdit* m_slideEdit = nullptr;
    LabeledEdit* m_keyEdit = nullptr;
    std::vector<QCheckBox*> m_lineBoxes; // by LineStatus value
    QPushButton* m_connect = nullptr;
    QPushButton* m_linkButton = nullptr;
};
