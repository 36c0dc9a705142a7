// read: the device's parameters into a parameter file, as the window's Read
// and Save; with --all every connected repeater into a folder.
#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>

#include "CliAll.h"
#include "CliArguments.h"
#include "CliCommands.h"
#include "CliLog.h"
#include "CliParameterTransfer.h"
#include "CliSession.h"
#include "DeviceSearch.h"
#include "HIDDevice.h"
#include "ParameterDocument.h"
#include "ParameterSet.h"

namespace {

// The record's SHA-256 of the file saved: its bytes on the disk, or those
// written to standard output.
QByteArray savedSha256(const ParameterSet& set, const QString& output) {
    QByteArray bytes;
    if (CliParameterTransfer::isStandardStream(output)) {
        bytes = ParameterDocument::toDocument(set).toJson(QJsonDocument::Indented);
    } else {
        QFile saved(output);
        if (!saved.open(QIODevice::ReadOnly)) return QByteArray();
        bytes = saved.readAll();
    }
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

int readOne(CliSession& session, Target& target, const QString& output) {
    target.step = Step::Read;
    if (const int status = interrupted(target, Step::Read, Stopped::NotRead)) return status;
    ParameterSet set = CliParameterTransfer::deviceDefaults(target.identity);
    const DeviceRead::Result result = CliParameterTransfer::readDevice(session, target.device, set);
    session.message(DeviceRead::message(result));
    if (const int status = CliParameterTransfer::readStatus(result)) return status;

    target.step = Step::Save;
    target.setRecordFile(output);
    if (const int status = CliParameterTransfer::saveSet(session, set, output)) {
        // 128 + a signal's number: it came first, and the save did not begin.
        if (status >= 128) interrupted(target, Step::Save, Stopped::NotSaved);
        return status;
    }
    target.setRecordFile(output, savedSha256(set, output));
    if (!CliParameterTransfer::isStandardStream(output)) session.message(WindowTexts::tr("保存完成"));
    target.file = output;
    return CliExit::Done;
}

}  // namespace

int runRead(CliSession& session, const CliArguments& arguments) {
    const CliLog log(arguments.log, "read");
    if (arguments.all) {
        if (const int status = checkFolder(session, "-o", arguments.output)) return status;
        return runForAll(session, arguments, log, [&](CliSession& one, Target& target) {
            return readOne(one, target, fileFor(arguments.output, target.name));
        });
    }
    return runForOne(session, arguments, log,
                     [&](CliSession& one, Target& target) { return readOne(one, target, arguments.output); });
}
