#include "app/CSettingsFile.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "FileText.h"
#include "TempDir.h"

namespace trivane {
namespace {

// Sets or unsets one environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr) ::setenv(name, value, 1);
        else ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SettingsLocation, UserConfigFileFollowsTheXdgRules)
{
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg//");
        ScopedEnv home("HOME", "/home/u");
        EXPECT_EQ(CSettingsFile::UserConfigFile(), "/cfg/trivane/Qen.ini");
    }
    {
        // Relative and empty values are not XDG_CONFIG_HOME values at all.
        ScopedEnv home("HOME", "/home/u");
        for (const char* value : {"cfg", "", static_cast<const char*>(nullptr)}) {
            ScopedEnv xdg("XDG_CONFIG_HOME", value);
            EXPECT_EQ(CSettingsFile::UserConfigFile(), "/home/u/.config/trivane/Qen.ini");
        }
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
        ScopedEnv home("HOME", nullptr);
        const passwd* pw = ::getpwuid(::getuid());
        ASSERT_NE(pw, nullptr);
        EXPECT_EQ(CSettingsFile::UserConfigFile(), std::string(pw->pw_dir) + "/.config/trivane/Qen.ini");
    }
}

// The process-wide instance can be created only once, so this is the only test that creates it.
TEST(SettingsLocation, InstanceInTheUserConfigFolderWhenChosen)
{
    test::TempDir work;
    test::TempDir config;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(work.Path());
    const std::string configHome = config / "not/yet";
    ScopedEnv xdg("XDG_CONFIG_HOME", configHome.c_str());

    ASSERT_TRUE(CSettingsFile::ChooseInstancePlace(CSettingsFile::Place::CurrentFolder));
    ASSERT_TRUE(CSettingsFile::ChooseInstancePlace(CSettingsFile::Place::UserConfig));
    CSettingsFile& settings = CSettingsFile::Instance();
    EXPECT_EQ(settings.Path(), configHome + "/trivane/Qen.ini");
    // The folders were made, the program's own one private to the user.
    struct stat info {};
    ASSERT_EQ(::stat((configHome + "/trivane").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_TRUE(settings.WriteMapProvider(1));
    EXPECT_EQ(test::ReadText(settings.Path()), "[UI]\nMAP=1\n");
    EXPECT_TRUE(test::FolderEntries(work.Path()).empty());

    // Too late to move it.
    EXPECT_FALSE(CSettingsFile::ChooseInstancePlace(CSettingsFile::Place::CurrentFolder));
    EXPECT_EQ(CSettingsFile::Instance().Path(), configHome + "/trivane/Qen.ini");
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace trivane
