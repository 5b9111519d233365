#include "dialogs/CPtnProperty.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

CPtnProperty::CPtnProperty(QWidget* parent)
    : QDialog(parent), m_fill(new QCheckBox(tr("&Fill"), this)),
      m_dot(new QCheckBox(tr("&Dot"), this)), m_width(new QComboBox(this)) {
    setWindowTitle(tr("Property - pattern"));
    auto* form = new QFormLayout;
    auto* widthLabel = new QLabel(tr("&Width"), this);
    widthLabel->setBuddy(m_width);
    form->addRow(widthLabel, m_width);
    form->addRow(m_dot);
    form->addRow(m_fill);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPtnProperty::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPtnProperty::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

int CPtnProperty::exec() {
    m_width->clear();
    for (int i = 0; i <= kMaxWidthIndex; ++i)
        m_width->addItem(QString::number(i));
    widthIndex = std::clamp(widthIndex, 0, kMaxWidthIndex);
    m_width->setCurrentIndex(widthIndex);
    m_fill->setEnabled(fillAllowed == 1);
    m_fill->setChecked(fill != 0);
    m_dot->setChecked(dot != 0);
    return QDialog::exec();
}

void CPtnProperty::accept() {
    widthIndex = std::clamp(m_width->currentIndex(), 0, kMaxWidthIndex);
    fill = m_fill->isChecked() ? 1 : 0;
    dot = m_dot->isChecked() ? 1 : 0;
    QDialog::accept();
}
