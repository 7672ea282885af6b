#pragma once

#include <string>

namespace trivane {

// Progress board shown while recordings are copied.
class IStatusBoard {
public:
    virtual ~IStatusBoard() = default;
    virtual void ShowBoard(bool visible) = 0;
    virtual void SetProgress(int percent, const std::string& caption) = 0;  // repaints at once
};

}  // namespace trivane
