// The repeater as a uhid device: on the HID bus with bus type USB, but
// without a USB device above it, so that several can be there at once.
#include <fcntl.h>
#include <linux/uhid.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Backend.h"

namespace {

void copyText(__u8* target, size_t size, const QString& text) {
    const QByteArray bytes = text.toUtf8().left(static_cast<int>(size) - 1);
    std::memcpy(target, bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Fills a get or set report reply (both begin with the request's id and
// an error number) with a failure.
template <typename Reply>
void refuse(Reply& reply, __u32 id) {
    reply.id = id;
    reply.err = EIO;
}

class UhidBackend : public Backend {
public:
    explicit UhidBackend(const DeviceLook& look) : m_look(look) {}
    ~UhidBackend() override {
        unplug();
        if (m_fd >= 0) ::close(m_fd);
    }

    bool plug(QString* error) override {
        if (m_fd < 0) m_fd = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
        if (m_fd < 0) {
            *error = QStringLiteral("/dev/uhid: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        uhid_event event{};
        event.type = UHID_CREATE2;
        uhid_create2_req& create = event.u.create2;
        copyText(create.name, sizeof create.name, m_look.product);
        copyText(create.phys, sizeof create.phys, QStringLiteral("tarvane-virtual-repeater"));
        copyText(create.uniq, sizeof create.uniq, m_look.serial);
        const QByteArray& descriptor = reportDescriptor();
        create.rd_size = static_cast<__u16>(descriptor.size());
        std::memcpy(create.rd_data, descriptor.constData(), static_cast<size_t>(descriptor.size()));
        create.bus = 0x03;  // BUS_USB
        create.vendor = m_look.vendorId;
        create.product = m_look.productId;
        if (!writeEvent(event)) {
            *error = QStringLiteral("UHID_CREATE2: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        m_plugged = true;
        return true;
    }

    void unplug() override {
        if (!m_plugged) return;
        uhid_event event{};
        event.type = UHID_DESTROY;
        writeEvent(event);
        m_plugged = false;
    }

    int fd() const override { return m_plugged ? m_fd : -1; }

    Event receive(QByteArray* report) override {
        uhid_event event{};
        const ssize_t got = ::read(m_fd, &event, sizeof event);
        if (got < 0) return errno == EINTR || errno == EAGAIN ? Event::None : Event::Failed;
        switch (event.type) {
            case UHID_OUTPUT:
                *report = QByteArray(reinterpret_cast<const char*>(event.u.output.data),
                                     static_cast<int>(qMin<size_t>(event.u.output.size, UHID_DATA_MAX)));
                return Event::Report;
            case UHID_CLOSE:
                return Event::Closed;
            case UHID_GET_REPORT:
            case UHID_SET_REPORT:
                refuseReportRequest(event);
                return Event::None;
            default:
                return Event::None;
        }
    }

    bool send(const QByteArray& reply) override {
        uhid_event event{};
        event.type = UHID_INPUT2;
        event.u.input2.size = static_cast<__u16>(reply.size());
        std::memcpy(event.u.input2.data, reply.constData(), static_cast<size_t>(reply.size()));
        return writeEvent(event);
    }

private:
    // The device has no feature reports: a request to get or set one fails
    // at once instead of leaving the kernel to wait for a reply.
    void refuseReportRequest(const uhid_event& request) {
        uhid_event reply{};
        if (request.type == UHID_GET_REPORT) {
            reply.type = UHID_GET_REPORT_REPLY;
            refuse(reply.u.get_report_reply, request.u.get_report.id);
        } else {
            reply.type = UHID_SET_REPORT_REPLY;
            refuse(reply.u.set_report_reply, request.u.set_report.id);
        }
        writeEvent(reply);
    }

    bool writeEvent(const uhid_event& event) {
        return ::write(m_fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
    }

    DeviceLook m_look;
    int m_fd = -1;
    bool m_plugged = false;
};

}  // namespace

std::unique_ptr<Backend> makeUhidBackend(const DeviceLook& look) {
    return std::make_unique<UhidBackend>(look);
}
