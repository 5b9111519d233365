#pragma once

#include <string>
#include <vector>

class SCompLib;

// Loads a library into `lib`, reports a failure on stderr and returns 0 (loaded), 1 (part-way)
// or 2 (not loaded).
using SLibraryLoader = int (*)(SCompLib& lib, const std::string& path);

// "pelm-cli render FILE NAME -o OUT.png|OUT.svg [--zoom 1|2|5|10] [--margin M] [--block N]
// [--no-grid]": draws one entry as the editor view shows it. `args` starts with "render".
int runRender(const std::vector<std::string>& args, SLibraryLoader load);
