#include "protocol/SHandoff.h"

#include "protocol/SHandoffMessage.h"

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

} // namespace

namespace SHandoff {

std::string editorProgram(const std::string& ownFolder) {
    if (ownFolder.empty() || ownFolder.back() == '/')
        return ownFolder + "korvex";
    return ownFolder + "/korvex";
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
