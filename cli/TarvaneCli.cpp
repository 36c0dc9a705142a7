#include "TarvaneCli.h"

#include <QFileDevice>
#include <QIODevice>
#include <QThread>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "DeviceRead.h"
#include "DeviceWrite.h"
#include "HIDDevice.h"
#include "ParameterChecks.h"
#include "ParameterDiff.h"
#include "ParameterDocument.h"
#include "ParameterFile.h"
#include "ParameterSet.h"
#include "ProgressLine.h"
#include "RepeaterList.h"

namespace {

using Command = CliArguments::Command;
using Problem = CliArguments::Problem;

// The exit status of every result of a Read and a Write; their messages are
// the window's (DeviceRead::message, DeviceWrite::message). A result missing
// here counts as a failure of the device, so that nothing is ever reported
// as done that was not.
template <typename Result>
struct Outcome {
    Result result;
    int exitCode;
};

const Outcome<DeviceRead::Result> kReadOutcomes[] = {
    {DeviceRead::Result::Done, TarvaneCli::Done},
    {DeviceRead::Result::BaudRateFailed, TarvaneCli::DeviceFailed},
    {DeviceRead::Result::FilterFailed, TarvaneCli::DeviceFailed},
    {DeviceRead::Result::FiberFailed, TarvaneCli::DeviceFailed},
    {DeviceRead::Result::RouteFailed, TarvaneCli::DeviceFailed},
};

const Outcome<DeviceWrite::Result> kWriteOutcomes[] = {
    {DeviceWrite::Result::Done, TarvaneCli::Done},
    {DeviceWrite::Result::BaudRateFailed, TarvaneCli::DeviceFailed},
    {DeviceWrite::Result::FilterFailed, TarvaneCli::DeviceFailed},
    {DeviceWrite::Result::FiberFailed, TarvaneCli::DeviceFailed},
    {DeviceWrite::Result::RouteFailed, TarvaneCli::DeviceFailed},
    {DeviceWrite::Result::ResetNotSent, TarvaneCli::DeviceFailed},
    {DeviceWrite::Result::ResetNoAnswer, TarvaneCli::DeviceFailed},
    {DeviceWrite::Result::ResetFailed, TarvaneCli::DeviceFailed},
};

template <typename Result, size_t N>
int exitCodeOf(const Outcome<Result> (&table)[N], Result result) {
    for (const Outcome<Result>& outcome : table)
        if (outcome.result == result) return outcome.exitCode;
    return TarvaneCli::DeviceFailed;
}

const char* const kStandardOutput = "-";

// How often the repeater is looked for while it restarts, and how long it
// may take to leave the bus after its reset was acknowledged.
constexpr unsigned long kPollMs = 100;
constexpr qint64 kRestartNoticeMs = 2000;

// The defaults of the device that was found, as the window's pages hold
// them once it has found the device.
ParameterSet deviceDefaults(const DeviceIdentity& identity) {
    return ParameterSet::defaults(identity.nCAN, identity.nFiberOptic, identity.routeType);
}

}  // namespace

TarvaneCli::TarvaneCli(const CliStreams& streams)
    : m_outDevice(streams.out), m_out(&streams.out), m_err(&streams.err), m_progress(streams.progress) {
    m_clock.start();
    // The same bytes on every system, and the encoding of the parameter
    // files that "read -o -" writes here too.
    m_out.setCodec("UTF-8");
    m_err.setCodec("UTF-8");
}

TarvaneCli::~TarvaneCli() {
    m_out.flush();
    m_err.flush();
    if (m_translatorInstalled) QCoreApplication::removeTranslator(&m_translator);
}

void TarvaneCli::installLanguage(const QString& language) {
    // The window's catalogues: English unless Chinese is asked for.
    const QString catalogue = language == QLatin1String("zh") ? QStringLiteral(":/Language/tarvane_zh.qm")
                                                              : QStringLiteral(":/Language/tarvane_en.qm");
    if (m_translator.load(catalogue))
        m_translatorInstalled = QCoreApplication::installTranslator(&m_translator);
}

int TarvaneCli::run(const QStringList& arguments) {
    const CliArguments parsed = CliArguments::parse(arguments);
    installLanguage(parsed.language);
    if (parsed.problem != Problem::None) return usageError(parsed);
    if (parsed.trace) m_trace = std::make_unique<ProtocolTrace>(m_err, m_clock);
    if (parsed.version) {
        m_out << "tarvane-cli " << TARVANE_VERSION << '\n';
        return outputDone() ? Done : UsageOrFileError;
    }
    if (parsed.help) {
        m_out << help(parsed.command) << '\n';
        return outputDone() ? Done : UsageOrFileError;
    }
    switch (parsed.command) {
        case Command::List:
            return list(parsed);
        case Command::Read:
            return read(parsed);
        case Command::Write:
            return write(parsed);
        case Command::Diff:
            return diff(parsed);
        case Command::None:
            break;
    }
    return usageError(parsed);
}

