#include "files/SafeCopy.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "files/FileSystem.h"
#include "files/RenameNoReplace.h"

namespace trivane {
namespace {

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

CopyResult Failure(const std::string& path, int error) {
    return {CopyResult::Outcome::Failed, std::strerror(error), path};
}
CopyResult Failure(const std::string& path, const char* reason) { return {CopyResult::Outcome::Failed, reason, path}; }

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    int Close() {
        if (fd_ < 0) return 0;
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// Removes the temporary unless it was renamed into place.
class Temporary {
public:
    explicit Temporary(std::string path) : path_(std::move(path)) {}
    ~Temporary() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    const std::string& Path() const { return path_; }
    void Release() { path_.clear(); }

private:
    std::string path_;
};

bool Unsupported(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP ||
           error == EBADF;
}

ssize_t ReadWrite(int in, int out, std::size_t count, std::vector<char>& buffer) {
    if (buffer.size() < count) buffer.resize(count);
    ssize_t got;
    do {
        got = ::read(in, buffer.data(), count);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) return got;
    for (ssize_t written = 0; written < got;) {
        const ssize_t n = ::write(out, buffer.data() + written, static_cast<std::size_t>(got - written));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return -1;
        }
        written += n;
    }
    return got;
}

// Copies from the current offsets to the end of `in`: copy_file_range, else sendfile, else read
// and write. Returns 0 or an errno value; `copied` counts the bytes.
int CopyData(int in, int out, off_t expected, const CopyHooks& hooks, off_t& copied) {
    enum Method { kRange, kSendfile, kReadWrite } method = kRange;
    const std::size_t chunk = hooks.chunkBytes == 0 ? std::size_t{1} << 20 : hooks.chunkBytes;
    std::vector<char> buffer;
    copied = 0;
    for (;;) {
        ssize_t n = 0;
        if (method == kRange) n = ::copy_file_range(in, nullptr, out, nullptr, chunk, 0);
        else if (method == kSendfile) n = ::sendfile(out, in, nullptr, chunk);
        else n = ReadWrite(in, out, chunk, buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (method != kReadWrite && Unsupported(errno)) {
                method = method == kRange ? kSendfile : kReadWrite;
                continue;
            }
            return errno;
        }
        // Some file systems answer 0 before the end instead of refusing; read what is left.
        if (n == 0 && method != kReadWrite && copied < expected) {
            method = kReadWrite;
            continue;
        }
        if (n == 0) return 0;
        // Writeback starts now, so the final fsync finds little left to write.
        ::sync_file_range(out, copied, n, SYNC_FILE_RANGE_WRITE);
        copied += n;
        if (hooks.keepResponsive) hooks.keepResponsive();
    }
}

}  // namespace

CopyResult SafeCopy(const std::string& source, const std::string& target, const CopyHooks& hooks) {
    Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) return Failure(source, errno);
    struct stat from {};
    if (::fstat(in.Get(), &from) != 0) return Failure(source, errno);
    if (!S_ISREG(from.st_mode)) return Failure(source, EINVAL);

    bool replace = false;
    struct stat to {};
    if (::stat(target.c_str(), &to) == 0) {
        if (to.st_dev == from.st_dev && to.st_ino == from.st_ino) return Failure(target, kTargetIsSource);
        if (S_ISDIR(to.st_mode)) return Failure(target, EISDIR);
        if ((to.st_mode & S_IWUSR) == 0) return Failure(target, kTargetReadOnly);
        if (!hooks.approveOverwrite || !hooks.approveOverwrite(target)) return {CopyResult::Outcome::Declined, {}, {}};
        replace = true;
    } else if (errno != ENOENT) {
        return Failure(target, errno);
    }

    const std::string pattern = ParentFolder(target) + "/." + BaseName(target) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    Descriptor out(::mkostemp(name.data(), O_CLOEXEC));
    if (out.Get() < 0) return Failure(target, errno);
    Temporary temporary(name.data());

    off_t copied = 0;
    if (const int error = CopyData(in.Get(), out.Get(), from.st_size, hooks, copied); error != 0) return Failure(target, error);
    if (copied != from.st_size) return Failure(source, "the source changed size while it was copied");

    const struct timespec times[2] = {from.st_atim, from.st_mtim};
    if (::fchmod(out.Get(), from.st_mode & 0777) != 0 || ::futimens(out.Get(), times) != 0 ||
        ::fsync(out.Get()) != 0) {
        return Failure(target, errno);
    }
    if (const int error = out.Close(); error != 0) return Failure(target, error);

    // Replacing needs approval; otherwise a file that appeared meanwhile is kept.
    const int renamed = replace ? (::rename(temporary.Path().c_str(), target.c_str()) == 0 ? 0 : errno)
                                : RenameNoReplace(temporary.Path(), target);
    if (renamed != 0) return Failure(target, renamed);
    temporary.Release();
    SyncFolder(ParentFolder(target));
    return {CopyResult::Outcome::Copied, {}, {}};
}

}  // namespace trivane
