#pragma once

#include <QString>

#include "CliArguments.h"

// What the command line says about its own use, made from the rows of
// CliOptions: every option a command takes is in its help.
namespace CliHelp {

// --help: the overview without a command, else that command's help.
QString text(CliArguments::Command command);
// What is wrong with a command line that cannot be used, one line.
QString problem(const CliArguments& arguments);

}  // namespace CliHelp
