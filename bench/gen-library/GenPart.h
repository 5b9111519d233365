#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Plain records of one generated component definition, in the shape the library writer needs.

struct GenObj {
    enum class Kind { Line, Circle, Polygon, Arc, Text };
    Kind kind = Kind::Line;
    int width = 1;
    int style = 0;
    int fill = -1;
    std::vector<std::pair<int, int>> points; // line and ellipse: 2; polygon: nodes; arc: centre
    int radius = 0;
    int startAngle = 0;
    int endAngle = 0;
    // Text only.
    std::string text;
    std::string font;
    int align = 0;
    int fontSize = 10;
    bool horizontal = true;
    std::string fontFlags; // letters of "BIUS"
};

struct GenPin {
    int side = 0; // 0 left, 1 top, 2 right, 3 bottom
    int offset = 0;
    std::string name;  // decoded: a byte with the high bit set is an overlined character
    std::string flags; // letters of "ZSNCm" in that order
    std::vector<std::string> numbers; // one per block
};

struct GenPart {
    std::string name;
    int width = 1; // grid steps
    int height = 1;
    int blocks = 1;
    std::string prefix = "U";
    bool hasPattern = true;
    std::vector<std::string> bitmapRows; // encoded rows ("@".."O" pairs); empty: no bit pattern
    std::vector<GenObj> objects;
    std::vector<GenPin> pins;
    std::string note;
    std::string mfr;
    std::string mfrpn;
    std::string pkg;
    std::string value; // a typical value text when placed on a sheet
    std::vector<std::string> aliases;
};
