#include "ParameterDiff.h"

#include "BitTiming.h"
#include "CanCodec.h"
#include "FiberRules.h"
#include "RouteRules.h"

namespace {

using Field = FieldDifference::Field;

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// A register as it goes out, in the file's form ("12 34 56 78"); a text that
// cannot go out as it was typed.
QString registerValue(const QString& text) {
    return CanCodec::canSendRegisterText(text) ? CanCodec::registerText(CanCodec::registerWord(text)) : text;
}

QString fiberValue(int code) {
    return (FiberRules::codeText(code) + QLatin1Char(' ') + FiberRules::rateText(code)).trimmed();
}

}  // namespace

QString FieldDifference::bankText() const {
    return bank < 0 ? QStringLiteral("-") : QString::number(bank + 1);
}

QString describeBaudRate(const QString& wordText) {
    return wordText + QStringLiteral(" (") + CanCodec::describeBitTimingText(wordText) + QLatin1Char(')');
}

QVector<FieldDifference> ParameterDiff::compare(const ParameterSet& given, const ParameterSet& device) {
    QVector<FieldDifference> differences;
    const auto differ = [&differences](FieldDifference d) {
        if (d.givenValue != d.deviceValue) differences.append(d);
    };

    for (int i = 0; i < device.can.size() && i < given.can.size(); ++i) {
        const CanChannelValues& a = given.can.at(i);
        const CanChannelValues& b = device.can.at(i);
        const QString channel = QStringLiteral("CAN%1").arg(b.channalId);
        // Equal words can only differ in how they are written.
        if (CanCodec::bitTimingWord(a.bitTimingText) != CanCodec::bitTimingWord(b.bitTimingText) ||
            CanCodec::isWordText(a.bitTimingText) != CanCodec::isWordText(b.bitTimingText))
            differences.append({Field::BaudRate, i, -1, -1, channel, tr("波特率"), describeBaudRate(a.bitTimingText),
                                describeBaudRate(b.bitTimingText)});

        for (int bank = 0; bank < CanCodec::kBankCount; ++bank) {
            const FilterRow& x = a.banks[size_t(bank)];
            const FilterRow& y = b.banks[size_t(bank)];
            differ({Field::InUse, i, bank, -1, channel, tr("使用"), flag(x.inUse), flag(y.inUse)});
            differ({Field::WorkMode, i, bank, -1, channel, tr("工作模式"), QString::number(x.workMode),
                    QString::number(y.workMode)});
            differ({Field::BitWidth, i, bank, -1, channel, tr("位数"), QString::number(x.bitWidth),
                    QString::number(y.bitWidth)});
            differ({Field::IdRegister, i, bank, -1, channel, tr("ID寄存器"), registerValue(x.idText),
                    registerValue(y.idText)});
            differ({Field::MaskRegister, i, bank, -1, channel, tr("掩码寄存器"), registerValue(x.maskText),
                    registerValue(y.maskText)});
        }
    }

    for (int i = 0; i < device.fiberCount; ++i)
        differ({Field::FiberBaudRate, i, -1, -1, tr("光纤%1").arg(i + 1), tr("波特率"),
                fiberValue(given.fiber.codes[size_t(i)]), fiberValue(device.fiber.codes[size_t(i)])});

    // The device keeps no switches, only routes. A channel switched off on
    // the given side sends nothing and, as the route page leaves it, is sent
    // nothing: where the device still routes it, that is one difference of
    // its switch. A route to it that the given side does enable is its own.
    const int type = device.routeType;
    const auto off = [&](int channel) { return !given.route.on[size_t(channel)]; };
    const auto routed = [type](const ParameterSet& set, int from, int to) {
        return RouteRules::isRouted(set.route, type, from, to);
    };
    const auto inSwitch = [&](int from, int to) { return off(from) || (off(to) && !routed(given, from, to)); };
    for (int from = 0; from < kRouteChannelCount; ++from) {
        if (!RouteRules::isPresent(type, from)) continue;
        if (off(from)) {
            bool deviceRoutes = false;
            for (int other = 0; other < kRouteChannelCount; ++other)
                deviceRoutes = deviceRoutes || (inSwitch(from, other) && routed(device, from, other)) ||
                               (inSwitch(other, from) && routed(device, other, from));
            differ({Field::Switch, from, -1, -1, RouteRules::channelName(from), tr("开/关"), flag(false),
                    flag(deviceRoutes)});
            continue;
        }
        for (int to = 0; to < kRouteChannelCount; ++to) {
            if (to == from || !RouteRules::isPresent(type, to) || inSwitch(from, to)) continue;
            differ({Field::Route, from, -1, to, RouteRules::channelName(from),
                    tr("路由→%1").arg(RouteRules::channelName(to)), flag(routed(given, from, to)),
                    flag(routed(device, from, to))});
        }
    }
    return differences;
}
