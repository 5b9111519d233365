#include "GenSheetMaker.h"

#include "GenImage.h"
#include "GenPartWriter.h"

#include <algorithm>

namespace {

constexpr int kRowWidth = 4000; // clusters wrap to a new row beyond this x

const char* const kNetNames[] = {"VCC", "GND", "3V3", "SDA",   "SCL", "MOSI", "MISO", "SCK",
                                 "TXD", "RXD", "CLK", "RESET", "INT", "EN",   "VREF", "AIN"};

} // namespace

std::string GenSheetMaker::make(size_t targetBytes, const Texts& texts, int page, int pages,
                                std::string_view project) {
    reset();
    m_out.reserve(targetBytes + 65536);
    m_w.word("+KORVX_DATA_V.1.0");
    m_w.endLine();
    sheetInfo(page, pages, project);
    comment(20, 30, std::string(project) + " - sheet " + std::to_string(page), "Sans Serif", 16,
            "B", -1);
    // The search texts go somewhere inside the sheet, not always first.
    const size_t commonAt = texts.common.empty() ? SIZE_MAX : m_rng.next() % (targetBytes / 2 + 1);
    const size_t rareAt = texts.withRare ? m_rng.next() % (targetBytes / 2 + 1) : SIZE_MAX;
    bool commonDone = texts.common.empty();
    bool rareDone = !texts.withRare;
    while (m_out.size() < targetBytes || !commonDone || !rareDone) {
        if (!commonDone && m_out.size() >= commonAt) {
            special(texts.common);
            commonDone = true;
        }
        if (!rareDone && m_out.size() >= rareAt) {
            special(texts.rare);
            rareDone = true;
        }
        cluster();
    }
    m_w.word("-KORVX_DATA_V.1.0");
    m_w.endLine();
    return std::move(m_out);
}

void GenSheetMaker::reset() {
    m_out.clear();
    m_x = 100;
    m_y = 100;
    m_rowHeight = 0;
    m_clusters = 0;
    m_refs = 0;
    m_nets = 0;
    m_pendingValue.clear();
}

void GenSheetMaker::sheetInfo(int page, int pages, std::string_view project) {
    static const int kWidths[] = {1500, 2000, 3000, 4200, 5000};
    m_w.word("+SHEETINFO");
    m_w.num("EL", 0);
    m_w.num("VL", 255);
    m_w.num("W", m_rng.pick(kWidths));
    m_w.num("H", 1000 + 500 * m_rng.below(5));
    m_w.text("PROJ", project);
    m_w.num("PAGES", pages);
    m_w.num("PAGE", page);
    m_w.num("VER", 68);
    m_w.num("INITPOS", 0);
    m_w.word("-SHEETINFO");
    m_w.endLine();
}

// One search text as a component value, a label, a tag or a comment.
void GenSheetMaker::special(std::string_view text) {
    int kind = m_rng.below(4);
    if (kind == 0 && !m_pendingValue.empty())
        kind = 1;
    switch (kind) {
    case 0:
        m_pendingValue = text;
        break;
    case 1:
        label(m_x, m_y - 30, true, text);
        break;
    case 2:
        tag(m_x, m_y - 30, true, m_rng.below(4), text);
        break;
    default:
        comment(m_x, m_y - 30, text, "", 12, "", -1);
        break;
    }
}

void GenSheetMaker::cluster() {
    const bool passive = m_rng.chance(50) && !m_pool.passives.empty();
    const auto& list = passive || m_pool.others.empty() ? m_pool.passives : m_pool.others;
    const GenPart& part = list[static_cast<size_t>(m_rng.below(static_cast<int>(list.size())))];
    placeComponent(part, m_pendingValue.empty() ? std::string_view(part.value) : m_pendingValue);
    m_pendingValue.clear();
    ++m_clusters;
    if (m_clusters % 12 == 0)
        busRow();
    if (m_clusters % 7 == 0)
        decorations();
}

void GenSheetMaker::placeComponent(const GenPart& part, std::string_view value) {
    const bool small = part.width * part.height <= 16;
    int dir = 0;
    if (small)
        dir = m_rng.chance(60) ? 0 : m_rng.below(8);
    else if (m_rng.chance(10))
        dir = 4; // mirrored
    const bool turned = dir & 1;
    const int w = (turned ? part.height : part.width) * 10;
    const int h = (turned ? part.width : part.height) * 10;
    if (m_x + w > kRowWidth) {
        m_x = 100;
        m_y += m_rowHeight + 200;
        m_rowHeight = 0;
    }
    // p1 is the body's bottom-right corner; 100 units of room for the pin stubs all round.
    const Placed at{&part, m_x + 100 + w, m_y + 100 + h, dir, w, h};
    m_x += w + 200;
    m_rowHeight = std::max(m_rowHeight, h);

    m_w.word("+COMPONENT");
    m_w.endLine();
    m_w.word("+KORVX_LIB_V.1.0");
    m_w.endLine();
    GenPartWriter::write(m_w, part, part.name);
    m_w.word("-KORVX_LIB_V.1.0");
    m_w.endLine();
    componentKeys(part, at, value);
    pinStubs(at);
}

