#pragma once

#include <QString>

#include "CliArguments.h"

namespace CliOptions {
struct CommandRow;
}

// What the command line says about its own use, made from the rows of
// CliOptions: every option a command takes is in its help.
namespace CliHelp {

// --help: the overview without a command, else that command's help.
QString text(CliArguments::Command command);
// What is wrong with a command line that cannot be used, one line.
QString problem(const CliArguments& arguments);

// The pieces the manual page shares with --help.
// A command's usage line without the program's name: "diff 文件 [--device 路径|卡号] ...".
QString usage(const CliOptions::CommandRow& command);
// What a command's help says below its usage line, translated, with the
// repeater's USB ids ("0483:6901") where the text has %1.
QString details(const CliOptions::CommandRow& command);
// The options of every command, those that need no command left out: "[--lang en|zh] [--trace]".
QString commonUsage();
// The overview's closing lines: option values, exit statuses.
QString closingNote();

}  // namespace CliHelp
