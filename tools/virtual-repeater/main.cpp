// tarvane-virtual-repeater: one repeater on the kernel's HID bus, for the
// test that runs the real programs through hidraw, udev and hidapi in a
// virtual machine. The firmware model is the simulator's, so the device
// answers every command as the simulated repeater does; this program adds
// the bus: plugging in, the restart after a reset, and falling silent.
//
// It prints "plugged /dev/hidrawN" each time its hidraw node is there,
// "unplugged" each time it left the bus, and "silent" once it no longer
// answers. SIGTERM or SIGINT pull it out for good; SIGUSR1 makes it fall
// silent.
#include <poll.h>
#include <sys/mman.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <chrono>
#include <csignal>
#include <cstdio>

#include "Backend.h"
#include "Firmware.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

void say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// The hidraw node whose HID device carries the serial (HID_UNIQ) and ids
// given, or empty while there is none.
QString hidrawNode(const DeviceLook& look) {
    const QString hidId = QString::asprintf("HID_ID=0003:%08X:%08X", look.vendorId, look.productId);
    const QDir classDir(QStringLiteral("/sys/class/hidraw"));
    for (const QString& name : classDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile uevent(classDir.filePath(name + "/device/uevent"));
        if (!uevent.open(QIODevice::ReadOnly)) continue;
        const QString text = QString::fromUtf8(uevent.readAll());
        const QStringList lines = text.split(QLatin1Char('\n'));
        if (lines.contains(QStringLiteral("HID_UNIQ=") + look.serial) && lines.contains(hidId) &&
            QFile::exists("/dev/" + name))
            return "/dev/" + name;
    }
    return QString();
}

int waitMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(qBound<long long>(0, left, 60000));
}

}  // namespace

