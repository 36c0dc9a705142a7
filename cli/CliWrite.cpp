// write: a parameter file into the device, as the window's Open and Write;
// with --backup the device's parameters saved first, with --dry-run only the
// frames shown, with --verify the device read back after its restart.
#include <QJsonObject>
#include <QThread>

#include "CliArguments.h"
#include "CliCommands.h"
#include "CliSession.h"
#include "CliSteps.h"
#include "DeviceWrite.h"
#include "HIDDevice.h"
#include "ParameterChecks.h"
#include "ParameterDiff.h"
#include "ParameterSet.h"
#include "RepeaterList.h"

namespace {

// How often the repeater is looked for while it restarts, and how long it
// may take to leave the bus after its reset was acknowledged.
constexpr unsigned long kPollMs = 100;
constexpr qint64 kRestartNoticeMs = 2000;

int writeStatus(DeviceWrite::Result result) {
    // As readStatus: anything but Done, named here or not, is the device's failure.
    switch (result) {
        case DeviceWrite::Result::Done:
            return TarvaneCli::Done;
        case DeviceWrite::Result::BaudRateFailed:
        case DeviceWrite::Result::FilterFailed:
        case DeviceWrite::Result::FiberFailed:
        case DeviceWrite::Result::RouteFailed:
        case DeviceWrite::Result::ResetNotSent:
        case DeviceWrite::Result::ResetNoAnswer:
        case DeviceWrite::Result::ResetFailed:
            break;
    }
    return TarvaneCli::DeviceFailed;
}

// The defaults of the device that is meant, or of the model --type names,
// which needs no repeater: its frames are only shown.
int startingSet(CliSession& session, const CliArguments& arguments, HIDDevice& device,
                DeviceIdentity* identity, ParameterSet* set) {
    if (arguments.type != 0) {
        const HardwareModel* model = hardwareModel(arguments.type);
        *set = ParameterSet::defaults(model->nCAN, model->nFiberOptic, model->routeType);
        return TarvaneCli::Done;
    }
    if (const int status = session.openDevice(arguments.device, device, identity)) return status;
    *set = CliSteps::deviceDefaults(*identity);
    return TarvaneCli::Done;
}

// What the device held, saved before anything is sent to it.
int backUp(CliSession& session, HIDDevice& device, const DeviceIdentity& identity, const QString& path) {
    ParameterSet held = CliSteps::deviceDefaults(identity);
    const DeviceRead::Result result = CliSteps::readDevice(session, device, held);
    if (const int status = CliSteps::readStatus(result)) {
        session.windowMessage(DeviceRead::message(result));
        return status;
    }
    if (const int status = CliSteps::saveSet(session, held, path)) return status;
    if (!CliSteps::isStandardStream(path)) session.message(TarvaneCli::tr("备份已保存：%1").arg(path));
    return TarvaneCli::Done;
}

int send(CliSession& session, HIDDevice& device, const ParameterSet& set) {
    DeviceWrite writing(device, set);
    DeviceWrite::Result result;
    {
        ProgressLine progress = session.progressLine();
        writing.setProgress([&](int step, int steps) {
            progress.show(TarvaneCli::tr("写入：第%1步，共%2步").arg(step).arg(steps));
        });
        result = writing.run();
    }
    session.windowMessage(DeviceWrite::message(result));
    return writeStatus(result);
}

// The repeater at `path` read into `held`; false while it cannot be.
bool readBack(CliSession& session, const std::string& path, ParameterSet* held) {
    HIDDevice device;
    const FoundRepeater repeater = session.open(path, device);
    *held = CliSteps::deviceDefaults(repeater.identity);
    return repeater.state == FoundRepeater::State::Identified &&
           CliSteps::readDevice(session, device, *held) == DeviceRead::Result::Done;
}

int compare(CliSession& session, const ParameterSet& written, const ParameterSet& held) {
    const QVector<FieldDifference> differences = ParameterDiff::compare(written, held);
    CliSteps::printDifferences(session, differences);
    if (!session.outputDone()) return TarvaneCli::UsageOrFileError;
    if (differences.isEmpty()) {
        session.message(TarvaneCli::tr("校验无误：设备保存的参数与写入的相同"));
        return TarvaneCli::Done;
    }
    session.message(TarvaneCli::tr("已写入，但设备保存的参数与写入的不同"));
    return TarvaneCli::WrittenButDiffers;
}

// After the reset: the repeater with this card number, once it answers
// again, read and compared with what was written.
int verify(CliSession& session, const QString& cardNumber, const ParameterSet& written, int waitSeconds) {
    const qint64 deadline = session.elapsed() + qint64(waitSeconds) * 1000;
    // A reset takes the repeater off the bus before it answers again; one
    // that never goes (or goes unseen) is read once it answers, all the same.
    const qint64 goneBy = qMin(deadline, session.elapsed() + kRestartNoticeMs);
    bool gone = false;
    while (session.elapsed() < deadline) {
        std::string path;
        QVector<FoundRepeater> candidates;
        const RepeaterList::Choice choice =
            RepeaterList::choose(cardNumber, &path, &candidates, session.trace());
        if (choice == RepeaterList::Choice::SeveralFound) {
            session.message(TarvaneCli::tr("有多台设备的卡号是%1，无法校验").arg(cardNumber));
            return TarvaneCli::NoSuchDevice;
        }
        ParameterSet held;
        if (choice != RepeaterList::Choice::Chosen)
            gone = true;
        else if ((gone || session.elapsed() >= goneBy) && readBack(session, path, &held))
            return compare(session, written, held);
        QThread::msleep(kPollMs);
    }
    session.message(TarvaneCli::tr("设备复位后%1秒内没有再应答").arg(waitSeconds));
    return TarvaneCli::DeviceFailed;
}

}  // namespace

int runWrite(CliSession& session, const CliArguments& arguments) {
    CliSteps::LoadedFile file;
    if (const int status = CliSteps::loadFile(session, arguments.file, &file)) return status;
    if (const int status = CliSteps::checkBackupPath(session, arguments.backup, arguments.file)) return status;

    HIDDevice device;
    DeviceIdentity identity;
    ParameterSet set;
    if (const int status = startingSet(session, arguments, device, &identity, &set)) return status;
    if (const int status = CliSteps::completeSet(session, file, &set)) return status;
    // A script cannot be asked, as the window asks: it is told.
    for (const QString& line : ParameterChecks::testModes(set))
        session.message(TarvaneCli::tr("注意：%1").arg(line));

    if (!arguments.backup.isEmpty()) {
        if (const int status = backUp(session, device, identity, arguments.backup)) return status;
    }
    if (arguments.dryRun) {
        for (const QByteArray& frame : DeviceWrite::frames(set))
            session.out() << frame.toHex(' ').toUpper() << '\n';
        return session.outputDone() ? TarvaneCli::Done : TarvaneCli::UsageOrFileError;
    }
    if (const int status = send(session, device, set)) return status;
    if (!arguments.verify) return TarvaneCli::Done;
    // The repeater restarts: the handle is gone with it.
    device.close();
    return verify(session, identity.strCardNum, set, arguments.waitSeconds);
}
