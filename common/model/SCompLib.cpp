#include "model/SCompLib.h"

#include "SNameTable.h"
#include "model/SPtn.h"
#include "tagtext/SAscii.h"
#include "tagtext/SAtomicFile.h"
#include "tagtext/SFileCloser.h"
#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>
#include <vector>

namespace {

struct NameOfEntry {
    std::string_view operator()(const SCompIndex* entry) const { return entry->name(); }
};
struct NameOfPattern {
    std::string_view operator()(const std::shared_ptr<SPtn>& pattern) const {
        return *pattern->name();
    }
};

} // namespace

// The first entry of each name. Names borne by more than one entry (only callers make them)
// also have the number of their further entries.
struct SCompLib::Names : SNameTable<SCompIndex*, NameOfEntry> {
    std::unordered_map<std::string, int32_t, NameHash, std::equal_to<>> further;

    void addFurther(std::string_view name) {
        ++further.try_emplace(std::string(name), 0).first->second;
    }
};

// The patterns of the block being read, found by name (the first of a name wins). Every
// component naming one shares it; it is copied only when one of them is changed.
struct SCompLib::BlockState {
    SNameTable<std::shared_ptr<SPtn>, NameOfPattern> byName;
    // The last pattern's name and hash: a component names the pattern before it, as a rule, and
    // bears its name.
    std::string lastName;
    size_t lastHash = 0;

    size_t hashOf(std::string_view name) const {
        return !lastName.empty() && name == lastName ? lastHash : Names::hashOf(name);
    }
    void clear() {
        byName.clear();
        lastName.clear();
    }
};

namespace {

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A name split into its stem and the number of a trailing "(digits)" ("A(3)" → "A", 3; "A()"
// → "A", 0); a name without one is all stem, numbered 0.
struct NumberedName {
    std::string_view stem;
    int64_t counter = 0;
};

NumberedName splitNumber(std::string_view name) {
    if (!name.empty() && name.back() == ')') {
        const size_t open = name.rfind('(', name.size() - 1);
        if (open != std::string_view::npos) {
            const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
            if (allDigits(digits))
                return {name.substr(0, open), STagField::toInt(digits)};
        }
    }
    return {name, 0};
}

constexpr size_t kStoreBytes = size_t{1} << 18;

bool isWritten(const SCompIndex* entry) {
    return entry && !entry->name().empty() && entry->component();
}

constexpr size_t kNotWritten = static_cast<size_t>(-1);

// For each entry of `order` that is written, the place in `order` of the first written entry of
// the same definition (its own place when it is that first); kNotWritten for the others. Sorted
// pairs rather than a hash table: one allocation instead of one per entry, and no scattered
// nodes to walk and free.
std::vector<size_t> firstOfDefinition(const std::vector<const SCompIndex*>& order) {
    std::vector<std::pair<const SCompInfo*, size_t>> byDefinition;
    byDefinition.reserve(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        if (isWritten(order[i]))
            byDefinition.emplace_back(order[i]->component(), i);
    }
    std::sort(byDefinition.begin(), byDefinition.end(), [](const auto& a, const auto& b) {
        return std::less<>()(a.first, b.first) || (a.first == b.first && a.second < b.second);
    });
    std::vector<size_t> first(order.size(), kNotWritten);
    for (size_t i = 0; i < byDefinition.size(); ++i) {
        const bool opensGroup = i == 0 || byDefinition[i - 1].first != byDefinition[i].first;
        first[byDefinition[i].second] =
            opensGroup ? byDefinition[i].second : first[byDefinition[i - 1].second];
    }
    return first;
}

} // namespace

SCompLib::SCompLib() : m_names(std::make_unique<Names>()) {}
SCompLib::~SCompLib() = default;

bool SCompLib::fail(LoadError error, const STagReader& reader) {
    m_loadError = error;
    m_errorLine = reader.wordLine();
    return false;
}

bool SCompLib::load(const std::string& path) {
    m_loadError = LoadError::None;
    m_errorLine = 0;
    m_systemError = 0;
    m_partlyRead.reset();
    if (m_path) {
        m_loadError = LoadError::AlreadyLoaded;
        return false;
    }
    // A folder opens for reading here; only its read fails, with a less helpful word.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        m_loadError = LoadError::CannotOpen;
        m_systemError = EISDIR;
        return false;
    }
    const SReadFile file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        m_loadError = LoadError::CannotOpen;
        m_systemError = errno;
        return false;
    }
    STagReader reader;
    reader.attachFile(file.get());
    if (!read(reader)) {
        if (m_loadError == LoadError::ReadError)
            m_systemError = errno;
        if (m_loadError != LoadError::NotALibrary)
            m_partlyRead = path;
        return false;
    }
    m_path = path;
    return true;
}

