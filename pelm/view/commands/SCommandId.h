#pragma once

#include <cstdint>

// Every command of Pelm, numbered as the program has always numbered them (menus, toolbar,
// accelerators and the messages peers send all use these values).
enum class SCommandId : int32_t {
    // File
    FileNew = 57600,
    FileOpen = 57601,
    FileSave = 57603,
    FileSaveAs = 57604,
    AppExit = 57665,
    // Edit: inside the shown component
    EditUndo = 57643,
    EditCut = 57635,
    EditCopy = 57634,
    EditPaste = 57637,
    EditDelete = 57632,
    Mirror = 32812,
    Rotate = 32814,
    Property = 32803,
    NextPinName = 32838,
    NextPinNumber = 32837,
    // Edit: whole components and the library
    CutComponent = 32777,
    CopyComponent = 32780,
    PasteComponent = 32781,
    NewComponent = 32808,
    ComponentProperty = 32810,
    AddAlias = 32829,
    SortByName = 32832,
    LibraryProperty = 32827,
    MoveEntryUp = 1000,
    MoveEntryDown = 1001,
    // View
    ZoomIn = 32785,
    ZoomOut = 32784,
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
    PinProperty = 32864,
    // Tool
    ToolSelector = 32786,
    ToolPin = 32788,
    ToolLine = 32789,
    ToolCircle = 32790,
    ToolPolygon = 32791,
    ToolArc = 32793,
    ToolText = 32833,
    EditNodeMode = 32818,
    CreateBitPattern = 32820,
    // Context menu of the view
    AddNode = 32867,
    // Help
    AppAbout = 57664,
    // Focus to the next / previous pane of the frame
    NextPane = 57680,
    PrevPane = 57681,
};

// The view's drawing tools, numbered as the view stores them.
enum class STool : int32_t {
    Selector = 1,
    Pin = 2,
    Line = 3,
    Circle = 4,
    Polygon = 5,
    Arc = 6,
    Text = 7,
};
