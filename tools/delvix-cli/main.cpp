#include "CliOutput.h"
#include "dump.h"
#include "find.h"
#include "render.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr char kVersionLine[] = "delvix-cli 0.69.02\n";

constexpr char kUsage[] =
    "usage: delvix-cli COMMAND [ARGS]\n"
    "       delvix-cli -h | --help | --version\n"
    "\n"
    "Commands:\n"
    "  dump FILE         read a schematic file as Delvix does and write what\n"
    "                    it kept to standard output\n"
    "  find TEXT FOLDER  search the schematic files of a folder\n"
    "  render FILE -o OUT.svg|OUT.png\n"
    "                    draw a schematic as the viewer shows it\n"
    "\n"
    "'delvix-cli COMMAND --help' describes a command.\n";

struct Command {
    std::string_view name;
    int (*run)(int argc, char** argv);
};

constexpr Command kCommands[] = {
    {"dump", runDump},
    {"find", runFind},
    {"render", runRender},
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h")
        return writeStandardOutput(kUsage, "delvix-cli") ? 0 : 2;
    if (first == "--version")
        return writeStandardOutput(kVersionLine, "delvix-cli") ? 0 : 2;
    for (const Command& command : kCommands) {
        if (first == command.name)
            return command.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "delvix-cli: unknown command '%s'\n\n%s", argv[1], kUsage);
    return 2;
}
