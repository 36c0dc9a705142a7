#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "AboutDialog.h"
#include "DevInfoWidget.h"
#include "LanguageSettings.h"
#include "ModalAnswerer.h"
#include "OrdinaryUser.h"
#include "PushButton.h"
#include "SimulatedRepeater.h"
#include "Tarvane.h"
#include "TestWindow.h"
#include "TitleWidget.h"

namespace {

class Window : public Tarvane {
public:
    using Tarvane::m_bConnected;
    using Tarvane::m_pActionAbout;
    using Tarvane::m_pActionDeviceInfo;
    using Tarvane::m_pActionEN;
    using Tarvane::m_pActionZH;
    using Tarvane::m_pDevInfoWidget;
    using Tarvane::m_pMenu;
    using Tarvane::m_pMenuOffline;
    using Tarvane::m_pTitleWidget;
    using Tarvane::mainMenuPosition;

    QLineEdit* devName() const { return findChild<QLineEdit*>("m_pLineEditDevName"); }
};

void addTexts(QWidget* root, QStringList& out) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        const QString id = QString(w->metaObject()->className()) + ":" + w->objectName() + " ";
        if (w->isWindow()) out << id + w->windowTitle();
        if (!w->toolTip().isEmpty()) out << id + w->toolTip();
        if (auto* label = qobject_cast<QLabel*>(w)) out << id + label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) out << id + button->text();
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i) out << id + tabs->tabText(i);
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i) out << id + combo->itemText(i);
        if (auto* table = qobject_cast<QTableWidget*>(w)) {
            for (int c = 0; c < table->columnCount(); ++c)
                if (auto* item = table->horizontalHeaderItem(c)) out << id + item->text();
            for (int r = 0; r < table->rowCount(); ++r) {
                if (auto* item = table->verticalHeaderItem(r)) out << id + item->text();
                for (int c = 0; c < table->columnCount(); ++c)
                    if (auto* item = table->item(r, c)) out << id + item->text();
            }
        }
    }
}

// Every user-visible text of the window, its pages, the menu and the device
// information window.
QStringList allTexts(Window& w) {
    QStringList texts;
    addTexts(&w, texts);
    addTexts(w.m_pDevInfoWidget, texts);
    for (QAction* action : w.m_pMenu->actions()) {
        texts << "menu " + action->text();
        if (action->menu())
            for (QAction* sub : action->menu()->actions()) texts << "submenu " + sub->text();
    }
    return texts;
}

bool hasHanCharacters(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff) return true;
    return false;
}

