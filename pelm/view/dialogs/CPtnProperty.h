#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;

// "Property - pattern": line style, width and fill of a line, circle, polygon or arc. Fill the
// public members, exec(), read them back after Accepted.
class CPtnProperty : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxWidthIndex = 5;

    explicit CPtnProperty(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    int fill = 0;
    int dot = 0;
    int widthIndex = 1;
    int fillAllowed = 0;

private:
    QCheckBox* m_fill;
    QCheckBox* m_dot;
    QComboBox* m_width;
};
