#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

// A spinning wheel of twelve spokes, each fainter than the one before; it
// turns by 30 degrees per timer tick and can print a percentage in its middle.
class CustomProgressIndicator : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int delay READ animationDelay WRITE setAnimationDelay)
    Q_PROPERTY(bool displayedWhenStopped READ isDisplayedWhenStopped WRITE setDisplayedWhenStopped)
    Q_PROPERTY(QColor color READ color WRITE setColor)

public:
    // Sizes of the spokes for a wheel whose smaller side is `side` pixels;
    // kept in integers so that small wheels stay on whole pixels.
    struct Geometry {
        int outer;   // distance from the centre to the spokes' outer ends
        int inner;   // distance from the centre to the spokes' inner ends
        int length;  // spoke length
        int width;   // spoke width
        int radius;  // corner radius of a spoke
    };
    static Geometry geometryFor(int side);

    explicit CustomProgressIndicator(QWidget* parent = nullptr);

    int animationDelay() const { return delay; }
    bool isAnimated() const { return timerId != -1; }
    bool isDisplayedWhenStopped() const;
    QColor color() const { return m_color; }
    int angle() const { return m_angle; }
    qint16 progress() const { return m_progress; }

    QSize sizeHint() const override;

public slots:
    void startAnimation();
    void stopAnimation();
    void setAnimationDelay(int delay);
    void setDisplayedWhenStopped(bool state);
    void setColor(QColor color);
    void onProgress(qint16 _progress);

protected:
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_angle = 0;
    int timerId = -1;
    int delay = 45;
    bool displayedWhenStopped = false;
    QColor m_color = Qt::gray;
    qint16 m_progress = 0;
    QPixmap stoppedPixmap;
};