// --- Messages ----------------------------------------------------------------

void TarvaneCli::message(const QString& text) {
    m_out.flush();  // results that came first stay first where both streams meet
    m_err << text << '\n';
    m_err.flush();
}

void TarvaneCli::windowMessage(const char* text) {
    message(QCoreApplication::translate("Tarvane", text));
}

int TarvaneCli::usageError(const CliArguments& arguments) {
    switch (arguments.problem) {
        case Problem::NoCommand:
        case Problem::None:
            message(tr("缺少命令"));
            break;
        case Problem::UnknownCommand:
            message(tr("未知命令：%1").arg(arguments.subject));
            break;
        case Problem::UnknownOption:
            message(tr("未知选项：%1").arg(arguments.subject));
            break;
        case Problem::MissingValue:
            message(tr("选项%1缺少值").arg(arguments.subject));
            break;
        case Problem::MissingFile:
            message(tr("缺少参数文件"));
            break;
        case Problem::MissingOutput:
            message(tr("缺少 -o 文件"));
            break;
        case Problem::ExtraArgument:
            message(tr("多余的参数：%1").arg(arguments.subject));
            break;
        case Problem::UnknownLanguage:
            message(tr("未知语言：%1（可用 en、zh）").arg(arguments.subject));
            break;
        case Problem::EmptyValue:
            message(tr("选项%1的值不能为空").arg(arguments.subject));
            break;
        case Problem::ValueLikeOption:
            message(tr("选项%1缺少值：“%2”是一个选项；若确是此值，请写成 %1=%2").arg(arguments.subject, arguments.value));
            break;
        case Problem::BadNumber:
            message(tr("选项%1的值无效：%2").arg(arguments.subject, arguments.value));
            break;
        case Problem::NeedsOption:
            message(tr("选项%1只能与%2一起使用").arg(arguments.subject, arguments.value));
            break;
        case Problem::ExcludesOption:
            message(tr("选项%1不能与%2一起使用").arg(arguments.subject, arguments.value));
            break;
    }
    message(tr("用 --help 查看用法。"));
    return UsageOrFileError;
}

QString TarvaneCli::help(Command command) const {
    switch (command) {
        case Command::List:
            return tr(
                "用法：tarvane-cli list [--json]\n"
                "\n"
                "列出连接的每台中继器（USB 0483:6901），每台一行，以制表符分隔：路径、型号、卡号、硬件版本、固件版本、CAN通道数、光纤通道数。\n"
                "无应答的设备只列出路径和错误，退出状态为4；没有连接设备时退出状态为3。--json 以 JSON 数组输出。");
        case Command::Read:
            return tr(
                "用法：tarvane-cli read [--device 路径|卡号] -o 文件\n"
                "\n"
                "像窗口的“读配置”一样读取设备参数，存为与窗口“保存”相同的参数文件。\n"
                "-o - 把参数文件写到标准输出。连接多台设备时，须用 --device 以路径或卡号指定一台。");
        case Command::Write:
            return tr(
                "用法：tarvane-cli write 文件 [--device 路径|卡号] [--backup 文件] [--verify [--wait 秒]] [--dry-run [--type 1-5]]\n"
                "\n"
                "像窗口的“打开”一样打开参数文件，检查各参数，像“写配置”一样发送各帧并复位设备。\n"
                "参数文件须给出设备的每个参数；有缺漏或错误时不发送任何数据。\n"
                "--backup 先读取设备，把其参数存为文件（- 为标准输出）；读取或保存失败时不发送任何数据。\n"
                "--verify 复位后等待这台设备（按卡号）重新应答，最多 --wait 秒（默认10），读取并与写入的参数比较：相同时退出状态为0，不同时列出各个参数并以5退出，未重新应答时以4退出。\n"
                "--dry-run 不发送，只把各帧写到标准输出，每帧一行；加 --type 时按该硬件类型输出，无须连接设备。");
        case Command::Diff:
            return tr(
                "用法：tarvane-cli diff 文件 [--device 路径|卡号]\n"
                "\n"
                "读取设备参数并与参数文件比较，每个不同的参数一行，以制表符分隔：通道、过滤器组、参数、文件中的值、设备中的值。\n"
                "参数文件须给出设备的每个参数。相同时不输出，退出状态为0；不同时退出状态为1。");
        case Command::None:
            break;
    }
    return tr(
        "用法：tarvane-cli [--lang en|zh] [--trace] 命令 [选项]\n"
        "\n"
        "命令：\n"
        "  list [--json]                                列出连接的每台中继器\n"
        "  read [--device 路径|卡号] -o 文件            读取设备参数，存为参数文件\n"
        "  write 文件 [--device 路径|卡号] [--dry-run]  把参数文件写入设备并复位\n"
        "  diff 文件 [--device 路径|卡号]               列出设备与参数文件不同的参数\n"
        "\n"
        "--lang zh 以中文显示信息（默认英文）。--trace 在标准错误上逐行列出发送和收到的每个报告。每个命令都有 --help；--version 显示版本。\n"
        "只有写成“--选项=值”时，值才能以“-”开头；“--”之后都不是选项。\n"
        "退出状态：0 完成（diff：相同），1 diff 发现不同，2 用法或文件错误，3 没有这台设备、没有连接设备或多于一台，4 设备拒绝或无应答，5 已写入但设备保存的参数不同（write --verify）。");
}

