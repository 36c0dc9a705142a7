#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QVector>

// Base of the program's top-level windows: frameless, with a painted 2-pixel
// shadow around a white body, moved by dragging the body and resized by
// dragging the 1-pixel border band.
class AbsFrameLessAutoSize : public QDialog {
    Q_OBJECT
public:
    // Where the cursor is for resizing; 0 until a band was first touched.
    enum Region {
        NoRegion = 0,
        Right = 1,
        Left = 2,
        Bottom = 3,
        Top = 4,
        TopRight = 5,
        TopLeft = 6,
        BottomRight = 7,
        BottomLeft = 8
    };

    explicit AbsFrameLessAutoSize(QWidget* parent = nullptr);

    // The band under (x, y) in a window of the given size, or NoRegion.
    static Region hitTest(int x, int y, int width, int height, int borderWidth);
    // The cursor shape that shows a region.
    static Qt::CursorShape cursorFor(Region region);

    int region() const { return m_region; }
    bool isDragging() const { return dragging; }
    bool isResizing() const { return resizing; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void resizeStep(const QPoint& globalCursor);

    bool dragging = false;
    bool resizing = false;
    QPoint m_pressPoint;
    QPoint m_windowOrigin;
    QSize m_sizeAtPress{-1, -1};
    int borderWidth = 1;
    int m_region = NoRegion;
    QVector<QPixmap> m_shadow;
};
