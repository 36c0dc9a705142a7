#pragma once

#include <QPoint>
#include <QSize>
#include <QWidget>

// Corner cell of the route table: a diagonal with "RX" below it (the rows
// receive) and "TX" above it (the columns transmit).
class SlashWidget : public QWidget {
    Q_OBJECT
public:
    explicit SlashWidget(QWidget* parent = nullptr);

    // Baseline origins of the two captions for a cell of the given size.
    static QPoint rxTextPos(const QSize& size) { return QPoint(size.width() / 8, size.height() * 5 / 6); }
    static QPoint txTextPos(const QSize& size) { return QPoint(size.width() * 5 / 8, size.height() * 3 / 6); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
