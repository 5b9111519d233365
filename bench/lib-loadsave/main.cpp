// lib-loadsave: times SCompLib::load and SCompLib::save on a large library and reports MB/s and
// the process's peak memory. Without a file argument it first writes the synthetic library of
// gen-library (20000 components) into a temporary folder; with --small N a library of N small
// components instead (15 pins of 4 blocks each and a few pattern objects: many small heap
// objects per megabyte).

#include "GenPartMaker.h"
#include "GenPartWriter.h"
#include "GenWriter.h"
#include "heap.h"
#include "model/SCompLib.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}

// Streams the text to the file so that generating adds little to the peak memory.
bool writeSyntheticLibrary(const fs::path& path, int components) {
    GenRandom rng(1);
    GenPartMaker maker(rng);
    std::ofstream file(path, std::ios::binary);
    std::string text;
    GenWriter out(text);
    auto flush = [&] {
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    };
    out.word("+KORVX_LIB_V.1.0");
    out.endLine();
    out.text("PROP", "Synthetic benchmark library, seed 1");
    out.endLine();
    for (int i = 0; i < components; ++i) {
        const GenPart part = maker.make(maker.pickFamily(), i);
        GenPartWriter::write(out, part, part.name);
        for (const auto& alias : part.aliases)
            GenPartWriter::writeAlias(out, alias, part.name);
        if (text.size() > (1u << 20))
            flush();
    }
    out.word("-KORVX_LIB_V.1.0");
    out.endLine();
    flush();
    text.shrink_to_fit();
    return static_cast<bool>(file);
}

// A small component: a 4-block part with 15 pins and a box, a line and a text.
GenPart smallPart(int serial) {
    GenPart part;
    char name[16];
    std::snprintf(name, sizeof name, "S%05d", serial);
    part.name = name;
    part.width = 4;
    part.height = 8;
    part.blocks = 4;
    part.note = "Small part";
    part.pkg = "SO16";
    for (int i = 0; i < 15; ++i) {
        GenPin pin;
        pin.side = i < 7 ? 0 : (i < 14 ? 2 : 1);
        pin.offset = i < 14 ? i % 7 + 1 : 2;
        pin.name = "P" + std::to_string(i);
        for (int b = 0; b < 4; ++b)
            pin.numbers.push_back(std::to_string(b * 15 + i + 1));
        part.pins.push_back(std::move(pin));
    }
    const auto line = [](int x1, int y1, int x2, int y2) {
        GenObj obj;
        obj.points = {{x1, y1}, {x2, y2}};
        return obj;
    };
    part.objects = {line(0, 0, 40, 0), line(40, 0, 40, 80), line(40, 80, 0, 80), line(0, 80, 0, 0),
                    line(5, 40, 35, 40)};
    GenObj label;
    label.kind = GenObj::Kind::Text;
    label.points = {{4, 4}};
    label.text = part.name;
    label.font = "Mono";
    part.objects.push_back(label);
    return part;
}

