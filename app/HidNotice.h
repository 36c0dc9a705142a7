#pragma once

#include <QString>

// Device-interface paths of hot-plug notices, as the system reports them
// (for example \\?\HID#VID_0483&PID_6901#...#{4d1e55b2-...}).
namespace HidNotice {

// True when the path names a HID interface of the repeater: it contains
// "HID", and the four characters after "VID_" and "PID_" are the repeater's
// vendor and product ids.
bool isRepeaterInterface(const QString& path);

// Builds such a path from udev's view of a hidraw node: the HID_ID property
// of its parent "hid" device ("0003:00000483:00006901").
QString pathFromHidId(const QString& hidId, const QString& devPath);
// The same from the node's DEVPATH alone (".../0003:0483:6901.0004/hidraw/hidraw0"),
// for removals, when the parent is usually gone. Empty when it names no HID device.
QString pathFromDevPath(const QString& devPath);

}  // namespace HidNotice
