#pragma once

#include <QKeySequence>
#include <QString>

#include <array>

// The viewer's commands, in menu order.
enum class CViewerCommand {
    Open,
    Close,
    Quit,
    Find,
    FindNext,
    FitToWindow,
    ZoomActual,
    ZoomIn,
    ZoomOut,
    AllLayers,
    Count
};

struct CViewerCommandInfo {
    CViewerCommand id;
    const char* text;
    QKeySequence::StandardKey standardKey; // UnknownKey: use `keys`
    const char* keys;
    bool needsSheet; // enabled only while a readable sheet is shown
};

// One row per command; CViewerWindow builds its actions from it and enables them in one place.
inline const std::array<CViewerCommandInfo, static_cast<size_t>(CViewerCommand::Count)>
    kViewerCommands{{
        {CViewerCommand::Open, "&Open...", QKeySequence::Open, "", false},
        {CViewerCommand::Close, "&Close", QKeySequence::Close, "", false},
        {CViewerCommand::Quit, "&Quit", QKeySequence::Quit, "", false},
        {CViewerCommand::Find, "&Find...", QKeySequence::Find, "", true},
        {CViewerCommand::FindNext, "Find &Next", QKeySequence::UnknownKey, "F3", true},
        {CViewerCommand::FitToWindow, "&Fit to Window", QKeySequence::UnknownKey, "Home", true},
        {CViewerCommand::ZoomActual, "Zoom &100 %", QKeySequence::UnknownKey, "Ctrl+0", true},
        {CViewerCommand::ZoomIn, "Zoom &In", QKeySequence::ZoomIn, "", true},
        {CViewerCommand::ZoomOut, "Zoom &Out", QKeySequence::ZoomOut, "", true},
        {CViewerCommand::AllLayers, "&All Layers", QKeySequence::UnknownKey, "", true},
    }};
