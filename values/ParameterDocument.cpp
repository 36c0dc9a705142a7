#include "ParameterDocument.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QMap>
#include <cmath>

#include "CanCodec.h"
#include "FiberRules.h"
#include "ParameterKeys.h"
#include "RouteRules.h"

namespace ParameterDocument {

namespace Key = ParameterKeys;

QJsonDocument toDocument(const ParameterSet& set) {
    QJsonArray channels;
    for (const CanChannelValues& channel : set.can) channels.append(CanCodec::toJson(channel));
    QJsonArray baud;
    for (int i = 0; i < set.fiberCount; ++i) baud.append(FiberRules::codeText(set.fiber.codes[size_t(i)]));

    QJsonObject fiber;
    fiber.insert(Key::Baud, baud);
    fiber.insert(Key::Model, -1);

    QJsonObject top;
    top.insert(Key::CanParam, channels);
    top.insert(Key::FiberParam, fiber);
    top.insert(Key::Route, RouteRules::toJson(set.route));
    return QJsonDocument(top);
}

namespace {

// The translation context of every text of this file, Problem's too.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(ParameterDocument)
};

// "CANParam[1]", "CANParam[1].DataList", "FiberParam.Baud[0]": a place in a file.
QString member(const QString& where, const QString& key) {
    return where + QLatin1Char('.') + key;
}
QString element(const QString& where, int index) {
    return where + QStringLiteral("[%1]").arg(index);
}

// Why a JSON value is not what is wanted, or nothing when it is.
QString typeProblem(const QJsonValue& value, QJsonValue::Type wanted) {
    if (value.isUndefined()) return Texts::tr("缺少");
    if (value.type() == wanted) return QString();
    switch (wanted) {
        case QJsonValue::Array:
            return Texts::tr("须为数组");
        case QJsonValue::Object:
            return Texts::tr("须为对象");
        default:
            return Texts::tr("须为字符串");
    }
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
    bool check(const QString& where, const QString& why) const { return check(Problem{where, why}); }
    bool check(const Problem& problem) const {
        if (!problem.why.isEmpty() && list) list->append(problem);
        return problem.why.isEmpty();
    }
};

// One "DataList" entry onto its bank, read strictly: each flag that is 0 or
// 1, and both register texts as they stand; the rest keeps what the bank
// held. `at` is the entry's place, without a reason.
void applyEntry(FilterRow& row, const QJsonValue& value, const Problem& at, const Unusable& unusable) {
    const auto check = [&](const QString& why) {
        Problem problem = at;
        problem.why = why;
        return unusable.check(problem);
    };
    if (!check(typeProblem(value, QJsonValue::String))) return;
    const CanCodec::DataListEntry entry =
        CanCodec::readDataListEntry(value.toString(), CanCodec::EntryReading::Strict);
    if (!check(entry.counted ? QString() : Texts::tr("须有5个以逗号分隔的字段，实有%1个").arg(entry.count)))
        return;
    for (const CanCodec::DataListEntry::BadFlag& bad : entry.badFlags)
        check(Texts::tr("%1须为0或1，实为“%2”").arg(Texts::tr(kFlagNames[bad.flag]), bad.text));
    CanCodec::applyDataListEntry(row, entry);
}

// A "CANParam" element onto its channel, as far as it can be used.
void applyChannel(CanChannelValues& channel, int index, const QJsonValue& value, const QString& where,
                  const Unusable& unusable) {
    if (!unusable.check(where, typeProblem(value, QJsonValue::Object))) return;
    const QJsonObject object = value.toObject();
    const QJsonValue baudRate = object.value(Key::BaudRate);
    if (unusable.check(member(where, Key::BaudRate), typeProblem(baudRate, QJsonValue::String)))
        CanCodec::applyWord(channel, CanCodec::decodeBitTiming(baudRate.toString()));
    const QString listWhere = member(where, Key::DataList);
    const QJsonValue dataList = object.value(Key::DataList);
    if (!unusable.check(listWhere, typeProblem(dataList, QJsonValue::Array))) return;
    const QJsonArray banks = dataList.toArray();
    // The banks the list reaches are applied all the same.
    unusable.check(listWhere,
                   banks.size() == CanCodec::kBankCount
                       ? QString()
                       : Texts::tr("须有%1项，实有%2项").arg(CanCodec::kBankCount).arg(banks.size()));
    for (int bank = 0; bank < qMin(banks.size(), CanCodec::kBankCount); ++bank)
        applyEntry(channel.banks[size_t(bank)], banks.at(bank),
                   Problem{element(listWhere, bank), {}, index, bank}, unusable);
}

// Why a "Baud" element is no fiber code, or nothing.
QString codeProblem(const QJsonValue& value) {
    const QString why = typeProblem(value, QJsonValue::String);
    if (!why.isEmpty()) return why;
    if (FiberRules::entryCode(FiberRules::parseCodeText(value.toString())) == FiberValues::kNoEntry)
        return Texts::tr("须为01到0c的十六进制代码");
    return QString();
}

// What keeps a "Route" value from being read, at the element it lies in;
// nothing when the rules can read it.
Problem routeProblem(const QJsonValue& value) {
    if (const QString why = typeProblem(value, QJsonValue::Array); !why.isEmpty()) return {Key::Route, why};
    const QJsonArray rows = value.toArray();
    if (rows.size() != kRouteChannelCount)
        return {Key::Route, Texts::tr("须有%1项，实有%2项").arg(kRouteChannelCount).arg(rows.size())};
    for (int i = 0; i < rows.size(); ++i) {
        if (const QString why = typeProblem(rows.at(i), QJsonValue::String); !why.isEmpty())
            return {element(Key::Route, i), why};
        if (!RouteRules::isRowText(rows.at(i).toString()))
            return {element(Key::Route, i), Texts::tr("须为6个0或1，以空格分隔")};
    }
    return {};
}

}  // namespace

