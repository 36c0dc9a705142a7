#include "ParameterDocument.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QMap>
#include <cmath>

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

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ParameterDocument", text);
}

// Why a JSON value is not what is wanted, or nothing when it is.
QString typeProblem(const QJsonValue& value, QJsonValue::Type wanted) {
    if (value.isUndefined()) return tr("缺少");
    if (value.type() == wanted) return QString();
    switch (wanted) {
        case QJsonValue::Array:
            return tr("须为数组");
        case QJsonValue::Object:
            return tr("须为对象");
        default:
            return tr("须为字符串");
    }
}

// Why a "BaudRate" text cannot go out, or nothing. It is read as Open reads
// it, so its word is what the Write would send.
QString baudRateProblem(const QString& text) {
    if (!CanCodec::isWordText(text) || CanCodec::decodeBitTiming(text).size() != CanCodec::kWordSize)
        return CanCodec::wordTextRule();
    const BitTiming::Decoded decoded = BitTiming::decode(CanCodec::decodeBitTiming(text));
    if (decoded.strayBits) return BitTiming::problemText(BitTiming::Problem::StrayBits, decoded);
    return QString();
}

// What keeps a "Route" value from being read, at the element it lies in;
// nothing when the rules can read it.
Problem routeProblem(const QJsonValue& value) {
    if (const QString why = typeProblem(value, QJsonValue::Array); !why.isEmpty()) return {kRoute, why};
    const QJsonArray rows = value.toArray();
    if (rows.size() != kRouteChannelCount)
        return {kRoute, tr("须有%1项，实有%2项").arg(kRouteChannelCount).arg(rows.size())};
    for (int i = 0; i < rows.size(); ++i) {
        const QString where = QStringLiteral("%1[%2]").arg(kRoute).arg(i);
        if (const QString why = typeProblem(rows.at(i), QJsonValue::String); !why.isEmpty())
            return {where, why};
        if (!RouteRules::isRowText(rows.at(i).toString())) return {where, tr("须为6个0或1，以空格分隔")};
    }
    return {};
}

bool fail(Problem* problem, const QString& where, const QString& why) {
    *problem = {where, why};
    return false;
}

const char* const kFlagNames[] = {QT_TRANSLATE_NOOP("ParameterDocument", "使用"),
                                  QT_TRANSLATE_NOOP("ParameterDocument", "工作模式"),
                                  QT_TRANSLATE_NOOP("ParameterDocument", "位数")};

// Collects what Open could not use; a null list collects nothing.
struct Unusable {
    QVector<Problem>* list;
    // True when `why` is empty, that is the value can be used.
    bool check(const QString& where, const QString& why) const {
        if (!why.isEmpty() && list) list->append({where, why});
        return why.isEmpty();
    }
};

// One "DataList" entry onto its bank: each flag that is 0 or 1, and both
// register texts as they stand; the rest keeps what the bank held.
void applyEntry(FilterRow& row, const QJsonValue& value, const QString& where, const Unusable& unusable) {
    if (!unusable.check(where, typeProblem(value, QJsonValue::String))) return;
    const QStringList parts = value.toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (!unusable.check(where, parts.size() == 5 ? QString() : tr("须有5个以逗号分隔的字段，实有%1个").arg(parts.size())))
        return;
    int* const fields[] = {nullptr, &row.workMode, &row.bitWidth};
    for (int i = 0; i < 3; ++i) {
        const QString field = parts.at(i).trimmed();
        const bool flag = field == QLatin1String("0") || field == QLatin1String("1");
        if (!unusable.check(where, flag ? QString() : tr("%1须为0或1，实为“%2”").arg(tr(kFlagNames[i]), field)))
            continue;
        if (i == 0)
            row.inUse = field == QLatin1String("1");
        else
            *fields[i] = field.toInt();
    }
    row.idText = parts.at(3);
    row.maskText = parts.at(4);
}

