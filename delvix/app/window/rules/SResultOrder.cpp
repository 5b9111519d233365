#include "rules/SResultOrder.h"

#include <algorithm>
#include <numeric>

namespace {

bool isShiftJisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The code of the character at `i`, and how many bytes it takes.
uint32_t nextChar(std::string_view s, size_t& i, SXKorvEncoding encoding) {
    const auto c = static_cast<unsigned char>(s[i++]);
    if (encoding == SXKorvEncoding::ShiftJis && isShiftJisLead(c) && i < s.size())
        return static_cast<uint32_t>(c) << 8 | static_cast<unsigned char>(s[i++]);
    return c;
}

const std::string& key(const SSearchResult& r, int column) {
    switch (column) {
    case SResultOrder::kText:
        return r.text;
    case SResultOrder::kType:
        return r.type;
    default:
        return r.path;
    }
}

} // namespace

void SResultOrder::click(int column) {
    if (column == m_column) {
        m_ascending = !m_ascending;
    } else {
        m_column = std::clamp(column, 0, kColumnCount - 1);
        m_ascending = true;
    }
}

int SResultOrder::compare(std::string_view a, std::string_view b, SXKorvEncoding encoding) {
    // Bytes compare as unsigned; only a double-byte character needs its own code.
    const size_t common = std::min(a.size(), b.size());
    const size_t diff = static_cast<size_t>(
        std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(common), b.begin()).first -
        a.begin());
    if (encoding != SXKorvEncoding::ShiftJis) {
        if (diff == common)
            return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
        return static_cast<unsigned char>(a[diff]) < static_cast<unsigned char>(b[diff]) ? -1 : 1;
    }
    // Back to the start of the character holding the first difference.
    size_t i = 0;
    while (i < diff) {
        const size_t start = i;
        nextChar(a, i, encoding);
        if (i > diff) {
            i = start;
            break;
        }
    }
    size_t j = i;
    while (i < a.size() && j < b.size()) {
        const uint32_t ca = nextChar(a, i, encoding);
        const uint32_t cb = nextChar(b, j, encoding);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

std::vector<uint32_t>
SResultOrder::sorted(const std::vector<std::unique_ptr<SSearchResult>>& results,
                     SXKorvEncoding encoding) const {
    std::vector<uint32_t> order(results.size());
    std::iota(order.begin(), order.end(), 0u);
    const int column = m_column;
    const bool ascending = m_ascending;
    std::stable_sort(order.begin(), order.end(), [&](uint32_t x, uint32_t y) {
        const int c = compare(key(*results[x], column), key(*results[y], column), encoding);
        return ascending ? c < 0 : c > 0;
    });
    return order;
}
