#include "view/CActionTable.h"

#include "commands/SCommandTable.h"

#include <QAction>
#include <QFile>
#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <QWidget>

static void initViewResources() {
    Q_INIT_RESOURCE(pelmview);
}

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CActionTable::CActionTable(QObject* parent) : QObject(parent) {
    initViewResources();
    for (const SCommandInfo& info : SCommandTable::all()) {
        auto* action = new QAction(tr(fromView(info.menuText).toUtf8().constData()), this);
        QList<QKeySequence> keys;
        for (const std::string_view key : info.shortcuts)
            keys.append(QKeySequence(fromView(key), QKeySequence::PortableText));
        action->setShortcuts(keys);
        action->setStatusTip(fromView(info.prompt));
        action->setToolTip(fromView(info.tooltip));
        action->setCheckable(info.checkable);
        if (!info.icon.empty()) {
            const QString path =
                QStringLiteral(":/pelm/icons/") + fromView(info.icon) + QStringLiteral(".svg");
            if (QFile::exists(path))
                action->setIcon(QIcon(path));
        }
        const SCommandId id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { emit triggered(id); });
        m_actions.emplace(id, action);
    }
}

QAction* CActionTable::action(SCommandId id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CActionTable::addTo(QWidget* widget) const {
    for (const auto& [id, action] : m_actions)
        if (!action->shortcuts().isEmpty())
            widget->addAction(action);
}

void CActionTable::update(const SCommandState& state) {
    for (const auto& [id, action] : m_actions) {
        const SCommandUi ui = SCommandRules::evaluate(id, state);
        action->setEnabled(ui.enabled);
        if (action->isCheckable())
            action->setChecked(ui.checked);
    }
}
