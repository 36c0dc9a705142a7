#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <hidapi.h>

// Sees what passes through a device, for a protocol trace: each open, each
// report written and each read, with what the library returned.
class DeviceTrace {
public:
    virtual ~DeviceTrace() = default;
    virtual void opened(const std::string& path, bool ok) = 0;
    virtual void written(const unsigned char* data, size_t length, int result) = 0;
    virtual void read(const unsigned char* data, int result, int milliseconds) = 0;
};

// Owner of the one hidapi handle the program talks to the repeater through.
// Knows nothing of frames; failures come back as return values only.
// No lock of its own: callers keep the search thread and the GUI thread
// apart, and each thread of the command line's --all has its own. The
// library's calls that take no device take turns across threads.
class HIDDevice {
public:
    HIDDevice();
    ~HIDDevice();
    HIDDevice(const HIDDevice&) = delete;
    HIDDevice& operator=(const HIDDevice&) = delete;

    // Opens the first matching device in blocking mode. A handle that is
    // still open is closed first, so a repeated search never leaks one; a
    // failed open leaves none either, also where the device opened but its
    // mode could not be set.
    bool open(unsigned short vendorId, unsigned short productId, const wchar_t* serial);
    // Opens the device at a path that paths() gave, the same way.
    bool openPath(const std::string& path);
    void close();
    bool isOpen() const { return m_pDevice != nullptr; }

    // Bytes written, or -1 (also when no device is open). data[0] is the
    // report number.
    int write(const unsigned char* data, size_t length);
    // Bytes read, 0 when the time ran out, -1 on error or when closed.
    int readTimeout(unsigned char* buffer, size_t length, int milliseconds);
    // The library's last error text, also the reason of a failed open;
    // empty when it has none.
    std::wstring errorText() const;

    // Tells `trace` of everything from now on; nullptr, the default, tells no one.
    void setTrace(DeviceTrace* trace) { m_trace = trace; }

    // The path of every connected device with these ids, each once and
    // sorted, so that several repeaters are listed in the same order each time.
    static std::vector<std::string> paths(unsigned short vendorId, unsigned short productId);

private:
    bool finishOpen();

    hid_device* m_pDevice = nullptr;
    std::wstring m_openError;  // why the last open failed
    DeviceTrace* m_trace = nullptr;
};
