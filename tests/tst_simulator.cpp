#include <thread>

#include <QTemporaryDir>
#include <QtTest>

#include "HIDDevice.h"
#include "SimulatedBench.h"
#include "SimulatedRepeater.h"
#include "TestWindow.h"
#include "Transaction.h"

using Protocol::Command;
using Result = Transaction::Result;
using sim::Fault;
using sim::SimulatedRepeater;

namespace {

// Sends one whole report (hex) and returns the 16-byte reply, or an empty
// array when none came.
QByteArray exchange(HIDDevice& device, const char* hex, int timeout = 100) {
    const QByteArray report = QByteArray::fromHex(hex);
    if (device.write(reinterpret_cast<const unsigned char*>(report.constData()), size_t(report.size())) !=
        report.size())
        return QByteArray();
    unsigned char reply[18] = {};
    if (device.readTimeout(reply, sizeof reply, timeout) != 16) return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(reply), 16);
}

// The repeaters on the bus as a bench script names them: path, card number
// (escaped as the environment writes it), hardware type.
QStringList bus() {
    QStringList found;
    for (const std::string& path : HIDDevice::paths(0x0483, 0x6901)) {
        HIDDevice device;
        if (!device.openPath(path)) continue;
        const QByteArray type = exchange(device, "0012150100000000000000000000000000");
        const QByteArray card = exchange(device, "0012140100000000000000000000000000").mid(4);
        const int end = card.indexOf('\0');
        found << QString::fromStdString(path) + ' ' +
                     QString::fromLatin1((end < 0 ? card : card.left(end)).toPercentEncoding()) + ' ' +
                     QString::number(type.size() == 16 ? int(type.at(4)) : -1);
    }
    return found;
}

sim::BenchSettings faults(const QByteArray& rules) {
    return {QByteArray(), QByteArray(), rules, QByteArray()};
}
}  // namespace

class TestSimulator : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { removeLanguageSettings(); }
    void init() {
        SimulatedRepeater::removeAddedDevices();
        repeater().reset();
    }

    // HIDDevice against the simulated repeater
    void openWithoutDevice();
    void openTwiceKeepsOneHandle();
    void closeIsHarmless();
    void readWithNothingToRead();
    void closedDeviceRefusesTraffic();

    // the simulated repeater itself
    void identityReplies();
    void setThenQueryEchoes();
    void faultOnNthOccurrenceOnly();
    void faultOnEveryOccurrence();
    void unplugFailsEveryLaterCall();
    void logKeepsEveryReportInOrder();
    void searchFromWorkerThread();
    void severalRepeatersOnTheBus();

    // the bench of the simulated programs, from their environment
    void benchFromEnvironment_data();
    void benchFromEnvironment();
    void faultFromEnvironment_data();
    void faultFromEnvironment();
    void stateKeptAtTheReset_data();
    void stateKeptAtTheReset();
    void stateFileNames();
    void arrivalsReachTheWindow();
};

void TestSimulator::openWithoutDevice() {
    repeater().setPresent(false);
    HIDDevice device;
    QVERIFY(!device.open(0x0483, 0x6901, nullptr));
    QVERIFY(!device.isOpen());
    QCOMPARE(repeater().openHandleCount(), 0);
    QVERIFY(!device.errorText().empty());

    repeater().setPresent(true);
    QVERIFY(!device.open(0x0483, 0x6902, nullptr));
    QVERIFY(!device.isOpen());
}

void TestSimulator::openTwiceKeepsOneHandle() {
    {
        HIDDevice device;
        QVERIFY(device.open(0x0483, 0x6901, nullptr));
        QVERIFY(device.open(0x0483, 0x6901, nullptr));
        QVERIFY(device.isOpen());
        QCOMPARE(repeater().openHandleCount(), 1);
    }
    // The last owner going away closes the device.
    QCOMPARE(repeater().openHandleCount(), 0);
}

void TestSimulator::closeIsHarmless() {
    HIDDevice never;
    never.close();
    QVERIFY(!never.isOpen());

    HIDDevice device;
    QVERIFY(device.open(0x0483, 0x6901, nullptr));
    device.close();
    device.close();
    QVERIFY(!device.isOpen());
    QCOMPARE(repeater().openHandleCount(), 0);
}

void TestSimulator::readWithNothingToRead() {
    HIDDevice device;
    QVERIFY(device.open(0x0483, 0x6901, nullptr));
    unsigned char buffer[18] = {};
    QCOMPARE(device.readTimeout(buffer, sizeof buffer, 20), 0);
    QCOMPARE(device.readTimeout(buffer, sizeof buffer, 0), 0);
}

