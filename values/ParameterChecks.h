#pragma once

#include <QString>
#include <QStringList>

#include "ParameterSet.h"

// What the Write checks before it sends anything, for the window and the
// command line alike.
namespace ParameterChecks {

// One translated line per field that would not reach the device as shown:
// a bit-timing or register text that is not four bytes, a fiber channel
// without a baud rate. Empty when everything can be sent.
QStringList problems(const ParameterSet& set);

// The whole message for problems(), with at most a handful of lines.
QString problemMessage(const QStringList& problems);

}  // namespace ParameterChecks
