#include "engine/SDocFileSearcher.h"

#include "SFileDescriptor.h"
#include "STextPrefilter.h"
#include "schematic/SXKorvDocSch.h"
#include "schematic/SXKorvTextScanner.h"
#include "tagtext/SFileCloser.h"
#include "tagtext/STagReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <system_error>

namespace {

std::string errnoText(int error) {
    return std::generic_category().message(error);
}

// Hands a file's hits to its outcome; all of them share one copy of the path.
class HitList {
public:
    HitList(SFileOutcome& outcome, const std::string& path) : m_outcome(outcome), m_path(path) {}

    // Both search paths report a hit the same way.
    template <typename Text, typename Point>
    void add(const Text& text, int32_t kindBit, const Point& position) {
        if (!m_shared.shared())
            m_shared = SResultPath(m_path);
        auto result = std::make_unique<SSearchResult>();
        result->path = m_shared;
        result->text = text;
        result->type = searchTypeWord(kindBit);
        result->x = position.x;
        result->y = position.y;
        m_outcome.results.push_back(std::move(result));
    }

private:
    SFileOutcome& m_outcome;
    const std::string& m_path;
    SResultPath m_shared;
};

} // namespace

void SDocFileSearcher::search(const std::string& path, const SSearchParams& params,
                              const std::atomic<bool>& stop, SFileOutcome& outcome) const {
    searchFile(SWalkItem{path, {}, nullptr, 0}, params, stop, outcome);
}

void SDocFileSearcher::searchFile(const SWalkItem& file, const SSearchParams& params,
                                  const std::atomic<bool>& stop, SFileOutcome& outcome) const {
    errno = 0;
    SFileDescriptor fd = SFileDescriptor::openFile(file.folder.get(), file.name(), file.path);
    if (!fd.isOpen()) {
        outcome.warning = SSearchWarning{file.path, "cannot open: " + errnoText(errno), -1};
        return;
    }
    thread_local Buffer buffer;
    std::string reason;
    const bool inMemory = buffer.readWhole(fd, reason);
    const std::string_view bytes = buffer.bytes();
    if (!reason.empty()) {
        outcome.warning = SSearchWarning{file.path, reason, -1};
        return;
    }
    if (inMemory && params.prefilter && !prefilterFor(params).mayMatch(bytes))
        return;
    if (inMemory && params.scanner) {
        thread_local SXKorvTextScanner scanner;
        if (scanner.scan(bytes)) {
            collectScanned(scanner, file.path, params, stop, outcome);
            return;
        }
    }

    SXKorvDocSch doc;
    if (!readDocument(doc, file, fd, bytes, inMemory, outcome))
        return;
    doc.setFindParams(params.pattern, params.matchWhole, params.caseSensitive, params.targets,
                      params.encoding);
    collectHits(doc, file.path, stop, outcome);
}

const STextPrefilter& SDocFileSearcher::prefilterFor(const SSearchParams& params) {
    thread_local std::optional<STextPrefilter> filter;
    if (!filter || filter->caseSensitive() != params.caseSensitive ||
        filter->source() != params.pattern)
        filter.emplace(params.pattern, params.caseSensitive);
    return *filter;
}

void SDocFileSearcher::Buffer::reserve(size_t capacity) {
    auto grown = std::make_unique_for_overwrite<char[]>(capacity);
    if (m_size > 0)
        std::memcpy(grown.get(), m_data.get(), m_size);
    m_data = std::move(grown);
    m_capacity = capacity;
}

bool SDocFileSearcher::Buffer::readWhole(const SFileDescriptor& file, std::string& reason) {
    constexpr size_t kChunk = size_t{256} << 10;
    constexpr size_t kKept = size_t{8} << 20; // what a worker holds on to between files
    m_size = 0;
    if (m_capacity > kKept) {
        m_data.reset();
        m_capacity = 0;
    }
    for (;;) {
        if (m_capacity - m_size < kChunk)
            reserve(std::max(m_capacity * 2, m_size + kChunk));
        const size_t wanted = m_capacity - m_size;
        const ptrdiff_t n = file.readFully(m_data.get() + m_size, wanted);
        if (n < 0) {
            reason = "read error: " + errnoText(errno);
            return false;
        }
        m_size += static_cast<size_t>(n);
        if (static_cast<size_t>(n) < wanted)
            return true;
        if (m_size > kInMemoryLimit)
            return false;
    }
}

bool SDocFileSearcher::readDocument(SXKorvDocSch& doc, const SWalkItem& file, SFileDescriptor& fd,
                                    std::string_view bytes, bool inMemory, SFileOutcome& outcome) {
    int result = SXKorvDoc::kReadOk;
    // The in-memory reader ends at a NUL byte, the file reader does not: such files (and big
    // ones) are read from the file again.
    if (!inMemory || std::memchr(bytes.data(), 0, bytes.size())) {
        fd.rewind();
        SReadFile stream(fd.toStream());
        if (!stream) {
            outcome.warning = SSearchWarning{file.path, "cannot open: " + errnoText(errno), -1};
            return false;
        }
        result = doc.readFile(stream.get());
    } else {
        STagReader reader;
        reader.attachString(bytes);
        result = doc.read(reader);
    }
    if (result == SXKorvDoc::kNotSchematic) {
        outcome.warning = SSearchWarning{file.path, "not a schematic file", -1};
        return false;
    }
    if (result != SXKorvDoc::kReadOk) {
        const SXKorvReadError& error = doc.readError();
        outcome.warning = SSearchWarning{file.path, error.message, error.line};
        return false;
    }
    return true;
}

void SDocFileSearcher::collectHits(SXKorvDocSch& doc, const std::string& path,
                                   const std::atomic<bool>& stop, SFileOutcome& outcome) {
    HitList hits(outcome, path);
    for (const SXKorvObj* hit = doc.findFirst(); hit; hit = doc.findNext()) {
        const SXKorvFindState& found = doc.findState();
        hits.add(found.foundText, found.foundKind, found.foundPosition);
        if (stop.load(std::memory_order_relaxed))
            break;
    }
}

void SDocFileSearcher::collectScanned(const SXKorvTextScanner& scanner, const std::string& path,
                                      const SSearchParams& params, const std::atomic<bool>& stop,
                                      SFileOutcome& outcome) {
    HitList hits(outcome, path);
    const int32_t layers = scanner.visibleLayers();
    for (const SXKorvScannedText& t : scanner.texts()) {
        if (!(layers & (1 << t.layer)) || !(params.targets & t.kindBit) ||
            !SXKorvDocSch::compareText(t.text, params.pattern, params.matchWhole,
                                       params.caseSensitive, params.encoding))
            continue;
        hits.add(t.text, t.kindBit, t.position);
        if (stop.load(std::memory_order_relaxed))
            break;
    }
}
