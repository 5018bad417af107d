#include "core/exceptions.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

TEST(KroException, DefaultText)
{
    EXPECT_STREQ(kroexception().what(), "Zavozi exception: Undefined cause.");
}

TEST(KroException, LongFormatIsKeptWhole)
{
    const std::string longText(600, 'a');
    EXPECT_EQ(std::string(kroexception(longText.c_str()).what()), longText);
    const std::string longFormat = std::string(600, 'b') + " %d";
    EXPECT_EQ(std::string(kroexception(longFormat.c_str(), 7).what()), std::string(600, 'b') + " 7");
}

TEST(KroException, FormatArguments)
{
    EXPECT_STREQ(kroexception("value %d", 7).what(), "value 7");
    EXPECT_STREQ(kroexception("Exception (DeviceConfigFiler %d): \"%s\" is not a valid device.", 3, "dev").what(),
                 "Exception (DeviceConfigFiler 3): \"dev\" is not a valid device.");
}

TEST(KroException, FinishedTextIsNotFormattedAgain)
{
    EXPECT_STREQ(kroexception(static_cast<const char*>(nullptr)).what(), "");
    EXPECT_STREQ(kroexception(static_cast<const char*>(nullptr), 1).what(), "");
    EXPECT_STREQ(kroexception("file 100%done%s.dat").what(), "file 100%done%s.dat");
    EXPECT_STREQ(kroexception(QStringLiteral("50% of %d")).what(), "50% of %d");
}

TEST(KroException, CopyOwnsItsMessage)
{
    kroexception* original = new kroexception("a %s", "message");
    kroexception copy(*original);
    delete original;
    EXPECT_STREQ(copy.what(), "a message");
}

TEST(Exceptions, TypesAreDistinct)
{
    auto catchesAs = [](auto thrower) {
        std::string seen;
        try {
            thrower();
        } catch (const std::runtime_error&) {
            seen = "runtime";
        } catch (const SCUtilities::scexception&) {
            seen = "sc";
        } catch (const kroexception&) {
            seen = "kro";
        }
        return seen;
    };
    EXPECT_EQ(catchesAs([] { throw kroexception(); }), "kro");
    EXPECT_EQ(catchesAs([] { throw SCUtilities::scexception("x"); }), "sc");
    EXPECT_EQ(catchesAs([] { throw std::runtime_error("x"); }), "runtime");
    for (auto thrower : {+[] { throw kroexception(); }, +[] { throw SCUtilities::scexception("x"); },
                         +[] { throw std::runtime_error("x"); }}) {
        EXPECT_THROW(thrower(), std::exception);
    }
}
