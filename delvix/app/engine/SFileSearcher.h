#pragma once

#include "engine/SFolderWalker.h"
#include "engine/SSearchParams.h"
#include "engine/SSearchResult.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What searching one file gave: its hits in find order, or the reason it was skipped.
struct SFileOutcome {
    std::vector<std::unique_ptr<SSearchResult>> results;
    std::optional<SSearchWarning> warning;
};

// Searches one file. Called by several workers at once, so implementations keep no mutable
// state; they should look at `stop` between hits.
class SFileSearcher {
public:
    virtual ~SFileSearcher() = default;
    virtual void search(const std::string& path, const SSearchParams& params,
                        const std::atomic<bool>& stop, SFileOutcome& outcome) const = 0;
    // A file of a walk, which may be opened relative to its folder; by path unless overridden.
    virtual void searchFile(const SWalkItem& file, const SSearchParams& params,
                            const std::atomic<bool>& stop, SFileOutcome& outcome) const {
        search(file.path, params, stop, outcome);
    }
};
