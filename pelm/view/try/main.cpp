// pelm-view-try FILE [ENTRY]: shows one component of a library in the editor view, with the Tool
// and Edit menus and a toolbar, so the view can be tried by hand. Saving writes FILE.out.KM2.

#include "model/SCompLib.h"
#include "view/CActionTable.h"
#include "view/CCompEditView.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <cstdio>
#include <initializer_list>

namespace {

using Id = SCommandId;

void addMenu(QMenuBar* bar, const QString& title, const CActionTable& actions,
             std::initializer_list<Id> ids) {
    QMenu* menu = bar->addMenu(title);
    for (const Id id : ids) {
        if (static_cast<int>(id) == 0)
            menu->addSeparator();
        else
            menu->addAction(actions.action(id));
    }
}

constexpr Id kSeparator = static_cast<Id>(0);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: pelm-view-try FILE [ENTRY]\n");
        return 2;
    }
    SCompLib lib;
    lib.load(argv[1]);
    SCompIndex* entry = argc > 2 ? lib.findEntry(argv[2]) : lib.entryAt(0);

    QMainWindow window;
    auto* view = new CCompEditView(&window);
    window.setCentralWidget(view);
    CActionTable actions(&window);
    QMenuBar* bar = window.menuBar();
    addMenu(bar, QObject::tr("&File"), actions, {Id::FileSave, kSeparator, Id::AppExit});
    addMenu(bar, QObject::tr("&Edit"), actions,
            {Id::EditUndo, kSeparator, Id::EditCut, Id::EditCopy, Id::EditPaste, Id::EditDelete,
             Id::Mirror, Id::Rotate, Id::Property, Id::NextPinName, Id::NextPinNumber});
    addMenu(bar, QObject::tr("&View"), actions, {Id::ZoomIn, Id::ZoomOut});
    addMenu(bar, QObject::tr("&Tool"), actions,
            {Id::ToolSelector, Id::ToolPin, Id::ToolLine, Id::ToolCircle, Id::ToolPolygon,
             Id::ToolArc, Id::ToolText, kSeparator, Id::EditNodeMode, kSeparator,
             Id::CreateBitPattern});
    QToolBar* tools = window.addToolBar(QObject::tr("Tools"));
    for (const Id id :
         {Id::ToolSelector, kSeparator, Id::ToolPin, kSeparator, Id::ToolLine, Id::ToolCircle,
          Id::ToolPolygon, Id::ToolArc, Id::ToolText, kSeparator, Id::EditNodeMode}) {
        if (id == kSeparator)
            tools->addSeparator();
        else
            tools->addAction(actions.action(id));
    }
    auto* context = new QMenu(&window);
    QMenu* toolMenu = context->addMenu(QObject::tr("Tool"));
    for (const Id id : {Id::ToolSelector, Id::ToolPin, Id::ToolLine, Id::ToolCircle,
                        Id::ToolPolygon, Id::ToolArc, Id::ToolText})
        toolMenu->addAction(actions.action(id));
    for (const Id id : {Id::EditCut, Id::EditCopy, Id::EditPaste, Id::AddNode, Id::Mirror,
                        Id::Rotate, Id::Property})
        context->addAction(actions.action(id));
    view->setContextMenu(context);
    actions.addTo(&window);
    window.statusBar()->showMessage(QObject::tr("Ready"));

    const auto refresh = [&] {
        SCommandState state;
        view->fillCommandState(state);
        actions.update(state);
    };
    QObject::connect(view, &CCompEditView::stateChanged, &window, refresh);
    QObject::connect(view, &CCompEditView::commandRequested, &window, [&](Id id) {
        if (QAction* a = actions.action(id); a && a->isEnabled())
            a->trigger();
    });
    QObject::connect(&actions, &CActionTable::triggered, &window, [&](Id id) {
        if (id == Id::AppExit) {
            window.close();
        } else if (id == Id::FileSave) {
            view->releaseAndStoreIfDirty();
            lib.save(std::string(argv[1]) + ".out.KM2");
        } else {
            view->runCommand(id);
        }
        refresh();
    });
    for (QMenu* menu : bar->findChildren<QMenu*>())
        QObject::connect(menu, &QMenu::aboutToShow, &window, refresh);
    view->setComponent(entry);
    refresh();
    window.resize(900, 650);
    window.setWindowTitle(QStringLiteral("pelm-view-try - ") + QString::fromLocal8Bit(argv[1]));
    window.show();
    return QApplication::exec();
}
