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

ParameterSet modelDefaults(const HardwareModel& model) {
    return ParameterSet::defaults(model.nCAN, model.nFiberOptic, model.routeType);
}

// The values of the firmware's reply to one query, as the program would take them.
template <typename Query>
auto ask(Firmware& firmware, const Query& query) {
    return Query::parse(firmware.answer(query.frame())).values;
}

}  // namespace

bool keepsState(const Identity& identity) {
    return hardwareModel(identity.hardwareType) != nullptr;
}

bool load(const QString& path, Firmware& firmware, QString* error) {
    const HardwareModel* model = hardwareModel(firmware.identity.hardwareType);
    if (model == nullptr) return true;
    const ParameterFile::Opened file = ParameterFile::open(path, ParameterFile::Reading::Lenient);
    if (!file.isOpen) {
        *error = file.warning;
        return false;
    }
    ParameterSet set = modelDefaults(*model);
    ParameterDocument::Problem problem;
    QStringList ignored;
    if (!ParameterDocument::applyComplete(file.object, &set, &problem, &ignored)) {
        *error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + problem.text();
        return false;
    }
    QList<QByteArray> frames;
    for (const CanChannelValues& channel : qAsConst(set.can))
        frames << CanCodec::baudRateRequest(channel).frame() << CanCodec::filterFrames(channel);
    frames << FiberRules::request(set.fiber, set.fiberCount).frame()
           << RouteRules::request(set.route, set.routeType).frame();
    for (const QByteArray& frame : qAsConst(frames)) {
        const auto command = Protocol::Command(quint8(frame.at(2)));
        if (!Protocol::parseAcknowledgement(command, firmware.answer(frame)).ok()) {
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
        const int id = i + 1;
        CanCodec::applyWord(set.can[i], Protocol::wordBytes(ask(firmware, Protocol::QueryCanBaudRate{id})));
        for (int bank = 0; bank < CanCodec::kBankCount; ++bank)
            set.can[i].banks[size_t(bank)] =
                CanCodec::filterRow(ask(firmware, Protocol::QueryCanFilter{id, bank}));
    }
    FiberRules::applyReply(set.fiber, set.fiberCount, ask(firmware, Protocol::QueryFiberBaudRate{}));
    RouteRules::applyReply(set.route, set.routeType, ask(firmware, Protocol::QueryRoute{}));
    return ParameterFile::save(path, ParameterDocument::toDocument(set), error);
}

}  // namespace StateFile

}  // namespace sim
