#include "SlashWidget.h"

#include <QPainter>
#include <QPen>
#include <QVBoxLayout>

SlashWidget::SlashWidget(QWidget* parent) : QWidget(parent) {
    new QVBoxLayout(this);
}

void SlashWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(Qt::gray, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    const QRect r = rect();
    painter.drawLine(0, 0, r.width(), r.height());
    painter.drawText(rxTextPos(r.size()), QStringLiteral("RX"));
    painter.drawText(txTextPos(r.size()), QStringLiteral("TX"));
}
