#pragma once

#include "CANParamWidget.h"
#include "DeviceRead.h"
#include "DeviceSearch.h"
#include "DeviceWrite.h"
#include "OpticalFiberParamWidget.h"
#include "ParameterFile.h"
#include "RouteParamWidget.h"

class HIDDevice;

// The main window's three parameter pages without the window, set up for one
// device as the window sets them up when it finds the device. The command
// line reads, writes, saves and opens through them, so that it builds every
// frame and file exactly as the window does. They are never shown.
class ParameterPages {
public:
    explicit ParameterPages(const DeviceIdentity& identity);

    int canCount() const { return m_nCAN; }
    int fiberCount() const { return m_nFiberOptic; }
    const CANParamWidget& canPage() const { return m_canPage; }
    const OpticalFiberParamWidget& fiberPage() const { return m_fiberPage; }
    const RouteParamWidget& routePage() const { return m_routePage; }

    DeviceRead reader(HIDDevice& device);
    DeviceWrite writer(HIDDevice& device);
    // The window's Save, as a document.
    QJsonDocument document();
    // The window's Open of a loaded file.
    void apply(const QJsonObject& file);

private:
    ParameterFile file() { return ParameterFile(m_canPage, m_fiberPage, m_routePage); }

    CANParamWidget m_canPage;
    OpticalFiberParamWidget m_fiberPage;
    RouteParamWidget m_routePage;
    const int m_nCAN;
    const int m_nFiberOptic;
};
