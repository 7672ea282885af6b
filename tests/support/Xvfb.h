#pragma once

#include <sys/types.h>

#include <string>

namespace trivane::testing {

// An X server of its own for tests that need a real window.
class Xvfb {
public:
    Xvfb();
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    bool Running() const { return pid_ > 0 && !display_.empty(); }
    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

}  // namespace trivane::testing
