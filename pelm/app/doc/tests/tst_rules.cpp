#include "doc/SCompPropertyData.h"
#include "doc/SPelmFileRules.h"
#include "doc/SPelmSettings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace fs = std::filesystem;
using Error = SCompPropertyData::Error;

TEST(CompPropertyData, ChecksNameThenSizeThenBlocks) {
    struct Case {
        std::string name;
        int32_t width, height, blocks;
        Error expected;
    } const cases[] = {
        {"74HC00", 2, 2, 1, Error::None},
        {"A!~", 255, 1, 255, Error::None},
        {std::string(32, 'X'), 1, 1, 1, Error::None},
        {std::string(33, 'X'), 1, 1, 1, Error::Name},
        {"", 2, 2, 1, Error::Name},
        {"A B", 2, 2, 1, Error::Name},
        {"A{", 2, 2, 1, Error::Name},
        {"A}", 2, 2, 1, Error::Name},
        {"A\t", 2, 2, 1, Error::Name},
        {"\x82\xa0", 2, 2, 1, Error::Name},
        {"BAD NAME", 0, 2, 0, Error::Name},
        {"OK", 0, 2, 1, Error::Size},
        {"OK", 256, 2, 1, Error::Size},
        {"OK", 2, -1, 1, Error::Size},
        {"OK", 2, 2, 0, Error::BlockCount},
        {"OK", 2, 2, 256, Error::BlockCount},
    };
    for (const Case& c : cases) {
        SCompPropertyData data;
        data.name = c.name;
        data.width = c.width;
        data.height = c.height;
        data.blockCount = c.blocks;
        EXPECT_EQ(data.validate(), c.expected) << c.name << " " << c.width << " " << c.blocks;
    }
}

TEST(PelmFileRules, ExtensionsAndProposedNames) {
    struct Case {
        std::string path;
        bool isSchematic, isTemporary;
        std::string proposed;
    } const cases[] = {
        {"/a/lib.KM2", false, false, "/a/lib.KM2"},
        {"/a/lib.km2", false, false, "/a/lib.km2"},
        {"/a/sheet.kx2", true, false, "/a/sheet.KM2"},
        {"/a/sheet.KX2", true, false, "/a/sheet.KM2"},
        {"/a/work.TmP", false, true, "/a/work.KM2"},
        {"/a.b/noext", false, false, "/a.b/noext.KM2"},
        {"/a/.hidden", false, false, "/a/.hidden.KM2"},
        {"", false, false, "Untitled.KM2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SPelmFileRules::hasExtension(c.path, ".KX2"), c.isSchematic) << c.path;
        EXPECT_EQ(SPelmFileRules::isTemporaryFile(c.path), c.isTemporary) << c.path;
        EXPECT_EQ(SPelmFileRules::proposedSaveAsName(c.path), c.proposed) << c.path;
    }
}

TEST(PelmSettings, LocatesTheSettingsFile) {
    const SPelmSettings::Places places{"/opt/pelm", "/home/u/work", "/home/u/.config"};
    const fs::path cwdFile = "/home/u/work/PELM.INI";
    const fs::path userFile = "/home/u/.config/VennhaldVIVAZI/PELM.INI";
    const fs::path programFile = "/opt/pelm/PELM.INI";
    struct Case {
        std::set<fs::path> existing;
        fs::path expected;
    } const cases[] = {
        {{cwdFile, userFile, programFile}, cwdFile},
        {{userFile, programFile}, userFile},
        {{programFile}, programFile},
        {{}, userFile},
    };
    for (const Case& c : cases) {
        const auto exists = [&](const fs::path& p) { return c.existing.count(p) > 0; };
        EXPECT_EQ(SPelmSettings::locate(places, exists), c.expected);
    }
    // Started in the program's folder: its own file is not taken as the current folder's.
    const SPelmSettings::Places inProgram{"/opt/pelm", "/opt/pelm/", "/home/u/.config"};
    const auto both = [&](const fs::path& p) { return p == programFile || p == userFile; };
    EXPECT_EQ(SPelmSettings::locate(inProgram, both), userFile);
}

TEST(PelmSettings, WindowSizeFloorKeepsSystemChoice) {
    EXPECT_EQ(SPelmSettings::startWidth(200), 400);
    EXPECT_EQ(SPelmSettings::startWidth(800), 800);
    EXPECT_EQ(SPelmSettings::startWidth(SPelmSettings::kDefaultSize), SPelmSettings::kDefaultSize);
    EXPECT_EQ(SPelmSettings::startHeight(-5), 300);
    EXPECT_EQ(SPelmSettings::startHeight(SPelmSettings::kDefaultSize), SPelmSettings::kDefaultSize);
    EXPECT_TRUE(SPelmSettings::startMaximized(3));
    EXPECT_FALSE(SPelmSettings::startMaximized(2));
}
