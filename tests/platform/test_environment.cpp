// The test harness itself: every test program must run away from the user's
// real settings and folders.
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "support/test_env.h"

TEST(TestEnvironment, SettingsAndDataFoldersLiveInTheTemporaryHome)
{
    const QString home = kro::test::homeDir();
    ASSERT_FALSE(home.isEmpty());
    QSettings s("KROSoftware", "kro");
    EXPECT_TRUE(s.fileName().startsWith(home)) << s.fileName().toStdString();
    EXPECT_TRUE(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).startsWith(home));
}
