// The parameter file on disk without a window: what a save leaves when it
// cannot finish, what it writes to other kinds of target, the encodings
// Open reads, and what the two readings make of the same text.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>
#include <cerrno>
#include <thread>

#include "OrdinaryUser.h"
#include "ParameterFile.h"
#include "SystemLimits.h"
#include "TestFiles.h"

class TestParameterFileIo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    // A test may set the system's 8-bit encoding.
    void cleanup() { QTextCodec::setCodecForLocale(nullptr); }

    void saveFailureKeepsWhatWasThere();
    void saveInPlaceInReadOnlyFolder();
    void saveKeepsWhatTheTargetIs();
    void openReadsUtf8OrSystemEncoding_data();
    void openReadsUtf8OrSystemEncoding();
    void openLenientOrStrict_data();
    void openLenientOrStrict();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestParameterFileIo::saveFailureKeepsWhatWasThere() {
    // The file dialog does not hand out a directory; the file class must refuse it too.
    QVERIFY(QDir(m_dir.path()).mkpath("taken/inner"));
    QString warning;
    QVERIFY(!ParameterFile::save(path("taken"), QJsonDocument(QJsonObject{{"CANParam", QJsonArray()}}),
                                 &warning));
    QVERIFY(warning.startsWith("写配置文件失败."));
    QVERIFY(QFileInfo(path("taken/inner")).isDir());

    // The disk fills up while the new file is written: the old one stays.
    const QString kept = path("kept.txt");
    QVERIFY(writeFile(kept, "{}"));
    bool saved = true;
    if (!withFileSizeLimit(4096, [&] {
            saved = ParameterFile::save(kept, QJsonDocument(QJsonArray{QString(8000, 'x')}), &warning);
        }))
        return;
    QVERIFY(!saved);
    QCOMPARE(warning, "写配置文件失败. " + QDir::toNativeSeparators(kept) + "：" + qt_error_string(EFBIG));
    QCOMPARE(readFile(kept), QByteArray("{}"));
}

void TestParameterFileIo::saveInPlaceInReadOnlyFolder() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString existing = folder.filePath("existing.txt");
    QVERIFY(writeFile(existing, QByteArray(5000, '#')));
    QVERIFY(QFile::setPermissions(existing, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));
    QVERIFY(setFolderWritable(folder.path(), false));
    const QJsonDocument document(
        QJsonObject{{"CANParam", QJsonArray()}, {"FiberParam", QJsonObject()}, {"Route", QJsonArray()}});

    const OrdinaryUserRun run = runAsOrdinaryUser([&]() -> QString {
        QString warning;
        // The folder takes no new file: the setup holds.
        if (ParameterFile::save(folder.filePath("new.txt"), document, &warning))
            return "a new file was saved in the read-only folder";
        if (!ParameterFile::save(existing, document, &warning)) return warning;
        QFile file(existing);
        if (!file.open(QIODevice::ReadOnly) || QJsonDocument::fromJson(file.readAll()) != document)
            return "the file does not hold the document alone";
        file.close();
        // The disk fills up while a larger document is written: the old one
        // comes back whole, and the message gives the system's reason.
        const QByteArray old = readFile(existing);
        QString full;
        const bool limited = withFileSizeLimit(4096, [&] {
            if (ParameterFile::save(existing, QJsonDocument(QJsonArray{QString(8000, 'x')}), &warning))
                full = "saved past the end of the disk";
            else if (warning !=
                     "写配置文件失败. " + QDir::toNativeSeparators(existing) + "：" + qt_error_string(EFBIG))
                full = "not the system's reason: " + warning;
            else if (readFile(existing) != old)
                full = "the old file was not put back";
        });
        return limited ? full : QString();
    });
    QVERIFY(setFolderWritable(folder.path(), true));
    if (run.outcome == OrdinaryUserRun::Unavailable) QSKIP(qPrintable(run.message));
    QVERIFY2(run.outcome == OrdinaryUserRun::Passed, qPrintable(run.message));
}

// A file keeps its permission bits; a named pipe (or a device) is written,
// not replaced by a file.
void TestParameterFileIo::saveKeepsWhatTheTargetIs() {
    const QJsonDocument document(QJsonObject{{"CANParam", QJsonArray()}});
    QString warning;
    const QString readOnly = path("read-only.txt");
    QVERIFY(writeFile(readOnly, "{}"));
    const QFile::Permissions permissions = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const QFile::Permissions modeBits =
        permissions | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    QVERIFY(QFile::setPermissions(readOnly, permissions));
    if (ParameterFile::save(readOnly, document, &warning))  // as root, or where the folder lets the file go
        QCOMPARE(QFile::permissions(readOnly) & modeBits, permissions);

    const QString pipe = path("pipe");
    if (!makeNamedPipe(pipe)) QSKIP("no named pipes here");
    QByteArray received;
    std::thread reader([&] { received = readFile(pipe); });
    const bool saved = ParameterFile::save(pipe, document, &warning);
    reader.join();
    QVERIFY2(saved, qPrintable(warning));
    QVERIFY(!QFileInfo(pipe).isFile());
    QCOMPARE(QJsonDocument::fromJson(received), document);
}

