#pragma once

#include <string>

#include "library/IFileOperationHost.h"

namespace trivane {

class CPlaybackController;
class CRecordingManager;
class IFileCommandView;

// The Unlock, Delete and Save as commands on the groups ticked in the group list: the questions
// and messages around the catalogue's file operations, the players stopped where a file may go,
// and the player kept consistent when the recording it holds is deleted. While one runs (a copy
// handles events), Busy() tells the window to hold off its timers and anything that would start
// playback.
class CFileCommands final : public IFileOperationHost {
public:
    // Texts of the language tables.
    static constexpr int kTextDeleteQuestion = 129;
    static constexpr int kTextDeleteCaption = 128;
    static constexpr int kTextFolderTitle = 130;
    static constexpr int kTextWarning = 131;
    static constexpr int kTextNoFolder = 132;
    static constexpr int kTextNothingTicked = 135;
    static constexpr int kTextNoFiles = 136;
    static constexpr int kTextOverwriteCaption = 140;
    static constexpr int kTextOverwrite = 141;  // "%s": the target
    static constexpr int kTextSelectionCaption = 144;
    static constexpr int kTextOk = 145;
    static constexpr int kTextFailures = 148;  // %1 count, %2 first failing path, %3 its reason

    CFileCommands(CRecordingManager& recordings, CPlaybackController& controller, IFileCommandView& view);
    CFileCommands(const CFileCommands&) = delete;
    CFileCommands& operator=(const CFileCommands&) = delete;

    void Unlock();
    void Delete();
    void SaveAs();
    bool Busy() const { return busy_; }

    // IFileOperationHost
    bool ConfirmOverwrite(const std::string& targetPath) override;
    void KeepResponsive() override;

private:
    bool CatalogueEmpty();
    void ReportFailures();
    void FollowPlayedRecording(const std::string& playedPath);
    void CopyTo(const std::string& folder);

    CRecordingManager& recordings_;
    CPlaybackController& controller_;
    IFileCommandView& view_;
    bool busy_ = false;
};

}  // namespace trivane
