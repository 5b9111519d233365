#pragma once

#include "doc/SPelmDoc.h"
#include "edit/SClipboard.h"
#include "model/SCompIndex.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

// A component editor that records what it was asked; `dirty` stands for an edit in progress.
class FakeView : public SPelmView {
public:
    void setComponent(SCompIndex* entry) override {
        shown = entry;
        dirty = false;
        ++setCount;
    }
    bool commit() override {
        if (!shown || !dirty)
            return false;
        ++stores;
        return true;
    }
    bool isDirty() const override { return dirty; }
    void clearDirty() override { dirty = false; }
    void markSelectionChanged() override { ++selectionChanged; }

    SCompIndex* shown = nullptr;
    bool dirty = false;
    int setCount = 0;
    int stores = 0;
    int selectionChanged = 0;
};

// Answers queued by the test; every question asked is logged.
class FakeUi : public SPelmUi {
public:
    Answer askSaveChanges() override {
        log.push_back("save-changes");
        return pop(saveAnswers, Answer::Cancel);
    }
    std::optional<std::string> askOpenPath() override {
        log.push_back("open");
        return pop(openPaths, std::optional<std::string>());
    }
    std::optional<std::string> askSavePath(const std::string& proposed) override {
        log.push_back("save-as:" + proposed);
        return pop(savePaths, std::optional<std::string>());
    }
    void reportCannotSave() override { log.push_back("cannot-save"); }
    void reportOpenFailed(const std::string&, SCompLib::LoadError) override {
        log.push_back("open-failed");
    }
    void reportPartialLoad(const std::string&, int32_t line, SCompLib::LoadError) override {
        log.push_back("partial:" + std::to_string(line));
    }
    bool confirmPartialOverwrite(const std::string&) override {
        log.push_back("confirm-partial");
        return pop(confirms, false);
    }
    bool confirmSort() override {
        log.push_back("confirm-sort");
        return pop(confirms, true);
    }
    bool runComponentProperty(SCompPropertyData& data) override {
        log.push_back("component:" + data.name);
        if (properties.empty())
            return false;
        data = properties.front();
        properties.pop_front();
        return true;
    }
    bool runAddAlias(const std::string& aliasFor, std::string& aliasName) override {
        log.push_back("alias:" + aliasFor + ":" + aliasName);
        if (aliases.empty())
            return false;
        aliasName = aliases.front();
        aliases.pop_front();
        return true;
    }
    bool runLibraryProperty(std::string& text) override {
        log.push_back("library:" + text);
        if (!libraryText)
            return false;
        text = *libraryText;
        return true;
    }

    template <typename T, typename D> static T pop(std::deque<T>& queue, D fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }

    std::deque<Answer> saveAnswers;
    std::deque<std::optional<std::string>> openPaths;
    std::deque<std::optional<std::string>> savePaths;
    std::deque<bool> confirms;
    std::deque<SCompPropertyData> properties;
    std::deque<std::string> aliases;
    std::optional<std::string> libraryText;
    std::vector<std::string> log;
};

class FakeClipboard : public SClipboard {
public:
    bool putText(std::string_view t) override {
        text = t;
        return true;
    }
    bool getText(std::string& t) const override {
        t = text;
        return !text.empty();
    }
    std::string text;
};
