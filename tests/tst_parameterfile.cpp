#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include "DevInfoWidget.h"
#include "ModalAnswerer.h"
#include "ParameterFile.h"
#include "SystemLimits.h"
#include "TestWindow.h"

namespace {

// Everything the pages of a window hold, for before/after comparisons. The
// channels by their frames: an opened register text keeps the blank after
// the comma of its "DataList" entry, which changes no value.
struct Snapshot {
    QList<QByteArray> channals;
    QList<QByteArray> fiber;
    QJsonArray route;

    bool operator==(const Snapshot& other) const {
        return channals == other.channals && fiber == other.fiber && route == other.route;
    }
};

Snapshot snapshot(TestWindow& window) {
    Snapshot s;
    for (int i = 0; i < 2; ++i) {
        s.channals << window.channal(i)->baudRateFrame();
        for (const QByteArray& frame : window.channal(i)->filterFrames()) s.channals << frame;
    }
    for (int i = 0; i < 4; ++i) s.fiber << window.m_pOpticalFiberParamWidget->baudRateData(i).toByteArray();
    s.route = window.m_pRouteParamWidget->toJson();
    return s;
}

// Values unlike the defaults on every page, applied as the device would.
void changeEverything(TestWindow& window) {
    window.channal(0)->setBaudRateReply(QByteArray::fromHex("12345678"));
    window.channal(0)->setFilterReplies({QByteArray::fromHex("1212a5030a901122334455667788")});
    window.channal(1)->setBaudRateReply(QByteArray::fromHex("0012000B"));
    window.channal(1)->setFilterReplies({QByteArray::fromHex("1212a50d8201a1b2c3d4e5f60718")});
    const int codes[] = {0x01, 0x05, 0x0a, 0x0c};
    for (int i = 0; i < 4; ++i) window.m_pOpticalFiberParamWidget->setBaudRateCode(i, codes[i]);
    QByteArray route(16, '\0');
    const char rows[] = {0x40, char(0x88), 0x00, char(0x81), 0x0D, char(0xC0)};  // reply bytes 4, 5, 8 ... 11
    const int at[] = {4, 5, 8, 9, 10, 11};
    for (int i = 0; i < 6; ++i) route[at[i]] = rows[i];
    window.m_pRouteParamWidget->setRouteReply(reinterpret_cast<const unsigned char*>(route.constData()));
}

// Open over pages that differ from the file last saved asks first.
const QString kOpenQuestion =
    QStringLiteral("页面上的修改尚未写入设备或保存。\n打开参数文件将以文件中的参数替换这些修改。");

QTableWidgetItem* idCell(TestWindow& window, int row) {
    return window.channal(0)->findChild<QTableWidget*>("m_pTableWidgetDataList")->item(row, 3);
}

// The fiber rows shown, by their choices.
QStringList fiberShown(TestWindow& window) {
    QStringList shown;
    for (auto* box : window.m_pOpticalFiberParamWidget->findChildren<QComboBox*>())
        if (!box->isHidden()) shown << box->currentText();
    return shown;
}

// A window that found no repeater, editing `model` offline unless it is empty.
std::unique_ptr<TestWindow> offlineWindow(const QString& model) {
    repeater().setPresent(false);
    ModalAnswerer answerer;
    auto window = std::make_unique<TestWindow>();
    if (!QTest::qWaitFor([&] { return !answerer.texts().isEmpty(); })) return nullptr;
    if (!model.isEmpty()) window->offlineEntry(model)->trigger();
    return window;
}

// The messages of the operation, without the dialog's own overwrite
// question, which carries the dialog's title.
QStringList operationTexts(const ModalAnswerer& answerer) {
    QStringList texts;
    for (const ModalAnswerer::Seen& seen : answerer.messages())
        if (seen.title != "保存配置") texts << seen.text;
    return texts;
}

}  // namespace

class TestParameterFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        removeLanguageSettings();
        QVERIFY(m_dir.isValid());
    }
    void init() { repeater().reset(); }
    // A test may set the system's 8-bit encoding.
    void cleanup() { QTextCodec::setCodecForLocale(nullptr); }

    void saveThenOpenRestoresEveryPage();
    void saveReplacesLongerFileWholly();
    void saveFailureKeepsWhatWasThere();
    void saveThatCannotReplaceTheFile();
    void saveWritesUtf8();
    void keysNeitherSaveNorQuit();
    void openRefusesBadFiles_data();
    void openRefusesBadFiles();
    void openAppliesMembersItCanUse_data();
    void openAppliesMembersItCanUse();
    void defaultWithDevice();
    void defaultWithoutDevice();
    void unplugWhileWaiting_data();
    void unplugWhileWaiting();
    void operationsNeedDevice_data();
    void operationsNeedDevice();
    void openFittingNoModel();
    void offlinePagesTakeAnotherShape_data();
    void offlinePagesTakeAnotherShape();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestParameterFile::saveThenOpenRestoresEveryPage() {
    auto window = connectedWindow(4);
    QVERIFY(window);
    changeEverything(*window);
    const Snapshot saved = snapshot(*window);
    ModalAnswerer answerer;
    answerer.queueFile(path("roundtrip.txt"));

    window->button("m_pushButtonSaveToFile")->click();

    // Saved all the same, and told what could not be written to a device.
    QCOMPARE(
        operationTexts(answerer),
        QStringList{"保存完成\n\n以下参数还不能写入设备：\nCAN通道1 波特率：字段外的位不为0：0x10005400"});
    QCOMPARE(answerer.seen().first().kind, QString("file"));
    QCOMPARE(answerer.seen().first().text, QString("保存配置"));
    QVERIFY(window->button("m_pushButtonRead")->isEnabled());
    const QByteArray text = readFile(path("roundtrip.txt"), QIODevice::Text);
    const QJsonObject top = QJsonDocument::fromJson(text).object();
    QCOMPARE(top.value("CANParam").toArray().size(), 2);
    QCOMPARE(top.value("FiberParam").toObject().value("Baud").toArray(),
             (QJsonArray{"01", "05", "0a", "0c"}));
    QCOMPARE(top.value("FiberParam").toObject().value("Model").toInt(), -1);
    QVERIFY(text.startsWith("{\n    \"CANParam\": [\n        {\n"));
    QVERIFY(text.indexOf("\"FiberParam\"") < text.indexOf("\"Route\""));
    QVERIFY(text.indexOf("\"Baud\"") < text.indexOf("\"Model\""));

    window->button("m_pushButtonDefault")->click();
    QVERIFY(!(snapshot(*window) == saved));
    answerer.clear();
    answerer.queueButton(QMessageBox::Discard);
    answerer.queueFile(path("roundtrip.txt"));

    window->button("m_pushButtonReadFromFile")->click();

    QCOMPARE(
        answerer.texts(),
        (QStringList{kOpenQuestion,
                     "读取完成\n\n以下参数还不能写入设备：\nCAN通道1 波特率：字段外的位不为0：0x10005400"}));
    QCOMPARE(answerer.seen().at(1).text, QString("打开配置"));
    // The opened register texts begin with a blank; their column is wide enough.
    const QAbstractItemView* filters = idCell(*window, 0)->tableWidget();
    QVERIFY(idCell(*window, 0)->tableWidget()->columnWidth(3) >= filters->sizeHintForColumn(3));
    const Snapshot opened = snapshot(*window);
    QCOMPARE(opened.channals, saved.channals);
    QCOMPARE(opened.fiber, saved.fiber);
    QCOMPARE(opened.route, saved.route);
    QVERIFY(repeater().log().isEmpty());
}

void TestParameterFile::saveReplacesLongerFileWholly() {
    auto window = connectedWindow(4);
    QVERIFY(window);
    const QString file = path("longer.txt");
    QVERIFY(writeFile(file, QByteArray(200000, '#')));
    ModalAnswerer answerer;
    answerer.queueFile(file);

    window->button("m_pushButtonSaveToFile")->click();

    // The dialog asks first whether to replace the file; the answer is yes.
    QCOMPARE(answerer.messages().size(), 2);
    QCOMPARE(answerer.messages().first().title, QString("保存配置"));
    QVERIFY(answerer.messages().first().text.contains("longer.txt"));
    QCOMPARE(operationTexts(answerer), QStringList{"保存完成"});
    const QByteArray text = readFile(file);
    QVERIFY(!text.contains('#'));
    QJsonParseError error;
    QVERIFY(QJsonDocument::fromJson(text, &error).isObject());
}

