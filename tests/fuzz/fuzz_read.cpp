// The Read against the simulated repeater: every reply the Read decodes
// carries bytes from the input. Input: the device's hardware type code, a
// fault selector and its occurrence, then per CAN channel the bit-timing
// word and fourteen banks of flags, mode, ID and mask, then the four fiber
// codes and the six route row bytes.
#include <cstddef>
#include <cstdint>

#include "CanCodec.h"
#include "DeviceRead.h"
#include "FiberRules.h"
#include "FuzzSets.h"
#include "HIDDevice.h"
#include "RouteRules.h"
#include "SimulatedRepeater.h"

namespace {

// Bit of each route channel in a row byte, and where its row sits in the
// route reply, in the order CAN1, CAN2, Fiber1 ... Fiber4.
const int kRouteBits[6] = {7, 6, 3, 2, 1, 0};
const unsigned kRouteTypes[6] = {0x1e, 0x1e, 0x1c, 0x18, 0x10, 0x10};

bool routePresent(int type, int channel) {
    return (kRouteTypes[channel] & (1u << type)) != 0;
}

// Selector below 224: no fault; above, one fault on one of the Read's queries.
// Faults cost their time-outs, so only one input in eight gets one.
bool injectFault(int selector, int occurrence) {
    if (selector < 224) return false;
    const sim::Fault faults[] = {sim::Fault::NoReply,   sim::Fault::WrongStatus, sim::Fault::ShortReply,
                                 sim::Fault::LongReply, sim::Fault::ShortWrite,  sim::Fault::WriteError,
                                 sim::Fault::Unplug,    sim::Fault::LateReply};
    const int codes[] = {0xA4, 0xA5, 0x26, 0x28};
    const sim::Fault fault = faults[selector % 8];
    // A late reply comes after the query's time-out, for the next query to find.
    const int value = fault == sim::Fault::LateReply ? 120 : -1;
    sim::SimulatedRepeater::instance().injectFault(codes[(selector / 8) % 4], fault, 1 + occurrence % 16,
                                                   value);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const int code = 1 + in.byte() % 5;
    const int selector = in.byte();
    const int occurrence = in.byte();

    sim::Parameters parameters = sim::Parameters::defaults();
    for (sim::CanChannel& channel : parameters.can) {
        channel.bitTiming = in.bytes(4);
        for (sim::FilterBank& bank : channel.banks) {
            bank.flags = in.byte();
            bank.mode = in.byte();
            bank.id = in.bytes(4);
            bank.mask = in.bytes(4);
        }
    }
    for (unsigned char& fiber : parameters.fiber) fiber = in.byte();
    for (unsigned char& row : parameters.route) row = in.byte();

    sim::SimulatedRepeater& repeater = sim::SimulatedRepeater::instance();
    repeater.reset();
    repeater.setLatency(0);
    repeater.setParameters(parameters);
    const bool faulty = injectFault(selector, occurrence);

    const HardwareModel& model = *hardwareModel(code);
    ParameterSet set = defaultsFor(code);
    const ParameterSet defaults = set;
    {
        // The simulator keeps every handle ever opened, so a new one per run
        // would look like a leak to every run's leak check; the device is
        // opened again only after an unplug closed it.
        static HIDDevice device;
        if (repeater.openHandleCount() == 0) FUZZ_CHECK(device.open(0x0483, 0x6901, nullptr));
        DeviceRead read(device, set);
        const DeviceRead::Result result = read.run();
        if (!faulty) FUZZ_CHECK(result == DeviceRead::Result::Done);
        checkedFrames(set);
        // A Read changes values, never what the set is for.
        FUZZ_CHECK(set.canCount == defaults.canCount && set.can.size() == defaults.can.size());
        FUZZ_CHECK(set.route.on == defaults.route.on);

        if (result == DeviceRead::Result::Done && !faulty) {
            // The set sends back exactly what the device holds, in the bits
            // the frames carry.
            for (int i = 0; i < model.nCAN; ++i) {
                const CanChannelValues& channel = set.can.at(i);
                const sim::CanChannel& source = parameters.can[size_t(i)];
                FUZZ_CHECK(CanCodec::baudRateRequest(channel).frame().mid(6, 4) == source.bitTiming);
                const QList<QByteArray> filters = CanCodec::filterFrames(channel);
                for (int b = 0; b < kBanks; ++b) {
                    const sim::FilterBank& bank = source.banks[size_t(b)];
                    const QByteArray& f = filters.at(b);
                    FUZZ_CHECK((uint8_t(f.at(5)) & 0x80) == (bank.flags & 0x80));
                    FUZZ_CHECK(uint8_t(f.at(6)) == (bank.mode & 0x11));
                    FUZZ_CHECK(f.mid(7, 4) == bank.id && f.mid(11, 4) == bank.mask);
                }
            }
            for (int i = 0; i < model.nFiberOptic; ++i)
                FUZZ_CHECK(set.fiber.codes[size_t(i)] == FiberRules::entryCode(parameters.fiber[size_t(i)]));
            const QByteArray route = RouteRules::request(set.route, set.routeType).frame();
            const int frameBytes[6] = {5, 6, 9, 10, 11, 12};
            uint8_t present = 0;
            for (int c = 0; c < 6; ++c)
                if (routePresent(model.routeType, c)) present |= uint8_t(1u << kRouteBits[c]);
            for (int r = 0; r < 6; ++r) {
                const uint8_t expected = routePresent(model.routeType, r)
                                             ? parameters.route[size_t(r)] & present & ~(1u << kRouteBits[r])
                                             : 0;
                FUZZ_CHECK(uint8_t(route.at(frameBytes[r])) == expected);
            }
        }
    }
    // The Read never opens a handle of its own (an unplug closes the one it had).
    FUZZ_CHECK(repeater.openHandleCount() <= 1);
    return 0;
}
