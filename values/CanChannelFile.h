#pragma once

#include <QJsonObject>
#include <QString>

#include "ParameterSet.h"

// A CAN channel's object of the parameter file's "CANParam": "ChannalID",
// "BaudRate" and the fourteen "DataList" entries "T, M, B, ID, MASK".
namespace CanCodec {

// "T, M, B, ID, MASK" for the parameter file, with every comma of the
// register texts written as a blank.
QString dataListEntry(const FilterRow& row);

// A "DataList" entry split at commas, empty parts dropped: the three flags
// trimmed, the register texts as they stand (with the blank that follows
// each comma). The one reading of an entry; callers decide what to make of
// a count other than five or of flags other than 0 and 1.
struct DataListFields {
    int count = 0;  // parts found
    QString inUse;  // the first five parts, where there are so many
    QString workMode;
    QString bitWidth;
    QString idText;
    QString maskText;
};
DataListFields splitDataListEntry(const QString& entry);

// The fields read as numbers, as the channel editor reads them: false when
// the entry holds fewer than five fields. A part that is not a number reads
// as 0; work mode and bit width come back as read, other values than 0 and
// 1 included.
bool parseDataListEntry(const QString& entry, FilterRow* row);

// The channel's object of "CANParam".
QJsonObject toJson(const CanChannelValues& channel);
// Applies what the object holds that can be read: the word, then each row
// whose "DataList" entry has five fields; a work mode or bit width other
// than 0 and 1 leaves that choice as it is.
void applyJson(CanChannelValues& channel, const QJsonObject& object);

}  // namespace CanCodec
