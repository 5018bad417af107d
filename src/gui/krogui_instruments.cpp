// The instrument panel in the main window: creating it, showing it, and the
// commands "link" and "loaddevices".
#include "gui/krogui.h"

#include "core/settings.h"
#include "miscio/deviceiotab.h"
#include "miscio/miscio.h"
#include "miscio/webfetch.h"
#include "tabs/plotterctrl.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QPushButton>

namespace {

// The live links of the plot tabs take the rows of instruments and web
// fetches. The received text carries the link's ready flag by reference, so
// that connection must be direct.
void connectLiveLink(QObject* source, const char* textSignal, QObject* tabs)
{
    const QMetaObject* meta = tabs->metaObject();
    if (meta->indexOfSlot("on_linkStatusChanged(QString,FileObject,int,bool)") >= 0)
        QObject::connect(source, SIGNAL(linkStatusChanged(QString,FileObject,int,bool)), tabs,
                         SLOT(on_linkStatusChanged(QString,FileObject,int,bool)), Qt::DirectConnection);
    if (meta->indexOfSlot("on_newDeviceString(QString,QString,bool&)") >= 0)
        QObject::connect(source, textSignal, tabs, SLOT(on_newDeviceString(QString,QString,bool&)),
                         Qt::DirectConnection);
}

} // namespace

void KROGui::buildInstrumentPanel()
{
    m_miscio = std::make_unique<MiscIO>();
    connectLiveLink(m_miscio.get(), SIGNAL(newDeviceString(QString,QString,bool&)), m_plotterCtrl);
}

void KROGui::on_showmiscio() { m_miscio->show(); }

void KROGui::on_showwget()
{
    try {
        if (!m_webFetch) {
            m_webFetch = std::make_unique<WebFetch>();
            connectLiveLink(m_webFetch.get(), SIGNAL(newWebString(QString,QString,bool&)), m_plotterCtrl);
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
