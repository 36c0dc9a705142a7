#include "CliParameterTransfer.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

#include "CanCodec.h"
#include "CliInterrupts.h"
#include "CliSession.h"
#include "FiberRules.h"
#include "HardwareModel.h"
#include "MisplacedChannels.h"
#include "ParameterChecks.h"
#include "ParameterDiff.h"
#include "ParameterDocument.h"
#include "ParameterFile.h"
#include "ParameterSet.h"
#include "platform/FileIdentity.h"

namespace CliParameterTransfer {

bool isStandardStream(const QString& path) {
    return path == QLatin1String("-");
}

ParameterSet deviceDefaults(const DeviceIdentity& identity) {
    return ParameterSet::defaults(identity.nCAN, identity.nFiberOptic, identity.routeType);
}

int loadFile(CliSession& session, const QString& path, LoadedFile* file) {
    ParameterFile::Opened opened;
    file->path = path;
    if (isStandardStream(path)) {
        file->name = TarvaneCli::tr("标准输入");
        QBuffer nothing;
        nothing.open(QIODevice::ReadOnly);
        QIODevice* in = session.in() ? session.in() : &nothing;
        // The backup must not be standard input's file either.
        if (const auto* stream = qobject_cast<const QFileDevice*>(in)) file->descriptor = stream->handle();
        opened = ParameterFile::open(*in, file->name, ParameterFile::Reading::Strict);
    } else {
        file->name = QDir::toNativeSeparators(path);
        opened = ParameterFile::open(path, ParameterFile::Reading::Strict);
    }
    file->object = opened.object;
    file->sha256 = QCryptographicHash::hash(opened.bytes, QCryptographicHash::Sha256);
    if (!opened.warning.isEmpty()) {
        session.message(opened.warning);
        return CliExit::UsageOrFileError;
    }
    if (!opened.isOpen) {  // a key given twice
        const ParameterDocument::Problem& first = opened.duplicates.first();
        session.message(
            TarvaneCli::tr("参数文件%1不完整或有误：%2：%3").arg(file->name, first.where, first.why));
        return CliExit::UsageOrFileError;
    }
    for (const MisplacedChannels::Misplaced& element : qAsConst(opened.misplaced)) {
        session.note(TarvaneCli::tr("CANParam[%1]的“ChannalID”为%2：命令行用于CAN通道%2，"
                                    "窗口的“打开”按位置用于CAN通道%3")
                         .arg(element.element)
                         .arg(element.channelId)
                         .arg(element.element + 1));
    }
    return session.refuseNotes();
}

int checkBackupPath(CliSession& session, const QString& backup, const LoadedFile& file) {
    if (backup.isEmpty() || isStandardStream(backup)) return CliExit::Done;
    // Standard input is compared by what it is, a named file by its path.
    const bool same = isStandardStream(file.path)
                          ? file.descriptor >= 0 && isSameFile(file.descriptor, backup)
                          : isSameFile(backup, file.path);
    if (!same) return CliExit::Done;
    session.message(TarvaneCli::tr("--backup 不能是参数文件本身：%1").arg(QDir::toNativeSeparators(backup)));
    return CliExit::UsageOrFileError;
}

int completeSet(CliSession& session, const LoadedFile& file, ParameterSet* set) {
    // The window keeps on its pages what a file lacks; here nothing could be kept.
    ParameterDocument::Problem problem;
    QStringList ignored;
    const bool complete = ParameterDocument::applyComplete(file.object, set, &problem, &ignored);
    for (const QString& line : qAsConst(ignored)) session.note(line);
    if (!complete) {
        session.message(
            TarvaneCli::tr("参数文件%1不完整或有误：%2：%3").arg(file.name, problem.where, problem.why));
        return CliExit::UsageOrFileError;
    }
    const QStringList problems = ParameterChecks::problems(*set);
    if (!problems.isEmpty()) {
        session.message(ParameterChecks::problemMessage(problems));
        return CliExit::UsageOrFileError;
    }
    return CliExit::Done;
}

int writeNotes(CliSession& session, const ParameterSet& set) {
    // A script cannot be asked, as the window asks: it is told.
    for (const QString& line : ParameterChecks::testModes(set)) session.note(line);
    for (const QString& line : ParameterChecks::neverMatching(set)) session.note(line);
    return session.refuseNotes();
}

DeviceRead::Result readDevice(CliSession& session, HIDDevice& device, ParameterSet& set) {
    DeviceRead reading(device, set);
    ProgressLine progress = session.progressLine();
    reading.setProgress([&](int step, int steps) {
        progress.show(TarvaneCli::tr("读取：第%1步，共%2步").arg(step).arg(steps));
    });
    return reading.run();
}

int readStatus(DeviceRead::Result result) {
    // Every result but Done is the device's failure; one missing from this
    // list counts as one too, so that nothing is reported as done that was not.
    switch (result) {
        case DeviceRead::Result::Done:
            return CliExit::Done;
        case DeviceRead::Result::BaudRateFailed:
        case DeviceRead::Result::FilterFailed:
        case DeviceRead::Result::FiberFailed:
        case DeviceRead::Result::RouteFailed:
            break;
    }
    return CliExit::DeviceFailed;
}

int saveSet(CliSession& session, const ParameterSet& set, const QString& path) {
    QString warning;
    const QJsonDocument document = ParameterDocument::toDocument(set);
    if (isStandardStream(path)) {
        if (ParameterFile::write(session.outDevice(), TarvaneCli::tr("标准输出"), document, &warning))
            return CliExit::Done;
        session.message(warning);
        return CliExit::UsageOrFileError;
    }
    // A file is written beside the target and renamed over it: a signal
    // meanwhile would leave that new file behind, so it waits the
    // milliseconds this takes. A pipe or a device is written as it stands,
    // which may wait for a reader: a signal ends that at once.
    std::optional<CliInterrupts::Hold> hold;
    if (ParameterFile::replacesByRename(path)) {
        hold.emplace(CliInterrupts::Hold::Save);
        if (!hold->held()) return hold->status();
    }
    if (ParameterFile::save(path, document, &warning)) {
        if (hold) hold->saved(QDir::toNativeSeparators(path));
        return CliExit::Done;
    }
    session.message(warning);
    return CliExit::UsageOrFileError;
}

QJsonArray differencesJson(const QVector<FieldDifference>& differences, const ParameterSet& given,
                           const ParameterSet& device) {
    using Field = FieldDifference::Field;
    // Names that do not change with the language, for scripts.
    const auto routeChannel = [](int channel) {
        return channel < 2 ? QStringLiteral("CAN%1").arg(channel + 1)
                           : QStringLiteral("Fiber%1").arg(channel - 1);
    };
    QJsonArray array;
    for (const FieldDifference& d : differences) {
        static const char* const kFields[] = {"baudRate", "inUse",      "workMode",
                                              "bitWidth", "idRegister", "maskRegister",
                                              "baudRate", "on",         "route"};
        QJsonObject object{{QStringLiteral("channel"), QStringLiteral("CAN%1").arg(d.index + 1)},
                           {QStringLiteral("bank"), d.bank < 0 ? QJsonValue() : QJsonValue(d.bank + 1)},
                           {QStringLiteral("field"), QLatin1String(kFields[int(d.kind)])},
                           {QStringLiteral("fileValue"), d.givenValue},
                           {QStringLiteral("deviceValue"), d.deviceValue},
                           // The same keys in every object: the channel routed to, for a route.
                           {QStringLiteral("to"), QJsonValue()}};
        switch (d.kind) {
            case Field::BaudRate:  // the word as it goes out, without what it means
                object.insert(QStringLiteral("fileValue"),
                              CanCodec::tableWordText(given.can.at(d.index).bitTimingText.word()));
                object.insert(QStringLiteral("deviceValue"),
                              CanCodec::tableWordText(device.can.at(d.index).bitTimingText.word()));
                break;
            case Field::IdRegister:  // the register without what its bank lets through
            case Field::MaskRegister: {
                const bool id = d.kind == Field::IdRegister;
                const FilterRow& a = given.can.at(d.index).banks[size_t(d.bank)];
                const FilterRow& b = device.can.at(d.index).banks[size_t(d.bank)];
                object.insert(QStringLiteral("fileValue"), registerValue(id ? a.idText : a.maskText));
                object.insert(QStringLiteral("deviceValue"), registerValue(id ? b.idText : b.maskText));
                break;
            }
            case Field::FiberBaudRate:  // the code without its rate
                object.insert(QStringLiteral("channel"), QStringLiteral("Fiber%1").arg(d.index + 1));
                object.insert(QStringLiteral("fileValue"),
                              FiberRules::codeText(given.fiber.codes[size_t(d.index)]));
                object.insert(QStringLiteral("deviceValue"),
                              FiberRules::codeText(device.fiber.codes[size_t(d.index)]));
                break;
            case Field::Route:
                object.insert(QStringLiteral("to"), routeChannel(d.routeTo));
                Q_FALLTHROUGH();
            case Field::Switch:
                object.insert(QStringLiteral("channel"), routeChannel(d.index));
                break;
            default:
                break;
        }
        array.append(object);
    }
    return array;
}

void printDifferences(CliSession& session, const QVector<FieldDifference>& differences) {
    for (const FieldDifference& d : differences) {
        session.out() << QStringList{d.channel, d.bankText(), d.field, d.givenValue, d.deviceValue}.join(
                             QLatin1Char('\t'))
                      << '\n';
    }
}

}  // namespace CliParameterTransfer
