#pragma once

#include <QObject>

class QWidget;

// Keeps the mouse wheel from changing a choice the pointer only passes over
// on its way down a page: a guarded box (a combo box, a spin box) takes the
// wheel only while it has the keyboard focus, after a click or Tab; else the
// wheel scrolls the table or page under it, as the user meant.
class WheelGuard : public QObject {
    Q_OBJECT
public:
    explicit WheelGuard(QObject* parent) : QObject(parent) {}

    // The box no longer takes the focus from the wheel itself.
    void guard(QWidget* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