// --- Devices -----------------------------------------------------------------

QString TarvaneCli::repeaterError(const FoundRepeater& repeater) const {
    if (repeater.state == FoundRepeater::State::NotOpened) {
        if (repeater.openError.isEmpty()) return tr("无法打开设备");
        return tr("无法打开设备：%1").arg(repeater.openError);
    }
    return QCoreApplication::translate("Tarvane", "搜索设备失败");
}

QString TarvaneCli::repeaterLine(const FoundRepeater& repeater) const {
    QStringList fields{QString::fromStdString(repeater.path)};
    if (repeater.state == FoundRepeater::State::Identified) {
        const DeviceIdentity& id = repeater.identity;
        fields << id.strDevType << id.strCardNum << id.strDevVer << id.strFirmware << QString::number(id.nCAN)
               << QString::number(id.nFiberOptic);
    } else {
        fields << repeaterError(repeater);
    }
    return fields.join(QLatin1Char('\t'));
}

void TarvaneCli::showCandidates(const QVector<FoundRepeater>& candidates) {
    for (const FoundRepeater& repeater : candidates) message(repeaterLine(repeater));
}

int TarvaneCli::openDevice(const QString& wanted, HIDDevice& device, DeviceIdentity* identity) {
    std::string path;
    QVector<FoundRepeater> candidates;
    switch (RepeaterList::choose(wanted, &path, &candidates, m_trace.get())) {
        case RepeaterList::Choice::Chosen:
            break;
        case RepeaterList::Choice::NoneConnected:
            windowMessage("设备未连接");
            return NoSuchDevice;
        case RepeaterList::Choice::NotFound:
            message(tr("没有这台设备：%1").arg(wanted));
            if (!candidates.isEmpty()) message(tr("连接的设备："));
            showCandidates(candidates);
            return NoSuchDevice;
        case RepeaterList::Choice::SeveralFound:
            message(wanted.isEmpty()
                        ? tr("连接了多台设备，请用 --device 以路径或卡号指定其中一台：")
                        : tr("有多台设备的卡号是%1，请用 --device 以路径指定其中一台：").arg(wanted));
            showCandidates(candidates);
            return NoSuchDevice;
    }
    device.setTrace(m_trace.get());
    const FoundRepeater repeater = RepeaterList::open(path, device);
    if (repeater.state != FoundRepeater::State::Identified) {
        message(repeaterError(repeater));
        return DeviceFailed;
    }
    *identity = repeater.identity;
    return Done;
}

int TarvaneCli::loadFile(const QString& path, QJsonObject* object) {
    QString warning;
    if (ParameterFile::load(path, object, &warning)) return Done;
    message(warning);
    return UsageOrFileError;
}

int TarvaneCli::completeSet(const QJsonObject& file, ParameterSet* set) {
    // The window keeps on its pages what a file lacks; here nothing could be kept.
    ParameterDocument::Problem problem;
    QStringList ignored;
    const bool complete = ParameterDocument::applyComplete(file, set, &problem, &ignored);
    for (const QString& line : qAsConst(ignored)) message(tr("注意：%1").arg(line));
    if (!complete) {
        message(tr("参数文件不完整或有误：%1：%2").arg(problem.where, problem.why));
        return UsageOrFileError;
    }
    const QStringList problems = ParameterChecks::problems(*set);
    if (!problems.isEmpty()) {
        message(ParameterChecks::problemMessage(problems));
        return UsageOrFileError;
    }
    return Done;
}

