#pragma once

namespace trivane {

class ICompass;
class ISpeedReadout;
class IStatusBoard;

// The main window as the recording manager sees it; each instrument may be absent.
class IOwnerWindow {
public:
    virtual ~IOwnerWindow() = default;
    virtual ISpeedReadout* SpeedReadout() = 0;
    virtual ICompass* Compass() = 0;
    virtual IStatusBoard* StatusBoard() = 0;
};

}  // namespace trivane
