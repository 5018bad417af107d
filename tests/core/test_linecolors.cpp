// The line-colour list and its file.
#include "core/linecolors.h"

#include "core/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::vector<quint32> loaded()
{
    std::vector<quint32> out;
    for (Rgb c : lineColors())
        out.push_back(c.value);
    return out;
}

const std::vector<quint32> kDefaults = {0x400000FF, 0x40FF0000, 0x4000D200, 0x40800080,
                                        0x4000D2D2, 0x40FF00FF, 0x40353550, 0x40808000};

class LineColors : public ::testing::Test {
protected:
    std::string file() const { return m_dir.path().toStdString() + "/linecolors.cfg"; }
    void writeFile(const QByteArray& bytes) const
    {
        QFile f(QString::fromStdString(file()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile() const
    {
        QFile f(QString::fromStdString(file()));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void TearDown() override { loadLineColors(); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(LineColors, MissingFileGivesTheDefaultsAndWritesThem)
{
    loadLineColorsFrom(file());
    EXPECT_EQ(loaded(), kDefaults);
    EXPECT_EQ(readFile(), "0x0000ff\n0xff0000\n0x00d200\n0x800080\n0x00d2d2\n0xff00ff\n0x353550\n0x808000\n");
}

TEST_F(LineColors, FileLines)
{
    writeFile("FF\n"
              "0X00ff00\n"
              "12345678\n"
              "zx123456\n"
              "0x\n"
              "0x123456 \n"
              "\n"
              "0xABCDEF\r\n"
              "-0x1\n"
              "0xGG0000\n"
              "1\n");
    loadLineColorsFrom(file());
    EXPECT_EQ(loaded(), (std::vector<quint32>{0x400000FF, 0x4000FF00, 0x40345678, 0x40123456, 0x40ABCDEF, 0x40000001}));
}

TEST_F(LineColors, FileWithoutAColourFallsBackAndIsLeftAlone)
{
    const QByteArray content = "0x\n\nred\n 0x00ff00\r\n";
    writeFile(content);
    loadLineColorsFrom(file());
    EXPECT_EQ(loaded(), kDefaults);
    EXPECT_EQ(readFile(), content);

    writeFile("");
    loadLineColorsFrom(file());
    EXPECT_EQ(loaded(), kDefaults);
}

TEST_F(LineColors, UnwritableFolderStillGivesTheDefaults)
{
    loadLineColorsFrom(m_dir.path().toStdString() + "/no/such/folder/linecolors.cfg");
    EXPECT_EQ(loaded(), kDefaults);
}

TEST_F(LineColors, StartUpListLivesInTheCommonDataFolder)
{
    loadLineColors();
    EXPECT_EQ(loaded().size(), 8u);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(commonDataDirectory() + "linecolors.cfg")));
}

TEST_F(LineColors, PaletteColourWrapsAroundTheList)
{
    writeFile("0x000001\n0x000002\n0x000003\n");
    loadLineColorsFrom(file());
    const struct {
        int index;
        quint32 color;
    } cases[] = {{0, 0x40000001}, {2, 0x40000003}, {3, 0x40000001}, {7, 0x40000002}, {-1, 0x40000003},
                 {ALL_CURVES, 0x40000002}};
    for (const auto& c : cases)
        EXPECT_EQ(paletteColor(c.index).value, c.color) << c.index;
}
