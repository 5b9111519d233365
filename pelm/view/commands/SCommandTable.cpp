#include "commands/SCommandTable.h"

#include <algorithm>
#include <array>

namespace {

using Keys = std::span<const std::string_view>;
using Id = SCommandId;

constexpr std::string_view kNone[] = {""};
constexpr Keys none() {
    return Keys(kNone, 0);
}

constexpr std::string_view kNew[] = {"Ctrl+N"};
constexpr std::string_view kOpen[] = {"Ctrl+O"};
constexpr std::string_view kSave[] = {"Ctrl+S"};
constexpr std::string_view kUndo[] = {"Ctrl+Z", "Alt+Backspace"};
constexpr std::string_view kCut[] = {"Ctrl+X", "Shift+Del"};
constexpr std::string_view kCopy[] = {"Ctrl+C", "Ctrl+Ins"};
constexpr std::string_view kPaste[] = {"Ctrl+V", "Shift+Ins"};
constexpr std::string_view kDelete[] = {"Del"};
constexpr std::string_view kMirror[] = {"Ctrl+M"};
constexpr std::string_view kRotate[] = {"Ctrl+R"};
constexpr std::string_view kNextName[] = {"F11"};
constexpr std::string_view kNextNumber[] = {"F12"};
constexpr std::string_view kZoomIn[] = {"PgUp"};
constexpr std::string_view kZoomOut[] = {"PgDown"};
constexpr std::string_view kNextPane[] = {"F6"};
constexpr std::string_view kPrevPane[] = {"Shift+F6"};

constexpr SCommandInfo cmd(Id id, std::string_view text, Keys keys, std::string_view prompt,
                           std::string_view tip, bool checkable = false,
                           std::string_view icon = {}) {
    return SCommandInfo{id, text, keys, prompt, tip, checkable, icon};
}

// Tool prompts are the program's own; the others are short descriptions of what the command does.
constexpr std::array kTable{
    cmd(Id::FileNew, "&New", kNew, "Create a new library", "New"),
    cmd(Id::FileOpen, "&Open...", kOpen, "Open a library or schematic", "Open"),
    cmd(Id::FileSave, "&Save", kSave, "Save the library", "Save"),
    cmd(Id::FileSaveAs, "Save &as...", none(), "Save the library under a new name", "Save as"),
    cmd(Id::AppExit, "E&xit", none(), "Quit the application", "Exit"),
    cmd(Id::EditUndo, "&Undo", kUndo, "Undo the last action", "Undo"),
    cmd(Id::EditCut, "Cu&t", kCut, "Cut the selection to the clipboard", "Cut"),
    cmd(Id::EditCopy, "&Copy", kCopy, "Copy the selection to the clipboard", "Copy"),
    cmd(Id::EditPaste, "&Paste", kPaste, "Insert the clipboard contents", "Paste"),
    cmd(Id::EditDelete, "&Delete", kDelete, "Delete the selection", "Delete"),
    cmd(Id::Mirror, "&Mirror", kMirror, "Mirror the selection left to right", "Mirror"),
    cmd(Id::Rotate, "&Rotate", kRotate, "Rotate the selection a quarter turn", "Rotate"),
    cmd(Id::Property, "P&roperty...", none(), "Edit the selected item", "Property"),
    cmd(Id::NextPinName, "Next pin name", kNextName, "Place the next pin name", "Next pin name"),
    cmd(Id::NextPinNumber, "Next pin number", kNextNumber, "Place the next pin number",
        "Next pin number"),
    cmd(Id::CutComponent, "Cut component", none(), "Cut the component to the clipboard",
        "Cut component"),
    cmd(Id::CopyComponent, "Copy component", none(), "Copy the component to the clipboard",
        "Copy component"),
    cmd(Id::PasteComponent, "Paste component", none(), "Paste a component from the clipboard",
        "Paste component"),
    cmd(Id::NewComponent, "New component...", none(), "Create a new component", "New component"),
    cmd(Id::ComponentProperty, "Component property...", none(),
        "Edit the properties of the component", "Component property"),
    cmd(Id::AddAlias, "Add alias...", none(), "Add another name for the component", "Add alias"),
    cmd(Id::SortByName, "Sort by name", none(), "Sort the name list", "Sort by name"),
    cmd(Id::LibraryProperty, "Library property...", none(), "Edit the library property text",
        "Library property"),
    cmd(Id::MoveEntryUp, "Move up", none(), "Move the component up in the list", "Move up", false,
        "move-up"),
    cmd(Id::MoveEntryDown, "Move down", none(), "Move the component down in the list", "Move down",
        false, "move-down"),
    cmd(Id::ZoomIn, "Zoom &In", kZoomIn, "Zoom in", "Zoom in"),
    cmd(Id::ZoomOut, "Zoom &Out", kZoomOut, "Zoom out", "Zoom out"),
    cmd(Id::ViewToolbar, "&Toolbar", none(), "Show or hide the toolbar", "Toolbar", true),
    cmd(Id::ViewStatusBar, "&Status bar", none(), "Show or hide the status bar", "Status bar",
        true),
    cmd(Id::PinProperty, "&Pin property", none(), "Show or hide the pin property window",
        "Pin property", true),
    cmd(Id::ToolSelector, "&Selector", none(), "Selector", "Selector", true, "tool-selector"),
    cmd(Id::ToolPin, "&Pin", none(), "Place pin", "Pin", true, "tool-pin"),
    cmd(Id::ToolLine, "&Line", none(), "Place line", "Line", true, "tool-line"),
    cmd(Id::ToolCircle, "&Circle", none(), "Place ellipse", "Circle", true, "tool-circle"),
    cmd(Id::ToolPolygon, "Poly&gon", none(), "Place polygon", "Polygon", true, "tool-polygon"),
    cmd(Id::ToolArc, "&Arc", none(), "Place arc", "Arc", true, "tool-arc"),
    cmd(Id::ToolText, "&Text", none(), "Place text", "Text", true, "tool-text"),
    cmd(Id::EditNodeMode, "Edit &node mode", none(), "Edit node mode", "Edit node", true,
        "tool-node"),
    cmd(Id::CreateBitPattern, "Create &BIT-PATTERN", none(),
        "Create the bit pattern from the pattern objects", "Create bit pattern"),
    cmd(Id::AddNode, "Add Node", none(), "Insert a polygon node at the marker", "Add Node"),
    cmd(Id::AppAbout, "&About Pelm...", none(), "Show the program's version", "About"),
    cmd(Id::NextPane, "Next pane", kNextPane, "Move to the next pane", "Next pane"),
    cmd(Id::PrevPane, "Previous pane", kPrevPane, "Move to the previous pane", "Previous pane"),
};

constexpr std::array kTools{
    std::pair{Id::ToolSelector, STool::Selector}, std::pair{Id::ToolPin, STool::Pin},
    std::pair{Id::ToolLine, STool::Line},         std::pair{Id::ToolCircle, STool::Circle},
    std::pair{Id::ToolPolygon, STool::Polygon},   std::pair{Id::ToolArc, STool::Arc},
    std::pair{Id::ToolText, STool::Text},
};

} // namespace

