#pragma once

#include <QString>
#include <vector>

#include "CliArguments.h"

// The commands and options of tarvane-cli, each in one row: the parser takes
// its words and rules from here and the help texts are made from here, so
// that neither can leave one out. The texts are marked for the translation
// context "TarvaneCli".
//
// A new option: its field in CliArguments and a row in options() (with a
// row in relations() when it works only with or never with another one).
// A new command: its value in CliArguments::Command, a row in commands(), a
// file of its own and its case in runCli.
namespace CliOptions {

using Command = CliArguments::Command;

// The commands that take an option, one bit each.
using Commands = unsigned;
constexpr Commands bit(Command command) {
    return 1u << static_cast<unsigned>(command);
}
constexpr Commands kEveryCommand = ~0u;  // and none: --help, --version

struct CommandRow {
    Command command;
    const char* name;     // as typed
    const char* operand;  // what follows the name (the parameter file), nullptr for nothing
    const char* summary;  // its line in the overview
    const char* details;  // what its own help says below the usage line
    // An option given instead of the operand ("filters --plan LIST"); nullptr for none.
    const char* instead = nullptr;
    // What may follow the operand ("diff FILE [FILE]"); nullptr for nothing.
    const char* second = nullptr;
};

struct OptionRow {
    enum class Use {
        Optional,
        Required,  // every command that takes it needs it; `missing` says so
        Alone,     // needs no command and ends the checks (--help, --version)
    };

    const char* name;
    const char* shortName;  // nullptr for none
    const char* value;      // what its value is, nullptr for an option without one
    Commands commands;
    Use use;
    const char* description;  // one line
    // Takes the value into the arguments; false, with the problem set, when
    // it cannot be used.
    bool (*set)(CliArguments& arguments, const QString& value);
    const char* missing = nullptr;  // Use::Required: the message when it is not given
};

// Options that only mean something together, checked in this order.
struct RelationRow {
    enum class Kind { Needs, Excludes };

    const char* option;
    Kind kind;
    const char* other;
    Commands commands = kEveryCommand;  // the commands the rule holds for
};

// In the order the help lists them.
const std::vector<CommandRow>& commands();
const std::vector<OptionRow>& options();
const std::vector<RelationRow>& relations();

const CommandRow* findCommand(Command command);
const CommandRow* findCommand(const QString& name);
// By its name or its short name.
const OptionRow* findOption(const QString& name);
bool takes(const OptionRow& option, Command command);

}  // namespace CliOptions
