// Frame times of the component editor view on a big component (2,000 pins, 5,000 pattern
// objects) at zoom 10 in a 1920 × 1080 client: one frame while 200 selected objects are dragged
// (the cached background is blitted, the selection drawn on top), and a full rebuild of the
// background. Run with QT_QPA_PLATFORM=offscreen.

#include "model/SCompIndex.h"
#include "model/SCompInfo.h"
#include "model/SPin.h"
#include "model/SPtn.h"
#include "model/SPtnObjArc.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"
#include "view/CCompEditView.h"

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int32_t kPins = 2000;
constexpr int32_t kObjects = 5000;
constexpr int32_t kSelected = 200;
constexpr int32_t kSide = 255;

std::string numbered(const char* prefix, int32_t n) {
    std::string text(prefix);
    text += std::to_string(n);
    return text;
}

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

SCompInfo& bigComponent() {
    static SCompInfo info = [] {
        SCompInfo c;
        c.setSize(SSize(kSide, kSide), true, true);
        for (int32_t i = 0; i < kPins; ++i) {
            SPin pin;
            pin.setSide(i % 4);
            pin.setOffset((i / 4) % (kSide + 1));
            pin.setName(numbered("P", i));
            pin.setBlockCount(1);
            pin.setNumber(0, std::to_string(i + 1));
            c.addPin(pin);
        }
        for (int32_t i = 0; i < kObjects; ++i)
            c.pattern()->appendObject(makeObject(i));
        return c;
    }();
    return info;
}

struct Setup {
    SCompIndex entry{"BIG", &bigComponent()};
    CCompEditView view;

    Setup() {
        view.show();
        view.resize(1920 + view.width() - view.viewport()->width(),
                    1080 + view.height() - view.viewport()->height());
        view.setComponent(&entry);
        for (int i = 0; i < 3; ++i)
            view.runCommand(SCommandId::ZoomIn);
        QApplication::processEvents();
    }

    // The 200 objects nearest the middle of the window, selected.
    void selectNearMiddle() {
        SCompEditDoc& doc = view.document();
        const SPoint middle = view.geometry().toModel(SPoint(960, 540));
        std::vector<std::pair<int64_t, size_t>> byDistance;
        for (size_t i = 0; i < doc.mainCount(); ++i)
            if (const SPtnObj* o = doc.mainElement(i).patternObject()) {
                const SPoint n = o->node(0);
                const int64_t dx = n.x - middle.x;
                const int64_t dy = n.y - middle.y;
                byDistance.emplace_back(dx * dx + dy * dy, i);
            }
        std::sort(byDistance.begin(), byDistance.end());
        doc.nextOpNumber();
        for (int32_t k = 0; k < kSelected; ++k)
            doc.selectMainElement(byDistance[static_cast<size_t>(k)].second);
        doc.updateSelectionRect();
        view.markSelectionChanged();
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

void move(QWidget* port, QPoint p, Qt::MouseButtons held) {
    QMouseEvent e(QEvent::MouseMove, p, port->mapToGlobal(p), Qt::NoButton, held, {});
    QApplication::sendEvent(port, &e);
}

// One mouse step of a move drag and the repaint it causes.
void BM_DragFrame(benchmark::State& state) {
    Setup& s = setup();
    s.selectNearMiddle();
    QWidget* port = s.view.viewport();
    const SRect sel = s.view.document().selectionRect();
    const SPoint inside = s.view.geometry().toDevice(sel.center());
    QPoint at(inside.x, inside.y);
    QMouseEvent press(QEvent::MouseButtonPress, at, port->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(port, &press);
    int step = 0;
    for (auto _ : state) {
        at += QPoint((step++ % 2) ? -10 : 10, 0);
        move(port, at, Qt::LeftButton);
        port->repaint();
    }
    QMouseEvent release(QEvent::MouseButtonRelease, at, port->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, {});
    QApplication::sendEvent(port, &release);
    s.view.releaseSelection();
}

// The committed drawing drawn again (what every change of the main list costs).
void BM_BackgroundRebuild(benchmark::State& state) {
    Setup& s = setup();
    int32_t block = 0;
    for (auto _ : state) {
        block ^= 1;
        s.view.setDisplayedBlock(block); // forces the rebuild
        s.view.viewport()->repaint();
    }
}

BENCHMARK(BM_DragFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackgroundRebuild)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
