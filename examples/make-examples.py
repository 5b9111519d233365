#!/usr/bin/env python3
"""Writes the example library and schematics of this folder.

Everything is written in the exact word and line layout of the library and schematic writers
(CR LF line ends, "%XX" escapes), so that loading and saving a file reproduces it byte for byte.

    python3 make-examples.py [OUTDIR]      (default: the folder of this script)
    python3 make-examples.py --check       (exit 1 when a file here differs from what it makes)
"""

import math
import os
import struct
import sys

# ---------------------------------------------------------------------------------------------
# Word writer


def to_bytes(value):
    if isinstance(value, bytes):
        return value
    if isinstance(value, int):
        return str(value).encode()
    return value.encode("utf-8")


class Writer:
    """Comma between the words of a line, CR LF line ends; 0x00-0x20, "%" and "," escaped."""

    def __init__(self):
        self.out = bytearray()
        self.line_start = True

    def word(self, value):
        if not self.line_start:
            self.out += b","
        self.line_start = False
        for c in to_bytes(value):
            if c <= 0x20 or c in (0x25, 0x2C):
                self.out += b"%%%02X" % c
            else:
                self.out.append(c)

    def field(self, key, value):
        self.word(to_bytes(key) + b":" + to_bytes(value))

    def end_line(self):
        self.out += b"\r\n"
        self.line_start = True


# ---------------------------------------------------------------------------------------------
# Component model: pattern objects, pins, components


def L(x1, y1, x2, y2, w=1, s=0):
    return ("L", w, s, None, [(x1, y1), (x2, y2)])


def C(x1, y1, x2, y2, w=1, s=0, f=-1):
    return ("C", w, s, f, [(x1, y1), (x2, y2)])


def PG(nodes, w=1, s=0, f=-1):
    assert 2 <= len(nodes) <= 32 and nodes[0] != nodes[-1]
    return ("PG", w, s, f, nodes)


def AR(cx, cy, r, b, e, w=1, s=0):
    return ("AR", w, s, (r, b, e), [(cx, cy)])


def TX(x, y, text, a=0, d=1, fn="", fs=10, ff=""):
    assert text and 4 <= fs <= 80
    return ("TX", x, y, a, d, text, fn, fs, ff)


def deg(a):
    """Degrees to the pattern's sixteenths of a degree."""
    return int(round(a * 16)) % 5760


def over(name):
    """A pin name with every character overlined (high bit set)."""
    return bytes(c | 0x80 for c in name.encode())


class Pin:
    def __init__(self, name, where, flags="", numbers=()):
        self.name = name if isinstance(name, bytes) else name.encode()
        self.side = "LTRB".index(where[0])
        self.offset = int(where[1:])
        assert all(f in "ZSNCm" for f in flags)
        self.flags = "".join(f for f in "ZSNCm" if f in flags)
        self.numbers = list(numbers)


class Comp:
    def __init__(self, name, w, h, blocks=1, prefix="U", pattern=(), bitmap=None, pins=(),
                 note="", mfr="", mfrpn="", pkg="", aliases=(), use_pattern=True):
        self.name, self.w, self.h, self.blocks, self.prefix = name, w, h, blocks, prefix
        self.pattern = list(pattern) if use_pattern else None
        self.bitmap = bitmap
        self.pins = list(pins)
        self.note, self.mfr, self.mfrpn, self.pkg = note, mfr, mfrpn, pkg
        self.aliases = list(aliases)
        for p in self.pins:
            assert len(p.numbers) == blocks, (name, p.name)
            limit = w if p.side in (1, 3) else h
            assert 0 <= p.offset <= limit, (name, p.name)


def seven_bit(name):
    out = bytearray()
    for c in name:
        if c & 0x80:
            out += b"\\" + bytes([c & 0x7F])
        else:
            out.append(c)
    return bytes(out)


def write_object(wr, o):
    kind = o[0]
    if kind == "TX":
        _, x, y, a, d, text, fn, fs, ff = o
        wr.word("+TX")
        wr.field("X", x)
        wr.field("Y", y)
        wr.field("A", a)
        wr.field("D", d)
        wr.field("S", text)
        wr.field("FN", fn)
        wr.field("FS", fs)
        wr.field("FF", "".join(f for f in "BIUS" if f in ff))
        wr.word("-TX")
        return
    _, w, s, extra, pts = o
    wr.word("+" + kind)
    wr.field("W", w)
    wr.field("S", s)
    if kind in ("C", "PG"):
        wr.field("F", extra)
    if kind == "PG":
        wr.field("N", len(pts))
    for x, y in pts:
        wr.field("X", x)
        wr.field("Y", y)
    if kind == "AR":
        r, b, e = extra
        wr.field("R", r)
        wr.field("B", b)
        wr.field("E", e)
    wr.word("-" + kind)


def write_pattern(wr, comp, name):
    wr.word("+PTN")
    wr.field("N", name)
    wr.field("X", comp.w * 10 + 1)
    wr.field("Y", comp.h * 10 + 1)
    wr.end_line()
    if comp.bitmap is not None:
        wr.word("+BMP")
        wr.end_line()
        for row in comp.bitmap:
            wr.word(row)
            wr.end_line()
        wr.word("-BMP")
        wr.end_line()
    for o in comp.pattern:
        write_object(wr, o)
        wr.end_line()
    wr.word("-PTN")
    wr.end_line()


def write_pin(wr, pin):
    wr.word("+PIN")
    wr.field("N", seven_bit(pin.name))
    wr.field("L", "LTRB"[pin.side] + str(pin.offset))
    wr.field("T", pin.flags)
    for n in pin.numbers:
        wr.field("M", n)
    wr.word("-PIN")


def write_comp(wr, comp, name):
    if comp.pattern is not None:
        write_pattern(wr, comp, name)
    wr.word("+COMP")
    wr.field("N", name)
    wr.end_line()
    wr.field("X", comp.w)
    wr.field("Y", comp.h)
    wr.field("B", comp.blocks)
    wr.end_line()
    wr.field("R", comp.prefix)
    wr.end_line()
    if comp.pattern is not None:
        wr.field("P", name)
        wr.end_line()
    for p in comp.pins:
        write_pin(wr, p)
        wr.end_line()
    wr.field("NOTE", comp.note)
    wr.field("MFR", comp.mfr)
    wr.field("MFRPN", comp.mfrpn)
    wr.field("PKG", comp.pkg)
    wr.word("-COMP")
    wr.end_line()


def write_library(comps, prop):
    wr = Writer()
    wr.word("+KORVX_LIB_V.1.0")
    wr.end_line()
    wr.field("PROP", prop)
    wr.end_line()
    for c in comps:
        write_comp(wr, c, c.name)
        for a in c.aliases:
            wr.word("+ALIAS")
            wr.field("A", a)
            wr.field("N", c.name)
            wr.word("-ALIAS")
            wr.end_line()
    wr.word("-KORVX_LIB_V.1.0")
    wr.end_line()
    return bytes(wr.out)


# ---------------------------------------------------------------------------------------------
# Bit patterns


