#include "app/CEditForGrid.h"
#include "app/CFrameUi.h"
#include "app/CMainFrame.h"
#include "app/CPelmMessage.h"
#include "app/CPelmSettings.h"
#include "app/CPinPropGrid.h"
#include "app/CPinProps.h"
#include "view/CActionTable.h"

#include <QAccessible>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Three pins on two blocks; pin Q's number is hidden and its second number is empty.
const QByteArray kLibrary = "+KORVX_LIB_V.1.0\r\n"
                            "PROP:test\r\n"
                            "+COMP,N:FF\r\nX:4,Y:4,B:2\r\nR:U\r\n"
                            "+PIN,N:D,L:L1,T:,M:2,M:12,-PIN\r\n"
                            "+PIN,N:CK,L:L3,T:C,M:3,M:11,-PIN\r\n"
                            "+PIN,N:Q,L:R1,T:m,M:5,M:,-PIN\r\n"
                            "NOTE:,MFR:,MFRPN:,PKG:,-COMP\r\n"
                            "-KORVX_LIB_V.1.0\r\n";

QStringList rowTexts(QAccessibleTableInterface* table, int row) {
    QStringList out;
    for (int c = 0; c < table->columnCount(); ++c)
        out << table->cellAt(row, c)->text(QAccessible::Name);
    return out;
}

} // namespace

// The painted pin table read through the accessibility interfaces, as a screen reader does.
class TstGridAccessible : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CPelmSettings> m_settings;
    std::unique_ptr<CMainFrame> m_frame;

    CPinPropGrid* openGrid() {
        const QString file = m_dir->filePath(QStringLiteral("ff.KM2"));
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(kLibrary) != kLibrary.size())
            return nullptr;
        f.close();
        m_frame = std::make_unique<CMainFrame>(*m_settings);
        m_frame->resize(800, 600);
        m_frame->show();
        m_frame->openLibrary(file);
        m_frame->runCommand(SCommandId::PinProperty);
        return m_frame->pinProps() ? m_frame->pinProps()->grid() : nullptr;
    }

