#include "window/CAboutDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Delvix"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
    icon->setAccessibleName(tr("Delvix icon"));
    row->addWidget(icon, 0, Qt::AlignTop);
    auto* text = new QLabel(tr("<b>Delvix</b><br>Version %1<br><br>Searches the texts of schematic "
                               "files and shows a hit in the schematic editor.")
                                .arg(QApplication::applicationVersion()),
                            this);
    text->setWordWrap(true);
    row->addWidget(text, 1);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}
