// write: a parameter file into the device, as the window's Open and Write;
// with --backup the device's parameters saved first, with --dry-run only the
// frames shown, with --verify the device read back after its restart, with
// --all every connected repeater at once.
#include <QThread>
#include <algorithm>
#include <map>

#include "BusClaims.h"
#include "CliAll.h"
#include "CliArguments.h"
#include "CliCommands.h"
#include "CliInterrupts.h"
#include "CliLog.h"
#include "CliParameterTransfer.h"
#include "CliSession.h"
#include "DeviceWrite.h"
#include "HIDDevice.h"
#include "ParameterDiff.h"
#include "ParameterSet.h"
#include "RepeaterList.h"

namespace {

// How often the repeater is looked for while it restarts, and how long it
// may take to leave the bus after its reset was acknowledged.
constexpr qint64 kPollMs = 100;
constexpr qint64 kRestartNoticeMs = 2000;

int writeStatus(DeviceWrite::Result result) {
    // As readStatus: anything but Done, named here or not, is the device's failure.
    switch (result) {
        case DeviceWrite::Result::Done:
            return CliExit::Done;
        case DeviceWrite::Result::BaudRateFailed:
        case DeviceWrite::Result::FilterFailed:
        case DeviceWrite::Result::FiberFailed:
        case DeviceWrite::Result::RouteFailed:
        case DeviceWrite::Result::ResetNotSent:
        case DeviceWrite::Result::ResetNoAnswer:
        case DeviceWrite::Result::ResetFailed:
            break;
    }
    return CliExit::DeviceFailed;
}

// Where a Write's result leaves the repeater: a failure before the reset may
// have left it half-written, one at the reset has every parameter in it.
const char* writeStep(DeviceWrite::Result result) {
    switch (result) {
        case DeviceWrite::Result::Done:
            return nullptr;
        case DeviceWrite::Result::ResetNotSent:
        case DeviceWrite::Result::ResetNoAnswer:
        case DeviceWrite::Result::ResetFailed:
            return Step::Reset;
        default:
            return Step::Frames;
    }
}

// What the device held, saved before anything is sent to it.
int backUp(CliSession& session, Target& target, const QString& path) {
    target.step = Step::Backup;
    if (const int status = interrupted(target, Step::Backup, Stopped::Untouched)) return status;
    ParameterSet held = CliParameterTransfer::deviceDefaults(target.identity);
    const DeviceRead::Result result = CliParameterTransfer::readDevice(session, target.device, held);
    if (const int status = CliParameterTransfer::readStatus(result)) {
        session.message(DeviceRead::message(result));
        return status;
    }
    if (const int status = CliParameterTransfer::saveSet(session, held, path)) {
        // A signal came first: the save did not begin.
        if (status >= 128) interrupted(target, Step::Backup, Stopped::Untouched);
        return status;
    }
    if (!CliParameterTransfer::isStandardStream(path))
        session.message(TarvaneCli::tr("备份已保存：%1").arg(path));
    target.file = path;
    return CliExit::Done;
}

int send(CliSession& session, Target& target, const ParameterSet& set) {
    target.step = Step::Frames;
    // A signal now would leave the repeater half written: it waits until the
    // write, the reset and the message that tells of them are done.
    CliInterrupts::Hold hold(CliInterrupts::Hold::Write);
    if (!hold.held()) {
        interrupted(target, Step::Frames, Stopped::Untouched);
        return hold.status();
    }
    DeviceWrite writing(target.device, set);
    DeviceWrite::Result result;
    {
        ProgressLine progress = session.progressLine();
        writing.setProgress([&](int step, int steps) {
            progress.show(TarvaneCli::tr("写入：第%1步，共%2步").arg(step).arg(steps));
        });
        result = writing.run();
    }
    if (const char* step = writeStep(result)) {
        target.step = step;
        // Before the window's message, which stays the last line.
        session.message(step == Step::Reset
                            ? TarvaneCli::tr("各参数帧均已确认，但复位未完成。")
                            : TarvaneCli::tr("在复位之前失败：设备可能只写入了一部分参数，也未复位。"));
    }
    session.message(DeviceWrite::message(result));
    return writeStatus(result);
}

int compare(CliSession& session, Target& target, const ParameterSet& written, const ParameterSet& held) {
    const QVector<FieldDifference> differences = ParameterDiff::compare(written, held);
    CliParameterTransfer::printDifferences(session, differences);
    target.compared = true;
    target.differences = CliParameterTransfer::differencesJson(differences, written, held);
    if (!session.outputDone()) return CliExit::UsageOrFileError;
    if (differences.isEmpty()) {
        session.message(TarvaneCli::tr("校验无误：设备保存的参数与写入的相同"));
        return CliExit::Done;
    }
    session.message(TarvaneCli::tr("已写入，但设备保存的参数与写入的不同"));
    return CliExit::WrittenButDiffers;
}

// Looks for the repeater with a card number among those on the bus after
// its reset. Every repeater that no other thread works on is opened and
// asked who it is, once: one that gave another card number is not asked
// again while it stays on the bus.
class RestartSearch {
public:
    enum class Found { None, One, Several };

