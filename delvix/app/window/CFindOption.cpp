#include "window/CFindOption.h"

#include "gui/CTextEncoding.h"
#include "schematic/SFindVocabulary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

CFindOption::CFindOption(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Find Option"));
    auto* layout = new QVBoxLayout(this);
    m_matchWholeBox = new QCheckBox(tr("Match whole"), this);
    m_caseBox = new QCheckBox(tr("Case sensitive"), this);
    m_subfoldersBox = new QCheckBox(tr("Include Subfolders"), this);
    layout->addWidget(m_matchWholeBox);
    layout->addWidget(m_caseBox);
    layout->addWidget(m_subfoldersBox);

    auto* group = new QGroupBox(tr("Find from"), this);
    auto* groupLayout = new QVBoxLayout(group);
    for (const SFindTarget& target : kFindTargets) {
        auto* box =
            new QCheckBox(QString::fromLatin1(target.caption.data(),
                                              static_cast<qsizetype>(target.caption.size())),
                          group);
        groupLayout->addWidget(box);
        m_targetBoxes.emplace_back(target.bit, box);
    }
    layout->addWidget(group);

    auto* form = new QFormLayout;
    m_encodingBox = new QComboBox(this);
    for (const CTextEncoding::Choice& choice : CTextEncoding::offered())
        m_encodingBox->addItem(choice.label, choice.name);
    auto* encodingLabel = new QLabel(tr("&Encoding"), this);
    encodingLabel->setBuddy(m_encodingBox);
    form->addRow(encodingLabel, m_encodingBox);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFindOption::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFindOption::reject);
    layout->addWidget(buttons);
    m_encoding = CTextEncoding::localeDefault();
}

QCheckBox* CFindOption::targetBox(int32_t bit) const {
    for (const auto& [b, box] : m_targetBoxes)
        if (b == bit)
            return box;
    return nullptr;
}

void CFindOption::load() {
    m_matchWholeBox->setChecked(m_matchWhole);
    m_caseBox->setChecked(m_caseSensitive);
    m_subfoldersBox->setChecked(m_includeSubfolders);
    for (const auto& [bit, box] : m_targetBoxes)
        box->setChecked((m_targets & bit) != 0);
    const int index = m_encodingBox->findData(CTextEncoding::canonicalName(m_encoding));
    m_encodingBox->setCurrentIndex(index >= 0 ? index : 0);
}

void CFindOption::accept() {
    m_matchWhole = m_matchWholeBox->isChecked();
    m_caseSensitive = m_caseBox->isChecked();
    m_includeSubfolders = m_subfoldersBox->isChecked();
    // Only the ten target bits: a stored -1 becomes the explicit set.
    m_targets = 0;
    for (const auto& [bit, box] : m_targetBoxes)
        if (box->isChecked())
            m_targets |= bit;
    m_encoding = m_encodingBox->currentData().toString();
    QDialog::accept();
}
