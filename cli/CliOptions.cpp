#include "CliOptions.h"

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

#include "BitTiming.h"
#include "DeviceSearch.h"
#include "ParameterSet.h"

namespace CliOptions {

namespace {

using Problem = CliArguments::Problem;
using Use = OptionRow::Use;

// A whole number within [low, high], or a usage error naming the option.
// Digits only: the blanks and signs that toInt() lets pass are mistakes here.
bool setNumber(CliArguments& a, const char* option, const QString& value, int low, int high, int* out) {
    bool ok = !value.isEmpty() && std::all_of(value.cbegin(), value.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    const int number = ok ? value.toInt(&ok) : 0;
    if (!ok || number < low || number > high) return a.fail(Problem::BadNumber, QLatin1String(option), value);
    *out = number;
    return true;
}

// A number within (low, high] or [low, high] as `lowIncluded` says, with a
// point for decimals whatever the locale; or a usage error naming the option.
bool setDecimal(CliArguments& a, const char* option, const QString& value, double low, bool lowIncluded,
                double high, double* out) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double number = c.toDouble(value.trimmed(), &ok);
    if (!ok || !std::isfinite(number) || number < low || (number == low && !lowIncluded) || number > high)
        return a.fail(Problem::BadNumber, QLatin1String(option), value);
    *out = number;
    return true;
}

// An unset variable in a script must not pick whatever repeater is plugged
// in, nor name a file that is no file.
bool setNotEmpty(CliArguments& a, const char* option, const QString& value, QString* out) {
    if (value.isEmpty()) return a.fail(Problem::EmptyValue, QLatin1String(option));
    *out = value;
    return true;
}

const char* const kFile = QT_TRANSLATE_NOOP("TarvaneCli", "文件");
constexpr Commands kWithDevice = bit(Command::Read) | bit(Command::Write) | bit(Command::Diff);
constexpr Commands kWithFile = bit(Command::Write) | bit(Command::Diff);
constexpr Commands kEveryDeviceCommand = kWithDevice | bit(Command::List);
constexpr Commands kFilters = bit(Command::Filters);
constexpr Commands kTiming = bit(Command::Timing);
// Far beyond any CAN bus or node, only to keep the figures finite.
constexpr double kLongestFigure = 1e9;

}  // namespace

const std::vector<CommandRow>& commands() {
    static const std::vector<CommandRow> rows{
        {Command::List, "list", nullptr, QT_TRANSLATE_NOOP("TarvaneCli", "列出连接的每台中继器"),
         QT_TRANSLATE_NOOP("TarvaneCli",
                           "列出连接的每台中继器（USB %1），每台一行，以制表符分隔：路径、型号、卡号、"
                           "硬件版本、固件版本、CAN通道数、光纤通道数。\n"
                           "无应答的设备只列出路径和错误，退出状态为4；没有连接设备时退出状态为3。")},
        {Command::Read, "read", nullptr, QT_TRANSLATE_NOOP("TarvaneCli", "读取设备参数，存为参数文件"),
         QT_TRANSLATE_NOOP("TarvaneCli",
                           "像窗口的“读配置”一样读取设备参数，存为与窗口“保存”相同的参数文件。")},
        {Command::Write, "write", kFile, QT_TRANSLATE_NOOP("TarvaneCli", "把参数文件写入设备并复位"),
         QT_TRANSLATE_NOOP(
             "TarvaneCli",
             "像窗口的“打开”一样打开参数文件，检查各参数，像“写配置”一样发送各帧并复位设备。\n"
             "参数文件须给出设备的每个参数；有缺漏或错误时不发送任何数据。\n"
             "参数文件（- 为标准输入）最大1 MiB。发送各帧和复位期间收到的中止信号留到写入结束后处理。\n"
             "有 --verify 时，相同时退出状态为0，不同时列出各个参数并以5退出，"
             "未重新应答时以4退出。")},
        {Command::Diff, "diff", kFile, QT_TRANSLATE_NOOP("TarvaneCli", "列出设备与参数文件不同的参数"),
         QT_TRANSLATE_NOOP(
             "TarvaneCli",
             "读取设备参数并与参数文件比较，每个不同的参数一行，以制表符分隔：通道、过滤器组、参数、"
             "文件中的值、设备中的值。\n"
             "参数文件（- 为标准输入，最大1 "
             "MiB）须给出设备的每个参数。相同时不输出，退出状态为0；不同时退出状态为1。\n"
             "给出第二个参数文件时不用设备，把它当作设备中的值比较；型号按其光纤代码的个数。"),
         nullptr, kFile},
        {Command::Filters, "filters", kFile,
         QT_TRANSLATE_NOOP("TarvaneCli", "说明或规划过滤器组，无须连接设备"),
         QT_TRANSLATE_NOOP(
             "TarvaneCli",
             "给出参数文件时，逐个过滤器组说明各CAN通道的过滤器让哪些帧通过，每组一行，以制表符分隔："
             "通道、过滤器组（1到14）、含义；通道按元素在“CANParam”中的位置。\n"
             "给出 --plan 时，按标识符和范围算出最少的过滤器组，把14项“DataList”写到标准输出，"
             "可贴入参数文件，并在标准错误上说明需要几个过滤器组（是否已证明）、其他标识符通过多少和各组让哪"
             "些帧通过。"
             "--first-bank 之前的过滤器组不使用。\n"
             "退出状态：0 只让所要求的标识符通过；1 "
             "过滤器组不够，计划也让其他标识符通过（数目在标准错误上）；"
             "2 列表有误或不能规划，标准输出上没有内容。"),
         "--plan"},
        {Command::Timing, "timing", QT_TRANSLATE_NOOP("TarvaneCli", "位定时字"),
         QT_TRANSLATE_NOOP("TarvaneCli",
                           "说明位定时字允许的时钟容差和总线长度，或按比特率选出位定时字，无须连接设备"),
         QT_TRANSLATE_NOOP(
             "TarvaneCli",
             "给出位定时字（如0x001C00E0）时，每行一项：位定时字的含义、"
             "每个节点的时钟容差（及限制它的关系）、两个节点之间最长的电缆；建议在标准错误上以“注意”列出。\n"
             "给出 --rate 时，像窗口的位定时计算器一样（误差不超过0.5 %）选出位定时字：误差最小、采样点最近，"
             "其中能覆盖 --length 的总线且时钟容差最大的，再同样说明它。\n"
             "总线长度按每个节点的环路延迟（--node-delay，默认335 ns：收发器最多255 ns，"
             "加上发送和接收两路隔离器各40 ns）和每米电缆5 ns计算。\n"
             "位定时字有问题，或没有字能覆盖 --length 的总线时，退出状态为2。"),
         "--rate"},
    };
    return rows;
}

const std::vector<OptionRow>& options() {
    static const std::vector<OptionRow> rows{
        {"--lang", nullptr, "en|zh", kEveryCommand, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "信息的语言：英文（en，默认）或中文（zh）"),
         [](CliArguments& a, const QString& value) {
             if (value != QLatin1String("en") && value != QLatin1String("zh"))
                 return a.fail(Problem::UnknownLanguage, value);
             a.language = value;
             return true;
         }},
        {"--trace", nullptr, nullptr, kEveryCommand, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "在标准错误上逐行列出发送和收到的每个报告"),
         [](CliArguments& a, const QString&) { return a.trace = true; }},
        {"--help", "-h", nullptr, kEveryCommand, Use::Alone,
         QT_TRANSLATE_NOOP("TarvaneCli", "显示用法；写在命令之后时显示该命令的用法"),
         [](CliArguments& a, const QString&) { return a.help = true; }},
        {"--version", nullptr, nullptr, kEveryCommand, Use::Alone,
         QT_TRANSLATE_NOOP("TarvaneCli", "显示版本"),
         [](CliArguments& a, const QString&) { return a.version = true; }},
        {"--device", nullptr, QT_TRANSLATE_NOOP("TarvaneCli", "路径|卡号"), kWithDevice, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "以路径或卡号指定设备；连接多台设备时必须指定"),
         [](CliArguments& a, const QString& value) { return setNotEmpty(a, "--device", value, &a.device); }},
        {"--all", nullptr, nullptr, kWithDevice, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "同时对连接的每台中继器进行，各用一个线程；每台一行结果"),
         [](CliArguments& a, const QString&) { return a.all = true; }},
        {"--json", nullptr, nullptr, kEveryDeviceCommand | kTiming, Use::Optional,
         QT_TRANSLATE_NOOP(
             "TarvaneCli",
             "以 JSON 输出：list 为设备的数组，diff 为不同参数的数组，--all 为每台设备一个对象，"
             "timing 为各项数值"),
         [](CliArguments& a, const QString&) { return a.json = true; }},
        {"-o", nullptr, kFile, bit(Command::Read), Use::Required,
         QT_TRANSLATE_NOOP("TarvaneCli",
                           "存为此参数文件，- 为标准输出；有 --all 时为文件夹，每台存为“卡号.txt”"),
         [](CliArguments& a, const QString& value) {
             a.output = value;
             return true;
         },
         QT_TRANSLATE_NOOP("TarvaneCli", "缺少 -o 文件")},
        {"--backup", nullptr, kFile, bit(Command::Write), Use::Optional,
         QT_TRANSLATE_NOOP(
             "TarvaneCli",
             "先读取设备，把其参数存为此文件（- 为标准输出；有 --all 时为文件夹，每台存为“卡号.txt”）；"
             "读取或保存失败时不发送任何数据"),
         [](CliArguments& a, const QString& value) { return setNotEmpty(a, "--backup", value, &a.backup); }},
        {"--verify", nullptr, nullptr, bit(Command::Write), Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "复位后等待这台设备（按卡号）重新应答，读取并与写入的参数比较"),
         [](CliArguments& a, const QString&) { return a.verify = true; }},
        {"--wait", nullptr, QT_TRANSLATE_NOOP("TarvaneCli", "秒"), bit(Command::Write), Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "--verify 最多等待的秒数，1到3600（默认10）"),
         [](CliArguments& a, const QString& value) {
             return setNumber(a, "--wait", value, 1, 3600, &a.waitSeconds);
         }},
        {"--dry-run", nullptr, nullptr, bit(Command::Write), Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "不发送，只把各帧写到标准输出，每帧一行"),
         [](CliArguments& a, const QString&) { return a.dryRun = true; }},
        {"--plan", nullptr, QT_TRANSLATE_NOOP("TarvaneCli", "列表"), kFilters, Use::Optional,
         QT_TRANSLATE_NOOP(
             "TarvaneCli",
             "以逗号分隔的标识符和范围（十六进制），如“0x100-0x1FF,0x7E8,0x18FEF100-0x18FEF1FF ext”；"
             "- 从标准输入读，@文件 从文件读，每行一项或以逗号分隔，最大1 MiB"),
         [](CliArguments& a, const QString& value) { return setNotEmpty(a, "--plan", value, &a.plan); }},
        {"--ext", nullptr, nullptr, kFilters, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "--plan 中未注明的项为扩展标识符（默认为标准标识符）"),
         [](CliArguments& a, const QString&) { return a.extended = true; }},
        {"--remote", nullptr, nullptr, kFilters, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "--plan 中未注明的项为远程帧（默认为数据帧）"),
         [](CliArguments& a, const QString&) { return a.remote = true; }},
        {"--rate", nullptr, QT_TRANSLATE_NOOP("TarvaneCli", "比特率"), kTiming, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "按此比特率（kbit/s）选出位定时字，代替给出位定时字"),
         [](CliArguments& a, const QString& value) {
             // The calculator's range: up to CAN's fastest, down to what the
             // controller makes, as rates show to the bit/s.
             double kbps = 0;
             if (!setDecimal(a, "--rate", value, 0, false, BitTiming::kMaxBitRate / 1000, &kbps))
                 return false;
             if (std::round(kbps * 1000) < std::round(BitTiming::kMinBitRate))
                 return a.fail(Problem::BadNumber, QStringLiteral("--rate"), value);
             a.rate = kbps;
             return true;
         }},
        {"--sample-point", nullptr, QT_TRANSLATE_NOOP("TarvaneCli", "百分比"), kTiming, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "希望的采样点（%），默认按比特率为87.5、80或75"),
         [](CliArguments& a, const QString& value) {
             return setDecimal(a, "--sample-point", value, 0, false, 100, &a.samplePoint) &&
                    (a.samplePoint < 100 ||
                     a.fail(Problem::BadNumber, QStringLiteral("--sample-point"), value));
         }},
        {"--sjw", nullptr, "1-4", kTiming, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "所选位定时字的SJW（默认1）"),
         [](CliArguments& a, const QString& value) {
             return setNumber(a, "--sjw", value, 1, BitTiming::kMaxSjw, &a.sjw);
         }},
        {"--length", nullptr, QT_TRANSLATE_NOOP("TarvaneCli", "米"), kTiming, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "所选位定时字须能覆盖的总线长度（米）"),
         [](CliArguments& a, const QString& value) {
             return setDecimal(a, "--length", value, 0, true, kLongestFigure, &a.length);
         }},
        {"--node-delay", nullptr, QT_TRANSLATE_NOOP("TarvaneCli", "纳秒"), kTiming, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "每个节点的环路延迟：收发器加隔离器（纳秒，默认335）"),
         [](CliArguments& a, const QString& value) {
             return setDecimal(a, "--node-delay", value, 0, true, kLongestFigure, &a.nodeDelay);
         }},
        {"--first-bank", nullptr, "1-14", kFilters, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "--plan 从这个过滤器组起填（默认1），与窗口的“从过滤器组”相同"),
         [](CliArguments& a, const QString& value) {
             return setNumber(a, "--first-bank", value, 1, kFilterBankCount, &a.firstBank);
         }},
        {"--type", nullptr, "1-5", bit(Command::Write), Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "--dry-run 时按该硬件类型输出各帧，无须连接设备"),
         [](CliArguments& a, const QString& value) {
             // The hardware types the model table knows.
             int type = 0;
             if (!setNumber(a, "--type", value, 1, std::numeric_limits<int>::max(), &type)) return false;
             if (!hardwareModel(type)) return a.fail(Problem::BadNumber, QStringLiteral("--type"), value);
             a.type = type;
             return true;
         }},
        {"--strict", nullptr, nullptr, kWithFile, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli", "把每个注意事项当作错误：以2退出，不向设备发送任何数据"),
         [](CliArguments& a, const QString&) { return a.strict = true; }},
        {"--log", nullptr, kFile, kWithDevice, Use::Optional,
         QT_TRANSLATE_NOOP("TarvaneCli",
                           "每台设备每条命令向此文件追加一行JSON记录：时间、卡号、路径、文件的SHA-256、"
                           "命令、结果、步骤、退出状态"),
         [](CliArguments& a, const QString& value) { return setNotEmpty(a, "--log", value, &a.log); }},
    };
    return rows;
}

