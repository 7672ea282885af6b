// Unlock, delete and copy of the ticked groups. In the report, `treated` counts the recordings
// unlocked (every lock removed), deleted or copied; side files are not counted.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/FileSystem.h"
#include "files/RenameNoReplace.h"
#include "files/SafeCopy.h"
#include "library/CRecordingManager.h"
#include "library/IFileList.h"
#include "library/IFileOperationHost.h"
#include "library/IGroupList.h"
#include "library/IOwnerWindow.h"
#include "library/IStatusBoard.h"

namespace trivane {

namespace {

bool IsTransportStream(const std::string& name) {
    return name.size() > 3 && name.compare(name.size() - 3, 3, ".TS") == 0;
}

// A .TS recording's GPS lives in a side file of the same base name.
std::string SideFileName(const std::string& recordingName) {
    return recordingName.substr(0, recordingName.size() - 3) + ".NMEA";
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Renames a recording and, for a .TS, its side file, so that both keep their pairing: the side
// file goes first and comes back when the recording cannot follow. 0 or an errno value; `failed`
// names the path that could not be renamed.
int RenamePair(const std::string& folder, const std::string& oldName, const std::string& newName,
               std::string& failed) {
    const std::string from = JoinPath(folder, oldName);
    const std::string to = JoinPath(folder, newName);
    std::string sideFrom;
    std::string sideTo;
    if (IsTransportStream(oldName) && IsRegularFile(JoinPath(folder, SideFileName(oldName)))) {
        sideFrom = JoinPath(folder, SideFileName(oldName));
        sideTo = JoinPath(folder, SideFileName(newName));
        if (const int error = RenameNoReplace(sideFrom, sideTo); error != 0) {
            failed = sideFrom;
            return error;
        }
    }
    const int error = RenameNoReplace(from, to);
    if (error != 0) {
        failed = from;
        if (!sideFrom.empty()) RenameNoReplace(sideTo, sideFrom);
    }
    return error;
}

// The folder with its missing parents; 0 or the errno value of the step that failed.
int MakeFolder(const std::string& path) {
    if (path.empty()) return ENOENT;
    if (IsDirectory(path)) return 0;
    int error = ENOTDIR;
    std::string full = path;
    if (full.back() != '/') full += '/';
    for (std::size_t pos = full.find('/', 1); pos != std::string::npos; pos = full.find('/', pos + 1)) {
        if (::mkdir(full.substr(0, pos).c_str(), 0777) != 0 && errno != EEXIST) error = errno;
    }
    return IsDirectory(path) ? 0 : error;
}

void ShowProgress(IStatusBoard* board, int percent) {
    if (board == nullptr) return;
    char caption[16];
    std::snprintf(caption, sizeof caption, "%d %c", percent, '%');
    board->SetProgress(percent, caption);
}

struct CopyItem {
    std::string sourceFolder;
    std::string relativeFolder;
    std::string fileName;
};

}  // namespace

int CRecordingManager::CollectTickedGroups() {
    bool any = false;
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        const bool checked = groupList_ != nullptr && groupList_->IsRowChecked(static_cast<int>(g));
        groups_[g].ticked = checked ? 1 : 0;
        any = any || checked;
    }
    return any ? 1 : 0;
}

int CRecordingManager::FindEntry(const std::string& fullPath) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (FullPath(static_cast<int>(i)) == fullPath) return static_cast<int>(i);
    }
    return -1;
}

int CRecordingManager::UnlockTicked() {
    lastReport_ = FileOperationReport{};
    if (CollectTickedGroups() == 0) return 0;
    for (RecordingGroup& group : groups_) {
        if (group.ticked == 0) continue;
        for (std::int32_t i = group.firstIndex; i < group.firstIndex + group.count; ++i) {
            RecordingEntry& entry = entries_[static_cast<std::size_t>(i)];
            if ((entry.lockFlags & (LOCK_MANUAL | LOCK_EVENT)) == 0) continue;
            const std::string folder = JoinPath(entry.rootFolder, entry.relativeFolder);
            const std::string path = JoinPath(folder, entry.fileName);
            if ((entry.lockFlags & LOCK_MANUAL) != 0) {
                struct stat st {};
                if (::stat(path.c_str(), &st) == 0 && ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0) {
                    entry.lockFlags = static_cast<std::uint8_t>(entry.lockFlags & ~LOCK_MANUAL);
                } else {
                    lastReport_.Fail(path, std::strerror(errno));
                }
            }
            if ((entry.lockFlags & LOCK_EVENT) != 0) {
                std::string newName = entry.fileName;
                newName[3] = '_';
                std::string failed;
                if (const int error = RenamePair(folder, entry.fileName, newName, failed); error != 0) {
                    lastReport_.Fail(failed, std::strerror(error));
                } else {
                    entry.fileName = newName;
                    entry.lockFlags = static_cast<std::uint8_t>(entry.lockFlags & ~LOCK_EVENT);
                    // The loaded route stays with its recording under the new name.
                    if (track_.sourcePath == path) track_.sourcePath = JoinPath(folder, newName);
                }
            }
            if ((entry.lockFlags & (LOCK_MANUAL | LOCK_EVENT)) == 0) ++lastReport_.treated;
        }
        // The padlock shows what is still locked, whatever failed.
        group.lockFlags = 0;
        for (std::int32_t i = group.firstIndex; i < group.firstIndex + group.count; ++i) {
            group.lockFlags |= entries_[static_cast<std::size_t>(i)].lockFlags;
        }
    }
    if (groupList_ != nullptr) groupList_->DeleteAllRows();
    if (fileList_ != nullptr) fileList_->DeleteAllRows();
    FillLists();
    return 1;
}

