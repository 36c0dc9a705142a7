#include <QRegularExpression>

#include "HidNotice.h"

namespace {

// "bus:vendor:product", each hexadecimal ("0003:00000483:00006901").
std::optional<HidInterface> fromHidId(const QString& hidId, const QString& path) {
    const QStringList parts = hidId.split(QLatin1Char(':'));
    if (parts.size() != 3) return std::nullopt;
    bool vendorOk = false, productOk = false;
    const uint vendor = parts[1].toUInt(&vendorOk, 16);
    const uint product = parts[2].toUInt(&productOk, 16);
    if (!vendorOk || !productOk || vendor > 0xFFFF || product > 0xFFFF) return std::nullopt;
    return HidInterface{quint16(vendor), quint16(product), path};
}

// The HID device's own directory in the DEVPATH is named
// bus:vendor:product.instance (".../0003:0483:6901.0004/hidraw/hidraw0").
std::optional<HidInterface> fromDevPath(const QString& devPath) {
    static const QRegularExpression hidDir(
        QStringLiteral("/([0-9A-Fa-f]{4}):([0-9A-Fa-f]{4}):([0-9A-Fa-f]{4})\\.[0-9A-Fa-f]+/hidraw/"));
    const QRegularExpressionMatch match = hidDir.match(devPath);
    if (!match.hasMatch()) return std::nullopt;
    return HidInterface{quint16(match.captured(2).toUInt(nullptr, 16)),
                        quint16(match.captured(3).toUInt(nullptr, 16)), devPath};
}

}  // namespace

std::optional<HidInterface> hidInterfaceOfNotice(const QString& path, const QString& ids) {
    return ids.isEmpty() ? fromDevPath(path) : fromHidId(ids, path);
}
