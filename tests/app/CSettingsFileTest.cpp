#include "files/SmallFile.h"
#include "app/CSettingsFile.h"

#include <climits>

#include <gtest/gtest.h>

#include "FileText.h"
#include "TempDir.h"

namespace trivane {
namespace {

using test::FolderEntries;
using test::ReadText;
using test::TempDir;
using test::WriteText;

TEST(CSettingsFile, MissingFileGivesEveryDefaultAndIsNotCreatedByReading)
{
    TempDir dir;
    CSettingsFile settings(dir.File("Qen.ini"));
    EXPECT_EQ(settings.LanguageIndex(), 0u);  // "ENG"
    EXPECT_EQ(settings.LanguageId(), 1033);
    EXPECT_EQ(settings.ReadMapProvider(), 0);
    EXPECT_TRUE(settings.ReadMapEnabled());
    EXPECT_TRUE(settings.ReadGSensorEnabled());
    EXPECT_EQ(settings.ReadFolder(), "");
    const WindowRect r = settings.ReadWindowRect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 800);
    EXPECT_EQ(r.bottom, 560);
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
}

TEST(CSettingsFile, LanguageCodeSelectsRowOrJapanese)
{
    TempDir dir;
    const std::string path = dir.File("Qen.ini");
    const struct {
        std::string file;
        unsigned index;
        int languageId;
    } cases[] = {
        {"[UI]\nMAP=1\n", 0, 1033},        // no LANGID key: "ENG"
        {"[ui]\nlangid=POR\n", 5, 2070},   // names are case-insensitive, codes are not
        {"[UI]\nLANGID=GER\r\n", 7, 1031},
        {"[UI]\nLANGID=eng\n", 6, 1041},
        {"[UI]\nLANGID=FRA\n", 6, 1041},
        {"[UI]\nLANGID=\n", 6, 1041},
        {"[UI]\nLANGID=ENGLISH\n", 6, 1041},
    };
    for (const auto& c : cases) {
        WriteText(path, c.file);
        const CSettingsFile settings(path);
        EXPECT_EQ(settings.LanguageIndex(), c.index) << c.file;
        EXPECT_EQ(settings.LanguageId(), c.languageId) << c.file;
    }
}

TEST(CSettingsFile, IntegersReadLikeThePlatform)
{
    TempDir dir;
    const std::string path = dir.File("Qen.ini");
    WriteText(path,
              "[UI]\nA=12abc\nB=+4\nC=-\nD=\nE=abc\nF=99999999999\nG=-99999999999\nH= -7 \nI=0x10\n"
              "[WINPOS]\nLEFT=-40\nTOP=x\nRIGHT=1000\n");
    const CSettingsFile s(path);
    EXPECT_EQ(s.GetInt("UI", "A", 5), 12);
    EXPECT_EQ(s.GetInt("UI", "B", 5), 4);
    EXPECT_EQ(s.GetInt("UI", "C", 5), 5);
    EXPECT_EQ(s.GetInt("UI", "D", 5), 5);
    EXPECT_EQ(s.GetInt("UI", "E", 5), 5);
    EXPECT_EQ(s.GetInt("UI", "F", 5), INT_MAX);
    EXPECT_EQ(s.GetInt("UI", "G", 5), INT_MIN);
    EXPECT_EQ(s.GetInt("UI", "H", 5), -7);
    EXPECT_EQ(s.GetInt("UI", "I", 5), 0);
    EXPECT_EQ(s.GetInt("UI", "missing", 5), 5);
    const WindowRect r = s.ReadWindowRect();
    EXPECT_EQ(r.left, -40);
    EXPECT_EQ(r.top, 0);  // not a number: the default
    EXPECT_EQ(r.right, 1000);
    EXPECT_EQ(r.bottom, 560);
}

TEST(CSettingsFile, GEventThresholdIsAPositiveDecimalOrTheDefault)
{
    TempDir dir;
    const std::string path = dir.File("Qen.ini");
    const CSettingsFile s(path);
    EXPECT_EQ(s.ReadGEventThreshold(0.5), 0.5);  // no file
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"0.35", 0.35}, {" 1.2 ", 1.2}, {"2", 2.0},
        {"0,8", 0.8},  // a decimal comma from a hand edit
        // Zero or less would make every sample an event.
        {"0", 0.5}, {"-0.4", 0.5}, {"nan", 0.5}, {"inf", 0.5},
        {"0.3g", 0.5}, {"", 0.5}, {"1e999", 0.5}, {"0,3,1", 0.5},
    };
    for (const auto& c : cases) {
        WriteText(path, std::string("[UI]\nGEVENTG=") + c.text + "\n");
        EXPECT_EQ(s.ReadGEventThreshold(0.5), c.expected) << c.text;
    }
}

