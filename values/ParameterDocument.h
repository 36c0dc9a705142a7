#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QVector>

#include "ParameterSet.h"

// A parameter set as the parameter file's JSON document: "CANParam" (one
// object per CAN channel), "FiberParam" ("Baud" codes as hex text, "Model"
// -1) and "Route".
namespace ParameterDocument {

QJsonDocument toDocument(const ParameterSet& set);

// Why a parsed document cannot be a parameter file, translated: its top
// level is no object, or "CANParam", "FiberParam" or "Route" is missing.
// Empty when it can be one.
QString topLevelProblem(const QJsonDocument& document);

// A key or element of a file ("CANParam[1].DataList[3]") and what is wrong
// with it, translated.
struct Problem {
    QString where;
    QString why;
    // The filter row it lies in, counted from 0, with the "CANParam" element
    // (Open's channel) it belongs to; -1 for a value that is no row.
    int channel = -1;
    int row = -1;

    // "where：why", as a line of a message.
    QString text() const;
};

// Opens a file's top level onto a set, which keeps what the file does not
// say or says in a form it cannot use: "CANParam" elements go to channels by
// position ("ChannalID" plays no part), each "Baud" code to its fiber
// channel, and a readable "Route" map to the present routes. A value of the
// wrong type, a filter field that is not 0 or 1, a fiber code outside 01 ...
// 0c leaves what the set held, and `unusable` (when given) names each. Texts
// are taken as they stand, also those the Write would refuse. The top level
// must already be known to hold the three members (topLevelProblem()). False when the file
// gives the device nothing: no element for a channel it has, no code for one
// of its fiber channels, no readable map.
bool apply(const QJsonObject& object, ParameterSet* set, QVector<Problem>* unusable = nullptr);

// The channels a file gives values for that the set's device lacks, named
// as the pages name them ("CAN3", "光纤3"): Open leaves them out.
QStringList channelsBeyond(const QJsonObject& object, const ParameterSet& set);

// Opens a file onto a set only when it gives every value the set's device
// has: for each CAN channel an element with that "ChannalID", a "BaudRate"
// the Write can send and fourteen sound "DataList" entries; a code for each
// fiber channel; a "Route" the rules can read. Otherwise the set stays as it
// was and `problem` says why. Elements for channels the device lacks are
// left out, one translated line each in `ignored`.
bool applyComplete(const QJsonObject& object, ParameterSet* set, Problem* problem, QStringList* ignored);

}  // namespace ParameterDocument
