#pragma once

// CCompEditView: the canvas on which one component is drawn and edited.
//
// For the main frame:
//   setComponent(entry)          show an entry (null: none); loads its definition into the edit
//                                document, Selector tool, block 0, recomputes the extent
//   component()                  the entry shown, or null
//   store()                      write the edit document back into the shown definition
//   releaseSelection()           commit the selection; true when something was released
//   releaseAndStoreIfDirty()     both of the above, storing only when the document is dirty
//   isDirty()/setDirty()         the edit document's dirty flag (the frame reads and clears it)
//   markSelectionChanged()       after the frame changed the shown component from outside
//   setMargin(m, recompute)      margin in model units, held to 50..200
//   runCommand(id)               runs a command the view handles (tools, Edit, zoom, node mode,
//                                Add Node, Property, bit pattern); false when not the view's.
//                                CreateBitPattern asks the confirmation question itself.
//   fillCommandState(state)      the view's part of the enabling state (CActionTable::update)
// For the pin property window:
//   selectPinByPosition(side, offset), setDisplayedBlock(n), setPinPropertyShown(shown)
//   signal pinsChanged()         refresh the window (a pin was placed, moved, selected, undone)
//   signal pinEditEndRequested() end a pending edit before the selection is released
// Signals to the frame:
//   commandRequested(id)         the letter keys and the context menu send commands this way so
//                                the frame routes them like menu commands
//   stateChanged()               something the enabling rules read may have changed
//
// Text bytes are converted with the encoding set by setTextEncoding (clipboard, dialogs); the
// drawing uses SDrawSettings::instance().

#include "commands/SCommandId.h"
#include "commands/SCommandState.h"
#include "edit/SCompEditDoc.h"
#include "geom/SViewGeometry.h"
#include "gui/CTextEncoding.h"
#include "model/SPoint.h"

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QImage>
#include <QStringEncoder>

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

class CEditTools;
class QMenu;
class QPainter;
class SCompIndex;
class SPin;

class CCompEditView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CCompEditView(QWidget* parent = nullptr);
    ~CCompEditView() override;

    void setComponent(SCompIndex* entry);
    SCompIndex* component() const { return m_entry; }
    void store();
    bool releaseSelection();
    void releaseAndStoreIfDirty();
    bool isDirty() const { return m_doc.isDirty(); }
    void setDirty(bool dirty) { m_doc.setDirty(dirty); }
    void markSelectionChanged();
    void setMargin(int32_t margin, bool recompute);

    bool selectPinByPosition(int32_t side, int32_t offset);
    int32_t displayedBlock() const { return m_displayedBlock; }
    void setDisplayedBlock(int32_t block);
    void setPinPropertyShown(bool shown) { m_pinPropertyShown = shown; }
    bool pinPropertyShown() const { return m_pinPropertyShown; }

    bool runCommand(SCommandId id);
    void fillCommandState(SCommandState& state) const;
    // The encoding name for QStringDecoder/QStringEncoder ("UTF-8", "Shift_JIS", ...); empty
    // for the locale's.
    void setTextEncoding(const QByteArray& name);
    const QByteArray& textEncoding() const { return m_encoding; }
    // The context menu the right button opens (built by the frame from the action table);
    // without one no menu is shown.
    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }

    SCompEditDoc& document() { return m_doc; }
    const SCompEditDoc& document() const { return m_doc; }
    STool tool() const { return m_tool; }
    bool nodeMode() const { return m_nodeMode; }
    const SViewGeometry& geometry() const { return m_geom; }
    // Tool commands and the pin tool; tests drive the view through these as the frame does.
    void setTool(STool tool);
    bool createBitPattern();

signals:
    void commandRequested(SCommandId id);
    void stateChanged();
    void pinsChanged();
    void pinEditEndRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    friend class CEditTools;

    void recomputeExtent();
    void applyGeometry();
    void zoomTo(int32_t step);
    void invalidateBackground() { m_backgroundValid = false; }
    void updateBackground();
    void drawBackgroundLayer(QPainter& painter);
    void drawForeground(QPainter& painter);
    SPoint toModel(QPoint device) const;
    void pan(QPoint device, SPoint model);
    const CTextEncoding& encoding() const { return m_text; }
    void refuseUnencodable(const QString& bad);
    QPoint cursorInViewport() const;
    void changed();
    void requestCommand(SCommandId id);
    void runEnabled(SCommandId id);
    void commandUndo();
    void commandClipboard(SCommandId id);
    void commandPaste();
    void commandProperty();
    void commandZoom(int32_t delta);
    bool askBitPattern();

    SCompEditDoc m_doc;
    SCompIndex* m_entry = nullptr;
    SViewGeometry m_geom;
    std::unique_ptr<CEditTools> m_tools;
    STool m_tool = STool::Selector;
    bool m_nodeMode = false;
    int32_t m_displayedBlock = 0;
    bool m_pinPropertyShown = false;
    QByteArray m_encoding;
    CTextEncoding m_text;
    QMenu* m_contextMenu = nullptr;
    QImage m_background;
    bool m_backgroundValid = false;
    SPoint m_backgroundScroll;
    bool m_syncingBars = false;
};