void TestParameterFile::saveFailureKeepsWhatWasThere() {
    auto window = connectedWindow(4);
    QVERIFY(window);
    ModalAnswerer answerer;
    answerer.queueFile(path("missing/parameters.txt"));

    window->button("m_pushButtonSaveToFile")->click();

    QCOMPARE(answerer.messages().size(), 1);
    const ModalAnswerer::Seen box = answerer.messages().first();
    QCOMPARE(box.kind, QString("warning"));
    QCOMPARE(box.title, QString("失败"));
    QCOMPARE(box.buttons.size(), 1);
    // The file and the reason, in the program's language.
    QCOMPARE(box.text, "写配置文件失败. " + QDir::toNativeSeparators(path("missing/parameters.txt")) +
                           "：文件或文件夹不存在");
    QVERIFY(!QFile::exists(path("missing/parameters.txt")));
}

// The new file is written whole but cannot take the old one's place: Save
// says so with the system's reason, and the old file stays, alone.
void TestParameterFile::saveThatCannotReplaceTheFile() {
    auto window = connectedWindow(4);
    QVERIFY(window);
    QTemporaryDir folder;
    const QString file = folder.filePath("held.txt");
    QVERIFY(writeFile(file, "{}"));
    ModalAnswerer answerer;
    answerer.queueFile(file);
    bool saved = true;
    QString warning;
    if (!withReplacingRefused(file, [&] {
            saved = ParameterFile::save(file, QJsonDocument(QJsonObject()), &warning);
            window->button("m_pushButtonSaveToFile")->click();
        }))
        QSKIP("a file that cannot be replaced needs root here");
    const QString refused = "写配置文件失败. " + QDir::toNativeSeparators(file) + "：没有权限";
    QVERIFY(!saved);
    QCOMPARE(warning, refused);
    QCOMPARE(operationTexts(answerer), QStringList{refused});
    QCOMPARE(readFile(file), QByteArray("{}"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"held.txt"});
}

// On a Chinese system too, and what it saved opens again.
void TestParameterFile::saveWritesUtf8() {
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("GB18030"));
    auto window = connectedWindow(4);
    QVERIFY(window);
    idCell(*window, 0)->setText(kFullWidthId);
    ModalAnswerer answerer;
    answerer.queueFile(path("full-width.txt"));

    window->button("m_pushButtonSaveToFile")->click();

    QCOMPARE(operationTexts(answerer), QStringList{"保存完成"});
    const QByteArray text = readFile(path("full-width.txt"), QIODevice::Text);
    QVERIFY(text.startsWith("{\n"));  // no byte order mark
    QVERIFY(text.contains("\"1, 0, 1, " + kFullWidthIdUtf8 + ", 00 00 00 00\""));

    idCell(*window, 0)->setText("00 00 00 00");
    answerer.clear();
    answerer.queueButton(QMessageBox::Discard);
    answerer.queueFile(path("full-width.txt"));
    window->button("m_pushButtonReadFromFile")->click();
    QCOMPARE(answerer.texts(), (QStringList{kOpenQuestion, "读取完成"}));
    QCOMPARE(idCell(*window, 0)->text(), " " + kFullWidthId);
}

