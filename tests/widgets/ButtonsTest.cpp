#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "widgets/CGdipButton.h"

namespace trivane {
namespace {

const QColor kHostColour(0, 128, 0);

class ButtonTest : public ::testing::Test {
protected:
    ButtonTest() : host(test::MakeHost({60, 60}, kHostColour)) {
        button = new CGdipButton(host.get());
        button->setGeometry(0, 0, 48, 48);
        QObject::connect(button, &QAbstractButton::clicked, [this] { ++clicks; });
    }
    QImage Picture(CGdipButton::Picture which) {
        return button->PreparedPicture(which).convertToFormat(QImage::Format_ARGB32);
    }
    std::unique_ptr<QWidget> host;
    CGdipButton* button;
    int clicks = 0;
};

TEST_F(ButtonTest, PressedPictureIsTheNormalOneShiftedOnePixelRightAndDown) {
    ASSERT_TRUE(button->SetStandardImage(129));
    const QImage normal = Picture(CGdipButton::Normal);
    const QImage pressed = Picture(CGdipButton::Pressed);
    ASSERT_EQ(normal.size(), QSize(48, 48));
    for (int y = 0; y < 47; ++y)
        for (int x = 0; x < 47; ++x) ASSERT_EQ(pressed.pixel(x + 1, y + 1), normal.pixel(x, y));
    for (int i = 0; i < 48; ++i) {
        EXPECT_EQ(qAlpha(pressed.pixel(i, 0)), 0);
        EXPECT_EQ(qAlpha(pressed.pixel(0, i)), 0);
    }
}

TEST_F(ButtonTest, HoverIsBrighterAndGreyHasNoColour) {
    ASSERT_TRUE(button->SetStandardImage(129));
    const QImage normal = Picture(CGdipButton::Normal);
    const QImage hover = Picture(CGdipButton::Hover);
    const QImage grey = Picture(CGdipButton::Grey);
    long long gain = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const QRgb n = normal.pixel(x, y), h = hover.pixel(x, y), g = grey.pixel(x, y);
            ASSERT_EQ(qAlpha(h), qAlpha(n));
            ASSERT_EQ(qAlpha(g), qAlpha(n));
            if (qAlpha(n) < 255) continue;
            ASSERT_GE(qRed(h), qRed(n));
            ASSERT_GE(qBlue(h), qBlue(n));
            gain += qRed(h) + qGreen(h) + qBlue(h) - qRed(n) - qGreen(n) - qBlue(n);
            ASSERT_EQ(qRed(g), qGreen(g));
            ASSERT_EQ(qGreen(g), qBlue(g));
        }
    EXPECT_GT(gain, 48 * 48 * 10);
}

TEST_F(ButtonTest, PointerOverTheButtonBrightensItUntilItLeaves) {
    ASSERT_TRUE(button->SetStandardImage(129));
    const QImage normal = test::Snapshot(*host);
    EXPECT_EQ(test::PixelAt(normal, 0, 0), kHostColour);  // transparent corner shows the parent
    test::Enter(button);
    EXPECT_EQ(button->CurrentPicture(), CGdipButton::Hover);
    const QImage lit = test::Snapshot(*host);
    EXPECT_NE(lit, normal);
    EXPECT_GT(QColor(lit.pixel(24, 24)).lightness(), QColor(normal.pixel(24, 24)).lightness());
    test::Leave(button);
    EXPECT_EQ(test::Snapshot(*host), normal);
}

TEST_F(ButtonTest, GreyWinsOverPressAndHover) {
    ASSERT_TRUE(button->SetStandardImage(133));
    button->SetGrey(true);
    test::Enter(button);
    test::Press(button, {10, 10});
    EXPECT_EQ(button->CurrentPicture(), CGdipButton::Grey);
    const QImage img = test::Snapshot(*host);
    const QColor centre = test::PixelAt(img, 24, 24);
    EXPECT_EQ(centre.red(), centre.green());
    EXPECT_EQ(centre.green(), centre.blue());
    test::Release(button, {10, 10});
}

TEST_F(ButtonTest, TwoStateButtonShowsItsNewStateWhilePressed) {
    ASSERT_TRUE(button->SetStandardImage(129));
    ASSERT_TRUE(button->SetAlternateImage(132));
    ASSERT_TRUE(button->IsTwoState());
    test::Press(button, {20, 20});
    EXPECT_TRUE(button->AlternateShown());
    EXPECT_EQ(button->CurrentPicture(), CGdipButton::AltPressed);
    test::Release(button, {20, 20});
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(button->AlternateShown());
    EXPECT_EQ(button->CurrentPicture(), CGdipButton::AltNormal);
    test::Press(button, {20, 20});
    test::Release(button, {20, 20});
    EXPECT_FALSE(button->AlternateShown());
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonTest, PressReleasedOutsideIsNoClickAndKeepsTheState) {
    ASSERT_TRUE(button->SetStandardImage(143));
    ASSERT_TRUE(button->SetAlternateImage(176));
    test::Press(button, {20, 20});
    EXPECT_TRUE(button->AlternateShown());
    test::Release(button, {200, 200});
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button->AlternateShown());
}

TEST_F(ButtonTest, DoubleClickCountsAsTwoClicks) {
    ASSERT_TRUE(button->SetStandardImage(136));
    test::Press(button, {20, 20});
    test::Release(button, {20, 20});
    test::DoubleClick(button, {20, 20});
    test::Release(button, {20, 20});
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonTest, WithoutAPictureTheButtonDrawsNothing) {
    EXPECT_FALSE(button->SetStandardImage(9999));
    EXPECT_EQ(button->CurrentPicture(), CGdipButton::PictureCount);
    const QImage img = test::Snapshot(*host);
    for (int y = 0; y < 48; y += 5)
        for (int x = 0; x < 48; x += 5) ASSERT_EQ(test::PixelAt(img, x, y), kHostColour);
}

TEST_F(ButtonTest, PicturesFollowTheButtonSize) {
    ASSERT_TRUE(button->SetStandardImage(138));
    EXPECT_EQ(button->PreparedPicture(CGdipButton::Normal).size(), QSize(48, 48));
    button->resize(48, 36);
    EXPECT_EQ(button->PreparedPicture(CGdipButton::Normal).size(), QSize(48, 36));
}

}  // namespace
}  // namespace trivane
