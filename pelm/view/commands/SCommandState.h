#pragma once

#include "commands/SCommandId.h"

#include <cstdint>

// Everything the enabled and checked states of Pelm's commands depend on, gathered as plain
// values. The view fills its part (CCompEditView::fillCommandState), the frame the rest.
struct SCommandState {
    // The edit view
    bool componentOpen = false;
    bool hasPattern = false;    // the open component has a pattern
    bool hasBitPattern = false; // ... and that pattern holds a bit pattern
    STool tool = STool::Selector;
    bool nodeMode = false;
    int32_t selectionCount = 0;
    bool firstSelectedIsPatternObject = false;
    bool singlePinSelected = false;
    bool canUndo = false;
    bool canNextPinName = false;
    bool canNextPinNumber = false;
    bool addNodeMarker = false;
    int32_t zoomStep = 0;
    bool pinPropertyShown = false;
    // The clipboard
    bool clipboardHasPinOrPattern = false;
    bool clipboardHasComponent = false;
    // The frame
    bool tempFileMode = false;
    int32_t listCount = 0;
    int32_t selectedIndex = -1; // of the name list; -1 for none
    bool toolbarShown = true;
    bool statusBarShown = true;
};

struct SCommandUi {
    bool enabled = false;
    bool checked = false;

    friend bool operator==(const SCommandUi&, const SCommandUi&) = default;
};

// The one rule book: what each command's enabled and checked state is in a given state.
class SCommandRules {
public:
    static SCommandUi evaluate(SCommandId id, const SCommandState& state);
};