bool writeSmallLibrary(const fs::path& path, int components) {
    std::ofstream file(path, std::ios::binary);
    std::string text;
    GenWriter out(text);
    out.word("+KORVX_LIB_V.1.0");
    out.endLine();
    out.text("PROP", "Small components");
    out.endLine();
    for (int i = 0; i < components; ++i) {
        const GenPart part = smallPart(i);
        GenPartWriter::write(out, part, part.name);
        if (text.size() > (1u << 20)) {
            file.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.word("-KORVX_LIB_V.1.0");
    out.endLine();
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(file);
}

// Reads both files through small buffers (so the comparison adds nothing to the peak memory).
bool sameBytes(const fs::path& a, const fs::path& b) {
    std::ifstream fa(a, std::ios::binary);
    std::ifstream fb(b, std::ios::binary);
    std::vector<char> ba(1 << 16);
    std::vector<char> bb(1 << 16);
    while (fa && fb) {
        fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
        fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
        if (fa.gcount() != fb.gcount() ||
            !std::equal(ba.begin(), ba.begin() + fa.gcount(), bb.begin()))
            return false;
    }
    return !fa && !fb;
}

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Processor time of this process (user + system), which other load on the machine disturbs
// less than the wall time.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto tv = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return tv(usage.ru_utime) + tv(usage.ru_stime);
}

struct Stats {
    double best = 1e30;
    std::vector<double> all;
    void add(double s) {
        best = std::min(best, s);
        all.push_back(s);
    }
    double median() {
        std::sort(all.begin(), all.end());
        return all.empty() ? 0 : all[all.size() / 2];
    }
};

// Times one call: wall seconds into `wall`, processor seconds into `cpu`.
template <typename F> bool timed(F&& f, Stats& wall, Stats& cpu) {
    const double cpuStart = cpuSeconds();
    const auto start = Clock::now();
    const bool ok = f();
    wall.add(seconds(start));
    cpu.add(cpuSeconds() - cpuStart);
    return ok;
}

void report(const char* what, Stats& wall, Stats& cpu, double megabytes) {
    std::printf("%-5s wall: best %6.3f s %6.1f MB/s, median %6.3f s %6.1f MB/s | "
                "cpu: best %6.3f s %6.1f MB/s  (%zu runs)\n",
                what, wall.best, megabytes / wall.best, wall.median(), megabytes / wall.median(),
                cpu.best, megabytes / cpu.best, wall.all.size());
}

struct Args {
    std::string input;
    std::string writeOnly; // --write PATH: only write the generated library there
    int repeat = 5;
    int small = 0;
    bool heapHint = false; // --heap-hint: ready the heap as pelm-cli does
};

bool parseArgs(int argc, char** argv, Args& a) {
    std::string& input = a.input;
    int& repeat = a.repeat;
    int& small = a.small;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--write" && i + 1 < argc) {
            a.writeOnly = argv[++i];
            continue;
        }
        if (arg == "--heap-hint")
            a.heapHint = true;
        else if (arg == "--repeat" && i + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--small" && i + 1 < argc)
            small = std::max(1, std::atoi(argv[++i]));
        else if (!arg.empty() && arg[0] != '-' && input.empty())
            input = arg;
        else
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Args args;
    if (!parseArgs(argc, argv, args)) {
        std::fprintf(stderr, "usage: lib-loadsave [LIBRARY.KM2 | --small N] [--repeat N] "
                             "[--write PATH] [--heap-hint]\n");
        return 2;
    }
    if (!args.writeOnly.empty()) {
        const bool ok = args.small ? writeSmallLibrary(args.writeOnly, args.small)
                                   : writeSyntheticLibrary(args.writeOnly, 20000);
        return ok ? 0 : 1;
    }
    const int repeat = args.repeat;
    const int small = args.small;
    std::string input = args.input;
    const fs::path work =
        fs::temp_directory_path() / ("lib-loadsave." + std::to_string(::getpid()));
    fs::create_directories(work);
    if (input.empty()) {
        input = (work / (small ? "small.KM2" : "synthetic.KM2")).string();
        if (small ? !writeSmallLibrary(input, small) : !writeSyntheticLibrary(input, 20000)) {
            std::fprintf(stderr, "lib-loadsave: cannot write %s\n", input.c_str());
            return 1;
        }
    }
    sameBytes(input, input); // warms the page cache
    const double megabytes = static_cast<double>(fs::file_size(input)) / 1e6;
    if (args.heapHint)
        prepareHeapForLibrary(input);
    const double baseline = peakMegabytes();

    // First load alone, for the peak memory of a load.
    auto lib = std::make_unique<SCompLib>();
    Stats loadWall;
    Stats loadCpu;
    if (!timed([&] { return lib->load(input); }, loadWall, loadCpu)) {
        std::fprintf(stderr, "lib-loadsave: %s: load failed at line %d\n", input.c_str(),
                     lib->errorLine());
        return 1;
    }
    const double loadPeak = peakMegabytes();
    // The first load also touches every page of its memory for the first time; later ones reuse
    // what the previous library freed, as long as the allocator has kept it.
    const double firstLoad = loadWall.best;
    for (int i = 1; i < repeat; ++i) {
        auto again = std::make_unique<SCompLib>();
        timed([&] { return again->load(input); }, loadWall, loadCpu);
    }

    Stats saveWall;
    Stats saveCpu;
    const fs::path output = work / "saved.KM2";
    for (int i = 0; i < repeat; ++i) {
        if (!timed([&] { return lib->save(output.string()); }, saveWall, saveCpu)) {
            std::fprintf(stderr, "lib-loadsave: cannot save %s\n", output.c_str());
            return 1;
        }
    }
    const bool same = sameBytes(output, input);

    std::printf("library %s: %.1f MB, %d entries, %d components\n", input.c_str(), megabytes,
                lib->entryCount(), lib->componentCount());
    report("load", loadWall, loadCpu, megabytes);
    std::printf("first load (fresh memory): %6.3f s %6.1f MB/s\n", firstLoad,
                megabytes / firstLoad);
    report("save", saveWall, saveCpu, megabytes);
    std::printf("peak memory: %.1f MB before loading, %.1f MB after the first load "
                "(%.2f x the file size; %.2f x counting only the load)\n",
                baseline, loadPeak, loadPeak / megabytes, (loadPeak - baseline) / megabytes);
    std::printf("saved file %s the loaded one\n", same ? "is byte for byte" : "DIFFERS from");
    lib.reset();
    fs::remove_all(work);
    return same ? 0 : 1;
}
