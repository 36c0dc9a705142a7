#include "DeviceSearch.h"

#include "HIDDevice.h"
#include "Protocol.h"
#include "Transaction.h"

namespace {
const HardwareModel kModels[] = {
    {1, "Orvex-A1", 2, 0, 1}, {2, "Orvex-A2", 2, 1, 2}, {3, "Orvex-A3", 2, 2, 3},
    {4, "Orvex-A4", 2, 4, 4}, {5, "Orvex-B1", 2, 2, 3},
};

// "major.minor" from reply bytes 5 and 4.
QString versionText(const Transaction& t) {
    return QString::asprintf("%d.%02d", t.replyByte(5), t.replyByte(4));
}
}  // namespace

const HardwareModel* hardwareModel(int code) {
    for (const HardwareModel& model : kModels)
        if (model.code == code) return &model;
    return nullptr;
}

bool searchDevice(HIDDevice& device, DeviceIdentity& identity) {
    if (!device.open(Protocol::VendorId, Protocol::ProductId, nullptr)) {
        device.close();  // open may keep a handle whose mode could not be set
        return false;
    }
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
    const HardwareModel* model = hardwareModel(t.replyByte(4));
    if (!model) return fail();

    if (t.run(Command::QueryCardNumber) != Transaction::Result::Ok) return fail();
    // Text up to the first zero byte; the reply buffer always ends in zeros.
    const QString cardNumber = QString::fromUtf8(reinterpret_cast<const char*>(t.reply()) + 4);

    if (t.run(Command::QueryHardwareVersion) != Transaction::Result::Ok) return fail();
    const QString hardwareVersion = versionText(t);

    if (t.run(Command::QueryFirmwareVersion) != Transaction::Result::Ok) return fail();
    const QString firmwareVersion = versionText(t);

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
