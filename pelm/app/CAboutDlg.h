#pragma once

#include <QDialog>

// "About Pelm": the icon, "Pelm Version " and the version text of the active translation.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    static QString versionLine();
};
