// The repeaters connected and the one a command is meant for: their one
// order, the choice by card number or path, and what files call each.
#include <QtTest>

#include "RepeaterList.h"
#include "SimulatedRepeater.h"

using sim::SimulatedRepeater;

namespace {

// "path card" entries; card "?": did not answer.
QVector<FoundRepeater> found(const QStringList& entries) {
    QVector<FoundRepeater> repeaters;
    for (const QString& entry : entries) {
        FoundRepeater repeater;
        repeater.path = entry.section(' ', 0, 0).toStdString();
        const QString card = entry.section(' ', 1);
        if (card != "?") repeater.state = FoundRepeater::State::Identified;
        repeater.identity.strCardNum = card;
        repeaters << repeater;
    }
    return repeaters;
}

}  // namespace

class TestRepeaterList : public QObject {
    Q_OBJECT
private slots:
    void init() {
        SimulatedRepeater::removeAddedDevices();
        SimulatedRepeater::instance().reset();
    }

    // The one order of the window's list and the command line's: card
    // numbers, their digits as numbers, then none, then no answer, each by path.
    void listOrder_data() {
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QString>("order");  // the paths
        QTest::newRow("digits as numbers")
            << QStringList{"a TV10", "b TV9", "c tv100", "d TV09x"} << "b d a c";
        QTest::newRow("more digits than a number holds")
            << QStringList{"a TV100000000000000000000", "b TV99999999999999999999"} << "b a";
        QTest::newRow("a card twice: by path") << QStringList{"h10 TV1", "h2 tv1"} << "h2 h10";
        QTest::newRow("blank, then unanswered, by path")
            << QStringList{"h10 ?", "h9 ", "h11 TV5", "h3 ?", "h1 ", "h4    "} << "h11 h1 h4 h9 h3 h10";
        QTest::newRow("paths alike as numbers: one order all the same")
            << QStringList{"hidraw1 ?", "hidraw01 ?", "/dev/hidraw10 ?", "/dev/hidraw9 ?"}
            << "/dev/hidraw9 /dev/hidraw10 hidraw01 hidraw1";
    }
    void listOrder() {
        QFETCH(QStringList, found);
        for (const bool reversed : {false, true}) {
            QVector<FoundRepeater> repeaters = ::found(found);
            if (reversed) std::reverse(repeaters.begin(), repeaters.end());
            RepeaterList::sort(repeaters);
            QStringList paths;
            for (const FoundRepeater& repeater : repeaters) paths << QString::fromStdString(repeater.path);
            QTEST(paths.join(' '), "order");
        }
    }

    void choose_data() {
        // Repeaters 1, 2, ... on the bus by card number; "-" blank, "?" does
        // not answer, "x" pulled out, "2x" listed once per each of two usages.
        QTest::addColumn<QString>("bus");
        QTest::addColumn<QString>("wanted");  // "@N": repeater N's path
        // "chosen N", or the choice and the candidates in list order.
        QTest::addColumn<QString>("choice");
        const auto row = [](const char* name, const char* bus, const char* wanted, const char* choice) {
            QTest::newRow(name) << QString(bus) << QString(wanted) << QString(choice);
        };
        row("the only one", "TV1", "", "chosen 1");
        row("the only one, listed twice", "2xTV1", "", "chosen 1");
        row("none", "x", "", "none connected:");
        row("none, one named", "x", "TV1", "not found:");
        row("two, none named: both offered", "TV2 TV1", "", "several: 2 1");
        row("by card number, in any case", "TV1 TV2", "tv2", "chosen 2");
        row("by path", "TV1 TV2", "@2", "chosen 2");
        row("by path, one that does not answer", "TV1 ?", "@2", "chosen 2");
        row("a card number nobody has", "TV1 TV2", "TV3", "not found: 1 2");
        row("a card number two share", "TV1 tv1 TV3", "TV1", "several: 1 2 3");
        row("blank and unanswered last", "- ? TV5", "TV9", "not found: 3 1 2");
        row("the one named by path has left", "TV1 x", "@2", "not found: 1");
    }
    void choose() {
        QFETCH(QString, bus);
        QFETCH(QString, wanted);
        QVector<SimulatedRepeater*> repeaters;
        for (QString card : bus.split(' ')) {
            SimulatedRepeater& repeater =
                repeaters.isEmpty() ? SimulatedRepeater::instance() : SimulatedRepeater::addDevice();
            repeaters << &repeater;
            if (card.startsWith("2x")) {
                repeater.setUsageCount(2);
                card.remove(0, 2);
            }
            sim::Identity identity;
            identity.cardNumber = card == "-" ? QByteArray() : card.toLatin1();
            repeater.setIdentity(identity);
            if (card == "?") repeater.injectFault(sim::AnyCommand, sim::Fault::NoReply);
            repeater.setPresent(card != "x");
        }
        const auto number = [&](const std::string& path) {
            for (int n = 1; n <= repeaters.size(); ++n)
                if (repeaters[n - 1]->path() == path) return QString::number(n);
            return QString("?");
        };
        if (wanted.startsWith('@'))
            wanted = QString::fromStdString(repeaters[wanted.mid(1).toInt() - 1]->path());

        std::string path;
        QVector<FoundRepeater> candidates;
        const RepeaterList::Choice choice = RepeaterList::choose(wanted, &path, &candidates);
        const char* const choices[] = {"chosen", "none connected", "not found", "several"};
        QStringList told{choices[int(choice)] + QString(choice == RepeaterList::Choice::Chosen ? "" : ":")};
        if (choice == RepeaterList::Choice::Chosen) told << number(path);
        for (const FoundRepeater& candidate : candidates) told << number(candidate.path);
        QTEST(told.join(' '), "choice");
        // Every repeater asked was let go of.
        for (SimulatedRepeater* repeater : repeaters) QCOMPARE(repeater->openHandleCount(), 0);
    }

    // What files and lines call each repeater: its card number, unless
    // another's makes the same file name or it has none; then its path.
    void names_data() {
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QString>("names");  // each's name, and ">" its file name where that differs
        QTest::newRow("card numbers") << QStringList{"h1 TV1", "h2 TV2"} << "TV1 TV2";
        QTest::newRow("one in two cases")
            << QStringList{"h1 TV1", "h2 tv1", "h3 TV3"} << "path_h1 path_h2 TV3";
        QTest::newRow("spelt otherwise, the same file")
            << QStringList{"h1 TV/1", "h2 TV_1"} << "path_h1 path_h2";
        QTest::newRow("blank and unanswered: by path, the others not")
            << QStringList{"/dev/hidraw3 ", "h2 ?", "h3 TV3"} << "path__dev_hidraw3 path_h2 TV3";
        QTest::newRow("a Windows path") << QStringList{"\\\\?\\hid#vid_0483&pid_6901#7&1a2b ?"}
                                        << "path_____hid_vid_0483_pid_6901_7_1a2b";
        QTest::newRow("a card number that leads elsewhere")
            << QStringList{"h1 ../TV1", "h2 .x"} << "../TV1>_.._TV1 .x>_.x";
    }
    void names() {
        QFETCH(QStringList, found);
        const QVector<FoundRepeater> all = ::found(found);
        QStringList names;
        for (const FoundRepeater& repeater : all) {
            const QString name = RepeaterList::unitName(repeater, all);
            const QString file = RepeaterList::fileName(name);
            names << (file == name ? name : name + ">" + file);
        }
        QTEST(names.join(' '), "names");
    }
};

QTEST_GUILESS_MAIN(TestRepeaterList)
#include "tst_repeaterlist.moc"
