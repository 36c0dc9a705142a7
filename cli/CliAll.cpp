#include "CliAll.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "BusClaims.h"
#include "CliArguments.h"
#include "CliSession.h"
#include "CliSteps.h"
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
            case TarvaneCli::Done:
                return 0;
            case TarvaneCli::Differences:
                return 1;
            case TarvaneCli::NoSuchDevice:
                return 2;
            case TarvaneCli::UsageOrFileError:
                return 3;
            case TarvaneCli::WrittenButDiffers:
                return 4;
            case TarvaneCli::DeviceFailed:
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
    int status = TarvaneCli::Done;
    QString result;
    QString file;
    bool compared = false;
    QJsonArray differences;
};

bool sameCard(const FoundRepeater& a, const FoundRepeater& b) {
    return a.state == FoundRepeater::State::Identified && b.state == FoundRepeater::State::Identified &&
           sameCardNumber(a.identity.strCardNum, b.identity.strCardNum);
}

// A repeater is worked on when it answered and no other one has its card
// number: its files and the search after its restart go by that number.
void refuseUnusable(CliSession& session, std::vector<Run>& runs) {
    for (Run& run : runs) {
        if (run.found.state != FoundRepeater::State::Identified) {
            run.status = TarvaneCli::DeviceFailed;
            run.result = session.repeaterError(run.found);
            continue;
        }
        for (const Run& other : runs) {
            if (&other == &run || !sameCard(run.found, other.found)) continue;
            run.status = TarvaneCli::NoSuchDevice;
            run.result = TarvaneCli::tr("有多台设备的卡号是%1，均未处理").arg(run.found.identity.strCardNum);
        }
    }
}

void work(const CliSession& parent, QIODevice& err, std::mutex& lock, BusClaims& claims,
          const PerRepeater& perRepeater, Run& run) {
    const QString card = run.found.identity.strCardNum;
    PrefixedLines out(err, lock, card);
    PrefixedLines messages(err, lock, card);
    // Results of one repeater (the fields that differ) are messages here:
    // standard output holds one result line per repeater.
    CliSession session(CliStreams{out, messages, false}, parent);
    run.device->setTrace(session.trace());
    Target target{*run.device, run.found.identity, run.found.path, &claims};
    run.status = perRepeater(session, target);
    run.result = target.result.isEmpty() ? session.lastMessage() : target.result;
    run.file = target.file;
    run.compared = target.compared;
    run.differences = target.differences;
    run.device->close();
    claims.release(run.found.path, run.device.get());
}

QJsonObject jsonObject(const Run& run) {
    const bool identified = run.found.state == FoundRepeater::State::Identified;
    QJsonObject object{
        {QStringLiteral("cardNumber"), identified ? QJsonValue(run.found.identity.strCardNum) : QJsonValue()},
        {QStringLiteral("path"), QString::fromStdString(run.found.path)},
        {QStringLiteral("result"), run.result},
        {QStringLiteral("exitStatus"), run.status},
    };
    if (!run.file.isEmpty()) object.insert(QStringLiteral("file"), QDir::toNativeSeparators(run.file));
    if (run.compared) object.insert(QStringLiteral("differences"), run.differences);
    return object;
}

}  // namespace

int checkFolder(CliSession& session, const char* option, const QString& folder) {
    if (!CliSteps::isStandardStream(folder) && QFileInfo(folder).isDir()) return TarvaneCli::Done;
    session.message(TarvaneCli::tr("有 --all 时，%1 须为已有的文件夹：%2")
                        .arg(QLatin1String(option), QDir::toNativeSeparators(folder)));
    return TarvaneCli::UsageOrFileError;
}

QString fileFor(const QString& folder, const QString& cardNumber) {
    // The card number comes from the device: nothing in it may lead elsewhere.
    QString name = cardNumber;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    if (name.isEmpty() || name.startsWith(QLatin1Char('.'))) name.prepend(QLatin1Char('_'));
    return QDir(folder).filePath(name + QStringLiteral(".txt"));
}

int runForAll(CliSession& session, const CliArguments& arguments, const PerRepeater& perRepeater) {
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
        session.windowMessage("设备未连接");
        return session.outputDone() ? TarvaneCli::NoSuchDevice : TarvaneCli::UsageOrFileError;
    }
    refuseUnusable(session, runs);

    QIODevice& err = session.errDevice();
    std::mutex lock;
    std::vector<std::thread> threads;
    for (Run& run : runs) {
        if (run.status != TarvaneCli::Done) {
            run.device->close();
            claims.release(run.found.path, run.device.get());
            continue;
        }
        threads.emplace_back(work, std::cref(session), std::ref(err), std::ref(lock), std::ref(claims),
                             std::cref(perRepeater), std::ref(run));
    }
    for (std::thread& thread : threads) thread.join();

    int status = TarvaneCli::Done;
    QJsonArray array;
    for (const Run& run : runs) {
        status = worse(status, run.status);
        if (arguments.json) {
            array.append(jsonObject(run));
            continue;
        }
        const bool identified = run.found.state == FoundRepeater::State::Identified;
        session.out() << QStringList{identified ? run.found.identity.strCardNum : QStringLiteral("-"),
                                     QString::fromStdString(run.found.path), run.result,
                                     QString::number(run.status)}
                             .join(QLatin1Char('\t'))
                      << '\n';
    }
    if (arguments.json) session.out() << QJsonDocument(array).toJson(QJsonDocument::Indented);
    return session.outputDone() ? status : TarvaneCli::UsageOrFileError;
}
