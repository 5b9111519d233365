#pragma once

#include "model/SCompIndex.h"
#include "model/SCompInfo.h"
#include "tagtext/SFileWords.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class SPtn;
class STagReader;
class STagWriter;

// One component library in memory: the definitions (owned), the entries binding names to them
// (owned; aliases share a definition) and the library's property text. Loaded from a library
// file or from the parts embedded in a schematic file; written as a library file.
class SCompLib {
public:
    static constexpr std::string_view kLibraryOpen = SFileWords::kLibraryOpen;
    static constexpr std::string_view kLibraryClose = SFileWords::kLibraryClose;
    static constexpr std::string_view kSchematicOpen = SFileWords::kSchematicOpen;

    // Why the last load or readBlocks failed.
    enum class LoadError {
        None,
        AlreadyLoaded,   // the library has a path; clear it first
        CannotOpen,      // the file could not be opened
        NotALibrary,     // the first word is neither magic word
        BadPattern,      // a "+PTN" section failed to read
        BadComponent,    // a "+COMP" section failed to read
        BadAlias,        // a "+ALIAS" section failed to read
        BadClosingWord,  // a closing word other than "-KORVX_LIB_V.1.0" at block level
        UnclosedSection, // the input ended while skipping an unknown section
        ReadError,       // the file could not be read to its end
    };

    SCompLib();
    ~SCompLib();
    SCompLib(const SCompLib&) = delete;
    SCompLib& operator=(const SCompLib&) = delete;

    // Loads a library file, or the library parts embedded in a schematic file. Refused while the
    // library has a path. On a failure part-way what was read stays in the library and
    // loadError()/errorLine() tell why and where.
    bool load(const std::string& path);
    // Reads a library text, or the library parts embedded in a schematic text, from its first
    // word on (a schematic without parts is an empty library); the first word must be one of
    // the two magic words. With `stopAfterFirstComponent` it returns after the first component.
    bool read(STagReader& reader, bool stopAfterFirstComponent = false);
    // Reads blocks from a reader positioned after a "+KORVX_LIB_V.1.0" word up to the end of the
    // input; with `stopAfterFirstComponent` it returns after the first component (pasting).
    bool readBlocks(STagReader& reader, bool stopAfterFirstComponent);
    LoadError loadError() const { return m_loadError; }
    // Line of the word at which the last load or readBlocks failed; 0 when none failed.
    int32_t errorLine() const { return m_errorLine; }
    // The errno value behind CannotOpen or ReadError; 0 when unknown.
    int systemError() const { return m_systemError; }

    // Writes a library file with the entries in the given order; the old file is replaced only
    // when every byte was written. False when the file cannot be written (saveError() says why);
    // a path ending in ".KX2" (any case) is refused: that name belongs to a schematic.
    bool save(const std::string& path, const std::vector<const SCompIndex*>& order) const;
    // The same in the library's own entry order.
    bool save(const std::string& path) const;
    // Why the last save failed, as a message naming the cause; empty after a success.
    const std::string& saveError() const { return m_saveError; }
    // True for a name ending in ".KX2" in any case.
    static bool hasSchematicName(std::string_view path);
    // True when the last load stopped part-way and `path` is that input (the same file, or the
    // same path once links are resolved): saving there would drop what was not read.
    bool isPartlyReadInput(const std::string& path) const;
    // Writes the library text (the file's content) to any writer. False on a write error.
    bool write(STagWriter& writer, const std::vector<const SCompIndex*>& order) const;

    bool isUniqueName(std::string_view name) const;
    // `name` itself when unique, otherwise name(1), name(2), … (a trailing "(n)" counts on):
    // the first free number, however many are taken, in amortised constant time.
    std::string makeUniqueName(std::string_view name) const;

    // Entries in library order (read order, then as added).
    int32_t entryCount() const { return static_cast<int32_t>(m_entries.size()); }
    // Null outside 0..entryCount()-1.
    SCompIndex* entryAt(int32_t index) const;
    const std::vector<std::unique_ptr<SCompIndex>>& entries() const { return m_entries; }
    // The first entry with exactly this name, or null.
    SCompIndex* findEntry(std::string_view name) const;
    // The first entry bound to the component, or null.
    SCompIndex* firstEntryOf(const SCompInfo* component) const;

    int32_t componentCount() const { return static_cast<int32_t>(m_components.size()); }
    const std::vector<std::unique_ptr<SCompInfo>>& components() const { return m_components; }

    // Takes the definition and lists it under `name` (taken as given; callers make it unique).
    SCompIndex* addComponent(std::unique_ptr<SCompInfo> component, std::string name);
    // A further entry for a definition of this library; null when the library does not own it.
    SCompIndex* addAlias(SCompInfo* component, std::string name);
    // Destroys the entry, and its definition when no other entry is bound to it.
    void removeEntry(const SCompIndex* entry);
    void renameEntry(SCompIndex* entry, std::string name);

    // Frees every definition and entry and forgets the path; the property text stays.
    void clear();

    const std::optional<std::string>& path() const { return m_path; }
    const std::string& property() const { return m_property; }
    void setProperty(std::string text) { m_property = std::move(text); }

private:
    // Hashing for the table of taken numbers, which is looked up by view.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const noexcept {
            return std::hash<std::string_view>{}(name);
        }
    };
    struct Names;
    struct BlockState;

    enum class Step { Continue, Stop, Fail };
    Step readBlockWord(STagReader& reader, std::string& word, BlockState& block,
                       bool stopAfterFirstComponent);
    bool readPattern(STagReader& reader, BlockState& block);
    bool readComponent(STagReader& reader, BlockState& block);
    bool readAlias(STagReader& reader);
    bool fail(LoadError error, const STagReader& reader);

    SCompIndex* appendEntry(std::string name, SCompInfo* component);
    // appendEntry with `name`, or the name makeUniqueName gives when it is taken; `hash` is the
    // name's hash in the name table.
    SCompIndex* appendUniqueEntry(std::string name, size_t hash, SCompInfo* component);
    void forgetName(const SCompIndex* entry);
    // Makes `first` the entry the name table gives for its name.
    void setFirstOfName(std::string_view name, SCompIndex* first);
    // The first free number from `from` on for `stem` ("stem(n)"), written into `candidate`.
    void firstFreeNumber(std::string_view stem, int64_t from, std::string& candidate) const;

    std::optional<std::string> m_path;
    std::string m_property;
    std::vector<std::unique_ptr<SCompInfo>> m_components;
    std::vector<std::unique_ptr<SCompIndex>> m_entries;
    // Per name, its first entry and the number of entries with it (more than one only when a
    // caller added them so).
    std::unique_ptr<Names> m_names;
    // Per stem, numbers found taken, each linked to a higher number to try next (links are
    // shortened as they are walked), so a run of taken numbers is crossed once instead of once
    // per request. A stem's links go when one of its names leaves: its numbers may be free again.
    using NumberLinks = std::unordered_map<int64_t, int64_t>;
    mutable std::unordered_map<std::string, NumberLinks, NameHash, std::equal_to<>> m_takenNumbers;
    LoadError m_loadError = LoadError::None;
    int32_t m_errorLine = 0;
    int m_systemError = 0;
    std::optional<std::string> m_partlyRead; // the input of a load that stopped part-way
    mutable std::string m_saveError;
};
