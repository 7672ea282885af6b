#include "app/CSettingsFile.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "files/SmallFile.h"
#include "files/AtomicFile.h"
#include "app/IniDocument.h"
#include "config/LanguageTable.h"

namespace trivane {
namespace {

constexpr std::string_view kUi = "UI";
constexpr std::string_view kWinPos = "WINPOS";
constexpr std::size_t kMaxLanguageCodeChars = 63;
constexpr std::size_t kMaxFolderChars = 1023;
constexpr std::size_t kMaxNumberChars = 63;

std::string CurrentDirectoryFile()
{
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    // Without a current directory (it was removed) the name stays relative; writes then fail.
    if (ec)
        return std::string(CSettingsFile::kFileName);
    std::string dir = cwd.string();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir + std::string(CSettingsFile::kFileName);
}

std::atomic<CSettingsFile::Place> g_instancePlace{CSettingsFile::Place::CurrentFolder};
std::atomic<bool> g_instanceCreated{false};

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr && *pw->pw_dir == '/')
        return pw->pw_dir;
    return {};
}

// The folder of `file` and its missing parents, private to the user as the XDG base directories
// ask; failures show later as failed writes.
void MakePrivateFolders(const std::string& file)
{
    const std::size_t end = file.rfind('/');
    for (std::size_t pos = file.find('/', 1); pos != std::string::npos && pos <= end; pos = file.find('/', pos + 1))
        ::mkdir(file.substr(0, pos).c_str(), 0700);
}

std::string InstanceFile()
{
    if (g_instancePlace == CSettingsFile::Place::UserConfig) {
        std::string file = CSettingsFile::UserConfigFile();
        if (!file.empty()) {
            MakePrivateFolders(file);
            return file;
        }
    }
    return CurrentDirectoryFile();
}

// Cuts after maxChars UTF-8 characters, never inside one.
std::string TruncateChars(std::string s, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == maxChars) {
                s.resize(i);
                break;
            }
            ++chars;
        }
    }
    return s;
}

int ParseLeadingInt(std::string_view text, int defaultValue)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || text[i] < '0' || text[i] > '9')
        return defaultValue;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;  // saturate; keeps the loop overflow-free
    }
    if (negative)
        return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::string IntToText(int value)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

CSettingsFile& CSettingsFile::Instance()
{
    static CSettingsFile* instance = [] {
        g_instanceCreated = true;
        return new CSettingsFile(InstanceFile());
    }();
    return *instance;
}

bool CSettingsFile::ChooseInstancePlace(Place place)
{
    if (g_instanceCreated) return false;
    g_instancePlace = place;
    return true;
}

std::string CSettingsFile::UserConfigFile()
{
    std::string folder;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
        folder = xdg;
    } else {
        const std::string home = HomeFolder();
        if (home.empty()) return {};
        folder = home + "/.config";
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder != "/") folder += '/';
    return folder + "trivane/" + std::string(kFileName);
}

CSettingsFile::CSettingsFile(std::string path)
    : path_(std::move(path)), languageIndex_(kJapaneseIndex), languageId_(kJapaneseLangId)
{
    ReadLanguage();
}

void CSettingsFile::ReadLanguage()
{
    languageIndex_ = kJapaneseIndex;
    const int found = FindLanguage(GetString(kUi, "LANGID", "ENG", kMaxLanguageCodeChars));
    if (found >= 0)
        languageIndex_ = static_cast<unsigned>(found);
    RefreshLanguageId();
}

std::string CSettingsFile::GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                     std::size_t maxChars) const
{
    const FileText file = ReadSmallFile(path_);
    std::optional<std::string> value;
    if (file.status == FileText::Status::Ok)
        value = IniDocument::Parse(file.text).Get(section, key);
    return TruncateChars(value ? std::move(*value) : std::string(defaultValue), maxChars);
}

int CSettingsFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const
{
    const FileText file = ReadSmallFile(path_);
    if (file.status != FileText::Status::Ok)
        return defaultValue;
    const auto value = IniDocument::Parse(file.text).Get(section, key);
    return value ? ParseLeadingInt(*value, defaultValue) : defaultValue;
}

