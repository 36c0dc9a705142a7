#include "ParameterDiff.h"

#include "BitTiming.h"
#include "CanCodec.h"
#include "FiberRules.h"
#include "FilterBanks.h"
#include "RouteRules.h"

namespace {

using Field = FieldDifference::Field;

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// A register and what its bank lets through, as the line under the filter
// table says it: a bit alone tells little.
QString describeRegister(const RegisterText& text, const FilterRow& bank) {
    return registerValue(text) + QStringLiteral(" (") + FilterBanks::describe(bank) + QLatin1Char(')');
}

// A word in one form on both sides, upper case as the table's words and
// the calculator show it: a word typed in lower case is no other word.
QString wordValue(const BitTimingText& text) {
    const QString shown = text.isWord() ? CanCodec::tableWordText(text.word()) : text.text();
    return describeBaudRate(shown);
}

QString fiberValue(int code) {
    return (FiberRules::codeText(code) + QLatin1Char(' ') + FiberRules::rateText(code)).trimmed();
}

}  // namespace

QString registerValue(const RegisterText& text) {
    return text.isWord() ? CanCodec::registerText(text.word()) : text.text();
}

QString FieldDifference::bankText() const {
    return bank < 0 ? QStringLiteral("-") : QString::number(bank + 1);
}

QString describeBaudRate(const QString& wordText) {
    return wordText + QStringLiteral(" (") + CanCodec::describeBitTimingText(wordText) + QLatin1Char(')');
}

namespace {

// Collects the fields whose values differ, in the order the Write sends them.
class Comparison {
    // The field names are texts of the comparison's own context.
    Q_DECLARE_TR_FUNCTIONS(ParameterDiff)

public:
    Comparison(const ParameterSet& given, const ParameterSet& device) : m_given(given), m_device(device) {}

    void can();
    void fiber();
    void routes();

    QVector<FieldDifference> differences;

private:
    void differ(const FieldDifference& d) {
        if (d.givenValue != d.deviceValue) differences.append(d);
    }
    // A register that differs as it goes out, with what each bank lets through.
    void registers(FieldDifference::Field kind, int channel, int bank, const QString& name,
                   const FilterRow& x, const FilterRow& y) {
        const bool id = kind == FieldDifference::Field::IdRegister;
        const RegisterText& a = id ? x.idText : x.maskText;
        const RegisterText& b = id ? y.idText : y.maskText;
        if (registerValue(a) == registerValue(b)) return;
        differences.append({kind, channel, bank, -1, name, id ? tr("ID寄存器") : tr("掩码寄存器"),
                            describeRegister(a, x), describeRegister(b, y)});
    }
    bool routed(const ParameterSet& set, int from, int to) const {
        return RouteRules::isRouted(set.route, m_device.routeType, from, to);
    }
    bool off(int channel) const { return !m_given.route.on[size_t(channel)]; }
    // Whether a route counts with a switch rather than on its own: see routes().
    bool inSwitch(int from, int to) const { return off(from) || (off(to) && !routed(m_given, from, to)); }

    const ParameterSet& m_given;
    const ParameterSet& m_device;
};

void Comparison::can() {
    for (int i = 0; i < m_device.can.size() && i < m_given.can.size(); ++i) {
        const CanChannelValues& a = m_given.can.at(i);
        const CanChannelValues& b = m_device.can.at(i);
        const QString channel = QStringLiteral("CAN%1").arg(b.channelId);
        // Equal words can only differ in how they are written.
        if (a.bitTimingText.word() != b.bitTimingText.word() ||
            a.bitTimingText.isWord() != b.bitTimingText.isWord())
            differences.append({Field::BaudRate, i, -1, -1, channel, tr("波特率"), wordValue(a.bitTimingText),
                                wordValue(b.bitTimingText)});

        for (int bank = 0; bank < CanCodec::kBankCount; ++bank) {
            const FilterRow& x = a.banks[size_t(bank)];
            const FilterRow& y = b.banks[size_t(bank)];
            differ({Field::InUse, i, bank, -1, channel, tr("使用"), flag(x.inUse), flag(y.inUse)});
            differ({Field::WorkMode, i, bank, -1, channel, tr("工作模式"), QString::number(x.workMode),
                    QString::number(y.workMode)});
            differ({Field::BitWidth, i, bank, -1, channel, tr("位数"), QString::number(x.bitWidth),
                    QString::number(y.bitWidth)});
            registers(Field::IdRegister, i, bank, channel, x, y);
            registers(Field::MaskRegister, i, bank, channel, x, y);
        }
    }
}

void Comparison::fiber() {
    for (int i = 0; i < m_device.fiberCount; ++i)
        differ({Field::FiberBaudRate, i, -1, -1, tr("光纤%1").arg(i + 1), tr("波特率"),
                fiberValue(m_given.fiber.codes[size_t(i)]), fiberValue(m_device.fiber.codes[size_t(i)])});
}

// The device keeps no switches, only routes. A channel switched off on the
// given side sends nothing and, as the route page leaves it, is sent
// nothing: where the device still routes it, that is one difference of its
// switch. A route to it that the given side does enable is its own.
void Comparison::routes() {
    const int type = m_device.routeType;
    for (int from = 0; from < kRouteChannelCount; ++from) {
        if (!RouteRules::isPresent(type, from)) continue;
        if (off(from)) {
            bool deviceRoutes = false;
            for (int other = 0; other < kRouteChannelCount; ++other)
                deviceRoutes = deviceRoutes || (inSwitch(from, other) && routed(m_device, from, other)) ||
                               (inSwitch(other, from) && routed(m_device, other, from));
            differ({Field::Switch, from, -1, -1, RouteRules::channelName(from), tr("开/关"), flag(false),
                    flag(deviceRoutes)});
            continue;
        }
        for (int to = 0; to < kRouteChannelCount; ++to) {
            if (to == from || !RouteRules::isPresent(type, to) || inSwitch(from, to)) continue;
            differ({Field::Route, from, -1, to, RouteRules::channelName(from),
                    tr("路由→%1").arg(RouteRules::channelName(to)), flag(routed(m_given, from, to)),
                    flag(routed(m_device, from, to))});
        }
    }
}

}  // namespace

QVector<FieldDifference> ParameterDiff::compare(const ParameterSet& given, const ParameterSet& device) {
    Comparison comparison(given, device);
    comparison.can();
    comparison.fiber();
    comparison.routes();
    return comparison.differences;
}
