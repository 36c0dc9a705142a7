#pragma once

#include <QObject>
#include <memory>

#include "HidNotice.h"

class QWidget;

// Reports HID device interfaces that the system says arrived or went away,
// by their ids. On Windows it registers the window for WM_DEVICECHANGE and
// decodes the messages the window forwards; on Linux it listens to udev on
// its own; on the simulated bus (tarvane-simulated) it looks by turns.
class DeviceNotifier : public QObject {
    Q_OBJECT
public:
    explicit DeviceNotifier(QWidget* window);
    ~DeviceNotifier() override;

    // The window's native events; true when the event told of a HID interface.
    bool handleNativeEvent(const QByteArray& eventType, void* message);

signals:
    void notice(const HidInterface& device, bool arrival);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
