// pelm-cli without the Qt drawing code: the render command is refused.

#include "render.h"

#include <cstdio>

int runRender(const std::vector<std::string>& /*args*/, SLibraryLoader /*load*/) {
    std::fputs("pelm-cli: render is not available in this build (built without Qt)\n", stderr);
    return 2;
}
