#include "CliHelp.h"

#include <QStringList>
#include <QVector>

#include "CliOptions.h"
#include "TarvaneCli.h"

namespace CliHelp {

namespace {

using Command = CliArguments::Command;

QString tr(const char* text) {
    return TarvaneCli::tr(text);
}

}  // namespace

QString text(Command command) {
    switch (command) {
        case Command::List:
            return tr(
                "用法：tarvane-cli list [--json]\n"
                "\n"
                "列出连接的每台中继器（USB "
                "0483:"
                "6901），每台一行，以制表符分隔：路径、型号、卡号、硬件版本、固件版本、CAN通道数、光纤通道数"
                "。\n"
                "无应答的设备只列出路径和错误，退出状态为4；没有连接设备时退出状态为3。--json 以 JSON "
                "数组输出。");
        case Command::Read:
            return tr(
                "用法：tarvane-cli read [--device 路径|卡号] -o 文件\n"
                "\n"
                "像窗口的“读配置”一样读取设备参数，存为与窗口“保存”相同的参数文件。\n"
                "-o - 把参数文件写到标准输出。连接多台设备时，须用 --device 以路径或卡号指定一台。");
        case Command::Write:
            return tr(
                "用法：tarvane-cli write 文件 [--device 路径|卡号] [--backup 文件] [--verify [--wait 秒]] "
                "[--dry-run [--type 1-5]]\n"
                "\n"
                "像窗口的“打开”一样打开参数文件，检查各参数，像“写配置”一样发送各帧并复位设备。\n"
                "参数文件须给出设备的每个参数；有缺漏或错误时不发送任何数据。\n"
                "--backup 先读取设备，把其参数存为文件（- 为标准输出）；读取或保存失败时不发送任何数据。\n"
                "--verify 复位后等待这台设备（按卡号）重新应答，最多 --wait "
                "秒（默认10），读取并与写入的参数比较：相同时退出状态为0，不同时列出各个参数并以5退出，未重新"
                "应答时以4退出。\n"
                "--dry-run 不发送，只把各帧写到标准输出，每帧一行；加 --type "
                "时按该硬件类型输出，无须连接设备。");
        case Command::Diff:
            return tr(
                "用法：tarvane-cli diff 文件 [--device 路径|卡号]\n"
                "\n"
                "读取设备参数并与参数文件比较，每个不同的参数一行，以制表符分隔：通道、过滤器组、参数、文件中"
                "的值、设备中的值。\n"
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
        "--lang zh 以中文显示信息（默认英文）。--trace "
        "在标准错误上逐行列出发送和收到的每个报告。每个命令都有 --help；--version 显示版本。\n"
        "只有写成“--选项=值”时，值才能以“-”开头；“--”之后都不是选项。\n"
        "退出状态：0 完成（diff：相同），1 diff 发现不同，2 用法或文件错误，3 "
        "没有这台设备、没有连接设备或多于一台，4 设备拒绝或无应答，5 已写入但设备保存的参数不同（write "
        "--verify）。");
}

QString problem(const CliArguments& arguments) {
    using Problem = CliArguments::Problem;
    const QString& subject = arguments.subject;
    switch (arguments.problem) {
        case Problem::NoCommand:
        case Problem::None:
            break;
        case Problem::UnknownCommand:
            return tr("未知命令：%1").arg(subject);
        case Problem::UnknownOption:
            return tr("未知选项：%1").arg(subject);
        case Problem::MissingValue:
            return tr("选项%1缺少值").arg(subject);
        case Problem::MissingFile:
            return tr("缺少参数文件");
        case Problem::MissingOption:
            return tr(CliOptions::findOption(subject)->missing);
        case Problem::ExtraArgument:
            return tr("多余的参数：%1").arg(subject);
        case Problem::UnknownLanguage:
            return tr("未知语言：%1（可用 en、zh）").arg(subject);
        case Problem::EmptyValue:
            return tr("选项%1的值不能为空").arg(subject);
        case Problem::ValueLikeOption:
            return tr("选项%1缺少值：“%2”是一个选项；若确是此值，请写成 %1=%2").arg(subject, arguments.value);
        case Problem::BadNumber:
            return tr("选项%1的值无效：%2").arg(subject, arguments.value);
        case Problem::NeedsOption:
            return tr("选项%1只能与%2一起使用").arg(subject, arguments.value);
        case Problem::ExcludesOption:
            return tr("选项%1不能与%2一起使用").arg(subject, arguments.value);
    }
    return tr("缺少命令");
}

}  // namespace CliHelp
