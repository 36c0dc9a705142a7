#include "CliInterrupts.h"

#include <QByteArray>
#include <cstdlib>
#include <mutex>

#include "ProgressLine.h"
#include "StandardError.h"
#include "TarvaneCli.h"
#include "platform/StopSignals.h"

namespace CliInterrupts {

namespace {

struct State {
    std::mutex mutex;
    int holds = 0;
    int writesEnded = 0;
    int pendingStatus = 0;  // a signal that waits for the holds to end
    QString pendingName;
};

// Never destroyed: the watching thread may use it while the program exits.
State& state() {
    static State* const instance = new State;
    return *instance;
}

// One line on standard error, whole, after a progress line's own; no line
// of another thread still at work follows the last one.
void say(const QString& text, bool last = false) {
    const QByteArray line = (ProgressLine::anyShown() ? "\n" : "") + text.toUtf8() + '\n';
    if (last)
        StandardError::writeLast(line);
    else
        StandardError::writeLine(line);
}

// With the state locked, which it keeps: no write or save begins any more.
[[noreturn]] void stopNow(const State& s, int status, const QString& name, const QString& savedFile) {
    if (s.writesEnded > 0)
        say(TarvaneCli::tr("已因%1中止：写入已经结束（见上文），此后的步骤未进行。").arg(name), true);
    else if (!savedFile.isEmpty())
        say(TarvaneCli::tr("已因%1中止：%2已完整保存，未向设备写入任何数据。").arg(name, savedFile), true);
    else
        say(TarvaneCli::tr("已因%1中止，未向设备写入任何数据。").arg(name), true);
    std::_Exit(status);
}

void onSignal(int status, const char* signalName) {
    State& s = state();
    std::unique_lock<std::mutex> lock(s.mutex);
    const QString name = QString::fromLatin1(signalName);
    if (s.holds == 0) stopNow(s, status, name, QString());
    if (s.pendingStatus == 0) {
        s.pendingStatus = status;
        s.pendingName = name;
        return;
    }
    say(TarvaneCli::tr("已收到%1：正在进行的写入或保存结束后就中止。").arg(name));
}

}  // namespace

void install() {
    watchStopSignals(&onSignal);
}

Hold::Hold(Kind kind) : m_kind(kind) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.pendingStatus != 0) {
        m_status = s.pendingStatus;
        return;
    }
    ++s.holds;
}

Hold::~Hold() {
    if (!held()) return;
    State& s = state();
    std::unique_lock<std::mutex> lock(s.mutex);
    --s.holds;
    if (m_kind == Write) ++s.writesEnded;
    if (s.holds == 0 && s.pendingStatus != 0) stopNow(s, s.pendingStatus, s.pendingName, m_file);
}

}  // namespace CliInterrupts
