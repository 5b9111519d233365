#include "engine/SFolderWalker.h"

#include "tagtext/SAscii.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A failure message that names what failed.
std::string failure(const char* what, const std::error_code& ec) {
    return std::string(what) + ": " + ec.message();
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
    std::error_code ec;
    fs::directory_iterator it(fs::path(path), ec);
    if (ec) {
        reason = failure("cannot open folder", ec);
        return false;
    }
    Folder folder;
    folder.path = path;
    folder.identity = std::move(identity);
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const std::string name = it->path().filename().string();
        // The entry's cached type spares a stat() per entry; only links are followed.
        std::error_code statusError;
        if (it->is_directory(statusError)) {
            if (m_includeSubfolders && name.front() != '.')
                folder.subfolders.push_back(name);
        } else if (hasSchematicExtension(name)) {
            SWalkItem item{childPath(path, name), {}};
            if (statusError)
                item.reason = failure("cannot open", statusError);
            else if (!it->is_regular_file(statusError))
                item.reason = "not a regular file";
            folder.files.push_back(std::move(item));
        }
    }
    // Names within a folder share the prefix, so path order is name order.
    std::sort(folder.files.begin(), folder.files.end(),
              [](const SWalkItem& a, const SWalkItem& b) { return a.path < b.path; });
    std::sort(folder.subfolders.begin(), folder.subfolders.end());
    if (ec) // what could be listed is still walked, after saying the listing broke off
        folder.files.insert(folder.files.begin(),
                            SWalkItem{path, failure("cannot read folder", ec)});
    m_stack.push_back(std::move(folder));
    return true;
}

bool SFolderWalker::next(SWalkItem& item) {
    if (!m_started) {
        m_started = true;
        std::error_code ec;
        const fs::path resolved = fs::canonical(fs::path(m_root), ec);
        std::string reason;
        if (!enter(m_root, ec ? m_root : resolved.string(), reason)) {
            item = SWalkItem{m_root, std::move(reason)};
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
                item = SWalkItem{path, failure("cannot open folder", ec)};
                return true;
            }
            identity = target.string();
        }
        if (isBeingWalked(identity)) {
            item = SWalkItem{path, "symbolic link loop"};
            return true;
        }
        std::string reason;
        if (!enter(path, std::move(identity), reason)) {
            item = SWalkItem{path, std::move(reason)};
            return true;
        }
    }
    return false;
}
