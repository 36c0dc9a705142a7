#include "ParameterDiff.h"

#include "BitTiming.h"
#include "CanCodec.h"
#include "FiberRules.h"
#include "RouteRules.h"

namespace {

const QString kNoBank = QStringLiteral("-");

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// A register as it goes out, in the file's form ("12 34 56 78"); a text that
// cannot go out as it was typed.
QString registerValue(const QString& text) {
    return CanCodec::isWordText(text) ? CanCodec::registerText(CanCodec::registerWord(text)) : text;
}

QString fiberValue(int code) {
    return (FiberRules::codeText(code) + QLatin1Char(' ') + FiberRules::rateText(code)).trimmed();
}

}  // namespace

QString describeBaudRate(const QString& wordText) {
    return wordText + QStringLiteral(" (") + CanCodec::describeBitTimingText(wordText) + QLatin1Char(')');
}

QVector<FieldDifference> ParameterDiff::compare(const ParameterSet& given, const ParameterSet& device) {
    QVector<FieldDifference> differences;
    const auto differ = [&differences](const QString& channel, const QString& bank, const QString& field,
                                       const QString& givenValue, const QString& deviceValue) {
        if (givenValue != deviceValue) differences.append({channel, bank, field, givenValue, deviceValue});
    };

    for (int i = 0; i < device.can.size() && i < given.can.size(); ++i) {
        const CanChannelValues& a = given.can.at(i);
        const CanChannelValues& b = device.can.at(i);
        const QString channel = QStringLiteral("CAN%1").arg(b.channalId);
        // Equal words can only differ in how they are written.
        if (CanCodec::bitTimingWord(a.bitTimingText) != CanCodec::bitTimingWord(b.bitTimingText) ||
            CanCodec::isWordText(a.bitTimingText) != CanCodec::isWordText(b.bitTimingText))
            differences.append({channel, kNoBank, tr("波特率"), describeBaudRate(a.bitTimingText),
                                describeBaudRate(b.bitTimingText)});

        for (int bank = 0; bank < CanCodec::kBankCount; ++bank) {
            const FilterRow& x = a.banks[size_t(bank)];
            const FilterRow& y = b.banks[size_t(bank)];
            const QString number = QString::number(bank);
            differ(channel, number, tr("使用"), flag(x.inUse), flag(y.inUse));
            differ(channel, number, tr("工作模式"), QString::number(x.workMode), QString::number(y.workMode));
            differ(channel, number, tr("位数"), QString::number(x.bitWidth), QString::number(y.bitWidth));
            differ(channel, number, tr("ID寄存器"), registerValue(x.idText), registerValue(y.idText));
            differ(channel, number, tr("掩码寄存器"), registerValue(x.maskText), registerValue(y.maskText));
        }
    }

    for (int i = 0; i < device.fiberCount; ++i)
        differ(tr("光纤%1").arg(i + 1), kNoBank, tr("波特率"), fiberValue(given.fiber.codes[size_t(i)]),
               fiberValue(device.fiber.codes[size_t(i)]));

    // A channel switched off forwards nothing, whatever its routes show.
    const auto routed = [](const RouteValues& route, int from, int to) {
        return route.on[size_t(from)] && route.routes[size_t(from)][size_t(to)];
    };
    for (int from = 0; from < kRouteChannelCount; ++from) {
        if (!RouteRules::isPresent(device.routeType, from)) continue;
        for (int to = 0; to < kRouteChannelCount; ++to) {
            if (to == from || !RouteRules::isPresent(device.routeType, to)) continue;
            differ(RouteRules::channelName(from), kNoBank, tr("路由→%1").arg(RouteRules::channelName(to)),
                   flag(routed(given.route, from, to)), flag(routed(device.route, from, to)));
        }
    }
    return differences;
}
