#include "PelmDocFakes.h"

#include "doc/SPelmDoc.h"
#include "model/SCompClipboard.h"
#include "model/SCompInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Answer = SPelmUi::Answer;

namespace {

const std::string kLibrary = "+KORVX_LIB_V.1.0\n"
                             "PROP:first\n"
                             "+COMP,N:B,X:1,Y:1,B:1,NOTE:note%20b,-COMP\n"
                             "+COMP,N:A,X:2,Y:2,B:1,-COMP\n"
                             "+ALIAS,A:C,N:A,-ALIAS\n"
                             "-KORVX_LIB_V.1.0\n";

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class PelmDocTest : public ::testing::Test {
protected:
    PelmDocTest() : doc(view, ui, clipboard) {
        std::random_device random;
        dir = fs::temp_directory_path() / ("kx_pelmdoc_" + std::to_string(random()));
        fs::create_directories(dir);
    }
    ~PelmDocTest() override {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }
    std::string file(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    }
    std::string names() const {
        std::string out;
        for (const SCompIndex* e : doc.order())
            out += e->name() + " ";
        return out;
    }
    // Saves to a fresh file and returns the bytes written.
    std::string saved(const std::string& name = "out.KM2") {
        ui.savePaths.push_back((dir / name).string());
        EXPECT_TRUE(doc.saveAsCommand());
        return fileBytes(dir / name);
    }

    FakeView view;
    FakeUi ui;
    FakeClipboard clipboard;
    SPelmDoc doc;
    fs::path dir;
};

TEST_F(PelmDocTest, OpenShowsEntriesInFileOrderAndSelectsTheFirst) {
    ASSERT_TRUE(doc.openLibrary(file("lib.KM2", kLibrary)));
    EXPECT_EQ(names(), "B A C ");
    EXPECT_EQ(doc.selectedIndex(), 0);
    EXPECT_EQ(view.shown, doc.order()[0]);
    EXPECT_EQ(doc.currentNote(), "note b");
    EXPECT_EQ(doc.title(), "Pelm - " + (dir / "lib.KM2").string());
    EXPECT_FALSE(doc.isModified());
}

TEST_F(PelmDocTest, SaveIsByteExactAndAliasesFollowListOrder) {
    doc.openLibrary(file("lib.KM2", kLibrary));
    const std::string first = saved("one.KM2");
    doc.openLibrary((dir / "one.KM2").string());
    EXPECT_EQ(saved("two.KM2"), first);
    EXPECT_NE(first.find("+ALIAS,A:C,N:A,-ALIAS\r\n"), std::string::npos) << first;

    // The alias moved before its main name becomes the component, the main name its alias.
    doc.selectEntry(2);
    doc.moveUp();
    EXPECT_EQ(names(), "B C A ");
    EXPECT_TRUE(doc.isModified());
    const std::string moved = saved("three.KM2");
    EXPECT_NE(moved.find("+COMP,N:C"), std::string::npos);
    EXPECT_NE(moved.find("+ALIAS,A:A,N:C,-ALIAS"), std::string::npos) << moved;
    EXPECT_FALSE(doc.isModified());
}

TEST_F(PelmDocTest, SaveChangesAnswers) {
    struct Case {
        Answer answer;
        bool savePathGiven;
        bool allowed;
        bool stillModified;
    } const cases[] = {
        {Answer::Cancel, false, false, true},
        {Answer::No, false, true, true},
        {Answer::Yes, true, true, false},
        {Answer::Yes, false, false, true}, // Yes, then the Save-as dialog cancelled
    };
    for (const Case& c : cases) {
        doc.newLibrary();
        doc.setModified(true);
        ui.saveAnswers = {c.answer};
        ui.savePaths = {c.savePathGiven ? std::optional<std::string>((dir / "x.KM2").string())
                                        : std::nullopt};
        EXPECT_EQ(doc.canCloseLibrary(), c.allowed) << int(c.answer);
        EXPECT_EQ(doc.isModified(), c.stillModified) << int(c.answer);
        doc.setModified(false);
    }
}

TEST_F(PelmDocTest, UnstoredEditCountsAsChange) {
    doc.openLibrary(file("lib.KM2", kLibrary));
    view.dirty = true;
    ui.saveAnswers = {Answer::Cancel};
    EXPECT_FALSE(doc.canCloseLibrary());
    EXPECT_EQ(ui.log.back(), "save-changes");
    EXPECT_TRUE(doc.isModified());
    EXPECT_FALSE(view.dirty);
}

TEST_F(PelmDocTest, SchematicSaveTurnsIntoSaveAs) {
    const std::string sheet = file("sheet.kx2", "+KORVX_DATA_V.1.0\n+COMPONENT\n" + kLibrary +
                                                    "-COMPONENT\n-KORVX_DATA_V.1.0\n");
    ASSERT_TRUE(doc.openLibrary(sheet));
    EXPECT_EQ(names(), "B A C ");
    const std::string before = fileBytes(sheet);
    ui.savePaths = {(dir / "sheet.KM2").string()};
    EXPECT_TRUE(doc.saveLibrary());
    EXPECT_EQ(ui.log.back(), "save-as:" + (dir / "sheet.KM2").string());
    EXPECT_EQ(fileBytes(sheet), before);
    // The new name is kept: the next Save asks nothing.
    ui.log.clear();
    EXPECT_TRUE(doc.saveLibrary());
    EXPECT_TRUE(ui.log.empty());
    EXPECT_EQ(doc.title(), "Pelm - " + (dir / "sheet.KM2").string());
}

TEST_F(PelmDocTest, TemporaryFileModeSavesBackWithoutSaveAs) {
    const std::string tmp = file("work.TMP", kLibrary);
    doc.openLibrary(tmp);
    doc.setTemporaryFileMode(true);
    EXPECT_FALSE(doc.canSaveAs());
    EXPECT_FALSE(doc.saveAsCommand());
    doc.moveDown();
    EXPECT_TRUE(doc.saveLibrary());
    EXPECT_TRUE(ui.log.empty());
    EXPECT_EQ(fileBytes(tmp).substr(0, 18), "+KORVX_LIB_V.1.0\r\n");
    // New keeps the mode.
    doc.newLibrary();
    EXPECT_TRUE(doc.isTemporaryFileMode());
}

TEST_F(PelmDocTest, FailedSaveReportsAndKeepsModifiedMark) {
    doc.openLibrary(file("lib.KM2", kLibrary));
    doc.moveDown();
    ui.savePaths = {(dir / "lib.KM2" / "inside.KM2").string()};
    EXPECT_FALSE(doc.saveAsCommand());
    EXPECT_EQ(ui.log.back(), "cannot-save");
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.path(), (dir / "lib.KM2").string());
}

