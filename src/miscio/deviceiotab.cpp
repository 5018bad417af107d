#include "miscio/deviceiotab.h"

#include "miscio/livecolumns.h"

#include "core/mjd.h"
#include "miscio/logedit.h"
#include "miscio/serialportio.h"
#include "miscio/socketcontroller.h"
#include "platform/labeledwidget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <array>

namespace {

const char* const kLineNames[] = {"RTS", "CTS", "DSR", "DTR", "DCD", "RI"};

// Selects the item with exactly this text; a box without it keeps its selection.
void selectItem(QComboBox* box, const QString& text)
{
    const int index = box->findText(text, Qt::MatchExactly);
    if (index >= 0)
        box->setCurrentIndex(index);
}

QString itemText(const LabeledComboBox* box, int index) { return box->combo()->itemText(index); }

// Shows the text in the edit; an edit that shows it already is left alone.
void showText(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

// ------------------------------------------------------------ TCPSpecs

TCPSpecs::TCPSpecs(QWidget* parent)
    : QWidget(parent),
      m_ipCaption(new QLabel(tr("IP Address"), this)),
      m_portCaption(new QLabel(tr("Port #"), this)),
      m_userCaption(new QLabel(tr("Username"), this)),
      m_passwordCaption(new QLabel(tr("Password "), this)),
      m_ip(new QLineEdit(this)),
      m_port(new QLineEdit(this)),
      m_user(new QLineEdit(this)),
      m_password(new QLineEdit(this))
{
    static const QRegularExpression ip(QStringLiteral(
        "(?:(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)\\.){3}(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)"));
    m_ip->setValidator(new QRegularExpressionValidator(ip, m_ip));
    m_port->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_port));
    m_password->setEchoMode(QLineEdit::Password);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_ipCaption, 0, 0);
    grid->addWidget(m_ip, 0, 1);
    grid->addWidget(m_portCaption, 0, 2);
    grid->addWidget(m_port, 0, 3);
    grid->addWidget(m_userCaption, 1, 0);
    grid->addWidget(m_user, 1, 1);
    grid->addWidget(m_passwordCaption, 1, 2);
    grid->addWidget(m_password, 1, 3);

    connect(m_ip, &QLineEdit::textChanged, this, &TCPSpecs::ipChanged);
    connect(m_port, &QLineEdit::textChanged, this, &TCPSpecs::portStrChanged);
    connect(m_user, &QLineEdit::textChanged, this, &TCPSpecs::usrChanged);
    connect(m_password, &QLineEdit::textChanged, this, &TCPSpecs::pwdChanged);
}

void TCPSpecs::portStrChanged(const QString& text)
{
    bool ok = false;
    const int port = text.toInt(&ok, 10);
    Q_EMIT portChanged(ok ? port : 0);
}

void TCPSpecs::setPort(int port)
{
    bool ok = false;
    if (m_port->text().toInt(&ok, 10) != port || !ok)
        m_port->setText(QString::number(port));
}

void TCPSpecs::showAddressRows(bool show)
{
    for (QWidget* w : {static_cast<QWidget*>(m_ipCaption), static_cast<QWidget*>(m_ip),
                       static_cast<QWidget*>(m_portCaption), static_cast<QWidget*>(m_port)})
        w->setVisible(show);
    for (QWidget* w : {static_cast<QWidget*>(m_userCaption), static_cast<QWidget*>(m_user),
                       static_cast<QWidget*>(m_passwordCaption), static_cast<QWidget*>(m_password)})
        w->setVisible(false);
}

void TCPSpecs::setAddressEnabled(bool on)
{
    for (QWidget* w : {static_cast<QWidget*>(m_ipCaption), static_cast<QWidget*>(m_ip),
                       static_cast<QWidget*>(m_portCaption), static_cast<QWidget*>(m_port)})
        w->setEnabled(on);
}

// ------------------------------------------------------------ page

DeviceIOTab::DeviceIOTab(QWidget* parent, int number, const QStringList& ports, const DeviceFrame& frame)
    : QWidget(parent), m_clock([] { return currentMjd(); })
{
    buildControls(number, ports);
    createController(frame);
    m_modeGroup->button(static_cast<int>(frame.m_mode))->setChecked(true);
    changeIOMode(frame.m_mode);
}

