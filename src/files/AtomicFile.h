#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace trivane {

// A file written under a temporary name in its final folder and renamed into place only when
// every write succeeded, so the file holds either the old or the new content, never a cut one.
// A symbolic link is followed and its target replaced. An existing file keeps its permissions
// and, where allowed, its owner; one that is not a regular file or lacks the owner write bit is
// refused, as a plain create would be.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    bool Write(std::string_view text);
    // Flushes, syncs, closes and renames; false (and nothing under the final name changed) on any error.
    bool Commit();
    // The same, but only while nothing is under the final name: false with errno EEXIST otherwise.
    bool CommitNoReplace();
    void Discard();
    // The hidden file written until Commit, for another program to fill; empty when not open.
    const std::string& TemporaryPath() const { return temporary_; }

private:
    bool Finish(bool replace);

    std::FILE* file_ = nullptr;
    std::string target_;
    std::string temporary_;
    bool failed_ = false;
};

// The whole content at once, through an AtomicFile.
bool WriteFileAtomically(const std::string& path, std::string_view content);

}  // namespace trivane
