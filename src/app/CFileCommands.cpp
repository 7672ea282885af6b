#include "app/CFileCommands.h"

#include "app/IFileCommandView.h"
#include "files/FileSystem.h"
#include "library/CRecordingManager.h"
#include "library/qt/CFolderDialog.h"
#include "app/UIStrings.h"
#include "playback/CPlaybackController.h"

namespace trivane {
namespace {

// `text` with "%1", "%2" and "%3" replaced in one pass: what an argument brings in (a path
// holding "%2", say) is never replaced again.
std::string FormatNumbered(const std::string& text, const std::string (&values)[3])
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '3') {
            out += values[text[i + 1] - '1'];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Busy for the lifetime of the object.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& busy_;
};

}  // namespace

CFileCommands::CFileCommands(CRecordingManager& recordings, CPlaybackController& controller, IFileCommandView& view)
    : recordings_(recordings), controller_(controller), view_(view)
{
}

bool CFileCommands::CatalogueEmpty()
{
    if (!recordings_.Entries().empty()) return false;
    view_.ShowMessage(kTextNoFiles, kTextOk);
    return true;
}

void CFileCommands::Unlock()
{
    if (busy_ || CatalogueEmpty()) return;
    const BusyScope busy(busy_);
    const std::string played = recordings_.CurrentPath();
    if (recordings_.UnlockTicked() == 0) {
        view_.ShowMessage(kTextNothingTicked, kTextSelectionCaption);
        return;
    }
    // The players go on from their open files; their next start must use the new names.
    if (recordings_.CurrentPath() != played) controller_.RecordingRenamed();
    ReportFailures();
}

void CFileCommands::Delete()
{
    if (busy_ || CatalogueEmpty()) return;
    const BusyScope busy(busy_);
    controller_.Stop();
    if (!view_.AskOkCancel(view_.UIText(kTextDeleteQuestion), kTextDeleteCaption)) return;
    const std::string played = recordings_.CurrentPath();
    if (recordings_.DeleteTicked() == 0) {
        view_.ShowMessage(kTextNothingTicked, kTextSelectionCaption);
        return;
    }
    FollowPlayedRecording(played);
    ReportFailures();
}

// Entries behind a deleted one moved up: the played one is found again by its path. When it is
// gone, the channels must not start its file again.
void CFileCommands::FollowPlayedRecording(const std::string& playedPath)
{
    const int index = playedPath.empty() ? -1 : recordings_.FindEntry(playedPath);
    if (index >= 0) {
        if (index != recordings_.CurrentIndex()) recordings_.SelectCurrent(index);
        return;
    }
    recordings_.ClampCurrentIndex();
    controller_.DropRecording();
}

void CFileCommands::SaveAs()
{
    if (busy_ || CatalogueEmpty()) return;
    const BusyScope busy(busy_);
    // Stopped and hidden until the user starts playback again, whatever the outcome.
    controller_.Stop();
    std::string folder;
    const int chosen = view_.ChooseFolder(kTextFolderTitle, folder);
    if (chosen == CFolderDialog::kCancelled) return;
    if (chosen == CFolderDialog::kOk && IsDirectory(folder)) {
        CopyTo(folder);
        return;
    }
    view_.ShowWarningText(view_.UIText(kTextNoFolder), kTextWarning);
}

void CFileCommands::CopyTo(const std::string& folder)
{
    if (recordings_.CopyTicked(folder) == 0) {
        view_.ShowMessage(kTextNothingTicked, kTextSelectionCaption);
        return;
    }
    ReportFailures();
}

void CFileCommands::ReportFailures()
{
    const FileOperationReport& report = recordings_.LastFileOperationReport();
    if (report.failures <= 0) return;
    const std::string values[3] = {std::to_string(report.failures), report.firstFailedPath, report.firstReason};
    view_.ShowWarningText(FormatNumbered(view_.UIText(kTextFailures), values), kTextWarning);
}

bool CFileCommands::ConfirmOverwrite(const std::string& targetPath)
{
    return view_.AskOkCancel(FormatUIText(view_.UIText(kTextOverwrite), targetPath), kTextOverwriteCaption);
}

void CFileCommands::KeepResponsive() { view_.ProcessEventsExceptInput(); }

}  // namespace trivane
