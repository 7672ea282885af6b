#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace trivane {

// A file written under a temporary name in its final folder and renamed into place only when
// every write succeeded, so a failed export never leaves a truncated document behind.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    bool Write(std::string_view text);
    // Flushes, closes and renames; false (and nothing under the final name changed) on any error.
    bool Commit();
    void Discard();

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string temporary_;
    bool failed_ = false;
};

}  // namespace trivane
