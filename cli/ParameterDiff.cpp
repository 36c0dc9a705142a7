#include "ParameterDiff.h"

#include "BitTiming.h"
#include "CanCodec.h"
#include "ChannalWidget.h"
#include "ParameterPages.h"

namespace {

const QString kNoBank = QStringLiteral("-");

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// A register as it goes out, in the file's form: "12 34 56 78".
QString registerValue(const QString& text) {
    return CanCodec::registerText(CanCodec::decodeRegister(text));
}

QString fiberValue(const OpticalFiberParamWidget& page, int channel) {
    const QString code = QString::fromLatin1(page.baudRateData(channel).toByteArray().toHex());
    return (code + QLatin1Char(' ') + page.baudRateText(channel)).trimmed();
}

}  // namespace

QString describeBaudRate(const QString& wordText) {
    return wordText + QStringLiteral(" (") + BitTiming::describe(CanCodec::decodeBitTiming(wordText)) +
           QLatin1Char(')');
}

QVector<FieldDifference> ParameterDiff::compare(const ParameterPages& file, const ParameterPages& device) {
    QVector<FieldDifference> differences;
    const auto differ = [&differences](const QString& channel, const QString& bank, const QString& field,
                                       const QString& fileValue, const QString& deviceValue) {
        if (fileValue != deviceValue) differences.append({channel, bank, field, fileValue, deviceValue});
    };

    for (int i = 0; i < device.canCount(); ++i) {
        const ChannalWidget* fromFile = file.canPage().channalWidget(i);
        const ChannalWidget* fromDevice = device.canPage().channalWidget(i);
        if (!fromFile || !fromDevice) continue;
        const QString channel = QStringLiteral("CAN%1").arg(fromDevice->channalId());
        // Equal words can only differ in how they are written.
        const QString fileWord = fromFile->bitTimingText();
        const QString deviceWord = fromDevice->bitTimingText();
        if (CanCodec::decodeBitTiming(fileWord) != CanCodec::decodeBitTiming(deviceWord))
            differences.append(
                {channel, kNoBank, tr("波特率"), describeBaudRate(fileWord), describeBaudRate(deviceWord)});

        for (int bank = 0; bank < CanCodec::kBankCount; ++bank) {
            const CanCodec::FilterRow a = fromFile->rowValues(bank);
            const CanCodec::FilterRow b = fromDevice->rowValues(bank);
            const QString number = QString::number(bank);
            differ(channel, number, tr("使用"), flag(a.inUse), flag(b.inUse));
            differ(channel, number, tr("工作模式"), QString::number(a.workMode), QString::number(b.workMode));
            differ(channel, number, tr("位数"), QString::number(a.bitWidth), QString::number(b.bitWidth));
            differ(channel, number, tr("ID寄存器"), registerValue(a.idText), registerValue(b.idText));
            differ(channel, number, tr("掩码寄存器"), registerValue(a.maskText), registerValue(b.maskText));
        }
    }

    for (int i = 0; i < device.fiberCount(); ++i)
        differ(tr("光纤%1").arg(i + 1), kNoBank, tr("波特率"), fiberValue(file.fiberPage(), i),
               fiberValue(device.fiberPage(), i));

    const RouteParamWidget& fileRoutes = file.routePage();
    const RouteParamWidget& deviceRoutes = device.routePage();
    for (int from = 0; from < RouteParamWidget::kChannelCount; ++from) {
        if (!deviceRoutes.isPresent(from)) continue;
        for (int to = 0; to < RouteParamWidget::kChannelCount; ++to) {
            if (to == from || !deviceRoutes.isPresent(to)) continue;
            differ(deviceRoutes.channelName(from), kNoBank, tr("路由→%1").arg(deviceRoutes.channelName(to)),
                   flag(fileRoutes.isRouted(from, to)), flag(deviceRoutes.isRouted(from, to)));
        }
    }
    return differences;
}
