#include "app/CPelmApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelm"));
    QApplication::setDesktopFileName(QStringLiteral("pelm"));
    CPelmApp pelm;
    if (!pelm.initInstance(QApplication::arguments()))
        return 1;
    return QApplication::exec();
}