TEST(CSettingsFile, MapProviderAndPaneSwitches)
{
    TempDir dir;
    const std::string path = dir.File("Qen.ini");
    CSettingsFile s(path);
    for (const auto& [text, expected] : {std::pair{"5", 1}, {"-3", 0}, {"1", 1}, {"0", 0}, {"junk", 0}}) {
        WriteText(path, std::string("[UI]\nMAP=") + text + "\nMAP_ENABLE=0\nGSNR_ENABLE=-2\n");
        EXPECT_EQ(s.ReadMapProvider(), expected) << text;
        EXPECT_EQ(s.MapProvider(), expected);
    }
    EXPECT_FALSE(s.ReadMapEnabled());
    EXPECT_TRUE(s.ReadGSensorEnabled());  // any non-zero value is on

    ASSERT_TRUE(s.WriteMapEnabled(true));
    ASSERT_TRUE(s.WriteGSensorEnabled(false));
    ASSERT_TRUE(s.WriteMapProvider(1));
    EXPECT_EQ(ReadText(path), "[UI]\nMAP=1\nMAP_ENABLE=1\nGSNR_ENABLE=0\n");
}

TEST(CSettingsFile, WritesTouchOnlyTheirKey)
{
    TempDir dir;
    const std::string path = dir.File("Qen.ini");
    WriteText(path,
              "; my notes\r\n"
              "[Vendor]\r\n"
              "Serial=ABC\r\n"
              "\r\n"
              "[UI]\r\n"
              "LANGID=ENG\r\n"
              "Theme=dark\r\n");
    CSettingsFile s(path);
    ASSERT_TRUE(s.SetLanguage(7));  // "Thai" is stored as GER
    ASSERT_TRUE(s.WriteFolder("/media/card/DCIM"));
    ASSERT_TRUE(s.WriteWindowRect({-8, 20, 1912, 1050}));
    EXPECT_EQ(ReadText(path),
              "; my notes\r\n"
              "[Vendor]\r\n"
              "Serial=ABC\r\n"
              "\r\n"
              "[UI]\r\n"
              "LANGID=GER\r\n"
              "Theme=dark\r\n"
              "Folder=/media/card/DCIM\r\n"
              "[WINPOS]\r\n"
              "LEFT=-8\r\n"
              "TOP=20\r\n"
              "RIGHT=1912\r\n"
              "BOTTOM=1050\r\n");
    EXPECT_EQ(s.LanguageIndex(), 7u);
    EXPECT_EQ(s.LanguageId(), 1031);
    EXPECT_EQ(CSettingsFile(path).LanguageIndex(), 7u);
    EXPECT_EQ(s.ReadFolder(), "/media/card/DCIM");
}

TEST(CSettingsFile, MissingFileIsCreatedOnTheFirstWrite)
{
    TempDir dir;
    CSettingsFile s(dir.File("Qen.ini"));
    ASSERT_TRUE(s.SetLanguage(5));
    EXPECT_EQ(ReadText(dir.File("Qen.ini")), "[UI]\nLANGID=POR\n");
}

TEST(CSettingsFile, LanguageSelectionOutsideTheTableChangesNothing)
{
    TempDir dir;
    WriteText(dir.File("Qen.ini"), "[UI]\nLANGID=KOR\n");
    CSettingsFile s(dir.File("Qen.ini"));
    EXPECT_FALSE(s.SetLanguage(8));
    EXPECT_FALSE(s.SetLanguage(UINT_MAX));
    EXPECT_EQ(s.LanguageIndex(), 3u);
    EXPECT_EQ(ReadText(dir.File("Qen.ini")), "[UI]\nLANGID=KOR\n");
}

TEST(CSettingsFile, FailedWriteStillSelectsButKeepsTheFile)
{
    TempDir dir;
    // The folder does not exist: the write fails, the selection changes for this run.
    CSettingsFile s(dir.File("gone/Qen.ini"));
    EXPECT_FALSE(s.SetLanguage(1));
    EXPECT_EQ(s.LanguageIndex(), 1u);
    EXPECT_EQ(s.LanguageId(), 2052);
}

TEST(CSettingsFile, UnsafeOrOversizedInputNeverDamagesTheFile)
{
    TempDir dir;
    const std::string path = dir.File("Qen.ini");
    WriteText(path, "[UI]\nFolder=/old\n");
    CSettingsFile s(path);
    // A folder name with a line break would inject keys; it is refused.
    EXPECT_FALSE(s.WriteFolder("/evil\nLANGID=RUS"));
    EXPECT_EQ(ReadText(path), "[UI]\nFolder=/old\n");

    // A file too large to be ours is neither parsed nor replaced.
    const std::string huge = "[UI]\nLANGID=KOR\n" + std::string(kMaxSettingsFileSize, ';');
    WriteText(path, huge);
    const CSettingsFile big(path);
    EXPECT_EQ(big.LanguageIndex(), 0u);
    EXPECT_FALSE(CSettingsFile(path).SetLanguage(2));
    EXPECT_EQ(ReadText(path), huge);
}

TEST(CSettingsFile, StringsAreCutAtTheirLimitOnCharacterBoundaries)
{
    TempDir dir;
    const std::string path = dir.File("Qen.ini");
    std::string folder;
    for (int i = 0; i < 1030; ++i)
        folder += "\xC3\xA9";  // é, two bytes
    WriteText(path, "[UI]\nFolder=" + folder + "\nLANGID=ENG" + std::string(70, 'x') + "\n");
    const CSettingsFile s(path);
    EXPECT_EQ(s.ReadFolder(), folder.substr(0, 2 * 1023));
    EXPECT_EQ(s.GetString("UI", "LANGID", "", 63), "ENG" + std::string(60, 'x'));
    EXPECT_EQ(s.GetString("UI", "none", "default", 3), "def");
}

}  // namespace
}  // namespace trivane
