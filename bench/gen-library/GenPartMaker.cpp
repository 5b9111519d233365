#include "GenPartMaker.h"

#include "GenBitmap.h"

#include <cstdio>

namespace {

using Kind = GenObj::Kind;

GenObj line(int x1, int y1, int x2, int y2, int width = 1, int style = 0) {
    GenObj o;
    o.kind = Kind::Line;
    o.width = width;
    o.style = style;
    o.points = {{x1, y1}, {x2, y2}};
    return o;
}

GenObj ellipse(int x1, int y1, int x2, int y2, int fill = -1) {
    GenObj o = line(x1, y1, x2, y2);
    o.kind = Kind::Circle;
    o.fill = fill;
    return o;
}

GenObj polygon(std::vector<std::pair<int, int>> nodes, int fill = -1, int width = 1) {
    GenObj o;
    o.kind = Kind::Polygon;
    o.fill = fill;
    o.width = width;
    o.points = std::move(nodes);
    return o;
}

GenObj arc(int cx, int cy, int r, int start, int end) {
    GenObj o;
    o.kind = Kind::Arc;
    o.points = {{cx, cy}};
    o.radius = r;
    o.startAngle = start;
    o.endAngle = end;
    return o;
}

GenObj text(int x, int y, std::string s, int align = 0, int size = 10) {
    GenObj o;
    o.kind = Kind::Text;
    o.points = {{x, y}};
    o.text = std::move(s);
    o.align = align;
    o.fontSize = size;
    return o;
}

GenPin pin(int side, int offset, std::string name, std::string flags, int blocks,
           const std::string& number) {
    GenPin p;
    p.side = side;
    p.offset = offset;
    p.name = std::move(name);
    p.flags = std::move(flags);
    p.numbers.assign(static_cast<size_t>(blocks), number);
    return p;
}

std::string overlined(std::string_view name) {
    std::string s;
    for (const char c : name)
        s.push_back(static_cast<char>(static_cast<unsigned char>(c) | 0x80));
    return s;
}

std::string numbered(const char* format, int serial) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, serial);
    return buf;
}

// Inverter triangle, AND-shaped or OR-shaped (XOR: with a second back curve) gate outline.
void addGateBody(std::vector<GenObj>& objects, int h, bool inverter, bool orShape, bool xorShape) {
    if (inverter) {
        objects.push_back(polygon({{0, 0}, {32, 10}, {0, 20}}, -1, 2));
    } else if (orShape) {
        objects.push_back(arc(0, h, h, 480, 1440));
        objects.push_back(arc(0, 0, h, 4320, 5280));
        objects.push_back(arc(-20, h / 2, 28, 5040, 720));
        if (xorShape)
            objects.push_back(arc(-26, h / 2, 28, 5040, 720));
    } else {
        objects.push_back(line(0, 0, 20, 0, 2));
        objects.push_back(line(0, 0, 0, h, 2));
        objects.push_back(line(0, h, 20, h, 2));
        objects.push_back(arc(20, h / 2, h / 2, 4320, 1440));
    }
}

const char* const kMakers[] = {
    "Vennhald Semi",   "Orbital Devices", "Kestrel Micro",   "Norrland Passive",
    "Tarn Components", "Holm & Berg",     "Lowfield Analog", ""};

} // namespace

GenPartMaker::Family GenPartMaker::pickFamily() {
    const int r = m_rng.below(100);
    if (r < 12)
        return Family::Gate;
    if (r < 28)
        return Family::Passive;
    if (r < 35)
        return Family::OpAmp;
    if (r < 72)
        return Family::Ic;
    if (r < 86)
        return Family::Connector;
    if (r < 92)
        return Family::Regulator;
    return Family::Transistor;
}

GenPart GenPartMaker::make(Family family, int serial) {
    switch (family) {
    case Family::Gate:
        return makeGate(serial);
    case Family::Passive:
        return makePassive(serial);
    case Family::OpAmp:
        return makeOpAmp(serial);
    case Family::Ic:
        return makeIc(serial);
    case Family::Connector:
        return makeConnector(serial);
    case Family::Regulator:
        return makeRegulator(serial);
    case Family::Transistor:
        break;
    }
    return makeTransistor(serial);
}

