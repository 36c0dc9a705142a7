// One simulated repeater: its firmware, presence, latency, faults and log,
// and the handles opened on it with their replies. The bus it sits on and
// the hidapi functions are in HidApi.cpp.
#include "SimulatedRepeater.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <optional>

#include "StateFile.h"

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
constexpr unsigned char kRefused = 0x80;  // what the device answers to a frame it does not take
}  // namespace

SimulatedRepeater::SimulatedRepeater(int index) : m_path("sim:hidraw" + std::to_string(index)) {}
SimulatedRepeater::~SimulatedRepeater() = default;

template <typename Action>
auto SimulatedRepeater::locked(Action action) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return action();
}

void SimulatedRepeater::reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_firmware = Firmware();
    m_present = true;
    m_latency = 1;
    m_usages = 1;
    m_restartMs = 0;
    m_backAt = Clock::time_point{};
    m_arriveAt = Clock::time_point{};
    m_leaveAt = Clock::time_point::max();
    m_left = false;
    m_stateFile.clear();
    m_faults.clear();
    m_log.clear();
    for (auto& handle : m_handles) handle->replies.clear();
    m_changed.notify_all();
}

void SimulatedRepeater::setPresent(bool present) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (present) {
        m_present = true;
        m_arriveAt = Clock::time_point{};
        m_leaveAt = Clock::time_point::max();
        m_left = false;
    } else {
        unplugLocked();
    }
}

void SimulatedRepeater::setTimes(int arriveMs, int leaveMs) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Clock::time_point now = Clock::now();
    m_arriveAt = now + std::chrono::milliseconds(std::max(0, arriveMs));
    m_leaveAt = leaveMs < 0 ? Clock::time_point::max() : now + std::chrono::milliseconds(leaveMs);
    m_left = false;
    m_changed.notify_all();
}

bool SimulatedRepeater::isPresent() const {
    return locked([&] { return isOnBusLocked(); });
}

void SimulatedRepeater::setUsageCount(int count) {
    locked([&] { m_usages = std::max(1, count); });
}

int SimulatedRepeater::usageCount() const {
    return locked([&] { return m_usages; });
}

void SimulatedRepeater::setRestartTime(int milliseconds) {
    locked([&] { m_restartMs = std::max(0, milliseconds); });
}

void SimulatedRepeater::setIdentity(const Identity& identity) {
    locked([&] { m_firmware.identity = identity; });
}

Identity SimulatedRepeater::identity() const {
    return locked([&] { return m_firmware.identity; });
}

void SimulatedRepeater::setParameters(const Parameters& parameters) {
    locked([&] { m_firmware.parameters = parameters; });
}

Parameters SimulatedRepeater::parameters() const {
    return locked([&] { return m_firmware.parameters; });
}

void SimulatedRepeater::setLatency(int milliseconds) {
    locked([&] { m_latency = std::max(0, milliseconds); });
}

void SimulatedRepeater::setStateFile(const QString& path) {
    locked([&] { m_stateFile = path; });
}

void SimulatedRepeater::injectFault(int code, Fault fault, int occurrence, int value) {
    locked([&] { m_faults.push_back(FaultRule{code, fault, occurrence, value}); });
}

void SimulatedRepeater::clearFaults() {
    locked([&] { m_faults.clear(); });
}

QList<QByteArray> SimulatedRepeater::log() const {
    return locked([&] { return m_log; });
}

