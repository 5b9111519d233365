#pragma once

#include "engine/SFileSearcher.h"

#include <memory>
#include <string>
#include <string_view>

class SFileDescriptor;
class STextPrefilter;
class SXKorvDocSch;
class SXKorvTextScanner;

// Searches a file the way the search window does: reads it into a fresh schematic document and
// runs find first / find next over it. Files that the prefilter rules out are not read; files
// the text scanner is sure of give the same hits from the scanner, without a document.
class SDocFileSearcher : public SFileSearcher {
public:
    void search(const std::string& path, const SSearchParams& params, const std::atomic<bool>& stop,
                SFileOutcome& outcome) const override;
    // Opens the file relative to its folder where the walk holds that open.
    void searchFile(const SWalkItem& file, const SSearchParams& params,
                    const std::atomic<bool>& stop, SFileOutcome& outcome) const override;

    // Files up to this size are read into memory and checked by the prefilter first; larger
    // ones are read straight from the file.
    static constexpr size_t kInMemoryLimit = size_t{64} << 20;

    // A worker's read buffer, kept from file to file.
    class Buffer {
    public:
        // Reads the rest of `file`; false when it is larger than the limit (or on a read
        // error, with `reason` set).
        bool readWhole(const SFileDescriptor& file, std::string& reason);
        std::string_view bytes() const { return {m_data.get(), m_size}; }

    private:
        void reserve(size_t capacity);

        std::unique_ptr<char[]> m_data;
        size_t m_capacity = 0;
        size_t m_size = 0;
    };

private:
    // The prefilter for this search, made once per worker.
    static const STextPrefilter& prefilterFor(const SSearchParams& params);
    // Reads the document from the bytes, or from the file where the bytes will not do; the
    // warning when the file cannot be read that way.
    static bool readDocument(SXKorvDocSch& doc, const SWalkItem& file, SFileDescriptor& fd,
                             std::string_view bytes, bool inMemory, SFileOutcome& outcome);
    static void collectHits(SXKorvDocSch& doc, const std::string& path,
                            const std::atomic<bool>& stop, SFileOutcome& outcome);
    static void collectScanned(const SXKorvTextScanner& scanner, const std::string& path,
                               const SSearchParams& params, const std::atomic<bool>& stop,
                               SFileOutcome& outcome);
};
