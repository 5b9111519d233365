#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <vector>

class QCheckBox;
class QComboBox;

// "Find Option": the match flags, the target check boxes in the "Find from" group and the text
// encoding. Members are filled before exec() and read after OK.
class CFindOption : public QDialog {
    Q_OBJECT
public:
    explicit CFindOption(QWidget* parent = nullptr);

    bool m_matchWhole = true;
    bool m_caseSensitive = true;
    bool m_includeSubfolders = true;
    int32_t m_targets = -1;
    QString m_encoding;

    void accept() override;

    // The check box of a target bit (for tests and accessibility checks).
    QCheckBox* targetBox(int32_t bit) const;
    QCheckBox* matchWholeBox() const { return m_matchWholeBox; }
    QCheckBox* caseSensitiveBox() const { return m_caseBox; }
    QCheckBox* includeSubfoldersBox() const { return m_subfoldersBox; }
    QComboBox* encodingBox() const { return m_encodingBox; }

    // Puts the members into the controls; call it once they are filled, before exec().
    void load();

private:
    QCheckBox* m_matchWholeBox;
    QCheckBox* m_caseBox;
    QCheckBox* m_subfoldersBox;
    std::vector<std::pair<int32_t, QCheckBox*>> m_targetBoxes;
    QComboBox* m_encodingBox;
};