std::span<const SCommandInfo> SCommandTable::all() {
    return kTable;
}

const SCommandInfo* SCommandTable::find(SCommandId id) {
    const auto it = std::find_if(kTable.begin(), kTable.end(),
                                 [id](const SCommandInfo& info) { return info.id == id; });
    return it == kTable.end() ? nullptr : &*it;
}

std::optional<STool> SCommandTable::toolOf(SCommandId id) {
    for (const auto& [command, tool] : kTools)
        if (command == id)
            return tool;
    return std::nullopt;
}

SCommandId SCommandTable::commandOf(STool tool) {
    for (const auto& [command, t] : kTools)
        if (t == tool)
            return command;
    return Id::ToolSelector;
}

std::optional<SCommandId> SCommandTable::letterCommand(char key) {
    switch (key) {
    case 'S':
    case 's':
        return Id::ToolSelector;
    case 'A':
    case 'a':
        return Id::ToolArc;
    case 'C':
    case 'c':
        return Id::ToolCircle;
    case 'G':
    case 'g':
        return Id::ToolPolygon;
    case 'L':
    case 'l':
        return Id::ToolLine;
    case 'N':
    case 'n':
        return Id::EditNodeMode;
    case 'P':
    case 'p':
        return Id::ToolPin;
    case 'T':
    case 't':
        return Id::ToolText;
    default:
        return std::nullopt;
    }
}