int CRecordingManager::DeleteTicked() {
    lastReport_ = FileOperationReport{};
    if (CollectTickedGroups() == 0) return 0;
    for (std::size_t g = groups_.size(); g-- > 0;) {
        const RecordingGroup& group = groups_[g];
        if (group.ticked == 0) continue;
        for (std::int32_t i = group.firstIndex + group.count; i-- > group.firstIndex;) {
            const auto index = static_cast<std::size_t>(i);
            const std::string path = FullPath(i);
            // The read-only bit stays: Linux unlinks without it, and a failed unlink keeps the lock.
            if (::unlink(path.c_str()) != 0) {
                lastReport_.Fail(path, std::strerror(errno));
                continue;
            }
            ++lastReport_.treated;
            // A surviving entry of this group keeps it apart from the group before.
            if (entries_[index].groupStart != 0 && index + 1 < entries_.size()) entries_[index + 1].groupStart = 1;
            entries_.erase(entries_.begin() + i);
        }
    }
    if (lastReport_.treated == 0) return 1;
    if (groupList_ != nullptr) groupList_->DeleteAllRows();
    if (fileList_ != nullptr) fileList_->DeleteAllRows();
    if (entries_.empty()) {
        groups_.clear();
        rows_.clear();
    } else {
        MarkGroups();
    }
    return 1;
}

int CRecordingManager::CopyTicked(const std::string& destination) {
    lastReport_ = FileOperationReport{};
    if (CollectTickedGroups() == 0) return 0;
    // A snapshot: the window paints between files and chunks, and nothing here may depend on the
    // catalogue staying as it was meanwhile.
    std::vector<CopyItem> items;
    for (const RecordingGroup& group : groups_) {
        if (group.ticked == 0) continue;
        for (std::int32_t i = group.firstIndex; i < group.firstIndex + group.count; ++i) {
            const RecordingEntry& e = entries_[static_cast<std::size_t>(i)];
            items.push_back({JoinPath(e.rootFolder, e.relativeFolder), e.relativeFolder, e.fileName});
        }
    }

    IFileOperationHost* host = fileOperationHost_;
    CopyHooks hooks;
    if (host != nullptr) {
        hooks.approveOverwrite = [host](const std::string& target) { return host->ConfirmOverwrite(target); };
        hooks.keepResponsive = [host] { host->KeepResponsive(); };
    }
    IStatusBoard* board = owner_ != nullptr ? owner_->StatusBoard() : nullptr;
    if (board != nullptr) board->ShowBoard(true);
    ShowProgress(board, 0);

    const std::size_t total = items.size();
    std::size_t done = 0;
    for (const CopyItem& item : items) {
        const std::string targetFolder = JoinPath(destination, item.relativeFolder);
        const std::string source = JoinPath(item.sourceFolder, item.fileName);
        const std::string target = JoinPath(targetFolder, item.fileName);
        if (const int error = MakeFolder(targetFolder); error != 0) {
            lastReport_.Fail(targetFolder, std::strerror(error));
        } else {
            const CopyResult result = SafeCopy(source, target, hooks);
            if (result.outcome == CopyResult::Outcome::Failed) lastReport_.Fail(result.failedPath, result.reason);
            if (result.Copied()) {
                ++lastReport_.treated;
                const std::string side = SideFileName(item.fileName);
                if (IsTransportStream(item.fileName) && IsRegularFile(JoinPath(item.sourceFolder, side))) {
                    const std::string sideTarget = JoinPath(targetFolder, side);
                    const CopyResult sideResult = SafeCopy(JoinPath(item.sourceFolder, side), sideTarget, hooks);
                    if (sideResult.outcome == CopyResult::Outcome::Failed) {
                        lastReport_.Fail(sideResult.failedPath, sideResult.reason);
                    }
                }
            }
        }
        ++done;
        ShowProgress(board, static_cast<int>(100 * done / total));
        if (host != nullptr) host->KeepResponsive();
    }
    if (board != nullptr) board->ShowBoard(false);
    return 1;
}

}  // namespace trivane