void SimulatedRepeater::clearLog() {
    locked([&] { m_log.clear(); });
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

// --- its handles -------------------------------------------------------------

hid_device* SimulatedRepeater::openHandle() {
    std::lock_guard<std::mutex> lock(m_mutex);
    leaveWhenDueLocked();
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
    leaveWhenDueLocked();
    if (!isOpenLocked(device)) return -1;
    device->nonblocking = nonblock != 0;
    return 0;
}

int SimulatedRepeater::hidWrite(hid_device* device, const unsigned char* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    leaveWhenDueLocked();
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
    const int written = static_cast<int>(length);
    const int code = length > 2 ? data[2] : AnyCommand;
    const FaultRule* fault = matchFault(code);
    if (fault != nullptr) {
        if (const std::optional<int> result = failWriteLocked(device, *fault, written)) return *result;
    }
    queueReplyLocked(device, report, code, fault);
    return written;
}

std::optional<int> SimulatedRepeater::failWriteLocked(hid_device* device, const FaultRule& fault,
                                                      int written) {
    switch (fault.fault) {
        case Fault::Unplug:
            // Pulled out right after taking the report: the write went
            // through, nothing answers it, and every later call fails.
            unplugLocked();
            return written;
        case Fault::WriteError:
            device->error = L"Write failed";
            return -1;
        case Fault::ShortWrite:
            return fault.value >= 0 ? fault.value : kDefaultShortWrite;
        default:
            return std::nullopt;
    }
}

void SimulatedRepeater::queueReplyLocked(hid_device* device, const QByteArray& report, int code,
                                         const FaultRule* fault) {
    QByteArray reply;
    if (fault != nullptr && (fault->fault == Fault::AckWithoutStore || fault->fault == Fault::Refuse)) {
        Firmware forgetful = m_firmware;  // answers as ever, and keeps nothing
        reply = forgetful.answer(report);
    } else {
        reply = m_firmware.answer(report);
        // A reset it takes is when its parameters are kept, whether or not
        // its reply reaches the program.
        if (Firmware::acknowledgesReset(report, reply) && !keepStateLocked())
            reply[2] = static_cast<char>(kRefused);
    }
    if (reply.isEmpty() || (fault != nullptr && fault->fault == Fault::NoReply)) return;
    int delay = m_latency;
    if (fault != nullptr) distortReply(*fault, code, reply, delay);
    const bool restarts = m_restartMs > 0 && Firmware::acknowledgesReset(report, reply);
    device->replies.push_back({reply, Clock::now() + std::chrono::milliseconds(delay), restarts});
    m_changed.notify_all();
}

void SimulatedRepeater::distortReply(const FaultRule& fault, int code, QByteArray& reply, int& delay) {
    switch (fault.fault) {
        case Fault::LateReply:
            delay = fault.value >= 0 ? fault.value : kDefaultLateDelay;
            break;
        case Fault::WrongStatus: {
            const unsigned char normal = Firmware::normalStatus(static_cast<unsigned char>(code));
            const int swapped = normal == 0x86 ? 0x81 : 0x86;
            reply[2] = static_cast<char>(fault.value >= 0 ? fault.value : swapped);
            break;
        }
        case Fault::Refuse:
            reply[2] = static_cast<char>(kRefused);
            break;
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

int SimulatedRepeater::hidReadTimeout(hid_device* device, unsigned char* data, size_t length,
                                      int milliseconds) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const bool unbounded = milliseconds < 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(0, milliseconds));
    for (;;) {
        leaveWhenDueLocked();
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
        if (!m_left) wake = std::min(wake, m_leaveAt);
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

bool SimulatedRepeater::keepStateLocked() {
    if (m_stateFile.isEmpty()) return true;
    QString error;
    if (StateFile::save(m_stateFile, m_firmware, &error)) return true;
    // The program sees a refused reset; the one trying the bench, why.
    std::fprintf(stderr, "TARVANE_SIMULATED_STATE: %s\n", qPrintable(error));
    return false;
}

void SimulatedRepeater::leaveWhenDueLocked() {
    if (m_left || Clock::now() < m_leaveAt) return;
    m_left = true;
    unplugLocked();
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
    const Clock::time_point now = Clock::now();
    return m_present && now >= m_backAt && now >= m_arriveAt && now < m_leaveAt;
}

bool SimulatedRepeater::isOpenLocked(hid_device* device) const {
    if (device == nullptr) return false;
    for (const auto& handle : m_handles) {
        if (handle.get() == device) return handle->state == hid_device::State::Open;
    }
    return false;
}

}  // namespace sim
