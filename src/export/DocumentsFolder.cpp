#include "export/DocumentsFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace trivane {

namespace {

std::optional<std::string> HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return std::string(home);
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr && *pw->pw_dir != '\0') {
        return std::string(pw->pw_dir);
    }
    return std::nullopt;
}

// Value of XDG_DOCUMENTS_DIR in user-dirs.dirs: "$HOME/..." or an absolute path, in double quotes.
std::optional<std::string> FromUserDirs(const std::string& home) {
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') config = xdg;
    else config = home + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    for (int lines = 0; lines < 1000 && std::getline(in, line); ++lines) {
        constexpr std::string_view key = "XDG_DOCUMENTS_DIR=\"";
        if (line.rfind(key, 0) != 0) continue;
        const std::size_t end = line.find('"', key.size());
        if (end == std::string::npos) return std::nullopt;
        std::string value = line.substr(key.size(), end - key.size());
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        if (value.empty() || value.front() != '/') return std::nullopt;
        while (value.size() > 1 && value.back() == '/') value.pop_back();
        return value;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> DocumentsFolder() {
    const auto home = HomeFolder();
    if (!home) return std::nullopt;
    if (auto fromFile = FromUserDirs(*home)) return fromFile;
    return *home + "/Documents";
}

}  // namespace trivane
