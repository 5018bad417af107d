#include "miscio/deviceconfigfiler.h"

#include "core/exceptions.h"
#include "core/jsonreader.h"
#include "platform/prompter.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <sstream>

namespace {

QString helpLine()
{
    return QCoreApplication::translate("DeviceConfigFiler", "\n\nFor help with this error please contact\n%1")
        .arg(QString::fromLatin1(kro::kSupportAddress));
}

// Runs the work; an exception it raises is shown in a warning box with the
// caption, the lead line and the exception's text. Returns success.
template <typename Work>
bool reported(const char* caption, const char* lead, Work&& work)
{
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        kro::prompter().warning(nullptr, QCoreApplication::translate("DeviceConfigFiler", caption),
                                QCoreApplication::translate("DeviceConfigFiler", lead) +
                                    QString::fromStdString(e.what()) + helpLine());
        return false;
    }
}

[[noreturn]] void throwFileError(const QString& path, const QFileDevice& file)
{
    throw kroexception(QCoreApplication::translate("DeviceConfigFiler", "%1: %2").arg(path, file.errorString()));
}

// "Stop" is written with a decimal point; a whole number written without
// one is taken as the same number.
double readStop(const json::List& list)
{
    for (const json::Scalar& member : list.members)
        if (member.name == "Stop" && member.value.kind() == json::ScalarValue::INT)
            return std::get<std::int32_t>(member.value.value());
    return list.get<double>("Stop");
}

} // namespace

void DeviceConfigFiler::readComGroup(const json::List& list, DeviceRecord& record)
{
    record.comPort = list.get<std::string>("Port");
    record.baud = list.get<int>("Baud");
    record.dataBits = list.get<int>("Data");
    record.parity = list.get<std::string>("Parity");
    record.stopBits = readStop(list);
    record.flow = list.get<std::string>("Flow");
}

void DeviceConfigFiler::readTcpipGroup(const json::List& list, DeviceRecord& record)
{
    record.ip = list.get<std::string>("IP");
    record.tcpPort = list.get<int>("Port");
}

DeviceRecord DeviceConfigFiler::deviceFromGroup(const json::Group& group)
{
    try {
        DeviceRecord record;
        const bool hasCom = std::any_of(group.lists.begin(), group.lists.end(),
                                        [](const json::List& l) { return l.name == "COM"; });
        if (hasCom) {
            readComGroup(group.get<json::List>("COM"), record);
            record.tcp = false;
        } else {
            readTcpipGroup(group.get<json::List>("TCPIP"), record);
            record.tcp = true;
        }
        record.label = group.get<json::Scalar>("Label").get<std::string>();
        record.key = group.get<json::Scalar>("Key").get<int>();
        record.slide = group.get<json::Scalar>("Slide").get<int>();
        record.connected = group.get<json::Scalar>("Connected").get<bool>();
        record.linked = group.get<json::Scalar>("Linked").get<bool>();
        record.xColumns = group.get<json::Array>("X-Columns").get();
        record.yColumns = group.get<json::Array>("Y-Columns").get();
        return record;
    } catch (const SCUtilities::scexception& e) {
        throw kroexception(std::string(e.what()));
    }
}

bool DeviceConfigFiler::load()
{
    m_records.clear();
    return reported(QT_TRANSLATE_NOOP("DeviceConfigFiler", "Cannot load config file."),
                    QT_TRANSLATE_NOOP("DeviceConfigFiler", "The config file contains an error.\n"), [&] {
                        QFile file(m_path);
                        if (!file.open(QIODevice::ReadOnly))
                            throwFileError(m_path, file);
                        const QByteArray bytes = file.read(kMaxFileBytes + 1);
                        if (bytes.size() > kMaxFileBytes)
                            throw kroexception(
                                QCoreApplication::translate("DeviceConfigFiler",
                                                            "%1 is larger than %2 bytes: it is no device file.")
                                    .arg(m_path)
                                    .arg(kMaxFileBytes));
                        json::Document document;
                        json::parseJsonDocument(bytes.toStdString(), m_path.toStdString(), document);
                        // Refused before a single page is built.
                        if (document.size() > std::size_t(kMaxDevices))
                            throw kroexception(QCoreApplication::translate(
                                                   "DeviceConfigFiler",
                                                   "%1 holds %2 devices; the panel holds at most %3.")
                                                   .arg(m_path)
                                                   .arg(document.size())
                                                   .arg(kMaxDevices));
                        m_records.reserve(document.size());
                        for (const json::Group& group : document) {
                            if (group.name != "Device")
                                throw kroexception("Exception (DeviceConfigFiler %d): \"%s\" is not a valid device.",
                                                   47, group.name.c_str());
                            m_records.push_back(deviceFromGroup(group));
                        }
                    });
}

json::Document DeviceConfigFiler::toDocument(const std::vector<DeviceRecord>& records)
{
    json::Document document;
    for (const DeviceRecord& r : records) {
        json::Group g("Device");
        g.scalars.emplace_back("Label", json::ScalarValue(r.label));
        if (r.tcp) {
            g.lists.emplace_back("TCPIP", std::vector<json::Scalar>{{"IP", json::ScalarValue(r.ip)},
                                                                    {"Port", json::ScalarValue(r.tcpPort)}});
        } else {
            g.lists.emplace_back("COM", std::vector<json::Scalar>{{"Port", json::ScalarValue(r.comPort)},
                                                                  {"Baud", json::ScalarValue(r.baud)},
                                                                  {"Data", json::ScalarValue(r.dataBits)},
                                                                  {"Parity", json::ScalarValue(r.parity)},
                                                                  {"Stop", json::ScalarValue(r.stopBits)},
                                                                  {"Flow", json::ScalarValue(r.flow)}});
        }
        g.scalars.emplace_back("Key", json::ScalarValue(r.key));
        g.scalars.emplace_back("Slide", json::ScalarValue(r.slide));
        g.scalars.emplace_back("Connected", json::ScalarValue(r.connected));
        g.scalars.emplace_back("Linked", json::ScalarValue(r.linked));
        g.arrays.emplace_back("X-Columns", r.xColumns);
        g.arrays.emplace_back("Y-Columns", r.yColumns);
        document.push_back(std::move(g));
    }
    return document;
}

bool DeviceConfigFiler::save() const
{
    return reported(QT_TRANSLATE_NOOP("DeviceConfigFiler", "Cannot save config file."),
                    QT_TRANSLATE_NOOP("DeviceConfigFiler", "Cannot save the config file.\n"), [&] {
                        std::ostringstream text;
                        json::writeJsonDocument(text, toDocument(m_records));
                        const std::string bytes = text.str();
                        QSaveFile file(m_path);
                        if (!file.open(QIODevice::WriteOnly))
                            throwFileError(m_path, file);
                        if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                                static_cast<qint64>(bytes.size()) ||
                            !file.commit())
                            throwFileError(m_path, file);
                    });
}
