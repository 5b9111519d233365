#include "schematic/SImageDIB.h"
#include "schematic/SXKorvDocSch.h"
#include "sheetdraw/CComponentPainter.h"
#include "sheetdraw/CSheetRenderer.h"
#include "sheetdraw/CSheetTiles.h"
#include "tagtext/STagReader.h"
#include "viewcore/SSheetIndex.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include <memory>
#include <string>

namespace {

// A sheet of the given objects drawn at `num` / 256 with sheet (0, 0) at the image's corner.
struct Drawn {
    std::unique_ptr<SXKorvDocSch> doc;
    QImage image;
};

Drawn draw(const std::string& body, int32_t num = 256, int32_t layers = -1) {
    static std::string text; // viewed by the reader while reading
    text = "+KORVX_DATA_V.1.0\r\n+SHEETINFO,VL:" + std::to_string(layers < 0 ? 255 : layers) +
           ",W:500,H:400,-SHEETINFO\r\n" + body + "-KORVX_DATA_V.1.0\r\n";
    Drawn out;
    out.doc = std::make_unique<SXKorvDocSch>();
    STagReader reader;
    reader.attachString(std::string_view(text));
    if (out.doc->read(reader) != SXKorvDoc::kReadOk)
        qFatal("sample sheet does not read");
    const SSheetIndex index(out.doc->objects());
    const int w = 500 * num / 256;
    const int h = 400 * num / 256;
    out.image = QImage(w, h, QImage::Format_RGB32);
    QPainter painter(&out.image);
    CSheetRenderer renderer;
    const CSheetFrame frame =
        CSheetFrame::unscrolled(num, 256, out.doc->visibleLayers(), QRect(0, 0, w, h));
    renderer.drawSheet(painter, *out.doc, index, frame);
    return out;
}

bool near(QRgb got, const QColor& want, int tolerance = 60) {
    return std::abs(qRed(got) - want.red()) <= tolerance &&
           std::abs(qGreen(got) - want.green()) <= tolerance &&
           std::abs(qBlue(got) - want.blue()) <= tolerance;
}

QString describe(QRgb c) {
    return QStringLiteral("(%1,%2,%3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

// A part 2 × 1 grid steps with one pattern line over the left half of its top edge, and with
// or without one pin on its left edge.
std::string component(int dir, bool pin, int x, int y) {
    std::string s = "+COMPONENT\r\n+KORVX_LIB_V.1.0\r\n+PTN,N:P,X:21,Y:11\r\n"
                    "+L,W:1,S:0,X:0,Y:0,X:10,Y:0,-L\r\n-PTN\r\n+COMP,N:P\r\nX:2,Y:1,B:1\r\n";
    if (pin)
        s += "+PIN,N:A,L:L0,T:,M:1,-PIN\r\n";
    s += "-COMP\r\n-KORVX_LIB_V.1.0\r\nL:0,X:" + std::to_string(x) + ",Y:" + std::to_string(y) +
         ",LIB:P,DIR:" + std::to_string(dir) + ",N:,NH:1,R:,RH:1,-COMPONENT\r\n";
    return s;
}

} // namespace

class TestSheetRender : public QObject {
    Q_OBJECT
private slots:
    void linesJunctionsAndLayers();
    void markerLineBlendsItsColour();
    void componentPatternFollowsOrientation();
    void componentPinFollowsOrientation();
    void tagShapesPointByType();
    void pictureIsDrawnAtItsMagnification();
    void tilesMatchAWholeDrawing();
};

void TestSheetRender::linesJunctionsAndLayers() {
    const Drawn d = draw("+WIRE,L:0,X1:20,Y1:50,X2:220,Y2:50,-WIRE\r\n"
                         "+BUS,L:0,X1:20,Y1:100,X2:220,Y2:100,-BUS\r\n"
                         "+JUNCTION,L:0,X:300,Y:50,-JUNCTION\r\n"
                         "+WIRE,L:2,X1:20,Y1:150,X2:220,Y2:150,-WIRE\r\n"
                         "+ENTRY,L:0,X1:400,Y1:200,X2:410,Y2:190,-ENTRY\r\n",
                         512, 0xFB); // layer 2 hidden
    const QImage& img = d.image;
    struct Probe {
        int x, y;
        QColor want;
        const char* what;
    } probes[] = {
        {240, 100, CSheetRenderer::kWire, "wire"},
        {240, 106, CSheetRenderer::kSheet, "beside the wire"},
        {240, 202, CSheetRenderer::kBus, "bus is heavier than a wire"},
        {600, 100, CSheetRenderer::kWire, "junction centre"},
        {604, 100, CSheetRenderer::kWire, "junction dot is filled"},
        {240, 300, CSheetRenderer::kSheet, "wire on a hidden layer"},
        {810, 390, CSheetRenderer::kWire, "entry diagonal"},
        {0, 50, CSheetRenderer::kFrame, "sheet frame"},
    };
    for (const Probe& p : probes) {
        const QRgb got = img.pixel(p.x, p.y);
        QVERIFY2(near(got, p.want), qPrintable(QStringLiteral("%1 at %2,%3: %4")
                                                   .arg(p.what)
                                                   .arg(p.x)
                                                   .arg(p.y)
                                                   .arg(describe(got))));
    }
}

void TestSheetRender::markerLineBlendsItsColour() {
    // 255 is pure red in the stored 0x00BBGGRR form.
    const Drawn d = draw("+ALINE,L:0,X1:20,Y1:50,X2:220,Y2:50,STL:0,WDT:20,CLR:255,-ALINE\r\n");
    const QRgb on = d.image.pixel(100, 56);
    QVERIFY2(qRed(on) > 200 && qGreen(on) < 170 && qBlue(on) < 170, qPrintable(describe(on)));
    QVERIFY(near(d.image.pixel(100, 64), CSheetRenderer::kSheet, 5));
}

void TestSheetRender::componentPatternFollowsOrientation() {
    // The pattern line covers (0, 0)-(10, 0) of a 20 × 10 body; where its middle (5, 0) lands,
    // relative to the placed body's top-left corner, for each orientation.
    const SPoint mids[8] = {{5, 0}, {10, 5}, {15, 10}, {0, 15}, {15, 0}, {0, 5}, {5, 10}, {10, 15}};
    for (int dir = 0; dir < 8; ++dir) {
        const Drawn d = draw(component(dir, false, 200, 200), 768);
        const SSize placed = (dir & 1) ? SSize{10, 20} : SSize{20, 10};
        const int x = (200 - placed.width + mids[dir].x) * 3;
        const int y = (200 - placed.height + mids[dir].y) * 3;
        const QRgb got = d.image.pixel(x, y);
        QVERIFY2(
            near(got, CComponentPainter::kPattern),
            qPrintable(
                QStringLiteral("dir %1 at %2,%3: %4").arg(dir).arg(x).arg(y).arg(describe(got))));
    }
}

void TestSheetRender::componentPinFollowsOrientation() {
    // A pin on the left edge at offset 0 (the body's top-left corner), 10 units long: the
    // middle of its line, relative to p1 (the placed body's bottom-right corner).
    const SPoint mids[8] = {{-25, -10}, {0, -25},   {5, 0},   {-10, 5},
                            {5, -10},   {-10, -25}, {-25, 0}, {0, 5}};
    for (int dir = 0; dir < 8; ++dir) {
        const Drawn d = draw(component(dir, true, 200, 200), 768);
        const int x = (200 + mids[dir].x) * 3;
        const int y = (200 + mids[dir].y) * 3;
        const QRgb got = d.image.pixel(x, y);
        QVERIFY2(
            near(got, QColor(0, 128, 0)),
            qPrintable(
                QStringLiteral("dir %1 at %2,%3: %4").arg(dir).arg(x).arg(y).arg(describe(got))));
    }
}

void TestSheetRender::tagShapesPointByType() {
    // Four horizontal tags with a 4-byte text (frame 50 long), one per type. Just inside the
    // frame's corner at either end is the frame colour only where that end is square.
    std::string body;
    for (int t = 0; t < 4; ++t)
        body += "+TAG,L:0,X:100,Y:" + std::to_string(50 + 50 * t) + ",D:1,T:" + std::to_string(t) +
                ",S:ABCD,-TAG\r\n";
    const Drawn d = draw(body, 512);
    const bool squareStart[4] = {true, true, false, false};
    const bool squareEnd[4] = {true, false, true, false};
    for (int t = 0; t < 4; ++t) {
        const int y = (50 + 50 * t - 5) * 2; // the frame's top edge
        const bool startInk = !near(d.image.pixel(100 * 2 + 1, y), CSheetRenderer::kSheet, 60);
        const bool endInk = !near(d.image.pixel(150 * 2 - 1, y), CSheetRenderer::kSheet, 60);
        QCOMPARE(startInk, squareStart[t]);
        QCOMPARE(endInk, squareEnd[t]);
    }
}

void TestSheetRender::pictureIsDrawnAtItsMagnification() {
    QImage picture(4, 4, QImage::Format_RGB888);
    picture.fill(QColor(255, 0, 0));
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(picture.save(&buffer, "BMP"));
    std::string section = "+IMAGEOBJECT,L:0,X:100,Y:100,MAG:200,+IMAGE_DIB\r\n";
    for (qsizetype at = 0; at < bmp.size(); at += 57) {
        std::string line;
        SImageDIB::encodeLine(reinterpret_cast<const uint8_t*>(bmp.constData() + at),
                              static_cast<size_t>(std::min<qsizetype>(57, bmp.size() - at)), line);
        section += line + "\r\n";
    }
    section += "-IMAGE_DIB\r\n-IMAGEOBJECT\r\n";
    const Drawn d = draw(section, 512);
    // 4 pixels at 200 % cover (100, 100)-(108, 108) on the sheet, twice that on the image.
    QVERIFY2(near(d.image.pixel(214, 214), QColor(255, 0, 0)),
             qPrintable(describe(d.image.pixel(214, 214))));
    QVERIFY(near(d.image.pixel(220, 220), CSheetRenderer::kSheet, 5));
}

void TestSheetRender::tilesMatchAWholeDrawing() {
    // Every kind of object, drawn once whole and once from tiles at an odd scale and scroll.
    QFile file(QStringLiteral(KX_EXAMPLES_DIR "/AllObjects.KX2"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    SXKorvDocSch doc;
    STagReader reader;
    reader.attachString(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    QCOMPARE(doc.read(reader), SXKorvDoc::kReadOk);
    const SSheetIndex index(doc.objects());
    CSheetFrame frame = CSheetFrame::unscrolled(300, 256, 0xFF, QRect(0, 0, 700, 500));
    frame.scrollX = 37;
    frame.scrollY = 91;
    QImage whole(700, 500, QImage::Format_ARGB32_Premultiplied);
    QImage tiled(700, 500, QImage::Format_ARGB32_Premultiplied);
    CSheetRenderer renderer;
    {
        QPainter painter(&whole);
        renderer.drawSheet(painter, doc, index, frame);
    }
    CSheetTiles tiles;
    {
        QPainter painter(&tiled);
        tiles.draw(painter, renderer, doc, index, frame);
    }
    QVERIFY(tiles.size() >= 6);
    int differing = 0;
    for (int y = 0; y < whole.height(); ++y) {
        for (int x = 0; x < whole.width(); ++x)
            differing += whole.pixel(x, y) != tiled.pixel(x, y);
    }
    QCOMPARE(differing, 0);
}

QTEST_MAIN(TestSheetRender)
#include "tst_sheetrender.moc"
