#include "app/CEditForGrid.h"

#include <QKeyEvent>

void CEditForGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        emit stepRequested(event->key());
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit stepRequested(Qt::Key_Return);
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}
