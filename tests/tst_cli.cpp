// The command line against the simulated repeaters: the same file as the
// window's Read and Save, the same frames as its Open and Write, diff, every
// exit status, several devices, a device that stops mid-write, and the real
// program run as a process.
#include <QBuffer>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>
#include <cstdio>
#ifdef Q_OS_UNIX
#include <csignal>
#endif

#include "CliManual.h"
#include "DeviceParameters.h"
#include "ModalAnswerer.h"
#include "SystemLimits.h"
#include "TarvaneCli.h"
#include "TarvaneVersion.h"
#include "TestWindow.h"

using sim::Fault;

namespace {

// Bank 4 of channel 1 in the parameter file below, as the filter line reads
// it: a 16-bit list of 12 34 56 78 and 9A BC DE F0, whose halves are an
// extended and a standard remote frame each (0x5678, 0x9ABC: IDE set;
// 0xDEF0: standard 0x6F7; 0x1234: extended bits set in a standard frame).
const QString kBank4 = QString::fromUtf8(
    "extended remote frames 0x0ACC0000\u20130x0ACC7FFF, 0x13560000\u20130x13567FFF; standard remote frames "
    "0x6F7; 65537 identifiers in all; filter 2: never matches: IDE is 0 (standard frame), yet extended "
    "identifier bits 0x00040000 must be 1");

struct CliRun {
    int status;
    QByteArray out;
    QString err;
};

// An argument "<FILE" at the end makes FILE standard input, as a shell does.
CliRun cli(QStringList arguments, bool progress = false, const QByteArray& input = QByteArray()) {
    QBuffer in;
    QFile inFile;
    QBuffer out;
    QBuffer err;
    in.setData(input);
    in.open(QIODevice::ReadOnly);
    if (!arguments.isEmpty() && arguments.last().startsWith('<')) {
        // Through the C library, as the program's own standard input is opened.
        const QByteArray name = QFile::encodeName(arguments.takeLast().mid(1));
        inFile.open(std::fopen(name.constData(), "rb"), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    }
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    QIODevice* stdinDevice = inFile.isOpen() ? static_cast<QIODevice*>(&inFile) : &in;
    const int status = runCli(arguments, CliStreams{out, err, progress, stdinDevice});
    return {status, out.data(), QString::fromUtf8(err.data())};
}

QList<QByteArray> identityQueries() {
    return {frame17("0012150100"), frame17("0012140100"), frame17("0012010100"), frame17("0012120100")};
}

// A parameter file as a technician would keep one: a named and a custom
// bit rate, a few banks set, fiber codes, and CAN1 not routed to the fibers.
QByteArray parameterFile() {
    const auto dataList = [](int setRow, const char* set) {
        QJsonArray rows;
        for (int row = 0; row < 14; ++row)
            rows.append(row == setRow ? QString(set)
                                      : QString(row == 0 ? "1, 0, 1, 00 00 00 00, 00 00 00 00"
                                                         : "0, 0, 1, 00 00 00 00, 00 00 00 00"));
        return rows;
    };
    const QJsonObject can1{{"ChannalID", 1},
                           {"BaudRate", "0x0012003B"},
                           {"DataList", dataList(3, "1, 1, 0, 12 34 56 78, 9ABCDEF0")}};
    const QJsonObject can2{{"ChannalID", 2},
                           {"BaudRate", "0x0012001d"},
                           {"DataList", dataList(13, "1, 0, 1, 00 00 07 FF, 1F FF FF FF")}};
    const QJsonObject fiber{{"Baud", QJsonArray{"05", "0c", "01", "0a"}}, {"Model", -1}};
    const QJsonArray route{"0 1 0 0 0 0 ", "1 0 1 1 1 1 ", "1 1 0 1 1 1 ",
                           "1 1 1 0 1 1 ", "1 1 1 1 0 1 ", "1 1 1 1 1 0 "};
    return QJsonDocument(
               QJsonObject{{"CANParam", QJsonArray{can1, can2}}, {"FiberParam", fiber}, {"Route", route}})
        .toJson();
}

#ifdef Q_OS_UNIX
// Signals sent as the program starts, before it has taken any step.
const QByteArray kAtStart("at the start");

// The program started as a shell leaves it: some signals ignored (nohup,
// trap '' INT), some blocked, so that those sent at once wait for it.
class ChildProcess : public QProcess {
public:
    QList<int> ignored;
    QList<int> blocked;

protected:
    void setupChildProcess() override {
        for (int signal : qAsConst(ignored)) std::signal(signal, SIG_IGN);
        sigset_t set;
        sigemptyset(&set);
        for (int signal : qAsConst(blocked)) sigaddset(&set, signal);
        sigprocmask(SIG_BLOCK, &set, nullptr);
    }
};
#endif

void setIdentity(sim::SimulatedRepeater& device, unsigned char type, const QByteArray& card) {
    sim::Identity identity;
    identity.hardwareType = type;
    identity.cardNumber = card;
    device.setIdentity(identity);
}

}  // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        removeLanguageSettings();
        // Files the commands are given by relative names ("x", or "--json"
        // taken for a file by a fault) go into the test's folder, removed
        // with it, and not beside the test programs.
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    // Windows removes no folder that is a program's current one.
    void cleanupTestCase() { QDir::setCurrent(m_startFolder); }
    void init() {
        sim::SimulatedRepeater::removeAddedDevices();
        repeater().reset();
        QVERIFY(m_dir.isValid());
        QVERIFY(writeFile(path("params.txt"), parameterFile()));
    }

    // For each model, the command line reads the file the window's Read and
    // Save give, and sends the frames its Open and Write send.
    void sameAsTheWindow_data() {
        QTest::addColumn<int>("type");
        QTest::newRow("type 4: two CAN, four fiber channels") << 4;
        QTest::newRow("type 2: two CAN, one fiber channel") << 2;
    }
    void sameAsTheWindow() {
        QFETCH(int, type);
        const sim::Parameters p = deviceParameters();
        repeater().setParameters(p);
        QFile::remove(path("window.txt"));  // else the dialog asks whether to replace it
        QList<QByteArray> windowFrames;
        {
            auto window = connectedWindow(static_cast<unsigned char>(type));
            QVERIFY(window);
            ModalAnswerer answerer;
            answerer.queueFile(path("window.txt"));
            answerer.queueFile(path("params.txt"));
            window->button("m_pushButtonRead")->click();
            window->button("m_pushButtonSaveToFile")->click();
            window->button("m_pushButtonReadFromFile")->click();
            repeater().clearLog();
            window->button("m_pushButtonWrite")->click();
            // The device's word of channel 2 is no word it could be sent.
            QCOMPARE(
                answerer.texts(),
                (QStringList{
                    "读取成功",
                    "保存完成\n\n以下参数还不能写入设备：\nCAN通道2 波特率：字段外的位不为0：0x10005400",
                    type == 4 ? "读取完成"
                              : "读取完成\n\nOrvex-A2没有光纤2、光纤3、光纤4，文件中这些通道的参数未使用。",
                    "设置成功"}));
            windowFrames = repeater().log();
        }
        const QByteArray windowFile = readFile(path("window.txt"));
        QVERIFY(windowFile.contains("\"BaudRate\": \"0x00120005\""));
        QCOMPARE(windowFrames.size(), 33);
        QCOMPARE(windowFrames[0], frame17("0012230600 01 0012003B"));
        QCOMPARE(windowFrames[4], frame17("0012240B 03 81 10 12345678 9ABCDEF0"));
        QCOMPARE(windowFrames[15], frame17("0012230600 02 0012001D"));
        QCOMPARE(windowFrames[29], frame17("0012240B 0D 82 01 000007FF 1FFFFFFF"));
        QCOMPARE(windowFrames[30], type == 4 ? frame17("001225050005 0C 01 0A") : frame17("001225050005"));
        QCOMPARE(windowFrames[31],
                 type == 4 ? frame17("001227090040 8F 0000 C7CBCDCE") : frame17("001227090040 88 0000 C0"));
        QCOMPARE(windowFrames[32], frame17("0012110100"));

        repeater().setParameters(p);  // what the window read
        const CliRun toFile = cli({"read", "-o", path("cli.txt")});
        QCOMPARE(toFile.status, 0);
        QCOMPARE(toFile.err, QString("Read successfully\nSave successfully\n"));
        QVERIFY(toFile.out.isEmpty());
        QCOMPARE(readFile(path("cli.txt")), windowFile);
        // To standard output, with the progress line that only a terminal gets.
        const CliRun toOutput = cli({"read", "-o", "-"}, true);
        QCOMPARE(toOutput.status, 0);
        // Line ends as written here; the C library gives them the platform's
        // form on the way out, as Save's text mode does in the file.
        QCOMPARE(toOutput.out, readFile(path("window.txt"), QIODevice::Text));
        QVERIFY(toOutput.err.startsWith("\rReading: step 1 of 32\rReading: step 2 of 32\r"));
        QVERIFY(toOutput.err.endsWith("\rReading: step 32 of 32\nRead successfully\n"));

        repeater().clearLog();
        const CliRun dryRun = cli({"write", path("params.txt"), "--dry-run"});
        QCOMPARE(dryRun.status, 0);
        QStringList lines;
        for (const QByteArray& frame : qAsConst(windowFrames)) lines << frame.toHex(' ').toUpper();
        QCOMPARE(QString::fromLatin1(dryRun.out).split('\n', Qt::SkipEmptyParts), lines);
        QVERIFY(dryRun.out.startsWith("00 12 23 06 00 01 00 12 00 3B 00 00 00 00 00 00 00\n"));
        // The file's codes for fiber channels the model lacks are left out, each said so.
        QCOMPARE(dryRun.err.count("Note: FiberParam.Baud["), type == 4 ? 0 : 3);
        QCOMPARE(repeater().log(), identityQueries());  // nothing but the identity
        QCOMPARE(cli({"write", "-", "--dry-run"}, false, parameterFile()).out,
                 dryRun.out);  // from standard input
        // The same frames for the model named, with no repeater asked.
        repeater().clearLog();
        QCOMPARE(cli({"write", path("params.txt"), "--dry-run", "--type", QString::number(type)}).out,
                 dryRun.out);
        QVERIFY(repeater().log().isEmpty());

        repeater().clearLog();
        const CliRun written = cli({"write", path("params.txt")});
        QCOMPARE(written.status, 0);
        // CAN2's bank 14 compares the reserved bit 0 as 1: it never matches, and is sent all the same.
        QCOMPARE(written.err.split('\n').filter("Note: ").size(), type == 4 ? 1 : 4);
        QVERIFY(
            written.err.contains("Note: CAN channel 2 row 14: never matches: the reserved bit 0 is 1, and it "
                                 "is 0 in every frame received; in use, but no frame can pass\n"));
        QVERIFY(written.err.endsWith("\nsuccessfully set\n") || written.err == "successfully set\n");
        QVERIFY(written.out.isEmpty());
        QCOMPARE(repeater().log(), identityQueries() + windowFrames);

        const CliRun same = cli({"diff", path("params.txt")});
        QCOMPARE(same.status, 0);
        QVERIFY(same.out.isEmpty());
        QCOMPARE(same.err.split('\n', Qt::SkipEmptyParts).size(), type == 4 ? 0 : 3);
    }

