#include "protocol/SHandoff.h"

#include "protocol/SHandoffMessage.h"

#include <filesystem>
#include <system_error>

namespace {

// The first peer of `marker` (except `skipPid`) that takes `path`.
std::optional<SPeer> firstTaker(SPeerTransport& transport, std::string_view marker,
                                const std::string& path, int64_t skipPid) {
    const std::string line = SHandoffMessage::copyData(SHandoffMessage::kOfferPath, path);
    for (const SPeer& peer : transport.peers(marker)) {
        if (peer.pid == skipPid)
            continue;
        const auto answer = transport.request(peer, line);
        if (answer && SHandoffMessage::parseReply(*answer).value_or(false))
            return peer;
    }
    return std::nullopt;
}

std::string inFolder(const std::string& folder, std::string_view name) {
    if (folder.empty() || folder.back() == '/')
        return folder + std::string(name);
    return folder + "/" + std::string(name);
}

// A regular file that someone may execute.
bool isProgram(const std::string& path) {
    std::error_code ec;
    const auto st = std::filesystem::status(path, ec);
    using std::filesystem::perms;
    return !ec && std::filesystem::is_regular_file(st) &&
           (st.permissions() & (perms::owner_exec | perms::group_exec | perms::others_exec)) !=
               perms::none;
}

// `name` beside us, else in the first folder of `searchPath` that has it.
std::optional<std::string> findProgram(const std::string& ownFolder, std::string_view name,
                                       const char* searchPath) {
    if (const std::string beside = inFolder(ownFolder, name); isProgram(beside))
        return beside;
    std::string_view rest = searchPath ? searchPath : "";
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        // An empty entry would mean the current folder, which is not where programs are looked
        // for on a user's behalf.
        if (folder.empty() || folder.front() != '/')
            continue;
        if (const std::string candidate = inFolder(std::string(folder), name); isProgram(candidate))
            return candidate;
    }
    return std::nullopt;
}

} // namespace

namespace SHandoff {

std::string editorProgram(const std::string& ownFolder) {
    return inFolder(ownFolder, "korvex");
}

std::string editorProgram(const std::string& ownFolder, const std::string& configured,
                          const char* searchPath) {
    if (!configured.empty()) {
        if (configured.find('/') != std::string::npos)
            return configured;
        if (const auto found = findProgram(ownFolder, configured, searchPath))
            return *found;
        return configured;
    }
    const std::string korvex = editorProgram(ownFolder);
    if (isProgram(korvex))
        return korvex;
    return findProgram(ownFolder, "kxview", searchPath).value_or(korvex);
}

SHandoffOutcome showHit(SPeerTransport& transport, const std::string& program,
                        const std::string& path, int32_t x, int32_t y) {
    const std::string position = SHandoffMessage::position(SHandoffMessage::positionParam(x, y));
    if (const auto taker = firstTaker(transport, SPeerDirectory::kEditorMarker, path, -1)) {
        transport.request(*taker, position);
        return SHandoffOutcome::Offered;
    }
    const auto pid = transport.start(program, {path});
    if (!pid)
        return SHandoffOutcome::NotStarted;
    const auto started =
        transport.waitForPeer(SPeerDirectory::kEditorMarker, *pid, kStartTimeoutMs);
    if (!started)
        return SHandoffOutcome::StartedNoPosition;
    transport.request(*started, position);
    return SHandoffOutcome::Started;
}

std::optional<SPeer> offerFolder(SPeerTransport& transport, const std::string& folder,
                                 int64_t ownPid) {
    return firstTaker(transport, SPeerDirectory::kDelvixMarker, folder, ownPid);
}

} // namespace SHandoff
