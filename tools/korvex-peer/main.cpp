// korvex-peer: answers Delvix's hand-off the way the schematic editor does, for tests and for
// anyone who writes an editor.
#include "CKorvexPeer.h"
#include "handoff/CQuitOnSignal.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr char kUsage[] =
    "usage: korvex-peer [OPTIONS] [FILE]\n"
    "\n"
    "Stands in for the schematic editor in Delvix's hand-off. It listens on the local socket\n"
    "  $XDG_RUNTIME_DIR/vennhald/Korvex-Vennhald.<pid>\n"
    "(else /tmp/vennhald-<uid>/; the folder must be ours with mode 0700) and answers one\n"
    "request line per connection:\n"
    "  COPYDATA <dwData> <path>   a file is offered; reply \"1\" to take it, \"0\" to decline.\n"
    "                             Only dwData 1 is an offer. In <path>, every byte outside\n"
    "                             printable ASCII, and space and %, is %XX (hex).\n"
    "  POSITION <n>               show the hit at x = n % 65536, y = n / 65536 (sheet units)\n"
    "                             in the file taken last; reply \"1\".\n"
    "Requests and replies end with a newline. Delvix offers a clicked hit's file to every\n"
    "Korvex-Vennhald socket in turn and sends POSITION to the first that takes it; when none\n"
    "does, it starts the program \"korvex\" from its own folder with FILE as the argument,\n"
    "waits up to 5 s for its socket and sends POSITION.\n"
    "\n"
    "Options:\n"
    "  --accept        take every file offered (default)\n"
    "  --decline       decline every file offered\n"
    "  --log FILE      append each message received to FILE (default: standard output)\n"
    "  --no-window     run without a window\n"
    "  --help          show this text\n"
    "\n"
    "Log lines: \"file <path>\" for FILE, \"listening <socket>\", then per message\n"
    "\"COPYDATA 1 <path> -> 1\" or \"POSITION <n> (x <x>, y <y>) -> 1\".\n";

// Fills `options`; returns -1 to run, else the exit status.
int parseArguments(int argc, char** argv, CKorvexPeer::Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(arg, "--accept") == 0) {
            options.accept = true;
        } else if (std::strcmp(arg, "--decline") == 0) {
            options.accept = false;
        } else if (std::strcmp(arg, "--no-window") == 0) {
            options.window = false;
        } else if (std::strcmp(arg, "--log") == 0 && i + 1 < argc) {
            options.logPath = QString::fromLocal8Bit(argv[++i]);
        } else if (arg[0] == '-') {
            std::fprintf(stderr, "korvex-peer: unknown option %s\n\n%s", arg, kUsage);
            return 2;
        } else {
            options.file = QByteArray(arg);
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    CKorvexPeer::Options options;
    if (const int status = parseArguments(argc, argv, options); status >= 0)
        return status;
    // Without a window no display is needed.
    const std::unique_ptr<QCoreApplication> app =
        options.window ? std::make_unique<QApplication>(argc, argv)
                       : std::make_unique<QCoreApplication>(argc, argv);
    const CQuitOnSignal quitOnSignal;
    CKorvexPeer peer(options);
    if (!peer.start())
        return 1;
    return app->exec();
}
