#include "app/CAboutDlg.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Pelm"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/pelm/pelm.svg")).pixmap(48, 48));
    auto* version = new QLabel(versionLine(), this);
    version->setObjectName(QStringLiteral("version"));
    auto* second = new QLabel(tr("Component library editor for Korvex"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAboutDlg::accept);
    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(second, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString CAboutDlg::versionLine() {
    // The version text comes from the active translation, which is only used when it matches.
    return QStringLiteral("Pelm Version ") + QCoreApplication::translate("CPelmApp", "0.69.02");
}
