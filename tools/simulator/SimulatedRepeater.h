#pragma once

#include <chrono>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QString>

#include <hidapi.h>

#include "Firmware.h"

namespace sim {

// Ways a test can make the link misbehave.
enum class Fault {
    NoReply,          // the command is applied, its reply never comes
    LateReply,        // the reply comes `value` ms after the write (default 200) and waits in the queue
    WrongStatus,      // reply byte 2 = `value`; by default 0x86 where 0x81 is due and 0x81 where 0x86 is due
    ShortReply,       // a reply of 15 bytes
    LongReply,        // a reply of 17 bytes
    ShortWrite,       // hid_write returns `value` (default 16); the device gets nothing
    WriteError,       // hid_write returns -1; the device gets nothing
    Unplug,           // the write succeeds, then the device is gone: every later call fails
    AckWithoutStore,  // a set command is acknowledged, and the device keeps what it had
    Refuse,           // answered with the device's refusal (status 0x80); it keeps what it had
};

constexpr int Every = 0;        // occurrence: every matching report
constexpr int AnyCommand = -1;  // code: a report of any command

// A repeater behind the hidapi functions. The first one, instance(), is
// always on the simulated bus, and tests and the simulated programs drive it
// as "the device"; tests that need several repeaters plug in more with
// addDevice(). Each has its own path, identity, parameters, latency, faults
// and log. hid_open opens the first present one, hid_open_path the one with
// that path, and hid_enumerate lists the present ones in the order they were
// plugged in. Every member is safe to call from any thread.
class SimulatedRepeater {
public:
    static SimulatedRepeater& instance();
    // One more repeater on the bus, as after reset(), with the next path.
    static SimulatedRepeater& addDevice();
    // Takes every repeater but instance() off the bus again, as if unplugged;
    // the next addDevice() gets the second path again. References to them
    // stay valid.
    static void removeAddedDevices();
    // The bench the simulated programs start with, from their environment
    // (SimulatedBench.h); false for a malformed one, hid_error(NULL) saying
    // why. hid_init() calls it; tests, which do not, keep their own bus.
    static constexpr int kMaxEnvironmentDevices = 16;
    static bool plugInFromEnvironment();
    // The bus owns every repeater and keeps it to the end of the program.
    ~SimulatedRepeater();
    SimulatedRepeater(const SimulatedRepeater&) = delete;
    SimulatedRepeater& operator=(const SimulatedRepeater&) = delete;

    // What hid_enumerate reports and hid_open_path takes: "sim:hidraw0", ...
    const std::string& path() const { return m_path; }

    // Present, default identity and parameters, latency 1 ms, no faults,
    // empty log; replies still queued on open handles are dropped.
    void reset();

    // Absent: hid_open returns null. Making the device absent also unplugs
    // it: open handles fail from then on until closed. Present again, it
    // stays so: times set with setTimes() no longer count.
    void setPresent(bool present);
    // On the bus only from `arriveMs` after now, and, when `leaveMs` is not
    // negative, until `leaveMs` after now; leaving unplugs it.
    void setTimes(int arriveMs, int leaveMs);
    // Present and not restarting.
    bool isPresent() const;

    // hid_enumerate lists it once per top-level usage of its reports, each
    // time with the same path, as hidapi lists such a device on Linux and
    // macOS. Once after reset().
    void setUsageCount(int count);
    int usageCount() const;

    // A reset it acknowledges restarts the repeater, as a real one does: once
    // the reply is read, it leaves the bus (open handles fail, it is neither
    // listed nor opened) for `milliseconds`, then comes back holding what was
    // written. Off (0) after reset(), so that it stays on the bus through a Write.
    static constexpr int kDefaultRestartMs = 500;
    void setRestartTime(int milliseconds = kDefaultRestartMs);

    void setIdentity(const Identity& identity);
    Identity identity() const;
    void setParameters(const Parameters& parameters);
    Parameters parameters() const;

    // Delay between a report written and its reply becoming readable.
    void setLatency(int milliseconds);

