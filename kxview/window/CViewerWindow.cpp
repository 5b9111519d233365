#include "window/CViewerWindow.h"

#include "handoff/CHandoffServer.h"
#include "protocol/SPeerDirectory.h"
#include "schematic/SFindVocabulary.h"
#include "schematic/SXKorvDocSch.h"
#include "viewcore/SObjectInfo.h"
#include "viewcore/SSheetLoader.h"
#include "window/CFindBar.h"
#include "window/CSheetView.h"

#include <QAction>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr char kPathProperty[] = "kxviewPath";
constexpr char kModifiedProperty[] = "kxviewModified";

QString canonicalOf(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

CViewerWindow::CViewerWindow(CTextEncoding encoding, QWidget* parent)
    : QMainWindow(parent), m_encoding(std::move(encoding)), m_tabs(new QTabWidget(this)),
      m_find(new CFindBar(this)), m_zoomLabel(new QLabel(this)), m_hoverLabel(new QLabel(this)),
      m_messageLabel(new QLabel(this)) {
    setWindowTitle(tr("kxview"));
    m_tabs->setDocumentMode(true);
    m_tabs->setTabsClosable(true);
    m_tabs->setMovable(true);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_find);
    m_find->hide();
    setCentralWidget(central);
    statusBar()->addWidget(m_messageLabel, 1);
    statusBar()->addWidget(m_hoverLabel, 1);
    statusBar()->addPermanentWidget(m_zoomLabel);
    buildActions();
    buildMenus();
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] { updateActions(); });
    connect(m_tabs, &QTabWidget::tabCloseRequested, this, [this](int index) {
        QWidget* page = m_tabs->widget(index);
        m_tabs->removeTab(index);
        delete page;
        updateActions();
    });
    connect(m_find, &CFindBar::findRequested, this, &CViewerWindow::findNext);
    updateActions();
    resize(1000, 720);
}

CViewerWindow::~CViewerWindow() = default;

void CViewerWindow::buildActions() {
    for (const CViewerCommandInfo& info : kViewerCommands) {
        auto* action = new QAction(tr(info.text), this);
        if (info.standardKey != QKeySequence::UnknownKey)
            action->setShortcuts(info.standardKey);
        else if (info.keys[0] != '\0')
            action->setShortcut(QKeySequence(QString::fromLatin1(info.keys)));
        const CViewerCommand id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { run(id); });
        m_actions[static_cast<size_t>(id)] = action;
        addAction(action);
    }
}

void CViewerWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(action(CViewerCommand::Open));
    file->addAction(action(CViewerCommand::Close));
    file->addSeparator();
    file->addAction(action(CViewerCommand::Quit));
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(action(CViewerCommand::Find));
    edit->addAction(action(CViewerCommand::FindNext));
    QMenu* view = menuBar()->addMenu(tr("&View"));
    for (const CViewerCommand id : {CViewerCommand::FitToWindow, CViewerCommand::ZoomActual,
                                    CViewerCommand::ZoomIn, CViewerCommand::ZoomOut})
        view->addAction(action(id));
    buildLayerMenu(menuBar()->addMenu(tr("&Layers")));
}

void CViewerWindow::buildLayerMenu(QMenu* menu) {
    menu->addAction(action(CViewerCommand::AllLayers));
    menu->addSeparator();
    for (int layer = 0; layer < 8; ++layer) {
        QAction* a = menu->addAction(tr("Layer %1").arg(layer));
        a->setCheckable(true);
        connect(a, &QAction::toggled, this, [this, layer](bool on) { toggleLayer(layer, on); });
        m_layerActions[static_cast<size_t>(layer)] = a;
    }
}

CSheetView* CViewerWindow::currentView() const {
    return qobject_cast<CSheetView*>(m_tabs->currentWidget());
}