// The texts of the visible widgets under root that are shown in less room
// than they need, one line each. A label, button or entry may carry its
// whole text in a tool tip; a header may not: columns that all read "Fib…"
// cannot be told apart.
class CutTexts {
public:
    void walk(QWidget* root) {
        QList<QWidget*> widgets = root->findChildren<QWidget*>();
        widgets.prepend(root);
        for (QWidget* w : qAsConst(widgets)) {
            if (!w->isVisible()) continue;
            if (auto* label = qobject_cast<QLabel*>(w)) checkLabel(label);
            if (auto* button = qobject_cast<QPushButton*>(w)) checkButton(button);
            if (auto* bar = qobject_cast<QTabBar*>(w)) checkTabs(bar);
            if (auto* header = qobject_cast<QHeaderView*>(w)) checkHeader(header);
            if (auto* combo = qobject_cast<QComboBox*>(w)) checkCombo(combo);
            if (auto* table = qobject_cast<QTableWidget*>(w)) checkFixedItems(table);
            if (auto* edit = qobject_cast<QLineEdit*>(w)) checkLineEdit(edit);
        }
    }
    QStringList lines() const { return QStringList(m_lines.begin(), m_lines.end()); }

private:
    void report(QWidget* w, const QString& text, int need, int room, const QString& toolTip) {
        if (need <= room || toolTip.contains(text)) return;
        m_lines.insert(QStringLiteral("%1 \"%2\" needs %3, has %4")
                           .arg(QString::fromLatin1(w->metaObject()->className()), text)
                           .arg(need)
                           .arg(room));
    }
    void checkLabel(QLabel* label) {
        const QString text = label->text();
        if (text.isEmpty() || label->textFormat() == Qt::RichText) return;
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                          -label->margin());
        const QFontMetrics metrics = label->fontMetrics();
        if (label->wordWrap()) {
            // A wrapped text needs the height of its lines at the label's width.
            const QRect need = metrics.boundingRect(
                QRect(0, 0, room.width(), 100000),
                Qt::TextWordWrap | (label->alignment() & Qt::AlignHorizontal_Mask), text);
            report(label, text, need.height(), room.height(), label->toolTip());
            report(label, text, need.width(), room.width(), label->toolTip());
            return;
        }
        int need = 0;
        for (const QString& line : text.split(QLatin1Char('\n')))
            need = qMax(need, metrics.horizontalAdvance(line));
        report(label, text, need, room.width(), label->toolTip());
    }
    void checkButton(QPushButton* button) {
        if (button->text().isEmpty()) return;
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        if (button->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
        if (button->isDefault()) option.features |= QStyleOptionButton::DefaultButton;
        const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        report(button, button->text(),
               button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width(), room.width(),
               button->toolTip());
    }
    void checkTabs(QTabBar* bar) {
        const int padding = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
        for (int i = 0; i < bar->count(); ++i) {
            const QRect tab = bar->tabRect(i);
            const int need = bar->fontMetrics().size(Qt::TextShowMnemonic, bar->tabText(i)).width() + padding;
            // A tab partly outside the bar is cut as well, whatever its own width.
            const int room = bar->rect().contains(tab) ? tab.width() : 0;
            report(bar, bar->tabText(i), need, room, bar->tabToolTip(i));
        }
    }
    void checkHeader(QHeaderView* header) {
        QAbstractItemModel* model = header->model();
        for (int section = 0; section < header->count(); ++section) {
            if (header->isSectionHidden(section)) continue;
            const QString text = model->headerData(section, header->orientation()).toString();
            if (text.trimmed().isEmpty()) continue;
            report(header, text, header->sectionSizeHint(section), header->sectionSize(section), QString());
        }
    }
    void checkCombo(QComboBox* combo) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        option.frame = combo->hasFrame();
        // The current entry is drawn in the edit field, one pixel in on either side.
        const int room =
            combo->style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
                .width() -
            2;
        for (int i = 0; i < combo->count(); ++i) {
            const QString tip = combo->itemData(i, Qt::ToolTipRole).toString() + combo->toolTip();
            report(combo, combo->itemText(i), combo->fontMetrics().horizontalAdvance(combo->itemText(i)),
                   room, tip);
        }
    }
    // Items that cannot be edited name rows and columns. The view's delegate
    // says how much room an item's text takes, wrapped as the view wraps it.
    void checkFixedItems(QTableWidget* table) {
        QStyleOptionViewItem option;
        option.initFrom(table);
        option.widget = table;
        option.font = table->font();
        if (table->wordWrap()) option.features |= QStyleOptionViewItem::WrapText;
        option.textElideMode = table->textElideMode();
        for (int row = 0; row < table->rowCount(); ++row) {
            for (int column = 0; column < table->columnCount(); ++column) {
                const QTableWidgetItem* item = table->item(row, column);
                if (!item || item->text().isEmpty() || (item->flags() & Qt::ItemIsEditable) ||
                    table->isRowHidden(row) || table->isColumnHidden(column))
                    continue;
                option.rect = table->visualItemRect(item);
                const QSize need =
                    table->itemDelegate()->sizeHint(option, table->model()->index(row, column));
                report(table, item->text(), need.width(), option.rect.width(), QString());
                report(table, item->text(), need.height(), option.rect.height(), QString());
            }
        }
    }

    // A read-only field draws its text inside the contents less the text
    // margins and two pixels on either side, the cursor after it.
    void checkLineEdit(QLineEdit* edit) {
        if (!edit->isReadOnly() || edit->text().isEmpty()) return;
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth =
            edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        const QMargins margins = edit->textMargins();
        const int room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).width() -
                         margins.left() - margins.right() - 4;
        report(edit, edit->text(), edit->fontMetrics().horizontalAdvance(edit->text()) + 1, room, QString());
    }

    QSet<QString> m_lines;
};