// A "CANParam" element onto its channel, as far as it can be used.
void applyChannel(CanChannelValues& channel, const QJsonValue& value, const QString& where, const Unusable& unusable) {
    if (!unusable.check(where, typeProblem(value, QJsonValue::Object))) return;
    const QJsonObject element = value.toObject();
    const QJsonValue baudRate = element.value(QStringLiteral("BaudRate"));
    if (unusable.check(where + QStringLiteral(".BaudRate"), typeProblem(baudRate, QJsonValue::String)))
        CanCodec::applyWord(channel, CanCodec::decodeBitTiming(baudRate.toString()));
    const QString listWhere = where + QStringLiteral(".DataList");
    const QJsonValue dataList = element.value(QStringLiteral("DataList"));
    if (!unusable.check(listWhere, typeProblem(dataList, QJsonValue::Array))) return;
    const QJsonArray banks = dataList.toArray();
    // The banks the list reaches are applied all the same.
    unusable.check(listWhere, banks.size() == CanCodec::kBankCount
                                  ? QString()
                                  : tr("须有%1项，实有%2项").arg(CanCodec::kBankCount).arg(banks.size()));
    for (int bank = 0; bank < qMin(banks.size(), CanCodec::kBankCount); ++bank)
        applyEntry(channel.banks[size_t(bank)], banks.at(bank), listWhere + QStringLiteral("[%1]").arg(bank),
                   unusable);
}

}  // namespace

QString Problem::text() const {
    return tr("%1：%2").arg(where, why);
}

bool apply(const QJsonObject& object, ParameterSet* set, QVector<Problem>* unusableList) {
    const Unusable unusable{unusableList};
    const QJsonValue can = object.value(kCanParam);
    const QJsonArray channals = can.toArray();
    unusable.check(kCanParam, typeProblem(can, QJsonValue::Array));
    for (int i = 0; i < channals.size() && i < set->can.size(); ++i)
        applyChannel(set->can[i], channals.at(i), QStringLiteral("%1[%2]").arg(kCanParam).arg(i), unusable);

    int codes = 0;
    const QJsonValue fiber = object.value(kFiberParam);
    const QString baudWhere = kFiberParam + QLatin1Char('.') + kBaud;
    const QJsonValue baudValue = fiber.toObject().value(kBaud);
    if (unusable.check(kFiberParam, typeProblem(fiber, QJsonValue::Object)))
        unusable.check(baudWhere, typeProblem(baudValue, QJsonValue::Array));
    const QJsonArray baud = baudValue.toArray();
    for (int i = 0; i < baud.size() && i < set->fiberCount; ++i) {
        const QString where = QStringLiteral("%1[%2]").arg(baudWhere).arg(i);
        if (!unusable.check(where, typeProblem(baud.at(i), QJsonValue::String))) continue;
        const int code = FiberRules::entryCode(FiberRules::parseCodeText(baud.at(i).toString()));
        if (!unusable.check(where, code == FiberValues::kNoEntry ? tr("须为01到0c的十六进制代码") : QString())) continue;
        FiberRules::setCode(set->fiber, set->fiberCount, i, code);
        ++codes;
    }

    const bool routes = RouteRules::applyJson(set->route, set->routeType, object.value(kRoute).toArray());
    if (!routes) {
        const Problem problem = routeProblem(object.value(kRoute));
        unusable.check(problem.where, problem.why);
    }
    return routes || qMin(channals.size(), set->can.size()) > 0 || codes > 0;
}

