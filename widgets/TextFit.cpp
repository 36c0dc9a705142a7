#include "TextFit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLayout>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableWidget>

namespace TextFit {

void fixLabelWidth(const QList<QLabel*>& labels, int designed) {
    int width = designed;
    for (const QLabel* label : labels) width = qMax(width, label->sizeHint().width());
    for (QLabel* label : labels) label->setFixedWidth(width);
}

int comboWidth(const QComboBox* combo) {
    const QFontMetrics metrics = combo->fontMetrics();
    int text = 0;
    for (int i = 0; i < combo->count(); ++i) text = qMax(text, metrics.horizontalAdvance(combo->itemText(i)));
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    return combo->style()
        ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, metrics.height()), combo)
        .width();
}

void fixComboWidth(QComboBox* combo, int designed) {
    combo->setFixedWidth(qMax(designed, comboWidth(combo)));
}

void tipWhenCut(const QTableWidget* table, QTableWidgetItem* item) {
    // The view draws an item's text inside its cell less the grid line and
    // the style's text margin on either side, and elides or wraps the rest.
    const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    const int room = table->columnWidth(item->column()) - (table->showGrid() ? 1 : 0) - 2 * margin;
    const QVariant font = item->data(Qt::FontRole);
    const QFontMetricsF metrics(font.isValid() ? qvariant_cast<QFont>(font) : table->font());
    item->setToolTip(metrics.horizontalAdvance(item->text()) > room ? item->text() : QString());
}

QSize layoutMinimum(QWidget* widget) {
    // Layouts and their items keep the sizes they found last, and a change
    // on a page that is not shown reaches them only once it is: start afresh.
    // Cell widgets of a table take the table's room, not the layout's, so
    // they are left out: they are most of a page's widgets.
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        const QWidget* parent = child->parentWidget();
        const auto* view = parent ? qobject_cast<const QAbstractItemView*>(parent->parentWidget()) : nullptr;
        if (!view || view->viewport() != parent) child->updateGeometry();
    }
    for (QLayout* layout : widget->findChildren<QLayout*>()) layout->invalidate();
    return widget->layout() ? widget->layout()->totalMinimumSize() : widget->minimumSizeHint();
}

}  // namespace TextFit
