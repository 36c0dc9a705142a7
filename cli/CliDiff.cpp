// diff: where the device differs from a parameter file, one line a field;
// with --all for every connected repeater.
#include <QJsonDocument>

#include "CliAll.h"
#include "CliArguments.h"
#include "CliCommands.h"
#include "CliSession.h"
#include "CliSteps.h"
#include "DeviceSearch.h"
#include "HIDDevice.h"
#include "ParameterDiff.h"
#include "ParameterSet.h"

namespace {

// The differences go to standard output as lines unless they go there as
// JSON once the comparison is done.
int diffOne(CliSession& session, Target& target, const CliSteps::LoadedFile& file, bool lines) {
    // A field the Write would refuse cannot be what the device holds.
    ParameterSet fromFile = CliSteps::deviceDefaults(target.identity);
    if (const int status = CliSteps::completeSet(session, file, &fromFile)) return status;

    ParameterSet fromDevice = CliSteps::deviceDefaults(target.identity);
    const DeviceRead::Result result = CliSteps::readDevice(session, target.device, fromDevice);
    if (const int status = CliSteps::readStatus(result)) {
        session.message(DeviceRead::message(result));
        return status;
    }

    const QVector<FieldDifference> differences = ParameterDiff::compare(fromFile, fromDevice);
    target.compared = true;
    target.differences = CliSteps::differencesJson(differences, fromFile, fromDevice);
    target.result =
        differences.isEmpty() ? TarvaneCli::tr("相同") : TarvaneCli::tr("%1处不同").arg(differences.size());
    if (lines) CliSteps::printDifferences(session, differences);
    if (!session.outputDone()) return TarvaneCli::UsageOrFileError;
    return differences.isEmpty() ? TarvaneCli::Done : TarvaneCli::Differences;
}

}  // namespace

int runDiff(CliSession& session, const CliArguments& arguments) {
    CliSteps::LoadedFile file;
    if (const int status = CliSteps::loadFile(session, arguments.file, &file)) return status;
    if (arguments.all) {
        // Each repeater's lines on standard error with its card number; its
        // result line, or object, on standard output.
        return runForAll(session, arguments,
                         [&](CliSession& one, Target& target) { return diffOne(one, target, file, true); });
    }
    HIDDevice device;
    Target target(device);
    if (const int status = session.openDevice(arguments.device, device, &target.identity)) return status;
    const int status = diffOne(session, target, file, !arguments.json);
    if (!arguments.json || !target.compared) return status;
    session.out() << QJsonDocument(target.differences).toJson(QJsonDocument::Indented);
    return session.outputDone() ? status : TarvaneCli::UsageOrFileError;
}
