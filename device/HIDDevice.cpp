#include "HIDDevice.h"

HIDDevice::HIDDevice() = default;

HIDDevice::~HIDDevice() {
    close();
}

bool HIDDevice::open(unsigned short vendorId, unsigned short productId, const wchar_t* serial) {
    close();
    m_pDevice = hid_open(vendorId, productId, serial);
    if (m_pDevice == nullptr) return false;
    // The handle stays open even if blocking mode is refused; close() or
    // the next open() releases it.
    return hid_set_nonblocking(m_pDevice, 0) != -1;
}

void HIDDevice::close() {
    if (m_pDevice == nullptr) return;
    hid_close(m_pDevice);
    m_pDevice = nullptr;
}

int HIDDevice::write(const unsigned char* data, size_t length) {
    if (m_pDevice == nullptr || data == nullptr) return -1;
    return hid_write(m_pDevice, data, length);
}

int HIDDevice::readTimeout(unsigned char* buffer, size_t length, int milliseconds) {
    if (m_pDevice == nullptr || buffer == nullptr) return -1;
    return hid_read_timeout(m_pDevice, buffer, length, milliseconds);
}

std::wstring HIDDevice::errorText() const {
    const wchar_t* text = hid_error(m_pDevice);
    return text != nullptr ? std::wstring(text) : std::wstring();
}