void GenPartMaker::addMaker(GenPart& part, const char* pkg) {
    part.mfr = m_rng.pick(kMakers);
    part.mfrpn = part.mfr.empty() ? std::string() : part.name + (m_rng.chance(50) ? "-TR" : "");
    part.pkg = pkg;
}

GenPart GenPartMaker::makeGate(int serial) {
    struct GateKind {
        const char* code;
        const char* note;
        int inputs;
        int blocks;
        bool inverted;
        bool orShape;
    };
    static const GateKind kKinds[] = {
        {"00", "Quad 2-input NAND gate", 2, 4, true, false},
        {"02", "Quad 2-input NOR gate", 2, 4, true, true},
        {"04", "Hex inverter", 1, 6, true, false},
        {"08", "Quad 2-input AND gate", 2, 4, false, false},
        {"10", "Triple 3-input NAND gate", 3, 3, true, false},
        {"20", "Dual 4-input NAND gate", 4, 2, true, false},
        {"32", "Quad 2-input OR gate", 2, 4, false, true},
        {"86", "Quad 2-input XOR gate", 2, 4, false, true},
    };
    static const int kInputOffsets[5][4] = {{}, {1}, {1, 3}, {1, 2, 3}, {1, 2, 4, 5}};
    const GateKind& k = m_rng.pick(kKinds);
    GenPart part;
    part.name = numbered((std::string("74HC") + k.code + "_%05d").c_str(), serial);
    part.width = 4;
    part.height = k.inputs == 1 ? 2 : (k.inputs == 4 ? 6 : 4);
    part.blocks = k.blocks;
    part.note = k.note;
    part.value = part.name;
    for (const char* family : {"74LS", "74HCT"})
        if (m_rng.chance(40))
            part.aliases.push_back(
                numbered((std::string(family) + k.code + "_%05d").c_str(), serial));
    // Signal pins first, numbered through the package skipping the power pins 7 and 14.
    int number = 1;
    auto next = [&number] {
        if (number == 7)
            ++number;
        return std::to_string(number++);
    };
    const int out = part.height / 2;
    for (int i = 0; i < k.inputs; ++i)
        part.pins.push_back(
            pin(0, kInputOffsets[k.inputs][i], std::string(1, char('A' + i)), "", k.blocks, ""));
    part.pins.push_back(pin(2, out, "Y", k.inverted ? "N" : "", k.blocks, ""));
    for (int b = 0; b < k.blocks; ++b)
        for (auto& p : part.pins)
            p.numbers[static_cast<size_t>(b)] = next();
    part.pins.push_back(pin(1, 2, "VCC", "m", k.blocks, "14"));
    part.pins.push_back(pin(3, 2, "GND", "m", k.blocks, "7"));

    const int h = part.height * 10;
    addGateBody(part.objects, h, k.inputs == 1, k.orShape, k.code[0] == '8');
    part.objects.push_back(text(14, h / 2, k.orShape ? ">=1" : "&", 10, 8));
    addMaker(part, m_rng.chance(50) ? "DIP14" : "SO14");
    return part;
}

GenPart GenPartMaker::makePassive(int serial) {
    struct PassiveKind {
        const char* prefix;
        const char* note;
        const char* values[4];
        const char* pinNames[2];
    };
    static const PassiveKind kKinds[] = {
        {"R", "Resistor 1%", {"10k", "4.7k", "220", "1M"}, {"1", "2"}},
        {"C", "Ceramic capacitor X7R", {"100n", "1n", "22p", "4.7u"}, {"1", "2"}},
        {"L", "Inductor", {"10u", "4.7u", "100n", "1m"}, {"1", "2"}},
        {"D", "Small-signal diode", {"DSIG", "DSCH", "DZ5V1", "DFAST"}, {"A", "K"}},
        {"F", "Fuse", {"500mA", "1A", "2A", "PTC"}, {"1", "2"}},
    };
    static const char* const kPackages[] = {"0402", "0603", "0805", "1206", "SOD123"};
    const int kind = m_rng.below(5);
    const PassiveKind& k = kKinds[kind];
    GenPart part;
    part.name = numbered((std::string(k.prefix) + "_%05d").c_str(), serial);
    part.width = 4;
    part.height = 2;
    part.prefix = k.prefix;
    part.note = k.note;
    part.value = m_rng.pick(k.values);
    const std::string flags = m_rng.chance(70) ? "m" : "";
    part.pins.push_back(pin(0, 1, k.pinNames[0], flags, 1, "1"));
    part.pins.push_back(pin(2, 1, k.pinNames[1], flags, 1, "2"));
    switch (kind) {
    case 0:
        part.objects.push_back(polygon({{0, 5}, {40, 5}, {40, 15}, {0, 15}}));
        break;
    case 1:
        part.objects.push_back(line(0, 10, 17, 10));
        part.objects.push_back(line(17, 0, 17, 20, 2));
        part.objects.push_back(line(23, 0, 23, 20, 2));
        part.objects.push_back(line(23, 10, 40, 10));
        break;
    case 2:
        for (int i = 0; i < 4; ++i)
            part.objects.push_back(arc(5 + 10 * i, 10, 5, 0, 2880));
        break;
    case 3:
        part.objects.push_back(line(0, 10, 40, 10));
        part.objects.push_back(polygon({{12, 2}, {28, 10}, {12, 18}}, 1));
        part.objects.push_back(line(28, 2, 28, 18, 2));
        break;
    default:
        part.objects.push_back(polygon({{0, 4}, {40, 4}, {40, 16}, {0, 16}}));
        part.objects.push_back(line(0, 10, 40, 10, 1, 1));
        break;
    }
    addMaker(part, m_rng.pick(kPackages));
    return part;
}

