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

// The repeaters connected to this computer, and the one a command is meant
// for: never a guess when there are several.
class RepeaterList {
public:
    enum class Choice { Chosen, NoneConnected, NotFound, SeveralFound };

    // Every connected repeater in path order, each asked for its identity
    // and closed again; `trace`, when given, sees the traffic.
    static QVector<FoundRepeater> findAll(DeviceTrace* trace = nullptr);

    // The repeater `wanted` names, a path or a card number (in any case), or the only one
    // connected when `wanted` is empty. Unless one is chosen, `candidates`
    // holds every repeater found, to be shown.
    static Choice choose(const QString& wanted, std::string* path, QVector<FoundRepeater>* candidates,
                         DeviceTrace* trace = nullptr);

    // Opens the repeater at `path` on `device` and asks for its identity; the
    // device stays open when it answered.
    static FoundRepeater open(const std::string& path, HIDDevice& device);
};
