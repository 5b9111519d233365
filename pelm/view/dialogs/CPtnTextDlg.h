#pragma once

#include "render/SDrawSettings.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Property -text": a pattern text, its anchor and its font. An empty face name means the
// common (label) font. Fill the public members, exec(), read them back after Accepted.
class CPtnTextDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCommonFontHeight = 10;

    explicit CPtnTextDlg(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    QString text;
    // Bits 0-1: 0 left, 1 right, 2 centre; bits 2-3: 0 lower, 1 upper, 2 centre.
    int alignment = 0;
    SFontDesc font{kCommonFontHeight, 0, false, QString()};

private:
    void applyCommonFontRule();
    void chooseFont();

    QLineEdit* m_text;
    QCheckBox* m_common;
    QPushButton* m_fontButton;
    QRadioButton* m_upper;
    QRadioButton* m_vcenter;
    QRadioButton* m_lower;
    QRadioButton* m_left;
    QRadioButton* m_hcenter;
    QRadioButton* m_right;
};
