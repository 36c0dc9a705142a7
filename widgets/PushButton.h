#pragma once

#include <QPushButton>
#include <QString>

// A button drawn from three images: picName, picName + "_hover" and
// picName + "_pressed". It clicks only on a release inside after a left press.
class PushButton : public QPushButton {
    Q_OBJECT
public:
    enum State { Normal = 0, Hover = 1, Pressed = 2 };

    explicit PushButton(QWidget* parent = nullptr);

    void setPicName(const QString& path);
    QString picName() const { return m_picName; }
    int state() const { return m_state; }
    bool isPressDown() const { return m_pressed; }

    // The image shown for a state.
    QString imagePath(int state) const;

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_state = Normal;
    QString m_picName;
    bool m_pressed = false;
};
