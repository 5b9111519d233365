#pragma once

#include "schematic/SFindVocabulary.h"

#include <cstdint>
#include <string>

// Multibyte encoding of the searched texts; decides where characters start, so that a match never
// begins inside a double-byte character. The document's find compares with it.
using SSearchEncoding = SXKorvEncoding;

// What one search looks for and where. Written before the search starts, only read while it runs.
struct SSearchParams {
    std::string folder;
    std::string pattern;
    bool matchWhole = true;
    bool caseSensitive = true;
    bool includeSubfolders = true;
    int32_t targets = SSearchTarget::kAll;
    SSearchEncoding encoding = SSearchEncoding::Utf8;
    // Worker threads; 0 takes one per hardware thread.
    unsigned jobs = 0;
    // Skip files that provably hold no match without reading them into a document. Results are
    // the same either way; only read errors of such files go unreported.
    bool prefilter = true;
    // Take the texts of a file with the search-only scanner where it is sure of the file, and
    // read a document only where it is not. Results are the same either way.
    bool scanner = true;
};
