#include <gtest/gtest.h>

#include "gui_printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "command/commandedit.h"
#include "core/settings.h"
#include "gui/krogui.h"
#include "plot/plotter.h"
#include "support/prompts.h"
#include "support/test_env.h"
#include "tabs/plotterctrl.h"

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        writeSetting(QStringLiteral("quickstart"), QVariant(false));
        ASSERT_TRUE(m_dir.isValid());
        m_savedCwd = QDir::currentPath();
    }
    void TearDown() override { QDir::setCurrent(m_savedCwd); }

    std::unique_ptr<KROGui> make(QStringList args = {})
    {
        args.prepend(QStringLiteral("kro"));
        return std::make_unique<KROGui>(args);
    }
    static QString consoleText(const KROGui& w) { return w.console()->toPlainText(); }
    static bool waitLoaded(const KROGui& w)
    {
        return QTest::qWaitFor([&] { return !w.plotterCtrl()->m_busy; }, 10000);
    }
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString dataFile(const QString& name = QStringLiteral("data.dat"))
    {
        QByteArray rows;
        for (int i = 0; i < 50; ++i)
            rows += QByteArray::number(i) + ", " + QByteArray::number(i * i % 17) + ", " +
                    QByteArray::number(100 - i) + "\n";
        return writeFile(name, rows);
    }

    QTemporaryDir m_dir;
    QString m_savedCwd;
};

} // namespace

TEST_F(MainWindow, LooksLikeTheProgram)
{
    auto w = make({"-f", dataFile(), "-x", "1", "-y", "2", "3"});
    ASSERT_TRUE(waitLoaded(*w));
    w->resize(1100, 800);
    QTest::qWait(50);
    const QString out = qEnvironmentVariable("KRO_SCREENSHOT");
    if (!out.isEmpty())
        w->grab().save(out);
    ASSERT_NE(w->activePlotter(), nullptr);
    EXPECT_EQ(w->activePlotter()->m_curves.size(), 2u);
}

