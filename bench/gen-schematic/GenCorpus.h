#pragma once

#include "GenRandom.h"
#include "GenSheetMaker.h"

#include <cstdint>
#include <filesystem>
#include <string>

// A folder tree of schematic files for search benchmarks: groups of projects with nested
// sheet folders, a few hidden folders (whose files a search must not visit), and some files that
// are not schematics although they hold the search texts (README, backups, exports, a library).
class GenCorpus {
public:
    struct Options {
        std::filesystem::path dir;
        long files = 20000;     // visible schematic files
        double megabytes = 500; // their total size, in MiB
        std::string rare;       // in about one visible file in 50
        std::string common;     // in every visible file
        uint64_t seed = 1;
    };
    struct Summary {
        long visible = 0;
        long withRare = 0;
        long hidden = 0;
        long others = 0;
        uint64_t visibleBytes = 0;
    };

    GenCorpus(const Options& options, const GenSheetMaker::Pool& pool);

    // False (with a message on stderr) when a folder or file cannot be written.
    bool run(Summary& summary);

private:
    bool project(int index, int sheets, Summary& summary);
    bool extras(int index, const std::filesystem::path& dir, Summary& summary);
    size_t sheetBytes();
    std::string extension();
    bool write(const std::filesystem::path& path, const std::string& bytes);

    Options m_options;
    GenRandom m_rng;
    GenSheetMaker m_maker;
    double m_averageBytes;
};
