// The quick-start guide.
#include "core/appfolders.h"
#include "core/settings.h"
#include "gui/krogui.h"
#include "gui/quickstartguide.h"
#include "platform/embeddedimages.h"
#include "support/files.h"
#include "support/prompts.h"
#include "support/test_env.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class QuickStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        m_opener.setWindowIcon(embeddedIcon(QStringLiteral("kro.png")));
        m_opener.setGeometry(100, 50, 1200, 900);
    }
    static bool storedFlag() { return readSettingBool(QStringLiteral("quickstart"), true); }

    QWidget m_opener;
};

TEST_F(QuickStart, AWindowOfItsOwnAroundThePicture)
{
    QuickStartGuide guide(&m_opener);
    EXPECT_EQ(guide.windowTitle(), QStringLiteral("KRO QuickStart"));
    EXPECT_EQ(guide.objectName(), QStringLiteral("Quick Start Guide"));
    EXPECT_TRUE(guide.isWindow());
    EXPECT_EQ(guide.parentWidget(), nullptr);
    const Qt::WindowFlags flags = guide.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_EQ(guide.windowIcon().cacheKey(), m_opener.windowIcon().cacheKey());
    // As wide as the picture; both boxes on at the start.
    const QImage picture = findEmbeddedImage(QStringLiteral("quickstart.png"));
    EXPECT_EQ(guide.width(), picture.width());
    EXPECT_EQ(guide.minimumSize(), guide.maximumSize());
    EXPECT_GT(guide.height(), picture.height());
    EXPECT_TRUE(guide.showOnStartupBox()->isChecked());
    EXPECT_TRUE(guide.stayOnTopBox()->isChecked());
    EXPECT_TRUE(guide.gotItButton()->isDefault());
    // Switching the boxes on at construction wrote nothing.
    closeSettings();
    EXPECT_FALSE(kro::platform::openProgramSettings()->contains(QStringLiteral("quickstart")));

    guide.show();
    guide.gotItButton()->click();
    EXPECT_FALSE(guide.isVisible());  // hidden, not deleted
}

TEST_F(QuickStart, PlacedCentredOverTheOpener)
{
    const struct {
        QRect client;
        QSize picture;
        QPoint expected;
    } cases[] = {
        {{100, 50, 1200, 900}, {875, 662}, {263, 50}},
        // Shorter than the picture plus 100: at the top of the screen.
        {{100, 50, 1200, 761}, {875, 662}, {263, 5}},
        {{100, 50, 1200, 762}, {875, 662}, {263, 50}},
        // Halvings truncate: 801/2 = 400, 875/2 = 437.
        {{0, 20, 801, 800}, {875, 662}, {-37, 20}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QuickStartGuide::placement(c.client, c.picture), c.expected) << c.client.height();
    QuickStartGuide guide(&m_opener);
    EXPECT_EQ(guide.pos(), QPoint(263, 50));
}

TEST_F(QuickStart, ShowOnStartupIsWrittenAtOnceAndDecidesTheNextStart)
{
    {
        QuickStartGuide guide(&m_opener);
        guide.showOnStartupBox()->click();
        EXPECT_FALSE(storedFlag());
        guide.showOnStartupBox()->click();
        EXPECT_TRUE(storedFlag());
        guide.showOnStartupBox()->click();
        EXPECT_FALSE(storedFlag());
    }
    {
        KROGui w(QStringList{QStringLiteral("kro")});
        EXPECT_EQ(w.quickStartGuide(), nullptr);
    }
    writeSetting(QStringLiteral("quickstart"), QVariant(true));
    KROGui w(QStringList{QStringLiteral("kro")});
    ASSERT_NE(w.quickStartGuide(), nullptr);
    EXPECT_TRUE(w.quickStartGuide()->isVisible());
}

TEST_F(QuickStart, AChoiceThatCannotBeSavedIsReported)
{
    QuickStartGuide guide(&m_opener);
    closeSettings();
    const QString file = kro::platform::openProgramSettings()->fileName();
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::Ok);
        guide.showOnStartupBox()->click();
        EXPECT_EQ(prompts->asked().size(), 1u);
    }
    QDir().rmdir(file);
}

