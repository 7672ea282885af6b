#include "library/CRecordingManager.h"

#include <algorithm>

#include "files/FileSystem.h"
#include "library/IFileList.h"
#include "library/IGroupList.h"
#include "library/IVideoSurface.h"
#include "library/RecordingName.h"
#include "library/ResolutionName.h"
#include "library/WalkFolder.h"
#include "telemetry/CQenVideoParser.h"
#include "telemetry/IGSensorCurve.h"

namespace trivane {

namespace {

bool EndsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && std::string_view(text).substr(text.size() - tail.size()) == tail;
}

}  // namespace

void CRecordingManager::ClearCatalogue() {
    entries_.clear();
    groups_.clear();
    rows_.clear();
    currentIndex_ = -1;
    // A source opened again may hold other recordings under the same paths (another card).
    track_.sourcePath.clear();
    if (groupList_ != nullptr) groupList_->DeleteAllRows();
    if (fileList_ != nullptr) fileList_->DeleteAllRows();
    if (curve_ != nullptr) curve_->ResetSamples();
}

int CRecordingManager::OpenSource(const std::string& folder, const std::string& fileName) {
    ClearCatalogue();
    if (fileName.empty()) {
        scanCount_ = 0;
        if (!WalkFolder(folder, &CRecordingManager::AddScannedFile, this)) return 0;
    } else if (!AddSingleFile(folder, fileName)) {
        return 0;
    }
    if (!entries_.empty()) {
        SortEntries();
        MarkGroups();
    }
    return 1;
}

void CRecordingManager::AddScannedFile(const std::string& root, const std::string& relativeFolder,
                                       const std::string& name, bool isDirectory, void* context) {
    if (isDirectory) return;
    auto* self = static_cast<CRecordingManager*>(context);
    const NameCheck check = IsRecordingName(root + relativeFolder, name);
    if (check.accepted) {
        RecordingEntry entry;
        entry.lockFlags = static_cast<std::uint8_t>((check.eventFlag ? LOCK_EVENT : 0) |
                                                    (check.manualFlag ? LOCK_MANUAL : 0));
        entry.fileName = name;
        entry.rootFolder = root;
        entry.relativeFolder = relativeFolder;
        self->ParseAndAppend(std::move(entry), false);
    }
    if (self->videoSurface_ != nullptr) self->videoSurface_->SetCounter(self->scanCount_);
    ++self->scanCount_;
}

bool CRecordingManager::AddSingleFile(const std::string& folder, const std::string& fileName) {
    RecordingEntry entry;
    entry.rootFolder = folder;
    entry.fileName = fileName;
    if (!PathExists(JoinPath(folder, fileName))) return false;
    if (fileName.size() > 3 && fileName[3] == 'G') entry.lockFlags = LOCK_EVENT;
    ParseAndAppend(std::move(entry), true);
    return true;
}

bool CRecordingManager::ParseAndAppend(RecordingEntry entry, bool setManualFromFile) {
    const std::string path = JoinPath(JoinPath(entry.rootFolder, entry.relativeFolder), entry.fileName);
    entry.info = ContainerInfo{};
    auto parser = CreateParserForName(entry.fileName);
    parser->SetInfo(&entry.info);
    const bool parsed = parser->Parse(path) == 0;
    if (!parsed && !EndsWith(entry.fileName, ".TS")) return false;
    if (!parsed) entry.info = ContainerInfo{};
    if (setManualFromFile && IsReadOnly(path)) entry.lockFlags |= LOCK_MANUAL;
    entries_.push_back(std::move(entry));
    return true;
}

void CRecordingManager::SortEntries() {
    std::sort(entries_.begin(), entries_.end(), [](const RecordingEntry& a, const RecordingEntry& b) {
        return RecordingNameLess(a.fileName, b.fileName);
    });
}

std::string CRecordingManager::FullPath(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return {};
    const RecordingEntry& e = entries_[static_cast<std::size_t>(index)];
    return JoinPath(JoinPath(e.rootFolder, e.relativeFolder), e.fileName);
}

std::string CRecordingManager::CurrentPath() const { return FullPath(currentIndex_); }

void CRecordingManager::MarkGroups() {
    groups_.clear();
    rows_.clear();
    if (!entries_.empty()) entries_[0].groupStart = 1;
    for (std::size_t i = 1; i < entries_.size(); ++i) {
        const ContainerInfo& previous = entries_[i - 1].info;
        // Wrapping arithmetic: absurd times from a damaged header must not be undefined behaviour.
        const auto previousEnd = static_cast<std::int64_t>(static_cast<std::uint64_t>(previous.startTime) +
                                                           static_cast<std::uint64_t>(previous.durationSeconds));
        const auto gap = static_cast<std::int64_t>(static_cast<std::uint64_t>(entries_[i].info.startTime) -
                                                   static_cast<std::uint64_t>(previousEnd));
        // Marks are only ever added: after deletions groups may split but never merge.
        if (gap < -2 || gap > 2) entries_[i].groupStart = 1;
    }
    BuildGroups();
    FillLists();
}

void CRecordingManager::BuildGroups() {
    groups_.clear();
    rows_.clear();
    RecordingGroup group;
    std::int32_t started = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const RecordingEntry& e = entries_[i];
        if (e.groupStart != 0 || i == 0) {
            if (i > 0) groups_.push_back(group);
            group = RecordingGroup{};
            group.number = started++;
            group.firstIndex = static_cast<std::int32_t>(i);
        }
        rows_.push_back(FileRow{group.number, group.count, static_cast<std::int32_t>(i), e.info.fileSize,
                                e.info.durationMs});
        ++group.count;
        group.totalSize += e.info.fileSize;
        group.totalDurationMs += e.info.durationMs;
        group.lockFlags |= e.lockFlags;
    }
    if (!entries_.empty()) groups_.push_back(group);
}

void CRecordingManager::FillLists() {
    for (const RecordingGroup& g : groups_) {
        const RecordingEntry& first = entries_[static_cast<std::size_t>(g.firstIndex)];
        const std::string text = ResolutionName(first.info.videoWidth, first.info.videoHeight);
        if (groupList_ != nullptr) {
            groupList_->AddGroupRow(g.number, text, g.totalDurationMs, g.totalSize, g.lockFlags, first.info.startTime);
        }
    }
    for (const FileRow& row : rows_) {
        const RecordingEntry& e = entries_[static_cast<std::size_t>(row.entryIndex)];
        if (fileList_ != nullptr) fileList_->AddFileRow(e.fileName, e.lockFlags);
    }
}

int CRecordingManager::SelectCurrent(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return 0;
    if (groupList_ != nullptr) groupList_->SetCurrentHighlight(currentGroup_, false);
    if (fileList_ != nullptr && currentIndex_ >= 0) fileList_->SetCurrentHighlight(currentIndex_, false);
    currentIndex_ = index;
    for (const RecordingGroup& g : groups_) {
        if (index < g.firstIndex + g.count) {
            currentGroup_ = g.number;
            break;
        }
    }
    if (groupList_ != nullptr) {
        groupList_->SetCurrentHighlight(currentGroup_, true);
        groupList_->EnsureRowVisible(currentGroup_);
    }
    if (fileList_ != nullptr) {
        fileList_->SetCurrentItem(index);
        fileList_->SetCurrentHighlight(index, true);
        fileList_->EnsureRowVisible(index);
    }
    return 1;
}

void CRecordingManager::ClampCurrentIndex() {
    if (currentIndex_ >= static_cast<int>(entries_.size())) currentIndex_ = static_cast<int>(entries_.size()) - 1;
}

}  // namespace trivane
