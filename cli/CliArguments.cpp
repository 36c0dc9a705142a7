#include "CliArguments.h"

#include <QVector>

#include "CliOptions.h"

namespace {

using Command = CliArguments::Command;
using Problem = CliArguments::Problem;
using CliOptions::OptionRow;

// An option as given: its row, the name it was typed as, and its value.
struct Given {
    const OptionRow* row;
    QString name;
    QString value;
};

bool looksLikeOption(const QString& token) {
    return token.startsWith(QLatin1Char('-')) && token != QLatin1String("-");
}

// The value of the option at tokens[*i], from "--option=value" or the next
// token, which it then uses up.
bool takeValue(CliArguments& arguments, const QStringList& tokens, int* i, Given* option) {
    const QString& token = tokens.at(*i);
    const int equals = token.indexOf(QLatin1Char('='));
    if (!option->row->value) return equals <= 0 || arguments.fail(Problem::UnknownOption, token);
    if (equals > 0) {
        option->value = token.mid(equals + 1);
        return true;
    }
    if (*i + 1 >= tokens.size()) return arguments.fail(Problem::MissingValue, option->name);
    // "read -o --json" means a forgotten value more often than a file named
    // "--json"; that one is written "-o=--json".
    if (looksLikeOption(tokens.at(*i + 1)))
        return arguments.fail(Problem::ValueLikeOption, option->name, tokens.at(*i + 1));
    option->value = tokens.at(++*i);
    return true;
}

// Options may stand before or after the command; whether the command takes
// them is checked once the command is known. "--" ends the options.
bool readTokens(CliArguments& arguments, const QStringList& tokens, QVector<Given>* given,
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
        Given option{nullptr, equals > 0 ? token.left(equals) : token, QString()};
        option.row = CliOptions::findOption(option.name);
        if (!option.row) return arguments.fail(Problem::UnknownOption, option.name);
        // The last one winning would hide a mistake: "--device A --device B".
        for (const Given& earlier : qAsConst(*given))
            if (earlier.row == option.row) return arguments.fail(Problem::RepeatedOption, option.name);
        if (!takeValue(arguments, tokens, &i, &option)) return false;
        *given << option;
        if (!option.row->set(arguments, option.value)) return false;
    }
    return true;
}

// The option as given, nullptr when it was not; each is given once at most.
const Given* findGiven(const QVector<Given>& given, const char* name) {
    for (auto option = given.crbegin(); option != given.crend(); ++option)
        if (qstrcmp(option->row->name, name) == 0) return &*option;
    return nullptr;
}

// What the command needs and what it does not take.
bool checkCommand(CliArguments& arguments, const QVector<Given>& given, QStringList positional) {
    for (const Given& option : given)
        if (!CliOptions::takes(*option.row, arguments.command))
            return arguments.fail(Problem::UnknownOption, option.name);
    const CliOptions::CommandRow* command = CliOptions::findCommand(arguments.command);
    // Either the operand or the option that stands for it, never both.
    const bool instead = command->instead && findGiven(given, command->instead);
    if (instead && !positional.isEmpty())
        return arguments.fail(Problem::ExcludesOption, QLatin1String(command->instead), positional.first());
    if (command->operand && !instead) {
        if (positional.isEmpty()) return arguments.fail(Problem::MissingFile);
        arguments.file = positional.takeFirst();
        if (command->second && !positional.isEmpty()) arguments.against = positional.takeFirst();
    }
    // Two files are compared without a repeater.
    if (!arguments.against.isEmpty()) {
        for (const char* name : {"--device", "--all", "--log"})
            if (findGiven(given, name)) return arguments.fail(Problem::TwoFiles, QLatin1String(name));
    }
    if (!positional.isEmpty()) return arguments.fail(Problem::ExtraArgument, positional.first());
    for (const OptionRow& row : CliOptions::options()) {
        // A required value left empty is as good as none.
        if (row.use != OptionRow::Use::Required || !CliOptions::takes(row, arguments.command)) continue;
        const Given* option = findGiven(given, row.name);
        if (!option || option->value.isEmpty())
            return arguments.fail(Problem::MissingOption, QLatin1String(row.name));
    }
    return true;
}

// Options that only mean something together.
bool checkRelations(CliArguments& arguments, const QVector<Given>& given) {
    using Kind = CliOptions::RelationRow::Kind;
    for (const CliOptions::RelationRow& relation : CliOptions::relations()) {
        if ((relation.commands & CliOptions::bit(arguments.command)) == 0 ||
            !findGiven(given, relation.option))
            continue;
        const bool otherGiven = findGiven(given, relation.other) != nullptr;
        if (relation.kind == Kind::Needs && !otherGiven)
            return arguments.fail(Problem::NeedsOption, QLatin1String(relation.option),
                                  QLatin1String(relation.other));
        if (relation.kind == Kind::Excludes && otherGiven)
            return arguments.fail(Problem::ExcludesOption, QLatin1String(relation.option),
                                  QLatin1String(relation.other));
    }
    return true;
}

}  // namespace

bool CliArguments::fail(Problem problem, const QString& subject, const QString& value) {
    this->problem = problem;
    this->subject = subject;
    this->value = value;
    return false;
}

CliArguments CliArguments::parse(const QStringList& tokens) {
    CliArguments arguments;
    QVector<Given> given;
    QStringList positional;
    if (!readTokens(arguments, tokens, &given, &positional)) return arguments;

    if (!positional.isEmpty()) {
        const QString word = positional.takeFirst();
        const CliOptions::CommandRow* command = CliOptions::findCommand(word);
        if (!command) {
            arguments.fail(Problem::UnknownCommand, word);
            return arguments;
        }
        arguments.command = command->command;
    }
    // Help and version need nothing else, but a word that is no command
    // is still reported above.
    for (const Given& option : qAsConst(given))
        if (option.row->use == OptionRow::Use::Alone) return arguments;
    if (arguments.command == Command::None) {
        arguments.fail(Problem::NoCommand);
        return arguments;
    }
    if (checkCommand(arguments, given, positional) && checkRelations(arguments, given) &&
        arguments.backup == QLatin1String("-") && arguments.verify)
        // The differences it finds would follow the backup on standard output.
        arguments.fail(Problem::ExcludesOption, QStringLiteral("--backup -"), QStringLiteral("--verify"));
    return arguments;
}