// Esc does not end the program, Enter in a table presses no button; a name
// without a suffix is saved with ".txt"; Esc closes the device information.
void TestParameterFile::keysNeitherSaveNorQuit() {
    auto window = connectedWindow(4);
    QVERIFY(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    ModalAnswerer answerer;
    auto* table = window->channal(0)->findChild<QTableWidget*>("m_pTableWidgetDataList");
    table->setCurrentCell(3, 3);
    QTest::keyClick(table, Qt::Key_Return);
    QTest::keyClick(table, Qt::Key_Escape);
    QTest::qWait(20);
    QVERIFY(answerer.seen().isEmpty());
    QVERIFY(window->isVisible());

    answerer.queueFile(path("no-suffix"));
    window->button("m_pushButtonSaveToFile")->click();
    QCOMPARE(answerer.texts(), QStringList{"保存完成"});
    QVERIFY(QFile::exists(path("no-suffix.txt")));

    window->m_pDevInfoWidget->show();
    QVERIFY(QTest::qWaitForWindowExposed(window->m_pDevInfoWidget));
    QTest::keyClick(window->m_pDevInfoWidget, Qt::Key_Escape);
    QVERIFY(!window->m_pDevInfoWidget->isVisible());
}

void TestParameterFile::openRefusesBadFiles_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");  // %1: the file, %2: the parser's own words for its error
    QTest::addColumn<int>("parseError");

    const QByteArray good =
        R"({"CANParam": [{"ChannalID": 1, "BaudRate": "0x00120005", "DataList": []}],
            "FiberParam": {"Baud": ["01"], "Model": -1}, "Route": []})";
    // The text that always stood first, then the file and the reason.
    const QString parseFailed = "解析配置文件失败. %1：";
    QTest::newRow("not JSON") << QByteArray("CANParam=1") << parseFailed + "第1行第1列：%2"
                              << int(QJsonParseError::IllegalValue);
    QTest::newRow("empty") << QByteArray() << parseFailed + "文件是空的" << -1;
    QTest::newRow("blanks only") << QByteArray(" \n\n") << parseFailed + "文件是空的" << -1;
    QTest::newRow("truncated") << good.left(good.size() / 3 * 2) << parseFailed + "第2行第22列：%2"
                               << int(QJsonParseError::UnterminatedString);
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE{\0}\0", 6) << parseFailed + "文件是UTF-16编码，须为UTF-8"
                            << -1;
    // Its mark begins as UTF-16's does.
    QTest::newRow("UTF-32") << QByteArray("\xFF\xFE\0\0{\0\0\0}\0\0\0", 12)
                            << parseFailed + "文件是UTF-32编码，须为UTF-8" << -1;
    QTest::newRow("array at the top") << QByteArray("[1, 2]") << parseFailed + "顶层须为对象" << -1;
    QTest::newRow("no Route") << QByteArray(R"({"CANParam": [{"BaudRate": "0x00120005"}], "FiberParam": {}})")
                              << parseFailed + "缺少“Route”" << -1;
    QTest::newRow("no FiberParam") << QByteArray(R"({"CANParam": [], "Route": []})")
                                   << parseFailed + "缺少“FiberParam”" << -1;
    // Files that parse but give this device nothing must not be reported as
    // read; the values it could not use are named.
    const QString nothing = "参数文件中没有这台设备的参数\n\n以下值无法使用，页面保留原值：\n";
    QTest::newRow("members of the wrong types")
        << QByteArray(R"({"CANParam": {"BaudRate": "0x00120005"}, "FiberParam": ["01"], "Route": "0 1"})")
        << nothing + "CANParam：须为数组\nFiberParam：须为对象\nRoute：须为数组" << -1;
    QTest::newRow("Route rows not six digits")
        << QByteArray(R"({"CANParam": [], "FiberParam": {}, "Route": ["0 1", "1 0", "", "", "", ""]})")
        << nothing + "FiberParam.Baud：缺少\nRoute[0]：须为6个0或1，以空格分隔" << -1;
    QTest::newRow("members null") << QByteArray(R"({"CANParam": null, "FiberParam": null, "Route": null})")
                                  << nothing + "CANParam：须为数组\nFiberParam：须为对象\nRoute：须为数组"
                                  << -1;
    QByteArray padded = good;
    padded.append(QByteArray(ParameterFile::kMaxFileSize + 1 - good.size(), ' '));
    QTest::newRow("1 MiB and one byte") << padded << "打开配置文件失败. %1：文件大于1 MiB." << -1;
}

void TestParameterFile::openRefusesBadFiles() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QFETCH(int, parseError);
    auto window = connectedWindow(4);
    QVERIFY(window);
    const Snapshot before = snapshot(*window);
    const QString file = path("bad.txt");
    // The parser's own words, in the language its catalogue gives them.
    QJsonParseError parser;
    parser.error = QJsonParseError::ParseError(parseError);
    if (message.contains("%2")) message = message.arg(QDir::toNativeSeparators(file), parser.errorString());
    QVERIFY(writeFile(file, content));
    ModalAnswerer answerer;
    answerer.queueFile(file);

    window->button("m_pushButtonReadFromFile")->click();

    QCOMPARE(answerer.messages().size(), 1);
    const ModalAnswerer::Seen box = answerer.messages().first();
    QCOMPARE(box.kind, QString("warning"));
    QCOMPARE(box.title, QString("失败"));
    QCOMPARE(box.text, message.contains("%1") ? message.arg(QDir::toNativeSeparators(file)) : message);
    QVERIFY(snapshot(*window) == before);
    QVERIFY(window->button("m_pushButtonRead")->isEnabled());
}

