#include "BusLimits.h"

#include <QCoreApplication>

#include <cmath>
#include <iterator>
#include <limits>

#include "BitTiming.h"

namespace BusLimits {

namespace {

// The texts of this file, shown by the channel editor, the calculator and
// the command line alike.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(BusLimits)
};

// The rates at which CANopen recommends a sample point of 87.5 %; J1939
// runs at the last two. Above them CANopen recommends 80 % and 75 %.
constexpr double kCanopenRates[] = {10000, 20000, 50000, 125000, 250000, 500000};
constexpr double kJ1939Rates[] = {250000, 500000};
constexpr double kRecommendedSamplePoint = 0.875;
// A word within this of a rate runs at it, as the calculator's default
// tolerance takes it; a sample point within this of 87.5 % is near it (the
// 15 and 18 quanta come within 1.4 points, as near as they can).
constexpr double kSameRate = 0.005;
constexpr double kNearSamplePoint = 0.025;

// Figures computed from whole numbers come out a hair below a round value
// (6808 m as 6807.999...); rounding down must not take a unit off for that.
constexpr double kRoundingSlack = 1e-9;

bool atRate(double bitRate, const double* rates, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (std::fabs(bitRate / rates[i] - 1) <= kSameRate) return true;
    return false;
}

// The tolerance of the two relations with the given jump width, in percent.
void tolerance(const BitTiming::Fields& fields, int jump, Limits* limits) {
    const int bit = fields.quanta();
    const int shorterPhase = qMin(limits->phaseSegment1, limits->phaseSegment2);
    // df <= min(PS1, PS2) / (2 (13 t - PS2)) and df <= SJW / (20 t),
    // compared in whole numbers so that equal bounds stay equal.
    const long long phaseDenominator = 2LL * (13LL * bit - limits->phaseSegment2);
    const long long sjwDenominator = 20LL * bit;
    if (jump * phaseDenominator < shorterPhase * sjwDenominator) {
        limits->bound = Bound::Sjw;
        limits->tolerancePercent = 100.0 * jump / double(sjwDenominator);
    } else {
        limits->bound = Bound::PhaseSegments;
        limits->tolerancePercent = 100.0 * shorterPhase / double(phaseDenominator);
    }
}

}  // namespace

QString lengthPhrase(const Limits& limits) {
    if (limits.maxLengthMetres < 0) return Texts::tr("传播段短于两倍节点延迟");
    return Texts::tr("总线最长 %1").arg(lengthText(limits.maxLengthMetres));
}

Limits of(const BitTiming::Fields& fields, const Bus& bus) {
    Limits limits;
    limits.phaseSegment2 = fields.segment2;
    limits.phaseSegment1 = qMax(0, qMin(fields.segment2, fields.segment1 - 1));
    limits.propagationSegment = fields.segment1 - limits.phaseSegment1;
    tolerance(fields, fields.sjw, &limits);
    // The propagation segment must hold a bit's way to the far node and
    // back: twice the cable's delay and one node's loop delay.
    const double quantumNs = double(fields.prescaler) * 1e9 / BitTiming::kClockHz;
    const double reachNs = limits.propagationSegment * quantumNs / 2 - bus.nodeDelayNs;
    if (bus.cableDelayNsPerMetre > 0)
        limits.maxLengthMetres = reachNs / bus.cableDelayNsPerMetre;
    else
        limits.maxLengthMetres = reachNs >= 0 ? std::numeric_limits<double>::infinity() : -1;
    return limits;
}

int longestSjw(const Limits& limits) {
    return qMin(BitTiming::kMaxSjw, qMin(limits.phaseSegment1, limits.phaseSegment2));
}

QString toleranceText(double percent) {
    const double shown = std::floor(percent * 10000 + kRoundingSlack * 10000) / 10000;
    return QStringLiteral("±") + BitTiming::decimalText(shown, 4) + QStringLiteral(" %");
}

QString lengthText(double metres) {
    if (metres < 0) return Texts::tr("无");
    if (std::isinf(metres)) return QStringLiteral("∞ m");
    return QString::number(std::floor(metres + kRoundingSlack), 'f', 0) + QStringLiteral(" m");
}

QString busText(const Bus& bus) {
    return Texts::tr("节点延迟 %1 ns，电缆 %2 ns/m")
        .arg(BitTiming::decimalText(bus.nodeDelayNs, 1), BitTiming::decimalText(bus.cableDelayNsPerMetre, 2));
}

QString boundText(Bound bound) {
    return bound == Bound::Sjw ? Texts::tr("受SJW限制") : Texts::tr("受相位段限制");
}

QStringList notes(const BitTiming::Fields& fields, const Bus& bus) {
    QStringList texts;
    const double rate = fields.bitRate();
    if (std::fabs(fields.samplePoint() - kRecommendedSamplePoint) > kNearSamplePoint &&
        atRate(rate, kCanopenRates, std::size(kCanopenRates))) {
        texts << (atRate(rate, kJ1939Rates, std::size(kJ1939Rates))
                      ? Texts::tr("CANopen和J1939在此速率建议采样点 87.5 %")
                      : Texts::tr("CANopen在此速率建议采样点 87.5 %"));
    }
    const Limits limits = of(fields, bus);
    const int longest = longestSjw(limits);
    if (longest > fields.sjw) {
        Limits longer = limits;
        tolerance(fields, longest, &longer);
        if (longer.tolerancePercent > limits.tolerancePercent)
            texts << Texts::tr("SJW %1 也合适，时钟容差可达 %2")
                         .arg(longest)
                         .arg(toleranceText(longer.tolerancePercent));
    }
    return texts;
}

QString describe(const QByteArray& word, const Bus& bus) {
    const BitTiming::Decoded decoded = BitTiming::decode(word);
    if (decoded.adaptive || !decoded.problems.isEmpty()) return BitTiming::describe(word);
    const BitTiming::Fields& fields = decoded.fields;
    const Limits limits = of(fields, bus);
    QStringList phrases{Texts::tr("%1，采样点 %2，时钟容差 %3，%4，每位 %5 个时间份额，SJW %6")
                            .arg(BitTiming::rateText(fields.bitRate()),
                                 BitTiming::samplePointText(fields.samplePoint()),
                                 toleranceText(limits.tolerancePercent), lengthPhrase(limits),
                                 QString::number(fields.quanta()), QString::number(fields.sjw))};
    phrases << notes(fields, bus);
    return phrases.join(Texts::tr("；"));
}

}  // namespace BusLimits