TEST_F(QuickStart, StayOnTopTwiceReturnsToTheSamePlaceOnTop)
{
    QuickStartGuide guide(&m_opener);
    guide.show();
    const QPoint at = guide.pos();
    guide.stayOnTopBox()->click();
    EXPECT_FALSE(guide.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(guide.stayOnTopBox()->isChecked());
    guide.stayOnTopBox()->click();
    EXPECT_TRUE(guide.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(guide.stayOnTopBox()->isChecked());
    EXPECT_EQ(guide.pos(), at);
    EXPECT_TRUE(guide.isVisible());
    EXPECT_EQ(guide.windowIcon().cacheKey(), m_opener.windowIcon().cacheKey());
}

// The painted area of a colour on a white page.
QRect areaOf(const QImage& page, QRgb colour)
{
    QRect area;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) == colour)
                area |= QRect(x, y, 1, 1);
    return area;
}

TEST_F(QuickStart, PrintedPictureFillsTheWidthBetweenMarginsInItsProportions)
{
    QPixmap picture(875, 700);
    picture.fill(Qt::red);
    const struct {
        QSize page;
        QRect expected;  // at 96 dpi the 2 cm margin is 75 pixels
    } cases[] = {
        {{1000, 1400}, {75, 75, 850, 680}},
        {{500, 900}, {75, 75, 350, 280}},  // narrower than the picture
    };
    for (const auto& c : cases) {
        QImage page(c.page, QImage::Format_RGB32);
        page.setDotsPerMeterX(3780);  // 96 dpi
        page.setDotsPerMeterY(3780);
        page.fill(Qt::white);
        QuickStartGuide::printPicture(page, picture);
        const QRect area = areaOf(page, qRgb(255, 0, 0));
        EXPECT_EQ(area, c.expected) << c.page.width();
        // The page number stands below the picture, right-aligned with it.
        QRect below;
        for (int y = area.bottom() + 1; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128)
                    below |= QRect(x, y, 1, 1);
        EXPECT_FALSE(below.isEmpty());
        EXPECT_LE(below.right(), area.right());
        EXPECT_GT(below.top(), area.bottom() + 4);
    }
}

TEST_F(QuickStart, PrintsOnePageThroughThePrintDialog)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("guide.pdf"));
    QuickStartGuide guide(&m_opener);
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerPrint(false);
        guide.printButton()->click();
        prompts->answerPrintToPdf(pdf);
        guide.printButton()->click();
    }
    EXPECT_TRUE(QFileInfo(pdf).isFile());
    EXPECT_EQ(kro::test::pdfText(pdf).trimmed(), QStringLiteral("1"));
}

} // namespace

// The 18-point heading shows whole: its ink lies inside the heading's own
// box, clear of the top and bottom edges, and is as tall as a capital.
TEST_F(QuickStart, TheHeadingShowsWhole)
{
    QuickStartGuide guide(&m_opener);
    QLabel* heading = nullptr;
    for (QLabel* l : guide.findChildren<QLabel*>())
        if (l->text().contains(QStringLiteral("Quick Start Guide")))
            heading = l;
    ASSERT_NE(heading, nullptr);
    guide.show();
    const QImage image = heading->grab().toImage();
    int top = image.height(), bottom = -1, left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GE(bottom, 0) << "no ink in the heading";
    EXPECT_GT(top, 0);
    EXPECT_LT(bottom, image.height() - 1);
    EXPECT_GE(bottom - top + 1, 15) << "an 18-point title is at least 15 pixels tall";
    // Centred: the ink's middle within a tenth of the width of the box's middle.
    EXPECT_NEAR((left + right) / 2.0, image.width() / 2.0, image.width() / 10.0);
}