void TestParameterFile::openAppliesMembersItCanUse_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("baudRates");  // bit-timing texts of channels 1 and 2 afterwards
    QTest::addColumn<QByteArray>("fiberCodes");  // fiber codes afterwards, 00 for an empty selector
    QTest::addColumn<bool>("routeChanged");
    QTest::addColumn<QStringList>("unusable");  // the values named as left as they were
    QTest::addColumn<QString>("unsendable");    // what the pages then hold that the Write would refuse
    QTest::addColumn<QString>("notes");         // what the file holds that the command line reads otherwise
    QTest::addColumn<QString>("beyond");        // what the pages have no channel for
    QTest::addColumn<QString>("model");         // the repeater's, or "离线：" and the one edited offline

    const QByteArray route = R"(["0 1 0 0 0 0 ", "1 0 0 0 0 0 ", "0 0 0 0 0 0 ",
                                 "0 0 0 0 0 0 ", "0 0 0 0 0 0 ", "0 0 0 0 0 0 "])";
    const QStringList defaults{"0x001C00E0", "0x001C00E0"};
    QTest::newRow("more channels than the device")
        << (R"({"CANParam": [{"BaudRate": "0x00120005"}, {"BaudRate": "0x0012000B"}, {"BaudRate": "0x0012002F"}],
                "FiberParam": {"Baud": [], "Model": -1}, "Route": )" +
            route + "}")
        << QStringList{"0x00120005", "0x0012000B"} << QByteArray::fromHex("0b0b0b0b") << true
        << QStringList{"CANParam[0].DataList：缺少", "CANParam[1].DataList：缺少"} << QString() << QString()
        << "Orvex-A4没有CAN3，文件中这些通道的参数未使用。"
        << "Orvex-A4";
    QTest::newRow("fewer channels, ChannalID ignored")
        << (R"({"CANParam": [{"ChannalID": 2, "BaudRate": "0x0012000B", "DataList": []}],
                "FiberParam": {"Baud": ["01", "02", "03", "04", "05"]}, "Route": )" +
            route + "}")
        << QStringList{"0x0012000B", "0x001C00E0"} << QByteArray::fromHex("01020304") << true
        << QStringList{"CANParam[0].DataList：须有14项，实有0项"} << QString()
        << "CANParam[0]的“ChannalID”为2，但按位置用于CAN通道1（命令行用于CAN通道2）"
        << "Orvex-A4没有光纤5，文件中这些通道的参数未使用。"
        << "Orvex-A4";
    // What cannot be used keeps what the pages showed, and is named.
    QTest::newRow("Baud 0a, 12, zz, 0d")
        << QByteArray(R"({"CANParam": [], "FiberParam": {"Baud": ["0a", 12, "zz", "0d"]}, "Route": []})")
        << defaults << QByteArray::fromHex("0a0b0b0b") << false
        << QStringList{"FiberParam.Baud[1]：须为字符串", "FiberParam.Baud[2]：须为01到0c的十六进制代码",
                       "FiberParam.Baud[3]：须为01到0c的十六进制代码", "Route：须有6项，实有0项"}
        << QString() << QString() << QString() << "Orvex-A4";
    QTest::newRow("values of the wrong types")
        << (R"({"CANParam": [{"BaudRate": 1234, "DataList": "abc"},
                             {"BaudRate": "0x0012000B", "DataList": ["1, 0, 2, 11 22 33 44, 0", 5]}],
                "FiberParam": {"Baud": ["zz"]}, "Route": )" +
            route + "}")
        << QStringList{"0x001C00E0", "0x0012000B"} << QByteArray::fromHex("0b0b0b0b") << true
        << QStringList{"CANParam[0].BaudRate：须为字符串",
                       "CANParam[0].DataList：须为数组",
                       "CANParam[1].DataList：须有14项，实有2项",
                       "CAN通道2 第1行（CANParam[1].DataList[0]）：位数须为0或1，实为“2”",
                       "CAN通道2 第2行（CANParam[1].DataList[1]）：须为字符串",
                       "FiberParam.Baud[0]：须为01到0c的十六进制代码"}
        << "CAN通道2 第1行 掩码寄存器：8个十六进制数字（数字之间可有空格和逗号，可带0x）" << QString()
        << QString() << "Orvex-A4";
    QByteArray limit = R"({"CANParam": [{"BaudRate": "0x00120005"}], "FiberParam": {}, "Route": []})";
    limit.append(QByteArray(ParameterFile::kMaxFileSize - limit.size(), ' '));
    QTest::newRow("exactly 1 MiB") << limit << QStringList{"0x00120005", "0x001C00E0"}
                                   << QByteArray::fromHex("0b0b0b0b") << false
                                   << QStringList{"CANParam[0].DataList：缺少", "FiberParam.Baud：缺少",
                                                  "Route：须有6项，实有0项"}
                                   << QString() << QString() << QString() << "Orvex-A4";
    // The last of a key given twice, as the parser takes it, and said.
    QTest::newRow("a key twice")
        << QByteArray(
               "{\"CANParam\": [{\"BaudRate\": \"0x00120005\",\n\"BaudRate\": \"0x0012000B\"}],\n"
               "\"FiberParam\": {}, \"Route\": []}")
        << QStringList{"0x0012000B", "0x001C00E0"} << QByteArray::fromHex("0b0b0b0b") << false
        << QStringList{"CANParam[0].DataList：缺少", "FiberParam.Baud：缺少", "Route：须有6项，实有0项"}
        << QString() << "CANParam[0].BaudRate：键出现了不止一次（第1行和第2行）" << QString() << "Orvex-A4";
    // A file saved for an Orvex-A4, its fiber links 3 and 4 on an Orvex-B1.
    const QByteArray a4 =
        R"({"CANParam": [], "FiberParam": {"Baud": ["01", "05", "0a", "0c"]}, "Route": []})";
    for (const char* model : {"Orvex-B1", "离线：Orvex-B1"})
        QTest::newRow(qPrintable(QString("an Orvex-A4 file, ") + model))
            << a4 << defaults << QByteArray::fromHex("01050b0b") << false
            << QStringList{"Route：须有6项，实有0项"} << QString() << QString()
            << "Orvex-B1没有光纤3、光纤4，文件中这些通道的参数未使用。" << QString(model);
}

