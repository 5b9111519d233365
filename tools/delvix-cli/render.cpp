#include "render.h"

#include <cstdio>

#ifndef KX_CLI_RENDER

int runRender(int, char**) {
    std::fputs("delvix-cli render: this build has no drawing (built without Qt)\n", stderr);
    return 2;
}

#else

#include "gui/CTextEncoding.h"
#include "schematic/SXKorvDocSch.h"
#include "sheetdraw/CSheetExport.h"
#include "viewcore/SSheetLoader.h"
#include "viewcore/SSheetViewport.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr char kRenderUsage[] =
    "usage: delvix-cli render FILE -o OUT.svg|OUT.png [--scale S] [--layers MASK]\n"
    "                         [--encoding NAME]\n"
    "\n"
    "Draws the schematic FILE as kxview shows it: the sheet frame and every object on the\n"
    "visible layers. OUT's extension chooses SVG or PNG.\n"
    "\n"
    "  --scale S        pixels per sheet unit, 0.05 to 16 (default 1)\n"
    "  --layers MASK    layers to draw, bit n for layer n, decimal or 0x hex\n"
    "                   (default: the sheet's own visible layers)\n"
    "  --encoding NAME  encoding of the file's texts (default: the locale's)\n"
    "\n"
    "Exit status: 0 written, 1 FILE cannot be read, 2 usage error or OUT cannot be written.\n";

struct RenderArgs {
    std::string file;
    std::string out;
    double scale = 1.0;
    std::optional<int32_t> layers;
    std::string encoding;
};

int usageError(const std::string& message) {
    std::fprintf(stderr, "delvix-cli render: %s\n\n%s", message.c_str(), kRenderUsage);
    return 2;
}

std::optional<int32_t> parseMask(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const std::string s(text);
    const long v = std::strtol(s.c_str(), &end, 0);
    if (*end != '\0' || v < 0 || v > 255)
        return std::nullopt;
    return static_cast<int32_t>(v);
}

// Fills `args`; an error message, or empty when the arguments are fine.
std::string parseArgs(int argc, char** argv, RenderArgs& args) {
    bool plain = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!plain && a == "--") {
            plain = true;
        } else if (!plain && (a == "-o" || a == "--output")) {
            if (!hasValue)
                return "-o needs a file";
            args.out = argv[++i];
        } else if (!plain && a == "--scale") {
            if (!hasValue)
                return "--scale needs a number";
            char* end = nullptr;
            args.scale = std::strtod(argv[++i], &end);
            if (*end != '\0' || !std::isfinite(args.scale) || args.scale < 0.05 || args.scale > 16)
                return "--scale must be a number from 0.05 to 16";
        } else if (!plain && a == "--layers") {
            if (!hasValue)
                return "--layers needs a mask";
            args.layers = parseMask(argv[++i]);
            if (!args.layers)
                return "--layers must be a mask from 0 to 255";
        } else if (!plain && a == "--encoding") {
            if (!hasValue)
                return "--encoding needs a name";
            args.encoding = argv[++i];
        } else if (!plain && a.size() > 1 && a[0] == '-') {
            return "unknown option '" + std::string(a) + "'";
        } else if (args.file.empty()) {
            args.file = a;
        } else {
            return "expected exactly one FILE";
        }
    }
    if (args.file.empty())
        return "no FILE given";
    if (args.out.empty())
        return "no output given (-o OUT.svg or -o OUT.png)";
    return {};
}

// Qt's own notes about the session (no runtime folder and the like) are not ours to report.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg)
        std::fprintf(stderr, "delvix-cli render: %s\n", qPrintable(message));
}

bool writeFile(const QString& path, const QByteArray& bytes, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

int runRender(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::fputs(kRenderUsage, stdout);
        return std::fflush(stdout) == 0 ? 0 : 2;
    }
    RenderArgs args;
    if (const std::string error = parseArgs(argc, argv, args); !error.empty())
        return usageError(error);
    const QString out = QFile::decodeName(QByteArray::fromStdString(args.out));
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix != "svg" && suffix != "png")
        return usageError("OUT must end in .svg or .png");

    // Fonts need a GUI application, but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQt);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    CTextEncoding encoding;
    if (!args.encoding.empty()) {
        encoding = CTextEncoding(QString::fromStdString(args.encoding));
        if (!encoding.isValid())
            return usageError("unknown encoding '" + args.encoding + "'");
    }

    SSheetLoad load = SSheetLoader::load(args.file, args.file);
    if (!load.doc) {
        std::fprintf(stderr, "delvix-cli render: %s\n", load.error.c_str());
        return 1;
    }
    const int32_t num = static_cast<int32_t>(std::lround(args.scale * SSheetViewport::kDen));
    const int32_t layers = args.layers.value_or(load.doc->visibleLayers());
    QByteArray bytes;
    if (suffix == "svg") {
        bytes = CSheetExport::toSvg(*load.doc, num, layers, encoding,
                                    QFileInfo(QFile::decodeName(args.file.c_str())).fileName());
    } else {
        const QImage image = CSheetExport::toImage(*load.doc, num, layers, encoding);
        if (image.isNull()) {
            std::fputs("delvix-cli render: the picture would be too large at this scale\n", stderr);
            return 2;
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    QString error;
    if (bytes.isEmpty() || !writeFile(out, bytes, error)) {
        std::fprintf(stderr, "delvix-cli render: cannot write %s: %s\n", args.out.c_str(),
                     qPrintable(error.isEmpty() ? QStringLiteral("nothing drawn") : error));
        return 2;
    }
    return 0;
}

#endif
