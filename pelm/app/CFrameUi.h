#pragma once

#include "doc/SPelmHost.h"

#include <QString>

#include <functional>

class CTextEncoding;
class QDialog;
class QWidget;

// The library document's questions and dialogs as Pelm's windows. Tests replace the modal
// parts through the hooks.
class CFrameUi : public SPelmUi {
public:
    // Runs a filled dialog instead of exec(); returns its result code.
    using DialogHook = std::function<int(QDialog& dialog)>;
    // Answers a file dialog: `save` tells which, `proposed` is the name offered; an empty
    // result cancels.
    using FileHook = std::function<QString(bool save, const QString& proposed)>;

    CFrameUi(QWidget& parent, const CTextEncoding& encoding);

    static void setDialogHook(DialogHook hook);
    static void setFileHook(FileHook hook);
    static int run(QDialog& dialog);
    static QString loadErrorText(SCompLib::LoadError error);

    Answer askSaveChanges() override;
    std::optional<std::string> askOpenPath() override;
    std::optional<std::string> askSavePath(const std::string& proposed) override;
    void reportCannotSave() override;
    void reportOpenFailed(const std::string& path, SCompLib::LoadError error) override;
    void reportPartialLoad(const std::string& path, int32_t line,
                           SCompLib::LoadError error) override;
    bool confirmPartialOverwrite(const std::string& path) override;
    bool confirmSort() override;
    bool runComponentProperty(SCompPropertyData& data) override;
    bool runAddAlias(const std::string& aliasFor, std::string& aliasName) override;
    bool runLibraryProperty(std::string& text) override;

private:
    QWidget& m_parent;
    const CTextEncoding& m_encoding;
};
