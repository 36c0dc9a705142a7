#include "CliManual.h"

#include <QStringList>

#include "CliHelp.h"
#include "CliOptions.h"
#include "TarvaneCli.h"
#include "TarvaneVersion.h"

namespace CliManual {

namespace {

using namespace CliOptions;

// Text as man shows it: a backslash is roff's escape, "-" a hyphen that
// man may break at or show as another dash ("\-" is the minus of options),
// and a line that begins with "." or "'" a request.
QString roff(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        QString out;
        for (const QChar c : line) {
            if (c == QLatin1Char('\\'))
                out += QLatin1String("\\e");
            else if (c == QLatin1Char('-'))
                out += QLatin1String("\\-");
            else
                out += c;
        }
        if (out.startsWith(QLatin1Char('.')) || out.startsWith(QLatin1Char('\'')))
            out.prepend(QLatin1String("\\&"));
        lines << out;
    }
    return lines.join(QLatin1String("\n.br\n"));
}

QString bold(const QString& text) {
    return QLatin1String("\\fB") + roff(text) + QLatin1String("\\fR");
}

QString heading(const char* title) {
    return QLatin1String(".SH \"") + TarvaneCli::tr(title) + QLatin1Char('"');
}

// "-h, --help" in bold, its value in italics; then what it does, and which
// commands take it unless every one does.
QString optionItem(const OptionRow& row) {
    QString label = bold(QLatin1String(row.name));
    if (row.shortName) label.prepend(bold(QLatin1String(row.shortName)) + QLatin1String(", "));
    if (row.value)
        label += QLatin1Char(' ') + QLatin1String("\\fI") + roff(TarvaneCli::tr(row.value)) +
                 QLatin1String("\\fR");
    QString text = TarvaneCli::tr(row.description);
    if (row.commands != kEveryCommand) {
        QStringList names;
        for (const CommandRow& command : commands())
            if (takes(row, command.command)) names << QLatin1String(command.name);
        text += QLatin1String(" (") + names.join(QLatin1String(", ")) + QLatin1Char(')');
    }
    return QStringList{QStringLiteral(".TP"), label, roff(text)}.join(QLatin1Char('\n'));
}

}  // namespace

QString page(const QString& date) {
    QStringList lines{
        QStringLiteral(".TH TARVANE\\-CLI 1 \"%1\" \"Tarvane %2\" \"%3\"")
            .arg(date, QLatin1String(TARVANE_VERSION), TarvaneCli::tr("用户命令")),
        heading(QT_TRANSLATE_NOOP("TarvaneCli", "名称")),
        QLatin1String("tarvane\\-cli \\- ") + roff(TarvaneCli::tr("列出、读取、写入和比较CAN总线中继器")),
        heading(QT_TRANSLATE_NOOP("TarvaneCli", "概要")),
        bold(QStringLiteral("tarvane-cli")) + QLatin1Char(' ') +
            roff(CliHelp::commonUsage() + QLatin1Char(' ') + TarvaneCli::tr("命令 [选项]"))};
    for (const CommandRow& command : commands())
        lines << QStringLiteral(".br")
              << bold(QStringLiteral("tarvane-cli")) + QLatin1Char(' ') + roff(CliHelp::usage(command));
    lines
        << heading(QT_TRANSLATE_NOOP("TarvaneCli", "描述"))
        << roff(TarvaneCli::tr(
               "tarvane-cli 做 Tarvane 窗口的按钮所做的事，每步一个命令，用于在工作台上设置或检查多台中继器："
               "它发送与窗口相同的帧，读写与窗口相同的参数文件。结果写到标准输出，信息写到标准错误。"));
    lines << heading(QT_TRANSLATE_NOOP("TarvaneCli", "命令"));
    for (const CommandRow& command : commands())
        lines << QStringLiteral(".TP") << bold(CliHelp::usage(command)) << roff(CliHelp::details(command));
    lines << heading(QT_TRANSLATE_NOOP("TarvaneCli", "选项"));
    for (const OptionRow& row : options()) lines << optionItem(row);
    lines << heading(QT_TRANSLATE_NOOP("TarvaneCli", "说明"));
    for (const QString& paragraph : CliHelp::closingNote().split(QLatin1Char('\n')))
        lines << QStringLiteral(".PP") << roff(paragraph);
    lines << heading(QT_TRANSLATE_NOOP("TarvaneCli", "另见")) << QStringLiteral(".BR tarvane (1)");
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace CliManual
