#include "CliAll.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "BusClaims.h"
#include "CliArguments.h"
#include "CliInterrupts.h"
#include "CliLog.h"
#include "CliParameterTransfer.h"
#include "CliSession.h"
#include "HIDDevice.h"
#include "RepeaterList.h"

namespace {

// The worse of two statuses, for the one that reports them all: a repeater
// that failed part-way (4) before one that holds something else (5), before
// a file that could not be saved (2; nothing sent), one not worked on (3) and
// differences found (1). A signal ends everything.
int worse(int a, int b) {
    const auto rank = [](int status) {
        switch (status) {
            case CliExit::Done:
                return 0;
            case CliExit::Differences:
                return 1;
            case CliExit::NoSuchDevice:
                return 2;
            case CliExit::UsageOrFileError:
                return 3;
            case CliExit::WrittenButDiffers:
                return 4;
            case CliExit::DeviceFailed:
                return 5;
            default:
                return 6;
        }
    };
    return rank(b) > rank(a) ? b : a;
}

// Writes what it is given to `target` line by line, each line with the
// repeater's card number in front and written whole under `lock`, so that
// the lines of several threads never mix.
class PrefixedLines : public QIODevice {
public:
    PrefixedLines(QIODevice& target, std::mutex& lock, const QString& prefix)
        : m_target(target), m_lock(lock), m_prefix(prefix.toUtf8() + ": ") {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    ~PrefixedLines() override {
        if (!m_pending.isEmpty()) writeLine(m_pending + '\n');
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        m_pending.append(data, int(size));
        for (int end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
            if (!writeLine(m_pending.left(end + 1))) return -1;
            m_pending.remove(0, end + 1);
        }
        return size;
    }

private:
    bool writeLine(const QByteArray& line) {
        std::lock_guard<std::mutex> guard(m_lock);
        const QByteArray bytes = m_prefix + line;
        return m_target.write(bytes) == bytes.size();
    }

    QIODevice& m_target;
    std::mutex& m_lock;
    const QByteArray m_prefix;
    QByteArray m_pending;
};

// One repeater of --all: found and asked who it is on the main thread,
// worked on by a thread of its own.
struct Run {
    FoundRepeater found;
    std::unique_ptr<HIDDevice> device;
    QString name;
    bool byPath = false;
    int status = CliExit::Done;
    QString result;
    const char* step = nullptr;
    QString file;
    bool compared = false;
    QJsonArray differences;
};

bool identified(const Run& run) {
    return run.found.state == FoundRepeater::State::Identified;
}

void work(const CliSession& parent, QIODevice& err, std::mutex& lock, BusClaims& claims, const CliLog& log,
          const PerRepeater& perRepeater, Run& run) {
    const QString prefix = CliSession::field(run.name);
    PrefixedLines out(err, lock, prefix);
    PrefixedLines messages(err, lock, prefix);
    // Results of one repeater (the fields that differ) are messages here:
    // standard output holds one result line per repeater.
    CliSession session(CliStreams{out, messages, false}, parent);
    run.device->setTrace(session.trace());
    Target target{*run.device, run.found.identity, run.found.path, &claims};
    target.name = run.name;
    target.byPath = run.byPath;
    run.status = perRepeater(session, target);
    run.result = target.result.isEmpty() ? session.lastMessage() : target.result;
    const int logged = log.record(session, target, run.status, run.result);
    if (logged && run.status == CliExit::Done) run.status = logged;
    run.step = target.step;
    run.file = target.file;
    run.compared = target.compared;
    run.differences = target.differences;
    run.device->close();
    claims.release(run.found.path, run.device.get());
}

QJsonObject jsonObject(const Run& run) {
    const bool failed = run.status != CliExit::Done && run.status != CliExit::Differences;
    // The same keys for every repeater, null where there is nothing to say.
    return {
        {QStringLiteral("cardNumber"),
         identified(run) ? QJsonValue(run.found.identity.strCardNum) : QJsonValue()},
        {QStringLiteral("name"), run.name},
        {QStringLiteral("path"), QString::fromStdString(run.found.path)},
        {QStringLiteral("result"), run.result},
        {QStringLiteral("exitStatus"), run.status},
        {QStringLiteral("step"), failed && run.step ? QJsonValue(QLatin1String(run.step)) : QJsonValue()},
        {QStringLiteral("file"),
         run.file.isEmpty() ? QJsonValue() : QJsonValue(QDir::toNativeSeparators(run.file))},
        {QStringLiteral("differences"), run.compared ? QJsonValue(run.differences) : QJsonValue()},
    };
}

// Why an identified repeater goes by its path.
void sayNamedByPath(CliSession& session, const QString& name, const QString& card) {
    session.message(
        CliSession::field(name) + QStringLiteral(": ") +
        (card.trimmed().isEmpty()
             ? TarvaneCli::tr("卡号为空，以路径称呼此设备")
             : TarvaneCli::tr("卡号“%1”与另一台设备的相同，以路径称呼此设备").arg(CliSession::field(card))));
}

// Whether the one repeater a command works on goes by its path among all
// those connected; the others are asked who they are only when its own card
// number does not already say so.
bool namedByPath(CliSession& session, const Target& target) {
    FoundRepeater self;
    self.path = target.path;
    self.state = FoundRepeater::State::Identified;
    self.identity = target.identity;
    QVector<FoundRepeater> all{self};
    if (RepeaterList::namedByPath(self, all)) return true;
    for (const std::string& path : session.listRepeaters()) {
        if (path == target.path) continue;
        HIDDevice other;
        all.append(session.open(path, other));
    }
    return RepeaterList::namedByPath(self, all);
}

// The repeaters in list order, each with its name; those named by their
// path say so.
void nameRuns(CliSession& session, std::vector<Run>& runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return RepeaterList::listedBefore(a.found, b.found); });
    QVector<FoundRepeater> all;
    for (const Run& run : runs) all.append(run.found);
    for (Run& run : runs) {
        run.name = RepeaterList::unitName(run.found, all);
        run.byPath = RepeaterList::namedByPath(run.found, all);
        if (identified(run) && run.byPath) sayNamedByPath(session, run.name, run.found.identity.strCardNum);
    }
}

