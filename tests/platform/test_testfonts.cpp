// The test programs draw with the DejaVu fonts only, whatever other font
// packages the machine has, so picture tests measure the same glyphs
// everywhere.
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <gtest/gtest.h>

TEST(TestFonts, OnlyDejaVuIsSeenAndEveryFamilyNameMapsOntoIt)
{
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    // The toolkit adds its generic names ("Sans Serif", "Monospace"); every
    // family it lists resolves to a DejaVu face.
    for (const QString& family : families) {
        const QFontInfo info{QFont(family, 10)};
        EXPECT_TRUE(info.family().startsWith(QStringLiteral("DejaVu"))) << family.toStdString();
    }

    for (const char* asked : {"Liberation Sans", "Arial", "Times", "Courier New", "Lato", "Noto Mono", "Nimbus Sans",
                              "sans-serif", "monospace"}) {
        const QFontInfo info{QFont(QString::fromLatin1(asked), 10)};
        EXPECT_TRUE(info.family().startsWith(QStringLiteral("DejaVu"))) << asked << " -> " << info.family().toStdString();
    }
}
