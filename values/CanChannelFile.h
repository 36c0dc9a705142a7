#pragma once

#include <QJsonObject>
#include <QString>
#include <QVector>
#include <optional>

#include "ParameterSet.h"

// A CAN channel's object of the parameter file's "CANParam": "ChannalID",
// "BaudRate" and the fourteen "DataList" entries "T, M, B, ID, MASK".
namespace CanCodec {

// "T, M, B, ID, MASK" for the parameter file, with every comma of the
// register texts written as a blank.
QString dataListEntry(const FilterRow& row);

// How a "DataList" entry is read. Leniently, as the channel editor reads a
// file: five fields or more, each flag read as a number (a part that is no
// number as 0), a work mode or bit width other than 0 and 1 leaving the
// choice as it is. Strictly, as Open and the command line read it: exactly
// five fields, each flag 0 or 1; a flag that is not keeps what the bank
// held, and the entry says which.
enum class EntryReading { Lenient, Strict };

// A "DataList" entry as read: the entry is split at commas, empty parts
// dropped; the flags are trimmed, the register texts taken as they stand
// (with the blank that follows each comma).
struct DataListEntry {
    enum Flag { InUse, WorkMode, BitWidth };

    int count = 0;  // fields found
    // Whether the fields count as the reading wants: nothing applies otherwise.
    bool counted = false;
    // What the entry gives its bank; a flag it does not give keeps what the bank held.
    std::optional<bool> inUse;
    std::optional<int> workMode;
    std::optional<int> bitWidth;
    QString idText;
    QString maskText;
    // Read strictly, each flag that is not 0 or 1, with the text it has.
    struct BadFlag {
        Flag flag;
        QString text;
    };
    QVector<BadFlag> badFlags;
};
DataListEntry readDataListEntry(const QString& entry, EntryReading reading);
// What the entry gives, onto its bank.
void applyDataListEntry(FilterRow& row, const DataListEntry& entry);

// The channel's object of "CANParam".
QJsonObject toJson(const CanChannelValues& channel);
// Applies what the object holds that can be read: the word, then each
// row's "DataList" entry, read leniently.
void applyJson(CanChannelValues& channel, const QJsonObject& object);

}  // namespace CanCodec
