#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

#include "Protocol.h"

// The device's vendor-defined report descriptor: one 16-byte input and one
// 16-byte output report, no report IDs.
const QByteArray& reportDescriptor();

// What the virtual repeater shows the host.
struct DeviceLook {
    unsigned short vendorId = Protocol::VendorId;
    unsigned short productId = Protocol::ProductId;
    QString serial;   // USB serial number, or the uhid device's "uniq"
    QString product;  // product string, or the uhid device's name
};

// One way onto the kernel's HID bus. plug() puts the device on the bus and
// unplug() takes it off again, as often as needed; what the host sends comes
// in through fd().
class Backend {
public:
    enum class Event {
        None,    // something the device needs not act on
        Report,  // an output report, report number first
        Closed,  // the host closed the device (uhid only)
        Failed,
    };

    virtual ~Backend() = default;
    virtual bool plug(QString* error) = 0;
    virtual void unplug() = 0;
    // Readable when the host sent something; -1 while off the bus.
    virtual int fd() const = 0;
    virtual Event receive(QByteArray* report) = 0;
    // One 16-byte input report.
    virtual bool send(const QByteArray& reply) = 0;
};

std::unique_ptr<Backend> makeUhidBackend(const DeviceLook& look);
// udc: the controller to bind to; empty: the first one the system has.
std::unique_ptr<Backend> makeGadgetBackend(const DeviceLook& look, const QString& udc);
