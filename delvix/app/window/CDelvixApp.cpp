#include "window/CDelvixApp.h"

#include "handoff/CQuitOnSignal.h"
#include "protocol/SCmdLineParam.h"
#include "protocol/SHandoff.h"
#include "window/CDelvixDlg.h"
#include "window/CDelvixSettings.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

#include <cstdlib>

int CDelvixApp::run(int argc, char** argv) {
    Q_INIT_RESOURCE(delvix);
    QApplication app(argc, argv); // takes Qt's own options out of argv
    QApplication::setApplicationName(QStringLiteral("Delvix"));
    QApplication::setApplicationVersion(QStringLiteral(KX_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/delvix/delvix.svg")));
    SCmdLineParam commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine.parseParam(argv[i]);
    const CQuitOnSignal quitOnSignal;
    CDelvixSettings settings;
    CDelvixDlg::Services services;
    services.editorProgram = SHandoff::editorProgram(
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(),
        QFile::encodeName(settings.editorProgram()).toStdString(), std::getenv("PATH"));
    CDelvixDlg dialog(settings, std::move(services));
    if (!dialog.initialise(commandLine))
        return 0; // another window shows that folder and came forward
    dialog.exec();
    return 0;
}
