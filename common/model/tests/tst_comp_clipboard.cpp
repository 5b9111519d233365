#include "model/SCompClipboard.h"
#include "model/SCompIndex.h"
#include "model/SCompInfo.h"
#include "model/SCompLib.h"
#include "model/SPtn.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::string_view kLibrary = "+KORVX_LIB_V.1.0\n"
                                      "PROP:shelf 3\n"
                                      "+PTN,N:NAND,X:41,Y:31\n"
                                      "+L,W:1,S:0,X:0,Y:0,X:30,Y:0,-L\n"
                                      "-PTN\n"
                                      "+COMP,N:NAND\n"
                                      "X:4,Y:3,B:2\n"
                                      "R:IC\n"
                                      "P:NAND\n"
                                      "+PIN,N:A,L:L1,T:,M:1,M:4,-PIN\n"
                                      "+PIN,N:Y,L:R1,T:N,M:3,M:6,-PIN\n"
                                      "NOTE:quad,MFR:Acme,MFRPN:AC00,PKG:DIP14,-COMP\n"
                                      "+COMP,N:R\n"
                                      "X:2,Y:1,B:1\n"
                                      "-COMP\n"
                                      "-KORVX_LIB_V.1.0\n";

void loadInto(SCompLib& lib, std::string_view text) {
    STagReader reader;
    reader.attachString(text);
    std::string word;
    ASSERT_GE(reader.readWord(word), 0);
    ASSERT_EQ(word, SCompLib::kLibraryOpen);
    ASSERT_TRUE(lib.readBlocks(reader, false));
}

std::string record(const SCompIndex& entry) {
    std::string text;
    STagWriter w;
    w.attachString(&text);
    entry.component()->write(w, entry.name());
    return text;
}

std::string withPadding(std::string text) {
    // Bring short texts over the size a component text needs at least.
    text.append(SCompClipboard::kMinTextBytes, '\n');
    return text;
}

TEST(CompClipboard, WritesTheSchematicShapedText) {
    SCompLib lib;
    loadInto(lib, kLibrary);
    const std::string text = SCompClipboard::write(*lib.entryAt(1));
    EXPECT_EQ(text, "+KORVX_DATA_V.1.0\n"
                    "+COMPONENT\n"
                    "+KORVX_LIB_V.1.0\n"
                    "+COMP,N:R\n"
                    "X:2,Y:1,B:1\n"
                    "R:U\n"
                    "NOTE:,MFR:,MFRPN:,PKG:,-COMP\n"
                    "-KORVX_LIB_V.1.0\n"
                    "X:20,Y:10,LIB:R,N:R,R:U\n"
                    "-COMPONENT\n"
                    "-KORVX_DATA_V.1.0\n");
}

TEST(CompClipboard, NothingToCopyWithoutNameOrComponent) {
    SCompInfo info;
    EXPECT_EQ(SCompClipboard::write(SCompIndex("", &info)), "");
    EXPECT_EQ(SCompClipboard::write(SCompIndex("A", nullptr)), "");
}

TEST(CompClipboard, PasteIntoTheSameLibraryMakesAnIndependentCopy) {
    SCompLib lib;
    loadInto(lib, kLibrary);
    const SCompIndex& original = *lib.entryAt(0);
    const std::string text = SCompClipboard::write(original);

    SCompIndex* pasted = SCompClipboard::read(lib, text);
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(lib.entryCount(), 3);
    EXPECT_EQ(pasted, lib.entryAt(2));
    EXPECT_EQ(pasted->name(), "NAND(1)");
    EXPECT_NE(pasted->component(), original.component());
    ASSERT_NE(pasted->component()->pattern(), nullptr);
    EXPECT_NE(pasted->component()->pattern(), original.component()->pattern());
    // Same content under the other name.
    std::string expected = record(original);
    for (size_t at = 0; (at = expected.find("NAND", at)) != std::string::npos; at += 7)
        expected.replace(at, 4, "NAND(1)");
    EXPECT_EQ(record(*pasted), expected);
    EXPECT_EQ(lib.property(), "shelf 3");
}

TEST(CompClipboard, PasteIntoAnotherLibraryKeepsTheName) {
    SCompLib from;
    loadInto(from, kLibrary);
    SCompLib to;
    SCompIndex* pasted = SCompClipboard::read(to, SCompClipboard::write(*from.entryAt(0)));
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->name(), "NAND");
    EXPECT_EQ(record(*pasted), record(*from.entryAt(0)));
}

