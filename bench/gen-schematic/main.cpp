// gen-schematic: writes realistic schematic files for read and search benchmarks, either one
// file of a given size or a whole folder tree. The output depends only on the arguments.

#include "GenCorpus.h"
#include "GenPartMaker.h"
#include "GenSheetMaker.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: gen-schematic file OUT.KX2 [--mb N] [--common TEXT] [--rare TEXT] "
                 "[--seed S]\n"
                 "       gen-schematic corpus DIR [--files N] [--mb N] [--rare TEXT] "
                 "[--common TEXT] [--seed S]\n"
                 "  file:   one schematic of about N MiB (default 50)\n"
                 "  corpus: N visible schematic files (default 20000) of N MiB in total\n"
                 "          (default 500); the rare text (default \"XQ-RARE-7781\") in about one\n"
                 "          file in 50, the common text (default \"GND\") in every file\n");
    return 2;
}

// The parts placed on sheets: a fixed set, so every sheet reuses the same library parts.
GenSheetMaker::Pool makePool() {
    GenRandom rng(20240611);
    GenPartMaker maker(rng);
    GenSheetMaker::Pool pool;
    int serial = 0;
    while (pool.passives.size() < 40)
        pool.passives.push_back(maker.make(GenPartMaker::Family::Passive, serial++));
    while (pool.others.size() < 160) {
        const auto family = maker.pickFamily();
        if (family != GenPartMaker::Family::Passive)
            pool.others.push_back(maker.make(family, serial++));
    }
    return pool;
}

struct Args {
    std::string mode;
    std::string target;
    GenCorpus::Options corpus;
    bool megabytesGiven = false;
};

bool parse(int argc, char** argv, Args& args) {
    if (argc < 3)
        return false;
    args.mode = argv[1];
    args.target = argv[2];
    args.corpus.rare = "XQ-RARE-7781";
    args.corpus.common = "GND";
    for (int i = 3; i < argc; i += 2) {
        if (i + 1 >= argc)
            return false;
        const std::string key = argv[i];
        const char* value = argv[i + 1];
        if (key == "--mb") {
            args.corpus.megabytes = std::strtod(value, nullptr);
            args.megabytesGiven = true;
        } else if (key == "--files") {
            args.corpus.files = std::strtol(value, nullptr, 10);
        } else if (key == "--rare") {
            args.corpus.rare = value;
        } else if (key == "--common") {
            args.corpus.common = value;
        } else if (key == "--seed") {
            args.corpus.seed = std::strtoull(value, nullptr, 10);
        } else {
            return false;
        }
    }
    return (args.mode == "file" || args.mode == "corpus") && args.corpus.files > 0 &&
           args.corpus.megabytes > 0 && !args.corpus.rare.empty() && !args.corpus.common.empty();
}

int makeFile(const Args& args, const GenSheetMaker::Pool& pool) {
    GenRandom rng(args.corpus.seed);
    GenSheetMaker maker(rng, pool);
    const double mb = args.megabytesGiven ? args.corpus.megabytes : 50.0;
    const GenSheetMaker::Texts texts{args.corpus.common, args.corpus.rare, true};
    const std::string bytes =
        maker.make(static_cast<size_t>(mb * 1048576.0), texts, 1, 1, "benchmark");
    std::FILE* file = std::fopen(args.target.c_str(), "wb");
    bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file)
        ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "gen-schematic: cannot write %s\n", args.target.c_str());
        return 1;
    }
    std::printf("%s: %zu bytes\n", args.target.c_str(), bytes.size());
    return 0;
}

int makeCorpus(Args& args, const GenSheetMaker::Pool& pool) {
    args.corpus.dir = args.target;
    GenCorpus corpus(args.corpus, pool);
    GenCorpus::Summary summary;
    if (!corpus.run(summary))
        return 1;
    std::printf("%s: %ld visible schematic files (%llu bytes), %ld with the rare text \"%s\"; "
                "%ld files in hidden folders, %ld other files (all holding both texts)\n",
                args.target.c_str(), summary.visible,
                static_cast<unsigned long long>(summary.visibleBytes), summary.withRare,
                args.corpus.rare.c_str(), summary.hidden, summary.others);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Args args;
    if (!parse(argc, argv, args))
        return usage();
    const GenSheetMaker::Pool pool = makePool();
    return args.mode == "file" ? makeFile(args, pool) : makeCorpus(args, pool);
}
