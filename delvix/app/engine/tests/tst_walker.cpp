#include "TempTree.h"
#include "engine/SFolderWalker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Every item of a walk, as "path" for files and "path: reason" for warnings, relative to root.
std::vector<std::string> walk(const TempTree& tree, bool subfolders = true) {
    SFolderWalker walker(tree.root(), subfolders, nullptr);
    std::vector<std::string> items;
    SWalkItem item;
    const size_t prefix = tree.root().size() + 1;
    while (walker.next(item)) {
        std::string rel = item.path.size() > prefix ? item.path.substr(prefix) : item.path;
        items.push_back(item.isWarning() ? rel + ": " + item.reason : rel);
    }
    return items;
}

TEST(SchematicExtension, LastDotAndCase) {
    struct Case {
        const char* name;
        bool searched;
    };
    const Case cases[] = {
        {"a.kx2", true},   {"a.KX2", true},   {"a.Kx2", true},      {".kx2", true},
        {"a.b.kx2", true}, {"a.kx2x", false}, {"a.kx2.bak", false}, {"a.kx", false},
        {"akx2", false},   {"a.km2", false},  {"a.kx2 ", false},    {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SFolderWalker::hasSchematicExtension(c.name), c.searched) << c.name;
}

TEST(FolderWalker, FilesBeforeSubfoldersInByteOrder) {
    TempTree tree;
    for (const char* f : {"b.kx2", "B.kx2", "a.KX2", "\xc3\xa9.kx2", "_.kx2", "note.txt", "x.kx2x",
                          "sub2/z.kx2", "sub1/y.kx2", "sub1/deep/w.kx2", "sub1/v.kx2", "Sub0/u.kx2",
                          ".hidden/h.kx2", ".h.kx2", "dir.kx2/in.kx2"})
        tree.file(f);
    tree.folder("empty");
    const std::vector<std::string> expected = {
        ".h.kx2",     "B.kx2",        "_.kx2",           "a.KX2",
        "b.kx2",      "\xc3\xa9.kx2", "Sub0/u.kx2",      "dir.kx2/in.kx2",
        "sub1/v.kx2", "sub1/y.kx2",   "sub1/deep/w.kx2", "sub2/z.kx2",
    };
    EXPECT_EQ(walk(tree), expected);
    EXPECT_EQ(walk(tree, false), (std::vector<std::string>{".h.kx2", "B.kx2", "_.kx2", "a.KX2",
                                                           "b.kx2", "\xc3\xa9.kx2"}));
}

TEST(FolderWalker, TrailingSlashOnRootIsNotDoubled) {
    TempTree tree;
    tree.file("s/a.kx2");
    SFolderWalker walker(tree.root() + "/", true, nullptr);
    SWalkItem item;
    ASSERT_TRUE(walker.next(item));
    EXPECT_EQ(item.path, tree.root() + "/s/a.kx2");
}

TEST(FolderWalker, MissingRootIsOneWarning) {
    TempTree tree;
    SFolderWalker walker(tree.path("nope"), true, nullptr);
    SWalkItem item;
    ASSERT_TRUE(walker.next(item));
    EXPECT_EQ(item.path, tree.path("nope"));
    EXPECT_NE(item.reason.find("cannot open folder"), std::string::npos);
    EXPECT_FALSE(walker.next(item));
}

TEST(FolderWalker, SymlinkLoopsEndAndLinkedTreesAreWalked) {
    TempTree tree;
    tree.file("a/f.kx2");
    tree.file("other/g.kx2");
    fs::create_directory_symlink(tree.path("a"), tree.path("a/back"));
    fs::create_directory_symlink("..", tree.path("a/up"));
    fs::create_directory_symlink(tree.path("other"), tree.path("a/side"));
    fs::create_symlink(tree.path("nowhere.kx2"), tree.path("dangling.kx2"));
    fs::create_symlink(tree.path("a/f.kx2"), tree.path("linked.kx2"));
    const std::vector<std::string> items = walk(tree);
    const std::vector<std::string> expected = {
        "dangling.kx2: cannot open: No such file or directory",
        "linked.kx2",
        "a/f.kx2",
        "a/back: symbolic link loop",
        "a/side/g.kx2",
        "a/up: symbolic link loop",
        "other/g.kx2",
    };
    EXPECT_EQ(items, expected);
}

TEST(FolderWalker, UnreadableFolderIsAWarningAndTheWalkGoesOn) {
    TempTree tree;
    tree.file("a/locked/x.kx2");
    tree.file("b/y.kx2");
    fs::permissions(tree.path("a/locked"), fs::perms::none);
    std::error_code ec;
    fs::directory_iterator probe(tree.path("a/locked"), ec);
    if (!ec)
        GTEST_SKIP() << "permissions are not enforced for this user";
    const std::vector<std::string> items = walk(tree);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].rfind("a/locked: cannot open folder:", 0), 0u) << items[0];
    EXPECT_EQ(items[1], "b/y.kx2");
}

TEST(FolderWalker, StopEndsTheWalk) {
    TempTree tree;
    tree.file("a.kx2");
    tree.file("b.kx2");
    std::atomic<bool> stop{false};
    SFolderWalker walker(tree.root(), true, &stop);
    SWalkItem item;
    ASSERT_TRUE(walker.next(item));
    stop = true;
    EXPECT_FALSE(walker.next(item));
}

} // namespace
