#pragma once

#include <QJsonObject>
#include <QString>
#include <QVector>

// "CANParam" elements whose "ChannalID" is not their place in the array. The
// window's Open applies element i to CAN channel i + 1 whatever it says (as
// earlier tools did); the command line applies an element to the channel
// its "ChannalID" names, so that a reordered file cannot configure other
// channels. Where the two disagree, each says so.
namespace MisplacedChannels {

struct Misplaced {
    int element;        // 0 ...: the window's channel is element + 1
    QString channelId;  // the whole number the element gives
};

// Each element with a whole-number "ChannalID" other than its place + 1.
QVector<Misplaced> find(const QJsonObject& file);

}  // namespace MisplacedChannels
