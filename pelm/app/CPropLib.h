#pragma once

#include <QDialog>

#include <string>

class CTextEncoding;
class QPlainTextEdit;

// "Property - library": the library's property text, at most 255 characters.
class CPropLib : public QDialog {
    Q_OBJECT
public:
    static constexpr size_t kMaxLength = 255;

    CPropLib(const CTextEncoding& encoding, QWidget* parent = nullptr);

    std::string text;

    Q_INVOKABLE void initDialog();
    int exec() override;
    void accept() override;

    QPlainTextEdit* textEdit() const { return m_text; }

private:
    const CTextEncoding& m_encoding;
    QPlainTextEdit* m_text;
};
