#include "library/WalkFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <set>
#include <utility>
#include <vector>

#if __has_include(<linux/msdos_fs.h>)
#include <linux/msdos_fs.h>
#define TRIVANE_HAVE_FAT_ATTRIBUTES 1
#endif

namespace trivane {

namespace {

constexpr long kVfatMagic = 0x4d44;  // MSDOS_SUPER_MAGIC

struct Frame {
    DIR* dir = nullptr;
    std::string rel;
    bool fat = false;  // the folder lies on a vfat mount: FAT attributes can be asked
};

bool OnFat(int fd) {
    struct statfs fs {};
    return ::fstatfs(fd, &fs) == 0 && static_cast<long>(fs.f_type) == kVfatMagic;
}

// FAT hidden or system attribute of an entry; false where it cannot be read.
bool HasFatHiddenAttribute([[maybe_unused]] int dirFd, [[maybe_unused]] const char* name) {
#ifdef TRIVANE_HAVE_FAT_ATTRIBUTES
    const int fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    __u32 attributes = 0;
    const bool ok = ::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes) == 0;
    ::close(fd);
    return ok && (attributes & (ATTR_HIDDEN | ATTR_SYS)) != 0;
#else
    return false;
#endif
}

enum class Kind { File, Folder, Skip };

Kind KindOf(int dirFd, const dirent* entry) {
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return Kind::File;
        if (S_ISDIR(st.st_mode)) type = DT_DIR;
        else if (S_ISLNK(st.st_mode)) type = DT_LNK;
        else type = DT_REG;
    }
    if (type == DT_DIR) return Kind::Folder;
    if (type == DT_LNK) {
        // Links to folders are not followed (they could loop); links to files count as files.
        struct stat target {};
        if (::fstatat(dirFd, entry->d_name, &target, 0) == 0 && S_ISDIR(target.st_mode)) return Kind::Skip;
    }
    return Kind::File;
}

}  // namespace

bool WalkFolder(const std::string& root, WalkCallback callback, void* context) {
    const int rootFd = ::open(root.empty() ? "" : root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (rootFd < 0) {
        struct stat st {};
        // An existing folder that cannot be read is walked as an empty one.
        return ::stat(root.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    std::string base = root;
    if (base.back() != '/') base += '/';

    // Each folder is entered once, even when bind mounts make it reachable twice.
    std::set<std::pair<dev_t, ino_t>> visited;
    struct stat rootStat {};
    if (::fstat(rootFd, &rootStat) == 0) visited.emplace(rootStat.st_dev, rootStat.st_ino);

    std::vector<Frame> stack;
    const bool rootFat = OnFat(rootFd);
    DIR* rootDir = ::fdopendir(rootFd);
    if (rootDir == nullptr) {
        ::close(rootFd);
        return true;
    }
    stack.push_back(Frame{rootDir, std::string(), rootFat});

    while (!stack.empty()) {
        Frame& frame = stack.back();
        const dirent* entry = ::readdir(frame.dir);
        if (entry == nullptr) {
            // The end of the listing or a read error: either way this folder is done.
            ::closedir(frame.dir);
            stack.pop_back();
            continue;
        }
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name.front() == '.') continue;
        const int dirFd = ::dirfd(frame.dir);
        if (frame.fat && HasFatHiddenAttribute(dirFd, entry->d_name)) continue;
        const Kind kind = KindOf(dirFd, entry);
        if (kind == Kind::Skip) continue;
        if (kind == Kind::File) {
            callback(base, frame.rel, name, false, context);
            continue;
        }
        callback(base, frame.rel, name, true, context);
        const int childFd = ::openat(dirFd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (childFd < 0) continue;  // unreadable: skipped
        struct stat childStat {};
        if (::fstat(childFd, &childStat) != 0 || !visited.emplace(childStat.st_dev, childStat.st_ino).second) {
            ::close(childFd);
            continue;
        }
        const bool childFat = OnFat(childFd);
        DIR* child = ::fdopendir(childFd);
        if (child == nullptr) {
            ::close(childFd);
            continue;
        }
        std::string rel = frame.rel + name + '/';  // `frame` is invalid after the push
        stack.push_back(Frame{child, std::move(rel), childFat});
    }
    return true;
}

}  // namespace trivane
