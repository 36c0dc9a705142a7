// list: every connected repeater, one line or one JSON object each.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "CliArguments.h"
#include "CliCommands.h"
#include "CliSession.h"
#include "RepeaterList.h"

namespace {

// The same keys for every repeater: null for what one that did not answer
// could not tell, and for the error of one that did.
QJsonObject jsonObject(const CliSession& session, const FoundRepeater& repeater) {
    const bool identified = repeater.state == FoundRepeater::State::Identified;
    const DeviceIdentity& id = repeater.identity;
    const auto known = [identified](const QJsonValue& value) { return identified ? value : QJsonValue(); };
    return {
        {QStringLiteral("path"), QString::fromStdString(repeater.path)},
        {QStringLiteral("model"), known(id.strDevType)},
        {QStringLiteral("cardNumber"), known(id.strCardNum)},
        {QStringLiteral("hardwareVersion"), known(id.strDevVer)},
        {QStringLiteral("firmwareVersion"), known(id.strFirmware)},
        {QStringLiteral("canChannels"), known(id.nCAN)},
        {QStringLiteral("fiberChannels"), known(id.nFiberOptic)},
        {QStringLiteral("error"), identified ? QJsonValue() : QJsonValue(session.repeaterError(repeater))},
    };
}

}  // namespace

int runList(CliSession& session, const CliArguments& arguments) {
    session.listRepeaters();
    const QVector<FoundRepeater> repeaters = RepeaterList::findAll(session.trace());
    int status = CliExit::Done;
    QJsonArray array;
    for (const FoundRepeater& repeater : repeaters) {
        if (repeater.state != FoundRepeater::State::Identified) status = CliExit::DeviceFailed;
        if (arguments.json)
            array.append(jsonObject(session, repeater));
        else
            session.out() << session.repeaterLine(repeater) << '\n';
    }
    if (arguments.json) session.out() << QJsonDocument(array).toJson(QJsonDocument::Indented);
    if (!session.outputDone()) return CliExit::UsageOrFileError;
    if (repeaters.isEmpty()) {
        session.message(WindowTexts::tr("设备未连接"));
        return CliExit::NoSuchDevice;
    }
    return status;
}
