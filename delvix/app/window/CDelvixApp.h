#pragma once

// The Delvix program: finds its settings, reads the command line and runs the search window
// until it is closed.
class CDelvixApp {
public:
    static int run(int argc, char** argv);
};
