// timing: what a bit-timing word allows the network (each node's clock
// tolerance, the longest bus), or the word the window's calculator chooses
// for a rate; no repeater is needed for either.
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

#include "BitTiming.h"
#include "BusLimits.h"
#include "CanCodec.h"
#include "CliArguments.h"
#include "CliCommands.h"
#include "CliSession.h"
#include "TarvaneCli.h"

namespace {

BusLimits::Bus busOf(const CliArguments& arguments) {
    BusLimits::Bus bus;
    if (arguments.length >= 0) bus.lengthMetres = arguments.length;
    if (arguments.nodeDelay >= 0) bus.nodeDelayNs = arguments.nodeDelay;
    return bus;
}

QJsonObject figures(const QByteArray& word, const BusLimits::Bus& bus) {
    const BitTiming::Fields fields = BitTiming::decode(word).fields;
    const BusLimits::Limits limits = BusLimits::of(fields, bus);
    return QJsonObject{
        {QStringLiteral("word"), CanCodec::tableWordText(word)},
        {QStringLiteral("bitRate"), fields.bitRate()},
        {QStringLiteral("samplePointPercent"), fields.samplePoint() * 100},
        {QStringLiteral("sjw"), fields.sjw},
        {QStringLiteral("quanta"), fields.quanta()},
        {QStringLiteral("prescaler"), fields.prescaler},
        {QStringLiteral("propagationSegment"), limits.propagationSegment},
        {QStringLiteral("phaseSegment1"), limits.phaseSegment1},
        {QStringLiteral("phaseSegment2"), limits.phaseSegment2},
        {QStringLiteral("oscillatorTolerancePercent"), limits.tolerancePercent},
        {QStringLiteral("toleranceLimitedBy"),
         limits.bound == BusLimits::Bound::Sjw ? QStringLiteral("sjw") : QStringLiteral("phaseSegments")},
        // Whole metres, as the text shows them; 0 where no bus is possible.
        {QStringLiteral("maxBusLengthMetres"), std::floor(qMax(0.0, limits.maxLengthMetres) + 1e-9)},
        {QStringLiteral("nodeDelayNs"), bus.nodeDelayNs},
        {QStringLiteral("cableDelayNsPerMetre"), bus.cableDelayNsPerMetre},
    };
}

// The word's meaning, tolerance and longest bus, one line each (or one JSON
// object with `extra` added); the recommendations it misses as notes.
int show(CliSession& session, const CliArguments& arguments, const QByteArray& word,
         const BusLimits::Bus& bus, const QJsonObject& extra = QJsonObject()) {
    const BitTiming::Fields fields = BitTiming::decode(word).fields;
    const BusLimits::Limits limits = BusLimits::of(fields, bus);
    if (arguments.json) {
        QJsonObject object = figures(word, bus);
        for (auto field = extra.begin(); field != extra.end(); ++field)
            object.insert(field.key(), field.value());
        session.out() << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
    } else {
        session.out()
            << TarvaneCli::tr("%1：%2").arg(CanCodec::tableWordText(word), BitTiming::describe(word)) << '\n'
            << TarvaneCli::tr("时钟容差：%1（%2）")
                   .arg(BusLimits::toleranceText(limits.tolerancePercent), BusLimits::boundText(limits.bound))
            << '\n'
            << (limits.maxLengthMetres < 0
                    ? TarvaneCli::tr("总线最长：无，传播段短于两倍节点延迟（%1）")
                          .arg(BusLimits::busText(bus))
                    : TarvaneCli::tr("总线最长：%1（%2）")
                          .arg(BusLimits::lengthText(limits.maxLengthMetres), BusLimits::busText(bus)))
            << '\n';
    }
    for (const QString& note : BusLimits::notes(fields, bus))
        session.message(TarvaneCli::tr("注意：%1").arg(note));
    return session.outputDone() ? CliExit::Done : CliExit::UsageOrFileError;
}

// A word as typed, taken as the channel editor takes it.
int judgeWord(CliSession& session, const CliArguments& arguments) {
    const BitTimingText text(arguments.file);
    if (!text.isWord()) {
        session.message(TarvaneCli::tr("不是位定时字：%1：%2").arg(arguments.file, CanCodec::wordTextRule()));
        return CliExit::UsageOrFileError;
    }
    const QByteArray word = text.word();
    const BitTiming::Decoded decoded = BitTiming::decode(word);
    // "自适应" has no bit timing of its own, a faulty word none that holds.
    if (decoded.adaptive || !decoded.problems.isEmpty()) {
        session.message(
            TarvaneCli::tr("%1：%2").arg(CanCodec::tableWordText(word), BitTiming::describe(word)));
        return CliExit::UsageOrFileError;
    }
    return show(session, arguments, word, busOf(arguments));
}

// The calculator's first row for the rate, at its default tolerance.
int choose(CliSession& session, const CliArguments& arguments) {
    BitTiming::Request request;
    request.bitRate = arguments.rate * 1000;
    request.samplePoint = arguments.samplePoint > 0 ? arguments.samplePoint / 100
                                                    : BitTiming::defaultSamplePoint(request.bitRate);
    request.sjw = arguments.sjw;
    request.bus = busOf(arguments);
    const QVector<BitTiming::Candidate> found = BitTiming::search(request);
    if (found.isEmpty()) {
        BitTiming::Candidate closest;
        QString text = TarvaneCli::tr("±%1内没有给出%2的位定时字")
                           .arg(BitTiming::decimalText(request.tolerance * 100, 3) + QStringLiteral(" %"),
                                BitTiming::rateText(request.bitRate));
        if (BitTiming::closest(request, &closest))
            text += TarvaneCli::tr("；最接近的是%1（%2）")
                        .arg(CanCodec::tableWordText(closest.word()), BitTiming::rateText(closest.bitRate));
        session.message(text);
        return CliExit::UsageOrFileError;
    }
    const BitTiming::Candidate& best = found.first();
    // Without a length the bus is 0 m long: the nodes' own delay must still fit.
    if (!best.limits.covers(request.bus)) {
        session.message(TarvaneCli::tr("采样点为%1的字都不能覆盖%2的总线（%3）；最接近的是%4：%5")
                            .arg(BitTiming::samplePointText(best.samplePoint),
                                 BusLimits::lengthText(request.bus.lengthMetres),
                                 BusLimits::busText(request.bus), CanCodec::tableWordText(best.word()),
                                 BusLimits::lengthPhrase(best.limits)));
        return CliExit::UsageOrFileError;
    }
    QJsonObject extra{{QStringLiteral("rateErrorPercent"), best.error * 100}};
    if (arguments.length >= 0) extra.insert(QStringLiteral("busLengthMetres"), arguments.length);
    return show(session, arguments, best.word(), request.bus, extra);
}

}  // namespace

int runTiming(CliSession& session, const CliArguments& arguments) {
    return arguments.rate > 0 ? choose(session, arguments) : judgeWord(session, arguments);
}
