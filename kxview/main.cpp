#include "gui/CTextEncoding.h"
#include "window/CViewerWindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kxview"));
    QApplication::setApplicationVersion(QStringLiteral("0.69.02"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows schematic files; opens the hits clicked in Delvix."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption encodingOption(
        QStringLiteral("encoding"),
        QStringLiteral("Text encoding of the files (default: the locale's)."),
        QStringLiteral("NAME"));
    parser.addOption(encodingOption);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Schematic files to show."),
                                 QStringLiteral("[FILE...]"));
    parser.process(app);

    CTextEncoding encoding;
    if (parser.isSet(encodingOption)) {
        encoding = CTextEncoding(parser.value(encodingOption));
        if (!encoding.isValid()) {
            std::fprintf(stderr, "kxview: unknown encoding '%s'\n",
                         qPrintable(parser.value(encodingOption)));
            return 2;
        }
    }
    CViewerWindow window(encoding);
    if (!window.listen())
        std::fputs("kxview: cannot listen for Delvix; hits will not open here\n", stderr);
    for (const QString& file : parser.positionalArguments())
        window.openFile(file);
    window.show();
    return QApplication::exec();
}
