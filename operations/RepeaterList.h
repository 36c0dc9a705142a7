#pragma once

#include <QString>
#include <QVector>
#include <string>

#include "DeviceSearch.h"

class DeviceTrace;
class HIDDevice;

// A repeater on USB, opened by its path and asked for its identity.
struct FoundRepeater {
    enum class State { Identified, NotOpened, NoAnswer };

    std::string path;
    State state = State::NoAnswer;
    DeviceIdentity identity;
    QString openError;  // the library's text, when it could not be opened
};

// Whether two card numbers name the same repeater: in any case, as people type them.
bool sameCardNumber(const QString& a, const QString& b);

// Texts compared as people read them: runs of digits as numbers ("hidraw9"
// before "hidraw10"), letters in any case. Negative, zero or positive.
int compareNaturally(const QString& a, const QString& b);

// The repeaters connected to this computer, and the one a command is meant
// for: never a guess when there are several.
class RepeaterList {
public:
    enum class Choice { Chosen, NoneConnected, NotFound, SeveralFound };

    // Every connected repeater in list order, each asked for its identity
    // and closed again; `trace`, when given, sees the traffic.
    static QVector<FoundRepeater> findAll(DeviceTrace* trace = nullptr);

    // The one order repeaters are shown in, by the window and the command
    // line alike: by card number, then those with none, then those that did
    // not answer; each group by path. Both compared naturally.
    static bool listedBefore(const FoundRepeater& a, const FoundRepeater& b);
    static void sort(QVector<FoundRepeater>& repeaters);

    // The repeater `wanted` names, a path or a card number (in any case), or the only one
    // connected when `wanted` is empty. Unless one is chosen, `candidates`
    // holds every repeater found, in list order, to be shown.
    static Choice choose(const QString& wanted, std::string* path, QVector<FoundRepeater>* candidates,
                         DeviceTrace* trace = nullptr);

    // What files and lines call a repeater among those connected (`all`):
    // its card number, unless that is blank, or another repeater's card
    // number makes the same file name (the same number in any case, or
    // spelt otherwise); then it goes by its path, as pathName() writes it.
    static bool namedByPath(const FoundRepeater& repeater, const QVector<FoundRepeater>& all);
    static QString unitName(const FoundRepeater& repeater, const QVector<FoundRepeater>& all);
    // "path_" and the path, each character but an ASCII letter, digit or '-'
    // written '_' ("/dev/hidraw3": "path__dev_hidraw3"): the same for the same
    // path, and a file name on Linux and Windows alike.
    static QString pathName(const std::string& path);
    // A name as a file name: each character but an ASCII letter, digit, '.',
    // '-' or '_' written '_', and '_' before a leading '.' or none at all.
    static QString fileName(const QString& name);

    // Opens the repeater at `path` on `device` and asks for its identity; the
    // device stays open when it answered.
    static FoundRepeater open(const std::string& path, HIDDevice& device);
};
