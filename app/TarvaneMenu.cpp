// The main menu, language switching and the title bar's double click.
#include "Tarvane.h"

void Tarvane::onShowMainMenu() {}
void Tarvane::onLeftDoubleClick() {}
void Tarvane::onActionEN() {}
void Tarvane::onActionZH() {}
void Tarvane::onActionAbout() {}
void Tarvane::onActionDeviceInfo() {}
