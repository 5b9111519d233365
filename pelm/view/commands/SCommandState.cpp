#include "commands/SCommandState.h"

#include "commands/SCommandTable.h"

namespace {

constexpr int32_t kMaxZoomStep = 3;

SCommandUi on(bool enabled, bool checked = false) {
    return SCommandUi{enabled, checked};
}

// Commands that act inside the shown component.
std::optional<SCommandUi> viewCommand(SCommandId id, const SCommandState& s) {
    const bool open = s.componentOpen;
    const bool drawing = open && s.hasPattern;
    const bool selected = open && s.selectionCount > 0;
    if (const auto tool = SCommandTable::toolOf(id)) {
        const bool needsPattern = *tool != STool::Selector && *tool != STool::Pin;
        return on(needsPattern ? drawing : open, s.tool == *tool);
    }
    switch (id) {
    case SCommandId::EditNodeMode:
        return on(drawing, s.nodeMode);
    case SCommandId::Property:
        return on(open && s.selectionCount == 1);
    case SCommandId::EditCut:
    case SCommandId::EditCopy:
    case SCommandId::EditDelete:
        return on(selected);
    case SCommandId::EditPaste:
        return on(open && s.clipboardHasPinOrPattern);
    case SCommandId::EditUndo:
        return on(open && s.canUndo);
    case SCommandId::Mirror:
    case SCommandId::Rotate:
        return on(selected && s.firstSelectedIsPatternObject);
    case SCommandId::CreateBitPattern:
        return on(open && s.hasBitPattern);
    case SCommandId::NextPinName:
        return on(open && s.canNextPinName);
    case SCommandId::NextPinNumber:
        return on(open && s.singlePinSelected && s.canNextPinNumber);
    case SCommandId::AddNode:
        return on(open && s.addNodeMarker);
    case SCommandId::ZoomIn:
        return on(s.zoomStep < kMaxZoomStep);
    case SCommandId::ZoomOut:
        return on(s.zoomStep > 0);
    case SCommandId::PinProperty:
        return on(true, s.pinPropertyShown);
    default:
        return std::nullopt;
    }
}

SCommandUi frameCommand(SCommandId id, const SCommandState& s) {
    const bool itemSelected = s.selectedIndex >= 0 && s.selectedIndex < s.listCount;
    switch (id) {
    case SCommandId::FileSaveAs:
        return on(!s.tempFileMode);
    case SCommandId::CutComponent:
    case SCommandId::CopyComponent:
    case SCommandId::ComponentProperty:
    case SCommandId::AddAlias:
        return on(itemSelected);
    case SCommandId::PasteComponent:
        return on(s.clipboardHasComponent);
    case SCommandId::SortByName:
        return on(s.listCount > 1);
    case SCommandId::MoveEntryUp:
        return on(itemSelected && s.selectedIndex > 0);
    case SCommandId::MoveEntryDown:
        return on(itemSelected && s.selectedIndex < s.listCount - 1);
    case SCommandId::ViewToolbar:
        return on(true, s.toolbarShown);
    case SCommandId::ViewStatusBar:
        return on(true, s.statusBarShown);
    default:
        // New, Open, Save, Exit, New component, Library property, About, pane switching.
        return on(true);
    }
}

} // namespace

SCommandUi SCommandRules::evaluate(SCommandId id, const SCommandState& state) {
    if (const auto ui = viewCommand(id, state))
        return *ui;
    return frameCommand(id, state);
}
