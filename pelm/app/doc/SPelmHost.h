#pragma once

#include "doc/SCompPropertyData.h"
#include "model/SCompLib.h"

#include <cstdint>
#include <optional>
#include <string>

class SCompIndex;

// What the library document needs of the component editor it shows entries in.
class SPelmView {
public:
    virtual ~SPelmView() = default;

    // Shows the entry's component for editing; null shows none.
    virtual void setComponent(SCompIndex* entry) = 0;
    // When a component is shown: releases the selection and, if the edit document is dirty,
    // stores its copies into the component. True when something was stored.
    virtual bool commit() = 0;
    virtual bool isDirty() const = 0;
    virtual void clearDirty() = 0;
    // The component was changed from outside: the editor reloads what it shows.
    virtual void markSelectionChanged() = 0;
};

// The questions, dialogs and messages the library document puts to the user.
class SPelmUi {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~SPelmUi() = default;

    virtual Answer askSaveChanges() = 0;
    // The file to open; none when cancelled.
    virtual std::optional<std::string> askOpenPath() = 0;
    // The file to save to, starting from the proposed name; none when cancelled.
    virtual std::optional<std::string> askSavePath(const std::string& proposed) = 0;
    virtual void reportCannotSave() = 0;
    virtual void reportOpenFailed(const std::string& path, SCompLib::LoadError error) = 0;
    virtual void reportPartialLoad(const std::string& path, int32_t line,
                                   SCompLib::LoadError error) = 0;
    // Saving over a file that was read only part-way drops what was not read.
    virtual bool confirmPartialOverwrite(const std::string& path) = 0;
    // "You can't undo this command.\nContinue?"
    virtual bool confirmSort() = 0;
    virtual bool runComponentProperty(SCompPropertyData& data) = 0;
    virtual bool runAddAlias(const std::string& aliasFor, std::string& aliasName) = 0;
    virtual bool runLibraryProperty(std::string& text) = 0;
};
