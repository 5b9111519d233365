#pragma once

#include "engine/SSearchResult.h"
#include "schematic/SFindVocabulary.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// The result list's sort state and order: a header click on the sorted column reverses it, on
// another column sorts by that one ascending.
class SResultOrder {
public:
    enum Column { kPath = 0, kText = 1, kType = 2, kColumnCount = 3 };

    int column() const { return m_column; }
    bool ascending() const { return m_ascending; }
    void click(int column);

    // Multibyte string order: characters compared by code, a double-byte character of the
    // encoding as one code above every single byte. Negative, zero or positive.
    static int compare(std::string_view a, std::string_view b, SXKorvEncoding encoding);

    // Indexes into `results` in list order for this state (stable for equal keys). The path
    // column compares full paths.
    std::vector<uint32_t> sorted(const std::vector<std::unique_ptr<SSearchResult>>& results,
                                 SXKorvEncoding encoding) const;

private:
    int m_column = kPath;
    bool m_ascending = true;
};
