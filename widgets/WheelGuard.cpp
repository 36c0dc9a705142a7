#include "WheelGuard.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QTabBar>
#include <QTabWidget>

namespace {
bool takesWheel(const QWidget* widget) {
    if (qobject_cast<const QTabBar*>(widget)) return false;
    for (const QWidget* above = widget->parentWidget(); above && !above->isWindow();
         above = above->parentWidget())
        if (qobject_cast<const QAbstractScrollArea*>(above)) return false;
    return widget->hasFocus();
}
}  // namespace

void WheelGuard::guard(QWidget* box) {
    // Qt::WheelFocus would hand the box the focus before the wheel reaches it.
    if (box->focusPolicy() == Qt::WheelFocus) box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(this);
}

void WheelGuard::guardTabs(QTabWidget* tabs) {
    tabs->tabBar()->installEventFilter(this);
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && !takesWheel(static_cast<QWidget*>(watched))) {
        // Not accepted, it goes on to the widget under this one, which scrolls.
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
