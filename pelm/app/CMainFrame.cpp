#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "app/CFrameUi.h"
#include "app/CPelmMessage.h"
#include "app/CPelmSettings.h"
#include "app/CPinProps.h"
#include "app/SLBCompName.h"
#include "edit/SEditClipboardText.h"
#include "view/CActionTable.h"
#include "view/CCompEditView.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kSetting = QStringLiteral("Setting");

} // namespace

CMainFrame::CMainFrame(CPelmSettings& settings, QWidget* parent)
    : QMainWindow(parent), m_settings(settings),
      m_encoding(settings.readString(kSetting, QString::fromLatin1(kEncodingKey),
                                     CTextEncoding::localeDefault())),
      m_drawSettings(std::make_unique<SDrawSettings>(
          settings.readFont(QStringLiteral("LabelFont"), QStringLiteral("Tahoma"), 9))),
      m_actions(new CActionTable(this)), m_view(new CCompEditView(this)), m_clipboard(m_encoding),
      m_ui(*this, m_encoding), m_link(*m_view, [this] { return m_pinProps; }),
      m_doc(m_link, m_ui, m_clipboard) {
    if (!m_encoding.isValid())
        m_encoding = CTextEncoding();
    Q_INIT_RESOURCE(pelmapp);
    setWindowIcon(QIcon(QStringLiteral(":/pelm/pelm.svg")));
    setAcceptDrops(true);
    SDrawSettings::setInstance(m_drawSettings.get());
    m_view->setObjectName(QStringLiteral("EditView"));
    auto* splitter = new QSplitter(this);
    splitter->addWidget(createLeftBar());
    splitter->addWidget(m_view);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({170, 600});
    setCentralWidget(splitter);
    createMenus();
    createToolBar();
    m_ready = new QLabel(tr("Ready"), this);
    statusBar()->addWidget(m_ready, 1);
    readSettings();
    setTextEncoding(m_encoding.name());
    connect(m_actions, &CActionTable::triggered, this, &CMainFrame::runCommand);
    m_actions->addTo(this);
    connect(m_view, &CCompEditView::commandRequested, this, &CMainFrame::runCommand);
    connect(m_view, &CCompEditView::stateChanged, this, &CMainFrame::updateCommandStates);
    connect(m_view, &CCompEditView::pinsChanged, this, [this] {
        if (m_pinProps)
            m_pinProps->refresh();
    });
    connect(m_view, &CCompEditView::pinEditEndRequested, this, [this] {
        if (m_pinProps)
            m_pinProps->endEdit();
    });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &CMainFrame::updateCommandStates);
    m_link.setComponent(nullptr);
    syncFromDoc();
    m_created = true;
}

CMainFrame::~CMainFrame() {
    delete m_pinProps;
    m_pinProps = nullptr;
    // The list and the view refer to the document: they go while it is still there, and
    // nothing they signal on the way reaches this half-destroyed frame.
    m_list->blockSignals(true);
    m_view->blockSignals(true);
    delete takeCentralWidget();
    if (&SDrawSettings::instance() == m_drawSettings.get())
        SDrawSettings::setInstance(nullptr);
}

QWidget* CMainFrame::createLeftBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("LeftBar"));
    auto* up = new QToolButton(bar);
    up->setDefaultAction(m_actions->action(SCommandId::MoveEntryUp));
    auto* down = new QToolButton(bar);
    down->setDefaultAction(m_actions->action(SCommandId::MoveEntryDown));
    for (QToolButton* b : {up, down}) {
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    m_list = new SLBCompName(m_doc, m_encoding, bar);
    connect(m_list, &SLBCompName::selectionMoved, this, &CMainFrame::onListSelection);
    connect(m_list, &SLBCompName::componentPropertyRequested, this,
            [this] { runCommand(SCommandId::ComponentProperty); });
    m_note = new QPlainTextEdit(bar);
    m_note->setReadOnly(true);
    m_note->setAccessibleName(tr("Note"));
    m_note->setFixedHeight(100);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(up);
    buttons->addWidget(down);
    auto* layout = new QVBoxLayout(bar);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addLayout(buttons);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_note);
    return bar;
}

