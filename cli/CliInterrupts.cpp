#include "CliInterrupts.h"

#include <QByteArray>
#include <cstdlib>
#include <mutex>

#include "ProgressLine.h"
#include "StandardError.h"
#include "TarvaneCli.h"
#include "platform/Console.h"
#include "platform/StopSignals.h"

namespace CliInterrupts {

namespace {

struct State {
    std::mutex mutex;
    bool installed = false;
    int holds = 0;
    int writesEnded = 0;
    int defers = 0;
    Stop pending;  // a signal that waits for the holds or the defers to end
    OnStop::LastWords lastWords;
};

// Never destroyed: the watching thread may use it while the program exits.
State& state() {
    static State* const instance = new State;
    return *instance;
}

// One line on standard error, whole, after a progress line's own.
QByteArray lineOf(const QString& text) {
    return (ProgressLine::anyShown() ? "\n" : "") + text.toUtf8() + '\n';
}

void say(const QString& text) {
    StandardError::writeLine(lineOf(text));
}

// With the state locked, which it keeps: no write or save begins any more.
[[noreturn]] void stopNow(const State& s, int status, const QString& name, const QString& savedFile) {
    QString line;
    if (s.writesEnded > 0)
        line = TarvaneCli::tr("已因%1中止：写入已经结束（见上文），此后的步骤未进行。").arg(name);
    else if (!savedFile.isEmpty())
        line = TarvaneCli::tr("已因%1中止：%2已完整保存，未向设备写入任何数据。").arg(name, savedFile);
    else
        line = TarvaneCli::tr("已因%1中止，未向设备写入任何数据。").arg(name);
    if (s.lastWords) s.lastWords(status, line);
    // The last line: a trace or message of a thread still at work does not follow it.
    StandardError::writeLast(lineOf(line));
    std::_Exit(status);
}

void onSignal(int status, const char* signalName) {
    State& s = state();
    std::unique_lock<std::mutex> lock(s.mutex);
    const QString name = QString::fromLatin1(signalName);
    if (s.holds == 0 && s.defers == 0) stopNow(s, status, name, QString());
    if (s.pending.status == 0) {
        s.pending = {status, name};
        return;
    }
    say(TarvaneCli::tr("已收到%1：正在进行的写入或保存结束后就中止。").arg(name));
}

}  // namespace

void install() {
    holdStopSignals();
    state().installed = true;
}

void watch() {
    if (state().installed) watchStopSignals(&onSignal);
}

Hold::Hold(Kind kind) : m_kind(kind) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.pending.status != 0 && kind != Record) {
        m_status = s.pending.status;
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
    if (s.holds == 0 && s.defers == 0 && s.pending.status != 0)
        stopNow(s, s.pending.status, s.pending.name, m_file);
}

Stop requested() {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.pending;
}

Defer::Defer() {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    ++s.defers;
}

Defer::~Defer() {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    --s.defers;
}

OnStop::OnStop(LastWords lastWords) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.lastWords = std::move(lastWords);
}

OnStop::~OnStop() {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.lastWords = nullptr;
}

}  // namespace CliInterrupts
