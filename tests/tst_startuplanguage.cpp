#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QtTest>
#include <optional>

#include "Language.h"
#include "LanguageSettings.h"
#include "PushButton.h"
#include "Tarvane.h"
#include "TestWindow.h"
#include "TitleWidget.h"

class StartupLanguageTest : public QObject {
    Q_OBJECT

    static QAction* action(Tarvane& w, const QString& text) {
        for (QAction* a : w.findChildren<QAction*>())
            if (a->text() == text) return a;
        return nullptr;
    }
    static QString text(Tarvane& w, const char* name) {
        if (auto* button = w.findChild<QPushButton*>(name)) return button->text();
        return w.findChild<QLabel*>(name)->text();
    }
    static void storeId(const QVariant& id) {
        QFile::remove(LanguageSettings::filePath());
        if (id.isValid()) {
            QSettings settings(LanguageSettings::filePath(), QSettings::IniFormat);
            settings.setValue("/Language/id", id);
        }
    }

private slots:
    void cleanup() { QFile::remove(LanguageSettings::filePath()); }

    void decision_data() {
        QTest::addColumn<int>("storedId");
        QTest::addColumn<int>("systemId");
        QTest::addColumn<int>("language");
        QTest::newRow("0") << 0 << 0x0409 << int(Language::Chinese);
        QTest::newRow("1") << 1 << 0x0804 << int(Language::English);
        QTest::newRow("-1 en-US") << -1 << 0x0409 << int(Language::English);
        QTest::newRow("-1 zh-CN") << -1 << 0x0804 << int(Language::Chinese);
        QTest::newRow("-1 en-GB") << -1 << 0x0809 << int(Language::None);
        QTest::newRow("-1 zh-TW") << -1 << 0x0404 << int(Language::None);
        QTest::newRow("2") << 2 << 0x0409 << int(Language::None);
    }
    void decision() {
        QFETCH(int, storedId);
        QFETCH(int, systemId);
        QFETCH(int, language);
        QCOMPARE(int(startupLanguage(storedId, quint16(systemId))), language);
    }

    // Without a stored choice (no key, or -1) the locale decides where there
    // is no Windows language id.
    void localeDecides_data() {
        QTest::addColumn<QVariant>("storedId");  // invalid: no key
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("language");
        const int zh = int(Language::Chinese), en = int(Language::English);
        QTest::newRow("no key, zh_CN") << QVariant() << "zh_CN" << zh;
        QTest::newRow("no key, zh_TW") << QVariant() << "zh_TW" << zh;
        QTest::newRow("no key, en_US") << QVariant() << "en_US" << en;
        QTest::newRow("no key, de_DE") << QVariant() << "de_DE" << en;
        QTest::newRow("no key, C") << QVariant() << "C" << en;
        QTest::newRow("-1, zh_CN") << QVariant(-1) << "zh_CN" << zh;
        QTest::newRow("-1, en_GB") << QVariant(-1) << "en_GB" << en;
        QTest::newRow("0, en_US") << QVariant(0) << "en_US" << zh;
        QTest::newRow("1, zh_CN") << QVariant(1) << "zh_CN" << en;
        QTest::newRow("7, zh_CN") << QVariant(7) << "zh_CN" << int(Language::None);
    }
    void localeDecides() {
        QFETCH(QVariant, storedId);
        QFETCH(QString, locale);
        const std::optional<int> id =
            storedId.isValid() ? std::optional<int>(storedId.toInt()) : std::nullopt;
        QTEST(int(startupLanguageForLocale(id, QLocale(locale))), "language");
    }

