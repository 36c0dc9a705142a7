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
    RepeaterList::sort(repeaters);
    return repeaters;
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// 0: a card number; 1: none; 2: no answer.
int group(const FoundRepeater& repeater) {
    if (repeater.state != FoundRepeater::State::Identified) return 2;
    return repeater.identity.strCardNum.trimmed().isEmpty() ? 1 : 0;
}

}  // namespace

bool sameCardNumber(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

int compareNaturally(const QString& a, const QString& b) {
    int i = 0;
    int j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a.at(i)) && isDigit(b.at(j))) {
            // Leading zeros aside, the longer number is the larger; of two as
            // long, the first digit that differs tells.
            while (i < a.size() && a.at(i) == QLatin1Char('0')) ++i;
            while (j < b.size() && b.at(j) == QLatin1Char('0')) ++j;
            int endA = i;
            int endB = j;
            while (endA < a.size() && isDigit(a.at(endA))) ++endA;
            while (endB < b.size() && isDigit(b.at(endB))) ++endB;
            if (endA - i != endB - j) return (endA - i) - (endB - j);
            if (const int c = QStringRef(&a, i, endA - i).compare(QStringRef(&b, j, endB - j))) return c;
            i = endA;
            j = endB;
            continue;
        }
        const QChar x = a.at(i).toCaseFolded();
        const QChar y = b.at(j).toCaseFolded();
        if (x != y) return x.unicode() - y.unicode();
        ++i;
        ++j;
    }
    return (a.size() - i) - (b.size() - j);
}

QVector<FoundRepeater> RepeaterList::findAll(DeviceTrace* trace) {
    return identifyAll(connectedPaths(), trace);
}

bool RepeaterList::listedBefore(const FoundRepeater& a, const FoundRepeater& b) {
    if (group(a) != group(b)) return group(a) < group(b);
    if (group(a) == 0) {
        if (const int c = compareNaturally(a.identity.strCardNum, b.identity.strCardNum)) return c < 0;
    }
    const QString pathA = QString::fromStdString(a.path);
    const QString pathB = QString::fromStdString(b.path);
    if (const int c = compareNaturally(pathA, pathB)) return c < 0;
    return a.path < b.path;  // one order whatever the texts
}

bool RepeaterList::namedByPath(const FoundRepeater& repeater, const QVector<FoundRepeater>& all) {
    if (group(repeater) != 0) return true;
    const QString file = fileName(repeater.identity.strCardNum);
    for (const FoundRepeater& other : all) {
        if (other.path == repeater.path || group(other) != 0) continue;
        // Windows takes file names in any case.
        if (fileName(other.identity.strCardNum).compare(file, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

QString RepeaterList::unitName(const FoundRepeater& repeater, const QVector<FoundRepeater>& all) {
    return namedByPath(repeater, all) ? pathName(repeater.path) : repeater.identity.strCardNum;
}

QString RepeaterList::pathName(const std::string& path) {
    QString name = QStringLiteral("path_") + QString::fromStdString(path);
    for (int i = 5; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const bool kept = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                          (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || isDigit(c) ||
                          c == QLatin1Char('-');
        if (!kept) name[i] = QLatin1Char('_');
    }
    return name;
}

QString RepeaterList::fileName(const QString& name) {
    // A card number comes from the device: nothing in it may lead elsewhere.
    QString file = name;
    for (QChar& c : file) {
        const bool kept = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                          (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || isDigit(c) ||
                          c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('_');
        if (!kept) c = QLatin1Char('_');
    }
    if (file.isEmpty() || file.startsWith(QLatin1Char('.'))) file.prepend(QLatin1Char('_'));
    return file;
}

void RepeaterList::sort(QVector<FoundRepeater>& repeaters) {
    std::stable_sort(repeaters.begin(), repeaters.end(), &RepeaterList::listedBefore);
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
