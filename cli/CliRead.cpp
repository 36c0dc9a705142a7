// read: the device's parameters into a parameter file, as the window's Read
// and Save.
#include "CliArguments.h"
#include "CliCommands.h"
#include "CliSession.h"
#include "CliSteps.h"
#include "DeviceSearch.h"
#include "HIDDevice.h"
#include "ParameterSet.h"

int runRead(CliSession& session, const CliArguments& arguments) {
    HIDDevice device;
    DeviceIdentity identity;
    if (const int status = session.openDevice(arguments.device, device, &identity)) return status;

    ParameterSet set = CliSteps::deviceDefaults(identity);
    const DeviceRead::Result result = CliSteps::readDevice(session, device, set);
    session.windowMessage(DeviceRead::message(result));
    if (const int status = CliSteps::readStatus(result)) return status;

    if (const int status = CliSteps::saveSet(session, set, arguments.output)) return status;
    if (!CliSteps::isStandardStream(arguments.output)) session.windowMessage("保存完成");
    return TarvaneCli::Done;
}
