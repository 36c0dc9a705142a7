#include "ParameterDocument.h"

#include <QJsonArray>

#include "CanCodec.h"
#include "FiberRules.h"
#include "RouteRules.h"

namespace ParameterDocument {

namespace {
const QString kCanParam = QStringLiteral("CANParam");
const QString kFiberParam = QStringLiteral("FiberParam");
const QString kBaud = QStringLiteral("Baud");
const QString kModel = QStringLiteral("Model");
const QString kRoute = QStringLiteral("Route");
}  // namespace

QJsonDocument toDocument(const ParameterSet& set) {
    QJsonArray channals;
    for (const CanChannelValues& channel : set.can) channals.append(CanCodec::toJson(channel));
    QJsonArray baud;
    for (int i = 0; i < set.fiberCount; ++i) baud.append(FiberRules::codeText(set.fiber.codes[size_t(i)]));

    QJsonObject fiber;
    fiber.insert(kBaud, baud);
    fiber.insert(kModel, -1);

    QJsonObject top;
    top.insert(kCanParam, channals);
    top.insert(kFiberParam, fiber);
    top.insert(kRoute, RouteRules::toJson(set.route));
    return QJsonDocument(top);
}

void apply(const QJsonObject& object, ParameterSet* set) {
    const QJsonArray channals = object.value(kCanParam).toArray();
    for (int i = 0; i < channals.size() && i < set->can.size(); ++i)
        CanCodec::applyJson(set->can[i], channals.at(i).toObject());

    // A code that is not 1 ... 12 (also text that is no hex number) leaves
    // that selector empty.
    const QJsonArray baud = object.value(kFiberParam).toObject().value(kBaud).toArray();
    for (int i = 0; i < baud.size(); ++i)
        FiberRules::setCode(set->fiber, set->fiberCount, i, FiberRules::parseCodeText(baud.at(i).toString()));

    // A malformed map leaves the routes as they are.
    RouteRules::applyJson(set->route, set->routeType, object.value(kRoute).toArray());
}

}  // namespace ParameterDocument
