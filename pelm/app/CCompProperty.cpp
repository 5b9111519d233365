#include "app/CCompProperty.h"

#include "app/CDialogFields.h"
#include "app/CPelmMessage.h"
#include "gui/CTextEncoding.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QLineEdit* addField(QGridLayout* grid, int row, int column, const QString& caption,
                    QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    auto* label = new QLabel(caption, parent);
    label->setBuddy(edit);
    grid->addWidget(label, row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

} // namespace

CCompProperty::CCompProperty(const CTextEncoding& encoding, QWidget* parent)
    : QDialog(parent), m_encoding(encoding) {
    setWindowTitle(tr("Property - component"));
    auto* grid = new QGridLayout;
    m_name = addField(grid, 0, 0, tr("&Name"), this);
    m_number = addField(grid, 0, 2, tr("Numbe&r"), this);
    m_block = addField(grid, 1, 0, tr("&Block"), this);
    m_width = addField(grid, 1, 2, tr("&X"), this);
    m_height = addField(grid, 1, 4, tr("&Y"), this);
    CDialogFields::makeUpperCase(m_name);
    CDialogFields::makeUpperCase(m_number);
    for (QLineEdit* edit : {m_block, m_width, m_height}) {
        CDialogFields::makeNumeric(edit);
        edit->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    }
    m_usePattern = new QCheckBox(tr("Use &Pattern"), this);
    m_noBitPattern = new QCheckBox(tr("No B&it-pattern"), this);
    grid->addWidget(m_usePattern, 2, 0, 1, 2);
    grid->addWidget(m_noBitPattern, 2, 2, 1, 3);
    connect(m_usePattern, &QCheckBox::toggled, m_noBitPattern, &QCheckBox::setEnabled);

    m_note = new QPlainTextEdit(this);
    m_note->setTabChangesFocus(true);
    m_note->setAccessibleName(tr("Note"));
    auto* noteLabel = new QLabel(tr("No&te"), this);
    noteLabel->setBuddy(m_note);
    auto* form = new QFormLayout;
    m_manufacturer = new QLineEdit(this);
    m_partNumber = new QLineEdit(this);
    m_package = new QLineEdit(this);
    form->addRow(tr("Manufacturer"), m_manufacturer);
    form->addRow(tr("MfrPartNumber"), m_partNumber);
    form->addRow(tr("Package"), m_package);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCompProperty::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCompProperty::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(noteLabel);
    layout->addWidget(m_note);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CCompProperty::initDialog() {
    if (!data.usePattern)
        data.noBitPattern = false;
    m_name->setText(m_encoding.toUnicode(data.name));
    m_number->setText(m_encoding.toUnicode(data.number));
    m_width->setText(QString::number(data.width));
    m_height->setText(QString::number(data.height));
    m_block->setText(QString::number(data.blockCount));
    m_usePattern->setChecked(data.usePattern);
    m_noBitPattern->setChecked(data.noBitPattern);
    m_noBitPattern->setEnabled(data.usePattern);
    m_note->setPlainText(CPelmMessage::toEditText(m_encoding, data.note));
    m_manufacturer->setText(m_encoding.toUnicode(data.manufacturer));
    m_partNumber->setText(m_encoding.toUnicode(data.partNumber));
    m_package->setText(m_encoding.toUnicode(data.package));
    m_name->setFocus();
    m_name->selectAll();
}

int CCompProperty::exec() {
    initDialog();
    return QDialog::exec();
}

QString CCompProperty::message(SCompPropertyData::Error error) {
    switch (error) {
    case SCompPropertyData::Error::Name:
        return tr("Invalid component name.");
    case SCompPropertyData::Error::Size:
        return tr("Size must be 1~255.");
    case SCompPropertyData::Error::BlockCount:
        return tr("Block count must be 1~255.");
    case SCompPropertyData::Error::None:
        break;
    }
    return {};
}

bool CCompProperty::store() {
    SCompPropertyData read = data;
    const bool texts =
        CPelmMessage::takeText(this, m_encoding, m_name->text(), read.name) &&
        CPelmMessage::takeText(this, m_encoding, m_number->text(), read.number) &&
        CPelmMessage::takeEditText(this, m_encoding, m_note->toPlainText(), read.note) &&
        CPelmMessage::takeText(this, m_encoding, m_manufacturer->text(), read.manufacturer) &&
        CPelmMessage::takeText(this, m_encoding, m_partNumber->text(), read.partNumber) &&
        CPelmMessage::takeText(this, m_encoding, m_package->text(), read.package);
    if (!texts)
        return false;
    read.width = CDialogFields::leadingNumber(m_width->text());
    read.height = CDialogFields::leadingNumber(m_height->text());
    read.blockCount = CDialogFields::leadingNumber(m_block->text());
    read.usePattern = m_usePattern->isChecked();
    read.noBitPattern = m_noBitPattern->isChecked();
    const SCompPropertyData::Error error = read.validate();
    if (error != SCompPropertyData::Error::None) {
        CPelmMessage::show(this, message(error));
        (error == SCompPropertyData::Error::Name ? m_name : m_width)->setFocus();
        return false;
    }
    if (!CDialogFields::checkMaxBytes(m_note, read.note.size(), SCompPropertyData::kMaxNoteLength))
        return false;
    data = std::move(read);
    return true;
}

void CCompProperty::accept() {
    if (store())
        QDialog::accept();
}