void CViewerWindow::run(CViewerCommand id) {
    CSheetView* view = currentView();
    switch (id) {
    case CViewerCommand::Open:
        openDialog();
        return;
    case CViewerCommand::Close:
        closeCurrent();
        return;
    case CViewerCommand::Quit:
        close();
        return;
    case CViewerCommand::Find:
        m_find->activate();
        return;
    case CViewerCommand::FindNext:
        if (m_find->text().isEmpty())
            m_find->activate();
        else
            findNext();
        return;
    default:
        break;
    }
    if (!view)
        return;
    switch (id) {
    case CViewerCommand::FitToWindow:
        view->fitToWindow();
        break;
    case CViewerCommand::ZoomActual:
        view->zoomActual();
        break;
    case CViewerCommand::ZoomIn:
        view->zoomIn();
        break;
    case CViewerCommand::ZoomOut:
        view->zoomOut();
        break;
    case CViewerCommand::AllLayers:
        setAllLayers();
        break;
    default:
        break;
    }
}

// The one place that enables commands and sets check marks from the current tab.
void CViewerWindow::updateActions() {
    CSheetView* view = currentView();
    for (const CViewerCommandInfo& info : kViewerCommands)
        action(info.id)->setEnabled(!info.needsSheet || view != nullptr);
    action(CViewerCommand::Close)->setEnabled(m_tabs->count() > 0);
    const int32_t layers = view ? view->layers() : 0;
    for (int layer = 0; layer < 8; ++layer) {
        QAction* a = m_layerActions[static_cast<size_t>(layer)];
        const QSignalBlocker block(a);
        a->setEnabled(view != nullptr);
        a->setChecked((layers >> layer) & 1);
    }
    m_zoomLabel->setText(view ? tr("%1 %").arg(view->zoomPercent()) : QString());
    QWidget* page = m_tabs->currentWidget();
    const QString path = page ? page->property(kPathProperty).toString() : QString();
    setWindowTitle(path.isEmpty() ? tr("kxview")
                                  : tr("%1 - kxview").arg(QFileInfo(path).fileName()));
}

void CViewerWindow::toggleLayer(int layer, bool on) {
    if (CSheetView* view = currentView()) {
        const int32_t bit = 1 << layer;
        view->setLayers(on ? (view->layers() | bit) : (view->layers() & ~bit));
    }
    updateActions();
}

void CViewerWindow::setAllLayers() {
    if (CSheetView* view = currentView())
        view->setLayers(0xFF);
    updateActions();
}

int CViewerWindow::tabOf(const QString& canonical) const {
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (m_tabs->widget(i)->property(kPathProperty).toString() == canonical)
            return i;
    }
    return -1;
}

int CViewerWindow::openFile(const QString& path) {
    const QString canonical = canonicalOf(path);
    const QDateTime modified = QFileInfo(canonical).lastModified();
    int existing = tabOf(canonical);
    if (existing >= 0) {
        QWidget* page = m_tabs->widget(existing);
        if (page->property(kModifiedProperty).toDateTime() == modified) {
            m_tabs->setCurrentIndex(existing);
            return existing;
        }
        // The file changed since it was read: show what a search would find now.
        m_tabs->removeTab(existing);
        delete page;
    } else {
        existing = m_tabs->count();
    }
    const QString name = QFileInfo(canonical).fileName();
    SSheetLoad load =
        SSheetLoader::load(QFile::encodeName(canonical).toStdString(), name.toStdString());
    QWidget* page = nullptr;
    if (load.doc) {
        auto* view = new CSheetView(std::move(load.doc), canonical, m_encoding, m_tabs);
        connect(view, &CSheetView::hoverChanged, m_hoverLabel, &QLabel::setText);
        connect(view, &CSheetView::zoomChanged, this, [this] { updateActions(); });
        page = view;
    } else {
        // A file that cannot be read says why instead of showing part of a sheet.
        auto* label = new QLabel(QString::fromStdString(load.error), m_tabs);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        page = label;
        showStatus(QString::fromStdString(load.error));
    }
    page->setProperty(kPathProperty, canonical);
    page->setProperty(kModifiedProperty, modified);
    const int index = m_tabs->insertTab(existing, page, name);
    m_tabs->setTabToolTip(index, canonical);
    m_tabs->setCurrentIndex(index);
    updateActions();
    return index;
}

