#include "GenCorpus.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string numbered(const char* format, int n) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, n);
    return buf;
}

} // namespace

GenCorpus::GenCorpus(const Options& options, const GenSheetMaker::Pool& pool)
    : m_options(options), m_rng(options.seed), m_maker(m_rng, pool),
      m_averageBytes(options.files > 0
                         ? options.megabytes * 1048576.0 / static_cast<double>(options.files)
                         : 0) {}

bool GenCorpus::run(Summary& summary) {
    int index = 0;
    while (summary.visible < m_options.files) {
        const long left = m_options.files - summary.visible;
        const int sheets = static_cast<int>(std::min<long>(left, m_rng.range(5, 120)));
        if (!project(index++, sheets, summary))
            return false;
    }
    // A hidden folder at the top, as left behind by tools.
    for (int i = 0; i < 5; ++i) {
        const GenSheetMaker::Texts texts{m_options.common, m_options.rare, true};
        if (!write(m_options.dir / ".cache" / numbered("stale-%d.KX2", i),
                   m_maker.make(4000, texts, 1, 1, "cache")))
            return false;
        ++summary.hidden;
    }
    return true;
}

// Sizes spread as in real projects: many small sheets, a few large ones; mean 1.
size_t GenCorpus::sheetBytes() {
    static const double kFactors[] = {0.25, 0.6, 1.2, 2.5, 6.0};
    static const int kUpTo[] = {30, 60, 85, 97, 100};
    const int r = m_rng.below(100);
    int k = 0;
    while (r >= kUpTo[k])
        ++k;
    const double jitter = 0.8 + 0.4 * m_rng.below(1000) / 1000.0;
    return static_cast<size_t>(m_averageBytes / 1.035 * kFactors[k] * jitter);
}

std::string GenCorpus::extension() {
    const int r = m_rng.below(100);
    return r < 78 ? ".KX2" : (r < 99 ? ".kx2" : ".Kx2");
}

bool GenCorpus::project(int index, int sheets, Summary& summary) {
    const std::string name = numbered("proj-%04d", index);
    const fs::path dir = m_options.dir / numbered("group-%02d", index / 12) / name;
    for (int k = 0; k < sheets; ++k) {
        fs::path folder = dir;
        if (index % 2 == 1 && k % 3 == 2)
            folder /= "sheets";
        if (index % 5 == 0 && k % 4 == 3)
            folder = folder / "rev-b" / "old";
        // Aim the rest of the files at the bytes still missing, so the total meets the target
        // although every sheet ends a little beyond its own aim.
        const double budget = m_options.megabytes * 1048576.0;
        const long left = m_options.files - summary.visible;
        m_averageBytes = std::max(2000.0, (budget - static_cast<double>(summary.visibleBytes)) /
                                              static_cast<double>(left));
        GenSheetMaker::Texts texts{m_options.common, m_options.rare, summary.visible % 50 == 17};
        const std::string bytes = m_maker.make(sheetBytes(), texts, k + 1, sheets, name);
        if (!write(folder / (numbered("sheet-%03d", k + 1) + extension()), bytes))
            return false;
        ++summary.visible;
        summary.withRare += texts.withRare ? 1 : 0;
        summary.visibleBytes += bytes.size();
    }
    return extras(index, dir, summary);
}

// Files a search must skip; all of them hold both search texts.
bool GenCorpus::extras(int index, const fs::path& dir, Summary& summary) {
    const GenSheetMaker::Texts texts{m_options.common, m_options.rare, true};
    if (index % 15 == 7) {
        for (int i = 0; i < 3; ++i) {
            if (!write(dir / ".backup" / numbered("sheet-%03d.KX2", i + 1),
                       m_maker.make(6000, texts, i + 1, 3, "backup")))
                return false;
            ++summary.hidden;
        }
    }
    std::string other;
    fs::path path;
    if (index % 4 == 1) {
        path = dir / "README.txt";
        other = "Project notes.\nParts: " + m_options.common + ", " + m_options.rare + "\n";
    } else if (index % 9 == 3) {
        path = dir / "sheet-001.KX2.bak";
        other = m_maker.make(3000, texts, 1, 1, "bak");
    } else if (index % 11 == 5) {
        path = dir / "export.kx2x";
        other = m_maker.make(3000, texts, 1, 1, "export");
    } else if (index % 13 == 6) {
        path = dir / "parts.KM2";
        GenWriter out(other);
        out.word("+KORVX_LIB_V.1.0");
        out.endLine();
        out.text("PROP", m_options.rare);
        out.endLine();
        out.word("-KORVX_LIB_V.1.0");
        out.endLine();
    } else {
        return true;
    }
    ++summary.others;
    return write(path, other);
}

bool GenCorpus::write(const fs::path& path, const std::string& bytes) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file)
        ok = std::fclose(file) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "gen-schematic: cannot write %s\n", path.c_str());
    return ok;
}
