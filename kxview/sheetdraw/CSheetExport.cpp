#include "sheetdraw/CSheetExport.h"

#include "schematic/SXKorvDoc.h"
#include "sheetdraw/CSheetRenderer.h"
#include "viewcore/SSheetIndex.h"
#include "viewcore/SSheetViewport.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

namespace {

constexpr int32_t kDen = SSheetViewport::kDen;

void drawWhole(QPainter& painter, const SXKorvDoc& doc, QSize size, int32_t num, int32_t layers,
               const CTextEncoding& encoding) {
    const SSheetIndex index(doc.objects());
    CSheetRenderer renderer(encoding);
    const CSheetFrame frame = CSheetFrame::unscrolled(num, kDen, layers, QRect(QPoint(0, 0), size));
    renderer.drawSheet(painter, doc, index, frame);
}

} // namespace

namespace CSheetExport {

QSize imageSize(const SXKorvDoc& doc, int32_t num) {
    const SSize sheet = doc.sheetSize();
    const int64_t w = (int64_t{sheet.width} * num + kDen - 1) / kDen + 1;
    const int64_t h = (int64_t{sheet.height} * num + kDen - 1) / kDen + 1;
    if (num <= 0 || w * h > kMaxPixels)
        return {};
    return {static_cast<int>(w), static_cast<int>(h)};
}

QImage toImage(const SXKorvDoc& doc, int32_t num, int32_t layers, const CTextEncoding& encoding) {
    const QSize size = imageSize(doc, num);
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    QPainter painter(&image);
    drawWhole(painter, doc, size, num, layers, encoding);
    return image;
}

QByteArray toSvg(const SXKorvDoc& doc, int32_t num, int32_t layers, const CTextEncoding& encoding,
                 const QString& title) {
    const SSize sheet = doc.sheetSize();
    const QSize size(static_cast<int>((int64_t{sheet.width} * num + kDen - 1) / kDen + 1),
                     static_cast<int>((int64_t{sheet.height} * num + kDen - 1) / kDen + 1));
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setResolution(96); // one sheet unit is one CSS pixel at scale 1
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    QPainter painter(&svg);
    drawWhole(painter, doc, size, num, layers, encoding);
    painter.end();
    return out;
}

} // namespace CSheetExport
