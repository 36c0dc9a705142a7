#pragma once

#include <QString>
#include <optional>

// A HID interface that a hot-plug notice names: the USB ids, and the
// system's own name for it, which nothing outside this folder takes apart.
struct HidInterface {
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString path;
};

// Reads the HID interface out of a notice as this system words it; each
// system has its own source file. `path` is what the system names the
// device by (on Windows a device-interface path, on Linux the hidraw
// node's DEVPATH); `ids` is the system's text for the ids where it gives
// them apart from the path (on Linux the HID_ID property of the node's
// "hid" parent, usually gone at a removal), else empty. Nothing when the
// notice names no HID interface.
std::optional<HidInterface> hidInterfaceOfNotice(const QString& path, const QString& ids = QString());
