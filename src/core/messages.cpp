#include "core/messages.h"

#include <atomic>

namespace kro {

namespace {
std::atomic<bool> g_verbose{false};
std::atomic<bool> g_debug{false};
}

QString messagePrefix(int type)
{
    switch (type) {
    case ZEVOVE::INFO: return QStringLiteral("Info (verbose): ");
    case ZEVOVE::WARNING: return QStringLiteral("Warning (verbose): ");
    case ZEVOVE::ERROR: return QStringLiteral("Error: ");
    case ZEVOVE::CRITICAL: return QStringLiteral("Critical: ");
    case ZEVOVE::BUG: return QStringLiteral("Bug: ");
    default: return QString();
    }
}

QString messagePrefix(ZEVOVE::TYPE type) { return messagePrefix(static_cast<int>(type)); }

bool isVerbose() { return g_verbose.load(std::memory_order_relaxed); }

void setVerbose(bool on) { g_verbose.store(on, std::memory_order_relaxed); }

bool isDebugMode() { return g_debug.load(std::memory_order_relaxed); }

void setDebugMode(bool on) { g_debug.store(on, std::memory_order_relaxed); }

bool isMessageShown(ZEVOVE::TYPE type)
{
    if (type == ZEVOVE::INFO || type == ZEVOVE::WARNING)
        return isVerbose();
    return true;
}

} // namespace kro
