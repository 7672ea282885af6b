#pragma once

namespace trivane {
class CVlcPlayer;
}

namespace trivane::testing {

// The real front and rear channels, set up as the program sets them up (JPEG snapshots, silent
// audio). One pair lives for the whole test program: libVLC reloads its plug-ins badly.
CVlcPlayer& LiveFront();
CVlcPlayer& LiveRear();

}  // namespace trivane::testing