// A repeater that did not answer: its result, and its record.
void notAnswered(CliSession& session, const CliLog& log, Run& run) {
    run.status = CliExit::DeviceFailed;
    run.result = session.repeaterError(run.found);
    run.step = Step::Open;
    Target target(*run.device, DeviceIdentity(), run.found.path);
    target.identified = false;
    target.name = run.name;
    target.step = Step::Open;
    log.record(session, target, run.status, run.result);
}

}  // namespace

int checkFolder(CliSession& session, const char* option, const QString& folder) {
    if (!CliParameterTransfer::isStandardStream(folder) && QFileInfo(folder).isDir()) return CliExit::Done;
    session.message(TarvaneCli::tr("有 --all 时，%1 须为已有的文件夹：%2")
                        .arg(QLatin1String(option), QDir::toNativeSeparators(folder)));
    return CliExit::UsageOrFileError;
}

int interrupted(Target& target, const char* step, Stopped what) {
    const CliInterrupts::Stop stop = CliInterrupts::requested();
    if (stop.status == 0) return CliExit::Done;
    target.step = step;
    switch (what) {
        case Stopped::Untouched:
            target.result = TarvaneCli::tr("因%1中止：未向设备发送任何数据").arg(stop.name);
            break;
        case Stopped::NotVerified:
            target.result = TarvaneCli::tr("已写入；因%1中止，未校验").arg(stop.name);
            break;
        case Stopped::NotRead:
            target.result = TarvaneCli::tr("因%1中止，未读取设备").arg(stop.name);
            break;
        case Stopped::NotSaved:
            target.result = TarvaneCli::tr("已读取；因%1中止，未保存").arg(stop.name);
            break;
    }
    return stop.status;
}

