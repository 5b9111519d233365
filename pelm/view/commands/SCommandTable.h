#pragma once

#include "commands/SCommandId.h"

#include <optional>
#include <span>
#include <string_view>

// What a menu, toolbar button or key needs to know about one command: its menu text (with the
// "&" mnemonic, without the shown shortcut), its key sequences in Qt's portable text form (the
// first one is shown in menus), the status-bar prompt and tooltip, whether it carries a check
// mark, and the name of its toolbar icon (empty when it has none).
struct SCommandInfo {
    SCommandId id;
    std::string_view menuText;
    std::span<const std::string_view> shortcuts;
    std::string_view prompt;
    std::string_view tooltip;
    bool checkable = false;
    std::string_view icon;
};

// The one table of Pelm's commands.
class SCommandTable {
public:
    static std::span<const SCommandInfo> all();
    // Null for an id that is not in the table.
    static const SCommandInfo* find(SCommandId id);
    // The tool a tool command selects.
    static std::optional<STool> toolOf(SCommandId id);
    static SCommandId commandOf(STool tool);
    // The command a letter key in the view stands for (S, A, C, G, L, N, P, T; either case).
    static std::optional<SCommandId> letterCommand(char key);
};
