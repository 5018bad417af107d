#include "miscio/miscio.h"

#include "core/settings.h"
#include "miscio/deviceconfigfiler.h"
#include "miscio/deviceiotab.h"
#include "miscio/serialportio.h"
#include "platform/embeddedimages.h"
#include "platform/labeledwidget.h"
#include "platform/prompter.h"
#include "platform/tabwidgetex.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString instrumentLabel(int n) { return QCoreApplication::translate("DeviceIOSetupGUI", "Instrument %1").arg(n); }

DeviceRecord recordOfPage(const DeviceIOTab& page)
{
    const DeviceFrame& f = page.frame();
    DeviceRecord r;
    r.label = f.m_label.toStdString();
    r.tcp = f.m_mode != IOMode::SERIAL;
    r.comPort = f.m_comPort.toStdString();
    r.baud = f.m_baud;
    r.dataBits = f.m_dataBits;
    r.parity = parityName(f.m_parity).toStdString();
    r.stopBits = stopBitsNumber(f.m_stopBits);
    r.flow = flowName(f.m_flow).toStdString();
    r.ip = f.m_ip.toStdString();
    r.tcpPort = f.m_tcpPort;
    r.key = page.keyColumn();
    r.slide = page.slide();
    r.connected = page.connectButton()->isChecked();
    r.linked = page.linkButton()->isChecked();
    r.xColumns = {page.xColumn()};
    r.yColumns = page.yColumns();
    return r;
}

DeviceFrame frameOfRecord(const DeviceRecord& r)
{
    DeviceFrame f;
    f.m_connected = r.connected;
    f.m_mode = r.tcp ? IOMode::TCP : IOMode::SERIAL;
    f.m_label = QString::fromStdString(r.label);
    f.m_ip = QString::fromStdString(r.ip);
    f.m_tcpPort = r.tcpPort;
    f.m_comPort = QString::fromStdString(r.comPort);
    f.m_baud = r.baud;
    f.m_dataBits = r.dataBits;
    f.m_parity = parityFromName(QString::fromStdString(r.parity));
    f.m_stopBits = stopBitsFromNumber(r.stopBits);
    f.m_flow = flowFromName(QString::fromStdString(r.flow));
    return f;
}

} // namespace

// ------------------------------------------------------------ "+" page

NewDeviceTab::NewDeviceTab(QTabWidget* parent) : QWidget(parent)
{
    const int index = parent->addTab(this, embeddedIcon(QStringLiteral("add.png")), QString());
    parent->setTabToolTip(index, tr("Click here to build a new tab."));
}

// ------------------------------------------------------------ tab widget

DeviceIOSetupGUI::DeviceIOSetupGUI(QWidget* parent)
    : QTabWidget(parent), m_tabBar(new TabBarEx(this, QColor(200, 200, 255)))
{
    setWindowTitle(tr("DeviceIO Setup"));
    setTabBar(m_tabBar);
    m_tabBar->setIconSize(QSize(12, 12));
    setTabPosition(QTabWidget::South);
    createButtons();
    connectTabBar(true);
    connect(this, &QTabWidget::currentChanged, this, [this] { placeButtons(); });
}

DeviceIOSetupGUI::~DeviceIOSetupGUI() { removeAllInstruments(); }

void DeviceIOSetupGUI::connectTabBar(bool on)
{
    if (on)
        connect(this, &QTabWidget::tabBarClicked, this, &DeviceIOSetupGUI::tabClicked, Qt::UniqueConnection);
    else
        disconnect(this, &QTabWidget::tabBarClicked, this, &DeviceIOSetupGUI::tabClicked);
}

void DeviceIOSetupGUI::createButtons()
{
    struct Spec {
        Button key;
        const char* text;
        const char* tip;
    };
    const Spec specs[] = {
        {SAVE, QT_TR_NOOP("Save"), QT_TR_NOOP("Save all configurations to disk for later recall.")},
        {LOAD, QT_TR_NOOP("Load"), QT_TR_NOOP("Load previously saved configuration file.")},
        {CLOSE, QT_TR_NOOP("Close"),
         QT_TR_NOOP("This button hides the Instrument Control Panel.\nIt does not close ports, or terminate live "
                    "data plotting.\nYou can safely close without disrupting operations.")},
    };
    for (const Spec& s : specs) {
        auto* b = new QPushButton(tr(s.text), this);
        b->setToolTip(tr(s.tip));
        b->setFixedSize(75, 25);
        m_buttons[s.key] = b;
    }
    connect(m_buttons[CLOSE], &QPushButton::clicked, this, &DeviceIOSetupGUI::closed);
    connect(m_buttons[SAVE], &QPushButton::clicked, this, &DeviceIOSetupGUI::on_save);
    connect(m_buttons[LOAD], &QPushButton::clicked, this, &DeviceIOSetupGUI::on_load);
}

