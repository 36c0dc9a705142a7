// The repeater as a USB device: a HID gadget made through configfs and bound
// to a USB device controller (dummy_hcd's, in the test machine), so that the
// host sees it as a technician's PC does, through usbhid.
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <cstring>

#include "Backend.h"

namespace {

const QString kGadgets = QStringLiteral("/sys/kernel/config/usb_gadget");
constexpr int kReportLength = 16;

bool writeAttribute(const QString& path, const QByteArray& value, QString* error) {
    QFile file(path);
    // Unbuffered: configfs takes each attribute in one write.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(value) == value.size())
        return true;
    *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
}

QByteArray readAttribute(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

QByteArray hex4(unsigned short id) {
    return "0x" + QByteArray::number(id, 16).rightJustified(4, '0');
}

class GadgetBackend : public Backend {
public:
    GadgetBackend(const DeviceLook& look, const QString& udc)
        : m_look(look), m_udc(udc), m_dir(kGadgets + "/tarvane-" + QString::number(::getpid())) {}
    ~GadgetBackend() override {
        unplug();
        removeGadget();
    }

    bool plug(QString* error) override {
        if (!m_made && !makeGadget(error)) return false;
        QString udc = m_udc;
        if (udc.isEmpty()) {
            const QStringList controllers =
                QDir(QStringLiteral("/sys/class/udc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            if (controllers.isEmpty()) {
                *error = QStringLiteral("no USB device controller (is dummy_hcd loaded?)");
                return false;
            }
            udc = controllers.first();
        }
        if (!writeAttribute(m_dir + "/UDC", udc.toUtf8(), error)) return false;
        // The function's character device comes with the binding.
        const QByteArray number = readAttribute(m_dir + "/functions/hid.usb0/dev");
        const QByteArray uevent = readAttribute("/sys/dev/char/" + QString::fromLatin1(number) + "/uevent");
        QString node;
        for (const QByteArray& line : uevent.split('\n'))
            if (line.startsWith("DEVNAME=")) node = "/dev/" + QString::fromUtf8(line.mid(8));
        for (int i = 0; i < 500 && m_fd < 0 && !node.isEmpty(); ++i) {
            m_fd = ::open(QFile::encodeName(node).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (m_fd < 0) QThread::msleep(10);  // devtmpfs may not have made the node yet
        }
        if (m_fd < 0) {
            *error = QStringLiteral("cannot open the gadget's HID node %1 (%2)")
                         .arg(node, QString::fromLatin1(number));
            unplug();
            return false;
        }
        return true;
    }

    void unplug() override {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
        QString ignored;
        if (m_made) writeAttribute(m_dir + "/UDC", "\n", &ignored);
    }

    int fd() const override { return m_fd; }

    Event receive(QByteArray* report) override {
        char buffer[64];
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got < 0) return errno == EINTR || errno == EAGAIN ? Event::None : Event::Failed;
        // usbhid strips the report number of a device without numbered reports.
        *report = QByteArray(1, '\0') + QByteArray(buffer, static_cast<int>(got));
        return Event::Report;
    }

    bool send(const QByteArray& reply) override {
        return ::write(m_fd, reply.constData(), static_cast<size_t>(reply.size())) == reply.size();
    }

private:
    bool makeGadget(QString* error) {
        const QString function = m_dir + "/functions/hid.usb0";
        const QString config = m_dir + "/configs/c.1";
        QDir root;
        if (!root.mkpath(m_dir + "/strings/0x409") || !root.mkpath(config + "/strings/0x409") ||
            !root.mkpath(function)) {
            *error = QStringLiteral(
                         "cannot make the gadget under %1 (is configfs mounted and libcomposite loaded?)")
                         .arg(kGadgets);
            removeGadget();
            return false;
        }
        m_made = true;
        const bool written =
            writeAttribute(m_dir + "/idVendor", hex4(m_look.vendorId), error) &&
            writeAttribute(m_dir + "/idProduct", hex4(m_look.productId), error) &&
            writeAttribute(m_dir + "/bcdUSB", "0x0200", error) &&
            writeAttribute(m_dir + "/strings/0x409/manufacturer", "Tarvane test bench", error) &&
            writeAttribute(m_dir + "/strings/0x409/product", m_look.product.toUtf8(), error) &&
            writeAttribute(m_dir + "/strings/0x409/serialnumber", m_look.serial.toUtf8(), error) &&
            writeAttribute(config + "/strings/0x409/configuration", "HID", error) &&
            writeAttribute(config + "/MaxPower", "100", error) &&
            writeAttribute(function + "/protocol", "0", error) &&
            writeAttribute(function + "/subclass", "0", error) &&
            writeAttribute(function + "/report_length", QByteArray::number(kReportLength), error) &&
            writeAttribute(function + "/report_desc", reportDescriptor(), error);
        if (!written) {
            removeGadget();
            return false;
        }
        if (!QFile::link(function, config + "/hid.usb0")) {
            *error = QStringLiteral("cannot add the HID function to %1").arg(config);
            removeGadget();
            return false;
        }
        return true;
    }

    // configfs takes a gadget apart in the reverse order of its making.
    void removeGadget() {
        const QString config = m_dir + "/configs/c.1";
        QFile::remove(config + "/hid.usb0");
        QDir root;
        for (const QString& dir : {config + "/strings/0x409", config, m_dir + "/functions/hid.usb0",
                                   m_dir + "/strings/0x409", m_dir})
            root.rmdir(dir);
        m_made = false;
    }

    DeviceLook m_look;
    QString m_udc;
    QString m_dir;
    bool m_made = false;
    int m_fd = -1;
};

}  // namespace

std::unique_ptr<Backend> makeGadgetBackend(const DeviceLook& look, const QString& udc) {
    return std::make_unique<GadgetBackend>(look, udc);
}
