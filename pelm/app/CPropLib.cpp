#include "app/CPropLib.h"

#include "app/CDialogFields.h"
#include "app/CPelmMessage.h"
#include "gui/CTextEncoding.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CPropLib::CPropLib(const CTextEncoding& encoding, QWidget* parent)
    : QDialog(parent), m_encoding(encoding) {
    setWindowTitle(tr("Property - library"));
    m_text = new QPlainTextEdit(this);
    m_text->setTabChangesFocus(true);
    auto* label = new QLabel(tr("&Property"), this);
    label->setBuddy(m_text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPropLib::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPropLib::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(360, 200);
}

void CPropLib::initDialog() {
    m_text->setPlainText(CPelmMessage::toEditText(m_encoding, text));
    m_text->setFocus();
}

int CPropLib::exec() {
    initDialog();
    return QDialog::exec();
}

void CPropLib::accept() {
    std::string bytes;
    if (!CPelmMessage::takeEditText(this, m_encoding, m_text->toPlainText(), bytes) ||
        !CDialogFields::checkMaxBytes(m_text, bytes.size(), kMaxLength))
        return;
    text = std::move(bytes);
    QDialog::accept();
}
