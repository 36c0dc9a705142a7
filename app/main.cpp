#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include <hidapi.h>

#include "Tarvane.h"

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);
    // A library that cannot start finds no repeater: said so, rather than a
    // search that fails (the simulated one refuses a malformed bench here).
    if (hid_init() != 0) {
        const wchar_t* why = hid_error(nullptr);
        const QString text = why ? QString::fromWCharArray(why) : QStringLiteral("hid_init failed");
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        QMessageBox::critical(nullptr, QStringLiteral("Tarvane"), text);
        return 1;
    }
    int result = 0;
    {
        Tarvane window(nullptr);
        window.show();
        result = app.exec();
    }  // the window goes first: its release of the device closes it
    hid_exit();
    return result;
}
