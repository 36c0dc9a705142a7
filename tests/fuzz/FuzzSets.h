#pragma once

#include <QList>
#include <QStringList>

#include "DeviceWrite.h"
#include "FuzzSupport.h"
#include "HardwareModel.h"
#include "ParameterChecks.h"
#include "ParameterSet.h"

constexpr int kFrameSize = 17;
constexpr int kBanks = 14;

// The values a connected device of a hardware type code (1 ... 5) starts with.
inline const ParameterSet& defaultsFor(int code) {
    static const ParameterSet all[] = {ParameterSet::defaults(2, 0, 1), ParameterSet::defaults(2, 1, 2),
                                       ParameterSet::defaults(2, 2, 3), ParameterSet::defaults(2, 4, 4),
                                       ParameterSet::defaults(2, 2, 3)};
    const HardwareModel* model = hardwareModel(code);
    FUZZ_CHECK(model != nullptr);
    const ParameterSet& defaults = all[code - 1];
    FUZZ_CHECK(defaults.canCount == model->nCAN && defaults.fiberCount == model->nFiberOptic &&
               defaults.routeType == model->routeType);
    return defaults;
}

// What a set would send, each frame checked for its fixed layout, and what
// keeps the Write from sending it.
struct Sent {
    QList<QByteArray> frames;
    QStringList problems;
    bool operator==(const Sent& other) const { return frames == other.frames && problems == other.problems; }
};

inline Sent checkedFrames(const ParameterSet& set) {
    Sent sent;
    sent.frames = DeviceWrite::frames(set);
    FUZZ_CHECK(sent.frames.size() == set.canCount * (1 + kBanks) + 3);
    int at = 0;
    for (int i = 0; i < set.canCount; ++i) {
        const int id = i + 1;
        FUZZ_CHECK(set.can.at(i).channelId == id);
        const QByteArray& baud = sent.frames.at(at++);
        FUZZ_CHECK(baud.size() == kFrameSize);
        FUZZ_CHECK(baud.startsWith(QByteArray::fromHex("0012230600")));
        FUZZ_CHECK(uint8_t(baud.at(5)) == id);
        FUZZ_CHECK(baud.mid(10) == QByteArray(7, '\0'));
        for (int r = 0; r < kBanks; ++r) {
            const QByteArray& f = sent.frames.at(at++);
            FUZZ_CHECK(f.size() == kFrameSize);
            FUZZ_CHECK(f.startsWith(QByteArray::fromHex("0012240b")));
            FUZZ_CHECK(uint8_t(f.at(4)) == r);
            FUZZ_CHECK((uint8_t(f.at(5)) & 0x7F) == id);
            FUZZ_CHECK((uint8_t(f.at(6)) & ~0x11) == 0);
            FUZZ_CHECK(f.at(15) == 0 && f.at(16) == 0);
        }
    }
    const QByteArray& fiber = sent.frames.at(at++);
    FUZZ_CHECK(fiber.size() == kFrameSize);
    FUZZ_CHECK(fiber.startsWith(QByteArray::fromHex("00122505")));
    for (int i = 0; i < 4; ++i) {
        const uint8_t code = uint8_t(fiber.at(5 + i));
        FUZZ_CHECK(code <= 12);
        if (i >= set.fiberCount) FUZZ_CHECK(code == 0);
    }
    const QByteArray& route = sent.frames.at(at++);
    FUZZ_CHECK(route.size() == kFrameSize);
    FUZZ_CHECK(route.startsWith(QByteArray::fromHex("0012270900")));
    FUZZ_CHECK(sent.frames.at(at) == QByteArray::fromHex("0012110100000000000000000000000000"));

    sent.problems = ParameterChecks::problems(set);
    return sent;
}
