#include "CurrentCellFrame.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>

namespace {
constexpr int kLineWidth = 2;
}  // namespace

CurrentCellFrame::CurrentCellFrame(QTableView* table) : QWidget(table->viewport()), m_table(table) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    table->installEventFilter(this);
    table->viewport()->installEventFilter(this);
    connect(table->selectionModel(), &QItemSelectionModel::currentChanged, this, &CurrentCellFrame::follow);
    for (QScrollBar* bar : {table->horizontalScrollBar(), table->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &CurrentCellFrame::follow);
    for (QHeaderView* header : {table->horizontalHeader(), table->verticalHeader()})
        connect(header, &QHeaderView::sectionResized, this, &CurrentCellFrame::follow);
}

bool CurrentCellFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Resize:
        case QEvent::Show:
            follow();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void CurrentCellFrame::follow() {
    const QRect cell = m_table->visualRect(m_table->currentIndex());
    const bool shown = m_table->hasFocus() && cell.isValid();
    if (shown) {
        setGeometry(cell);
        raise();  // over the widgets in the cells
    }
    setVisible(shown);
}

void CurrentCellFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRegion frame =
        QRegion(rect()).subtracted(rect().adjusted(kLineWidth, kLineWidth, -kLineWidth, -kLineWidth));
    for (const QRect& part : frame) painter.fillRect(part, palette().color(QPalette::Highlight));
}
