#pragma once

namespace trivane {

class CVlcPlayer;

// The program: prepares the process for Qt and libVLC, runs the main window and returns the
// exit status. argv[1], when given, is a folder or a recording to open at once.
class CQENApp {
public:
    int Run(int argc, char** argv);

    // The steps of Run, for programs that build the same window (benchmarks).
    // Before QApplication: the X11 platform and native-window attributes; false without a display.
    static bool PrepareProcess();
    // After QApplication: number formatting, names, artwork and icon.
    static void PrepareApplication();
    // Snapshot conversion, and silent audio when there is no sound server.
    static void PrepareChannel(CVlcPlayer& channel);
};

}  // namespace trivane
