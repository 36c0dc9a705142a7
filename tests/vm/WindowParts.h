#pragma once

// What the tests in the virtual machine read of the main window and press in
// it, by the names of its widgets: the same for the window linked into
// tst_vmwindow and for the one in the shipped tarvane.exe, which the Windows
// check drives from a plugin.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>

#include "ModalAnswerer.h"

namespace vm {

inline QString windowText(const char* text) {
    return QCoreApplication::translate("Tarvane", text);
}

inline QString deviceName(const QWidget& window) {
    return window.findChild<QLineEdit*>("m_pLineEditDevName")->text();
}

inline int channelTabs(const QWidget& window) {
    return window.findChild<QTabWidget*>("m_tabWidgetChannal")->count();
}

// Presses a button as a user does and returns the texts of the boxes it
// showed; null when the window has no such button.
inline QStringList click(const QWidget& window, const QString& button, ModalAnswerer& answerer) {
    auto* pushButton = window.findChild<QPushButton*>(button);
    if (!pushButton) return {QStringLiteral("no button ") + button};
    answerer.clear();
    pushButton->click();
    return answerer.texts();
}

// "选择设备" while the main menu offers it, else null.
inline QMenu* devicesMenu() {
    QMenu* devices = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(widget);
        if (menu && menu->title() == windowText("选择设备")) devices = menu;
    }
    if (!devices) return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(widget);
        if (menu && menu->actions().contains(devices->menuAction())) return devices;
    }
    return nullptr;
}

// The entries of "选择设备", the checked one marked with "*".
inline QStringList deviceEntries() {
    QStringList entries;
    if (QMenu* menu = devicesMenu()) {
        for (QAction* action : menu->actions()) entries << (action->isChecked() ? "*" : "") + action->text();
    }
    return entries;
}

}  // namespace vm
