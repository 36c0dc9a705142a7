#pragma once

#include "SimulatedRepeater.h"

// What the device holds for a Read: unlike the pages' defaults everywhere the
// checks look, so that every applied value shows.
inline sim::Parameters deviceParameters() {
    sim::Parameters p = sim::Parameters::defaults();
    p.can[0].bitTiming = QByteArray::fromHex("00120005");  // 1000K
    p.can[0].banks[3] = {0x81, 0x10, QByteArray::fromHex("11223344"), QByteArray::fromHex("AABBCCDD")};
    p.can[1].bitTiming = QByteArray::fromHex("12345678");  // no named rate
    p.can[1].banks[0] = {0x02, 0x11, QByteArray::fromHex("01020304"), QByteArray::fromHex("05060708")};
    p.fiber = {0x01, 0x02, 0x03, 0x0c};
    p.route = {0x40, 0x88, 0x00, 0x81, 0x0D, 0xC0};
    return p;
}
