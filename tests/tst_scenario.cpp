// A technician's session with the real main window and the simulated
// repeater: read a type-4 device, edit it through the widgets, write it,
// swap it for a type-2 device, read that one, save, default, open, and
// switch the language back and forth. Each step checks what the window shows
// and what the device received.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "CheckButton.h"
#include "CustomProgressIndicator.h"
#include "LanguageSettings.h"
#include "ModalAnswerer.h"
#include "TestWindow.h"
#include "platform/DeviceNotifier.h"

namespace {

const QString kRepeaterPath =
    R"(\\?\HID#VID_0483&PID_6901#7&2c9a3b1f&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})";

// The window as the technician sees it.
class Window : public TestWindow {
public:
    QTabWidget* pageTabs() const { return findChild<QTabWidget*>("m_tabWidgetParam"); }
    QTabWidget* channalTabs() const {
        return m_pCANParamWidget->findChild<QTabWidget*>("m_tabWidgetChannal");
    }
    QStringList channalTabTexts() const {
        QStringList texts;
        for (int i = 0; i < channalTabs()->count(); ++i) texts << channalTabs()->tabText(i);
        return texts;
    }
    QComboBox* baudBox(int c) const { return channal(c)->findChild<QComboBox*>("m_pComboBoxBautRate"); }
    QLineEdit* baudText(int c) const { return channal(c)->findChild<QLineEdit*>("m_lineEditBautRate"); }
    QTableWidget* filters(int c) const {
        return channal(c)->findChild<QTableWidget*>("m_pTableWidgetDataList");
    }
    // Tick, work mode, bit width, ID and mask of one bank, as shown.
    QStringList bank(int c, int row) const {
        QTableWidget* t = filters(c);
        return {t->item(row, 0)->checkState() == Qt::Checked ? "ticked" : "unticked",
                static_cast<QComboBox*>(t->cellWidget(row, 1))->currentText(),
                static_cast<QComboBox*>(t->cellWidget(row, 2))->currentText(), t->item(row, 3)->text(),
                t->item(row, 4)->text()};
    }
    QComboBox* fiberBox(int i) const {
        return m_pOpticalFiberParamWidget->findChild<QComboBox*>(QString("m_comboBoxBaudRate%1").arg(i + 1));
    }
    QStringList fiberShown() const {
        QStringList texts;
        for (int i = 0; i < 4; ++i)
            if (!fiberBox(i)->isHidden()) texts << fiberBox(i)->currentText();
        return texts;
    }
    QTableWidget* routeTable() const { return m_pRouteParamWidget->findChild<QTableWidget*>(); }
    CheckButton* route(int row, int column) const {
        return static_cast<CheckButton*>(routeTable()->cellWidget(row, column));
    }
    QVector<int> routeRowsShown() const {
        QVector<int> rows;
        for (int r = 1; r <= 6; ++r)
            if (!routeTable()->isRowHidden(r)) rows << r;
        return rows;
    }
    QVector<int> routeColumnsShown() const {
        QVector<int> columns;
        for (int c = 2; c <= 7; ++c)
            if (!routeTable()->isColumnHidden(c)) columns << c;
        return columns;
    }
    QAction* action(const QString& text) const {
        for (QAction* a : findChildren<QAction*>())
            if (a->text() == text) return a;
        return nullptr;
    }
    bool searching() const {
        return findChild<CustomProgressIndicator*>()->isAnimated() &&
               !findChild<QLabel*>("m_pLabelHint")->isHidden();
    }
    void notice(bool arrival) {
        emit findChild<DeviceNotifier*>()->notice({0x0483, 0x6901, kRepeaterPath}, arrival);
    }
};

QByteArray frame(const char* hex) {
    QByteArray bytes = QByteArray::fromHex(hex);
    bytes.append(QByteArray(17 - bytes.size(), '\0'));
    return bytes;
}

QByteArray bytes(const std::array<unsigned char, 4>& a) {
    return QByteArray(reinterpret_cast<const char*>(a.data()), 4);
}

QByteArray bytes(const std::array<unsigned char, 6>& a) {
    return QByteArray(reinterpret_cast<const char*>(a.data()), 6);
}

// The Read's queries for two CAN channels; byte 5 keeps the last bank number
// in the queries that do not set it.
QList<QByteArray> readQueries(bool withFiber) {
    QList<QByteArray> queries;
    for (int c = 1; c <= 2; ++c) {
        queries << frame(c == 1 ? "0012A4010100" : "0012A401020D");
        for (int b = 0; b < 14; ++b) {
            QByteArray q = frame("0012A502");
            q[4] = char(c);
            q[5] = char(b);
            queries << q;
        }
    }
    if (withFiber) queries << frame("00122601000D");
    queries << frame("00122801000D");
    return queries;
}

// The first device: a type 4 whose channel 2 runs at a word of no named rate.
sim::Parameters firstDevice() {
    sim::Parameters p = sim::Parameters::defaults();
    p.can[0].bitTiming = QByteArray::fromHex("0012003B");  // 100K
    p.can[0].banks[2] = {0x81, 0x11, QByteArray::fromHex("11223344"), QByteArray::fromHex("FFFF0000")};
    p.can[1].bitTiming = QByteArray::fromHex("0012001D");
    p.fiber = {0x0b, 0x05, 0x0b, 0x07};
    return p;  // every route of a type-4 device enabled
}

// The second device: a type 2 with other values everywhere.
sim::Parameters secondDevice() {
    sim::Parameters p = sim::Parameters::defaults();
    p.can[0].bitTiming = QByteArray::fromHex("00120017");  // 250K
    p.can[0].banks[13] = {0x81, 0x00, QByteArray::fromHex("AABBCCDD"), QByteArray::fromHex("11223344")};
    p.can[1].bitTiming = QByteArray::fromHex("00000000");  // adaptive
    p.fiber = {0x0a, 0x00, 0x00, 0x00};
    p.route = {0x08, 0x80, 0xC0, 0x00, 0x00, 0x00};  // CAN1→Fiber1, CAN2→CAN1, Fiber1→CAN1 and CAN2
    return p;
}

}  // namespace

class ScenarioTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { removeLanguageSettings(); }
    void cleanupTestCase() { removeLanguageSettings(); }
    void technicianSession();

private:
    void startWithTypeFour(Window& w);
    void readTypeFour(Window& w);
    void keyboardAndWheel(Window& w);
    void editAndWrite(Window& w);
    void unplug(Window& w);
    void plugInTypeTwo(Window& w);
    void readTypeTwo(Window& w);
    void saveDefaultOpen(Window& w, const QString& path);
    void switchLanguage(Window& w);
    void closeWithEdits(Window& w, const QString& path);
};

void ScenarioTest::technicianSession() {
    repeater().reset();
    repeater().setParameters(firstDevice());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ModalAnswerer startAnswerer;
    Window w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTRY_VERIFY(w.m_bConnected);
    QVERIFY(startAnswerer.seen().isEmpty());

    for (auto step : {&ScenarioTest::startWithTypeFour, &ScenarioTest::readTypeFour,
                      &ScenarioTest::keyboardAndWheel, &ScenarioTest::editAndWrite, &ScenarioTest::unplug,
                      &ScenarioTest::plugInTypeTwo, &ScenarioTest::readTypeTwo}) {
        (this->*step)(w);
        if (QTest::currentTestFailed()) return;
    }
    saveDefaultOpen(w, dir.filePath("orvex-a2.txt"));
    if (QTest::currentTestFailed()) return;
    switchLanguage(w);
    if (QTest::currentTestFailed()) return;
    closeWithEdits(w, dir.filePath("closing.txt"));
}

void ScenarioTest::startWithTypeFour(Window& w) {
    QCOMPARE(w.deviceName(), QString("Orvex-A4_TV2026000417"));
    QCOMPARE(w.findChild<QLabel*>("m_pLabelDevName")->text(), QString("设备名称："));
    QVERIFY(!w.searching());
    QCOMPARE(w.pageTabs()->count(), 3);
    QCOMPARE(w.pageTabs()->tabText(0), QString("CAN参数"));
    QCOMPARE(w.channalTabTexts(), (QStringList{"通道1", "通道2"}));
    QCOMPARE(w.fiberShown(), (QStringList{"1380K", "1380K", "1380K", "1380K"}));
    QCOMPARE(w.routeRowsShown(), (QVector<int>{1, 2, 3, 4, 5, 6}));
    QCOMPARE(w.routeColumnsShown(), (QVector<int>{2, 3, 4, 5, 6, 7}));
    QVERIFY(!w.offlineEntry("Orvex-A4"));  // a repeater decides the pages
    // The four identity queries, nothing more.
    QCOMPARE(repeater().log(), (QList<QByteArray>{frame("0012150100"), frame("0012140100"),
                                                  frame("0012010100"), frame("0012120100")}));
    repeater().clearLog();
}

