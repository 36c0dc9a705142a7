#include "BitTiming.h"

#include <QCoreApplication>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <limits>

namespace BitTiming {

namespace {

// Shown by the channel editor and by programs that print a word, so the
// texts keep a context of their own.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(BitTiming)
};

constexpr quint32 kPrescalerMask = 0x000003FF;
constexpr int kSegment1Shift = 16;
constexpr quint32 kSegment1Mask = 0x000F0000;
constexpr int kSegment2Shift = 20;
constexpr quint32 kSegment2Mask = 0x00700000;
constexpr int kSjwShift = 24;
constexpr quint32 kSjwMask = 0x03000000;
constexpr quint32 kLoopBackBit = 0x40000000;
constexpr quint32 kSilentBit = 0x80000000;
constexpr quint32 kKnownBits =
    kPrescalerMask | kSegment1Mask | kSegment2Mask | kSjwMask | kLoopBackBit | kSilentBit;

// Rates and sample points of different words differ by far more than this;
// it only keeps rounding from splitting values that are equal.
constexpr double kSame = 1e-12;
// Lengths of different words differ by centimetres at least.
constexpr double kSameLength = 1e-6;

// "0x" and eight upper-case hex digits, as the table words show.
QString hexText(quint32 value) {
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

bool validRequest(const Request& request) {
    return request.bitRate > 0 && std::isfinite(request.bitRate) && request.samplePoint > 0 &&
           request.samplePoint < 1 && request.sjw >= 1 && request.sjw <= kMaxSjw && request.tolerance >= 0 &&
           request.bus.lengthMetres >= 0 && std::isfinite(request.bus.lengthMetres) &&
           request.bus.nodeDelayNs >= 0 && std::isfinite(request.bus.nodeDelayNs);
}

bool ranksBefore(const Candidate& a, const Candidate& b, double wish, const BusLimits::Bus& bus) {
    const double errorA = std::fabs(a.error);
    const double errorB = std::fabs(b.error);
    if (std::fabs(errorA - errorB) > kSame) return errorA < errorB;
    const double distanceA = std::fabs(a.samplePoint - wish);
    const double distanceB = std::fabs(b.samplePoint - wish);
    if (std::fabs(distanceA - distanceB) > kSame) return distanceA < distanceB;
    // Of the words alike in rate and sample point, the one the network
    // lives with best.
    const bool coversA = a.limits.covers(bus);
    if (coversA != b.limits.covers(bus)) return coversA;
    if (!coversA && std::fabs(a.limits.maxLengthMetres - b.limits.maxLengthMetres) > kSameLength)
        return a.limits.maxLengthMetres > b.limits.maxLengthMetres;
    if (std::fabs(a.limits.tolerancePercent - b.limits.tolerancePercent) > kSame)
        return a.limits.tolerancePercent > b.limits.tolerancePercent;
    if (a.fields.quanta() != b.fields.quanta()) return a.fields.quanta() > b.fields.quanta();
    if (a.fields.segment1 != b.fields.segment1) return a.fields.segment1 > b.fields.segment1;
    return a.bitRate > b.bitRate;
}

// Calls visit(candidate) for every word within the tolerance. The rate
// depends on prescaler and quanta only, so the segments are split only for
// the pairs whose rate fits.
template <typename Visit>
void forEachWord(const Request& request, double tolerance, Visit visit) {
    for (int quanta = kMinQuanta; quanta <= kMaxQuanta; ++quanta) {
        for (int prescaler = 1; prescaler <= kMaxPrescaler; ++prescaler) {
            const double rate = double(kClockHz) / (double(prescaler) * quanta);
            const double error = rate / request.bitRate - 1;
            if (std::fabs(error) >= tolerance + kErrorStep / 2) continue;
            // The jump width may be no longer than either phase.
            for (int segment2 = request.sjw; segment2 <= kMaxSegment2; ++segment2) {
                const int segment1 = quanta - 1 - segment2;
                if (segment1 < request.sjw) break;
                if (segment1 > kMaxSegment1) continue;
                const Fields fields{prescaler, segment1, segment2, request.sjw};
                // Every field at its smallest is the word 00000000, "自适应".
                if (fields.quanta() == kMinQuanta && prescaler == 1 && request.sjw == 1) continue;
                visit(Candidate{fields, rate, error, fields.samplePoint(), {}});
            }
        }
    }
}

}  // namespace

Decoded decode(const QByteArray& word) {
    Decoded decoded;
    decoded.byteCount = word.size();
    if (word.size() != 4) {
        decoded.problems.append(Problem::NotFourBytes);
        return decoded;
    }
    const quint32 value = qFromBigEndian<quint32>(word.constData());
    decoded.adaptive = value == 0;
    decoded.fields.prescaler = int(value & kPrescalerMask) + 1;
    decoded.fields.segment1 = int((value & kSegment1Mask) >> kSegment1Shift) + 1;
    decoded.fields.segment2 = int((value & kSegment2Mask) >> kSegment2Shift) + 1;
    decoded.fields.sjw = int((value & kSjwMask) >> kSjwShift) + 1;
    decoded.strayBits = value & ~kKnownBits;
    if (decoded.strayBits) decoded.problems.append(Problem::StrayBits);
    if (value & kLoopBackBit) decoded.problems.append(Problem::LoopBack);
    if (value & kSilentBit) decoded.problems.append(Problem::Silent);
    const Fields& f = decoded.fields;
    if (f.sjw > f.segment1 || f.sjw > f.segment2) decoded.problems.append(Problem::SjwTooLong);
    if (!decoded.adaptive && f.bitRate() > kMaxBitRate) decoded.problems.append(Problem::TooFast);
    return decoded;
}

QByteArray encode(const Fields& fields) {
    if (fields.prescaler < 1 || fields.prescaler > kMaxPrescaler || fields.segment1 < 1 ||
        fields.segment1 > kMaxSegment1 || fields.segment2 < 1 || fields.segment2 > kMaxSegment2 ||
        fields.sjw < 1 || fields.sjw > kMaxSjw)
        return QByteArray();
    const quint32 value = quint32(fields.prescaler - 1) | quint32(fields.segment1 - 1) << kSegment1Shift |
                          quint32(fields.segment2 - 1) << kSegment2Shift |
                          quint32(fields.sjw - 1) << kSjwShift;
    QByteArray word(4, '\0');
    qToBigEndian(value, word.data());
    return word;
}

QString decimalText(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (!text.contains(QLatin1Char('.'))) return text;
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    return text;
}

QString rateText(double bitRate) {
    return decimalText(bitRate / 1000, 3) + QStringLiteral(" kbit/s");
}

QString samplePointText(double samplePoint) {
    // In tenths of a percent, halves rounded up: 9/16 is 56.3 %.
    const long tenths = std::lround(samplePoint * 1000);
    return QStringLiteral("%1.%2 %").arg(tenths / 10).arg(tenths % 10);
}

QString problemText(Problem problem, const Decoded& decoded) {
    switch (problem) {
        case Problem::NotFourBytes:
            return Texts::tr("须为4个字节，实为%1个").arg(decoded.byteCount);
        case Problem::StrayBits:
            return Texts::tr("字段外的位不为0：%1").arg(hexText(decoded.strayBits));
        case Problem::LoopBack:
            return Texts::tr("回环模式（位30）");
        case Problem::Silent:
            return Texts::tr("静默模式（位31），不应答任何帧");
        case Problem::SjwTooLong:
            return Texts::tr("SJW %1 长于时间段").arg(decoded.fields.sjw);
        case Problem::TooFast:
            return Texts::tr("快于CAN的最高速率%1").arg(rateText(kMaxBitRate));
    }
    return QString();
}

QString describe(const QByteArray& word) {
    const Decoded decoded = decode(word);
    QStringList problems;
    // These two follow the rate they spoil.
    const auto spoilsRate = [](Problem problem) {
        return problem == Problem::SjwTooLong || problem == Problem::TooFast;
    };
    for (Problem problem : decoded.problems) {
        if (!spoilsRate(problem)) problems << problemText(problem, decoded);
    }
    if (!problems.isEmpty()) return problems.join(Texts::tr("；"));
    if (decoded.adaptive) return Texts::tr("自适应：由设备检测波特率");
    const Fields& fields = decoded.fields;
    QString line = Texts::tr("%1，采样点 %2，每位 %4 个时间份额，SJW %3")
                       .arg(rateText(fields.bitRate()), samplePointText(fields.samplePoint()),
                            QString::number(fields.sjw), QString::number(fields.quanta()));
    for (Problem problem : decoded.problems) {
        if (spoilsRate(problem)) line += Texts::tr("；") + problemText(problem, decoded);
    }
    return line;
}

double defaultSamplePoint(double bitRate) {
    if (bitRate > 800000) return 0.75;
    if (bitRate > 500000) return 0.80;
    return 0.875;
}

QVector<Candidate> search(const Request& request) {
    QVector<Candidate> candidates;
    if (!validRequest(request)) return candidates;
    // Counted first: the list runs to thousands, each copied as it grows.
    int count = 0;
    forEachWord(request, request.tolerance, [&](const Candidate&) { ++count; });
    candidates.reserve(count);
    forEachWord(request, request.tolerance, [&](Candidate c) {
        c.limits = BusLimits::of(c.fields, request.bus);
        candidates.append(c);
    });
    std::sort(candidates.begin(), candidates.end(), [&](const Candidate& a, const Candidate& b) {
        return ranksBefore(a, b, request.samplePoint, request.bus);
    });
    return candidates;
}

bool closest(const Request& request, Candidate* best) {
    if (!validRequest(request)) return false;
    bool found = false;
    forEachWord(request, std::numeric_limits<double>::infinity(), [&](Candidate c) {
        c.limits = BusLimits::of(c.fields, request.bus);
        if (!found || ranksBefore(c, *best, request.samplePoint, request.bus)) *best = c;
        found = true;
    });
    return found;
}

}  // namespace BitTiming