void TestSimulator::closedDeviceRefusesTraffic() {
    HIDDevice device;
    const unsigned char frame[17] = {0x00, 0x12, 0x15, 0x01};
    unsigned char buffer[18] = {};
    QCOMPARE(device.write(frame, sizeof frame), -1);
    QCOMPARE(device.readTimeout(buffer, sizeof buffer, 0), -1);
    QVERIFY(repeater().log().isEmpty());
}

void TestSimulator::identityReplies() {
    sim::Identity identity;
    identity.hardwareType = 0x07;          // outside the known models
    identity.cardNumber = "ABCDEFGHIJKL";  // fills the reply, no zero byte
    identity.hardwareMajor = 2;
    identity.hardwareMinor = 10;
    identity.firmwareMajor = 3;
    identity.firmwareMinor = 1;
    repeater().setIdentity(identity);

    HIDDevice device;
    QVERIFY(device.open(0x0483, 0x6901, nullptr));
    QCOMPARE(exchange(device, "0012150100000000000000000000000000").at(4), '\x07');
    QCOMPARE(exchange(device, "0012140100000000000000000000000000").mid(4), QByteArray("ABCDEFGHIJKL"));
    QCOMPARE(exchange(device, "0012010100000000000000000000000000").mid(4, 2), QByteArray::fromHex("0a02"));
    QCOMPARE(exchange(device, "0012120100000000000000000000000000").mid(4, 2), QByteArray::fromHex("0103"));
}

void TestSimulator::setThenQueryEchoes() {
    HIDDevice device;
    QVERIFY(device.open(0x0483, 0x6901, nullptr));

    // CAN baud rate of channel 2; channel 1 keeps its own.
    QCOMPARE(exchange(device, "0012230600021234abcd00000000000000").at(2), '\x81');
    QByteArray reply = exchange(device, "0012a40102000000000000000000000000");
    QCOMPARE(reply.at(2), '\x86');
    QCOMPARE(reply.mid(5, 4), QByteArray::fromHex("1234abcd"));
    QCOMPARE(exchange(device, "0012a40101000000000000000000000000").mid(5, 4),
             QByteArray::fromHex("001c00e0"));

    // Filter bank 5 of channel 2 (channel in the flags byte).
    QCOMPARE(exchange(device, "0012240b058211010203040a0b0c0d0000").at(2), '\x81');
    reply = exchange(device, "0012a50202050000000000000000000000", 10);
    QCOMPARE(reply.mid(3, 11), QByteArray::fromHex("058211010203040a0b0c0d"));
    const sim::FilterBank bank = repeater().parameters().can[1].banks[5];
    QCOMPARE(int(bank.mode), 0x11);
    QCOMPARE(bank.mask, QByteArray::fromHex("0a0b0c0d"));
    // The same bank of channel 1 is untouched.
    QCOMPARE(exchange(device, "0012a50201050000000000000000000000", 10).mid(6, 8), QByteArray(8, '\0'));

    // Fiber codes.
    QCOMPARE(exchange(device, "00122505000b0502010000000000000000").at(2), '\x81');
    QCOMPARE(exchange(device, "0012260100000000000000000000000000").mid(3, 4),
             QByteArray::fromHex("0b050201"));

    // Route rows from set-frame bytes 5, 6, 9..12 come back at reply bytes 4, 5, 8..11.
    QCOMPARE(exchange(device, "0012270900408000000807060500000000").at(2), '\x81');
    reply = exchange(device, "0012280100000000000000000000000000");
    QCOMPARE(reply.mid(4, 8), QByteArray::fromHex("4080000008070605"));

    QCOMPARE(exchange(device, "0012110100000000000000000000000000", 4000).at(2), '\x81');
    QCOMPARE(repeater().parameters().resetCount, 1);
}

void TestSimulator::faultOnNthOccurrenceOnly() {
    repeater().injectFault(int(Command::QueryCanFilter), Fault::NoReply, 2);
    HIDDevice device;
    QVERIFY(device.open(0x0483, 0x6901, nullptr));
    Transaction transaction(device);
    const QByteArray bank0 = QByteArray::fromHex("0100");
    QCOMPARE(transaction.run(Command::QueryCanFilter, bank0), Result::Ok);
    QCOMPARE(transaction.run(Command::QueryHardwareType), Result::Ok);  // other codes do not count
    QCOMPARE(transaction.run(Command::QueryCanFilter, bank0), Result::NoReply);
    QCOMPARE(transaction.run(Command::QueryCanFilter, bank0), Result::Ok);
    QCOMPARE(transaction.run(Command::QueryCanFilter, bank0), Result::Ok);
}

