#include "CheckButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {
constexpr int kButtonSize = 23;

QPixmap loadIcon(const QString& path) {
    return QPixmap(path).scaled(kButtonSize, kButtonSize, Qt::KeepAspectRatio, Qt::FastTransformation);
}
}  // namespace

CheckButton::CheckButton(QWidget* parent)
    : QToolButton(parent),
      m_pixmapChecked(loadIcon(QStringLiteral(":/app/Resources/Check.ico"))),
      m_pixmapUnChecked(loadIcon(QStringLiteral(":/app/Resources/UnCheck.ico"))) {
    setFixedSize(kButtonSize, kButtonSize);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
}

void CheckButton::setChecked(bool checked) {
    m_bChecked = checked;
    update();
}

void CheckButton::mousePressEvent(QMouseEvent* event) {
    // The base class is left out on purpose: it would arm a click on release
    // for any button and toggle its own, unused check state.
    if (event->button() != Qt::LeftButton) return;
    nextCheckState();
    emit clicked(false);
}

void CheckButton::nextCheckState() {
    m_bChecked = !m_bChecked;
    update();
}

void CheckButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), m_bChecked ? m_pixmapChecked : m_pixmapUnChecked);
}
