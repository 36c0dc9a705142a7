#include "DeviceSearch.h"

#include "HIDDevice.h"
#include "Protocol.h"
#include "Transaction.h"

bool searchDevice(HIDDevice& device, DeviceIdentity& identity) {
    if (!device.open(Protocol::VendorId, Protocol::ProductId, nullptr)) return false;
    return identifyDevice(device, identity);
}

bool identifyDevice(HIDDevice& device, DeviceIdentity& identity) {
    using Protocol::Command;
    Transaction t(device);
    const auto fail = [&device] {
        device.close();
        return false;
    };

    if (t.run(Command::QueryHardwareType) != Transaction::Result::Ok) return fail();
    // An unknown model would give the pages channel counts they cannot show.
    const HardwareModel* model = hardwareModel(t.replyByte(Protocol::Reply::HardwareType));
    if (!model) return fail();

    if (t.run(Command::QueryCardNumber) != Transaction::Result::Ok) return fail();
    const QString cardNumber = Protocol::cardNumberText(t.reply());

    if (t.run(Command::QueryHardwareVersion) != Transaction::Result::Ok) return fail();
    const QString hardwareVersion = Protocol::versionText(t.reply());

    if (t.run(Command::QueryFirmwareVersion) != Transaction::Result::Ok) return fail();
    const QString firmwareVersion = Protocol::versionText(t.reply());

    identity.nCAN = model->nCAN;
    identity.nFiberOptic = model->nFiberOptic;
    identity.routeType = model->routeType;
    identity.strDevType = QString::fromLatin1(model->name);
    identity.strCardNum = cardNumber;
    identity.strName = identity.strDevType + "_" + cardNumber;
    identity.strDevVer = hardwareVersion;
    identity.strFirmware = firmwareVersion;
    return true;
}
