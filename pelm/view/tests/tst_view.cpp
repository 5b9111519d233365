#include "dialogs/CPtnTextDlg.h"
#include "model/SCompIndex.h"
#include "model/SCompInfo.h"
#include "model/SPtn.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"
#include "view/CCompEditView.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

namespace {

using Id = SCommandId;

// A 6 × 4 component with a pattern, shown in a view at zoom 5.
struct Fixture {
    SCompInfo info;
    SCompIndex entry{"TEST", &info};
    CCompEditView view;

    explicit Fixture(std::vector<std::unique_ptr<SPtnObj>> objects = {}) {
        info.setSize(SSize(6, 4), true, true);
        for (auto& o : objects)
            info.pattern()->appendObject(std::move(o));
        view.resize(700, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setComponent(&entry);
        view.runCommand(Id::ZoomIn);
        view.runCommand(Id::ZoomIn);
    }
    QWidget* port() { return view.viewport(); }
    QPoint at(SPoint model) const {
        const SPoint d = view.geometry().toDevice(model);
        return {d.x, d.y};
    }
    void click(SPoint model) { QTest::mouseClick(port(), Qt::LeftButton, {}, at(model)); }
    void press(SPoint m, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(port(), b, {}, at(m));
    }
    void release(SPoint m, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(port(), b, {}, at(m));
    }
    void moveTo(QPoint p, Qt::MouseButtons held) {
        QMouseEvent e(QEvent::MouseMove, p, port()->mapToGlobal(p), Qt::NoButton, held, {});
        QApplication::sendEvent(port(), &e);
    }
    void moveTo(SPoint m, Qt::MouseButtons held = Qt::NoButton) { moveTo(at(m), held); }
    void drag(SPoint from, SPoint to) {
        press(from);
        moveTo(to, Qt::LeftButton);
        release(to);
    }
    void key(Qt::Key k) { QTest::keyClick(&view, k); }
    // Live committed pattern objects of a kind.
    int liveCount(SPtnObjId id) {
        view.releaseSelection();
        int n = 0;
        const SCompEditDoc& doc = view.document();
        for (size_t i = 0; i < doc.mainCount(); ++i) {
            const SCompEditElm& e = doc.mainElement(i);
            n += e.isLive() && e.patternObject() && e.patternObject()->id() == id;
        }
        return n;
    }
    const SPtnObj* selectedObject() {
        const SCompEditDoc& doc = view.document();
        return doc.selectionCount() == 1 ? doc.selectionElement(0).patternObject() : nullptr;
    }
};

void wheel(QWidget* w, QPoint at, int delta, Qt::KeyboardModifiers mods) {
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestView : public QObject {
    Q_OBJECT
private slots:
    void placePinsOnEachEdge();
    void drawEveryObjectKind();
    void firstClickAfterSelectionOnlyReleases();
    void textToolMakesText();
    void clickSelectionFollowsTheShape();
    void rubberBandSelects();
    void dragThenUndo();
    void nodeEditingAndAddNode();
    void escapeInEachTool_data();
    void escapeInEachTool();
    void zoomKeepsThePointUnderTheMouse();
    void wheelHalfStepsMakeOneStep();
    void rightDragPansWithoutMenu();
    void bitPatternFromPattern();
    void farOffSelectionPaints();
};

void TestView::placePinsOnEachEdge() {
    Fixture f;
    f.view.runCommand(Id::ToolPin);
    const SPoint clicks[] = {{-5, 20}, {30, -5}, {65, 10}, {20, 45}};
    for (const SPoint c : clicks)
        f.click(c);
    f.click(SPoint(-5, 20)); // taken: nothing placed
    f.view.releaseSelection();
    std::vector<std::pair<int, int>> placed;
    const SCompEditDoc& doc = f.view.document();
    for (size_t i = 0; i < doc.mainCount(); ++i)
        if (const SPin* pin = doc.mainElement(i).pin(); pin && doc.mainElement(i).isLive())
            placed.emplace_back(pin->side(), pin->offset());
    const std::vector<std::pair<int, int>> expected{{0, 2}, {1, 3}, {2, 1}, {3, 2}};
    QCOMPARE(placed, expected);
    QCOMPARE(std::string(*doc.mainElement(0).pin()->name()), std::string("NAME"));
}

void TestView::drawEveryObjectKind() {
    Fixture f;
    f.view.runCommand(Id::ToolLine);
    f.click({5, 5});
    f.click({25, 5});
    f.view.runCommand(Id::ToolCircle);
    f.click({5, 10});
    f.click({15, 20});
    f.view.runCommand(Id::ToolArc);
    for (const SPoint p : {SPoint(30, 20), SPoint(40, 20), SPoint(40, 20), SPoint(30, 10)})
        f.click(p);
    f.view.runCommand(Id::ToolPolygon);
    f.click({5, 30});
    f.click({20, 30});
    QTest::mouseDClick(f.port(), Qt::LeftButton, {}, f.at({10, 38}));
    QCOMPARE(f.liveCount(SPtnObjId::Line), 1);
    QCOMPARE(f.liveCount(SPtnObjId::Circle), 1);
    QCOMPARE(f.liveCount(SPtnObjId::Arc), 1);
    QCOMPARE(f.liveCount(SPtnObjId::Polygon), 1);
    // One Undo takes back the last object only.
    f.view.runCommand(Id::EditUndo);
    QCOMPARE(f.liveCount(SPtnObjId::Polygon), 0);
    QCOMPARE(f.liveCount(SPtnObjId::Arc), 1);
}

void TestView::firstClickAfterSelectionOnlyReleases() {
    Fixture f;
    f.view.runCommand(Id::ToolLine);
    f.click({5, 5});
    f.click({25, 5}); // the new line is selected
    QCOMPARE(f.view.document().selectionCount(), size_t{1});
    f.click({5, 20}); // releases only
    QCOMPARE(f.view.document().selectionCount(), size_t{0});
    f.click({5, 25});
    f.click({25, 25});
    QCOMPARE(f.liveCount(SPtnObjId::Line), 2);
    const auto* second = dynamic_cast<const SPtnObjLine*>(
        f.view.document().mainElement(f.view.document().mainCount() - 1).patternObject());
    QVERIFY(second);
    QCOMPARE(second->start(), SPoint(5, 25));
}

void TestView::textToolMakesText() {
    Fixture f;
    f.view.setTextEncoding("UTF-8");
    f.view.runCommand(Id::ToolText);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CPtnTextDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>()->setText(QStringLiteral("Q1"));
        dialog->accept();
    });
    f.click({10, 10});
    const auto* text = dynamic_cast<const SPtnObjText*>(f.selectedObject());
    QVERIFY(text);
    QCOMPARE(text->text(), std::string("Q1"));
    QCOMPARE(text->position(), SPoint(10, 10));
    QVERIFY(text->fontName().empty());
}

void TestView::clickSelectionFollowsTheShape() {
    std::vector<std::unique_ptr<SPtnObj>> objects;
    objects.push_back(std::make_unique<SPtnObjCircle>(SPoint(10, 10), SPoint(30, 30)));
    Fixture f(std::move(objects));
    f.click({20, 20}); // inside the hollow ring: nothing
    QCOMPARE(f.view.document().selectionCount(), size_t{0});
    f.click({20, 10}); // on the ring
    QVERIFY(f.selectedObject());
}

void TestView::rubberBandSelects() {
    std::vector<std::unique_ptr<SPtnObj>> objects;
    objects.push_back(std::make_unique<SPtnObjLine>(SPoint(10, 10), SPoint(20, 10)));
    objects.push_back(std::make_unique<SPtnObjLine>(SPoint(40, 30), SPoint(50, 30)));
    Fixture f(std::move(objects));
    f.drag({5, 5}, {25, 15});
    QCOMPARE(f.view.document().selectionCount(), size_t{1});
    f.drag({0, 0}, {55, 35}); // starts outside the selection: released, then a new band
    QCOMPARE(f.view.document().selectionCount(), size_t{2});
}

void TestView::dragThenUndo() {
    std::vector<std::unique_ptr<SPtnObj>> objects;
    objects.push_back(std::make_unique<SPtnObjLine>(SPoint(10, 10), SPoint(30, 10)));
    Fixture f(std::move(objects));
    f.click({20, 10});
    QVERIFY(f.selectedObject());
    f.drag({20, 10}, {25, 17});
    const auto* line = dynamic_cast<const SPtnObjLine*>(f.selectedObject());
    QVERIFY(line);
    QCOMPARE(line->start(), SPoint(15, 17));
    f.view.runCommand(Id::EditUndo);
    f.view.releaseSelection();
    const SCompEditDoc& doc = f.view.document();
    bool back = false;
    for (size_t i = 0; i < doc.mainCount(); ++i) {
        const auto* l = dynamic_cast<const SPtnObjLine*>(doc.mainElement(i).patternObject());
        back |= doc.mainElement(i).isLive() && l && l->start() == SPoint(10, 10);
    }
    QVERIFY(back);
}

void TestView::nodeEditingAndAddNode() {
    std::vector<std::unique_ptr<SPtnObj>> objects;
    objects.push_back(
        std::make_unique<SPtnObjPolygon>(std::vector<SPoint>{{10, 10}, {40, 10}, {40, 30}}));
    Fixture f(std::move(objects));
    f.view.runCommand(Id::EditNodeMode);
    f.click({25, 10});
    QVERIFY(f.selectedObject());
    f.drag({40, 30}, {44, 33}); // node 2
    QCOMPARE(f.selectedObject()->node(2), SPoint(44, 33));
    f.moveTo(SPoint(25, 10)); // on the first edge: the marker shows
    SCommandState state;
    f.view.fillCommandState(state);
    QVERIFY(state.addNodeMarker);
    f.view.runCommand(Id::AddNode);
    QCOMPARE(f.selectedObject()->nodeCount(), 4);
    QCOMPARE(f.selectedObject()->node(1), SPoint(25, 10));
}

void TestView::escapeInEachTool_data() {
    QTest::addColumn<int>("tool");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("escapesToSelector");
    QTest::newRow("line, one point") << int(Id::ToolLine) << 1 << 2;
    QTest::newRow("polygon, three points") << int(Id::ToolPolygon) << 3 << 4;
    QTest::newRow("arc, two points") << int(Id::ToolArc) << 2 << 3;
    QTest::newRow("circle, none") << int(Id::ToolCircle) << 0 << 1;
    QTest::newRow("pin") << int(Id::ToolPin) << 0 << 1;
}

void TestView::escapeInEachTool() {
    QFETCH(int, tool);
    QFETCH(int, clicks);
    QFETCH(int, escapesToSelector);
    Fixture f;
    f.view.runCommand(static_cast<Id>(tool));
    for (int i = 0; i < clicks; ++i)
        f.click({10 + 5 * i, 10 + 3 * i});
    for (int i = 1; i < escapesToSelector; ++i) {
        f.key(Qt::Key_Escape);
        QVERIFY(f.view.tool() != STool::Selector);
    }
    f.key(Qt::Key_Escape);
    QCOMPARE(f.view.tool(), STool::Selector);
    QCOMPARE(f.liveCount(SPtnObjId::Line) + f.liveCount(SPtnObjId::Polygon), 0);
}

void TestView::zoomKeepsThePointUnderTheMouse() {
    Fixture f;
    const QPoint mouse = f.at({23, 17}) + QPoint(2, 1);
    QCursor::setPos(f.port()->mapToGlobal(mouse));
    f.moveTo(mouse, Qt::NoButton);
    const SPoint before = f.view.geometry().toModel(SPoint(mouse.x(), mouse.y()));
    f.view.runCommand(Id::ZoomIn);
    QCOMPARE(f.view.geometry().zoomStep(), 3);
    QCOMPARE(f.view.geometry().toModel(SPoint(mouse.x(), mouse.y())), before);
}

void TestView::wheelHalfStepsMakeOneStep() {
    Fixture f;
    const QPoint p = f.at({20, 20});
    wheel(f.port(), p, 60, Qt::ControlModifier);
    QCOMPARE(f.view.geometry().zoomStep(), 2);
    wheel(f.port(), p, 60, Qt::ControlModifier);
    QCOMPARE(f.view.geometry().zoomStep(), 3);
    const int y = f.view.verticalScrollBar()->value();
    wheel(f.port(), p, -60, {});
    wheel(f.port(), p, -60, {});
    QCOMPARE(f.view.verticalScrollBar()->value(), y + 20);
}

void TestView::rightDragPansWithoutMenu() {
    Fixture f;
    f.view.runCommand(Id::ZoomIn);
    QMenu menu;
    menu.addAction(QStringLiteral("item"));
    int shown = 0;
    connect(&menu, &QMenu::aboutToShow, &menu, [&] {
        ++shown;
        QTimer::singleShot(0, &menu, &QMenu::close);
    });
    f.view.setContextMenu(&menu);
    const SPoint grab(20, 20);
    const QPoint start = f.at(grab);
    f.press(grab, Qt::RightButton);
    f.moveTo(start + QPoint(30, 20), Qt::RightButton);
    f.moveTo(start + QPoint(60, 40), Qt::RightButton);
    QCOMPARE(f.at(grab), start + QPoint(60, 40)); // the grabbed point follows the mouse
    QTest::mouseRelease(f.port(), Qt::RightButton, {}, start + QPoint(60, 40));
    QCOMPARE(shown, 0);
    // A still right click shows it.
    f.press(grab, Qt::RightButton);
    f.moveTo(f.at(grab) + QPoint(3, 3), Qt::RightButton);
    QTest::mouseRelease(f.port(), Qt::RightButton, {}, f.at(grab) + QPoint(3, 3));
    QCOMPARE(shown, 1);
}

void TestView::bitPatternFromPattern() {
    std::vector<std::unique_ptr<SPtnObj>> objects;
    objects.push_back(std::make_unique<SPtnObjLine>(SPoint(0, 0), SPoint(15, 0)));
    Fixture f(std::move(objects));
    f.info.setSize(SSize(6, 4), true, false); // 61 × 41 bit pattern
    f.view.setComponent(&f.entry);
    QVERIFY(f.view.createBitPattern());
    const SPtn* pattern = f.info.pattern();
    QCOMPARE(pattern->bitPattern()[0], uint8_t{0xFF});
    QCOMPARE(pattern->bitPattern()[1], uint8_t{0xFF});
    QCOMPARE(pattern->bitPattern()[2], uint8_t{0x00});
    QCOMPARE(pattern->bitPattern()[pattern->bitPatternStride()], uint8_t{0x00});
    QVERIFY(f.view.isDirty());
}

void TestView::farOffSelectionPaints() {
    constexpr int32_t big = 2000000000;
    std::vector<std::unique_ptr<SPtnObj>> objects;
    objects.push_back(std::make_unique<SPtnObjLine>(SPoint(-big, -big), SPoint(big, big)));
    Fixture f(std::move(objects));
    f.view.runCommand(Id::ZoomIn);
    SCompEditDoc& doc = f.view.document();
    doc.nextOpNumber();
    QVERIFY(doc.selectMainElement(0));
    f.view.markSelectionChanged();
    f.port()->repaint(); // the selection rectangle
    f.view.runCommand(Id::EditNodeMode);
    f.moveTo(SPoint(10, 10));
    f.port()->repaint(); // node marks
    f.press({10, 10});
    f.release({10, 10});
    QVERIFY(true);
}

QTEST_MAIN(TestView)
#include "tst_view.moc"
