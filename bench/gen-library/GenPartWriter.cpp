#include "GenPartWriter.h"

namespace {

constexpr char kSideLetters[] = "LTRB";

void writePoints(GenWriter& out, const GenObj& obj) {
    for (const auto& [x, y] : obj.points) {
        out.num("X", x);
        out.num("Y", y);
    }
}

} // namespace

std::string GenPartWriter::sevenBit(std::string_view name) {
    std::string encoded;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c & 0x80) {
            encoded.push_back('\\');
            encoded.push_back(static_cast<char>(c & 0x7F));
        } else {
            encoded.push_back(ch);
        }
    }
    return encoded;
}

void GenPartWriter::write(GenWriter& out, const GenPart& part, std::string_view name) {
    if (part.hasPattern)
        writePattern(out, part, name);
    out.word("+COMP");
    out.text("N", name);
    out.endLine();
    out.num("X", part.width);
    out.num("Y", part.height);
    out.num("B", part.blocks);
    out.endLine();
    out.text("R", part.prefix);
    out.endLine();
    if (part.hasPattern) {
        out.text("P", name);
        out.endLine();
    }
    for (const auto& pin : part.pins) {
        writePin(out, pin);
        out.endLine();
    }
    out.text("NOTE", part.note);
    out.text("MFR", part.mfr);
    out.text("MFRPN", part.mfrpn);
    out.text("PKG", part.pkg);
    out.word("-COMP");
    out.endLine();
}

void GenPartWriter::writeAlias(GenWriter& out, std::string_view alias, std::string_view name) {
    out.word("+ALIAS");
    out.text("A", alias);
    out.text("N", name);
    out.word("-ALIAS");
    out.endLine();
}

void GenPartWriter::writePattern(GenWriter& out, const GenPart& part, std::string_view name) {
    out.word("+PTN");
    out.text("N", name);
    out.num("X", part.width * 10 + 1);
    out.num("Y", part.height * 10 + 1);
    out.endLine();
    if (!part.bitmapRows.empty()) {
        out.word("+BMP");
        out.endLine();
        for (const auto& row : part.bitmapRows) {
            out.word(row);
            out.endLine();
        }
        out.word("-BMP");
        out.endLine();
    }
    for (const auto& obj : part.objects) {
        writeObject(out, obj);
        out.endLine();
    }
    out.word("-PTN");
    out.endLine();
}

void GenPartWriter::writeObject(GenWriter& out, const GenObj& obj) {
    switch (obj.kind) {
    case GenObj::Kind::Line:
    case GenObj::Kind::Circle: {
        const bool line = obj.kind == GenObj::Kind::Line;
        out.word(line ? "+L" : "+C");
        out.num("W", obj.width);
        out.num("S", obj.style);
        if (!line)
            out.num("F", obj.fill);
        writePoints(out, obj);
        out.word(line ? "-L" : "-C");
        break;
    }
    case GenObj::Kind::Polygon:
        out.word("+PG");
        out.num("W", obj.width);
        out.num("S", obj.style);
        out.num("F", obj.fill);
        out.num("N", static_cast<int64_t>(obj.points.size()));
        writePoints(out, obj);
        out.word("-PG");
        break;
    case GenObj::Kind::Arc:
        out.word("+AR");
        out.num("W", obj.width);
        out.num("S", obj.style);
        writePoints(out, obj);
        out.num("R", obj.radius);
        out.num("B", obj.startAngle);
        out.num("E", obj.endAngle);
        out.word("-AR");
        break;
    case GenObj::Kind::Text:
        writeText(out, obj);
        break;
    }
}

void GenPartWriter::writeText(GenWriter& out, const GenObj& obj) {
    out.word("+TX");
    writePoints(out, obj);
    out.num("A", obj.align);
    out.num("D", obj.horizontal ? 1 : 0);
    out.text("S", obj.text);
    out.text("FN", obj.font);
    out.num("FS", obj.fontSize);
    out.text("FF", obj.fontFlags);
    out.word("-TX");
}

void GenPartWriter::writePin(GenWriter& out, const GenPin& pin) {
    out.word("+PIN");
    out.text("N", sevenBit(pin.name));
    out.text("L", kSideLetters[pin.side & 3] + std::to_string(pin.offset));
    out.text("T", pin.flags);
    for (const auto& number : pin.numbers)
        out.text("M", number);
    out.word("-PIN");
}
