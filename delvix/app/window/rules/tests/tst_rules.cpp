#include "rules/SDelvixRules.h"
#include "rules/SResultExport.h"
#include "rules/SResultOrder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

TEST(ResultOrder, MultibyteCompare) {
    constexpr auto kU = SXKorvEncoding::Utf8;
    constexpr auto kS = SXKorvEncoding::ShiftJis;
    const struct {
        const char* a;
        const char* b;
        SXKorvEncoding enc;
        int sign;
    } cases[] = {
        {"abc", "abd", kU, -1},
        {"abc", "abc", kU, 0},
        {"ab", "abc", kU, -1},
        {"b", "abc", kU, 1},
        {"B", "a", kU, -1},           // no case folding
        {"\xc3\xa9", "z", kU, 1},     // bytes above 0x7F sort after ASCII
        {"\xb1", "\x82\xa0", kU, 1},  // byte order: 0xB1 > 0x82
        {"\xb1", "\x82\xa0", kS, -1}, // half-width katakana below a double-byte character
        {"\x82\xa0", "\x82\xa1", kS, -1},
        {"\x82", "\x82\xa0", kS, -1}, // a lone lead byte at the end is one byte
        {"a\x82\xa0", "a\xb1", kS, 1},
        {"\x82\xa0x", "\x82\xa0y", kS, -1},
        {"\x81\x82\xa0", "\x81\x82\xa1", kS, -1}, // 0x8182, then 0xa0 against 0xa1
        {"\x81\x82", "\x81\xb1", kS, -1},         // trail bytes differ: 0x8182 < 0x81b1
    };
    for (const auto& c : cases) {
        const int r = SResultOrder::compare(c.a, c.b, c.enc);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " / " << c.b;
        const int back = SResultOrder::compare(c.b, c.a, c.enc);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " / " << c.a;
    }
}

TEST(ResultOrder, HeaderClicksAndColumns) {
    std::vector<std::unique_ptr<SSearchResult>> r;
    const auto add = [&r](std::string path, std::string text, std::string type) {
        r.push_back(std::make_unique<SSearchResult>(SSearchResult{path, text, type, 0, 0}));
    };
    add("/t/b/very/long/x.kx2", "R1", "RefNum");
    add("/t/a.kx2", "C5", "Value");
    add("/t/b/a.kx2", "R1", "Tag");
    add("/t/a.kx2", "a", "Value");
    SResultOrder order;
    EXPECT_EQ(order.column(), SResultOrder::kPath);
    EXPECT_TRUE(order.ascending());
    const auto check = [&](std::vector<uint32_t> expected) {
        EXPECT_EQ(order.sorted(r, SXKorvEncoding::Utf8), expected)
            << order.column() << " " << order.ascending();
    };
    check({1, 3, 2, 0}); // full paths, equal ones kept in arrival order
    order.click(SResultOrder::kPath);
    EXPECT_FALSE(order.ascending());
    check({0, 2, 1, 3});
    order.click(SResultOrder::kText);
    EXPECT_TRUE(order.ascending());
    check({1, 0, 2, 3});
    order.click(SResultOrder::kText);
    check({3, 0, 2, 1});
    order.click(SResultOrder::kType);
    check({0, 2, 1, 3});
}

TEST(ResultExport, SameLineAsTheCommandLineTool) {
    EXPECT_EQ(SResultExport::line("/a b/c.kx2", "R1", "RefNum", 1230, -850),
              "/a b/c.kx2\tR1\tRefNum\t1230\t-850\n");
    EXPECT_EQ(SResultExport::line("/p%\t", "x\r\ny\x1b\x7f", "Note", 0, 0),
              "/p%25%09\tx%0D%0Ay%1B%7F\tNote\t0\t0\n");
}

TEST(DelvixRules, SettingsFileLocation) {
    std::random_device seed;
    const fs::path root = fs::temp_directory_path() / ("kx_rules_" + std::to_string(seed()));
    const std::string config = (root / "config").string();
    const std::string program = (root / "bin").string();
    fs::create_directories(root / "bin");
    const std::string user = config + "/VennhaldVIVAZI/Delvix.INI";
    // Neither exists: the user's file, to be created.
    EXPECT_EQ(SDelvixRules::settingsPath(config, program), user);
    // Only the one beside the program exists: it is used.
    std::ofstream(root / "bin" / "Delvix.INI") << "[Find]\n";
    EXPECT_EQ(SDelvixRules::settingsPath(config, program), program + "/Delvix.INI");
    // The user's file wins once it exists.
    fs::create_directories(root / "config" / "VennhaldVIVAZI");
    std::ofstream(user) << "[Find]\n";
    EXPECT_EQ(SDelvixRules::settingsPath(config, program), user);
    fs::remove_all(root);
}

TEST(DelvixRules, OnlyStopWhileRunning) {
    const auto running = SDelvixRules::controlStates(true);
    const auto idle = SDelvixRules::controlStates(false);
    const bool runningFlags[] = {running.start,  running.ref,    running.option, running.exit,
                                 running.folder, running.search, running.list};
    const bool idleFlags[] = {idle.start,  idle.ref,    idle.option, idle.exit,
                              idle.folder, idle.search, idle.list};
    for (bool f : runningFlags)
        EXPECT_FALSE(f);
    for (bool f : idleFlags)
        EXPECT_TRUE(f);
    EXPECT_TRUE(running.stop);
    EXPECT_FALSE(idle.stop);
}
