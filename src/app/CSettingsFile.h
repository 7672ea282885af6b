#pragma once

#include <cstdint>
#include <string>
#include <span>
#include <string_view>
#include <utility>

#include "app/WindowPlacement.h"

namespace trivane {

// Qen.ini: the user-interface language, the map page and panes, the last folder and the window
// rectangle. Every read and write goes to the file key by key, so edits made while the program
// runs are seen and nothing else in the file is disturbed. Failed writes lose only the value
// being written and are reported by the return value alone.
class CSettingsFile {
public:
    static constexpr std::string_view kFileName = "Qen.ini";

    // Where the process-wide instance keeps its file: in the current directory (the default) or
    // in the user's configuration folder (UserConfigFile()).
    enum class Place { CurrentFolder, UserConfig };

    // The process-wide instance: created on first use in the place chosen by then (the current
    // directory of that moment by default) and never destroyed; a later change of directory
    // does not move the file. With Place::UserConfig the folder is created if missing; without
    // a home folder to put it in, the current directory is used.
    static CSettingsFile& Instance();
    // Chooses the place for Instance(); false, changing nothing, once the instance exists.
    static bool ChooseInstancePlace(Place place);
    // $XDG_CONFIG_HOME/trivane/Qen.ini (an absolute XDG_CONFIG_HOME only, as the XDG base
    // directories say), else <home>/.config/trivane/Qen.ini, with home from $HOME or the user
    // database; empty when there is no home folder.
    static std::string UserConfigFile();

    // An instance on an explicit file; reads the language choice at once.
    explicit CSettingsFile(std::string path);

    const std::string& Path() const { return path_; }

    // Private-profile access.
    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                          std::size_t maxChars) const;
    // Leading sign and digits (saturated to the int range); the default for a missing key or a
    // value that does not start with a number.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInt(std::string_view section, std::string_view key, int value);

    // Language selection: an index into kLanguages and its language id. Japanese until the file
    // names a known code; a missing key means "ENG".
    unsigned LanguageIndex() const { return languageIndex_; }
    std::uint16_t LanguageId() const { return languageId_; }
    // Recomputes the id from the index (done before every text lookup).
    std::uint16_t RefreshLanguageId();
    // Selects row `index` and writes its code to UI / LANGID; returns the result of the write.
    // An index outside the table changes nothing and returns false.
    bool SetLanguage(unsigned index);

    // UI / MAP clamped to 0..1; the value read is also kept as MapProvider().
    int ReadMapProvider();
    int MapProvider() const { return mapProvider_; }
    bool WriteMapProvider(int provider);

    bool ReadMapEnabled() const;
    bool WriteMapEnabled(bool enabled);
    // UI / SPEEDROUTE: the map's route coloured by speed (1) or in its plain colours (0, the default).
    bool ReadSpeedColouredRoute() const;
    bool WriteSpeedColouredRoute(bool on);
    bool ReadGSensorEnabled() const;
    bool WriteGSensorEnabled(bool enabled);

    // UI / GEVENTG: the deviation in G from the baseline that makes a G-force event; `defaultG`
    // unless the value is a positive decimal number (a decimal comma is taken as a point).
    double ReadGEventThreshold(double defaultG) const;

    std::string ReadFolder() const;
    bool WriteFolder(std::string_view folder);

    WindowRect ReadWindowRect() const;
    bool WriteWindowRect(const WindowRect& rect);

private:
    void ReadLanguage();
    bool WriteValues(std::string_view section, std::span<const std::pair<std::string_view, std::string>> values);

    std::string path_;
    unsigned languageIndex_;
    std::uint16_t languageId_;
    int mapProvider_ = 0;
};

}  // namespace trivane