const std::vector<RelationRow>& relations() {
    using Kind = RelationRow::Kind;
    static const std::vector<RelationRow> rows{
        {"--wait", Kind::Needs, "--verify"},
        {"--type", Kind::Needs, "--dry-run"},
        // A model named by --type has no device to find or to back up.
        {"--type", Kind::Excludes, "--device"},
        {"--type", Kind::Excludes, "--backup"},
        // A dry run sends nothing and writes no file; a backup on standard
        // output would be mixed with its frames.
        {"--backup", Kind::Excludes, "--dry-run"},
        // Nothing done to a repeater, nothing to record.
        {"--log", Kind::Excludes, "--dry-run"},
        // Nothing written, nothing to read back.
        {"--verify", Kind::Excludes, "--dry-run"},
        {"--all", Kind::Excludes, "--device"},
        {"--all", Kind::Excludes, "--dry-run"},
        // One result per repeater; read and write give none of their own.
        {"--json", Kind::Needs, "--all", bit(Command::Read) | bit(Command::Write)},
        {"--ext", Kind::Needs, "--plan"},
        {"--remote", Kind::Needs, "--plan"},
        {"--sample-point", Kind::Needs, "--rate"},
        {"--sjw", Kind::Needs, "--rate"},
        {"--length", Kind::Needs, "--rate"},
        {"--first-bank", Kind::Needs, "--plan"},
    };
    return rows;
}

const CommandRow* findCommand(Command command) {
    for (const CommandRow& row : commands())
        if (row.command == command) return &row;
    return nullptr;
}

const CommandRow* findCommand(const QString& name) {
    for (const CommandRow& row : commands())
        if (name == QLatin1String(row.name)) return &row;
    return nullptr;
}

const OptionRow* findOption(const QString& name) {
    for (const OptionRow& row : options())
        if (name == QLatin1String(row.name) || (row.shortName && name == QLatin1String(row.shortName)))
            return &row;
    return nullptr;
}

bool takes(const OptionRow& option, Command command) {
    return (option.commands & bit(command)) != 0;
}

}  // namespace CliOptions
