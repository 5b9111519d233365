#pragma once

#include <QDialog>

#include <string>

class CTextEncoding;
class QLineEdit;

// "Add alias": the name of a further entry for the selected component. Any text is accepted;
// the caller makes it unique.
class CAddAlias : public QDialog {
    Q_OBJECT
public:
    CAddAlias(const CTextEncoding& encoding, QWidget* parent = nullptr);

    std::string aliasFor;
    std::string aliasName;

    Q_INVOKABLE void initDialog();
    int exec() override;
    void accept() override;

    QLineEdit* aliasEdit() const { return m_alias; }

private:
    const CTextEncoding& m_encoding;
    QLineEdit* m_for;
    QLineEdit* m_alias;
};
