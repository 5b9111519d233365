#include "CElementProperty.h"

#include "dialogs/CPinProperty.h"
#include "dialogs/CPtnProperty.h"
#include "dialogs/CPtnTextDlg.h"
#include "edit/SCompEditDoc.h"
#include "model/SPin.h"
#include "model/SPtnObjText.h"

#include <QMessageBox>

#include <cstdlib>
#include <optional>
#include <vector>

namespace {

constexpr size_t kMaxFaceBytes = 31;

} // namespace

QString CElementProperty::decode(std::string_view bytes) const {
    return m_encoding.toUnicode(bytes);
}

bool CElementProperty::encode(const QString& text, std::string& out) const {
    QString bad;
    if (m_encoding.fromUnicode(text, out, &bad))
        return true;
    QMessageBox::warning(m_parent, QObject::tr("Pelm"),
                         QObject::tr("The character \"%1\" cannot be written in the encoding %2.")
                             .arg(bad, m_encoding.name()));
    return false;
}

bool CElementProperty::editPin(SPin& pin, SCompEditDoc& doc) const {
    CPinProperty dialog(m_parent);
    dialog.setNameFromPin(pin.name().value_or(std::string_view()));
    dialog.setBlockCount(pin.blockCount());
    for (int32_t i = 0; i < pin.blockCount(); ++i)
        dialog.numbers[static_cast<size_t>(i)] = decode(pin.number(i).value_or(""));
    dialog.hideNumber = (pin.typeFlags() & SPin::kFlagNumberHidden) != 0;
    dialog.typeCode = static_cast<int>(pin.typeFlags() & 0x0F);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    std::string name;
    std::vector<std::string> numbers(dialog.numbers.size());
    if (!encode(dialog.name, name))
        return false;
    for (size_t i = 0; i < numbers.size(); ++i)
        if (!encode(dialog.numbers[i], numbers[i]))
            return false;
    pin.setName(name);
    doc.setLastPinName(name);
    for (size_t i = 0; i < numbers.size(); ++i)
        pin.setNumber(static_cast<int32_t>(i), numbers[i]);
    if (!numbers.empty())
        doc.setLastPinNumber(numbers[0]);
    pin.setTypeFlags((dialog.hideNumber ? SPin::kFlagNumberHidden : 0u) |
                     static_cast<uint32_t>(dialog.typeCode));
    return true;
}

bool CElementProperty::editText(SPtnObjText& text) const {
    CPtnTextDlg dialog(m_parent);
    dialog.alignment = static_cast<int>(text.alignment());
    dialog.text = decode(text.text());
    const std::string& face = text.fontName();
    dialog.font.face =
        decode(std::string_view(face).substr(0, std::min(face.size(), kMaxFaceBytes)));
    dialog.font.height = text.fontSize();
    dialog.font.weight = text.bold() ? 700 : 400;
    dialog.font.italic = text.italic();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    std::string bytes;
    std::string faceBytes;
    if (!encode(dialog.text, bytes) || !encode(dialog.font.face, faceBytes))
        return false;
    text.setText(std::move(bytes));
    text.setAlignment(static_cast<uint32_t>(dialog.alignment));
    text.setFontSize(std::abs(dialog.font.height));
    text.setBold(dialog.font.weight > 699);
    text.setItalic(dialog.font.italic);
    text.setFontName(std::move(faceBytes));
    return true;
}

bool CElementProperty::editStyle(SPtnObj& object) const {
    CPtnProperty dialog(m_parent);
    dialog.dot = object.style() != 0 ? 1 : 0;
    dialog.widthIndex = object.width();
    dialog.fill = object.fill() != SPtnObj::kNotFilled ? 1 : 0;
    dialog.fillAllowed =
        object.id() == SPtnObjId::Circle || object.id() == SPtnObjId::Polygon ? 1 : 0;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    object.setStyle(dialog.dot ? 1 : 0);
    object.setWidth(dialog.widthIndex);
    object.setFill(dialog.fill ? 1 : SPtnObj::kNotFilled);
    return true;
}
