#pragma once

#include "engine/SSearchResult.h"

#include <memory>

// Receives what a search finds, in walk order and find order, one call at a time (never two at
// once, but not necessarily on the thread that started the search).
class SSearchSink {
public:
    virtual ~SSearchSink() = default;
    virtual void searchResult(std::unique_ptr<SSearchResult> result) = 0;
    virtual void searchWarning(const SSearchWarning& warning) = 0;
    // The last call of a search; `stopped` when it ended on a stop request.
    virtual void searchFinished(bool stopped) = 0;
};
