// Marking a clip on the slider and exporting it from the window, with the export replaced by a
// fake on the worker thread: the request across recordings, the question before replacing, the
// progress dialog, cancel, success and failure as the user sees them.
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>

#include <atomic>
#include <mutex>
#include <thread>

#include "CardWindow.h"
#include "app/CClipExportFlow.h"
#include "app/CMainMenu.h"
#include "library/CRecordingManager.h"
#include "widgets/CVideoSlider.h"

namespace trivane {
namespace {

using test::CardWindow;

// Each call runs the next script on the worker thread; the requests are kept.
struct FakeExport {
    using Script = std::function<ClipResult(const ClipProgressFn&, const std::atomic<bool>&)>;

    ClipResult Run(const ClipRequest& request, const ClipProgressFn& progress, const std::atomic<bool>& cancel)
    {
        Script script;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            requests.push_back(request);
            if (std::this_thread::get_id() == windowThread) onWindowThread = true;
            if (scripts.empty()) return {};
            script = std::move(scripts.front());
            scripts.pop_front();
        }
        return script(progress, cancel);
    }
    void Push(Script script)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        scripts.push_back(std::move(script));
    }
    std::vector<ClipRequest> Requests()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return requests;
    }

    std::mutex mutex;
    std::deque<Script> scripts;
    std::vector<ClipRequest> requests;
    std::thread::id windowThread = std::this_thread::get_id();
    bool onWindowThread = false;
};

ClipResult Failure(ClipFailure failure, std::string message)
{
    ClipResult result;
    result.failure = failure;
    result.message = std::move(message);
    return result;
}

TEST_F(CardWindow, ClipMarkedAcrossRecordingsIsExportedWithProgressCancelAndAnswers)
{
    auto fake = std::make_shared<FakeExport>();
    exportClip = [fake](const ClipRequest& r, const ClipProgressFn& p, const std::atomic<bool>& c) {
        return fake->Run(r, p, c);
    };
    Start(false);
    OpenEventCard();
    clipPath = dir.File("clip.mp4");
    const auto* slider = static_cast<CVideoSlider*>(window->Control(IDC_POSITION_SLIDER));
    QAction* exportEntry = window->Menu().Action(IDM_EXPORT_CLIP);
    const auto exportEnabled = [&] {
        window->Menu().Refresh();
        return exportEntry->isEnabled();
    };

    // In at 2 s of the first recording; nothing to export yet.
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 2000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return slider->GetPos() > 0; }, 2000));
    QTest::keyClick(window.get(), Qt::Key_I);
    ASSERT_TRUE(window->Marks().in.has_value());
    EXPECT_EQ(window->Marks().in->index, 0);
    EXPECT_NEAR(static_cast<double>(window->Marks().in->timeMs), 2000, 500);
    EXPECT_NEAR(slider->InMark(), 66, 17);
    EXPECT_FALSE(exportEnabled());

    // Out at the swerve in the third recording, reached with N.
    QTest::keyClick(window.get(), Qt::Key_N);
    ASSERT_TRUE(QTest::qWaitFor([&] { return front.Last("time") == "time 10000"; }, 3000));
    QTest::keyClick(window.get(), Qt::Key_N);
    front.Fire(VlcEventType::MediaPlayerPlaying);  // the third recording opened
    ASSERT_TRUE(QTest::qWaitFor([&] { return front.Last("time") == "time 20000"; }, 3000));
    ASSERT_EQ(window->Manager().CurrentIndex(), 2);
    QTest::keyClick(window.get(), Qt::Key_O);
    EXPECT_EQ(slider->InMark(), CVideoSlider::kNoMark);
    EXPECT_NEAR(slider->OutMark(), 666, 17);
    ASSERT_TRUE(exportEnabled());

    // A clip already there: the user agrees to replace it; half done, a minute left, then Cancel.
    fake->Push([](const ClipProgressFn&, const std::atomic<bool>&) {
        return Failure(ClipFailure::TargetExists, "exists");
    });
    fake->Push([](const ClipProgressFn& progress, const std::atomic<bool>& cancel) {
        progress(ClipProgress{0.5, 15000, 30000, 65.2});
        while (!cancel.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return Failure(ClipFailure::Canceled, "canceled");
    });
    exportEntry->trigger();
    QProgressDialog* dialog = window->ClipExport().ProgressDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->labelText().contains(QStringLiteral("1:06")); }, 3000));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->value(), 500);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], "? Confirm to overwrite the file.: File \"" + clipPath +
                             "\" is already exist. Are you sure to overwrite it?");
    QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->ClipExport().Running(); }, 3000));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(events.size(), 1u);  // a cancel the user asked for is not reported

    const std::vector<ClipRequest> requests = fake->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[0].replaceExisting);
    EXPECT_TRUE(requests[1].replaceExisting);
    EXPECT_EQ(requests[1].outPath, clipPath);
    EXPECT_EQ(requests[1].recordings,
              (std::vector<std::string>{card + "/FILE0001.AVI", card + "/FILE0002.AVI", card + "/FILE0003.AVI"}));
    EXPECT_EQ(requests[1].toRecording, 2u);
    EXPECT_NEAR(static_cast<double>(requests[1].fromMs), 2000, 500);
    EXPECT_NEAR(static_cast<double>(requests[1].toMs), 20000, 500);
    EXPECT_FALSE(fake->onWindowThread);

    // Again: written, though the recordings ended before the out mark.
    const std::string gpx = dir.File("clip.gpx");
    fake->Push([this, gpx](const ClipProgressFn&, const std::atomic<bool>&) {
        ClipResult result;
        result.ok = true;
        result.clipPath = clipPath;
        result.gpxPath = gpx;
        result.endedEarly = true;
        return result;
    });
    exportEntry->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() == 2; }, 3000));
    EXPECT_EQ(events[1], "Export clip...: Clip saved: " + clipPath + "\nRoute (GPX): " + gpx +
                             "\nThe recordings end before the out mark, so the clip ends early.");

    // A full disk is reported as a failure, with the reason.
    fake->Push([](const ClipProgressFn&, const std::atomic<bool>&) {
        return Failure(ClipFailure::NoSpace, "no space left on the device");
    });
    exportEntry->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() == 3; }, 3000));
    EXPECT_EQ(events[2], "Export clip...: Clip export failed: no space left on the device");

    // Replacing declined: nothing runs again and nothing is reported.
    answers.push_back(false);
    fake->Push([](const ClipProgressFn&, const std::atomic<bool>&) {
        return Failure(ClipFailure::TargetExists, "exists");
    });
    exportEntry->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() == 4 && !window->ClipExport().Running(); }, 3000));
    EXPECT_TRUE(events[3].starts_with("? "));
    QTest::qWait(50);
    EXPECT_EQ(fake->Requests().size(), 5u);
    EXPECT_EQ(events.size(), 4u);

    // The first recording gone from the catalogue (deleted): its mark marks nothing any more.
    window->Manager().MutableEntries().erase(window->Manager().MutableEntries().begin());
    EXPECT_FALSE(exportEnabled());
}

}  // namespace
}  // namespace trivane
