#include "edit/SCompEditDoc.h"
#include "model/SCompInfo.h"
#include "model/SPin.h"
#include "model/SPtn.h"
#include "model/SPtnObjArc.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"
#include "render/SBitPatternRaster.h"
#include "render/SCompRenderer.h"
#include "render/SDrawSettings.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include <cmath>

namespace {

constexpr int kPad = 40; // pixels before model 0

SPin makePin(int32_t side, int32_t offset, uint32_t flags, const char* number = "1") {
    SPin pin;
    pin.setSide(side);
    pin.setOffset(offset);
    pin.setTypeFlags(flags);
    pin.setBlockCount(1);
    pin.setNumber(0, std::string_view(number));
    return pin;
}

struct Drawing {
    SCompInfo info;
    SCompEditDoc doc;

    explicit Drawing(bool pattern, SSize size = {4, 4}) { info.setSize(size, pattern, true); }
    void add(std::unique_ptr<SPtnObj> object) { info.pattern()->appendObject(std::move(object)); }
    // The component at a zoom factor, model (0, 0) at (kPad, kPad).
    QImage render(int32_t factor, bool grid = false, int32_t block = 0,
                  SRect area = SRect(-4, -4, 60, 60)) {
        doc.loadComponent(&info);
        QImage image(kPad * 2 + 60 * factor, kPad * 2 + 60 * factor, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(kPad, kPad);
        SCompRenderer::Background what{&doc, info.pattern(), factor, block, area, grid};
        SCompRenderer::drawBackground(painter, SDrawSettings::instance(), what);
        return image;
    }
};

QColor at(const QImage& image, int x, int y) {
    return image.pixelColor(kPad + x, kPad + y);
}

int countColor(const QImage& image, const QColor& color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == color;
    return n;
}

} // namespace

class TestRender : public QObject {
    Q_OBJECT
private slots:
    void outline_data();
    void outline();
    void pinShapes_data();
    void pinShapes();
    void gridAtEachZoom_data();
    void gridAtEachZoom();
    void fills_data();
    void fills();
    void polygonPointLimit();
    void hiddenNumberIsGrey();
    void lastBlockNumberShown();
    void bitPatternBits();
    void hostileCoordinatesFinish();
};

void TestRender::outline_data() {
    QTest::addColumn<bool>("pattern");
    QTest::addColumn<int>("factor");
    QTest::addColumn<int>("halfWidth");
    QTest::newRow("no pattern, zoom 5") << false << 5 << 2;
    QTest::newRow("no pattern, zoom 10") << false << 10 << 4;
    QTest::newRow("pattern, zoom 5") << true << 5 << 0;
}

void TestRender::outline() {
    QFETCH(bool, pattern);
    QFETCH(int, factor);
    QFETCH(int, halfWidth);
    Drawing d(pattern);
    const QImage image = d.render(factor);
    const QColor color =
        pattern ? SCompRenderer::kOutlineWithPattern : SCompRenderer::kOutlineWithoutPattern;
    const int x = 20 * factor; // middle of the top edge
    QCOMPARE(at(image, x, 0), color);
    QCOMPARE(at(image, x, halfWidth), color);
    QCOMPARE(at(image, x, -halfWidth), color);
    QCOMPARE(at(image, x, halfWidth + 2), QColor(Qt::white));
    QCOMPARE(at(image, 40 * factor, 20 * factor), color); // right edge
}

void TestRender::pinShapes_data() {
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QPoint>("ink");   // model point on the drawn shape (left pin at y = 20)
    QTest::addColumn<QPoint>("blank"); // model point the shape leaves white
    QTest::newRow("plain line") << 0u << QPoint(-5, 20) << QPoint(-5, 17);
    QTest::newRow("square") << uint(SPin::kFlagZeroLength) << QPoint(-2, 20) << QPoint(-5, 20);
    QTest::newRow("circle") << uint(SPin::kFlagNegation) << QPoint(-3, 17) << QPoint(-3, 20);
    QTest::newRow("circle line") << uint(SPin::kFlagNegation) << QPoint(-8, 20) << QPoint(-3, 20);
    QTest::newRow("wedge") << uint(SPin::kFlagClock) << QPoint(2, 22) << QPoint(2, 25);
}

void TestRender::pinShapes() {
    QFETCH(uint, flags);
    QFETCH(QPoint, ink);
    QFETCH(QPoint, blank);
    constexpr int f = 5;
    Drawing d(true);
    SPin pin = makePin(SPin::kSideLeft, 2, flags, "");
    d.info.addPin(pin);
    const QImage image = d.render(f);
    QCOMPARE(at(image, ink.x() * f, ink.y() * f), SCompRenderer::kPinLine);
    QCOMPARE(at(image, blank.x() * f, blank.y() * f), QColor(Qt::white));
}

void TestRender::gridAtEachZoom_data() {
    QTest::addColumn<int>("factor");
    QTest::addColumn<bool>("fine");
    QTest::newRow("1") << 1 << false;
    QTest::newRow("2") << 2 << false;
    QTest::newRow("5") << 5 << true;
    QTest::newRow("10") << 10 << true;
}

void TestRender::gridAtEachZoom() {
    QFETCH(int, factor);
    QFETCH(bool, fine);
    Drawing d(true, {1, 1});
    const QImage image = d.render(factor, true, 0, SRect(20, 20, 45, 45));
    const auto px = [&](int x, int y) { return at(image, x * factor, y * factor); };
    QCOMPARE(px(30, 30), SCompRenderer::kGridLine);
    QCOMPARE(px(30, 33), fine ? SCompRenderer::kGridLine : QColor(Qt::white));
    QCOMPARE(px(33, 33), fine ? SCompRenderer::kGridDot : QColor(Qt::white));
    QCOMPARE(px(19, 20), QColor(Qt::white)); // outside the visible area
    if (factor > 1)
        QCOMPARE(at(image, 30 * factor + 1, 30 * factor), QColor(Qt::white));
}

void TestRender::fills_data() {
    QTest::addColumn<int>("fill");
    QTest::addColumn<QColor>("inside");
    QTest::newRow("none") << -1 << QColor(Qt::white);
    QTest::newRow("solid") << 1 << SCompRenderer::kCommitted;
    QTest::newRow("other") << 0 << QColor(Qt::black);
}

void TestRender::fills() {
    QFETCH(int, fill);
    QFETCH(QColor, inside);
    Drawing d(true);
    auto circle = std::make_unique<SPtnObjCircle>(SPoint(5, 5), SPoint(35, 35));
    circle->setFill(fill);
    d.add(std::move(circle));
    const QImage image = d.render(2);
    QCOMPARE(at(image, 40, 40), inside);
    QCOMPARE(at(image, 40, 10), SCompRenderer::kCommitted); // the outline
}

void TestRender::polygonPointLimit() {
    const auto drawn = [](int points) {
        Drawing d(true);
        std::vector<SPoint> nodes;
        for (int i = 0; i < points; ++i) {
            const double a = 2 * M_PI * i / points;
            nodes.emplace_back(20 + static_cast<int>(15 * std::cos(a)),
                               20 + static_cast<int>(15 * std::sin(a)));
        }
        d.add(std::make_unique<SPtnObjPolygon>(nodes));
        return countColor(d.render(2), SCompRenderer::kCommitted);
    };
    QVERIFY(drawn(32) > 0);
    QVERIFY(drawn(2) > 0);
    QCOMPARE(drawn(33), 0);
    QCOMPARE(drawn(1), 0);
}

void TestRender::hiddenNumberIsGrey() {
    Drawing shown(true);
    shown.info.addPin(makePin(SPin::kSideRight, 1, 0, "88"));
    Drawing hidden(true);
    hidden.info.addPin(makePin(SPin::kSideRight, 1, SPin::kFlagNumberHidden, "88"));
    QVERIFY(countColor(shown.render(5), SCompRenderer::kPinNumber) > 0);
    QCOMPARE(countColor(shown.render(5), SCompRenderer::kHiddenNumber), 0);
    QVERIFY(countColor(hidden.render(5), SCompRenderer::kHiddenNumber) > 0);
    QCOMPARE(countColor(hidden.render(5), SCompRenderer::kPinNumber), 0);
}

void TestRender::lastBlockNumberShown() {
    Drawing d(true);
    d.info.setBlockCount(2);
    SPin pin = makePin(SPin::kSideRight, 1, 0);
    pin.setBlockCount(2);
    pin.setNumber(0, std::string_view("11"));
    pin.setNumber(1, std::string_view("22"));
    d.info.addPin(pin);
    const QImage block1 = d.render(5, false, 1);
    QCOMPARE(d.render(5, false, 7), block1);
    QVERIFY(d.render(5, false, 0) != block1);
}

void TestRender::bitPatternBits() {
    auto line = std::make_unique<SPtnObjLine>(SPoint(0, 1), SPoint(9, 1));
    auto disc = std::make_unique<SPtnObjCircle>(SPoint(2, 3), SPoint(7, 8));
    disc->setFill(1);
    auto outside = std::make_unique<SPtnObjLine>(SPoint(-5, 0), SPoint(30, 0));
    std::vector<SPtnObj*> objects{line.get(), disc.get(), outside.get()};
    const std::vector<uint8_t> bits =
        SBitPatternRaster::rasterise(SDrawSettings::instance(), objects, SSize(11, 10));
    QCOMPARE(bits.size(), size_t{2 * 10}); // rows of 16 bits for 11 pixels
    QCOMPARE(bits[0], uint8_t{0xFF});      // the clipped line along row 0
    QCOMPARE(bits[1], uint8_t{0xE0});      // up to pixel 10, padding clear
    QCOMPARE(bits[2], uint8_t{0xFF});      // row 1: pixels 0..9
    QCOMPARE(bits[3], uint8_t{0xC0});
    // The disc is solid: its middle row is ink, the pixels beside it are not.
    QCOMPARE(bits[2 * 5] & 0x3E, 0x3E);
    QCOMPARE(bits[2 * 5] & 0x80, 0);
    QCOMPARE(SBitPatternRaster::rasterise(SDrawSettings::instance(), objects, SSize(11, 10)), bits);
    // A hollow circle leaves its middle clear.
    disc->setFill(SPtnObj::kNotFilled);
    std::vector<SPtnObj*> hollow{disc.get()};
    const auto ring =
        SBitPatternRaster::rasterise(SDrawSettings::instance(), hollow, SSize(11, 10));
    QCOMPARE(ring[2 * 5] & 0x0C, 0);
    QVERIFY(ring[2 * 5] != 0);
}

void TestRender::hostileCoordinatesFinish() {
    Drawing d(true);
    constexpr int32_t big = 2000000000;
    for (const int32_t style : {0, 1}) {
        auto line = std::make_unique<SPtnObjLine>(SPoint(-big, -big), SPoint(big, big - 7));
        line->setStyle(style);
        line->setWidth(5);
        d.add(std::move(line));
        auto circle = std::make_unique<SPtnObjCircle>(SPoint(-big, -big), SPoint(big, big));
        circle->setStyle(style);
        circle->setFill(1);
        d.add(std::move(circle));
        auto poly =
            std::make_unique<SPtnObjPolygon>(std::vector<SPoint>{{-big, 0}, {big, 3}, {0, big}});
        poly->setStyle(style);
        d.add(std::move(poly));
        d.add(std::make_unique<SPtnObjArc>(SPoint(0, 0), big, 100, 2000));
        auto text = std::make_unique<SPtnObjText>();
        text->setPosition(SPoint(-big, big));
        text->setText("FAR");
        text->setAlignment(SPtnObjText::kAlignCenter | SPtnObjText::kAlignMiddle);
        d.add(std::move(text));
    }
    QElapsedTimer timer;
    timer.start();
    const QImage image = d.render(10);
    QVERIFY(!image.isNull());
    QVERIFY2(timer.elapsed() < 5000, "drawing far-off shapes must not hang");
}

QTEST_MAIN(TestRender)
#include "tst_render.moc"