TEST(CompClipboard, OfferedOnlyForLongEnoughTextsWithTheMagic) {
    const std::string magic(SCompClipboard::kMagic);
    const struct {
        std::string text;
        bool offered;
    } cases[] = {
        {magic + std::string(68 - magic.size(), 'x'), false}, // 68 bytes
        {magic + std::string(69 - magic.size(), 'x'), true},  // 69 bytes
        {"+KORVX_LIB_V.1.0" + std::string(80, 'x'), false},
        {" " + magic + std::string(80, 'x'), false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SCompClipboard::holdsComponent(c.text), c.offered) << c.text.size();
}

TEST(CompClipboard, TextsThatAreNoComponentPasteNothing) {
    const char* const texts[] = {
        // first word not the magic (it only follows later)
        "+COMPONENT\n+KORVX_DATA_V.1.0\n+KORVX_LIB_V.1.0\n+COMP,N:A,X:1,Y:1,B:1,-COMP\n",
        // no library section
        "+KORVX_DATA_V.1.0\n+COMPONENT\nX:10,Y:10,LIB:A,N:A,R:U\n-COMPONENT\n",
        // a library section without a component
        "+KORVX_DATA_V.1.0\n+COMPONENT\n+KORVX_LIB_V.1.0\n-KORVX_LIB_V.1.0\n-COMPONENT\n",
        // a component that fails to read (a pin before the block count)
        "+KORVX_DATA_V.1.0\n+KORVX_LIB_V.1.0\n+COMP,N:A,X:1,Y:1,+PIN,-PIN,B:1,-COMP\n",
        // a stray closing word before the component
        "+KORVX_DATA_V.1.0\n+KORVX_LIB_V.1.0\n-COMP\n+COMP,N:A,X:1,Y:1,B:1,-COMP\n",
    };
    for (const char* t : texts) {
        SCompLib lib;
        loadInto(lib, kLibrary);
        EXPECT_EQ(SCompClipboard::read(lib, withPadding(t)), nullptr) << t;
        EXPECT_EQ(lib.entryCount(), 2) << t;
        EXPECT_EQ(lib.componentCount(), 2) << t;
    }
}

TEST(CompClipboard, FailedPasteTakesBackWhatItAdded) {
    SCompLib lib;
    loadInto(lib, kLibrary);
    // An alias of an existing entry reads, then the component fails.
    const std::string text = withPadding("+KORVX_DATA_V.1.0\n+KORVX_LIB_V.1.0\nPROP:other\n"
                                         "+ALIAS,A:Q,N:NAND,-ALIAS\n"
                                         "+COMP,N:A,B:1,B:2,-COMP\n");
    EXPECT_EQ(SCompClipboard::read(lib, text), nullptr);
    EXPECT_EQ(lib.entryCount(), 2);
    EXPECT_TRUE(lib.isUniqueName("Q"));
    EXPECT_EQ(lib.property(), "shelf 3");
}

TEST(CompClipboard, TakesTheFirstComponentOfASchematicText) {
    SCompLib lib;
    const std::string text = "+KORVX_DATA_V.1.0\n"
                             "+SHEETINFO,EL:0,VL:255,W:1500,H:1000,-SHEETINFO\n"
                             "+COMPONENT\n"
                             "+KORVX_LIB_V.1.0\n"
                             "+COMP,N:FIRST,X:1,Y:1,B:1,-COMP\n"
                             "+COMP,N:SECOND,X:1,Y:1,B:1,-COMP\n"
                             "-KORVX_LIB_V.1.0\n"
                             "X:10,Y:10,LIB:FIRST,N:FIRST,R:U\n"
                             "-COMPONENT\n"
                             "-KORVX_DATA_V.1.0\n";
    SCompIndex* pasted = SCompClipboard::read(lib, text);
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->name(), "FIRST");
    EXPECT_EQ(lib.entryCount(), 1);
}

TEST(CompClipboard, ExtremeSizesWrapInThePlacement) {
    SCompLib lib;
    loadInto(lib, "+KORVX_LIB_V.1.0\n+COMP,N:BIG,X:2147483647,Y:1,B:1,-COMP\n");
    const std::string text = SCompClipboard::write(*lib.entryAt(0));
    EXPECT_NE(text.find("X:-10,Y:10,LIB:BIG"), std::string::npos) << text;
    SCompLib other;
    SCompIndex* pasted = SCompClipboard::read(other, text);
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->component()->size(), SSize(2147483647, 1));
}

} // namespace
