#pragma once

#include "HardwareModel.h"

class HIDDevice;

// Opens the repeater and asks for its identity: hardware type, card number,
// hardware and firmware version. On any failure the device is closed again
// and false is returned. Runs on the search thread.
bool searchDevice(HIDDevice& device, DeviceIdentity& identity);

// The same four queries on a device that is open already (one of several,
// opened by its path); on any failure the device is closed again.
bool identifyDevice(HIDDevice& device, DeviceIdentity& identity);
