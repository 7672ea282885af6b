#include "export/ProgramRun.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "export/ChildProcess.h"

namespace trivane {

namespace {

constexpr int kPollMs = 50;
constexpr std::size_t kErrorKept = 16 * 1024;

}  // namespace

ProgramOutcome RunProgram(const std::vector<std::string>& argv, const std::atomic<bool>& cancel,
                          const std::function<void(std::string_view)>& onExtra, std::size_t outputLimit) {
    ProgramOutcome outcome;
    if (cancel.load()) {
        outcome.canceled = true;
        return outcome;
    }
    ChildProcess child;
    outcome.startError = child.Start(argv);
    if (outcome.startError != 0) return outcome;

    const ChildProcess::Sink sink = [&](ChildProcess::Stream stream, std::string_view data) {
        switch (stream) {
            case ChildProcess::Stream::Output:
                outcome.output.append(data.substr(0, outputLimit - std::min(outputLimit, outcome.output.size())));
                break;
            case ChildProcess::Stream::Error:
                outcome.errorTail.append(data);
                if (outcome.errorTail.size() > kErrorKept) {
                    outcome.errorTail.erase(0, outcome.errorTail.size() - kErrorKept);
                }
                break;
            case ChildProcess::Stream::Extra:
                if (onExtra) onExtra(data);
                break;
        }
    };
    auto stop = [&] {
        child.Kill();
        child.Wait();
        outcome.canceled = true;
        return outcome;
    };
    // Output until every pipe closes, then the exit; a child that lingers without its pipes is
    // still looked after.
    while (child.Pump(kPollMs, sink)) {
        if (cancel.load()) return stop();
    }
    for (;;) {
        if (cancel.load()) return stop();
        if (const auto status = child.TryWait()) {
            outcome.status = *status;
            return outcome;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs / 5));
    }
}

std::string LastLines(std::string_view text, std::size_t maxLines, std::size_t maxChars) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.remove_suffix(1);
    std::size_t begin = text.size();
    for (std::size_t lines = 0; lines < maxLines && begin > 0; ++lines) {
        const std::size_t newline = text.rfind('\n', begin - 1);
        if (newline == std::string_view::npos) {
            begin = 0;
            break;
        }
        begin = newline;
    }
    if (begin < text.size() && text[begin] == '\n') ++begin;
    if (text.size() - begin > maxChars) begin = text.size() - maxChars;
    std::string tail(text.substr(begin));
    for (char& c : tail) {
        if (c == '\r') c = '\n';
    }
    return tail;
}

}  // namespace trivane
