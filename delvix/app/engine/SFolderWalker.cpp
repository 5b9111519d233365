#include "engine/SFolderWalker.h"

#include "SFileDescriptor.h"
#include "tagtext/SAscii.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A failure message that names what failed.
std::string failure(const char* what, const std::error_code& ec) {
    return std::string(what) + ": " + ec.message();
}

SWalkItem warningItem(std::string path, std::string reason) {
    return SWalkItem{std::move(path), std::move(reason), nullptr, 0};
}

std::error_code errnoCode() {
    return std::error_code(errno, std::generic_category());
}

} // namespace

SFolderWalker::SFolderWalker(std::string root, bool includeSubfolders,
                             const std::atomic<bool>* stop)
    : m_root(std::move(root)), m_includeSubfolders(includeSubfolders), m_stop(stop) {}

bool SFolderWalker::hasSchematicExtension(std::string_view name) {
    return endsWithNoCase(name, ".kx2");
}

bool SFolderWalker::stopped() const {
    return m_stop && m_stop->load(std::memory_order_relaxed);
}

std::string SFolderWalker::childPath(const std::string& parent, const std::string& name) const {
    if (!parent.empty() && parent.back() == '/')
        return parent + name;
    return parent + "/" + name;
}

bool SFolderWalker::isBeingWalked(const std::string& identity) const {
    return std::any_of(m_stack.begin(), m_stack.end(),
                       [&](const Folder& f) { return f.identity == identity; });
}

bool SFolderWalker::enter(const std::string& path, std::string identity, std::string& reason) {
    SFileDescriptor fd = SFileDescriptor::openFolder(path.c_str());
    std::vector<SFolderEntry> entries;
    const bool complete = fd.isOpen() && fd.list(entries);
    const std::error_code ec = complete ? std::error_code{} : errnoCode();
    // Its files are opened relative to it for as long as any of them waits to be searched.
    const auto handle = std::make_shared<const SFileDescriptor>(std::move(fd));
    // A listing that breaks off before its first entry counts as a folder that did not open.
    if (!complete && entries.empty()) {
        reason = failure("cannot open folder", ec);
        return false;
    }
    Folder folder;
    folder.path = path;
    folder.identity = std::move(identity);
    for (SFolderEntry& entry : entries) {
        if (entry.kind == SFolderEntry::Kind::Folder) {
            if (m_includeSubfolders && entry.name.front() != '.')
                folder.subfolders.push_back(std::move(entry.name));
        } else {
            addEntry(folder, handle, entry);
        }
    }
    // Names within a folder share the prefix, so path order is name order.
    std::sort(folder.files.begin(), folder.files.end(),
              [](const SWalkItem& a, const SWalkItem& b) { return a.path < b.path; });
    std::sort(folder.subfolders.begin(), folder.subfolders.end());
    if (ec) // what could be listed is still walked, after saying the listing broke off
        folder.files.insert(folder.files.begin(),
                            warningItem(path, failure("cannot read folder", ec)));
    m_stack.push_back(std::move(folder));
    return true;
}

void SFolderWalker::addEntry(Folder& folder, const std::shared_ptr<const SFileDescriptor>& handle,
                             SFolderEntry& entry) const {
    using Kind = SFolderEntry::Kind;
    // Links and entries of untold type are looked up; everything else is known from the listing.
    fs::file_type type = fs::file_type::regular;
    std::error_code statusError;
    if (entry.kind == Kind::Unknown) {
        type = fs::status(fs::path(childPath(folder.path, entry.name)), statusError).type();
        if (type == fs::file_type::directory) {
            if (m_includeSubfolders && entry.name.front() != '.')
                folder.subfolders.push_back(std::move(entry.name));
            return;
        }
    } else if (entry.kind == Kind::Other) {
        type = fs::file_type::unknown;
    }
    if (!hasSchematicExtension(entry.name))
        return;
    SWalkItem item{childPath(folder.path, entry.name), {}, handle, 0};
    item.nameAt = item.path.size() - entry.name.size();
    if (statusError)
        item.reason = failure("cannot open", statusError);
    else if (type != fs::file_type::regular)
        item.reason = "not a regular file";
    if (item.isWarning())
        item.folder.reset();
    folder.files.push_back(std::move(item));
}

bool SFolderWalker::next(SWalkItem& item) {
    if (!m_started) {
        m_started = true;
        std::error_code ec;
        const fs::path resolved = fs::canonical(fs::path(m_root), ec);
        std::string reason;
        if (!enter(m_root, ec ? m_root : resolved.string(), reason)) {
            item = warningItem(m_root, std::move(reason));
            return true;
        }
    }
    while (!m_stack.empty()) {
        if (stopped())
            return false;
        Folder& top = m_stack.back();
        if (top.nextFile < top.files.size()) {
            item = std::move(top.files[top.nextFile++]);
            return true;
        }
        if (top.nextSubfolder >= top.subfolders.size()) {
            m_stack.pop_back();
            continue;
        }
        const std::string& name = top.subfolders[top.nextSubfolder++];
        const std::string path = childPath(top.path, name);
        std::error_code ec;
        std::string identity = (fs::path(top.identity) / name).string();
        if (fs::is_symlink(fs::path(path), ec)) {
            const fs::path target = fs::canonical(fs::path(path), ec);
            if (ec) {
                item = warningItem(path, failure("cannot open folder", ec));
                return true;
            }
            identity = target.string();
        }
        if (isBeingWalked(identity)) {
            item = warningItem(path, "symbolic link loop");
            return true;
        }
        std::string reason;
        if (!enter(path, std::move(identity), reason)) {
            item = warningItem(path, std::move(reason));
            return true;
        }
    }
    return false;
}
