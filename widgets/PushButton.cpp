#include "PushButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

PushButton::PushButton(QWidget* parent) : QPushButton(parent) {
    // A title bar's button is never the one Enter presses in its dialog.
    setAutoDefault(false);
}

void PushButton::setPicName(const QString& path) {
    m_picName = path;
    setFixedSize(QPixmap(path).size());
}

QString PushButton::imagePath(int state) const {
    if (state == Hover) return m_picName + "_hover";
    if (state == Pressed) return m_picName + "_pressed";
    return m_picName;
}

void PushButton::enterEvent(QEvent*) {
    m_state = Hover;
    update();
}

void PushButton::leaveEvent(QEvent*) {
    m_state = Normal;
    update();
}

void PushButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_pressed = true;
    m_state = Pressed;
    update();
}

void PushButton::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_pressed || !rect().contains(event->pos())) return;
    m_pressed = false;
    m_state = Hover;
    update();
    emit clicked(false);
}

void PushButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), QPixmap(imagePath(m_state)));
}