void ScenarioTest::readTypeFour(Window& w) {
    ModalAnswerer answerer;
    w.button("m_pushButtonRead")->click();

    QCOMPARE(answerer.texts(), QStringList{"读取成功"});
    QVERIFY(w.button("m_pushButtonRead")->isEnabled());
    QCOMPARE(repeater().log(), readQueries(true));
    QCOMPARE(w.baudBox(0)->currentText(), QString("100K"));
    QCOMPARE(w.baudText(0)->text(), QString("0x0012003B"));
    QVERIFY(w.baudText(0)->isReadOnly());
    QCOMPARE(w.bank(0, 2), (QStringList{"ticked", "列表模式", "32", "11 22 33 44", "ff ff 00 00"}));
    QCOMPARE(w.bank(0, 1), (QStringList{"unticked", "掩码模式", "32", "00 00 00 00", "00 00 00 00"}));
    QCOMPARE(w.baudBox(1)->currentText(), QString("自定义"));
    QCOMPARE(w.baudText(1)->text(), QString("0x0012001d"));
    QVERIFY(!w.baudText(1)->isReadOnly());
    QCOMPARE(w.fiberShown(), (QStringList{"1380K", "50K", "1380K", "125K"}));
    for (int r = 1; r <= 6; ++r)
        for (int c = 2; c <= 7; ++c) QCOMPARE(w.route(r, c)->isChecked(), c != r + 1);
    repeater().clearLog();
}