void TestSimulator::faultOnEveryOccurrence() {
    repeater().injectFault(int(Command::SetCanBaudRate), Fault::WrongStatus, sim::Every);
    repeater().injectFault(sim::AnyCommand, Fault::ShortReply, 3);
    HIDDevice device;
    QVERIFY(device.open(0x0483, 0x6901, nullptr));
    Transaction transaction(device);
    const QByteArray word = QByteArray::fromHex("0001001c00e0");
    QCOMPARE(transaction.run(Command::SetCanBaudRate, word), Result::WrongStatus);
    QCOMPARE(transaction.reply()[2], 0x86);
    QCOMPARE(transaction.run(Command::SetCanBaudRate, word), Result::WrongStatus);
    // Third report of any kind: the first-injected fault wins where both match.
    QCOMPARE(transaction.run(Command::SetCanBaudRate, word), Result::WrongStatus);
    QCOMPARE(transaction.run(Command::QueryHardwareType), Result::Ok);

    repeater().clearFaults();
    repeater().injectFault(sim::AnyCommand, Fault::ShortReply, 2);
    QCOMPARE(transaction.run(Command::QueryHardwareType), Result::Ok);
    QCOMPARE(transaction.run(Command::SetCanBaudRate, word), Result::NoReply);
    QCOMPARE(transaction.run(Command::SetCanBaudRate, word), Result::Ok);
}

void TestSimulator::unplugFailsEveryLaterCall() {
    repeater().injectFault(int(Command::QueryCardNumber), Fault::Unplug, 1);
    HIDDevice device;
    QVERIFY(device.open(0x0483, 0x6901, nullptr));
    Transaction transaction(device);
    QCOMPARE(transaction.run(Command::QueryHardwareType), Result::Ok);
    QCOMPARE(transaction.run(Command::QueryCardNumber), Result::NoReply);
    QCOMPARE(transaction.run(Command::QueryHardwareType), Result::WriteFailed);
    unsigned char buffer[18] = {};
    QCOMPARE(device.readTimeout(buffer, sizeof buffer, 0), -1);
    QVERIFY(!repeater().isPresent());

    HIDDevice other;
    QVERIFY(!other.open(0x0483, 0x6901, nullptr));
    repeater().setPresent(true);
    QVERIFY(device.open(0x0483, 0x6901, nullptr));
    QCOMPARE(transaction.run(Command::QueryHardwareType), Result::Ok);
}

void TestSimulator::logKeepsEveryReportInOrder() {
    repeater().injectFault(int(Command::SetRoute), Fault::WriteError, 1);
    HIDDevice device;
    QVERIFY(device.open(0x0483, 0x6901, nullptr));
    Transaction transaction(device);
    transaction.run(Command::QueryCanBaudRate, QByteArray(1, '\x02'));
    transaction.run(Command::SetRoute);
    transaction.run(Command::Reset);
    const QList<QByteArray> expected = {
        QByteArray::fromHex("0012a40102000000000000000000000000"),
        QByteArray::fromHex("0012270900000000000000000000000000"),
        QByteArray::fromHex("0012110100000000000000000000000000"),
    };
    QCOMPARE(repeater().log(), expected);
}

// The device search runs its transactions on a plain worker thread.
void TestSimulator::searchFromWorkerThread() {
    HIDDevice device;
    Result result = Result::WriteFailed;
    unsigned char type = 0;
    std::thread worker([&] {
        if (!device.open(0x0483, 0x6901, nullptr)) return;
        Transaction transaction(device);
        result = transaction.run(Command::QueryHardwareType);
        type = transaction.replyByte(4);
    });
    worker.join();
    QCOMPARE(result, Result::Ok);
    QCOMPARE(int(type), 4);
}

