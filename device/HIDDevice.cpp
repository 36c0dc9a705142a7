#include "HIDDevice.h"

#include <algorithm>
#include <mutex>

namespace {
// hidapi keeps one error text for the calls that take no device, which
// hid_open, hid_open_path and hid_enumerate reset: threads that open or
// list devices at once (the command line's --all) take turns at them.
std::mutex g_libraryCalls;

std::wstring libraryError() {
    const wchar_t* text = hid_error(nullptr);
    return text != nullptr ? std::wstring(text) : std::wstring();
}
}  // namespace

HIDDevice::HIDDevice() = default;

HIDDevice::~HIDDevice() {
    close();
}

bool HIDDevice::open(unsigned short vendorId, unsigned short productId, const wchar_t* serial) {
    close();
    {
        std::lock_guard<std::mutex> lock(g_libraryCalls);
        m_pDevice = hid_open(vendorId, productId, serial);
        if (m_pDevice == nullptr) m_openError = libraryError();
    }
    const bool ok = finishOpen();
    if (m_trace) m_trace->opened(std::string(), ok);
    return ok;
}

bool HIDDevice::openPath(const std::string& path) {
    close();
    {
        std::lock_guard<std::mutex> lock(g_libraryCalls);
        m_pDevice = hid_open_path(path.c_str());
        if (m_pDevice == nullptr) m_openError = libraryError();
    }
    const bool ok = finishOpen();
    if (m_trace) m_trace->opened(path, ok);
    return ok;
}

bool HIDDevice::finishOpen() {
    if (m_pDevice == nullptr) return false;
    if (hid_set_nonblocking(m_pDevice, 0) != -1) return true;
    // A handle whose mode could not be set is of no use: closed here, so
    // that no caller has to; its reason stays readable.
    const std::wstring reason = errorText();
    close();
    m_openError = reason;
    return false;
}

void HIDDevice::close() {
    m_openError.clear();
    if (m_pDevice == nullptr) return;
    hid_close(m_pDevice);
    m_pDevice = nullptr;
}

int HIDDevice::write(const unsigned char* data, size_t length) {
    if (m_pDevice == nullptr || data == nullptr) return -1;
    const int result = hid_write(m_pDevice, data, length);
    if (m_trace) m_trace->written(data, length, result);
    return result;
}

int HIDDevice::readTimeout(unsigned char* buffer, size_t length, int milliseconds) {
    if (m_pDevice == nullptr || buffer == nullptr) return -1;
    const int result = hid_read_timeout(m_pDevice, buffer, length, milliseconds);
    if (m_trace) m_trace->read(buffer, result, milliseconds);
    return result;
}

std::wstring HIDDevice::errorText() const {
    if (m_pDevice == nullptr) {
        if (!m_openError.empty()) return m_openError;
        std::lock_guard<std::mutex> lock(g_libraryCalls);
        return libraryError();
    }
    const wchar_t* text = hid_error(m_pDevice);
    return text != nullptr ? std::wstring(text) : std::wstring();
}

std::vector<std::string> HIDDevice::paths(unsigned short vendorId, unsigned short productId) {
    std::vector<std::string> result;
    {
        std::lock_guard<std::mutex> lock(g_libraryCalls);
        hid_device_info* devices = hid_enumerate(vendorId, productId);
        for (const hid_device_info* device = devices; device != nullptr; device = device->next) {
            if (device->path != nullptr) result.emplace_back(device->path);
        }
        hid_free_enumeration(devices);
    }
    // A device with several top-level usages is listed once per usage.
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}
