#pragma once

#include <QObject>

class QTabWidget;
class QWidget;

// Keeps the mouse wheel from changing what the pointer only passes over on
// its way down a page. A guarded box (a combo box, a spin box) in a table or
// a scrolled page never takes the wheel itself: the page scrolls it under a
// still pointer, so only its open list, a window of its own, takes it there.
// Elsewhere it takes the wheel only while it has the keyboard focus, after a
// click or Tab. Guarded tabs do not turn with the wheel at all.
class WheelGuard : public QObject {
    Q_OBJECT
public:
    explicit WheelGuard(QObject* parent) : QObject(parent) {}

    // The box no longer takes the focus from the wheel itself.
    void guard(QWidget* box);
    void guardTabs(QTabWidget* tabs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
