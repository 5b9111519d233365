#pragma once

// CActionTable: one QAction per Pelm command, built from SCommandTable (commands/SCommandTable.h).
//
//   CActionTable actions(this);
//   menu->addAction(actions.action(SCommandId::FileNew));   // menus and toolbars share actions
//   connect(&actions, &CActionTable::triggered, this, &CMainFrame::onCommand);
//   actions.addTo(window);        // makes the shortcuts work anywhere in the window
//   SCommandState state; view->fillCommandState(state); /* frame fills the rest */
//   actions.update(state);        // the one update function: every enabled/checked state
//
// Each action carries the command's menu text, its shortcuts (the first shown in menus), the
// status-bar prompt (statusTip) and tooltip, a check mark where the command has one, and its
// toolbar icon. Triggering any action emits triggered(id); the actions do nothing on their own.
// Call update() after every state change and before a menu shows (QMenu::aboutToShow).

#include "commands/SCommandId.h"
#include "commands/SCommandState.h"

#include <QObject>

#include <map>

class QAction;
class QWidget;

class CActionTable : public QObject {
    Q_OBJECT
public:
    explicit CActionTable(QObject* parent = nullptr);

    // Null for an id not in the table.
    QAction* action(SCommandId id) const;
    // Adds every action with a shortcut to the widget, so its keys work while the widget or any
    // child has the focus.
    void addTo(QWidget* widget) const;
    void update(const SCommandState& state);

signals:
    void triggered(SCommandId id);

private:
    std::map<SCommandId, QAction*> m_actions;
};