void TestParameterFile::openAppliesMembersItCanUse() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, baudRates);
    QFETCH(QByteArray, fiberCodes);
    QFETCH(bool, routeChanged);
    QFETCH(QStringList, unusable);
    QFETCH(QString, unsendable);
    QFETCH(QString, notes);
    QFETCH(QString, beyond);
    QFETCH(QString, model);
    auto window = model.startsWith("离线：") ? offlineWindow(model.mid(3))
                                             : connectedWindow(model.endsWith("B1") ? 5 : 4);
    QVERIFY(window);
    QCOMPARE(window->deviceName().section('_', 0, 0), model);
    window->button("m_pushButtonDefault")->click();
    const QJsonArray routeBefore = window->m_pRouteParamWidget->toJson();
    const QString file = path("members.txt");
    QVERIFY(writeFile(file, content));
    ModalAnswerer answerer;
    answerer.queueFile(file);

    window->button("m_pushButtonReadFromFile")->click();

    // Done, then what the pages kept, then what the Write would refuse.
    QString text = "读取完成";
    if (!beyond.isEmpty()) text += "\n\n" + beyond;
    if (!notes.isEmpty()) text += "\n\n请注意文件中的以下几处：\n" + notes;
    if (!unusable.isEmpty()) text += "\n\n以下值无法使用，页面保留原值：\n" + unusable.join('\n');
    if (!unsendable.isEmpty()) text += "\n\n以下参数还不能写入设备：\n" + unsendable;
    QCOMPARE(answerer.texts(), QStringList{text});
    for (int i = 0; i < 2; ++i)
        QCOMPARE(window->channal(i)->toJson().value("BaudRate").toString(), baudRates[i]);
    for (int i = 0; i < 4; ++i) {
        const QByteArray code = window->m_pOpticalFiberParamWidget->baudRateData(i).toByteArray();
        QCOMPARE(code.isEmpty() ? QByteArray(1, '\0') : code, fiberCodes.mid(i, 1));
    }
    QCOMPARE(window->m_pRouteParamWidget->toJson() != routeBefore, routeChanged);
    if (routeChanged)
        QCOMPARE(window->m_pRouteParamWidget->toJson().at(1).toString(), QString("1 0 0 0 0 0 "));
}

void TestParameterFile::defaultWithDevice() {
    auto window = connectedWindow(4);
    QVERIFY(window);
    changeEverything(*window);
    ModalAnswerer answerer;
    answerer.queueButton(QMessageBox::Discard);

    window->button("m_pushButtonDefault")->click();

    QTest::qWait(50);
    // Over edits neither written nor saved, Default asks first.
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen().first().kind, QString("question"));
    QVERIFY(repeater().log().isEmpty());
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(window->channal(i)->baudRateFrame().mid(6, 4), QByteArray::fromHex("001C00E0"));
        QCOMPARE(window->channal(i)->filterFrames()[0].mid(5, 2),
                 QByteArray(1, char(0x80 | (i + 1))) + '\x01');
        QCOMPARE(window->channal(i)->filterFrames()[13].mid(5, 2), QByteArray(1, char(i + 1)) + '\x01');
    }
    for (int i = 0; i < 4; ++i)
        QCOMPARE(window->m_pOpticalFiberParamWidget->baudRateData(i).toByteArray(),
                 QByteArray::fromHex("0b"));
    QCOMPARE(window->m_pRouteParamWidget->toJson(),
             (QJsonArray{"0 1 1 1 1 1 ", "1 0 1 1 1 1 ", "1 1 0 1 1 1 ", "1 1 1 0 1 1 ", "1 1 1 1 0 1 ",
                         "1 1 1 1 1 0 "}));
}