    // Each model edited offline: chosen, edited, saved and defaulted without
    // a repeater (the file byte for byte the one the same edits give with a
    // repeater of the model); the file opened in a window without a model,
    // which takes it from the file; saved again as a repeater is plugged in
    // (it waits for the dialog, and asks nothing then), and written to it:
    // the frames that the command line's dry run prints for the model from
    // the file as saved.
    void offlineEveryModel_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("baud");       // saved, the last fiber channel at 50K
        QTest::addColumn<QStringList>("offered");    // the models Open offers for the file
        QTest::addColumn<QByteArray>("routeFrame");  // CAN1 no longer routed to CAN2
        const QStringList two{"Orvex-A3", "Orvex-B1"};
        QTest::newRow("Orvex-A1") << 1 << QStringList() << QStringList{"Orvex-A1"}
                                  << frame17("0012270900 00 80");
        QTest::newRow("Orvex-A2") << 2 << QStringList{"05"} << QStringList{"Orvex-A2"}
                                  << frame17("0012270900 08 88 0000 C0");
        QTest::newRow("Orvex-A3") << 3 << QStringList{"0b", "05"} << two
                                  << frame17("0012270900 0C 8C 0000 C4 C8");
        QTest::newRow("Orvex-A4") << 4 << QStringList{"0b", "0b", "0b", "05"} << QStringList{"Orvex-A4"}
                                  << frame17("0012270900 0F 8F 0000 C7 CB CD CE");
        QTest::newRow("Orvex-B1") << 5 << QStringList{"0b", "05"} << two
                                  << frame17("0012270900 0C 8C 0000 C4 C8");
    }
    void offlineEveryModel() {
        QFETCH(int, type);
        QFETCH(QStringList, baud);
        const QString model = QTest::currentDataTag();
        const QString file = m_dir.filePath(model + ".txt");  // new: no question whether to replace it
        ModalAnswerer answerer;
        // Through the widgets: the calculator, a bank, the last fiber channel, a route.
        const auto edit = [&](TestWindow& w) {
            answerer.queueDialog([](QDialog* calculator) {
                calculator->findChild<QLineEdit*>("m_editBitRate")->setText("250");
                calculator->accept();
            });
            QTest::mouseClick(w.channal(0)->findChild<QPushButton*>("m_pushButtonBitTiming"), Qt::LeftButton);
            auto* banks = w.channal(1)->findChild<QTableWidget*>("m_pTableWidgetDataList");
            banks->item(4, 0)->setCheckState(Qt::Checked);
            banks->item(4, 3)->setText("12 34 56 78");
            const QString lastFiber = QString("m_comboBoxBaudRate%1").arg(baud.size());
            if (!baud.isEmpty())
                w.m_pOpticalFiberParamWidget->findChild<QComboBox*>(lastFiber)->setCurrentIndex(4);
            QTest::mousePress(w.m_pRouteParamWidget->findChild<QTableWidget*>()->cellWidget(1, 3),
                              Qt::LeftButton);
            answerer.queueFile(w.m_bConnected ? file + ".online" : file);
            w.button("m_pushButtonSaveToFile")->click();
        };
        if (auto online = connectedWindow(static_cast<unsigned char>(type))) edit(*online);
        repeater().setPresent(false);
        TestWindow w;
        TestWindow opening;
        QTRY_COMPARE(answerer.texts().mid(1), (QStringList{"搜索设备失败", "搜索设备失败"}));
        w.offlineEntry(model)->trigger();
        edit(w);
        QCOMPARE(readFile(file), readFile(file + ".online"));
        QCOMPARE(QJsonDocument::fromJson(readFile(file))["FiberParam"]["Baud"],
                 QJsonArray::fromStringList(baud));
        w.button("m_pushButtonDefault")->click();
        QCOMPARE(w.channal(0)->baudRateFrame(), frame17("0012230600 01 001C00E0"));

        answerer.queueFile(file);
        // One model that fits is taken; among several the user chooses.
        QFETCH(QStringList, offered);
        bool asked = false;
        answerer.queueDialog([&](QDialog* dialog) {
            asked = true;
            QCOMPARE(static_cast<QInputDialog*>(dialog)->comboBoxItems(), offered);
            static_cast<QInputDialog*>(dialog)->setTextValue(model);
            dialog->accept();
        });
        opening.button("m_pushButtonReadFromFile")->click();
        QCOMPARE(asked, offered.size() > 1);
        QCOMPARE(opening.deviceName(), "离线：" + model);
        opening.button("m_pushButtonWrite")->click();
        answerer.queueFile(m_dir.filePath(model + "-again.txt"), [&] {
            repeater().setPresent(true);
            emit opening.deviceChanged(1);
            QTest::qWait(100);
            QCOMPARE(opening.deviceName(), "离线：" + model);
        });
        opening.button("m_pushButtonSaveToFile")->click();
        QTRY_COMPARE(opening.deviceName(), model + "_TV2026000417");
        repeater().clearLog();
        opening.button("m_pushButtonWrite")->click();
        QCOMPARE(answerer.texts(), (QStringList{"保存完成", "搜索设备失败", "搜索设备失败", "保存完成",
                                                "读取完成", "设备未连接", "保存完成", "设置成功"}));

        const QList<QByteArray> written = repeater().log();
        QCOMPARE(written.value(20), frame17("0012240B 04 82 01 12345678 00000000"));
        QCOMPARE(written.value(30), frame17("0012250500" + baud.join("").toLatin1()));
        QTEST(written.value(31), "routeFrame");
        QProcess process;
        process.start(m_cliProgram, {"write", file, "--dry-run", "--type", QString::number(type)},
                      QIODevice::ReadWrite | QIODevice::Text);
        QVERIFY(process.waitForFinished(30000));
        QStringList lines;
        for (const QByteArray& frame : written) lines << frame.toHex(' ').toUpper();
        QCOMPARE(QString::fromLatin1(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts), lines);
    }

    // One line for each field that differs, in the pages' order; bit rates
    // decoded as the channel page shows them.
    void diffListsEachDifferentField() {
        // Prefixes that the fields take, in any case: nothing differs once written.
        QVERIFY(
            writeFile(path("prefixed.txt"),
                      parameterFile().replace("9ABCDEF0", "0x9ABCDEF0").replace("0x0012003B", "0X0012003B")));
        QCOMPARE(cli({"write", path("prefixed.txt")}).status, 0);
        QCOMPARE(cli({"diff", path("prefixed.txt")}).status, 0);

        QCOMPARE(cli({"write", path("params.txt")}).status, 0);
        sim::Parameters p = repeater().parameters();
        p.can[0].bitTiming = QByteArray::fromHex("001C00E0");
        p.can[0].banks[0].mode = 0x10;
        p.can[0].banks[3].id = QByteArray::fromHex("11223344");
        p.can[1].bitTiming = QByteArray::fromHex("0012003B");
        p.fiber[1] = 0x0b;
        p.route[0] = 0x48;
        repeater().setParameters(p);

        const CliRun run = cli({"diff", path("params.txt")});
        QCOMPARE(run.status, 1);
        QCOMPARE(
            QString::fromUtf8(run.out),
            QString(
                "CAN1\t-\tBaud rate\t0x0012003B (100 kbit/s, sample point 66.7 %, SJW 1, 6 quanta per bit)"
                "\t0x001C00E0 (10 kbit/s, sample point 87.5 %, SJW 1, 16 quanta per bit)\n"
                "CAN1\t1\tWork mode\t0\t1\n"
                "CAN1\t1\tBit width\t1\t0\n"
                // A register with what its bank lets through: the list's four 16-bit
                // identifiers, one of them a standard frame whose extended bits are set.
                "CAN1\t4\tID register\t12 34 56 78 (" +
                kBank4 +
                ")\t11 22 33 44 (standard remote frames 0x6F7; "
                "extended remote frames 0x13560000\u20130x13567FFF; 32769 identifiers in all; filter 1: "
                "never matches: "
                "IDE is 0 (standard frame), yet extended identifier bits 0x00000004 must be 1; filter 2: "
                "never "
                "matches: IDE is 0 (standard frame), yet extended identifier bits 0x00020000 must be 1)\n"
                // The file's custom word in the same form as the device's table word.
                "CAN2\t-\tBaud rate\t0x0012001D (200 kbit/s, sample point 66.7 %, SJW 1, 6 quanta per bit)"
                "\t0x0012003B (100 kbit/s, sample point 66.7 %, SJW 1, 6 quanta per bit)\n"
                "Fiber2\t-\tBaud rate\t0c 2250K\t0b 1380K\n"
                "CAN1\t-\tRoute to Fiber1\t0\t1\n"));
        QVERIFY(run.err.isEmpty());

        // Plain values for scripts, the bank as the table numbers its rows, the same keys in each.
        const CliRun json = cli({"diff", path("params.txt"), "--json"});
        QCOMPARE(json.status, 1);
        QCOMPARE(
            QJsonDocument::fromJson(json.out).toJson(QJsonDocument::Compact),
            QByteArray(
                R"([{"bank":null,"channel":"CAN1","deviceValue":"0x001C00E0","field":"baudRate",)"
                R"("fileValue":"0x0012003B","to":null},)"
                R"({"bank":1,"channel":"CAN1","deviceValue":"1","field":"workMode","fileValue":"0","to":null},)"
                R"({"bank":1,"channel":"CAN1","deviceValue":"0","field":"bitWidth","fileValue":"1","to":null},)"
                R"({"bank":4,"channel":"CAN1","deviceValue":"11 22 33 44","field":"idRegister",)"
                R"("fileValue":"12 34 56 78","to":null},)"
                R"({"bank":null,"channel":"CAN2","deviceValue":"0x0012003B","field":"baudRate",)"
                R"("fileValue":"0x0012001D","to":null},)"
                R"({"bank":null,"channel":"Fiber2","deviceValue":"0b","field":"baudRate","fileValue":"0c",)"
                R"("to":null},)"
                R"({"bank":null,"channel":"CAN1","deviceValue":"1","field":"route","fileValue":"0",)"
                R"("to":"Fiber1"}])"));

        // Two files, the second as the device holds it: the same lines, JSON and status.
        QCOMPARE(cli({"read", "-o", path("device.txt")}).status, 0);
        const CliRun files = cli({"diff", path("params.txt"), path("device.txt")});
        QCOMPARE(files.status, run.status);
        QCOMPARE(files.out, run.out);
        QCOMPARE(cli({"diff", path("params.txt"), path("device.txt"), "--json"}).out, json.out);
        QCOMPARE(cli({"diff", path("device.txt"), path("device.txt")}).status, 0);
        repeater().setPresent(false);
        QCOMPARE(cli({"diff", "-", path("device.txt"), "<" + path("params.txt")}).out, run.out);
        // No repeater: no differences known, an empty array.
        const CliRun none = cli({"diff", path("params.txt"), "--json"});
        QCOMPARE(none.status, 3);
        QCOMPARE(none.out, QByteArray("[]\n"));
    }

    void exitStatus_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");  // a line on standard error; none at all when empty
        QTest::addColumn<int>("code");         // of the command the device fails; -1: no device at all
        QTest::addColumn<Fault>("fault");
        const auto row = [](const char* name, const QStringList& arguments, int status,
                            const QString& message, int code = 0, Fault fault = Fault::NoReply) {
            QTest::newRow(name) << arguments << status << message << code << fault;
        };
        const QString params = path("params.txt");
        const QStringList readOut{"read", "-o", path("out.txt")};

        row("diff finds a difference", {"diff", params}, 1, QString());
        row("no command", {}, 2, "No command given");
        row("unknown command", {"frob"}, 2, "Unknown command: frob");
        row("unknown option", {"read", "--bogus", "-o", "x"}, 2, "Unknown option: --bogus");
        row("option of another command", {"list", "--dry-run"}, 2, "Unknown option: --dry-run");
        row("option without value", {"read", "-o"}, 2, "Option -o needs a value");
        row("read without -o", {"read"}, 2, "No output file given (-o FILE)");
        row("extra argument", {"diff", params, params, "more"}, 2, "Unexpected argument: more");
        row("two files, and a repeater", {"diff", params, params, "--all"}, 2,
            "Comparing two parameter files needs no device: --all cannot be used");
        row("unknown language", {"--lang", "fr", "list"}, 2, "Unknown language: fr (en or zh)");
        // The file and the reason follow the window's texts, the common
        // reasons in the chosen language.
        const auto file = [this](const char* name) { return QDir::toNativeSeparators(path(name)); };
        row("file missing", {"write", path("none.txt")}, 2,
            "Failed to open the parameter file. " + file("none.txt") + ": no such file or folder");
        row("file lacks Route", {"diff", path("short.txt")}, 2,
            "Failed to read the parameter file. " + file("short.txt") + ": \"Route\" is missing");
        const auto incomplete = [&file](const char* name) {
            return "The parameter file " + file(name) + " is incomplete or invalid: ";
        };
        row("register of three bytes", {"write", path("invalid.txt")}, 2,
            incomplete("invalid.txt") +
                "CANParam[0].DataList[3]: ID register: 8 hex digits, with or without 0x before them and "
                "blanks or "
                "commas between them");
        // What the window's Open would keep from its pages, the command line cannot.
        row("members empty", {"write", path("empty.txt")}, 2,
            incomplete("empty.txt") + "CANParam: no element with \"ChannalID\" 1");
        row("CANParam a number", {"diff", path("number.txt")}, 2,
            incomplete("number.txt") + "CANParam: must be an array");
        row("DataList of 3", {"write", path("three.txt")}, 2,
            incomplete("three.txt") + "CANParam[1].DataList: must have 14 entries, has 3");
        row("work mode 5", {"write", path("mode5.txt")}, 2,
            incomplete("mode5.txt") + "CANParam[0].DataList[3]: work mode must be 0 or 1, is \"5\"");
        row("Route unreadable", {"write", path("route.txt")}, 2,
            incomplete("route.txt") + "Route[0]: must be 6 digits 0 or 1, separated by blanks");
        // The parser would take the last; the file is refused, naming the key.
        row("BaudRate twice", {"write", path("twice.txt")}, 2,
            incomplete("twice.txt") + "CANParam[0].BaudRate: the key appears more than once (lines 4 and 5)");
        row("CANParam twice", {"diff", path("top.txt")}, 2,
            incomplete("top.txt") + "CANParam: the key appears more than once (lines 2 and 3)");
        // Elements go to channels by "ChannalID", which the window's Open does not.
        row("elements in another order", {"write", path("swapped.txt"), "--dry-run"}, 0,
            "Note: CANParam[1] has \"ChannalID\" 1: the command line uses it for CAN channel 1, the window's "
            "Open "
            "for CAN channel 2, by its place");
        // A missing key is worded alike wherever it is missing.
        row("ChannalID missing", {"write", path("noid.txt")}, 2,
            incomplete("noid.txt") + "CANParam[0].ChannalID: missing");
        row("BaudRate missing", {"diff", path("nobaud.txt")}, 2,
            incomplete("nobaud.txt") + "CANParam[0].BaudRate: missing");
        row("ChannalID beyond every channel", {"write", path("far.txt")}, 2,
            "Note: CANParam[0]: the device has no CAN channel 4294967297; left out");
        row("--device empty", {"read", "--device", "", "-o", "-"}, 2,
            "Option --device needs a value that is not empty");
        row("-o followed by an option", {"read", "-o", "--json"}, 2,
            "Option -o needs a value: \"--json\" is an option; if that is the value, write -o=--json");
        row("--backup - with --verify", {"write", params, "--backup", "-", "--verify"}, 2,
            "Option --backup - cannot be used with --verify");
        row("--type without --dry-run", {"write", params, "--type", "4"}, 2,
            "Option --type works only with --dry-run");
        row("--type with --device", {"write", params, "--dry-run", "--type=4", "--device=TV0"}, 2,
            "Option --type cannot be used with --device");
        row("--verify with --dry-run", {"write", params, "--dry-run", "--verify"}, 2,
            "Option --verify cannot be used with --dry-run");
        row("--wait 0", {"write", params, "--verify", "--wait", "0"}, 2,
            "Invalid value for option --wait: 0");
        row("-o empty", {"read", "-o", ""}, 2, "No output file given (-o FILE)");
        row("-- ends the options", {"diff", "--", "--json"}, 2,
            "Failed to open the parameter file. --json: no such file or folder");
        // The backup is saved before the file is read again: never over it.
        const QString itself = "--backup must not be the parameter file itself: ";
        row("backup over the file", {"write", params, "--backup", params, "--verify"}, 2,
            itself + file("params.txt"));
        row("backup over the file, spelt otherwise",
            {"write", params, "--backup", m_dir.path() + "/./params.txt"}, 2,
            itself + QDir::toNativeSeparators(m_dir.path() + "/./params.txt"));
