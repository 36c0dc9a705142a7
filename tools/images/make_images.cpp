// Draws the program's images into a Resources/ directory and, when a second
// directory is given, the desktop icon theme's PNGs of the application icon:
//   tarvane-make-images <Resources dir> [<icons dir>]
// Everything is drawn here from scratch, so the pictures can be changed by
// editing this file and running scripts/make-images.sh.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QVector>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

// The title bar's blue, and the lighter top of the emblem's gradient.
const QColor kBlue(40, 119, 192);
const QColor kBlueLight(72, 152, 224);
const QColor kInk(45, 55, 72);

QString g_root;
int g_failures = 0;

QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A relative name is taken inside the Resources directory.
void save(const QImage& img, const QString& name) {
    const QString path = QDir::isAbsolutePath(name) ? name : g_root + "/" + name;
    QImageWriter writer(path, "png");
    if (!writer.write(img)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        ++g_failures;
    }
}

// ---------------------------------------------------------------------------
// Shadow. The window paints a 2-pixel rim from these, scaling each picture
// into it, so every edge is one even tone across its thickness. Light comes
// from above: the rim is faintest at the top and darkest at the bottom.

const int kShadowTop = 34;
const int kShadowSide = 48;
const int kShadowBottom = 66;

QColor shadowColour(int alpha) {
    return QColor(20, 24, 30, alpha);
}

void makeShadowEdges() {
    QImage left = blank(1, 20);
    left.fill(shadowColour(kShadowSide));
    save(left, "shadow/shadow_left.png");
    save(left, "shadow/shadow_right.png");

    QImage top = blank(20, 1);
    top.fill(shadowColour(kShadowTop));
    save(top, "shadow/shadow_top.png");

    QImage bottom = blank(20, 1);
    bottom.fill(shadowColour(kShadowBottom));
    save(bottom, "shadow/shadow_bottom.png");
}

// A corner is a quarter disc around the window's corner point (cx, cy) that
// keeps the edges' tone near the body and fades out towards the far corner,
// which rounds the rim off.
void makeShadowCorner(const QString& name, int cx, int cy, int alpha) {
    QImage img = blank(20, 20);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            const double d = std::sqrt(dx * dx + dy * dy) / 20.0;  // 0 at the body, 1 at the rim
            double t = 1.0;
            if (d >= 1.0) {
                t = 0.0;
            } else if (d > 0.55) {
                const double u = (1.0 - d) / 0.45;
                t = u * u * (3.0 - 2.0 * u);  // smoothstep
            }
            img.setPixelColor(x, y, shadowColour(int(alpha * t + 0.5)));
        }
    }
    save(img, name);
}

void makeShadow() {
    makeShadowEdges();
    makeShadowCorner("shadow/shadow_left_top.png", 20, 20, (kShadowTop + kShadowSide) / 2);
    makeShadowCorner("shadow/shadow_right_top.png", 0, 20, (kShadowTop + kShadowSide) / 2);
    makeShadowCorner("shadow/shadow_left_bottom.png", 20, 0, (kShadowBottom + kShadowSide) / 2);
    makeShadowCorner("shadow/shadow_right_bottom.png", 0, 0, (kShadowBottom + kShadowSide) / 2);
}

// ---------------------------------------------------------------------------
// System buttons, 27 x 22, white glyphs on the blue title bar.

enum class Look { Normal, Hover, Pressed };

void makeSysButton(const QString& base, Look look, bool danger, const std::function<void(QPainter&)>& glyph) {
    QImage img = blank(27, 22);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QColor back = Qt::transparent;
    if (look == Look::Hover) back = danger ? QColor(224, 52, 52) : QColor(255, 255, 255, 46);
    if (look == Look::Pressed) back = danger ? QColor(178, 32, 32) : QColor(0, 0, 0, 56);
    p.fillRect(img.rect(), back);
    glyph(p);
    p.end();
    const char* suffix = look == Look::Hover ? "_hover" : look == Look::Pressed ? "_pressed" : "";
    save(img, QString("sysButton/%1%2.png").arg(base, suffix));
}