    // A parameter file that takes what the repeater holds whenever it
    // acknowledges a reset, as a real one keeps its parameters once reset.
    // Empty: none. A file that cannot be saved makes the reset refused, and
    // says why on standard error.
    void setStateFile(const QString& path);

    // Fires `fault` on the `occurrence`-th report (1-based, counted from this
    // call) whose command code is `code`, or on each one with Every.
    // `code` may be AnyCommand. When several faults match a report, the one
    // injected first fires; each counts the report either way.
    void injectFault(int code, Fault fault, int occurrence = Every, int value = -1);
    void clearFaults();

    // Every report passed to hid_write on an open handle, in order, exactly
    // as passed (also those a fault made fail).
    QList<QByteArray> log() const;
    void clearLog();

    int openHandleCount() const;
    // Replies queued on open handles: all of them, or those already readable.
    int queuedReplyCount() const;
    int arrivedReplyCount() const;

    // The hidapi entry points. The bus's, static, are in HidApi.cpp; those
    // that take a handle are called on the repeater that owner() finds for it.
    static hid_device* hidOpen(unsigned short vendorId, unsigned short productId, const wchar_t* serial);
    static hid_device* hidOpenPath(const char* path);
    static hid_device_info* hidEnumerate(unsigned short vendorId, unsigned short productId);
    static void hidFreeEnumeration(hid_device_info* devices);
    // The repeater a handle was opened on, or nullptr for a pointer that no
    // open ever returned.
    static SimulatedRepeater* owner(hid_device* device);
    static const wchar_t* hidGlobalError();
    int hidSetNonblocking(hid_device* device, int nonblock);
    int hidWrite(hid_device* device, const unsigned char* data, size_t length);
    int hidReadTimeout(hid_device* device, unsigned char* data, size_t length, int milliseconds);
    void hidClose(hid_device* device);
    const wchar_t* hidError(hid_device* device);

private:
    using Clock = std::chrono::steady_clock;
    struct FaultRule {
        int code;
        Fault fault;
        int occurrence;
        int value;
        int seen = 0;
    };

    struct Bus;
    static Bus& bus();

    explicit SimulatedRepeater(int index);
    // Runs `action` under the repeater's lock; returns what it returns.
    template <typename Action>
    auto locked(Action action) const;
    // A new handle, or nullptr while absent.
    hid_device* openHandle();
    bool ownsHandle(hid_device* device) const;
    const FaultRule* matchFault(int code);
    // The write's result where the fault ends it before the device answers.
    std::optional<int> failWriteLocked(hid_device* device, const FaultRule& fault, int written);
    // The firmware's answer to the report, as the fault (or nullptr) shapes
    // it, on its way to the handle; nothing where no answer comes.
    void queueReplyLocked(hid_device* device, const QByteArray& report, int code, const FaultRule* fault);
    // A fault that changes the reply or when it comes.
    static void distortReply(const FaultRule& fault, int code, QByteArray& reply, int& delay);
    // Its parameters into the state file, if it has one; false when that failed.
    bool keepStateLocked();
    void unplugLocked();
    // Unplugs it once its time to leave has come.
    void leaveWhenDueLocked();
    bool isOpenLocked(hid_device* device) const;
    bool isOnBusLocked() const;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Firmware m_firmware;
    bool m_present = true;
    int m_latency = 1;
    int m_usages = 1;
    int m_restartMs = 0;
    Clock::time_point m_backAt{};    // when a restart ends
    Clock::time_point m_arriveAt{};  // off the bus before
    Clock::time_point m_leaveAt = Clock::time_point::max();
    bool m_left = false;  // unplugged at m_leaveAt
    QString m_stateFile;
    std::vector<FaultRule> m_faults;
    QList<QByteArray> m_log;
    // Every handle ever opened stays allocated, so a stale or doubly closed
    // handle is recognised instead of touching freed memory.
    std::list<std::unique_ptr<hid_device>> m_handles;
    const std::string m_path;
};

}  // namespace sim