bool SCompLib::read(STagReader& reader, bool stopAfterFirstComponent) {
    m_loadError = LoadError::None;
    m_errorLine = 0;
    std::string word;
    if (reader.readWord(word) < 0)
        return fail(reader.hasReadError() ? LoadError::ReadError : LoadError::NotALibrary, reader);
    if (word == kSchematicOpen) {
        // A schematic without embedded parts is an empty library.
        if (reader.skipTo(kLibraryOpen) < 0) {
            if (reader.hasReadError())
                return fail(LoadError::ReadError, reader);
            return true;
        }
    } else if (word != kLibraryOpen) {
        return fail(LoadError::NotALibrary, reader);
    }
    return readBlocks(reader, stopAfterFirstComponent);
}

bool SCompLib::isPartlyReadInput(const std::string& path) const {
    if (!m_partlyRead)
        return false;
    std::error_code ec;
    if (std::filesystem::equivalent(*m_partlyRead, path, ec) && !ec)
        return true;
    // The input may be gone or replaced since; its resolved path still names it.
    std::error_code ecA;
    std::error_code ecB;
    const auto a = std::filesystem::weakly_canonical(*m_partlyRead, ecA);
    const auto b = std::filesystem::weakly_canonical(path, ecB);
    return !ecA && !ecB && a == b;
}

bool SCompLib::hasSchematicName(std::string_view path) {
    return endsWithNoCase(path, ".kx2");
}

bool SCompLib::readBlocks(STagReader& reader, bool stopAfterFirstComponent) {
    m_loadError = LoadError::None;
    m_errorLine = 0;
    BlockState block;
    std::string word;
    Step step = Step::Continue;
    while (step == Step::Continue && reader.readWord(word) >= 0)
        step = readBlockWord(reader, word, block, stopAfterFirstComponent);
    // A read error looks like the end of the input to the readers; it must not pass for it.
    if (reader.hasReadError())
        return fail(LoadError::ReadError, reader);
    return step != Step::Fail;
}

SCompLib::Step SCompLib::readBlockWord(STagReader& reader, std::string& word, BlockState& block,
                                       bool stopAfterFirstComponent) {
    if (word == kLibraryClose) {
        // The patterns of one block are never visible in another.
        block.clear();
        return reader.skipTo(kLibraryOpen) < 0 ? Step::Stop : Step::Continue;
    }
    if (word[0] == '-') {
        fail(LoadError::BadClosingWord, reader);
        return Step::Fail;
    }
    if (word == "+PTN")
        return readPattern(reader, block) ? Step::Continue : Step::Fail;
    if (word == "+COMP") {
        if (!readComponent(reader, block))
            return Step::Fail;
        return stopAfterFirstComponent ? Step::Stop : Step::Continue;
    }
    if (word == "+ALIAS")
        return readAlias(reader) ? Step::Continue : Step::Fail;
    if (word[0] == '+') {
        const int32_t opened = reader.wordLine();
        word[0] = '-';
        if (reader.skipTo(word) < 0) {
            fail(LoadError::UnclosedSection, reader);
            m_errorLine = opened;
            return Step::Fail;
        }
        return Step::Continue;
    }
    STagField field;
    if (STagField::split(word, field) && field.key == "PROP")
        m_property = field.value;
    return Step::Continue;
}

bool SCompLib::readPattern(STagReader& reader, BlockState& block) {
    auto pattern = std::make_shared<SPtn>();
    if (!pattern->read(reader))
        return fail(LoadError::BadPattern, reader);
    if (pattern->name() && !pattern->name()->empty()) {
        block.lastName = *pattern->name();
        block.lastHash = Names::hashOf(block.lastName);
        block.byName.insert(block.lastName, block.lastHash, std::move(pattern));
    }
    return true;
}

bool SCompLib::readComponent(STagReader& reader, BlockState& block) {
    auto component = std::make_unique<SCompInfo>();
    std::string name;
    std::string patternName;
    if (!component->read(reader, name, patternName))
        return fail(LoadError::BadComponent, reader);
    const size_t nameHash = block.hashOf(name);
    if (!patternName.empty()) {
        const size_t patternHash = patternName == name ? nameHash : block.hashOf(patternName);
        if (const std::shared_ptr<SPtn>* pattern = block.byName.find(patternName, patternHash))
            component->sharePattern(*pattern);
    }
    SCompInfo* definition = component.get();
    m_components.push_back(std::move(component));
    appendUniqueEntry(std::move(name), nameHash, definition);
    return true;
}

