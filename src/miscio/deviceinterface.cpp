#include "miscio/deviceinterface.h"

#include <array>

namespace {
const std::array<const char*, 5> kParityNames{"NONE", "ODD", "EVEN", "MARK", "SPACE"};
const std::array<const char*, 3> kFlowNames{"NONE", "HARDWARE", "XONXOFF"};

template <size_t N>
int codeOfName(const std::array<const char*, N>& names, const QString& name)
{
    for (size_t i = 0; i < N; ++i)
        if (name == QLatin1String(names[i]))
            return static_cast<int>(i);
    return 0;
}

template <size_t N>
QString nameOfCode(const std::array<const char*, N>& names, int code)
{
    return QLatin1String(code > 0 && code < static_cast<int>(N) ? names[static_cast<size_t>(code)] : names[0]);
}
} // namespace

DeviceFrame& DeviceFrame::operator=(const DeviceFrame& other)
{
    if (this == &other)
        return *this;
    m_connected = other.m_connected;
    m_instrument = other.m_instrument;
    m_mode = other.m_mode;
    m_tcpPort = other.m_tcpPort;
    m_flow = other.m_flow;
    m_parity = other.m_parity;
    m_dataBits = other.m_dataBits;
    m_stopBits = other.m_stopBits;
    m_baud = other.m_baud;
    m_ready.store(other.m_ready.load());
    m_comPort = other.m_comPort;
    m_label = other.m_label;
    m_ip = other.m_ip;
    m_password = other.m_password;
    m_user = other.m_user;
    return *this;
}

int parityFromName(const QString& name) { return codeOfName(kParityNames, name); }

QString parityName(int code) { return nameOfCode(kParityNames, code); }

int flowFromName(const QString& name) { return codeOfName(kFlowNames, name); }

QString flowName(int code) { return nameOfCode(kFlowNames, code); }

int stopBitsFromNumber(double s)
{
    if (s <= 1.2)
        return 0;
    if (s > 1.2 && s < 1.8)
        return 1;
    if (s > 1.8 && s < 2.5)
        return 2;
    return 0; // exactly 1.8, 2.5 or more, NaN
}

double stopBitsNumber(int code)
{
    switch (code) {
    case 1: return 1.5;
    case 2: return 2.0;
    default: return 1.0;
    }
}

QByteArray keyCodeBytes(int code)
{
    QByteArray bytes;
    auto u = static_cast<quint32>(code);
    for (int i = 0; i < 4 && (u & 0xFFu) != 0; ++i, u >>= 8)
        bytes.append(static_cast<char>(u & 0xFFu));
    return bytes;
}
