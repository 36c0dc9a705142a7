#include "SimulatedRepeater.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>

// The simulator's handle: one open of the device, with the replies on their
// way to it.
struct hid_device_ {
    enum class State { Open, Unplugged, Closed };
    struct Reply {
        QByteArray bytes;
        std::chrono::steady_clock::time_point due;
        bool restarts = false;  // an acknowledged reset: read, it restarts the repeater
    };
    State state = State::Open;
    bool nonblocking = false;
    std::deque<Reply> replies;
    std::wstring error;
};

namespace sim {

namespace {
constexpr int kDefaultLateDelay = 200;
constexpr int kDefaultShortWrite = 16;
}  // namespace

// The repeaters plugged in, in order, and those taken off again, which stay
// allocated so that their handles are still recognised.
struct SimulatedRepeater::Bus {
    std::mutex mutex;
    std::vector<std::unique_ptr<SimulatedRepeater>> attached;
    std::vector<std::unique_ptr<SimulatedRepeater>> detached;
    std::wstring error;  // hid_error(NULL): the last failed open

    Bus() { attached.emplace_back(new SimulatedRepeater(0)); }
};

SimulatedRepeater::Bus& SimulatedRepeater::bus() {
    static Bus theBus;
    return theBus;
}

SimulatedRepeater& SimulatedRepeater::instance() {
    return *bus().attached.front();
}

SimulatedRepeater& SimulatedRepeater::addDevice() {
    Bus& b = bus();
    std::lock_guard<std::mutex> lock(b.mutex);
    b.attached.emplace_back(new SimulatedRepeater(static_cast<int>(b.attached.size())));
    return *b.attached.back();
}

void SimulatedRepeater::removeAddedDevices() {
    Bus& b = bus();
    std::lock_guard<std::mutex> lock(b.mutex);
    while (b.attached.size() > 1) {
        b.attached.back()->setPresent(false);
        b.detached.push_back(std::move(b.attached.back()));
        b.attached.pop_back();
    }
}

void SimulatedRepeater::plugInFromEnvironment() {
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("TARVANE_SIMULATED_DEVICES", &ok);
    if (!ok || count < 0 || count > kMaxEnvironmentDevices) return;
    removeAddedDevices();
    instance().setPresent(count > 0);
    // The digits at the end of the card number count on: ...417, ...418.
    const QByteArray first = instance().identity().cardNumber;
    int digits = 0;
    while (digits < first.size() &&
           std::isdigit(static_cast<unsigned char>(first.at(first.size() - 1 - digits))))
        ++digits;
    const qulonglong number = first.right(digits).toULongLong();
    for (int i = 1; i < count; ++i) {
        Identity identity = instance().identity();
        identity.cardNumber = first.left(first.size() - digits) +
                              QByteArray::number(number + qulonglong(i)).rightJustified(digits, '0');
        addDevice().setIdentity(identity);
    }
}

SimulatedRepeater::SimulatedRepeater(int index) : m_path("sim:hidraw" + std::to_string(index)) {}
SimulatedRepeater::~SimulatedRepeater() = default;

void SimulatedRepeater::reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_firmware = Firmware();
    m_present = true;
    m_latency = 1;
    m_restartMs = 0;
    m_backAt = Clock::time_point{};
    m_faults.clear();
    m_log.clear();
    for (auto& handle : m_handles) handle->replies.clear();
    m_changed.notify_all();
}

void SimulatedRepeater::setPresent(bool present) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (present) {
        m_present = true;
    } else {
        unplugLocked();
    }
}

bool SimulatedRepeater::isPresent() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return isOnBusLocked();
}

void SimulatedRepeater::setRestartTime(int milliseconds) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_restartMs = std::max(0, milliseconds);
}

void SimulatedRepeater::setIdentity(const Identity& identity) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_firmware.identity = identity;
}

Identity SimulatedRepeater::identity() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmware.identity;
}

void SimulatedRepeater::setParameters(const Parameters& parameters) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_firmware.parameters = parameters;
}

Parameters SimulatedRepeater::parameters() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmware.parameters;
}

void SimulatedRepeater::setLatency(int milliseconds) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_latency = std::max(0, milliseconds);
}

void SimulatedRepeater::injectFault(int code, Fault fault, int occurrence, int value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.push_back(FaultRule{code, fault, occurrence, value});
}

void SimulatedRepeater::clearFaults() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
}

QList<QByteArray> SimulatedRepeater::log() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log;
}

void SimulatedRepeater::clearLog() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log.clear();
}

int SimulatedRepeater::openHandleCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(std::count_if(m_handles.begin(), m_handles.end(), [](const auto& handle) {
        return handle->state == hid_device::State::Open;
    }));
}

