#include <QApplication>

#include <hidapi.h>

#include "Tarvane.h"

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);
    hid_init();
    int result = 0;
    {
        Tarvane window(nullptr);
        window.show();
        result = app.exec();
    }  // the window goes first: its release of the device closes it
    hid_exit();
    return result;
}
