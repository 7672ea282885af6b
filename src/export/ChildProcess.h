#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trivane {

// A program run with an argument vector (no shell, so nothing needs quoting), in its own process
// group so that a terminal's Ctrl+C reaches only its parent. Standard input is /dev/null; standard
// output, standard error and descriptor 3 are pipes read by Pump; no other descriptor is inherited.
// One thread uses an object at a time. The destructor kills and reaps a child still running.
class ChildProcess final {
public:
    enum class Stream { Output, Error, Extra };
    using Sink = std::function<void(Stream, std::string_view)>;

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // 0, or the errno value of the failure (ENOENT: no such program on PATH).
    int Start(const std::vector<std::string>& argv);
    // Waits at most `timeoutMs` for output and hands what arrived to `sink`; false once every
    // pipe is closed (the child has ended or closed them).
    bool Pump(int timeoutMs, const Sink& sink);
    // SIGKILL to the child and its process group.
    void Kill();
    // Reaps the child: its exit status, or 128 + the signal that ended it; -1 without a child.
    int Wait();
    // The same without waiting: nothing while the child runs.
    std::optional<int> TryWait();

private:
    void ClosePipes();

    pid_t pid_ = -1;
    int pipes_[3] = {-1, -1, -1};
};

}  // namespace trivane
