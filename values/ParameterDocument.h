#pragma once

#include <QJsonDocument>
#include <QJsonObject>

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
// three members.
void apply(const QJsonObject& object, ParameterSet* set);

}  // namespace ParameterDocument
