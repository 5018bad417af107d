#pragma once
// The instrument panel: the window "Device Interface Control Panel" (MiscIO)
// with a tab widget (DeviceIOSetupGUI) holding one instrument page per
// instrument, a last "+" tab (NewDeviceTab) that adds a TCP page, and the
// buttons Save and Load (the device-configuration file) and Close (hides the
// window; links, consoles and live plots keep running). The panel passes the
// live-data signals of all its pages on to the plot tabs.
//
// The window is created hidden with no pages. Its first show() probes the
// serial ports once and builds one page per port that opens, one TCP page and
// the "+" tab. Pages added before that (the "link" and "loaddevices"
// commands) come first.
#include "import/fileobject.h"
#include "miscio/deviceinterface.h"

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QTabWidget>

#include <functional>
#include <map>
#include <vector>

class DeviceIOTab;
class QPushButton;
class TabBarEx;

// The empty page behind the "+" tab; it keeps the probed port names.
class NewDeviceTab : public QWidget {
    Q_OBJECT

public:
    // Adds itself to the tab widget as the last tab, with the "+" picture
    // and an empty label.
    explicit NewDeviceTab(QTabWidget* parent);
    QStringList& ports() { return m_ports; }

private:
    QStringList m_ports;
};

class DeviceIOSetupGUI : public QTabWidget {
    Q_OBJECT

public:
    enum Button { SAVE = 0, LOAD = 1, CLOSE = 2 };

    explicit DeviceIOSetupGUI(QWidget* parent = nullptr);
    ~DeviceIOSetupGUI() override;

    // Adds a page for a copy of the frame directly before the "+" tab (at the
    // end while there is none) and returns its position.
    int addInstrument(const DeviceFrame& frame);
    // Creates one page; index -1 appends it. An empty port list gets the
    // frame's port name first.
    void addInstrumentTab(QStringList& ports, const DeviceFrame& frame, int index);
    // The pages built on the first show: one serial page per port, one TCP
    // page, then the "+" tab.
    void buildInstrumentTabs(const QStringList& ports);
    // The live frame of every page's link, in tab order.
    std::vector<DeviceFrame*> deviceFrames() const;
    // Removes every page, switching open links off first; "+" stays.
    void removeAllInstruments();
    bool saveDeviceConfiguration(const QString& path);
    // Replaces the pages by those of the file; a file with no devices (or
    // none readable) leaves the pages as they are. Returns whether pages
    // were replaced.
    bool loadDeviceConfiguration(const QString& path);
    void createButtons();

    const std::vector<DeviceIOTab*>& pages() const { return m_pages; }
    NewDeviceTab* newDeviceTab() const { return m_newTab; }
    TabBarEx* tabBarEx() const { return m_tabBar; }
    QPushButton* button(Button key) const { return m_buttons.at(key); }

    // The buttons' rectangles in key order: one row ending at the
    // bottom-right corner of the page rectangle.
    static std::vector<QRect> buttonRects(const QRect& page, const std::vector<QSize>& sizes);

public Q_SLOTS:
    void instrLabelChanged(const DeviceFrame* const frame);
    void tabClicked(int index);
    void on_save();
    void on_load();

Q_SIGNALS:
    void closed();
    void linkStatusChanged(const QString& label, const FileObject& mapping, int slide, bool linked);
    void newDeviceString(const QString& label, const QString& text, bool& ready);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeButtons();
    void connectTabBar(bool on);

    std::vector<DeviceIOTab*> m_pages;
    TabBarEx* m_tabBar;
    NewDeviceTab* m_newTab = nullptr;
    std::map<int, QPushButton*> m_buttons;
};

class MiscIO : public QDialog {
    Q_OBJECT

public:
    MiscIO();

    DeviceIOSetupGUI* setupGUI() const { return m_tabs; }
    bool tabsBuilt() const { return m_tabsBuilt; }
    // Where the first show takes the serial port names from (the port probe
    // unless set).
    void setPortProbe(std::function<QStringList()> probe) { m_probe = std::move(probe); }

public Q_SLOTS:
    // Builds the pages on the first call, then brings the window up.
    void show();

Q_SIGNALS:
    void linkStatusChanged(const QString& label, const FileObject& mapping, int slide, bool linked);
    void newDeviceString(const QString& label, const QString& text, bool& ready);

private:
    DeviceIOSetupGUI* m_tabs;
    bool m_tabsBuilt = false;
    bool m_firstSizing = true;
    std::function<QStringList()> m_probe;
};