std::vector<QRect> DeviceIOSetupGUI::buttonRects(const QRect& page, const std::vector<QSize>& sizes)
{
    std::vector<QRect> rects(sizes.size());
    int nextLeft = 0;
    for (size_t k = sizes.size(); k-- > 0;) {
        const QSize s = sizes[k];
        const int left = k + 1 == sizes.size() ? page.right() - s.width() - 2 : nextLeft - s.width() - 3;
        rects[k] = QRect(QPoint(left, page.bottom() - s.height() - 1), s);
        nextLeft = left;
    }
    return rects;
}

void DeviceIOSetupGUI::placeButtons()
{
    const QWidget* page = currentWidget();
    const QRect area = page ? page->geometry() : contentsRect();
    std::vector<QSize> sizes;
    for (const auto& [key, b] : m_buttons)
        sizes.push_back(b->size());
    const std::vector<QRect> rects = buttonRects(area, sizes);
    size_t i = 0;
    for (const auto& [key, b] : m_buttons) {
        if (b->geometry() != rects[i])
            b->setGeometry(rects[i]);
        ++i;
    }
}

void DeviceIOSetupGUI::paintEvent(QPaintEvent* event)
{
    QTabWidget::paintEvent(event);
    placeButtons();
}

void DeviceIOSetupGUI::resizeEvent(QResizeEvent* event)
{
    QTabWidget::resizeEvent(event);
    placeButtons();
}

void DeviceIOSetupGUI::addInstrumentTab(QStringList& ports, const DeviceFrame& frame, int index)
{
    if (ports.isEmpty())
        ports.append(frame.m_comPort);
    auto* page = new DeviceIOTab(this, count(), ports, frame);
    m_pages.push_back(page);
    connect(page, &DeviceIOTab::instrLabelChanged, this, &DeviceIOSetupGUI::instrLabelChanged);
    connect(page, &DeviceIOTab::linkStatusChanged, this, &DeviceIOSetupGUI::linkStatusChanged);
    connect(page, &DeviceIOTab::newDeviceString, this, &DeviceIOSetupGUI::newDeviceString, Qt::DirectConnection);
    page->applyFrame();
    insertTab(index < 0 ? count() : index, page, frame.m_label);
}

int DeviceIOSetupGUI::addInstrument(const DeviceFrame& frame)
{
    const int position = m_newTab ? count() - 1 : count();
    DeviceFrame copy = frame;
    copy.m_instrument = position;
    QStringList noPorts;
    addInstrumentTab(m_newTab ? m_newTab->ports() : noPorts, copy, position);
    return position;
}

void DeviceIOSetupGUI::buildInstrumentTabs(const QStringList& portNames)
{
    QStringList ports = portNames;
    const int a = count();
    const int n = static_cast<int>(ports.size());
    for (int i = 0; i < n; ++i) {
        DeviceFrame f;
        f.m_comPort = ports[i];
        f.m_instrument = a + i;
        f.m_mode = IOMode::SERIAL;
        f.m_label = instrumentLabel(a + i + 1);
        addInstrumentTab(ports, f, -1);
    }
    DeviceFrame tcp;
    tcp.m_instrument = a + n;
    tcp.m_mode = IOMode::TCP;
    tcp.m_label = instrumentLabel(a + n + 1);
    addInstrumentTab(ports, tcp, -1);
    m_newTab = new NewDeviceTab(this);
    m_newTab->ports() = ports;
}

std::vector<DeviceFrame*> DeviceIOSetupGUI::deviceFrames() const
{
    std::vector<DeviceFrame*> frames;
    frames.reserve(m_pages.size());
    for (DeviceIOTab* page : m_pages)
        frames.push_back(&page->frame());
    return frames;
}

