// Saves pictures of the three parameter pages, the bit-timing calculator (as
// it opens, and choosing for a bus length), the device information window,
// the About box, the comparison with the device, the questions before closing
// and reading over edits, the menu that chooses among two repeaters and the
// question when the other one is chosen over edits, a planned filter bank
// decoded under its table, the filter planner and the CAN page edited
// offline, with the main window talking to the simulated repeaters:
//   tarvane-screenshots <output dir> <name prefix>
// The language is the one stored in Config.ini beside this program, as for
// Tarvane itself.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>

#include <hidapi.h>

#include "AboutDialog.h"
#include "BitTimingDialog.h"
#include "ChannalWidget.h"
#include "DevInfoWidget.h"
#include "FilterPlanner.h"
#include "FilterPlannerDialog.h"
#include "SimulatedRepeater.h"
#include "Tarvane.h"

namespace {

// Reaches the window's connection state and device information window.
class ShotWindow : public Tarvane {
public:
    using Tarvane::Tarvane;
    bool connected() const { return m_bConnected; }
    QWidget* deviceInfoWindow() const { return m_pDevInfoWidget; }
    QAction* compareAction() const { return m_pActionCompare; }
    QMenu* mainMenu() const { return m_pMenu; }
    QMenu* devicesMenu() const { return m_pMenuDevices; }
    QMenu* offlineMenu() const { return m_pMenuOffline; }
    QPoint menuPosition() const { return mapToGlobal(mainMenuPosition()); }
};

bool waitFor(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

// Lets layouts, paints and the window manager catch up.
void settle() {
    waitFor([] { return false; }, 400);
}

class Shooter {
public:
    Shooter(const QString& dir, const QString& prefix) : m_dir(dir), m_prefix(prefix) {}

    void shoot(QWidget* widget, const QString& name) {
        settle();
        save(widget->grab(), name);
    }
    // What the screen shows in a rectangle, menus that pop up over the window included.
    void shootScreen(const QRect& area, const QString& name) {
        settle();
        save(QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()),
             name);
    }
    void save(const QPixmap& picture, const QString& name) {
        const QString path = m_dir + "/" + m_prefix + "-" + name + ".png";
        if (picture.save(path, "png")) {
            std::printf("%s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++m_failures;
        }
    }
    int failures() const { return m_failures; }

private:
    QString m_dir;
    QString m_prefix;
    int m_failures = 0;
};

// The main window and its three pages, once it is connected.
bool shootPages(ShotWindow& window, Shooter& shooter) {
    window.move(40, 40);
    window.show();
    if (!waitFor([&] { return window.connected(); }, 10000)) {
        std::fprintf(stderr, "the simulated repeater did not connect\n");
        return false;
    }
    QTabWidget* tabs = window.findChild<QTabWidget*>();
    if (!tabs || tabs->count() != 3) {
        std::fprintf(stderr, "the main window has no three pages\n");
        return false;
    }
    const char* pages[] = {"can", "fiber", "route"};
    for (int i = 0; i < 3; ++i) {
        tabs->setCurrentIndex(i);
        shooter.shoot(&window, pages[i]);
    }
    tabs->setCurrentIndex(0);
    return true;
}

void shootDialogs(ShotWindow& window, Shooter& shooter) {
    // A rate the table lacks, as bridged on vehicles.
    BitTimingDialog calculator(&window);
    calculator.setBitRate(33333);
    calculator.show();
    shooter.shoot(&calculator, "bittiming");
    calculator.hide();
    // A bus longer than the 8-quantum word reaches: the 16-quantum one first,
    // with the clock tolerance and the longest bus of each word.
    BitTimingDialog network(&window);
    network.setBitRate(125000);
    network.findChild<QLineEdit*>("m_editBusLength")->setText("450");
    network.show();
    shooter.shoot(&network, "timing");
    network.hide();

    QWidget* info = window.deviceInfoWindow();
    info->show();
    shooter.shoot(info, "device-info");
    info->hide();

    AboutDialog about;
    about.show();
    shooter.shoot(&about, "about");
    about.hide();
}

// Shoots the next question box when it opens, and goes back; `done` tells
// when. It looks from the event loop, which the box's own runs as well.
void shootQuestion(ShotWindow& window, Shooter& shooter, const QString& name, bool& done) {
    done = false;
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [poll, &shooter, name, &done] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || done) return;
        done = true;
        poll->stop();
        poll->deleteLater();
        shooter.shoot(box, name);
        box->button(QMessageBox::Cancel)->click();
    });
    poll->start(50);
}

