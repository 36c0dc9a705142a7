// The simulated bus has no notification service of its own: its repeaters
// are listed by turns, and each one that appeared or went since the last
// look is told as the system tells of a real one.
#include <QTimer>
#include <QWidget>
#include <set>

#include "DeviceNotifier.h"
#include "HIDDevice.h"
#include "Protocol.h"

namespace {
constexpr int kLookMs = 100;

std::set<std::string> listed() {
    const std::vector<std::string> paths = HIDDevice::paths(Protocol::VendorId, Protocol::ProductId);
    return std::set<std::string>(paths.begin(), paths.end());
}
}  // namespace

struct DeviceNotifier::Private {
    std::set<std::string> present;
};

DeviceNotifier::DeviceNotifier(QWidget* window) : QObject(window), d(new Private) {
    // Those there now are the start-up search's.
    d->present = listed();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] {
        const std::set<std::string> now = listed();
        const std::set<std::string> before = d->present;
        d->present = now;
        for (const std::string& path : before)
            if (now.count(path) == 0)
                emit notice({Protocol::VendorId, Protocol::ProductId, QString::fromStdString(path)}, false);
        for (const std::string& path : now)
            if (before.count(path) == 0)
                emit notice({Protocol::VendorId, Protocol::ProductId, QString::fromStdString(path)}, true);
    });
    timer->start(kLookMs);
}

DeviceNotifier::~DeviceNotifier() = default;

bool DeviceNotifier::handleNativeEvent(const QByteArray&, void*) {
    return false;
}
