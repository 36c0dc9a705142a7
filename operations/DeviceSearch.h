#pragma once

#include <QString>

class HIDDevice;

// What a successful search found out about the device.
struct DeviceIdentity {
    int nCAN = -1;
    int nFiberOptic = 0;
    int routeType = 0;  // the route page is set up for it: the hardware type code, 5 counting as 3
    QString strName;    // model name, "_", card number
    QString strDevType;
    QString strDevVer;
    QString strFirmware;
    QString strCardNum;
};

// One model of the hardware type table.
struct HardwareModel {
    int code;
    const char* name;
    int nCAN;
    int nFiberOptic;
    int routeType;
};

// The model a hardware type code stands for, or nullptr for an unknown code.
const HardwareModel* hardwareModel(int code);

// Opens the repeater and asks for its identity: hardware type, card number,
// hardware and firmware version. On any failure the device is closed again
// and false is returned. Runs on the search thread.
bool searchDevice(HIDDevice& device, DeviceIdentity& identity);

// The same four queries on a device that is open already (one of several,
// opened by its path); on any failure the device is closed again.
bool identifyDevice(HIDDevice& device, DeviceIdentity& identity);
