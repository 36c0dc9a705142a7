#include "StateFile.h"

#include <QDir>
#include <QJsonObject>
#include <QList>

#include "CanCodec.h"
#include "FiberRules.h"
#include "HardwareModel.h"
#include "ParameterDocument.h"
#include "ParameterFile.h"
#include "Protocol.h"
#include "RouteRules.h"

namespace sim {

namespace StateFile {

namespace {

using Protocol::Command;

ParameterSet modelDefaults(const HardwareModel& model) {
    return ParameterSet::defaults(model.nCAN, model.nFiberOptic, model.routeType);
}

// The firmware's reply to one query, as the program would receive it.
QByteArray ask(Firmware& firmware, Command command, const QByteArray& payload) {
    return firmware.answer(Protocol::frame(command, payload));
}

}  // namespace

bool keepsState(const Identity& identity) {
    return hardwareModel(identity.hardwareType) != nullptr;
}

bool load(const QString& path, Firmware& firmware, QString* error) {
    const HardwareModel* model = hardwareModel(firmware.identity.hardwareType);
    if (model == nullptr) return true;
    QJsonObject object;
    if (!ParameterFile::load(path, &object, error)) return false;
    ParameterSet set = modelDefaults(*model);
    ParameterDocument::Problem problem;
    QStringList ignored;
    if (!ParameterDocument::applyComplete(object, &set, &problem, &ignored)) {
        *error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + problem.text();
        return false;
    }
    QList<QByteArray> frames;
    for (const CanChannelValues& channel : qAsConst(set.can))
        frames << CanCodec::baudRateFrame(channel) << CanCodec::filterFrames(channel);
    frames << FiberRules::frame(set.fiber, set.fiberCount) << RouteRules::frame(set.route, set.routeType);
    for (const QByteArray& frame : qAsConst(frames)) {
        const QByteArray reply = firmware.answer(frame);
        if (reply.size() <= Protocol::StatusByte ||
            quint8(reply.at(Protocol::StatusByte)) != Protocol::StatusAccepted) {
            *error = QDir::toNativeSeparators(path) + QStringLiteral(": the repeater refuses the frame ") +
                     QString::fromLatin1(frame.toHex(' ').toUpper());
            return false;
        }
    }
    return true;
}

bool save(const QString& path, const Firmware& held, QString* error) {
    const HardwareModel* model = hardwareModel(held.identity.hardwareType);
    if (model == nullptr) return true;
    Firmware firmware = held;  // queries change nothing, but answer() is the device's whole handling
    ParameterSet set = modelDefaults(*model);
    for (int i = 0; i < set.can.size(); ++i) {
        const char id = char(i + 1);
        const QByteArray word = ask(firmware, Command::QueryCanBaudRate, QByteArray(1, id));
        CanCodec::applyWord(set.can[i], word.mid(Protocol::Reply::BaudRateWord, 4));
        QList<QByteArray> banks;
        for (int bank = 0; bank < CanCodec::kBankCount; ++bank)
            banks << ask(firmware, Command::QueryCanFilter, QByteArray(1, id) + char(bank))
                         .left(Protocol::Reply::FilterEnd);
        CanCodec::applyFilterReplies(set.can[i], banks);
    }
    FiberRules::applyReply(set.fiber, set.fiberCount, ask(firmware, Command::QueryFiberBaudRate, {}));
    const QByteArray route = ask(firmware, Command::QueryRoute, {});
    RouteRules::applyReply(set.route, set.routeType,
                           reinterpret_cast<const unsigned char*>(route.constData()));
    return ParameterFile::save(path, ParameterDocument::toDocument(set), error);
}

}  // namespace StateFile

}  // namespace sim
