#include "export/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace trivane {

namespace {

// A pipe whose ends lie above descriptor 3, so that the child's dup2 onto 0 to 3 never meets one.
bool HighPipe(int ends[2]) {
    int raw[2];
    if (::pipe2(raw, O_CLOEXEC) != 0) return false;
    for (int i = 0; i < 2; ++i) {
        ends[i] = raw[i];
        if (raw[i] <= 3) {
            ends[i] = ::fcntl(raw[i], F_DUPFD_CLOEXEC, 4);
            ::close(raw[i]);
        }
    }
    if (ends[0] >= 0 && ends[1] >= 0) return true;
    if (ends[0] >= 0) ::close(ends[0]);
    if (ends[1] >= 0) ::close(ends[1]);
    return false;
}

}  // namespace

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        Kill();
        Wait();
    }
    ClosePipes();
}

void ChildProcess::ClosePipes() {
    for (int& fd : pipes_) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

int ChildProcess::Start(const std::vector<std::string>& argv) {
    if (pid_ > 0 || argv.empty()) return EINVAL;
    ClosePipes();
    int ends[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};
    for (auto& pair : ends) {
        if (!HighPipe(pair)) {
            const int error = errno;
            for (auto& p : ends) {
                for (int fd : p) {
                    if (fd >= 0) ::close(fd);
                }
            }
            return error;
        }
    }

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    for (int i = 0; i < 3; ++i) posix_spawn_file_actions_adddup2(&actions, ends[i][1], i == 2 ? 3 : i + 1);
    posix_spawn_file_actions_addclosefrom_np(&actions, 4);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; i < 3; ++i) {
        ::close(ends[i][1]);
        pipes_[i] = ends[i][0];
    }
    if (spawned != 0) {
        ClosePipes();
        return spawned;
    }
    pid_ = pid;
    return 0;
}

bool ChildProcess::Pump(int timeoutMs, const Sink& sink) {
    pollfd polls[3];
    nfds_t count = 0;
    int index[3];
    for (int i = 0; i < 3; ++i) {
        if (pipes_[i] < 0) continue;
        polls[count] = pollfd{pipes_[i], POLLIN, 0};
        index[count++] = i;
    }
    if (count == 0) return false;
    const int ready = ::poll(polls, count, timeoutMs);
    if (ready <= 0) return true;  // a timeout, or a signal (EINTR) that leaves the pipes as they are
    char buffer[65536];
    for (nfds_t n = 0; n < count; ++n) {
        if (polls[n].revents == 0) continue;
        int& fd = pipes_[index[n]];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            if (sink) sink(static_cast<Stream>(index[n]), std::string_view(buffer, static_cast<std::size_t>(got)));
        } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
            ::close(fd);
            fd = -1;
        }
    }
    return pipes_[0] >= 0 || pipes_[1] >= 0 || pipes_[2] >= 0;
}

void ChildProcess::Kill() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
}

namespace {

int ExitCode(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

}  // namespace

int ChildProcess::Wait() {
    if (pid_ <= 0) return -1;
    int status = 0;
    pid_t reaped = 0;
    do {
        reaped = ::waitpid(pid_, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    pid_ = -1;
    ClosePipes();
    return reaped < 0 ? -1 : ExitCode(status);
}

std::optional<int> ChildProcess::TryWait() {
    if (pid_ <= 0) return -1;
    int status = 0;
    const pid_t reaped = ::waitpid(pid_, &status, WNOHANG);
    if (reaped == 0 || (reaped < 0 && errno == EINTR)) return std::nullopt;
    pid_ = -1;
    ClosePipes();
    return reaped < 0 ? -1 : ExitCode(status);
}

}  // namespace trivane