void makeSysButtons() {
    const auto bars = [](QPainter& p) {
        // Filled rectangles on whole pixels keep the lines sharp.
        for (int y : {6, 10, 14}) p.fillRect(QRect(8, y, 11, 2), Qt::white);
    };
    const auto minus = [](QPainter& p) { p.fillRect(QRect(8, 10, 11, 2), Qt::white); };
    const auto cross = [](QPainter& p) {
        QPen pen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(9.0, 6.5), QPointF(18.0, 15.5));
        p.drawLine(QPointF(18.0, 6.5), QPointF(9.0, 15.5));
    };
    for (Look look : {Look::Normal, Look::Hover, Look::Pressed}) {
        makeSysButton("menu", look, false, bars);
        makeSysButton("min", look, false, minus);
        makeSysButton("close", look, true, cross);
    }
}

// ---------------------------------------------------------------------------
// Icons. Each size is drawn on its own so the small ones stay crisp.

// The emblem: a rounded blue square with two stations joined by a link that
// is boosted in the middle -- a repeater between two buses.
QImage emblem(int size) {
    QImage img = blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const double m = size <= 16 ? 0.5 : s * 0.04;  // margin
    const QRectF box(m, m, s - 2 * m, s - 2 * m);
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, kBlueLight);
    fill.setColorAt(1, kBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(box, box.width() * 0.22, box.height() * 0.22);

    const double cy = s / 2;
    const double r = s * (size <= 16 ? 0.14 : 0.12);  // station radius
    const double lx = s * 0.26;
    const double rx = s * 0.74;
    const double line = std::max(1.5, s * 0.075);
    p.setPen(QPen(Qt::white, line, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(lx, cy), QPointF(rx, cy));
    if (size > 16) {
        // The repeater: a diamond on the link.
        const double d = s * 0.11;
        QPainterPath diamond;
        diamond.moveTo(s / 2, cy - d);
        diamond.lineTo(s / 2 + d, cy);
        diamond.lineTo(s / 2, cy + d);
        diamond.lineTo(s / 2 - d, cy);
        diamond.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(diamond);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(lx, cy), r, r);
    p.drawEllipse(QPointF(rx, cy), r, r);
    // Hollow centres make the stations read as ports.
    if (size >= 32) {
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(lx, cy), r * 0.45, r * 0.45);
        p.drawEllipse(QPointF(rx, cy), r * 0.45, r * 0.45);
    }
    return img;
}

// A round badge with a tick or a cross, used for on/off cells.
QImage badge(int size, bool tick) {
    QImage img = blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QColor colour = tick ? QColor(46, 160, 67) : QColor(214, 57, 57);
    const double m = s * 0.06;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(m, m, s - 2 * m, s - 2 * m));
    QPen pen(Qt::white, std::max(1.8, s * 0.11), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (tick) {
        QPainterPath path;
        path.moveTo(s * 0.29, s * 0.52);
        path.lineTo(s * 0.44, s * 0.67);
        path.lineTo(s * 0.72, s * 0.36);
        p.drawPath(path);
    } else {
        p.drawLine(QPointF(s * 0.34, s * 0.34), QPointF(s * 0.66, s * 0.66));
        p.drawLine(QPointF(s * 0.66, s * 0.34), QPointF(s * 0.34, s * 0.66));
    }
    return img;
}

// Qt's ico writer leaves the padding of the transparency mask's rows
// uninitialised; zero it so that the same drawing gives the same file.
void clearMaskPadding(QByteArray& dib, int width, int height) {
    const int headerSize = 40;
    if (dib.size() < headerSize || qFromLittleEndian<quint32>(dib.constData()) != quint32(headerSize) ||
        qFromLittleEndian<quint16>(dib.constData() + 14) != 32)
        return;
    const int rowBytes = (width + 31) / 32 * 4;
    const int maskOffset = headerSize + width * height * 4;
    if (dib.size() < maskOffset + rowBytes * height) return;
    const int used = (width + 7) / 8;
    const int spareBits = used * 8 - width;
    for (int row = 0; row < height; ++row) {
        char* line = dib.data() + maskOffset + row * rowBytes;
        if (spareBits > 0) line[used - 1] = char(line[used - 1] & (0xff << spareBits));
        for (int i = used; i < rowBytes; ++i) line[i] = 0;
    }
}

