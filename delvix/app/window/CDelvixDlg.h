#pragma once

#include "engine/SFileSearcher.h"
#include "engine/SSearchParams.h"
#include "gui/CTextEncoding.h"
#include "protocol/SHandoffMessage.h"
#include "window/CDelvixSettings.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CHandoffRunner;
class CHandoffServer;
class CResultList;
class CResultModel;
class CSearchAdapter;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class SCmdLineParam;
class SSearchEngine;

// The search window: folder and search text, Start and Stop, the options, the hit list with its
// status line, and the hand-off of a hit to the schematic editor.
class CDelvixDlg : public QDialog {
    Q_OBJECT
public:
    struct Services {
        // Searches one file; the schematic reader when null.
        std::shared_ptr<const SFileSearcher> searcher;
        // The editor program to start; "korvex" beside this program when empty.
        std::string editorProgram;
        // Worker threads for a search (0: one per hardware thread).
        unsigned jobs = 0;
    };

    CDelvixDlg(CDelvixSettings& settings, Services services, QWidget* parent = nullptr);
    ~CDelvixDlg() override;

    // Carries the Delvix marker, takes the folder from the command line (or the settings) and
    // loads the find settings. False when another window shows that folder and took over.
    bool initialise(const SCmdLineParam& commandLine);

    bool isRunning() const { return m_engine != nullptr; }
    // Starts a search with the fields' texts; false when refused (running, or a search text the
    // encoding cannot hold).
    bool startSearch();
    void stopSearch();
    // Opens the options; the dialog is handed to `prepare` (if any) before it runs.
    void openOptions(const std::function<void(class CFindOption&)>& prepare = {});
    // The answer to a hand-off request from another Delvix.
    bool handleRequest(const SHandoffRequest& request);

    QLineEdit* folderField() const { return m_folder; }
    QLineEdit* searchField() const { return m_search; }
    QPushButton* button(int id) const;
    CResultList* list() const { return m_list; }
    CResultModel* model() const { return m_model; }
    QString statusText() const;
    const std::vector<SSearchWarning>& skipped() const { return m_skipped; }
    const SSearchParams& params() const { return m_params; }
    CHandoffRunner& handoff() { return *m_handoff; }
    QByteArray folderBytes() const;

    // Control ids of the window, as the settings and tests know them.
    enum Id { kRef = 1001, kStart = 1003, kStop = 1004, kOption = 1005, kExit = 1006 };

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void connectSignals();
    void updateControls();
    void updateStatus();
    void chooseFolder();
    void takeArrived();
    void searchEnded(bool stopped);
    void stopAndJoin();
    void showHit(int row);
    void showContextMenu(int row, const QPoint& globalPos);
    void exportResults();
    void showSkipped();
    void raiseWindow();
    void setFolder(const QString& folder);

    CDelvixSettings& m_settings;
    Services m_services;
    SSearchParams m_params;
    QString m_pattern; // the stored search string, as text
    CTextEncoding m_encoding;

    QLineEdit* m_folder = nullptr;
    QLineEdit* m_search = nullptr;
    QPushButton* m_buttons[5] = {};
    CResultModel* m_model = nullptr;
    CResultList* m_list = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_busy = nullptr;
    QPushButton* m_skippedButton = nullptr;
    QTimer* m_statusTimer = nullptr;
    QTimer* m_insertTimer = nullptr;
    bool m_insertPending = false;
    CHandoffServer* m_server = nullptr;
    bool m_columnsMade = false;

    CSearchAdapter* m_adapter = nullptr;
    std::unique_ptr<SSearchEngine> m_engine; // set while a search runs
    std::unique_ptr<CHandoffRunner> m_handoff;
    std::vector<SSearchWarning> m_skipped;
    QElapsedTimer m_elapsed;
    qint64 m_elapsedMs = 0;
    bool m_stopped = false;
};
