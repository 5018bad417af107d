// The instrument panel in the main window: creating it, showing it, and the
// commands "link" and "loaddevices".
#include "gui/krogui.h"

#include "core/settings.h"
#include "miscio/deviceiotab.h"
#include "miscio/miscio.h"
#include "tabs/plotterctrl.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QPushButton>

void KROGui::buildInstrumentPanel()
{
    m_miscio = std::make_unique<MiscIO>();
    // The live links of the plot tabs take the instruments' rows. The
    // received text carries the link's ready flag by reference, so that
    // connection must be direct.
    const QMetaObject* tabs = m_plotterCtrl->metaObject();
    if (tabs->indexOfSlot("on_linkStatusChanged(QString,FileObject,int,bool)") >= 0)
        connect(m_miscio.get(), SIGNAL(linkStatusChanged(QString,FileObject,int,bool)), m_plotterCtrl,
                SLOT(on_linkStatusChanged(QString,FileObject,int,bool)), Qt::DirectConnection);
    if (tabs->indexOfSlot("on_newDeviceString(QString,QString,bool&)") >= 0)
        connect(m_miscio.get(), SIGNAL(newDeviceString(QString,QString,bool&)), m_plotterCtrl,
                SLOT(on_newDeviceString(QString,QString,bool&)), Qt::DirectConnection);
}

void KROGui::on_showmiscio() { m_miscio->show(); }

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
