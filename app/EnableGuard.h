#pragma once

#include <QPointer>
#include <QWidget>

// Keeps a widget disabled for as long as the guard lives, whichever way the
// scope ends.
class EnableGuard {
public:
    explicit EnableGuard(QWidget* widget) : m_widget(widget) {
        if (m_widget) m_widget->setEnabled(false);
    }
    ~EnableGuard() {
        if (m_widget) m_widget->setEnabled(true);
    }
    EnableGuard(const EnableGuard&) = delete;
    EnableGuard& operator=(const EnableGuard&) = delete;

private:
    QPointer<QWidget> m_widget;
};
