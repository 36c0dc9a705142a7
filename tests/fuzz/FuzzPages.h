#pragma once

#include <QJsonDocument>
#include <QList>
#include <QStringList>

#include "CANParamWidget.h"
#include "ChannalWidget.h"
#include "DeviceSearch.h"
#include "DeviceWrite.h"
#include "FuzzSupport.h"
#include "HIDDevice.h"
#include "OpticalFiberParamWidget.h"
#include "ParameterFile.h"
#include "RouteParamWidget.h"

constexpr int kFrameSize = 17;
constexpr int kBanks = 14;

// The pages of one device, in the state a connected device gives them.
// Building them costs far more than a run, so they are made once per model
// and returned to their defaults after each run; every run first proves
// that it starts from exactly those.
struct Pages {
    CANParamWidget can;
    OpticalFiberParamWidget fiber;
    RouteParamWidget route;
    const HardwareModel* model = nullptr;
    QJsonDocument defaults;

    explicit Pages(const HardwareModel* m) : model(m) {
        can.setChannalCount(model->nCAN);
        fiber.setFiberCount(model->nFiberOptic);
        route.setHardwareType(model->routeType);
        defaults = file().toDocument(model->nCAN, model->nFiberOptic);
    }
    ParameterFile file() { return ParameterFile(can, fiber, route); }
    QJsonDocument document() { return file().toDocument(model->nCAN, model->nFiberOptic); }
    void setDefault() {
        can.setDefault();
        fiber.setDefault();
        route.setDefault();
    }
};

// Never destroyed: at exit Qt's font and style globals may already be gone,
// and a page torn down then would lay out its labels against them.
inline Pages& pagesFor(int code) {
    static Pages* all[5] = {};
    Pages*& pages = all[code - 1];
    if (!pages) pages = new Pages(hardwareModel(code));
    return *pages;
}

// What the pages would send, each frame checked for its fixed layout.
struct Sent {
    QList<QByteArray> frames;
    QStringList problems;
    bool operator==(const Sent& other) const { return frames == other.frames && problems == other.problems; }
};

inline Sent checkedFrames(Pages& pages) {
    Sent sent;
    for (int i = 0; i < pages.model->nCAN; ++i) {
        const ChannalWidget* channal = pages.can.channalWidget(i);
        FUZZ_CHECK(channal != nullptr);
        const int id = channal->channalId();
        FUZZ_CHECK(id == i + 1);

        const QByteArray baud = channal->baudRateFrame();
        FUZZ_CHECK(baud.size() == kFrameSize);
        FUZZ_CHECK(baud.startsWith(QByteArray::fromHex("0012230600")));
        FUZZ_CHECK(uint8_t(baud.at(5)) == id);
        FUZZ_CHECK(baud.mid(10) == QByteArray(7, '\0'));
        sent.frames.append(baud);

        const QList<QByteArray> filters = channal->filterFrames();
        FUZZ_CHECK(filters.size() == kBanks);
        for (int r = 0; r < kBanks; ++r) {
            const QByteArray& f = filters.at(r);
            FUZZ_CHECK(f.size() == kFrameSize);
            FUZZ_CHECK(f.startsWith(QByteArray::fromHex("0012240b")));
            FUZZ_CHECK(uint8_t(f.at(4)) == r);
            FUZZ_CHECK((uint8_t(f.at(5)) & 0x7F) == id);
            FUZZ_CHECK((uint8_t(f.at(6)) & ~0x11) == 0);
            FUZZ_CHECK(f.at(15) == 0 && f.at(16) == 0);
        }
        sent.frames.append(filters);
    }

    for (int i = 0; i < OpticalFiberParamWidget::kMaxFibers; ++i) {
        const QVariant code = pages.fiber.baudRateData(i);
        if (!code.isValid()) continue;
        FUZZ_CHECK(code.toByteArray().size() == 1);
        FUZZ_CHECK(code.toByteArray().at(0) >= 1 && code.toByteArray().at(0) <= 12);
    }
    HIDDevice none;
    DeviceWrite write(none, pages.can, pages.fiber, pages.route, pages.model->nCAN, pages.model->nFiberOptic);
    const QByteArray fiber = write.fiberFrame();
    FUZZ_CHECK(fiber.size() == kFrameSize);
    FUZZ_CHECK(fiber.startsWith(QByteArray::fromHex("00122505")));
    for (int i = 0; i < 4; ++i) {
        const uint8_t code = uint8_t(fiber.at(5 + i));
        FUZZ_CHECK(code <= 12);
        if (i >= pages.model->nFiberOptic) FUZZ_CHECK(code == 0);
    }
    sent.frames.append(fiber);

    const QByteArray route = pages.route.routeFrame();
    FUZZ_CHECK(route.size() == kFrameSize);
    FUZZ_CHECK(route.startsWith(QByteArray::fromHex("0012270900")));
    sent.frames.append(route);

    sent.problems = write.problems();
    return sent;
}