#ifdef Q_OS_UNIX
        row("backup over the file, through a link", {"write", params, "--backup", path("link.txt")}, 2,
            itself + file("link.txt"));
#endif
        // Standard input is compared by what it is.
        row("backup over standard input's file", {"write", "-", "--backup", params, "<" + params}, 2,
            itself + file("params.txt"));
        row("backup over standard input's file, with --all",
            {"write", "-", "--all", "--backup", m_dir.path(), "<" + path("TV2026000417.txt")}, 2,
            "TV2026000417: " + itself + file("TV2026000417.txt"));
        // A word its decoding calls faulty goes nowhere, named with its reason.
        row("bit timing: SJW 4, 12 Mbit/s", {"write", path("sjw.txt")}, 2,
            incomplete("sjw.txt") +
                "CANParam[0].BaudRate: SJW 4 is longer than a time segment; faster than CAN's fastest, 1000 "
                "kbit/s (bit-timing word 0x03000000)");
        // What passes with a note otherwise, --strict refuses.
        const QString strict = "With --strict the notes are errors: nothing was sent to the device";
        row("--strict: a bank that never matches", {"write", params, "--strict"}, 2, strict);
        row("--strict: a file for another model",
            {"write", path("self.txt"), "--dry-run", "--type", "3", "--strict"}, 2, strict);
        row("--strict: elements in another order", {"diff", path("swapped.txt"), "--strict"}, 2, strict);
        row("a dry run saves no backup", {"write", params, "--dry-run", "--backup", path("out.txt")}, 2,
            "Option --backup cannot be used with --dry-run");
        row("backup unread", {"write", params, "--backup", path("out.txt")}, 4,
            "Failed to read CAN baud rate", 0xA4, Fault::WrongStatus);
        row("backup unsaved", {"write", params, "--backup", path("none/out.txt")}, 2,
            "Failed to write the parameter file. " + file("none/out.txt") + ": no such file or folder");
        row("saved as a folder, in Chinese", {"--lang", "zh", "read", "-o", m_dir.path()}, 2,
            "写配置文件失败. " + QDir::toNativeSeparators(m_dir.path()) + "：这是一个文件夹");
        // A route to itself has no bit in the frame.
        row("a route to itself", {"write", path("self.txt"), "--dry-run"}, 0,
            "Note: Route[1]: the route from CAN2 to itself is 1; left out");
        row("file not saved", {"read", "-o", path("none/out.txt")}, 2,
            "Failed to write the parameter file. " + file("none/out.txt") + ": no such file or folder");
        row("no device", readOut, 3, "Equipment not connected", -1);
        row("no such device", {"write", params, "--device", "TV0"}, 3, "No such device: TV0");
        row("identity unanswered", readOut, 4, "Search device failed", 0x14);
        row("baud rate read refused", readOut, 4, "Failed to read CAN baud rate", 0xA4, Fault::WrongStatus);
        row("fiber read unanswered, Chinese", QStringList{"--lang", "zh"} + readOut, 4, "读取光驱数据失败",
            0x26);
        row("route read during diff", {"diff", params}, 4, "Read route data failed", 0x28);
        // timing needs no repeater, but a word it can judge.
        row("timing of a word with stray bits", {"timing", "0xFFFFFFFF"}, 2,
            "0xFFFFFFFF: bits outside the fields set: 0x3C80FC00; loop-back mode (bit 30); silent mode (bit "
            "31), "
            "acknowledges no frame",
            -1);
        row("timing of 7 digits", {"timing", "0x1C00E0"}, 2,
            "Not a bit-timing word: 0x1C00E0: 8 hex digits, with or without 0x before them and blanks or "
            "commas "
            "between them",
            -1);
        row("timing of the adaptive word", {"timing", "00000000"}, 2,
            "0x00000000: Adaptive: the device detects the bit rate", -1);
        row("timing without a word", {"timing"}, 2, "No bit-timing word given, nor --rate", -1);
        row("timing --length without --rate", {"timing", "0x001C00E0", "--length", "100"}, 2,
            "Option --length works only with --rate", -1);
        // 500 kbit/s at 87.5 % is one word, 36 MHz / (9 x 8), whose 5 quanta
        // of 250 ns for propagation reach (625 - 335) / 5 = 58 m.
        row("timing --rate over a bus too long", {"timing", "--rate", "500", "--length", "60"}, 2,
            "No word with a sample point of 87.5 % covers a bus of 60 m (node delay 335 ns, cable 5 ns/m); "
            "the "
            "closest is 0x00050008: bus ≤ 58 m",
            -1);
        // Without --length as with --length 0: at 75 % of 12 quanta of 1/12 us (36 MHz / 3) 5 are left
        // for propagation, 417 ns, less than twice a node's 335 ns.
        row("timing --rate where no word covers the nodes", {"timing", "--rate", "1000"}, 2,
            "No word with a sample point of 75.0 % covers a bus of 0 m (node delay 335 ns, cable 5 ns/m); "
            "the closest is 0x00270002: propagation segment shorter than twice the node delay",
            -1);
        // filters --plan: 0 when only the request passes, 1 when others pass too, 2 without a plan.
        row("a plan that lets others through", {"filters", "--plan", "0x001-0x7FE", "--first-bank", "14"}, 1,
            "Bank 14 (letting only the identifiers asked for through takes 6 banks); data frames of 2 more "
            "identifiers pass; no plan in these banks lets fewer other frames through");
        row("a list with a word for a number", {"filters", "--plan", "0x100,abc"}, 2,
            "\"abc\": \"abc\" is not a number; write a hex number that begins with a letter as 0xabc");
        row("a list on standard input, which is empty", {"filters", "--plan", "-"}, 2,
            "No identifier asked for");
        row("a list file missing", {"filters", "--plan", "@" + path("none.txt")}, 2,
            "Failed to read the list " + file("none.txt") + ": no such file or folder");
        row("--first-bank 15", {"filters", "--plan", "0x100", "--first-bank", "15"}, 2,
            "Invalid value for option --first-bank: 15");
        row("--first-bank without --plan", {"filters", params, "--first-bank", "2"}, 2,
            "Option --first-bank works only with --plan");
    }

    // None of these gets as far as sending a parameter; the write's own
    // failures are in stopsMidWrite.
    void exitStatus() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(int, code);
        QFETCH(Fault, fault);
        QVERIFY(writeFile(path("short.txt"), R"({"CANParam": [], "FiberParam": {}})"));
        QVERIFY(writeFile(path("invalid.txt"), parameterFile().replace("12 34 56 78", "12 34 56")));
        QVERIFY(writeFile(path("empty.txt"), R"({"CANParam": [], "FiberParam": [], "Route": "nonsense"})"));
        QVERIFY(
            writeFile(path("number.txt"),
                      QByteArray(parameterFile()).replace("\"CANParam\": [", "\"CANParam\": 1, \"x\": [")));
        QJsonObject three = QJsonDocument::fromJson(parameterFile()).object();
        QJsonArray channals = three.value("CANParam").toArray();
        QJsonObject second = channals.at(1).toObject();
        second.insert("DataList", QJsonArray{"1, 0, 1, 0, 0", "0, 0, 1, 0, 0", "0, 0, 1, 0, 0"});
        channals.replace(1, second);
        three.insert("CANParam", channals);
        QVERIFY(writeFile(path("three.txt"), QJsonDocument(three).toJson()));
        QVERIFY(writeFile(path("mode5.txt"),
                          parameterFile().replace("1, 1, 0, 12 34 56 78", "1, 5, 0, 12 34 56 78")));
        QVERIFY(writeFile(path("route.txt"), parameterFile().replace("\"0 1 0 0 0 0 \"", "\"0 1 0\"")));
        QVERIFY(writeFile(
            path("twice.txt"),
            parameterFile().replace("\"BaudRate\": \"0x0012003B\",",
                                    "\"BaudRate\": \"0x0012003B\",\n\"BaudRate\": \"0x0012003B\",")));
        QVERIFY(writeFile(path("top.txt"), "{\n    \"CANParam\": [],\n" + parameterFile().mid(2)));
        QJsonObject swapped = QJsonDocument::fromJson(parameterFile()).object();
        const QJsonArray inOrder = swapped.value("CANParam").toArray();
        swapped.insert("CANParam", QJsonArray{inOrder.at(1), inOrder.at(0)});
        QVERIFY(writeFile(path("swapped.txt"), QJsonDocument(swapped).toJson()));
        QVERIFY(writeFile(path("self.txt"), parameterFile().replace("\"1 0 1 1 1 1 \"", "\"1 1 1 1 1 1 \"")));
        QVERIFY(writeFile(path("sjw.txt"), parameterFile().replace("0x0012003B", "0x03000000")));
        QVERIFY(writeFile(path("TV2026000417.txt"), parameterFile()));
        QVERIFY(writeFile(path("noid.txt"), parameterFile().replace("\"ChannalID\": 1,", "")));
        QVERIFY(writeFile(path("nobaud.txt"), parameterFile().replace("\"BaudRate\": \"0x0012003B\",", "")));
        QVERIFY(writeFile(path("far.txt"),
                          parameterFile().replace("\"ChannalID\": 1,", "\"ChannalID\": 4294967297,")));
        QFile::remove(path("out.txt"));
        QFile::link(path("params.txt"), path("link.txt"));
        if (code < 0) repeater().setPresent(false);
        if (code > 0) repeater().injectFault(code, fault, 1);

        const CliRun run = cli(arguments);

        QCOMPARE(run.status, status);
        if (message.isEmpty())
            QVERIFY(run.err.isEmpty());
        else
            QVERIFY2(run.err.split('\n').contains(message), qPrintable(run.err));
        if (status >= 2 && !arguments.contains("--all")) {  // --all gives each repeater a result line
            QVERIFY(run.out.isEmpty());
            QVERIFY(!QFile::exists(path("out.txt")));
        }
        if (status == 4) QVERIFY(!run.err.contains("successfully"));
        QCOMPARE(readFile(path("params.txt")), parameterFile());
        for (const QByteArray& report : repeater().log())
            QVERIFY(!QByteArray::fromHex("1123242527").contains(report.at(2)));  // the set commands
    }

    // A file that can be written but not replaced (another user's in a
    // shared folder, one another program holds open): read -o does not say
    // it saved, and write --backup sends nothing without its backup.
    void saveThatCannotReplaceTheFile() {
        QTemporaryDir folder;  // on Linux the check runs as nobody, who may not enter m_dir
        const QString file = folder.filePath("held.txt");
        const QString params = folder.filePath("params.txt");
        QVERIFY(writeFile(file, "{}"));
        QVERIFY(writeFile(params, parameterFile()));
        CliRun read{};
        CliRun write{};
        if (!withReplacingRefused(file, [&] {
                read = cli({"read", "-o", file});
                write = cli({"write", params, "--backup", file});
            }))
            QSKIP("a file that cannot be replaced needs root here");
        // Read's own line first, as when the folder is missing.
        const QString refused =
            "Failed to write the parameter file. " + QDir::toNativeSeparators(file) + ": permission denied";
        QCOMPARE(read.status, 2);
        QCOMPARE(read.err.split('\n', Qt::SkipEmptyParts), (QStringList{"Read successfully", refused}));
        QCOMPARE(write.status, 2);
        // The file's own note (CAN2's bank 14 never matches) comes before.
        QCOMPARE(write.err.split('\n', Qt::SkipEmptyParts).mid(1), QStringList{refused});
        QCOMPARE(readFile(file), QByteArray("{}"));
        for (const QByteArray& report : repeater().log())
            QVERIFY(!QByteArray::fromHex("1123242527").contains(report.at(2)));  // the set commands
    }

    void severalDevices_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("chosen");  // which device is read, -1 none
        QTest::newRow("none named") << QString() << -1;
        QTest::newRow("by path") << "sim:hidraw1" << 1;
        QTest::newRow("by card number") << "TV2026000001" << 0;
        QTest::newRow("by card number, in lower case") << "tv2026000001" << 0;
    }
    void severalDevices() {
        QFETCH(QString, device);
        QFETCH(int, chosen);
        sim::SimulatedRepeater* devices[] = {&repeater(), &sim::SimulatedRepeater::addDevice()};
        setIdentity(*devices[0], 4, "TV2026000001");
        setIdentity(*devices[1], 2, "TV2026000002");

        const CliRun run = cli(QStringList{"read", "-o", "-"} +
                               (device.isEmpty() ? QStringList() : QStringList{"--device", device}));

        for (int i = 0; i < 2; ++i)
            QCOMPARE(devices[i]->log().size() > 4, i == chosen);  // beyond its identity
        if (chosen >= 0) {
            QCOMPARE(run.status, 0);
            QCOMPARE(run.err, QString("Read successfully\n"));
        } else {  // never a guess: every candidate is shown
            QCOMPARE(run.status, 3);
            QVERIFY(run.out.isEmpty());
            QCOMPARE(run.err,
                     QString("More than one device is connected; choose one with --device PATH|CARD:\n"
                             "sim:hidraw0\tOrvex-A4\tTV2026000001\t1.05\t2.10\t2\t4\n"
                             "sim:hidraw1\tOrvex-A2\tTV2026000002\t1.05\t2.10\t2\t1\n"));
        }
    }

    // Every repeater at once, each on its own thread: one failing stops no
    // other, each has a result line, the status is the highest.
    void everyRepeater_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");  // the command the third repeater fails
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("step");  // where the third failed; empty: null
        const QString params = path("params.txt");
        const QString folder = m_dir.path();
        const auto line = [](int card, const char* result, int status) {
            return QString("TV202600000%1\tsim:hidraw%2\t%3\t%4")
                .arg(card)
                .arg(card - 1)
                .arg(result)
                .arg(status);
        };
        QTest::newRow("write with backups, the third refuses a frame")
            << QStringList{"write", params, "--all", "--backup", folder} << 0x23 << Fault::NoReply
            << QStringList{line(1, "successfully set", 0), line(2, "successfully set", 0),
                           line(3, "Failed to set CAN baud rate", 4)}
            << 4 << "frames";
        QTest::newRow("write and verify")
            << QStringList{"write", params, "--all", "--verify", "--wait", "1"} << 0x11 << Fault::WrongStatus
            << QStringList{line(1, "Verified: the device holds what was written", 0),
                           line(2, "Verified: the device holds what was written", 0),
                           line(3, "Reset failed.", 4)}
            << 4 << "reset";
        QTest::newRow("diff") << QStringList{"diff", params, "--all"} << 0x28 << Fault::NoReply
                              << QStringList{line(1, "same", 0), line(2, "3 fields differ", 1),
                                             line(3, "Read route data failed", 4)}
                              << 4 << "read";
        QTest::newRow("read into a folder")
            << QStringList{"read", "--all", "-o", folder} << 0 << Fault::NoReply
            << QStringList{line(1, "Save successfully", 0), line(2, "Save successfully", 0),
                           line(3, "Save successfully", 0)}
            << 0 << "";
    }
    void everyRepeater() {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(Fault, fault);
        QFETCH(QStringList, results);
        QFETCH(int, status);
        QFETCH(QString, step);
        const QString record = path("record.jsonl");
        QFile::remove(record);
        arguments << "--log" << record;
        sim::SimulatedRepeater* devices[] = {&repeater(), &sim::SimulatedRepeater::addDevice(),
                                             &sim::SimulatedRepeater::addDevice()};
        for (int i = 0; i < 3; ++i)
            setIdentity(*devices[i], i == 1 ? 2 : 4, "TV202600000" + QByteArray::number(i + 1));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(
                cli({"write", path("params.txt"), "--device", QString("TV202600000%1").arg(i + 1)}).status,
                0);
            devices[i]->clearLog();
            devices[i]->setRestartTime(200);
            QFile::remove(path("TV202600000%1.txt").replace("%1", QString::number(i + 1)));
        }
        // Three fields the second one no longer holds as the file gives them.
        sim::Parameters changed = devices[1]->parameters();
        changed.can[0].bitTiming = changed.can[1].bitTiming = QByteArray::fromHex("001C00E0");
        changed.fiber[0] = 0x01;
        devices[1]->setParameters(changed);
        if (code != 0) devices[2]->injectFault(code, fault, 1);

        const CliRun run = cli(arguments);

        QCOMPARE(run.status, status);
        QCOMPARE(QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts), results);
        // Each one's messages carry its card number.
        const QString failed = results.last().section('\t', 2, 2);
        QVERIFY2(run.err.split('\n').contains("TV2026000003: " + failed), qPrintable(run.err));
        const auto resets = [](const sim::SimulatedRepeater* device) {
            int count = 0;
            for (const QByteArray& report : device->log()) count += quint8(report.at(2)) == 0x11;
            return count;
        };
        for (int i = 0; i < 3; ++i)
            QCOMPARE(resets(devices[i]), arguments.first() == "write" && (i < 2 || code == 0x11) ? 1 : 0);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(QFile::exists(path("TV202600000%1.txt").replace("%1", QString::number(i + 1))),
                     arguments.contains("--backup") || arguments.first() == "read");

        // The same as one JSON object each, once every one is back from its restart.
        for (sim::SimulatedRepeater* device : devices) {
            QTRY_VERIFY(device->isPresent());
            device->clearFaults();
        }
        if (code != 0) devices[2]->injectFault(code, fault, 1);
        const CliRun json = cli(arguments + QStringList{"--json"});
        QCOMPARE(json.status, status);
        const QJsonArray objects = QJsonDocument::fromJson(json.out).array();
        QCOMPARE(objects.size(), 3);
        const QStringList keys{"cardNumber", "differences", "exitStatus", "file",
                               "name",       "path",        "result",     "step"};
        for (int i = 0; i < 3; ++i) {
            const QStringList columns = results.at(i).split('\t');
            const QJsonObject object = objects.at(i).toObject();
            QCOMPARE(object.keys(), keys);  // every time, null where unknown
            QCOMPARE(object.value("cardNumber").toString(), columns.at(0));
            QCOMPARE(object.value("name").toString(), columns.at(0));
            QCOMPARE(object.value("path").toString(), columns.at(1));
            QCOMPARE(object.value("result").toString(), columns.at(2));
            QCOMPARE(object.value("exitStatus").toInt(), columns.at(3).toInt());
            const QJsonValue where = object.value("step");
            QCOMPARE(where, i == 2 && !step.isEmpty() ? QJsonValue(step) : QJsonValue());
            QCOMPARE(object.value("file").isNull(),
                     !arguments.contains("--backup") && arguments.first() != "read");
        }
        if (arguments.first() == "diff")
            QCOMPARE(objects.at(1).toObject().value("differences").toArray().size(), 3);

        // The record: a line per repeater and run, the file it took by its SHA-256.
        const QList<QByteArray> lines = readFile(record).split('\n');
        QCOMPARE(lines.size(), 7);  // and the empty one after the last line end
        const QString sha = QCryptographicHash::hash(parameterFile(), QCryptographicHash::Sha256).toHex();
        for (int i = 0; i < 6; ++i) {
            const QJsonObject entry = QJsonDocument::fromJson(lines.at(i)).object();
            QCOMPARE(entry.keys(), (QStringList{"cardNumber", "command", "exitStatus", "file", "name", "path",
                                                "result", "sha256", "step", "time"}));
            QCOMPARE(entry.value("command").toString(), arguments.first());
            const int at = std::find_if(results.begin(), results.end(),
                                        [&](const QString& r) {
                                            return r.startsWith(entry.value("cardNumber").toString() + '\t');
                                        }) -
                           results.begin();
            QVERIFY(at < 3);
            QCOMPARE(entry.value("exitStatus").toInt(), results.at(at).section('\t', 3).toInt());
            QCOMPARE(entry.value("step"), at == 2 && !step.isEmpty() ? QJsonValue(step) : QJsonValue());
            if (arguments.first() != "read") QCOMPARE(entry.value("sha256").toString(), sha);
        }
    }

    // Repeaters that cannot be told apart by their card number, or have
    // none, are named by their path and worked on; one that does not answer
    // is not; nothing connected is as for one.
    void everyRepeaterRefused() {
        sim::SimulatedRepeater& second = sim::SimulatedRepeater::addDevice();
        sim::SimulatedRepeater& third = sim::SimulatedRepeater::addDevice();
        sim::SimulatedRepeater& fourth = sim::SimulatedRepeater::addDevice();
        setIdentity(repeater(), 4, "TV2026000001");
        setIdentity(second, 4, "tv2026000001");
        third.injectFault(0x15, Fault::NoReply);
        setIdentity(fourth, 4, "");
        QFile::remove(path("TV2026000001.txt"));
        const CliRun run = cli({"read", "--all", "-o", m_dir.path()});
        QCOMPARE(run.status, 4);
        QCOMPARE(QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts),
                 (QStringList{"path_sim_hidraw0\tsim:hidraw0\tSave successfully\t0",
                              "path_sim_hidraw1\tsim:hidraw1\tSave successfully\t0",
                              "path_sim_hidraw3\tsim:hidraw3\tSave successfully\t0",
                              "-\tsim:hidraw2\tSearch device failed\t4"}));
        QVERIFY(
            run.err.contains("path_sim_hidraw1: the card number \"tv2026000001\" is also another "
                             "repeater's; this repeater is named by its path\n"));
        QVERIFY(run.err.contains(
            "path_sim_hidraw3: the card number is blank; this repeater is named by its path\n"));
        QVERIFY(!QFile::exists(path("TV2026000001.txt")));
        for (const char* name : {"path_sim_hidraw0.txt", "path_sim_hidraw1.txt", "path_sim_hidraw3.txt"})
            QVERIFY(QFile::exists(path(name)));
        QCOMPARE(cli({"read", "--all", "-o", path("params.txt")}).err,
                 "With --all, -o must be an existing folder: " +
                     QDir::toNativeSeparators(path("params.txt")) + "\n");

        sim::SimulatedRepeater::removeAddedDevices();
        repeater().setPresent(false);
        const CliRun none = cli({"diff", path("params.txt"), "--all", "--json"});
        QCOMPARE(none.status, 3);
        QCOMPARE(none.out, QByteArray("[]\n"));
        QCOMPARE(none.err, QString("Equipment not connected\n"));
    }

    void listShowsEveryDevice() {
        sim::SimulatedRepeater& second = sim::SimulatedRepeater::addDevice();
        sim::SimulatedRepeater& third = sim::SimulatedRepeater::addDevice();
        sim::SimulatedRepeater& fourth = sim::SimulatedRepeater::addDevice();
        setIdentity(repeater(), 5, "TV2026000001");
        setIdentity(second, 1, "TV2026000002");
        third.injectFault(0x15, Fault::NoReply);
        setIdentity(fourth, 4, "X\t1\n2\\");  // a tab, a line end and a backslash: escaped in a line

        const CliRun plain = cli({"list"});
        QCOMPARE(plain.status, 4);  // one device did not answer
        QCOMPARE(QString::fromUtf8(plain.out),
                 QString("sim:hidraw0\tOrvex-B1\tTV2026000001\t1.05\t2.10\t2\t2\n"
                         "sim:hidraw1\tOrvex-A1\tTV2026000002\t1.05\t2.10\t2\t0\n"
                         "sim:hidraw3\tOrvex-A4\tX\\t1\\n2\\\\\t1.05\t2.10\t2\t4\n"
                         "sim:hidraw2\tSearch device failed\n"));
        // The same keys for one that did not answer; JSON as it is.
        const QJsonArray answered = QJsonDocument::fromJson(cli({"list", "--json"}).out).array();
        QCOMPARE(
            QJsonDocument(answered[3].toObject()).toJson(QJsonDocument::Compact),
            QByteArray(R"({"canChannels":null,"cardNumber":null,"error":"Search device failed",)"
                       R"("fiberChannels":null,"firmwareVersion":null,"hardwareVersion":null,"model":null,)"
                       R"("path":"sim:hidraw2"})"));
        QCOMPARE(answered[2].toObject().value("cardNumber").toString(), QString("X\t1\n2\\"));

        third.clearFaults();
        fourth.setPresent(false);
        const CliRun json = cli({"list", "--json"});
        QCOMPARE(json.status, 0);
        const QJsonArray devices = QJsonDocument::fromJson(json.out).array();
        QCOMPARE(devices.size(), 3);
        QCOMPARE(QJsonDocument(devices[0].toObject()).toJson(QJsonDocument::Compact),
                 QByteArray(R"({"canChannels":2,"cardNumber":"TV2026000001","error":null,"fiberChannels":2,)"
                            R"("firmwareVersion":"2.10","hardwareVersion":"1.05","model":"Orvex-B1",)"
                            R"("path":"sim:hidraw0"})"));

        sim::SimulatedRepeater::removeAddedDevices();
        repeater().setPresent(false);
        const CliRun none = cli({"list"});
        QCOMPARE(none.status, 3);  // none connected, as everywhere else
        QVERIFY(none.out.isEmpty());
        QCOMPARE(none.err, QString("Equipment not connected\n"));
    }

    void stopsMidWrite_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("occurrence");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("step");
        QTest::newRow("unplugged at channel 2, bank 4")
            << 0x24 << 19 << Fault::Unplug << "Failed to set CAN musk code" << 21;
        QTest::newRow("channel 2 baud rate unanswered")
            << 0x23 << 2 << Fault::NoReply << "Failed to set CAN baud rate" << 16;
        QTest::newRow("fiber frame unanswered")
            << 0x25 << 1 << Fault::NoReply << "Failed to set fiber baud rate" << 31;
        QTest::newRow("route frame not sent")
            << 0x27 << 1 << Fault::WriteError << "Failed to set route" << 32;
        QTest::newRow("reset not sent")
            << 0x11 << 1 << Fault::WriteError << "Failed to send the reset command." << 33;
        QTest::newRow("reset refused") << 0x11 << 1 << Fault::WrongStatus << "Reset failed." << 33;
    }

    void stopsMidWrite() {
        QFETCH(int, code);
        QFETCH(int, occurrence);
        QFETCH(Fault, fault);
        QFETCH(QString, message);
        QFETCH(int, step);
        repeater().injectFault(code, fault, occurrence);

        const CliRun run = cli({"write", path("params.txt")}, true);

        QCOMPARE(run.status, 4);
        QVERIFY(run.out.isEmpty());
        // The progress line stops at the failing step; where that leaves the
        // repeater, and the window's message, follow it.
        const QString where = step < 33
                                  ? "Failed before the reset: the repeater may be half-written, and was "
                                    "not reset."
                                  : "Every parameter frame was acknowledged, but the reset did not complete.";
        QVERIFY2(
            run.err.endsWith(QString("\rWriting: step %1 of 33\n%2\n%3\n").arg(step).arg(where, message)),
            qPrintable(run.err));
        QVERIFY(!run.err.contains("successfully"));
        QCOMPARE(repeater().log().size(), 4 + step);
        if (step < 33) QVERIFY(quint8(repeater().log().last().at(2)) != 0x11);
    }

    // Results that do not reach standard output are no results.
    void lostOutput_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString lost = "Cannot write to standard output: ";
        QTest::newRow("list") << QStringList{"list"} << lost;
        QTest::newRow("list --json") << QStringList{"list", "--json"} << lost;
        QTest::newRow("write --dry-run") << QStringList{"write", path("params.txt"), "--dry-run"} << lost;
        QTest::newRow("read -o -")
            << QStringList{"read", "-o", "-"}
            << "Failed to write the parameter file. standard output: not enough space on the disk";
    }
    void lostOutput() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFile full("/dev/full");
        if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) QSKIP("no /dev/full here");
        QBuffer err;
        err.open(QIODevice::WriteOnly);
        QCOMPARE(runCli(arguments, CliStreams{full, err, false}), 2);
        const QString expected = message.endsWith(": ") ? message + full.errorString() : message;
        QVERIFY2(QString::fromUtf8(err.data()).contains(expected), err.data().constData());
    }

    // Each open, report and reply on standard error, the time first; a
    // time-out with its limit. The results stay as they are.
    void trace() {
        sim::Parameters p = repeater().parameters();
        p.can[0].banks[2] = {0x81, 0x11};  // in use, list mode, 32 bits
        p.can[1].banks[13] = {0x02, 0x00};
        repeater().setParameters(p);
        const CliRun plain = cli({"read", "-o", "-"});
        const CliRun traced = cli({"--trace", "read", "-o", "-"});
        QCOMPARE(traced.status, 0);
        QCOMPARE(traced.out, plain.out);
        QStringList lines = traced.err.split('\n', Qt::SkipEmptyParts);
        const QRegularExpression time("^ *\\d+\\.\\d{3} ");
        QCOMPARE(QString(lines.at(0)).remove(time), QString("looked for USB 0483:6901: found sim:hidraw0"));
        QCOMPARE(QString(lines.at(1)).remove(time), QString("open sim:hidraw0"));
        // A progress line would break the trace's lines: a terminal gets none beside it.
        QVERIFY(!cli({"--trace", "read", "-o", "-"}, true).err.contains('\r'));
        QCOMPARE(lines.filter(QRegularExpression("^ *\\d+\\.\\d{3} > 00 12 ")).size(), 36);
        QCOMPARE(lines.filter(QRegularExpression("^ *\\d+\\.\\d{3} <( [0-9A-F]{2}){16}$")).size(), 36);
        QCOMPARE(lines.filter(QRegularExpression(" < .. A4 86 ")).size(), 2);  // the baud-rate replies
        QCOMPARE(lines.last(), QString("Read successfully"));
        // After each reply the command and what its bytes say, banks counted from 1.
        QCOMPARE(lines.filter(QRegularExpression("^ *\\d+\\.\\d{3} = ")).size(), 36);
        const QString everyRoute =
            "CAN1→CAN2 Fiber1 Fiber2 Fiber3 Fiber4; CAN2→CAN1 Fiber1 Fiber2 Fiber3 Fiber4; "
            "Fiber1→CAN1 CAN2 Fiber2 Fiber3 Fiber4; Fiber2→CAN1 CAN2 Fiber1 Fiber3 Fiber4; "
            "Fiber3→CAN1 CAN2 Fiber1 Fiber2 Fiber4; Fiber4→CAN1 CAN2 Fiber1 Fiber2 Fiber3";
        const QStringList meanings{
            "hardware type query: type 4, Orvex-A4",
            "card number query: \"TV2026000417\"",
            "hardware version query: version 1.05",
            "firmware version query: version 2.10",
            "CAN baud rate query: bit-timing word 0x001C00E0 (10 kbit/s, sample point 87.5 %, SJW 1, 16 "
            "quanta "
            "per bit)",
            "CAN filter query: bank 3 in use, list mode, 32 bits",
            "CAN filter query: bank 14 not in use, mask mode, 16 bits",
            "fiber baud rate query: Fiber1 0b 1380K, Fiber2 0b 1380K, Fiber3 0b 1380K, Fiber4 0b 1380K",
            "route map query: " + everyRoute};
        for (const QString& meaning : meanings)
            QVERIFY2(!lines.filter(QRegularExpression(" = " + QRegularExpression::escape(meaning) + "$"))
                          .isEmpty(),
                     qPrintable(meaning));

        repeater().injectFault(0xA5, Fault::NoReply, 3);
        const CliRun unanswered = cli({"--trace", "read", "-o", "-"});
        QCOMPARE(unanswered.status, 4);
        lines = unanswered.err.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.filter(QRegularExpression(" < time-out: no reply within 10 ms$")).size(), 1);
        QCOMPARE(lines.last(), QString("Read mask data failed"));

        repeater().injectFault(0xA4, Fault::WrongStatus, 1, 0x81);
        lines = cli({"--trace", "read", "-o", "-"}).err.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.filter(QRegularExpression(" = CAN baud rate query: refused \\(status 81\\)$")).size(),
                 1);

        repeater().setPresent(false);
        const CliRun none = cli({"--trace", "list"});
        QCOMPARE(none.status, 3);
        QCOMPARE(none.err.split('\n', Qt::SkipEmptyParts).first().remove(time),
                 QString("looked for USB 0483:6901: none found"));
    }

    // Backed up first, written, and read back once the same repeater answers
    // again after its restart; two repeaters, chosen by card number.
    void verifyAndBackup_data() {
        QTest::addColumn<int>("restartMs");
        QTest::addColumn<Fault>("fault");  // on the 4th filter frame; NoReply: none
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("last");  // the last line on standard error
        QTest::addColumn<bool>("twins");    // both have its card number: it is chosen by its path
        QTest::newRow("holds what was written")
            << 300 << Fault::NoReply << 0 << "Verified: the device holds what was written" << false;
        QTest::newRow("a filter acknowledged, not stored")
            << 300 << Fault::AckWithoutStore << 5 << "Written, but the device holds something else" << false;
        QTest::newRow("not back in time")
            << 2500 << Fault::NoReply << 4
            << "The device left the bus after its reset and did not come back within 1 s" << false;
        // One that restarts without leaving the bus is read when the wait ends.
        QTest::newRow("stays on the bus, a wait of 1 s")
            << 0 << Fault::NoReply << 0 << "Verified: the device holds what was written" << false;
        // Its card number tells it from no other: it is looked for at its path, as with --all.
        QTest::newRow("a card number the other one has too")
            << 300 << Fault::NoReply << 0 << "Verified: the device holds what was written" << true;
    }
    void verifyAndBackup() {
        QFETCH(int, restartMs);
        QFETCH(Fault, fault);
        QFETCH(int, status);
        QFETCH(QString, last);
        QFETCH(bool, twins);
        sim::SimulatedRepeater& other = sim::SimulatedRepeater::addDevice();
        setIdentity(repeater(), 4, twins ? "TV2026000002" : "TV2026000001");
        setIdentity(other, 4, "TV2026000002");
        other.setRestartTime(restartMs);
        if (fault != Fault::NoReply) other.injectFault(0x24, fault, 4);
        const QString device = twins ? "sim:hidraw1" : "TV2026000002";
        const QByteArray before = cli({"read", "--device", device, "-o", "-"}).out;

        const CliRun run = cli({"write", path("params.txt"), "--device", device, "--backup",
                                path("backup.txt"), "--verify", "--wait", "1"},
                               true);

        QCOMPARE(run.status, status);
        QCOMPARE(run.err.split('\n', Qt::SkipEmptyParts).last(), last);
        QCOMPARE(run.err.contains("path_sim_hidraw1: the card number \"TV2026000002\" is also another "
                                  "repeater's; this repeater is named by its path\n"),
                 twins);
        QVERIFY(run.err.contains("\rWaiting for the device to answer again: 0 s of at most 1 s"));
        QCOMPARE(readFile(path("backup.txt"), QIODevice::Text), before);  // CRLF on Windows
        // Bank 3 of channel 1 (row 4 of its table), the fourth filter frame, kept the device's defaults.
        const QString bank3 =
            "CAN1\t4\tIn use\t1\t0\nCAN1\t4\tWork mode\t1\t0\nCAN1\t4\tBit width\t0\t1\n"
            "CAN1\t4\tID register\t12 34 56 78 (" +
            kBank4 +
            ")\t00 00 00 00 (not in use)\n"
            "CAN1\t4\tMask register\t9a bc de f0 (" +
            kBank4 + ")\t00 00 00 00 (not in use)\n";
        QCOMPARE(QString::fromUtf8(run.out), status == 5 ? bank3 : QString());
        for (const QByteArray& report : repeater().log())  // the other one was only asked who it is
            QVERIFY(!QByteArray::fromHex("1123242527").contains(report.at(2)));
    }

    // A list of identifiers and ranges from standard input or a file, one a
    // line or separated by commas: longer than a command line may be.
    void planList_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");  // standard input, and the file list.txt
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");   // its start; nothing at all when empty
        QTest::addColumn<QStringList>("err");  // the first lines
        QByteArray ranges;
        QRandomGenerator random(38);
        for (int i = 0; i < 8000; ++i) {
            const quint32 first = random.bounded(0x1FFF0000u);
            ranges += QStringLiteral("0x%1-0x%2 ext\n")
                          .arg(first, 8, 16, QLatin1Char('0'))
                          .arg(first + random.bounded(0x10000u), 8, 16, QLatin1Char('0'))
                          .toLatin1();
        }
        QTest::newRow("8000 extended ranges on standard input")
            << QStringList{"filters", "--plan", "-"} << ranges << 1
            << QByteArray("\"DataList\": [\n    \"1, ")
            << QStringList{"Banks 1\u201314 (letting only the identifiers asked for through takes at least"};
        // Bank 13: 16-bit masks E018 over 2000 (0x100-0x1FF data) and FFF8 over
        // 2470 (0x123 remote); the banks before it not in use.
        QByteArray planned = "\"DataList\": [\n";
        for (int bank = 1; bank <= 14; ++bank)
            planned += bank == 13 ? "    \"1, 0, 0, e0 18 20 00, ff f8 24 70\",\n"
                                  : QByteArray("    \"0, 0, 1, 00 00 00 00, 00 00 00 00\"") +
                                        (bank < 14 ? ",\n" : "\n");
        planned += "]\n";
        QTest::newRow("a file, a line and commas, from bank 13")
            << QStringList{"filters", "--plan", "@" + path("list.txt"), "--first-bank", "13"}
            << QByteArray("0x100-0x1FF,\n0x123 remote\n") << 0 << planned
            << QStringList{
                   "Bank 13, passing only the identifiers asked for",
                   "Bank 13: standard data frames 0x100\u20130x1FF; standard remote frames 0x123; 256 "
                   "identifiers in all"};
        QTest::newRow("every mistake named by its line")
            << QStringList{"filters", "--plan", "-"} << QByteArray("0x100\n256\nabc\n0x800\n") << 2
            << QByteArray()
            << QStringList{
                   "line 3, \"abc\": \"abc\" is not a number; write a hex number that begins with a letter "
                   "as 0xabc",
                   "line 4, \"0x800\": 0x800 is beyond a standard identifier (0x7FF at most); add ext for an "
                   "extended one"};
        QTest::newRow("four banks, proven")
            << QStringList{"filters", "--plan", "0x101-0x1FE"} << QByteArray() << 0
            << QByteArray("\"DataList\": [\n")
            << QStringList{
                   "Banks 1\u20134, passing only the identifiers asked for; letting only the identifiers "
                   "asked for through takes 4 banks"};
    }
    void planList() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, out);
        QFETCH(QStringList, err);
        QVERIFY(writeFile(path("list.txt"), input));
        const CliRun run = cli(arguments, false, input);
        QTEST(run.status, "status");
        QVERIFY2(run.out.startsWith(out), run.out.left(200).constData());
        if (out.isEmpty()) QVERIFY(run.out.isEmpty());
        const QStringList lines = run.err.split('\n');
        for (int i = 0; i < err.size(); ++i) QVERIFY2(lines.value(i).startsWith(err[i]), qPrintable(run.err));
    }

    // Each help lists exactly the options its command takes, each with its
    // description; the overview lists them all.
    void helpListsEveryOption_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("options");
        const QStringList common{"--lang en|zh", "--trace", "-h, --help", "--version"};
        const QStringList device{"--device PATH|CARD", "--all", "--json", "--log FILE"};
        const QStringList write{"--backup FILE", "--verify", "--wait SECONDS", "--dry-run", "--type 1-5"};
        const QStringList filters{"--plan LIST", "--ext", "--remote", "--first-bank 1-14"};
        const QStringList timing{"--rate KBIT", "--sample-point PERCENT", "--sjw 1-4", "--length METRES",
                                 "--node-delay NS"};
        QTest::newRow("overview") << QStringList{"--help"}
                                  << common + device + QStringList{"-o FILE", "--strict"} + write + filters +
                                         timing;
        QTest::newRow("timing") << QStringList{"timing", "--help"} << common + QStringList{"--json"} + timing;
        QTest::newRow("filters") << QStringList{"filters", "--help"} << common + filters;
        QTest::newRow("list") << QStringList{"list", "--help"} << common + QStringList{"--json"};
        QTest::newRow("read") << QStringList{"-h", "read"} << common + device + QStringList{"-o FILE"};
        QTest::newRow("write") << QStringList{"write", "--help"}
                               << common + device + QStringList{"--strict"} + write;
        QTest::newRow("diff") << QStringList{"diff", "--help"} << common + device + QStringList{"--strict"};
    }
    void helpListsEveryOption() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, options);
        const CliRun run = cli(arguments);
        QCOMPARE(run.status, 0);
        QStringList listed;
        for (const QString& line : QString::fromUtf8(run.out).split('\n')) {
            if (!line.startsWith("  -")) continue;
            const QStringList columns = line.mid(2).split(QRegularExpression(" {2,}"));
            QCOMPARE(columns.size(), 2);
            listed << columns.first();
        }
        listed.sort();
        options.sort();
        QCOMPARE(listed, options);
    }

    // The command-line page of the docs tells what the program does: each
    // command's usage as its help gives it, every option, every exit status,
    // the limits of the file and of --wait.
    void readmeAgreesWithHelp() {
        QFile readme(":/command-line.md");
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(readme.readAll());
        const int start = text.indexOf("\n## Command line\n");
        QVERIFY(start >= 0);
        const QString section = text.mid(start, text.indexOf("\n## ", start + 1) - start);
        const QString overview = QString::fromUtf8(cli({"--help"}).out);
        for (const char* command : {"list", "read", "write", "diff", "filters", "timing"}) {
            const QString help = QString::fromUtf8(cli({command, "--help"}).out);
            const QString usage = help.section('\n', 0, 0).remove("Usage: tarvane-cli ");
            QVERIFY2(section.contains('`' + usage + '`'), qPrintable(usage));
        }
        const QRegularExpression option("(--[a-z-]+|-o)  ");
        for (const QString& line : overview.split('\n'))
            if (line.startsWith("  -"))
                QVERIFY2(section.contains(option.match(line).captured(1)), qPrintable(line));
        const auto statuses = [](const QString& from, const QString& pattern) {
            QStringList found;
            auto match = QRegularExpression(pattern, QRegularExpression::MultilineOption).globalMatch(from);
            while (match.hasNext()) found << match.next().captured(1);
            return found;
        };
        const QStringList table = statuses(section, "^\\| (\\d+(?:\\+n)?) \\|");
        QCOMPARE(table, (QStringList{"0", "1", "2", "3", "4", "5", "128+n"}));
        QCOMPARE(statuses(overview.section("Exit status", 1), "(?:: |, )(\\d+(?:\\+n)?) "), table);
        for (const char* limit : {"1 MiB", "1 to 3600", "335 ns"})
            QVERIFY(
                section.contains(limit) &&
                (overview + cli({"write", "--help"}).out + cli({"timing", "--help"}).out).contains(limit));
    }

    // The manual page says what each help says, line for line (the usage,
    // each command's details, every option with its description, the closing
    // notes), but for the overview's one-line summaries of the commands.
    void manualAgreesWithHelp_data() {
        helpListsEveryOption_data();
    }
    void manualAgreesWithHelp() {
        QFETCH(QStringList, arguments);
        QTranslator english;
        QVERIFY(english.load(":/Language/tarvane_en.qm"));
        QCoreApplication::installTranslator(&english);
        QString page = CliManual::page("2026-12-09");
        QCoreApplication::removeTranslator(&english);
        QVERIFY(page.startsWith(".TH TARVANE\\-CLI 1 \"2026-12-09\" \"Tarvane " TARVANE_VERSION
                                "\" \"User Commands\"\n"));
        // Below the header every dash a minus, as man needs it to show options
        // that can be copied and searched for; no text taken for a request.
        QVERIFY(!page.section('\n', 1).contains(QRegularExpression("[^\\\\]-")));
        QVERIFY(!page.contains(QRegularExpression("^\\.(?!(TH|SH|TP|PP|br|BR) )(?!(PP|TP|br)$)",
                                                  QRegularExpression::MultilineOption)));
        // As man shows it: no requests, no font changes, escapes undone.
        page.remove(QRegularExpression("^\\.[A-Za-z]+( [^\n]*)?\n", QRegularExpression::MultilineOption));
        page.remove("\\fB")
            .remove("\\fI")
            .remove("\\fR")
            .remove("\\&")
            .replace("\\-", "-")
            .replace("\\e", "\\");
        for (QString line : QString::fromUtf8(cli(arguments).out).split('\n')) {
            if (line.isEmpty() || line == "Commands:" || line == "Options:" || line.startsWith("      "))
                continue;
            line.remove(QRegularExpression("^Usage: "));
            for (const QString& piece : line.trimmed().split(QRegularExpression(" {2,}")))
                QVERIFY2(page.contains(piece), qPrintable(piece));
        }
    }

    // The program itself, as a script starts it: its own platform, nothing on
    // the terminal but its results and messages.
    void program_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("outStart");
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<QByteArray>("devices");  // TARVANE_SIMULATED_DEVICES, unset when empty
        QTest::newRow("version") << QStringList{"--version"} << 0
                                 << QByteArray("tarvane-cli " TARVANE_VERSION "\n") << QByteArray()
                                 << QByteArray();
        QTest::newRow("help, from the catalogue")
            << QStringList{"write", "--help"} << 0 << QByteArray("Usage: tarvane-cli write FILE [--device ")
            << QByteArray() << QByteArray();
        QTest::newRow("read to standard output")
            << QStringList{"read", "-o", "-"} << 0 << QByteArray("{\n    \"CANParam\": [\n")
            << QByteArray("Read successfully\n") << QByteArray();
        QTest::newRow("usage error in Chinese")
            << QStringList{"--lang", "zh", "read"} << 2 << QByteArray()
            << QByteArray("缺少 -o 文件\n用 --help 查看用法。\n") << QByteArray();
        QTest::newRow("three simulated repeaters")
            << QStringList{"list"} << 0
            << QByteArray(
                   "sim:hidraw0\tOrvex-A4\tTV2026000417\t1.05\t2.10\t2\t4\n"
                   "sim:hidraw1\tOrvex-A4\tTV2026000418\t1.05\t2.10\t2\t4\n"
                   "sim:hidraw2\tOrvex-A4\tTV2026000419\t1.05\t2.10\t2\t4\n")
            << QByteArray() << QByteArray("3");
        // By card number, numbers as numbers, not by path as text (hidraw10 after hidraw1).
        QTest::newRow("twelve simulated repeaters")
            << QStringList{"list"} << 0
            << QByteArray(
                   "sim:hidraw0\tOrvex-A4\tTV2026000417\t1.05\t2.10\t2\t4\n"
                   "sim:hidraw1\tOrvex-A4\tTV2026000418\t1.05\t2.10\t2\t4\n"
                   "sim:hidraw2\tOrvex-A4\tTV2026000419\t1.05\t2.10\t2\t4\n")
            << QByteArray() << QByteArray("12");
        QTest::newRow("no simulated repeater") << QStringList{"list"} << 3 << QByteArray()
                                               << QByteArray("Equipment not connected\n") << QByteArray("0");
        // Filters without a repeater: the issue's registers for four standard
        // identifiers in one 16-bit list bank and for 0x100-0x1FF in a mask.
        QTest::newRow("filters --plan, a 16-bit list")
            << QStringList{"filters", "--plan", "0x100,0x101,0x200,0x7FF"} << 0
            << QByteArray(
                   "\"DataList\": [\n    \"1, 1, 0, 20 20 20 00, ff e0 40 00\",\n"
                   "    \"0, 0, 1, 00 00 00 00, 00 00 00 00\",\n")
            << QByteArray(
                   "Bank 1, passing only the identifiers asked for\n"
                   "Bank 1: standard data frames 0x100, 0x101, 0x200, 0x7FF; 4 identifiers in all\n")
            << QByteArray("0");
        QTest::newRow("filters --plan, a range")
            << QStringList{"filters", "--plan", "0x100-0x1FF"} << 0
            << QByteArray("\"DataList\": [\n    \"1, 0, 1, 20 00 00 00, e0 00 00 06\",\n")
            << QByteArray(
                   "Bank 1, passing only the identifiers asked for\n"
                   "Bank 1: standard data frames 0x100\u20130x1FF\n")
            << QByteArray("0");
        QTest::newRow("filters --plan, too few banks")
            << QStringList{"filters", "--plan", "0x001-0x7FE", "--first-bank=14"} << 1
            << QByteArray("\"DataList\": [\n    \"0, 0, 1, 00 00 00 00, 00 00 00 00\",\n")
            << QByteArray(
                   "Bank 14 (letting only the identifiers asked for through takes 6 banks); data frames of 2 "
                   "more "
                   "identifiers pass; no plan in these banks lets fewer other frames through\n"
                   "Bank 14: standard data frames 0x000\u20130x7FF\n")
            << QByteArray("0");
        QTest::newRow("filters of a file")
            << QStringList{"filters", path("params.txt")} << 0 << QByteArray("CAN1\t1\tevery frame")
            << QByteArray() << QByteArray("0");
        // The issue's word: 16 quanta of 6.25 us with PS2 2 and SJW 1 allow
        // 1 / 320 of clock error; 11 quanta of propagation, 68.75 us, reach
        // (34 375 - 335) ns / 5 ns/m.
        QTest::newRow("timing of a word")
            << QStringList{"timing", "0x001C00E0"} << 0
            << QByteArray(
                   "0x001C00E0: 10 kbit/s, sample point 87.5 %, SJW 1, 16 quanta per bit\n"
                   "Clock tolerance: \u00B10.3125 % (limited by the SJW)\n"
                   "Longest bus: 6808 m (node delay 335 ns, cable 5 ns/m)\n")
            << QByteArray("Note: SJW 2 would fit and allow a clock tolerance of \u00B10.4854 %\n")
            << QByteArray("0");
        // 125 kbit/s over 450 m: 8 quanta of 1 us reach (2500 - 335) / 5 =
        // 433 m, 16 quanta of 0.5 us (2750 - 335) / 5 = 483 m.
        QTest::newRow("timing --rate, as JSON")
            << QStringList{"timing", "--rate", "125", "--length", "450", "--json"} << 0
            << QByteArray(
                   "{\n    \"bitRate\": 125000,\n    \"busLengthMetres\": 450,\n    "
                   "\"cableDelayNsPerMetre\": 5,\n"
                   "    \"maxBusLengthMetres\": 483,\n    \"nodeDelayNs\": 335,\n"
                   "    \"oscillatorTolerancePercent\": 0.3125,\n    \"phaseSegment1\": 2,\n    "
                   "\"phaseSegment2\": 2,\n"
                   "    \"prescaler\": 18,\n    \"propagationSegment\": 11,\n    \"quanta\": 16,\n"
                   "    \"rateErrorPercent\": 0,\n    \"samplePointPercent\": 87.5,\n    \"sjw\": 1,\n"
                   "    \"toleranceLimitedBy\": \"sjw\",\n    \"word\": \"0x001C0011\"\n}\n")
            << QByteArray("Note: SJW 2 would fit and allow a clock tolerance of \u00B10.4854 %\n")
            << QByteArray("0");
        QTest::newRow("filters --ext alone")
            << QStringList{"filters", "--ext", path("params.txt")} << 2 << QByteArray()
            << QByteArray(
                   "Option --ext works only with --plan\n"
                   "Run with --help for usage.\n")
            << QByteArray("0");
    }

    void program() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, outStart);
        QFETCH(QByteArray, err);
        QFETCH(QByteArray, devices);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QT_QPA_PLATFORM");
        environment.remove("DISPLAY");
        environment.insert("LC_ALL", "C.UTF-8");
        if (!devices.isEmpty()) environment.insert("TARVANE_SIMULATED_DEVICES", QString::fromLatin1(devices));
        process.setProcessEnvironment(environment);
        // Text mode: the platform's line ends read as "\n".
        process.start(m_cliProgram, arguments, QIODevice::ReadWrite | QIODevice::Text);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        const QByteArray out = process.readAllStandardOutput();
        QVERIFY2(out.startsWith(outStart), out.constData());
        if (outStart.isEmpty()) QVERIFY(out.isEmpty());
        QCOMPARE(process.readAllStandardError(), err);
    }

