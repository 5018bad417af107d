#include <gtest/gtest.h>

#include "base/dirbrowserpictures.h"
#include "base/diriconprovider.h"
#include "fs_fixture.h"
#include "support/files.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QPixmap filled(const QColor& colour, const QSize& size)
{
    QPixmap p(size);
    p.fill(colour);
    return p;
}

// Pictures by colour, and every request by name recorded.
class CountingSource final : public FileIconSource {
public:
    explicit CountingSource(QStringList* asked, bool empty = false) : m_asked(asked), m_empty(empty) {}
    QPixmap folder(const QSize& s) override { return m_empty ? QPixmap() : filled(Qt::yellow, s); }
    QPixmap file(const QSize& s) override { return m_empty ? QPixmap() : filled(Qt::white, s); }
    QPixmap executable(const QSize& s) override { return m_empty ? QPixmap() : filled(Qt::green, s); }
    QPixmap forFileName(const QString& name, const QSize& s) override
    {
        *m_asked << QFileInfo(name).fileName();
        if (name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
            return filled(Qt::red, s);
        if (name.endsWith(QLatin1String(".dat")))
            return filled(Qt::blue, s);
        return QPixmap();  // a type without a picture of its own
    }

private:
    QStringList* m_asked;
    bool m_empty;
};

QColor colourOf(const QPixmap& p) { return p.isNull() ? QColor() : p.toImage().pixelColor(0, 0); }

class IconProviderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_provider = std::make_unique<ShellIconProvider>(std::make_unique<CountingSource>(&m_asked));
    }
    QFileInfo at(const QString& name) const { return QFileInfo(m_tmp.filePath(name)); }
    QString make(const QString& name)
    {
        return kro::test::writeFile(m_tmp.filePath(name), "x");
    }

    QTemporaryDir m_tmp;
    QStringList m_asked;
    std::unique_ptr<ShellIconProvider> m_provider;
};

TEST_F(IconProviderTest, PicturesByKindInTheirOrderOfPrecedence)
{
    for (const char* f : {"run.krs", "SHOUT.KRS", "a.txt", "b.dat", "plain", "odd.zzz"})
        make(f);
    QDir(m_tmp.path()).mkpath("folder");
    QDir(m_tmp.path()).mkpath("scripts.krs");
    const QString tool = make("tool.txt");
    QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner);
    const QPixmap script = m_provider->scriptPicture();
    ASSERT_FALSE(script.isNull());
    EXPECT_EQ(script.size(), m_provider->iconSize());

    struct Case {
        const char* name;
        QColor colour;  // invalid: the script picture
    };
    for (const Case& c : {Case{"run.krs", QColor()}, Case{"SHOUT.KRS", QColor()}, Case{"scripts.krs", QColor()},
                          Case{"folder", Qt::yellow}, Case{"tool.txt", Qt::green}, Case{"a.txt", Qt::red},
                          Case{"b.dat", Qt::blue}, Case{"plain", Qt::white}, Case{"odd.zzz", Qt::white}}) {
        SCOPED_TRACE(c.name);
        const QPixmap p = m_provider->pixmap(at(c.name));
        if (c.colour.isValid())
            EXPECT_EQ(colourOf(p), c.colour);
        else
            EXPECT_EQ(p.cacheKey(), script.cacheKey());
    }
}

TEST_F(IconProviderTest, EachExtensionIsAskedForOnce)
{
    for (const char* f : {"one.txt", "two.txt", "THREE.TXT", "noext", "dotted.", "x.none", "y.none"})
        make(f);
    for (const char* f : {"one.txt", "two.txt", "THREE.TXT", "noext", "dotted.", "x.none", "y.none", "one.txt"})
        m_provider->pixmap(at(f));
    // Upper-case keys: TXT once; no extension and a final dot share the
    // empty key; a type without a picture is remembered too.
    EXPECT_EQ(m_asked, QStringList({"one.txt", "noext", "x.none"}));
    EXPECT_EQ(m_provider->cachedTypes(), 3);
    EXPECT_EQ(m_provider->pixmap(at("two.txt")).cacheKey(), m_provider->pixmap(at("one.txt")).cacheKey());
}

TEST_F(IconProviderTest, LinksShowTheirTargetAndLoopsEnd)
{
    make("a.txt");
    QDir(m_tmp.path()).mkpath("folder");
    ASSERT_TRUE(kro::test::makeLink("a.txt", m_tmp.filePath("link.dat")));
    ASSERT_TRUE(kro::test::makeLink("link.dat", m_tmp.filePath("chain")));
    ASSERT_TRUE(kro::test::makeLink("folder", m_tmp.filePath("to-folder")));
    ASSERT_TRUE(kro::test::makeLink("nowhere.txt", m_tmp.filePath("dangling.dat")));
    ASSERT_TRUE(kro::test::makeLink("loop2.txt", m_tmp.filePath("loop1.txt")));
    ASSERT_TRUE(kro::test::makeLink("loop1.txt", m_tmp.filePath("loop2.txt")));
    struct Case {
        const char* name;
        QColor colour;
    };
    for (const Case& c : {Case{"link.dat", Qt::red}, Case{"chain", Qt::red}, Case{"to-folder", Qt::yellow},
                          Case{"dangling.dat", Qt::white}, Case{"loop1.txt", Qt::white}}) {
        EXPECT_EQ(colourOf(m_provider->pixmap(at(c.name))), c.colour) << c.name;
    }
}

TEST(IconProviderDefaults, MissingPicturesFallBackToTheBuiltInOnes)
{
    QStringList asked;
    ShellIconProvider provider(std::make_unique<CountingSource>(&asked, true));
    const DirBrowserPictures& p = dirBrowserPictures();
    EXPECT_EQ(provider.defaultFolder().toImage(), p.closedFolder.toImage());
    EXPECT_EQ(provider.defaultFile().toImage(), p.file.toImage());
    EXPECT_EQ(provider.defaultExecutable().toImage(), p.file.toImage());

    // Without an icon theme the desktop source still has pictures of its own.
    auto theme = makeThemeIconSource();
    EXPECT_FALSE(theme->folder(QSize(16, 16)).isNull());
    EXPECT_FALSE(theme->file(QSize(16, 16)).isNull());
}

TEST(IconProviderDefaults, TheProcessProviderIsForgottenWhenDestroyed)
{
    DirIconProvider* before = dirIconProvider();
    {
        QStringList asked;
        ShellIconProvider provider(std::make_unique<CountingSource>(&asked));
        setDirIconProvider(&provider);
        EXPECT_EQ(dirIconProvider(), &provider);
    }
    EXPECT_EQ(dirIconProvider(), nullptr);
    setDirIconProvider(before);
}

} // namespace
