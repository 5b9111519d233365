#pragma once

#include <QDialog>

class CCompEditView;
class CPinPropGrid;
class CPinPropGridTitle;
class CTextEncoding;
class QPushButton;
class QScrollBar;

// "Pin property": the modeless window with the pin table of the component in the view.
class CPinProps : public QDialog {
    Q_OBJECT
public:
    CPinProps(CCompEditView& view, const CTextEncoding& encoding, QWidget* parent = nullptr);

    CPinPropGrid* grid() const { return m_grid; }
    CPinPropGridTitle* title() const { return m_title; }
    QScrollBar* rowBar() const { return m_rowBar; }
    QScrollBar* blockBar() const { return m_blockBar; }

    void endEdit();
    void refresh();
    // Another component was opened: back to the first block.
    void reset();

signals:
    // The Close button or the window's close box: the frame switches the window off.
    void closeRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void layOut();
    void updateBars();

    CPinPropGrid* m_grid;
    CPinPropGridTitle* m_title;
    QScrollBar* m_rowBar;
    QScrollBar* m_blockBar;
    QPushButton* m_close;
    bool m_updatingBars = false;
};
