#include "AbsFrameLessAutoSize.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
enum Shadow { Left, Right, Top, Bottom, LeftTop, RightTop, LeftBottom, RightBottom };
const char* const kShadowImages[] = {
    ":/shadow/Resources/shadow/shadow_left.png",        ":/shadow/Resources/shadow/shadow_right.png",
    ":/shadow/Resources/shadow/shadow_top.png",         ":/shadow/Resources/shadow/shadow_bottom.png",
    ":/shadow/Resources/shadow/shadow_left_top.png",    ":/shadow/Resources/shadow/shadow_right_top.png",
    ":/shadow/Resources/shadow/shadow_left_bottom.png", ":/shadow/Resources/shadow/shadow_right_bottom.png",
};
const int kShadow = 2;  // the shadow margin in pixels
}  // namespace

AbsFrameLessAutoSize::AbsFrameLessAutoSize(QWidget* parent) : QDialog(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setSizeGripEnabled(true);
    setMouseTracking(true);
    setWindowFlags(Qt::FramelessWindowHint);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    for (const char* path : kShadowImages) m_shadow.append(QPixmap(QString::fromLatin1(path)));
}

AbsFrameLessAutoSize::Region AbsFrameLessAutoSize::hitTest(int x, int y, int w, int h, int b) {
    if (x > w - b && y > b && y < h - b) return Right;
    if (x < b && y > b && y < h - b) return Left;
    if (y > h - b && x > b && x < w - b) return Bottom;
    if (y < b && x > b && x < w - b) return Top;
    if (y < b && x > w - b) return TopRight;
    if (y < b && x < b) return TopLeft;
    if (y > h - b && x >= w - b) return BottomRight;
    if (y > h - b && x < b) return BottomLeft;
    return NoRegion;
}

Qt::CursorShape AbsFrameLessAutoSize::cursorFor(Region region) {
    // By region: arrows along the sides, diagonals at the corners.
    static const Qt::CursorShape kShapes[] = {
        Qt::ArrowCursor,                           // NoRegion
        Qt::SizeHorCursor,   Qt::SizeHorCursor,    // Right, Left
        Qt::SizeVerCursor,   Qt::SizeVerCursor,    // Bottom, Top
        Qt::SizeBDiagCursor, Qt::SizeFDiagCursor,  // TopRight, TopLeft
        Qt::SizeFDiagCursor, Qt::SizeBDiagCursor,  // BottomRight, BottomLeft
    };
    return region >= NoRegion && region <= BottomLeft ? kShapes[region] : Qt::ArrowCursor;
}

void AbsFrameLessAutoSize::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width();
    const int h = height();
    const int s = kShadow;
    painter.drawPixmap(0, 0, s, s, m_shadow[LeftTop]);
    painter.drawPixmap(w - s, 0, s, s, m_shadow[RightTop]);
    painter.drawPixmap(0, h - s, s, s, m_shadow[LeftBottom]);
    painter.drawPixmap(w - s, h - s, s, s, m_shadow[RightBottom]);
    painter.drawPixmap(0, s, m_shadow[Left].scaled(s, h - 2 * s));
    painter.drawPixmap(w - s, s, m_shadow[Right].scaled(s, h - 2 * s));
    painter.drawPixmap(s, 0, m_shadow[Top].scaled(w - 2 * s, s));
    painter.drawPixmap(s, h - s, m_shadow[Bottom].scaled(w - 2 * s, s));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(QPoint(s, s), QPoint(w - s - 1, h - s - 1)));
}

void AbsFrameLessAutoSize::mousePressEvent(QMouseEvent* event) {
    m_sizeAtPress = size();
    resizing = false;
    setFocus();
    if (event->button() != Qt::LeftButton) return;
    m_windowOrigin = pos();
    const int b = borderWidth;
    const QRect inner(QPoint(b + 1, b + 1), QPoint(width() - b - 2, height() - b - 2));
    if (inner.contains(event->pos())) {
        m_pressPoint = event->globalPos();
        dragging = true;
    } else {
        resizing = true;
    }
}

void AbsFrameLessAutoSize::mouseMoveEvent(QMouseEvent* event) {
    if (!resizing) {
        const Region r = hitTest(event->x(), event->y(), width(), height(), borderWidth);
        setCursor(cursorFor(r));
        if (r != NoRegion) m_region = r;
    }
    resizeStep(event->globalPos());
    if (dragging) move(event->globalPos() - m_pressPoint + m_windowOrigin);
}

void AbsFrameLessAutoSize::mouseReleaseEvent(QMouseEvent* event) {
    resizing = false;
    if (event->button() == Qt::LeftButton) dragging = false;
}

namespace {
// The left or top edge follows the cursor: clamp to the limits and keep the
// opposite edge where it was at the press.
void clampLeading(int& origin, int& length, int minimum, int maximum, int farEdge) {
    if (length >= maximum)
        length = maximum;
    else if (length <= minimum)
        length = minimum;
    origin = farEdge - length;
}
}  // namespace

void AbsFrameLessAutoSize::resizeStep(const QPoint& cursor) {
    if (!resizing) return;
    const QRect g = geometry();
    const int X = g.x(), Y = g.y(), W = g.width(), H = g.height();
    const int cx = cursor.x(), cy = cursor.y();
    const auto widthOk = [&](int v) { return v >= minimumWidth() && v <= maximumWidth(); };
    const auto heightOk = [&](int v) { return v >= minimumHeight() && v <= maximumHeight(); };
    const int right = m_windowOrigin.x() + m_sizeAtPress.width();
    const int bottom = m_windowOrigin.y() + m_sizeAtPress.height();

    switch (m_region) {
        case Right:
            if (widthOk(cx - X)) setGeometry(X, Y, cx - X, H);
            break;
        case Left:
            if (widthOk(X + W - cx)) setGeometry(cx, Y, X + W - cx, H);
            break;
        case Bottom:
            if (heightOk(cy - Y)) setGeometry(X, Y, W, cy - Y);
            break;
        case Top:
            if (heightOk(Y + H - cy)) setGeometry(X, cy, W, Y + H - cy);
            break;
        case TopRight: {
            int y = cy, h = Y + H - cy;
            clampLeading(y, h, minimumHeight(), maximumHeight(), bottom);
            setGeometry(m_windowOrigin.x(), y, cx - X, h);
            break;
        }
        case TopLeft: {
            int x = cx, w = X + W - cx, y = cy, h = Y + H - cy;
            clampLeading(x, w, minimumWidth(), maximumWidth(), right);
            clampLeading(y, h, minimumHeight(), maximumHeight(), bottom);
            setGeometry(x, y, w, h);
            break;
        }
        case BottomRight:
            setGeometry(m_windowOrigin.x(), m_windowOrigin.y(), cx - X, cy - Y);
            break;
        case BottomLeft: {
            int x = cx, w = X + W - cx;
            clampLeading(x, w, minimumWidth(), maximumWidth(), right);
            setGeometry(x, m_windowOrigin.y(), w, cy - Y);
            break;
        }
        default:
            break;
    }
}
