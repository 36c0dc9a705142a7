#pragma once

#include <QList>
#include <QSize>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

// Sizes that let a widget show its whole text in the current font and
// language. Widgets keep the size they were designed with and grow only
// where a text needs more; the pages call these again on every language
// switch.
namespace TextFit {

// Fixes the labels' width at `designed`, or wider when a text needs more;
// labels of one column keep a common width.
void fixLabelWidth(const QList<QLabel*>& labels, int designed);

// The width at which the combo box shows each of its entries whole.
int comboWidth(const QComboBox* combo);
// Fixes the combo box's width at `designed`, or wider when an entry needs more.
void fixComboWidth(QComboBox* combo, int designed);

// Fixes the line edit's width at `designed`, or wider when its text needs more.
void fixLineEditWidth(QLineEdit* edit, int designed);

// The least size the widget's layout needs for what it holds now.
QSize layoutMinimum(QWidget* widget);

}  // namespace TextFit
