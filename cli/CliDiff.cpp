// diff: where the device differs from a parameter file, one line a field;
// with --all for every connected repeater; or two files without a repeater.
#include <QJsonArray>
#include <QJsonDocument>

#include "CliAll.h"
#include "CliArguments.h"
#include "CliCommands.h"
#include "CliLog.h"
#include "CliParameterTransfer.h"
#include "CliSession.h"
#include "HIDDevice.h"
#include "HardwareModel.h"
#include "ParameterDiff.h"
#include "ParameterKeys.h"
#include "ParameterSet.h"

namespace {

// How the differences are shown.
enum class Shown { Lines, Json, None };

// The comparison of the first set with the second, shown; the status: 0 the
// same, 1 differences.
int compare(CliSession& session, Target& target, const ParameterSet& given, const ParameterSet& other,
            Shown shown) {
    const QVector<FieldDifference> differences = ParameterDiff::compare(given, other);
    target.compared = true;
    target.differences = CliParameterTransfer::differencesJson(differences, given, other);
    target.result =
        differences.isEmpty() ? TarvaneCli::tr("相同") : TarvaneCli::tr("%1处不同").arg(differences.size());
    if (shown == Shown::Lines) CliParameterTransfer::printDifferences(session, differences);
    if (shown == Shown::Json)
        session.out() << QJsonDocument(target.differences).toJson(QJsonDocument::Indented);
    if (!session.outputDone()) return CliExit::UsageOrFileError;
    return differences.isEmpty() ? CliExit::Done : CliExit::Differences;
}

int diffOne(CliSession& session, Target& target, const CliParameterTransfer::LoadedFile& file, Shown shown) {
    target.step = Step::File;
    target.setRecordFile(file.path, file.sha256);
    // A field the Write would refuse cannot be what the device holds.
    ParameterSet fromFile = CliParameterTransfer::deviceDefaults(target.identity);
    if (const int status = CliParameterTransfer::completeSet(session, file, &fromFile)) return status;
    if (const int status = session.refuseNotes()) return status;

    target.step = Step::Read;
    if (const int status = interrupted(target, Step::Read, Stopped::NotRead)) return status;
    ParameterSet fromDevice = CliParameterTransfer::deviceDefaults(target.identity);
    const DeviceRead::Result result = CliParameterTransfer::readDevice(session, target.device, fromDevice);
    if (const int status = CliParameterTransfer::readStatus(result)) {
        session.message(DeviceRead::message(result));
        return status;
    }
    return compare(session, target, fromFile, fromDevice, shown);
}

// The model a file is for, by its fiber codes: the table has one route type
// for each count.
const HardwareModel* modelOf(const CliParameterTransfer::LoadedFile& file) {
    const QJsonValue baud =
        file.object.value(ParameterKeys::FiberParam).toObject().value(ParameterKeys::Baud);
    if (!baud.isArray()) return nullptr;
    for (int code = 1; hardwareModel(code); ++code)
        if (hardwareModel(code)->nFiberOptic == baud.toArray().size()) return hardwareModel(code);
    return nullptr;
}

// Two files, the second as a device would hold it: its shape is the model
// its fiber codes make; both must be complete for it.
int diffFiles(CliSession& session, const CliArguments& arguments,
              const CliParameterTransfer::LoadedFile& first) {
    CliParameterTransfer::LoadedFile second;
    if (const int status = CliParameterTransfer::loadFile(session, arguments.against, &second)) return status;
    const HardwareModel* model = modelOf(second);
    if (!model) {
        session.message(TarvaneCli::tr("参数文件%1的光纤代码不合任何型号，无法比较").arg(second.name));
        return CliExit::UsageOrFileError;
    }
    const ParameterSet shape = ParameterSet::defaults(model->nCAN, model->nFiberOptic, model->routeType);
    ParameterSet given = shape;
    ParameterSet other = shape;
    if (const int status = CliParameterTransfer::completeSet(session, first, &given)) return status;
    if (const int status = CliParameterTransfer::completeSet(session, second, &other)) return status;
    if (const int status = session.refuseNotes()) return status;
    HIDDevice none;
    Target target(none);
    return compare(session, target, given, other, arguments.json ? Shown::Json : Shown::Lines);
}

}  // namespace

int runDiff(CliSession& session, const CliArguments& arguments) {
    CliParameterTransfer::LoadedFile file;
    if (const int status = CliParameterTransfer::loadFile(session, arguments.file, &file)) return status;
    if (!arguments.against.isEmpty()) return diffFiles(session, arguments, file);
    const CliLog log(arguments.log, "diff");
    if (arguments.all) {
        // Each repeater's lines on standard error with its name; its result
        // line, or object, on standard output.
        return runForAll(session, arguments, log, [&](CliSession& one, Target& target) {
            return diffOne(one, target, file, Shown::Lines);
        });
    }
    const int status = runForOne(session, arguments, log, [&](CliSession& one, Target& target) {
        return diffOne(one, target, file, arguments.json ? Shown::Json : Shown::Lines);
    });
    // No repeater worked on: no differences known, an array all the same.
    if (status == CliExit::NoSuchDevice && arguments.json) {
        session.out() << "[]\n";
        return session.outputDone() ? status : CliExit::UsageOrFileError;
    }
    return status;
}
