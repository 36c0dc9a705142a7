#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include "ParameterSet.h"

// A parameter set as the parameter file's JSON document: "CANParam" (one
// object per CAN channel), "FiberParam" ("Baud" codes as hex text, "Model"
// -1) and "Route".
namespace ParameterDocument {

QJsonDocument toDocument(const ParameterSet& set);

// Opens a file's top level onto a set, which keeps what the file does not
// say: "CANParam" elements go to channels by position ("ChannalID" plays no
// part), each "Baud" code to its fiber channel, and a readable "Route" map
// to the present routes. The top level must already be known to hold the
// three members. False when the file gives the device nothing: no element
// for a channel it has, no code for one of its fiber channels, no readable map.
bool apply(const QJsonObject& object, ParameterSet* set);

// What keeps a file from giving every value of a device: the first key or
// element that is missing or invalid ("CANParam[1].DataList[3]") and why,
// translated.
struct Problem {
    QString where;
    QString why;
};

// Opens a file onto a set only when it gives every value the set's device
// has: for each CAN channel an element with that "ChannalID", a "BaudRate"
// the Write can send and fourteen sound "DataList" entries; a code for each
// fiber channel; a "Route" the rules can read. Otherwise the set stays as it
// was and `problem` says why. Elements for channels the device lacks are
// left out, one translated line each in `ignored`.
bool applyComplete(const QJsonObject& object, ParameterSet* set, Problem* problem, QStringList* ignored);

}  // namespace ParameterDocument
