#pragma once

#include <time.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

// Measuring helpers shared by the benchmark and the programs it starts.
namespace probe {

// CLOCK_MONOTONIC in nanoseconds: one clock for every process on the machine,
// so a child's timestamp can be compared with its parent's.
inline qint64 monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

inline double msSince(qint64 startNs) {
    return double(monotonicNs() - startNs) / 1e6;
}

// The process's peak resident set (VmHWM) in KiB, or -1.
inline long peakResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Milliseconds since the kernel started this process (/proc/self/stat field
// 22), in clock ticks, so only to 10 ms; a cross-check of the parent's figure.
inline double msSinceProcessStart() {
    QFile statFile(QStringLiteral("/proc/self/stat"));
    if (!statFile.open(QIODevice::ReadOnly)) return -1;
    const QByteArray stat = statFile.readAll();
    // Fields after the command name, which may itself hold blanks.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();  // field 22, counted from field 3
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    const double nowMs = boot.tv_sec * 1e3 + boot.tv_nsec / 1e6;
    return nowMs - startTicks * 1e3 / double(sysconf(_SC_CLK_TCK));
}

// The offscreen platform warns on every frameless window it shows; the
// warning says nothing about what is measured and would bury the table.
inline QtMessageHandler& previousMessageHandler() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

inline void quietOffscreenWarnings() {
    previousMessageHandler() =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (text.contains(QLatin1String("does not support propagateSizeHints"))) return;
            if (previousMessageHandler()) previousMessageHandler()(type, context, text);
        });
}

// Answers every message box the moment it is shown, as a user pressing OK
// would, and notes when it appeared and what it said.
class BoxAnswerer : public QObject {
public:
    BoxAnswerer() { QCoreApplication::instance()->installEventFilter(this); }
    ~BoxAnswerer() override { QCoreApplication::instance()->removeEventFilter(this); }

    qint64 shownNs = 0;
    QStringList texts;

    void clear() {
        shownNs = 0;
        texts.clear();
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(object)) {
                if (shownNs == 0) shownNs = monotonicNs();
                texts << box->text();
                QMetaObject::invokeMethod(box, "accept", Qt::QueuedConnection);
            }
        }
        return false;
    }
};

// Calls `done` with the time at which a widget's first frame was complete:
// the first paint event reaches the top-level widget, the children paint
// after it in the same pass, and the queued call runs once the pass is over.
class FirstPaint : public QObject {
public:
    FirstPaint(QObject* widget, std::function<void(qint64)> done) : m_done(std::move(done)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QMetaObject::invokeMethod(
                this, [this] { m_done(monotonicNs()); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void(qint64)> m_done;
    bool m_seen = false;
};

}  // namespace probe
