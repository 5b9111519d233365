#include "engine/SDocFileSearcher.h"

#include "STextPrefilter.h"
#include "schematic/SXKorvDocSch.h"
#include "schematic/SXKorvTextScanner.h"
#include "tagtext/SFileCloser.h"
#include "tagtext/STagReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>

namespace {

std::string errnoText(int error) {
    return std::generic_category().message(error);
}

// Both search paths report a hit the same way.
template <typename Text, typename Point>
void addResult(SFileOutcome& outcome, const std::string& path, const Text& text, int32_t kindBit,
               const Point& position) {
    auto result = std::make_unique<SSearchResult>();
    result->path = path;
    result->text = text;
    result->type = searchTypeWord(kindBit);
    result->x = position.x;
    result->y = position.y;
    outcome.results.push_back(std::move(result));
}

} // namespace

void SDocFileSearcher::search(const std::string& path, const SSearchParams& params,
                              const std::atomic<bool>& stop, SFileOutcome& outcome) const {
    errno = 0;
    SReadFile file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        outcome.warning = SSearchWarning{path, "cannot open: " + errnoText(errno), -1};
        return;
    }
    // Reads go straight into our own buffers; the stream's buffer would only add a copy and a
    // stat() per file.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    thread_local Buffer buffer;
    std::string reason;
    const bool inMemory = buffer.readWhole(file.get(), reason);
    const std::string_view bytes = buffer.bytes();
    if (!reason.empty()) {
        outcome.warning = SSearchWarning{path, reason, -1};
        return;
    }
    if (inMemory && params.prefilter &&
        !STextPrefilter(params.pattern, params.caseSensitive).mayMatch(bytes))
        return;
    if (inMemory && params.scanner) {
        thread_local SXKorvTextScanner scanner;
        if (scanner.scan(bytes)) {
            collectScanned(scanner, path, params, stop, outcome);
            return;
        }
    }

    SXKorvDocSch doc;
    const int result = readDocument(doc, file.get(), bytes, inMemory);
    if (result == SXKorvDoc::kNotSchematic) {
        outcome.warning = SSearchWarning{path, "not a schematic file", -1};
        return;
    }
    if (result != SXKorvDoc::kReadOk) {
        const SXKorvReadError& error = doc.readError();
        outcome.warning = SSearchWarning{path, error.message, error.line};
        return;
    }
    file.reset();
    doc.setFindParams(params.pattern, params.matchWhole, params.caseSensitive, params.targets,
                      params.encoding);
    collectHits(doc, path, stop, outcome);
}

void SDocFileSearcher::Buffer::reserve(size_t capacity) {
    auto grown = std::make_unique_for_overwrite<char[]>(capacity);
    if (m_size > 0)
        std::memcpy(grown.get(), m_data.get(), m_size);
    m_data = std::move(grown);
    m_capacity = capacity;
}

bool SDocFileSearcher::Buffer::readWhole(std::FILE* file, std::string& reason) {
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
        errno = 0;
        const size_t n = std::fread(m_data.get() + m_size, 1, wanted, file);
        m_size += n;
        if (n < wanted) {
            if (std::ferror(file)) {
                reason = "read error: " + errnoText(errno);
                return false;
            }
            return true;
        }
        if (m_size > kInMemoryLimit)
            return false;
    }
}

int SDocFileSearcher::readDocument(SXKorvDocSch& doc, std::FILE* file, std::string_view bytes,
                                   bool inMemory) {
    // The in-memory reader ends at a NUL byte, the file reader does not: such files (and big
    // ones) are read from the file again.
    if (!inMemory || std::memchr(bytes.data(), 0, bytes.size())) {
        std::rewind(file);
        return doc.readFile(file);
    }
    STagReader reader;
    reader.attachString(bytes);
    return doc.read(reader);
}

void SDocFileSearcher::collectHits(SXKorvDocSch& doc, const std::string& path,
                                   const std::atomic<bool>& stop, SFileOutcome& outcome) {
    for (const SXKorvObj* hit = doc.findFirst(); hit; hit = doc.findNext()) {
        const SXKorvFindState& found = doc.findState();
        addResult(outcome, path, found.foundText, found.foundKind, found.foundPosition);
        if (stop.load(std::memory_order_relaxed))
            break;
    }
}

void SDocFileSearcher::collectScanned(const SXKorvTextScanner& scanner, const std::string& path,
                                      const SSearchParams& params, const std::atomic<bool>& stop,
                                      SFileOutcome& outcome) {
    const int32_t layers = scanner.visibleLayers();
    for (const SXKorvScannedText& t : scanner.texts()) {
        if (!(layers & (1 << t.layer)) || !(params.targets & t.kindBit) ||
            !SXKorvDocSch::compareText(t.text, params.pattern, params.matchWhole,
                                       params.caseSensitive, params.encoding))
            continue;
        addResult(outcome, path, t.text, t.kindBit, t.position);
        if (stop.load(std::memory_order_relaxed))
            break;
    }
}
