// The Windows calls themselves, on a real window: device notifications, the
// version resource, the system language and text files in the ANSI code
// page. Runs with the "windows" platform, under Wine in the cross build.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QtTest>
#include <string>
#include <vector>

#include <windows.h>
// after windows.h, whose types it uses
#include <dbt.h>

#include "AboutDialog.h"
#include "LanguageSettings.h"
#include "ModalAnswerer.h"
#include "TarvaneVersion.h"
#include "TestWindow.h"
#include "platform/FileVersion.h"

namespace {

QStringList g_debugMessages;

void collectDebug(QtMsgType, const QMessageLogContext&, const QString& message) {
    g_debugMessages << message;
}

const wchar_t kRepeaterPath[] =
    L"\\\\?\\HID#VID_0483&PID_6901#7&2d3e4f50&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const wchar_t kSecondRepeaterPath[] =
    L"\\\\?\\HID#VID_0483&PID_6901#7&2d3e4f51&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const wchar_t kOtherVendorPath[] =
    L"\\\\?\\HID#VID_046D&PID_C52B&MI_00#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

// WM_DEVICECHANGE as Windows sends it for a device interface.
void sendDeviceChange(QWidget& window, WPARAM event, const wchar_t* path) {
    const size_t length = wcslen(path);
    std::vector<unsigned char> buffer(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) + length * sizeof(wchar_t));
    auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buffer.data());
    broadcast->dbcc_size = DWORD(buffer.size());
    broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    broadcast->dbcc_classguid = {
        0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    wcscpy(broadcast->dbcc_name, path);
    SendMessageW(reinterpret_cast<HWND>(window.winId()), WM_DEVICECHANGE, event,
                 reinterpret_cast<LPARAM>(broadcast));
}

// What Wine makes of the Unix locale it runs under: (language, code page).
struct Locale {
    quint16 language;
    UINT codePage;
    bool chinese;
};

Locale expectedLocale() {
    const QByteArray lang = qgetenv("TARVANE_TEST_LANG");
    if (lang.startsWith("zh_CN")) return {0x0804, 936, true};
    return {0x0409, 1252, false};
}

void storeLanguageId(int id) {
    QSettings settings(QCoreApplication::applicationDirPath() + "/Config.ini", QSettings::IniFormat);
    settings.setValue("/Language/id", id);
}

}  // namespace

class WinPlatformTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QString("windows"));
        removeLanguageSettings();
    }

    void init() { repeater().reset(); }

    void registersForDeviceNotifications() {
        g_debugMessages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectDebug);
        {
            TestWindow window;
            QTRY_VERIFY(window.m_bConnected);
        }
        qInstallMessageHandler(previous);
        QVERIFY2(!g_debugMessages.join('\n').contains("注册失败"), qPrintable(g_debugMessages.join('\n')));
    }

    void deviceChangeMessages() {
        repeater().setPresent(false);
        ModalAnswerer answerer;
        TestWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(answerer.texts(), QStringList{"搜索设备失败"});
        repeater().setPresent(true);
        repeater().clearLog();

        sendDeviceChange(window, DBT_DEVICEARRIVAL, kOtherVendorPath);
        QTest::qWait(100);
        QVERIFY(repeater().log().isEmpty());
        QVERIFY(!window.m_bConnected);

        sendDeviceChange(window, DBT_DEVICEARRIVAL, kRepeaterPath);
        QTRY_VERIFY(window.m_bConnected);
        QCOMPARE(window.deviceName(), QString("Orvex-A4_TV2026000417"));
        QCOMPARE(repeater().log().size(), 4);  // the four identity queries

        sendDeviceChange(window, DBT_DEVICEREMOVECOMPLETE, kOtherVendorPath);
        QVERIFY(window.m_bConnected);

        // A second repeater joins the menu; the first one's removal connects to it.
        sim::SimulatedRepeater& second = sim::SimulatedRepeater::addDevice();
        sim::Identity identity;
        identity.cardNumber = "TV2026000418";
        second.setIdentity(identity);
        sendDeviceChange(window, DBT_DEVICEARRIVAL, kSecondRepeaterPath);
        QTRY_COMPARE(window.m_pMenuDevices->actions().size(), 2);
        repeater().setPresent(false);
        sendDeviceChange(window, DBT_DEVICEREMOVECOMPLETE, kRepeaterPath);
        QTRY_COMPARE(window.deviceName(), QString("Orvex-A4_TV2026000418"));
        second.setPresent(false);
        sendDeviceChange(window, DBT_DEVICEREMOVECOMPLETE, kSecondRepeaterPath);
        QVERIFY(!window.m_bConnected);
        QCOMPARE(window.deviceName(), QString());
        QCOMPARE(answerer.texts(), QStringList{"搜索设备失败"});
        sim::SimulatedRepeater::removeAddedDevices();
    }

    void versionResource() {
        // This test program carries the programs' version resource.
        QCOMPARE(programFileVersion(QCoreApplication::applicationFilePath()), QString(TARVANE_VERSION));
        QCOMPARE(AboutDialog::fileVersion(), QString(TARVANE_VERSION));
    }

    void startupLanguageFollowsWindows() {
        const Locale locale = expectedLocale();
        QCOMPARE(GetSystemDefaultLangID(), locale.language);
        QCOMPARE(GetACP(), locale.codePage);

        storeLanguageId(-1);
        TestWindow window;
        const QString save = window.button("m_pushButtonSaveToFile")->text();
        QCOMPARE(save, locale.chinese ? QString("保存") : QString("Save"));
        // Without a stored choice Windows starts in Chinese, whatever its language.
        removeLanguageSettings();
        TestWindow fresh;
        QCOMPARE(fresh.button("m_pushButtonSaveToFile")->text(), QString("保存"));
    }

    void settingsBesideTheProgram() {
        removeLanguageSettings();
        TestWindow window;
        QMetaObject::invokeMethod(&window, "onActionEN");
        const QString beside = QCoreApplication::applicationDirPath() + "/Config.ini";
        QCOMPARE(QDir::cleanPath(LanguageSettings::filePath()), QDir::cleanPath(beside));
        QSettings settings(beside, QSettings::IniFormat);
        QCOMPARE(settings.value("Language/id").toInt(), 1);
        removeLanguageSettings();
    }

    // Save and Open through the window: CRLF line ends, and a full-width
    // character (as a Chinese input method types it) comes back whatever the
    // ANSI code page is.
    void saveAndOpenText() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("params.txt");
        auto window = connectedWindow(4);
        QVERIFY(window);
        QTableWidget* table = window->channal(0)->findChild<QTableWidget*>("m_pTableWidgetDataList");
        const QString idText = QString::fromUtf8(
            "12\u3000"
            "34 56 78");  // ideographic space
        table->item(2, ChannalWidget::ColumnId)->setText(idText);
        {
            ModalAnswerer answerer;
            answerer.queueFile(path);
            window->button("m_pushButtonSaveToFile")->click();
            QTRY_COMPARE(answerer.texts(), QStringList{"保存完成"});
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.close();
        QVERIFY(bytes.contains("{\r\n    \"CANParam\": [\r\n"));
        QVERIFY(!bytes.contains("\n\n") && bytes.count('\n') == bytes.count("\r\n"));
        QVERIFY(
            bytes.contains("12\xE3\x80\x80"
                           "34 56 78"));  // UTF-8 of U+3000

        table->item(2, ChannalWidget::ColumnId)->setText("00 00 00 00");
        {
            // The edit above is not saved: Open asks before it replaces it.
            ModalAnswerer answerer;
            answerer.queueButton(QMessageBox::Discard);
            answerer.queueFile(path);
            window->button("m_pushButtonReadFromFile")->click();
            QTRY_COMPARE(
                answerer.texts(),
                (QStringList{"页面上的修改尚未写入设备或保存。\n打开参数文件将以文件中的参数替换这些修改。",
                             "读取完成"}));
        }
        QCOMPARE(table->item(2, ChannalWidget::ColumnId)->text().trimmed(), idText);
    }
};

int main(int argc, char* argv[]) {
    // Qt's own file dialog, which the test answers; the native one would wait
    // for a user.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    WinPlatformTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_winplatform.moc"