    RestartSearch(CliSession& session, const Target& target) : m_session(session), m_target(target) {}
    ~RestartSearch() { release(); }

    // Leaves `device` open on the repeater when it was found once, until
    // the next look or release().
    Found look(HIDDevice& device) {
        release();
        device.close();
        const std::vector<std::string> paths = m_session.listRepeaters();
        const auto listed = [&paths](const std::string& path) {
            return std::find(paths.begin(), paths.end(), path) != paths.end();
        };
        m_left = m_left || !listed(m_target.path);
        for (auto other = m_others.begin(); other != m_others.end();)
            other = listed(other->first) ? std::next(other) : m_others.erase(other);
        int matches = 0;
        for (const std::string& path : paths) {
            if (m_others.count(path) != 0 ||
                (m_target.claims && !m_target.claims->look(path, &m_target.device)))
                continue;
            HIDDevice probe;
            HIDDevice& handle = matches == 0 ? device : probe;
            const FoundRepeater repeater = m_session.open(path, handle);
            const bool identified = repeater.state == FoundRepeater::State::Identified;
            // One named by its path is looked for there: its card number tells it from no other.
            const bool ours = identified &&
                              sameCardNumber(repeater.identity.strCardNum, m_target.identity.strCardNum) &&
                              (!m_target.byPath || path == m_target.path);
            if (identified && !ours) m_others[path] = repeater.identity.strCardNum;
            if (ours && ++matches == 1) {
                m_found = path;  // stays open, held while it is read: the others pass it by, not wait
                if (m_target.claims) m_target.claims->hold(path, &m_target.device);
                continue;
            }
            handle.close();
            if (m_target.claims) m_target.claims->release(path, &m_target.device);
        }
        if (matches > 1) {
            device.close();
            release();
            return Found::Several;
        }
        return matches == 1 ? Found::One : Found::None;
    }
    // Lets other threads look at the repeater found.
    void release() {
        if (!m_found.empty() && m_target.claims) m_target.claims->release(m_found, &m_target.device);
        m_found.clear();
    }
    // Whether the repeater's path was left off the list since the reset.
    bool left() const { return m_left; }

private:
    CliSession& m_session;
    const Target& m_target;
    std::map<std::string, QString> m_others;  // path -> the card number it gave
    std::string m_found;
    bool m_left = false;
};

// After the reset: the repeater with this card number, once it answers
// again, read and compared with what was written. It leaves the bus while
// it restarts; one that does not (or not seen to) is read 2 s after its
// reset all the same, and at the end of the wait whatever happened.
int verify(CliSession& session, Target& target, const ParameterSet& written, int waitSeconds) {
    const qint64 deadline = session.elapsed() + qint64(waitSeconds) * 1000;
    const qint64 readableFrom = qMin(deadline, session.elapsed() + kRestartNoticeMs);
    const qint64 start = session.elapsed();
    target.step = Step::Verify;
    RestartSearch search(session, target);
    ProgressLine waiting = session.progressLine();
    bool gone = false;
    for (qint64 now = start;; now = session.elapsed()) {
        if (const int status = interrupted(target, Step::Verify, Stopped::NotVerified)) {
            waiting.end();
            return status;
        }
        const bool last = now >= deadline;
        waiting.show(
            TarvaneCli::tr("等待设备重新应答：%1秒，最多%2秒").arg((now - start) / 1000).arg(waitSeconds));
        HIDDevice device;
        const RestartSearch::Found found = search.look(device);
        if (found == RestartSearch::Found::Several) {
            waiting.end();
            session.message(TarvaneCli::tr("有多台设备的卡号是%1，无法校验").arg(target.identity.strCardNum));
            return CliExit::NoSuchDevice;
        }
        gone = gone || found == RestartSearch::Found::None;
        if (found == RestartSearch::Found::One && (gone || now >= readableFrom || last)) {
            waiting.end();
            ParameterSet held = CliParameterTransfer::deviceDefaults(target.identity);
            const DeviceRead::Result result = CliParameterTransfer::readDevice(session, device, held);
            if (result == DeviceRead::Result::Done) return compare(session, target, written, held);
            if (last) {
                session.message(DeviceRead::message(result));
                return CliExit::DeviceFailed;
            }
        }
        if (last) break;
        device.close();
        search.release();
        QThread::msleep(static_cast<unsigned long>(qMin(kPollMs, deadline - now)));
    }
    waiting.end();
    session.message(search.left()
                        ? TarvaneCli::tr("设备复位后离开了总线，%1秒内没有回来").arg(waitSeconds)
                        : TarvaneCli::tr("设备复位后没有离开总线，%1秒内也没有再应答").arg(waitSeconds));
    return CliExit::DeviceFailed;
}

// One repeater: the file's values for it, its backup, the write, the check.
int writeOne(CliSession& session, const CliArguments& arguments, const CliParameterTransfer::LoadedFile& file,
             Target& target, const QString& backup) {
    target.step = Step::File;
    target.setRecordFile(file.path, file.sha256);
    if (const int status = CliParameterTransfer::checkBackupPath(session, backup, file)) return status;
    ParameterSet set = CliParameterTransfer::deviceDefaults(target.identity);
    if (const int status = CliParameterTransfer::completeSet(session, file, &set)) return status;
    if (const int status = CliParameterTransfer::writeNotes(session, set)) return status;
    if (!backup.isEmpty()) {
        if (const int status = backUp(session, target, backup)) return status;
    }
    if (const int status = interrupted(target, Step::Frames, Stopped::Untouched)) return status;
    if (const int status = send(session, target, set)) return status;
    if (!arguments.verify) return CliExit::Done;
    // The repeater restarts: the handle is gone with it, and another thread
    // may look at the repeater now.
    target.device.close();
    if (target.claims) target.claims->release(target.path, &target.device);
    return verify(session, target, set, arguments.waitSeconds);
}

// The frames for the device meant or for the model --type names, which needs
// no repeater; nothing is sent.
int dryRun(CliSession& session, const CliArguments& arguments, const CliParameterTransfer::LoadedFile& file) {
    HIDDevice device;
    ParameterSet set;
    if (arguments.type != 0) {
        const HardwareModel* model = hardwareModel(arguments.type);
        set = ParameterSet::defaults(model->nCAN, model->nFiberOptic, model->routeType);
    } else {
        DeviceIdentity identity;
        if (const int status = session.openDevice(arguments.device, device, &identity)) return status;
        set = CliParameterTransfer::deviceDefaults(identity);
    }
    if (const int status = CliParameterTransfer::completeSet(session, file, &set)) return status;
    if (const int status = CliParameterTransfer::writeNotes(session, set)) return status;
    for (const QByteArray& frame : DeviceWrite::frames(set))
        session.out() << frame.toHex(' ').toUpper() << '\n';
    return session.outputDone() ? CliExit::Done : CliExit::UsageOrFileError;
}

}  // namespace

int runWrite(CliSession& session, const CliArguments& arguments) {
    CliParameterTransfer::LoadedFile file;
    if (const int status = CliParameterTransfer::loadFile(session, arguments.file, &file)) return status;
    if (arguments.dryRun) return dryRun(session, arguments, file);
    const CliLog log(arguments.log, "write");
    if (arguments.all) {
        if (!arguments.backup.isEmpty()) {
            if (const int status = checkFolder(session, "--backup", arguments.backup)) return status;
        }
        return runForAll(session, arguments, log, [&](CliSession& one, Target& target) {
            const QString backup =
                arguments.backup.isEmpty() ? QString() : fileFor(arguments.backup, target.name);
            return writeOne(one, arguments, file, target, backup);
        });
    }
    if (const int status = CliParameterTransfer::checkBackupPath(session, arguments.backup, file))
        return status;
    return runForOne(session, arguments, log, [&](CliSession& one, Target& target) {
        return writeOne(one, arguments, file, target, arguments.backup);
    });
}
