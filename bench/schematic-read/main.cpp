// bench-schematic-read: times reading schematic files into documents (SXKorvDocSch::readFile,
// the way the search tool reads every file) and reports MB/s on one core, next to the speed of
// the bare word reader and of the search-only text scanner on the same bytes.
//
//   bench-schematic-read [--repeat N] [FILE...]
//
// Without FILE it asks gen-schematic for a realistic 50 MiB sheet in a temporary folder.

#include "schematic/SXKorvDocSch.h"
#include "schematic/SXKorvTextScanner.h"
#include "tagtext/STagReader.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// CPU time of this (single-threaded) process: on a busy machine wall time also counts the
// time other processes had the core.
double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct Run {
    int result = -1;
    size_t objects = 0;
    size_t live = 0;
    size_t words = 0;
    double freeSeconds = 0; // of the last run
};

bool readDocument(const fs::path& path, bool tidy, Run& run) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    auto doc = std::make_unique<SXKorvDocSch>();
    doc->setTidy(tidy);
    run.result = doc->readFile(file);
    std::fclose(file);
    run.objects = doc->objects().size();
    run.live = static_cast<size_t>(std::count_if(doc->objects().begin(), doc->objects().end(),
                                                 [](const auto& o) { return o->isLive(); }));
    const auto start = Clock::now();
    doc.reset();
    run.freeSeconds = seconds(start);
    return true;
}

bool readWords(const fs::path& path, Run& run) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    STagReader reader;
    reader.attachFile(file);
    std::string word;
    run.words = 0;
    while (reader.readWord(word) >= 0)
        ++run.words;
    std::fclose(file);
    return true;
}

// The file into memory and through the scanner, as the search does; false when the scanner
// leaves the file to the document reader.
bool scanTexts(const fs::path& path, Run& run) {
    thread_local std::string bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes.resize(static_cast<size_t>(fs::file_size(path)));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    thread_local SXKorvTextScanner scanner;
    if (!scanner.scan(bytes))
        return false;
    run.words = scanner.texts().size();
    return true;
}

struct Timing {
    double wall = 1e30; // best of the runs
    double cpu = 1e30;
};

template <class F> bool best(int repeat, Timing& timing, F&& once) {
    for (int i = 0; i < repeat; ++i) {
        const auto start = Clock::now();
        const double cpuStart = cpuSeconds();
        if (!once())
            return false;
        timing.wall = std::min(timing.wall, seconds(start));
        timing.cpu = std::min(timing.cpu, cpuSeconds() - cpuStart);
    }
    return true;
}

int benchFile(const fs::path& path, int repeat) {
    std::error_code ec;
    const double bytes = static_cast<double>(fs::file_size(path, ec));
    if (ec) {
        std::fprintf(stderr, "%s: cannot read\n", path.c_str());
        return 2;
    }
    Run words;
    Run plain;
    Run doc;
    Run scanned;
    Timing tWords;
    Timing tPlain;
    Timing tDoc;
    Timing tScan;
    if (!best(repeat, tWords, [&] { return readWords(path, words); }) ||
        !best(repeat, tPlain, [&] { return readDocument(path, false, plain); }) ||
        !best(repeat, tDoc, [&] { return readDocument(path, true, doc); }) ||
        doc.result != SXKorvDoc::kReadOk) {
        std::fprintf(stderr, "%s: read failed (result %d)\n", path.c_str(), doc.result);
        return 1;
    }
    const auto show = [bytes](const char* what, const Timing& t) {
        std::printf("  %-26s: %7.1f MB/s CPU time (%.3f s), %7.1f MB/s wall (%.3f s)\n", what,
                    bytes / 1e6 / t.cpu, t.cpu, bytes / 1e6 / t.wall, t.wall);
    };
    std::printf("%s\n  %.1f MB, %zu words, %zu objects (%zu live); best of %d runs\n", path.c_str(),
                bytes / 1e6, words.words, doc.objects, doc.live, repeat);
    show("word reader only", tWords);
    show("into a document, no tidy", tPlain);
    show("into a document (as read)", tDoc);
    // After the document read the file's embedded parts are known, as for a search worker.
    if (best(repeat, tScan, [&] { return scanTexts(path, scanned); }))
        show("search-only text scanner", tScan);
    else
        std::printf("  search-only text scanner  : leaves this file to the document reader\n");
    std::printf("  freeing the document took %.3f s of that\n", doc.freeSeconds);
    return 0;
}

bool generate(const fs::path& path) {
#ifdef KX_GEN_SCHEMATIC
    const std::string command =
        std::string("\"") + KX_GEN_SCHEMATIC + "\" file \"" + path.string() + "\" --mb 50";
    return std::system(command.c_str()) == 0 && fs::exists(path);
#else
    (void)path;
    return false;
#endif
}

} // namespace

int main(int argc, char** argv) {
    int repeat = 5;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--repeat" && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "usage: bench-schematic-read [--repeat N] [FILE...]\n");
            return 2;
        } else {
            files.emplace_back(arg);
        }
    }
    fs::path temp;
    if (files.empty()) {
        temp = fs::temp_directory_path() / "bench-schematic-read";
        fs::create_directories(temp);
        const fs::path generated = temp / "generated-50mb.KX2";
        if (!generate(generated)) {
            std::fprintf(stderr, "no FILE given and gen-schematic is not available\n");
            return 2;
        }
        files.push_back(generated);
    }
    int status = 0;
    for (const auto& file : files)
        status = std::max(status, benchFile(file, repeat));
    std::printf("peak memory: %.0f MB\n", peakMegabytes());
    if (!temp.empty())
        fs::remove_all(temp);
    return status;
}