void GenSheetMaker::componentKeys(const GenPart& part, const Placed& at, std::string_view value) {
    m_w.num("L", 0);
    m_w.num("X", at.x);
    m_w.num("Y", at.y);
    m_w.text("LIB", part.name);
    m_w.num("DIR", at.dir);
    m_w.num("BLK", m_rng.below(part.blocks));
    m_w.text("N", value);
    m_w.num("ND", 1);
    m_w.num("NX", -at.w);
    m_w.num("NY", 14);
    m_w.num("NH", part.prefix == "J" && m_rng.chance(50) ? 1 : 0);
    m_w.text("R", part.prefix + std::to_string(++m_refs));
    m_w.num("RD", 1);
    m_w.num("RX", -at.w);
    m_w.num("RY", -at.h - 4);
    m_w.num("RH", 0);
    m_w.text("NOTE", part.note);
    m_w.text("PKG", part.pkg);
    m_w.text("MFR", part.mfr);
    m_w.text("MFRPN", part.mfrpn);
    m_w.word("-COMPONENT");
    m_w.endLine();
}

// Wires from about two thirds of the pins, straight out from the body.
void GenSheetMaker::pinStubs(const Placed& at) {
    const int dir = at.dir;
    for (const auto& pin : at.part->pins) {
        if (!m_rng.chance(65))
            continue;
        int side = (dir + pin.side) % 4;
        if ((dir & 4) && side % 2 == 0)
            side = 2 - side;
        const int v = pin.offset * 10;
        int x = at.x;
        int y = at.y;
        if (side % 2 == 0) {
            x = side == 0 ? at.x - at.w : at.x;
            y = (dir == 2 || dir == 3 || dir == 6 || dir == 7) ? at.y - v : at.y + v - at.h;
        } else {
            y = side == 1 ? at.y - at.h : at.y;
            x = (dir == 1 || dir == 2 || dir == 4 || dir == 7) ? at.x - v : at.x + v - at.w;
        }
        const int dx = side == 0 ? -1 : (side == 2 ? 1 : 0);
        const int dy = side == 1 ? -1 : (side == 3 ? 1 : 0);
        x += dx * 10; // the pin's outer end
        y += dy * 10;
        const int length = 20 + 10 * m_rng.below(4);
        twoPoint("WIRE", x, y, x + dx * length, y + dy * length);
        stubEnd(x + dx * length, y + dy * length, dx, dy);
    }
}

void GenSheetMaker::stubEnd(int x, int y, int dx, int dy) {
    const int r = m_rng.below(100);
    const bool horizontal = dy == 0;
    if (r < 40) {
        label(x + (dx < 0 ? -30 : 2), y - 2, horizontal, netName());
    } else if (r < 55) {
        tag(x, y, horizontal, m_rng.below(4), netName());
    } else if (r < 65) {
        // A T-junction: the stub meets a cross wire stored as two pieces.
        const int ex = dy * 20;
        const int ey = dx * 20;
        twoPoint("WIRE", x - ex, y - ey, x, y);
        twoPoint("WIRE", x, y, x + ex, y + ey);
        junction(x, y);
    }
}

std::string GenSheetMaker::netName() {
    if (m_rng.chance(50))
        return m_rng.pick(kNetNames);
    return "N" + std::to_string(++m_nets);
}

// A bus below the current row with entries, each continued by a wire and a label.
void GenSheetMaker::busRow() {
    const int busY = m_y + m_rowHeight + 260;
    const int count = 4 + m_rng.below(13);
    const int x1 = 200;
    const int x2 = x1 + 40 * count + 40;
    twoPoint("BUS", x1, busY, x2, busY);
    twoPoint("BUS", x2, busY, x2, busY + 60);
    label(x1 + 4, busY - 4, true, "D[0.." + std::to_string(count - 1) + "]");
    for (int i = 0; i < count; ++i) {
        const int x = x1 + 40 + 40 * i;
        twoPoint(m_rng.chance(80) ? "ENTRY" : "BENTRY", x, busY, x + 10, busY - 10);
        twoPoint("WIRE", x + 10, busY - 10, x + 10, busY - 50);
        label(x + 8, busY - 52, false, "D" + std::to_string(i));
    }
    m_x = 100;
    m_y = busY + 60;
    m_rowHeight = 0;
}

void GenSheetMaker::frame(int x1, int y1, int x2, int y2) {
    dash(x1, y1, x2, y1, false, 1, 0, 0);
    dash(x2, y1, x2, y2, false, 1, 0, 0);
    dash(x2, y2, x1, y2, false, 1, 0, 0);
    dash(x1, y2, x1, y1, false, 1, 0, 0);
}

