#pragma once

#include <QObject>

// Keeps a dialog that is a program's main window open when Esc reaches it:
// a dialog takes Esc for "cancel" and closes, and with it the program and
// the user's unsaved edits. Widgets that use Esc themselves (an open list)
// still get it first.
class KeepOpenOnEscape : public QObject {
    Q_OBJECT
public:
    explicit KeepOpenOnEscape(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
