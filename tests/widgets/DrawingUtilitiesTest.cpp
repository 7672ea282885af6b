#include <QCoreApplication>
#include <QPainter>

#include <utility>

#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "widgets/ArtResources.h"
#include "widgets/CGdiPlusBitmapResource.h"
#include "widgets/ColourMatrix.h"
#include "widgets/OutlinedText.h"
#include "widgets/WindowMessage.h"

namespace trivane {
namespace {

TEST(BitmapResourceTest, MissingIdLeavesTheObjectEmptyAndAReloadReplacesThePicture) {
    CGdiPlusBitmapResource image;
    EXPECT_FALSE(image.LoadPng(9999));
    EXPECT_EQ(image.Bitmap(), nullptr);
    EXPECT_TRUE(image.LoadPng(129));
    ASSERT_NE(image.Bitmap(), nullptr);
    EXPECT_EQ(image.Width(), 64);
    EXPECT_TRUE(image.LoadPng(150));
    EXPECT_EQ(image.Width(), 32);
    EXPECT_FALSE(image.LoadPng(0));
    EXPECT_TRUE(image.IsEmpty());
}

TEST(BitmapResourceTest, EveryPictureTheControlsUseExistsAtItsSize) {
    struct Expect { std::uint16_t id; int w, h; };
    const Expect pictures[] = {
        {129, 64, 64}, {132, 64, 64}, {133, 64, 64}, {136, 64, 64}, {137, 64, 64},
        {138, 64, 48}, {139, 64, 48}, {140, 64, 48}, {141, 64, 48}, {142, 64, 48},
        {143, 32, 32}, {176, 32, 32}, {145, 32, 32}, {146, 32, 32}, {147, 32, 32},
        {148, 32, 32}, {151, 32, 32}, {152, 32, 32}, {153, 32, 32}, {154, 32, 33},
        {1045, 16, 16}, {187, 16, 16}, {188, 32, 33}, {156, 24, 44}, {155, 24, 44},
        {150, 32, 32}, {157, 64, 64}, {144, 32, 32}, {175, 32, 32}, {149, 80, 12},
        {193, 16, 16}, {201, 1325, 607}};
    for (const Expect& e : pictures) {
        CGdiPlusBitmapResource image;
        ASSERT_TRUE(image.LoadPng(e.id)) << e.id;
        EXPECT_EQ(image.Width(), e.w) << e.id;
        EXPECT_EQ(image.Height(), e.h) << e.id;
    }
    // Transparent surroundings on the glyphs, none on the black square.
    CGdiPlusBitmapResource play, black;
    ASSERT_TRUE(play.LoadPng(129));
    EXPECT_EQ(qAlpha(play.Bitmap()->pixel(0, 0)), 0);
    ASSERT_TRUE(black.LoadPng(193));
    EXPECT_EQ(black.Bitmap()->pixel(8, 8), qRgba(0, 0, 0, 255));
}

TEST(BitmapResourceTest, CompassRosesAreOneRoseTurnedByEighthTurns) {
    CGdiPlusBitmapResource north, east, south;
    ASSERT_TRUE(north.LoadPng(167));
    ASSERT_TRUE(east.LoadPng(169));
    ASSERT_TRUE(south.LoadPng(171));
    // Turning the north rose by 90 and 180 degrees gives the third and fifth picture.
    const QImage n = north.Bitmap()->convertToFormat(QImage::Format_ARGB32);
    const QImage e = east.Bitmap()->convertToFormat(QImage::Format_ARGB32);
    const QImage s = south.Bitmap()->convertToFormat(QImage::Format_ARGB32);
    int mismatches = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const auto close = [](QRgb a, QRgb b) {
                return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qAlpha(a) - qAlpha(b)) < 40;
            };
            if (!close(n.pixel(x, y), e.pixel(47 - y, x))) ++mismatches;
            if (!close(n.pixel(x, y), s.pixel(47 - x, 47 - y))) ++mismatches;
        }
    EXPECT_LT(mismatches, 48 * 48 / 50);
}

TEST(BitmapResourceTest, BitmapsKeepTheirFormats) {
    const QImage pattern = LoadBitmapResource(189);
    ASSERT_FALSE(pattern.isNull());
    EXPECT_EQ(pattern.size(), QSize(30, 30));
    EXPECT_FALSE(pattern.hasAlphaChannel());
    // A light blue: blue dominates and nothing is dark.
    const QColor mid(pattern.pixel(15, 15));
    EXPECT_GT(mid.blue(), mid.red());
    EXPECT_GT(mid.red(), 100);

    const QImage check = LoadBitmapResource(161);
    ASSERT_EQ(check.size(), QSize(32, 32));
    EXPECT_TRUE(check.hasAlphaChannel());

    // Padlock strip: four 24 x 24 cells, the first all key colour, the others with a lock.
    const QImage strip = LoadBitmapResource(158);
    ASSERT_EQ(strip.size(), QSize(96, 24));
    EXPECT_FALSE(strip.hasAlphaChannel());
    const QRgb magenta = qRgb(255, 0, 255);
    for (int cell = 0; cell < 4; ++cell) {
        int keyed = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) keyed += strip.pixel(cell * 24 + x, y) == magenta ? 1 : 0;
        if (cell == 0) EXPECT_EQ(keyed, 24 * 24);
        else EXPECT_LT(keyed, 24 * 24 - 60) << cell;
    }
    const QImage masked = MagentaToTransparent(strip);
    EXPECT_EQ(qAlpha(masked.pixel(0, 0)), 0);
    EXPECT_TRUE(LoadBitmapResource(4242).isNull());
}