void GenSheetMaker::decorations() {
    static const char* const kNotes[] = {"Place close to the connector",
                                         "Decoupling: one 100n per supply pin",
                                         "Do not populate",
                                         "Keep traces short",
                                         "Impedance 50 ohm",
                                         "Optional, see BOM"};
    static const char* const kFonts[] = {"", "Sans Serif", "Monospace", "Serif"};
    static const char* const kFlags[] = {"", "", "B", "I", "BI", "U", "S"};
    const int x = std::max(100, m_x - 200);
    const int y = m_y + 40;
    comment(x, y, m_rng.pick(kNotes), m_rng.pick(kFonts), m_rng.range(8, 20), m_rng.pick(kFlags),
            m_rng.chance(20) ? 200 + 10 * m_rng.below(20) : -1);
    if (m_rng.chance(30))
        frame(m_x - 220, m_y + 50, m_x - 20, m_y + 60 + m_rowHeight + 150);
    if (m_rng.chance(25))
        dash(x, y + 20, x + 120, y + 60, true, m_rng.below(4), m_rng.below(3), 1);
    if (m_rng.chance(20))
        marker(x, y + 10, x + 100, y + 10);
    if (m_rng.chance(3))
        image(x, y + 80);
}

void GenSheetMaker::junction(int x, int y) {
    m_w.word("+JUNCTION");
    m_w.num("L", 0);
    m_w.num("X", x);
    m_w.num("Y", y);
    m_w.word("-JUNCTION");
    m_w.endLine();
}

void GenSheetMaker::label(int x, int y, bool horizontal, std::string_view text) {
    m_w.word("+LABEL");
    m_w.num("L", 0);
    m_w.num("X", x);
    m_w.num("Y", y);
    m_w.num("D", horizontal ? 1 : 0);
    m_w.text("S", text);
    m_w.word("-LABEL");
    m_w.endLine();
}

void GenSheetMaker::tag(int x, int y, bool horizontal, int type, std::string_view text) {
    m_w.word("+TAG");
    m_w.num("L", 0);
    m_w.num("X", x);
    m_w.num("Y", y);
    m_w.num("D", horizontal ? 1 : 0);
    m_w.num("T", type);
    m_w.text("S", text);
    m_w.word("-TAG");
    m_w.endLine();
}

void GenSheetMaker::comment(int x, int y, std::string_view text, std::string_view font, int size,
                            std::string_view flags, int width) {
    m_w.word("+COMMENT");
    m_w.num("L", 0);
    m_w.num("X", x);
    m_w.num("Y", y);
    m_w.num("W", width);
    m_w.text("S", text);
    m_w.text("FN", font);
    m_w.num("TAG", 0);
    m_w.num("FS", size);
    m_w.text("FF", flags);
    m_w.word("-COMMENT");
    m_w.endLine();
}

void GenSheetMaker::twoPoint(std::string_view kind, int x1, int y1, int x2, int y2) {
    m_w.word("+" + std::string(kind));
    m_w.num("L", 0);
    m_w.num("X1", x1);
    m_w.num("Y1", y1);
    m_w.num("X2", x2);
    m_w.num("Y2", y2);
    m_w.word("-" + std::string(kind));
    m_w.endLine();
}

void GenSheetMaker::dash(int x1, int y1, int x2, int y2, bool curved, int style, int startMark,
                         int endMark) {
    static const char* const kStyles[] = {"NORM", "DASH", "LDT", "LDDT"};
    static const char* const kMarks[] = {"NORM", "ARRW", "CRCL"};
    m_w.word("+DASH");
    m_w.num("L", 0);
    m_w.num("X1", x1);
    m_w.num("Y1", y1);
    m_w.num("X2", x2);
    m_w.num("Y2", y2);
    m_w.num("CURV", curved ? 1 : 0);
    m_w.num("CTX1", curved ? x1 + 40 : 0);
    m_w.num("CTY1", curved ? y1 - 40 : 0);
    m_w.num("CTX2", curved ? x2 - 40 : 0);
    m_w.num("CTY2", curved ? y2 + 40 : 0);
    m_w.num("WDT", 1 + (curved ? 1 : 0));
    m_w.text("LS", kStyles[style & 3]);
    m_w.text("SSTL", kMarks[startMark % 3]);
    m_w.text("ESTL", kMarks[endMark % 3]);
    m_w.num("EMS", 8);
    m_w.word("-DASH");
    m_w.endLine();
}

void GenSheetMaker::marker(int x1, int y1, int x2, int y2) {
    m_w.word("+ALINE");
    m_w.num("L", 0);
    m_w.num("X1", x1);
    m_w.num("Y1", y1);
    m_w.num("X2", x2);
    m_w.num("Y2", y2);
    m_w.num("STL", 0);
    m_w.num("WDT", 7);
    m_w.num("CLR", 8454016);
    m_w.word("-ALINE");
    m_w.endLine();
}

void GenSheetMaker::image(int x, int y) {
    m_w.word("+IMAGEOBJECT");
    m_w.num("L", 0);
    m_w.num("X", x);
    m_w.num("Y", y);
    m_w.num("MAG", 100);
    GenImage::writeSection(m_w, GenImage::bitmap(24 + m_rng.below(40), 16 + m_rng.below(24),
                                                 static_cast<uint32_t>(m_rng.next())));
    m_w.word("-IMAGEOBJECT");
    m_w.endLine();
}
