#pragma once

#include <QString>

// One model of the hardware type table: what the type code of the
// hardware-type query stands for.
struct HardwareModel {
    int code;
    const char* name;
    int nCAN;
    int nFiberOptic;
    int routeType;  // the route page's set-up: the code itself, 5 counting as 3
};

// The model a hardware type code stands for, or nullptr for an unknown code.
const HardwareModel* hardwareModel(int code);

// The model whose channels a route type stands for (the route types are
// the codes of the models that are their own route type), or nullptr.
const HardwareModel* routeModel(int routeType);

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
