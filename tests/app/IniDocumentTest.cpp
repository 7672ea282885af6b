#include "app/IniDocument.h"

#include <gtest/gtest.h>

namespace trivane {
namespace {

TEST(IniDocument, LookupFollowsPrivateProfileRules)
{
    const IniDocument doc = IniDocument::Parse(
        "orphan=1\n"
        "; comment=2\n"
        "[ ui ]\n"
        "  LangId  =  POR  \n"
        "langid=KOR\n"
        "Folder=/media/card=1\n"
        "Quoted=\"  spaced  \"\n"
        "Single='x'\n"
        "Half=\"x\n"
        "Empty=\n"
        "[WinPos]\n"
        "LEFT=5\n"
        "[UI]\n"
        "MAP=1\n");
    EXPECT_EQ(doc.Get("UI", "LANGID"), "POR");          // names ignore case and blanks; first wins
    EXPECT_EQ(doc.Get("ui", "folder"), "/media/card=1");  // only the first '=' separates
    EXPECT_EQ(doc.Get("UI", "Quoted"), "  spaced  ");
    EXPECT_EQ(doc.Get("UI", "Single"), "x");
    EXPECT_EQ(doc.Get("UI", "Half"), "\"x");
    EXPECT_EQ(doc.Get("UI", "Empty"), "");
    EXPECT_EQ(doc.Get("UI", "MAP"), "1");  // a repeated section is searched as well
    EXPECT_EQ(doc.Get("WINPOS", "left"), "5");
    EXPECT_EQ(doc.Get("UI", "LEFT"), std::nullopt);
    EXPECT_EQ(doc.Get("UI", "orphan"), std::nullopt);
    EXPECT_EQ(doc.Get("UI", "; comment"), std::nullopt);
    EXPECT_EQ(doc.Get("OTHER", "MAP"), std::nullopt);
}

TEST(IniDocument, ReplacingAKeyKeepsEveryOtherLine)
{
    IniDocument doc = IniDocument::Parse(
        "; written by hand\r\n"
        "[Extra]\r\n"
        "MAP=9\r\n"
        "\r\n"
        "[ui]\r\n"
        "Map = 0 \r\n"
        "Unknown=keep me\r\n");
    ASSERT_TRUE(doc.Set("UI", "MAP", "1"));
    EXPECT_EQ(doc.Serialize(),
              "; written by hand\r\n"
              "[Extra]\r\n"
              "MAP=9\r\n"
              "\r\n"
              "[ui]\r\n"
              "Map =1\r\n"
              "Unknown=keep me\r\n");
}

TEST(IniDocument, NewKeysGoAfterTheSectionsLastLineAndNewSectionsAtTheEnd)
{
    IniDocument doc = IniDocument::Parse(
        "\xEF\xBB\xBF[UI]\n"
        "LANGID=ENG\n"
        "\n"
        "[Other]\n"
        "x=1");  // no line end on the last line
    ASSERT_TRUE(doc.Set("ui", "MAP", "1"));
    ASSERT_TRUE(doc.Set("WINPOS", "LEFT", "-20"));
    ASSERT_TRUE(doc.Set("WINPOS", "TOP", "7"));
    EXPECT_EQ(doc.Serialize(),
              "\xEF\xBB\xBF[UI]\n"
              "LANGID=ENG\n"
              "MAP=1\n"
              "\n"
              "[Other]\n"
              "x=1\n"
              "[WINPOS]\n"
              "LEFT=-20\n"
              "TOP=7\n");
    EXPECT_EQ(doc.Get("WINPOS", "TOP"), "7");
}

TEST(IniDocument, NewKeyJoinsTheFirstOfRepeatedSections)
{
    IniDocument doc = IniDocument::Parse("[UI]\nA=1\n[X]\nB=2\n[UI]\nC=3\n");
    ASSERT_TRUE(doc.Set("UI", "C", "4"));  // an existing key is found in the repeat
    ASSERT_TRUE(doc.Set("UI", "D", "5"));
    EXPECT_EQ(doc.Serialize(), "[UI]\nA=1\nD=5\n[X]\nB=2\n[UI]\nC=4\n");
}

TEST(IniDocument, EmptyDocumentGainsSectionAndKey)
{
    IniDocument doc;
    ASSERT_TRUE(doc.Set("UI", "LANGID", "GER"));
    EXPECT_EQ(doc.Serialize(), "[UI]\nLANGID=GER\n");
}

TEST(IniDocument, RefusesWhatTheFormatCannotHoldAndChangesNothing)
{
    const std::string original = "[UI]\nFolder=/a\n";
    IniDocument doc = IniDocument::Parse(original);
    EXPECT_FALSE(doc.Set("UI", "Folder", "/a\nLANGID=RUS"));
    EXPECT_FALSE(doc.Set("UI", "Folder", "/a\r"));
    EXPECT_FALSE(doc.Set("UI", "Folder", std::string("/a\0b", 4)));
    EXPECT_FALSE(doc.Set("UI", "A=B", "1"));
    EXPECT_FALSE(doc.Set("UI", "", "1"));
    EXPECT_FALSE(doc.Set("UI", "[x]", "1"));
    EXPECT_FALSE(doc.Set("UI", ";x", "1"));
    EXPECT_FALSE(doc.Set("U]I", "x", "1"));
    EXPECT_FALSE(doc.Set("", "x", "1"));
    EXPECT_EQ(doc.Serialize(), original);
}

TEST(IniDocument, ValuesReadBackUnchanged)
{
    for (const std::string value : {" lead", "trail ", "\"quoted\"", "'q'", "", "a \"b\" c", "\"", "ünï cødé"}) {
        IniDocument doc;
        ASSERT_TRUE(doc.Set("UI", "Folder", value));
        const IniDocument reread = IniDocument::Parse(doc.Serialize());
        EXPECT_EQ(reread.Get("UI", "Folder"), value) << doc.Serialize();
    }
}

}  // namespace
}  // namespace trivane
