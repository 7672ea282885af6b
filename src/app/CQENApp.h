#pragma once

namespace trivane {

// The program: prepares the process for Qt and libVLC, runs the main window and returns the
// exit status. argv[1], when given, is a folder or a recording to open at once.
class CQENApp {
public:
    int Run(int argc, char** argv);
};

}  // namespace trivane
