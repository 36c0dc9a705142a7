#include "CliArguments.h"

namespace {

using Command = CliArguments::Command;
using Problem = CliArguments::Problem;

struct CommandEntry {
    Command command;
    const char* name;
};

const CommandEntry kCommands[] = {
    {Command::List, "list"},
    {Command::Read, "read"},
    {Command::Write, "write"},
    {Command::Diff, "diff"},
};

constexpr unsigned bit(Command command) {
    return 1u << static_cast<unsigned>(command);
}
constexpr unsigned kEveryCommand = ~0u;

bool fail(CliArguments& arguments, Problem problem, const QString& subject = QString(),
          const QString& value = QString()) {
    arguments.problem = problem;
    arguments.subject = subject;
    arguments.value = value;
    return false;
}

// A whole number within [low, high], or a usage error naming the option.
bool setNumber(CliArguments& a, const char* option, const QString& value, int low, int high, int* out) {
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < low || number > high) return fail(a, Problem::BadNumber, QLatin1String(option), value);
    *out = number;
    return true;
}

// An option, the commands that take it, and what it sets; false when its
// value cannot be used.
struct OptionEntry {
    const char* name;
    bool takesValue;
    unsigned commands;
    bool (*set)(CliArguments&, const QString& value);
};

const OptionEntry kOptions[] = {
    {"--help", false, kEveryCommand, [](CliArguments& a, const QString&) { return a.help = true; }},
    {"-h", false, kEveryCommand, [](CliArguments& a, const QString&) { return a.help = true; }},
    {"--version", false, kEveryCommand, [](CliArguments& a, const QString&) { return a.version = true; }},
    {"--lang", true, kEveryCommand,
     [](CliArguments& a, const QString& value) {
         if (value != QLatin1String("en") && value != QLatin1String("zh"))
             return fail(a, Problem::UnknownLanguage, value);
         a.language = value;
         return true;
     }},
    {"--json", false, bit(Command::List), [](CliArguments& a, const QString&) { return a.json = true; }},
    {"--device", true, bit(Command::Read) | bit(Command::Write) | bit(Command::Diff),
     [](CliArguments& a, const QString& value) {
         // An unset variable in a script must not pick whatever repeater is plugged in.
         if (value.isEmpty()) return fail(a, Problem::EmptyValue, QStringLiteral("--device"));
         a.device = value;
         return true;
     }},
    {"--trace", false, kEveryCommand, [](CliArguments& a, const QString&) { return a.trace = true; }},
    {"--verify", false, bit(Command::Write), [](CliArguments& a, const QString&) { return a.verify = true; }},
    {"--wait", true, bit(Command::Write),
     [](CliArguments& a, const QString& value) { return setNumber(a, "--wait", value, 1, 3600, &a.waitSeconds); }},
    {"--backup", true, bit(Command::Write),
     [](CliArguments& a, const QString& value) {
         if (value.isEmpty()) return fail(a, Problem::EmptyValue, QStringLiteral("--backup"));
         a.backup = value;
         return true;
     }},
    {"--type", true, bit(Command::Write),
     [](CliArguments& a, const QString& value) { return setNumber(a, "--type", value, 1, 5, &a.type); }},
    {"-o", true, bit(Command::Read),
     [](CliArguments& a, const QString& value) {
         a.output = value;
         return true;
     }},
    {"--dry-run", false, bit(Command::Write),
     [](CliArguments& a, const QString&) { return a.dryRun = true; }},
};

const OptionEntry* findOption(const QString& name) {
    for (const OptionEntry& entry : kOptions)
        if (name == QLatin1String(entry.name)) return &entry;
    return nullptr;
}

bool looksLikeOption(const QString& token) {
    return token.startsWith(QLatin1Char('-')) && token != QLatin1String("-");
}

