// Saves pictures of the three parameter pages, the bit-timing calculator, the
// device information window and the About box, with the main window talking
// to the simulated repeater:
//   tarvane-screenshots <output dir> <name prefix>
// The language is the one stored in Config.ini beside this program, as for
// Tarvane itself.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QThread>

#include <cstdio>
#include <functional>

#include <hidapi.h>

#include "AboutDialog.h"
#include "BitTimingDialog.h"
#include "DevInfoWidget.h"
#include "Tarvane.h"

namespace {

// Reaches the window's connection state and device information window.
class ShotWindow : public Tarvane {
public:
    using Tarvane::Tarvane;
    bool connected() const { return m_bConnected; }
    QWidget* deviceInfoWindow() const { return m_pDevInfoWidget; }
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
        const QString path = m_dir + "/" + m_prefix + "-" + name + ".png";
        if (widget->grab().save(path, "png")) {
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

int takePictures(const QString& dir, const QString& prefix) {
    Shooter shooter(dir, prefix);
    ShotWindow window(nullptr);
    window.show();
    if (!waitFor([&] { return window.connected(); }, 10000)) {
        std::fprintf(stderr, "the simulated repeater did not connect\n");
        return 1;
    }
    QTabWidget* tabs = window.findChild<QTabWidget*>();
    if (!tabs || tabs->count() != 3) {
        std::fprintf(stderr, "the main window has no three pages\n");
        return 1;
    }
    const char* pages[] = {"can", "fiber", "route"};
    for (int i = 0; i < 3; ++i) {
        tabs->setCurrentIndex(i);
        shooter.shoot(&window, pages[i]);
    }
    tabs->setCurrentIndex(0);

    // A rate the table lacks, as bridged on vehicles.
    BitTimingDialog calculator(&window);
    calculator.setBitRate(33333);
    calculator.show();
    shooter.shoot(&calculator, "bittiming");
    calculator.hide();

    QWidget* info = window.deviceInfoWindow();
    info->show();
    shooter.shoot(info, "device-info");
    info->hide();

    AboutDialog about;
    about.show();
    shooter.shoot(&about, "about");
    about.hide();

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
