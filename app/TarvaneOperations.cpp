// Read config, Write config, Save, Open and Default of the main window.
#include "Tarvane.h"

void Tarvane::onPushButtonWrite() {}
void Tarvane::onPushButtonRead() {}
void Tarvane::onPushButtonSaveToFile() {}
void Tarvane::onPushButtonReadFromFile() {}
void Tarvane::onPushButtonDefault() {}
