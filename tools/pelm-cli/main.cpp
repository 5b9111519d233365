// pelm-cli: lists a component library, or loads and saves it again, with the library code of
// the editor.

#include "heap.h"
#include "model/SCompLib.h"
#include "model/SPtn.h"
#include "render.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

constexpr std::string_view kVersion = "0.69.02";

enum ExitCode : int { kLoaded = 0, kPartlyLoaded = 1, kUsageOrFile = 2 };

constexpr std::string_view kUsage =
    "Usage: pelm-cli list FILE\n"
    "       pelm-cli roundtrip IN OUT\n"
    "       pelm-cli render FILE NAME -o OUT.png|OUT.svg [--zoom 1|2|5|10] [--margin M]\n"
    "                       [--block N] [--no-grid]\n"
    "       pelm-cli -h | --help | --version\n"
    "\n"
    "FILE and IN are component libraries (.KM2) or schematics (.KX2), whose embedded\n"
    "parts are then read as a library.\n"
    "\n"
    "  list       one line per entry in library order, tab-separated: name, the first\n"
    "             earlier entry of the same component or '-', width, height, blocks,\n"
    "             pins, pattern objects, 1 or 0 for a bit pattern. Control bytes and '%'\n"
    "             in names are shown as %XX.\n"
    "  roundtrip  loads IN as the editor opens it and saves it to OUT as the editor saves.\n"
    "             OUT is refused when it is not a regular file, may not be written, ends\n"
    "             in .KX2, or is IN itself after IN failed to load part-way.\n"
    "  render     draws entry NAME as the editor view shows it (nothing selected) at the\n"
    "             zoom (default 1) and margin (default 50, held to 50-200), in block N\n"
    "             (default 0), with or without the grid: a PNG of the whole scrollable\n"
    "             extent, or an SVG cropped to the drawing. Needs a build with the GUI.\n"
    "\n"
    "Exit status: 0 loaded; 1 the file failed to load part-way (what was read is still\n"
    "listed, written or drawn; the error is reported as FILE:LINE); 2 usage error,\n"
    "unreadable file, not a library or schematic, no entry NAME, OUT could not be\n"
    "written, or standard output could not be written.\n";

void put(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

const char* describe(SCompLib::LoadError error) {
    switch (error) {
    case SCompLib::LoadError::BadPattern:
        return "pattern section could not be read";
    case SCompLib::LoadError::BadComponent:
        return "component section could not be read";
    case SCompLib::LoadError::BadAlias:
        return "alias section could not be read";
    case SCompLib::LoadError::BadClosingWord:
        return "unexpected closing word";
    case SCompLib::LoadError::UnclosedSection:
        return "section is never closed";
    case SCompLib::LoadError::NotALibrary:
        return "not a component library or schematic file";
    case SCompLib::LoadError::ReadError:
        return "read error";
    default:
        return "cannot be loaded";
    }
}

// Loads `path` and reports a failure on stderr; returns the exit code of the load.
int loadLibrary(SCompLib& lib, const std::string& path) {
    prepareHeapForLibrary(path);
    if (lib.load(path))
        return kLoaded;
    const SCompLib::LoadError error = lib.loadError();
    std::string message = "pelm-cli: " + path;
    int code = kPartlyLoaded;
    if (error == SCompLib::LoadError::CannotOpen) {
        message += ": cannot open: ";
        message += lib.systemError() ? std::strerror(lib.systemError()) : "unknown error";
        code = kUsageOrFile;
    } else if (error == SCompLib::LoadError::NotALibrary ||
               error == SCompLib::LoadError::ReadError) {
        message += ": ";
        message += describe(error);
        if (error == SCompLib::LoadError::ReadError && lib.systemError())
            message += std::string(": ") + std::strerror(lib.systemError());
        code = kUsageOrFile;
    } else {
        message = path + ":" + std::to_string(lib.errorLine()) + ": error: " + describe(error) +
                  " (" + std::to_string(lib.entryCount()) + " entries read before it)";
    }
    message += '\n';
    put(stderr, message);
    return code;
}

void appendName(std::string& out, std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '%') {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
}

void appendColumn(std::string& out, int64_t value) {
    out += '\t';
    out += std::to_string(value);
}

void listEntries(const SCompLib& lib) {
    std::unordered_map<const SCompInfo*, const SCompIndex*> firstOf;
    std::string out;
    for (const auto& entry : lib.entries()) {
        const SCompInfo* comp = entry->component();
        const auto [first, isFirst] = firstOf.emplace(comp, entry.get());
        appendName(out, entry->name());
        out += '\t';
        if (isFirst)
            out += '-';
        else
            appendName(out, first->second->name());
        const SPtn* pattern = comp ? comp->pattern() : nullptr;
        appendColumn(out, comp ? comp->size().width : 0);
        appendColumn(out, comp ? comp->size().height : 0);
        appendColumn(out, comp ? comp->blockCount() : 0);
        appendColumn(out, comp ? comp->pinCount() : 0);
        appendColumn(out, pattern ? pattern->objectCount() : 0);
        appendColumn(out, pattern && pattern->hasBitPattern() ? 1 : 0);
        out += '\n';
        if (out.size() >= (size_t{1} << 16)) {
            put(stdout, out);
            out.clear();
        }
    }
    put(stdout, out);
}

// Standard output may be a full disk or a closed pipe: a listing cut short must not pass for
// a complete one.
int finishOutput(int code) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int err = errno;
        put(stderr, std::string("pelm-cli: cannot write to standard output") +
                        (err ? std::string(": ") + std::strerror(err) : std::string()) + "\n");
        return kUsageOrFile;
    }
    return code;
}