DeviceIOTab::~DeviceIOTab() { releaseController(); }

DeviceFrame& DeviceIOTab::frame() const { return m_link->frame(); }

void DeviceIOTab::buildControls(int number, const QStringList& ports)
{
    m_console = new LogEdit(this, QStringLiteral("Log %1").arg(number));

    // IO Mode
    auto* modeGroupBox = new QGroupBox(tr("IO Mode"), this);
    auto* modeLayout = new QVBoxLayout(modeGroupBox);
    m_modeGroup = new QButtonGroup(this);
    m_modeGroup->setExclusive(true);
    auto* serial = new QRadioButton(tr("Serial"), modeGroupBox);
    auto* tcp = new QRadioButton(tr("TCP"), modeGroupBox);
    m_modeGroup->addButton(serial, static_cast<int>(IOMode::SERIAL));
    m_modeGroup->addButton(tcp, static_cast<int>(IOMode::TCP));
    modeLayout->addWidget(serial);
    modeLayout->addWidget(tcp);

    // Received Data Options
    auto* receivedGroup = new QGroupBox(tr("Received Data Options"), this);
    auto* receivedLayout = new QVBoxLayout(receivedGroup);
    m_vt100 = new QCheckBox(tr("Interpret VT-style escape sequences"), receivedGroup);
    m_vt100->setToolTip(tr("Enables parsing of VT-style terminal control escape sequences.\n"
                           "Some devices expect the connecting client to accept VT-style\n"
                           "terminal formatting commands. KRO supports a subset of the\n"
                           "protocol and will clean the received input when this box is\n"
                           "checked.\n\n"
                           "NOTE: Enabling this may limit the maximum speed at which KRO\n"
                           "is able to plot or receive real-time data."));
    m_timestamp = new QCheckBox(tr("Enable Timestamp (MJD)"), receivedGroup);
    m_timestamp->setToolTip(tr("Check this box to insert MJD timestamps at the beginning\n"
                               "of each incoming line of data. The timestamps represent\n"
                               "the time at which the data line was received."));
    receivedLayout->addWidget(m_vt100);
    receivedLayout->addWidget(m_timestamp);

    // Communication Settings
    m_commGroup = new QGroupBox(tr("Communication Settings"), this);
    auto* commLayout = new QVBoxLayout(m_commGroup);
    auto makeBox = [&](const QString& caption, const QStringList& items) {
        auto* box = new LabeledComboBox(caption, m_commGroup);
        box->combo()->addItems(items);
        box->caption()->setFixedWidth(70);
        commLayout->addWidget(box);
        return box;
    };
    QStringList sortedPorts = ports;
    sortedPorts.sort();
    m_portBox = makeBox(tr("COM Port"), sortedPorts);
    m_portBox->setEditable(true);
    m_portBox->setToolTip(tr("This list is populated with the ports available when\n"
                             "the Instrument Control Panel is first opened. If you\n"
                             "do not see your port, it may be open by another application,\n"
                             "or may have been unavailable when the Panel was initially\n"
                             "loaded. If you are sure it is available, you may type it in\n"
                             "manually."));
    m_baudBox = makeBox(tr("Baud Rate"), {QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"),
                                          QStringLiteral("9600"), QStringLiteral("14400"), QStringLiteral("19200"),
                                          QStringLiteral("38400"), QStringLiteral("56000"), QStringLiteral("57600"),
                                          QStringLiteral("115200")});
    m_dataBitsBox = makeBox(tr("Data Bits"), {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                                              QStringLiteral("8")});
    m_parityBox = makeBox(tr("Parity"), {QStringLiteral("NONE"), QStringLiteral("ODD"), QStringLiteral("EVEN"),
                                         QStringLiteral("MARK"), QStringLiteral("SPACE")});
    m_stopBitsBox = makeBox(tr("Stop Bits"), {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")});
    m_flowBox = makeBox(tr("Flow Control"), {QStringLiteral("NONE"), QStringLiteral("HARDWARE"),
                                             QStringLiteral("XONXOFF")});

    // Instrument Options
    auto* optionsGroup = new QGroupBox(tr("Instrument Options"), this);
    auto* optionsLayout = new QVBoxLayout(optionsGroup);
    m_labelEdit = new LabeledEdit(tr("Label "), optionsGroup);
    m_labelEdit->edit()->setFixedWidth(220);
    m_labelEdit->setToolTip(tr("The instrument label will be used to create a tab\n"
                               "for the live plotter, when the data Link button is\n"
                               "activated."));
    m_tcpSpecs = new TCPSpecs(optionsGroup);
    optionsLayout->addWidget(m_labelEdit);
    optionsLayout->addWidget(m_tcpSpecs);

    // Plot Columns
    auto* columnsGroup = new QGroupBox(tr("Plot Columns"), this);
    auto* columnsLayout = new QGridLayout(columnsGroup);
    auto makeEdit = [&](const QString& caption, const QString& value, QValidator* validator, const QString& tip) {
        auto* edit = new LabeledEdit(caption, columnsGroup);
        edit->caption()->setFixedWidth(35);
        if (validator) {
            validator->setParent(edit->edit());
            edit->edit()->setValidator(validator);
        }
        edit->setText(value, true);
        edit->setToolTip(tip);
        return edit;
    };
    m_xEdit = makeEdit(tr("X-Axis "), QStringLiteral("1"), new QIntValidator(0, 2147483647),
                       tr("Enter the column number for the x-axis data\n(use 0 for no x-axis column)."));
    m_yEdit = makeEdit(tr("Y-Axis "), QStringLiteral("2"),
                       new QRegularExpressionValidator(QRegularExpression(QStringLiteral("(\\d+[ ,]?)*"))),
                       tr("Enter the column number(s) for the y-axis data.\n"
                          "Multiple columns may be separated using spaces or\n"
                          "commas (eg: 2 3 4)."));
    m_slideEdit = makeEdit(tr("Slide  "), QStringLiteral("10000"), new QIntValidator(2, 2147483647),
                           tr("Enter the maximum number of visible data points.\n"
                              "When this number has been reached, the data\n"
                              "will begin to slide to the left (i.e. old data points\n"
                              "will drop off as new data points are plotted)."));
    m_keyEdit = makeEdit(tr("Key    "), QStringLiteral("0"), nullptr,
                         tr("Enter the key column.\n"
                            "A key column can be used to split rows into unique curves.\n"
                            "For example:\n"
                            "   1  Hello    3.4  5.2\n"
                            "   1  Goodbye  3.7  4.4\n"
                            "   2  Hello    5.3  6.7\n"
                            "   2  Goodbye  2.4  3.2\n"
                            "   ...\n"
                            "Setting column 2 as the key column will ensure that data\n"
                            "from Hello and Goodbye are treated as unique curves.\n"
                            "(use 0 for no key column)."));
    columnsLayout->addWidget(m_xEdit, 0, 0);
    columnsLayout->addWidget(m_yEdit, 0, 1);
    columnsLayout->addWidget(m_slideEdit, 1, 0);
    columnsLayout->addWidget(m_keyEdit, 1, 1);

    // Line Status
    m_lineBoxes.assign(6, nullptr);
    m_lineWriteGroup = new QGroupBox(tr("Line Status (Write)"), this);
    m_lineReadGroup = new QGroupBox(tr("Line Status (Read)"), this);
    auto* writeLayout = new QHBoxLayout(m_lineWriteGroup);
    auto* readLayout = new QHBoxLayout(m_lineReadGroup);
    struct LineBox {
        LineStatus line;
        const char* tip;
    };
    const std::array<LineBox, 6> lineBoxes{{
        {LineStatus::RTS, QT_TR_NOOP("Toggles the state of the Request-To-Send (RTS) line.")},
        {LineStatus::DTR, QT_TR_NOOP("Toggles the state of the Data-Terminal-Ready (DTR) line.")},
        {LineStatus::CTS, QT_TR_NOOP("Displays current state of the Clear-To-Send (CTS) line.\nThis value is Read-Only.")},
        {LineStatus::DSR, QT_TR_NOOP("Displays current state of the Data-Set-Ready (DSR) line.\nThis value is Read-Only.")},
        {LineStatus::DCD,
         QT_TR_NOOP("Displays current state of the Data-Carrier-Detect (DCD) line.\nThis value is Read-Only.")},
        {LineStatus::RI, QT_TR_NOOP("Displays current state of the Ring-Indicator (RI) line.\nThis value is Read-Only.")},
    }};
    for (const LineBox& b : lineBoxes) {
        const bool writable = b.line == LineStatus::RTS || b.line == LineStatus::DTR;
        QGroupBox* group = writable ? m_lineWriteGroup : m_lineReadGroup;
        auto* box = new QCheckBox(QString::fromLatin1(kLineNames[static_cast<int>(b.line)]), group);
        box->setToolTip(tr(b.tip));
        (writable ? writeLayout : readLayout)->addWidget(box);
        m_lineBoxes[static_cast<size_t>(b.line)] = box;
        connect(box, &QCheckBox::toggled, this, &DeviceIOTab::statusToggled);
    }

    // Buttons
    m_connect = new QPushButton(tr("Connect to Device"), this);
    m_connect->setCheckable(true);
    m_connect->setToolTip(tr("Toggle button: Connect/disconnect the device port."));
    m_linkButton = new QPushButton(tr("Link to Plotter"), this);
    m_linkButton->setCheckable(true);
    m_linkButton->setToolTip(tr("Toggle button: Links the streaming data to a plotter for live\n"
                                "plotting. For high-speed efficiency, the log window above is\n"
                                "deactivated when the link is enabled. If a log file has been set,\n"
                                "it will continue to store data."));
    const int buttonWidth = QFontMetrics(m_connect->font()).horizontalAdvance(tr("Connect to Device")) + 10;
    m_connect->setFixedWidth(buttonWidth);
    m_linkButton->setFixedWidth(buttonWidth);

    // Layout: the console on top takes the free space.
    auto* top = new QVBoxLayout(this);
    top->addWidget(m_console, 1);
    auto* modes = new QHBoxLayout;
    modes->addWidget(modeGroupBox);
    modes->addWidget(receivedGroup);
    modes->addStretch(1);
    auto* middle = new QVBoxLayout;
    middle->addWidget(optionsGroup);
    middle->addWidget(columnsGroup);
    auto* lines = new QVBoxLayout;
    lines->addWidget(m_lineWriteGroup);
    lines->addWidget(m_lineReadGroup);
    lines->addStretch(1);
    auto* settings = new QHBoxLayout;
    settings->addWidget(m_commGroup);
    settings->addLayout(middle);
    settings->addLayout(lines);
    settings->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_connect);
    buttons->addWidget(m_linkButton);
    buttons->addStretch(1);
    top->addLayout(modes);
    top->addLayout(settings);
    top->addLayout(buttons);

    // Connections.
    QComboBox* portCombo = m_portBox->combo();
    connect(portCombo, &QComboBox::textActivated, this, &DeviceIOTab::changeCOM);
    connect(portCombo, &QComboBox::editTextChanged, this, &DeviceIOTab::changeCOM);
    connect(m_baudBox->combo(), &QComboBox::activated, this, &DeviceIOTab::changeBaud);
    connect(m_dataBitsBox->combo(), &QComboBox::activated, this, &DeviceIOTab::changeDataBits);
    connect(m_parityBox->combo(), &QComboBox::activated, this, &DeviceIOTab::changeParity);
    connect(m_stopBitsBox->combo(), &QComboBox::activated, this, &DeviceIOTab::changeStopBits);
    connect(m_flowBox->combo(), &QComboBox::activated, this, &DeviceIOTab::changeFlow);
    connect(m_connect, &QPushButton::toggled, this, &DeviceIOTab::changeConnectState);
    for (QWidget* w : {static_cast<QWidget*>(m_console), static_cast<QWidget*>(m_xEdit),
                       static_cast<QWidget*>(m_yEdit), static_cast<QWidget*>(m_slideEdit),
                       static_cast<QWidget*>(m_keyEdit), static_cast<QWidget*>(m_labelEdit)})
        connect(m_linkButton, &QPushButton::toggled, w, &QWidget::setDisabled);
    connect(m_linkButton, &QPushButton::toggled, this, &DeviceIOTab::on_linkstatus);
    connect(m_labelEdit, &LabeledEdit::valueChanged, this, &DeviceIOTab::changeInstrLabel);
    connect(m_tcpSpecs, &TCPSpecs::ipChanged, this, &DeviceIOTab::changeIPAddress);
    connect(m_tcpSpecs, &TCPSpecs::portChanged, this, &DeviceIOTab::changeIPPort);
    connect(m_tcpSpecs, &TCPSpecs::usrChanged, this, &DeviceIOTab::changeUsername);
    connect(m_tcpSpecs, &TCPSpecs::pwdChanged, this, &DeviceIOTab::changePassword);
    connect(m_modeGroup, &QButtonGroup::idReleased, this, &DeviceIOTab::slot_changeIOMode);
    connect(m_vt100, &QCheckBox::toggled, m_console, &LogEdit::enableVt100);
}

QAbstractButton* DeviceIOTab::modeButton(IOMode mode) const { return m_modeGroup->button(static_cast<int>(mode)); }

QCheckBox* DeviceIOTab::lineBox(LineStatus line) const { return m_lineBoxes[static_cast<size_t>(line)]; }

// ------------------------------------------------------------ frame and link

void DeviceIOTab::applyFrame()
{
    const DeviceFrame& f = frame();
    m_portBox->combo()->setEditText(f.m_comPort);
    selectItem(m_baudBox->combo(), QString::number(f.m_baud));
    selectItem(m_dataBitsBox->combo(), QString::number(f.m_dataBits));
    selectItem(m_parityBox->combo(), parityName(f.m_parity));
    selectItem(m_stopBitsBox->combo(), f.m_stopBits == 1   ? QStringLiteral("1.5")
                                       : f.m_stopBits == 2 ? QStringLiteral("2")
                                                           : QStringLiteral("1"));
    selectItem(m_flowBox->combo(), flowName(f.m_flow));
    const QString label = f.m_label;
    m_labelEdit->setText(label);
    showText(m_tcpSpecs->ipEdit(), f.m_ip);
    m_tcpSpecs->setPort(f.m_tcpPort);
    const QString user = f.m_user;
    const QString password = f.m_password;
    m_connect->setChecked(f.m_connected);
    showText(m_tcpSpecs->userEdit(), user);
    showText(m_tcpSpecs->passwordEdit(), password);
}

void DeviceIOTab::createController(const DeviceFrame& frame)
{
    releaseController();
    if (frame.m_mode == IOMode::SERIAL) {
        auto* serial = new SerialPortController(this);
        connect(this, &DeviceIOTab::lineStatusChanged, serial, &SerialPortController::on_reqLineStatus);
        connect(serial, &SerialPortController::currentLineStatus, this, &DeviceIOTab::updateLineStatus);
        connect(serial, &DeviceInterface::invalidPort, this, &DeviceIOTab::reportLinkError);
        connect(serial, &DeviceInterface::writeError, this, &DeviceIOTab::reportLinkError);
        m_link = serial;
    } else {
        auto* socket = new SocketController(this);
        connect(socket, &SocketController::socketError, this, &DeviceIOTab::tcperror);
        m_link = socket;
    }
    m_link->frame() = frame;
    connect(m_link, &DeviceInterface::stringReady, this, &DeviceIOTab::on_newstring);
    connect(m_console, &LogEdit::userKey, m_link, &DeviceInterface::onSendAscii);
}

void DeviceIOTab::releaseController()
{
    if (!m_link)
        return;
    DeviceInterface* link = m_link;
    m_link = nullptr;
    if (link->isPortOpen())
        link->openPort(false);
    delete link; // a serial link ends its worker first
}

void DeviceIOTab::reportLinkError()
{
    if (auto* serial = qobject_cast<SerialPortController*>(sender()))
        m_console->append(serial->errorText());
}

void DeviceIOTab::refreshEnabled()
{
    const bool tcp = frame().m_mode == IOMode::TCP;
    const bool connected = frame().m_connected;
    m_commGroup->setEnabled(!tcp);
    m_lineWriteGroup->setEnabled(!tcp);
    m_lineReadGroup->setEnabled(!tcp);
    for (LabeledComboBox* box : {m_portBox, m_baudBox, m_dataBitsBox, m_parityBox, m_stopBitsBox, m_flowBox})
        box->setEnabled(!connected);
    m_tcpSpecs->showAddressRows(tcp);
    m_tcpSpecs->setAddressEnabled(!connected);
    for (QAbstractButton* b : m_modeGroup->buttons())
        b->setEnabled(!connected);
}

void DeviceIOTab::changeIOMode(IOMode mode)
{
    DeviceFrame copy = frame();
    copy.m_mode = mode;
    copy.m_ready.store(true);
    createController(copy);
    if (QAbstractButton* b = modeButton(mode); b && !b->isChecked())
        b->setChecked(true);
    refreshEnabled();
}

void DeviceIOTab::slot_changeIOMode(int id) { changeIOMode(id == static_cast<int>(IOMode::TCP) ? IOMode::TCP : IOMode::SERIAL); }

void DeviceIOTab::changeConnectState(bool on)
{
    m_lastStampChar = 0;
    frame().m_connected = on;
    m_connect->setText(on ? tr("Disconnect") : tr("Connect to Device"));
    if (m_connect->isChecked() != on) {
        const QSignalBlocker quiet(m_connect);
        m_connect->setChecked(on);
    }
    refreshEnabled();
    Q_EMIT connectToggled(on, &frame());
    m_link->openPort(on);
}

// ------------------------------------------------------------ settings

void DeviceIOTab::changeCOM(const QString& port)
{
    frame().m_comPort = port;
    if (m_portBox->combo()->currentText() != port)
        m_portBox->combo()->setEditText(port);
}

void DeviceIOTab::changeBaud(int index)
{
    changeBaudRate(itemText(m_baudBox, index).toInt());
}

void DeviceIOTab::changeBaudRate(int rate)
{
    frame().m_baud = rate;
    selectItem(m_baudBox->combo(), QString::number(rate));
}

void DeviceIOTab::changeDataBits(int index) { changeDataBitsNumber(itemText(m_dataBitsBox, index).toInt()); }

void DeviceIOTab::changeDataBitsNumber(int bits)
{
    frame().m_dataBits = bits;
    selectItem(m_dataBitsBox->combo(), QString::number(bits));
}

void DeviceIOTab::changeParity(int index)
{
    frame().m_parity = parityFromName(itemText(m_parityBox, index));
    m_parityBox->combo()->setCurrentIndex(index);
}

void DeviceIOTab::changeStopBits(int index)
{
    bool ok = false;
    const double bits = itemText(m_stopBitsBox, index).toDouble(&ok);
    frame().m_stopBits = ok ? stopBitsFromNumber(bits) : 0;
    m_stopBitsBox->combo()->setCurrentIndex(index);
}

void DeviceIOTab::changeFlow(int index)
{
    frame().m_flow = flowFromName(itemText(m_flowBox, index));
    m_flowBox->combo()->setCurrentIndex(index);
}

void DeviceIOTab::changeInstrLabel()
{
    m_held.clear();
    m_synchronised = false;
    frame().m_label = m_labelEdit->value().text;
    Q_EMIT instrLabelChanged(&frame());
}

void DeviceIOTab::changeIPAddress(const QString& ip)
{
    frame().m_ip = ip;
    showText(m_tcpSpecs->ipEdit(), ip);
}

void DeviceIOTab::changeIPPort(int port)
{
    frame().m_tcpPort = port;
    m_tcpSpecs->setPort(port);
}

void DeviceIOTab::changeUsername(const QString& user)
{
    frame().m_user = user;
    showText(m_tcpSpecs->userEdit(), user);
}

void DeviceIOTab::changePassword(const QString& password)
{
    frame().m_password = password;
    showText(m_tcpSpecs->passwordEdit(), password);
}

// ------------------------------------------------------------ modem lines

void DeviceIOTab::updateLineStatus(unsigned long bits)
{
    lineBox(LineStatus::CTS)->setChecked(bits & MODEM_CTS);
    lineBox(LineStatus::DSR)->setChecked(bits & MODEM_DSR);
    lineBox(LineStatus::DCD)->setChecked(bits & MODEM_DCD);
    lineBox(LineStatus::RI)->setChecked(bits & MODEM_RI);
}

void DeviceIOTab::statusToggled(bool on)
{
    const auto* box = qobject_cast<const QCheckBox*>(sender());
    if (!box)
        return;
    for (int i = 0; i < 6; ++i)
        if (box->text() == QLatin1String(kLineNames[i]))
            Q_EMIT lineStatusChanged(static_cast<LineStatus>(i), on);
}

void DeviceIOTab::changeLineStatus(const bool* states)
{
    const LineStatus order[] = {LineStatus::RTS, LineStatus::DTR, LineStatus::CTS,
                                LineStatus::DSR, LineStatus::DCD, LineStatus::RI};
    for (int i = 0; i < 6; ++i)
        lineBox(order[i])->setChecked(states[i]);
}

void DeviceIOTab::tcperror(int code)
{
    switch (code) {
    case SocketController::CONNECTION_REFUSED: m_console->append(tr("TCP error: Connection refused.\n")); break;
    case SocketController::HOST_NOT_FOUND: m_console->append(tr("TCP error: Host not found.\n")); break;
    case SocketController::READ_FAILED: m_console->append(tr("TCP error: Socket read operation failed.\n")); break;
    default: break;
    }
}

// ------------------------------------------------------------ columns and plot link

int DeviceIOTab::keyColumn() const { return m_keyEdit->value().number; }

int DeviceIOTab::xColumn() const { return m_xEdit->value().number; }

std::vector<int> DeviceIOTab::yColumns() const { return columnNumbers(m_yEdit->value().text); }

int DeviceIOTab::slide() const { return m_slideEdit->value().number; }

QString DeviceIOTab::label() const { return m_labelEdit->value().text; }

void DeviceIOTab::on_linkstatus(bool on)
{
    m_held.clear();
    m_synchronised = false;
    m_fileObject.m_keyColumn = keyColumn() - 1;
    m_fileObject.m_xColumn = xColumn() - 1;
    m_fileObject.m_yColumns = liveYColumns(yColumns());
    Q_EMIT linkStatusChanged(label(), m_fileObject, slide(), on);
}

QString DeviceIOTab::timeStamp() const { return QString::number(m_clock(), 'f', 9) + QLatin1Char(' '); }

void DeviceIOTab::on_newstring(const QString& received)
{
    QString text;
    std::vector<Vt100Code> codes;
    if (m_vt100->isChecked()) {
        QByteArray bytes = received.toLatin1();
        m_parser.clearCodes();
        m_parser.parse(bytes);
        text = QString::fromLatin1(bytes);
        codes = m_parser.codes();
    } else {
        text = QString::fromLatin1(received.toLatin1());
    }

    // A CR LF pair can arrive split over two texts; it still ends one line.
    if (m_pendingCR && text.startsWith(QLatin1Char('\n')))
        text.remove(0, 1);
    m_pendingCR = text.endsWith(QLatin1Char('\r'));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QStringLiteral("\n\n"), QStringLiteral("\n"));

    if (m_timestamp->isChecked()) {
        const QString stamp = timeStamp();
        const char16_t last = text.isEmpty() ? 0 : text.back().unicode();
        const int e = last > 255 ? 0 : last;
        if (e == '\n')
            text.chop(1);
        text.replace(QLatin1Char('\n'), tr("\n%1").arg(stamp));
        if (e == '\n')
            text += QLatin1Char('\n');
        if (m_lastStampChar == '\n' || m_lastStampChar == 0)
            text.prepend(stamp);
        m_lastStampChar = e;
    }

    m_console->appendLog(text, codes);

    DeviceFrame& f = frame();
    if (!m_linkButton->isChecked()) {
        m_synchronised = false;
        m_held.clear();
        f.m_ready.store(true);
        return;
    }
    if (!m_synchronised) {
        // Wait for the first complete line: everything before the first line
        // feed is dropped, so only the text from there on needs keeping.
        m_held += text;
        const qsizetype first = m_held.indexOf(QLatin1Char('\n'));
        if (first < 0) {
            m_held.clear();
        } else {
            m_held.remove(0, first);
            if (m_held.indexOf(QLatin1Char('\n'), 1) > 0) {
                text = m_held;
                m_held.clear();
                m_synchronised = true;
            }
        }
    }
    if (!m_synchronised) {
        f.m_ready.store(true);
        return;
    }
    static const QMetaMethod signal = QMetaMethod::fromSignal(&DeviceIOTab::newDeviceString);
    if (!isSignalConnected(signal)) {
        f.m_ready.store(true); // nobody to wait for
        return;
    }
    bool ready = false;
    Q_EMIT newDeviceString(label(), text, ready);
    if (ready)
        f.m_ready.store(true);
}
