#include "window/CDelvixApp.h"

int main(int argc, char** argv) {
    return CDelvixApp::run(argc, argv);
}