// The library of a command lives until the process ends: freeing its many small objects one by
// one would only cost time.
SCompLib& processLibrary() {
    static SCompLib* const lib = new SCompLib;
    return *lib;
}

int runList(const std::string& path) {
    SCompLib& lib = processLibrary();
    const int code = loadLibrary(lib, path);
    if (code != kUsageOrFile)
        listEntries(lib);
    return finishOutput(code);
}

int runRoundtrip(const std::string& in, const std::string& out) {
    SCompLib& lib = processLibrary();
    const int code = loadLibrary(lib, in);
    if (code == kUsageOrFile)
        return code;
    if (code == kPartlyLoaded && lib.isPartlyReadInput(out)) {
        put(stderr, "pelm-cli: " + out +
                        ": not overwritten: it is the input, which was read only in part\n");
        return kPartlyLoaded;
    }
    if (!lib.save(out)) {
        put(stderr, "pelm-cli: " + out + ": cannot write: " + lib.saveError() + "\n");
        return kUsageOrFile;
    }
    return code;
}

bool isHelp(const std::string& arg) {
    return arg == "-h" || arg == "--help";
}

int usageError(std::string_view why) {
    put(stderr, "pelm-cli: ");
    put(stderr, why);
    put(stderr, "\n");
    put(stderr, kUsage);
    return kUsageOrFile;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Help wins wherever it stands, also after a command ("pelm-cli list --help").
    if (std::any_of(args.begin(), args.end(), isHelp)) {
        put(stdout, kUsage);
        return finishOutput(kLoaded);
    }
    if (args.size() == 1 && args[0] == "--version") {
        put(stdout, "pelm-cli " + std::string(kVersion) + "\n");
        return finishOutput(kLoaded);
    }
    if (args.empty())
        return usageError("missing command");
    if (args[0] == "render")
        return runRender(args, loadLibrary);
    if (args[0] == "list")
        return args.size() == 2 ? runList(args[1]) : usageError("list takes one FILE");
    if (args[0] == "roundtrip")
        return args.size() == 3 ? runRoundtrip(args[1], args[2])
                                : usageError("roundtrip takes IN and OUT");
    return usageError("unknown command '" + args[0] + "'");
}
