#include "RedText.h"

#include <QWidget>

void showRed(QWidget* widget, QPalette::ColorRole role, bool red) {
    QPalette palette;  // resolves nothing: the parent's colours
    if (red) palette.setColor(role, Qt::red);
    widget->setPalette(palette);
}
