#include <QtTest>

#include "HIDDevice.h"
#include "RepeaterDiscovery.h"
#include "SimulatedRepeater.h"

using sim::SimulatedRepeater;

namespace {

// Repeaters 1, 2, 3 on the simulated bus, card numbers ending in their number.
class Bus {
public:
    SimulatedRepeater& plugIn(int n) {
        while (m_repeaters.size() < n) {
            m_repeaters << (m_repeaters.isEmpty() ? &SimulatedRepeater::instance()
                                                  : &SimulatedRepeater::addDevice());
            m_repeaters.last()->setPresent(false);
        }
        sim::Identity identity;
        identity.cardNumber = "TV202600000" + QByteArray::number(n);
        m_repeaters[n - 1]->setIdentity(identity);
        m_repeaters[n - 1]->setPresent(true);
        return *m_repeaters[n - 1];
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
        QTest::addColumn<QStringList>("events");
        // What the signals told, in order; "|" where the test waited.
        QTest::addColumn<QString>("told");
        // The connected one ("-" for none) and the list, the connected one starred.
        QTest::addColumn<QString>("end");

        const QString first = "search end connected1 list |";
        QTest::newRow("none") << 0 << QStringList() << "search end list failed |"
                              << "- []";
        QTest::newRow("one") << 1 << QStringList() << first << "1 [*1]";
        QTest::newRow("two: the first connects") << 2 << QStringList() << first << "1 [*1 2]";
        QTest::newRow("arrival after none")
            << 0 << QStringList{"w", "+1"} << "search end list failed | search end connected1 list |"
            << "1 [*1]";
        QTest::newRow("arrival beside the connected one: listed only")
            << 1 << QStringList{"w", "+2"} << first + " list |"
            << "1 [*1 2]";
        QTest::newRow("the only one pulled out")
            << 1 << QStringList{"w", "-1"} << first + " disconnected list |"
            << "- []";
        QTest::newRow("the other one pulled out") << 2 << QStringList{"w", "-2"} << first + " list |"
                                                  << "1 [*1]";
        QTest::newRow("the connected one pulled out: the next one connects")
            << 2 << QStringList{"w", "-1"} << first + " disconnected list search end connected2 list |"
            << "2 [*2]";
        QTest::newRow("the other one chosen")
            << 2 << QStringList{"w", "c2"} << first + " disconnected list search end connected2 list |"
            << "2 [1 *2]";
        QTest::newRow("the connected one chosen") << 2 << QStringList{"w", "c1"} << first + " refused |"
                                                  << "1 [*1 2]";
        QTest::newRow("chosen during the search")
            << 2 << QStringList{"c2"} << "search refused end connected1 list |"
            << "1 [*1 2]";
        QTest::newRow("chosen, then pulled out") << 3 << QStringList{"w", "c3", "w", "-3"}
                                                 << first +
                                                        " disconnected list search end connected3 list | "
                                                        "disconnected list search end connected1 list |"
                                                 << "1 [*1 2]";
        QTest::newRow("chosen, another pulled out during its search: the choice stands")
            << 3 << QStringList{"w", "c3", "-1"}
            << first + " disconnected list search disconnected list end search end connected3 list |"
            << "3 [2 *3]";
        QTest::newRow("arrivals during the search: one listing after it")
            << 1 << QStringList{"+2", "+3"} << "search end connected1 list list |"
            << "1 [*1 2 3]";
        QTest::newRow("arrival during a listing: listed again after it")
            << 1 << QStringList{"w", "+2", "+3"} << first + " list list |"
            << "1 [*1 2 3]";
        QTest::newRow("removal during the search: its result dropped")
            << 1 << QStringList{"-1"} << "search disconnected list end |"
            << "- []";
        QTest::newRow("the newcomer gone while listed: listed again")
            << 1 << QStringList{"w", "+2", "-2"} << first + " list list |"
            << "1 [*1]";
        QTest::newRow("the connected one gone while a newcomer is listed")
            << 2 << QStringList{"w", "+3", "-1"} << first + " disconnected list search end connected2 list |"
            << "2 [*2 3]";
        QTest::newRow("all out, one back") << 3 << QStringList{"w", "-2", "-1", "w", "-3", "w", "+2"}
                                           << first +
                                                  " list disconnected list search end connected3 list |"
                                                  " disconnected list | search end connected2 list |"
                                           << "2 [*2]";
    }
    void notices() {
        QFETCH(int, atStart);
        QFETCH(QStringList, events);
        QFETCH(QString, told);
        QFETCH(QString, end);
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
        for (const QString& event : events) {
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

        QCOMPARE(heard.join(' '), told);
        QStringList listed;
        for (const FoundRepeater& repeater : discovery.repeaters())
            listed << (repeater.path == discovery.connectedPath() ? "*" : "") + bus.number(repeater.path);
        const QString connected = discovery.isConnected() ? bus.number(discovery.connectedPath()) : "-";
        QCOMPARE(connected + " [" + listed.join(' ') + "]", end);
        // A handle to the connected one only: the others were let go of.
        for (int n = 1; n <= bus.size(); ++n)
            QCOMPARE(bus.repeater(n).openHandleCount(), connected == QString::number(n) ? 1 : 0);
        QCOMPARE(device.isOpen(), discovery.isConnected());
    }

    // One search at a time: arrivals while one runs start none of their own,
    // and the connected one is asked who it is once.
    void connectedOneAskedOnce() {
        Bus bus;
        bus.plugIn(1).setLatency(5);
        HIDDevice device;
        RepeaterDiscovery discovery(device);
        discovery.start();
        discovery.arrived();
        discovery.arrived();
        QTRY_VERIFY(discovery.isConnected() && !discovery.isSearching());
        discovery.arrived();
        QTRY_VERIFY(!discovery.isSearching());
        QCOMPARE(bus.repeater(1).log().size(), 4);
        QCOMPARE(discovery.connectionCount(), quint64(1));
    }
};

QTEST_GUILESS_MAIN(TestRepeaterDiscovery)
#include "tst_repeaterdiscovery.moc"
