#pragma once

#include <QString>
#include <QStringList>

// The command line of tarvane-cli, taken apart: one command, its file, and
// the options (their words and rules are the rows of CliOptions). Says what
// is wrong instead when it cannot be used.
struct CliArguments {
    enum class Command { None, List, Read, Write, Diff, Filters, Timing };
    // What went wrong, for the message that reports it.
    enum class Problem {
        None,
        NoCommand,
        UnknownCommand,  // subject: the word
        UnknownOption,   // subject: the option, also one the command does not take
        MissingValue,    // subject: the option
        MissingFile,
        MissingOption,    // subject: the option the command needs
        ExtraArgument,    // subject: the argument
        UnknownLanguage,  // subject: the language
        EmptyValue,       // subject: the option
        ValueLikeOption,  // subject: the option, value: what followed it
        BadNumber,        // subject: the option, value: its value
        NeedsOption,      // subject: the option, value: the option it needs
        ExcludesOption,   // subject: the option, value: the option it excludes
        RepeatedOption,   // subject: the option, as typed the second time
        TwoFiles,         // subject: an option that needs a device, beside diff's second file
    };

    Command command = Command::None;
    QString file;     // write, diff, filters: the parameter file, "-" for standard input; timing: the word
    QString against;  // diff: a second parameter file, compared instead of a device
    QString output;   // read: the file to save to, "-" for standard output; with --all a folder
    QString device;   // a path or a card number; empty: the only one connected
    QString language = QStringLiteral("en");
    QString backup;         // write: where to save the device's parameters first (with --all: a folder)
    int type = 0;           // write --dry-run: the hardware type 1 ... 5, without a device
    int waitSeconds = 10;   // write --verify: how long the repeater may take to come back
    bool all = false;       // read, write, diff: every connected repeater at once
    QString plan;           // filters: identifiers and ranges to plan banks for, comma-separated;
                            // "-" standard input, "@FILE" a file
    bool extended = false;  // filters --plan: items without a word are extended identifiers
    bool remote = false;    // filters --plan: ... and remote frames
    int firstBank = 1;      // filters --plan: the plan fills banks from this one on, 1 ... 14

    // timing: a bit rate to choose a word for instead of a word (kbit/s, 0:
    // none), the sample point wished (percent, 0: the rule's for the rate),
    // the SJW, the bus to cover (metres, below 0: none) and one node's loop
    // delay (ns, below 0: the default).
    double rate = 0;
    double samplePoint = 0;
    int sjw = 1;
    double length = -1;
    double nodeDelay = -1;

    bool json = false;
    bool strict = false;  // write, diff: the notes are errors
    QString log;          // read, write, diff: the production record to append to
    bool dryRun = false;
    bool verify = false;
    bool trace = false;
    bool help = false;
    bool version = false;

    Problem problem = Problem::None;
    QString subject;
    QString value;

    static CliArguments parse(const QStringList& arguments);
    // Sets the problem and returns false, for the checks to return.
    bool fail(Problem problem, const QString& subject = QString(), const QString& value = QString());
};
