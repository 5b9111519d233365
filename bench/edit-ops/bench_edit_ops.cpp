// Timings of the edit document on a big component: 2,000 pins and 5,000 pattern objects.
// Each step the user feels (load, rubber-band select all, move, release, undo) must stay far
// below 50 ms.

#include "edit/SCompEditDoc.h"
#include "model/SCompInfo.h"
#include "model/SPin.h"
#include "model/SPtn.h"
#include "model/SPtnObjArc.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Built by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string at -O3.
std::string numbered(const char* prefix, int32_t n) {
    std::string text(prefix);
    text += std::to_string(n);
    return text;
}

constexpr int32_t kPins = 2000;
constexpr int32_t kObjects = 5000;
constexpr int32_t kSide = 255; // grid steps; the body is 2550 × 2550 model units

std::unique_ptr<SPtnObj> makeObject(int32_t i) {
    const int32_t x = (i * 37) % 2400 + 50;
    const int32_t y = (i * 91) % 2400 + 50;
    switch (i % 5) {
    case 0:
        return std::make_unique<SPtnObjLine>(SPoint(x, y), SPoint(x + 40, y + 20));
    case 1:
        return std::make_unique<SPtnObjCircle>(SPoint(x, y), SPoint(x + 30, y + 30));
    case 2:
        return std::make_unique<SPtnObjPolygon>(
            std::vector<SPoint>{{x, y}, {x + 20, y}, {x + 20, y + 20}, {x, y + 25}});
    case 3:
        return std::make_unique<SPtnObjArc>(SPoint(x, y), 15, 0, 1440);
    default: {
        auto text = std::make_unique<SPtnObjText>();
        text->setPosition(SPoint(x, y));
        text->setText(numbered("T", i));
        return text;
    }
    }
}

const SCompInfo& bigComponent() {
    static const SCompInfo info = [] {
        SCompInfo c;
        c.setSize(SSize(kSide, kSide), true, true);
        c.setBlockCount(2);
        for (int32_t i = 0; i < kPins; ++i) {
            SPin pin;
            pin.setSide(i % 4);
            pin.setOffset((i / 4) % (kSide + 1));
            pin.setName(numbered("P", i));
            pin.setBlockCount(2);
            pin.setNumber(0, std::to_string(i + 1));
            pin.setNumber(1, std::to_string(i + 1 + kPins));
            c.addPin(pin);
        }
        for (int32_t i = 0; i < kObjects; ++i)
            c.pattern()->appendObject(makeObject(i));
        return c;
    }();
    return info;
}

const SRect kEverything(-20, -20, kSide * 10 + 20, kSide * 10 + 20);

void selectAll(SCompEditDoc& doc) {
    doc.nextOpNumber();
    doc.selectPatternObjectsIn(kEverything);
}

void BM_Load(benchmark::State& state) {
    SCompEditDoc doc;
    for (auto _ : state) {
        doc.loadComponent(&bigComponent());
        benchmark::DoNotOptimize(doc.mainCount());
    }
}

void BM_SelectAllByRect(benchmark::State& state) {
    SCompEditDoc doc;
    for (auto _ : state) {
        state.PauseTiming();
        doc.loadComponent(&bigComponent());
        state.ResumeTiming();
        selectAll(doc);
        doc.updateSelectionRect();
    }
}

// One mouse step of a drag: the objects move and the rectangle follows.
void BM_MoveSelection(benchmark::State& state) {
    SCompEditDoc doc;
    doc.loadComponent(&bigComponent());
    selectAll(doc);
    for (auto _ : state) {
        doc.moveSelection(3, -2);
        doc.updateSelectionRect();
    }
}

void BM_ReleaseMoved(benchmark::State& state) {
    SCompEditDoc doc;
    for (auto _ : state) {
        state.PauseTiming();
        doc.loadComponent(&bigComponent());
        selectAll(doc);
        doc.moveSelection(10, 10);
        state.ResumeTiming();
        doc.releaseSelection();
    }
}

void BM_UndoMove(benchmark::State& state) {
    SCompEditDoc doc;
    for (auto _ : state) {
        state.PauseTiming();
        doc.loadComponent(&bigComponent());
        selectAll(doc);
        doc.moveSelection(10, 10);
        doc.releaseSelection();
        state.ResumeTiming();
        doc.undo();
    }
}

void BM_Store(benchmark::State& state) {
    SCompEditDoc doc;
    SCompInfo target = bigComponent();
    doc.loadComponent(&target);
    for (auto _ : state)
        doc.storeComponent(target);
}

void BM_WholeSession(benchmark::State& state) {
    SCompEditDoc doc;
    for (auto _ : state) {
        doc.loadComponent(&bigComponent());
        selectAll(doc);
        doc.moveSelection(10, 10);
        doc.updateSelectionRect();
        doc.releaseSelection();
        doc.undo();
    }
}

} // namespace

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAllByRect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveSelection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReleaseMoved)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoMove)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Store)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeSession)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
