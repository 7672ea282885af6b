#include "app/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trivane {
namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string ParentFolder(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

}  // namespace

FileText ReadSmallFile(const std::string& path, std::size_t maxSize)
{
    FileText result;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        result.status = (errno == ENOENT || errno == ENOTDIR) ? FileText::Status::Missing : FileText::Status::Unreadable;
        return result;
    }
    result.status = FileText::Status::Unreadable;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<unsigned long long>(st.st_size) > maxSize)
        return result;
    // Read up to one byte past the limit: a file that grew meanwhile is refused, not cut short.
    std::string text(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == text.size()) {
            if (text.size() > maxSize)
                return result;
            text.resize(std::min(text.size() * 2, maxSize + 1));
        }
        const ssize_t n = ::read(fd.get(), text.data() + used, text.size() - used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return result;
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    if (used > maxSize)
        return result;
    text.resize(used);
    result.text = std::move(text);
    result.status = FileText::Status::Ok;
    return result;
}

bool WriteFileAtomically(const std::string& path, std::string_view content)
{
    std::string target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr)
            target = resolved;
    }
    mode_t mode = 0644;
    bool exists = false;
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR) == 0)
            return false;
        mode = st.st_mode & 07777;
        exists = true;
    } else if (errno != ENOENT) {
        return false;
    }

    const std::string folder = ParentFolder(target);
    const std::size_t slash = target.rfind('/');
    std::string pattern = folder + "/." + (slash == std::string::npos ? target : target.substr(slash + 1)) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    Fd fd(::mkstemp(name.data()));
    if (fd.get() < 0)
        return false;
    const std::string tempPath(name.data());
    // Keep the owner when another user's file is rewritten (by root); failure is harmless.
    if (exists) {
        const int ignored = ::fchown(fd.get(), st.st_uid, st.st_gid);
        (void)ignored;
    }
    const bool written = WriteAll(fd.get(), content) && ::fchmod(fd.get(), mode) == 0 && ::fsync(fd.get()) == 0 &&
                         ::close(fd.release()) == 0;
    if (!written || ::rename(tempPath.c_str(), target.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        return false;
    }
    // Make the rename itself durable; failing here no longer endangers either version.
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return true;
}

}  // namespace trivane