#ifdef Q_OS_UNIX
    // Signals sent to the program itself: held while it writes frames, resets
    // or saves, at once otherwise, never a file left half done. The program
    // is stopped while they are sent, so that they arrive together.
    void signalsToTheProgram_data() {
        QTest::addColumn<QStringList>("arguments");
        // What standard error shows first; empty: a save beside keep.txt; kAtStart: nothing,
        // the signals are sent as the program starts, blocked until it can take them.
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QList<int>>("sent");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("lines");   // on standard error, the last one last
        QTest::addColumn<QList<int>>("ignored");  // from the start
        // With --all, three repeaters: what each result line on standard output matches.
        QTest::addColumn<QString>("eachResult");
        const QString params = path("params.txt");
        const QString keep = path("keep.txt");
        const QString record = path("record.jsonl");
        QTest::newRow("SIGINT and SIGTERM during a write")
            << QStringList{"--trace", "write", params} << QByteArray("> 00 12 23 ")
            << QList<int>{SIGINT, SIGTERM} << 130
            << QStringList{"SIGTERM received: the program stops once the write or save under way has ended.",
                           "successfully set",
                           "Stopped by SIGINT: the write had ended (see above); nothing after it was done."}
            << QList<int>() << QString();
        // A reader that went away (| head) ends nothing: the write runs to its reset.
        QTest::newRow("SIGPIPE during a write")
            << QStringList{"--trace", "write", params} << QByteArray("> 00 12 23 ") << QList<int>{SIGPIPE}
            << 0 << QStringList{"successfully set"} << QList<int>() << QString();
        QTest::newRow("SIGTERM during a read")
            << QStringList{"--trace", "read", "-o", keep} << QByteArray("< 12 A4 ") << QList<int>{SIGTERM}
            << 143 << QStringList{"Stopped by SIGTERM; nothing was written to a device."} << QList<int>()
            << QString();
        // Its record tells of it.
        QTest::newRow("SIGHUP while waiting to verify")
            << QStringList{"write", params, "--verify", "--log", record} << QByteArray("successfully set\n")
            << QList<int>{SIGHUP} << 129
            << QStringList{"Stopped by SIGHUP: the write had ended (see above); nothing after it was done."}
            << QList<int>() << QString();
        // Ignored when the program started (nohup, trap '' INT): ignored still;
        // the others are held and reported as ever.
        QTest::newRow("SIGHUP ignored from the start, while waiting to verify")
            << QStringList{"write", params, "--verify"} << QByteArray("successfully set\n")
            << QList<int>{SIGHUP} << 0 << QStringList{"Verified: the device holds what was written"}
            << QList<int>{SIGHUP} << QString();
        QTest::newRow("SIGINT ignored from the start, SIGTERM not")
            << QStringList{"--trace", "write", params} << QByteArray("> 00 12 23 ")
            << QList<int>{SIGINT, SIGTERM} << 143
            << QStringList{"successfully set",
                           "Stopped by SIGTERM: the write had ended (see above); nothing after it was done."}
            << QList<int>{SIGINT} << QString();
        // Before the program knows its language: told in it all the same.
        QTest::newRow("SIGTERM as the program starts")
            << QStringList{"read", "-o", keep} << kAtStart << QList<int>{SIGTERM} << 143
            << QStringList{"Stopped by SIGTERM; nothing was written to a device."} << QList<int>()
            << QString();
        // Every repeater of --all gets its result line and record, a write under way finished.
        QTest::newRow("SIGINT while --all waits to verify")
            << QStringList{"write", params, "--all", "--verify", "--log", record}
            << QByteArray("successfully set\n") << QList<int>{SIGINT} << 130
            << QStringList{"Stopped by SIGINT: each repeater's result is given above."} << QList<int>()
            << "\tWritten; stopped by SIGINT before the check\t130";
        QTest::newRow("SIGINT after --all's first backup")
            << QStringList{"write", params, "--all", "--backup", m_dir.path(), "--log", record}
            << QByteArray("Backup saved: ") << QList<int>{SIGINT} << 130
            << QStringList{"Stopped by SIGINT: each repeater's result is given above."} << QList<int>()
            << "\t(successfully set\t0|Stopped by SIGINT: nothing was sent to the repeater\t130)";
#ifdef TARVANE_SLOW_RENAME
        QTest::newRow("SIGINT during a save")
            << QStringList{"read", "-o", keep} << QByteArray() << QList<int>{SIGINT} << 130
            << QStringList{"Stopped by SIGINT: " + keep +
                           " was saved whole; nothing was written to a device."}
            << QList<int>() << QString();
#endif
    }

    void signalsToTheProgram() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, after);
        QFETCH(QList<int>, sent);
        QFETCH(int, status);
        QFETCH(QStringList, lines);
        QFETCH(QList<int>, ignored);
        QFETCH(QString, eachResult);
        QVERIFY(writeFile(path("keep.txt"), "old"));  // a save then goes through a file beside it
        QFile::remove(path("record.jsonl"));
        const int devices = arguments.contains("--all") ? 3 : 1;
        ChildProcess process;
        process.ignored = ignored;
        if (after == kAtStart) process.blocked = sent;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "C.UTF-8");
        environment.insert("TARVANE_SIMULATED_DEVICES", QString::number(devices));
