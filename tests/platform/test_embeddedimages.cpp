#include <gtest/gtest.h>

#include "support/qtprinters.h"

#include <QPixmap>

#include "platform/embeddedimages.h"

TEST(EmbeddedImages, EveryNameOfTheCollectionResolves)
{
    ASSERT_EQ(embeddedImageNames().size(), 68);
    for (const QString& name : embeddedImageNames())
        EXPECT_FALSE(findEmbeddedImage(name).isNull()) << name.toStdString();
}

TEST(EmbeddedImages, LookupIsExactAndCaseSensitive)
{
    // The exact names are found; anything near them is not.
    for (const char* name : {"kro.png", "zoomin.png", "editcopy.xpm"}) {
        EXPECT_FALSE(findEmbeddedImage(QString::fromLatin1(name)).isNull()) << name;
        EXPECT_FALSE(embeddedPixmap(name).isNull()) << name;
        EXPECT_FALSE(embeddedIcon(name).isNull()) << name;
    }
    for (const char* name : {"Kro.png", "kro", "kro.PNG", " kro.png", "images/kro.png", ":/images/kro.png", ""})
        EXPECT_TRUE(findEmbeddedImage(QString::fromLatin1(name)).isNull()) << name;
    EXPECT_TRUE(embeddedPixmap("Kro.png").isNull());
    EXPECT_TRUE(embeddedIcon("nothing.png").isNull());
}

TEST(EmbeddedImages, SizesAndAlphaOfTheTellingImages)
{
    struct Row {
        const char* name;
        int w, h;
        bool alpha;
    };
    const Row rows[] = {
        {"kro_w_txt.png", 571, 200, true}, {"kro.png", 350, 336, true},  {"quickstart.png", 875, 662, false},
        {"zoomin.png", 22, 22, true},      {"zoomout.png", 22, 22, true}, {"rescale.png", 22, 22, true},
        {"2sigma.png", 22, 22, true},      {"hand.png", 16, 16, true},    {"slope.png", 32, 32, true},
        {"editcopy.xpm", 22, 22, true},    {"textunder.xpm", 22, 22, true},
    };
    for (const Row& r : rows) {
        const QImage img = findEmbeddedImage(r.name);
        EXPECT_EQ(img.size(), QSize(r.w, r.h)) << r.name;
        EXPECT_EQ(img.hasAlphaChannel(), r.alpha) << r.name;
    }
    // A named pixmap needs no file on disk.
    EXPECT_EQ(embeddedPixmap("quickstart.png").size(), QSize(875, 662));
}

TEST(EmbeddedImages, EachImageIsDecodedOnce)
{
    // However many lookups came before in this run, once every name has
    // been looked up the run has decoded each image exactly once.
    for (const QString& name : embeddedImageNames())
        ASSERT_FALSE(findEmbeddedImage(name).isNull()) << name.toStdString();
    const int all = int(embeddedImageNames().size());
    EXPECT_EQ(embeddedImageDecodeCount(), all);
    // Looking up again, as pixmap or icon, decodes nothing more.
    const QImage first = findEmbeddedImage("kill.png");
    const QImage second = findEmbeddedImage("kill.png");
    EXPECT_FALSE(embeddedPixmap("kill.png").isNull());
    EXPECT_FALSE(embeddedIcon("kill.png").isNull());
    EXPECT_EQ(first, second);
    // Unknown names decode nothing.
    findEmbeddedImage("Kill.png");
    EXPECT_EQ(embeddedImageDecodeCount(), all);
}
