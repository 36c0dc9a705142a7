// The baseline for start-up time and memory: a Qt Widgets program that shows
// an empty dialog with the main window's window attributes and nothing else.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <cstdio>

#include "Probe.h"

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    probe::quietOffscreenWarnings();
    QApplication app(argc, argv);
    const qint64 appNs = probe::monotonicNs();

    QDialog dialog;
    dialog.setAttribute(Qt::WA_TranslucentBackground);
    dialog.setSizeGripEnabled(true);
    dialog.setMouseTracking(true);
    dialog.setWindowFlags(Qt::FramelessWindowHint);
    dialog.setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // The main window's size, so both paint as many pixels.
    const QStringList args = app.arguments();
    const int sizeAt = args.indexOf(QStringLiteral("--size"));
    if (sizeAt > 0 && sizeAt + 1 < args.size()) {
        const QStringList wh = args.at(sizeAt + 1).split('x');
        dialog.resize(wh.value(0).toInt(), wh.value(1).toInt());
    }
    // With --label TEXT it shows one line of text: the font set-up and text
    // drawing that any window with a label pays for.
    const int labelAt = args.indexOf(QStringLiteral("--label"));
    if (labelAt > 0 && labelAt + 1 < args.size()) new QLabel(args.at(labelAt + 1), &dialog);
    const qint64 builtNs = probe::monotonicNs();

    probe::FirstPaint paint(&dialog, [&](qint64 paintedNs) {
        std::printf("app_ns=%lld built_ns=%lld paint_ns=%lld proc_ms=%.1f hwm_kib=%ld size=%dx%d\n",
                    static_cast<long long>(appNs), static_cast<long long>(builtNs),
                    static_cast<long long>(paintedNs), probe::msSinceProcessStart(), probe::peakResidentKiB(),
                    dialog.width(), dialog.height());
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    dialog.show();
    return app.exec();
}
