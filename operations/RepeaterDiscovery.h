#pragma once

#include <QObject>
#include <QVector>
#include <string>
#include <thread>

#include "RepeaterList.h"

class HIDDevice;

// Finds the repeaters on USB and keeps one of them connected on a device it
// is given: at start, when the system reports one arriving or going, and
// when another one is chosen. Every search runs on a thread of its own, one
// at a time; a notice that comes meanwhile is looked at when it is done.
// What to show is told by signals, on the thread the object lives on; the
// list, the connected one and the search's state are kept here only.
class RepeaterDiscovery : public QObject {
    Q_OBJECT
public:
    // `device` is opened, used by the search thread and closed here; it must
    // outlive this object, which waits for its search when it goes.
    explicit RepeaterDiscovery(HIDDevice& device, QObject* parent = nullptr);
    ~RepeaterDiscovery() override;

    // True for the ids a hot-plug notice names when it concerns a repeater.
    static bool isRepeater(quint16 vendorId, quint16 productId);

    // The first search: connects to the first repeater listed that answers.
    void start();
    // The system reports a repeater plugged in: the first one connects, a
    // further one joins the list and the connection stays.
    void arrived();
    // The system reports one pulled out: it leaves the list; when it was the
    // connected one, the next one listed is connected in its place.
    void removed();
    // Connects to the listed repeater at `path` instead of the connected one.
    // False, and nothing happens, when it is the connected one or a search runs.
    bool choose(const std::string& path);

    bool isConnected() const { return !m_connectedPath.empty(); }
    // From a search's start until its result is handled (also a listing
    // beside the connected one).
    bool isSearching() const { return m_searching; }
    // Every repeater that answered, in RepeaterList's order, and the one connected.
    const QVector<FoundRepeater>& repeaters() const { return m_repeaters; }
    const std::string& connectedPath() const { return m_connectedPath; }
    // Counts the connections made, so that an operation that waited for the
    // user knows whether its repeater is still the one.
    quint64 connectionCount() const { return m_connections; }

signals:
    // A search that is to connect began, and it ended (whatever it found).
    void searchStarted();
    void searchEnded();
    // After searchEnded: connected to the repeater `identity` describes, or
    // no repeater answered.
    void connected(const DeviceIdentity& identity);
    void searchFailed();
    // The connected repeater was let go of (also sent when none was).
    void disconnected();
    // repeaters() or connectedPath() changed.
    void repeatersChanged();

private:
    struct Found {
        QVector<FoundRepeater> repeaters;
        std::string connectedPath;  // empty: none answered
        DeviceIdentity identity;
    };

    // Search thread: connects `device` to `target`, else to the first listed
    // that answers, and asks every other one who it is.
    static Found connectAndIdentify(HIDDevice& device, const std::string& target);
    // Search thread: the repeaters listed now, those not in `known` asked who
    // they are; the connected one is left alone.
    static QVector<FoundRepeater> listRepeaters(const QVector<FoundRepeater>& known,
                                                const std::string& connectedPath);

    void startSearch();
    void startListing();
    void waitForSearch();
    void searchDone(const Found& found);
    void listingDone(const QVector<FoundRepeater>& found);
    void continueAfterSearch();
    void disconnectRepeater();

    HIDDevice& m_device;
    std::thread m_searchThread;
    bool m_searching = false;
    // A removal during a search makes its result stale.
    bool m_staleResult = false;
    // A notice that came while a search ran.
    bool m_noticePending = false;
    QVector<FoundRepeater> m_repeaters;
    std::string m_connectedPath;
    // The repeater the next search connects to; empty: the first listed.
    std::string m_searchTarget;
    quint64 m_connections = 0;
};
