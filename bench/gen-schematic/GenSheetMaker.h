#pragma once

#include "GenPart.h"
#include "GenRandom.h"
#include "GenWriter.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Builds one schematic file in the schematic writers' exact layout: a sheet info, then
// clusters of a placed component (with its embedded library part), wire stubs from its pins
// ending in labels, tags or T-junctions, now and then a bus with entries, frames of dashes,
// comments, marker lines and, rarely, a small picture.
class GenSheetMaker {
public:
    struct Texts {
        std::string common; // placed once in every sheet (empty: none)
        std::string rare;   // placed once when withRare is set
        bool withRare = false;
    };
    struct Pool {
        std::vector<GenPart> passives;
        std::vector<GenPart> others;
    };

    GenSheetMaker(GenRandom& rng, const Pool& pool) : m_rng(rng), m_pool(pool), m_w(m_out) {}

    // A whole file of at least about `targetBytes` bytes.
    std::string make(size_t targetBytes, const Texts& texts, int page, int pages,
                     std::string_view project);

private:
    struct Placed {
        const GenPart* part;
        int x, y, dir, w, h;
    };

    void reset();
    void sheetInfo(int page, int pages, std::string_view project);
    void cluster();
    void special(std::string_view text);
    void placeComponent(const GenPart& part, std::string_view value);
    void componentKeys(const GenPart& part, const Placed& at, std::string_view value);
    void pinStubs(const Placed& at);
    void stubEnd(int x, int y, int dx, int dy);
    void busRow();
    void frame(int x1, int y1, int x2, int y2);
    void decorations();

    void junction(int x, int y);
    void label(int x, int y, bool horizontal, std::string_view text);
    void tag(int x, int y, bool horizontal, int type, std::string_view text);
    void comment(int x, int y, std::string_view text, std::string_view font, int size,
                 std::string_view flags, int width);
    void twoPoint(std::string_view kind, int x1, int y1, int x2, int y2);
    void dash(int x1, int y1, int x2, int y2, bool curved, int style, int startMark, int endMark);
    void marker(int x1, int y1, int x2, int y2);
    void image(int x, int y);
    std::string netName();

    GenRandom& m_rng;
    const Pool& m_pool;
    std::string m_out;
    GenWriter m_w;
    int m_x = 0;
    int m_y = 0;
    int m_rowHeight = 0;
    int m_clusters = 0;
    int m_refs = 0;
    int m_nets = 0;
    std::string m_pendingValue; // a search text that the next component carries as its value
};
