#include <QtTest>

#include "HIDDevice.h"
#include "SimulatedRepeater.h"
#include "Transaction.h"

using Protocol::Command;
using Result = Transaction::Result;
using sim::Fault;
using sim::SimulatedRepeater;

Q_DECLARE_METATYPE(Transaction::Result)
Q_DECLARE_METATYPE(sim::Fault)

namespace {
SimulatedRepeater& repeater() {
    return SimulatedRepeater::instance();
}
}  // namespace

class TestTransaction : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void queryAnswered();
    void sendsExactlyTheFrame();
    void failures_data();
    void failures();
    void refusedFrames_data();
    void refusedFrames();
    void closedDevice();
    void lateReplyNotTakenAsAcknowledgement();
    void lateReplyNotTakenForNextQuery();
    void staleRepliesDiscarded_data();
    void staleRepliesDiscarded();

private:
    HIDDevice* m_device = nullptr;
};

void TestTransaction::init() {
    repeater().reset();
    m_device = new HIDDevice;
    QVERIFY(m_device->open(0x0483, 0x6901, nullptr));
}

void TestTransaction::cleanup() {
    delete m_device;
    m_device = nullptr;
}

void TestTransaction::queryAnswered() {
    Transaction transaction(*m_device);
    QCOMPARE(transaction.run(Command::QueryHardwareType), Result::Ok);
    QCOMPARE(int(transaction.replyByte(4)), 4);
    // The buffer's two extra bytes stay zero, so a text reply always ends.
    QCOMPARE(transaction.reply()[16], 0);
    QCOMPARE(transaction.reply()[17], 0);
    QCOMPARE(transaction.replyBytes().size(), 16);
}

void TestTransaction::sendsExactlyTheFrame() {
    Transaction transaction(*m_device);
    QCOMPARE(transaction.run(Command::Reset, QByteArray(1, '\0')), Result::Ok);
    const QList<QByteArray> log = repeater().log();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log.first(), QByteArray::fromHex("0012110100000000000000000000000000"));
}

void TestTransaction::failures_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<Result>("expected");

    const QByteArray none(1, '\0');
    const QByteArray channel1(1, '\x01');
    const int setBaud = int(Command::SetCanBaudRate);
    const QByteArray baudPayload = QByteArray::fromHex("0001001c00e0");
    const int type = int(Command::QueryHardwareType);
    const int queryBaud = int(Command::QueryCanBaudRate);

    QTest::newRow("write returns 16") << type << none << Fault::ShortWrite << 16 << Result::WriteFailed;
    QTest::newRow("write returns 0") << type << none << Fault::ShortWrite << 0 << Result::WriteFailed;
    QTest::newRow("write returns 18") << type << none << Fault::ShortWrite << 18 << Result::WriteFailed;
    QTest::newRow("write returns -1") << type << none << Fault::WriteError << -1 << Result::WriteFailed;
    QTest::newRow("read returns 0") << type << none << Fault::NoReply << -1 << Result::NoReply;
    QTest::newRow("read returns -1") << type << none << Fault::Unplug << -1 << Result::NoReply;
    QTest::newRow("read returns 15") << type << none << Fault::ShortReply << -1 << Result::NoReply;
    QTest::newRow("read returns 17") << type << none << Fault::LongReply << -1 << Result::NoReply;
    QTest::newRow("set answered 0x86")
        << setBaud << baudPayload << Fault::WrongStatus << 0x86 << Result::WrongStatus;
    QTest::newRow("set answered 0x00")
        << setBaud << baudPayload << Fault::WrongStatus << 0x00 << Result::WrongStatus;
    QTest::newRow("reset answered 0x86")
        << int(Command::Reset) << none << Fault::WrongStatus << 0x86 << Result::WrongStatus;
    QTest::newRow("baud query answered 0x81")
        << queryBaud << channel1 << Fault::WrongStatus << 0x81 << Result::WrongStatus;
    // Queries other than the baud-rate query are used without a status test.
    QTest::newRow("type query answered 0x86") << type << none << Fault::WrongStatus << 0x86 << Result::Ok;
    QTest::newRow("route query answered 0x00")
        << int(Command::QueryRoute) << none << Fault::WrongStatus << 0x00 << Result::Ok;
}

