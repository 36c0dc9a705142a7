#pragma once

#include <QPixmap>
#include <QToolButton>

// A two-state image button for the route table: a tick when checked, a cross
// when not. It keeps its own state instead of QAbstractButton's so that a
// programmatic change never emits clicked(); click() toggles it as a left
// press does.
class CheckButton : public QToolButton {
    Q_OBJECT
public:
    explicit CheckButton(QWidget* parent = nullptr);

    bool isChecked() const { return m_bChecked; }
    void setChecked(bool checked);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void nextCheckState() override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_bChecked = true;
    QPixmap m_pixmapChecked;
    QPixmap m_pixmapUnChecked;
};
