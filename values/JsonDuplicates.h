#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// Keys given more than once in one JSON object. The JSON parser keeps the
// last of them without a word, so a file that sets "BaudRate" twice would
// quietly mean its second value; this scanner reads the text itself.
namespace JsonDuplicates {

struct Duplicate {
    QString where;  // the key with the element it is in: "CANParam[0].BaudRate"
    int firstLine;  // lines counted from 1, where the key stood first
    int line;       // and where it stands again

    // "the key appears more than once (lines 4 and 9)", translated.
    QString why() const;
};

// Every later occurrence of a key within its object, in the order of the
// text; keys are compared as the parser reads them (escapes decoded). Text
// that is not JSON is scanned as far as it goes.
QVector<Duplicate> find(const QByteArray& utf8);

}  // namespace JsonDuplicates