// Options may stand before or after the command; whether the command takes
// them is checked once the command is known. "--" ends the options.
bool readTokens(CliArguments& arguments, const QStringList& tokens, QStringList* options,
                QStringList* positional) {
    bool optionsEnded = false;
    for (int i = 0; i < tokens.size(); ++i) {
        const QString& token = tokens.at(i);
        if (!optionsEnded && token == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        // A lone "-" is a value (standard output), never an option.
        if (optionsEnded || !looksLikeOption(token)) {
            *positional << token;
            continue;
        }
        const int equals = token.indexOf(QLatin1Char('='));
        const QString name = equals > 0 ? token.left(equals) : token;
        const OptionEntry* option = findOption(name);
        if (!option) return fail(arguments, Problem::UnknownOption, name);
        QString value;
        if (option->takesValue) {
            if (equals > 0) {
                value = token.mid(equals + 1);
            } else if (i + 1 < tokens.size()) {
                // "read -o --json" means a forgotten value more often than a
                // file named "--json"; that one is written "-o=--json".
                if (looksLikeOption(tokens.at(i + 1)))
                    return fail(arguments, Problem::ValueLikeOption, name, tokens.at(i + 1));
                value = tokens.at(++i);
            } else {
                return fail(arguments, Problem::MissingValue, name);
            }
        } else if (equals > 0) {
            return fail(arguments, Problem::UnknownOption, token);
        }
        *options << name;
        if (!option->set(arguments, value)) return false;
    }
    return true;
}

}  // namespace

QString CliArguments::commandName(Command command) {
    for (const CommandEntry& entry : kCommands)
        if (entry.command == command) return QString::fromLatin1(entry.name);
    return QString();
}

CliArguments CliArguments::parse(const QStringList& tokens) {
    CliArguments arguments;
    QStringList options;
    QStringList positional;
    if (!readTokens(arguments, tokens, &options, &positional)) return arguments;

    if (!positional.isEmpty()) {
        const QString word = positional.takeFirst();
        for (const CommandEntry& entry : kCommands)
            if (word == QLatin1String(entry.name)) arguments.command = entry.command;
        if (arguments.command == Command::None) {
            fail(arguments, Problem::UnknownCommand, word);
            return arguments;
        }
    }
    // Help and version need nothing else, but a word that is no command
    // is still reported above.
    if (arguments.help || arguments.version) return arguments;
    if (arguments.command == Command::None) {
        fail(arguments, Problem::NoCommand);
        return arguments;
    }
    for (const QString& name : qAsConst(options)) {
        if ((findOption(name)->commands & bit(arguments.command)) == 0) {
            fail(arguments, Problem::UnknownOption, name);
            return arguments;
        }
    }

    const bool needsFile = arguments.command == Command::Write || arguments.command == Command::Diff;
    if (needsFile) {
        if (positional.isEmpty()) {
            fail(arguments, Problem::MissingFile);
            return arguments;
        }
        arguments.file = positional.takeFirst();
    }
    if (!positional.isEmpty()) {
        fail(arguments, Problem::ExtraArgument, positional.first());
        return arguments;
    }
    if (arguments.command == Command::Read && arguments.output.isEmpty()) {
        fail(arguments, Problem::MissingOutput);
        return arguments;
    }
    // Options that only mean something together.
    const bool waitGiven = options.contains(QStringLiteral("--wait"));
    if (waitGiven && !arguments.verify)
        fail(arguments, Problem::NeedsOption, QStringLiteral("--wait"), QStringLiteral("--verify"));
    else if (arguments.type != 0 && !arguments.dryRun)
        fail(arguments, Problem::NeedsOption, QStringLiteral("--type"), QStringLiteral("--dry-run"));
    else if (arguments.type != 0 && !arguments.device.isEmpty())
        fail(arguments, Problem::ExcludesOption, QStringLiteral("--type"), QStringLiteral("--device"));
    else if (arguments.type != 0 && !arguments.backup.isEmpty())
        fail(arguments, Problem::ExcludesOption, QStringLiteral("--type"), QStringLiteral("--backup"));
    else if (arguments.verify && arguments.dryRun)
        fail(arguments, Problem::ExcludesOption, QStringLiteral("--verify"), QStringLiteral("--dry-run"));
    return arguments;
}
