#include "WheelGuard.h"

#include <QEvent>
#include <QWidget>

void WheelGuard::guard(QWidget* box) {
    // Qt::WheelFocus would hand the box the focus before the wheel reaches it.
    if (box->focusPolicy() == Qt::WheelFocus) box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(this);
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && !static_cast<QWidget*>(watched)->hasFocus()) {
        // Not accepted, it goes on to the widget under the box, which scrolls.
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
