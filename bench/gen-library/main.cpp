// gen-library: writes a large synthetic component library in the library writer's exact layout,
// for load and save benchmarks.

#include "GenPartMaker.h"
#include "GenPartWriter.h"
#include "GenWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr, "usage: gen-library OUT.KM2 [--components N] [--seed S]\n"
                         "  writes N component definitions (default 20000) plus aliases\n");
    return 2;
}

bool flush(std::FILE* file, std::string& buffer) {
    const bool ok = std::fwrite(buffer.data(), 1, buffer.size(), file) == buffer.size();
    buffer.clear();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-')
        return usage();
    const char* path = argv[1];
    long components = 20000;
    unsigned long long seed = 1;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--components") == 0)
            components = std::strtol(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--seed") == 0)
            seed = std::strtoull(argv[i + 1], nullptr, 10);
        else
            return usage();
    }
    if (argc % 2 != 0 || components < 0 || components > 10000000)
        return usage();

    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        std::fprintf(stderr, "gen-library: cannot create %s\n", path);
        return 1;
    }
    GenRandom rng(seed);
    GenPartMaker maker(rng);
    std::string buffer;
    GenWriter out(buffer);
    out.word("+KORVX_LIB_V.1.0");
    out.endLine();
    out.text("PROP", "Synthetic benchmark library, seed " + std::to_string(seed));
    out.endLine();
    bool ok = true;
    long aliases = 0;
    for (long i = 0; i < components && ok; ++i) {
        const GenPart part = maker.make(maker.pickFamily(), static_cast<int>(i));
        GenPartWriter::write(out, part, part.name);
        for (const auto& alias : part.aliases)
            GenPartWriter::writeAlias(out, alias, part.name);
        aliases += static_cast<long>(part.aliases.size());
        if (buffer.size() > (4u << 20))
            ok = flush(file, buffer);
    }
    out.word("-KORVX_LIB_V.1.0");
    out.endLine();
    ok = flush(file, buffer) && ok;
    const long bytes = std::ftell(file);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "gen-library: write error on %s\n", path);
        return 1;
    }
    std::printf("%s: %ld components, %ld aliases, %ld bytes\n", path, components, aliases, bytes);
    return 0;
}