TEST_F(PelmDocTest, FailedSaveInReadOnlyFolderKeepsFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const std::string path = file("lib.KM2", kLibrary);
    doc.openLibrary(path);
    doc.moveDown();
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(doc.saveLibrary());
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(ui.log.back(), "cannot-save");
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(fileBytes(path), kLibrary);
}

TEST_F(PelmDocTest, UnreadableFileIsReportedAndTheShownLibraryStays) {
    doc.openLibrary(file("lib.KM2", kLibrary));
    EXPECT_FALSE(doc.openLibrary(file("junk.KM2", "hello\n")));
    EXPECT_FALSE(doc.openLibrary((dir / "missing.KM2").string()));
    EXPECT_EQ(ui.log, (std::vector<std::string>{"open-failed", "open-failed"}));
    EXPECT_EQ(names(), "B A C ");
}

TEST_F(PelmDocTest, PartialLoadWarnsAndAsksBeforeOverwriting) {
    const std::string text = "+KORVX_LIB_V.1.0\n+COMP,N:A,X:1,Y:1,B:1,-COMP\n"
                             "+ALIAS,N:A,-ALIAS\n+COMP,N:Z,-COMP\n";
    const std::string path = file("part.KM2", text);
    ASSERT_TRUE(doc.openLibrary(path));
    EXPECT_EQ(names(), "A ");
    EXPECT_EQ(ui.log.back(), "partial:3");
    EXPECT_TRUE(doc.isPartial());
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(doc.canCloseLibrary());

    ui.confirms = {false};
    EXPECT_FALSE(doc.saveLibrary());
    EXPECT_EQ(fileBytes(path), text);
    ui.confirms = {true};
    EXPECT_TRUE(doc.saveLibrary());
    EXPECT_NE(fileBytes(path), text);
    EXPECT_FALSE(doc.isPartial());
}

TEST_F(PelmDocTest, NewAndOpenStartWithTheFilesOwnProperty) {
    doc.openLibrary(file("lib.KM2", kLibrary));
    EXPECT_EQ(doc.library().property(), "first");
    doc.openLibrary(file("noprop.KM2", "+KORVX_LIB_V.1.0\n-KORVX_LIB_V.1.0\n"));
    EXPECT_EQ(doc.library().property(), "");
    ui.libraryText = "mine";
    doc.libraryProperty();
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.library().property(), "mine");
    ui.saveAnswers = {Answer::No};
    doc.newLibrary();
    EXPECT_EQ(doc.library().property(), "");
    EXPECT_EQ(doc.title(), "Pelm");
}