#ifdef TARVANE_SLOW_RENAME
        if (after.isEmpty()) {
            environment.insert("LD_PRELOAD", TARVANE_SLOW_RENAME);
            // A sanitizer's runtime would otherwise want to be loaded first.
            environment.insert("ASAN_OPTIONS",
                               environment.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        }
#endif
        process.setProcessEnvironment(environment);
        process.start(m_cliProgram, arguments);
        QVERIFY(process.waitForStarted());
        QByteArray err;
        QElapsedTimer waited;
        waited.start();
        const auto reached = [&] {
            if (after == kAtStart) return true;
            if (!after.isEmpty()) return err.count(after) >= (after.startsWith("Backup") ? 1 : devices);
            return !QDir(m_dir.path()).entryList({"keep.txt.*"}, QDir::Files).isEmpty();
        };
        while (!reached() && process.state() == QProcess::Running && waited.elapsed() < 20000) {
            process.waitForReadyRead(2);
            err += process.readAllStandardError();
        }
        QVERIFY2(reached(), err.constData());
        kill(pid_t(process.processId()), SIGSTOP);
        for (int signal : sent) kill(pid_t(process.processId()), signal);
        kill(pid_t(process.processId()), SIGCONT);
        QVERIFY(process.waitForFinished(20000));
        err += process.readAllStandardError();

        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        const QStringList shown = QString::fromUtf8(err).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(shown.last(), lines.last());
        for (const QString& line : lines) QVERIFY2(shown.contains(line), err.constData());
        // A write that was held ran to its reset.
        if (sent.size() > 1) QVERIFY(err.contains("> 00 12 11 01 "));
        // No file half written beside the target; a save either ended whole or never began.
        QCOMPARE(QDir(m_dir.path()).entryList({"keep.txt*"}, QDir::Files), QStringList{"keep.txt"});
        QVERIFY(readFile(path("keep.txt")) == "old" ||
                QJsonDocument::fromJson(readFile(path("keep.txt"))).isObject());
        QCOMPARE(readFile(path("keep.txt")) != "old", after.isEmpty());

        // Each repeater's result, and a record of each, whole.
        const QStringList results =
            QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QList<int> statuses;
        if (devices > 1) {
            QCOMPARE(results.size(), devices);
            for (const QString& result : results) {
                QVERIFY2(QRegularExpression(eachResult + '$').match(result).hasMatch(), qPrintable(result));
                statuses << result.section('\t', -1).toInt();
            }
        } else {
            statuses << status;
        }
        if (!arguments.contains("--log")) return;
        QList<int> recorded;
        for (const QByteArray& line : readFile(path("record.jsonl")).split('\n')) {
            if (line.isEmpty()) continue;
            const QJsonObject entry = QJsonDocument::fromJson(line).object();
            QVERIFY2(!entry.isEmpty(), line.constData());
            recorded << entry.value("exitStatus").toInt();
            if (entry.value("exitStatus").toInt() >= 128 && arguments.contains("--verify"))
                QCOMPARE(entry.value("step").toString(), QString("verify"));
        }
        std::sort(statuses.begin(), statuses.end());
        std::sort(recorded.begin(), recorded.end());
        QCOMPARE(recorded, statuses);
    }