TEST(ColourMatrixTest, GreyWeighsTheChannelsAndKeepsAlpha) {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(10, 20, 30, 255));   // 3 + 11.8 + 3.3 = 18.1
    image.setPixel(1, 0, qRgba(0, 0, 0, 0));
    const QImage grey = GreyImage(image).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(grey.pixel(0, 0), qRgba(18, 18, 18, 255));
    EXPECT_EQ(qAlpha(grey.pixel(1, 0)), 0);
}

TEST(ColourMatrixTest, HoverBrightensAndClampsAtFullScale) {
    QImage image(1, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(100, 200, 250, 255));
    // c * 1.05 + 12.75: 117.75, 222.75, 275.25 -> 118, 223, 255
    const QImage lit = HoverImage(image).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(lit.pixel(0, 0), qRgba(118, 223, 255, 255));
}

QImage TextImage(const QString& text, OutlinedTextStyle style, QSize size = {700, 60}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    DrawOutlinedText(p, text, style, 0, 0, 20);
    return image;
}

int LitPixels(const QImage& image) {
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) lit += image.pixel(x, y) != qRgb(0, 0, 0) ? 1 : 0;
    return lit;
}

TEST(OutlinedTextTest, EmptyTextDrawsNothingAndOtherTextDraws) {
    EXPECT_EQ(LitPixels(TextImage(QString(), SpeedStyle)), 0);
    EXPECT_EQ(LitPixels(TextImage(QStringLiteral("\n"), CounterStyle)), 0);
    EXPECT_GT(LitPixels(TextImage(QStringLiteral("88"), SpeedStyle)), 50);
}

TEST(OutlinedTextTest, OnlyTheFirst127CharactersAreDrawn) {
    const QString head(127, QLatin1Char('.'));
    const QSize wide(4000, 40);
    EXPECT_EQ(TextImage(head + QStringLiteral("WWWW"), SpeedStyle, wide),
              TextImage(head, SpeedStyle, wide));
    EXPECT_NE(TextImage(head.left(126) + QStringLiteral("W"), SpeedStyle, wide),
              TextImage(head, SpeedStyle, wide));
}

TEST(OutlinedTextTest, TitleAndCounterIgnoreTheCallersX) {
    QImage a(300, 60, QImage::Format_RGB32), b(300, 60, QImage::Format_RGB32);
    a.fill(Qt::black);
    b.fill(Qt::black);
    {
        QPainter pa(&a), pb(&b);
        DrawOutlinedText(pa, QStringLiteral("12"), CounterStyle, 0, 5, 20);
        DrawOutlinedText(pb, QStringLiteral("12"), CounterStyle, 150, 5, 20);
    }
    EXPECT_EQ(a, b);
}

// Repaints that miss the bounds skip the text, so every lit pixel must lie inside them.
TEST(OutlinedTextTest, BoundsHoldEveryPaintedPixel) {
    const std::pair<QString, OutlinedTextStyle> cases[] = {
        {QStringLiteral("Trivane 1"), TitleStyle},
        {QStringLiteral("Wjg|\u00c5y_"), TitleStyle},
        {QStringLiteral("188"), SpeedStyle},
        {QStringLiteral("Km/h\nMPH"), SpeedStyle},
        {QStringLiteral("12/345"), CounterStyle},
    };
    for (const auto& [text, style] : cases) {
        for (double em : {12.0, 24.0, 40.0}) {
            QImage image(900, 300, QImage::Format_RGB32);
            image.fill(Qt::black);
            {
                QPainter p(&image);
                p.translate(60, 60);
                DrawOutlinedText(p, text, style, 30, 20, em);
            }
            const QRect bounds = OutlinedTextBounds(text, style, 30, 20, em).translated(60, 60);
            int lit = 0, outside = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    if (image.pixel(x, y) == qRgb(0, 0, 0)) continue;
                    ++lit;
                    outside += bounds.contains(x, y) ? 0 : 1;
                }
            EXPECT_GT(lit, 0) << text.toStdString() << " " << em;
            EXPECT_EQ(outside, 0) << text.toStdString() << " " << em;
        }
    }
    EXPECT_TRUE(OutlinedTextBounds(QString(), TitleStyle, 0, 0, 24).isEmpty());
    EXPECT_TRUE(OutlinedTextBounds(QStringLiteral("\n"), SpeedStyle, 0, 0, 24).isEmpty());
}

TEST(WindowMessageTest, SentMessagesArriveAtOncePostedOnesLater) {
    test::MessageCounter target;
    EXPECT_TRUE(SendWindowMessage(&target, WM_SEEK_TO_SLIDER));
    EXPECT_EQ(target.count, 1);
    EXPECT_EQ(target.message, 0xC0D);
    EXPECT_TRUE(PostWindowMessage(&target, WM_APPLY_VOLUME));
    EXPECT_EQ(target.count, 1);
    QCoreApplication::sendPostedEvents(&target);
    EXPECT_EQ(target.count, 2);
    EXPECT_EQ(target.message, 0xC0C);
    EXPECT_FALSE(SendWindowMessage(nullptr, WM_APPLY_VOLUME));
}

}  // namespace
}  // namespace trivane
