// diff: where the device differs from a parameter file, one line a field.
#include <QJsonObject>

#include "CliArguments.h"
#include "CliCommands.h"
#include "CliSession.h"
#include "CliSteps.h"
#include "DeviceSearch.h"
#include "HIDDevice.h"
#include "ParameterDiff.h"
#include "ParameterSet.h"

int runDiff(CliSession& session, const CliArguments& arguments) {
    CliSteps::LoadedFile file;
    if (const int status = CliSteps::loadFile(session, arguments.file, &file)) return status;
    HIDDevice device;
    DeviceIdentity identity;
    if (const int status = session.openDevice(arguments.device, device, &identity)) return status;

    // A field the Write would refuse cannot be what the device holds.
    ParameterSet fromFile = CliSteps::deviceDefaults(identity);
    if (const int status = CliSteps::completeSet(session, file, &fromFile)) return status;

    ParameterSet fromDevice = CliSteps::deviceDefaults(identity);
    const DeviceRead::Result result = CliSteps::readDevice(session, device, fromDevice);
    if (const int status = CliSteps::readStatus(result)) {
        session.windowMessage(DeviceRead::message(result));
        return status;
    }

    const QVector<FieldDifference> differences = ParameterDiff::compare(fromFile, fromDevice);
    CliSteps::printDifferences(session, differences);
    if (!session.outputDone()) return TarvaneCli::UsageOrFileError;
    return differences.isEmpty() ? TarvaneCli::Done : TarvaneCli::Differences;
}
