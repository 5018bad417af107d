// The instrument panel in the main window: creating it, showing it, and the
// commands "link" and "loaddevices", and the web-fetch window.
#include "gui/krogui.h"

#include "core/settings.h"
#include "miscio/deviceiotab.h"
#include "miscio/miscio.h"
#include "miscio/webfetch.h"
#include "tabs/plotterctrl.h"

#include <QFileInfo>
#include <QPushButton>

void KROGui::buildInstrumentPanel()
{
    m_miscio = std::make_unique<MiscIO>();
    // The received text carries the link's ready flag by reference, so the
    // text connections must be direct.
    connect(m_miscio.get(), &MiscIO::linkStatusChanged, m_plotterCtrl, &PlotterCtrl::on_linkStatusChanged,
            Qt::DirectConnection);
    connect(m_miscio.get(), &MiscIO::newDeviceString, m_plotterCtrl, &PlotterCtrl::on_newDeviceString,
            Qt::DirectConnection);
}

void KROGui::on_showmiscio() { m_miscio->show(); }

void KROGui::on_showwget()
{
    try {
        if (!m_webFetch) {
            m_webFetch = std::make_unique<WebFetch>();
            connect(m_webFetch.get(), &WebFetch::linkStatusChanged, m_plotterCtrl, &PlotterCtrl::on_linkStatusChanged,
                    Qt::DirectConnection);
            connect(m_webFetch.get(), &WebFetch::newWebString, m_plotterCtrl, &PlotterCtrl::on_newDeviceString,
                    Qt::DirectConnection);
        }
        m_webFetch->show();
    } catch (const std::exception& e) {
        verbose(ZEVOVE::ERROR, tr("Error: %1").arg(QString::fromUtf8(e.what())));
    }
}

void KROGui::on_link(const QString& address, uint port, const QString& label)
{
    DeviceIOSetupGUI* panel = m_miscio->setupGUI();
    DeviceFrame frame;
    for (const DeviceFrame* f : panel->deviceFrames()) {
        if (f->m_label != label)
            continue;
        if (f->m_connected) {
            say(tr("Link \"%1\" is already established.").arg(label));
            return;
        }
        frame = *f;
        break;
    }
    frame.m_connected = true;
    frame.m_mode = IOMode::TCP;
    frame.m_label = label;
    frame.m_ip = address;
    frame.m_tcpPort = static_cast<int>(port);
    const int position = panel->addInstrument(frame);
    for (DeviceIOTab* page : panel->pages())
        if (page->frame().m_instrument == position)
            page->linkButton()->setChecked(true);
}

void KROGui::on_loaddevices(const QString& path)
{
    QString file = path;
    if (!QFileInfo(file).isFile() && QFileInfo(file).path() == QLatin1String("."))
        file = getAppPath() + QFileInfo(path).fileName();
    if (!QFileInfo(file).isFile()) {
        verbose(ZEVOVE::ERROR, tr("Device config file \"%1\" is not accessible.").arg(path));
        return;
    }
    m_miscio->setupGUI()->loadDeviceConfiguration(file);
}