GenPart GenPartMaker::makeOpAmp(int serial) {
    static const int kBlockChoices[] = {1, 2, 4};
    // Per block: IN-, IN+, OUT; then V+ and V- shared by all blocks.
    static const char* const kNumbers[3][4][3] = {
        {{"2", "3", "6"}},
        {{"2", "3", "1"}, {"6", "5", "7"}},
        {{"2", "3", "1"}, {"6", "5", "7"}, {"9", "10", "8"}, {"13", "12", "14"}}};
    static const char* const kPower[3][2] = {{"7", "4"}, {"8", "4"}, {"4", "11"}};
    const int choice = m_rng.below(3);
    const int blocks = kBlockChoices[choice];
    GenPart part;
    part.name =
        numbered(blocks == 1 ? "OPA1_%05d" : (blocks == 2 ? "OPA2_%05d" : "OPA4_%05d"), serial);
    part.width = 6;
    part.height = 6;
    part.blocks = blocks;
    part.note = blocks == 4 ? "Quad op-amp, rail-to-rail output" : "Low-noise op-amp";
    part.value = part.name;
    part.pins.push_back(pin(0, 2, "IN-", "", blocks, ""));
    part.pins.push_back(pin(0, 4, "IN+", "", blocks, ""));
    part.pins.push_back(pin(2, 3, "OUT", "", blocks, ""));
    for (int b = 0; b < blocks; ++b)
        for (int i = 0; i < 3; ++i)
            part.pins[static_cast<size_t>(i)].numbers[static_cast<size_t>(b)] =
                kNumbers[choice][b][i];
    part.pins.push_back(pin(1, 3, "V+", "m", blocks, kPower[choice][0]));
    part.pins.push_back(pin(3, 3, "V-", "m", blocks, kPower[choice][1]));
    part.objects.push_back(polygon({{0, 0}, {60, 30}, {0, 60}}, -1, 2));
    part.objects.push_back(text(4, 20, "-", 8, 12));
    part.objects.push_back(text(4, 40, "+", 8, 12));
    part.objects.push_back(line(30, 0, 30, 15));
    part.objects.push_back(line(30, 45, 30, 60));
    addMaker(part, blocks == 4 ? "SO14" : "SO8");
    return part;
}

std::string GenPartMaker::icPinName(int index) {
    static const char* const kSpecial[] = {"VCC",  "GND",  "RESET", "CS",  "SCK",  "MOSI",
                                           "MISO", "SDA",  "SCL",   "XIN", "XOUT", "VREF",
                                           "AVCC", "AGND", "WR",    "RD",  "INT",  "EN"};
    static const char kPorts[] = "ABCDEFGH";
    const int r = m_rng.below(10);
    if (r < 6)
        return numbered((std::string("P") + kPorts[(index / 8) % 8] + "%d").c_str(), index % 8);
    if (r < 8)
        return m_rng.pick(kSpecial);
    if (r < 9)
        return overlined(m_rng.pick(kSpecial));
    return numbered(m_rng.chance(50) ? "D%d" : "A%d", index % 32);
}

