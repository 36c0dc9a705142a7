#include <thread>

#include <QtTest>

#include "HIDDevice.h"
#include "SimulatedRepeater.h"
#include "Transaction.h"

using Protocol::Command;
using Result = Transaction::Result;
using sim::Fault;
using sim::SimulatedRepeater;

namespace {
SimulatedRepeater& repeater() {
    return SimulatedRepeater::instance();
}

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
}  // namespace

class TestSimulator : public QObject {
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