const QByteArray& reportDescriptor() {
    static const QByteArray bytes = QByteArray::fromHex(
        "0600ff"  // usage page: vendor-defined 0xFF00
        "0901"    // usage 1
        "a101"    // collection: application
        "1500"    // logical minimum 0
        "26ff00"  // logical maximum 255
        "7508"    // report size: 8 bits
        "9510"    // report count: 16
        "0901"    // usage 1
        "8102"    // input: data, variable, absolute
        "9510"    // report count: 16
        "0901"    // usage 1
        "9102"    // output: data, variable, absolute
        "c0");    // end collection
    return bytes;
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("One repeater on the kernel's HID bus, for tests."));
    parser.addHelpOption();
    const QCommandLineOption backendOption("backend", "usb (a gadget on a USB device controller) or uhid.",
                                           "name", "uhid");
    const QCommandLineOption cardOption("card", "Card number it reports.", "text", "TV2026000417");
    const QCommandLineOption typeOption("type", "Hardware type it reports, 1-5.", "code", "4");
    const QCommandLineOption idOption("usb-id", "Vendor and product id it shows.", "vvvv:pppp", "0483:6901");
    const QCommandLineOption udcOption("udc", "USB device controller (usb); default: the first.", "name");
    const QCommandLineOption silentOption("silent", "Answer nothing from the start.");
    const QCommandLineOption restartOption("restart-ms", "Time off the bus after an acknowledged reset.",
                                           "ms", "500");
    const QCommandLineOption graceOption("grace-ms",
                                         "How long the reset's reply stays readable before it leaves the "
                                         "bus, unless the host closes it first.",
                                         "ms", "500");
    parser.addOptions({backendOption, cardOption, typeOption, idOption, udcOption, silentOption,
                       restartOption, graceOption});
    parser.process(app);

    sim::Firmware firmware;
    firmware.identity.cardNumber = parser.value(cardOption).toUtf8();
    firmware.identity.hardwareType = static_cast<unsigned char>(parser.value(typeOption).toUInt());
    DeviceLook look;
    const QStringList ids = parser.value(idOption).split(QLatin1Char(':'));
    bool vendorOk = false;
    bool productOk = false;
    if (ids.size() == 2) {
        look.vendorId = static_cast<unsigned short>(ids[0].toUShort(&vendorOk, 16));
        look.productId = static_cast<unsigned short>(ids[1].toUShort(&productOk, 16));
    }
    if (!vendorOk || !productOk) {
        std::fprintf(stderr, "--usb-id: expected vvvv:pppp in hexadecimal\n");
        return 2;
    }
    // Not the card number: the programs must find the repeater without it.
    look.serial = QStringLiteral("VR-") + parser.value(cardOption);
    look.product = QStringLiteral("Virtual repeater ") + parser.value(cardOption);
    const QString backendName = parser.value(backendOption);
    std::unique_ptr<Backend> backend;
    if (backendName == QLatin1String("uhid")) {
        backend = makeUhidBackend(look);
    } else if (backendName == QLatin1String("usb")) {
        backend = makeGadgetBackend(look, parser.value(udcOption));
    } else {
        std::fprintf(stderr, "--backend: usb or uhid\n");
        return 2;
    }
    const milliseconds restartTime(parser.value(restartOption).toInt());
    const milliseconds grace(parser.value(graceOption).toInt());
    bool silent = parser.isSet(silentOption);

    sigset_t handled;
    sigemptyset(&handled);
    for (int s : {SIGTERM, SIGINT, SIGUSR1}) sigaddset(&handled, s);
    sigprocmask(SIG_BLOCK, &handled, nullptr);
    const int signalFd = signalfd(-1, &handled, SFD_CLOEXEC);

    // A real device answers from memory: the first reply must not wait for
    // this program's code to be read from the build machine's disk while the
    // host's short time-out runs.
    if (mlockall(MCL_CURRENT | MCL_FUTURE) != 0) std::fprintf(stderr, "cannot lock the program in memory\n");

    QString error;
    if (!backend->plug(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (silent) say(QStringLiteral("silent"));

    // The moments of a restart: the reset's reply still to be read, off the
    // bus, and the hidraw node not yet seen after plugging in.
    bool leaving = false;
    bool away = false;
    bool announcing = true;
    Clock::time_point leaveAt;
    Clock::time_point backAt;
    const Clock::time_point never = Clock::now() + std::chrono::hours(24 * 365);

    for (;;) {
        Clock::time_point next = never;
        if (leaving) next = leaveAt;
        if (away) next = backAt;
        if (announcing) next = std::min(next, Clock::now() + milliseconds(20));
        pollfd fds[2] = {{signalFd, POLLIN, 0}, {backend->fd(), POLLIN, 0}};
        const int count = backend->fd() >= 0 ? 2 : 1;
        if (::poll(fds, count, waitMs(next)) < 0 && errno != EINTR) break;

        if (fds[0].revents & POLLIN) {
            signalfd_siginfo info{};
            if (::read(signalFd, &info, sizeof info) == sizeof info) {
                if (info.ssi_signo == SIGUSR1) {
                    silent = true;
                    say(QStringLiteral("silent"));
                } else {
                    break;
                }
            }
        }
        if (count == 2 && (fds[1].revents & (POLLIN | POLLERR | POLLHUP))) {
            QByteArray report;
            switch (backend->receive(&report)) {
                case Backend::Event::Report: {
                    if (silent || leaving) break;
                    const QByteArray reply = firmware.answer(report);
                    if (reply.isEmpty()) break;
                    if (!backend->send(reply)) std::fprintf(stderr, "a reply could not be sent\n");
                    // An acknowledged reset restarts the device, holding what was written.
                    if (report.size() > 2 && static_cast<unsigned char>(report.at(2)) == 0x11 &&
                        static_cast<unsigned char>(reply.at(2)) == 0x81) {
                        leaving = true;
                        leaveAt = Clock::now() + grace;
                    }
                    break;
                }
                case Backend::Event::Closed:
                    // Whoever asked for the reset has its reply.
                    if (leaving) leaveAt = Clock::now();
                    break;
                case Backend::Event::Failed:
                    std::fprintf(stderr, "the device's link failed\n");
                    return 1;
                case Backend::Event::None:
                    break;
            }
        }
        const Clock::time_point now = Clock::now();
        // Gone before its reply was read, the host would see the hang-up first.
        if (leaving && now >= leaveAt) {
            leaving = false;
            backend->unplug();
            say(QStringLiteral("unplugged"));
            away = true;
            announcing = false;
            backAt = now + restartTime;
        } else if (away && now >= backAt) {
            away = false;
            if (!backend->plug(&error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
            announcing = true;
        }
        if (announcing) {
            const QString node = hidrawNode(look);
            if (!node.isEmpty()) {
                announcing = false;
                say(QStringLiteral("plugged ") + node);
            }
        }
    }
    backend->unplug();
    say(QStringLiteral("unplugged"));
    return 0;
}