void TestParameterFile::defaultWithoutDevice() {
    repeater().setPresent(false);
    ModalAnswerer answerer;
    TestWindow window;
    QTRY_COMPARE(answerer.texts(), QStringList{"搜索设备失败"});
    answerer.clear();

    window.button("m_pushButtonDefault")->click();

    QTest::qWait(50);
    QVERIFY(answerer.seen().isEmpty());
    QVERIFY(!window.channal(0));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(window.m_pOpticalFiberParamWidget->baudRateData(i).toByteArray(), QByteArray::fromHex("0b"));
}

void TestParameterFile::unplugWhileWaiting_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("existing");
    QTest::newRow("Save") << "m_pushButtonSaveToFile" << false;
    QTest::newRow("Open") << "m_pushButtonReadFromFile" << true;
    QTest::newRow("Write config") << "m_pushButtonWrite" << false;
}

void TestParameterFile::unplugWhileWaiting() {
    QFETCH(QString, button);
    QFETCH(bool, existing);
    auto window = connectedWindow(4);
    QVERIFY(window);
    const QString file = path(QString("unplugged-%1.txt").arg(QTest::currentDataTag()));
    const QByteArray content = R"({"CANParam": [], "FiberParam": {"Baud": ["01"]}, "Route": []})";
    if (existing) QVERIFY(writeFile(file, content));
    ModalAnswerer answerer;
    answerer.queueFile(file);
    QTimer::singleShot(0, window.get(), [&] { emit window->deviceChanged(0); });

    window->button(button.toLatin1())->click();

    QCOMPARE(answerer.texts(), QStringList{"设备未连接"});
    QCOMPARE(QFile::exists(file), existing);
    QVERIFY(repeater().log().isEmpty());
    QCOMPARE(window->m_pOpticalFiberParamWidget->baudRateData(0).toByteArray(), QByteArray::fromHex("0b"));
}

// Without a repeater or a model edited offline (Open: openFittingNoModel).
void TestParameterFile::operationsNeedDevice_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("Read config") << "m_pushButtonRead";
    QTest::newRow("Write config") << "m_pushButtonWrite";
    QTest::newRow("Save") << "m_pushButtonSaveToFile";
    QTest::newRow("Compare with device") << "m_pActionCompare";
}

void TestParameterFile::operationsNeedDevice() {
    QFETCH(QString, button);
    repeater().setPresent(false);
    ModalAnswerer answerer;
    TestWindow window;
    QTRY_COMPARE(answerer.texts(), QStringList{"搜索设备失败"});
    answerer.clear();
    repeater().setPresent(true);  // present again, but nobody has looked for it
    answerer.queueFile(path("unused.txt"));

    if (auto* action = window.findChild<QAction*>(button))
        action->trigger();
    else
        window.button(button.toLatin1())->click();

    // Save adds where to choose a model to edit offline.
    QCOMPARE(answerer.texts().size(), 1);
    QVERIFY(answerer.texts().first().startsWith("设备未连接"));
    QCOMPARE(answerer.messages().first().kind, QString("information"));
    QCOMPARE(answerer.messages().first().title, QString("提示"));
    QCOMPARE(answerer.seen().size(), 1);  // no file dialog
    QVERIFY(repeater().log().isEmpty());
    const QStringList buttons{"m_pushButtonRead", "m_pushButtonWrite", "m_pushButtonSaveToFile",
                              "m_pushButtonReadFromFile", "m_pushButtonDefault"};
    for (const QString& name : buttons) QVERIFY(window.button(name.toLatin1())->isEnabled());
}