bool SCompLib::readAlias(STagReader& reader) {
    std::string word;
    std::string target;
    std::string alias;
    while (reader.readWord(word) >= 0) {
        if (word[0] == '-') {
            if (word != "-ALIAS" || target.empty() || alias.empty())
                return fail(LoadError::BadAlias, reader);
            break;
        }
        if (word[0] == '+') {
            word[0] = '-';
            if (reader.skipTo(word) < 0)
                return fail(LoadError::BadAlias, reader);
            continue;
        }
        STagField field;
        if (!STagField::split(word, field) || field.value.empty())
            continue;
        if (field.key == "N")
            target = field.value;
        else if (field.key == "A")
            alias = field.value;
    }
    // An alias cut off by the end of the input is kept only when it names both ends; one that
    // refers to no entry is dropped.
    if (target.empty() || alias.empty())
        return true;
    if (const SCompIndex* entry = findEntry(target)) {
        const size_t hash = Names::hashOf(alias);
        appendUniqueEntry(std::move(alias), hash, entry->component());
    }
    return true;
}

bool SCompLib::save(const std::string& path) const {
    std::vector<const SCompIndex*> order;
    order.reserve(m_entries.size());
    for (const auto& entry : m_entries)
        order.push_back(entry.get());
    return save(path, order);
}

bool SCompLib::save(const std::string& path, const std::vector<const SCompIndex*>& order) const {
    m_saveError.clear();
    if (hasSchematicName(path)) {
        m_saveError = "a library is not written under a schematic's name (.KX2)";
        return false;
    }
    SAtomicFile file(path);
    if (!file.open()) {
        m_saveError = file.errorText();
        return false;
    }
    // The writer forms the text in its own block and stores it a block at a time: going
    // through the stream word by word costs more than forming the words.
    STagWriter writer;
    writer.attachStore(
        [&file](std::string_view bytes) {
            return std::fwrite(bytes.data(), 1, bytes.size(), file.file()) == bytes.size();
        },
        STagWriter::LineEnd::CrLf, kStoreBytes);
    if (!write(writer, order) || writer.flush() < 0) {
        m_saveError = std::strerror(errno ? errno : EIO);
        file.discard();
        return false;
    }
    if (file.commit())
        return true;
    m_saveError = file.errorText();
    if (file.targetMayBeDamaged())
        m_saveError += "; the file was written in place and may be damaged";
    return false;
}

bool SCompLib::write(STagWriter& w, const std::vector<const SCompIndex*>& order) const {
    bool ok = w.writeWord(kLibraryOpen) >= 0 && w.endLine() >= 0 &&
              w.writeText("PROP", m_property) >= 0 && w.endLine() >= 0;
    // The first entry written for each definition; later ones become aliases of it.
    const std::vector<size_t> first = firstOfDefinition(order);
    for (size_t i = 0; ok && i < order.size(); ++i) {
        const SCompIndex* entry = order[i];
        if (first[i] == kNotWritten)
            continue;
        if (first[i] == i) {
            ok = entry->component()->write(w, entry->name());
        } else {
            ok = w.writeWord("+ALIAS") >= 0 && w.writeText("A", entry->name()) >= 0 &&
                 w.writeText("N", order[first[i]]->name()) >= 0 && w.writeWord("-ALIAS") >= 0 &&
                 w.endLine() >= 0;
        }
    }
    return ok && w.writeWord(kLibraryClose) >= 0 && w.endLine() >= 0;
}

bool SCompLib::isUniqueName(std::string_view name) const {
    return !m_names->find(name);
}

std::string SCompLib::makeUniqueName(std::string_view name) const {
    if (isUniqueName(name))
        return std::string(name);
    const NumberedName split = splitNumber(name);
    std::string candidate;
    firstFreeNumber(split.stem, split.counter + 1, candidate);
    return candidate;
}

void SCompLib::firstFreeNumber(std::string_view stem, int64_t from, std::string& candidate) const {
    auto links = m_takenNumbers.find(stem);
    if (links == m_takenNumbers.end())
        links = m_takenNumbers.emplace(std::string(stem), NumberLinks{}).first;
    NumberLinks& taken = links->second;
    std::vector<int64_t> walked;
    int64_t n = from;
    for (;;) {
        if (const auto it = taken.find(n); it != taken.end()) {
            walked.push_back(n);
            n = it->second;
            continue;
        }
        char number[24];
        const auto end = std::to_chars(number, number + sizeof number, n).ptr;
        candidate.assign(stem);
        candidate.push_back('(');
        candidate.append(number, end);
        candidate.push_back(')');
        if (isUniqueName(candidate))
            break;
        taken.emplace(n, n + 1);
        walked.push_back(n);
        ++n;
    }
    // Every number walked over is taken up to n: the next request jumps straight there.
    for (const int64_t w : walked)
        taken[w] = n;
}

