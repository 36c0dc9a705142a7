// tarvane-virtual-repeater: one repeater on the kernel's HID bus, for the
// test that runs the real programs through hidraw, udev and hidapi in a
// virtual machine. The firmware model is the simulator's, so the device
// answers every command as the simulated repeater does; this program adds
// the bus: plugging in, the restart after a reset, and falling silent.
//
// It prints "plugged /dev/hidrawN" each time its hidraw node is there,
// "unplugged" each time it left the bus, and "silent" once it no longer
// answers. SIGTERM or SIGINT pull it out for good; SIGUSR1 makes it fall
// silent. With --forget-writes it acknowledges every frame but keeps
// nothing written, so that a check that reads back must see the difference.
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
#include "Protocol.h"

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

struct Options {
    sim::Firmware firmware;
    DeviceLook look;
    std::unique_ptr<Backend> backend;
    milliseconds restartTime{0};
    milliseconds grace{0};
    bool silent = false;
    bool forgetWrites = false;
};

void describeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("One repeater on the kernel's HID bus, for tests."));
    parser.addHelpOption();
    parser.addOptions({
        {"backend", "usb (a gadget on a USB device controller) or uhid.", "name", "uhid"},
        {"card", "Card number it reports.", "text", "TV2026000417"},
        {"type", "Hardware type it reports, 1-5.", "code", "4"},
        {"usb-id", "Vendor and product id it shows.", "vvvv:pppp", Protocol::usbIdText()},
        {"udc", "USB device controller (usb); default: the first.", "name"},
        {"silent", "Answer nothing from the start."},
        {"forget-writes", "Acknowledge parameter frames without keeping their values."},
        {"restart-ms", "Time off the bus after an acknowledged reset.", "ms", "500"},
        {"grace-ms",
         "How long the reset's reply stays readable before it leaves the bus, unless the host closes it "
         "first.",
         "ms", "500"},
    });
}

// False, with the reason on standard error, for options that cannot be used.
bool readOptions(const QCommandLineParser& parser, Options* options) {
    const QString card = parser.value("card");
    options->firmware.identity.cardNumber = card.toUtf8();
    options->firmware.identity.hardwareType = static_cast<unsigned char>(parser.value("type").toUInt());
    DeviceLook& look = options->look;
    const QStringList ids = parser.value("usb-id").split(QLatin1Char(':'));
    bool vendorOk = false;
    bool productOk = false;
    if (ids.size() == 2) {
        look.vendorId = static_cast<unsigned short>(ids[0].toUShort(&vendorOk, 16));
        look.productId = static_cast<unsigned short>(ids[1].toUShort(&productOk, 16));
    }
    if (!vendorOk || !productOk) {
        std::fprintf(stderr, "--usb-id: expected vvvv:pppp in hexadecimal\n");
        return false;
    }
    // Not the card number: the programs must find the repeater without it.
    look.serial = QStringLiteral("VR-") + card;
    look.product = QStringLiteral("Virtual repeater ") + card;
    const QString backendName = parser.value("backend");
    if (backendName == QLatin1String("uhid")) {
        options->backend = makeUhidBackend(look);
    } else if (backendName == QLatin1String("usb")) {
        options->backend = makeGadgetBackend(look, parser.value("udc"));
    } else {
        std::fprintf(stderr, "--backend: usb or uhid\n");
        return false;
    }
    options->restartTime = milliseconds(parser.value("restart-ms").toInt());
    options->grace = milliseconds(parser.value("grace-ms").toInt());
    options->silent = parser.isSet("silent");
    options->forgetWrites = parser.isSet("forget-writes");
    return true;
}

// SIGTERM, SIGINT and SIGUSR1, blocked, come in through the descriptor returned.
int signalDescriptor() {
    sigset_t handled;
    sigemptyset(&handled);
    for (int s : {SIGTERM, SIGINT, SIGUSR1}) sigaddset(&handled, s);
    sigprocmask(SIG_BLOCK, &handled, nullptr);
    return signalfd(-1, &handled, SFD_CLOEXEC);
}

// The device on the bus: answering the host, the restart after a reset, and
// falling silent.
class VirtualRepeater {
public:
    explicit VirtualRepeater(Options& options)
        : m_firmware(options.firmware),
          m_look(options.look),
          m_backend(*options.backend),
          m_restartTime(options.restartTime),
          m_grace(options.grace),
          m_silent(options.silent),
          m_forgetWrites(options.forgetWrites) {}