// The comparison with the device, and the questions before closing and
// reading over an edit.
void shootQuestions(ShotWindow& window, Shooter& shooter) {
    // The device holds another bit rate, a bank in use, another fiber code
    // and one route less than the pages show.
    sim::Parameters held = sim::Parameters::defaults();
    held.can[0].bitTiming = QByteArray::fromHex("0012000B");  // 500K
    held.can[1].banks[2].flags = 0x82;
    held.fiber[1] = 0x05;
    held.route[2] = 0x47;
    sim::SimulatedRepeater::instance().setParameters(held);
    QTimer::singleShot(0, &window, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            shooter.shoot(dialog, "compare");
            dialog->close();
        }
    });
    window.compareAction()->trigger();

    // An edit neither written nor saved: closing and reading ask first.
    window.findChild<QComboBox*>("m_pComboBoxBautRate")->setCurrentIndex(11);
    bool done = false;
    shootQuestion(window, shooter, "close-question", done);
    window.onCloseWidget();
    shootQuestion(window, shooter, "read-question", done);
    window.findChild<QPushButton*>("m_pushButtonRead")->click();
}

// The other repeater chosen over the edit: keep it for that one, or not, or go back.
void shootChooseQuestion(ShotWindow& window, Shooter& shooter) {
    bool done = false;
    shootQuestion(window, shooter, "choose-question", done);
    window.devicesMenu()->actions().at(1)->trigger();  // asks once the menu is done with the entry
    if (!waitFor([&] { return done && !QApplication::activeModalWidget(); }, 5000))
        std::fprintf(stderr, "choosing the other repeater asked nothing\n");
}

// The main menu with the repeaters to choose from.
void shootDevicesMenu(ShotWindow& window, Shooter& shooter) {
    QMenu* menu = window.mainMenu();
    menu->popup(window.menuPosition());
    settle();
    menu->setActiveAction(window.devicesMenu()->menuAction());
    window.devicesMenu()->popup(menu->geometry().topRight() +
                                menu->actionGeometry(window.devicesMenu()->menuAction()).topLeft());
    const QRect shown = window.frameGeometry() | menu->geometry() | window.devicesMenu()->geometry();
    shooter.shootScreen(shown.adjusted(-4, -4, 4, 4), "devices");
    window.devicesMenu()->hide();
    menu->hide();
}

// The filters, which change the pages: a site's identifiers planned into the
// first channel, the bank of the extended range selected; then the planner
// from bank 2 with the default bank 1 kept, which it warns of.
void shootFilters(ShotWindow& window, Shooter& shooter) {
    const QString request = QStringLiteral("0x100-0x1FF\n0x18FEF100-0x18FEF1FF ext\n0x7E8");
    auto* channel =
        qobject_cast<ChannalWidget*>(window.findChild<QTabWidget*>("m_tabWidgetChannal")->widget(0));
    CanChannelValues planned = channel->values();
    FilterPlanner::fill(planned.banks, FilterPlanner::plan(FilterPlanner::parse(request).requests), true);
    channel->setValues(planned);
    channel->findChild<QTableWidget*>("m_pTableWidgetDataList")->setCurrentCell(1, ChannalWidget::ColumnId);
    shooter.shoot(&window, "filters");

    FilterPlannerDialog planner(&window);
    planner.setBanks(CanChannelValues::defaults(1).banks);
    planner.findChild<QPlainTextEdit*>("m_editRequest")->setPlainText(request);
    planner.findChild<QSpinBox*>("m_spinFirstBank")->setValue(2);
    planner.show();
    shooter.shoot(&planner, "planner");
    planner.hide();
}

// Both repeaters unplugged, the CAN page of a model edited offline.
bool shootOffline(ShotWindow& window, Shooter& shooter, sim::SimulatedRepeater& second) {
    sim::SimulatedRepeater::instance().setPresent(false);
    second.setPresent(false);
    emit window.deviceChanged(0);
    if (!waitFor([&] { return !window.connected(); }, 5000)) {
        std::fprintf(stderr, "the simulated repeaters did not go\n");
        return false;
    }
    const QList<QAction*> models = window.offlineMenu()->actions();
    if (models.size() != 5) {
        std::fprintf(stderr, "the menu offers no five models to edit offline\n");
        return false;
    }
    models.at(3)->trigger();  // Orvex-A4, with every fiber and route channel
    window.findChild<QTabWidget*>()->setCurrentIndex(0);
    shooter.shoot(&window, "offline");
    return true;
}

int takePictures(const QString& dir, const QString& prefix) {
    Shooter shooter(dir, prefix);
    // A second repeater on the bench, for the menu that chooses between them.
    sim::Identity second;
    second.cardNumber = "TV2026000418";
    sim::SimulatedRepeater& secondRepeater = sim::SimulatedRepeater::addDevice();
    secondRepeater.setIdentity(second);
    ShotWindow window(nullptr);
    if (!shootPages(window, shooter)) return 1;
    shootDialogs(window, shooter);
    shootQuestions(window, shooter);
    shootDevicesMenu(window, shooter);
    shootChooseQuestion(window, shooter);
    shootFilters(window, shooter);  // it changes the pages
    if (!shootOffline(window, shooter, secondRepeater)) return 1;
    return shooter.failures() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <output dir> <name prefix>\n", argv[0]);
        return 2;
    }
    const QString dir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(dir));
        return 1;
    }
    hid_init();
    const int result = takePictures(dir, QString::fromLocal8Bit(argv[2]));
    hid_exit();
    return result;
}
