// bench-kxview-sheet: how long kxview takes to open a large sheet (read, index, first picture)
// and to draw one frame while panning, at the fitted zoom (everything on screen) and at 100 %.
//
//   bench-kxview-sheet [--frames N] [--size WxH] [FILE]
//
// Without FILE it asks gen-schematic for a sheet of about 20,000 objects.

#include "schematic/SXKorvDocSch.h"
#include "sheetdraw/CSheetRenderer.h"
#include "sheetdraw/CSheetTiles.h"
#include "viewcore/SSheetIndex.h"
#include "viewcore/SSheetLoader.h"
#include "viewcore/SSheetViewport.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

struct Stats {
    double median = 0;
    double worst = 0;
};

Stats stats(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

// Frames drawn while the view moves by `step` pixels a frame, as a drag does: each frame drawn
// whole (`tiles` null), or as the viewer draws it, from tiles kept between frames.
Stats pan(CSheetRenderer& renderer, const SXKorvDoc& doc, const SSheetIndex& index,
          SSheetViewport viewport, QImage& image, int frames, int step, CSheetTiles* tiles) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        viewport.scrollBy(i % 40 < 20 ? step : -step, i % 80 < 40 ? step / 2 : -step / 2);
        const auto t0 = Clock::now();
        QPainter painter(&image);
        const CSheetFrame frame = CSheetFrame::of(viewport, doc.visibleLayers());
        if (tiles)
            tiles->draw(painter, renderer, doc, index, frame);
        else
            renderer.drawSheet(painter, doc, index, frame);
        painter.end();
        times.push_back(msSince(t0));
    }
    return stats(times);
}

void report(const char* what, CSheetRenderer& renderer, const SXKorvDoc& doc,
            const SSheetIndex& index, const SSheetViewport& viewport, QImage& image, int frames) {
    const Stats whole = pan(renderer, doc, index, viewport, image, frames, 8, nullptr);
    CSheetTiles tiles;
    // The first frame draws every tile on screen; the pan then draws only what comes into view.
    const Stats first = pan(renderer, doc, index, viewport, image, 1, 0, &tiles);
    const Stats tiled = pan(renderer, doc, index, viewport, image, frames, 8, &tiles);
    std::printf("pan, %s (%d %%): whole frames median %.2f ms, worst %.2f ms; from tiles (as the "
                "viewer draws) first %.2f ms, then median %.2f ms, worst %.2f ms\n",
                what, viewport.num() * 100 / SSheetViewport::kDen, whole.median, whole.worst,
                first.worst, tiled.median, tiled.worst);
}

std::string generate() {
#ifdef KX_GEN_SCHEMATIC
    const fs::path path = fs::temp_directory_path() / "bench-kxview-20k.KX2";
    // About 20,000 objects (components, wires, labels, tags, junctions, ...).
    const std::string command =
        std::string(KX_GEN_SCHEMATIC) + " file '" + path.string() + "' --mb 3.0 > /dev/null";
    if (std::system(command.c_str()) != 0)
        return {};
    return path.string();
#else
    return {};
#endif
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int frames = 60;
    int width = 1280;
    int height = 800;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--frames" && i + 1 < argc)
            frames = std::max(1, std::atoi(argv[++i]));
        else if (a == "--size" && i + 1 < argc)
            std::sscanf(argv[++i], "%dx%d", &width, &height);
        else
            file = a;
    }
    if (file.empty())
        file = generate();
    if (file.empty()) {
        std::fputs("bench-kxview-sheet: no FILE and no generator\n", stderr);
        return 2;
    }

    const auto t0 = Clock::now();
    SSheetLoad load = SSheetLoader::load(file, file);
    if (!load.doc) {
        std::fprintf(stderr, "bench-kxview-sheet: %s\n", load.error.c_str());
        return 1;
    }
    const double readMs = msSince(t0);
    const auto t1 = Clock::now();
    const SSheetIndex index(load.doc->objects());
    const double indexMs = msSince(t1);

    SSheetViewport viewport;
    viewport.setSheetSize(load.doc->sheetSize());
    viewport.setViewportSize(width, height);
    viewport.fit();
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    CSheetRenderer renderer;
    const auto t2 = Clock::now();
    {
        QPainter painter(&image);
        renderer.drawSheet(painter, *load.doc, index,
                           CSheetFrame::of(viewport, load.doc->visibleLayers()));
    }
    const double firstMs = msSince(t2);

    std::printf("file: %s (%.1f MB), %zu objects, sheet %dx%d, window %dx%d\n", file.c_str(),
                static_cast<double>(fs::file_size(file)) / 1e6, index.size(),
                load.doc->sheetSize().width, load.doc->sheetSize().height, width, height);
    std::printf("open: read %.1f ms + index %.1f ms + first picture (fitted) %.1f ms = %.1f ms\n",
                readMs, indexMs, firstMs, readMs + indexMs + firstMs);

    report("fitted", renderer, *load.doc, index, viewport, image, frames);
    viewport.setNum(SSheetViewport::kDen);
    report("actual size", renderer, *load.doc, index, viewport, image, frames);
    return 0;
}