void GenPartMaker::addIcPins(GenPart& part, int pinCount, bool quad) {
    static const char* const kFlags[] = {"", "", "", "", "", "", "N", "C", "NC", "m", "S", "Z"};
    const int perSide = quad ? pinCount / 4 : pinCount / 2;
    // Counter-clockwise from the top of the left side, as packages are numbered.
    const int sides[4] = {0, 3, 2, 1};
    int number = 1;
    for (int s = 0; s < (quad ? 4 : 2); ++s) {
        const int side = quad ? sides[s] : (s == 0 ? 0 : 2);
        for (int i = 0; i < perSide; ++i) {
            const bool reversed = side == 2 || side == 1;
            const int offset = (quad ? 2 : 1) + (reversed ? perSide - 1 - i : i);
            std::string name = icPinName(number - 1);
            const char* flags = m_rng.pick(kFlags);
            if (static_cast<unsigned char>(name[0]) & 0x80)
                flags = "N";
            part.pins.push_back(
                pin(side, offset, std::move(name), flags, 1, numbered("%d", number)));
            ++number;
        }
    }
}

void GenPartMaker::addIcPattern(GenPart& part) {
    const int w = part.width * 10;
    const int h = part.height * 10;
    if (m_rng.chance(50)) {
        part.objects.push_back(polygon({{0, 0}, {w, 0}, {w, h}, {0, h}}, -1, 2));
    } else {
        part.objects.push_back(line(0, 0, w, 0, 2));
        part.objects.push_back(line(w, 0, w, h, 2));
        part.objects.push_back(line(w, h, 0, h, 2));
        part.objects.push_back(line(0, h, 0, 0, 2));
    }
    part.objects.push_back(ellipse(4, 4, 10, 10, 1));
    GenObj title = text(w / 2, 6, part.name, 2 | 4, 10);
    title.fontFlags = "B";
    part.objects.push_back(title);
    if (m_rng.chance(30))
        part.objects.push_back(line(w / 2, 20, w / 2, h - 10, 1, 1));
    if (m_rng.chance(20)) {
        GenObj side = text(w - 6, h / 2, "PORT", 2 | 8, 8);
        side.horizontal = false;
        side.font = "Sans Serif";
        part.objects.push_back(side);
    }
}

GenPart GenPartMaker::makeIc(int serial) {
    static const char* const kNotes[] = {
        "8-bit microcontroller", "Serial EEPROM", "USB bridge",      "Octal bus transceiver",
        "12-bit ADC, SPI",       "Ethernet PHY",  "Real-time clock", ""};
    const bool quad = m_rng.chance(30);
    const int pinCount = quad ? 4 * m_rng.range(8, 25) : 2 * m_rng.range(4, 32);
    GenPart part;
    part.name = numbered(quad ? "KXQ%05d" : "KXD%05d", serial);
    part.width = quad ? pinCount / 4 + 3 : m_rng.range(8, 16);
    part.height = quad ? part.width : pinCount / 2 + 1;
    part.note = m_rng.pick(kNotes);
    part.value = part.name;
    addIcPins(part, pinCount, quad);
    part.hasPattern = m_rng.below(100) >= 8;
    if (part.hasPattern) {
        addIcPattern(part);
        if (m_rng.chance(60))
            addBitmap(part);
    }
    addMaker(part, quad ? "QFP" : (pinCount <= 20 ? "DIP" : "SOIC"));
    part.pkg += std::to_string(pinCount);
    return part;
}

GenPart GenPartMaker::makeConnector(int serial) {
    const bool dual = m_rng.chance(60);
    const int count = dual ? 2 * m_rng.range(5, 50) : m_rng.range(2, 40);
    GenPart part;
    part.name = numbered(dual ? "HDR2X_%05d" : "HDR1X_%05d", serial);
    part.width = dual ? 6 : 4;
    part.height = (dual ? count / 2 : count) + 1;
    part.prefix = "J";
    part.note = dual ? "Box header, 2.54 mm" : "Pin header, 2.54 mm";
    part.value = std::to_string(count) + "P";
    const int w = part.width * 10;
    const int h = part.height * 10;
    part.objects.push_back(polygon({{0, 0}, {w, 0}, {w, h}, {0, h}}));
    const bool named = m_rng.chance(30);
    for (int n = 1; n <= count; ++n) {
        const bool right = dual && n % 2 == 0;
        const int offset = dual ? (n + 1) / 2 : n;
        part.pins.push_back(pin(right ? 2 : 0, offset, named ? numbered("P%d", n) : std::string(),
                                "", 1, std::to_string(n)));
        const int cx = right ? w - 10 : 10;
        part.objects.push_back(
            line(right ? w : 0, offset * 10, right ? cx + 3 : cx - 3, offset * 10));
        part.objects.push_back(ellipse(cx - 3, offset * 10 - 3, cx + 3, offset * 10 + 3, 1));
    }
    addMaker(part, "");
    part.pkg = numbered(dual ? "HDR2X%d" : "HDR1X%d", dual ? count / 2 : count);
    return part;
}

