// The simulated bus and the hidapi functions the program calls over it: the
// repeaters plugged in, their listing and opening, and each call on a handle
// passed to the repeater it was opened on.
#include <hidapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Protocol.h"
#include "SimulatedBench.h"
#include "SimulatedRepeater.h"

namespace sim {

namespace {
// What the repeaters show on the bus; 0 in a query matches any id, as in hidapi.
constexpr unsigned short kVendorId = Protocol::VendorId;
constexpr unsigned short kProductId = Protocol::ProductId;
}  // namespace

// The repeaters plugged in, in order, and those taken off again, which stay
// allocated so that their handles are still recognised.
struct SimulatedRepeater::Bus {
    std::mutex mutex;
    std::vector<std::unique_ptr<SimulatedRepeater>> attached;
    std::vector<std::unique_ptr<SimulatedRepeater>> detached;
    std::wstring error;  // hid_error(NULL): the last failed open

    Bus() { attached.emplace_back(new SimulatedRepeater(0)); }

    // The first present repeater that `accepts`, opened; else `failure` is
    // the error. Called with the mutex held.
    template <typename Accepts>
    hid_device* open(Accepts accepts, const wchar_t* failure) {
        for (const auto& device : attached) {
            if (!accepts(*device)) continue;
            if (hid_device* handle = device->openHandle()) {
                error.clear();
                return handle;
            }
        }
        error = failure;
        return nullptr;
    }
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

hid_device* SimulatedRepeater::hidOpen(unsigned short vendorId, unsigned short productId,
                                       const wchar_t* serial) {
    Bus& b = bus();
    std::lock_guard<std::mutex> lock(b.mutex);
    // Card numbers are not USB serial numbers; a device asked for by serial is never found.
    const bool ours = vendorId == kVendorId && productId == kProductId && serial == nullptr;
    return b.open([ours](const SimulatedRepeater&) { return ours; },
                  L"No HID device with the requested vendor ID, product ID and serial number");
}

hid_device* SimulatedRepeater::hidOpenPath(const char* path) {
    Bus& b = bus();
    std::lock_guard<std::mutex> lock(b.mutex);
    return b.open(
        [path](const SimulatedRepeater& device) { return path != nullptr && device.m_path == path; },
        L"No HID device at the requested path");
}

hid_device_info* SimulatedRepeater::hidEnumerate(unsigned short vendorId, unsigned short productId) {
    Bus& b = bus();
    std::lock_guard<std::mutex> lock(b.mutex);
    if ((vendorId != 0 && vendorId != kVendorId) || (productId != 0 && productId != kProductId))
        return nullptr;
    hid_device_info* first = nullptr;
    hid_device_info** next = &first;
    for (const auto& device : b.attached) {
        if (!device->isPresent()) continue;
        const int usages = device->usageCount();
        for (int usage = 1; usage <= usages; ++usage) {
            auto* info = new hid_device_info{};
            info->path = new char[device->m_path.size() + 1];
            std::memcpy(info->path, device->m_path.c_str(), device->m_path.size() + 1);
            info->vendor_id = kVendorId;
            info->product_id = kProductId;
            info->usage_page = 0xFF00;  // vendor-defined
            info->usage = static_cast<unsigned short>(usage);
            *next = info;
            next = &info->next;
        }
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

bool SimulatedRepeater::plugInFromEnvironment() {
    QString error;
    const bool plugged = plugInBench(BenchSettings::fromEnvironment(), &error);
    Bus& b = bus();
    std::lock_guard<std::mutex> lock(b.mutex);
    b.error = error.toStdWString();
    return plugged;
}

}  // namespace sim

using sim::SimulatedRepeater;

extern "C" {

// The simulated programs' bench comes from their environment. A malformed
// one ends the program here with the reason, before it searches: the real
// programs ignore hid_init()'s result, and a bench that is not the one asked
// for would make a script's trial mean nothing.
int HID_API_EXPORT HID_API_CALL hid_init(void) {
    if (SimulatedRepeater::plugInFromEnvironment()) return 0;
    const wchar_t* why = SimulatedRepeater::hidGlobalError();
    std::fprintf(stderr, "%s\n",
                 why ? QString::fromWCharArray(why).toLocal8Bit().constData() : "hid_init failed");
    std::exit(2);
}

int HID_API_EXPORT HID_API_CALL hid_exit(void) {
    return 0;
}

struct hid_device_info HID_API_EXPORT* HID_API_CALL hid_enumerate(unsigned short vendor_id,
                                                                  unsigned short product_id) {
    return SimulatedRepeater::hidEnumerate(vendor_id, product_id);
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info* devs) {
    SimulatedRepeater::hidFreeEnumeration(devs);
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open(unsigned short vendor_id, unsigned short product_id,
                                                 const wchar_t* serial_number) {
    return SimulatedRepeater::hidOpen(vendor_id, product_id, serial_number);
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open_path(const char* path) {
    return SimulatedRepeater::hidOpenPath(path);
}

int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device* dev, int nonblock) {
    SimulatedRepeater* owner = SimulatedRepeater::owner(dev);
    return owner ? owner->hidSetNonblocking(dev, nonblock) : -1;
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device* dev, const unsigned char* data, size_t length) {
    SimulatedRepeater* owner = SimulatedRepeater::owner(dev);
    return owner ? owner->hidWrite(dev, data, length) : -1;
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device* dev, unsigned char* data, size_t length,
                                                 int milliseconds) {
    SimulatedRepeater* owner = SimulatedRepeater::owner(dev);
    return owner ? owner->hidReadTimeout(dev, data, length, milliseconds) : -1;
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device* dev) {
    if (SimulatedRepeater* owner = SimulatedRepeater::owner(dev)) owner->hidClose(dev);
}

HID_API_EXPORT const wchar_t* HID_API_CALL hid_error(hid_device* dev) {
    if (dev == nullptr) return SimulatedRepeater::hidGlobalError();
    SimulatedRepeater* owner = SimulatedRepeater::owner(dev);
    return owner ? owner->hidError(dev) : nullptr;
}

}  // extern "C"
