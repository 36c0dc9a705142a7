// tarvane-simulated as app/main.cpp builds it, with a probe beside it:
// without arguments it reports when the main window's first frame was
// complete; with --read it waits for the device, runs Read config and
// reports the peak resident set.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include <hidapi.h>

#include "Probe.h"
#include "Tarvane.h"

namespace {
// The main window, built by its own constructor; this only reads its state.
class ProbedWindow : public Tarvane {
public:
    bool connected() const { return m_bConnected; }
};
}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    probe::quietOffscreenWarnings();
    QApplication app(argc, argv);
    hid_init();
    const qint64 appNs = probe::monotonicNs();
    const bool read = app.arguments().contains(QStringLiteral("--read"));
    int result = 0;
    {
        ProbedWindow window;
        const qint64 builtNs = probe::monotonicNs();
        probe::BoxAnswerer boxes;
        probe::FirstPaint paint(&window, [&](qint64 paintedNs) {
            if (read) return;
            std::printf("app_ns=%lld built_ns=%lld paint_ns=%lld proc_ms=%.1f hwm_kib=%ld size=%dx%d\n",
                        static_cast<long long>(appNs), static_cast<long long>(builtNs),
                        static_cast<long long>(paintedNs), probe::msSinceProcessStart(),
                        probe::peakResidentKiB(), window.width(), window.height());
            std::fflush(stdout);
            QCoreApplication::quit();
        });
        QTimer poll;
        if (read) {
            // The search may be over before the window is built, so its
            // signal cannot be waited for; the state is polled instead.
            QObject::connect(&poll, &QTimer::timeout, &window, [&] {
                if (!window.connected()) return;
                poll.stop();
                window.findChild<QPushButton*>(QStringLiteral("m_pushButtonRead"))->click();
                std::printf("read_hwm_kib=%ld boxes=%d\n", probe::peakResidentKiB(), int(boxes.texts.size()));
                std::fflush(stdout);
                QCoreApplication::quit();
            });
            poll.start(1);
        }
        window.show();
        result = app.exec();
    }
    hid_exit();
    return result;
}
