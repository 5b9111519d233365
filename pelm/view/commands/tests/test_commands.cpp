#include "commands/SCommandState.h"
#include "commands/SCommandTable.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(CommandTable, IdsAreUniqueAndEveryMenuCommandIsThere) {
    std::set<SCommandId> seen;
    for (const SCommandInfo& info : SCommandTable::all()) {
        EXPECT_TRUE(seen.insert(info.id).second) << static_cast<int>(info.id);
        EXPECT_FALSE(info.menuText.empty());
    }
    for (const int id :
         {57600, 57601, 57603, 57604, 57665, 57643, 57635, 57634, 57637, 57632, 32812,
          32814, 32803, 32838, 32837, 32777, 32780, 32781, 32808, 32810, 32829, 32832,
          32827, 32785, 32784, 59392, 59393, 32864, 32786, 32788, 32789, 32790, 32791,
          32793, 32833, 32818, 32820, 57664, 32867, 1000,  1001})
        EXPECT_NE(SCommandTable::find(static_cast<SCommandId>(id)), nullptr) << id;
}

TEST(CommandTable, TextsShortcutsAndPrompts) {
    const SCommandInfo* undo = SCommandTable::find(SCommandId::EditUndo);
    ASSERT_EQ(undo->shortcuts.size(), 2u);
    EXPECT_EQ(undo->shortcuts[0], "Ctrl+Z");
    EXPECT_EQ(undo->shortcuts[1], "Alt+Backspace");
    EXPECT_EQ(SCommandTable::find(SCommandId::ToolCircle)->prompt, "Place ellipse");
    EXPECT_EQ(SCommandTable::find(SCommandId::EditNodeMode)->tooltip, "Edit node");
    EXPECT_EQ(SCommandTable::find(SCommandId::CreateBitPattern)->menuText, "Create &BIT-PATTERN");
    EXPECT_EQ(SCommandTable::find(SCommandId::ZoomIn)->shortcuts[0], "PgUp");
}

TEST(CommandTable, LetterKeys) {
    const std::pair<char, SCommandId> keys[] = {
        {'S', SCommandId::ToolSelector}, {'a', SCommandId::ToolArc},
        {'C', SCommandId::ToolCircle},   {'G', SCommandId::ToolPolygon},
        {'L', SCommandId::ToolLine},     {'N', SCommandId::EditNodeMode},
        {'P', SCommandId::ToolPin},      {'T', SCommandId::ToolText}};
    for (const auto& [key, id] : keys)
        EXPECT_EQ(SCommandTable::letterCommand(key), id) << key;
    EXPECT_FALSE(SCommandTable::letterCommand('X'));
}

struct RuleCase {
    const char* what;
    SCommandId id;
    SCommandState state;
    SCommandUi expected;
};

SCommandState openWith(bool pattern) {
    SCommandState s;
    s.componentOpen = true;
    s.hasPattern = pattern;
    return s;
}

TEST(CommandRules, Table) {
    SCommandState none;
    SCommandState open = openWith(false);
    SCommandState drawing = openWith(true);
    SCommandState lineTool = drawing;
    lineTool.tool = STool::Line;
    SCommandState onePin = open;
    onePin.selectionCount = 1;
    onePin.singlePinSelected = true;
    onePin.canNextPinNumber = true;
    SCommandState objects = drawing;
    objects.selectionCount = 3;
    objects.firstSelectedIsPatternObject = true;
    SCommandState zoomMax = none;
    zoomMax.zoomStep = 3;
    SCommandState list = none;
    list.listCount = 3;
    list.selectedIndex = 2;
    SCommandState temp = none;
    temp.tempFileMode = true;
    const RuleCase cases[] = {
        {"selector needs a component", SCommandId::ToolSelector, none, {false, true}},
        {"selector checked", SCommandId::ToolSelector, open, {true, true}},
        {"pin without pattern", SCommandId::ToolPin, open, {true, false}},
        {"line needs a pattern", SCommandId::ToolLine, open, {false, false}},
        {"line checked", SCommandId::ToolLine, lineTool, {true, true}},
        {"node mode", SCommandId::EditNodeMode, drawing, {true, false}},
        {"mirror needs an object first", SCommandId::Mirror, onePin, {false, false}},
        {"rotate", SCommandId::Rotate, objects, {true, false}},
        {"property needs one", SCommandId::Property, objects, {false, false}},
        {"property one pin", SCommandId::Property, onePin, {true, false}},
        {"copy", SCommandId::EditCopy, objects, {true, false}},
        {"delete nothing", SCommandId::EditDelete, open, {false, false}},
        {"next number", SCommandId::NextPinNumber, onePin, {true, false}},
        {"undo", SCommandId::EditUndo, open, {false, false}},
        {"zoom in at max", SCommandId::ZoomIn, zoomMax, {false, false}},
        {"zoom out at max", SCommandId::ZoomOut, zoomMax, {true, false}},
        {"zoom out at 0", SCommandId::ZoomOut, none, {false, false}},
        {"move up", SCommandId::MoveEntryUp, list, {true, false}},
        {"move down on last", SCommandId::MoveEntryDown, list, {false, false}},
        {"sort", SCommandId::SortByName, list, {true, false}},
        {"cut component none", SCommandId::CutComponent, none, {false, false}},
        {"save as temp", SCommandId::FileSaveAs, temp, {false, false}},
        {"new always", SCommandId::FileNew, none, {true, false}},
        {"bit pattern", SCommandId::CreateBitPattern, drawing, {false, false}},
    };
    for (const RuleCase& c : cases)
        EXPECT_EQ(SCommandRules::evaluate(c.id, c.state), c.expected) << c.what;
}

} // namespace
