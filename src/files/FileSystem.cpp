#include "files/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trivane {

std::string JoinPath(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    if (a.back() == '/') return a + b;
    return a + '/' + b;
}

std::string ParentFolder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool PathExists(const std::string& path) {
    return !path.empty() && ::access(path.c_str(), F_OK) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsReadOnly(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

void MakeDirectories(const std::string& path) {
    std::string full = path;
    if (full.empty() || full.back() != '/') full += '/';
    for (std::size_t pos = full.find('/'); pos != std::string::npos; pos = full.find('/', pos + 1)) {
        if (pos == 0) continue;  // the file-system root
        ::mkdir(full.substr(0, pos).c_str(), 0777);
    }
}

}  // namespace trivane
