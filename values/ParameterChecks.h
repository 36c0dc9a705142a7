#pragma once

#include <QString>
#include <QStringList>

#include "ParameterSet.h"

// What the Write checks before it sends anything, for the window and the
// command line alike.
namespace ParameterChecks {

// One translated line per field that cannot reach the device as shown: a
// bit-timing or register text that is not a 4-byte word, a bit-timing word
// with bits outside its fields, a fiber channel without a baud rate. Empty
// when everything can be sent.
QStringList problems(const ParameterSet& set);

// One translated line per CAN channel whose word is in loop-back or silent
// mode but otherwise sound: the Write asks before it sends such a word.
QStringList testModes(const ParameterSet& set);
// The question that names them.
QString testModeQuestion(const QStringList& testModes);

// One translated line per filter bank in use that no frame can pass: sent
// all the same, since a closed bank may be meant, but worth a note.
QStringList neverMatching(const ParameterSet& set);

// The whole message for problems(), with at most a handful of lines.
QString problemMessage(const QStringList& problems);
// A heading and at most a handful of lines under it, with how many more there are.
QString listed(const QString& heading, const QStringList& lines);
// Under "保存完成" and "读取完成": which values on the pages the Write would
// refuse; empty when it would send them all.
QString unsendableNote(const ParameterSet& set);

}  // namespace ParameterChecks
