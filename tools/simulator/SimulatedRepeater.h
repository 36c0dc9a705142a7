#pragma once

#include <chrono>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <QByteArray>
#include <QList>

#include <hidapi.h>

#include "Firmware.h"

namespace sim {

// Ways a test can make the link misbehave.
enum class Fault {
    NoReply,      // the command is applied, its reply never comes
    LateReply,    // the reply comes `value` ms after the write (default 200) and waits in the queue
    WrongStatus,  // reply byte 2 = `value`; by default 0x86 where 0x81 is due and 0x81 where 0x86 is due
    ShortReply,   // a reply of 15 bytes
    LongReply,    // a reply of 17 bytes
    ShortWrite,   // hid_write returns `value` (default 16); the device gets nothing
    WriteError,   // hid_write returns -1; the device gets nothing
    Unplug,       // the write succeeds, then the device is gone: every later call fails
};

constexpr int Every = 0;        // occurrence: every matching report
constexpr int AnyCommand = -1;  // code: a report of any command

// The repeater behind the hidapi functions. There is one, as there is one
// device on the bus; tests and the simulated program drive it through
// instance(). Every member is safe to call from any thread.
class SimulatedRepeater {
public:
    static SimulatedRepeater& instance();

    // Present, default identity and parameters, latency 1 ms, no faults,
    // empty log; replies still queued on open handles are dropped.
    void reset();

    // Absent: hid_open returns null. Making the device absent also unplugs
    // it: open handles fail from then on until closed.
    void setPresent(bool present);
    bool isPresent() const;

    void setIdentity(const Identity& identity);
    Identity identity() const;
    void setParameters(const Parameters& parameters);
    Parameters parameters() const;

    // Delay between a report written and its reply becoming readable.
    void setLatency(int milliseconds);

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
    bool isInitialised() const;

    // The hidapi entry points (see HidApi.cpp).
    int hidInit();
    int hidExit();
    hid_device* hidOpen(unsigned short vendorId, unsigned short productId, const wchar_t* serial);
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

    SimulatedRepeater();
    ~SimulatedRepeater();
    const FaultRule* matchFault(int code);
    void unplugLocked();
    bool isOpenLocked(hid_device* device) const;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Firmware m_firmware;
    bool m_present = true;
    bool m_initialised = false;
    int m_latency = 1;
    std::vector<FaultRule> m_faults;
    QList<QByteArray> m_log;
    // Every handle ever opened stays allocated, so a stale or doubly closed
    // handle is recognised instead of touching freed memory.
    std::list<std::unique_ptr<hid_device>> m_handles;
    std::wstring m_globalError;
};

}  // namespace sim
