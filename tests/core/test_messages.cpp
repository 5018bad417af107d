// Message kinds, their prefixes and the process-wide verbose flag.
#include "core/messages.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(Messages, PrefixesByKind)
{
    const struct {
        int type;
        const char* prefix;
    } cases[] = {
        {ZEVOVE::INFO, "Info (verbose): "}, {ZEVOVE::WARNING, "Warning (verbose): "}, {ZEVOVE::ERROR, "Error: "},
        {ZEVOVE::CRITICAL, "Critical: "},   {ZEVOVE::BUG, "Bug: "},                   {0, ""},
        {3, ""},                            {32, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kro::messagePrefix(c.type), QString(c.prefix)) << c.type;
}

TEST(Messages, InfoAndWarningOnlyInVerboseMode)
{
    const bool before = kro::isVerbose();
    kro::setVerbose(false);
    EXPECT_FALSE(kro::isMessageShown(ZEVOVE::INFO));
    EXPECT_FALSE(kro::isMessageShown(ZEVOVE::WARNING));
    for (auto t : {ZEVOVE::ERROR, ZEVOVE::CRITICAL, ZEVOVE::BUG})
        EXPECT_TRUE(kro::isMessageShown(t));
    kro::setVerbose(true);
    EXPECT_TRUE(kro::isMessageShown(ZEVOVE::INFO));
    EXPECT_TRUE(kro::isMessageShown(ZEVOVE::WARNING));
    kro::setVerbose(before);
}

TEST(Messages, VerboseFlagIsSharedAcrossThreads)
{
    const bool before = kro::isVerbose();
    kro::setVerbose(true);
    std::vector<std::thread> readers;
    std::vector<char> seen(4, 0);
    for (std::size_t i = 0; i < seen.size(); ++i)
        readers.emplace_back([&seen, i] { seen[i] = kro::isVerbose(); });
    for (auto& t : readers)
        t.join();
    for (char s : seen)
        EXPECT_TRUE(s);
    kro::setVerbose(before);
}
