#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "widgets/CMySliderControl.h"
#include "widgets/CVideoSlider.h"
#include "widgets/WindowMessage.h"

namespace trivane {
namespace {

// A 544 x 20 position slider has a 16-pixel thumb and its channel from x = 10 to x = 534.
class VideoSliderTest : public ::testing::Test {
protected:
    VideoSliderTest() : host(new test::MessageCounter) {
        host->setAttribute(Qt::WA_DontShowOnScreen);
        host->resize(560, 40);
        slider = new CVideoSlider(host.get());
        slider->setGeometry(0, 0, 544, 20);
        host->probe = [this] { return slider->GetPos(); };
    }
    void Click(int x) {
        test::Press(slider, {x, 10});
        test::Release(slider, {x, 10});
    }
    std::unique_ptr<test::MessageCounter> host;
    CVideoSlider* slider;
};

TEST_F(VideoSliderTest, AClickJumpsToTheClickedPlaceClampedToTheRange) {
    EXPECT_EQ(slider->RangeMax(), 1000);
    Click(10);
    EXPECT_EQ(slider->GetPos(), 0);
    Click(272);  // 1000 * 262 / 524
    EXPECT_EQ(slider->GetPos(), 500);
    Click(534);
    EXPECT_EQ(slider->GetPos(), 1000);
    Click(600);  // beyond the channel: 1125, clamped
    EXPECT_EQ(slider->GetPos(), 1000);
    Click(0);    // before it: -19, clamped
    EXPECT_EQ(slider->GetPos(), 0);
    Click(11);   // 1000 / 524 truncates to 1
    EXPECT_EQ(slider->GetPos(), 1);
}

TEST_F(VideoSliderTest, PressAloneTellsNothingMovesAndReleaseSendTheNewPosition) {
    test::Press(slider, {272, 10});
    EXPECT_EQ(host->count, 0);
    EXPECT_EQ(slider->GetPos(), 500);
    test::Move(slider, {534, 10});
    EXPECT_EQ(host->count, 1);
    EXPECT_EQ(host->message, WM_SEEK_TO_SLIDER);
    EXPECT_EQ(host->probed, 1000);  // the parent reads the position while handling the message
    test::Release(slider, {10, 10});
    EXPECT_EQ(host->count, 2);
    EXPECT_EQ(host->probed, 0);
    // Moving without a press in progress says nothing.
    test::Move(slider, {300, 10});
    EXPECT_EQ(host->count, 2);
}

TEST_F(VideoSliderTest, BlackSunkenBarWithARoundThumbThatChangesColourWhilePressed) {
    slider->SetPos(500);  // thumb centred at x = 10 + 262
    QImage img = test::Snapshot(*host);
    EXPECT_EQ(test::PixelAt(img, 272, 10), QColor(100, 250, 100));
    EXPECT_EQ(test::PixelAt(img, 100, 10), QColor(0, 0, 0));
    EXPECT_EQ(test::PixelAt(img, 100, 0), QColor(160, 160, 160));  // sunken: shadow on top
    EXPECT_EQ(test::PixelAt(img, 100, 19), QColor(255, 255, 255));
    // The thumb is round: its bounding box corners show the bar.
    EXPECT_EQ(test::PixelAt(img, 264, 2), QColor(0, 0, 0));
    test::Press(slider, {272, 10});
    img = test::Snapshot(*host);
    EXPECT_EQ(test::PixelAt(img, 272, 10), QColor(240, 0, 180));
    test::Release(slider, {272, 10});

    slider->SetThumbColours(QColor(0, 0, 0), QColor(0, 0, 0));
    EXPECT_EQ(slider->ThumbColour(false), slider->palette().color(QPalette::Button));
    EXPECT_EQ(slider->ThumbColour(true), slider->palette().color(QPalette::Light));
}

TEST_F(VideoSliderTest, MarksDrawUnderTheThumbAndLeaveTheEdgeAlone) {
    slider->SetPos(500);
    slider->SetEventMarks({250, 500});  // x = 141 and under the thumb at 272
    slider->SetClipMarks(100, 750);     // x = 62 and 403
    QImage img = test::Snapshot(*host);
    EXPECT_EQ(test::PixelAt(img, 141, 10), QColor(255, 150, 0));
    EXPECT_EQ(test::PixelAt(img, 272, 10), QColor(100, 250, 100));  // the thumb covers its mark
    EXPECT_EQ(test::PixelAt(img, 62, 10), QColor(0, 200, 255));
    EXPECT_EQ(test::PixelAt(img, 403, 10), QColor(0, 200, 255));
    // Brackets open towards the range between them.
    EXPECT_EQ(test::PixelAt(img, 64, 3), QColor(0, 200, 255));
    EXPECT_EQ(test::PixelAt(img, 60, 3), QColor(0, 0, 0));
    EXPECT_EQ(test::PixelAt(img, 401, 3), QColor(0, 200, 255));
    // The sunken edge stays as it was.
    EXPECT_EQ(test::PixelAt(img, 141, 0), QColor(160, 160, 160));
    EXPECT_EQ(test::PixelAt(img, 141, 19), QColor(255, 255, 255));

    slider->SetEventMarks({});
    slider->SetClipMarks(CVideoSlider::kNoMark, CVideoSlider::kNoMark);
    img = test::Snapshot(*host);
    for (int x : {62, 141, 403}) EXPECT_EQ(test::PixelAt(img, x, 10), QColor(0, 0, 0)) << x;
}

// Thumb moves repaint only where the thumb was and is: the screen must match a slider shown
// afresh in the same state, pressed or not.
TEST(VideoSliderScreenTest, AfterMovesMarksAndPressesTheScreenMatchesAFreshSlider) {
    CVideoSlider shown;
    shown.resize(544, 20);
    shown.show();
    const auto fresh = [&](int position, std::vector<int> events, int in, int out) {
        CVideoSlider slider;
        slider.resize(shown.size());
        slider.SetEventMarks(std::move(events));
        slider.SetClipMarks(in, out);
        slider.SetPos(position);
        slider.show();
        const QImage image = test::OnScreen(slider);
        slider.hide();
        test::OnScreen(shown);  // whatever exposures that caused are done before the next change
        return image;
    };
    for (int position : {500, 501, 520, 0, 1000, 2}) {
        const QImage expected = fresh(position, {}, CVideoSlider::kNoMark, CVideoSlider::kNoMark);
        shown.SetPos(position);
        ASSERT_TRUE(test::OnScreen(shown) == expected) << position;
    }
    shown.SetEventMarks({250, 500});
    shown.SetClipMarks(100, 750);
    for (int position : {500, 250, 740}) {
        const QImage expected = fresh(position, {250, 500}, 100, 750);
        shown.SetPos(position);
        ASSERT_TRUE(test::OnScreen(shown) == expected) << position;
    }
    // A press on the thumb where it already is still turns it the pressed colour, and back.
    const QImage released = fresh(500, {250, 500}, 100, 750);
    shown.SetPos(500);
    const QPoint thumb(272, 10);  // the thumb's centre, which maps back to 500
    test::OnScreen(shown);
    test::Press(&shown, thumb);
    EXPECT_EQ(test::PixelAt(test::OnScreen(shown), thumb.x(), thumb.y()), QColor(240, 0, 180));
    test::Release(&shown, thumb);
    EXPECT_TRUE(test::OnScreen(shown) == released);
}

TEST(VolumeSliderTest, ReleaseReportsTheVolumeWithoutMovingTheThumb) {
    auto host = std::make_unique<test::MessageCounter>();
    host->setAttribute(Qt::WA_DontShowOnScreen);
    host->resize(100, 30);
    auto* volume = new CMySliderControl(host.get());
    volume->setGeometry(0, 0, 80, 20);  // channel 10..70
    host->probe = [volume] { return volume->GetPos(); };
    EXPECT_EQ(volume->GetPos(), 50);
    EXPECT_EQ(volume->RangeMax(), 100);
    test::Press(volume, {25, 10});
    EXPECT_EQ(volume->GetPos(), 25);
    EXPECT_EQ(host->count, 0);
    test::Release(volume, {60, 10});
    EXPECT_EQ(host->count, 1);
    EXPECT_EQ(host->message, WM_APPLY_VOLUME);
    EXPECT_EQ(volume->GetPos(), 25);
    test::Press(volume, {25, 10});
    test::Move(volume, {70, 10});
    EXPECT_EQ(host->count, 2);
    EXPECT_EQ(host->probed, 100);
    test::Release(volume, {70, 10});
}

TEST(VolumeSliderTest, ShowsTheParentThroughAroundItsGrooveAtAnyPlace) {
    const QColor hostColour(0, 128, 0);
    auto host = test::MakeHost({200, 60}, hostColour);
    auto* volume = new CMySliderControl(host.get());
    volume->setGeometry(10, 10, 80, 20);
    QImage img = test::Snapshot(*host);
    EXPECT_EQ(test::PixelAt(img, 12, 11), hostColour);
    EXPECT_EQ(test::PixelAt(img, 10 + 40, 10 + 10), QColor(255, 0, 0));  // thumb at 50
    // Groove: channel (10, 8, 60 x 4) grown by 2 up and down, sunken edge on it.
    EXPECT_EQ(test::PixelAt(img, 10 + 20, 10 + 6), QColor(160, 160, 160));
    // Moved somewhere else over a different background, nothing old is left behind.
    QPalette pal = host->palette();
    pal.setColor(QPalette::Window, QColor(30, 30, 90));
    host->setPalette(pal);
    volume->move(100, 30);
    img = test::Snapshot(*host);
    EXPECT_EQ(test::PixelAt(img, 102, 31), QColor(30, 30, 90));
    EXPECT_EQ(test::PixelAt(img, 12, 11), QColor(30, 30, 90));
}

}  // namespace
}  // namespace trivane
