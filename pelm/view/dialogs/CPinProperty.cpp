#include "dialogs/CPinProperty.h"

#include "model/SPin.h"
#include "render/SCompRenderer.h"
#include "render/SDrawSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr const char* kTypeNames[6] = {
    "Plain", "Clock", "Negation", "Negation and clock", "Number close to the pin", "Zero length"};

// A picture of a left-side pin of one type, drawn by the same routine as the editor.
QPixmap typePicture(int typeCode) {
    constexpr int kZoom = 2;
    QImage image(48, 28, QImage::Format_RGB32);
    image.fill(SCompRenderer::kBackground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(28, 14);
    painter.setPen(QPen(SCompRenderer::kOutlineWithPattern, 1));
    painter.drawLine(0, -12, 0, 12);
    SCompRenderer::drawPin(painter, SDrawSettings::instance(), SPoint(0, 0),
                           static_cast<uint32_t>(typeCode), SPin::kSideLeft, "", "", 1, kZoom, 1);
    painter.end();
    return QPixmap::fromImage(image);
}

} // namespace

CPinProperty::CPinProperty(QWidget* parent)
    : QDialog(parent), m_name(new QLineEdit(this)), m_number(new QLineEdit(this)),
      m_block(new QSpinBox(this)), m_hide(new QCheckBox(tr("&Hide number"), this)),
      m_typeGroup(new QButtonGroup(this)) {
    setWindowTitle(tr("Pin - property"));
    m_number->setAccessibleName(tr("Number"));
    auto* form = new QFormLayout;
    auto* nameLabel = new QLabel(tr("&Name"), this);
    nameLabel->setBuddy(m_name);
    form->addRow(nameLabel, m_name);
    auto* numberBox = new QGroupBox(tr("Nu&mber"), this);
    auto* numberForm = new QFormLayout(numberBox);
    auto* blockLabel = new QLabel(tr("&Block"), this);
    blockLabel->setBuddy(m_block);
    numberForm->addRow(m_number);
    numberForm->addRow(blockLabel, m_block);
    auto* typeBox = new QGroupBox(tr("Type"), this);
    auto* typeGrid = new QGridLayout(typeBox);
    for (size_t i = 0; i < m_types.size(); ++i) {
        auto* button = new QRadioButton(typeBox);
        button->setIcon(typePicture(kTypeCodes[i]));
        button->setIconSize(QSize(48, 28));
        button->setAccessibleName(tr(kTypeNames[i]));
        button->setToolTip(tr(kTypeNames[i]));
        m_typeGroup->addButton(button);
        typeGrid->addWidget(button, static_cast<int>(i / 2), static_cast<int>(i % 2));
        m_types[i] = button;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPinProperty::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPinProperty::reject);
    connect(m_block, &QSpinBox::valueChanged, this, &CPinProperty::blockChanged);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(numberBox);
    layout->addWidget(m_hide);
    layout->addWidget(typeBox);
    layout->addWidget(buttons);
}

void CPinProperty::setNameFromPin(std::string_view bytes) {
    const std::string encoded = SPin::encodeName(bytes);
    name = QString::fromLatin1(encoded.data(), static_cast<qsizetype>(encoded.size()));
}

void CPinProperty::setBlockCount(int count) {
    m_blockCount = std::max(count, 0);
    numbers.assign(static_cast<size_t>(m_blockCount), QString());
}

int CPinProperty::blockFromSpin() const {
    return std::clamp(m_block->value() - 1, 0, std::max(m_blockCount - 1, 0));
}

void CPinProperty::blockChanged() {
    const int n = blockFromSpin();
    if (n == m_current || m_blockCount <= 0)
        return;
    // The edited number is kept when the spin moves away from its block.
    numbers[static_cast<size_t>(m_current)] = m_number->text();
    m_number->setText(numbers[static_cast<size_t>(n)]);
    m_current = n;
}

int CPinProperty::exec() {
    m_name->setText(name);
    m_current = 0;
    {
        const QSignalBlocker block(m_block);
        m_block->setRange(1, std::max(m_blockCount, 1));
        m_block->setValue(1);
    }
    m_number->setText(m_blockCount > 0 ? numbers[0] : QString());
    m_number->setEnabled(m_blockCount > 0);
    m_block->setEnabled(m_blockCount > 1);
    m_hide->setChecked(hideNumber);
    // A type code outside the table leaves every button unchecked.
    m_typeGroup->setExclusive(false);
    for (size_t i = 0; i < m_types.size(); ++i)
        m_types[i]->setChecked(kTypeCodes[i] == typeCode);
    m_typeGroup->setExclusive(true);
    return QDialog::exec();
}

void CPinProperty::accept() {
    name = m_name->text();
    if (m_blockCount > 0)
        numbers[static_cast<size_t>(blockFromSpin())] = m_number->text();
    hideNumber = m_hide->isChecked();
    typeCode = 2; // none checked
    for (size_t i = 0; i + 1 < m_types.size(); ++i)
        if (m_types[i]->isChecked()) {
            typeCode = kTypeCodes[i];
            break;
        }
    QDialog::accept();
}