// A box layout's items in order: a widget by its object name (or class),
// a nested layout as "layout", a spacer as "stretch" or "spacing N".
QStringList layoutItems(QLayout* layout) {
    const auto* box = qobject_cast<QBoxLayout*>(layout);
    const bool horizontal = box && (box->direction() == QBoxLayout::LeftToRight);
    QStringList items;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QWidget* widget = item->widget()) {
            items << (widget->objectName().isEmpty() ? widget->metaObject()->className()
                                                     : widget->objectName());
        } else if (item->layout()) {
            items << "layout";
        } else if (QSpacerItem* spacer = item->spacerItem()) {
            const QSizePolicy::Policy policy =
                horizontal ? spacer->sizePolicy().horizontalPolicy() : spacer->sizePolicy().verticalPolicy();
            const int size = horizontal ? spacer->sizeHint().width() : spacer->sizeHint().height();
            items << ((policy & QSizePolicy::ExpandFlag) ? QString("stretch")
                                                         : QString("spacing %1").arg(size));
        }
    }
    return items;
}

int storedId() {
    QSettings settings(LanguageSettings::filePath(), QSettings::IniFormat);
    return settings.value("/Language/id", -99).toInt();
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT

    enum SettingsFile { NoFile, ReadOnlyFile, WritableFile };

    // A window that found the simulated device.
    static void waitConnected(Window& w) { QTRY_VERIFY_WITH_TIMEOUT(!w.devName()->text().isEmpty(), 5000); }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        sim::SimulatedRepeater::instance().reset();
        QFile::remove(LanguageSettings::filePath());
    }
    void cleanup() { QFile::remove(LanguageSettings::filePath()); }

    void englishReachesEveryText() {
        Window w;
        waitConnected(w);
        const QStringList chinese = allTexts(w);
        QVERIFY(!QFile::exists(LanguageSettings::filePath()));

        w.m_pActionEN->trigger();
        QVERIFY(w.m_pActionEN->isChecked());
        QVERIFY(!w.m_pActionZH->isChecked());
        QCOMPARE(w.minimumWidth(), languageMinimumWidth(w, 600));
        QCOMPARE(LanguageSettings::filePath(), QCoreApplication::applicationDirPath() + "/Config.ini");
        QVERIFY(QFile::exists(LanguageSettings::filePath()));
        QCOMPARE(storedId(), 1);

        const QStringList english = allTexts(w);
        QCOMPARE(english.size(), chinese.size());
        // Only the fixed language name stays Chinese.
        const QStringList untranslated = {"submenu 中文"};
        for (const QString& text : english)
            if (hasHanCharacters(text) && !untranslated.contains(text))
                QFAIL(qPrintable("still Chinese: " + text));
        const QStringList expected = {"submenu 中文",
                                      "submenu English",
                                      "menu Language",
                                      "menu About",
                                      "menu Device Info",
                                      "QLabel:m_pLabelDevName Devic Name：",
                                      "QPushButton:m_pushButtonSaveToFile Save",
                                      "QTabWidget:m_tabWidgetParam CAN Param",
                                      "QTabWidget:m_tabWidgetParam Fiber Param",
                                      "QTabWidget:m_tabWidgetParam Route Param",
                                      "QLabel:m_pLabelHint Searching equipment,Wait for a moment",
                                      "DevInfoWidget:DevInfoWidget Device Info",
                                      "QLabel:m_labelDevType Hardware Type：",
                                      "PushButton: Menu (F10, Alt+M)",
                                      "PushButton: Min",
                                      "PushButton: Close",
                                      "QLabel: Tarvane"};
        for (const QString& text : expected) QVERIFY2(english.contains(text), qPrintable(text));
        QVERIFY(english.filter("Channal1").size() >= 1);
        QVERIFY(english.filter("Baud Rate：").size() >= 1);
        QVERIFY(english.filter("Fiber1").size() >= 1);
        QVERIFY(english.filter("ON/OFF").size() >= 1);

        QCOMPARE(QCoreApplication::translate("DeviceWrite", "参数已设置，复位无应答."),
                 QString("Parameters set; no answer to the reset."));
        // Every text the window shows has an English entry.
        QCOMPARE(QCoreApplication::translate("DeviceWrite", "复位失败."), QString("Reset failed."));
        QCOMPARE(QCoreApplication::translate("Tarvane", "失败"), QString("Failed"));
    }

    void englishThenChinese() {
        Window w;
        waitConnected(w);
        const QStringList chinese = allTexts(w);

        w.m_pActionEN->trigger();
        const QStringList english = allTexts(w);
        w.m_pActionZH->trigger();
        QVERIFY(w.m_pActionZH->isChecked());
        QVERIFY(!w.m_pActionEN->isChecked());
        QCOMPARE(w.minimumWidth(), languageMinimumWidth(w, 556));
        QCOMPARE(storedId(), 0);
        QCOMPARE(allTexts(w), chinese);

        // Both translators are installed now; the last choice still decides.
        w.m_pActionEN->trigger();
        QCOMPARE(allTexts(w), english);
        QCOMPARE(storedId(), 1);
        w.m_pActionZH->trigger();
        QCOMPARE(allTexts(w), chinese);
    }

    // The model edited offline is named in the language chosen.
    void offlineNameInEnglish() {
        sim::SimulatedRepeater::instance().setPresent(false);
        ModalAnswerer answerer;
        Window w;
        QTRY_COMPARE(answerer.texts().size(), 1);
        w.m_pMenuOffline->actions().at(2)->trigger();
        w.m_pActionEN->trigger();
        QCOMPARE(w.devName()->text(), QString("Offline: Orvex-A3"));
        QCOMPARE(w.m_pMenuOffline->title(), QString("Edit offline"));
    }

    void settingsFileUpdated() {
        {
            QSettings settings(LanguageSettings::filePath(), QSettings::IniFormat);
            settings.setValue("/Language/id", 0);
        }
        Window w;
        w.m_pActionEN->trigger();
        QCOMPARE(storedId(), 1);
        QSettings settings(LanguageSettings::filePath(), QSettings::IniFormat);
        QCOMPARE(settings.allKeys(), QStringList{"Language/id"});
    }

    // The rows and columns as the window is laid out, spacings being spacer
    // items; the rows' own spacing between items is the style's.
    void layouts_data() {
        QTest::addColumn<QString>("items");
        QTest::newRow("main column") << "TitleWidget, layout, m_tabWidgetParam, layout, spacing 10";
        QTest::newRow("top row")
            << "spacing 10, m_pLabelDevName, m_pLineEditDevName, CustomProgressIndicator, "
               "m_pLabelHint, stretch";
        QTest::newRow("button row")
            << "stretch, m_pushButtonSaveToFile, m_pushButtonReadFromFile, spacing 30, m_pushButtonRead, "
               "m_pushButtonWrite, spacing 30, m_pushButtonDefault, stretch";
        QTest::newRow("fiber page")
            << "spacing 5, m_labelTip, spacing 50, spacing 15, layout, layout, layout, layout, stretch";
        QTest::newRow("route page") << "spacing 40, m_tableWidgetRouteMap, layout, stretch";
        QTest::newRow("device information") << "spacing 30, layout, layout, layout, layout, stretch";
    }
    void layouts() {
        Window w;
        QLayout* column = w.layout();
        QLayout* top = column->itemAt(1)->layout();
        QLayout* buttons = column->itemAt(3)->layout();
        const QMap<QString, QLayout*> layouts{
            {"main column", column},
            {"top row", top},
            {"button row", buttons},
            {"fiber page", w.findChild<QWidget*>("OpticalFiberParamWidget")->layout()},
            {"route page", w.findChild<QWidget*>("RouteParamWidget")->layout()},
            {"device information", w.m_pDevInfoWidget->layout()},
        };
        QTEST(layoutItems(layouts.value(QTest::currentDataTag())).join(", "), "items");
        QCOMPARE(top->spacing(), buttons->spacing());
    }

    void menuPosition() {
        Window w;
        w.resize(699, 385);
        QCOMPARE(w.width(), 699);
        QCOMPARE(w.mainMenuPosition(), QPoint(578, 25));

        w.move(0, 0);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        bool shown = false;
        QPoint at;
        QTimer::singleShot(0, w.m_pMenu, [&] {
            shown = w.m_pMenu->isVisible();
            at = w.m_pMenu->pos();
            w.m_pMenu->close();
        });
        QTest::mouseClick(w.m_pTitleWidget->menuButton(), Qt::LeftButton);  // returns when the menu closes
        QVERIFY(shown);
        QCOMPARE(at, w.mapToGlobal(QPoint(578, 25)));
    }

    void deviceInfo_data() {
        QTest::addColumn<bool>("present");
        QTest::newRow("no device") << false;
        QTest::newRow("device") << true;
    }
    void deviceInfo() {
        QFETCH(bool, present);
        sim::SimulatedRepeater::instance().setPresent(present);
        ModalAnswerer answerer;
        Window w;
        if (present)
            waitConnected(w);
        else
            QTRY_COMPARE_WITH_TIMEOUT(answerer.texts(), QStringList{"搜索设备失败"}, 5000);
        answerer.clear();

        w.m_pActionDeviceInfo->trigger();
        QCOMPARE(w.m_pDevInfoWidget->isVisible(), present);
        if (present) {
            QVERIFY(answerer.messages().isEmpty());
            QCOMPARE(w.m_pDevInfoWidget->findChild<QLineEdit*>("m_lineEditDevType")->text().isEmpty(), false);
            w.m_pDevInfoWidget->hide();
        } else {
            QCOMPARE(answerer.messages().size(), 1);
            QCOMPARE(answerer.messages()[0].kind, QString("information"));
            QCOMPARE(answerer.messages()[0].title, QString("提示"));
            QCOMPARE(answerer.messages()[0].text, QString("设备未连接"));
            // Qt's own button text follows the language too.
            QCOMPARE(answerer.messages()[0].buttons, QStringList{"确定"});
        }
    }

    void doubleClickMaximisesAndRestores() {
        Window w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.isMaximized());
        QTest::mouseDClick(w.m_pTitleWidget, Qt::LeftButton);
        QVERIFY(w.isMaximized());
        QTest::mouseDClick(w.m_pTitleWidget, Qt::LeftButton);
        QVERIFY(!w.isMaximized());
    }

    void aboutInCurrentLanguage_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("title");
        QTest::newRow("Chinese") << false << "关于";
        QTest::newRow("English") << true << "About";
    }
    void aboutInCurrentLanguage() {
        QFETCH(bool, english);
        QFETCH(QString, title);
        Window w;
        if (english) w.m_pActionEN->trigger();
        QString seenTitle;
        QPointer<AboutDialog> seen;
        QTimer::singleShot(0, &w, [&] {
            seen = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
            QVERIFY(seen);
            QVERIFY(!seen->parentWidget());
            seenTitle = seen->titleWidget()->title();
            seen->okButton()->click();
        });
        w.m_pActionAbout->trigger();
        QCOMPARE(seenTitle, title);
        QVERIFY(seen.isNull());  // gone once closed
    }

    // Every text of the main window, its pages and the device information
    // window has the room it needs, or a tool tip with the whole text, in
    // the language the window starts in and after a switch.
    void textsFit_data() {
        QTest::addColumn<int>("startId");
        QTest::addColumn<QString>("switchTo");
        QTest::newRow("Chinese") << 0 << QString();
        QTest::newRow("English") << 1 << QString();
        QTest::newRow("Chinese, then English") << 0 << "English";
        QTest::newRow("English, then Chinese") << 1 << "中文";
    }
    void textsFit() {
        QFETCH(int, startId);
        QFETCH(QString, switchTo);
        LanguageSettings::setLanguageId(startId);
        sim::Identity identity;  // the model with every fiber and route channel
        identity.hardwareType = 4;
        sim::SimulatedRepeater::instance().setIdentity(identity);
        CutTexts cut;
        Window w;
        // Laid out and shown, still searching: the search's result waits for the event loop.
        w.show();
        cut.walk(&w);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        waitConnected(w);
        if (switchTo == "English") w.m_pActionEN->trigger();
        if (switchTo == "中文") w.m_pActionZH->trigger();

        auto* pages = w.findChild<QTabWidget*>("m_tabWidgetParam");
        auto* channals = w.findChild<QTabWidget*>("m_tabWidgetChannal");
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            for (int channal = 0; channal < (page == 0 ? channals->count() : 1); ++channal) {
                channals->setCurrentIndex(channal);
                QCoreApplication::processEvents();
                cut.walk(&w);
            }
        }
        w.m_pDevInfoWidget->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.m_pDevInfoWidget));
        cut.walk(w.m_pDevInfoWidget);
        w.m_pDevInfoWidget->hide();
        QVERIFY2(cut.lines().isEmpty(), qPrintable("\n" + cut.lines().join(QLatin1Char('\n'))));
    }

    // Where the language is read and written, for a program folder that can
    // or cannot be written, with or without a Config.ini that can or cannot be
    // written. Run as an ordinary user, since root writes anywhere.
    void settingsLocation_data() {
        QTest::addColumn<QString>("appDir");  // empty: a new folder
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<int>("file");  // Config.ini in the folder
        QTest::addColumn<QString>("reads");
        QTest::addColumn<QString>("writes");
        const auto row = [](const char* name, const char* appDir, bool folderWritable, SettingsFile file,
                            const char* reads, const char* writes) {
            QTest::newRow(name) << QString(appDir) << folderWritable << int(file) << QString(reads)
                                << QString(writes);
        };
        row("writable folder", "", true, NoFile, "beside", "beside");
        row("writable folder and file", "", true, WritableFile, "beside", "beside");
        row("read-only folder", "", false, NoFile, "user", "user");
        // Settings are stored through a new file in the folder.
        row("read-only folder, writable file", "", false, WritableFile, "user, beside", "user");
        row("read-only folder and file", "", false, ReadOnlyFile, "user, beside", "user");
        row("kernel file system", "/proc", false, NoFile, "user", "user");
        row("missing, under a file", "/proc/version/bin", false, NoFile, "user", "user");
    }
    void settingsLocation() {
        QFETCH(QString, appDir);
        QFETCH(bool, folderWritable);
        QFETCH(int, file);
        QFETCH(QString, reads);
        QFETCH(QString, writes);
        QTemporaryDir program;
        QTemporaryDir home;
        QVERIFY(program.isValid() && home.isValid());
        if (appDir.isEmpty()) appDir = program.path();
        // The user's folder does not exist yet; the user may create it.
        QVERIFY(setFolderWritable(home.path(), true));
        const QString userDir = home.path() + "/tarvane";
        const QString beside = appDir + "/Config.ini";
        if (file != NoFile) {
            QSettings(beside, QSettings::IniFormat).setValue("/Language/id", 1);
            const QFile::Permissions readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
            const QFile::Permissions writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
            QVERIFY(QFile::setPermissions(beside, file == WritableFile ? readable | writable : readable));
        }
        if (appDir == program.path()) QVERIFY(setFolderWritable(appDir, folderWritable));
        const std::optional<int> stored = file == NoFile ? std::nullopt : std::optional<int>(1);
        const int chosen = file == NoFile ? 1 : 0;
        const QMap<QString, QString> names{{beside, "beside"}, {userDir + "/Config.ini", "user"}};

        const OrdinaryUserRun run = runAsOrdinaryUser([&]() -> QString {
            // Whether the probe left anything behind, in the folders of the
            // test alone: in /proc, entries come and go with every process.
            const auto entries = [&] {
                return appDir != program.path() ? QStringList()
                                                : QDir(appDir).entryList(QDir::AllEntries | QDir::Hidden |
                                                                         QDir::System | QDir::NoDotAndDotDot);
            };
            const QStringList before = entries();
            const LanguageSettings::Location location = LanguageSettings::locationFor(appDir, userDir);
            if (entries() != before) return "the probe left something behind";
            QStringList read;
            for (const QString& path : location.readPaths) read << names.value(path, path);
            if (read.join(", ") != reads) return "reads " + location.readPaths.join(", ");
            if (names.value(location.writePath) != writes) return "writes " + location.writePath;
            if (LanguageSettings::languageId(location) != stored) return "the stored id is not read";
            LanguageSettings::setLanguageId(chosen, location);
            if (LanguageSettings::languageId(location) != chosen) return "a new choice is not read back";
            return QString();
        });
        if (appDir == program.path()) QVERIFY(setFolderWritable(appDir, true));
        if (run.outcome == OrdinaryUserRun::Unavailable) QSKIP(qPrintable(run.message));
        QVERIFY2(run.outcome == OrdinaryUserRun::Passed, qPrintable(run.message));
        // A file that cannot be written keeps what it held.
        if (writes == "user" && file != NoFile)
            QCOMPARE(QSettings(beside, QSettings::IniFormat).value("/Language/id").toInt(), 1);
    }
};

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"