int SimulatedRepeater::queuedReplyCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t count = 0;
    for (const auto& handle : m_handles) count += handle->replies.size();
    return static_cast<int>(count);
}

int SimulatedRepeater::arrivedReplyCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Clock::time_point now = Clock::now();
    int count = 0;
    for (const auto& handle : m_handles) {
        for (const auto& reply : handle->replies) count += reply.due <= now ? 1 : 0;
    }
    return count;
}

bool SimulatedRepeater::isInitialised() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_initialised;
}

// --- hidapi side -------------------------------------------------------------

int SimulatedRepeater::hidInit() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_initialised = true;
    return 0;
}

int SimulatedRepeater::hidExit() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_initialised = false;
    return 0;
}

hid_device* SimulatedRepeater::hidOpen(unsigned short vendorId, unsigned short productId,
                                       const wchar_t* serial) {
    Bus& b = bus();
    std::lock_guard<std::mutex> lock(b.mutex);
    // Card numbers are not USB serial numbers; a device asked for by serial is never found.
    if (vendorId == 0x0483 && productId == 0x6901 && serial == nullptr) {
        for (const auto& device : b.attached) {
            if (hid_device* handle = device->openHandle()) {
                b.error.clear();
                return handle;
            }
        }
    }
    b.error = L"No HID device with the requested vendor ID, product ID and serial number";
    return nullptr;
}

hid_device* SimulatedRepeater::hidOpenPath(const char* path) {
    Bus& b = bus();
    std::lock_guard<std::mutex> lock(b.mutex);
    for (const auto& device : b.attached) {
        if (path == nullptr || device->m_path != path) continue;
        if (hid_device* handle = device->openHandle()) {
            b.error.clear();
            return handle;
        }
    }
    b.error = L"No HID device at the requested path";
    return nullptr;
}

hid_device_info* SimulatedRepeater::hidEnumerate(unsigned short vendorId, unsigned short productId) {
    Bus& b = bus();
    std::lock_guard<std::mutex> lock(b.mutex);
    // 0 matches any id, as in hidapi.
    if ((vendorId != 0 && vendorId != 0x0483) || (productId != 0 && productId != 0x6901)) return nullptr;
    hid_device_info* first = nullptr;
    hid_device_info** next = &first;
    for (const auto& device : b.attached) {
        if (!device->isPresent()) continue;
        auto* info = new hid_device_info{};
        info->path = new char[device->m_path.size() + 1];
        std::memcpy(info->path, device->m_path.c_str(), device->m_path.size() + 1);
        info->vendor_id = 0x0483;
        info->product_id = 0x6901;
        *next = info;
        next = &info->next;
    }
    return first;
}

void SimulatedRepeater::hidFreeEnumeration(hid_device_info* devices) {
    while (devices != nullptr) {
        hid_device_info* next = devices->next;
        delete[] devices->path;
        delete devices;
        devices = next;
    }
}

SimulatedRepeater* SimulatedRepeater::owner(hid_device* device) {
    if (device == nullptr) return nullptr;
    Bus& b = bus();
    std::lock_guard<std::mutex> lock(b.mutex);
    for (const auto* list : {&b.attached, &b.detached}) {
        for (const auto& repeater : *list)
            if (repeater->ownsHandle(device)) return repeater.get();
    }
    return nullptr;
}

const wchar_t* SimulatedRepeater::hidGlobalError() {
    Bus& b = bus();
    std::lock_guard<std::mutex> lock(b.mutex);
    return b.error.empty() ? nullptr : b.error.c_str();
}

hid_device* SimulatedRepeater::openHandle() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!isOnBusLocked()) return nullptr;
    m_handles.push_back(std::make_unique<hid_device>());
    return m_handles.back().get();
}

bool SimulatedRepeater::ownsHandle(hid_device* device) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& handle : m_handles)
        if (handle.get() == device) return true;
    return false;
}

int SimulatedRepeater::hidSetNonblocking(hid_device* device, int nonblock) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!isOpenLocked(device)) return -1;
    device->nonblocking = nonblock != 0;
    return 0;
}

