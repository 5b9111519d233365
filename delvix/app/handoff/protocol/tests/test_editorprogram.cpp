#include "protocol/SHandoff.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// A scratch tree: own/ (where Delvix is), bin1/ and bin2/ (PATH folders).
class EditorProgramTree {
public:
    EditorProgramTree()
        : m_root(fs::temp_directory_path() / ("kx-editorprogram-" + std::to_string(::getpid()))) {
        fs::remove_all(m_root);
        for (const char* d : {"own", "bin1", "bin2"})
            fs::create_directories(m_root / d);
    }
    ~EditorProgramTree() { fs::remove_all(m_root); }

    std::string path(const std::string& rel) const { return (m_root / rel).string(); }
    void put(const std::string& rel, bool executable) const {
        std::ofstream(m_root / rel) << "#!/bin/sh\n";
        fs::permissions(m_root / rel, executable ? fs::perms::owner_all
                                                 : fs::perms::owner_read | fs::perms::owner_write);
    }
    std::string searchPath() const { return "relative/bin:" + path("bin1") + "::" + path("bin2"); }

private:
    fs::path m_root;
};

} // namespace

TEST(EditorProgram, KorvexFirstThenOurViewerThenTheSetting) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, bool>> files; // relative path, executable
        std::string configured;
        std::string want; // relative to the tree, or as is when it starts with "="
    } cases[] = {
        {"korvex beside us wins", {{"own/korvex", true}, {"own/kxview", true}}, "", "own/korvex"},
        {"a korvex we cannot run is passed over",
         {{"own/korvex", false}, {"own/kxview", true}},
         "",
         "own/kxview"},
        {"kxview from PATH, folders in order", {{"bin2/kxview", true}}, "", "bin2/kxview"},
        {"first PATH folder that has it",
         {{"bin1/kxview", true}, {"bin2/kxview", true}},
         "",
         "bin1/kxview"},
        {"nothing anywhere: korvex as before", {}, "", "own/korvex"},
        {"a configured path is taken as is",
         {{"own/korvex", true}},
         "/opt/cad/editor",
         "=/opt/cad/editor"},
        {"a configured name beside us",
         {{"own/myedit", true}, {"bin1/myedit", true}},
         "myedit",
         "own/myedit"},
        {"a configured name on PATH", {{"bin2/myedit", true}}, "myedit", "bin2/myedit"},
        {"a configured name found nowhere stays a name",
         {{"own/kxview", true}},
         "myedit",
         "=myedit"},
    };
    for (const Case& c : cases) {
        const EditorProgramTree tree;
        for (const auto& [rel, exec] : c.files)
            tree.put(rel, exec);
        const std::string want = c.want[0] == '=' ? c.want.substr(1) : tree.path(c.want);
        EXPECT_EQ(
            SHandoff::editorProgram(tree.path("own"), c.configured, tree.searchPath().c_str()),
            want)
            << c.what;
    }
}

TEST(EditorProgram, NoSearchPathAtAll) {
    const EditorProgramTree tree;
    EXPECT_EQ(SHandoff::editorProgram(tree.path("own"), "", nullptr), tree.path("own/korvex"));
    EXPECT_EQ(SHandoff::editorProgram(tree.path("own") + "/", "", ""), tree.path("own/korvex"));
}