bool TarvaneCli::outputDone() {
    m_out.flush();
    const auto* file = qobject_cast<const QFileDevice*>(&m_outDevice);
    if (m_out.status() == QTextStream::Ok && (!file || file->error() == QFileDevice::NoError)) return true;
    message(tr("无法写到标准输出：%1").arg(m_outDevice.errorString()));
    m_out.resetStatus();
    return false;
}

int TarvaneCli::saveSet(const ParameterSet& set, const QString& path) {
    QString warning;
    const QJsonDocument document = ParameterDocument::toDocument(set);
    const bool toOutput = path == QLatin1String(kStandardOutput);
    m_out.flush();  // what the stream holds goes out before the file's bytes
    const bool saved = toOutput ? ParameterFile::write(m_outDevice, tr("标准输出"), document, &warning)
                                : ParameterFile::save(path, document, &warning);
    if (saved) return Done;
    message(warning);
    return UsageOrFileError;
}

void TarvaneCli::printDifferences(const QVector<FieldDifference>& differences) {
    for (const FieldDifference& d : differences) {
        m_out << QStringList{d.channel, d.bankText(), d.field, d.givenValue, d.deviceValue}.join(QLatin1Char('\t'))
              << '\n';
    }
}

DeviceRead::Result TarvaneCli::readDevice(HIDDevice& device, ParameterSet& set) {
    DeviceRead reading(device, set);
    ProgressLine progress(m_err, m_progress);
    reading.setProgress(
        [&](int step, int steps) { progress.show(tr("读取：第%1步，共%2步").arg(step).arg(steps)); });
    return reading.run();
}

// --- Commands ----------------------------------------------------------------

int TarvaneCli::list(const CliArguments& arguments) {
    const QVector<FoundRepeater> repeaters = RepeaterList::findAll(m_trace.get());
    int status = Done;
    QJsonArray array;
    for (const FoundRepeater& repeater : repeaters) {
        if (repeater.state != FoundRepeater::State::Identified) status = DeviceFailed;
        if (!arguments.json) {
            m_out << repeaterLine(repeater) << '\n';
            continue;
        }
        QJsonObject object{{QStringLiteral("path"), QString::fromStdString(repeater.path)}};
        if (repeater.state == FoundRepeater::State::Identified) {
            const DeviceIdentity& id = repeater.identity;
            object.insert(QStringLiteral("model"), id.strDevType);
            object.insert(QStringLiteral("cardNumber"), id.strCardNum);
            object.insert(QStringLiteral("hardwareVersion"), id.strDevVer);
            object.insert(QStringLiteral("firmwareVersion"), id.strFirmware);
            object.insert(QStringLiteral("canChannels"), id.nCAN);
            object.insert(QStringLiteral("fiberChannels"), id.nFiberOptic);
        } else {
            object.insert(QStringLiteral("error"), repeaterError(repeater));
        }
        array.append(object);
    }
    if (arguments.json) m_out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    if (!outputDone()) return UsageOrFileError;
    if (repeaters.isEmpty()) {
        windowMessage("设备未连接");
        return NoSuchDevice;
    }
    return status;
}

int TarvaneCli::read(const CliArguments& arguments) {
    HIDDevice device;
    DeviceIdentity identity;
    if (const int status = openDevice(arguments.device, device, &identity)) return status;

    ParameterSet set = deviceDefaults(identity);
    const DeviceRead::Result result = readDevice(device, set);
    windowMessage(DeviceRead::message(result));
    if (const int status = exitCodeOf(kReadOutcomes, result)) return status;

    if (const int status = saveSet(set, arguments.output)) return status;
    if (arguments.output != QLatin1String(kStandardOutput)) windowMessage("保存完成");
    return Done;
}

