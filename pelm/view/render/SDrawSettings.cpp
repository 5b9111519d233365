#include "render/SDrawSettings.h"

#include <QPainter>
#include <QPen>
#include <QStringDecoder>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

SDrawSettings* g_instance = nullptr;

int32_t scaled(int32_t v, int32_t num, int32_t den) {
    // Held where the placement arithmetic cannot overflow; such text is far off any window.
    constexpr int64_t kLimit = int64_t{1} << 28;
    const int64_t s = int64_t{v} * num / std::max(den, 1);
    return static_cast<int32_t>(std::clamp<int64_t>(s, -kLimit, kLimit));
}

// Horizontal shift by alignment bits 0-1: start at, end at, centred on the anchor.
int32_t horizontalShift(uint32_t align, int32_t width) {
    switch (align & 3u) {
    case 1:
        return width;
    case 2:
        return width / 2;
    default:
        return 0;
    }
}

// Offset across the text by bits 2-3: baseline (full), top (none), middle (half).
int32_t verticalOffset(uint32_t align, int32_t full) {
    switch ((align >> 2) & 3u) {
    case 1:
        return 0;
    case 2:
        return full / 2;
    default:
        return full;
    }
}

} // namespace

SDrawSettings& SDrawSettings::instance() {
    static SDrawSettings fallback;
    return g_instance ? *g_instance : fallback;
}

void SDrawSettings::setInstance(SDrawSettings* settings) {
    g_instance = settings;
}

void SDrawSettings::setLabelFont(SFontDesc font) {
    m_label = std::move(font);
    m_cacheNum = m_cacheDen = -1;
}

QString SDrawSettings::decode(std::string_view bytes) const {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!m_encoding.isEmpty()) {
        QStringDecoder decoder(m_encoding.constData());
        if (decoder.isValid())
            return decoder(view);
    }
    QStringDecoder locale(QStringDecoder::System);
    return locale(view);
}

QFont SDrawSettings::makeFont(const SFontDesc& desc, int32_t num, int32_t den) {
    QFont font(desc.face.isEmpty() ? QStringLiteral("Tahoma") : desc.face);
    // Either sign means that many pixels at scale 1. A settings file may hold any height;
    // glyphs beyond the limit only cost memory.
    constexpr int64_t kMaxPixels = 4096;
    const int64_t pixels = std::abs(int64_t{desc.height}) * num / std::max(den, 1);
    font.setPixelSize(static_cast<int>(std::clamp<int64_t>(pixels, 1, kMaxPixels)));
    const int32_t weight = desc.weight <= 0 ? 400 : std::clamp(desc.weight, 100, 900);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(desc.italic);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setKerning(false);
    return font;
}

void SDrawSettings::ensureFonts(int32_t num, int32_t den) {
    if (m_metrics && num == m_cacheNum && den == m_cacheDen)
        return;
    m_font = makeFont(m_label, num, den);
    m_metrics.emplace(m_font);
    m_ascent = m_metrics->ascent();
    m_cacheNum = num;
    m_cacheDen = den;
}

// Text is placed by its top-left corner in its own writing direction; vertical text runs up.
void SDrawSettings::drawPlaced(QPainter& painter, QPoint at, bool vertical, const QString& text,
                               int32_t ascent) {
    if (!vertical) {
        painter.drawText(QPoint(at.x(), at.y() + ascent), text);
        return;
    }
    painter.save();
    painter.translate(at);
    painter.rotate(-90);
    painter.drawText(QPoint(0, ascent), text);
    painter.restore();
}

QSize SDrawSettings::drawAnchoredText(QPainter& painter, int32_t x, int32_t y,
                                      std::string_view text, const QColor& color, bool vertical,
                                      uint32_t align, int32_t num, int32_t den, bool overbars) {
    text = text.substr(0, std::min<size_t>(text.size(), kMaxAnchoredBytes));
    QString shown;
    std::vector<bool> over;
    if (overbars) {
        // Pin names: the top bit marks an overlined character.
        shown.reserve(static_cast<qsizetype>(text.size()));
        for (const char c : text) {
            auto u = static_cast<unsigned char>(c);
            over.push_back((u & 0x80) != 0);
            u &= 0x7F;
            shown.append(QChar(u < 32 || u == 127 ? ' ' : static_cast<char16_t>(u)));
        }
    } else {
        shown = decode(text);
        for (QChar& ch : shown)
            if (ch.unicode() < 32 || ch.unicode() == 127)
                ch = QLatin1Char(' ');
    }
    m_lastLength = static_cast<int32_t>(shown.size());
    if (shown.isEmpty())
        return {0, 0};
    ensureFonts(num, den);
    const QSize extent(m_metrics->horizontalAdvance(shown), m_metrics->height());
    const int32_t shift = horizontalShift(align, extent.width());
    const int32_t offset = verticalOffset(align, m_ascent);
    const int32_t ax = scaled(x, num, den);
    const int32_t ay = scaled(y, num, den);
    const QPoint at = vertical ? QPoint(ax - offset, ay + shift) : QPoint(ax - shift, ay - offset);
    painter.setFont(m_font);
    painter.setPen(color);
    drawPlaced(painter, at, vertical, shown, m_ascent);
    if (!overbars)
        return extent;
    painter.setPen(QPen(color, std::max(1, scaled(1, num, den)), Qt::SolidLine, Qt::FlatCap));
    for (qsizetype i = 0; i < shown.size();) {
        if (!over[static_cast<size_t>(i)]) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < shown.size() && over[static_cast<size_t>(end)])
            ++end;
        const int32_t from = m_metrics->horizontalAdvance(shown.left(i));
        const int32_t to = m_metrics->horizontalAdvance(shown.left(end));
        if (vertical)
            painter.drawLine(at.x(), at.y() - from, at.x(), at.y() - to);
        else
            painter.drawLine(at.x() + from, at.y(), at.x() + to, at.y());
        i = end;
    }
    return extent;
}

QSize SDrawSettings::drawTextWithFont(QPainter& painter, int32_t x, int32_t y,
                                      std::string_view text, const SFontDesc& font,
                                      const QColor& color, bool vertical, uint32_t align,
                                      int32_t num, int32_t den) const {
    QString shown = decode(text).left(kMaxFontTextChars);
    if (shown.isEmpty())
        return {0, 0};
    const QFont qfont = makeFont(font, num, den);
    const QFontMetrics metrics(qfont);
    const QSize extent(metrics.horizontalAdvance(shown), metrics.height());
    const int32_t shift = horizontalShift(align, extent.width());
    const int32_t offset = verticalOffset(align, extent.height());
    const int32_t ax = scaled(x, num, den);
    const int32_t ay = scaled(y, num, den);
    const QPoint at = vertical ? QPoint(ax - offset, ay + shift) : QPoint(ax - shift, ay - offset);
    painter.setFont(qfont);
    painter.setPen(color);
    drawPlaced(painter, at, vertical, shown, metrics.ascent());
    return extent;
}
