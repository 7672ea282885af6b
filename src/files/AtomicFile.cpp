#include "files/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "files/FileSystem.h"
#include "files/RenameNoReplace.h"

namespace trivane {

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Open(const std::string& path) {
    Discard();
    std::string target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr) target = resolved;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    bool exists = false;
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR) == 0) return false;
        mode = st.st_mode & 07777;
        exists = true;
    } else if (errno != ENOENT) {
        return false;
    }

    const std::size_t slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty()) return false;
    const std::string pattern = ParentFolder(target) + "/." + name + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) return false;
    if (exists) {
        // Keeps the owner when root rewrites another user's file; failing that is harmless.
        const int ignored = ::fchown(fd, st.st_uid, st.st_gid);
        (void)ignored;
    }
    if (::fchmod(fd, mode) != 0 || (file_ = ::fdopen(fd, "wb")) == nullptr) {
        ::close(fd);
        ::unlink(buffer.data());
        return false;
    }
    target_ = target;
    temporary_ = buffer.data();
    failed_ = false;
    return true;
}

bool AtomicFile::Write(std::string_view text) {
    if (file_ == nullptr) return false;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
    return !failed_;
}

bool AtomicFile::Commit() { return Finish(true); }

bool AtomicFile::CommitNoReplace() { return Finish(false); }

bool AtomicFile::Finish(bool replace) {
    if (file_ == nullptr) return false;
    bool ok = !failed_ && std::fflush(file_) == 0 && std::ferror(file_) == 0;
    if (ok) ok = ::fsync(::fileno(file_)) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    int error = ok ? 0 : (errno != 0 ? errno : EIO);
    if (ok && replace && std::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
    if (ok && !replace) error = RenameNoReplace(temporary_, target_);
    ok = error == 0;
    if (ok) {
        SyncFolder(ParentFolder(target_));
    } else {
        ::unlink(temporary_.c_str());
    }
    temporary_.clear();
    errno = error;
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

bool WriteFileAtomically(const std::string& path, std::string_view content) {
    AtomicFile file;
    return file.Open(path) && file.Write(content) && file.Commit();
}

}  // namespace trivane