// Each repeater answers for itself, and the bus lists and opens the present ones.
void TestSimulator::severalRepeatersOnTheBus() {
    using Paths = std::vector<std::string>;
    const char* typeQuery = "0012150100000000000000000000000000";
    SimulatedRepeater& second = SimulatedRepeater::addDevice();
    sim::Identity identity;
    identity.hardwareType = 2;
    second.setIdentity(identity);
    // Listed once per usage, a repeater is still one path.
    second.setUsageCount(2);
    QCOMPARE(HIDDevice::paths(0x0483, 0x6901), (Paths{"sim:hidraw0", "sim:hidraw1"}));
    QVERIFY(HIDDevice::paths(0x0483, 0x6902).empty());

    HIDDevice byPath;
    HIDDevice first;
    QVERIFY(byPath.openPath("sim:hidraw1"));
    QVERIFY(first.open(0x0483, 0x6901, nullptr));
    QCOMPARE(exchange(byPath, typeQuery).at(4), '\x02');
    QCOMPARE(exchange(first, typeQuery).at(4), '\x04');
    QCOMPARE(second.log(), QList<QByteArray>{QByteArray::fromHex(typeQuery)});
    QCOMPARE(repeater().log().size(), 1);
    QVERIFY(!HIDDevice().openPath("sim:hidraw2"));

    // Unplugging one leaves the other working and first in line.
    repeater().setPresent(false);
    QCOMPARE(HIDDevice::paths(0x0483, 0x6901), Paths{"sim:hidraw1"});
    QCOMPARE(exchange(byPath, typeQuery).size(), 16);
    HIDDevice any;
    QVERIFY(any.open(0x0483, 0x6901, nullptr));
    QCOMPARE(exchange(any, typeQuery).at(4), '\x02');

    SimulatedRepeater::removeAddedDevices();
    QVERIFY(exchange(byPath, typeQuery).isEmpty());
    QVERIFY(HIDDevice::paths(0x0483, 0x6901).empty());
    // The next one plugged in takes the free path again.
    QCOMPARE(SimulatedRepeater::addDevice().path(), std::string("sim:hidraw1"));
}

void TestSimulator::benchFromEnvironment_data() {
    QTest::addColumn<QByteArray>("devices");
    QTest::addColumn<QByteArray>("cards");
    QTest::addColumn<QByteArray>("faults");
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QStringList>("bus");  // after it, or as before when refused
    QTest::addColumn<QString>("error");
    const QStringList before{"sim:hidraw0 TV2026000417 4"};
    const auto row = [&](const char* name, const QByteArray& devices, const QByteArray& cards,
                         const QByteArray& faults, const QStringList& bus, const QString& error = {},
                         const QByteArray& state = {}) {
        QTest::newRow(name) << devices << cards << faults << state << bus << error;
    };
    row("nothing set: the one repeater", "", "", "", before);
    row("three", "3", "", "",
        {"sim:hidraw0 TV2026000417 4", "sim:hidraw1 TV2026000418 4", "sim:hidraw2 TV2026000419 4"});
    row("none", "0", "", "", {});
    row("a count outside 0-16 leaves the one", "17", "", "", before);
    row("blank, repeated and escaped card numbers, models", "", "TV1, TV1 type=2,,%09A%2CB type=5", "",
        {"sim:hidraw0 TV1 4", "sim:hidraw1 TV1 2", "sim:hidraw2  4", "sim:hidraw3 %09A%2CB 5"});
    row("one arriving later", "", "TV1, TV2 arrive=60 leave=70.5", "", {"sim:hidraw0 TV1 4"});
    row("faults by card, path, code and for all", "2", "",
        "TV2026000418/reset=unplug; sim:hidraw0/0x24#4=refuse;*/*=late:50; */set-fiber#2=no-store;",
        {"sim:hidraw0 TV2026000417 4", "sim:hidraw1 TV2026000418 4"});

    const QString cards = "TARVANE_SIMULATED_CARDS: ";
    const QString faults = "TARVANE_SIMULATED_FAULTS: ";
    row("both variables", "2", "TV1", "", before,
        "TARVANE_SIMULATED_DEVICES and TARVANE_SIMULATED_CARDS both name the repeaters; set one of them");
    row("a card number of 13 bytes", "", "TV20260004170", "", before,
        cards + "\"TV20260004170\": a card number has at most 12 bytes");
    row("an unknown option", "", "TV1 colour=red", "", before,
        cards + "\"colour=red\": unknown; type=, arrive=, leave= or restart=");
    row("leaving as it arrives", "", "TV1 arrive=5 leave=5", "", before,
        cards + "\"TV1 arrive=5 leave=5\": it must leave after it arrives");
    row("a fault without its step", "", "", "TV2026000417=unplug", before,
        faults + "\"TV2026000417=unplug\": a fault is written WHO/STEP=FAULT");
    row("a card no repeater has", "", "", "TV2026000418/reset=unplug", before,
        faults + "\"TV2026000418/reset=unplug\": no simulated repeater has this card number or path");
    row("an unknown step", "", "", "*/frob=unplug", before,
        faults +
            "\"*/frob=unplug\": unknown step; a command's name (reset, set-filter, query-card, …), its code "
            "(0x11) or *");
    row("an unknown fault", "", "", "*/reset=explode", before,
        faults +
            "\"*/reset=explode\": unknown fault; no-reply, refuse, no-store, unplug, late[:MS] or short");
    row("no-store for a query", "", "", "*/query-card=no-store", before,
        faults + "\"*/query-card=no-store\": a query stores nothing; no-store is for set-… and reset");
    row("a state folder that is not there", "", "", "", before,
        "TARVANE_SIMULATED_STATE: \"no/such/folder\": no such folder", "no/such/folder");
}

