#include "RepeaterDiscovery.h"

#include <algorithm>

#include "HIDDevice.h"
#include "Protocol.h"

namespace {

std::vector<std::string> repeaterPaths() {
    return HIDDevice::paths(Protocol::VendorId, Protocol::ProductId);
}

bool contains(const std::vector<std::string>& paths, const std::string& path) {
    return std::find(paths.begin(), paths.end(), path) != paths.end();
}

}  // namespace

RepeaterDiscovery::RepeaterDiscovery(HIDDevice& device, QObject* parent)
    : QObject(parent), m_device(device) {}

RepeaterDiscovery::~RepeaterDiscovery() {
    waitForSearch();
}

bool RepeaterDiscovery::isRepeater(quint16 vendorId, quint16 productId) {
    return vendorId == Protocol::VendorId && productId == Protocol::ProductId;
}

void RepeaterDiscovery::start() {
    startSearch();
}

RepeaterDiscovery::Found RepeaterDiscovery::connectAndIdentify(HIDDevice& device, const std::string& target) {
    std::vector<std::string> paths = repeaterPaths();
    const auto first = std::find(paths.begin(), paths.end(), target);
    if (first != paths.end()) std::rotate(paths.begin(), first, first + 1);
    Found found;
    for (const std::string& path : paths) {
        FoundRepeater repeater;
        if (found.connectedPath.empty()) {
            repeater = RepeaterList::open(path, device);  // stays open when it answered
            if (repeater.state == FoundRepeater::State::Identified) {
                found.connectedPath = path;
                found.identity = repeater.identity;
            }
        } else {
            HIDDevice other;  // closed again when it goes
            repeater = RepeaterList::open(path, other);
        }
        // Only those that answered can be chosen.
        if (repeater.state == FoundRepeater::State::Identified) found.repeaters.append(repeater);
    }
    RepeaterList::sort(found.repeaters);
    return found;
}

QVector<FoundRepeater> RepeaterDiscovery::listRepeaters(const QVector<FoundRepeater>& known,
                                                        const std::string& connectedPath) {
    QVector<FoundRepeater> found;
    for (const std::string& path : repeaterPaths()) {
        const auto old =
            std::find_if(known.begin(), known.end(), [&](const FoundRepeater& r) { return r.path == path; });
        if (old != known.end()) {
            found.append(*old);
        } else if (path != connectedPath) {
            HIDDevice other;
            const FoundRepeater repeater = RepeaterList::open(path, other);
            if (repeater.state == FoundRepeater::State::Identified) found.append(repeater);
        }
    }
    RepeaterList::sort(found);
    return found;
}

// The thread touches nothing of this object but the device; its result
// comes back as a queued call.
void RepeaterDiscovery::startSearch() {
    emit searchStarted();
    waitForSearch();  // a finished search leaves its thread to be joined
    m_searching = true;
    m_searchThread = std::thread([this, target = m_searchTarget] {
        Found found = connectAndIdentify(m_device, target);
        QMetaObject::invokeMethod(
            this, [this, found = std::move(found)] { searchDone(found); }, Qt::QueuedConnection);
    });
}

void RepeaterDiscovery::startListing() {
    waitForSearch();
    m_searching = true;
    m_searchThread = std::thread([this, known = m_repeaters, connectedPath = m_connectedPath] {
        QVector<FoundRepeater> found = listRepeaters(known, connectedPath);
        QMetaObject::invokeMethod(
            this, [this, found = std::move(found)] { listingDone(found); }, Qt::QueuedConnection);
    });
}

void RepeaterDiscovery::waitForSearch() {
    if (m_searchThread.joinable()) m_searchThread.join();
}

void RepeaterDiscovery::searchDone(const Found& found) {
    m_searching = false;
    emit searchEnded();
    if (m_staleResult) {  // the device went away while it was being searched
        m_staleResult = false;
        continueAfterSearch();
        return;
    }
    m_repeaters = found.repeaters;
    m_searchTarget.clear();
    if (found.connectedPath.empty()) {
        emit repeatersChanged();
        emit searchFailed();
    } else {
        m_connectedPath = found.connectedPath;
        ++m_connections;
        emit connected(found.identity);
        emit repeatersChanged();
    }
    continueAfterSearch();
}

void RepeaterDiscovery::listingDone(const QVector<FoundRepeater>& found) {
    m_searching = false;
    if (m_staleResult) {
        m_staleResult = false;
    } else {
        m_repeaters = found;
        emit repeatersChanged();
    }
    continueAfterSearch();
}

void RepeaterDiscovery::continueAfterSearch() {
    // A notice that came while a search ran is looked at now.
    if (!m_noticePending || m_searching) return;
    m_noticePending = false;
    if (isConnected()) {
        startListing();
    } else if (!repeaterPaths().empty()) {
        startSearch();
    }
}

void RepeaterDiscovery::disconnectRepeater() {
    m_device.close();
    m_connectedPath.clear();
    emit disconnected();
}

void RepeaterDiscovery::arrived() {
    // One search at a time: a second would share the device across threads.
    // This one is looked at when the running one is done.
    if (m_searching) {
        m_noticePending = true;
        return;
    }
    // Another repeater beside the connected one joins the list, and the
    // connection stays as it is.
    if (isConnected()) {
        startListing();
        return;
    }
    startSearch();
}

void RepeaterDiscovery::removed() {
    // The search must let go of the device before it is closed; its result,
    // still on its way, no longer stands for a device.
    waitForSearch();
    const bool stale = m_searching;
    if (stale) m_staleResult = true;
    // A listing beside the connection may have seen one that is still
    // there: the list is made again once its result is dropped. The one
    // that went may be the newcomer it was asking, not yet in the list.
    const bool listing = stale && isConnected();
    if (listing) m_noticePending = true;
    if (m_repeaters.size() <= 1 && !listing) {
        disconnectRepeater();
        m_repeaters.clear();
        emit repeatersChanged();
        return;
    }
    // One of several went, or the newcomer: the list says which.
    const std::vector<std::string> paths = repeaterPaths();
    m_repeaters.erase(std::remove_if(m_repeaters.begin(), m_repeaters.end(),
                                     [&](const FoundRepeater& r) { return !contains(paths, r.path); }),
                      m_repeaters.end());
    const bool lost = !isConnected() || !contains(paths, m_connectedPath);
    if (lost) disconnectRepeater();
    emit repeatersChanged();
    if (lost && !m_repeaters.isEmpty()) {
        if (!contains(paths, m_searchTarget)) m_searchTarget = m_repeaters.first().path;
        // One search at a time: after the stale result, if one is on its way.
        if (m_searching) {
            m_noticePending = true;
            return;
        }
        startSearch();
    }
}

bool RepeaterDiscovery::choose(const std::string& path) {
    if (path == m_connectedPath || m_searching) return false;
    disconnectRepeater();
    m_searchTarget = path;
    emit repeatersChanged();
    startSearch();
    return true;
}
