#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include "AboutDialog.h"
#include "FileVersionQuery.h"
#include "PushButton.h"
#include "TarvaneVersion.h"
#include "TitleWidget.h"

class AboutDialogTest : public QObject {
    Q_OBJECT

    static QString label(AboutDialog& dialog, const char* name) {
        return dialog.findChild<QLabel*>(name)->text();
    }

private slots:
    void queryPath_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("path");
        QTest::newRow("English, Unicode") << 0x0409 << 0x04b0 << "\\StringFileInfo\\040904b0\\FileVersion";
        QTest::newRow("Chinese, GBK") << 0x0804 << 0x03a8 << "\\StringFileInfo\\080403a8\\FileVersion";
        QTest::newRow("neutral, short values padded")
            << 0x0000 << 0x0001 << "\\StringFileInfo\\00000001\\FileVersion";
        QTest::newRow("lower case") << 0xABCD << 0xFFFF << "\\StringFileInfo\\abcdffff\\FileVersion";
    }
    void queryPath() {
        QFETCH(int, language);
        QFETCH(int, codePage);
        QFETCH(QString, path);
        QCOMPARE(fileVersionQueryPath(quint16(language), quint16(codePage)), path);
    }

    void versionLabel_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("text");
        QTest::newRow("no version resource") << ""
                                             << "版本：";
        QTest::newRow("version") << "1.2.3"
                                 << "版本：1.2.3";
    }
    void versionLabel() {
        QFETCH(QString, version);
        QFETCH(QString, text);
        QCOMPARE(AboutDialog::versionText(version), text);
    }

    void contents_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("ok");
        QTest::newRow("Chinese") << false << "关于"
                                 << "版本："
                                 << "版权所有 © "
                                 << "官网："
                                 << "确定";
        QTest::newRow("English") << true << "About"
                                 << "Vsersion："
                                 << "Copyright © "
                                 << "Websit："
                                 << "OK";
    }
    void contents() {
        QFETCH(bool, english);
        QFETCH(QString, title);
        QFETCH(QString, version);
        QFETCH(QString, notice);
        QFETCH(QString, site);
        QFETCH(QString, ok);
        QTranslator translator;
        if (english) {
            QVERIFY(translator.load(":/Language/tarvane_en.qm"));
            QCoreApplication::installTranslator(&translator);
        }
        AboutDialog dialog;
        // 550 x 200, taller where the font needs it: OK keeps its margin.
        QCOMPARE(dialog.width(), 550);
        QCOMPARE(dialog.height(), qMax(200, dialog.layout()->totalMinimumSize().height()));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(!dialog.windowIcon().isNull());
        QCOMPARE(dialog.titleWidget()->title(), title);
        QVERIFY(!dialog.titleWidget()->menuButton());
        QVERIFY(!dialog.titleWidget()->minButton());

        auto* logo = dialog.findChild<QLabel*>("m_pLabelLogo");
        QCOMPARE(logo->size(), QSize(186, 30));
        QVERIFY(!logo->pixmap(Qt::ReturnByValue).isNull());

        QCOMPARE(label(dialog, "m_pLabelProduct"), QString("Tarvane."));
#ifdef Q_OS_WIN
        // Only the programs carry a version resource, the test executables do not.
        QCOMPARE(label(dialog, "m_pLabelVersion"), version);
#else
        // Here the build stamps the project version in.
        QCOMPARE(label(dialog, "m_pLabelVersion"), version + TARVANE_VERSION);
#endif
        QCOMPARE(label(dialog, "m_pLabelNotice"),
                 notice + QString::number(QDate::currentDate().year()) + " Tarvane Project");

        auto* web = dialog.findChild<QLabel*>("m_pLabelWebSite");
        QVERIFY(web->text().startsWith(site + "<a href=\"https://tarvane.example.org\">"));
        QVERIFY(web->openExternalLinks());
        QCOMPARE(dialog.okButton()->text(), ok);
    }

    void closing_data() {
        QTest::addColumn<bool>("throughTitleBar");
        QTest::newRow("OK button") << false;
        QTest::newRow("title bar close button") << true;
    }
    void closing() {
        QFETCH(bool, throughTitleBar);
        AboutDialog dialog;
        QSignalSpy finished(&dialog, &QDialog::finished);
        QTimer::singleShot(0, &dialog, [&] {
            QWidget* button = throughTitleBar ? static_cast<QWidget*>(dialog.titleWidget()->closeButton())
                                              : static_cast<QWidget*>(dialog.okButton());
            QTest::mouseClick(button, Qt::LeftButton);
        });
        QTimer::singleShot(5000, &dialog, [&] { dialog.done(99); });  // guard: never hang
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(AboutDialogTest)
#include "tst_aboutdialog.moc"
