// The hidapi functions the program calls, answered by the simulated repeater.
#include <hidapi.h>

#include "SimulatedRepeater.h"

using sim::SimulatedRepeater;

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void) {
    return SimulatedRepeater::instance().hidInit();
}

int HID_API_EXPORT HID_API_CALL hid_exit(void) {
    return SimulatedRepeater::instance().hidExit();
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open(unsigned short vendor_id, unsigned short product_id,
                                                 const wchar_t* serial_number) {
    return SimulatedRepeater::instance().hidOpen(vendor_id, product_id, serial_number);
}

int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device* dev, int nonblock) {
    return SimulatedRepeater::instance().hidSetNonblocking(dev, nonblock);
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device* dev, const unsigned char* data, size_t length) {
    return SimulatedRepeater::instance().hidWrite(dev, data, length);
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device* dev, unsigned char* data, size_t length,
                                                 int milliseconds) {
    return SimulatedRepeater::instance().hidReadTimeout(dev, data, length, milliseconds);
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device* dev) {
    SimulatedRepeater::instance().hidClose(dev);
}

HID_API_EXPORT const wchar_t* HID_API_CALL hid_error(hid_device* dev) {
    return SimulatedRepeater::instance().hidError(dev);
}

}  // extern "C"
