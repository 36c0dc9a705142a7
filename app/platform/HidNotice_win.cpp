#include "HidNotice.h"

namespace {

// The four characters that start four after the first `marker`: in a HID
// interface path the ids follow "VID_" and "PID_". Only four hexadecimal
// digits give an id.
std::optional<quint16> idAfter(const QString& path, QLatin1String marker) {
    const int at = path.indexOf(marker);
    if (at < 0) return std::nullopt;
    const QString digits = path.mid(at + 4, 4);
    if (digits.size() != 4) return std::nullopt;
    for (const QChar c : digits) {
        const ushort u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')))
            return std::nullopt;
    }
    return quint16(digits.toUInt(nullptr, 16));
}

}  // namespace

// \\?\HID#VID_0483&PID_6901#7&2c9a3b1f&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}:
// the path carries "HID" and the ids, the texts compared case by case.
std::optional<HidInterface> hidInterfaceOfNotice(const QString& path, const QString&) {
    if (!path.contains(QLatin1String("HID"))) return std::nullopt;
    const std::optional<quint16> vendor = idAfter(path, QLatin1String("VID"));
    const std::optional<quint16> product = idAfter(path, QLatin1String("PID"));
    if (!vendor || !product) return std::nullopt;
    return HidInterface{*vendor, *product, path};
}
