#include "Xvfb.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace trivane::testing {

using Clock = std::chrono::steady_clock;

Xvfb::Xvfb()
{
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return;
    }
    if (pid == 0) {
        // The server goes with the test program, even when that one crashes. The signal follows the
        // forking thread, which is the test's own for the server's whole life.
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) {
            _exit(127);
        }
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        const int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, STDERR_FILENO);
        }
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x720x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    pid_ = pid;
    std::string number;
    pollfd poller{fds[0], POLLIN, 0};
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline && number.find('\n') == std::string::npos) {
        if (poll(&poller, 1, 200) > 0) {
            char buffer[32];
            const ssize_t got = read(fds[0], buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            number.append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(fds[0]);
    if (number.find('\n') != std::string::npos) {
        std::string display(":");
        display += std::string_view(number).substr(0, number.find('\n'));
        display_ = std::move(display);
    }
}

Xvfb::~Xvfb()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

}  // namespace trivane::testing
