#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class SFileDescriptor;
struct SFolderEntry;

// One step of a walk: a schematic file to search, or something passed over with its reason.
struct SWalkItem {
    std::string path;
    std::string reason; // empty for a file to search
    // The file's folder, held open while the file waits to be searched (null: open by path).
    std::shared_ptr<const SFileDescriptor> folder;
    size_t nameAt = 0; // where the file's name begins in `path`

    bool isWarning() const { return !reason.empty(); }
    const char* name() const { return path.c_str() + nameAt; }
};

// Walks a folder for schematic files (".kx2" in any case), in a fixed order: the entries of a
// folder by the byte order of their names, its files before its subfolders, each subfolder's
// whole tree before the next. Subfolders whose names start with "." are not entered. Symbolic
// links are followed, except into a folder that is already being walked (a loop).
class SFolderWalker {
public:
    // `root` is used as given to build paths ("root/sub/file.kx2"); `stop` may be null.
    SFolderWalker(std::string root, bool includeSubfolders, const std::atomic<bool>* stop);

    // The next item in walk order; false when the walk is over or stopped.
    bool next(SWalkItem& item);

    // Whether a file name has the schematic extension (the text from its last ".").
    static bool hasSchematicExtension(std::string_view name);

private:
    struct Folder {
        std::string path;
        std::string identity; // resolved path, to recognise a loop
        std::vector<SWalkItem> files;
        std::vector<std::string> subfolders; // names, in order
        size_t nextFile = 0;
        size_t nextSubfolder = 0;
    };

    // Lists a folder onto the stack; on failure returns false with the reason.
    bool enter(const std::string& path, std::string identity, std::string& reason);
    // Sorts a listed entry into the folder's files or subfolders.
    void addEntry(Folder& folder, const std::shared_ptr<const SFileDescriptor>& handle,
                  SFolderEntry& entry) const;
    bool isBeingWalked(const std::string& identity) const;
    std::string childPath(const std::string& parent, const std::string& name) const;
    bool stopped() const;

    std::string m_root;
    bool m_includeSubfolders;
    const std::atomic<bool>* m_stop;
    bool m_started = false;
    std::vector<Folder> m_stack;
};
