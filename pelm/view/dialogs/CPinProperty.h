#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <string_view>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QSpinBox;
class QRadioButton;

// "Pin - property": a pin's name (in its 7-bit form), its number in each block, the hidden
// number flag and its type, picked with six picture buttons. Fill the public members, exec(),
// read them back after Accepted.
class CPinProperty : public QDialog {
    Q_OBJECT
public:
    // Type codes of the six buttons, in their order.
    static constexpr std::array<int, 6> kTypeCodes{0, 4, 8, 12, 1, 2};

    explicit CPinProperty(QWidget* parent = nullptr);

    // The name from a pin's stored bytes (overlined characters become "\" + character).
    void setNameFromPin(std::string_view bytes);
    // Discards the numbers and makes `count` empty ones (none for 0 or less).
    void setBlockCount(int count);
    int blockCount() const { return m_blockCount; }

    int exec() override;
    void accept() override;

    QString name;
    std::vector<QString> numbers;
    bool hideNumber = false;
    int typeCode = 0;

private:
    int blockFromSpin() const;
    void blockChanged();

    int m_blockCount = 0;
    int m_current = 0;
    QLineEdit* m_name;
    QLineEdit* m_number;
    QSpinBox* m_block;
    QCheckBox* m_hide;
    QButtonGroup* m_typeGroup;
    std::array<QRadioButton*, 6> m_types{};
};
