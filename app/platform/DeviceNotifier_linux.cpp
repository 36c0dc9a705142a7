#include <QDebug>
#include <QSocketNotifier>
#include <QWidget>

#include <libudev.h>

#include "DeviceNotifier.h"

struct DeviceNotifier::Private {
    // Where no udev daemon runs the monitor opens and simply hears nothing.
    bool openMonitor() {
        context = udev_new();
        if (!context) return false;
        monitor = udev_monitor_new_from_netlink(context, "udev");
        return monitor && udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) >= 0 &&
               udev_monitor_enable_receiving(monitor) >= 0;
    }

    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    QSocketNotifier* socket = nullptr;
};

DeviceNotifier::DeviceNotifier(QWidget* window) : QObject(window), d(new Private) {
    if (!d->openMonitor()) {
        // Arrivals and removals go unnoticed; the start-up search runs all the same.
        qDebug() << "注册失败";
        return;
    }
    d->socket = new QSocketNotifier(udev_monitor_get_fd(d->monitor), QSocketNotifier::Read, this);
    connect(d->socket, &QSocketNotifier::activated, this, [this] {
        udev_device* device = udev_monitor_receive_device(d->monitor);
        if (!device) return;
        const QString action = QString::fromLatin1(udev_device_get_action(device));
        const QString devPath = QString::fromLatin1(udev_device_get_devpath(device));
        std::optional<HidInterface> hidraw;
        if (action == QLatin1String("add")) {
            udev_device* hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr);
            const char* hidId = hid ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
            hidraw = hidInterfaceOfNotice(devPath, QString::fromLatin1(hidId));
        } else if (action == QLatin1String("remove")) {
            hidraw = hidInterfaceOfNotice(devPath);
        }
        udev_device_unref(device);
        if (hidraw) emit notice(*hidraw, action == QLatin1String("add"));
    });
}

DeviceNotifier::~DeviceNotifier() {
    delete d->socket;
    if (d->monitor) udev_monitor_unref(d->monitor);
    if (d->context) udev_unref(d->context);
}

bool DeviceNotifier::handleNativeEvent(const QByteArray&, void*) {
    return false;
}
