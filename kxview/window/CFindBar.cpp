#include "window/CFindBar.h"

#include "schematic/SFindVocabulary.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

CFindBar::CFindBar(QWidget* parent)
    : QWidget(parent), m_text(new QLineEdit(this)), m_whole(new QCheckBox(tr("Match whole"), this)),
      m_case(new QCheckBox(tr("Case sensitive"), this)), m_targets(new QToolButton(this)),
      m_result(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    auto* caption = new QLabel(tr("Find:"), this);
    caption->setBuddy(m_text);
    m_text->setAccessibleName(tr("Find text"));
    m_text->setClearButtonEnabled(true);
    m_targets->setText(tr("Targets"));
    m_targets->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(m_targets);
    for (const SFindTarget& target : kFindTargets) {
        QAction* action = menu->addAction(
            QString::fromLatin1(target.caption.data(), static_cast<int>(target.caption.size())));
        action->setCheckable(true);
        action->setChecked(true);
        action->setData(target.bit);
    }
    m_targets->setMenu(menu);
    auto* next = new QToolButton(this);
    next->setText(tr("Find Next"));
    auto* close = new QToolButton(this);
    close->setText(tr("Close"));
    close->setAccessibleName(tr("Close find bar"));
    layout->addWidget(caption);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_whole);
    layout->addWidget(m_case);
    layout->addWidget(m_targets);
    layout->addWidget(next);
    layout->addWidget(m_result, 1);
    layout->addWidget(close);
    connect(m_text, &QLineEdit::returnPressed, this, &CFindBar::findRequested);
    connect(next, &QToolButton::clicked, this, &CFindBar::findRequested);
    connect(close, &QToolButton::clicked, this, [this] {
        hide();
        emit closed();
    });
}

QString CFindBar::text() const {
    return m_text->text();
}

bool CFindBar::matchWhole() const {
    return m_whole->isChecked();
}

bool CFindBar::caseSensitive() const {
    return m_case->isChecked();
}

int32_t CFindBar::targets() const {
    int32_t bits = 0;
    for (const QAction* action : m_targets->menu()->actions()) {
        if (action->isChecked())
            bits |= action->data().toInt();
    }
    return bits;
}

void CFindBar::setTargets(int32_t targets) {
    for (QAction* action : m_targets->menu()->actions())
        action->setChecked((targets & action->data().toInt()) != 0);
}

void CFindBar::setResult(const QString& message) {
    m_result->setText(message);
}

void CFindBar::activate() {
    show();
    m_text->setFocus();
    m_text->selectAll();
}

void CFindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        emit closed();
        return;
    }
    QWidget::keyPressEvent(event);
}