class Bits:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.rows = [bytearray((w + 15) // 16 * 2) for _ in range(h)]

    def set(self, x, y):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.rows[y][x // 8] |= 0x80 >> (x % 8)

    def line(self, x1, y1, x2, y2):
        n = max(abs(x2 - x1), abs(y2 - y1))
        for i in range(n + 1):
            self.set(x1 + round((x2 - x1) * i / n) if n else x1,
                     y1 + round((y2 - y1) * i / n) if n else y1)

    def circle(self, cx, cy, r):
        for i in range(360):
            a = math.radians(i)
            self.set(cx + round(r * math.cos(a)), cy + round(r * math.sin(a)))

    def fill(self, x1, y1, x2, y2):
        for y in range(y1, y2 + 1):
            for x in range(x1, x2 + 1):
                self.set(x, y)

    def encoded(self):
        n = (self.w + 7) // 8
        return ["".join(chr((b >> 4) + 0x40) + chr((b & 15) + 0x40) for b in row[:n])
                for row in self.rows]


def npn_bits():
    b = Bits(41, 41)
    b.circle(20, 20, 19)
    b.line(0, 20, 12, 20)          # base lead
    b.fill(12, 10, 14, 30)         # base bar
    b.line(14, 15, 30, 4)          # collector
    b.line(30, 4, 30, 0)
    b.line(14, 25, 30, 36)         # emitter
    b.line(30, 36, 30, 40)
    for i in range(6):             # arrow head on the emitter
        b.line(26 - i, 34 - i // 2, 29, 36)
    return b.encoded()


# ---------------------------------------------------------------------------------------------
# The example library


def and_body(h, w=2):
    return [L(0, 0, 20, 0, w), L(0, 0, 0, h, w), L(0, h, 20, h, w),
            AR(20, h // 2, h // 2, deg(270), deg(90), w)]


def or_body(h, w=2):
    r = round(math.hypot(20, h / 2))
    a = round(math.degrees(math.atan2(h / 2, 20)), 1)
    return [AR(0, h, h, deg(30), deg(90), w), AR(0, 0, h, deg(270), deg(330), w),
            AR(-20, h // 2, r, deg(360 - a), deg(a), w)]


def quad_gate(name, note, body, inverted, numbers, aliases, mfrpn, y_first=False):
    """A 74-series quad 2-input gate: four blocks, power pins shared by all blocks."""
    out_flag = "N" if inverted else ""
    a = [n[1 if y_first else 0] for n in numbers]
    b = [n[2 if y_first else 1] for n in numbers]
    y = [n[0 if y_first else 2] for n in numbers]
    return Comp(name, 4, 4, 4, "U", body,
                pins=[Pin("A", "L1", "", a), Pin("B", "L3", "", b), Pin("Y", "R2", out_flag, y),
                      Pin("VCC", "T2", "Zm", ["14"] * 4), Pin("GND", "B2", "Zm", ["7"] * 4)],
                note=note, mfr="Kestrel Micro", mfrpn=mfrpn, pkg="SO14", aliases=aliases)


QUAD_NUMBERS = [("1", "2", "3"), ("4", "5", "6"), ("9", "10", "8"), ("12", "13", "11")]
NOR_NUMBERS = [("1", "2", "3"), ("4", "5", "6"), ("10", "8", "9"), ("13", "11", "12")]


def logic():
    comps = [
        quad_gate("74HC00", "Quad 2-input NAND gate", and_body(40), True, QUAD_NUMBERS,
                  ["74LS00", "74HCT00", "74AC00"], "KM74HC00D"),
        quad_gate("74HC02", "Quad 2-input NOR gate", or_body(40), True, NOR_NUMBERS,
                  ["74LS02"], "KM74HC02D", y_first=True),
        quad_gate("74HC08", "Quad 2-input AND gate", and_body(40), False, QUAD_NUMBERS,
                  ["74LS08", "74HCT08"], "KM74HC08D"),
        quad_gate("74HC32", "Quad 2-input OR gate", or_body(40), False, QUAD_NUMBERS,
                  ["74LS32"], "KM74HC32D"),
        quad_gate("74HC86", "Quad 2-input exclusive-OR gate",
                  or_body(40) + [AR(-26, 20, 28, deg(315), deg(45), 1)], False, QUAD_NUMBERS,
                  [], "KM74HC86D"),
    ]
    inv = [("1", "2"), ("3", "4"), ("5", "6"), ("9", "8"), ("11", "10"), ("13", "12")]
    comps.append(Comp(
        "74HC04", 4, 2, 6, "U", [PG([(0, 0), (40, 10), (0, 20)], w=2)],
        pins=[Pin("A", "L1", "", [n[0] for n in inv]), Pin("Y", "R1", "N", [n[1] for n in inv]),
              Pin("VCC", "T2", "Zm", ["14"] * 6), Pin("GND", "B2", "Zm", ["7"] * 6)],
        note="Hex inverter", mfr="Kestrel Micro", mfrpn="KM74HC04D", pkg="SO14",
        aliases=["74LS04"]))
    comps.append(Comp(
        "74HC74", 6, 8, 2, "U",
        [PG([(0, 0), (60, 0), (60, 80), (0, 80)]),
         TX(4, 20, "D", a=8), TX(56, 20, "Q", a=1 | 8), TX(56, 60, "Qn", a=1 | 8),
         TX(30, 4, "PRE", a=2 | 4, fs=7), TX(30, 76, "CLR", a=2, fs=7)],
        pins=[Pin("D", "L2", "", ["2", "12"]), Pin("CLK", "L4", "C", ["3", "11"]),
              Pin("Q", "R2", "", ["5", "9"]), Pin(over("Q"), "R6", "N", ["6", "8"]),
              Pin(over("PRE"), "T3", "N", ["4", "10"]), Pin(over("CLR"), "B3", "N", ["1", "13"]),
              Pin("VCC", "T5", "Zm", ["14", "14"]), Pin("GND", "B5", "Zm", ["7", "7"])],
        note="Dual D flip-flop with preset and clear", mfr="Kestrel Micro", mfrpn="KM74HC74D",
        pkg="SO14", aliases=["74LS74"]))
    comps.append(Comp(
        "74HC138", 8, 12, 1, "U",
        [L(0, 0, 80, 0, 2), L(80, 0, 80, 120, 2), L(80, 120, 0, 120, 2), L(0, 120, 0, 0, 2),
         L(0, 45, 30, 45, 1, 1), TX(40, 6, "3:8", a=2 | 4, fs=12, ff="B")],
        pins=[Pin("A0", "L1", "S", ["1"]), Pin("A1", "L2", "S", ["2"]), Pin("A2", "L3", "S", ["3"]),
              Pin(over("E1"), "L6", "N", ["4"]), Pin(over("E2"), "L7", "N", ["5"]),
              Pin("E3", "L8", "", ["6"])]
        + [Pin(over("Y%d" % i), "R%d" % (i + 1), "N", [str(15 - i if i < 7 else 7)])
           for i in range(8)]
        + [Pin("VCC", "T4", "Zm", ["16"]), Pin("GND", "B4", "Zm", ["8"])],
        note="3-to-8 line decoder, inverting outputs", mfr="Kestrel Micro",
        mfrpn="KM74HC138D", pkg="SO16"))
    qs = ["QA", "QB", "QC", "QD", "QE", "QF", "QG", "QH"]
    comps.append(Comp(
        "74HC595", 8, 12, 1, "U",
        [PG([(0, 0), (80, 0), (80, 120), (0, 120)], w=2), TX(40, 60, "SRG8", a=2 | 8, d=0)],
        pins=[Pin("SER", "L1", "", ["14"]), Pin("SRCLK", "L3", "C", ["11"]),
              Pin("RCLK", "L4", "C", ["12"]), Pin(over("SRCLR"), "L6", "N", ["10"]),
              Pin(over("OE"), "L7", "N", ["13"])]
        + [Pin(q, "R%d" % (i + 1), "", [str(15 if i == 0 else i)]) for i, q in enumerate(qs)]
        + [Pin("QH'", "R10", "", ["9"]), Pin("VCC", "T4", "Zm", ["16"]),
           Pin("GND", "B4", "Zm", ["8"])],
        note="8-bit shift register with output latches", mfr="Kestrel Micro",
        mfrpn="KM74HC595D", pkg="SO16"))
    return comps


def opamp_body():
    return [PG([(0, 0), (60, 30), (0, 60)], w=2), TX(5, 20, "-", a=8, fs=14, ff="B"),
            TX(5, 40, "+", a=8, fs=14, ff="B"), L(30, 0, 30, 15), L(30, 45, 30, 60)]


def opamps():
    def amp(name, blocks, numbers, power, note, mfrpn, pkg, extra_pins=(), aliases=()):
        return Comp(name, 6, 6, blocks, "U", opamp_body(),
                    pins=[Pin("IN-", "L2", "", [n[0] for n in numbers]),
                          Pin("IN+", "L4", "", [n[1] for n in numbers]),
                          Pin("OUT", "R3", "", [n[2] for n in numbers]),
                          Pin("V+", "T3", "m", [power[0]] * blocks),
                          Pin("V-", "B3", "m", [power[1]] * blocks)] + list(extra_pins),
                    note=note, mfr="Lowfield Analog", mfrpn=mfrpn, pkg=pkg, aliases=aliases)
    return [
        amp("KX358", 2, [("2", "3", "1"), ("6", "5", "7")], ("8", "4"),
            "Dual op-amp, single supply 3-32 V", "LA358-S8", "SO8", aliases=["KX2904"]),
        amp("KX324", 4, [("2", "3", "1"), ("6", "5", "7"), ("9", "10", "8"), ("13", "12", "14")],
            ("4", "11"), "Quad op-amp, single supply", "LA324-S14", "SO14"),
        amp("KX071", 1, [("2", "3", "6")], ("7", "4"), "JFET-input op-amp with offset null",
            "LA071-S8", "SO8",
            extra_pins=[Pin("N1", "B1", "S", ["1"]), Pin("N2", "B5", "S", ["5"]),
                        Pin("NC", "T5", "m", ["8"])]),
    ]


def two_pin(name, prefix, body, names, note, pkg, mfrpn="", mfr="Norrland Passive", w=4, h=2,
            vertical=False, flags="m", aliases=()):
    where = ("T%d" % (w // 2), "B%d" % (w // 2)) if vertical else ("L%d" % (h // 2), "R%d" % (h // 2))
    return Comp(name, w, h, 1, prefix, body,
                pins=[Pin(names[0], where[0], flags, ["1"]), Pin(names[1], where[1], flags, ["2"])],
                note=note, mfr=mfr, mfrpn=mfrpn, pkg=pkg, aliases=aliases)


def passives():
    diode = [L(0, 10, 40, 10), PG([(12, 2), (28, 10), (12, 18)], f=1), L(28, 2, 28, 18, 2)]
    return [
        two_pin("R", "R", [PG([(0, 5), (40, 5), (40, 15), (0, 15)])], ("1", "2"),
                "Thick-film resistor, 1 %, 0.1 W", "0603", "NP-RC0603",
                aliases=["R-0603", "R-0805"]),
        two_pin("R-V", "R", [PG([(5, 0), (15, 0), (15, 40), (5, 40)])], ("1", "2"),
                "Thick-film resistor, vertical symbol", "0603", "NP-RC0603", w=2, h=4,
                vertical=True),
        Comp("POT", 4, 4, 1, "RV",
             [PG([(0, 15), (40, 15), (40, 25), (0, 25)]), L(20, 0, 20, 9),
              PG([(16, 8), (24, 8), (20, 14)], f=1)],
             pins=[Pin("1", "L2", "m", ["1"]), Pin("3", "R2", "m", ["3"]),
                   Pin("W", "T2", "m", ["2"])],
             note="Trimmer potentiometer, 10 turns", mfr="Norrland Passive", mfrpn="NP-TR3296",
             pkg="TRIM-3296"),
        two_pin("C", "C", [L(0, 10, 17, 10), L(17, 0, 17, 20, 3), L(23, 0, 23, 20, 3),
                           L(23, 10, 40, 10)], ("1", "2"), "Ceramic capacitor X7R", "0603",
                "NP-CC0603"),
        two_pin("CP", "C", [L(0, 10, 17, 10), L(17, 0, 17, 20, 3),
                            AR(31, 10, 10, deg(150), deg(210), 3), L(21, 10, 40, 10),
                            TX(12, 2, "+", a=1 | 4, fs=8)], ("+", "-"),
                "Aluminium electrolytic capacitor, 105 \u00b0C", "CASE-D", "NP-EA1V100",
                flags=""),
        two_pin("L", "L", [AR(5 + 10 * i, 10, 5, 0, deg(180)) for i in range(4)], ("1", "2"),
                "Shielded power inductor", "1210", "NP-PI1210"),
        two_pin("D", "D", diode, ("A", "K"), "Small-signal switching diode", "SOD123",
                "KM-D4148", mfr="Kestrel Micro", flags="", aliases=["D-SIG"]),
        two_pin("DZ", "D", [L(0, 10, 40, 10), PG([(12, 2), (28, 10), (12, 18)], f=1),
                            PG([(24, 0), (28, 2), (28, 18), (32, 20)], w=2)],
                ("A", "K"), "Zener diode 500 mW", "SOD123", "KM-Z5V1", mfr="Kestrel Micro",
                flags=""),
        two_pin("LED", "D", diode + [L(22, -2, 30, -10), PG([(30, -10), (25, -9), (29, -5)], f=1),
                                     L(28, 0, 36, -8), PG([(36, -8), (31, -7), (35, -3)], f=1)],
                ("A", "K"), "LED, red, 20 mA", "0805", "KM-LR0805", mfr="Kestrel Micro",
                flags=""),
        two_pin("XTAL", "Y", [L(0, 10, 12, 10), L(12, 2, 12, 18, 2), PG([(16, 0), (24, 0), (24, 20), (16, 20)]),
                              L(28, 2, 28, 18, 2), L(28, 10, 40, 10)],
                ("1", "2"), "Quartz crystal, 12 pF load", "HC49", "TC-Q16M"),
        two_pin("FUSE", "F", [PG([(4, 5), (36, 5), (36, 15), (4, 15)]), L(0, 10, 40, 10, 1, 1)],
                ("1", "2"), "Fuse, slow-blow", "1206", "NP-FS1206"),
    ]


def semis_and_power():
    return [
        Comp("NPN", 4, 4, 1, "Q", [TX(40, 40, "NPN", a=1, fs=6, fn="Sans Serif")],
             bitmap=npn_bits(),
             pins=[Pin("B", "L2", "m", ["1"]), Pin("C", "T3", "m", ["3"]),
                   Pin("E", "B3", "m", ["2"])],
             note="NPN transistor 45 V 100 mA (bit-pattern symbol)", mfr="Kestrel Micro",
             mfrpn="KM-BC847", pkg="SOT23"),
        Comp("PNP", 4, 4, 1, "Q",
             [C(0, 0, 40, 40), L(0, 20, 13, 20), L(13, 10, 13, 30, 3), L(14, 15, 30, 4),
              L(30, 4, 30, 0), L(14, 25, 30, 36), L(30, 36, 30, 40),
              PG([(14, 15), (23, 13), (20, 9)], f=1)],
             pins=[Pin("B", "L2", "m", ["1"]), Pin("C", "B3", "m", ["3"]),
                   Pin("E", "T3", "m", ["2"])],
             note="PNP transistor 45 V 100 mA", mfr="Kestrel Micro", mfrpn="KM-BC857",
             pkg="SOT23"),
        Comp("NMOS", 4, 4, 1, "Q",
             [L(0, 30, 12, 30), L(12, 10, 12, 30, 2), L(16, 8, 16, 14, 2), L(16, 17, 16, 23, 2),
              L(16, 26, 16, 32, 2), L(16, 11, 30, 11), L(30, 11, 30, 0), L(16, 29, 30, 29),
              L(30, 29, 30, 40), L(16, 20, 30, 20), L(30, 20, 30, 29),
              PG([(16, 20), (22, 17), (22, 23)], f=1), C(2, 2, 38, 38, s=1)],
             pins=[Pin("G", "L3", "m", ["1"]), Pin("D", "T3", "m", ["3"]),
                   Pin("S", "B3", "m", ["2"])],
             note="N-channel MOSFET 30 V, logic level", mfr="Kestrel Micro", mfrpn="KM-N3030",
             pkg="SOT23"),
        Comp("KXR7805", 8, 4, 1, "U",
             [PG([(0, 0), (80, 0), (80, 40), (0, 40)], w=2), TX(40, 20, "7805", a=2 | 8, fs=12),
              TX(4, 10, "IN", a=8, fs=7), TX(76, 10, "OUT", a=1 | 8, fs=7),
              TX(40, 36, "GND", a=2, fs=7)],
             pins=[Pin("VIN", "L1", "", ["1"]), Pin("VOUT", "R1", "", ["3"]),
                   Pin("GND", "B4", "", ["2"])],
             note="Fixed linear regulator 5 V, 1 A", mfr="Lowfield Analog", mfrpn="LA7805-T",
             pkg="TO220"),
        Comp("KXL1117-3.3", 8, 4, 1, "U",
             [PG([(0, 0), (80, 0), (80, 40), (0, 40)], w=2, f=-1),
              TX(40, 20, "LDO 3.3V", a=2 | 8, fs=10, ff="I")],
             pins=[Pin("VIN", "L1", "", ["3"]), Pin("VOUT", "R1", "", ["2"]),
                   Pin("EN", "L3", "", ["4"]), Pin("GND", "B4", "", ["1"])],
             note="Low-dropout regulator 3.3 V, 800 mA", mfr="Lowfield Analog",
             mfrpn="LA1117-33", pkg="SOT223", aliases=["KXL1117-33"]),
        Comp("GND", 2, 2, 1, "PWR",
             [L(10, 0, 10, 10), L(0, 10, 20, 10, 3), L(4, 14, 16, 14, 2), L(8, 18, 12, 18)],
             pins=[Pin("GND", "T1", "Zm", ["1"])], note="Ground symbol"),
        Comp("VCC", 2, 2, 1, "PWR",
             [L(10, 20, 10, 8), PG([(4, 8), (10, 0), (16, 8)], f=1),
              TX(10, -2, "VCC", a=2, fs=8, ff="B")],
             pins=[Pin("VCC", "B1", "Zm", ["1"])], note="Supply symbol"),
    ]


MCU_PINS = [
    # left side, top to bottom
    ["PA0", "PA1", "PA2", "PA3", "PA4", "PA5", "PA6", "PA7", "VREF", "AVCC", "AGND"],
    # bottom side, left to right
    ["PB0", "PB1", "PB2", "PB3", "PB4", "PB5", "PB6", "PB7", "GND", "VCC", over("RESET")],
    # right side, bottom to top
    ["XTAL1", "XTAL2", "PC0", "PC1", "PC2", "PC3", "PC4", "PC5", "PC6", "PC7", "GND"],
    # top side, right to left
    ["PD0", "PD1", "PD2", "PD3", "PD4", "PD5", "PD6", "PD7", over("WR"), over("RD"), "VCC"],
]


def mcu():
    flags = {"XTAL1": "C", "XTAL2": "S", over("RESET"): "N", over("WR"): "N", over("RD"): "N",
             "PD2": "ZS", "PD3": "NC", "GND": "m", "VCC": "m", "AGND": "m", "AVCC": "m",
             "PB7": "ZSNCm"}
    pins = []
    number = 1
    for s, names in enumerate(MCU_PINS):
        side = "LBRT"[s]
        for i, name in enumerate(names):
            offset = 2 + (i if side in "LB" else 10 - i)
            key = name if isinstance(name, bytes) else name
            pins.append(Pin(name, "%s%d" % (side, offset), flags.get(key, ""), [str(number)]))
            number += 1
    body = [
        PG([(0, 0), (140, 0), (140, 140), (0, 140)], w=2),
        C(6, 6, 14, 14, f=1),
        TX(70, 60, "KXM32-Q44", a=2 | 8, fs=12, ff="B", fn="Sans Serif"),
        TX(70, 76, "8-bit MCU", a=2 | 8, fs=9, ff="I"),
        TX(20, 70, "PORT A", a=2 | 8, d=0, fs=7),
        TX(120, 70, "PORT C", a=2 | 8, d=0, fs=7),
        L(30, 100, 110, 100, 0, 1),
        TX(70, 104, "rev A", a=2 | 4, fs=6, fn="Monospace"),
    ]
    return Comp("KXM32-Q44", 14, 14, 1, "U", body, pins=pins,
                note="8-bit microcontroller, 32 KB flash, 44 pins", mfr="Orbital Devices",
                mfrpn="OD-M32Q44-I", pkg="TQFP44", aliases=["KXM32-Q44-I"])


def eeprom_without_pattern():
    return Comp("KX24C02", 8, 5, 1, "U", use_pattern=False,
                pins=[Pin("A0", "L1", "", ["1"]), Pin("A1", "L2", "", ["2"]),
                      Pin("A2", "L3", "", ["3"]), Pin("GND", "L4", "m", ["4"]),
                      Pin("SDA", "R4", "", ["5"]), Pin("SCL", "R3", "C", ["6"]),
                      Pin("WP", "R2", "", ["7"]), Pin("VCC", "R1", "m", ["8"])],
                note="2-kbit I2C serial EEPROM (drawn without a pattern)",
                mfr="Orbital Devices", mfrpn="OD-24C02-SN", pkg="SO8")


def header(name, rows, cols, note, pkg, mfrpn, shield=False):
    """Pin headers: one or two columns, pin 1 top left, odd pins left and even pins right."""
    w = 6 if cols == 2 else 4
    h = rows + 1
    body = [PG([(0, 0), (w * 10, 0), (w * 10, h * 10), (0, h * 10)])]
    pins = []
    for n in range(1, rows * cols + 1):
        right = cols == 2 and n % 2 == 0
        row = (n + 1) // 2 if cols == 2 else n
        cx = w * 10 - 10 if right else 10
        body.append(L(w * 10 if right else 0, row * 10, cx + 3 if right else cx - 3, row * 10))
        body.append(C(cx - 3, row * 10 - 3, cx + 3, row * 10 + 3, f=1))
        pins.append(Pin("", "%s%d" % ("R" if right else "L", row), "", [str(n)]))
    if shield:
        body.append(L(20, 0, 20, h * 10, 0, 1))
        pins.append(Pin("SHIELD", "B%d" % (w // 2), "m", [""]))
    return Comp(name, w, h, 1, "J", body, pins=pins, note=note, mfr="Tarn Components",
                mfrpn=mfrpn, pkg=pkg)


def connectors():
    return [
        header("HDR-1X04", 4, 1, "Pin header 1x4, 2.54 mm", "HDR1X4", "TC-PH104"),
        header("HDR-2X20", 20, 2, "Box header 2x20, 2.54 mm", "HDR2X20", "TC-BH220",
               shield=True),
        header("IDC-2X25", 25, 2, "IDC header 2x25, 2.54 mm, keyed", "IDC50", "TC-ID225"),
    ]


def misc():
    relay = Comp(
        "RELAY-1C", 8, 4, 1, "K",
        [PG([(4, 8), (20, 8), (20, 32), (4, 32)], w=4), L(12, 0, 12, 8), L(12, 32, 12, 40),
         L(20, 20, 50, 20, 1, 1), L(50, 30, 68, 14, 2), C(66, 8, 70, 12), C(66, 28, 70, 32),
         L(70, 10, 80, 10), L(50, 30, 50, 40), L(70, 30, 80, 30)],
        pins=[Pin("A1", "T1", "", ["1"]), Pin("A2", "B1", "", ["2"]),
              Pin("COM", "B5", "", ["3"]), Pin("NO", "R1", "", ["4"]), Pin("NC", "R3", "", ["5"])],
        note="Signal relay, 1 form C, 5 V coil", mfr="Holm & Berg", mfrpn="HB-SR1C-05",
        pkg="RELAY-DIP")
    trafo = Comp(
        "TRAFO", 6, 6, 1, "T",
        [AR(10, 10 + 10 * i, 5, deg(270), deg(90)) for i in range(4)]
        + [AR(50, 10 + 10 * i, 5, deg(90), deg(270)) for i in range(4)]
        + [L(27, 0, 27, 60, 2), L(33, 0, 33, 60, 2), C(14, 2, 18, 6, f=1), C(42, 2, 46, 6, f=1)],
        pins=[Pin("P1", "L0", "", ["1"]), Pin("P2", "L5", "", ["2"]), Pin("S1", "R0", "", ["3"]),
              Pin("S2", "R5", "", ["4"])],
        note="Signal transformer 1:1", mfr="Holm & Berg", mfrpn="HB-ST11", pkg="EP7")
    switch = Comp(
        "SW-PUSH", 4, 2, 1, "SW",
        [C(6, 12, 10, 16), C(30, 12, 34, 16), L(4, 8, 36, 8, 2), L(20, 8, 20, 0, 1, 1),
         L(14, 0, 26, 0)],
        pins=[Pin("1", "L1", "m", ["1"]), Pin("2", "R1", "m", ["2"])],
        note="Tactile switch, normally open", mfr="Holm & Berg", mfrpn="HB-TS6", pkg="TACT6")
    speaker = Comp(
        "BUZZER", 4, 4, 1, "BZ",
        [PG([(0, 12), (12, 12), (26, 0), (26, 40), (12, 40), (0, 28)], w=5),
         PG([(0, 12), (12, 12), (12, 28), (0, 28)], f=1, s=1), AR(26, 20, 8, deg(300), deg(60)),
         AR(26, 20, 14, deg(300), deg(60), s=1)],
        pins=[Pin("+", "L1", "", ["1"]), Pin("-", "L3", "", ["2"])],
        note="Magnetic buzzer 3 V", mfr="Holm & Berg", mfrpn="HB-MB12", pkg="BUZ12")
    return [relay, trafo, switch, speaker, title_block()]


def title_block():
    """A sheet title block: texts in every alignment, direction, font and style."""
    objs = [PG([(0, 0), (300, 0), (300, 80), (0, 80)], w=2), L(0, 40, 300, 40, 0),
            L(200, 0, 200, 80, 0), L(100, 40, 100, 80, 0, 1)]
    aligns = [0, 1, 2, 4, 5, 6, 8, 9, 10]  # start/end/centre x bottom/top/middle
    for i, a in enumerate(aligns):
        x = 10 + 20 * i
        objs.append(L(x, 2, x, 6, 0))
        objs.append(TX(x, 4, "A%d" % a, a=a, fs=6))
    objs += [
        TX(150, 60, "Example project", a=2 | 8, fs=16, ff="B", fn="Sans Serif"),
        TX(50, 60, "Drawn", a=2 | 8, fs=9, ff="I", fn="Serif"),
        TX(250, 20, "Sheet", a=1 | 8, fs=8, ff="U"),
        TX(250, 60, "Rev.", a=0 | 8, fs=8, ff="S"),
        TX(296, 76, "all styles", a=1, fs=7, ff="BIUS", fn="Monospace"),
        TX(206, 76, "vert", a=0, d=0, fs=7),
        TX(212, 40, "vert-mid", a=2 | 8, d=0, fs=6),
        TX(120, 30, "tiny", fs=4), TX(120, 36, "big", a=1, fs=80, ff="B"),
    ]
    return Comp("TITLE-BLOCK", 30, 8, 1, "TB", objs, note="Title block (no pins)",
                mfr="", mfrpn="", pkg="")


def library_components():
    return (logic() + opamps() + passives() + semis_and_power() + [mcu(),
            eeprom_without_pattern()] + connectors() + misc())


# ---------------------------------------------------------------------------------------------
# Schematic objects


class Sheet:
    """Writes schematic object sections in the schematic writers' exact order."""

    def __init__(self, lib):
        self.wr = Writer()
        self.lib = {c.name: c for c in lib}
        self.lines = []
        self.junctions = []
        self.wr.word("+KORVX_DATA_V.1.0")
        self.wr.end_line()

    def done(self):
        self.wr.word("-KORVX_DATA_V.1.0")
        self.wr.end_line()
        return bytes(self.wr.out)

    def section(self, name, fields):
        f = dict(fields)
        if name in ("WIRE", "BUS", "ENTRY", "BENTRY"):
            self.lines.append((name, f["L"], f["X1"], f["Y1"], f["X2"], f["Y2"]))
        elif name == "JUNCTION":
            self.junctions.append((f["L"], f["X"], f["Y"]))
        self.wr.word("+" + name)
        for k, v in fields:
            self.wr.field(k, v)
        self.wr.word("-" + name)
        self.wr.end_line()

    def sheetinfo(self, w=1500, h=1000, proj="", pages=1, page=1, el=0, vl=255, initpos=0):
        self.wr.word("+SHEETINFO")
        for k, v in [("EL", el), ("VL", vl), ("W", w), ("H", h), ("PROJ", proj),
                     ("PAGES", pages), ("PAGE", page), ("VER", 68), ("INITPOS", initpos)]:
            self.wr.field(k, v)
        self.wr.word("-SHEETINFO")
        self.wr.end_line()

    def junction(self, x, y, layer=0):
        self.section("JUNCTION", [("L", layer), ("X", x), ("Y", y)])

    def label(self, x, y, text, horizontal=True, layer=0):
        self.section("LABEL", [("L", layer), ("X", x), ("Y", y), ("D", int(horizontal)),
                               ("S", text)])

    def tag(self, x, y, text, kind=0, horizontal=True, layer=0):
        self.section("TAG", [("L", layer), ("X", x), ("Y", y), ("D", int(horizontal)),
                             ("T", kind), ("S", text)])

    def comment(self, x, y, text, font="", size=12, flags="", width=-1, tag=False, layer=0):
        self.section("COMMENT", [("L", layer), ("X", x), ("Y", y), ("W", width), ("S", text),
                                 ("FN", font), ("TAG", int(tag)), ("FS", size),
                                 ("FF", "".join(f for f in "BIUS" if f in flags))])

    def line(self, kind, x1, y1, x2, y2, layer=0):
        if kind in ("ENTRY", "BENTRY"):
            # Stored as a 10 by 10 diagonal rising from p1.
            assert y1 == y2 + 10 and abs(x2 - x1) == 10
        self.section(kind, [("L", layer), ("X1", x1), ("Y1", y1), ("X2", x2), ("Y2", y2)])

    def wire(self, *pts, layer=0):
        for (x1, y1), (x2, y2) in zip(pts, pts[1:]):
            self.line("WIRE", x1, y1, x2, y2, layer)

    def dash(self, x1, y1, x2, y2, curve=None, width=1, style="DASH", start="NORM", end="NORM",
             size=8, layer=0):
        c = curve or (0, 0, 0, 0)
        self.section("DASH", [("L", layer), ("X1", x1), ("Y1", y1), ("X2", x2), ("Y2", y2),
                              ("CURV", int(curve is not None)), ("CTX1", c[0]), ("CTY1", c[1]),
                              ("CTX2", c[2]), ("CTY2", c[3]), ("WDT", width), ("LS", style),
                              ("SSTL", start), ("ESTL", end), ("EMS", size)])

    def marker(self, x1, y1, x2, y2, width=7, colour=8454016, layer=0):
        self.section("ALINE", [("L", layer), ("X1", x1), ("Y1", y1), ("X2", x2), ("Y2", y2),
                               ("STL", 0), ("WDT", width), ("CLR", colour)])

    def image(self, x, y, bmp, mag=100, layer=0):
        wr = self.wr
        wr.word("+IMAGEOBJECT")
        for k, v in [("L", layer), ("X", x), ("Y", y), ("MAG", mag)]:
            wr.field(k, v)
        wr.word("+IMAGE_DIB")
        wr.end_line()
        for i in range(0, len(bmp), 57):
            wr.word(encode_dib_line(bmp[i:i + 57]))
            wr.end_line()
        wr.word("-IMAGE_DIB")
        wr.end_line()
        wr.word("-IMAGEOBJECT")
        wr.end_line()

    def component(self, name, x, y, ref, value=None, dir=0, blk=0, layer=0, nd=1, nh=0, rd=1,
                  rh=0, nxy=None, rxy=None, embed=True):
        """Places a library part with its bottom-right body corner at (x, y)."""
        c = self.lib[name]
        w, h = (c.h, c.w) if dir & 1 else (c.w, c.h)
        nxy = nxy or (-w * 10, 12)
        rxy = rxy or (-w * 10, -h * 10 - 4)
        wr = self.wr
        wr.word("+COMPONENT")
        if embed:
            wr.end_line()
            wr.word("+KORVX_LIB_V.1.0")
            wr.end_line()
            write_comp(wr, c, name)
            wr.word("-KORVX_LIB_V.1.0")
            wr.end_line()
        for k, v in [("L", layer), ("X", x), ("Y", y), ("LIB", name), ("DIR", dir),
                     ("BLK", blk), ("N", value if value is not None else name), ("ND", nd),
                     ("NX", nxy[0]), ("NY", nxy[1]), ("NH", nh), ("R", ref), ("RD", rd),
                     ("RX", rxy[0]), ("RY", rxy[1]), ("RH", rh), ("NOTE", c.note),
                     ("PKG", c.pkg), ("MFR", c.mfr), ("MFRPN", c.mfrpn)]:
            wr.field(k, v)
        wr.word("-COMPONENT")
        wr.end_line()
        return Placed(c, x, y, dir)


class Placed:
    def __init__(self, comp, x, y, dir):
        self.comp, self.x, self.y, self.dir = comp, x, y, dir

    def pin(self, name):
        """Outer end of a pin (where wires attach): body edge plus one grid step outward."""
        x, y, _, _ = self.pin_dir(name)
        return (x, y)

    def pin_dir(self, name):
        """Outer end of a pin (by name, else by first number) and its outward unit vector."""
        matches = ([p for p in self.comp.pins if p.name == to_bytes(name)]
                   or [p for p in self.comp.pins if p.numbers[0] == name])
        assert matches, name
        p = matches[0]
        d = self.dir
        w, h = ((self.comp.h, self.comp.w) if d & 1 else (self.comp.w, self.comp.h))
        w, h = w * 10, h * 10
        side = (d + p.side) % 4
        if d & 4 and side in (0, 2):
            side = 2 - side
        v = p.offset * 10
        if side in (0, 2):
            x = self.x - w if side == 0 else self.x
            y = self.y - v if d in (2, 3, 6, 7) else self.y + v - h
        else:
            y = self.y - h if side == 1 else self.y
            x = self.x - v if d in (1, 2, 4, 7) else self.x + v - w
        dx, dy = {0: (-1, 0), 1: (0, -1), 2: (1, 0), 3: (0, 1)}[side]
        return (x + 10 * dx, y + 10 * dy, dx, dy)


# ---------------------------------------------------------------------------------------------
# Embedded pictures


DIB_ALPHABET = b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!/"


def encode_dib_line(data):
    out = bytearray()
    for i in range(0, len(data), 3):
        g = data[i:i + 3]
        v = int.from_bytes(g + bytes(3 - len(g)), "big")
        out += bytes([DIB_ALPHABET[(v >> 18) & 63], DIB_ALPHABET[(v >> 12) & 63]])
        out += bytes([DIB_ALPHABET[(v >> 6) & 63]]) if len(g) > 1 else b"="
        out += bytes([DIB_ALPHABET[v & 63]]) if len(g) > 2 else b"="
    return bytes(out)


def bmp_24(w, h, pixel):
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up
        line = bytearray()
        for x in range(w):
            r, g, b = pixel(x, y)
            line += bytes([b, g, r])
        data += line + bytes(row - len(line))
    head = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return head + info + bytes(data)


def bmp_1(w, h, ink):
    row = ((w + 31) // 32) * 4
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray(row)
        for x in range(w):
            if ink(x, y):
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    palette = bytes([255, 255, 255, 0, 0, 0, 0, 0])
    head = struct.pack("<2sIHHI", b"BM", 62 + len(data), 0, 0, 62)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 1, 0, len(data), 2835, 2835, 2, 2)
    return head + info + palette + bytes(data)


def logo_bmp():
    """A 16 x 12 colour logo: a blue ring on a light field, an orange bar."""
    def pixel(x, y):
        d = math.hypot(x - 5.5, y - 5.5)
        if 3.5 <= d <= 5.5:
            return (30, 60, 200)
        if 12 <= x <= 14 and 2 <= y <= 9:
            return (250, 140, 20)
        return (236, 240, 248)
    return bmp_24(16, 12, pixel)


def stripes_bmp():
    """A 40 x 16 monochrome picture: a sine wave and a frame."""
    def ink(x, y):
        return x in (0, 39) or y in (0, 15) or abs(y - (8 + 5 * math.sin(x / 3.0))) < 0.8
    return bmp_1(40, 16, ink)


def stub(sheet, placed, pin, net, length=20, kind="label", tag_type=0, layer=0):
    """A short wire straight out of a pin, ending in a net label or a tag."""
    x, y, dx, dy = placed.pin_dir(pin)
    ex, ey = x + dx * length, y + dy * length
    sheet.wire((x, y), (ex, ey), layer=layer)
    text_len = 8 * len(net)
    if kind == "tag":
        sheet.tag(ex, ey, net, tag_type, horizontal=dy == 0, layer=layer)
    elif dy == 0:
        sheet.label(ex + 2 if dx > 0 else ex - text_len - 2, ey - 2, net, layer=layer)
    else:
        sheet.label(ex - 2, ey - 2 if dy < 0 else ey + text_len + 2, net, horizontal=False,
                    layer=layer)
    return (ex, ey)


def ground(sheet, at, ref):
    """A ground symbol whose pin meets the wire end `at`."""
    return sheet.component("GND", at[0] + 10, at[1] + 30, ref, value="GND", rh=1, nh=1)


def supply(sheet, at, ref, value="VCC"):
    """A supply symbol whose pin meets the wire end `at`."""
    return sheet.component("VCC", at[0] + 10, at[1] - 10, ref, value=value, rh=1, nh=1)


# ---------------------------------------------------------------------------------------------
# The example schematics


def example_sheet(lib):
    """A small sheet: 5 V supply, a non-inverting amplifier and an SR latch."""
    s = Sheet(lib)
    s.sheetinfo(1500, 1000, "Example", 1, 1)
    s.comment(100, 80, "Example: 5 V supply, amplifier and latch", "Sans Serif", 14, "B")
    j1 = s.component("HDR-1X04", 140, 300, "J1", value="IN/OUT", dir=4)
    for pin, net in (("1", "VIN"), ("2", "GND"), ("3", "SIG_IN"), ("4", "SIG_OUT")):
        stub(s, j1, pin, net)

    u1 = s.component("KXR7805", 500, 200, "U1")
    c1 = s.component("CP", 420, 280, "C1", value="10u", dir=1, nd=0, rd=0,
                     nxy=(4, -4), rxy=(4, -24))
    c2 = s.component("C", 520, 280, "C2", value="100n", dir=1, nd=0, rd=0,
                     nxy=(4, -4), rxy=(4, -24))
    s.wire(u1.pin("VIN"), (370, 170))
    s.label(340, 168, "VIN")
    s.wire(u1.pin("VIN"), c1.pin("+"))
    s.junction(*u1.pin("VIN"))
    ground(s, c1.pin("-"), "#PWR1")
    ground(s, u1.pin("GND"), "#PWR2")
    s.wire(u1.pin("VOUT"), (560, 170))
    s.wire(u1.pin("VOUT"), c2.pin("1"))
    s.junction(*u1.pin("VOUT"))
    supply(s, (560, 170), "#PWR3", "+5V")
    ground(s, c2.pin("2"), "#PWR4")

    u2 = s.component("KX358", 900, 300, "U2", blk=0)
    r1 = s.component("R", 880, 170, "R1", value="47k")
    r2 = s.component("R-V", 800, 310, "R2", value="10k", rd=0, nd=0, nxy=(4, -4),
                     rxy=(4, -24))
    r3 = s.component("R", 750, 390, "R3", value="1k")
    supply(s, u2.pin("V+"), "#PWR5", "+5V")
    ground(s, u2.pin("V-"), "#PWR6")
    ground(s, r2.pin("2"), "#PWR7")
    s.wire(u2.pin("IN-"), r1.pin("1"))
    s.wire(u2.pin("IN-"), r2.pin("1"))
    s.junction(*u2.pin("IN-"))
    s.wire(u2.pin("IN+"), (830, 380), r3.pin("2"))
    stub(s, r3, "1", "SIG_IN")
    s.wire(r1.pin("2"), (910, 160), u2.pin("OUT"))
    s.wire(u2.pin("OUT"), (960, 270))
    s.label(962, 268, "SIG_OUT")
    s.junction(*u2.pin("OUT"))

    for blk, y, nets in ((0, 300, ("SET_N", "Q_N", "Q")), (1, 400, ("Q", "RESET_N", "Q_N"))):
        u3 = s.component("74HC00", 1200, y, "U3", blk=blk, nh=blk)
        for pin, net in zip(("A", "B", "Y"), nets):
            stub(s, u3, pin, net)
    s.tag(1100, 500, "SET_N", 1)
    s.tag(1100, 520, "RESET_N", 1)
    return s


def all_objects_sheet(lib):
    """Every object kind with its variants; already tidy, so a read keeps every object."""
    s = Sheet(lib)
    s.sheetinfo(3000, 2000, "Example project", 3, 2, el=1, vl=255, initpos=1)
    s.comment(100, 60, "Every object kind", "Sans Serif", 20, "B")

    # Orientations 0-7 of an asymmetric part and of a small one, texts turned with them.
    s.comment(100, 140, "Orientations 0-7", "", 12, "U")
    for d in range(8):
        x = 260 + 220 * d
        reg = s.component("KXR7805", x, 300 if d & 1 == 0 else 340, "U%d" % (10 + d),
                          value="DIR:%d" % d, dir=d, nd=int(d & 1 == 0), rd=int(d & 1 == 0))
        stub(s, reg, "VIN", "IN%d" % d, kind="tag", tag_type=d % 4)
        stub(s, reg, "GND", "G%d" % d)
        dio = s.component("D", x - 20, 460, "D%d" % (10 + d), value="DIR:%d" % d, dir=d)
        stub(s, dio, "K", "K%d" % d, length=10)

    # Blocks of multi-block parts, hidden and turned value/reference texts.
    s.comment(100, 540, "Blocks and hidden texts", "Serif", 12, "I")
    for blk in range(4):
        s.component("74HC00", 200 + 120 * blk, 660, "U20", blk=blk, nh=int(blk == 1),
                    rh=int(blk == 2), nd=int(blk != 3), rd=int(blk != 3))
    s.component("KX324", 780, 680, "U21", blk=3)
    s.component("74HC04", 900, 650, "U22", blk=5, nh=1, rh=1)
    s.component("74HC74", 1040, 700, "U23", blk=1)

    # Parts with a bit pattern, without a pattern, with many pins.
    npn = s.component("NPN", 1240, 680, "Q1", value="KM-BC847")
    s.component("KX24C02", 1440, 690, "U24", layer=1)
    mcu = s.component("KXM32-Q44", 1900, 760, "U25")
    for pin in ("PA0", "PA1", "XTAL1"):
        stub(s, mcu, pin, pin)
    stub(s, mcu, over("RESET"), "RESET_N", kind="tag", tag_type=2)
    stub(s, mcu, "PD0", "PD0")
    hdr = s.component("HDR-2X20", 2300, 820, "J2", value="EXPANSION", nh=1)
    for pin in ("1", "2", "39", "40"):
        stub(s, hdr, pin, "P%s" % pin)
    s.component("TITLE-BLOCK", 2900, 1960, "TB1", value="Title", nh=1, rh=1)

    # Junctions at pin ends, corner routes, an oblique wire, wires on other layers.
    s.wire(npn.pin("B"), (1160, 660), (1160, 760))
    s.wire(npn.pin("B"), (1190, 620))
    s.junction(*npn.pin("B"))
    s.wire(npn.pin("C"), (1230, 610), (1300, 610))
    s.wire((1300, 800), (1360, 860))
    s.wire((1300, 880), (1400, 880), layer=1)
    s.wire((1300, 890), (1400, 890), layer=2)
    s.junction(1300, 880, layer=1)
    s.junction(1400, 890, layer=2)

    # Buses with wire entries and bus entries leaning both ways.
    s.label(1504, 1196, "D[0..7]")
    s.line("BUS", 1500, 1200, 2200, 1200)
    s.line("BUS", 2200, 1200, 2200, 1500)
    s.line("BUS", 2210, 1290, 2400, 1290)
    s.line("BENTRY", 2200, 1300, 2210, 1290)
    s.line("BUS", 2190, 1390, 2000, 1390)
    s.line("BENTRY", 2200, 1400, 2190, 1390)
    for i in range(8):
        x = 1560 + 60 * i
        lean = 10 if i % 2 == 0 else -10
        s.line("ENTRY", x, 1200, x + lean, 1190)
        s.wire((x + lean, 1190), (x + lean, 1150))
        s.label(x + lean - 2, 1148, "D%d" % i, horizontal=False)
    s.line("ENTRY", 2100, 1210, 2110, 1200)
    s.wire((2100, 1210), (2100, 1250))
    s.tag(2100, 1250, "BUS_OUT", 3, horizontal=False)

    # Labels and tags of every type and direction (one tag without text).
    for t in range(4):
        s.tag(200 + 150 * t, 900, "TAG_T%d" % t, t)
        s.tag(200 + 150 * t, 1000, "VERT_T%d" % t, t, horizontal=False)
    s.tag(800, 900, "", 0)
    s.tag(800, 960, "A_LONG_TAG_NAME_OF_22B", 2)
    s.label(900, 900, "LABEL_H")
    s.label(900, 1000, "LABEL_V", horizontal=False)
    s.label(1000, 900, "ON_LAYER_3", layer=3)

    # Comments: fonts, sizes, styles, fixed widths, line breaks, non-ASCII bytes, tag flag.
    s.comment(100, 1100, "Plain comment")
    s.comment(100, 1130, "Bold italic underline strike-out", "Serif", 10, "BIUS")
    s.comment(100, 1160, "Fixed width text that wraps inside 300 units of width", "", 12, "",
              width=300)
    s.comment(100, 1220, "First line\r\nSecond line\r\nThird line", "Monospace", 9)
    s.comment(100, 1300, "Smallest", "", 4)
    s.comment(100, 1320, "Big", "Sans Serif", 80, "B")
    s.comment(600, 1100, "Tagged comment", "", 12, "", tag=True)
    s.comment(600, 1130, "R = 10 k\u03a9, C = 4.7 \u00b5F, 50%, a,b", "", 12, "I")
    s.comment(600, 1160, "Narrow", "", 8, "", width=50, layer=7)

    # Dashes: every line style, width and end mark; curves, a closed curve.
    styles = ["NORM", "DASH", "LDT", "LDDT"]
    marks = ["NORM", "ARRW", "CRCL"]
    for i in range(5):
        y = 1600 + 30 * i
        s.dash(100, y, 400, y, width=i + 1, style=styles[i % 4], start=marks[i % 3],
               end=marks[(i + 1) % 3], size=(3, 8, 12, 16, 20)[i])
    s.dash(450, 1600, 450, 1720, style="LDDT", start="ARRW", end="ARRW", size=20, layer=2)
    s.dash(500, 1600, 700, 1700, curve=(550, 1500, 650, 1800), width=2, start="CRCL",
           end="ARRW")
    s.dash(750, 1650, 750, 1650, curve=(700, 1550, 850, 1550), style="NORM")
    s.dash(900, 1600, 1100, 1600, curve=(950, 1600, 1100, 1600), style="LDT", width=5)
    s.dash(1200, 1600, 1400, 1600)
    s.dash(1400, 1600, 1400, 1750)
    s.dash(1400, 1750, 1200, 1750)
    s.dash(1200, 1750, 1200, 1600)
    s.comment(1210, 1620, "Dashed frame", "", 8)

    # Marker lines: widths and colours.
    s.marker(1500, 1600, 1800, 1600, width=3)
    s.marker(1500, 1650, 1800, 1650, width=7, colour=255)
    s.marker(1500, 1720, 1800, 1820, width=100, colour=16744448, layer=4)

    # Pictures: colour and monochrome bitmaps at several magnifications.
    s.image(2000, 1600, logo_bmp())
    s.image(2100, 1600, stripes_bmp(), mag=200)
    s.image(2300, 1600, logo_bmp(), mag=50, layer=5)
    return s


def tidy_sheet(lib):
    """Layouts the reader tidies: collinear pieces merge, junctions split wires, duplicates go."""
    s = Sheet(lib)
    s.sheetinfo(1500, 1000, "Tidy rules", 1, 1)
    s.comment(100, 40, "Read tidies this sheet: compare with a dump", "", 12, "B")
    s.comment(420, 100, "touching pieces merge")
    s.wire((100, 100), (200, 100))
    s.wire((200, 100), (300, 100))
    s.comment(420, 150, "overlapping pieces merge")
    s.wire((100, 150), (250, 150))
    s.wire((200, 150), (350, 150))
    s.comment(420, 200, "three pieces merge in any order")
    s.wire((100, 200), (150, 200))
    s.wire((300, 200), (350, 200))
    s.wire((150, 200), (300, 200))
    s.comment(420, 250, "vertical pieces merge; a piece on another layer stays")
    s.wire((380, 220), (380, 260))
    s.wire((380, 260), (380, 300))
    s.wire((390, 220), (390, 260))
    s.wire((390, 260), (390, 300), layer=1)
    s.comment(420, 330, "a junction splits the wire it lies on")
    s.wire((100, 330), (400, 330))
    s.junction(250, 330)
    s.wire((250, 330), (250, 380))
    s.comment(420, 430, "pieces meeting at a junction merge, then split there again")
    s.wire((100, 430), (200, 430))
    s.wire((200, 430), (300, 430))
    s.junction(200, 430)
    s.wire((200, 430), (200, 480))
    s.comment(420, 530, "duplicate junction and entry dropped; other layer or lean kept")
    s.junction(100, 530)
    s.junction(100, 530)
    s.junction(100, 530, layer=2)
    s.line("BUS", 150, 560, 400, 560)
    s.line("ENTRY", 200, 560, 210, 550)
    s.line("ENTRY", 200, 560, 210, 550)
    s.line("ENTRY", 200, 560, 190, 550)
    s.line("BENTRY", 300, 560, 310, 550)
    s.line("BENTRY", 300, 560, 310, 550)
    s.comment(420, 620, "bus pieces merge too; buses are never split")
    s.line("BUS", 100, 620, 200, 620)
    s.line("BUS", 200, 620, 350, 620)
    s.junction(250, 620)
    s.comment(420, 680, "oblique pieces never merge")
    s.wire((100, 680), (150, 700))
    s.wire((150, 700), (200, 720))
    s.comment(420, 740, "zero-length wire and dash dropped")
    s.wire((100, 740), (100, 740))
    s.dash(150, 740, 150, 740)
    s.comment(420, 800, "an entry stored falling is turned to rise from its lower end")
    s.section("ENTRY", [("L", 0), ("X1", 100), ("Y1", 790), ("X2", 110), ("Y2", 800)])
    return s


def untidy_places(sheet):
    """What a read would change: merges, splits, dropped duplicates or zero-length lines."""
    found = []
    lines = sheet.lines
    for i, (k, l, x1, y1, x2, y2) in enumerate(lines):
        if (x1, y1) == (x2, y2):
            found.append("zero-length %s at %d,%d" % (k, x1, y1))
        for k2, l2, u1, v1, u2, v2 in lines[i + 1:]:
            if (k, l) != (k2, l2):
                continue
            if k in ("ENTRY", "BENTRY"):
                if (x1, y1) == (u1, v1) and (x1 < x2) == (u1 < u2):
                    found.append("duplicate %s at %d,%d" % (k, x1, y1))
                continue
            if y1 == y2 == v1 == v2 and max(min(x1, x2), min(u1, u2)) <= min(max(x1, x2), max(u1, u2)):
                found.append("%s pieces touch on y=%d" % (k, y1))
            if x1 == x2 == u1 == u2 and max(min(y1, y2), min(v1, v2)) <= min(max(y1, y2), max(v1, v2)):
                found.append("%s pieces touch on x=%d" % (k, x1))
    for i, j in enumerate(sheet.junctions):
        if j in sheet.junctions[i + 1:]:
            found.append("duplicate junction at %d,%d" % j[1:])
        l, x, y = j
        for k, l2, x1, y1, x2, y2 in lines:
            if k != "WIRE" or l2 != l:
                continue
            if (y1 == y2 == y and min(x1, x2) < x < max(x1, x2)) or \
               (x1 == x2 == x and min(y1, y2) < y < max(y1, y2)):
                found.append("junction inside a wire at %d,%d" % (x, y))
    return found


def make_files():
    comps = library_components()
    names = [c.name for c in comps] + [a for c in comps for a in c.aliases]
    assert len(names) == len(set(names)), "names must be unique"
    files = {"Example.KM2": write_library(
        comps, "Example library of the project: logic, analog, passives, power, connectors")}
    for name, make, tidy in (("Example.KX2", example_sheet, True),
                             ("AllObjects.KX2", all_objects_sheet, True),
                             ("TidyRules.KX2", tidy_sheet, False)):
        sheet = make(comps)
        problems = untidy_places(sheet)
        # The first two must read back unchanged; the third exists to be tidied.
        assert bool(problems) != tidy, (name, problems)
        files[name] = sheet.done()
    return files


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    files = make_files()
    if sys.argv[1:] == ["--check"]:
        stale = []
        for name, data in files.items():
            path = os.path.join(here, name)
            if not os.path.exists(path) or open(path, "rb").read() != data:
                stale.append(name)
        print("stale: " + ", ".join(stale) if stale else "all example files are up to date")
        return 1 if stale else 0
    outdir = sys.argv[1] if len(sys.argv) > 1 else here
    for name, data in files.items():
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)
        print("%s: %d bytes" % (name, len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