void TestParameterFileIo::openReadsUtf8OrSystemEncoding_data() {
    QTest::addColumn<QByteArray>("localCodec");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("entry");  // channel 1, bank 0 as opened

    const QString json = QString(R"({"CANParam": [{"DataList": ["1, 0, 1, %1, 00 00 00 00"]}],
                                      "FiberParam": {}, "Route": []})")
                             .arg(kFullWidthId);
    const QByteArray utf8 = json.toUtf8();
    QVERIFY(utf8.contains(kFullWidthIdUtf8));
    const QByteArray gb18030 = QTextCodec::codecForName("GB18030")->fromUnicode(json);
    QVERIFY(gb18030.contains(QByteArray("12") + "\xA3\xAC" + "34 56 78"));

    const QString opened = "1, 0, 1, " + kFullWidthId + ", 00 00 00 00";
    QTest::newRow("UTF-8 with byte order mark") << QByteArray("GB18030") << "\xEF\xBB\xBF" + utf8 << opened;
    // As earlier tools wrote it on a Chinese system.
    QTest::newRow("system encoding") << QByteArray("GB18030") << gb18030 << opened;
    // On Linux, whose system encoding is UTF-8, such a file is GBK all the same.
    QTest::newRow("not UTF-8 on a UTF-8 system") << QByteArray("UTF-8") << gb18030 << opened;
}

void TestParameterFileIo::openReadsUtf8OrSystemEncoding() {
    QFETCH(QByteArray, localCodec);
    QFETCH(QByteArray, content);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName(localCodec));
    const QString file = path("encoded.txt");
    QVERIFY(writeFile(file, content));

    const ParameterFile::Opened opened = ParameterFile::open(file, ParameterFile::Reading::Lenient);

    QVERIFY2(opened.isOpen && opened.warning.isEmpty(), qPrintable(opened.warning));
    QTEST(opened.object["CANParam"].toArray().at(0).toObject()["DataList"].toArray().at(0).toString(),
          "entry");
}

// The window's Open reads a file leniently, the command line strictly: the
// same file, what each makes of it.
void TestParameterFileIo::openLenientOrStrict_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("lenient");  // opened by each
    QTest::addColumn<bool>("strict");
    QTest::addColumn<QStringList>("found");  // keys given twice, then elements out of place
    QTest::addColumn<QString>("warning");    // after the text that always stood first
    const QByteArray rest = R"("FiberParam": {"Baud": []}, "Route": [])";
    QTest::newRow("sound") << R"({"CANParam": [{"ChannalID": 1}, {"ChannalID": 2}], )" + rest + "}" << true
                           << true << QStringList() << QString();
    QTest::newRow("a key twice") << R"({"CANParam": [{"BaudRate": "1", "BaudRate": "2"}], )" + rest + "}"
                                 << true << false
                                 << QStringList{"CANParam[0].BaudRate：键出现了不止一次（第1行和第1行）"}
                                 << QString();
    QTest::newRow("elements swapped")
        << R"({"CANParam": [{"ChannalID": 2}, {"ChannalID": 1}], )" + rest + "}" << true << true
        << QStringList{"CANParam[0] 2", "CANParam[1] 1"} << QString();
    // A CR that ends a line is no column of it.
    QTest::newRow("cut off, LF") << QByteArray("{\n\"CANParam\": [\n") << false << false << QStringList()
                                 << "第2行第14列：";
    QTest::newRow("cut off, CRLF") << QByteArray("{\r\n\"CANParam\": [\r\n") << false << false
                                   << QStringList() << "第2行第14列：";
}

void TestParameterFileIo::openLenientOrStrict() {
    QFETCH(QByteArray, text);
    QFETCH(QString, warning);
    for (const ParameterFile::Reading reading :
         {ParameterFile::Reading::Lenient, ParameterFile::Reading::Strict}) {
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        const ParameterFile::Opened opened = ParameterFile::open(buffer, "a.txt", reading);
        QTEST(opened.isOpen, reading == ParameterFile::Reading::Lenient ? "lenient" : "strict");
        QStringList found;
        for (const ParameterDocument::Problem& duplicate : opened.duplicates) found << duplicate.text();
        for (const MisplacedChannels::Misplaced& element : opened.misplaced)
            found << QString("CANParam[%1] %2").arg(element.element).arg(element.channelId);
        QTEST(found, "found");
        QCOMPARE(opened.warning.isEmpty(), warning.isEmpty());
        if (!warning.isEmpty())
            QVERIFY2(opened.warning.startsWith("解析配置文件失败. a.txt：" + warning),
                     qPrintable(opened.warning));
        QCOMPARE(opened.bytes, text);
    }
}

QTEST_GUILESS_MAIN(TestParameterFileIo)
#include "tst_parameterfileio.moc"
