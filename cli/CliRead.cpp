// read: the device's parameters into a parameter file, as the window's Read
// and Save; with --all every connected repeater into a folder.
#include "CliAll.h"
#include "CliArguments.h"
#include "CliCommands.h"
#include "CliSession.h"
#include "CliSteps.h"
#include "DeviceSearch.h"
#include "HIDDevice.h"
#include "ParameterSet.h"

namespace {

int readOne(CliSession& session, Target& target, const QString& output) {
    ParameterSet set = CliSteps::deviceDefaults(target.identity);
    const DeviceRead::Result result = CliSteps::readDevice(session, target.device, set);
    session.message(DeviceRead::message(result));
    if (const int status = CliSteps::readStatus(result)) return status;

    if (const int status = CliSteps::saveSet(session, set, output)) return status;
    if (!CliSteps::isStandardStream(output)) session.windowMessage("保存完成");
    target.file = output;
    return TarvaneCli::Done;
}

}  // namespace

int runRead(CliSession& session, const CliArguments& arguments) {
    if (arguments.all) {
        if (const int status = checkFolder(session, "-o", arguments.output)) return status;
        return runForAll(session, arguments, [&](CliSession& one, Target& target) {
            return readOne(one, target, fileFor(arguments.output, target.identity.strCardNum));
        });
    }
    HIDDevice device;
    Target target(device);
    if (const int status = session.openDevice(arguments.device, device, &target.identity)) return status;
    return readOne(session, target, arguments.output);
}
