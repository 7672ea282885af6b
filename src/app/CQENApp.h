#pragma once

namespace trivane {

class CVlcPlayer;

// The program: reads its command line (CommandLine.h), prepares the process for Qt and libVLC,
// runs the main window and returns the exit status: 0, 1 without a display, 2 for a command line
// it cannot take. A path given is opened at once, and so is a file or folder dropped on the window.
class CQENApp {
public:
    int Run(int argc, char** argv);

    // The steps of Run, for programs that build the same window (benchmarks).
    // Before QApplication: the X11 platform and native-window attributes; false without a display.
    static bool PrepareProcess();
    // After QApplication: number formatting, names, artwork and icon.
    static void PrepareApplication();
    // Snapshot conversion, silent audio when there is no sound server, and video outputs without
    // OpenGL when there is no GPU. Call it before the channel gets its window.
    static void PrepareChannel(CVlcPlayer& channel);
};

}  // namespace trivane