TEST_F(PelmDocTest, CutAliasAndLastEntryOfAComponent) {
    doc.openLibrary(file("lib.KM2", kLibrary));
    doc.selectEntry(2);
    doc.cutComponent();
    EXPECT_EQ(names(), "B A ");
    EXPECT_EQ(doc.library().componentCount(), 2);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.selectedIndex(), 1);
    EXPECT_TRUE(SCompClipboard::holdsComponent(clipboard.text));
    doc.cutComponent();
    EXPECT_EQ(names(), "B ");
    EXPECT_EQ(doc.library().componentCount(), 1);
    doc.cutComponent();
    EXPECT_EQ(doc.selectedIndex(), -1);
    EXPECT_EQ(view.shown, nullptr);
    EXPECT_FALSE(doc.hasSelection());
}

TEST_F(PelmDocTest, CopyPasteMakesAnIndependentNumberedComponent) {
    doc.openLibrary(file("lib.KM2", kLibrary));
    doc.selectEntry(1);
    doc.copyComponent();
    EXPECT_TRUE(doc.canPasteComponent());
    doc.pasteComponent();
    EXPECT_EQ(names(), "B A(1) A C ");
    EXPECT_EQ(doc.selectedIndex(), 1);
    EXPECT_EQ(doc.library().componentCount(), 3);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(view.selectionChanged, 1);

    // Nothing selected: appended at the end. Into another library, the name is kept.
    doc.selectEntry(-1);
    doc.pasteComponent();
    EXPECT_EQ(names(), "B A(1) A C A(2) ");
    ui.saveAnswers = {Answer::No};
    doc.newLibrary();
    doc.pasteComponent();
    EXPECT_EQ(names(), "A ");

    clipboard.text = std::string("+KORVX_DATA_V.1.0") + std::string(51, ' ');
    EXPECT_FALSE(doc.canPasteComponent());
}

TEST_F(PelmDocTest, AddAliasNewComponentAndProperty) {
    doc.openLibrary(file("lib.KM2", kLibrary));
    doc.selectEntry(1);
    ui.aliases = {"C"};
    doc.addAlias();
    EXPECT_EQ(ui.log.back(), "alias:A:NAME");
    EXPECT_EQ(names(), "B C(1) A C ");
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.order()[1]->component(), doc.order()[2]->component());

    doc.setModified(false);
    doc.newComponent(); // cancelled
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(names(), "B C(1) A C ");

    SCompPropertyData data;
    data.name = "B";
    data.width = 5;
    data.usePattern = true;
    data.number = "IC";
    ui.properties = {data};
    doc.selectEntry(0);
    doc.newComponent();
    EXPECT_EQ(names(), "B(1) B C(1) A C ");
    EXPECT_EQ(doc.selectedIndex(), 0);
    const SCompInfo* made = doc.order()[0]->component();
    EXPECT_EQ(made->size(), SSize(5, 2));
    EXPECT_NE(made->pattern(), nullptr);
    EXPECT_EQ(made->referencePrefix().value_or(""), "IC");

    data.name = "RENAMED";
    data.usePattern = false;
    ui.properties = {data};
    doc.componentProperty();
    EXPECT_EQ(ui.log.back(), "component:B(1)");
    EXPECT_EQ(names(), "RENAMED B C(1) A C ");
    EXPECT_EQ(made->pattern(), nullptr);
}

TEST_F(PelmDocTest, SortByNameIsByteOrderAndOpensTheFirst) {
    doc.openLibrary(file(
        "lib.KM2", "+KORVX_LIB_V.1.0\n+COMP,N:b,X:1,Y:1,B:1,-COMP\n+COMP,N:C,X:1,Y:1,B:1,-COMP\n"
                   "+COMP,N:a,X:1,Y:1,B:1,-COMP\n+COMP,N:A,X:1,Y:1,B:1,-COMP\n"));
    doc.selectEntry(2);
    view.dirty = true;
    ui.confirms = {false};
    doc.sortByName();
    EXPECT_EQ(names(), "b C a A ");
    ui.confirms = {true};
    doc.sortByName();
    EXPECT_EQ(names(), "A C a b ");
    EXPECT_EQ(doc.selectedIndex(), 0);
    EXPECT_EQ(view.shown, doc.order()[0]);
    EXPECT_EQ(view.stores, 1); // the edit in the view was stored before
    EXPECT_TRUE(doc.isModified());
}

TEST_F(PelmDocTest, EnablingRules) {
    EXPECT_FALSE(doc.hasSelection());
    EXPECT_FALSE(doc.canSort());
    doc.openLibrary(file("lib.KM2", kLibrary));
    EXPECT_TRUE(doc.canSort());
    EXPECT_FALSE(doc.canMoveUp());
    EXPECT_TRUE(doc.canMoveDown());
    doc.selectEntry(2);
    EXPECT_TRUE(doc.canMoveUp());
    EXPECT_FALSE(doc.canMoveDown());
}

} // namespace