void TestTransaction::failures() {
    QFETCH(int, command);
    QFETCH(QByteArray, payload);
    QFETCH(Fault, fault);
    QFETCH(int, value);
    QFETCH(Result, expected);

    repeater().injectFault(command, fault, sim::Every, value);
    Transaction transaction(*m_device);
    QCOMPARE(transaction.run(Command(command), payload), expected);
    if (expected == Result::NoReply || expected == Result::WriteFailed) {
        QCOMPARE(transaction.replyBytes(), QByteArray(16, '\0'));
    }
}

void TestTransaction::refusedFrames_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("16 bytes") << QByteArray::fromHex("00121501000000000000000000000000");
    QTest::newRow("18 bytes") << QByteArray::fromHex("001215010000000000000000000000000000");
    QTest::newRow("unknown command") << QByteArray::fromHex("0012130100000000000000000000000000");
    QTest::newRow("payload too long") << Protocol::frame(Command::SetCanBaudRate, QByteArray(7, '\x01'));
}

void TestTransaction::refusedFrames() {
    QFETCH(QByteArray, frame);
    Transaction transaction(*m_device);
    QCOMPARE(transaction.run(frame), Result::WriteFailed);
    QVERIFY(repeater().log().isEmpty());
}

void TestTransaction::closedDevice() {
    m_device->close();
    Transaction transaction(*m_device);
    QCOMPARE(transaction.run(Command::QueryHardwareType), Result::WriteFailed);
}

// A set command whose acknowledgement comes too late, followed by one that
// is never acknowledged: the late 0x81 must not pass for the second one.
void TestTransaction::lateReplyNotTakenAsAcknowledgement() {
    repeater().injectFault(int(Command::SetFiberBaudRate), Fault::LateReply, 1, 150);
    repeater().injectFault(int(Command::SetRoute), Fault::NoReply, 1);
    Transaction transaction(*m_device);

    QCOMPARE(transaction.run(Command::SetFiberBaudRate, QByteArray::fromHex("000b0b0b0b")), Result::NoReply);
    QTRY_COMPARE(repeater().arrivedReplyCount(), 1);

    QCOMPARE(transaction.run(Command::SetRoute, QByteArray::fromHex("004f8f0000c7cbcdce")), Result::NoReply);
    QCOMPARE(repeater().queuedReplyCount(), 0);
}

// A late identity reply must not be read as the answer to the next query.
void TestTransaction::lateReplyNotTakenForNextQuery() {
    sim::Identity identity;
    identity.hardwareType = 0x03;
    identity.cardNumber = "CARD-0001";
    repeater().setIdentity(identity);
    repeater().injectFault(int(Command::QueryHardwareType), Fault::LateReply, 1, 150);
    Transaction transaction(*m_device);

    QCOMPARE(transaction.run(Command::QueryHardwareType), Result::NoReply);
    QTRY_COMPARE(repeater().arrivedReplyCount(), 1);

    QCOMPARE(transaction.run(Command::QueryCardNumber), Result::Ok);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(transaction.reply()) + 4), QByteArray("CARD-0001"));
    // The baud-rate query after it gets its own 0x86, not a stale reply.
    repeater().injectFault(int(Command::QueryCardNumber), Fault::LateReply, 1, 150);
    QCOMPARE(transaction.run(Command::QueryCardNumber), Result::NoReply);
    QTRY_COMPARE(repeater().arrivedReplyCount(), 1);
    QCOMPARE(transaction.run(Command::QueryCanBaudRate, QByteArray(1, '\x01')), Result::Ok);
    QCOMPARE(transaction.replyBytes().mid(5, 4), QByteArray::fromHex("001c00e0"));
}

void TestTransaction::staleRepliesDiscarded_data() {
    QTest::addColumn<int>("stale");
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
}

// Every reply still queued from earlier queries goes before the next one is
// sent, however many there are.
void TestTransaction::staleRepliesDiscarded() {
    QFETCH(int, stale);
    repeater().injectFault(int(Command::QueryHardwareType), Fault::LateReply, sim::Every, 150);
    Transaction transaction(*m_device);
    for (int i = 0; i < stale; ++i) QCOMPARE(transaction.run(Command::QueryHardwareType), Result::NoReply);
    QTRY_COMPARE(repeater().arrivedReplyCount(), stale);

    QCOMPARE(transaction.run(Command::QueryCardNumber), Result::Ok);
    QCOMPARE(transaction.replyBytes().mid(4, 12), QByteArray("TV2026000417"));
}

QTEST_GUILESS_MAIN(TestTransaction)
#include "tst_transaction.moc"