int SimulatedRepeater::hidWrite(hid_device* device, const unsigned char* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!isOpenLocked(device)) return -1;
    if (data == nullptr || length == 0) {
        device->error = L"Nothing to write";
        return -1;
    }
    const QByteArray report(reinterpret_cast<const char*>(data), static_cast<int>(length));
    m_log.append(report);
    // The device has no numbered reports: anything but report 0 is refused.
    if (data[0] != 0x00) {
        device->error = L"Invalid report number";
        return -1;
    }

    const int code = length > 2 ? data[2] : AnyCommand;
    const FaultRule* fault = matchFault(code);
    if (fault != nullptr) {
        switch (fault->fault) {
            case Fault::Unplug:
                // Pulled out right after taking the report: the write went
                // through, nothing answers it, and every later call fails.
                unplugLocked();
                return static_cast<int>(length);
            case Fault::WriteError:
                device->error = L"Write failed";
                return -1;
            case Fault::ShortWrite:
                return fault->value >= 0 ? fault->value : kDefaultShortWrite;
            default:
                break;
        }
    }

    QByteArray reply;
    if (fault != nullptr && fault->fault == Fault::AckWithoutStore) {
        Firmware forgetful = m_firmware;  // answers as ever, and keeps nothing
        reply = forgetful.answer(report);
    } else {
        reply = m_firmware.answer(report);
    }
    if (reply.isEmpty()) return static_cast<int>(length);

    int delay = m_latency;
    if (fault != nullptr) {
        switch (fault->fault) {
            case Fault::NoReply:
                return static_cast<int>(length);
            case Fault::LateReply:
                delay = fault->value >= 0 ? fault->value : kDefaultLateDelay;
                break;
            case Fault::WrongStatus: {
                const unsigned char normal = Firmware::normalStatus(static_cast<unsigned char>(code));
                const int swapped = normal == 0x86 ? 0x81 : 0x86;
                reply[2] = static_cast<char>(fault->value >= 0 ? fault->value : swapped);
                break;
            }
            case Fault::ShortReply:
                reply.chop(1);
                break;
            case Fault::LongReply:
                reply.append('\0');
                break;
            default:
                break;
        }
    }
    const bool restarts = m_restartMs > 0 && code == 0x11 && quint8(reply.at(2)) == 0x81;
    device->replies.push_back({reply, Clock::now() + std::chrono::milliseconds(delay), restarts});
    m_changed.notify_all();
    return static_cast<int>(length);
}

int SimulatedRepeater::hidReadTimeout(hid_device* device, unsigned char* data, size_t length,
                                      int milliseconds) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const bool unbounded = milliseconds < 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(0, milliseconds));
    for (;;) {
        if (!isOpenLocked(device)) return -1;
        const Clock::time_point now = Clock::now();
        if (!device->replies.empty() && device->replies.front().due <= now) {
            const QByteArray reply = device->replies.front().bytes;
            const bool restarts = device->replies.front().restarts;
            device->replies.pop_front();
            const size_t count = std::min(length, static_cast<size_t>(reply.size()));
            if (data != nullptr) std::memcpy(data, reply.constData(), count);
            if (restarts) {
                // Gone from the bus as the reply is taken; back with what it holds.
                unplugLocked();
                m_present = true;
                m_backAt = now + std::chrono::milliseconds(m_restartMs);
            }
            return static_cast<int>(count);
        }
        if (!unbounded && now >= deadline) return 0;
        // Replies come in order: only the first one can be the next to arrive.
        Clock::time_point wake = unbounded ? Clock::time_point::max() : deadline;
        if (!device->replies.empty()) wake = std::min(wake, device->replies.front().due);
        if (wake == Clock::time_point::max()) {
            m_changed.wait(lock);
        } else {
            m_changed.wait_until(lock, wake);
        }
    }
}

void SimulatedRepeater::hidClose(hid_device* device) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& handle : m_handles) {
        if (handle.get() == device) {
            handle->state = hid_device::State::Closed;
            handle->replies.clear();
        }
    }
    m_changed.notify_all();
}

const wchar_t* SimulatedRepeater::hidError(hid_device* device) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& handle : m_handles) {
        if (handle.get() == device) return handle->error.empty() ? nullptr : handle->error.c_str();
    }
    return nullptr;
}

// --- internals ----------------------------------------------------------------

const SimulatedRepeater::FaultRule* SimulatedRepeater::matchFault(int code) {
    const FaultRule* fired = nullptr;
    for (FaultRule& rule : m_faults) {
        if (rule.code != AnyCommand && rule.code != code) continue;
        ++rule.seen;
        if (fired == nullptr && (rule.occurrence == Every || rule.occurrence == rule.seen)) fired = &rule;
    }
    return fired;
}

void SimulatedRepeater::unplugLocked() {
    m_present = false;
    for (auto& handle : m_handles) {
        if (handle->state != hid_device::State::Open) continue;
        handle->state = hid_device::State::Unplugged;
        handle->replies.clear();
        handle->error = L"The device has been disconnected";
    }
    m_changed.notify_all();
}

bool SimulatedRepeater::isOnBusLocked() const {
    return m_present && Clock::now() >= m_backAt;
}

bool SimulatedRepeater::isOpenLocked(hid_device* device) const {
    if (device == nullptr) return false;
    for (const auto& handle : m_handles) {
        if (handle.get() == device) return handle->state == hid_device::State::Open;
    }
    return false;
}

}  // namespace sim