    // Runs until a signal pulls the device out (0) or its link fails (1).
    int run(int signalFd);

private:
    Clock::time_point nextWake(Clock::time_point never) const;
    // False once a signal pulls the device out for good.
    bool takeSignal(int signalFd);
    // False when the link failed.
    bool takeHostEvent();
    void answer(const QByteArray& report);
    // False when the device cannot come back on the bus.
    bool followRestart();
    void announce();

    sim::Firmware m_firmware;
    const DeviceLook m_look;
    Backend& m_backend;
    const milliseconds m_restartTime;
    const milliseconds m_grace;
    bool m_silent;
    const bool m_forgetWrites;
    // The moments of a restart: the reset's reply still to be read, off the
    // bus, and the hidraw node not yet seen after plugging in.
    bool m_leaving = false;
    bool m_away = false;
    bool m_announcing = true;
    Clock::time_point m_leaveAt;
    Clock::time_point m_backAt;
};

int VirtualRepeater::run(int signalFd) {
    const Clock::time_point never = Clock::now() + std::chrono::hours(24 * 365);
    for (;;) {
        pollfd fds[2] = {{signalFd, POLLIN, 0}, {m_backend.fd(), POLLIN, 0}};
        const int count = m_backend.fd() >= 0 ? 2 : 1;
        if (::poll(fds, count, waitMs(nextWake(never))) < 0 && errno != EINTR) break;
        if ((fds[0].revents & POLLIN) && !takeSignal(signalFd)) break;
        if (count == 2 && (fds[1].revents & (POLLIN | POLLERR | POLLHUP)) && !takeHostEvent()) return 1;
        if (!followRestart()) return 1;
        if (m_announcing) announce();
    }
    m_backend.unplug();
    say(QStringLiteral("unplugged"));
    return 0;
}

Clock::time_point VirtualRepeater::nextWake(Clock::time_point never) const {
    Clock::time_point next = never;
    if (m_leaving) next = m_leaveAt;
    if (m_away) next = m_backAt;
    if (m_announcing) next = std::min(next, Clock::now() + milliseconds(20));
    return next;
}

bool VirtualRepeater::takeSignal(int signalFd) {
    signalfd_siginfo info{};
    if (::read(signalFd, &info, sizeof info) != sizeof info) return true;
    if (info.ssi_signo != SIGUSR1) return false;
    m_silent = true;
    say(QStringLiteral("silent"));
    return true;
}

bool VirtualRepeater::takeHostEvent() {
    QByteArray report;
    switch (m_backend.receive(&report)) {
        case Backend::Event::Report:
            answer(report);
            break;
        case Backend::Event::Closed:
            // Whoever asked for the reset has its reply.
            if (m_leaving) m_leaveAt = Clock::now();
            break;
        case Backend::Event::Failed:
            std::fprintf(stderr, "the device's link failed\n");
            return false;
        case Backend::Event::None:
            break;
    }
    return true;
}

void VirtualRepeater::answer(const QByteArray& report) {
    if (m_silent || m_leaving) return;
    const sim::Parameters held = m_firmware.parameters;
    QByteArray reply = m_firmware.answer(report);
    if (m_forgetWrites) m_firmware.parameters = held;
    if (reply.isEmpty()) return;
    if (!m_backend.send(reply)) std::fprintf(stderr, "a reply could not be sent\n");
    if (sim::Firmware::acknowledgesReset(report, reply)) {
        m_leaving = true;
        m_leaveAt = Clock::now() + m_grace;
    }
}

bool VirtualRepeater::followRestart() {
    const Clock::time_point now = Clock::now();
    // Gone before its reply was read, the host would see the hang-up first.
    if (m_leaving && now >= m_leaveAt) {
        m_leaving = false;
        m_backend.unplug();
        say(QStringLiteral("unplugged"));
        m_away = true;
        m_announcing = false;
        m_backAt = now + m_restartTime;
    } else if (m_away && now >= m_backAt) {
        m_away = false;
        QString error;
        if (!m_backend.plug(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
        m_announcing = true;
    }
    return true;
}

void VirtualRepeater::announce() {
    const QString node = hidrawNode(m_look);
    if (node.isEmpty()) return;
    m_announcing = false;
    say(QStringLiteral("plugged ") + node);
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
    describeOptions(parser);
    parser.process(app);
    Options options;
    if (!readOptions(parser, &options)) return 2;
    const int signalFd = signalDescriptor();

    // A real device answers from memory: the first reply must not wait for
    // this program's code to be read from the build machine's disk while the
    // host's short time-out runs.
    if (mlockall(MCL_CURRENT | MCL_FUTURE) != 0) std::fprintf(stderr, "cannot lock the program in memory\n");

    QString error;
    if (!options.backend->plug(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (options.silent) say(QStringLiteral("silent"));
    return VirtualRepeater(options).run(signalFd);
}
