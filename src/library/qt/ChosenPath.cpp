#include "library/qt/ChosenPath.h"

#include <QFile>
#include <QStringList>

#include <dirent.h>
#include <sys/stat.h>

#include <optional>

namespace trivane {

void SplitFilePath(const std::string& path, std::string& folder, std::string& name) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        folder.assign(1, '.');
        name = path;
    } else {
        folder.assign(path, 0, slash == 0 ? 1 : slash);
        name.assign(path, slash + 1);
    }
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    std::string joined = folder;
    if (joined.back() != '/') joined += '/';
    joined += name;
    return joined;
}

// The first entry of `folder` whose decoded name is `name`.
std::optional<std::string> FindEntry(const std::string& folder, const QString& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return std::nullopt;
    std::optional<std::string> found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string entryName = entry->d_name;
        if (entryName == "." || entryName == "..") continue;
        if (QFile::decodeName(QByteArray::fromStdString(entryName)) == name) {
            found = entryName;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

}  // namespace

std::string ResolveChosenPath(const QString& chosen) {
    const std::string encoded = QFile::encodeName(chosen).toStdString();
    if (encoded.empty() || Exists(encoded)) return encoded;
    std::string resolved = encoded.front() == '/' ? "/" : "";
    for (const QString& part : chosen.split(u'/', Qt::SkipEmptyParts)) {
        std::string next = Join(resolved, QFile::encodeName(part).toStdString());
        if (!Exists(next)) {
            if (auto entry = FindEntry(resolved.empty() ? std::string(".") : resolved, part))
                next = Join(resolved, *entry);
        }
        resolved = std::move(next);
    }
    return resolved;
}

}  // namespace trivane