bool applyComplete(const QJsonObject& object, ParameterSet* set, Problem* problem, QStringList* ignored) {
    const QJsonValue can = object.value(kCanParam);
    if (const QString why = typeProblem(can, QJsonValue::Array); !why.isEmpty()) return fail(problem, kCanParam, why);

    // The elements of the device's channels by "ChannalID"; the others are left out.
    QMap<int, int> elementOf;
    const QJsonArray channals = can.toArray();
    for (int i = 0; i < channals.size(); ++i) {
        const QString where = QStringLiteral("%1[%2]").arg(kCanParam).arg(i);
        if (const QString why = typeProblem(channals.at(i), QJsonValue::Object); !why.isEmpty())
            return fail(problem, where, why);
        const QJsonValue id = channals.at(i).toObject().value(QStringLiteral("ChannalID"));
        // Missing as "BaudRate" is missing; any whole number is a channel
        // number, which the device may lack.
        const double number = id.toDouble();
        if (id.isUndefined()) return fail(problem, where + QStringLiteral(".ChannalID"), tr("缺少"));
        if (!id.isDouble() || number != std::floor(number))
            return fail(problem, where + QStringLiteral(".ChannalID"), tr("须为整数"));
        if (number < 1 || number > set->canCount) {
            ignored->append(tr("%1：设备没有CAN通道%2，已忽略").arg(where, QString::number(number, 'f', 0)));
            continue;
        }
        const int channal = int(number);
        if (elementOf.contains(channal))
            return fail(problem, where + QStringLiteral(".ChannalID"),
                        tr("与%1[%2]相同").arg(kCanParam).arg(elementOf.value(channal)));
        elementOf.insert(channal, i);
    }
    for (int channal = 1; channal <= set->canCount; ++channal) {
        if (!elementOf.contains(channal))
            return fail(problem, kCanParam, tr("没有“ChannalID”为%1的元素").arg(channal));
        const QString where = QStringLiteral("%1[%2]").arg(kCanParam).arg(elementOf.value(channal));
        const QJsonObject element = channals.at(elementOf.value(channal)).toObject();
        const QJsonValue baudRate = element.value(QStringLiteral("BaudRate"));
        QString why = typeProblem(baudRate, QJsonValue::String);
        if (why.isEmpty()) why = baudRateProblem(baudRate.toString());
        if (!why.isEmpty()) return fail(problem, where + QStringLiteral(".BaudRate"), why);
        const QJsonValue dataList = element.value(QStringLiteral("DataList"));
        if (const QString why = typeProblem(dataList, QJsonValue::Array); !why.isEmpty())
            return fail(problem, where + QStringLiteral(".DataList"), why);
        const QJsonArray banks = dataList.toArray();
        if (banks.size() != CanCodec::kBankCount)
            return fail(problem, where + QStringLiteral(".DataList"),
                        tr("须有%1项，实有%2项").arg(CanCodec::kBankCount).arg(banks.size()));
        for (int bank = 0; bank < banks.size(); ++bank) {
            // Read as Open reads it; then both registers must be words.
            const QString at = where + QStringLiteral(".DataList[%1]").arg(bank);
            QVector<Problem> found;
            FilterRow row;
            applyEntry(row, banks.at(bank), at, Unusable{&found});
            if (found.isEmpty() && !CanCodec::isWordText(row.idText))
                found.append({at, tr("ID寄存器：%1").arg(CanCodec::wordTextRule())});
            if (found.isEmpty() && !CanCodec::isWordText(row.maskText))
                found.append({at, tr("掩码寄存器：%1").arg(CanCodec::wordTextRule())});
            if (!found.isEmpty()) return fail(problem, found.first().where, found.first().why);
        }
    }

    const QJsonValue fiber = object.value(kFiberParam);
    if (const QString why = typeProblem(fiber, QJsonValue::Object); !why.isEmpty())
        return fail(problem, kFiberParam, why);
    const QString baudWhere = kFiberParam + QLatin1Char('.') + kBaud;
    const QJsonValue baudValue = fiber.toObject().value(kBaud);
    if (const QString why = typeProblem(baudValue, QJsonValue::Array); !why.isEmpty())
        return fail(problem, baudWhere, why);
    const QJsonArray baud = baudValue.toArray();
    for (int i = 0; i < baud.size(); ++i) {
        const QString where = QStringLiteral("%1[%2]").arg(baudWhere).arg(i);
        if (i >= set->fiberCount) {
            ignored->append(tr("%1：设备没有光纤%2，已忽略").arg(where).arg(i + 1));
            continue;
        }
        QString why = typeProblem(baud.at(i), QJsonValue::String);
        if (why.isEmpty() && FiberRules::entryCode(FiberRules::parseCodeText(baud.at(i).toString())) ==
                                 FiberValues::kNoEntry)
            why = tr("须为01到0c的十六进制代码");
        if (!why.isEmpty()) return fail(problem, where, why);
    }
    if (baud.size() < set->fiberCount)
        return fail(problem, baudWhere, tr("没有光纤%1的代码").arg(baud.size() + 1));

    const QJsonValue route = object.value(kRoute);
    RouteValues routes = set->route;
    if (!RouteRules::applyJson(routes, set->routeType, route.toArray())) {
        const Problem found = routeProblem(route);
        return fail(problem, found.where, found.why);
    }

    // Every value is sound: the channels by their "ChannalID", the rest as Open takes it.
    for (int channal = 1; channal <= set->canCount; ++channal)
        CanCodec::applyJson(set->can[channal - 1], channals.at(elementOf.value(channal)).toObject());
    for (int i = 0; i < set->fiberCount; ++i)
        FiberRules::setCode(set->fiber, set->fiberCount, i, FiberRules::parseCodeText(baud.at(i).toString()));
    set->route = routes;
    return true;
}

}  // namespace ParameterDocument