QString Problem::text() const {
    return Texts::tr("%1：%2").arg(where, why);
}

QString topLevelProblem(const QJsonDocument& document) {
    if (!document.isObject()) return Texts::tr("顶层须为对象");
    for (const QString& key : {Key::CanParam, Key::FiberParam, Key::Route})
        if (!document.object().contains(key)) return Texts::tr("缺少“%1”").arg(key);
    return QString();
}

bool apply(const QJsonObject& object, ParameterSet* set, QVector<Problem>* unusableList) {
    const Unusable unusable{unusableList};
    const QJsonValue can = object.value(Key::CanParam);
    const QJsonArray channels = can.toArray();
    unusable.check(Key::CanParam, typeProblem(can, QJsonValue::Array));
    for (int i = 0; i < channels.size() && i < set->can.size(); ++i)
        applyChannel(set->can[i], i, channels.at(i), element(Key::CanParam, i), unusable);

    int codes = 0;
    const QJsonValue fiber = object.value(Key::FiberParam);
    const QString baudWhere = member(Key::FiberParam, Key::Baud);
    const QJsonValue baudValue = fiber.toObject().value(Key::Baud);
    if (unusable.check(Key::FiberParam, typeProblem(fiber, QJsonValue::Object)))
        unusable.check(baudWhere, typeProblem(baudValue, QJsonValue::Array));
    const QJsonArray baud = baudValue.toArray();
    for (int i = 0; i < baud.size() && i < set->fiberCount; ++i) {
        if (!unusable.check(element(baudWhere, i), codeProblem(baud.at(i)))) continue;
        FiberRules::setCode(set->fiber, set->fiberCount, i, FiberRules::parseCodeText(baud.at(i).toString()));
        ++codes;
    }

    const bool routes = RouteRules::applyJson(set->route, set->routeType, object.value(Key::Route).toArray());
    if (!routes) {
        const Problem problem = routeProblem(object.value(Key::Route));
        unusable.check(problem.where, problem.why);
    }
    return routes || qMin(channels.size(), set->can.size()) > 0 || codes > 0;
}

QStringList channelsBeyond(const QJsonObject& object, const ParameterSet& set) {
    QStringList names;
    const int channels = object.value(Key::CanParam).toArray().size();
    for (int i = set.can.size(); i < channels; ++i) names << QStringLiteral("CAN%1").arg(i + 1);
    const int codes = object.value(Key::FiberParam).toObject().value(Key::Baud).toArray().size();
    for (int i = set.fiberCount; i < codes; ++i) names << Texts::tr("光纤%1").arg(i + 1);
    return names;
}