QString fileFor(const QString& folder, const QString& name) {
    return QDir(folder).filePath(RepeaterList::fileName(name) + QStringLiteral(".txt"));
}

int runForAll(CliSession& session, const CliArguments& arguments, const CliLog& log,
              const PerRepeater& perRepeater) {
    if (const int status = log.check(session)) return status;
    // From here on a signal is each repeater's to tell: every one gets its
    // result line, whatever was under way.
    CliInterrupts::Defer defer;
    std::vector<Run> runs;
    BusClaims claims;
    for (const std::string& path : session.listRepeaters()) {
        Run run;
        run.device = std::make_unique<HIDDevice>();
        run.found = session.open(path, *run.device);
        // Claimed before any thread starts, so that none looks at another's repeater.
        claims.hold(path, run.device.get());
        runs.push_back(std::move(run));
    }
    if (runs.empty()) {
        if (arguments.json) session.out() << "[]\n";
        session.message(WindowTexts::tr("设备未连接"));
        return session.outputDone() ? CliExit::NoSuchDevice : CliExit::UsageOrFileError;
    }
    nameRuns(session, runs);

    QIODevice& err = session.errDevice();
    std::mutex lock;
    std::vector<std::thread> threads;
    for (Run& run : runs) {
        if (!identified(run)) {
            notAnswered(session, log, run);
            run.device->close();
            claims.release(run.found.path, run.device.get());
            continue;
        }
        threads.emplace_back(work, std::cref(session), std::ref(err), std::ref(lock), std::ref(claims),
                             std::cref(log), std::cref(perRepeater), std::ref(run));
    }
    for (std::thread& thread : threads) thread.join();

    int status = CliExit::Done;
    QJsonArray array;
    for (const Run& run : runs) {
        status = worse(status, run.status);
        if (arguments.json) {
            array.append(jsonObject(run));
            continue;
        }
        session.out() << QStringList{identified(run) ? CliSession::field(run.name) : QStringLiteral("-"),
                                     CliSession::field(QString::fromStdString(run.found.path)),
                                     CliSession::field(run.result), QString::number(run.status)}
                             .join(QLatin1Char('\t'))
                      << '\n';
    }
    if (arguments.json) session.out() << QJsonDocument(array).toJson(QJsonDocument::Indented);
    const bool shown = session.outputDone();
    const CliInterrupts::Stop stop = CliInterrupts::requested();
    if (stop.status != 0) {
        session.message(TarvaneCli::tr("已因%1中止：各台设备的结果见上文。").arg(stop.name));
        return stop.status;
    }
    return shown ? status : CliExit::UsageOrFileError;
}

int runForOne(CliSession& session, const CliArguments& arguments, const CliLog& log,
              const PerRepeater& perRepeater) {
    if (const int status = log.check(session)) return status;
    HIDDevice device;
    Target target(device);
    if (const int status = session.openDevice(arguments.device, device, &target.identity, &target.path)) {
        if (target.path.empty()) return status;  // none was chosen
        target.identified = false;
        target.name = RepeaterList::pathName(target.path);
        target.step = Step::Open;
        log.record(session, target, status, session.lastMessage());
        return status;
    }
    // One looked for again after its reset (write --verify) is looked for at
    // its path when its card number names it not alone, as with --all; the
    // others are asked only then. Otherwise only a blank card number is
    // known to name none.
    target.byPath =
        arguments.verify ? namedByPath(session, target) : target.identity.strCardNum.trimmed().isEmpty();
    target.name = target.byPath ? RepeaterList::pathName(target.path) : target.identity.strCardNum;
    if (arguments.verify && target.byPath) sayNamedByPath(session, target.name, target.identity.strCardNum);
    // A signal that ends the program leaves the record of what was under way.
    CliInterrupts::OnStop lastWords(
        [&](int status, const QString& line) { log.recordStop(target, status, line); });
    int status = perRepeater(session, target);
    const int logged =
        log.record(session, target, status, target.result.isEmpty() ? session.lastMessage() : target.result);
    if (logged && status == CliExit::Done) status = logged;
    return status;
}