GenPart GenPartMaker::makeRegulator(int serial) {
    static const char* const kVoltages[] = {"1V8", "2V5", "3V3", "5V0", "12V"};
    GenPart part;
    part.name = numbered("KXREG%05d", serial);
    part.width = 8;
    part.height = 4;
    part.value = m_rng.pick(kVoltages);
    part.note = "Low-dropout linear regulator " + part.value;
    part.pins.push_back(pin(0, 1, "VIN", "", 1, "1"));
    part.pins.push_back(pin(2, 1, "VOUT", "", 1, "3"));
    part.pins.push_back(pin(3, 4, "GND", "", 1, "2"));
    if (m_rng.chance(50))
        part.pins.push_back(pin(0, 3, overlined("SHDN"), "N", 1, "4"));
    part.objects.push_back(polygon({{0, 0}, {80, 0}, {80, 40}, {0, 40}}, -1, 2));
    part.objects.push_back(text(40, 20, "REG", 2 | 8, 12));
    part.objects.push_back(text(40, 36, part.value, 2, 8));
    addMaker(part, m_rng.chance(50) ? "SOT223" : "TO220");
    return part;
}

GenPart GenPartMaker::makeTransistor(int serial) {
    const bool npn = m_rng.chance(60);
    GenPart part;
    part.name = numbered(npn ? "QNPN%05d" : "QPNP%05d", serial);
    part.width = 4;
    part.height = 4;
    part.prefix = "Q";
    part.note = npn ? "NPN general purpose transistor" : "PNP general purpose transistor";
    part.value = part.name;
    part.pins.push_back(pin(0, 2, "B", "m", 1, "1"));
    part.pins.push_back(pin(1, 3, "C", "m", 1, "3"));
    part.pins.push_back(pin(3, 3, "E", "m", 1, "2"));
    if (m_rng.chance(50)) {
        GenBitmap bits(41, 41);
        bits.ellipse(20, 20, 19, 19);
        bits.line(0, 20, 14, 20);
        bits.fillRect(14, 10, 15, 30);
        bits.line(15, 15, 30, 0);
        bits.line(15, 25, 30, 40);
        bits.fillRect(26, 33, 29, 36);
        part.bitmapRows = bits.encodedRows();
    } else {
        part.objects.push_back(ellipse(0, 0, 40, 40));
        part.objects.push_back(line(0, 20, 14, 20));
        part.objects.push_back(line(14, 10, 14, 30, 3));
        part.objects.push_back(line(14, 15, 30, 0));
        part.objects.push_back(line(14, 25, 30, 40));
        part.objects.push_back(
            polygon(npn ? std::vector<std::pair<int, int>>{{30, 40}, {21, 36}, {26, 31}}
                        : std::vector<std::pair<int, int>>{{14, 25}, {23, 27}, {19, 32}},
                    1));
    }
    addMaker(part, m_rng.chance(50) ? "SOT23" : "TO92");
    return part;
}

void GenPartMaker::addBitmap(GenPart& part) {
    const int w = part.width * 10 + 1;
    const int h = part.height * 10 + 1;
    if (w > 501 || h > 501)
        return;
    GenBitmap bits(w, h);
    bits.rectangle(0, 0, w - 1, h - 1);
    bits.rectangle(2, 2, w - 3, h - 3);
    bits.ellipse(8, 8, 4, 4);
    const int cx = w / 2;
    const int cy = h / 2;
    bits.ellipse(cx, cy, w / 5, h / 6);
    bits.line(cx - w / 5, cy, cx + w / 5, cy);
    for (int y = 10; y < h - 10; y += 10)
        bits.line(4, y, 12, y);
    part.bitmapRows = bits.encodedRows();
}
