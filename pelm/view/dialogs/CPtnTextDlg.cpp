#include "dialogs/CPtnTextDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

QGroupBox* radioGroup(const QString& title, std::initializer_list<QRadioButton*> buttons,
                      QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (QRadioButton* b : buttons) {
        layout->addWidget(b);
        group->addButton(b);
    }
    return box;
}

} // namespace

CPtnTextDlg::CPtnTextDlg(QWidget* parent)
    : QDialog(parent), m_text(new QLineEdit(this)),
      m_common(new QCheckBox(tr("Use common font"), this)),
      m_fontButton(new QPushButton(tr("&Font..."), this)),
      m_upper(new QRadioButton(tr("Upper"), this)), m_vcenter(new QRadioButton(tr("Center"), this)),
      m_lower(new QRadioButton(tr("Lower"), this)), m_left(new QRadioButton(tr("Left"), this)),
      m_hcenter(new QRadioButton(tr("Center"), this)),
      m_right(new QRadioButton(tr("Right"), this)) {
    setWindowTitle(tr("Property -text"));
    auto* textLabel = new QLabel(tr("&Text"), this);
    textLabel->setBuddy(m_text);
    m_vcenter->setAccessibleName(tr("Vertical center"));
    m_hcenter->setAccessibleName(tr("Horizontal center"));
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(textLabel);
    textRow->addWidget(m_text, 1);
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(m_common);
    fontRow->addWidget(m_fontButton);
    fontRow->addStretch();
    auto* anchors = new QHBoxLayout;
    anchors->addWidget(radioGroup(tr("Vertical anchor"), {m_upper, m_vcenter, m_lower}, this));
    anchors->addWidget(radioGroup(tr("Horizontal anchor"), {m_left, m_hcenter, m_right}, this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPtnTextDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPtnTextDlg::reject);
    connect(m_common, &QCheckBox::clicked, this, &CPtnTextDlg::applyCommonFontRule);
    connect(m_fontButton, &QPushButton::clicked, this, &CPtnTextDlg::chooseFont);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(textRow);
    layout->addLayout(fontRow);
    layout->addLayout(anchors);
    layout->addWidget(buttons);
    m_text->setMinimumWidth(260);
}

void CPtnTextDlg::applyCommonFontRule() {
    const bool common = m_common->isChecked();
    m_fontButton->setEnabled(!common);
    if (common) {
        font.face.clear();
        font.height = kCommonFontHeight;
    }
}

void CPtnTextDlg::chooseFont() {
    QFont initial = SDrawSettings::makeFont(font, 1, 1);
    initial.setStyleStrategy(QFont::PreferDefault);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, this, tr("Font"));
    if (!ok)
        return;
    font.face = chosen.family();
    const int pixels = chosen.pixelSize() > 0 ? chosen.pixelSize()
                                              : static_cast<int>(chosen.pointSizeF() * 96 / 72);
    font.height = -std::max(pixels, 1);
    font.weight = chosen.weight();
    font.italic = chosen.italic();
}

int CPtnTextDlg::exec() {
    m_common->setChecked(font.face.isEmpty());
    applyCommonFontRule();
    m_text->setText(text);
    const int h = alignment & 3;
    (h == 1 ? m_right : h == 2 ? m_hcenter : m_left)->setChecked(true);
    const int v = (alignment >> 2) & 3;
    (v == 1 ? m_upper : v == 2 ? m_vcenter : m_lower)->setChecked(true);
    return QDialog::exec();
}

void CPtnTextDlg::accept() {
    text = m_text->text();
    const int h = m_left->isChecked() ? 0 : m_right->isChecked() ? 1 : 2;
    const int v = m_upper->isChecked() ? 1 : m_vcenter->isChecked() ? 2 : 0;
    alignment = h + 4 * v;
    QDialog::accept();
}
