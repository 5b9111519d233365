#pragma once

#include "gui/CTextEncoding.h"
#include "protocol/SHandoffMessage.h"
#include "window/CViewerCommands.h"

#include <QMainWindow>

#include <array>
#include <optional>

class CFindBar;
class CHandoffServer;
class CSheetView;
class QAction;
class QLabel;
class QMenu;
class QTabWidget;

// The viewer's main window: one tab per file, each a sheet or the reason it could not be read.
// It carries the editor marker, so a search hit clicked in Delvix opens here.
class CViewerWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CViewerWindow(CTextEncoding encoding = CTextEncoding(), QWidget* parent = nullptr);
    ~CViewerWindow() override;

    // Opens `path` in a new tab, or switches to the tab that shows it. Returns the tab index.
    int openFile(const QString& path);
    // Starts listening for hand-offs; false when no socket could be made.
    bool listen();
    // What the hand-off asks: true takes the request.
    bool handleRequest(const SHandoffRequest& request);

    QTabWidget* tabs() const { return m_tabs; }
    CSheetView* currentView() const;
    QAction* action(CViewerCommand id) const { return m_actions[static_cast<size_t>(id)]; }
    // Runs a find from the find bar's state: a changed search starts at the top.
    bool findNext();
    CFindBar* findBar() const { return m_find; }
    QString statusText() const;
    QString socketPath() const;

private:
    void buildActions();
    void buildMenus();
    void buildLayerMenu(QMenu* menu);
    void run(CViewerCommand id);
    void updateActions();
    void openDialog();
    void closeCurrent();
    void toggleLayer(int layer, bool on);
    void setAllLayers();
    void showStatus(const QString& text);
    void bringToFront();
    int tabOf(const QString& canonical) const;

    CTextEncoding m_encoding;
    QTabWidget* m_tabs;
    CFindBar* m_find;
    QLabel* m_zoomLabel;
    QLabel* m_hoverLabel;
    QLabel* m_messageLabel;
    std::array<QAction*, static_cast<size_t>(CViewerCommand::Count)> m_actions{};
    std::array<QAction*, 8> m_layerActions{};
    CHandoffServer* m_server = nullptr;
};
