#include "app/CAddAlias.h"

#include "app/CPelmMessage.h"
#include "gui/CTextEncoding.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

CAddAlias::CAddAlias(const CTextEncoding& encoding, QWidget* parent)
    : QDialog(parent), m_encoding(encoding) {
    setWindowTitle(tr("Add alias"));
    m_for = new QLineEdit(this);
    m_for->setReadOnly(true);
    m_alias = new QLineEdit(this);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Alias for"), m_for);
    form->addRow(tr("&Alias name"), m_alias);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddAlias::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAddAlias::reject);
    form->addRow(buttons);
    setMinimumWidth(320);
}

void CAddAlias::initDialog() {
    m_for->setText(m_encoding.toUnicode(aliasFor));
    m_alias->setText(m_encoding.toUnicode(aliasName));
    m_alias->setFocus();
    m_alias->selectAll();
}

int CAddAlias::exec() {
    initDialog();
    return QDialog::exec();
}

void CAddAlias::accept() {
    if (CPelmMessage::takeText(this, m_encoding, m_alias->text(), aliasName))
        QDialog::accept();
}
