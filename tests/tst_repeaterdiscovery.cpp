#include <QtTest>

#include "HIDDevice.h"
#include "RepeaterDiscovery.h"
#include "SimulatedRepeater.h"

using sim::SimulatedRepeater;

namespace {

// Repeaters 1, 2, 3 on the simulated bus, card numbers ending in their number.
class Bus {
public:
    void plugIn(int n) {
        while (m_repeaters.size() < n) {
            m_repeaters << (m_repeaters.isEmpty() ? &SimulatedRepeater::instance()
                                                  : &SimulatedRepeater::addDevice());
            m_repeaters.last()->setPresent(false);
        }
        sim::Identity identity;
        identity.cardNumber = "TV202600000" + QByteArray::number(n);
        m_repeaters[n - 1]->setIdentity(identity);
        m_repeaters[n - 1]->setPresent(true);
    }
    void pullOut(int n) { m_repeaters[n - 1]->setPresent(false); }
    SimulatedRepeater& repeater(int n) { return *m_repeaters[n - 1]; }
    int size() const { return m_repeaters.size(); }
    // The repeater's number for its path, "?" for none of them.
    QString number(const std::string& path) const {
        for (int n = 1; n <= m_repeaters.size(); ++n)
            if (m_repeaters[n - 1]->path() == path) return QString::number(n);
        return "?";
    }

private:
    QVector<SimulatedRepeater*> m_repeaters;
};

}  // namespace

// The list of repeaters, the connected one and one search at a time,
// without a window: what the discovery tells and what it ends with.
class TestRepeaterDiscovery : public QObject {
    Q_OBJECT
private slots:
    void init() {
        SimulatedRepeater::removeAddedDevices();
        SimulatedRepeater::instance().reset();
    }

    void notices_data() {
        QTest::addColumn<int>("atStart");
        // "+N" plugged in, "-N" pulled out, "cN" chosen, each told at once;
        // "w" waits until no search runs. The first search starts before them.
        QTest::addColumn<QString>("events");
        // What the signals told, in order, "|" where the test waited; after
        // "=" the connected one ("-" for none) and the list, it starred.
        QTest::addColumn<QString>("told");
        const auto row = [](const char* name, int atStart, const char* events, const QString& told) {
            QTest::newRow(name) << atStart << QString(events) << told;
        };
        const QString first = "search end connected1 list | ";
        row("none", 0, "", "search end list failed | = - []");
        row("two: the first connects", 2, "", first + "= 1 [*1 2]");
        row("arrival after none", 0, "w +1",
            "search end list failed | search end connected1 list | = 1 [*1]");
        row("arrival beside the connected one: listed only", 1, "w +2", first + "list | = 1 [*1 2]");
        row("the only one pulled out", 1, "w -1", first + "disconnected list | = - []");
        row("the other one pulled out", 2, "w -2", first + "list | = 1 [*1]");
        row("the connected one pulled out: the next connects", 2, "w -1",
            first + "disconnected list search end connected2 list | = 2 [*2]");
        row("the other one chosen", 2, "w c2",
            first + "disconnected list search end connected2 list | = 2 [1 *2]");
        row("the connected one chosen", 2, "w c1", first + "refused | = 1 [*1 2]");
        row("chosen during the search", 2, "c2", "search refused end connected1 list | = 1 [*1 2]");
        row("chosen, then pulled out", 3, "w c3 w -3",
            first +
                "disconnected list search end connected3 list | "
                "disconnected list search end connected1 list | = 1 [*1 2]");
        row("chosen, another pulled out during its search: the choice stands", 3, "w c3 -1",
            first + "disconnected list search disconnected list end search end connected3 list | = 3 [2 *3]");
        row("arrivals during the search: one listing after it", 1, "+2 +3",
            "search end connected1 list list | = 1 [*1 2 3]");
        row("arrival during a listing: listed again after it", 1, "w +2 +3",
            first + "list list | = 1 [*1 2 3]");
        row("removal during the search: its result dropped", 1, "-1",
            "search disconnected list end | = - []");
        row("the newcomer gone while listed: listed again", 1, "w +2 -2", first + "list list | = 1 [*1]");
        row("the connected one gone while a newcomer is listed", 2, "w +3 -1",
            first + "disconnected list search end connected2 list | = 2 [*2 3]");
        row("all out, one back", 3, "w -2 -1 w -3 w +2",
            first +
                "list disconnected list search end connected3 list | disconnected list | "
                "search end connected2 list | = 2 [*2]");
    }
    void notices() {
        QFETCH(int, atStart);
        QFETCH(QString, events);
        QFETCH(QString, told);
        Bus bus;
        for (int n = 1; n <= qMax(atStart, 1); ++n) bus.plugIn(n);
        if (atStart == 0) bus.pullOut(1);
        HIDDevice device;
        RepeaterDiscovery discovery(device);
        QStringList heard;
        connect(&discovery, &RepeaterDiscovery::searchStarted, [&] { heard << "search"; });
        connect(&discovery, &RepeaterDiscovery::searchEnded, [&] { heard << "end"; });
        connect(&discovery, &RepeaterDiscovery::connected,
                [&](const DeviceIdentity& identity) { heard << "connected" + identity.strCardNum.right(1); });
        connect(&discovery, &RepeaterDiscovery::searchFailed, [&] { heard << "failed"; });
        connect(&discovery, &RepeaterDiscovery::disconnected, [&] { heard << "disconnected"; });
        connect(&discovery, &RepeaterDiscovery::repeatersChanged, [&] { heard << "list"; });
        const auto idle = [&] {
            const bool done = QTest::qWaitFor([&] { return !discovery.isSearching(); });
            heard << "|";
            return done;
        };

        discovery.start();
        for (const QString& event : events.split(' ', Qt::SkipEmptyParts)) {
            const int n = event.right(1).toInt();
            if (event == "w") {
                QVERIFY(idle());
            } else if (event.startsWith('+')) {
                bus.plugIn(n);
                discovery.arrived();
            } else if (event.startsWith('-')) {
                bus.pullOut(n);
                discovery.removed();
            } else if (!discovery.choose(bus.repeater(n).path())) {
                heard << "refused";
            }
        }
        QVERIFY(idle());

        QStringList listed;
        for (const FoundRepeater& repeater : discovery.repeaters())
            listed << (repeater.path == discovery.connectedPath() ? "*" : "") + bus.number(repeater.path);
        const QString connected = discovery.isConnected() ? bus.number(discovery.connectedPath()) : "-";
        QCOMPARE(heard.join(' ') + " = " + connected + " [" + listed.join(' ') + "]", told);
        // A handle to the connected one only: the others were let go of.
        for (int n = 1; n <= bus.size(); ++n)
            QCOMPARE(bus.repeater(n).openHandleCount(), connected == QString::number(n) ? 1 : 0);
        QCOMPARE(device.isOpen(), discovery.isConnected());
    }
};

QTEST_GUILESS_MAIN(TestRepeaterDiscovery)
#include "tst_repeaterdiscovery.moc"
