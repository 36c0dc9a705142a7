#include "Tarvane.h"

Tarvane::Tarvane(QWidget* parent) : QDialog(parent) {}
