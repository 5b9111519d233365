// lib-hostile: loads libraries made to cost much memory or time per byte and reports, per case,
// the file size, the loading process's peak memory and the load time. Each case loads in a child
// process of its own, so its peak is its own. Targets: bit patterns keep the peak memory at most
// 8 × the file size plus 50 MB; 100,000 entries of one name load in under 1 s. Cases without a
// memory target show the cost of a component record itself (a few hundred bytes in memory for
// a record of 30 bytes), which no bit pattern adds to. Exit status 1 when a target is missed.
// Usage: lib-hostile [MEGABYTES per file, default 16]

#include "model/SCompLib.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr double kMemoryFactor = 8.0;
constexpr double kMemoryAllowanceMb = 50.0;

struct Case {
    const char* name;
    // Appends one repeating unit of the library text.
    std::function<void(std::string&, int)> unit;
    size_t bytes = 0;      // file size to reach (0: `count` units)
    int count = 0;         // units when `bytes` is 0
    double maxSeconds = 0; // load time target, 0 for none
    bool memoryTarget = true;
    const char* tail = ""; // closes what the last unit left open
};

bool writeLibrary(const fs::path& path, const Case& c) {
    std::ofstream file(path, std::ios::binary);
    std::string text = "+KORVX_LIB_V.1.0\r\nPROP:\r\n";
    size_t written = 0;
    for (int i = 0; c.bytes ? written + text.size() < c.bytes : i < c.count; ++i) {
        c.unit(text, i);
        if (text.size() > (size_t{1} << 20)) {
            written += text.size();
            file << text;
            text.clear();
        }
    }
    file << text << c.tail << "-KORVX_LIB_V.1.0\r\n";
    return static_cast<bool>(file);
}

struct Outcome {
    bool loaded = false;
    double seconds = 0;
    double cpuSeconds = 0; // of the whole child: less disturbed by other load on the machine
    double peakMb = 0;
};

// Loads in a child; the child reports its load time through its exit path: a pipe.
Outcome loadInChild(const fs::path& path) {
    int fds[2];
    Outcome out;
    if (pipe(fds) != 0)
        return out;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        SCompLib lib;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = lib.load(path.string());
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double report[2] = {ok ? 1.0 : 0.0, s};
        if (write(fds[1], report, sizeof report) != sizeof report)
            _exit(2);
        _exit(0); // the library is dropped with the process, as a command-line tool drops it
    }
    close(fds[1]);
    double report[2] = {0, 0};
    const bool got = read(fds[0], report, sizeof report) == sizeof report;
    close(fds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    out.loaded = got && report[0] == 1.0;
    out.seconds = report[1];
    out.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    const auto tv = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
    };
    out.cpuSeconds = tv(usage.ru_utime) + tv(usage.ru_stime);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    const double mb = argc > 1 ? std::atof(argv[1]) : 16.0;
    const size_t bytes = static_cast<size_t>(mb * 1e6);
    const Case cases[] = {
        {"empty bit patterns",
         [](std::string& t, int i) {
             t += "+PTN,N:" + std::to_string(i) + ",X:501,Y:501,+BMP,-BMP,-PTN\r\n";
         },
         bytes},
        {"one-row bit patterns",
         [](std::string& t, int i) {
             t += "+PTN,N:" + std::to_string(i) + ",X:501,Y:501,+BMP,@A,-BMP,-PTN\r\n";
         },
         bytes},
        {"last row set",
         [](std::string& t, int i) {
             t += "+PTN,N:" + std::to_string(i) + ",X:501,Y:501,+BMP";
             for (int r = 0; r < 500; ++r)
                 t += ",A";
             t += ",@A,-BMP,-PTN\r\n";
         },
         bytes},
        {"one bit pattern for many components",
         [](std::string& t, int i) {
             if (i == 0) {
                 t += "+PTN,N:a,X:501,Y:501,+BMP\r\n";
                 for (int r = 0; r < 501; ++r)
                     t += std::string(126, 'O') + "\r\n";
                 t += "-BMP,-PTN\r\n";
             }
             t += "+COMP,N:a,X:50,Y:50,B:1,P:a,-COMP\r\n";
         },
         bytes},
        {"minimal components", [](std::string& t, int) { t += "+COMP,N:A,X:1,Y:1,B:1,-COMP\r\n"; },
         bytes},
        {"empty pins of 256 blocks",
         [](std::string& t, int i) {
             if (i % 4096 == 0)
                 t += (i ? "-COMP\r\n" : "") + std::string("+COMP,N:a,X:1,Y:1,B:256\r\n");
             t += "+PIN,-PIN,";
         },
         bytes, 0, 0, true, "-COMP\r\n"},
        {"empty lines",
         [](std::string& t, int i) {
             if (i % 4096 == 0)
                 t += std::string(i ? "-PTN\r\n" : "") + "+PTN,N:" + std::to_string(i) +
                      ",X:1,Y:1\r\n";
             t += "+L,-L,";
         },
         bytes, 0, 0, true, "-PTN\r\n"},
        {"empty texts",
         [](std::string& t, int i) {
             if (i % 4096 == 0)
                 t += std::string(i ? "-PTN\r\n" : "") + "+PTN,N:" + std::to_string(i) +
                      ",X:1,Y:1\r\n";
             t += "+TX,-TX,";
         },
         bytes, 0, 0, true, "-PTN\r\n"},
        {"aliases",
         [](std::string& t, int i) {
             if (i == 0)
                 t += "+COMP,N:a,X:1,Y:1,B:1,-COMP\r\n";
             t += "+ALIAS,N:a,A:b,-ALIAS\r\n";
         },
         bytes},
        {"100,000 entries named A",
         [](std::string& t, int) { t += "+COMP,N:A,X:1,Y:1,B:1,-COMP\r\n"; }, 0, 100000, 1.0,
         false},
    };
    const fs::path dir = fs::temp_directory_path() / ("lib-hostile." + std::to_string(getpid()));
    fs::create_directories(dir);
    bool allMet = true;
    std::printf("%-36s %9s %9s %9s %8s %8s  %s\n", "case", "file MB", "peak MB", "limit MB",
                "load s", "cpu s", "result");
    for (const Case& c : cases) {
        const fs::path path = dir / "hostile.KM2";
        if (!writeLibrary(path, c)) {
            std::fprintf(stderr, "lib-hostile: cannot write %s\n", path.c_str());
            return 2;
        }
        const double fileMb = static_cast<double>(fs::file_size(path)) / 1e6;
        const Outcome o = loadInChild(path);
        const double limit = kMemoryFactor * fileMb + kMemoryAllowanceMb;
        const bool met = o.loaded && (!c.memoryTarget || o.peakMb <= limit) &&
                         (c.maxSeconds == 0 || o.seconds < c.maxSeconds);
        allMet = allMet && met;
        const std::string shownLimit =
            c.memoryTarget ? std::to_string(static_cast<int>(limit)) : std::string("-");
        std::printf("%-36s %9.1f %9.1f %9s %8.3f %8.3f  %s\n", c.name, fileMb, o.peakMb,
                    shownLimit.c_str(), o.seconds, o.cpuSeconds,
                    !o.loaded ? "LOAD FAILED"
                    : met     ? "ok"
                              : "MISSED");
        fs::remove(path);
    }
    fs::remove_all(dir);
    return allMet ? 0 : 1;
}
