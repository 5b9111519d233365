#include "CKorvexPeer.h"

#include "handoff/CHandoffServer.h"
#include "protocol/SPeerDirectory.h"

#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

CKorvexPeer::CKorvexPeer(Options options)
    : m_options(std::move(options)),
      m_server(new CHandoffServer(
          SPeerDirectory::kEditorMarker,
          [this](const SHandoffRequest& request) { return handle(request); }, this)),
      m_file(m_options.file) {}

CKorvexPeer::~CKorvexPeer() = default;

bool CKorvexPeer::start() {
    bool logOk = false;
    if (m_options.logPath.isEmpty()) {
        logOk = m_log.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    } else {
        m_log.setFileName(m_options.logPath);
        logOk = m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    }
    if (!logOk) {
        std::fprintf(stderr, "korvex-peer: cannot open the log %s\n",
                     qPrintable(m_options.logPath));
        return false;
    }
    if (!m_server->listen()) {
        std::fprintf(stderr, "korvex-peer: cannot listen in the socket folder\n");
        return false;
    }
    if (!m_file.isEmpty())
        log("file " + QByteArray::fromStdString(SHandoffMessage::escape(m_file.toStdString())));
    log("listening " + QFile::encodeName(m_server->socketPath()));
    if (m_options.window) {
        m_window = std::make_unique<QWidget>();
        m_window->setWindowTitle(QStringLiteral("korvex-peer"));
        auto* layout = new QVBoxLayout(m_window.get());
        m_fileLabel = new QLabel(m_window.get());
        m_positionLabel = new QLabel(m_window.get());
        layout->addWidget(m_fileLabel);
        layout->addWidget(m_positionLabel);
        m_window->resize(360, 90);
        showState();
        m_window->show();
    }
    return true;
}

bool CKorvexPeer::handle(const SHandoffRequest& request) {
    QByteArray line;
    bool taken = false;
    if (request.kind == SHandoffRequest::Kind::Position) {
        const int x = static_cast<int>(request.position & 0xFFFF);
        const int y = static_cast<int>(request.position >> 16);
        m_position = QStringLiteral("%1, %2").arg(x).arg(y);
        line = "POSITION " + QByteArray::number(request.position) + " (x " + QByteArray::number(x) +
               ", y " + QByteArray::number(y) + ")";
        taken = true;
    } else {
        taken = m_options.accept && request.dwData == SHandoffMessage::kOfferPath;
        if (taken)
            m_file = QByteArray::fromStdString(request.path);
        line = QByteArray::fromStdString(SHandoffMessage::copyData(request.dwData, request.path))
                   .trimmed();
    }
    log(line + (taken ? " -> 1" : " -> 0"));
    showState();
    if (taken && m_window) {
        m_window->showNormal();
        m_window->raise();
        m_window->activateWindow();
    }
    return taken;
}

void CKorvexPeer::log(const QByteArray& line) {
    m_log.write(line + '\n');
    m_log.flush();
}

void CKorvexPeer::showState() {
    if (!m_fileLabel)
        return;
    const QString name =
        m_file.isEmpty() ? tr("(none)") : QFileInfo(QFile::decodeName(m_file)).fileName();
    m_fileLabel->setText(tr("File: %1").arg(name));
    m_fileLabel->setToolTip(QFile::decodeName(m_file));
    m_positionLabel->setText(
        tr("Position: %1").arg(m_position.isEmpty() ? tr("(none)") : m_position));
}
