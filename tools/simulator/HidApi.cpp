// The hidapi functions the program calls, answered by the simulated
// repeaters: a call on a handle goes to the repeater it was opened on.
#include <hidapi.h>

#include "SimulatedRepeater.h"

using sim::SimulatedRepeater;

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void) {
    SimulatedRepeater::plugInFromEnvironment();
    return SimulatedRepeater::instance().hidInit();
}

int HID_API_EXPORT HID_API_CALL hid_exit(void) {
    return SimulatedRepeater::instance().hidExit();
}

struct hid_device_info HID_API_EXPORT* HID_API_CALL hid_enumerate(unsigned short vendor_id,
                                                                  unsigned short product_id) {
    return SimulatedRepeater::hidEnumerate(vendor_id, product_id);
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info* devs) {
    SimulatedRepeater::hidFreeEnumeration(devs);
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open(unsigned short vendor_id, unsigned short product_id,
                                                 const wchar_t* serial_number) {
    return SimulatedRepeater::hidOpen(vendor_id, product_id, serial_number);
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open_path(const char* path) {
    return SimulatedRepeater::hidOpenPath(path);
}

int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device* dev, int nonblock) {
    SimulatedRepeater* owner = SimulatedRepeater::owner(dev);
    return owner ? owner->hidSetNonblocking(dev, nonblock) : -1;
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device* dev, const unsigned char* data, size_t length) {
    SimulatedRepeater* owner = SimulatedRepeater::owner(dev);
    return owner ? owner->hidWrite(dev, data, length) : -1;
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device* dev, unsigned char* data, size_t length,
                                                 int milliseconds) {
    SimulatedRepeater* owner = SimulatedRepeater::owner(dev);
    return owner ? owner->hidReadTimeout(dev, data, length, milliseconds) : -1;
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device* dev) {
    if (SimulatedRepeater* owner = SimulatedRepeater::owner(dev)) owner->hidClose(dev);
}

HID_API_EXPORT const wchar_t* HID_API_CALL hid_error(hid_device* dev) {
    if (dev == nullptr) return SimulatedRepeater::hidGlobalError();
    SimulatedRepeater* owner = SimulatedRepeater::owner(dev);
    return owner ? owner->hidError(dev) : nullptr;
}

}  // extern "C"
