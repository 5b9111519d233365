#include "window/CDelvixDlg.h"

#include "engine/SDocFileSearcher.h"
#include "engine/SSearchEngine.h"
#include "handoff/CHandoffRunner.h"
#include "handoff/CHandoffServer.h"
#include "handoff/CPeerTransport.h"
#include "protocol/SCmdLineParam.h"
#include "protocol/SHandoff.h"
#include "rules/SDelvixRules.h"
#include "window/CAboutDlg.h"
#include "window/CFindOption.h"
#include "window/CResultList.h"
#include "window/CResultModel.h"
#include "window/CSearchAdapter.h"
#include "window/CSkippedDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The layout is given in dialog units of the dialog font: x in quarters of the average character
// width, y in eighths of the line height.
QSize dialogUnits(const QFontMetrics& fm, int x, int y) {
    return {(x * fm.averageCharWidth() + 3) / 4, (y * fm.height() + 7) / 8};
}

constexpr int kStatusIntervalMs = 200;
// Hits go into the list at most this often: each insertion relays out the whole list, so a flood
// of hits costs a few relayouts per second instead of one per turn of the event loop.
constexpr int kInsertIntervalMs = 100;
constexpr int kButtonIndex[] = {CDelvixDlg::kRef, CDelvixDlg::kStart, CDelvixDlg::kStop,
                                CDelvixDlg::kOption, CDelvixDlg::kExit};

} // namespace

