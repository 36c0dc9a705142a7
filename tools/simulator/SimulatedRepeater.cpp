// Placeholder until the simulated repeater is written: no device present.
#include <hidapi.h>

extern "C" {
int HID_API_EXPORT HID_API_CALL hid_init(void) { return 0; }
int HID_API_EXPORT HID_API_CALL hid_exit(void) { return 0; }
hid_device* HID_API_EXPORT HID_API_CALL hid_open(unsigned short, unsigned short, const wchar_t*) { return nullptr; }
}