    // This process runs under a German locale (see main below).
    void windowStartsInStoredLanguage_data() {
        QTest::addColumn<QVariant>("storedId");
        QTest::addColumn<bool>("zhChecked");
        QTest::addColumn<bool>("enChecked");
        QTest::addColumn<int>("minimumWidth");
        QTest::addColumn<QString>("saveText");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("closeTip");
#ifdef Q_OS_WIN
        // A missing key is Chinese; -1 asks Windows, whose German has no catalogue.
        QTest::newRow("no settings file") << QVariant() << true << false << 556 << "保存"
                                          << "正在搜索设备,请稍等"
                                          << "关闭";
        QTest::newRow("id -1, other system language") << QVariant(-1) << false << false << 500 << "保存"
                                                      << "正在搜索设备,请稍等"
                                                      << "关闭";
#else
        // No choice stored: the locale decides, and German is not Chinese.
        QTest::newRow("no settings file") << QVariant() << false << true << 600 << "Save"
                                          << "Searching equipment,Wait for a moment"
                                          << "Close";
        QTest::newRow("id -1, other system language") << QVariant(-1) << false << true << 600 << "Save"
                                                      << "Searching equipment,Wait for a moment"
                                                      << "Close";
#endif
        QTest::newRow("id 0") << QVariant(0) << true << false << 556 << "保存"
                              << "正在搜索设备,请稍等"
                              << "关闭";
        QTest::newRow("id 1") << QVariant(1) << false << true << 600 << "Save"
                              << "Searching equipment,Wait for a moment"
                              << "Close";
        QTest::newRow("id 7") << QVariant(7) << false << false << 500 << "保存"
                              << "正在搜索设备,请稍等"
                              << "关闭";
    }
    void windowStartsInStoredLanguage() {
        QFETCH(QVariant, storedId);
        QFETCH(bool, zhChecked);
        QFETCH(bool, enChecked);
        QFETCH(int, minimumWidth);
        QFETCH(QString, saveText);
        QFETCH(QString, hint);
        QFETCH(QString, closeTip);
        storeId(storedId);
        Tarvane w;
        QVERIFY(action(w, "中文") && action(w, "English"));
        QCOMPARE(action(w, "中文")->isChecked(), zhChecked);
        QCOMPARE(action(w, "English")->isChecked(), enChecked);
        QCOMPARE(w.minimumWidth(), languageMinimumWidth(w, minimumWidth));
        QCOMPARE(text(w, "m_pushButtonSaveToFile"), saveText);
        QCOMPARE(text(w, "m_pLabelHint"), hint);
        QCOMPARE(w.findChild<TitleWidget*>()->closeButton()->toolTip(), closeTip);
        QCOMPARE(w.findChild<TitleWidget*>()->title(), QString("Tarvane"));
        // Reading the settings never creates the file.
        QCOMPARE(QFile::exists(LanguageSettings::filePath()), storedId.isValid());
    }

    void englishFormAndWindowTexts() {
        storeId(1);
        Tarvane w;
        QCOMPARE(text(w, "m_pLabelDevName"), QString("Devic Name："));
        QCOMPARE(text(w, "m_pushButtonWrite"), QString("Write config"));
        QCOMPARE(text(w, "m_pushButtonRead"), QString("Read config"));
        QCOMPARE(text(w, "m_pushButtonReadFromFile"), QString("Open"));
        QCOMPARE(text(w, "m_pushButtonDefault"), QString("Default"));
        QVERIFY(action(w, "About"));
        QVERIFY(action(w, "Device Info"));
        QCOMPARE(w.findChild<TitleWidget*>()->menuButton()->toolTip(), QString("Menu (F10, Alt+M)"));
    }

    void closeButtonEndsTheEventLoop() {
        Tarvane w;
        w.show();
        QTimer::singleShot(
            0, [&w] { QTest::mouseClick(w.findChild<TitleWidget*>()->closeButton(), Qt::LeftButton); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });  // guard: never hang
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

int main(int argc, char* argv[]) {
    // A system language with no catalogue, whatever the machine's own is.
    qputenv("LC_ALL", "de_DE.UTF-8");
    qputenv("LANG", "de_DE.UTF-8");
    QApplication app(argc, argv);
    StartupLanguageTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startuplanguage.moc"