int TarvaneCli::write(const CliArguments& arguments) {
    QJsonObject file;
    if (const int status = loadFile(arguments.file, &file)) return status;

    HIDDevice device;
    DeviceIdentity identity;
    ParameterSet set;
    if (arguments.type != 0) {
        // A model named by --type needs no repeater: its frames only are shown.
        const HardwareModel* model = hardwareModel(arguments.type);
        set = ParameterSet::defaults(model->nCAN, model->nFiberOptic, model->routeType);
    } else {
        if (const int status = openDevice(arguments.device, device, &identity)) return status;
        set = deviceDefaults(identity);
    }
    if (const int status = completeSet(file, &set)) return status;
    // A script cannot be asked, as the window asks: it is told.
    for (const QString& line : ParameterChecks::testModes(set)) message(tr("注意：%1").arg(line));

    if (!arguments.backup.isEmpty()) {
        // What the device held, saved before anything is sent to it.
        ParameterSet held = deviceDefaults(identity);
        const DeviceRead::Result result = readDevice(device, held);
        if (const int status = exitCodeOf(kReadOutcomes, result)) {
            windowMessage(DeviceRead::message(result));
            return status;
        }
        if (const int status = saveSet(held, arguments.backup)) return status;
        if (arguments.backup != QLatin1String(kStandardOutput)) message(tr("备份已保存：%1").arg(arguments.backup));
    }

    if (arguments.dryRun) {
        for (const QByteArray& frame : DeviceWrite::frames(set)) m_out << frame.toHex(' ').toUpper() << '\n';
        return outputDone() ? Done : UsageOrFileError;
    }

    DeviceWrite writing(device, set);
    DeviceWrite::Result result;
    {
        ProgressLine progress(m_err, m_progress);
        writing.setProgress(
            [&](int step, int steps) { progress.show(tr("写入：第%1步，共%2步").arg(step).arg(steps)); });
        result = writing.run();
    }
    windowMessage(DeviceWrite::message(result));
    if (const int status = exitCodeOf(kWriteOutcomes, result)) return status;
    if (!arguments.verify) return Done;
    // The repeater restarts: the handle is gone with it.
    device.close();
    return verify(identity.strCardNum, set, arguments.waitSeconds);
}

int TarvaneCli::verify(const QString& cardNumber, const ParameterSet& written, int waitSeconds) {
    const qint64 deadline = m_clock.elapsed() + qint64(waitSeconds) * 1000;
    // A reset takes the repeater off the bus before it answers again; one
    // that never goes (or goes unseen) is read once it answers, all the same.
    const qint64 goneBy = qMin(deadline, m_clock.elapsed() + kRestartNoticeMs);
    bool gone = false;
    while (m_clock.elapsed() < deadline) {
        std::string path;
        QVector<FoundRepeater> candidates;
        const RepeaterList::Choice choice = RepeaterList::choose(cardNumber, &path, &candidates, m_trace.get());
        if (choice == RepeaterList::Choice::SeveralFound) {
            message(tr("有多台设备的卡号是%1，无法校验").arg(cardNumber));
            return NoSuchDevice;
        }
        if (choice != RepeaterList::Choice::Chosen) {
            gone = true;
        } else if (gone || m_clock.elapsed() >= goneBy) {
            HIDDevice device;
            device.setTrace(m_trace.get());
            const FoundRepeater repeater = RepeaterList::open(path, device);
            ParameterSet held = deviceDefaults(repeater.identity);
            if (repeater.state == FoundRepeater::State::Identified &&
                readDevice(device, held) == DeviceRead::Result::Done) {
                const QVector<FieldDifference> differences = ParameterDiff::compare(written, held);
                printDifferences(differences);
                if (!outputDone()) return UsageOrFileError;
                if (differences.isEmpty()) {
                    message(tr("校验无误：设备保存的参数与写入的相同"));
                    return Done;
                }
                message(tr("已写入，但设备保存的参数与写入的不同"));
                return WrittenButDiffers;
            }
        }
        QThread::msleep(kPollMs);
    }
    message(tr("设备复位后%1秒内没有再应答").arg(waitSeconds));
    return DeviceFailed;
}

int TarvaneCli::diff(const CliArguments& arguments) {
    QJsonObject file;
    if (const int status = loadFile(arguments.file, &file)) return status;
    HIDDevice device;
    DeviceIdentity identity;
    if (const int status = openDevice(arguments.device, device, &identity)) return status;

    // A field the Write would refuse cannot be what the device holds.
    ParameterSet fromFile = deviceDefaults(identity);
    if (const int status = completeSet(file, &fromFile)) return status;

    ParameterSet fromDevice = deviceDefaults(identity);
    const DeviceRead::Result result = readDevice(device, fromDevice);
    if (const int status = exitCodeOf(kReadOutcomes, result)) {
        windowMessage(DeviceRead::message(result));
        return status;
    }

    const QVector<FieldDifference> differences = ParameterDiff::compare(fromFile, fromDevice);
    printDifferences(differences);
    if (!outputDone()) return UsageOrFileError;
    return differences.isEmpty() ? Done : Differences;
}

int runCli(const QStringList& arguments, const CliStreams& streams) {
    TarvaneCli cli(streams);
    return cli.run(arguments);
}
