#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QSize>
#include <QString>

#include <optional>

#include <cstdint>
#include <string_view>

class QPainter;

// A font description as the settings file and pattern texts give it: height (negative: a
// character height, positive: a cell height; both are drawn as that many pixels at scale 1),
// weight 100..900 (0 reads as 400), italic and face name (empty: the label font).
struct SFontDesc {
    int32_t height = 9;
    int32_t weight = 400;
    bool italic = false;
    QString face = QStringLiteral("Tahoma");
};

// The one text-drawing object of Pelm: the label font (from the settings file's "LabelFont"
// section) with its fonts cached per scale, and the two text-drawing operations every renderer
// uses. Coordinates are model units scaled by numerator / denominator; the painter's
// transformation maps logical pixels (the window origin is the caller's business).
class SDrawSettings {
public:
    // Alignment code bits 0-1: start at / end at / centre on the anchor; bits 2-3: baseline /
    // top / middle at the anchor.
    static constexpr int32_t kMaxAnchoredBytes = 1024;
    static constexpr int32_t kMaxFontTextChars = 255;

    SDrawSettings() = default;
    explicit SDrawSettings(SFontDesc labelFont) : m_label(std::move(labelFont)) {}

    // The process-wide instance the renderers use; a default one exists until the frame sets
    // its own (the pointer is not owned).
    static SDrawSettings& instance();
    static void setInstance(SDrawSettings* settings);

    const SFontDesc& labelFont() const { return m_label; }
    void setLabelFont(SFontDesc font);
    // Encoding of texts that are not pin names ("UTF-8", "Shift_JIS", ...; empty: the locale's).
    void setTextEncoding(const QByteArray& name) { m_encoding = name; }
    QString decode(std::string_view bytes) const;

    // Draws text with the label font; returns the text's extent in device pixels. With
    // `overbars` bytes with the top bit set are drawn without it and with a bar above.
    QSize drawAnchoredText(QPainter& painter, int32_t x, int32_t y, std::string_view text,
                           const QColor& color, bool vertical, uint32_t align, int32_t num,
                           int32_t den, bool overbars);
    // Draws text with its own font, built for this call.
    QSize drawTextWithFont(QPainter& painter, int32_t x, int32_t y, std::string_view text,
                           const SFontDesc& font, const QColor& color, bool vertical,
                           uint32_t align, int32_t num, int32_t den) const;

    int32_t lastTextLength() const { return m_lastLength; }
    // The font a description gives at a scale.
    static QFont makeFont(const SFontDesc& desc, int32_t num, int32_t den);

private:
    void ensureFonts(int32_t num, int32_t den);
    static void drawPlaced(QPainter& painter, QPoint at, bool vertical, const QString& text,
                           int32_t ascent);

    SFontDesc m_label;
    QByteArray m_encoding;
    QFont m_font;
    std::optional<QFontMetrics> m_metrics;
    int32_t m_cacheNum = -1;
    int32_t m_cacheDen = -1;
    int32_t m_ascent = 0;
    int32_t m_lastLength = 0;
};
