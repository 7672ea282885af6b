#pragma once

#include <string>

namespace trivane::test {

// A fresh folder under $TMPDIR (else /tmp), removed with everything in it, also folders a test
// made unreadable.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }  // no trailing '/'
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::string operator/(const std::string& name) const { return File(name); }

private:
    std::string path_;
};

}  // namespace trivane::test
