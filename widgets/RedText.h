#pragma once

#include <QPalette>

class QWidget;

// Shows a widget's text (the role: WindowText for a label, Text for a field)
// in red, or again in its parent's colours. By the palette, not a style
// sheet: a style sheet set and taken away again leaves the widget in another
// font, and what stands under it moves.
void showRed(QWidget* widget, QPalette::ColorRole role, bool red);
