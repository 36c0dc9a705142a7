#include "HidNotice.h"

#include <QRegularExpression>

#include "Protocol.h"

namespace HidNotice {

namespace {

// An id as such paths write it: four upper-case hex digits.
QString idText(uint id) {
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0')).toUpper();
}

QString fourCharsAfter(const QString& path, const QString& marker) {
    const int at = path.indexOf(marker);
    return at < 0 ? QString() : path.mid(at + 4, 4);
}

QString interfacePath(uint vendor, uint product, const QString& devPath) {
    return QStringLiteral("HID#VID_%1&PID_%2#%3").arg(idText(vendor), idText(product), devPath).toUpper();
}
}  // namespace

bool isRepeaterInterface(const QString& path) {
    if (path.isEmpty() || !path.contains(QLatin1String("HID"))) return false;
    return fourCharsAfter(path, QStringLiteral("VID")) == idText(Protocol::VendorId) &&
           fourCharsAfter(path, QStringLiteral("PID")) == idText(Protocol::ProductId);
}

QString pathFromHidId(const QString& hidId, const QString& devPath) {
    // bus:vendor:product, each hexadecimal
    const QStringList parts = hidId.split(QLatin1Char(':'));
    if (parts.size() != 3) return QString();
    bool vendorOk = false, productOk = false;
    const uint vendor = parts[1].toUInt(&vendorOk, 16);
    const uint product = parts[2].toUInt(&productOk, 16);
    if (!vendorOk || !productOk || vendor > 0xFFFF || product > 0xFFFF) return QString();
    return interfacePath(vendor, product, devPath);
}

QString pathFromDevPath(const QString& devPath) {
    // The HID device's own directory is named bus:vendor:product.instance.
    static const QRegularExpression hidDir(
        QStringLiteral("/([0-9A-Fa-f]{4}):([0-9A-Fa-f]{4}):([0-9A-Fa-f]{4})\\.[0-9A-Fa-f]+/hidraw/"));
    const QRegularExpressionMatch match = hidDir.match(devPath);
    if (!match.hasMatch()) return QString();
    return interfacePath(match.captured(2).toUInt(nullptr, 16), match.captured(3).toUInt(nullptr, 16),
                         devPath);
}

}  // namespace HidNotice