CDelvixDlg::CDelvixDlg(CDelvixSettings& settings, Services services, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_services(std::move(services)),
      m_adapter(new CSearchAdapter(this)) {
    if (!m_services.searcher)
        m_services.searcher = std::make_shared<SDocFileSearcher>();
    if (m_services.editorProgram.empty())
        m_services.editorProgram = SHandoff::editorProgram(
            QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    m_handoff = std::make_unique<CHandoffRunner>(m_services.editorProgram);
    setWindowTitle(tr("Delvix"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    buildControls();
    buildMenu();
    connectSignals();
    updateControls();
    updateStatus();
}

CDelvixDlg::~CDelvixDlg() {
    stopAndJoin();
}

QPushButton* CDelvixDlg::button(int id) const {
    for (int i = 0; i < 5; ++i)
        if (kButtonIndex[i] == id)
            return m_buttons[i];
    return nullptr;
}

void CDelvixDlg::buildControls() {
    const QFontMetrics fm(font());
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const auto makeButton = [&](int index, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        b->setMinimumWidth(std::max(dialogUnits(fm, 33, 14).width(), b->sizeHint().width()));
        m_buttons[index] = b;
        return b;
    };
    auto* folderLabel = new QLabel(tr("Folder"), this);
    m_folder = new QLineEdit(this);
    m_folder->setReadOnly(true);
    folderLabel->setBuddy(m_folder);
    auto* textLabel = new QLabel(tr("Text"), this);
    m_search = new QLineEdit(this);
    m_search->setMinimumWidth(dialogUnits(fm, 138, 15).width());
    textLabel->setBuddy(m_search);
    grid->addWidget(folderLabel, 0, 0);
    grid->addWidget(m_folder, 0, 1, 1, 4);
    grid->addWidget(makeButton(0, tr("Ref")), 0, 5);
    grid->addWidget(textLabel, 1, 0);
    grid->addWidget(m_search, 1, 1);
    grid->addWidget(makeButton(1, tr("Start")), 1, 2);
    grid->addWidget(makeButton(2, tr("Stop")), 1, 3);
    grid->addWidget(makeButton(3, tr("Option")), 1, 4, Qt::AlignRight);
    grid->addWidget(makeButton(4, tr("Exit")), 1, 5);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    button(kStart)->setDefault(true);

    m_model = new CResultModel(this);
    m_list = new CResultList(m_model, this);
    m_list->setAccessibleName(tr("Search results"));
    layout->addWidget(m_list, 1);

    auto* statusRow = new QHBoxLayout;
    m_status = new QLabel(this);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_busy = new QProgressBar(this);
    m_busy->setRange(0, 0);
    m_busy->setMaximumWidth(dialogUnits(fm, 60, 8).width());
    m_busy->setMaximumHeight(fm.height());
    m_busy->setTextVisible(false);
    m_busy->setAccessibleName(tr("Searching"));
    m_skippedButton = new QPushButton(tr("Skipped files…"), this);
    m_skippedButton->setFlat(true);
    m_skippedButton->setAutoDefault(false);
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_skippedButton);
    statusRow->addWidget(m_busy);
    layout->addLayout(statusRow);
    m_statusTimer = new QTimer(this);
    m_statusTimer->setInterval(kStatusIntervalMs);
    m_insertTimer = new QTimer(this);
    m_insertTimer->setInterval(kInsertIntervalMs);
    m_insertTimer->setSingleShot(true);
    resize(dialogUnits(fm, 337, 200) + QSize(0, fm.height() * 3));
}

void CDelvixDlg::buildMenu() {
    auto* bar = new QMenuBar(this);
    QMenu* help = bar->addMenu(tr("&Help"));
    help->addAction(tr("&About Delvix..."), this, [this] { CAboutDlg(this).exec(); });
    layout()->setMenuBar(bar);
}

void CDelvixDlg::connectSignals() {
    connect(button(kRef), &QPushButton::clicked, this, &CDelvixDlg::chooseFolder);
    connect(button(kStart), &QPushButton::clicked, this, [this] { startSearch(); });
    connect(button(kStop), &QPushButton::clicked, this, &CDelvixDlg::stopSearch);
    connect(button(kOption), &QPushButton::clicked, this, [this] { openOptions(); });
    connect(button(kExit), &QPushButton::clicked, this, &CDelvixDlg::reject);
    connect(m_skippedButton, &QPushButton::clicked, this, &CDelvixDlg::showSkipped);
    connect(m_adapter, &CSearchAdapter::arrived, this, [this] {
        if (m_insertTimer->isActive()) {
            m_insertPending = true;
            return;
        }
        takeArrived();
        m_insertTimer->start();
    });
    connect(m_insertTimer, &QTimer::timeout, this, [this] {
        if (std::exchange(m_insertPending, false)) {
            takeArrived();
            m_insertTimer->start();
        }
    });
    connect(m_adapter, &CSearchAdapter::finished, this, &CDelvixDlg::searchEnded);
    connect(m_statusTimer, &QTimer::timeout, this, &CDelvixDlg::updateStatus);
    connect(m_list, &CResultList::handoffRequested, this, &CDelvixDlg::showHit);
    connect(m_list, &CResultList::contextMenuRequested, this, &CDelvixDlg::showContextMenu);
}

bool CDelvixDlg::initialise(const SCmdLineParam& commandLine) {
    m_server = new CHandoffServer(
        SPeerDirectory::kDelvixMarker,
        [this](const SHandoffRequest& request) { return handleRequest(request); }, this);
    m_server->listen();
    if (commandLine.hasPath()) {
        const std::string folder = SCmdLineParam::folderOf(commandLine.path());
        CPeerTransport transport;
        if (SHandoff::offerFolder(transport, folder, QCoreApplication::applicationPid()))
            return false;
        setFolder(QFile::decodeName(QByteArray::fromStdString(folder)));
    } else {
        setFolder(m_settings.initialFolder());
    }
    const CDelvixSettings::Find find = m_settings.readFind();
    m_pattern = find.string;
    m_params.targets = find.targetFlag;
    m_params.matchWhole = find.matchWhole;
    m_params.caseSensitive = find.caseSensitive;
    m_params.includeSubfolders = find.includeSubfolders;
    m_encoding = CTextEncoding(find.encoding);
    m_model->setEncoding(m_encoding);
    m_model->clear();
    updateControls();
    m_search->setFocus();
    return true;
}

void CDelvixDlg::setFolder(const QString& folder) {
    m_folder->setText(folder);
    m_folder->setCursorPosition(0);
    m_folder->setToolTip(folder);
}

QByteArray CDelvixDlg::folderBytes() const {
    return QFile::encodeName(m_folder->text());
}

bool CDelvixDlg::handleRequest(const SHandoffRequest& request) {
    if (request.kind != SHandoffRequest::Kind::CopyData ||
        request.dwData != SHandoffMessage::kOfferPath)
        return false;
    if (folderBytes().toStdString() != request.path)
        return false;
    raiseWindow();
    return true;
}

void CDelvixDlg::raiseWindow() {
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void CDelvixDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_columnsMade) {
        m_columnsMade = true;
        m_list->setInitialColumnWidths();
    }
}

void CDelvixDlg::updateControls() {
    const SDelvixRules::SControlStates s = SDelvixRules::controlStates(isRunning());
    button(kStart)->setEnabled(s.start);
    button(kStop)->setEnabled(s.stop);
    button(kRef)->setEnabled(s.ref);
    button(kOption)->setEnabled(s.option);
    button(kExit)->setEnabled(s.exit);
    m_folder->setEnabled(s.folder);
    m_search->setEnabled(s.search);
    m_list->setEnabled(s.list);
    m_busy->setVisible(isRunning());
    m_skippedButton->setVisible(!m_skipped.empty());
    m_skippedButton->setEnabled(true);
}

void CDelvixDlg::chooseFolder() {
    const QString chosen =
        QFileDialog::getExistingDirectory(this, tr("Select Folder"), m_folder->text());
    if (chosen.isEmpty())
        return;
    const QString folder = QDir::cleanPath(QFileInfo(chosen).absoluteFilePath());
    m_settings.writeInitialFolder(folder);
    setFolder(folder);
}

bool CDelvixDlg::startSearch() {
    if (isRunning())
        return false;
    std::string pattern;
    QString bad;
    if (!m_encoding.fromUnicode(m_search->text(), pattern, &bad)) {
        QMessageBox::warning(
            this, tr("Delvix"),
            tr("The search text holds \"%1\", which %2 cannot hold.").arg(bad, m_encoding.name()));
        return false;
    }
    m_pattern = m_search->text();
    m_params.folder = folderBytes().toStdString();
    m_params.pattern = std::move(pattern);
    m_params.encoding =
        findEncodingFromName(m_encoding.name().toStdString()).value_or(SXKorvEncoding::Utf8);
    m_params.jobs = m_services.jobs;
    m_model->clear();
    m_skipped.clear();
    m_adapter->reset();
    m_stopped = false;
    m_engine = std::make_unique<SSearchEngine>(m_adapter->countingSearcher(m_services.searcher));
    m_elapsed.start();
    m_engine->start(m_params, *m_adapter);
    m_statusTimer->start();
    updateControls();
    updateStatus();
    return true;
}

void CDelvixDlg::stopSearch() {
    if (m_engine)
        m_engine->requestStop();
}

void CDelvixDlg::takeArrived() {
    if (!m_engine)
        return; // a search that was stopped and joined
    m_model->prepend(m_adapter->takeResults());
    std::vector<SSearchWarning> warnings = m_adapter->takeWarnings();
    if (!warnings.empty()) {
        m_skipped.insert(m_skipped.end(), std::make_move_iterator(warnings.begin()),
                         std::make_move_iterator(warnings.end()));
        m_skippedButton->setVisible(true);
    }
}

void CDelvixDlg::searchEnded(bool stopped) {
    if (!m_engine)
        return;
    takeArrived();
    m_insertTimer->stop();
    m_insertPending = false;
    m_engine->wait();
    m_engine.reset();
    m_stopped = stopped;
    m_elapsedMs = m_elapsed.elapsed();
    m_statusTimer->stop();
    updateControls();
    m_model->sort();
    updateStatus();
    if (m_model->size() > 0) {
        m_list->setFocus();
        if (!m_list->currentIndex().isValid())
            m_list->selectionModel()->setCurrentIndex(m_model->index(0, 0),
                                                      QItemSelectionModel::NoUpdate);
    } else {
        m_search->setFocus();
        m_search->selectAll();
    }
}

void CDelvixDlg::stopAndJoin() {
    if (!m_engine)
        return;
    m_engine->requestStop();
    m_engine->wait();
    m_engine.reset();
    m_statusTimer->stop();
    m_insertTimer->stop();
    m_insertPending = false;
    m_adapter->reset();
}

QString CDelvixDlg::statusText() const {
    return m_status->text();
}

void CDelvixDlg::updateStatus() {
    const qint64 ms = isRunning() ? m_elapsed.elapsed() : m_elapsedMs;
    const size_t files = m_adapter->filesSearched();
    const size_t hits = m_model->size();
    const QString counts =
        (files == 1 ? tr("1 file searched") : tr("%1 files searched").arg(files)) + ", " +
        tr("%1 skipped").arg(m_skipped.size()) + ", " +
        (hits == 1 ? tr("1 hit") : tr("%1 hits").arg(hits));
    const QString time = QString::number(static_cast<double>(ms) / 1000.0, 'f', 1);
    if (isRunning())
        m_status->setText(tr("Searching: %1 (%2 s)").arg(counts, time));
    else if (m_elapsed.isValid())
        m_status->setText(
            tr("%1: %2 in %3 s").arg(m_stopped ? tr("Stopped") : tr("Done"), counts, time));
    else
        m_status->setText(tr("Ready"));
}

void CDelvixDlg::openOptions(const std::function<void(CFindOption&)>& prepare) {
    if (isRunning())
        return;
    CFindOption dlg(this);
    dlg.m_targets = m_params.targets;
    dlg.m_matchWhole = m_params.matchWhole;
    dlg.m_caseSensitive = m_params.caseSensitive;
    dlg.m_includeSubfolders = m_params.includeSubfolders;
    dlg.m_encoding = m_encoding.name();
    dlg.load();
    if (prepare)
        prepare(dlg);
    if (dlg.exec() != QDialog::Accepted)
        return;
    m_params.targets = dlg.m_targets;
    m_params.matchWhole = dlg.m_matchWhole;
    m_params.caseSensitive = dlg.m_caseSensitive;
    m_params.includeSubfolders = dlg.m_includeSubfolders;
    m_encoding = CTextEncoding(dlg.m_encoding);
    m_model->setEncoding(m_encoding);
    m_settings.writeFind({m_pattern, m_params.targets, m_params.matchWhole, m_params.caseSensitive,
                          m_params.includeSubfolders, m_encoding.name()});
}

void CDelvixDlg::showHit(int row) {
    if (isRunning())
        return;
    if (const SSearchResult* r = m_model->result(row))
        m_handoff->showHit(r->path, r->x, r->y);
}

void CDelvixDlg::showContextMenu(int row, const QPoint& globalPos) {
    if (isRunning())
        return;
    const SSearchResult* r = m_model->result(row);
    QMenu menu(this);
    QAction* open = menu.addAction(tr("&Open"), this, [this, row] { showHit(row); });
    QAction* copy = menu.addAction(tr("&Copy path"), this, [this, r] {
        QApplication::clipboard()->setText(m_model->displayPath(*r));
    });
    QAction* folder = menu.addAction(tr("Open containing &folder"), this, [this, r] {
        const QFileInfo file(m_model->displayPath(*r));
        QDesktopServices::openUrl(QUrl::fromLocalFile(file.absolutePath()));
    });
    menu.addSeparator();
    QAction* exportAction =
        menu.addAction(tr("&Export results…"), this, &CDelvixDlg::exportResults);
    for (QAction* a : {open, copy, folder})
        a->setEnabled(r != nullptr);
    exportAction->setEnabled(m_model->size() > 0);
    menu.exec(globalPos);
}

void CDelvixDlg::exportResults() {
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export results"), m_folder->text() + QStringLiteral("/results.tsv"),
        tr("Tab-separated text (*.tsv *.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray bytes = m_model->exportLines();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        QMessageBox::warning(this, tr("Delvix"),
                             tr("Cannot write %1: %2").arg(path, file.errorString()));
}

void CDelvixDlg::showSkipped() {
    CSkippedDlg dlg(m_skipped, this);
    dlg.exec();
}

void CDelvixDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && isRunning()) {
        stopSearch();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDelvixDlg::reject() {
    // Closing while a search runs: the workers stop and are joined before anything goes away.
    stopAndJoin();
    QDialog::reject();
}
