#include "DeviceNotifier.h"

#include <QDebug>
#include <QWidget>

#include <windows.h>
// after windows.h, whose types it uses
#include <dbt.h>

namespace {
// The HID device-interface class.
const GUID kHidInterfaceClass = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
}  // namespace

struct DeviceNotifier::Private {
    HDEVNOTIFY m_hDevNotify = nullptr;
};

DeviceNotifier::DeviceNotifier(QWidget* window) : QObject(window), d(new Private) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter;
    ZeroMemory(&filter, sizeof(filter));
    filter.dbcc_size = sizeof(DEV_BROADCAST_DEVICEINTERFACE_W);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kHidInterfaceClass;
    d->m_hDevNotify = RegisterDeviceNotificationW(reinterpret_cast<HANDLE>(window->winId()), &filter,
                                                  DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!d->m_hDevNotify) qDebug() << "注册失败";
}

DeviceNotifier::~DeviceNotifier() {
    if (d->m_hDevNotify) UnregisterDeviceNotification(d->m_hDevNotify);
}

bool DeviceNotifier::handleNativeEvent(const QByteArray& eventType, void* message) {
    if (eventType != "windows_generic_MSG") return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_DEVICECHANGE) return false;
    bool arrival = false;
    if (msg->wParam == DBT_DEVICEARRIVAL)
        arrival = true;
    else if (msg->wParam != DBT_DEVICEREMOVECOMPLETE)
        return false;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(msg->lParam);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return false;
    const auto* iface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    const std::optional<HidInterface> hid = hidInterfaceOfNotice(QString::fromWCharArray(iface->dbcc_name));
    if (!hid) return false;
    emit notice(*hid, arrival);
    return true;
}
