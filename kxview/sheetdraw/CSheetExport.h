#pragma once

#include "gui/CTextEncoding.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>

class SXKorvDoc;

// A whole sheet drawn by the viewer's code for documentation and previews: the frame from the
// sheet info and nothing around it.
namespace CSheetExport {

// Largest picture drawn, in pixels.
constexpr int64_t kMaxPixels = int64_t{64} * 1024 * 1024;

// The size in pixels at num / 256, or an empty size when it exceeds kMaxPixels.
QSize imageSize(const SXKorvDoc& doc, int32_t num);
// A null image when the size is too large.
QImage toImage(const SXKorvDoc& doc, int32_t num, int32_t layers, const CTextEncoding& encoding);
QByteArray toSvg(const SXKorvDoc& doc, int32_t num, int32_t layers, const CTextEncoding& encoding,
                 const QString& title);

} // namespace CSheetExport