// A wheel turned over a widget, as the mouse delivers it: what the widget
// does not take goes on to the one under it.
void wheel(QWidget* widget, int delta) {
    const QPoint at(widget->width() / 2, widget->height() / 2);
    QWheelEvent event(QPointF(at), QPointF(widget->mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(widget, &event);
}

// The pages as the keyboard and the wheel reach them: the wheel scrolls over
// a choice in a table without changing it, one just picked too, and turns no
// tabs; Tab leaves the filter table and walks the buttons in the row's order;
// F10 and Alt+M, the buttons' keys and Ctrl+Tab between the pages.
void ScenarioTest::keyboardAndWheel(Window& w) {
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.pageTabs()->setCurrentIndex(0);
    w.channalTabs()->setCurrentIndex(0);
    QTableWidget* table = w.filters(0);
    auto* workMode = static_cast<QComboBox*>(table->cellWidget(0, 1));
    QVERIFY(table->verticalScrollBar()->maximum() > 0);
    table->verticalScrollBar()->setValue(0);
    wheel(workMode, -120);
    QCOMPARE(workMode->currentIndex(), 0);
    QVERIFY(table->verticalScrollBar()->value() > 0);  // the table scrolled instead
    wheel(w.baudBox(0), -120);
    QCOMPARE(w.baudBox(0)->currentText(), QString("100K"));
    w.pageTabs()->setCurrentIndex(1);
    wheel(w.fiberBox(0), -120);
    QCOMPARE(w.fiberShown().first(), QString("1380K"));
    w.pageTabs()->setCurrentIndex(0);
    table->verticalScrollBar()->setValue(0);
    // Bank 2 picked with the mouse, then the wheel down the table over it and
    // back: the pick stays. The wheel over the tabs turns no page.
    auto* bank2 = static_cast<QComboBox*>(table->cellWidget(1, 1));
    QTest::mouseClick(bank2, Qt::LeftButton);                                          // opens its list
    QTest::keySequence(static_cast<QWidget*>(nullptr), QKeySequence("Down, Return"));  // in the list
    wheel(bank2, -120);
    const int scrolled = table->verticalScrollBar()->value();
    wheel(table->viewport(), 120);  // bank 2 under the pointer again
    wheel(bank2, 120);
    QCOMPARE(w.bank(0, 1).at(1), QString("列表模式"));
    QVERIFY(scrolled > 0);
    for (QTabWidget* tabs : {w.pageTabs(), w.channalTabs()}) wheel(tabs->tabBar(), -120);
    QCOMPARE(w.pageTabs()->currentIndex() + w.channalTabs()->currentIndex(), 0);
    bank2->setCurrentIndex(0);

    // Tab from the table: out of it, then the buttons as the row shows them.
    table->setFocus();
    table->setCurrentCell(0, 3);
    QStringList walked;
    for (int i = 0; i < 12 && !walked.contains("m_pushButtonDefault"); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(!table->isAncestorOf(QApplication::focusWidget()));
        walked << QApplication::focusWidget()->objectName();
    }
    // The planner under the table first; nothing above the table again.
    QCOMPARE(walked.first(), QString("m_pushButtonFilterPlanner"));
    QVERIFY2(!walked.contains("m_pComboBoxBautRate") && !walked.contains("m_pLineEditDevName"),
             qPrintable(walked.join(' ')));
    QCOMPARE(walked.mid(walked.indexOf("m_pushButtonSaveToFile")),
             (QStringList{"m_pushButtonSaveToFile", "m_pushButtonReadFromFile", "m_pushButtonRead",
                          "m_pushButtonWrite", "m_pushButtonDefault"}));
    QTest::keyClick(w.button("m_pushButtonSaveToFile"), Qt::Key_Backtab);
    QVERIFY(!table->isAncestorOf(QApplication::focusWidget()));

    // A work-mode cell opens its box from the keyboard.
    table->setFocus();
    table->setCurrentCell(2, 1);
    QTest::keyClick(table, Qt::Key_Space);
    QVERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(w.focusWidget(), table);

    // F10 and Alt+M open the main menu.
    for (const char* keys : {"F10", "Alt+M"}) {
        QApplication::setActiveWindow(&w);
        QWidget* opened = nullptr;
        QObject whileHere;  // a menu that did not open leaves no call behind
        QTimer::singleShot(0, &whileHere, [&] {
            opened = QApplication::activePopupWidget();
            w.m_pMenu->close();
        });
        QTest::keySequence(table, QKeySequence(keys));
        QCOMPARE(opened, w.m_pMenu);
    }

    // The buttons' keys, named in their tool tips, and Ctrl+Tab.
    QCOMPARE(w.button("m_pushButtonRead")->toolTip(), QString("读配置 (F5, Ctrl+R)"));
    QCOMPARE(w.button("m_pushButtonWrite")->toolTip(), QString("写配置 (F6)"));
    ModalAnswerer answerer;
    QApplication::setActiveWindow(&w);
    table->setFocus();
    QTest::keyClick(table, Qt::Key_F5);
    QCOMPARE(answerer.texts(), QStringList{"读取成功"});
    QCOMPARE(repeater().log(), readQueries(true));
    // The offscreen platform does not give the window back its activation
    // when a modal box closes, as a window manager does.
    QApplication::setActiveWindow(&w);
    QTest::keyClick(table, Qt::Key_S, Qt::ControlModifier);  // the Save dialog, cancelled
    QApplication::setActiveWindow(&w);
    QTest::keyClick(table, Qt::Key_O, Qt::ControlModifier);
    QApplication::setActiveWindow(&w);
    QCOMPARE(answerer.seen().size(), 3);
    QCOMPARE(answerer.seen().at(1).text, QString("保存配置"));
    QCOMPARE(answerer.seen().at(2).text, QString("打开配置"));
    QTest::keyClick(table, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w.pageTabs()->currentIndex(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.pageTabs()->currentIndex(), 0);

    // A key while a register is still being typed: the typed text is saved.
    QTemporaryDir dir;
    answerer.queueFile(dir.filePath("typed.txt"));
    table->setFocus();
    table->setCurrentCell(3, 3);
    table->editItem(table->item(3, 3));
    QTest::keyClicks(QApplication::focusWidget(), "12 34 56 78");
    QApplication::setActiveWindow(&w);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(readFile(dir.filePath("typed.txt")).contains("\"0, 0, 1, 12 34 56 78, 00 00 00 00\""));
    table->item(3, 3)->setText("00 00 00 00");
    QApplication::setActiveWindow(&w);
    repeater().clearLog();
}

void ScenarioTest::editAndWrite(Window& w) {
    // Channel 1: a custom bit-timing word, typed: 36 MHz / (428 x 10) quanta.
    w.pageTabs()->setCurrentIndex(0);
    w.channalTabs()->setCurrentIndex(0);
    w.baudBox(0)->setCurrentIndex(16);
    QCOMPARE(w.baudText(0)->text(), QString("0xFFFFFFFF"));
    QVERIFY(!w.baudText(0)->isReadOnly());
    w.baudText(0)->selectAll();
    QTest::keyClicks(w.baudText(0), "0x003401AB");
    QCOMPARE(w.baudText(0)->text(), QString("0x003401AB"));

    // Channel 2, bank 4: in use, list mode, 16 bits, both registers.
    w.channalTabs()->setCurrentIndex(1);
    QTableWidget* table = w.filters(1);
    table->item(4, 0)->setCheckState(Qt::Checked);
    static_cast<QComboBox*>(table->cellWidget(4, 1))->setCurrentIndex(1);
    static_cast<QComboBox*>(table->cellWidget(4, 2))->setCurrentIndex(0);
    table->item(4, 3)->setText("12 34 56 78");
    table->item(4, 4)->setText("00 00 FF FF");
    QCOMPARE(w.bank(1, 4), (QStringList{"ticked", "列表模式", "16", "12 34 56 78", "00 00 FF FF"}));

    // Fiber 2 to 250K, fiber 4 to 2250K.
    w.pageTabs()->setCurrentIndex(1);
    w.fiberBox(1)->setCurrentIndex(7);
    w.fiberBox(3)->setCurrentIndex(11);
    QCOMPARE(w.fiberShown(), (QStringList{"1380K", "250K", "1380K", "2250K"}));

    // Routes CAN1→Fiber1 and Fiber3→CAN2 off, clicked.
    w.pageTabs()->setCurrentIndex(2);
    QVERIFY(w.route(1, 4)->isVisible());
    QTest::mousePress(w.route(1, 4), Qt::LeftButton);
    QTest::mousePress(w.route(5, 3), Qt::LeftButton);
    QVERIFY(!w.route(1, 4)->isChecked());
    QVERIFY(!w.route(5, 3)->isChecked());
    QVERIFY(w.route(1, 5)->isChecked());
    QVERIFY(w.route(1, 4)->isEnabled());

    ModalAnswerer answerer;
    w.button("m_pushButtonWrite")->click();

    QCOMPARE(answerer.texts(), QStringList{"设置成功"});
    QVERIFY(w.button("m_pushButtonWrite")->isEnabled());
    QList<QByteArray> expected;
    expected << frame("0012230600010034 01AB");
    for (int b = 0; b < 14; ++b) {
        QByteArray f = frame("0012240B000101");
        f[4] = char(b);
        if (b == 0) f[5] = char(0x81);
        if (b == 2) f = frame("0012240B02811111223344FFFF0000");
        expected << f;
    }
    expected << frame("00122306000200 12001D");
    for (int b = 0; b < 14; ++b) {
        QByteArray f = frame("0012240B000201");
        f[4] = char(b);
        if (b == 0) f[5] = char(0x82);
        if (b == 4) f = frame("0012240B0482101234567800 00FFFF");
        expected << f;
    }
    expected << frame("00122505000B080B0C");
    // Rows CAN1, CAN2, -, -, Fiber1 .. Fiber4; CAN1 lost Fiber1, Fiber3 lost CAN2.
    expected << frame("0012270900478F0000C7CB8DCE");
    expected << frame("0012110100");
    QCOMPARE(repeater().log(), expected);

    const sim::Parameters device = repeater().parameters();
    QCOMPARE(device.can[0].bitTiming, QByteArray::fromHex("003401AB"));
    QCOMPARE(device.can[1].bitTiming, QByteArray::fromHex("0012001D"));
    QCOMPARE(int(device.can[1].banks[4].flags), 0x82);
    QCOMPARE(int(device.can[1].banks[4].mode), 0x10);
    QCOMPARE(device.can[1].banks[4].id, QByteArray::fromHex("12345678"));
    QCOMPARE(device.can[1].banks[4].mask, QByteArray::fromHex("0000FFFF"));
    QCOMPARE(bytes(device.fiber), QByteArray::fromHex("0B080B0C"));
    QCOMPARE(bytes(device.route), QByteArray::fromHex("478FC7CB8DCE"));
    QCOMPARE(device.resetCount, 1);
    repeater().clearLog();
}

void ScenarioTest::unplug(Window& w) {
    repeater().setPresent(false);
    ModalAnswerer answerer;
    w.notice(false);

    QVERIFY(!w.m_bConnected);
    QVERIFY(w.deviceName().isEmpty());
    QCOMPARE(w.channalTabs()->count(), 0);
    QVERIFY(w.fiberShown().isEmpty());
    QVERIFY(w.routeTable()->isHidden());
    QCOMPARE(repeater().openHandleCount(), 0);
    QVERIFY(w.offlineEntry("Orvex-A4"));

    w.button("m_pushButtonRead")->click();
    w.button("m_pushButtonWrite")->click();
    QCOMPARE(answerer.texts(), (QStringList{"设备未连接", "设备未连接"}));
    QVERIFY(repeater().log().isEmpty());
}

void ScenarioTest::plugInTypeTwo(Window& w) {
    sim::Identity identity;
    identity.hardwareType = 2;
    repeater().setIdentity(identity);
    repeater().setParameters(secondDevice());
    repeater().setPresent(true);
    ModalAnswerer answerer;
    w.notice(true);
    QVERIFY(w.searching());
    QTRY_VERIFY(w.m_bConnected);

    QVERIFY(answerer.seen().isEmpty());
    QVERIFY(!w.searching());
    QCOMPARE(w.deviceName(), QString("Orvex-A2_TV2026000417"));
    QCOMPARE(w.channalTabTexts(), (QStringList{"通道1", "通道2"}));
    QCOMPARE(w.fiberShown(), QStringList{"1380K"});
    QVERIFY(!w.routeTable()->isHidden());
    QCOMPARE(w.routeRowsShown(), (QVector<int>{1, 2, 3}));
    QCOMPARE(w.routeColumnsShown(), (QVector<int>{2, 3, 4}));
    // The editors are not cleared by a new device: they still show the edits.
    QCOMPARE(w.baudText(0)->text(), QString("0x003401AB"));
    QCOMPARE(repeater().log(), (QList<QByteArray>{frame("0012150100"), frame("0012140100"),
                                                  frame("0012010100"), frame("0012120100")}));
    repeater().clearLog();
}

void ScenarioTest::readTypeTwo(Window& w) {
    ModalAnswerer answerer;
    w.button("m_pushButtonRead")->click();

    QCOMPARE(answerer.texts(), QStringList{"读取成功"});
    QCOMPARE(repeater().log(), readQueries(true));
    QCOMPARE(w.baudBox(0)->currentText(), QString("250K"));
    QCOMPARE(w.baudText(0)->text(), QString("0x00120017"));
    QVERIFY(w.baudText(0)->isReadOnly());
    QCOMPARE(w.bank(0, 13), (QStringList{"ticked", "掩码模式", "16", "aa bb cc dd", "11 22 33 44"}));
    QCOMPARE(w.bank(0, 2), (QStringList{"unticked", "掩码模式", "32", "00 00 00 00", "00 00 00 00"}));
    QCOMPARE(w.baudBox(1)->currentText(), QString("自适应"));
    QCOMPARE(w.baudText(1)->text(), QString("0x00000000"));
    QCOMPARE(w.bank(1, 4), (QStringList{"unticked", "掩码模式", "32", "00 00 00 00", "00 00 00 00"}));
    QCOMPARE(w.fiberShown(), QStringList{"920K"});
    // Present rows CAN1, CAN2, Fiber1 in columns CAN1, CAN2, Fiber1.
    QCOMPARE(w.route(1, 3)->isChecked(), false);
    QCOMPARE(w.route(1, 4)->isChecked(), true);
    QCOMPARE(w.route(2, 2)->isChecked(), true);
    QCOMPARE(w.route(2, 4)->isChecked(), false);
    QCOMPARE(w.route(3, 2)->isChecked(), true);
    QCOMPARE(w.route(3, 3)->isChecked(), true);
    // The rows of the channels this device lacks keep what they showed.
    QCOMPARE(w.route(5, 3)->isChecked(), false);
    QCOMPARE(w.m_pRouteParamWidget->routeFrame(), frame("00122709000880 0000C0"));
    repeater().clearLog();
}

void ScenarioTest::saveDefaultOpen(Window& w, const QString& path) {
    ModalAnswerer answerer;
    answerer.queueFile(path);
    w.button("m_pushButtonSaveToFile")->click();
    QTRY_COMPARE(answerer.texts(), QStringList{"保存完成"});
    QCOMPARE(answerer.seen().first().kind, QString("file"));
    QCOMPARE(answerer.seen().first().text, QString("保存配置"));
    QCOMPARE(answerer.seen().first().buttons, QStringList{"TXT文本文件(*.txt)"});
    QVERIFY(w.button("m_pushButtonRead")->isEnabled());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject top = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonArray channals = top.value("CANParam").toArray();
    QCOMPARE(channals.size(), 2);
    QCOMPARE(channals[0].toObject().value("ChannalID").toInt(), 1);
    QCOMPARE(channals[0].toObject().value("BaudRate").toString(), QString("0x00120017"));
    const QJsonArray rows = channals[0].toObject().value("DataList").toArray();
    QCOMPARE(rows.size(), 14);
    QCOMPARE(rows[0].toString(), QString("1, 0, 1, 00 00 00 00, 00 00 00 00"));
    QCOMPARE(rows[13].toString(), QString("1, 0, 0, aa bb cc dd, 11 22 33 44"));
    QCOMPARE(channals[1].toObject().value("ChannalID").toInt(), 2);
    QCOMPARE(channals[1].toObject().value("BaudRate").toString(), QString("0x00000000"));
    QCOMPARE(top.value("FiberParam").toObject().value("Baud").toArray(), QJsonArray{"0a"});
    QCOMPARE(top.value("FiberParam").toObject().value("Model").toInt(), -1);
    // All six rows, those of absent channels as their buttons stand.
    QCOMPARE(top.value("Route").toArray(), (QJsonArray{"0 0 1 1 1 1 ", "1 0 0 1 1 1 ", "1 1 0 1 1 1 ",
                                                       "1 1 1 0 1 1 ", "1 0 1 1 0 1 ", "1 1 1 1 1 0 "}));

    answerer.clear();
    w.button("m_pushButtonDefault")->click();
    QTest::qWait(20);
    QVERIFY(answerer.seen().isEmpty());  // saved: nothing to lose
    QCOMPARE(w.baudBox(0)->currentText(), QString("10K"));
    QCOMPARE(w.baudText(0)->text(), QString("0x001C00E0"));
    QCOMPARE(w.bank(0, 0), (QStringList{"ticked", "掩码模式", "32", "00 00 00 00", "00 00 00 00"}));
    QCOMPARE(w.bank(0, 13), (QStringList{"unticked", "掩码模式", "32", "00 00 00 00", "00 00 00 00"}));
    QCOMPARE(w.baudBox(1)->currentText(), QString("10K"));
    QCOMPARE(w.fiberShown(), QStringList{"1380K"});
    QCOMPARE(w.m_pRouteParamWidget->routeFrame(), frame("00122709004888 0000C0"));

    // The defaults are not saved: Open asks before the file is chosen.
    answerer.queueButton(QMessageBox::Discard);
    answerer.queueFile(path);
    w.button("m_pushButtonReadFromFile")->click();
    QTRY_COMPARE(answerer.texts(), (QStringList{"页面上的修改尚未写入设备或保存。\n"
                                                "打开参数文件将以文件中的参数替换这些修改。",
                                                "读取完成"}));
    QCOMPARE(answerer.seen().at(1).text, QString("打开配置"));
    QCOMPARE(w.baudBox(0)->currentText(), QString("250K"));
    // A register text comes back with the blank that follows its comma in the
    // file; the frame it makes is the one that was read.
    QCOMPARE(w.bank(0, 13), (QStringList{"ticked", "掩码模式", "16", " aa bb cc dd", " 11 22 33 44"}));
    QCOMPARE(w.channal(0)->filterFrames()[13], frame("0012240B0D8100AABBCCDD11223344"));
    QCOMPARE(w.baudBox(1)->currentText(), QString("自适应"));
    QCOMPARE(w.fiberShown(), QStringList{"920K"});
    QCOMPARE(w.m_pRouteParamWidget->routeFrame(), frame("00122709000880 0000C0"));
    QVERIFY(w.button("m_pushButtonRead")->isEnabled());
    // Files never talk to the device.
    QVERIFY(repeater().log().isEmpty());
}

void ScenarioTest::switchLanguage(Window& w) {
    QAction* english = w.action("English");
    QAction* chinese = w.action("中文");
    QVERIFY(english && chinese);
    QVERIFY(chinese->isChecked());

    english->trigger();
    QVERIFY(english->isChecked());
    QVERIFY(!chinese->isChecked());
    QCOMPARE(w.minimumWidth(), languageMinimumWidth(w, 600));
    QCOMPARE(LanguageSettings::languageId(), std::optional<int>(1));
    QCOMPARE(w.findChild<QLabel*>("m_pLabelDevName")->text(), QString("Devic Name："));
    QCOMPARE(w.pageTabs()->tabText(0), QString("CAN Param"));
    QCOMPARE(w.pageTabs()->tabText(1), QString("Fiber Param"));
    QCOMPARE(w.pageTabs()->tabText(2), QString("Route Param"));
    QCOMPARE(w.button("m_pushButtonRead")->text(), QString("Read config"));
    QCOMPARE(w.button("m_pushButtonWrite")->text(), QString("Write config"));
    QCOMPARE(w.button("m_pushButtonDefault")->text(), QString("Default"));
    QCOMPARE(w.channalTabTexts(), (QStringList{"Channal1", "Channal2"}));
    QCOMPARE(w.channal(0)->findChild<QLabel*>("m_labelBauRate")->text(), QString("Baud Rate："));
    QCOMPARE(w.baudBox(1)->currentText(), QString("Adaptive"));
    QCOMPARE(w.m_pOpticalFiberParamWidget->findChild<QLabel*>("m_labelBaudRate1")->text(),
             QString("Fiber1 Baud Rate："));
    QCOMPARE(w.routeTable()->item(0, 0)->text(), QString("ON/OFF"));
    QCOMPARE(w.routeTable()->item(3, 1)->text(), QString("Fiber1"));
    QCOMPARE(w.deviceName(), QString("Orvex-A2_TV2026000417"));  // names are not translated

    ModalAnswerer answerer;
    w.button("m_pushButtonRead")->click();
    QCOMPARE(answerer.texts(), QStringList{"Read successfully"});
    QCOMPARE(answerer.messages().first().title, QString("Hint"));
    QCOMPARE(repeater().log(), readQueries(true));
    repeater().clearLog();

    chinese->trigger();
    QVERIFY(chinese->isChecked());
    QVERIFY(!english->isChecked());
    QCOMPARE(w.minimumWidth(), languageMinimumWidth(w, 556));
    QCOMPARE(LanguageSettings::languageId(), std::optional<int>(0));
    QCOMPARE(w.findChild<QLabel*>("m_pLabelDevName")->text(), QString("设备名称："));
    QCOMPARE(w.pageTabs()->tabText(0), QString("CAN参数"));
    QCOMPARE(w.button("m_pushButtonRead")->text(), QString("读配置"));
    QCOMPARE(w.channalTabTexts(), (QStringList{"通道1", "通道2"}));
    QCOMPARE(w.baudBox(1)->currentText(), QString("自适应"));
    QCOMPARE(w.routeTable()->item(0, 0)->text(), QString("开/关"));

    answerer.clear();
    w.button("m_pushButtonRead")->click();
    QCOMPARE(answerer.texts(), QStringList{"读取成功"});
}

// Whether `action` ends the program's event loop: run inside one, it either
// quits it or the loop goes on to the next event.
bool quits(const std::function<void()>& action) {
    bool quit = true;
    QTimer::singleShot(0, [&] {
        action();
        QTimer::singleShot(0, [&] {
            quit = false;
            QCoreApplication::quit();
        });
    });
    QCoreApplication::exec();
    return quit;
}

// Last: the window closes. Edits neither written nor saved are not lost
// without a question, whose default goes back; Default asks the same way.
void ScenarioTest::closeWithEdits(Window& w, const QString& path) {
    QAbstractButton* closeButton = nullptr;
    for (auto* b : w.findChildren<QAbstractButton*>())
        if (b->toolTip() == "关闭") closeButton = b;
    QVERIFY(closeButton);
    const QString question = "页面上的修改尚未写入设备或保存。\n";
    w.filters(0)->item(5, 3)->setText("12 34 56 78");
    ModalAnswerer answerer;

    answerer.queueButton(QMessageBox::Cancel);
    QVERIFY(!quits([&] { QTest::mouseClick(closeButton, Qt::LeftButton); }));
    answerer.queueButton(QMessageBox::Cancel);
    QVERIFY(!quits([&] { w.close(); }));  // Alt+F4
    QVERIFY(w.isVisible());
    // Read (F5) and Open (Ctrl+O) too: going back reads nothing and opens no file.
    repeater().clearLog();
    for (const QKeySequence& key : {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_O)}) {
        QApplication::setActiveWindow(&w);
        answerer.queueButton(QMessageBox::Cancel);
        QTest::keySequence(&w, key);
    }
    QVERIFY(repeater().log().isEmpty());
    QCOMPARE(answerer.seen().size(), 4);
    answerer.queueButton(QMessageBox::Cancel);
    w.button("m_pushButtonDefault")->click();
    QCOMPARE(w.bank(0, 5)[3], QString("12 34 56 78"));
    answerer.queueButton(QMessageBox::Discard);
    w.button("m_pushButtonDefault")->click();
    QCOMPARE(w.bank(0, 5)[3], QString("00 00 00 00"));
    QCOMPARE(answerer.texts(),
             (QStringList{question + "关闭窗口将丢失这些修改。", question + "关闭窗口将丢失这些修改。",
                          question + "读配置将以设备中的参数替换这些修改。",
                          question + "打开参数文件将以文件中的参数替换这些修改。",
                          question + "恢复默认值将丢失这些修改。", question + "恢复默认值将丢失这些修改。"}));
    for (const ModalAnswerer::Seen& box : answerer.messages()) {
        QCOMPARE(box.kind, QString("question"));
        QCOMPARE(box.defaultButton, QString("返回"));
    }
    QVERIFY(answerer.messages().first().buttons.contains("仍然关闭"));
    QVERIFY(answerer.messages().at(2).buttons.contains("仍然读取"));
    QVERIFY(answerer.messages().at(3).buttons.contains("仍然打开"));
    QVERIFY(answerer.messages().last().buttons.contains("恢复默认值"));

    // Pulled out and plugged in again, the pages keep their edits: still asked.
    answerer.clear();
    repeater().setPresent(false);
    w.notice(false);
    QTRY_VERIFY(!w.m_bConnected);
    answerer.queueButton(QMessageBox::Cancel);
    QVERIFY(!quits([&] { w.close(); }));
    repeater().setPresent(true);
    w.notice(true);
    QTRY_VERIFY(w.m_bConnected);
    answerer.queueButton(QMessageBox::Cancel);
    QVERIFY(!quits([&] { w.close(); }));
    QCOMPARE(answerer.texts(),
             (QStringList{question + "关闭窗口将丢失这些修改。", question + "关闭窗口将丢失这些修改。"}));

    // Saved, nothing is lost: the window closes at once.
    answerer.clear();
    answerer.queueFile(path);
    w.button("m_pushButtonSaveToFile")->click();
    QCOMPARE(answerer.texts(), QStringList{"保存完成"});
    answerer.clear();
    QVERIFY(quits([&] { QTest::mouseClick(closeButton, Qt::LeftButton); }));
    QVERIFY(answerer.messages().isEmpty());
}

QTEST_MAIN(ScenarioTest)
#include "tst_scenario.moc"
