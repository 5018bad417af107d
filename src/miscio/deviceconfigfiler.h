#pragma once
// The device-configuration file: the settings of all instrument pages in one
// JSON file (default "devices.json"), one top-level member "Device" per
// instrument:
//
//   { "Device" : { "Label" : "Counter", "Key" : 0, "Slide" : 10000,
//                  "Connected" : false, "Linked" : false,
//                  "COM" : { "Port" : "ttyUSB0", "Baud" : 115200, "Data" : 8,
//                            "Parity" : "NONE", "Stop" : 1.0, "Flow" : "NONE" },
//                  "X-Columns" : [ 1 ], "Y-Columns" : [ 2, 3 ] },
//     "Device" : { ... "TCPIP" : { "IP" : "10.0.0.5", "Port" : 23 } ... } }
//
// Loading and saving report their errors in a warning box and keep what they
// got so far. A save goes through a temporary file, so a failed save never
// damages the file already on disk.
#include "core/jsondocument.h"

#include <QString>

#include <vector>

struct DeviceRecord {
    std::string label;
    int key = 0;
    int slide = 0;
    bool connected = false;
    bool linked = false;
    bool tcp = false;
    std::string ip = "127.0.0.1";
    int tcpPort = 23;
    std::string comPort;
    int baud = 115200;
    int dataBits = 8;
    std::string parity;
    double stopBits = 1.0;
    std::string flow = "NONE";
    std::vector<int> xColumns;
    std::vector<int> yColumns;

    bool operator==(const DeviceRecord&) const = default;
};

class DeviceConfigFiler {
public:
    // Every device becomes a page of the instrument panel, a window of its
    // own widgets: a file with more devices than this is refused whole.
    static constexpr int kMaxDevices = 100;
    // A device takes a few hundred bytes; a larger file is no device file.
    static constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

    explicit DeviceConfigFiler(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }
    std::vector<DeviceRecord>& records() { return m_records; }
    const std::vector<DeviceRecord>& records() const { return m_records; }

    // Replaces the records by the file's devices. On an error the box
    // "Cannot load config file." shows it; the devices read before it stay.
    // A file larger than kMaxFileBytes or with more than kMaxDevices devices
    // gives no records. Returns whether the whole file was read.
    bool load();
    // Writes the records. On an error the box "Cannot save config file."
    // shows it and the file on disk stays as it was. Returns success.
    bool save() const;

    // The document of the records, and the records of a document (raising
    // the errors load() shows).
    static json::Document toDocument(const std::vector<DeviceRecord>& records);
    static DeviceRecord deviceFromGroup(const json::Group& group);

private:
    static void readComGroup(const json::List& list, DeviceRecord& record);
    static void readTcpipGroup(const json::List& list, DeviceRecord& record);

    QString m_path;
    std::vector<DeviceRecord> m_records;
};
