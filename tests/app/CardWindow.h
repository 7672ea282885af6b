#pragma once

// The main window offscreen on a temporary card of three groups, with fake channels, and its
// message boxes, questions and folder dialog scripted. Events (messages and questions) are kept
// in order as "caption: text", questions starting with "? ".
#include <QApplication>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <unistd.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FakeChannel.h"
#include "FileText.h"
#include "TempDir.h"
#include "TestCard.h"
#include "app/CQENDlg.h"
#include "app/CSettingsFile.h"
#include "app/ControlIds.h"
#include "library/qt/IPathChooser.h"

namespace trivane::test {

// Folder answers in order; nothing left (or std::nullopt) is a cancelled dialog.
class ScriptedFolders final : public IPathChooser {
public:
    bool ChooseFile(QWidget*, const QString&, std::string&) override { return false; }
    bool ChooseFolder(QWidget*, const QString& caption, const std::string& initialFolder, std::string& path) override
    {
        asked.push_back(caption.toStdString() + " [" + initialFolder + "]");
        if (answers.empty()) return false;
        const std::optional<std::string> answer = answers.front();
        answers.pop_front();
        if (!answer) return false;
        path = *answer;
        return true;
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> asked;
};

class CardWindow : public ::testing::Test {
protected:
    // Group 0: a front/rear pair; group 1: one front file; group 2: a front file the camera locked.
    void WriteCard()
    {
        MakeFolder(card);
        WriteMov(card + "/FILE240315-081500F.MOV", "2024-03-15 08:15:00", 30);
        WriteMov(card + "/FILE240315-081500R.MOV", "2024-03-15 08:15:00", 30);
        WriteMov(card + "/FILE240315-081600F.MOV", "2024-03-15 08:16:00", 30);
        WriteMov(card + "/FILG240315-081700F.MOV", "2024-03-15 08:17:00", 30);
    }

    void Start(bool openCard = true)
    {
        settings = std::make_unique<CSettingsFile>(dir.File("Qen.ini"));
        CQENDlg::Seams seams;
        seams.messageBox = [this](const QString& text, const QString& caption) {
            events.push_back((caption + QStringLiteral(": ") + text).toStdString());
        };
        seams.okCancel = [this](const QString& text, const QString& caption) {
            events.push_back((QStringLiteral("? ") + caption + QStringLiteral(": ") + text).toStdString());
            if (duringQuestion) duringQuestion();
            if (answers.empty()) return true;
            const bool answer = answers.front();
            answers.pop_front();
            return answer;
        };
        seams.question = seams.okCancel;
        seams.pathChooser = folders;
        seams.chooseClipPath = [this](QWidget*, std::string& path) {
            path = clipPath;
            return !path.empty();
        };
        seams.exportClip = exportClip;
        seams.chooseSource = [this](QWidget*, SourceChoice&) {
            ++sourceDialogs;
            return false;
        };
        window = std::make_unique<CQENDlg>(*settings, front, rear, std::move(seams));
        window->Initialise();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        if (!openCard) return;
        WriteCard();
        window->OpenPath(card);
        ASSERT_TRUE(QTest::qWaitFor([&] { return front.Count("play") > 0; }, 3000));
    }

    // One group of three recordings: a hard stop 10 s into the first, a quiet second, a swerve 20 s
    // into the third; the front channel reports them 30 s long. Opened and playing.
    void OpenEventCard()
    {
        writer::Telemetry quiet;
        quiet.samples.assign(300, GSensorSample{0, 0, 64});  // 1 G down, 10 a second
        quiet.gsensorRateCode = 5;
        quiet.gsensorRange = 16;
        writer::Telemetry stop = quiet;
        for (std::size_t i = 100; i < 103; ++i) stop.samples[i].x = -64;
        writer::Telemetry swerve = quiet;
        for (std::size_t i = 200; i < 203; ++i) swerve.samples[i].y = 70;
        MakeFolder(card);
        WriteAvi(card + "/FILE0001.AVI", "2024-03-15 08:15:00", 30, stop);
        WriteAvi(card + "/FILE0002.AVI", "2024-03-15 08:15:30", 30, quiet);
        WriteAvi(card + "/FILE0003.AVI", "2024-03-15 08:16:00", 30, swerve);
        front.length = 30000;
        window->OpenPath(card);
        ASSERT_TRUE(QTest::qWaitFor([&] { return front.Count("play") > 0; }, 3000));
        ASSERT_EQ(window->Manager().Groups().size(), 1u);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    QTreeWidget* List(int id) const { return window->findChild<QTreeWidget*>(QString::number(id)); }
    void Tick(int group) const { List(IDC_GROUP_LIST)->topLevelItem(group)->setCheckState(0, Qt::Checked); }
    bool Exists(const std::string& path) const { return ::access(path.c_str(), F_OK) == 0; }

    TempDir dir;
    std::string card = dir.File("card");
    FakeChannel front;
    FakeChannel rear;
    std::shared_ptr<ScriptedFolders> folders = std::make_shared<ScriptedFolders>();
    std::unique_ptr<CSettingsFile> settings;
    std::unique_ptr<CQENDlg> window;
    std::vector<std::string> events;
    std::deque<bool> answers;  // OK unless told otherwise
    std::function<void()> duringQuestion;
    int sourceDialogs = 0;  // the source dialog is cancelled
    std::string clipPath;   // the clip file dialog's answer; empty: cancelled
    std::function<ClipResult(const ClipRequest&, const ClipProgressFn&, const std::atomic<bool>&)> exportClip;
};

}  // namespace trivane::test