bool CSettingsFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::pair<std::string_view, std::string> one[] = {{key, std::string(value)}};
    return WriteValues(section, one);
}

bool CSettingsFile::WriteValues(std::string_view section, std::span<const std::pair<std::string_view, std::string>> values)
{
    const FileText file = ReadSmallFile(path_);
    // An existing file we cannot read must not be replaced by one holding only these keys.
    if (file.status == FileText::Status::Unreadable)
        return false;
    IniDocument doc = IniDocument::Parse(file.text);
    for (const auto& [key, value] : values) {
        if (!doc.Set(section, key, value))
            return false;
    }
    return WriteFileAtomically(path_, doc.Serialize());
}

bool CSettingsFile::WriteInt(std::string_view section, std::string_view key, int value)
{
    return WriteString(section, key, IntToText(value));
}

std::uint16_t CSettingsFile::RefreshLanguageId()
{
    languageId_ = LanguageIdOf(kLanguages[languageIndex_]);
    return languageId_;
}

bool CSettingsFile::SetLanguage(unsigned index)
{
    if (index >= kLanguages.size())
        return false;
    languageIndex_ = index;
    RefreshLanguageId();
    return WriteString(kUi, "LANGID", kLanguages[index].code);
}

int CSettingsFile::ReadMapProvider()
{
    const int value = GetInt(kUi, "MAP", 0);
    mapProvider_ = value > 1 ? 1 : (value < 0 ? 0 : value);
    return mapProvider_;
}

bool CSettingsFile::WriteMapProvider(int provider) { return WriteInt(kUi, "MAP", provider); }

bool CSettingsFile::ReadMapEnabled() const { return GetInt(kUi, "MAP_ENABLE", 1) != 0; }
bool CSettingsFile::WriteMapEnabled(bool enabled) { return WriteInt(kUi, "MAP_ENABLE", enabled ? 1 : 0); }
bool CSettingsFile::ReadSpeedColouredRoute() const { return GetInt(kUi, "SPEEDROUTE", 0) != 0; }
bool CSettingsFile::WriteSpeedColouredRoute(bool on) { return WriteInt(kUi, "SPEEDROUTE", on ? 1 : 0); }
bool CSettingsFile::ReadGSensorEnabled() const { return GetInt(kUi, "GSNR_ENABLE", 1) != 0; }
bool CSettingsFile::WriteGSensorEnabled(bool enabled) { return WriteInt(kUi, "GSNR_ENABLE", enabled ? 1 : 0); }

double CSettingsFile::ReadGEventThreshold(double defaultG) const
{
    std::string text = GetString(kUi, "GEVENTG", "", kMaxNumberChars);
    if (const std::size_t comma = text.find(','); comma != std::string::npos)
        text[comma] = '.';
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value) || !(value > 0))
        return defaultG;
    return value;
}

std::string CSettingsFile::ReadFolder() const { return GetString(kUi, "Folder", "", kMaxFolderChars); }
bool CSettingsFile::WriteFolder(std::string_view folder) { return WriteString(kUi, "Folder", folder); }

WindowRect CSettingsFile::ReadWindowRect() const
{
    WindowRect r;
    r.left = GetInt(kWinPos, "LEFT", 0);
    r.top = GetInt(kWinPos, "TOP", 0);
    r.right = GetInt(kWinPos, "RIGHT", 800);
    r.bottom = GetInt(kWinPos, "BOTTOM", 560);
    return r;
}

bool CSettingsFile::WriteWindowRect(const WindowRect& rect)
{
    // One file update for all four, so a failure never leaves a mixed rectangle.
    const std::pair<std::string_view, std::string> values[] = {{"LEFT", IntToText(rect.left)},
                                                               {"TOP", IntToText(rect.top)},
                                                               {"RIGHT", IntToText(rect.right)},
                                                               {"BOTTOM", IntToText(rect.bottom)}};
    return WriteValues(kWinPos, values);
}

}  // namespace trivane
