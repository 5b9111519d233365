#pragma once

#include "app/CFrameUi.h"
#include "app/CFrameViewLink.h"
#include "app/CPelmClipboard.h"
#include "commands/SCommandId.h"
#include "doc/SPelmDoc.h"
#include "gui/CTextEncoding.h"

#include <QMainWindow>

#include <memory>

class CActionTable;
class CCompEditView;
class CPelmSettings;
class CPinProps;
class QActionGroup;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QToolBar;
class SDrawSettings;
class SLBCompName;

// The one window of Pelm: the name list and the note on the left, the edit view on the right,
// menus, toolbar and status bar. Library and component commands run in the library document;
// commands inside the shown component go to the view.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kEncodingKey = "TextEncoding";

    explicit CMainFrame(CPelmSettings& settings, QWidget* parent = nullptr);
    ~CMainFrame() override;

    SPelmDoc& doc() { return m_doc; }
    CCompEditView* view() const { return m_view; }
    SLBCompName* nameList() const { return m_list; }
    QPlainTextEdit* noteEdit() const { return m_note; }
    CActionTable& actions() const { return *m_actions; }
    CPinProps* pinProps() const { return m_pinProps; }
    QToolBar* toolBar() const { return m_toolbar; }
    const CTextEncoding& textEncoding() const { return m_encoding; }
    QActionGroup* encodingActions() const { return m_encodings; }

    // Opens a file without asking first (the command line).
    void openLibrary(const QString& path);
    void runCommand(SCommandId id);
    // The one update of every command's enabled and checked state.
    void updateCommandStates();
    void setTextEncoding(const QString& name);
    // Shows the document: list, selection, note, title, command states.
    void syncFromDoc();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* createLeftBar();
    void createMenus();
    QMenu* createEncodingMenu();
    void createToolBar();
    void readSettings();
    void storePlacement();
    bool runDocCommand(SCommandId id);
    void togglePinProps();
    void onListSelection(int32_t row);

    CPelmSettings& m_settings;
    CTextEncoding m_encoding;
    std::unique_ptr<SDrawSettings> m_drawSettings;
    CActionTable* m_actions;
    CCompEditView* m_view;
    SLBCompName* m_list = nullptr;
    QPlainTextEdit* m_note = nullptr;
    QToolBar* m_toolbar = nullptr;
    QLabel* m_ready = nullptr;
    QMenu* m_listMenu = nullptr;
    QActionGroup* m_encodings = nullptr;
    CPinProps* m_pinProps = nullptr;
    CPelmClipboard m_clipboard;
    CFrameUi m_ui;
    CFrameViewLink m_link;
    SPelmDoc m_doc;
    bool m_created = false;
};
