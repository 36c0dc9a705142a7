#include "CliHelp.h"

#include <QStringList>
#include <QVector>

#include "CliOptions.h"
#include "Protocol.h"
#include "TarvaneCli.h"

namespace CliHelp {

namespace {

using namespace CliOptions;
using Use = OptionRow::Use;

// Columns on a terminal: a Chinese character takes two.
int displayWidth(const QString& text) {
    int width = 0;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) ||
                          (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
                          (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                          (u >= 0xFFE0 && u <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

QString withValue(const OptionRow& row, const QString& name) {
    return row.value ? name + QLatin1Char(' ') + TarvaneCli::tr(row.value) : name;
}

bool holdsFor(const RelationRow& relation, Command command) {
    return relation.kind == RelationRow::Kind::Needs && (relation.commands & bit(command)) != 0;
}

// The option this one works only with, or nullptr.
const char* neededOption(const OptionRow& row, Command command) {
    for (const RelationRow& relation : relations())
        if (holdsFor(relation, command) && qstrcmp(relation.option, row.name) == 0) return relation.other;
    return nullptr;
}

// An option in a usage line, in brackets unless it is required, with the
// options that need it inside: "[--verify [--wait 秒]]".
QString usage(const OptionRow& row, Command command) {
    QString text = withValue(row, QLatin1String(row.name));
    for (const RelationRow& relation : relations()) {
        if (!holdsFor(relation, command) || qstrcmp(relation.other, row.name) != 0) continue;
        const OptionRow* inner = findOption(QLatin1String(relation.option));
        if (takes(*inner, command)) text += QLatin1Char(' ') + usage(*inner, command);
    }
    return row.use == Use::Required ? text : QLatin1Char('[') + text + QLatin1Char(']');
}

}  // namespace

// The command, what follows it and its own options: "diff 文件 [--device 路径|卡号]";
// an option that stands for the operand beside it: "filters 文件|--plan 列表 [--ext]".
QString usage(const CommandRow& command) {
    QStringList parts{QLatin1String(command.name)};
    if (command.operand) {
        QString operand = TarvaneCli::tr(command.operand);
        if (command.instead)
            operand += QLatin1Char('|') +
                       withValue(*findOption(QLatin1String(command.instead)), QLatin1String(command.instead));
        parts << operand;
        if (command.second) parts << QLatin1Char('[') + TarvaneCli::tr(command.second) + QLatin1Char(']');
    }
    for (const OptionRow& row : options()) {
        if (row.commands == kEveryCommand || !takes(row, command.command)) continue;
        if (command.instead && qstrcmp(row.name, command.instead) == 0) continue;
        const char* needed = neededOption(row, command.command);
        if (!needed || (command.instead && qstrcmp(needed, command.instead) == 0))
            parts << usage(row, command.command);
    }
    return parts.join(QLatin1Char(' '));
}

// The options of every command, those that need no command left out:
// "[--lang en|zh] [--trace]".
QString details(const CommandRow& command) {
    const QString text = TarvaneCli::tr(command.details);
    if (!text.contains(QLatin1String("%1"))) return text;
    return text.arg(Protocol::usbIdText());
}

QString commonUsage() {
    QStringList parts;
    for (const OptionRow& row : options())
        if (row.commands == kEveryCommand && row.use != Use::Alone) parts << usage(row, Command::None);
    return parts.join(QLatin1Char(' '));
}

QString closingNote() {
    return TarvaneCli::tr(
        "只有写成“--选项=值”时，值才能以“-”开头；“--”之后都不是选项。\n"
        "退出状态：0 完成（diff：相同），1 diff 发现不同或 filters --plan 的计划也让其他标识符通过，2 "
        "用法或文件错误（有 --strict "
        "时也包括注意事项），3 "
        "没有这台设备、没有连接设备或多于一台，"
        "4 设备拒绝或无应答，5 已写入但设备保存的参数不同（write --verify），128+n 因信号n中止；"
        "有 --all 时为各台设备中最严重的（依次为4、5、2、3、1），中止时为128+n。");
}

namespace {

// A command's usage beside an option's.
using CliHelp::usage;

QString usageLine(const QString& words) {
    return TarvaneCli::tr("用法：%1").arg(QLatin1String("tarvane-cli ") + words);
}

// Each option with its value and its description, in two columns.
QString optionLines(const QVector<const OptionRow*>& rows) {
    QStringList labels;
    int width = 0;
    for (const OptionRow* row : rows) {
        const QString name = row->shortName ? QLatin1String(row->shortName) + QLatin1String(", ") + row->name
                                            : QLatin1String(row->name);
        labels << withValue(*row, name);
        width = qMax(width, displayWidth(labels.last()));
    }
    QStringList lines{TarvaneCli::tr("选项：")};
    for (int i = 0; i < rows.size(); ++i) {
        const QString gap(width - displayWidth(labels.at(i)) + 2, QLatin1Char(' '));
        lines << QLatin1String("  ") + labels.at(i) + gap + TarvaneCli::tr(rows.at(i)->description);
    }
    return lines.join(QLatin1Char('\n'));
}

QString overview() {
    QStringList lines{usageLine(commonUsage() + QLatin1Char(' ') + TarvaneCli::tr("命令 [选项]")), QString(),
                      TarvaneCli::tr("命令：")};
    for (const CommandRow& command : commands())
        lines << QLatin1String("  ") + usage(command)
              << QLatin1String("      ") + TarvaneCli::tr(command.summary);
    QVector<const OptionRow*> rows;
    for (const OptionRow& row : options()) rows << &row;
    lines << QString() << optionLines(rows) << QString() << closingNote();
    return lines.join(QLatin1Char('\n'));
}

// Its own options first, then those of every command.
QString commandHelp(const CommandRow& command) {
    QVector<const OptionRow*> own;
    QVector<const OptionRow*> common;
    for (const OptionRow& row : options()) {
        if (takes(row, command.command)) (row.commands == kEveryCommand ? common : own) << &row;
    }
    return QStringList{usageLine(usage(command)), QString(), details(command), QString(),
                       optionLines(own + common)}
        .join(QLatin1Char('\n'));
}

}  // namespace

QString text(Command command) {
    const CommandRow* row = findCommand(command);
    return row ? commandHelp(*row) : overview();
}

QString problem(const CliArguments& arguments) {
    using Problem = CliArguments::Problem;
    const QString& subject = arguments.subject;
    switch (arguments.problem) {
        case Problem::NoCommand:
        case Problem::None:
            break;
        case Problem::UnknownCommand:
            return TarvaneCli::tr("未知命令：%1").arg(subject);
        case Problem::UnknownOption:
            return TarvaneCli::tr("未知选项：%1").arg(subject);
        case Problem::MissingValue:
            return TarvaneCli::tr("选项%1缺少值").arg(subject);
        case Problem::MissingFile:
            // The one command whose operand is no file.
            if (arguments.command == Command::Timing) return TarvaneCli::tr("缺少位定时字或 --rate");
            return TarvaneCli::tr("缺少参数文件");
        case Problem::MissingOption:
            return TarvaneCli::tr(findOption(subject)->missing);
        case Problem::ExtraArgument:
            return TarvaneCli::tr("多余的参数：%1").arg(subject);
        case Problem::UnknownLanguage:
            return TarvaneCli::tr("未知语言：%1（可用 en、zh）").arg(subject);
        case Problem::EmptyValue:
            return TarvaneCli::tr("选项%1的值不能为空").arg(subject);
        case Problem::ValueLikeOption:
            return TarvaneCli::tr("选项%1缺少值：“%2”是一个选项；若确是此值，请写成 %1=%2")
                .arg(subject, arguments.value);
        case Problem::BadNumber:
            return TarvaneCli::tr("选项%1的值无效：%2").arg(subject, arguments.value);
        case Problem::NeedsOption:
            return TarvaneCli::tr("选项%1只能与%2一起使用").arg(subject, arguments.value);
        case Problem::ExcludesOption:
            return TarvaneCli::tr("选项%1不能与%2一起使用").arg(subject, arguments.value);
        case Problem::RepeatedOption:
            return TarvaneCli::tr("选项%1只能给出一次").arg(subject);
        case Problem::TwoFiles:
            return TarvaneCli::tr("比较两个参数文件时不用设备，不能用%1").arg(subject);
    }
    return TarvaneCli::tr("缺少命令");
}

}  // namespace CliHelp