void DeviceIOSetupGUI::removeAllInstruments()
{
    connectTabBar(false);
    for (DeviceIOTab* page : m_pages)
        if (page->frame().m_connected)
            page->connectButton()->setChecked(false);
    while (!m_pages.empty()) {
        DeviceIOTab* page = m_pages.back();
        m_pages.pop_back();
        removeTab(indexOf(page));
        delete page;
    }
    connectTabBar(true);
}

void DeviceIOSetupGUI::instrLabelChanged(const DeviceFrame* const frame)
{
    // The page of that frame is found by its frame: a page whose label is
    // set while it is built is not in the tab bar yet.
    for (DeviceIOTab* page : m_pages)
        if (&page->frame() == frame) {
            const int index = indexOf(page);
            if (index >= 0)
                setTabText(index, frame->m_label);
        }
}

void DeviceIOSetupGUI::tabClicked(int index)
{
    if (!m_newTab || widget(index) != m_newTab)
        return;
    const int c = count();
    DeviceFrame f;
    f.m_connected = false;
    f.m_instrument = c - 1;
    f.m_mode = IOMode::TCP;
    f.m_label = instrumentLabel(c);
    addInstrumentTab(m_newTab->ports(), f, c - 1);
    setCurrentIndex(c - 1);
}

bool DeviceIOSetupGUI::saveDeviceConfiguration(const QString& path)
{
    DeviceConfigFiler filer(path);
    for (const DeviceIOTab* page : m_pages)
        filer.records().push_back(recordOfPage(*page));
    return filer.save();
}

bool DeviceIOSetupGUI::loadDeviceConfiguration(const QString& path)
{
    DeviceConfigFiler filer(path);
    filer.load();
    const std::vector<DeviceRecord> records = filer.records();
    if (records.empty())
        return false;
    removeAllInstruments();
    for (const DeviceRecord& r : records) {
        addInstrument(frameOfRecord(r));
        DeviceIOTab* page = m_pages.back();
        page->keyEdit()->setValue(r.key);
        page->slideEdit()->setValue(r.slide);
        if (!r.xColumns.empty())
            page->xEdit()->setValue(r.xColumns.front());
        QString y;
        for (const int n : r.yColumns)
            y += QStringLiteral("%1 ").arg(n);
        page->yEdit()->setText(y);
        page->linkButton()->setChecked(r.linked);
    }
    setCurrentIndex(0);
    return true;
}

void DeviceIOSetupGUI::on_save()
{
    QString name = kro::prompter().getSaveFileName(this, tr("Choose a save file"), getAppPath(),
                                                   tr("Device Config (*.json)"));
    if (name.isEmpty())
        return;
    if (!name.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive))
        name += QStringLiteral(".json");
    saveDeviceConfiguration(name);
}

void DeviceIOSetupGUI::on_load()
{
    const QString name = kro::prompter().getOpenFileName(this, tr("Choose a file to open"),
                                                         getAppPath() + QStringLiteral("devices.json"),
                                                         tr("Device Config (*.json)"));
    if (name.isEmpty())
        return;
    loadDeviceConfiguration(name);
}

// ------------------------------------------------------------ window

MiscIO::MiscIO()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_tabs(new DeviceIOSetupGUI(this))
{
    setWindowTitle(tr("Device Interface Control Panel"));
    QFont f = font();
    f.setPointSize(8);
    f.setWeight(QFont::Light);
    setFont(f);
    setModal(false);
    m_tabs->button(DeviceIOSetupGUI::CLOSE)->setFocus();
    connect(m_tabs, &DeviceIOSetupGUI::linkStatusChanged, this, &MiscIO::linkStatusChanged);
    connect(m_tabs, &DeviceIOSetupGUI::newDeviceString, this, &MiscIO::newDeviceString, Qt::DirectConnection);
    connect(m_tabs, &DeviceIOSetupGUI::closed, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    hide();
}

void MiscIO::show()
{
    if (!m_tabsBuilt) {
        m_tabs->buildInstrumentTabs(m_probe ? m_probe() : probeComPorts());
        m_tabsBuilt = true;
    }
    if (isMinimized())
        showNormal();
    if (isHidden() || !isActiveWindow()) {
        QDialog::show();
        activateWindow();
    }
    if (m_firstSizing) {
        m_firstSizing = false;
        resize(width(), static_cast<int>(1.5 * m_tabs->height()));
    }
}
