#include "export/AtomicFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace trivane {

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Open(const std::string& path) {
    Discard();
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) return false;
    std::string pattern = folder + "." + name + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) return false;
    // mkostemp creates 0600; give the document the permissions a plain create would.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        ::close(fd);
        ::unlink(buffer.data());
        return false;
    }
    path_ = path;
    temporary_ = buffer.data();
    failed_ = false;
    return true;
}

bool AtomicFile::Write(std::string_view text) {
    if (file_ == nullptr) return false;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
    return !failed_;
}

bool AtomicFile::Commit() {
    if (file_ == nullptr) return false;
    bool ok = !failed_ && std::fflush(file_) == 0 && std::ferror(file_) == 0;
    if (ok) ok = ::fsync(::fileno(file_)) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (ok) ok = std::rename(temporary_.c_str(), path_.c_str()) == 0;
    if (!ok) ::unlink(temporary_.c_str());
    temporary_.clear();
    return ok;
}

void AtomicFile::Discard() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

}  // namespace trivane