// Each value as a bench script sets it; one that is malformed is refused
// with the variable and the part named, and the bus stays as it was.
void TestSimulator::benchFromEnvironment() {
    QFETCH(QByteArray, devices);
    QFETCH(QByteArray, cards);
    QFETCH(QByteArray, faults);
    QFETCH(QByteArray, state);
    QFETCH(QStringList, bus);
    QFETCH(QString, error);
    QString said;
    QCOMPARE(sim::plugInBench({devices, cards, faults, state}, &said), error.isEmpty());
    QCOMPARE(said, error);
    QCOMPARE(::bus(), bus);
}

void TestSimulator::faultFromEnvironment_data() {
    QTest::addColumn<QByteArray>("rule");
    QTest::addColumn<QList<int>>("results");  // of three baud-rate frames, as Transaction::Result
    QTest::addColumn<bool>("stored");         // the third frame's word
    QTest::addColumn<bool>("present");
    const auto ok = int(Result::Ok), noReply = int(Result::NoReply), refused = int(Result::WrongStatus);
    QTest::newRow("no reply") << QByteArray("*/set-baud=no-reply") << QList<int>{noReply, noReply, noReply}
                              << true << true;
    QTest::newRow("refused, the second only")
        << QByteArray("TV2026000417/set-baud#2=refuse") << QList<int>{ok, refused, ok} << true << true;
    QTest::newRow("refused") << QByteArray("*/0x23=refuse") << QList<int>{refused, refused, refused} << false
                             << true;
    QTest::newRow("acknowledged, not stored")
        << QByteArray("*/set-baud=no-store") << QList<int>{ok, ok, ok} << false << true;
    QTest::newRow("unplugged") << QByteArray("sim:hidraw0/set-baud#3=unplug") << QList<int>{ok, ok, noReply}
                               << false << false;
    // Each late reply waits in the queue, so that the next frame takes it.
    QTest::newRow("late") << QByteArray("*/set-baud#1=late:80") << QList<int>{noReply, ok, ok} << true
                          << true;
    QTest::newRow("a short reply") << QByteArray("*/*=short") << QList<int>{noReply, noReply, noReply} << true
                                   << true;
}

// Each fault on the step it names, as the program's transaction sees it.
void TestSimulator::faultFromEnvironment() {
    QFETCH(QByteArray, rule);
    QFETCH(QList<int>, results);
    QFETCH(bool, stored);
    QFETCH(bool, present);
    QString error;
    QVERIFY2(sim::plugInBench(faults(rule), &error), qPrintable(error));
    HIDDevice device;
    QVERIFY(device.open(0x0483, 0x6901, nullptr));
    Transaction transaction(device);
    QList<int> seen;
    for (const char* word : {"000100120005", "00010012000a", "00010012003b"})
        seen << int(transaction.run(Command::SetCanBaudRate, QByteArray::fromHex(word)));
    if (rule.contains("refuse"))
        QCOMPARE(int(transaction.replyByte(2)), seen.last() == int(Result::Ok) ? 0x81 : 0x80);
    QCOMPARE(seen, results);
    QCOMPARE(repeater().parameters().can[0].bitTiming == QByteArray::fromHex("0012003B"), stored);
    QCOMPARE(repeater().isPresent(), present);
}

void TestSimulator::stateKeptAtTheReset_data() {
    QTest::addColumn<QByteArray>("rule");  // on the reset; "none": no reset sent
    QTest::addColumn<bool>("kept");
    QTest::newRow("acknowledged") << QByteArray() << true;
    QTest::newRow("taken, its reply lost") << QByteArray("*/reset=no-reply") << true;
    QTest::newRow("no reset") << QByteArray("none") << false;
    QTest::newRow("unplugged at the reset") << QByteArray("*/reset=unplug") << false;
    QTest::newRow("the reset refused") << QByteArray("*/reset=refuse") << false;
    QTest::newRow("the reset acknowledged, nothing kept") << QByteArray("*/reset=no-store") << false;
}