private slots:
    void initTestCase() {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
        CPelmMessage::setHook([](const QString&, QMessageBox::StandardButtons buttons) {
            return (buttons & QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Cancel;
        });
        CFrameUi::setFileHook([](bool, const QString&) { return QString(); });
        CFrameUi::setDialogHook([](QDialog&) { return int(QDialog::Rejected); });
    }
    void init() {
        m_settings = std::make_unique<CPelmSettings>(m_dir->filePath(QStringLiteral("PELM.INI")));
    }
    void cleanup() {
        m_frame.reset();
        m_settings.reset();
    }

    void tableShowsEveryCell() {
        CPinPropGrid* grid = openGrid();
        QVERIFY(grid);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::Table);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Pins"));
        QAccessibleTableInterface* table = iface->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->columnCount(), 6);
        QCOMPARE(iface->childCount(), 18);

        QStringList captions;
        for (int c = 0; c < table->columnCount(); ++c)
            captions << table->columnDescription(c);
        QCOMPARE(captions, (QStringList{"Loc", "Name", "Type", "Hide", "Block 1", "Block 2"}));

        // Rows in the order the grid paints them, every column with its shown text.
        QCOMPARE(rowTexts(table, 0), (QStringList{"L1", "D", "Plain", "", "2", "12"}));
        QCOMPARE(rowTexts(table, 1), (QStringList{"L3", "CK", "Clock", "", "3", "11"}));
        QCOMPARE(rowTexts(table, 2), (QStringList{"R1", "Q", "Plain", "Hidden", "5", ""}));
        QCOMPARE(table->rowDescription(2), QStringLiteral("R1"));

        // Cells are the table's children and know their place and their table.
        QAccessibleInterface* cell = table->cellAt(2, 3);
        QCOMPARE(cell->role(), QAccessible::Cell);
        QVERIFY(cell->state().checkable && cell->state().checked);
        QVERIFY(!table->cellAt(0, 3)->state().checked);
        QCOMPARE(cell, table->cellAt(2, 3));
        QCOMPARE(iface->indexOfChild(cell), 2 * 6 + 3);
        QCOMPARE(iface->child(2 * 6 + 3), cell);
        QCOMPARE(cell->parent(), iface);
        QAccessibleTableCellInterface* place = cell->tableCellInterface();
        QVERIFY(place);
        QCOMPARE(place->rowIndex(), 2);
        QCOMPARE(place->columnIndex(), 3);
        QCOMPARE(place->table(), iface);

        // Outside the table: nothing, never a crash.
        for (const auto& [r, c] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 6}})
            QVERIFY(!table->cellAt(r, c));
        QVERIFY(!iface->child(18));
        QVERIFY(!iface->child(-1));
    }

    void currentCellIsSelectedAndFocused() {
        CPinPropGrid* grid = openGrid();
        QVERIFY(grid);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
        QAccessibleTableInterface* table = iface->tableInterface();
        QCOMPARE(table->selectedCellCount(), 0);
        QVERIFY(table->selectedCells().isEmpty());

        m_frame->pinProps()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame->pinProps()));
        // A click on the second block number of pin CK edits it: that cell is the current one.
        const SPinGridRows::Layout& l = grid->rows().layout();
        QTest::mouseClick(grid, Qt::LeftButton, {},
                          QPoint(l.fixedWidth() + l.blockWidth + 5, l.rowHeight + 3));
        QCOMPARE(grid->rows().currentRow(), 1);
        QCOMPARE(table->selectedRows(), QList<int>{1});
        QVERIFY(table->isRowSelected(1) && !table->isRowSelected(0));
        const QList<QAccessibleInterface*> selected = table->selectedCells();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.front()->text(QAccessible::Name), QStringLiteral("11"));
        QVERIFY(selected.front()->state().selected);
        QVERIFY(grid->accessibleDescription().contains(QStringLiteral("CK")));
        // The editor holds the keyboard, so it is the focused child.
        QAccessibleInterface* focus = iface->focusChild();
        QVERIFY(focus);
        QCOMPARE(focus->object(), static_cast<QObject*>(grid->editor()));

        // An edited name shows in its cell once committed.
        grid->endEdit();
        grid->startEdit(SPinGridRows::kName);
        grid->editor()->setText(QStringLiteral("CLK"));
        grid->endEdit();
        const int row = grid->rows().currentRow();
        QCOMPARE(table->cellAt(row, SPinGridRows::kName)->text(QAccessible::Name),
                 QStringLiteral("CLK"));
        QCOMPARE(iface->focusChild(), table->cellAt(row, SPinGridRows::kName));
    }

    void scrolledBlocksKeepTheirColumns() {
        CPinPropGrid* grid = openGrid();
        QVERIFY(grid);
        // Narrow enough for one block column: scrolled on, the screen shows block 2.
        m_frame->pinProps()->resize(380, 330);
        QCOMPARE(grid->rows().layout().visibleBlocks, 1);
        grid->scrollBlocksTo(1);
        QCOMPARE(grid->rows().firstBlock(), 1);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
        QAccessibleTableInterface* table = iface->tableInterface();
        QCOMPARE(table->columnCount(), 6);
        QVERIFY(table->cellAt(0, 4)->state().offscreen);
        QAccessibleInterface* shown = table->cellAt(0, 5);
        QVERIFY(!shown->state().offscreen);
        const QPoint centre = shown->rect().center();
        QCOMPARE(iface->childAt(centre.x(), centre.y()), shown);

        const SPinGridRows::Layout& l = grid->rows().layout();
        QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(l.fixedWidth() + 5, 3));
        const QList<QAccessibleInterface*> selected = table->selectedCells();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.front(), shown);
        QCOMPARE(selected.front()->text(QAccessible::Name), QStringLiteral("12"));
    }

    void cellsOutOfViewAreMarkedOffscreen() {
        CPinPropGrid* grid = openGrid();
        QVERIFY(grid);
        QAccessibleTableInterface* table =
            QAccessible::queryAccessibleInterface(grid)->tableInterface();
        QAccessibleInterface* first = table->cellAt(0, SPinGridRows::kName);
        QVERIFY(!first->state().offscreen);
        QVERIFY(first->rect().isValid());
        QVERIFY(grid->rect().translated(grid->mapToGlobal(QPoint(0, 0))).contains(first->rect()));
        QCOMPARE(QAccessible::queryAccessibleInterface(grid)->childAt(first->rect().center().x(),
                                                                      first->rect().center().y()),
                 first);
        // A dialog too low for all rows: scrolled on, the first row leaves the view.
        m_frame->pinProps()->resize(560, 130);
        QVERIFY(grid->rows().layout().visibleRows < 3);
        grid->scrollRowsTo(1);
        QCOMPARE(grid->rows().firstRow(), 1);
        QVERIFY(first->state().offscreen);
        QVERIFY(first->rect().isNull());
        QCOMPARE(first->text(QAccessible::Name), QStringLiteral("D"));
        QVERIFY(!table->cellAt(1, SPinGridRows::kName)->state().offscreen);
    }
};

QTEST_MAIN(TstGridAccessible)
#include "tst_gridaccessible.moc"
