#include "files/SmallFile.h"

#include <algorithm>
#include <cerrno>

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

private:
    int fd_;
};

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

}  // namespace trivane
