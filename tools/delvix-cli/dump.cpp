#include "dump.h"

#include "CliOutput.h"

#include "schematic/SXKorvDocSch.h"
#include "tagtext/STagWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr char kDumpUsage[] =
    "usage: delvix-cli dump FILE\n"
    "\n"
    "Reads the schematic FILE as Delvix does and writes the sheet to standard output as a\n"
    "schematic file: the sheet info, then every object that was kept (collinear touching wires\n"
    "and buses merged, duplicate junctions and entries dropped, wires split at junctions).\n"
    "\n"
    "Exit status: 0 read, 1 read error (reported as FILE:LINE: ...), 2 not a schematic file,\n"
    "unreadable file or usage error.\n";

int usageError(const char* message) {
    std::fprintf(stderr, "delvix-cli dump: %s\n\n%s", message, kDumpUsage);
    return 2;
}

int writeDocument(const SXKorvDoc& doc) {
    STagWriter writer;
    writer.attachFile(stdout);
    const bool written = doc.writeSheet(writer);
    if (!finishStandardOutput("delvix-cli dump"))
        return 2;
    if (!written) {
        std::fprintf(stderr, "delvix-cli dump: cannot write to standard output\n");
        return 2;
    }
    return 0;
}

} // namespace

int runDump(int argc, char** argv) {
    const char* path = nullptr;
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h"))
        return writeStandardOutput(kDumpUsage, "delvix-cli dump") ? 0 : 2;
    if (argc == 2 && argv[1][0] != '-')
        path = argv[1];
    else if (argc == 3 && std::string_view(argv[1]) == "--")
        path = argv[2];
    else
        return usageError(argc < 2 ? "no FILE given" : "expected exactly one FILE");

    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::fprintf(stderr, "%s: cannot open: %s\n", path, std::strerror(errno));
        return 2;
    }
    SXKorvDocSch doc;
    const int result = doc.readFile(file);
    std::fclose(file);
    const SXKorvReadError& error = doc.readError();
    if (result == SXKorvDoc::kNotSchematic) {
        std::fprintf(stderr, "%s: not a schematic file\n", path);
        return 2;
    }
    if (result == SXKorvDoc::kReadError && error.ioError) {
        std::fprintf(stderr, "%s: cannot read the file\n", path);
        return 2;
    }
    if (result == SXKorvDoc::kReadError) {
        std::fprintf(stderr, "%s:%d: %s\n", path, static_cast<int>(error.line),
                     error.message.c_str());
        return 1;
    }
    return writeDocument(doc);
}