void CMainFrame::createMenus() {
    const auto add = [this](QMenu* menu, std::initializer_list<SCommandId> ids) {
        for (const SCommandId id : ids) {
            if (QAction* a = m_actions->action(id))
                menu->addAction(a);
        }
    };
    using C = SCommandId;
    QMenu* file = menuBar()->addMenu(tr("&File"));
    add(file, {C::FileNew, C::FileOpen, C::FileSave, C::FileSaveAs});
    file->addSeparator();
    add(file, {C::AppExit});
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    add(edit, {C::EditUndo});
    edit->addSeparator();
    add(edit, {C::EditCut, C::EditCopy, C::EditPaste, C::EditDelete, C::Mirror, C::Rotate,
               C::Property, C::NextPinName, C::NextPinNumber});
    edit->addSeparator();
    add(edit, {C::CutComponent, C::CopyComponent, C::PasteComponent});
    edit->addSeparator();
    add(edit, {C::NewComponent, C::ComponentProperty});
    edit->addSeparator();
    add(edit, {C::AddAlias});
    edit->addSeparator();
    add(edit, {C::SortByName});
    edit->addSeparator();
    add(edit, {C::LibraryProperty});
    QMenu* view = menuBar()->addMenu(tr("&View"));
    add(view, {C::ZoomIn, C::ZoomOut});
    view->addSeparator();
    add(view, {C::ViewToolbar, C::ViewStatusBar, C::PinProperty});
    view->addSeparator();
    view->addMenu(createEncodingMenu());
    QMenu* tool = menuBar()->addMenu(tr("&Tool"));
    add(tool, {C::ToolSelector, C::ToolPin, C::ToolLine, C::ToolCircle, C::ToolPolygon, C::ToolArc,
               C::ToolText});
    tool->addSeparator();
    add(tool, {C::EditNodeMode});
    tool->addSeparator();
    add(tool, {C::CreateBitPattern});
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    add(help, {C::AppAbout});
    for (QMenu* menu : {file, edit, view, tool, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);

    m_listMenu = new QMenu(this);
    add(m_listMenu, {C::CutComponent, C::CopyComponent, C::PasteComponent});
    m_listMenu->addSeparator();
    add(m_listMenu, {C::NewComponent, C::ComponentProperty});
    m_listMenu->addSeparator();
    add(m_listMenu, {C::AddAlias});
    m_list->setContextMenu(m_listMenu);

    auto* viewMenu = new QMenu(this);
    QMenu* tools = viewMenu->addMenu(tr("&Tool"));
    add(tools, {C::ToolSelector, C::ToolPin, C::ToolLine, C::ToolCircle, C::ToolPolygon, C::ToolArc,
                C::ToolText, C::EditNodeMode});
    add(viewMenu,
        {C::EditCut, C::EditCopy, C::EditPaste, C::AddNode, C::Mirror, C::Rotate, C::Property});
    m_view->setContextMenu(viewMenu);
    for (QMenu* menu : {m_listMenu, viewMenu})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
}

QMenu* CMainFrame::createEncodingMenu() {
    auto* menu = new QMenu(tr("Text &encoding"), this);
    m_encodings = new QActionGroup(this);
    m_encodings->setExclusive(true);
    for (const CTextEncoding::Choice& choice : CTextEncoding::offered()) {
        QAction* action = menu->addAction(choice.label);
        action->setCheckable(true);
        action->setData(choice.name);
        m_encodings->addAction(action);
    }
    connect(m_encodings, &QActionGroup::triggered, this, [this](QAction* action) {
        setTextEncoding(action->data().toString());
        m_settings.writeString(kSetting, QString::fromLatin1(kEncodingKey), m_encoding.name());
    });
    return menu;
}

void CMainFrame::createToolBar() {
    m_toolbar = addToolBar(tr("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
    m_toolbar->setIconSize(QSize(16, 16));
    using C = SCommandId;
    const std::initializer_list<std::initializer_list<SCommandId>> groups = {
        {C::ToolSelector},
        {C::ToolPin},
        {C::ToolLine, C::ToolCircle, C::ToolPolygon, C::ToolArc, C::ToolText},
        {C::EditNodeMode}};
    bool first = true;
    for (const auto& group : groups) {
        if (!first)
            m_toolbar->addSeparator();
        first = false;
        for (const SCommandId id : group)
            m_toolbar->addAction(m_actions->action(id));
    }
}

void CMainFrame::readSettings() {
    const int noCheck =
        m_settings.readInt(kSetting, QStringLiteral("NoCheckPtnRectOnSave"), 0) != 0 ? 1 : 0;
    m_settings.writeInt(kSetting, QStringLiteral("NoCheckPtnRectOnSave"), noCheck);
    m_view->document().setNoCheckPtnRectOnSave(noCheck != 0);
    const int margin = m_settings.readInt(kSetting, QStringLiteral("EditWindowMargin"), 0);
    if (margin > 0)
        m_view->setMargin(margin, true);
    m_settings.writeInt(kSetting, QStringLiteral("EditWindowMargin"), margin);
}

void CMainFrame::setTextEncoding(const QString& name) {
    CTextEncoding chosen(name);
    if (!chosen.isValid())
        chosen = CTextEncoding();
    m_encoding = chosen;
    m_view->setTextEncoding(m_encoding.name().toLatin1());
    m_drawSettings->setTextEncoding(m_encoding.name().toLatin1());
    for (QAction* action : m_encodings->actions())
        action->setChecked(action->data().toString() == m_encoding.name());
    m_list->nameModel()->reload();
    m_view->viewport()->update();
    if (m_pinProps)
        m_pinProps->refresh();
    if (m_created)
        syncFromDoc();
}

void CMainFrame::openLibrary(const QString& path) {
    m_doc.openLibrary(QFile::encodeName(path).toStdString());
    syncFromDoc();
}

bool CMainFrame::runDocCommand(SCommandId id) {
    using C = SCommandId;
    switch (id) {
    case C::FileNew:
        m_doc.newLibrary();
        break;
    case C::FileOpen:
        m_doc.openCommand();
        break;
    case C::FileSave:
        m_doc.saveLibrary();
        break;
    case C::FileSaveAs:
        m_doc.saveAsCommand();
        break;
    case C::CutComponent:
        m_doc.cutComponent();
        break;
    case C::CopyComponent:
        m_doc.copyComponent();
        break;
    case C::PasteComponent:
        m_doc.pasteComponent();
        break;
    case C::NewComponent:
        m_doc.newComponent();
        break;
    case C::ComponentProperty:
        m_doc.componentProperty();
        break;
    case C::AddAlias:
        m_doc.addAlias();
        break;
    case C::SortByName:
        m_doc.sortByName();
        break;
    case C::LibraryProperty:
        m_doc.libraryProperty();
        break;
    case C::MoveEntryUp:
        m_doc.moveUp();
        break;
    case C::MoveEntryDown:
        m_doc.moveDown();
        break;
    default:
        return false;
    }
    return true;
}

void CMainFrame::runCommand(SCommandId id) {
    // Keys reach every action; a command that is off does nothing.
    if (QAction* action = m_actions->action(id)) {
        updateCommandStates();
        if (!action->isEnabled())
            return;
    }
    using C = SCommandId;
    if (runDocCommand(id)) {
        syncFromDoc();
        return;
    }
    switch (id) {
    case C::AppExit:
        close();
        return;
    case C::ViewToolbar:
        m_toolbar->setVisible(!m_toolbar->isVisible());
        break;
    case C::ViewStatusBar:
        statusBar()->setVisible(!statusBar()->isVisible());
        break;
    case C::PinProperty:
        togglePinProps();
        break;
    case C::AppAbout: {
        CAboutDlg about(this);
        CFrameUi::run(about);
        break;
    }
    case C::NextPane:
    case C::PrevPane:
        focusNextPrevChild(id == C::NextPane);
        break;
    default:
        m_view->runCommand(id);
        break;
    }
    updateCommandStates();
}

void CMainFrame::togglePinProps() {
    if (m_pinProps) {
        m_pinProps->endEdit();
        m_pinProps->deleteLater();
        m_pinProps->hide();
        m_pinProps = nullptr;
        m_view->setPinPropertyShown(false);
        return;
    }
    m_pinProps = new CPinProps(*m_view, m_encoding, this);
    connect(m_pinProps, &CPinProps::closeRequested, this,
            [this] { runCommand(SCommandId::PinProperty); });
    m_view->setPinPropertyShown(true);
    m_pinProps->refresh();
    m_pinProps->show();
}

void CMainFrame::onListSelection(int32_t row) {
    m_doc.selectEntry(row);
    syncFromDoc();
}

void CMainFrame::syncFromDoc() {
    m_list->sync();
    m_note->setPlainText(CPelmMessage::toEditText(m_encoding, m_doc.currentNote()));
    const auto& path = m_doc.path();
    setWindowTitle(path ? QStringLiteral("Pelm - ") +
                              QFile::decodeName(QByteArray::fromStdString(*path))
                        : QStringLiteral("Pelm"));
    updateCommandStates();
}

void CMainFrame::updateCommandStates() {
    SCommandState state;
    m_view->fillCommandState(state);
    state.tempFileMode = m_doc.isTemporaryFileMode();
    state.listCount = m_doc.count();
    state.selectedIndex = m_doc.selectedIndex();
    state.toolbarShown = m_toolbar->isVisible() || !isVisible();
    state.statusBarShown = statusBar()->isVisible() || !isVisible();
    state.pinPropertyShown = m_pinProps != nullptr;
    state.clipboardHasComponent = m_doc.canPasteComponent();
    state.clipboardHasPinOrPattern =
        state.clipboardHasPinOrPattern || SEditClipboardText::canPaste(m_clipboard);
    m_actions->update(state);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_doc.canCloseLibrary()) {
        syncFromDoc();
        event->ignore();
        return;
    }
    m_settings.sync();
    event->accept();
}

void CMainFrame::storePlacement() {
    if (!m_created)
        return;
    const QString section = QStringLiteral("WindowPosition");
    const int show = isMaximized() ? 3 : isMinimized() ? 2 : 1;
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    m_settings.writeInt(section, QStringLiteral("cmdShow"), show);
    if (normal.isValid()) {
        m_settings.writeInt(section, QStringLiteral("Width"), normal.width());
        m_settings.writeInt(section, QStringLiteral("Height"), normal.height());
    }
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    storePlacement();
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        storePlacement();
}

void CMainFrame::focusInEvent(QFocusEvent* event) {
    QMainWindow::focusInEvent(event);
    m_view->setFocus();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.constFirst().isLocalFile())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    const QString path = urls.constFirst().toLocalFile();
    // The drop finishes before any question is asked.
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            m_doc.openDropped(QFile::encodeName(path).toStdString());
            syncFromDoc();
        },
        Qt::QueuedConnection);
}
