#include "DeviceSearch.h"

#include "HIDDevice.h"
#include "Protocol.h"
#include "Transaction.h"

bool searchDevice(HIDDevice& device, DeviceIdentity& identity) {
    if (!device.open(Protocol::VendorId, Protocol::ProductId, nullptr)) return false;
    return identifyDevice(device, identity);
}

bool identifyDevice(HIDDevice& device, DeviceIdentity& identity) {
    Transaction t(device);
    const auto fail = [&device] {
        device.close();
        return false;
    };

    if (t.run(Protocol::QueryHardwareType{}.frame()) != Transaction::Result::Ok) return fail();
    const auto type = Protocol::QueryHardwareType::parse(t.replyBytes());
    // An unknown model would give the pages channel counts they cannot show.
    const HardwareModel* model = type.ok() ? hardwareModel(type.values) : nullptr;
    if (!model) return fail();

    if (t.run(Protocol::QueryCardNumber{}.frame()) != Transaction::Result::Ok) return fail();
    const auto cardNumber = Protocol::QueryCardNumber::parse(t.replyBytes());
    if (!cardNumber.ok()) return fail();

    if (t.run(Protocol::QueryHardwareVersion{}.frame()) != Transaction::Result::Ok) return fail();
    const auto hardwareVersion = Protocol::QueryHardwareVersion::parse(t.replyBytes());
    if (!hardwareVersion.ok()) return fail();

    if (t.run(Protocol::QueryFirmwareVersion{}.frame()) != Transaction::Result::Ok) return fail();
    const auto firmwareVersion = Protocol::QueryFirmwareVersion::parse(t.replyBytes());
    if (!firmwareVersion.ok()) return fail();

    identity.nCAN = model->nCAN;
    identity.nFiberOptic = model->nFiberOptic;
    identity.routeType = model->routeType;
    identity.strDevType = QString::fromLatin1(model->name);
    identity.strCardNum = cardNumber.values;
    identity.strName = identity.strDevType + "_" + cardNumber.values;
    identity.strDevVer = hardwareVersion.values.text();
    identity.strFirmware = firmwareVersion.values.text();
    return true;
}