// Open with neither a repeater nor a model, of a file whose counts fit no
// model: it says so, offers them all, and may be cancelled (fitting files:
// tst_cli's offlineEveryModel).
void TestParameterFile::openFittingNoModel() {
    const QString file = path("no-model.txt");
    QVERIFY(writeFile(file,
                      R"({"CANParam": [{}, {}], "FiberParam": {"Baud": ["05", "0c", "01"]}, "Route": []})"));
    auto window = offlineWindow(QString());
    QVERIFY(window);
    ModalAnswerer answerer;
    answerer.queueFile(file);
    QInputDialog* choice = nullptr;
    answerer.queueDialog([&](QDialog* dialog) {
        choice = qobject_cast<QInputDialog*>(dialog);
        QCOMPARE(choice->labelText(), QString("参数文件中CAN通道的参数：2组；光纤通道的参数：3组。\n"
                                              "没有型号与之相符，可任选一个型号离线编辑："));
        QCOMPARE(choice->comboBoxItems(),
                 (QStringList{"Orvex-A1", "Orvex-A2", "Orvex-A3", "Orvex-A4", "Orvex-B1"}));
    });

    window->button("m_pushButtonReadFromFile")->click();

    QVERIFY(choice);
    QVERIFY(answerer.texts().isEmpty());
    QVERIFY(window->deviceName().isEmpty() && !window->channal(0));
}

void TestParameterFile::offlinePagesTakeAnotherShape_data() {
    QTest::addColumn<QString>("to");  // a model chosen, or a repeater of hardware type 2 plugged in
    QTest::addColumn<int>("answer");  // the button pressed
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("name");  // the name line afterwards
    QTest::addColumn<QStringList>("fiber");
    QTest::addColumn<bool>("kept");  // the edits on the pages, neither written nor saved
    const QString device =
        "已连接设备Orvex-A2_TV2026000417。离线编辑的修改尚未保存，是否把它们带到这台设备的页面上？\n"
        "Orvex-A2没有光纤2、光纤3、光纤4，保留时舍去这些通道的值。\n不保留则页面显示Orvex-A2的默认值。";
    const QString model =
        "页面上的修改尚未写入设备或保存。是否把它们带到Orvex-A3？\n"
        "Orvex-A3没有光纤3、光纤4，保留时舍去这些通道的值。\n不保留则页面显示Orvex-A3的默认值。";
    const QString a2 = "Orvex-A2_TV2026000417";
    const QString a3 = "离线：Orvex-A3";
    QTest::newRow("repeater, kept") << QString() << int(QMessageBox::Yes) << device << a2
                                    << QStringList{"50K"} << true;
    QTest::newRow("repeater, not kept")
        << QString() << int(QMessageBox::No) << device << a2 << QStringList{"1380K"} << false;
    QTest::newRow("model, kept") << "Orvex-A3" << int(QMessageBox::Yes) << model << a3
                                 << QStringList{"50K", "1380K"} << true;
    QTest::newRow("model, gone back") << "Orvex-A3" << int(QMessageBox::Cancel) << model << "离线：Orvex-A4"
                                      << QStringList{"50K", "1380K", "1380K", "1380K"} << true;
}

// Offline pages of an Orvex-A4 with edits, which a model or a repeater of
// fewer channels replaces (without edits a repeater asks nothing: tst_cli).
void TestParameterFile::offlinePagesTakeAnotherShape() {
    QFETCH(QString, to);
    QFETCH(int, answer);
    QFETCH(bool, kept);
    auto window = offlineWindow("Orvex-A4");
    QVERIFY(window);
    idCell(*window, 3)->setText("12 34 56 78");
    window->m_pOpticalFiberParamWidget->findChild<QComboBox*>("m_comboBoxBaudRate1")->setCurrentIndex(4);
    ModalAnswerer answerer;
    answerer.queueButton(QMessageBox::StandardButton(answer));

    if (to.isEmpty()) {
        sim::Identity identity;
        identity.hardwareType = 2;
        repeater().setIdentity(identity);
        repeater().setPresent(true);
        emit window->deviceChanged(1);
        QTRY_VERIFY(window->m_bConnected);
        QVERIFY(!window->offlineEntry("Orvex-A4"));
    } else {
        window->offlineEntry(to)->trigger();
    }

    QCOMPARE(answerer.texts().size(), 1);
    QTEST(answerer.texts().first(), "question");
    QTEST(window->deviceName(), "name");
    QTEST(fiberShown(*window), "fiber");
    QCOMPARE(idCell(*window, 3)->text(), QString(kept ? "12 34 56 78" : "00 00 00 00"));
    // Kept, they are still to be written or saved: Default asks.
    answerer.queueButton(QMessageBox::Cancel);
    window->button("m_pushButtonDefault")->click();
    QCOMPARE(answerer.texts().size(), 1 + int(kept));
}

QTEST_MAIN(TestParameterFile)
#include "tst_parameterfile.moc"
