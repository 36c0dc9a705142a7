#include "CustomProgressIndicator.h"

#include <QPainter>
#include <QTimerEvent>

CustomProgressIndicator::Geometry CustomProgressIndicator::geometryFor(int side) {
    Geometry g;
    g.outer = (side - 1) >> 1;
    g.inner = int(g.outer * 0.38);
    g.length = g.outer - g.inner;
    // Thinner spokes on big wheels, or they merge into a disc.
    g.width = side < 33 ? int(g.length * 0.35) : int(g.length * 0.23);
    g.radius = g.width >> 1;
    return g;
}

CustomProgressIndicator::CustomProgressIndicator(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
}

bool CustomProgressIndicator::isDisplayedWhenStopped() const {
    return displayedWhenStopped;
}

QSize CustomProgressIndicator::sizeHint() const {
    return QSize(25, 25);
}

void CustomProgressIndicator::startAnimation() {
    m_angle = 0;
    if (timerId == -1) timerId = startTimer(delay);
}

void CustomProgressIndicator::stopAnimation() {
    if (timerId != -1) killTimer(timerId);
    timerId = -1;
    update();
}

void CustomProgressIndicator::setAnimationDelay(int delay) {
    const bool running = timerId != -1;
    if (running) killTimer(timerId);
    this->delay = delay;
    if (running) timerId = startTimer(delay);
}

void CustomProgressIndicator::setDisplayedWhenStopped(bool state) {
    displayedWhenStopped = state;
    update();
}

void CustomProgressIndicator::setColor(QColor color) {
    m_color = color;
    update();
}

// The next tick repaints with the new value.
void CustomProgressIndicator::onProgress(qint16 _progress) {
    m_progress = _progress;
}

void CustomProgressIndicator::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timerId) {
        QWidget::timerEvent(event);
        return;
    }
    m_angle = (m_angle + 30) % 360;
    update();
}

void CustomProgressIndicator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    if (!isAnimated() && !displayedWhenStopped) {
        p.drawPixmap(rect(), stoppedPixmap);
        return;
    }

    const Geometry g = geometryFor(qMin(width(), height()));

    if (m_progress > 0 && m_progress < 100) {
        p.setPen(m_color);
        p.drawText(rect(), Qt::AlignCenter, QString("%1%").arg(m_progress));
    } else if (m_progress == 100) {
        // Done: this pass still draws the wheel, the next one the stopped look.
        if (timerId != -1) killTimer(timerId);
        timerId = -1;
        update();
    }

    const QRect r = rect();
    const QPoint centre((r.left() + r.right()) / 2, (r.top() + r.bottom()) / 2);
    for (int i = 0; i < 12; ++i) {
        QColor spoke = m_color;
        spoke.setAlphaF(1.0 - i / 12.0);
        p.setPen(Qt::NoPen);
        p.setBrush(spoke);
        p.save();
        p.translate(centre);
        p.rotate(m_angle - 30 * i);
        p.drawRoundedRect(-(g.width >> 1), -(g.inner + g.length), g.width, g.length, g.radius, g.radius);
        p.restore();
    }
}
