// list: every connected repeater, one line or one JSON object each.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "CliArguments.h"
#include "CliCommands.h"
#include "CliSession.h"
#include "RepeaterList.h"

namespace {

QJsonObject jsonObject(const CliSession& session, const FoundRepeater& repeater) {
    QJsonObject object{{QStringLiteral("path"), QString::fromStdString(repeater.path)}};
    if (repeater.state != FoundRepeater::State::Identified) {
        object.insert(QStringLiteral("error"), session.repeaterError(repeater));
        return object;
    }
    const DeviceIdentity& id = repeater.identity;
    object.insert(QStringLiteral("model"), id.strDevType);
    object.insert(QStringLiteral("cardNumber"), id.strCardNum);
    object.insert(QStringLiteral("hardwareVersion"), id.strDevVer);
    object.insert(QStringLiteral("firmwareVersion"), id.strFirmware);
    object.insert(QStringLiteral("canChannels"), id.nCAN);
    object.insert(QStringLiteral("fiberChannels"), id.nFiberOptic);
    return object;
}

}  // namespace

int runList(CliSession& session, const CliArguments& arguments) {
    session.listRepeaters();
    const QVector<FoundRepeater> repeaters = RepeaterList::findAll(session.trace());
    int status = TarvaneCli::Done;
    QJsonArray array;
    for (const FoundRepeater& repeater : repeaters) {
        if (repeater.state != FoundRepeater::State::Identified) status = TarvaneCli::DeviceFailed;
        if (arguments.json)
            array.append(jsonObject(session, repeater));
        else
            session.out() << session.repeaterLine(repeater) << '\n';
    }
    if (arguments.json) session.out() << QJsonDocument(array).toJson(QJsonDocument::Indented);
    if (!session.outputDone()) return TarvaneCli::UsageOrFileError;
    if (repeaters.isEmpty()) {
        session.windowMessage("设备未连接");
        return TarvaneCli::NoSuchDevice;
    }
    return status;
}
