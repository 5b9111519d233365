#pragma once

#include <QLineEdit>

// The in-place editor of the pin property table: the up and down arrows step rows instead of
// moving the cursor.
class CEditForGrid : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    // Qt::Key_Up, Qt::Key_Down or Qt::Key_Return.
    void stepRequested(int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