void CViewerWindow::openDialog() {
    const QStringList files = QFileDialog::getOpenFileNames(
        this, tr("Open Schematic"), QString(), tr("Schematic files (*.KX2 *.kx2);;All files (*)"));
    for (const QString& file : files)
        openFile(file);
}

void CViewerWindow::closeCurrent() {
    if (QWidget* page = m_tabs->currentWidget()) {
        m_tabs->removeTab(m_tabs->currentIndex());
        delete page;
    }
    updateActions();
}

bool CViewerWindow::findNext() {
    CSheetView* view = currentView();
    if (!view)
        return false;
    std::string pattern;
    if (!m_encoding.fromUnicode(m_find->text(), pattern) || pattern.empty()) {
        m_find->setResult(tr("Not found"));
        return false;
    }
    SXKorvDocSch& doc = view->doc();
    const SXKorvFindState& state = doc.findState();
    const bool same =
        state.active && state.pattern == pattern && state.matchWhole == m_find->matchWhole() &&
        state.caseSensitive == m_find->caseSensitive() && state.targets == m_find->targets();
    const SXKorvObj* found = nullptr;
    if (same)
        found = doc.findNext();
    bool wrapped = false;
    if (!found) {
        const auto encoding = findEncodingFromName(m_encoding.name().toStdString());
        doc.setFindParams(pattern, m_find->matchWhole(), m_find->caseSensitive(), m_find->targets(),
                          encoding.value_or(SXKorvEncoding::Utf8));
        found = doc.findFirst();
        wrapped = same;
    }
    if (!found) {
        m_find->setResult(tr("Not found"));
        return false;
    }
    const SFindTarget* target = findTargetByBit(state.foundKind);
    const QString kind =
        target ? QString::fromLatin1(target->typeWord.data(), target->typeWord.size()) : QString();
    m_find->setResult((wrapped ? tr("From the top: ") : QString()) +
                      tr("%1 \"%2\" at %3, %4")
                          .arg(kind, m_encoding.toUnicode(state.foundText))
                          .arg(state.foundPosition.x)
                          .arg(state.foundPosition.y));
    view->centreOn(state.foundPosition, true);
    return true;
}

bool CViewerWindow::listen() {
    m_server = new CHandoffServer(
        SPeerDirectory::kEditorMarker,
        [this](const SHandoffRequest& request) { return handleRequest(request); }, this);
    return m_server->listen();
}

QString CViewerWindow::socketPath() const {
    return m_server ? m_server->socketPath() : QString();
}

bool CViewerWindow::handleRequest(const SHandoffRequest& request) {
    if (request.kind == SHandoffRequest::Kind::CopyData) {
        if (request.dwData != SHandoffMessage::kOfferPath)
            return false;
        const QString path = QFile::decodeName(QByteArray::fromStdString(request.path));
        // Only a file we can show is taken; otherwise the next editor may have it.
        if (path.isEmpty() || !QFileInfo(path).isFile())
            return false;
        openFile(path);
        bringToFront();
        return true;
    }
    const SPoint p = SObjectDescription::positionFromParam(request.position);
    showStatus(tr("Position received: %1, %2").arg(p.x).arg(p.y));
    if (CSheetView* view = currentView())
        view->centreOn(p, true);
    bringToFront();
    return true;
}

void CViewerWindow::showStatus(const QString& text) {
    m_messageLabel->setText(text);
}

QString CViewerWindow::statusText() const {
    return m_messageLabel->text();
}

void CViewerWindow::bringToFront() {
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}
