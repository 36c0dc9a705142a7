#include "RepeaterList.h"

#include <algorithm>

#include "HIDDevice.h"
#include "Protocol.h"

namespace {

std::vector<std::string> connectedPaths() {
    return HIDDevice::paths(Protocol::VendorId, Protocol::ProductId);
}

QVector<FoundRepeater> identifyAll(const std::vector<std::string>& paths, DeviceTrace* trace) {
    QVector<FoundRepeater> repeaters;
    for (const std::string& path : paths) {
        HIDDevice device;  // closed again when it goes
        device.setTrace(trace);
        repeaters.append(RepeaterList::open(path, device));
    }
    return repeaters;
}

}  // namespace

bool sameCardNumber(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QVector<FoundRepeater> RepeaterList::findAll(DeviceTrace* trace) {
    return identifyAll(connectedPaths(), trace);
}

RepeaterList::Choice RepeaterList::choose(const QString& wanted, std::string* path,
                                          QVector<FoundRepeater>* candidates, DeviceTrace* trace) {
    const std::vector<std::string> paths = connectedPaths();
    const std::string wantedPath = wanted.toStdString();
    if (wanted.isEmpty() && paths.size() == 1) {
        *path = paths.front();
        return Choice::Chosen;
    }
    if (!wanted.isEmpty() && std::find(paths.begin(), paths.end(), wantedPath) != paths.end()) {
        *path = wantedPath;
        return Choice::Chosen;
    }
    if (paths.empty()) return wanted.isEmpty() ? Choice::NoneConnected : Choice::NotFound;

    *candidates = identifyAll(paths, trace);
    if (wanted.isEmpty()) return Choice::SeveralFound;
    QVector<std::string> matches;
    for (const FoundRepeater& repeater : qAsConst(*candidates)) {
        // As printed on the label or typed: the case makes no other card.
        if (repeater.state == FoundRepeater::State::Identified &&
            sameCardNumber(repeater.identity.strCardNum, wanted))
            matches.append(repeater.path);
    }
    if (matches.isEmpty()) return Choice::NotFound;
    if (matches.size() > 1) return Choice::SeveralFound;
    *path = matches.first();
    candidates->clear();
    return Choice::Chosen;
}

FoundRepeater RepeaterList::open(const std::string& path, HIDDevice& device) {
    FoundRepeater repeater;
    repeater.path = path;
    if (!device.openPath(path)) {
        repeater.state = FoundRepeater::State::NotOpened;
        repeater.openError = QString::fromStdWString(device.errorText());
        return repeater;
    }
    repeater.state = identifyDevice(device, repeater.identity) ? FoundRepeater::State::Identified
                                                               : FoundRepeater::State::NoAnswer;
    return repeater;
}
