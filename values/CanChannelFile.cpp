#include "CanChannelFile.h"

#include <QJsonArray>
#include <QStringBuilder>
#include <algorithm>

#include "CanCodec.h"
#include "ParameterKeys.h"

namespace CanCodec {

QString dataListEntry(const FilterRow& row) {
    // A comma in a register text would split it into two fields when read
    // back; a blank decodes to the same bytes.
    const auto field = [](const QString& text) {
        return text.contains(QLatin1Char(',')) ? QString(text).replace(QLatin1Char(','), QLatin1Char(' '))
                                               : text;
    };
    const QLatin1String separator(", ");
    return QString::number(row.inUse ? 1 : 0) % separator % QString::number(row.workMode) % separator %
           QString::number(row.bitWidth) % separator % field(row.idText) % separator % field(row.maskText);
}

DataListEntry readDataListEntry(const QString& text, EntryReading reading) {
    const QVector<QStringRef> parts = text.splitRef(QLatin1Char(','), Qt::SkipEmptyParts);
    DataListEntry entry;
    entry.count = parts.size();
    entry.counted = reading == EntryReading::Strict ? entry.count == 5 : entry.count >= 5;
    if (!entry.counted) return entry;
    int flags[3] = {};
    for (int i = 0; i < 3; ++i) {
        const QStringRef part = parts.at(i).trimmed();
        if (reading == EntryReading::Lenient)
            flags[i] = part.toInt();
        else if (part == QLatin1String("0") || part == QLatin1String("1"))
            flags[i] = part.toInt();
        else
            entry.badFlags.append({DataListEntry::Flag(i), part.toString()});
    }
    const auto given = [&](DataListEntry::Flag flag) {
        return std::none_of(entry.badFlags.cbegin(), entry.badFlags.cend(),
                            [flag](const DataListEntry::BadFlag& bad) { return bad.flag == flag; });
    };
    // Ticked only by a 1; the boxes have only indexes 0 and 1.
    if (given(DataListEntry::InUse)) entry.inUse = flags[0] == 1;
    if (given(DataListEntry::WorkMode) && (flags[1] == 0 || flags[1] == 1)) entry.workMode = flags[1];
    if (given(DataListEntry::BitWidth) && (flags[2] == 0 || flags[2] == 1)) entry.bitWidth = flags[2];
    entry.idText = parts.at(3).toString();
    entry.maskText = parts.at(4).toString();
    return entry;
}

void applyDataListEntry(FilterRow& row, const DataListEntry& entry) {
    if (!entry.counted) return;
    if (entry.inUse) row.inUse = *entry.inUse;
    if (entry.workMode) row.workMode = *entry.workMode;
    if (entry.bitWidth) row.bitWidth = *entry.bitWidth;
    row.idText = entry.idText;
    row.maskText = entry.maskText;
}

QJsonObject toJson(const CanChannelValues& channel) {
    QJsonArray dataList;
    for (const FilterRow& row : channel.banks) dataList.append(dataListEntry(row));
    QJsonObject object;
    object.insert(ParameterKeys::ChannalId, channel.channelId);
    object.insert(ParameterKeys::BaudRate, channel.bitTimingText.text());
    object.insert(ParameterKeys::DataList, dataList);
    return object;
}

void applyJson(CanChannelValues& channel, const QJsonObject& object) {
    applyWord(channel, decodeBitTiming(object.value(ParameterKeys::BaudRate).toString()));

    // Rows without a usable element keep what they hold.
    const QJsonArray dataList = object.value(ParameterKeys::DataList).toArray();
    const int rows = qMin(dataList.size(), kBankCount);
    for (int i = 0; i < rows; ++i)
        applyDataListEntry(channel.banks[size_t(i)],
                           readDataListEntry(dataList.at(i).toString(), EntryReading::Lenient));
}

}  // namespace CanCodec
