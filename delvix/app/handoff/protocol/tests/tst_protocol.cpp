#include "protocol/SCmdLineParam.h"
#include "protocol/SHandoff.h"
#include "protocol/SHandoffMessage.h"
#include "protocol/SPeerDirectory.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

TEST(HandoffMessage, EscapeRoundTripsEveryByte) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    const std::string escaped = SHandoffMessage::escape(all);
    EXPECT_EQ(escaped.find_first_of(" \n\r\t"), std::string::npos);
    EXPECT_EQ(SHandoffMessage::unescape(escaped), all);
    EXPECT_EQ(SHandoffMessage::escape("/a b/100%.kx2"), "/a%20b/100%25.kx2");
}

TEST(HandoffMessage, ParsesRequests) {
    struct Case {
        std::string line;
        bool valid;
        SHandoffRequest::Kind kind;
        int64_t dwData;
        std::string path;
        uint32_t position;
    };
    using K = SHandoffRequest::Kind;
    const Case cases[] = {
        {"COPYDATA 1 /x/a%20b.kx2\n", true, K::CopyData, 1, "/x/a b.kx2", 0},
        {"COPYDATA 7 /x\r\n", true, K::CopyData, 7, "/x", 0},
        {"COPYDATA 1 \n", true, K::CopyData, 1, "", 0},
        {"POSITION 55706830\n", true, K::Position, 0, "", 55706830},
        {"POSITION 4294967295", true, K::Position, 0, "", 4294967295u},
        {"POSITION 4294967296\n", false, K::Position, 0, "", 0},
        {"POSITION -1\n", false, K::Position, 0, "", 0},
        {"POSITION 12x\n", false, K::Position, 0, "", 0},
        {"COPYDATA 1 /x%2\n", false, K::CopyData, 0, "", 0},
        {"COPYDATA x /x\n", false, K::CopyData, 0, "", 0},
        {"COPYDATA 1\n", false, K::CopyData, 0, "", 0},
        {"copydata 1 /x\n", false, K::CopyData, 0, "", 0},
        {"", false, K::CopyData, 0, "", 0},
    };
    for (const Case& c : cases) {
        const auto r = SHandoffMessage::parseRequest(c.line);
        ASSERT_EQ(r.has_value(), c.valid) << c.line;
        if (!r)
            continue;
        EXPECT_EQ(r->kind, c.kind) << c.line;
        EXPECT_EQ(r->dwData, c.dwData) << c.line;
        EXPECT_EQ(r->path, c.path) << c.line;
        EXPECT_EQ(r->position, c.position) << c.line;
    }
    const auto back = SHandoffMessage::parseRequest(SHandoffMessage::copyData(1, "\xe6\x97\xa5 %"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->path, "\xe6\x97\xa5 %");
}

TEST(HandoffMessage, RepliesAndPosition) {
    EXPECT_EQ(SHandoffMessage::parseReply("1\n"), true);
    EXPECT_EQ(SHandoffMessage::parseReply("0"), false);
    EXPECT_EQ(SHandoffMessage::parseReply("2\n"), std::nullopt);
    EXPECT_EQ(SHandoffMessage::parseReply(""), std::nullopt);
    EXPECT_EQ(SHandoffMessage::positionParam(1230, 850), 850u * 65536u + 1230u);
    EXPECT_EQ(SHandoffMessage::positionParam(0, 0), 0u);
    EXPECT_EQ(SHandoffMessage::positionParam(-1, 0), 0xFFFFu);
    EXPECT_EQ(SHandoffMessage::positionParam(0x12345, 0x10002), 0x00022345u);
}

TEST(PeerDirectory, NamesAndFolder) {
    EXPECT_EQ(SPeerDirectory::folderFor("/run/user/1000", 1000), "/run/user/1000/vennhald");
    EXPECT_EQ(SPeerDirectory::folderFor(nullptr, 1000), "/tmp/vennhald-1000");
    EXPECT_EQ(SPeerDirectory::folderFor("relative", 7), "/tmp/vennhald-7");
    EXPECT_EQ(SPeerDirectory::socketName("Delvix-Vennhald", 4242), "Delvix-Vennhald.4242");
    const struct {
        const char* name;
        std::optional<int64_t> pid;
    } cases[] = {
        {"Korvex-Vennhald.4242", 4242},       {"Korvex-Vennhald.", std::nullopt},
        {"Korvex-Vennhald.0", std::nullopt},  {"Korvex-Vennhald.12a", std::nullopt},
        {"Korvex-Vennhald.-3", std::nullopt}, {"Delvix-Vennhald.12", std::nullopt},
        {"korvex-vennhald.12", std::nullopt}, {"Korvex-Vennhald12", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SPeerDirectory::parseSocketName(c.name, SPeerDirectory::kEditorMarker), c.pid)
            << c.name;
}

TEST(PeerDirectory, ListsOnlySocketsOfTheMarker) {
    const fs::path dir = fs::temp_directory_path() / ("kx-peers-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "Korvex-Vennhald.77"); // a plain file is no socket
    EXPECT_TRUE(SPeerDirectory::list(dir.string(), SPeerDirectory::kEditorMarker).empty());
    EXPECT_TRUE(SPeerDirectory::list((dir / "missing").string(), "X").empty());
    fs::remove_all(dir);
}

TEST(CmdLineParam, SwitchesIgnoredLastPlainArgumentWins) {
    const struct {
        std::vector<std::string> args;
        bool hasPath;
        std::string path;
    } cases[] = {
        {{}, false, ""},
        {{"-x", "--help", "/nothing"}, true, "/nothing"},
        {{"/a", "-b", "/c"}, true, "/c"},
        {{"/a", "/b", "-"}, true, "/b"},
        {{"-/a"}, false, ""},
        {{""}, true, ""},
    };
    for (const auto& c : cases) {
        SCmdLineParam p;
        p.parse(c.args);
        EXPECT_EQ(p.hasPath(), c.hasPath);
        EXPECT_EQ(p.path(), c.path);
    }
}

TEST(CmdLineParam, FolderOfAFileIsItsFolder) {
    const fs::path dir = fs::temp_directory_path() / ("kx-cmd-" + std::to_string(::getpid()));
    fs::create_directories(dir / "Sub");
    std::ofstream(dir / "Sub" / "a.kx2");
    const std::string sub = (dir / "Sub").string();
    EXPECT_EQ(SCmdLineParam::folderOf(sub + "/a.kx2"), sub);
    EXPECT_EQ(SCmdLineParam::folderOf(sub), sub);
    EXPECT_EQ(SCmdLineParam::folderOf(sub + "/"), sub);
    EXPECT_EQ(SCmdLineParam::folderOf(sub + "/../Sub/./a.kx2"), sub);
    EXPECT_EQ(SCmdLineParam::folderOf("/a.kx2"), "/");
    EXPECT_EQ(SCmdLineParam::folderOf(""), "");
    EXPECT_EQ(SCmdLineParam::folderOf("rel.kx2"), fs::current_path().string());
    fs::remove_all(dir);
}

namespace {

// A scripted platform: peers with fixed answers, and a program that may or may not start.
class FakeTransport : public SPeerTransport {
public:
    std::map<std::string, std::vector<SPeer>> listed;
    std::map<int64_t, std::optional<std::string>> answers; // by pid; nullopt: stale
    bool programStarts = false;
    bool startedPeerAppears = false;
    std::vector<std::string> log;

    std::vector<SPeer> peers(std::string_view marker) override {
        return listed[std::string(marker)];
    }
    std::optional<std::string> request(const SPeer& peer, const std::string& line) override {
        log.push_back(std::to_string(peer.pid) + " " + line);
        return answers[peer.pid];
    }
    std::optional<int64_t> start(const std::string& program,
                                 const std::vector<std::string>& args) override {
        log.push_back("start " + program + " " + args.at(0));
        if (!programStarts)
            return std::nullopt;
        return 900;
    }
    std::optional<SPeer> waitForPeer(std::string_view, int64_t pid, int timeoutMs) override {
        log.push_back("wait " + std::to_string(pid) + " " + std::to_string(timeoutMs));
        if (!startedPeerAppears)
            return std::nullopt;
        return SPeer{pid, "s"};
    }
};

const std::string kEditor(SPeerDirectory::kEditorMarker);
const std::string kDelvix(SPeerDirectory::kDelvixMarker);

} // namespace

TEST(Handoff, FirstTakerGetsThePosition) {
    FakeTransport t;
    t.listed[kEditor] = {{10, "a"}, {11, "b"}, {12, "c"}};
    t.answers = {{10, std::nullopt}, {11, "0\n"}, {12, "1\n"}};
    EXPECT_EQ(SHandoff::showHit(t, "/bin/korvex", "/s/x.kx2", 1230, 850), SHandoffOutcome::Offered);
    const std::vector<std::string> expected = {
        "10 COPYDATA 1 /s/x.kx2\n", "11 COPYDATA 1 /s/x.kx2\n", "12 COPYDATA 1 /s/x.kx2\n",
        "12 POSITION 55706830\n"};
    EXPECT_EQ(t.log, expected);
}

TEST(Handoff, StartsTheEditorWhenNobodyTakesTheFile) {
    const struct {
        bool starts;
        bool appears;
        SHandoffOutcome outcome;
        size_t calls;
    } cases[] = {
        {false, false, SHandoffOutcome::NotStarted, 2},
        {true, false, SHandoffOutcome::StartedNoPosition, 3},
        {true, true, SHandoffOutcome::Started, 4},
    };
    for (const auto& c : cases) {
        FakeTransport t;
        t.listed[kEditor] = {{10, "a"}};
        t.answers = {{10, "0\n"}};
        t.programStarts = c.starts;
        t.startedPeerAppears = c.appears;
        EXPECT_EQ(SHandoff::showHit(t, "/bin/korvex", "/s/x.kx2", 1, 2), c.outcome);
        ASSERT_EQ(t.log.size(), c.calls);
        EXPECT_EQ(t.log[1], "start /bin/korvex /s/x.kx2");
        if (c.starts) {
            EXPECT_EQ(t.log[2], "wait 900 5000");
        }
        if (c.appears) {
            EXPECT_EQ(t.log[3], "900 POSITION 131073\n");
        }
    }
}

TEST(Handoff, FolderOfferSkipsOwnWindow) {
    FakeTransport t;
    t.listed[kDelvix] = {{5, "own"}, {6, "other"}};
    t.answers = {{5, "1\n"}, {6, "1\n"}};
    const auto taker = SHandoff::offerFolder(t, "/f", 5);
    ASSERT_TRUE(taker);
    EXPECT_EQ(taker->pid, 6);
    EXPECT_EQ(t.log, std::vector<std::string>{"6 COPYDATA 1 /f\n"});
    t.answers[6] = "0\n";
    EXPECT_FALSE(SHandoff::offerFolder(t, "/f", 5));
    EXPECT_EQ(SHandoff::editorProgram("/opt/v"), "/opt/v/korvex");
    EXPECT_EQ(SHandoff::editorProgram("/"), "/korvex");
}
