#include "app/CommandLine.h"

#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

namespace trivane {
namespace {

CommandLine Parse(std::initializer_list<const char*> args)
{
    std::vector<const char*> argv{"trivane"};
    argv.insert(argv.end(), args);
    return ParseCommandLine(argv);
}

TEST(CommandLine, PathAndDesktopInAnyOrder)
{
    const CommandLine none = Parse({});
    EXPECT_EQ(none.action, CommandLine::Action::Run);
    EXPECT_FALSE(none.desktop);
    EXPECT_FALSE(none.path);

    for (const CommandLine& line : {Parse({"--desktop", "/card"}), Parse({"/card", "--desktop"})}) {
        EXPECT_EQ(line.action, CommandLine::Action::Run);
        EXPECT_TRUE(line.desktop);
        EXPECT_EQ(line.path, "/card");
    }
    // "-" alone is a path, as for other programs.
    EXPECT_EQ(Parse({"-"}).path, "-");
}

TEST(CommandLine, DoubleDashEndsOptions)
{
    const CommandLine line = Parse({"--desktop", "--", "--help"});
    EXPECT_EQ(line.action, CommandLine::Action::Run);
    EXPECT_TRUE(line.desktop);
    EXPECT_EQ(line.path, "--help");

    EXPECT_EQ(Parse({"--", "-card"}).path, "-card");
    EXPECT_EQ(Parse({"--", "--"}).path, "--");
    EXPECT_EQ(Parse({"--", "a", "b"}).action, CommandLine::Action::Error);
}

TEST(CommandLine, HelpAndVersionStopParsing)
{
    EXPECT_EQ(Parse({"--help", "--bogus"}).action, CommandLine::Action::Help);
    EXPECT_EQ(Parse({"/card", "-h"}).action, CommandLine::Action::Help);
    EXPECT_EQ(Parse({"--version", "a", "b"}).action, CommandLine::Action::Version);
    EXPECT_NE(UsageText().find("Usage: trivane [OPTION]... [--] [PATH]\n"), std::string::npos);
    EXPECT_EQ(VersionText(), "trivane " TRIVANE_VERSION "\n");
}

TEST(CommandLine, UnknownOptionsAndExtraPathsAreErrors)
{
    for (const char* option : {"--bogus", "-x", "--help=1", "--desktop=yes", "-hV", "---"}) {
        const CommandLine line = Parse({option, "--help"});
        EXPECT_EQ(line.action, CommandLine::Action::Error) << option;
        EXPECT_EQ(line.error, "unrecognised option '" + std::string(option) + "'");
    }
    const CommandLine extra = Parse({"/a", "/b"});
    EXPECT_EQ(extra.action, CommandLine::Action::Error);
    EXPECT_EQ(extra.error, "more than one path: '/b'");
}

}  // namespace
}  // namespace trivane