// A write's frames are kept, for the next run, once the repeater takes its
// reset, as a real one keeps them once reset; the next run sees them.
void TestSimulator::stateKeptAtTheReset() {
    QFETCH(QByteArray, rule);
    QFETCH(bool, kept);
    QTemporaryDir folder;
    const sim::BenchSettings run{"2", "", rule == "none" ? "" : rule, folder.path().toLocal8Bit()};
    QString error;
    QVERIFY2(sim::plugInBench(run, &error), qPrintable(error));
    {
        HIDDevice device;
        QVERIFY(device.open(0x0483, 0x6901, nullptr));
        Transaction transaction(device);
        QCOMPARE(transaction.run(Command::SetCanBaudRate, QByteArray::fromHex("00020012003B")), Result::Ok);
        QCOMPARE(transaction.run(Command::SetFiberBaudRate, QByteArray::fromHex("00050c010a")), Result::Ok);
        if (rule != "none") transaction.run(Command::Reset);
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
             kept ? QStringList{"TV2026000417.txt"} : QStringList());

    // The next run: the first repeater as its last reset left it, the second as new.
    QVERIFY2(sim::plugInBench({"2", "", "", run.state}, &error), qPrintable(error));
    const sim::Parameters held = repeater().parameters();
    QCOMPARE(held.can[1].bitTiming, QByteArray::fromHex(kept ? "0012003B" : "001C00E0"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(held.fiber.data()), 4),
             QByteArray::fromHex(kept ? "050c010a" : "0b0b0b0b"));
    QCOMPARE(held.can[0].bitTiming, QByteArray::fromHex("001C00E0"));
    QCOMPARE(held.resetCount, 0);  // a new run
}

// One file per card number, in the program's format; a card number that is
// blank, shared or no plain file name goes by the repeater's path. A file
// that is no parameter file stops the bench.
void TestSimulator::stateFileNames() {
    QTemporaryDir folder;
    const sim::BenchSettings run{"", "TV1, tv1, ,A/B, TV2 type=2, TV3 type=7", "",
                                 folder.path().toLocal8Bit()};
    QString error;
    QVERIFY2(sim::plugInBench(run, &error), qPrintable(error));
    for (const std::string& path : HIDDevice::paths(0x0483, 0x6901)) {
        HIDDevice device;
        QVERIFY(device.openPath(path));
        QCOMPARE(exchange(device, "0012110100000000000000000000000000", 4000).mid(2, 1), QByteArray("\x81"));
    }
    const QStringList files = QDir(folder.path()).entryList(QDir::Files);
    QCOMPARE(files, (QStringList{"sim-hidraw0.txt", "sim-hidraw1.txt", "sim-hidraw2.txt", "sim-hidraw3.txt",
                                 "TV2.txt"}));
    // Line ends as the platform's files have them.
    QVERIFY(readFile(folder.filePath("TV2.txt"))
                .replace("\r\n", "\n")
                .contains("\"Baud\": [\n            \"0b\"\n        ],"));

    QFile::resize(folder.filePath("TV2.txt"), 40);
    QVERIFY(!sim::plugInBench(run, &error));
    QVERIFY2(error.startsWith("TARVANE_SIMULATED_STATE: Failed to read the parameter file. " +
                              QDir::toNativeSeparators(folder.filePath("TV2.txt")) + ": line "),
             qPrintable(error));
}

// Repeaters that arrive and leave at their times reach the simulated
// window as a real one plugged in or pulled out does.
void TestSimulator::arrivalsReachTheWindow() {
    QString error;
    // The first leaves late enough for a window built under the sanitizers
    // (seconds) to have read it first.
    QVERIFY(sim::plugInBench({"", "TV2026000501 leave=8, TV2026000502 arrive=0.3", "", ""}, &error));
    TestWindow window;
    QTRY_COMPARE_WITH_TIMEOUT(window.deviceName(), QString("Orvex-A4_TV2026000501"), 7000);
    QTRY_COMPARE(window.m_pMenuDevices->actions().size(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(window.deviceName(), QString("Orvex-A4_TV2026000502"), 20000);
    QVERIFY(!window.m_pMenu->actions().contains(window.m_pMenuDevices->menuAction()));
}

QTEST_MAIN(TestSimulator)
#include "tst_simulator.moc"
