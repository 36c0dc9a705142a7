#include "KeepOpenOnEscape.h"

#include <QKeyEvent>

bool KeepOpenOnEscape::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel))
        return true;
    return QObject::eventFilter(watched, event);
}
