#pragma once

#include <QWidget>

class QTableView;

// Frames a table's current cell while the table has the keyboard, so that
// the arrow keys can be followed. The style's own focus frame is faint
// (Fusion) or dotted (Windows) and lies under a widget in the cell, which a
// check button or a list box covers; this one lies over them, in the
// highlight colour.
class CurrentCellFrame : public QWidget {
    Q_OBJECT
public:
    explicit CurrentCellFrame(QTableView* table);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Over the current cell, or hidden.
    void follow();

    QTableView* m_table;
};