namespace {

// The element of each of the device's channels by its "ChannalID", as far
// as the file has them; the others are left out, one line each in `ignored`.
bool findChannels(const QJsonArray& channels, int canCount, QMap<int, int>* elementOf, Problem* problem,
                  QStringList* ignored) {
    for (int i = 0; i < channels.size(); ++i) {
        const QString where = element(Key::CanParam, i);
        if (const QString why = typeProblem(channels.at(i), QJsonValue::Object); !why.isEmpty())
            return fail(problem, where, why);
        const QJsonValue id = channels.at(i).toObject().value(Key::ChannalId);
        // Missing as "BaudRate" is missing; any whole number is a channel
        // number, which the device may lack.
        const double number = id.toDouble();
        if (id.isUndefined()) return fail(problem, member(where, Key::ChannalId), Texts::tr("缺少"));
        if (!id.isDouble() || number != std::floor(number))
            return fail(problem, member(where, Key::ChannalId), Texts::tr("须为整数"));
        if (number < 1 || number > canCount) {
            ignored->append(
                Texts::tr("%1：设备没有CAN通道%2，已忽略").arg(where, QString::number(number, 'f', 0)));
            continue;
        }
        const int channel = int(number);
        if (elementOf->contains(channel))
            return fail(problem, member(where, Key::ChannalId),
                        Texts::tr("与%1[%2]相同").arg(Key::CanParam).arg(elementOf->value(channel)));
        elementOf->insert(channel, i);
    }
    return true;
}

// A channel's element onto its values, only when it gives a "BaudRate" the
// Write can send and fourteen sound "DataList" entries, read as Open reads
// them.
bool readChannel(const QJsonObject& object, const QString& where, CanChannelValues* channel,
                 Problem* problem) {
    const QJsonValue baudRate = object.value(Key::BaudRate);
    QString why = typeProblem(baudRate, QJsonValue::String);
    const BitTimingText text(baudRate.toString());
    if (why.isEmpty()) why = CanCodec::bitTimingProblemText(text);
    if (!why.isEmpty()) return fail(problem, member(where, Key::BaudRate), why);
    CanCodec::applyWord(*channel, text.bytes());
    const QString listWhere = member(where, Key::DataList);
    const QJsonValue dataList = object.value(Key::DataList);
    if (const QString why = typeProblem(dataList, QJsonValue::Array); !why.isEmpty())
        return fail(problem, listWhere, why);
    const QJsonArray banks = dataList.toArray();
    if (banks.size() != CanCodec::kBankCount)
        return fail(problem, listWhere,
                    Texts::tr("须有%1项，实有%2项").arg(CanCodec::kBankCount).arg(banks.size()));
    for (int bank = 0; bank < banks.size(); ++bank) {
        const QString at = element(listWhere, bank);
        QVector<Problem> found;
        FilterRow& row = channel->banks[size_t(bank)];
        applyEntry(row, banks.at(bank), Problem{at, {}}, Unusable{&found});
        if (found.isEmpty() && !row.idText.isWord())
            found.append({at, Texts::tr("ID寄存器：%1").arg(CanCodec::wordTextRule())});
        if (found.isEmpty() && !row.maskText.isWord())
            found.append({at, Texts::tr("掩码寄存器：%1").arg(CanCodec::wordTextRule())});
        if (!found.isEmpty()) return fail(problem, found.first().where, found.first().why);
    }
    return true;
}

// A code for each of the device's fiber channels; codes for channels it
// lacks are left out, one line each in `ignored`.
bool checkFiber(const QJsonValue& fiber, int fiberCount, QJsonArray* baud, Problem* problem,
                QStringList* ignored) {
    if (const QString why = typeProblem(fiber, QJsonValue::Object); !why.isEmpty())
        return fail(problem, Key::FiberParam, why);
    const QString baudWhere = member(Key::FiberParam, Key::Baud);
    const QJsonValue baudValue = fiber.toObject().value(Key::Baud);
    if (const QString why = typeProblem(baudValue, QJsonValue::Array); !why.isEmpty())
        return fail(problem, baudWhere, why);
    *baud = baudValue.toArray();
    for (int i = 0; i < baud->size(); ++i) {
        const QString where = element(baudWhere, i);
        if (i >= fiberCount) {
            ignored->append(Texts::tr("%1：设备没有光纤%2，已忽略").arg(where).arg(i + 1));
            continue;
        }
        if (const QString why = codeProblem(baud->at(i)); !why.isEmpty()) return fail(problem, where, why);
    }
    if (baud->size() < fiberCount)
        return fail(problem, baudWhere, Texts::tr("没有光纤%1的代码").arg(baud->size() + 1));
    return true;
}

}  // namespace

bool applyComplete(const QJsonObject& object, ParameterSet* set, Problem* problem, QStringList* ignored) {
    const QJsonValue can = object.value(Key::CanParam);
    if (const QString why = typeProblem(can, QJsonValue::Array); !why.isEmpty())
        return fail(problem, Key::CanParam, why);
    const QJsonArray channels = can.toArray();
    QMap<int, int> elementOf;
    if (!findChannels(channels, set->canCount, &elementOf, problem, ignored)) return false;
    QVector<CanChannelValues> read = set->can;
    for (int channel = 1; channel <= set->canCount; ++channel) {
        if (!elementOf.contains(channel))
            return fail(problem, Key::CanParam, Texts::tr("没有“ChannalID”为%1的元素").arg(channel));
        const int at = elementOf.value(channel);
        if (!readChannel(channels.at(at).toObject(), element(Key::CanParam, at), &read[channel - 1], problem))
            return false;
    }

    QJsonArray baud;
    if (!checkFiber(object.value(Key::FiberParam), set->fiberCount, &baud, problem, ignored)) return false;

    const QJsonValue route = object.value(Key::Route);
    RouteValues routes = set->route;
    if (!RouteRules::applyJson(routes, set->routeType, route.toArray())) {
        const Problem found = routeProblem(route);
        return fail(problem, found.where, found.why);
    }
    // A channel does not route to itself: the frame has no bit for it.
    for (int r = 0; r < kRouteChannelCount; ++r) {
        if (RouteRules::isPresent(set->routeType, r) &&
            route.toArray().at(r).toString().at(2 * r) == QLatin1Char('1'))
            ignored->append(Texts::tr("%1：%2到自身的路由为1，已忽略")
                                .arg(element(Key::Route, r), RouteRules::channelName(r)));
    }

    // Every value is sound: the channels by their "ChannalID", the rest as Open takes it.
    set->can = read;
    for (int i = 0; i < set->fiberCount; ++i)
        FiberRules::setCode(set->fiber, set->fiberCount, i, FiberRules::parseCodeText(baud.at(i).toString()));
    set->route = routes;
    return true;
}

}  // namespace ParameterDocument
