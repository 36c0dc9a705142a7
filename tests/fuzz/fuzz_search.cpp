// The identity replies of the device search, as the simulated repeater sends
// them. Input: type, hardware major, hardware minor, firmware major, firmware
// minor, fault selector, fault value, then up to 12 card number bytes.
#include <cstddef>
#include <cstdint>

#include "DeviceSearch.h"
#include "FuzzSupport.h"
#include "HIDDevice.h"
#include "SimulatedRepeater.h"

namespace {

constexpr int kHeaderSize = 7;
constexpr int kCardNumberSize = 12;
const int kIdentityCodes[] = {0x15, 0x14, 0x01, 0x12};

int byteAt(const uint8_t* data, size_t size, size_t index) {
    return index < size ? data[index] : 0;
}

// Selector 0 ... 127: no fault. Above: one fault on one identity query, so
// that the search also meets broken replies part-way.
bool injectFault(int selector, int value) {
    if (selector < 128) return false;
    const sim::Fault faults[] = {sim::Fault::NoReply,    sim::Fault::LateReply, sim::Fault::WrongStatus,
                                 sim::Fault::ShortReply, sim::Fault::LongReply, sim::Fault::ShortWrite,
                                 sim::Fault::WriteError, sim::Fault::Unplug};
    const sim::Fault fault = faults[selector % 8];
    const int code = kIdentityCodes[(selector / 8) % 4];
    // A late reply stays within a few query time-outs.
    const int faultValue = fault == sim::Fault::LateReply ? value % 30 : value;
    sim::SimulatedRepeater::instance().injectFault(code, fault, 1, faultValue);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sim::SimulatedRepeater& repeater = sim::SimulatedRepeater::instance();
    repeater.reset();
    repeater.setLatency(0);

    sim::Identity identity;
    identity.hardwareType = static_cast<unsigned char>(byteAt(data, size, 0));
    identity.hardwareMajor = static_cast<unsigned char>(byteAt(data, size, 1));
    identity.hardwareMinor = static_cast<unsigned char>(byteAt(data, size, 2));
    identity.firmwareMajor = static_cast<unsigned char>(byteAt(data, size, 3));
    identity.firmwareMinor = static_cast<unsigned char>(byteAt(data, size, 4));
    identity.cardNumber = size > kHeaderSize
                              ? QByteArray(reinterpret_cast<const char*>(data) + kHeaderSize,
                                           int(qMin<size_t>(size - kHeaderSize, kCardNumberSize)))
                              : QByteArray();
    repeater.setIdentity(identity);
    const bool faulty = injectFault(byteAt(data, size, 5), byteAt(data, size, 6));

    DeviceIdentity found;
    bool ok = false;
    {
        HIDDevice device;
        ok = searchDevice(device, found);
        // A failed search lets the handle go; a successful one keeps it.
        FUZZ_CHECK(device.isOpen() == ok);
    }
    FUZZ_CHECK(repeater.openHandleCount() == 0);

    const HardwareModel* model = hardwareModel(identity.hardwareType);
    if (!faulty) FUZZ_CHECK(ok == (model != nullptr));

    if (!ok) {
        // Nothing of a failed search may reach the pages.
        FUZZ_CHECK(found.nCAN == -1 && found.nFiberOptic == 0 && found.routeType == 0);
        FUZZ_CHECK(found.strName.isEmpty() && found.strDevType.isEmpty() && found.strCardNum.isEmpty());
        FUZZ_CHECK(found.strDevVer.isEmpty() && found.strFirmware.isEmpty());
        return 0;
    }

    // Counts the pages can show, and a route type they know.
    FUZZ_CHECK(model != nullptr);
    FUZZ_CHECK(found.nCAN == 2);
    FUZZ_CHECK(found.nFiberOptic >= 0 && found.nFiberOptic <= 4);
    FUZZ_CHECK(found.routeType >= 1 && found.routeType <= 4);
    FUZZ_CHECK(found.nCAN == model->nCAN && found.nFiberOptic == model->nFiberOptic);
    FUZZ_CHECK(found.routeType == (identity.hardwareType == 5 ? 3 : identity.hardwareType));
    FUZZ_CHECK(found.strDevType == QString::fromLatin1(model->name));
    FUZZ_CHECK(found.strName == found.strDevType + QStringLiteral("_") + found.strCardNum);

    if (!faulty) {
        const QByteArray card = identity.cardNumber.left(
            identity.cardNumber.indexOf('\0') < 0 ? kCardNumberSize : identity.cardNumber.indexOf('\0'));
        FUZZ_CHECK(found.strCardNum == QString::fromUtf8(card));
        FUZZ_CHECK(found.strDevVer ==
                   QString::asprintf("%d.%02d", identity.hardwareMajor, identity.hardwareMinor));
        FUZZ_CHECK(found.strFirmware ==
                   QString::asprintf("%d.%02d", identity.firmwareMajor, identity.firmwareMinor));
    }
    // Twelve bytes never make more than twelve characters, even undecodable ones.
    FUZZ_CHECK(found.strCardNum.size() <= kCardNumberSize);
    return 0;
}
