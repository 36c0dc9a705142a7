#include "CanChannelFile.h"

#include <QJsonArray>
#include <QStringBuilder>

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

DataListFields splitDataListEntry(const QString& entry) {
    const QVector<QStringRef> parts = entry.splitRef(QLatin1Char(','), Qt::SkipEmptyParts);
    DataListFields fields;
    fields.count = parts.size();
    if (parts.size() < 5) return fields;
    fields.inUse = parts.at(0).trimmed().toString();
    fields.workMode = parts.at(1).trimmed().toString();
    fields.bitWidth = parts.at(2).trimmed().toString();
    fields.idText = parts.at(3).toString();
    fields.maskText = parts.at(4).toString();
    return fields;
}

bool parseDataListEntry(const QString& entry, FilterRow* row) {
    const DataListFields fields = splitDataListEntry(entry);
    if (fields.count < 5) return false;
    row->inUse = fields.inUse.toInt() == 1;
    row->workMode = fields.workMode.toInt();
    row->bitWidth = fields.bitWidth.toInt();
    row->idText = fields.idText;
    row->maskText = fields.maskText;
    return true;
}

QJsonObject toJson(const CanChannelValues& channel) {
    QJsonArray dataList;
    for (const FilterRow& row : channel.banks) dataList.append(dataListEntry(row));
    QJsonObject object;
    object.insert(ParameterKeys::ChannalId, channel.channalId);
    object.insert(ParameterKeys::BaudRate, channel.bitTimingText);
    object.insert(ParameterKeys::DataList, dataList);
    return object;
}

void applyJson(CanChannelValues& channel, const QJsonObject& object) {
    applyWord(channel, decodeBitTiming(object.value(ParameterKeys::BaudRate).toString()));

    // Rows without a usable element keep what they hold.
    const QJsonArray dataList = object.value(ParameterKeys::DataList).toArray();
    const int rows = qMin(dataList.size(), kBankCount);
    for (int i = 0; i < rows; ++i) {
        FilterRow read;
        if (!parseDataListEntry(dataList.at(i).toString(), &read)) continue;
        FilterRow& row = channel.banks[size_t(i)];
        row.inUse = read.inUse;
        // Only indexes 0 and 1 exist; other numbers leave the choice as it is.
        if (read.workMode == 0 || read.workMode == 1) row.workMode = read.workMode;
        if (read.bitWidth == 0 || read.bitWidth == 1) row.bitWidth = read.bitWidth;
        row.idText = read.idText;
        row.maskText = read.maskText;
    }
}

}  // namespace CanCodec
