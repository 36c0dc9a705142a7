#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "CANParamWidget.h"
#include "ChannalWidget.h"
#include "OpticalFiberParamWidget.h"
#include "RouteParamWidget.h"
#include "SimulatedRepeater.h"
#include "Tarvane.h"
#include "TestFiles.h"
#include "TextFit.h"

Q_DECLARE_METATYPE(sim::Fault)

// The simulated repeater the tests talk to.
inline sim::SimulatedRepeater& repeater() {
    return sim::SimulatedRepeater::instance();
}

// The main window with its pages reachable from a test.
class TestWindow : public Tarvane {
public:
    using Tarvane::m_bConnected;
    using Tarvane::m_pCANParamWidget;
    using Tarvane::m_pDevInfoWidget;
    using Tarvane::m_pMenu;
    using Tarvane::m_pMenuDevices;
    using Tarvane::m_pMenuOffline;
    using Tarvane::m_pOpticalFiberParamWidget;
    using Tarvane::m_pRouteParamWidget;

    ChannalWidget* channal(int i) const { return m_pCANParamWidget->channalWidget(i); }
    QPushButton* button(const char* name) const { return findChild<QPushButton*>(name); }
    QString deviceName() const { return findChild<QLineEdit*>("m_pLineEditDevName")->text(); }
    // The main menu's "离线编辑" entry for a model; null while the menu does not offer it.
    QAction* offlineEntry(const QString& model) const {
        if (!m_pMenu->actions().contains(m_pMenuOffline->menuAction())) return nullptr;
        for (QAction* entry : m_pMenuOffline->actions())
            if (entry->text() == model) return entry;
        return nullptr;
    }
};

// The minimum width a language gives the main window: its own width, or
// more where the window's contents need more in the current font.
inline int languageMinimumWidth(QWidget& window, int width) {
    return qMax(width, TextFit::layoutMinimum(&window).width());
}

// The settings file beside the test decides the language; without one the
// window starts in Chinese, with the Chinese catalogue installed.
inline void removeLanguageSettings() {
    QFile::remove(QCoreApplication::applicationDirPath() + "/Config.ini");
}

// A window connected to the simulated repeater of the given hardware type,
// with the identity traffic of the search already out of the log; null when
// the search did not connect.
inline std::unique_ptr<TestWindow> connectedWindow(unsigned char hardwareType) {
    sim::SimulatedRepeater& device = sim::SimulatedRepeater::instance();
    sim::Identity identity;
    identity.hardwareType = hardwareType;
    device.setIdentity(identity);
    auto window = std::make_unique<TestWindow>();
    if (!QTest::qWaitFor([&] { return window->m_bConnected; }, 5000)) return nullptr;
    device.clearLog();
    return window;
}

inline QByteArray frame17(const char* hex) {
    QByteArray bytes = QByteArray::fromHex(hex);
    bytes.append(QByteArray(17 - bytes.size(), '\0'));
    return bytes;
}