// Qt's ico writer puts one picture in a file; several sizes are joined here
// into one icon directory. Loading the file as a pixmap gives the first entry.
void saveIco(const QVector<QImage>& images, const QString& name) {
    QVector<QByteArray> entries;  // 16-byte directory entries, offset still to fill in
    QVector<QByteArray> payloads;
    for (const QImage& img : images) {
        QByteArray single;
        QBuffer buffer(&single);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "ico");
        if (!writer.write(img) || single.size() < 22 ||
            qFromLittleEndian<quint16>(single.constData() + 4) != 1) {
            std::fprintf(stderr, "cannot encode %s: %s\n", qPrintable(name),
                         qPrintable(writer.errorString()));
            ++g_failures;
            return;
        }
        const quint32 length = qFromLittleEndian<quint32>(single.constData() + 6 + 8);
        const quint32 offset = qFromLittleEndian<quint32>(single.constData() + 6 + 12);
        entries.append(single.mid(6, 16));
        payloads.append(single.mid(int(offset), int(length)));
        clearMaskPadding(payloads.last(), img.width(), img.height());
    }

    QByteArray out(6, '\0');
    qToLittleEndian<quint16>(1, out.data() + 2);  // type: icon
    qToLittleEndian<quint16>(quint16(images.size()), out.data() + 4);
    quint32 offset = quint32(6 + 16 * images.size());
    for (int i = 0; i < entries.size(); ++i) {
        qToLittleEndian<quint32>(offset, entries[i].data() + 12);
        out += entries[i];
        offset += quint32(payloads[i].size());
    }
    for (const QByteArray& payload : payloads) out += payload;

    const QString path = g_root + "/" + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++g_failures;
        return;
    }
    file.close();

    // Make sure Qt reads back what was written, every size of it.
    QPixmap check;
    if (!check.load(path) || check.size() != images.first().size()) {
        std::fprintf(stderr, "%s does not load back\n", qPrintable(path));
        ++g_failures;
    }
}

void makeIcons() {
    // 48 first: the title bar shows the icon at 24 x 24, which is an exact
    // halving on ordinary screens and the full picture on doubled ones.
    saveIco({emblem(48), emblem(32), emblem(16)}, "app.ico");
    // The route table scales these to 23 x 23 with a fast transformation, so
    // the first entry is drawn at exactly that size.
    saveIco({badge(23, true), badge(32, true), badge(48, true)}, "Check.ico");
    saveIco({badge(23, false), badge(32, false), badge(48, false)}, "UnCheck.ico");
}

// The desktop's icon theme picks the size it needs from these; each is drawn
// at its size like the ones in app.ico.
void makeThemeIcons(const QString& iconsDir) {
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString dir = QString("hicolor/%1x%1/apps").arg(size);
        if (!QDir().mkpath(iconsDir + "/" + dir)) {
            std::fprintf(stderr, "cannot create %s/%s\n", qPrintable(iconsDir), qPrintable(dir));
            ++g_failures;
            continue;
        }
        save(emblem(size), iconsDir + "/" + dir + "/tarvane.png");
    }
}

// ---------------------------------------------------------------------------
// The maker's wordmark for the About box: the emblem and "Tarvane".

void makeLogo() {
    QImage img = blank(186, 30);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QPoint(2, 2), emblem(26));

    QFont font("DejaVu Sans");
    font.setPixelSize(21);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    p.setFont(font);
    p.setPen(kInk);
    const QFontMetricsF metrics(font);
    const double baseline = 15 + (metrics.ascent() - metrics.descent()) / 2;
    p.drawText(QPointF(36, baseline), "Tarvane");

    p.end();
    save(img, "company _logo.png");
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <Resources dir> [<icons dir>]\n", argv[0]);
        return 2;
    }
    g_root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    if (!QDir().mkpath(g_root + "/shadow") || !QDir().mkpath(g_root + "/sysButton")) {
        std::fprintf(stderr, "cannot create the folders under %s\n", qPrintable(g_root));
        return 1;
    }
    makeShadow();
    makeSysButtons();
    makeIcons();
    makeLogo();
    if (argc == 3) makeThemeIcons(QDir(QString::fromLocal8Bit(argv[2])).absolutePath());
    return g_failures == 0 ? 0 : 1;
}
