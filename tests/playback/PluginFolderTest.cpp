// The real libVLC never loads plug-ins from the working folder: a player started from a card
// must not run the card's shared objects. The control run names the same folder in
// VLC_PLUGIN_PATH and shows that libVLC does load what it finds there, so the check can fail.
#include <gtest/gtest.h>

#include "FileText.h"
#include "TempDir.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

// Runs the probe with `folder` as working folder and the marker named in its environment,
// VLC_PLUGIN_PATH set only when pluginPath is given. Returns the exit code (128 + signal).
int RunProbe(const std::string& folder, const std::string& marker, const std::string* pluginPath)
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view variable = *entry;
        if (!variable.starts_with("VLC_PLUGIN_PATH=") && !variable.starts_with("TRIVANE_PLUGIN_MARKER=")) {
            environment.emplace_back(variable);
        }
    }
    environment.push_back("TRIVANE_PLUGIN_MARKER=" + marker);
    if (pluginPath != nullptr) {
        environment.push_back("VLC_PLUGIN_PATH=" + *pluginPath);
    }
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    std::string probe = PLUGIN_PROBE_PATH;
    char* const argv[] = {probe.data(), nullptr};

    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) == 0) {
            execve(argv[0], argv, envp.data());
        }
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

TEST(VlcPlugins, APluginsFolderInTheWorkingFolderIsNeverLoaded)
{
    trivane::test::TempDir card;
    const std::string plugins = card / "plugins";
    ASSERT_EQ(::mkdir(plugins.c_str(), 0755), 0);
    // libVLC only considers lib*_plugin.so files; the marker module is named so.
    const std::filesystem::path module = PLUGIN_MARKER_PATH;
    std::filesystem::copy_file(module, plugins + "/" + module.filename().string());
    const std::string marker = card / "loaded";

    ASSERT_EQ(RunProbe(card.Path(), marker, nullptr), 0) << "the probe did not load libVLC";
    EXPECT_FALSE(trivane::test::FileExists(marker)) << "libVLC loaded a plug-in from the working folder";

    ASSERT_EQ(RunProbe(card.Path(), marker, &plugins), 0);
    EXPECT_TRUE(trivane::test::FileExists(marker))
        << "libVLC ignored the planted plug-in even when pointed at it: the check above proves nothing";
}