#endif

#ifdef Q_OS_UNIX
    // --- The simulated bench ---

    // The docs' session with the simulated bench, run as it stands by a
    // shell: each command's output as the page shows it.
    void readmeBenchSession() {
        QFile readme(":/command-line.md");
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(readme.readAll());
        const int at = text.indexOf("$ export TARVANE_SIMULATED_STATE=");
        QVERIFY(at >= 0);
        const int start = text.lastIndexOf("```console\n", at) + 11;
        const QString session = text.mid(start, text.indexOf("\n```", at) - start);
        QString script = "exec 2>&1\n";
        QStringList commands;
        QStringList shown;
        for (const QString& line : session.split('\n')) {
            if (line.startsWith("$ ")) {
                script += "echo @@\n" + line.mid(2) + '\n';
                commands << line;
                shown << QString();
            } else {
                shown.last() += line + '\n';
            }
        }
        QProcess shell;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : environment.keys())
            if (name.startsWith("TARVANE_SIMULATED_")) environment.remove(name);
        environment.insert("PATH", QFileInfo(m_cliProgram).path() + ':' + environment.value("PATH"));
        environment.insert("LC_ALL", "C.UTF-8");
        shell.setProcessEnvironment(environment);
        shell.setWorkingDirectory(m_dir.path());
        shell.start("sh", {"-c", script});
        QVERIFY(shell.waitForFinished(60000));
        const QStringList outputs = QString::fromUtf8(shell.readAllStandardOutput()).split("@@\n").mid(1);
        QCOMPARE(outputs.size(), shown.size());
        for (int i = 0; i < shown.size(); ++i)
            QVERIFY2(outputs.at(i) == shown.at(i), qPrintable(commands.at(i) + '\n' + outputs.at(i)));
    }
#endif

    // A bench the environment gives wrongly is refused before anything is
    // done, with the variable named.
    void simulatedBenchRefused() {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TARVANE_SIMULATED_FAULTS", "TV2026000999/reset=unplug");
        process.setProcessEnvironment(environment);
        process.start(m_cliProgram, {"list"}, QIODevice::ReadWrite | QIODevice::Text);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardOutput().isEmpty());
        QCOMPARE(process.readAllStandardError(),
                 QByteArray("TARVANE_SIMULATED_FAULTS: \"TV2026000999/reset=unplug\": "
                            "no simulated repeater has this card number or path\n"));
    }

private:
    QString path(const char* name) const {
        return m_dir.filePath(name);
    }

    QTemporaryDir m_dir;
    const QString m_startFolder = QDir::currentPath();
    // Absolute before the test changes folder: under Wine a path without a
    // drive is taken on the current folder's drive.
    const QString m_cliProgram = QFileInfo(TARVANE_CLI_SIMULATED).absoluteFilePath();
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
