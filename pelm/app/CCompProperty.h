#pragma once

#include "doc/SCompPropertyData.h"

#include <QDialog>

class CTextEncoding;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

// "Property - component": a component's name, reference prefix, size, blocks, pattern options
// and texts. Also used for a new component.
class CCompProperty : public QDialog {
    Q_OBJECT
public:
    CCompProperty(const CTextEncoding& encoding, QWidget* parent = nullptr);

    // Filled before exec(), read after Accepted.
    SCompPropertyData data;

    // Puts the members into the fields (exec does it first).
    Q_INVOKABLE void initDialog();
    int exec() override;
    void accept() override;

    // The message for a failed check, or empty.
    static QString message(SCompPropertyData::Error error);

    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* numberEdit() const { return m_number; }
    QLineEdit* blockEdit() const { return m_block; }
    QLineEdit* widthEdit() const { return m_width; }
    QLineEdit* heightEdit() const { return m_height; }
    QCheckBox* usePatternBox() const { return m_usePattern; }
    QCheckBox* noBitPatternBox() const { return m_noBitPattern; }
    QPlainTextEdit* noteEdit() const { return m_note; }

private:
    bool store();

    const CTextEncoding& m_encoding;
    QLineEdit* m_name;
    QLineEdit* m_number;
    QLineEdit* m_block;
    QLineEdit* m_width;
    QLineEdit* m_height;
    QCheckBox* m_usePattern;
    QCheckBox* m_noBitPattern;
    QPlainTextEdit* m_note;
    QLineEdit* m_manufacturer;
    QLineEdit* m_partNumber;
    QLineEdit* m_package;
};
