#include "TextFit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

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

void fixLineEditWidth(QLineEdit* edit, int designed) {
    // The text is drawn inside the contents less the text margins and two
    // pixels on either side, and one more for the cursor after it.
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QMargins margins = edit->textMargins();
    const int text = edit->fontMetrics().horizontalAdvance(edit->text()) + 1 + 4 + margins.left() + margins.right();
    const QSize need =
        edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(text, edit->fontMetrics().height()), edit);
    edit->setFixedWidth(qMax(designed, need.width()));
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
