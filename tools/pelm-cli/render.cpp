// pelm-cli render: one library entry drawn by the editor view's routines, as the view paints it
// when its window is exactly as large as its scrollable extent.

#include "render.h"

#include "edit/SCompEditDoc.h"
#include "geom/SViewGeometry.h"
#include "model/SCompLib.h"
#include "render/SCompRenderer.h"
#include "render/SDrawSettings.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <charconv>
#include <cstdio>
#include <optional>

namespace {

enum ExitCode : int { kDone = 0, kPartly = 1, kFailed = 2 };

struct Options {
    std::string file;
    std::string name;
    std::string out;
    int32_t zoomStep = 0;
    int32_t margin = SViewGeometry::kMinMargin;
    int32_t block = 0;
    bool grid = true;
};

// Qt's notes about the session (runtime folders, platform plugins) are no business of a
// command-line user; only real failures are shown.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "pelm-cli: render: %s\n", message.toLocal8Bit().constData());
}

int fail(const std::string& message) {
    std::fputs(("pelm-cli: render: " + message + "\n").c_str(), stderr);
    return kFailed;
}

std::optional<int32_t> number(const std::string& text) {
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool endsWith(const std::string& text, std::string_view tail) {
    if (text.size() < tail.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        const char c = text[text.size() - tail.size() + i];
        if (static_cast<char>(c | 0x20) != tail[i])
            return false;
    }
    return true;
}

// Returns an error message, or nothing when the options are good.
std::optional<std::string> parse(const std::vector<std::string>& args, Options& o) {
    std::vector<std::string> positional;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--no-grid") {
            o.grid = false;
        } else if (a == "-o" || a == "--zoom" || a == "--margin" || a == "--block") {
            if (!hasValue)
                return a + " needs a value";
            const std::string& v = args[++i];
            if (a == "-o") {
                o.out = v;
                continue;
            }
            const auto n = number(v);
            if (!n)
                return a + " takes a number, not '" + v + "'";
            if (a == "--zoom") {
                const auto& f = SViewGeometry::kZoomFactors;
                const auto it = std::find(f.begin(), f.end(), *n);
                if (it == f.end())
                    return "--zoom must be 1, 2, 5 or 10";
                o.zoomStep = static_cast<int32_t>(it - f.begin());
            } else if (a == "--margin") {
                o.margin = *n; // held to 50..200 as the view holds it
            } else if (*n < 0) {
                return "--block must not be negative";
            } else {
                o.block = *n;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option '" + a + "'";
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2)
        return "takes FILE and NAME";
    o.file = positional[0];
    o.name = positional[1];
    if (o.out.empty())
        return "-o OUT.png or -o OUT.svg is required";
    if (!endsWith(o.out, ".png") && !endsWith(o.out, ".svg"))
        return "the output must end in .png or .svg";
    return std::nullopt;
}

struct Scene {
    SCompEditDoc doc;
    const SPtn* pattern = nullptr;
    SViewGeometry geom;
};

void draw(QPainter& painter, Scene& scene, const Options& o, bool grid) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    const SPoint offset = scene.geom.scrollOffset();
    painter.translate(-offset.x, -offset.y);
    SCompRenderer::Background what;
    what.doc = &scene.doc;
    what.pattern = scene.pattern;
    what.factor = scene.geom.factor();
    what.block = o.block;
    what.visibleModel = scene.geom.visibleModelArea();
    what.grid = grid;
    SCompRenderer::drawBackground(painter, SDrawSettings::instance(), what);
}

QImage picture(Scene& scene, const Options& o, bool grid) {
    const SSize size = scene.geom.clientSize();
    QImage image(size.width, size.height, QImage::Format_RGB32);
    image.fill(SCompRenderer::kBackground);
    QPainter painter(&image);
    draw(painter, scene, o, grid);
    painter.end();
    return image;
}

// The part of the picture that holds anything but background, one pixel wider on every side.
QRect drawnRect(const QImage& image) {
    QRect box;
    const QRgb white = SCompRenderer::kBackground.rgb();
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (row[x] != white)
                box |= QRect(x, y, 1, 1);
    }
    if (box.isEmpty())
        return image.rect();
    return box.adjusted(-1, -1, 1, 1).intersected(image.rect());
}

bool writeSvg(Scene& scene, const Options& o) {
    const QRect crop = drawnRect(picture(scene, o, false));
    QSvgGenerator svg;
    svg.setFileName(QString::fromLocal8Bit(o.out.c_str()));
    svg.setSize(crop.size());
    svg.setViewBox(QRect(QPoint(0, 0), crop.size()));
    svg.setTitle(QString::fromLocal8Bit(o.name.c_str()));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    painter.fillRect(QRect(QPoint(0, 0), crop.size()), SCompRenderer::kBackground);
    painter.setClipRect(QRect(QPoint(0, 0), crop.size()));
    painter.translate(-crop.left(), -crop.top());
    draw(painter, scene, o, o.grid);
    return painter.end();
}

int render(const Options& o, SLibraryLoader load) {
    SCompLib lib;
    const int loaded = load(lib, o.file);
    if (loaded == kFailed)
        return kFailed;
    const SCompIndex* entry = lib.findEntry(o.name);
    if (!entry || !entry->component())
        return fail(o.file + ": no entry named '" + o.name + "'");
    Scene scene;
    scene.doc.loadComponent(entry->component());
    scene.pattern = entry->component()->pattern();
    scene.geom.setZoomStep(o.zoomStep);
    scene.geom.setMargin(o.margin);
    scene.geom.setContent(scene.doc.size());
    scene.geom.resize(scene.geom.extent());
    const SSize size = scene.geom.clientSize();
    if (size.width <= 0 || size.height <= 0 || int64_t{size.width} * size.height > (1ll << 28))
        return fail("the picture would be " + std::to_string(size.width) + " x " +
                    std::to_string(size.height) + " pixels, too large");
    bool written = false;
    if (endsWith(o.out, ".svg")) {
        written = writeSvg(scene, o);
    } else {
        const QImage image = picture(scene, o, o.grid).convertToFormat(QImage::Format_RGB888);
        written = image.save(QString::fromLocal8Bit(o.out.c_str()), "PNG");
    }
    if (!written)
        return fail(o.out + ": cannot write");
    return loaded;
}

} // namespace

int runRender(const std::vector<std::string>& args, SLibraryLoader load) {
    Options options;
    if (const auto error = parse(args, options))
        return fail(*error);
    // Fonts need a GUI application; no display is needed to draw into images.
    qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "pelm-cli";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    return render(options, load);
}