SCompIndex* SCompLib::entryAt(int32_t index) const {
    return index >= 0 && index < entryCount() ? m_entries[static_cast<size_t>(index)].get()
                                              : nullptr;
}

SCompIndex* SCompLib::findEntry(std::string_view name) const {
    SCompIndex* const* found = m_names->find(name);
    return found ? *found : nullptr;
}

SCompIndex* SCompLib::firstEntryOf(const SCompInfo* component) const {
    for (const auto& entry : m_entries) {
        if (entry->component() == component)
            return entry.get();
    }
    return nullptr;
}

SCompIndex* SCompLib::appendEntry(std::string name, SCompInfo* component) {
    m_entries.push_back(std::make_unique<SCompIndex>(std::move(name), component));
    SCompIndex* entry = m_entries.back().get();
    const std::string_view key = entry->name();
    if (!m_names->insert(key, Names::hashOf(key), entry).second)
        m_names->addFurther(key);
    return entry;
}

// One table lookup for a name that is free, as nearly every name of a library is.
SCompIndex* SCompLib::appendUniqueEntry(std::string name, size_t hash, SCompInfo* component) {
    m_entries.push_back(std::make_unique<SCompIndex>(std::move(name), component));
    SCompIndex* entry = m_entries.back().get();
    if (m_names->insert(entry->name(), hash, entry).second)
        return entry;
    entry->m_name = makeUniqueName(entry->name());
    const std::string_view unique = entry->name();
    m_names->insert(unique, Names::hashOf(unique), entry);
    return entry;
}

void SCompLib::setFirstOfName(std::string_view name, SCompIndex* first) {
    if (SCompIndex** found = m_names->find(name))
        *found = first;
}

// Drops the entry's name from the table (the entry itself stays).
void SCompLib::forgetName(const SCompIndex* entry) {
    if (const auto links = m_takenNumbers.find(splitNumber(entry->name()).stem);
        links != m_takenNumbers.end())
        m_takenNumbers.erase(links);
    const std::string_view name = entry->name();
    const size_t hash = Names::hashOf(name);
    SCompIndex* const* found = m_names->find(name, hash);
    if (!found)
        return;
    const auto further = m_names->further.find(name);
    if (further == m_names->further.end()) {
        m_names->erase(name, hash);
        return;
    }
    if (--further->second == 0)
        m_names->further.erase(further);
    if (*found != entry)
        return;
    for (const auto& other : m_entries) {
        if (other.get() != entry && other->name() == entry->name()) {
            setFirstOfName(entry->name(), other.get());
            return;
        }
    }
}

SCompIndex* SCompLib::addComponent(std::unique_ptr<SCompInfo> component, std::string name) {
    if (!component)
        return nullptr;
    SCompInfo* definition = component.get();
    m_components.push_back(std::move(component));
    return appendEntry(std::move(name), definition);
}

SCompIndex* SCompLib::addAlias(SCompInfo* component, std::string name) {
    const bool owned = std::any_of(m_components.begin(), m_components.end(),
                                   [&](const auto& c) { return c.get() == component; });
    return owned && component ? appendEntry(std::move(name), component) : nullptr;
}

void SCompLib::removeEntry(const SCompIndex* entry) {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const auto& e) { return e.get() == entry; });
    if (it == m_entries.end())
        return;
    forgetName(entry);
    const SCompInfo* component = entry->component();
    m_entries.erase(it);
    if (firstEntryOf(component))
        return;
    const auto c = std::find_if(m_components.begin(), m_components.end(),
                                [&](const auto& p) { return p.get() == component; });
    if (c != m_components.end())
        m_components.erase(c);
}

void SCompLib::renameEntry(SCompIndex* entry, std::string name) {
    if (!entry)
        return;
    forgetName(entry);
    entry->m_name = std::move(name);
    const std::string_view key = entry->name();
    if (m_names->insert(key, Names::hashOf(key), entry).second)
        return;
    m_names->addFurther(key);
    for (const auto& other : m_entries) {
        if (other->name() == entry->name()) {
            setFirstOfName(entry->name(), other.get());
            return;
        }
    }
}

void SCompLib::clear() {
    m_entries.clear();
    m_components.clear();
    m_names->clear();
    m_names->further.clear();
    m_takenNumbers.clear();
    m_path.reset();
    m_partlyRead.reset();
    m_loadError = LoadError::None;
    m_errorLine = 0;
    m_systemError = 0;
}
